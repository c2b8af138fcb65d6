#include "ui/editors/ULevelCover.h"

#include <algorithm>
#include <unordered_map>

#include "model/UActor.h"
#include "model/ULevel.h"

namespace {

struct TLookHash {
  std::size_t operator()(const TCellLook& L) const {
    auto Part = [](const TCellCover& C) {
      return std::hash<const void*>()(C.Actor) ^ (std::size_t(C.PartX) << 3) ^ (std::size_t(C.PartY) << 7);
    };
    return Part(L.Scenery) * 31 + Part(L.Live);
  }
};

}  // namespace

void TLevelCover::Clear() {
  FWidth = FHeight = 0;
  FPlaced.clear();
  FCells.clear();
  FLooks.clear();
}

bool TLevelCover::Matches(const lvk::TLevel& Level) const {
  if (Level.Width() != FWidth || Level.Height() != FHeight) return false;
  auto Placed = FPlaced.begin();
  for (int Row = 0; Row < FHeight; ++Row)
    for (int Column = 0; Column < FWidth; ++Column)
      if (Level.CellId(Column, Row) != *Placed++) return false;
  return true;
}

void TLevelCover::Build(const lvk::TLevel& Level) {
  FWidth = std::max(0, Level.Width());
  FHeight = std::max(0, Level.Height());
  std::vector<TCellLook> Cells(static_cast<std::size_t>(FWidth) * FHeight);
  FPlaced.assign(Cells.size(), lvk::NoItem);
  // Row by row, each actor stamps its block over what earlier cells stamped.
  lvk::TItemId Last = lvk::NoItem;
  const lvk::TActor* Actor = nullptr;
  for (int Row = 0; Row < FHeight; ++Row)
    for (int Column = 0; Column < FWidth; ++Column) {
      const lvk::TItemId Id = Level.CellId(Column, Row);
      if (Id != Last) {
        Last = Id;
        Actor = Level.GetCell(Column, Row);
      }
      FPlaced[static_cast<std::size_t>(Row) * FWidth + Column] = Id;
      if (!Actor) continue;
      const bool Live = Actor->HandlerCount() > 0;
      const int Rows = std::min(Actor->Rows(), FHeight - Row), Columns = std::min(Actor->Columns(), FWidth - Column);
      for (int y = 0; y < Rows; ++y)
        for (int x = 0; x < Columns; ++x) {
          TCellLook& Cell = Cells[static_cast<std::size_t>(Row + y) * FWidth + Column + x];
          (Live ? Cell.Live : Cell.Scenery) = {Actor, std::uint8_t(x), std::uint8_t(y)};
        }
    }
  FLooks.clear();
  FCells.assign(Cells.size(), 0);
  std::unordered_map<TCellLook, int, TLookHash> Numbers;
  for (std::size_t i = 0; i < Cells.size(); ++i) {
    auto [Found, Added] = Numbers.emplace(Cells[i], static_cast<int>(FLooks.size()));
    if (Added) FLooks.push_back(Cells[i]);
    FCells[i] = Found->second;
  }
}
