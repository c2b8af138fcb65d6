#pragma once
// What the fuzz targets share: the readers take file names, so each input is
// written to one scratch file in memory-backed storage, and every exception
// that is not one of the program's own errors stops the run.
#include <cstddef>
#include <cstdint>
#include <string>

namespace lvk::fuzz {

// The scratch file of this process, made on first use and removed at exit.
const std::string& ScratchFile(const char* Suffix);
// Replaces the scratch file's content.
void WriteScratch(const std::string& FileName, const std::uint8_t* Data, std::size_t Size);

// Stops the run with a message: libFuzzer then keeps the input as a crash.
[[noreturn]] void Fault(const std::string& What);
// Stops the run unless Message starts with one of the Prefixes (null-terminated list).
void ExpectMessage(const std::string& Message, const char* const* Prefixes);

}  // namespace lvk::fuzz
