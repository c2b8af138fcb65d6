#include "model/ULevel.h"

#include <algorithm>
#include <unordered_map>

#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"
#include "model/UGame.h"
#include "model/UNames.h"
#include "model/USong.h"
#include "model/USound.h"

namespace lvk {

namespace {
constexpr const char* Marker = "[TLevel]";
}

TLevel::TLevel(TGame& Owner)
    : TLevel(Owner, DefaultItemName("lLevel", Owner.LevelCount(),
                                    [&](const std::string& N) { return Owner.FindLevelByName(N) != nullptr; })) {}

TLevel::TLevel(TGame& Owner, std::string Name)
    : TIdentified(&Owner, TItemKind::Level), FOwner(Owner), FName(std::move(Name)) {}

void TLevel::SetName(const std::string& Name) {
  CheckItemName(Name, this, FOwner.FindLevelByName(Name), "A level with name \"%s\" already exists");
  if (Name == FName) return;
  FOwner.MayChange();
  FName = Name;
  FOwner.Changed(TChangeKind::Renamed, *this);
}

namespace {
// How far the old cells move for a new size: none at the near edge, all of
// the difference at the far one, half of it in the middle.
int AnchorShift(int Old, int New, int Anchor) {
  int Difference = New - Old;
  return Anchor <= 0 ? 0 : Anchor == 1 ? Difference / 2 : Difference;
}
}  // namespace

void TLevel::SetSize(int Width, int Height) { SetSize(Width, Height, TLevelAnchor{}); }

void TLevel::SetSize(int Width, int Height, TLevelAnchor Anchor) {
  if (Width < 0 || Height < 0) throw EGame(Format("Level size must be positive (%d,%d)", Width, Height));
  FOwner.MayChange();
  std::vector<TItemId> Cells(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height), NoItem);
  const int ShiftX = AnchorShift(FWidth, Width, Anchor.X);
  const int ShiftY = AnchorShift(FHeight, Height, Anchor.Y);
  for (int R = std::max(0, -ShiftY); R < std::min(FHeight, Height - ShiftY); ++R)
    for (int C = std::max(0, -ShiftX); C < std::min(FWidth, Width - ShiftX); ++C)
      Cells[static_cast<std::size_t>(R + ShiftY) * Width + (C + ShiftX)] = FCells[static_cast<std::size_t>(R) * FWidth + C];
  FCells = std::move(Cells);
  FWidth = Width;
  FHeight = Height;
  FOwner.Changed(TChangeKind::Changed, *this, cfSize | cfCells);
}

int TLevel::CellsDropped(int Width, int Height, TLevelAnchor Anchor) const {
  const int ShiftX = AnchorShift(FWidth, Width, Anchor.X);
  const int ShiftY = AnchorShift(FHeight, Height, Anchor.Y);
  int Dropped = 0;
  for (int R = 0; R < FHeight; ++R)
    for (int C = 0; C < FWidth; ++C) {
      bool Kept = R + ShiftY >= 0 && R + ShiftY < Height && C + ShiftX >= 0 && C + ShiftX < Width;
      Dropped += !Kept && FCells[static_cast<std::size_t>(R) * FWidth + C] != NoItem;
    }
  return Dropped;
}

int TLevel::CellIndex(int Column, int Row) const {
  if (Column < 0 || Column >= FWidth) throw EGame(Format("Level column must be [0..%d), but is %d", FWidth, Column));
  if (Row < 0 || Row >= FHeight) throw EGame(Format("Level row must be [0..%d), but is %d", FHeight, Row));
  return Row * FWidth + Column;
}

TActor* TLevel::GetCell(int Column, int Row) const {
  const TItemId Id = FCells[static_cast<std::size_t>(CellIndex(Column, Row))];
  return Id == NoItem ? nullptr : FOwner.ActorById(Id);
}

void TLevel::SetCell(int Column, int Row, TActor* Actor) {
  TItemId& Cell = FCells[static_cast<std::size_t>(CellIndex(Column, Row))];
  const TItemId Id = Actor ? Actor->Id() : NoItem;
  if (Cell == Id) return;
  FOwner.MayChange();
  Cell = Id;
  FOwner.Changed(TChangeKind::Changed, *this, cfCells);
}

TSound* TLevel::Music() const { return FMusic == NoItem ? nullptr : FOwner.SoundById(FMusic); }

void TLevel::SetMusic(TSound* Music) {
  const TItemId Id = Music ? Music->Id() : NoItem;
  if (Id == FMusic) return;
  FOwner.MayChange();
  FMusic = Id;
  if (Id != NoItem) FSong = NoItem;
  FOwner.Changed(TChangeKind::Changed, *this, cfPlay);
}

TSong* TLevel::Song() const { return FSong == NoItem ? nullptr : FOwner.SongById(FSong); }

void TLevel::SetSong(TSong* Song) {
  const TItemId Id = Song ? Song->Id() : NoItem;
  if (Id == FSong) return;
  FOwner.MayChange();
  FSong = Id;
  if (Id != NoItem) FMusic = NoItem;
  FOwner.Changed(TChangeKind::Changed, *this, cfPlay);
}

TLevelCamera TLevel::Camera() const {
  TLevelCamera Camera = FCamera;
  Camera.Follow = FFollow == NoItem ? nullptr : FOwner.ActorById(FFollow);
  return Camera;
}

void TLevel::SetCamera(const TLevelCamera& Camera) {
  TLevelCamera Clamped = Camera;
  Clamped.DeadWidth = std::clamp(Camera.DeadWidth, 0, TLevelCamera::MaxDeadWidth);
  Clamped.DeadHeight = std::clamp(Camera.DeadHeight, 0, TLevelCamera::MaxDeadHeight);
  const TItemId Follow = Camera.Follow ? Camera.Follow->Id() : NoItem;
  Clamped.Follow = nullptr;
  if (Clamped == FCamera && Follow == FFollow) return;
  FOwner.MayChange();
  FCamera = Clamped;
  FFollow = Follow;
  FOwner.Changed(TChangeKind::Changed, *this, cfPlay);
}

void TLevel::SetBackdrop(std::optional<std::uint32_t> Color) {
  Assert(!Color || *Color <= 0xFFFFFF, "UGame");
  if (Color == FBackdrop) return;
  FOwner.MayChange();
  FBackdrop = Color;
  FOwner.Changed(TChangeKind::Changed, *this, cfPlay);
}

void TLevel::CameraStart(int& X, int& Y) const {
  X = Y = 0;
  if (FFollow == NoItem) return;
  for (std::size_t i = 0; i < FCells.size(); ++i)
    if (FCells[i] == FFollow) {
      const int Column = static_cast<int>(i % FWidth), Row = static_cast<int>(i / FWidth);
      const int MaxX = std::max(0, FWidth * 8 - ScreenColumns * 8), MaxY = std::max(0, FHeight * 8 - ScreenRows * 8);
      // The actor's 8x8 box centred on the screen.
      X = std::clamp(Column * 8 + 4 - ScreenColumns * 4, 0, MaxX);
      Y = std::clamp(Row * 8 + 4 - ScreenRows * 4, 0, MaxY);
      return;
    }
}

bool TLevel::ClearActor(TItemId Actor) {
  FOwner.MayChange();
  bool Found = false;
  if (FFollow == Actor) {
    FFollow = NoItem;
    Found = true;
  }
  for (TItemId& Cell : FCells)
    if (Cell == Actor) {
      Cell = NoItem;
      Found = true;
    }
  if (Found) FOwner.Changed(TChangeKind::Changed, *this, cfCells | cfPlay);
  return Found;
}

void TLevel::CopyCells(const TLevel& Source) {
  FOwner.MayChange();
  FWidth = Source.FWidth;
  FHeight = Source.FHeight;
  FCells = Source.FCells;
  FMusic = Source.FMusic;
  FSong = Source.FSong;
  FCamera = Source.FCamera;
  FFollow = Source.FFollow;
  FBackdrop = Source.FBackdrop;
  FOwner.Changed(TChangeKind::Changed, *this, cfSize | cfCells | cfPlay);
}

void TLevel::SaveToStream(TStream&, TWriter& Writer) const {
  Writer.WriteString(Marker);
  Writer.WriteString(FName);
  Writer.WriteInteger(FWidth);
  Writer.WriteInteger(FHeight);
  WriteCells(Writer);
}

void TLevel::WriteCells(TWriter& Writer) const {
  // Runs of one actor are common: its look-up is kept while it lasts.
  TItemId Last = NoItem;
  const TActor* Actor = nullptr;
  for (const TItemId Cell : FCells) {
    if (Cell != Last) {
      Last = Cell;
      Actor = Cell == NoItem ? nullptr : FOwner.ActorById(Cell);
    }
    Writer.WriteBoolean(Actor != nullptr);
    if (Actor) Writer.WriteLink(Actor->Name(), Cell);
  }
}

void TLevel::SaveCamera(TWriter& Writer) const {
  FOwner.WriteLink(Writer, TItemKind::Actor, FFollow);
  Writer.WriteInteger(FCamera.DeadWidth);
  Writer.WriteInteger(FCamera.DeadHeight);
  Writer.WriteInteger((FCamera.LockX ? 1 : 0) | (FCamera.LockY ? 2 : 0));
}

void TLevel::LoadCamera(TReader& Reader) {
  TLevelCamera Camera;
  const TLink Follow = Reader.ReadLink();
  const TItemId FollowId = Follow.IsNone() ? NoItem : FOwner.LinkedId(TItemKind::Actor, Follow);
  if (!Follow.IsNone() && FollowId == NoItem) throw EReadError("section");
  Camera.DeadWidth = std::clamp<std::int32_t>(Reader.ReadInteger(), 0, TLevelCamera::MaxDeadWidth);
  Camera.DeadHeight = std::clamp<std::int32_t>(Reader.ReadInteger(), 0, TLevelCamera::MaxDeadHeight);
  const std::int32_t Flags = Reader.ReadInteger();
  Camera.LockX = (Flags & 1) != 0;
  Camera.LockY = (Flags & 2) != 0;
  FCamera = Camera;
  FFollow = FollowId;
}

void TLevel::LoadFromStream(TStream&, TReader& Reader) {
  std::string Read = Reader.ReadString();
  if (Read != Marker) throw EGame(Format("Read error: expected %s, read %s", Marker, Read));
  FName = Reader.ReadString();
  int Width = Reader.ReadInteger();
  int Height = Reader.ReadInteger();
  // Every cell takes at least one byte: a size the file cannot hold is not
  // allocated, and a negative one is no size at all.
  if (Width < 0 || Height < 0 ||
      static_cast<std::uint64_t>(Width) * static_cast<std::uint64_t>(Height) > Reader.Remaining())
    throw EReadError("Invalid level size");
  FWidth = Width;
  FHeight = Height;
  FCells.assign(static_cast<std::size_t>(Width) * Height, NoItem);
  // A level names few actors many times over: look each stored name up once.
  std::unordered_map<std::string, TItemId> Resolved;
  for (TItemId& Cell : FCells) {
    if (!Reader.ReadBoolean()) continue;
    TLink Link = Reader.ReadLink();
    if (Link.Id != NoItem) {
      Cell = FOwner.ActorById(Link.Id) ? Link.Id : NoItem;
      continue;
    }
    auto It = Resolved.find(Link.Name);
    if (It == Resolved.end()) {
      const TActor* Actor = FOwner.FindActorByName(Link.Name);
      It = Resolved.emplace(Link.Name, Actor ? Actor->Id() : NoItem).first;
    }
    Cell = It->second;
  }
}

}  // namespace lvk
