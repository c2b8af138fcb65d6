#include "behaviour/REventCollision.h"

#include "behaviour/UKindCatalogue.h"
#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"

namespace lvk {

TEventCollision::TEventCollision(THandler& Handler) : TEventBase(Handler), FOtherActor(Handler.Actor().Id()) {}

TActor* TEventCollision::OtherActor() const {
  return FOtherActor == NoItem ? nullptr : Handler().Actor().Owner().ActorById(FOtherActor);
}

void TEventCollision::SetOtherActor(TActor& Actor) {
  if (!FAnySolid && !FStoredName && FOtherActor == Actor.Id()) return;
  MayChange();
  FStoredName.reset();
  if (FAnySolid) {
    FAnySolid = false;
    FOtherActor = NoItem;  // so that the change below is told
  }
  Store(FOtherActor, Actor.Id());
}

void TEventCollision::SetAnySolid() {
  if (FAnySolid && !FStoredName) return;
  MayChange();
  FStoredName.reset();
  if (FAnySolid) return;
  FOtherActor = NoItem;
  Store(FAnySolid, true);
}

TActor* TEventCollision::FindActor(const std::string& Name) const {
  return Handler().Actor().Owner().FindActorByName(Name);
}

void TEventCollision::WriteParams(TStream&, TWriter& Writer) const {
  const TActor* Other = OtherActor();
  Assert(FAnySolid || Other != nullptr, "REventCollision");
  Writer.WriteBoolean(FOverlap);
  if (FAnySolid)
    Writer.WriteLink(AnySolidName, NoItem);
  else
    Writer.WriteLink(Other->Name(), Other->Id());
}

void TEventCollision::ReadParams(TStream&, TReader& Reader) {
  FOverlap = Reader.ReadBoolean();
  TLink Link = Reader.ReadLink();
  if (Reader.LinksById()) {
    // The undo history's record: every actor of the game exists already.
    FStoredName.reset();
    FAnySolid = Link.Id == NoItem;
    FOtherActor = FAnySolid ? NoItem : Link.Id;
    if (!FAnySolid && !OtherActor()) throw EReadError("record");
    return;
  }
  std::string Name = std::move(Link.Name);
  FAnySolid = Name == AnySolidName;
  const TActor* Found = FAnySolid ? nullptr : FindActor(Name);
  FOtherActor = Found ? Found->Id() : NoItem;
  if (FAnySolid)
    FStoredName.reset();
  else
    FStoredName = std::move(Name);
}

void TEventCollision::ResolveNames() {
  if (!FStoredName || FAnySolid) return;
  TActor* Actor = FindActor(*FStoredName);
  Assert(Actor != nullptr, "REventCollision");
  SetOtherActor(*Actor);
}

std::string TEventCollision::Summary() const {
  const TActor* Other = OtherActor();
  std::string Name = FAnySolid ? AnySolidName : Other ? Other->Name() : FStoredName.value_or("");
  return Format("OnCollision( %s, %s )", Name, FOverlap ? "overlap" : "repel");
}

void TEventCollision::Encode(lvk_handler_t& Entry, TTableContext& Context) const {
  Entry.flags = FOverlap ? 0 : LVK_HANDLER_REPEL;
  Entry.other = FAnySolid ? LVK_ANY_SOLID : Context.ActorNumber(OtherActor());
}

}  // namespace lvk
