#include "model/UActor.h"

#include <algorithm>
#include <cctype>

#include "model/UValueTypes.h"
#include "model/UKinds.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"
#include "model/UNames.h"
#include "model/UStream.h"
#include "model/UTile.h"

namespace lvk {

namespace {
constexpr const char* Marker = "[TActor]";

bool SameName(const std::string& A, const std::string& B) {
  if (A.size() != B.size()) return false;
  for (std::size_t i = 0; i < A.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(A[i])) != std::tolower(static_cast<unsigned char>(B[i]))) return false;
  return true;
}
}  // namespace

// ---- THandler ----

THandler::THandler(TActor& Owner) : TIdentified(&Owner.Owner(), TItemKind::Handler), FOwner(Owner) {}

// The event goes first, then the actions.
THandler::~THandler() {
  FEvent.reset();
  FActions.Clear();
}

void THandler::SetEvent(const TEventKind& Kind) {
  FOwner.Owner().MayChange();
  FEvent.reset();
  FEvent.reset(Kind.Create(*this));
  FOwner.Owner().Notify(TChangeKind::Changed, *this, cfHandlers);
}

void THandler::SetComment(const std::string& Comment) {
  if (Comment == FComment) return;
  FOwner.Owner().MayChange();
  FComment = Comment;
  Changed();
}

void THandler::Changed() { FOwner.Owner().Changed(TChangeKind::Changed, *this, cfHandlers); }

TActionBase* THandler::GetAction(int Index) const {
  Assert(Index >= 0 && Index < FActions.Count(), "UGame");
  return FActions.At(Index);
}

TActionBase* THandler::AddAction(const TActionKind& Kind) {
  FOwner.Owner().MayChange();
  TActionBase* Action = FActions.Append(std::unique_ptr<TActionBase>(Kind.Create(*this)));
  Changed();
  return Action;
}

void THandler::MoveAction(int From, int To) {
  Assert(From >= 0 && From < FActions.Count() && To >= 0 && To < FActions.Count(), "UGame");
  if (From == To) return;
  FOwner.Owner().MayChange();
  FActions.Move(From, To);
  Changed();
}

void THandler::DeleteAction(int Index) {
  Assert(Index >= 0 && Index < FActions.Count(), "UGame");
  FOwner.Owner().MayChange();
  FActions.Remove(Index);
  Changed();
}

void THandler::SaveEvent(TStream& Stream, TWriter& Writer) const {
  Assert(FEvent != nullptr, "UGame");
  Writer.WriteString(FEvent->Kind().StreamKey());
  FEvent->WriteParams(Stream, Writer);
}

void THandler::SaveAction(const TActionBase& Action, TStream& Stream, TWriter& Writer) {
  Writer.WriteString(Action.Kind().StreamKey());
  Action.WriteParams(Stream, Writer);
}

void THandler::SaveToStream(TStream& Stream, TWriter& Writer) const {
  SaveEvent(Stream, Writer);
  Writer.WriteInteger(FActions.Count());
  for (int i = 0; i < FActions.Count(); ++i) SaveAction(*FActions.At(i), Stream, Writer);
}

void THandler::LoadFromStream(TStream& Stream, TReader& Reader) {
  std::string Key = Reader.ReadString();
  const TEventKind* Kind = FindEventKind(Key);
  if (!Kind) throw EGame(Format("File refers to unregistered event \"%s\"", Key));
  SetEvent(*Kind);
  FEvent->ReadParams(Stream, Reader);
  int Count = Reader.ReadInteger();
  for (int i = 0; i < Count; ++i) {
    std::string ActionKey = Reader.ReadString();
    const TActionKind* ActionKind = FindActionKind(ActionKey);
    if (!ActionKind) throw EGame(Format("File refers to unregistered action \"%s\"", ActionKey));
    AddAction(*ActionKind)->ReadParams(Stream, Reader);
  }
}

// ---- TActor ----

TActor::TActor(TGame& Owner)
    : TActor(Owner, DefaultItemName("aActor", Owner.ActorCount(),
                                    [&](const std::string& N) { return Owner.FindActorByName(N) != nullptr; })) {}

TActor::TActor(TGame& Owner, std::string Name)
    : TIdentified(&Owner, TItemKind::Actor), FOwner(Owner), FName(std::move(Name)) {}

TActor::~TActor() = default;

void TActor::SetName(const std::string& Name) {
  CheckItemName(Name, this, FOwner.FindActorByName(Name), "An actor with name \"%s\" already exists");
  if (Name == FName) return;
  FOwner.MayChange();
  FName = Name;
  FOwner.Changed(TChangeKind::Renamed, *this);
}

void TActor::SetSolid(bool Solid) {
  if (Solid == FSolid) return;
  FOwner.MayChange();
  FSolid = Solid;
  FOwner.Changed(TChangeKind::Changed, *this, cfValues);
}

TTile* TActor::Tile() const { return FTileId == NoItem ? nullptr : FOwner.TileById(FTileId); }

void TActor::SetTile(TTile* Tile) {
  const TItemId Id = Tile ? Tile->Id() : NoItem;
  if (Id == FTileId) return;
  FOwner.MayChange();
  FTileId = Id;
  FOwner.Changed(TChangeKind::Changed, *this, cfLook);
}

// ---- The look ----

void TActor::LookChanged() { FOwner.Changed(TChangeKind::Changed, *this, cfLook); }

void TActor::SetSize(int Width, int Height) {
  if (!IsSpriteSize(Width, Height)) throw EGame(Format("%dx%d is no sprite size", Width, Height));
  if (Width == FWidth && Height == FHeight) return;
  FOwner.MayChange();
  const int OldColumns = Columns(), OldRows = Rows();
  FWidth = Width;
  FHeight = Height;
  for (TAnimation& A : FAnimations)
    for (TFrameIds& Frame : A.Frames) {
      TFrameIds Resized(static_cast<std::size_t>(Columns() * Rows()), NoItem);
      for (int r = 0; r < std::min(OldRows, Rows()); ++r)
        for (int c = 0; c < std::min(OldColumns, Columns()); ++c) Resized[r * Columns() + c] = Frame[r * OldColumns + c];
      Frame = std::move(Resized);
    }
  LookChanged();
}

TAnimation& TActor::Animation(int Index) {
  Assert(Index >= 0 && Index < AnimationCount(), "UGame");
  return FAnimations[static_cast<std::size_t>(Index)];
}

const TAnimation& TActor::GetAnimation(int Index) const {
  Assert(Index >= 0 && Index < AnimationCount(), "UGame");
  return FAnimations[static_cast<std::size_t>(Index)];
}

int TActor::FindAnimation(const std::string& Name) const {
  for (int i = 0; i < AnimationCount(); ++i)
    if (SameName(FAnimations[i].Name, Name)) return i;
  return -1;
}

int TActor::AddAnimation() {
  FOwner.MayChange();
  TAnimation A;
  A.Name = DefaultItemName("Anim", AnimationCount(), [this](const std::string& N) { return FindAnimation(N) >= 0; });
  A.Frames.push_back(Fitted({}));
  FAnimations.push_back(std::move(A));
  LookChanged();
  return AnimationCount() - 1;
}

void TActor::DeleteAnimation(int Index) {
  Animation(Index);
  FOwner.MayChange();
  FAnimations.erase(FAnimations.begin() + Index);
  LookChanged();
}

void TActor::MoveAnimation(int From, int To) {
  Animation(From);
  Animation(To);
  if (From == To) return;
  FOwner.MayChange();
  TAnimation Moved = std::move(FAnimations[From]);
  FAnimations.erase(FAnimations.begin() + From);
  FAnimations.insert(FAnimations.begin() + To, std::move(Moved));
  LookChanged();
}

void TActor::SetAnimationName(int Index, const std::string& Name) {
  TAnimation& A = Animation(Index);
  const int Found = FindAnimation(Name);
  CheckItemName(Name, &A, Found < 0 ? nullptr : &FAnimations[Found], "An animation with name \"%s\" already exists");
  if (Name == A.Name) return;
  FOwner.MayChange();
  const std::string Old = A.Name;
  A.Name = Name;
  LookChanged();
  // Only this actor's handlers can name its animations.
  for (int h = 0; h < FHandlers.Count(); ++h) {
    THandler& Handler = *FHandlers.At(h);
    for (int i = 0; i < Handler.ActionCount(); ++i)
      Handler.GetAction(i)->RenameReference(TValueType::Animation, Old, Name);
  }
}

void TActor::SetFrameLength(int Index, int Frames) {
  TAnimation& A = Animation(Index);
  Frames = std::clamp(Frames, MinFrameLength, MaxFrameLength);
  if (Frames == A.FrameLength) return;
  FOwner.MayChange();
  A.FrameLength = Frames;
  LookChanged();
}

void TActor::SetAnimationMode(int Index, TAnimationMode Mode) {
  TAnimation& A = Animation(Index);
  if (Mode == A.Mode) return;
  FOwner.MayChange();
  A.Mode = Mode;
  LookChanged();
}

TFrameIds TActor::Fitted(TFrameIds Tiles) const {
  Tiles.resize(static_cast<std::size_t>(Columns() * Rows()), NoItem);
  return Tiles;
}

TFrameIds TActor::IdsOf(const TFrameTiles& Tiles) const {
  TFrameIds Ids;
  Ids.reserve(Tiles.size());
  for (const TTile* Tile : Tiles) Ids.push_back(Tile ? Tile->Id() : NoItem);
  return Ids;
}

TFrameTiles TActor::TilesOf(const TFrameIds& Ids) const {
  TFrameTiles Tiles;
  Tiles.reserve(Ids.size());
  for (TItemId Id : Ids) Tiles.push_back(Id == NoItem ? nullptr : FOwner.TileById(Id));
  return Tiles;
}

const TFrameIds& TActor::FrameIds(int Anim, int Frame) const {
  const TAnimation& A = GetAnimation(Anim);
  Assert(Frame >= 0 && Frame < static_cast<int>(A.Frames.size()), "UGame");
  return A.Frames[static_cast<std::size_t>(Frame)];
}

TFrameTiles TActor::FrameTiles(int Anim, int Frame) const { return TilesOf(FrameIds(Anim, Frame)); }

int TActor::AddFrame(int Anim, TFrameTiles Tiles) {
  TAnimation& A = Animation(Anim);
  FOwner.MayChange();
  A.Frames.push_back(Fitted(IdsOf(Tiles)));
  LookChanged();
  return static_cast<int>(A.Frames.size()) - 1;
}

void TActor::DeleteFrame(int Anim, int Frame) {
  FrameTiles(Anim, Frame);
  TAnimation& A = Animation(Anim);
  FOwner.MayChange();
  A.Frames.erase(A.Frames.begin() + Frame);
  LookChanged();
}

void TActor::MoveFrame(int Anim, int From, int To) {
  FrameTiles(Anim, From);
  FrameTiles(Anim, To);
  if (From == To) return;
  FOwner.MayChange();
  TAnimation& A = Animation(Anim);
  TFrameIds Moved = std::move(A.Frames[From]);
  A.Frames.erase(A.Frames.begin() + From);
  A.Frames.insert(A.Frames.begin() + To, std::move(Moved));
  LookChanged();
}

void TActor::SetFrameTiles(int Anim, int Frame, TFrameTiles Tiles) {
  FrameIds(Anim, Frame);
  TFrameIds& Into = Animation(Anim).Frames[Frame];
  TFrameIds Ids = Fitted(IdsOf(Tiles));
  if (Ids == Into) return;
  FOwner.MayChange();
  Into = std::move(Ids);
  LookChanged();
}

void TActor::SetFrameTile(int Anim, int Frame, int Cell, TTile* Tile) {
  FrameIds(Anim, Frame);
  Assert(Cell >= 0 && Cell < Columns() * Rows(), "UGame");
  TItemId& Into = Animation(Anim).Frames[Frame][Cell];
  const TItemId Id = Tile ? Tile->Id() : NoItem;
  if (Into == Id) return;
  FOwner.MayChange();
  Into = Id;
  LookChanged();
}

TFrameTiles TActor::RestingFrame() const {
  if (!FAnimations.empty() && !FAnimations.front().Frames.empty()) return TilesOf(FAnimations.front().Frames.front());
  TFrameTiles Frame(static_cast<std::size_t>(Columns() * Rows()), nullptr);
  Frame[0] = Tile();
  return Frame;
}

void TActor::ForgetTile(const TTile* Tile) {
  FOwner.MayChange();
  bool Changed = false;
  const TItemId Id = Tile ? Tile->Id() : NoItem;
  for (TAnimation& A : FAnimations)
    for (TFrameIds& Frame : A.Frames)
      for (TItemId& Cell : Frame)
        if (Cell == Id && Id != NoItem) {
          Cell = NoItem;
          Changed = true;
        }
  if (Changed) LookChanged();
}

void TActor::SaveLook(TWriter& Writer) const {
  Writer.WriteInteger(FWidth);
  Writer.WriteInteger(FHeight);
  Writer.WriteInteger(AnimationCount());
  for (const TAnimation& A : FAnimations) {
    Writer.WriteString(A.Name);
    Writer.WriteInteger(A.FrameLength);
    Writer.WriteInteger(static_cast<std::int32_t>(A.Mode));
    Writer.WriteInteger(static_cast<std::int32_t>(A.Frames.size()));
    for (const TFrameIds& Frame : A.Frames)
      for (const TItemId Id : Frame) FOwner.WriteLink(Writer, TItemKind::Tile, Id);
  }
}

void TActor::LoadLook(TReader& Reader) {
  const std::int32_t Width = Reader.ReadInteger(), Height = Reader.ReadInteger();
  if (!IsSpriteSize(Width, Height)) throw EReadError("section");
  FWidth = Width;
  FHeight = Height;
  const std::size_t Cells = static_cast<std::size_t>(Columns() * Rows());
  // An animation takes at least 8 bytes, a frame 2 bytes a cell.
  const std::int32_t Count = Reader.ReadInteger();
  if (Count < 0 || static_cast<std::uint64_t>(Count) > Reader.Remaining() / 8) throw EReadError("section");
  FAnimations.clear();
  for (std::int32_t i = 0; i < Count; ++i) {
    TAnimation A;
    A.Name = Reader.ReadString();
    A.FrameLength = Reader.ReadInteger();
    const std::int32_t Mode = Reader.ReadInteger();
    const std::int32_t Frames = Reader.ReadInteger();
    if (!IsLegalName(A.Name) || FindAnimation(A.Name) >= 0 || A.FrameLength < MinFrameLength ||
        A.FrameLength > MaxFrameLength || Mode < 0 || Mode >= AnimationModeCount || Frames < 0 ||
        static_cast<std::uint64_t>(Frames) * Cells > Reader.Remaining() / 2)
      throw EReadError("section");
    A.Mode = static_cast<TAnimationMode>(Mode);
    for (std::int32_t f = 0; f < Frames; ++f) {
      TFrameIds Frame;
      Frame.reserve(Cells);
      // A name no tile has is no tile, as for the actor's own tile.
      for (std::size_t c = 0; c < Cells; ++c) Frame.push_back(FOwner.LinkedId(TItemKind::Tile, Reader.ReadLink()));
      A.Frames.push_back(std::move(Frame));
    }
    FAnimations.push_back(std::move(A));
  }
}

THandler* TActor::GetHandler(int Index) const {
  if (Index < 0) throw EGame(Format("Handler index must be >=0 (is %d)", Index));
  if (Index >= FHandlers.Count()) throw EGame(Format("Event index must be <%d (is %d)", FHandlers.Count(), Index));
  return FHandlers.At(Index);
}

THandler* TActor::AddHandler() {
  FOwner.MayChange();
  THandler* Handler = FHandlers.Append(std::make_unique<THandler>(*this));
  FOwner.Changed(TChangeKind::Added, *Handler);
  return Handler;
}

void TActor::DeleteHandler(THandler* Handler) {
  int Index = FHandlers.IndexOf(Handler);
  Assert(Index >= 0, "UGame");
  FOwner.MayChange();
  FOwner.Notify(TChangeKind::Removing, *Handler);
  FHandlers.Remove(Index);
  FOwner.MarkModified();
}

namespace {
// Runs Write into a memory stream and Read over what it wrote: every kind
// copies exactly the fields its record holds. Within one game the record
// names items by id, from another by name.
template <typename W, typename R>
void CopyThroughRecord(bool ById, W Write, R Read) {
  TMemoryStream Stream;
  TWriter Writer(Stream);
  Writer.SetLinksById(ById);
  Write(Stream, Writer);
  Writer.FlushBuffer();
  Stream.Seek(0);
  TReader Reader(Stream);
  Reader.SetLinksById(ById);
  Read(Stream, Reader);
}
}  // namespace

void TActor::CopyFrom(const TActor& Source) {
  FOwner.MayChange();
  SetTile(Source.Tile());
  SetSolid(Source.FSolid);
  FWidth = Source.FWidth;
  FHeight = Source.FHeight;
  FAnimations = Source.FAnimations;
  if (Source.HasLook()) LookChanged();
  for (int i = 0; i < Source.FHandlers.Count(); ++i) AddHandlerCopy(*Source.FHandlers.At(i), &Source);
}

THandler* TActor::AddHandlerCopy(const THandler& From, const TActor* Self) {
  FOwner.MayChange();
  THandler* To = AddHandler();
  const bool SameGame = &From.Actor().Owner() == &FOwner;
  for (int a = 0; !From.Event() && a < From.ActionCount(); ++a) {
    // Not yet given its event (the record needs one): copy the actions alone.
    const TActionBase& Action = *From.GetAction(a);
    CopyThroughRecord(SameGame, [&](TStream& S, TWriter& W) { Action.WriteParams(S, W); },
                      [&](TStream& S, TReader& R) { To->AddAction(Action.Kind())->ReadParams(S, R); });
  }
  if (!From.Event()) return To;
  CopyThroughRecord(SameGame, [&](TStream& S, TWriter& W) { From.SaveToStream(S, W); },
                    [&](TStream& S, TReader& R) { To->LoadFromStream(S, R); });
  if (TEventBase* Event = To->Event(); Event->NamesActor()) {
    // Within one game the record named the other actor by id; from another
    // game by name, looked up here, and an actor this game lacks gives way
    // to this one. A collision with the copied actor itself names the copy.
    TActor* Other = From.Event()->NamedActor();
    if (!Other || &Other->Owner() != &FOwner) Other = Event->NamedActor();
    Event->SetNamedActor(!Other || Other == Self ? *this : *Other);
  }
  To->FComment = From.FComment;  // not part of the record
  To->Changed();  // read from the record, which tells no one
  return To;
}

void TActor::SaveHead(TWriter& Writer) const {
  Writer.WriteString(Marker);
  Writer.WriteString(FName);
  const TTile* Shown = Tile();
  Writer.WriteBoolean(Shown != nullptr);
  if (Shown) Writer.WriteLink(Shown->Name(), Shown->Id());
}

void TActor::LoadHead(TReader& Reader) {
  std::string Read = Reader.ReadString();
  if (Read != Marker) throw EGame(Format("Read error: expected %s, read %s", Marker, Read));
  FName = Reader.ReadString();
  FTileId = Reader.ReadBoolean() ? FOwner.LinkedId(TItemKind::Tile, Reader.ReadLink()) : NoItem;
}

void TActor::SaveToStream(TStream& Stream, TWriter& Writer) const {
  SaveHead(Writer);
  Writer.WriteInteger(FHandlers.Count());
  for (int i = 0; i < FHandlers.Count(); ++i) FHandlers.At(i)->SaveToStream(Stream, Writer);
}

void TActor::LoadFromStream(TStream& Stream, TReader& Reader) {
  LoadHead(Reader);
  int Count = Reader.ReadInteger();
  for (int i = 0; i < Count; ++i) AddHandler()->LoadFromStream(Stream, Reader);
}

}  // namespace lvk
