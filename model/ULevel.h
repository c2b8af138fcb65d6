#pragma once
// A named grid of cells on which actors are placed, at most one a cell.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/UItemId.h"
#include "support/UMemWatch.h"

namespace lvk {

class TGame;
class TActor;
class TSound;
class TSong;
class TStream;
class TWriter;
class TReader;

// The sizes the editor and the generator allow, in cells: from one DS screen
// up to 2,048 pixels a side.
constexpr int MinLevelColumns = 32;
constexpr int MinLevelRows = 24;
constexpr int MaxLevelColumns = 256;
constexpr int MaxLevelRows = 256;
constexpr int ScreenColumns = 32;
constexpr int ScreenRows = 24;

// How the lower screen follows play on a level bigger than the screen. The
// camera never shows anything beyond the level's edges.
struct TLevelCamera {
  // Dead zones are at most the screen, in pixels.
  static constexpr int MaxDeadWidth = 256;
  static constexpr int MaxDeadHeight = 192;
  TActor* Follow = nullptr;  // not owned; none: the camera stays where it is put
  int DeadWidth = 0;         // the box in the screen's middle inside which
  int DeadHeight = 0;        // the followed actor moves without scrolling
  bool LockX = false;        // the camera never moves along this axis
  bool LockY = false;
  bool IsDefault() const { return !Follow && DeadWidth == 0 && DeadHeight == 0 && !LockX && !LockY; }
  bool operator==(const TLevelCamera&) const = default;
};

// Where cells stay when a level changes size: 0 at the left (top) edge, 1 in
// the middle, 2 at the right (bottom) edge.
struct TLevelAnchor {
  int X = 0;
  int Y = 0;
};

class TLevel : public TIdentified {
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
  // The same with the kept cells at Anchor: growing adds empty cells on the
  // other sides, shrinking drops the cells there.
  void SetSize(int Width, int Height, TLevelAnchor Anchor);
  // Placed actors that SetSize(Width, Height, Anchor) would drop.
  int CellsDropped(int Width, int Height, TLevelAnchor Anchor) const;
  // Whether the size is one the editor and the generator allow.
  static bool SizeAllowed(int Width, int Height) {
    return Width >= MinLevelColumns && Width <= MaxLevelColumns && Height >= MinLevelRows && Height <= MaxLevelRows;
  }

  int CellIndex(int Column, int Row) const;
  // Cells, music and the followed actor are kept by id and looked up when
  // asked: an item that is gone is none.
  TActor* GetCell(int Column, int Row) const;
  // The placed actor's id, NoItem for none; no look-up.
  TItemId CellId(int Column, int Row) const { return FCells[static_cast<std::size_t>(CellIndex(Column, Row))]; }
  void SetCell(int Column, int Row, TActor* Actor);
  // The sound that loops while the level plays, or none. Not owned.
  TSound* Music() const;
  // A sound set as the music takes the place of a song, and the other way.
  void SetMusic(TSound* Music);
  // The song that plays while the level plays, or none. Not owned.
  TSong* Song() const;
  void SetSong(TSong* Song);
  TLevelCamera Camera() const;
  // Dead zones are clamped to the screen.
  void SetCamera(const TLevelCamera& Camera);
  // The camera's top-left pixel when the level starts: the followed actor's
  // first cell (row by row) in the screen's middle, kept inside the level;
  // the top-left corner when nothing is followed or the actor is not placed.
  void CameraStart(int& X, int& Y) const;
  // The colour shown behind everything on the level (a colour value, red in
  // the low byte), or none: palette entry 0's colour, as before levels had
  // one of their own.
  const std::optional<std::uint32_t>& Backdrop() const { return FBackdrop; }
  void SetBackdrop(std::optional<std::uint32_t> Color);

  void SaveToStream(TStream& Stream, TWriter& Writer) const;
  void LoadFromStream(TStream& Stream, TReader& Reader);
  // The camera as its section stores it: the followed actor ("" or 0 for
  // none), the dead zone (clamped when read) and the locks as flags. A
  // followed actor the game lacks is EReadError.
  void SaveCamera(TWriter& Writer) const;
  void LoadCamera(TReader& Reader);


private:
  friend class TGame;  // duplicates levels, empties a deleted actor's cells, undoes, reads
  friend class TProjectFile;  // music and cameras are read in their sections
  // For the reader, whose record names the level: no default name is looked for.
  TLevel(TGame& Owner, std::string Name);
  // Empties every cell holding Actor, and the camera follows it no more;
  // true when there was one.
  bool ClearActor(TItemId Actor);
  void CopyCells(const TLevel& Source);
  void WriteCells(TWriter& Writer) const;

  TGame& FOwner;
  std::string FName;
  int FWidth = 0;
  int FHeight = 0;
  std::vector<TItemId> FCells;  // row by row, top row first
  TItemId FMusic = NoItem;
  TItemId FSong = NoItem;
  TLevelCamera FCamera;  // without its followed actor, which is:
  TItemId FFollow = NoItem;
  std::optional<std::uint32_t> FBackdrop;
};

}  // namespace lvk
