#pragma once
// A named grid of cells on which actors are placed, at most one a cell.
#include <string>
#include <vector>

#include "support/UMemWatch.h"

namespace lvk {

class TGame;
class TActor;
class TSound;
class TStream;
class TWriter;
class TReader;

class TLevel {
public:
  LVK_COUNTED
  // Only TGame::AddLevel constructs levels; a new level is 0 by 0.
  explicit TLevel(TGame& Owner);

  TGame& Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Name);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Keeps the actors of the overlap at their coordinates; the rest is empty.
  void SetSize(int Width, int Height);

  int CellIndex(int Column, int Row) const;
  TActor* GetCell(int Column, int Row) const;
  void SetCell(int Column, int Row, TActor* Actor);
  // The sound that loops while the level plays, or none. Not owned.
  TSound* Music() const { return FMusic; }
  void SetMusic(TSound* Music);

  void SaveToStream(TStream& Stream, TWriter& Writer) const;
  void LoadFromStream(TStream& Stream, TReader& Reader);


private:
  friend class TGame;  // duplicates levels, empties a deleted actor's cells, undoes, reads
  // For the reader, whose record names the level: no default name is looked for.
  TLevel(TGame& Owner, std::string Name);
  // Empties every cell holding Actor; true when there was one.
  bool ClearActor(const TActor* Actor);
  void CopyCells(const TLevel& Source);

  TGame& FOwner;
  std::string FName;
  int FWidth = 0;
  int FHeight = 0;
  std::vector<TActor*> FCells;  // row by row, top row first
  TSound* FMusic = nullptr;
};

}  // namespace lvk
