#pragma once
// Helpers of the palette file formats (the formats themselves are TPalette's
// Save/Load operations): the number readers of the two text formats and the
// warning text for a bitmap with too many colours.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lvk {

// Take an unsigned number off the front of Line: spaces (code 32 only) are
// skipped before and after it, and everything taken is removed from Line.
// TakeDecimal reads decimal digits; TakeHex reads "0x" and at least one
// lower-case hexadecimal digit. Without such a number at the front, or with
// one too large for 32 bits, the result is empty and Line is unchanged.
std::optional<std::uint32_t> TakeDecimal(std::string_view& Line);
std::optional<std::uint32_t> TakeHex(std::string_view& Line);

// Shown when TPalette::LoadFromBitmapFile reports lost colours.
std::string LostColorsMessage();

}  // namespace lvk
