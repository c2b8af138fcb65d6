#pragma once
// The values of an action as the handler pane shows and edits them: each
// with a label (with & before its key letter), a hint, a type that says
// which control edits it, and where the engine's action entry takes it. An
// action gives and takes its values as texts:
//   Number    a whole number as typed (empty is 0) or a variable's name
//   Flag      "1" or "0"
//   Variable, Actor, Tile, Sound   the item's name (empty: none)
//   Keys      the key set as a decimal number, bit i key i of OnKey's table
//   Text      the text as typed; {name} stands for a variable's value
//   Compare   one of = <> < <= > >=
//   Animation the name of an animation of the handler's actor
// A number's range is what the game's rule uses (Min to Max; both 0: any
// whole number); the kinds' catalogue (engine/lvk_kinds.h) declares it.
#include <cstdint>

namespace lvk {

enum class TValueType { Number, Flag, Variable, Actor, Tile, Keys, Text, Compare, Sound, Animation };

// Where a value goes in the engine's action entry (lvk_action_t): one of
// its six numbers, its reference or its relative flag.
enum class TValueSlot { None, N1, N2, N3, N4, N5, N6, Ref, Relative };

// The number a slot names, 0 for N1; -1 for the others.
constexpr int NumberIndex(TValueSlot Slot) {
  return Slot >= TValueSlot::N1 && Slot <= TValueSlot::N6 ? static_cast<int>(Slot) - static_cast<int>(TValueSlot::N1)
                                                          : -1;
}

struct TActionValue {
  const char* Label;
  const char* Hint;
  TValueType Type;
  TValueSlot Slot = TValueSlot::None;
  const char* Default = "";
  std::int32_t Min = 0;
  std::int32_t Max = 0;
  bool HasRange() const { return Type == TValueType::Number && Min != Max; }
};

// The comparisons of the guards, in the engine's order (LVK_COMPARE_...).
constexpr const char* CompareNames[] = {"=", "<>", "<", "<=", ">", ">="};
constexpr int CompareCount = 6;

}  // namespace lvk
