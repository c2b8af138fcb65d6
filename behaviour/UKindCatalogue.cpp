#include "behaviour/UKindCatalogue.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <deque>
#include <vector>

#include "engine/lvk_engine.h"
#include "model/UErrors.h"

namespace lvk {

namespace {

constexpr const char* Unit = "UKindCatalogue";

// One line of a list: a kind, or a value of the kind before it.
struct TRow {
  bool IsKind;
  int Number;
  const char* Name;
  const char* Text;
  const char* Shape;
  const char* Summary;
  int SortOrder;
  int Type, Slot;
  std::int32_t Min, Max;
  const char* Default;
  const char* Label;
  const char* Hint;
};

#define LVK_ROW_EVENT(Id, Number, Name, Class, Sort, Text) \
  TRow{true, Number, #Name, Text, "", "", Sort, 0, 0, 0, 0, "", "", ""},
#define LVK_ROW_ACTION(Id, Number, Name, Class, Shape, Text, Summary) \
  TRow{true, Number, #Name, Text, #Shape, Summary, 0, 0, 0, 0, 0, "", "", ""},
#define LVK_ROW_VALUE(Type, Slot, Min, Max, Default, Label, Hint) \
  TRow{false, 0, "", "", "", "", 0, LVK_VALUE_##Type, LVK_SLOT_##Slot, Min, Max, Default, Label, Hint},

const TRow EventRows[] = {LVK_EVENT_CATALOGUE(LVK_ROW_EVENT, LVK_ROW_VALUE)};
const TRow ActionRows[] = {LVK_ACTION_CATALOGUE(LVK_ROW_ACTION, LVK_ROW_VALUE)};

#undef LVK_ROW_EVENT
#undef LVK_ROW_ACTION
#undef LVK_ROW_VALUE

static_assert(LVK_VALUE_ANIMATION == static_cast<int>(TValueType::Animation), "the value types' order");

TValueSlot SlotOf(int Slot) {
  switch (Slot) {
    case LVK_SLOT_N1: return TValueSlot::N1;
    case LVK_SLOT_N2: return TValueSlot::N2;
    case LVK_SLOT_N3: return TValueSlot::N3;
    case LVK_SLOT_N4: return TValueSlot::N4;
    case LVK_SLOT_N5: return TValueSlot::N5;
    case LVK_SLOT_N6: return TValueSlot::N6;
    case LVK_SLOT_REF: return TValueSlot::Ref;
    case LVK_SLOT_RELATIVE: return TValueSlot::Relative;
    default: return TValueSlot::None;
  }
}

// The kinds of one list with their values; built once, never changed, so
// the spans and hints stay where they are.
struct TCatalogue {
  std::vector<TCatalogueKind> Kinds;
  std::vector<TActionValue> Values;
  std::vector<int> Slots;
  std::deque<std::string> Hints;

  explicit TCatalogue(std::span<const TRow> Rows) {
    Values.reserve(Rows.size());
    Slots.reserve(Rows.size());
    std::vector<std::size_t> Firsts;
    for (const TRow& R : Rows) {
      if (R.IsKind) {
        Kinds.push_back({R.Number, R.Name, R.Text, R.Shape, R.Summary, R.SortOrder, {}, {}});
        Firsts.push_back(Values.size());
        continue;
      }
      Assert(!Kinds.empty(), Unit);
      // An event's areas have no editor type of their own: they are a set.
      const TValueType Type = R.Type > LVK_VALUE_ANIMATION ? TValueType::Keys : static_cast<TValueType>(R.Type);
      TActionValue V{R.Label, R.Hint, Type, SlotOf(R.Slot), R.Default, R.Min, R.Max};
      std::string Hint = R.Hint;
      if (const std::size_t At = Hint.find("%r"); At != std::string::npos) Hint.replace(At, 2, RangeText(V));
      Hints.push_back(Hint);
      V.Hint = Hints.back().c_str();
      Values.push_back(V);
      Slots.push_back(R.Slot);
    }
    Firsts.push_back(Values.size());
    for (std::size_t k = 0; k < Kinds.size(); ++k) {
      const std::size_t First = Firsts[k], Count = Firsts[k + 1] - First;
      if (Count == 0) continue;
      Kinds[k].Values = std::span<const TActionValue>(&Values[First], Count);
      Kinds[k].Slots = std::span<const int>(&Slots[First], Count);
    }
  }
};

const TCatalogue& Events() {
  static const TCatalogue C(EventRows);
  return C;
}

const TCatalogue& Actions() {
  static const TCatalogue C(ActionRows);
  return C;
}

const TCatalogueKind& Entry(const TCatalogue& C, int Number) {
  for (const TCatalogueKind& K : C.Kinds)
    if (K.Number == Number) return K;
  Assert(false, Unit);
  return C.Kinds.front();
}

std::string Lower(const char* Name) {
  std::string S = Name;
  std::transform(S.begin(), S.end(), S.begin(), [](unsigned char Ch) { return static_cast<char>(std::tolower(Ch)); });
  return S;
}

}  // namespace

std::span<const TCatalogueKind> EventCatalogue() { return Events().Kinds; }
std::span<const TCatalogueKind> ActionCatalogue() { return Actions().Kinds; }
const TCatalogueKind& EventEntry(int Number) { return Entry(Events(), Number); }
const TCatalogueKind& ActionEntry(int Number) { return Entry(Actions(), Number); }

std::string IconName(const TCatalogueKind& Kind) { return std::string("Bmp") + Kind.Name + "16x16"; }
std::string EventHelpPage(const TCatalogueKind& Kind) { return "event-" + Lower(Kind.Name); }
std::string ActionHelpPage(const TCatalogueKind& Kind) { return "action-" + Lower(Kind.Name); }

std::string RangeText(const TActionValue& Value) {
  return std::to_string(Value.Min) + " to " + std::to_string(Value.Max);
}

int DefaultNumber(const TActionValue& Value) { return std::atoi(Value.Default); }

int EventDefault(int Number, int Index) {
  const TCatalogueKind& Kind = EventEntry(Number);
  Assert(Index >= 0 && static_cast<std::size_t>(Index) < Kind.Values.size(), Unit);
  return DefaultNumber(Kind.Values[static_cast<std::size_t>(Index)]);
}

}  // namespace lvk
