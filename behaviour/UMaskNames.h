#pragma once
// The bit sets of OnKey, OnTouch and OnOutside: bit i stands for entry i of a
// fixed table of short names.
#include <span>
#include <string>

namespace lvk {

using TNameTable = std::span<const char* const>;

// Entry Index of Table. An index outside the table is a programming error:
// assertion failure naming Unit.
std::string MaskName(TNameTable Table, int Index, const char* Unit);

// The position of Caption in Table, compared exactly. The frames look their
// buttons' captions up here; a caption not in the table is a design error of
// the frame: assertion failure naming Unit.
int MaskIndex(TNameTable Table, const std::string& Caption, const char* Unit);

// The names of the bits set in Mask, in bit order, joined by Separator. Bits
// beyond the table stay unnamed.
std::string MaskNames(TNameTable Table, unsigned Mask, const std::string& Separator);

}  // namespace lvk
