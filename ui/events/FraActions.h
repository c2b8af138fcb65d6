#pragma once
// The actions of a handler, in the order the game runs them: a list with
// each action's icon and summary, a menu to add any registered kind, buttons
// to move one up or down or delete it, Copy and Paste, and beside the list
// the values of the selected action, each labelled as its kind names it and
// edited by a control of its type: a number field (a whole number with a
// sign or a variable's name, the variables offered while typing and with
// Down), a tick, pickers of variables, actors and tiles (these two with
// their pictures), the key toggles of OnKey, a line of text whose {names}
// are checked, a comparison. A number that is neither a whole number nor a
// variable's name is never stored; a stored one (older files kept free
// texts) is shown as it is and marked, and never changed unless the user
// types a new value. A value the game cannot use marks its action in the
// list and is told of below it.
#include <QWidget>
#include <map>
#include <vector>

#include "model/UItemRef.h"
#include "ui/events/UValueChecks.h"
#include "ui/events/UValueEditors.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QSplitter;
class QStringListModel;
class QToolButton;

namespace lvk {
class TGame;
class THandler;
class TActionBase;
enum class TValueType;
}  // namespace lvk

class TfraActions : public QWidget, private TValueEditorOwner {
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
  // The control that edits the selected action's value Index, or null.
  QWidget* ValueEditor(int Index) const;

  QListWidget* lbxActions;
  QToolButton* butAddAction;
  QToolButton* butActionUp;
  QToolButton* butActionDown;
  QToolButton* butActionDelete;
  QSplitter* splActions;  // between the list (with its buttons) and the values
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
    lvk::TValueType Type;
    QWidget* Editor;
  };
  void FillList();
  void RefreshItem(int Row);
  void ShowSelected();
  // Lays out the editors for Action's values (none for null).
  void ShowValues(lvk::TActionBase* Action);
  // The Nth editor of a type, made by its row of the editors' table when
  // first needed.
  QWidget* EditorOf(lvk::TValueType Type, std::size_t Nth);
  QLabel* Label(std::size_t Index);
  int ValueOf(const QWidget* Editor) const;
  lvk::TValueType TypeOf(const QWidget* Editor) const;
  void Store(int Value, const std::string& Text);
  // What the editors tell the frame.
  QWidget* ValuesPanel() const override;
  lvk::TGame* ShownGame() const override;
  QAbstractItemModel* VariableNames() const override;
  QObject* FieldWatch() override;
  void ValueEdited(QWidget* Editor, const std::string& Text) override;
  void NumberEdited(QLineEdit* Field) override;
  void FieldTyped(QLineEdit* Field) override;
  // Marks a field whose text the game cannot use and tells of it.
  void MarkField(QLineEdit* Field);
  // The selected action's first problem, as typed in its fields, or its
  // description.
  void ShowNote();
  lvk::TGame& Game() const;

  lvk::TItemRef<lvk::THandler> FHandler;
  bool FShowing = false;  // true while controls are set from the model
  QGridLayout* FValuesGrid;
  QStringListModel* FVariableNames;  // what the number fields offer
  std::vector<QLabel*> FLabels;
  std::map<lvk::TValueType, std::vector<QWidget*>> FEditors;
  std::vector<TBinding> FBindings;
};
