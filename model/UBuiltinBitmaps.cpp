#include "model/UBuiltinBitmaps.h"

#include <array>
#include <cstdint>
#include <vector>

#include "model/UBitmap.h"
#include "model/UErrors.h"

namespace lvk {

namespace {

constexpr int Size = 8;

// The standard 16-colour table, as colour values (red in the low byte).
const std::vector<std::uint32_t> StandardColors = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

using TPicture = std::array<const char*, Size>;

// Rows from the top; each letter names a colour of the standard table.
const TPicture NoBmp = {
    "WWWWWWWW", "WWRRRRWW", "WRWWWWRW", "WWWWRRWW", "WWWRRWWW", "WWWWWWWW", "WWWRRWWW", "WWWWWWWW",
};
const TPicture Empty = {
    "WWWWWWWW", "WSSSSSSW", "WSSSSSSW", "WSSSSSSW", "WSSSSSSW", "WSSSSSSW", "WSSSSSSW", "WWWWWWWW",
};
const TPicture NoTile = {
    "WWWWWWWW", "WGSSSSGW", "WSGSSGSW", "WSSGGSSW", "WSSGGSSW", "WSGSSGSW", "WGSSSSGW", "WWWWWWWW",
};

std::uint8_t ColorIndex(char Letter) {
  switch (Letter) {
    case 'G': return 2;
    case 'S': return 8;
    case 'R': return 9;
    default: return 15;
  }
}

TPeekBitmap Build(const TPicture& Picture) {
  // Eight 4-bit pixels make exactly one 4-byte row, so no padding is needed.
  std::vector<std::uint8_t> Rows;
  for (int Y = Size - 1; Y >= 0; --Y)
    for (int X = 0; X < Size; X += 2) {
      int Left = ColorIndex(Picture[Y][X]), Right = ColorIndex(Picture[Y][X + 1]);
      Rows.push_back(static_cast<std::uint8_t>((Left << 4) | Right));
    }
  TPeekBitmap Result;
  Result.Assign(Size, Size, 4, BI_RGB, {}, StandardColors, std::move(Rows));
  return Result;
}

}  // namespace

TPeekBitmap LoadBuiltinBitmap(const std::string& Name) {
  if (Name == "BmpNoBmp8x8") return Build(NoBmp);
  if (Name == "BmpEmpty8x8") return Build(Empty);
  if (Name == "BmpNoTile8x8") return Build(NoTile);
  Assert(false, "UGame");
  return {};
}

}  // namespace lvk
