#include "model/UPixels.h"

#include <algorithm>
#include <cstdlib>

namespace lvk {

TPixelRect RectFromCorners(int X0, int Y0, int X1, int Y1) {
  return {std::min(X0, X1), std::min(Y0, Y1), std::abs(X1 - X0) + 1, std::abs(Y1 - Y0) + 1};
}

TPixels::TPixels(int Width, int Height, std::uint8_t Fill)
    : FWidth(std::max(Width, 0)), FHeight(std::max(Height, 0)),
      FData(static_cast<std::size_t>(FWidth) * FHeight, Fill) {}

void TPixels::DrawLine(int X0, int Y0, int X1, int Y1, std::uint8_t Index) {
  // Bresenham: one pixel per step of the longer axis, so a line is one
  // pixel wide and its ends are exact.
  const int DX = std::abs(X1 - X0), SX = X0 < X1 ? 1 : -1;
  const int DY = -std::abs(Y1 - Y0), SY = Y0 < Y1 ? 1 : -1;
  int Error = DX + DY;
  // A line far outside the picture still ends: the steps are bounded by its length.
  for (;;) {
    Set(X0, Y0, Index);
    if (X0 == X1 && Y0 == Y1) break;
    const int E2 = 2 * Error;
    if (E2 >= DY) {
      Error += DY;
      X0 += SX;
    }
    if (E2 <= DX) {
      Error += DX;
      Y0 += SY;
    }
  }
}

void TPixels::DrawRect(const TPixelRect& Rect, std::uint8_t Index, bool Filled) {
  if (Rect.Empty()) return;
  const int L = std::max(Rect.Left, 0), T = std::max(Rect.Top, 0);
  const int R = std::min(Rect.Left + Rect.Width, FWidth), B = std::min(Rect.Top + Rect.Height, FHeight);
  const int Right = Rect.Left + Rect.Width - 1, Bottom = Rect.Top + Rect.Height - 1;
  for (int y = T; y < B; ++y)
    for (int x = L; x < R; ++x)
      if (Filled || x == Rect.Left || x == Right || y == Rect.Top || y == Bottom) FData[y * FWidth + x] = Index;
}

void TPixels::FloodFill(int X, int Y, std::uint8_t Index) {
  if (!Contains(X, Y)) return;
  const std::uint8_t Old = Get(X, Y);
  if (Old == Index) return;
  // Scanline fill with an explicit stack of row seeds: no recursion, so a
  // large picture cannot overflow the call stack.
  std::vector<std::pair<int, int>> Seeds{{X, Y}};
  while (!Seeds.empty()) {
    auto [SX, SY] = Seeds.back();
    Seeds.pop_back();
    if (Get(SX, SY) != Old) continue;
    int L = SX, R = SX;
    while (L > 0 && Get(L - 1, SY) == Old) --L;
    while (R + 1 < FWidth && Get(R + 1, SY) == Old) ++R;
    for (int x = L; x <= R; ++x) FData[SY * FWidth + x] = Index;
    for (int NY : {SY - 1, SY + 1}) {
      if (NY < 0 || NY >= FHeight) continue;
      bool InRun = false;
      for (int x = L; x <= R; ++x) {
        const bool Match = Get(x, NY) == Old;
        if (Match && !InRun) Seeds.emplace_back(x, NY);
        InRun = Match;
      }
    }
  }
}

TPixels TPixels::Copy(const TPixelRect& Rect) const {
  const int L = std::max(Rect.Left, 0), T = std::max(Rect.Top, 0);
  const int R = std::min(Rect.Left + Rect.Width, FWidth), B = std::min(Rect.Top + Rect.Height, FHeight);
  TPixels Part(R - L, B - T);
  for (int y = 0; y < Part.FHeight; ++y)
    for (int x = 0; x < Part.FWidth; ++x) Part.FData[y * Part.FWidth + x] = Get(L + x, T + y);
  return Part;
}

void TPixels::Paste(const TPixels& Part, int X, int Y) {
  for (int y = 0; y < Part.FHeight; ++y)
    for (int x = 0; x < Part.FWidth; ++x) Set(X + x, Y + y, Part.Get(x, y));
}

void TPixels::MirrorHorizontally() {
  for (int y = 0; y < FHeight; ++y) std::reverse(FData.begin() + y * FWidth, FData.begin() + (y + 1) * FWidth);
}

void TPixels::MirrorVertically() {
  for (int y = 0; y < FHeight / 2; ++y)
    std::swap_ranges(FData.begin() + y * FWidth, FData.begin() + (y + 1) * FWidth,
                     FData.begin() + (FHeight - 1 - y) * FWidth);
}

bool TPixels::Rotate90() {
  if (FWidth != FHeight) return false;
  const TPixels Old = *this;
  // Clockwise: the left column, read bottom-up, becomes the top row.
  for (int y = 0; y < FHeight; ++y)
    for (int x = 0; x < FWidth; ++x) FData[y * FWidth + x] = Old.Get(y, FHeight - 1 - x);
  return true;
}

void TPixels::Shift(int DX, int DY) {
  if (FWidth == 0 || FHeight == 0) return;
  const TPixels Old = *this;
  const int SX = ((DX % FWidth) + FWidth) % FWidth, SY = ((DY % FHeight) + FHeight) % FHeight;
  for (int y = 0; y < FHeight; ++y)
    for (int x = 0; x < FWidth; ++x) FData[((y + SY) % FHeight) * FWidth + (x + SX) % FWidth] = Old.Get(x, y);
}

}  // namespace lvk
