#include "model/UFrameTiles.h"

#include <algorithm>

#include "model/UActor.h"
#include "model/UBitmap.h"
#include "model/UErrors.h"
#include "model/UFormat.h"
#include "model/UGame.h"
#include "model/UTile.h"
#include "model/UValueTypes.h"

namespace lvk {

std::string FrameTileName(const TActor& Actor, int Anim, int Frame, int Cell) {
  std::string Base = Actor.Name() + "_" + Actor.GetAnimation(Anim).Name + "_" + std::to_string(Frame + 1);
  if (Actor.Columns() * Actor.Rows() > 1) Base += "_" + std::to_string(Cell + 1);
  const TGame& Game = Actor.Owner();
  if (!Game.FindTileByName(Base)) return Base;
  for (int N = 2;; ++N)
    if (std::string Name = Base + "x" + std::to_string(N); !Game.FindTileByName(Name)) return Name;
}

TTile* AddFrameTile(TActor& Actor, int Anim, int Frame, int Cell, const TTile* Like) {
  TGame& Game = Actor.Owner();
  const std::string Name = FrameTileName(Actor, Anim, Frame, Cell);
  TTile* Tile = Like ? Game.DuplicateTile(Like) : Game.AddTile();
  Tile->SetName(Name);
  Actor.SetFrameTile(Anim, Frame, Cell, Tile);
  return Tile;
}

void CopyFrameTiles(TActor& Actor, int Anim, int Frame) {
  const TFrameTiles Tiles = Actor.FrameTiles(Anim, Frame);
  for (std::size_t c = 0; c < Tiles.size(); ++c)
    if (Tiles[c]) AddFrameTile(Actor, Anim, Frame, static_cast<int>(c), Tiles[c]);
}

bool TileOnlyInCell(const TActor& Actor, int Anim, int Frame, int Cell, const TTile* Tile) {
  if (!Tile) return false;
  const TGame& Game = Actor.Owner();
  for (int a = 0; a < Game.ActorCount(); ++a) {
    const TActor& Other = *Game.GetActor(a);
    if (Other.Tile() == Tile) return false;
    for (int n = 0; n < Other.AnimationCount(); ++n)
      for (int f = 0; f < Other.FrameCount(n); ++f) {
        const TFrameTiles& Tiles = Other.FrameTiles(n, f);
        for (std::size_t c = 0; c < Tiles.size(); ++c)
          if (Tiles[c] == Tile && !(&Other == &Actor && n == Anim && f == Frame && static_cast<int>(c) == Cell))
            return false;
      }
  }
  return Game.ActionsNaming(TValueType::Tile, Tile->Name()).empty();
}

TPeekBitmap CutTilePicture(const TPeekBitmap& Picture, int Column, int Row) {
  // Eight pixels of any bit count are whole bytes, so a cell's rows are
  // byte runs of the picture's rows.
  constexpr int Side = 8;
  const int Bytes = Picture.BitCount();  // of one row of the cell
  const int RowSize = (Side * Picture.BitCount() + 31) / 32 * 4;
  Assert(Column >= 0 && Row >= 0 && (Column + 1) * Side <= Picture.Width() && (Row + 1) * Side <= Picture.Height(),
         "UFrameTiles");
  std::vector<std::uint8_t> Rows(static_cast<std::size_t>(RowSize) * Side, 0);
  for (int y = 0; y < Side; ++y) {
    const std::uint8_t* From = Picture.ScanLine(Row * Side + y) + static_cast<std::size_t>(Column) * Bytes;
    std::copy(From, From + Bytes, Rows.begin() + static_cast<std::ptrdiff_t>((Side - 1 - y) * RowSize));
  }
  TPeekBitmap Cut;
  Cut.Assign(Side, Side, Picture.BitCount(), Picture.Compression(), Picture.Masks(), Picture.ColorTable(),
             std::move(Rows), Picture.AlphaMask());
  return Cut;
}

void ImportFramePicture(TActor& Actor, int Anim, int Frame, const std::string& FileName) {
  Actor.FrameTiles(Anim, Frame);
  TPeekBitmap Loaded;
  Loaded.LoadFromFile(FileName);
  // The checks and words of a tile's import, with the actor's size.
  std::string Error;
  if (Loaded.Width() != Actor.Width())
    Error = Format("Width of image is %d, but it must be %d", Loaded.Width(), Actor.Width());
  if (Loaded.Height() != Actor.Height())
    Error = Format("Height of image is %d, but it must be %d", Loaded.Height(), Actor.Height());
  try {
    Loaded.GetColor(0, 0);
  } catch (const EGame& E) {
    Error = E.what();
  }
  if (!Error.empty()) throw EGame(Error);
  for (int r = 0; r < Actor.Rows(); ++r)
    for (int c = 0; c < Actor.Columns(); ++c) {
      const int Cell = r * Actor.Columns() + c;
      TTile* Tile = Actor.FrameTiles(Anim, Frame)[static_cast<std::size_t>(Cell)];
      if (!TileOnlyInCell(Actor, Anim, Frame, Cell, Tile)) Tile = AddFrameTile(Actor, Anim, Frame, Cell);
      Tile->SetBitmap(CutTilePicture(Loaded, c, r));
    }
}

std::vector<TFrameUse> FramesShowing(const TGame& Game, const TTile* Tile) {
  std::vector<TFrameUse> Uses;
  if (!Tile) return Uses;
  for (int a = 0; a < Game.ActorCount(); ++a) {
    const TActor& Actor = *Game.GetActor(a);
    TFrameUse Use{&Actor, {}};
    for (int n = 0; n < Actor.AnimationCount(); ++n) {
      std::string Numbers;
      int Count = 0;
      for (int f = 0; f < Actor.FrameCount(n); ++f) {
        const TFrameTiles& Tiles = Actor.FrameTiles(n, f);
        if (std::find(Tiles.begin(), Tiles.end(), Tile) == Tiles.end()) continue;
        Numbers += (Count++ ? ", " : "") + std::to_string(f + 1);
      }
      if (Count) Use.Frames.push_back(Actor.GetAnimation(n).Name + (Count == 1 ? " frame " : " frames ") + Numbers);
    }
    if (!Use.Frames.empty()) Uses.push_back(std::move(Use));
  }
  return Uses;
}

}  // namespace lvk
