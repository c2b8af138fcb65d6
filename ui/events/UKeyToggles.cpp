#include "ui/events/UKeyToggles.h"

#include <QStringList>

#include "engine/lvk_host.h"

namespace {

// In reading order, which is also the tab order: shoulders and the upper
// row first, then the lower row.
// The hints name each key; KeyHint adds where the play window has it.
constexpr TToggleInfo KeyButtons[] = {
    {"butKeyL", "L", 31, 4, "L|The left shoulder button"},
    {"butKeyUp", "^", 51, 4, "Up|The cursor up button"},
    {"butTouch", "T", 71, 4, "Touch|The touch-the-screen \"button\""},
    {"butStart", "S", 91, 4, "Start|The start button"},
    {"butLid", "C", 111, 4, "Lid|The close lid \"button\""},
    {"butKeyX", "X", 131, 4, "X|The X button"},
    {"butKeyR", "R", 151, 4, "R|The right shoulder"},
    {"butKeyLeft", "<", 31, 24, "Left|The cursor left button"},
    {"butKeyDown", "v", 51, 24, "Down|The cursor down button"},
    {"butKeyRight", ">", 71, 24, "Right|The cursor right button"},
    {"butSelect", "?", 91, 24, "Select|The select button"},
    {"butKeyY", "Y", 111, 24, "Y|The Y button"},
    {"butKeyB", "B", 131, 24, "B|The B button"},
    {"butKeyA", "A", 151, 24, "A|The A button"},
};

}  // namespace

std::span<const TToggleInfo> KeyToggles() { return KeyButtons; }

QString KeyHint(const QString& Hint, int KeyIndex) {
  QStringList Keys;
  for (const lvk_host_key_t& Key : lvk_host_keys)
    if (Key.bit == (1u << KeyIndex)) Keys << Key.keyboard;
  const QString Where = KeyIndex == 12 ? QString("the left mouse button on the lower screen")
                                       : Keys.join(" or ") + (Keys.size() > 1 ? " keys" : " key");
  const QString Name = Hint.section('|', 0, 0), Long = Hint.section('|', 1);
  return Name + " (in the play window: " + Where + ")|" + Long + "; in the play window the " + Where;
}

