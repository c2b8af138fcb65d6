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
#include <functional>
#include <vector>

#include "model/UPixels.h"

namespace lvk {

class TActor;
class TPalette;
class TPeekBitmap;
class TTile;

constexpr int BlockTileSide = 8;

// Whether the picture is 8-bit with the palette's colours as its colour
// table, as the painter stores it: its pixels are palette indices.
bool IndexedInPalette(const TPeekBitmap& Picture, const TPalette& Palette);
// The palette index of each pixel of a tile's picture. A picture indexed in
// the palette's own colours keeps its indices; any other pixel takes the
// entry the generator would give it (the nearest from entry 1). A picture
// that is not 8x8, or whose pixels cannot be read, reads as all 0, as the
// game shows it.
TPixels TilePixels(const TPeekBitmap& Picture, const TPalette& Palette);
// A tile's pixels as the game shows them: as above, and every pixel the tile
// makes transparent (its transparent colour, its picture's alpha) entry 0.
TPixels TilePixels(const TTile& Tile, const TPalette& Palette);
// The 8x8 part of Pixels at (Left, Top) as a tile picture in the palette.
TPeekBitmap IndexedTilePicture(const TPixels& Pixels, int Left, int Top, const TPalette& Palette);

class TTileBlock {
public:
  // Makes the tile of an empty cell when paint first lands there.
  using TMakeTile = std::function<TTile*(int Column, int Row)>;
  // Tiles holds Columns x Rows tiles; a null one is an empty cell (an
  // animation frame's), transparent, that only MakeTile can paint on.
  TTileBlock(std::vector<TTile*> Tiles, int Columns, int Rows, TMakeTile MakeTile = {});

  int Columns() const { return FColumns; }
  int Rows() const { return FRows; }
  int Width() const { return FColumns * BlockTileSide; }
  int Height() const { return FRows * BlockTileSide; }
  // Null for an empty cell.
  TTile* GetTile(int Column, int Row) const { return FTiles[Row * FColumns + Column]; }

  TPixels Read(const TPalette& Palette) const;
  // Gives each tile whose pixels differ from Pixels its part, inside the
  // caller's edit; tiles left as they were keep their pictures (an imported
  // full-colour tile stays so until painted). Pixels must be the block's
  // size. An empty cell painted on gets a tile from MakeTile (none without
  // one: its paint is dropped). The number of tiles changed or made.
  int Write(const TPixels& Pixels, const TPalette& Palette) const;

private:
  std::vector<TTile*> FTiles;
  TMakeTile FMakeTile;
  int FColumns;
  int FRows;
};

// Frame Frame of the actor's animation Anim as a block of the actor's size.
// An empty cell painted on gets a new tile of the game named for the cell
// (UFrameTiles), put into the frame inside the caller's edit.
TTileBlock FrameBlock(TActor& Actor, int Anim, int Frame);

}  // namespace lvk
