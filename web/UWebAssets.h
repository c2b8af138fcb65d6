#pragma once
// What an exported web page is made of, embedded in the program by the
// build (web/CMakeLists.txt): the engine compiled to WebAssembly, the page's
// template and its script.
#include <string_view>

namespace lvk {

// The module's bytes; empty when the program was built without a
// WebAssembly compiler.
std::string_view WebEngineModule();
// page.html, with the places the exporter fills in.
std::string_view WebPageTemplate();
// page.js, the loader the page runs.
std::string_view WebPageScript();

}  // namespace lvk
