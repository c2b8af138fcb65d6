#pragma once
// The editors of an action's values, one row of a table per value type: how
// the nth editor of a type is made, named and wired, whether it carries its
// own label or takes the rest of its row, how it is set from the value's
// stored text, and how a list of a game's items follows another game. The
// actions frame owns the editors and reuses them from one action to the next.
#include <QString>
#include <cstddef>
#include <string>

#include "model/UValueTypes.h"

class QAbstractItemModel;
class QLineEdit;
class QObject;
class QWidget;

namespace lvk {
class TActionBase;
class TGame;
}  // namespace lvk

// What the editors tell the frame that shows them.
class TValueEditorOwner {
public:
  virtual ~TValueEditorOwner() = default;
  // The panel the editors are children of.
  virtual QWidget* ValuesPanel() const = 0;
  // The game of the handler shown, or null.
  virtual lvk::TGame* ShownGame() const = 0;
  // The variables' names, offered while a number is typed.
  virtual QAbstractItemModel* VariableNames() const = 0;
  // Watches the fields' keys and focus (Esc, Down, leaving).
  virtual QObject* FieldWatch() = 0;
  // The user gave Editor's value the text Text (a tick, a choice, keys, a text).
  virtual void ValueEdited(QWidget* Editor, const std::string& Text) = 0;
  // A number field was left, Enter pressed in it, or a completion taken.
  virtual void NumberEdited(QLineEdit* Field) = 0;
  // A keystroke changed a field's text; nothing is stored yet.
  virtual void FieldTyped(QLineEdit* Field) = 0;
};

// One value of an action, as its editor shows it.
struct TShownValue {
  const lvk::TActionBase& Action;
  int Index;
  const lvk::TGame& Game;
  QString Text;  // as stored
};

struct TValueEditorType {
  lvk::TValueType Type;
  // A tick carries its label itself; the other editors get one before them.
  bool OwnLabel;
  // Takes the rest of its row (a text, the key toggles).
  bool Wide;
  // The Nth editor of the type (from 0), hidden, a child of the owner's panel.
  QWidget* (*Make)(TValueEditorOwner& Owner, std::size_t Nth);
  // Sets the editor from the value.
  void (*Show)(QWidget* Editor, const TShownValue& Value);
  // A list of a game's items takes another game's; null for editors without one.
  void (*FollowGame)(QWidget* Editor, const lvk::TGame& Game);
};

// The row of Type.
const TValueEditorType& ValueEditorType(lvk::TValueType Type);
