#pragma once
// Pictures compiled into the program: the kinds' icons, which the build
// embeds from resources/icons.
#include <cstdint>
#include <span>
#include <string>

namespace lvk {

class TPeekBitmap;

// The bytes of the named resource, or an empty span when there is none.
std::span<const std::uint8_t> FindBuiltinResource(const std::string& Name);

// The named resource read as a picture. A name the program does not hold is a
// programming error: assertion failure (unit UGame).
TPeekBitmap LoadResourceBitmap(const std::string& Name);

}  // namespace lvk
