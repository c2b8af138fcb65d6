#include "model/UActor.h"

#include "behaviour/REventCollision.h"
#include "behaviour/UActionValues.h"
#include "behaviour/UBehaviour.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"
#include "model/UNames.h"
#include "model/UStream.h"
#include "model/UTile.h"

namespace lvk {

namespace {
constexpr const char* Marker = "[TActor]";
}

// ---- THandler ----

THandler::THandler(TActor& Owner) : TIdentified(&Owner.Owner(), TItemKind::Handler), FOwner(Owner) {}

// The event goes first, then the actions.
THandler::~THandler() {
  FEvent.reset();
  FActions.Clear();
}

void THandler::SetEvent(const TEventKind& Kind) {
  FEvent.reset();
  FEvent.reset(Kind.Create(*this));
  FOwner.Owner().Notify(TChangeKind::Changed, *this);
}

void THandler::Changed() { FOwner.Owner().Changed(TChangeKind::Changed, *this); }

TActionBase* THandler::GetAction(int Index) const {
  Assert(Index >= 0 && Index < FActions.Count(), "UGame");
  return FActions.At(Index);
}

TActionBase* THandler::AddAction(const TActionKind& Kind) {
  TActionBase* Action = FActions.Append(std::unique_ptr<TActionBase>(Kind.Create(*this)));
  Changed();
  return Action;
}

void THandler::MoveAction(int From, int To) {
  Assert(From >= 0 && From < FActions.Count() && To >= 0 && To < FActions.Count(), "UGame");
  if (From == To) return;
  FActions.Move(From, To);
  Changed();
}

void THandler::DeleteAction(int Index) {
  Assert(Index >= 0 && Index < FActions.Count(), "UGame");
  FActions.Remove(Index);
  Changed();
}

void THandler::SaveToStream(TStream& Stream, TWriter& Writer) const {
  Assert(FEvent != nullptr, "UGame");
  Writer.WriteString(FEvent->Kind().StreamKey());
  FEvent->WriteParams(Stream, Writer);
  Writer.WriteInteger(FActions.Count());
  for (int i = 0; i < FActions.Count(); ++i) {
    Writer.WriteString(FActions.At(i)->Kind().StreamKey());
    FActions.At(i)->WriteParams(Stream, Writer);
  }
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
  const std::string Old = FName;
  FName = Name;
  FOwner.Changed(TChangeKind::Renamed, *this);
  FOwner.RenameReferences(TValueType::Actor, Old, Name);
}

void TActor::SetSolid(bool Solid) {
  if (Solid == FSolid) return;
  FSolid = Solid;
  FOwner.Changed(TChangeKind::Changed, *this);
}

void TActor::SetTile(TTile* Tile) {
  if (Tile == FTile) return;
  FTile = Tile;
  FOwner.Changed(TChangeKind::Changed, *this);
}

THandler* TActor::GetHandler(int Index) const {
  if (Index < 0) throw EGame(Format("Handler index must be >=0 (is %d)", Index));
  if (Index >= FHandlers.Count()) throw EGame(Format("Event index must be <%d (is %d)", FHandlers.Count(), Index));
  return FHandlers.At(Index);
}

THandler* TActor::AddHandler() {
  THandler* Handler = FHandlers.Append(std::make_unique<THandler>(*this));
  FOwner.Changed(TChangeKind::Added, *Handler);
  return Handler;
}

void TActor::DeleteHandler(THandler* Handler) {
  int Index = FHandlers.IndexOf(Handler);
  Assert(Index >= 0, "UGame");
  FOwner.Notify(TChangeKind::Removing, *Handler);
  FHandlers.Remove(Index);
  FOwner.MarkModified();
}

namespace {
// Runs Write into a memory stream and Read over what it wrote: every kind
// copies exactly the fields its record holds.
template <typename W, typename R>
void CopyThroughRecord(W Write, R Read) {
  TMemoryStream Stream;
  TWriter Writer(Stream);
  Write(Stream, Writer);
  Writer.FlushBuffer();
  Stream.Seek(0);
  TReader Reader(Stream);
  Read(Stream, Reader);
}
}  // namespace

void TActor::CopyFrom(const TActor& Source) {
  SetTile(Source.FTile);
  SetSolid(Source.FSolid);
  for (int i = 0; i < Source.FHandlers.Count(); ++i) AddHandlerCopy(*Source.FHandlers.At(i), &Source);
}

THandler* TActor::AddHandlerCopy(const THandler& From, const TActor* Self) {
  THandler* To = AddHandler();
  for (int a = 0; !From.Event() && a < From.ActionCount(); ++a) {
    // Not yet given its event (the record needs one): copy the actions alone.
    const TActionBase& Action = *From.GetAction(a);
    CopyThroughRecord([&](TStream& S, TWriter& W) { Action.WriteParams(S, W); },
                      [&](TStream& S, TReader& R) { To->AddAction(Action.Kind())->ReadParams(S, R); });
  }
  if (!From.Event()) return To;
  CopyThroughRecord([&](TStream& S, TWriter& W) { From.SaveToStream(S, W); },
                    [&](TStream& S, TReader& R) { To->LoadFromStream(S, R); });
  if (auto* Collision = dynamic_cast<TEventCollision*>(To->Event()); Collision && !Collision->AnySolid()) {
    // The record names the other actor, which a game with two actors of one
    // name would resolve to the first: within one game the original's
    // pointer is taken instead. From another game the name is looked up
    // here, and an actor this game lacks gives way to this one.
    TActor* Other = static_cast<const TEventCollision*>(From.Event())->OtherActor();
    if (!Other || &Other->Owner() != &FOwner) Other = Collision->OtherActor();
    Collision->SetOtherActor(!Other || Other == Self ? *this : *Other);
  }
  To->Changed();  // read from the record, which tells no one
  return To;
}

void TActor::SaveToStream(TStream& Stream, TWriter& Writer) const {
  Writer.WriteString(Marker);
  Writer.WriteString(FName);
  Writer.WriteBoolean(FTile != nullptr);
  if (FTile) Writer.WriteString(FTile->Name());
  Writer.WriteInteger(FHandlers.Count());
  for (int i = 0; i < FHandlers.Count(); ++i) FHandlers.At(i)->SaveToStream(Stream, Writer);
}

void TActor::LoadFromStream(TStream& Stream, TReader& Reader) {
  std::string Read = Reader.ReadString();
  if (Read != Marker) throw EGame(Format("Read error: expected %s, read %s", Marker, Read));
  FName = Reader.ReadString();
  FTile = Reader.ReadBoolean() ? FOwner.FindTileByName(Reader.ReadString()) : nullptr;
  int Count = Reader.ReadInteger();
  for (int i = 0; i < Count; ++i) AddHandler()->LoadFromStream(Stream, Reader);
}

}  // namespace lvk
