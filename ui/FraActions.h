#pragma once
// The actions of a handler, in the order the game runs them: a list with
// each action's icon and summary, a menu to add any registered kind, buttons
// to move one up or down or delete it, and the settings of the selected action. Values
// are whole numbers with a sign; a stored text that is not one (older files
// kept free texts) is shown as it is and marked, and never changed unless
// the user types a new value.
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QToolButton;

namespace lvk {
class TGame;
class THandler;
class TActionBase;
class TActionSpeed;
}  // namespace lvk

class TfraActions : public QWidget {
  Q_OBJECT
public:
  explicit TfraActions(QWidget* Parent = nullptr);

  // Not owned; the pane sets it before the handler can go away, and null
  // empties the frame.
  void SetHandler(lvk::THandler* Handler);
  lvk::THandler* Handler() const { return FHandler; }
  // The action selected in the list, or null.
  lvk::TActionBase* SelectedAction() const;
  void SelectAction(int Index);

  QListWidget* lbxActions;
  QToolButton* butAddAction;
  QToolButton* butActionUp;
  QToolButton* butActionDown;
  QToolButton* butActionDelete;
  QLineEdit* edtArg1;
  QLineEdit* edtArg2;
  QCheckBox* cbxRelative;
  QLabel* lblActionNote;

  void AddAction(int KindIndex);
  void butActionUpClick();
  void butActionDownClick();
  // Deletes the selected action without asking: an action is one line,
  // quickly added again, and undo takes the step back.
  void butActionDeleteClick();
  // The list's context menu: Delete, Move up, Move down for the selected
  // action; the caller owns it.
  QMenu* CreateActionMenu();

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  void FillList();
  void RefreshItem(int Row);
  void ShowSelected();
  void ArgEdited(QLineEdit* Field, int Which);
  void MarkField(QLineEdit* Field);
  lvk::TGame& Game() const;
  lvk::TActionSpeed* SelectedSpeed() const;

  lvk::THandler* FHandler = nullptr;
  bool FShowing = false;  // true while controls are set from the model
};

// Whether a stored argument text is a whole number the game can use: an
// optional sign and digits, or empty for 0.
bool IsWholeArgument(const QString& Text);
