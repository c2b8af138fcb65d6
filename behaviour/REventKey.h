#pragma once
// OnKey: fires when a set of DS keys is pressed, or released.
#include <array>
#include <cstdint>
#include <string>

#include "behaviour/UBehaviour.h"
#include "behaviour/UKindCatalogue.h"

namespace lvk {

class TEventKey final : public TEventBase {
public:
  // Key index = position = the key's bit in the DS key state (A is bit 0,
  // the lid bit 13). "?" is Select, "T" touching the screen, "C" closing
  // the lid.
  static constexpr std::array<const char*, 14> KeyNames = {
      "A", "B", "?", "S", ">", "<", "^", "v", "R", "L", "X", "Y", "T", "C"};
  // Assertion failure (unit REventKey) outside the table.
  static std::string KeyName(int Index);
  static int IndexOfKey(const std::string& Caption);

  static const TEventKind& ClassKind();

  explicit TEventKey(THandler& Handler) : TEventBase(Handler) {}
  const TEventKind& Kind() const override { return ClassKind(); }

  // True fires on pressing the keys, false on releasing them.
  bool Press() const { return FPress; }
  void SetPress(bool Value) { Store(FPress, Value); }
  // Bit i set: key i is in the set. Bits above the table are kept unnamed.
  std::uint16_t Keys() const { return FKeys; }
  void SetKeys(std::uint16_t Value) { Store(FKeys, Value); }

  void WriteParams(TStream& Stream, TWriter& Writer) const override;
  void ReadParams(TStream& Stream, TReader& Reader) override;
  std::string Summary() const override;
  void Encode(lvk_handler_t& Entry, TTableContext& Context) const override;

private:
  bool FPress = EventDefault(LVK_EVENT_KEY, 0) != 0;
  std::uint16_t FKeys = static_cast<std::uint16_t>(EventDefault(LVK_EVENT_KEY, 1));
};

}  // namespace lvk
