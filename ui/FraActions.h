#pragma once
// The actions of a handler, in the order the game runs them: a list with
// each action's icon and summary, a menu to add any registered kind, buttons
// to move one up or down or delete it, Copy and Paste, and beside the list
// the values of the selected action, each labelled as its kind names it.
// Numbers are whole numbers with a sign; a stored text that is not one
// (older files kept free texts) is shown as it is and marked, and never
// changed unless the user types a new value.
#include <QWidget>
#include <vector>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QToolButton;

namespace lvk {
class TGame;
class THandler;
class TActionBase;
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
  QWidget* pnlValues;  // the selected action's values, beside the list
  // The editors of the values, reused from one action to the next: the
  // first and second number and the first flag (a speed's x, y, relative).
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
  // Copy puts the selected action on the clipboard; Paste inserts the
  // actions there after the selected one (or at the end), also when they
  // were copied from another handler or game.
  void CopyAction();
  void PasteActions();
  // The list's context menu: Delete, Copy, Paste, Move up, Move down; the
  // caller owns it.
  QMenu* CreateActionMenu();

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  // One shown editor and the value of the selected action it edits.
  struct TBinding {
    int Value;
    QWidget* Editor;
  };
  void FillList();
  void RefreshItem(int Row);
  void ShowSelected();
  // Lays out the editors for Action's values (none for null).
  void ShowValues(lvk::TActionBase* Action);
  QLineEdit* NumberEditor(std::size_t Index);
  QCheckBox* FlagEditor(std::size_t Index);
  int ValueOf(const QWidget* Editor) const;
  void Store(int Value, const std::string& Text);
  void NumberEdited(QLineEdit* Field);
  void MarkField(QLineEdit* Field);
  // Whether every number of Action is a whole number.
  static bool AllWhole(const lvk::TActionBase& Action);
  lvk::TGame& Game() const;

  lvk::THandler* FHandler = nullptr;
  bool FShowing = false;  // true while controls are set from the model
  QGridLayout* FValuesGrid;
  std::vector<QLabel*> FLabels;
  std::vector<QLineEdit*> FNumbers;
  std::vector<QCheckBox*> FFlags;
  std::vector<TBinding> FBindings;
};

// Whether a stored argument text is a whole number the game can use: an
// optional sign and digits, or empty for 0.
bool IsWholeArgument(const QString& Text);
