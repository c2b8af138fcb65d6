#pragma once
// OnCollision: fires when the handler's actor collides with another actor,
// which it then overlaps or is repelled by.
#include <optional>
#include <string>

#include "behaviour/UBehaviour.h"
#include "behaviour/UKindCatalogue.h"

namespace lvk {

class TActor;

class TEventCollision final : public TEventBase {
public:
  static const TEventKind& ClassKind();

  // A new event names the handler's own actor and overlaps.
  explicit TEventCollision(THandler& Handler);
  const TEventKind& Kind() const override { return ClassKind(); }

  // The name a collision with any solid actor is stored under; no actor can
  // have it.
  static constexpr const char* AnySolidName = "<Solid>";

  bool Overlap() const { return FOverlap; }
  void SetOverlap(bool Value) { Store(FOverlap, Value); }
  // Kept by id. Null for any solid actor, for an actor that is gone, and
  // between reading a name no actor had yet and ResolveNames.
  TActor* OtherActor() const;
  void SetOtherActor(TActor& Actor);
  // Collides with every solid actor instead of one.
  bool AnySolid() const { return FAnySolid; }
  void SetAnySolid();

  // Overlap, then the other actor's current name; with no other actor this
  // is an assertion failure (unit REventCollision).
  void WriteParams(TStream& Stream, TWriter& Writer) const override;
  // Resolves the name at once when an actor of the game already has it; an
  // actor stored later in the file is found by ResolveNames.
  void ReadParams(TStream& Stream, TReader& Reader) override;
  // A stored name that no actor of the game has is an assertion failure
  // (unit REventCollision).
  void ResolveNames() override;
  TActor* NamedActor() const override { return FAnySolid ? nullptr : OtherActor(); }
  bool NamesActor() const override { return !FAnySolid; }
  void SetNamedActor(TActor& Actor) override { SetOtherActor(Actor); }
  std::string Summary() const override;
  void Encode(lvk_handler_t& Entry, TTableContext& Context) const override;

private:
  TActor* FindActor(const std::string& Name) const;

  bool FOverlap = EventDefault(LVK_EVENT_COLLISION, 0) != 0;
  bool FAnySolid = false;
  TItemId FOtherActor;
  std::optional<std::string> FStoredName;  // read, not yet resolved against the whole game
};

}  // namespace lvk
