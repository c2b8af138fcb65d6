#pragma once
// OnKeyHeld: fires on every frame in which all keys of a set are held (also
// the first frame of a level, for keys held across the change).
#include <cstdint>
#include <string>

#include "behaviour/UBehaviour.h"
#include "behaviour/UKindCatalogue.h"

namespace lvk {

class TEventKeyHeld final : public TEventBase {
public:
  static const TEventKind& ClassKind();

  explicit TEventKeyHeld(THandler& Handler) : TEventBase(Handler) {}
  const TEventKind& Kind() const override { return ClassKind(); }

  // Bit i set: key i of OnKey's table is in the set.
  std::uint16_t Keys() const { return FKeys; }
  void SetKeys(std::uint16_t Value) { Store(FKeys, Value); }

  void WriteParams(TStream& Stream, TWriter& Writer) const override;
  void ReadParams(TStream& Stream, TReader& Reader) override;
  std::string Summary() const override;
  void Encode(lvk_handler_t& Entry, TTableContext& Context) const override;

private:
  std::uint16_t FKeys = static_cast<std::uint16_t>(EventDefault(LVK_EVENT_KEY_HELD, 0));
};

}  // namespace lvk
