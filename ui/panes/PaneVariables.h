#pragma once
// The panes of the variables: the folder pane with its New button and the
// counts the engine allows, and the pane of one variable (name, initial
// value, scope, its place in the list).
#include "ui/panes/UItemPane.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace lvk {
class TVariable;
}

class TPaneVariables : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneVariables(TPaneHost& Host);
  void Show() override;
  TCtrlButton* butNewVariable;
  QLabel* lblVariableCounts;
  // A new game variable; refused in a box when the game has as many as it
  // may have.
  void butNewVariableClick();
};

class TPaneVariable : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneVariable(TPaneHost& Host);
  void Show() override;
  void Follow(const lvk::TChange& Change) override;
  lvk::TVariable* Variable() const;

  QLineEdit* edtVariableName;
  QSpinBox* speVariableInitial;
  QComboBox* cbxVariableScope;
  QCheckBox* cbxVariableSaved;
  QPushButton* butVariableUp;
  QPushButton* butVariableDown;
  QLabel* lblVariableUsers;

  void speVariableInitialChange(int Value);
  // A change to a scope that is full is refused in a box; the list shows
  // the variable's scope again.
  void cbxVariableScopeChange(int Index);
  // Saved: SaveGame keeps the value (a game variable's only).
  void cbxVariableSavedClick(bool Checked);
  void butVariableUpClick();
  void butVariableDownClick();

private:
  void Move(int Delta);
  void ShowPlace();
  bool FShowing = false;  // true while the controls are set from the model
};
