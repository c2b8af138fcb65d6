#include "model/UTileBlock.h"

#include "model/UActor.h"
#include "model/UBitmap.h"
#include "model/UErrors.h"
#include "model/UFrameTiles.h"
#include "model/UPalette.h"
#include "model/UTile.h"

namespace lvk {

namespace {

// The palette's colours as a colour table, in the table's form.
std::vector<std::uint32_t> PaletteTable(const TPalette& Palette) {
  std::vector<std::uint32_t> Table;
  for (int i = 0; i < Palette.Count(); ++i) Table.push_back(Palette.GetEntryColor(i));
  return Table;
}

}  // namespace

bool IndexedInPalette(const TPeekBitmap& Picture, const TPalette& Palette) {
  if (Picture.BitCount() != 8 || Palette.Count() == 0) return false;
  return Picture.ColorTable() == PaletteTable(Palette);
}

TPixels TilePixels(const TPeekBitmap& Picture, const TPalette& Palette) {
  TPixels Pixels(BlockTileSide, BlockTileSide);
  if (Picture.Width() != BlockTileSide || Picture.Height() != BlockTileSide) return Pixels;
  if (IndexedInPalette(Picture, Palette)) {
    for (int y = 0; y < BlockTileSide; ++y)
      for (int x = 0; x < BlockTileSide; ++x) {
        const std::uint8_t Index = Picture.ScanLine(y)[x];
        Pixels.Set(x, y, Index < Palette.Count() ? Index : 0);
      }
    return Pixels;
  }
  if (Palette.Count() < 2) return Pixels;
  try {
    for (int y = 0; y < BlockTileSide; ++y)
      for (int x = 0; x < BlockTileSide; ++x)
        Pixels.Set(x, y, static_cast<std::uint8_t>(Palette.NearestColor(1, Picture.GetColor(x, y))));
  } catch (const EGame&) {
    return TPixels(BlockTileSide, BlockTileSide);  // a pixel format no one can read
  }
  return Pixels;
}

TPixels TilePixels(const TTile& Tile, const TPalette& Palette) {
  TPixels Pixels = TilePixels(Tile.Bitmap(), Palette);
  if (Tile.Bitmap().Width() != BlockTileSide || Tile.Bitmap().Height() != BlockTileSide) return Pixels;
  try {
    for (int y = 0; y < BlockTileSide; ++y)
      for (int x = 0; x < BlockTileSide; ++x)
        if (Tile.PixelTransparent(x, y)) Pixels.Set(x, y, 0);
  } catch (const EGame&) {
    return TPixels(BlockTileSide, BlockTileSide);
  }
  return Pixels;
}

TPeekBitmap IndexedTilePicture(const TPixels& Pixels, int Left, int Top, const TPalette& Palette) {
  constexpr int RowSize = BlockTileSide;  // 8 bytes: already a multiple of 4
  std::vector<std::uint8_t> Rows(RowSize * BlockTileSide);
  for (int y = 0; y < BlockTileSide; ++y)
    for (int x = 0; x < BlockTileSide; ++x)
      Rows[(BlockTileSide - 1 - y) * RowSize + x] = Pixels.Get(Left + x, Top + y);  // bottom row first
  TPeekBitmap Picture;
  Picture.Assign(BlockTileSide, BlockTileSide, 8, BI_RGB, {}, PaletteTable(Palette), std::move(Rows));
  return Picture;
}

TTileBlock::TTileBlock(std::vector<TTile*> Tiles, int Columns, int Rows, TMakeTile MakeTile)
    : FTiles(std::move(Tiles)), FMakeTile(std::move(MakeTile)), FColumns(Columns), FRows(Rows) {
  Assert(FColumns > 0 && FRows > 0 && FTiles.size() == static_cast<std::size_t>(FColumns) * FRows,
         "UTileBlock");
}

TPixels TTileBlock::Read(const TPalette& Palette) const {
  TPixels Pixels(Width(), Height());
  for (int r = 0; r < FRows; ++r)
    for (int c = 0; c < FColumns; ++c)
      if (const TTile* Tile = GetTile(c, r))
        Pixels.Paste(TilePixels(*Tile, Palette), c * BlockTileSide, r * BlockTileSide);
  return Pixels;
}

int TTileBlock::Write(const TPixels& Pixels, const TPalette& Palette) const {
  Assert(Pixels.Width() == Width() && Pixels.Height() == Height(), "UTileBlock");
  int Changed = 0;
  for (int r = 0; r < FRows; ++r)
    for (int c = 0; c < FColumns; ++c) {
      TTile* Tile = GetTile(c, r);
      const TPixelRect Part{c * BlockTileSide, r * BlockTileSide, BlockTileSide, BlockTileSide};
      const TPixels Now = Tile ? TilePixels(*Tile, Palette) : TPixels(BlockTileSide, BlockTileSide);
      if (Now == Pixels.Copy(Part)) continue;
      if (!Tile && !(FMakeTile && (Tile = FMakeTile(c, r)))) continue;
      Tile->SetBitmap(IndexedTilePicture(Pixels, Part.Left, Part.Top, Palette));
      ++Changed;
    }
  return Changed;
}

TTileBlock FrameBlock(TActor& Actor, int Anim, int Frame) {
  const int Columns = Actor.Columns();
  auto Make = [&Actor, Anim, Frame, Columns](int Column, int Row) {
    return AddFrameTile(Actor, Anim, Frame, Row * Columns + Column);
  };
  return TTileBlock(Actor.FrameTiles(Anim, Frame), Columns, Actor.Rows(), Make);
}

}  // namespace lvk
