#pragma once
// A picture made of a block of tiles: Columns x Rows tiles of 8x8 pixels,
// listed left to right, then top to bottom. A tile alone is a 1x1 block, an
// actor's frame a block of the actor's size; the painter edits either as one
// picture of palette indices.
//
// A painted tile is stored as an 8-bit indexed picture whose colour table is
// the game's palette, so it stays an ordinary tile record: the file, the
// generator (which reads its colours) and BMP export take it as any other.
// A block is made for one call and never kept: it holds tiles of the game.
#include <vector>

#include "model/UPixels.h"

namespace lvk {

class TPalette;
class TPeekBitmap;
class TTile;

constexpr int BlockTileSide = 8;

// The palette index of each pixel of a tile's picture. A picture indexed in
// the palette's own colours keeps its indices; any other pixel takes the
// entry the generator would give it (the nearest from entry 1). A picture
// that is not 8x8, or whose pixels cannot be read, reads as all 0, as the
// game shows it.
TPixels TilePixels(const TPeekBitmap& Picture, const TPalette& Palette);
// The 8x8 part of Pixels at (Left, Top) as a tile picture in the palette.
TPeekBitmap IndexedTilePicture(const TPixels& Pixels, int Left, int Top, const TPalette& Palette);

class TTileBlock {
public:
  // Tiles holds Columns x Rows tiles, none null.
  TTileBlock(std::vector<TTile*> Tiles, int Columns, int Rows);

  int Columns() const { return FColumns; }
  int Rows() const { return FRows; }
  int Width() const { return FColumns * BlockTileSide; }
  int Height() const { return FRows * BlockTileSide; }
  TTile& GetTile(int Column, int Row) const { return *FTiles[Row * FColumns + Column]; }

  TPixels Read(const TPalette& Palette) const;
  // Gives each tile whose pixels differ from Pixels its part, inside the
  // caller's edit; tiles left as they were keep their pictures (an imported
  // full-colour tile stays so until painted). Pixels must be the block's
  // size. The number of tiles changed.
  int Write(const TPixels& Pixels, const TPalette& Palette) const;

private:
  std::vector<TTile*> FTiles;
  int FColumns;
  int FRows;
};

}  // namespace lvk
