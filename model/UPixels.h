#pragma once
// A picture of palette indices, one byte a pixel, rows from the top: what the
// painter edits. It knows no palette colour and no file form; the tile block
// (UTileBlock.h) turns tiles into such a picture and back. Every operation
// clips to the picture, so a point or rectangle partly outside is safe.
#include <cstdint>
#include <vector>

namespace lvk {

struct TPixelRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool Empty() const { return Width <= 0 || Height <= 0; }
  bool Contains(int X, int Y) const { return X >= Left && Y >= Top && X < Left + Width && Y < Top + Height; }
  bool operator==(const TPixelRect&) const = default;
};

// The rectangle with corners (X0, Y0) and (X1, Y1), both inside it.
TPixelRect RectFromCorners(int X0, int Y0, int X1, int Y1);

class TPixels {
public:
  TPixels() = default;
  // Width x Height pixels of index Fill; a negative size counts as 0.
  TPixels(int Width, int Height, std::uint8_t Fill = 0);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool Contains(int X, int Y) const { return X >= 0 && Y >= 0 && X < FWidth && Y < FHeight; }
  // A point outside reads as 0 and is not written.
  std::uint8_t Get(int X, int Y) const { return Contains(X, Y) ? FData[Y * FWidth + X] : 0; }
  void Set(int X, int Y, std::uint8_t Index) {
    if (Contains(X, Y)) FData[Y * FWidth + X] = Index;
  }
  const std::vector<std::uint8_t>& Data() const { return FData; }
  bool operator==(const TPixels&) const = default;

  // The straight line from (X0, Y0) to (X1, Y1), both ends drawn, with no
  // pixel doubled at a corner: a freehand stroke is made of such lines.
  void DrawLine(int X0, int Y0, int X1, int Y1, std::uint8_t Index);
  void DrawRect(const TPixelRect& Rect, std::uint8_t Index, bool Filled);
  // The four-connected area of (X, Y)'s index becomes Index. Runs in time
  // and memory proportional to the picture, whatever its shape.
  void FloodFill(int X, int Y, std::uint8_t Index);

  // The part inside Rect (clipped), and Part put with its top-left at (X, Y).
  TPixels Copy(const TPixelRect& Rect) const;
  void Paste(const TPixels& Part, int X, int Y);

  void MirrorHorizontally();  // left becomes right
  void MirrorVertically();    // top becomes bottom
  // A quarter turn clockwise; false, changing nothing, for a picture that
  // is not square.
  bool Rotate90();
  // Every pixel moves by (DX, DY); what leaves one side comes in at the other.
  void Shift(int DX, int DY);

private:
  int FWidth = 0;
  int FHeight = 0;
  std::vector<std::uint8_t> FData;
};

}  // namespace lvk
