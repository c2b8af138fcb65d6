#include "behaviour/REventCollision.h"

#include "behaviour/UKindInfo.h"
#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"

namespace lvk {

const TEventKind& TEventCollision::ClassKind() {
  static const TEventKindInfo Kind(
      "OnCollision", "Fires when an actor collides with another actor", 500, "BmpOnCollision16x16",
      LVK_ENGINE_CODE(LVK_EVENT_COLLISION), [](THandler& Handler) -> TEventBase* { return new TEventCollision(Handler); });
  return Kind;
}

TEventCollision::TEventCollision(THandler& Handler) : TEventBase(Handler), FOtherActor(&Handler.Actor()) {}

void TEventCollision::SetOtherActor(TActor& Actor) {
  if (!FAnySolid && !FStoredName && FOtherActor == &Actor) return;
  MayChange();
  FStoredName.reset();
  if (FAnySolid) {
    FAnySolid = false;
    FOtherActor = nullptr;  // so that the change below is told
  }
  TActor* Other = &Actor;
  Store(FOtherActor, Other);
}

void TEventCollision::SetAnySolid() {
  if (FAnySolid && !FStoredName) return;
  MayChange();
  FStoredName.reset();
  if (FAnySolid) return;
  FOtherActor = nullptr;
  Store(FAnySolid, true);
}

TActor* TEventCollision::FindActor(const std::string& Name) const {
  return Handler().Actor().Owner().FindActorByName(Name);
}

void TEventCollision::WriteParams(TStream&, TWriter& Writer) const {
  Assert(FAnySolid || FOtherActor != nullptr, "REventCollision");
  Writer.WriteBoolean(FOverlap);
  if (FAnySolid)
    Writer.WriteLink(AnySolidName, NoItem);
  else
    Writer.WriteLink(FOtherActor->Name(), FOtherActor->Id());
}

void TEventCollision::ReadParams(TStream&, TReader& Reader) {
  FOverlap = Reader.ReadBoolean();
  TLink Link = Reader.ReadLink();
  if (Reader.LinksById()) {
    // The undo history's record: every actor of the game exists already.
    FStoredName.reset();
    FAnySolid = Link.Id == NoItem;
    FOtherActor = FAnySolid ? nullptr : Handler().Actor().Owner().ActorById(Link.Id);
    if (!FAnySolid && !FOtherActor) throw EReadError("record");
    return;
  }
  std::string Name = std::move(Link.Name);
  FAnySolid = Name == AnySolidName;
  FOtherActor = FAnySolid ? nullptr : FindActor(Name);
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
  std::string Name = FAnySolid ? AnySolidName : FOtherActor ? FOtherActor->Name() : FStoredName.value_or("");
  return Format("OnCollision( %s, %s )", Name, FOverlap ? "overlap" : "repel");
}

void TEventCollision::Encode(lvk_handler_t& Entry, TTableContext& Context) const {
  Entry.flags = FOverlap ? 0 : LVK_HANDLER_REPEL;
  Entry.other = FAnySolid ? LVK_ANY_SOLID : Context.ActorNumber(FOtherActor);
}

}  // namespace lvk
