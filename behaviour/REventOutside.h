#pragma once
// OnOutside: fires when the actor moves outside the screen in one of a set
// of directions.
#include <cstdint>
#include <span>
#include <string>

#include "behaviour/REventTouch.h"
#include "behaviour/UBehaviour.h"
#include "behaviour/UKindCatalogue.h"

namespace lvk {

class TEventOutside final : public TEventBase {
public:
  // The compass of OnTouch without its centre: the centre here is the screen.
  static constexpr std::span<const char* const> DirectionNames{TEventTouch::AreaNames.data(), 8};
  // Assertion failure (unit REventOutside) outside the table.
  static std::string DirectionName(int Index);
  static int IndexOfDirection(const std::string& Caption);

  static const TEventKind& ClassKind();

  explicit TEventOutside(THandler& Handler) : TEventBase(Handler) {}
  const TEventKind& Kind() const override { return ClassKind(); }

  // Bit i set: direction i is in the set.
  std::uint8_t Areas() const { return FAreas; }
  void SetAreas(std::uint8_t Value) { Store(FAreas, Value); }

  // The mask is stored as a signed 8-bit value, so a set holding NW is
  // negative and the full set is -1.
  void WriteParams(TStream& Stream, TWriter& Writer) const override;
  void ReadParams(TStream& Stream, TReader& Reader) override;
  std::string Summary() const override;
  void Encode(lvk_handler_t& Entry, TTableContext& Context) const override;

private:
  std::uint8_t FAreas = static_cast<std::uint8_t>(EventDefault(LVK_EVENT_OUTSIDE, 0));
};

}  // namespace lvk
