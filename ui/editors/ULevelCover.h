#pragma once
// What each cell of a level shows in the layout editor, worked out once per
// change of the level rather than searched for at every drawn cell.
#include <cstdint>
#include <vector>

#include "model/UItemId.h"

namespace lvk {
class TActor;
class TLevel;
}  // namespace lvk

// The actor whose block covers a cell, and which cell of its block that is
// (0, 0 for the cell the actor is placed in); no actor: null.
struct TCellCover {
  const lvk::TActor* Actor = nullptr;
  std::uint8_t PartX = 0;
  std::uint8_t PartY = 0;
  bool operator==(const TCellCover&) const = default;
};

// A look: the scenery (actors without handlers) covering a cell and the
// live actor (with handlers, drawn over the scenery as a sprite) covering it.
struct TCellLook {
  TCellCover Scenery;
  TCellCover Live;
  bool operator==(const TCellLook&) const = default;
};

// Each cell's look, numbered: cells that look alike share a number, so a
// picture made for one look serves every cell of it. Of the actors whose
// block covers a cell, the last in cell order (row by row) wins.
class TLevelCover {
public:
  void Build(const lvk::TLevel& Level);
  void Clear();
  // Whether the level's cells are still those it was built from: a cheap
  // pass over them, so a change made anywhere is noticed before drawing.
  bool Matches(const lvk::TLevel& Level) const;
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // The look's number for a cell inside the level.
  int LookAt(int Column, int Row) const { return FCells[static_cast<std::size_t>(Row) * FWidth + Column]; }
  const TCellLook& Look(int Number) const { return FLooks[static_cast<std::size_t>(Number)]; }
  int LookCount() const { return static_cast<int>(FLooks.size()); }

private:
  int FWidth = 0;
  int FHeight = 0;
  std::vector<lvk::TItemId> FPlaced;  // the cells built from, by actor id
  std::vector<int> FCells;
  std::vector<TCellLook> FLooks;
};
