#pragma once
// OnTouch: fires when the touch screen is touched in one of a set of areas
// around the actor.
#include <array>
#include <cstdint>
#include <string>

#include "behaviour/UBehaviour.h"
#include "behaviour/UKindCatalogue.h"

namespace lvk {

class TEventTouch final : public TEventBase {
public:
  // The compass round the actor, clockwise from north, then "H", the actor
  // itself. OnOutside uses the first eight.
  static constexpr std::array<const char*, 9> AreaNames = {"N", "NE", "E", "SE", "S", "SW", "W", "NW", "H"};
  // Assertion failure (unit REventTouch) outside the table.
  static std::string AreaName(int Index);
  static int IndexOfArea(const std::string& Caption);

  static const TEventKind& ClassKind();

  explicit TEventTouch(THandler& Handler) : TEventBase(Handler) {}
  const TEventKind& Kind() const override { return ClassKind(); }

  // Bit i set: area i is in the set. Bits above the table are kept unnamed.
  std::uint16_t Areas() const { return FAreas; }
  void SetAreas(std::uint16_t Value) { Store(FAreas, Value); }

  void WriteParams(TStream& Stream, TWriter& Writer) const override;
  void ReadParams(TStream& Stream, TReader& Reader) override;
  std::string Summary() const override;
  void Encode(lvk_handler_t& Entry, TTableContext& Context) const override;

private:
  std::uint16_t FAreas = static_cast<std::uint16_t>(EventDefault(LVK_EVENT_TOUCH, 0));
};

}  // namespace lvk
