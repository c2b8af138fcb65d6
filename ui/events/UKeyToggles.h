#pragma once
// The toggle buttons of the DS keys, as every editor of a key set lays them
// out, and their hints: a unit of their own, as the event frames, the key
// set editor and OnKey's frame all show them.
#include <QString>
#include <span>

// One toggle button of a set, at its design position.
struct TToggleInfo {
  const char* Name;
  const char* Caption;
  int Left, Top;
  const char* Hint;
};

// A key toggle's hint "Name|Description" with where the play window has the
// key (the DS's key KeyIndex, its bit in the key state) added to both parts.
QString KeyHint(const QString& Hint, int KeyIndex);

// The toggles of the DS keys as OnKey lays them out, in reading (and tab)
// order, each caption a key name of OnKey's table; every editor of a key
// set shows them so.
std::span<const TToggleInfo> KeyToggles();
