#pragma once
// The kinds' catalogue (engine/lvk_kinds.h) as the editor reads it: each
// kind's number, stored name, text, shape, summary pattern and values, its
// icon's and help page's names. The registry, the kinds' classes and the
// editor's value checks take everything from here.
#include <span>
#include <string>

#include "model/UValueTypes.h"

namespace lvk {

struct TCatalogueKind {
  int Number;
  const char* Name;     // stored name and display name
  const char* Text;     // the description
  const char* Shape;    // actions: Rule, Guard, Speed, Plain, Own; events: ""
  const char* Summary;  // actions: the summary pattern; empty: the call
  int SortOrder;        // events
  // The values in stored order; the hints with their ranges filled in.
  std::span<const TActionValue> Values;
  // Where each value goes: LVK_SLOT_..., one per value.
  std::span<const int> Slots;
};

// In catalogue order (the engine numbers' order).
std::span<const TCatalogueKind> EventCatalogue();
std::span<const TCatalogueKind> ActionCatalogue();
// By engine number; an assertion failure (unit UKindCatalogue) for a number
// the catalogue does not have.
const TCatalogueKind& EventEntry(int Number);
const TCatalogueKind& ActionEntry(int Number);

// "Bmp" + Name + "16x16"; "event-" or "action-" + Name in lower case.
std::string IconName(const TCatalogueKind& Kind);
std::string EventHelpPage(const TCatalogueKind& Kind);
std::string ActionHelpPage(const TCatalogueKind& Kind);
// A range as the hints and the help pages write it: "1 to 16".
std::string RangeText(const TActionValue& Value);
// A value's default as a number (flags, key sets, areas and numbers).
int DefaultNumber(const TActionValue& Value);
// The default of value Index of the event kind Number, as a number.
int EventDefault(int Number, int Index);

}  // namespace lvk
