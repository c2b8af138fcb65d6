#pragma once
// The three built-in 8x8 pictures, as exact 4-bit BMPs with the standard
// 16-colour table.
#include <string>

namespace lvk {

class TPeekBitmap;

// "BmpNoBmp8x8" (red question mark on white), "BmpEmpty8x8" (white frame
// round a silver square), "BmpNoTile8x8" (the same with a green cross).
// Any other name fails an assertion.
TPeekBitmap LoadBuiltinBitmap(const std::string& Name);

}  // namespace lvk
