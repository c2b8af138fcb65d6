#include "ui/events/FraActions.h"

#include <QCheckBox>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QIcon>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSplitter>
#include <QStringListModel>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>
#include <map>
#include <memory>

#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "behaviour/UValueAction.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/UItemCopies.h"
#include "model/UNames.h"
#include "model/UVariable.h"
#include "ui/common/UClipboard.h"
#include "ui/common/UDialogService.h"
#include "ui/common/UHelp.h"
#include "ui/common/UPictures.h"
#include "ui/events/UValueChecks.h"
#include "ui/events/UValueEditors.h"
#include "ui/play/UPlayConsole.h"

namespace {

QString FromStd(const std::string& S) { return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size())); }

void SetHints(QWidget* W, const QString& Short, const QString& Long = {}) {
  W->setToolTip(Short);
  W->setStatusTip(Long.isEmpty() ? Short : Long);
}

// "1", "1 and 3", "1, 3 and 4".
QString RowList(const QStringList& Rows) {
  if (Rows.size() < 2) return Rows.join("");
  return QStringList(Rows.mid(0, Rows.size() - 1)).join(", ") + " and " + Rows.back();
}

// Which rows of the upper screen the start text of a game titled Title and
// the screen's own lines use: a text printed there covers them. The start
// text is printed as the game prints it, so a long title's rows count too.
QString ScreenRowsNote(const std::string& Title) {
  lvk::TPlayConsole Console;
  Console.Write(lvk::WelcomeText(Title));
  QStringList Rows;
  for (int Row = 0; Row < lvk::TPlayConsole::Rows; ++Row)
    if (!Console.RowText(Row).empty()) Rows << QString::number(Row);
  return QString(" The start text uses rows %1; the level and keys lines rows %2 and %3.")
      .arg(RowList(Rows))
      .arg(LVK_HOST_ROW_STATUS)
      .arg(LVK_HOST_ROW_KEYS);
}

// A field the game cannot use as it is.
const QColor MarkColor(255, 220, 220);

// Rows no wider than the list: a long summary is cut with "..." where the
// list ends (its tip holds the whole), not hidden behind a scroll bar.
class TElidingDelegate final : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    QSize Size = QStyledItemDelegate::sizeHint(Option, Index);
    Size.setWidth(std::min(Size.width(), 32));
    return Size;
  }
};

}  // namespace

TfraActions::TfraActions(QWidget* Parent) : QWidget(Parent) {
  setObjectName("fraActions");
  auto* Caption = new QLabel("Actio&ns, in the order they run", this);
  lbxActions = new QListWidget(this);
  lbxActions->setObjectName("lbxActions");
  lbxActions->setIconSize(QSize(16, 16));
  lbxActions->setMinimumHeight(90);
  lbxActions->setMinimumWidth(120);
  lbxActions->setItemDelegate(new TElidingDelegate(lbxActions));
  lbxActions->setTextElideMode(Qt::ElideRight);
  lbxActions->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  lbxActions->installEventFilter(this);
  SetHints(lbxActions, "The actions of this handler",
           "The actions of this handler, run from top to bottom when its event fires (Ctrl+Up, Ctrl+Down move one, "
           "Del deletes it, Ctrl+C copies it, Ctrl+V pastes)");
  lbxActions->viewport()->installEventFilter(this);  // the mouse's context menu comes to the viewport
  Caption->setBuddy(lbxActions);

  butAddAction = new QToolButton(this);
  butAddAction->setObjectName("butAddAction");
  butAddAction->setText("&Add");
  butAddAction->setPopupMode(QToolButton::InstantPopup);
  butAddAction->setToolButtonStyle(Qt::ToolButtonTextOnly);
  SetHints(butAddAction, "Add an action", "Add an action of any kind at the end of the list");
  auto* Menu = new QMenu(butAddAction);
  for (int i = 0; i < lvk::ActionKindCount(); ++i) {
    const lvk::TActionKind& Kind = lvk::ActionKindAt(i);
    QAction* Item = Menu->addAction(IconPixmap(Kind.Icon()), FromStd(Kind.DisplayName()));
    Item->setObjectName("mnuAdd" + FromStd(Kind.DisplayName()));
    Item->setStatusTip(FromStd(Kind.Description()));
    Item->setToolTip(FromStd(Kind.Description()));
    connect(Item, &QAction::triggered, this, [this, i] { AddAction(i); });
  }
  Menu->setToolTipsVisible(true);
  butAddAction->setMenu(Menu);

  butActionUp = new QToolButton(this);
  butActionUp->setObjectName("butActionUp");
  butActionUp->setArrowType(Qt::UpArrow);
  SetHints(butActionUp, "Move up (Ctrl+Up)", "Run the selected action one place earlier");
  butActionDown = new QToolButton(this);
  butActionDown->setObjectName("butActionDown");
  butActionDown->setArrowType(Qt::DownArrow);
  SetHints(butActionDown, "Move down (Ctrl+Down)", "Run the selected action one place later");
  butActionDelete = new QToolButton(this);
  butActionDelete->setObjectName("butActionDelete");
  butActionDelete->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
  SetHints(butActionDelete, "Delete (Del)", "Delete the selected action from this handler (Edit | Undo brings it back)");

  // The values of the selected action: a label and an editor a row, in a
  // column beside the list.
  pnlValues = new QWidget(this);
  pnlValues->setObjectName("pnlValues");
  FValuesGrid = new QGridLayout(pnlValues);
  FValuesGrid->setContentsMargins(0, 0, 0, 0);
  FValuesGrid->setColumnStretch(3, 1);
  FVariableNames = new QStringListModel(this);
  edtArg1 = static_cast<QLineEdit*>(EditorOf(lvk::TValueType::Number, 0));
  edtArg2 = static_cast<QLineEdit*>(EditorOf(lvk::TValueType::Number, 1));
  cbxRelative = static_cast<QCheckBox*>(EditorOf(lvk::TValueType::Flag, 0));
  lblActionNote = new QLabel(this);
  lblActionNote->setObjectName("lblActionNote");
  lblActionNote->setWordWrap(true);

  auto* Buttons = new QVBoxLayout;
  Buttons->addWidget(butAddAction);
  Buttons->addWidget(butActionUp);
  Buttons->addWidget(butActionDown);
  Buttons->addWidget(butActionDelete);
  Buttons->addStretch(1);
  // The list with its buttons and the values, the border between them
  // dragged as the summaries or the values need the room.
  splActions = new QSplitter(Qt::Horizontal, this);
  splActions->setObjectName("splActions");
  splActions->setChildrenCollapsible(false);
  splActions->setToolTip("Drag to give the list or the values more room");
  auto* ListSide = new QWidget(splActions);
  auto* ListRow = new QHBoxLayout(ListSide);
  ListRow->setContentsMargins(0, 0, 4, 0);
  ListRow->addWidget(lbxActions, 1);
  ListRow->addLayout(Buttons);
  auto* ValuesSide = new QWidget(splActions);
  auto* Values = new QVBoxLayout(ValuesSide);
  Values->setContentsMargins(4, 0, 0, 0);
  Values->addWidget(pnlValues);
  Values->addStretch(1);
  // The values take the larger share: a text needs a screen row's width.
  splActions->setStretchFactor(0, 2);
  splActions->setStretchFactor(1, 3);
  splActions->setSizes({200, 300});
  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->addWidget(Caption);
  Layout->addWidget(splActions, 1);
  Layout->addWidget(lblActionNote);

  connect(lbxActions, &QListWidget::currentRowChanged, this, [this] { ShowSelected(); });
  connect(butActionUp, &QToolButton::clicked, this, &TfraActions::butActionUpClick);
  connect(butActionDown, &QToolButton::clicked, this, &TfraActions::butActionDownClick);
  connect(butActionDelete, &QToolButton::clicked, this, &TfraActions::butActionDeleteClick);
  SetHandler(nullptr);
}

QWidget* TfraActions::EditorOf(lvk::TValueType Type, std::size_t Nth) {
  std::vector<QWidget*>& Made = FEditors[Type];
  while (Made.size() <= Nth) Made.push_back(ValueEditorType(Type).Make(*this, Made.size()));
  return Made[Nth];
}

QLabel* TfraActions::Label(std::size_t Index) {
  while (FLabels.size() <= Index) FLabels.push_back(new QLabel(pnlValues));
  return FLabels[Index];
}

void TfraActions::SetHandler(lvk::THandler* Handler) {
  FHandler = Handler;
  if (FHandler) {
    // The lists of another game's items: the game may be new since.
    for (const auto& [Type, Made] : FEditors)
      if (const auto Follow = ValueEditorType(Type).FollowGame)
        for (QWidget* W : Made) Follow(W, Game());
  }
  FillList();
}

lvk::TActionBase* TfraActions::SelectedAction() const {
  const int Row = lbxActions->currentRow();
  if (!FHandler || Row < 0 || Row >= FHandler->ActionCount()) return nullptr;
  return FHandler->GetAction(Row);
}

void TfraActions::SelectAction(int Index) { lbxActions->setCurrentRow(Index); }

QWidget* TfraActions::ValueEditor(int Index) const {
  for (const TBinding& B : FBindings)
    if (B.Value == Index) return B.Editor;
  return nullptr;
}

void TfraActions::FillList() {
  const int Keep = lbxActions->currentRow();
  FShowing = true;
  lbxActions->clear();
  const int Count = FHandler ? FHandler->ActionCount() : 0;
  for (int i = 0; i < Count; ++i) {
    lbxActions->addItem(new QListWidgetItem);
    RefreshItem(i);
  }
  FShowing = false;
  butAddAction->setEnabled(FHandler != nullptr);
  lbxActions->setCurrentRow(Count == 0 ? -1 : std::clamp(Keep, 0, Count - 1));
  ShowSelected();
}

void TfraActions::RefreshItem(int Row) {
  QListWidgetItem* Item = lbxActions->item(Row);
  const lvk::TActionBase* Action = FHandler->GetAction(Row);
  Item->setIcon(IconPixmap(Action->Kind().Icon()));
  Item->setText(FromStd(Action->Summary()));
  const QString Problem = ActionProblem(*Action, Game());
  Item->setForeground(Problem.isEmpty() ? palette().color(QPalette::Text) : QColor(Qt::red));
  // The whole summary too: a long one is cut in a narrow list.
  Item->setToolTip(Item->text() + "\n" + (Problem.isEmpty() ? FromStd(Action->Kind().Description()) : Problem));
}

void TfraActions::ShowSelected() {
  const int Row = lbxActions->currentRow();
  const int Count = lbxActions->count();
  butActionUp->setEnabled(Row > 0);
  butActionDown->setEnabled(Row >= 0 && Row < Count - 1);
  butActionDelete->setEnabled(Row >= 0 && Row < Count);
  ShowValues(SelectedAction());
  ShowNote();
  // F1 in the list or on a value shows the page of the selected kind.
  const lvk::TActionBase* Action = SelectedAction();
  SetHelpKeyword(this, Action ? "action-" + FromStd(Action->Kind().DisplayName()).toLower() : QString("actions"));
}

void TfraActions::ShowNote() {
  lvk::TActionBase* Action = SelectedAction();
  if (!Action) {
    lblActionNote->setText(FHandler ? "No action selected." : QString());
    return;
  }
  const QString About = FromStd(Action->Kind().Description());
  if (Action->ValueCount() == 0) {
    lblActionNote->setText(About + ". It has no values.");
    return;
  }
  // The fields as typed: a number typed wrong is never stored, but told of.
  for (int v = 0; v < Action->ValueCount(); ++v) {
    const auto* Field = qobject_cast<const QLineEdit*>(ValueEditor(v));
    const QString Text = Field ? Field->text() : FromStd(Action->GetValue(v));
    const QString Problem = ValueProblem(Action->ValueInfo(v).Type, Text, Game());
    if (!Problem.isEmpty()) {
      lblActionNote->setText(Problem);
      return;
    }
  }
  const bool PrintsRows =
      &Action->Kind() == &lvk::TActionShowText::ClassKind() || &Action->Kind() == &lvk::TActionClearText::ClassKind();
  lblActionNote->setText(About + "." + (PrintsRows ? ScreenRowsNote(Game().Title()) : QString()));
}

void TfraActions::ShowValues(lvk::TActionBase* Action) {
  FShowing = true;
  // Unbound first: a field hidden with the focus hears of it, and must not
  // take itself for a value of the action shown now.
  FBindings.clear();
  for (QWidget* W : pnlValues->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    FValuesGrid->removeWidget(W);
    W->hide();
  }
  if (Action && FHandler) {
    QStringList Names;
    for (int i = 0; i < Game().VariableCount(); ++i) Names << FromStd(Game().GetVariable(i)->Name());
    FVariableNames->setStringList(Names);
  }
  // The nth editor of a type edits the action's nth value of that type.
  std::map<lvk::TValueType, std::size_t> Used;
  const int Count = Action ? Action->ValueCount() : 0;
  int GridRow = 0;
  for (int v = 0; v < Count; ++v) {
    const lvk::TActionValue Info = Action->ValueInfo(v);
    const TValueEditorType& Type = ValueEditorType(Info.Type);
    QWidget* Editor = EditorOf(Info.Type, Used[Info.Type]++);
    Type.Show(Editor, {*Action, v, Game(), FromStd(Action->GetValue(v))});
    // A text goes beside the number before it (ShowText's row), so the
    // two read as one line of the upper screen.
    const bool Beside =
        Info.Type == lvk::TValueType::Text && v > 0 && Action->ValueInfo(v - 1).Type == lvk::TValueType::Number;
    const int Row = Beside ? GridRow - 1 : GridRow++;
    const int Column = Beside ? 2 : 0;
    if (Type.OwnLabel) {
      FValuesGrid->addWidget(Editor, Row, Column, 1, 2, Qt::AlignLeft);
    } else {
      QLabel* Caption = Label(static_cast<std::size_t>(v));
      Caption->setText(Info.Label);
      Caption->setBuddy(Editor);
      FValuesGrid->addWidget(Caption, Row, Column);
      FValuesGrid->addWidget(Editor, Row, Column + 1, 1, Type.Wide ? 3 - Column : 1,
                             Type.Wide ? Qt::Alignment() : Qt::AlignLeft);
      Caption->show();
    }
    SetHints(Editor, QString(Info.Label).remove('&'), Info.Hint);
    Editor->show();
    FBindings.push_back({v, Info.Type, Editor});
  }
  FShowing = false;
  FValuesGrid->activate();  // placed now, for a click that comes at once
  for (const auto& [Type, Made] : FEditors)
    for (QWidget* W : Made)
      if (auto* Field = qobject_cast<QLineEdit*>(W)) MarkField(Field);
}

int TfraActions::ValueOf(const QWidget* Editor) const {
  for (const TBinding& B : FBindings)
    if (B.Editor == Editor) return B.Value;
  return -1;
}

lvk::TValueType TfraActions::TypeOf(const QWidget* Editor) const {
  for (const TBinding& B : FBindings)
    if (B.Editor == Editor) return B.Type;
  return lvk::TValueType::Number;
}

void TfraActions::Store(int Value, const std::string& Text) {
  lvk::TActionBase* Action = SelectedAction();
  if (!Action || Value < 0 || Text == Action->GetValue(Value)) return;
  {
    lvk::TEdit Edit(Game(), "Edit action");
    Action->SetValue(Value, Text);
  }
  RefreshItem(lbxActions->currentRow());
  ShowNote();
}

void TfraActions::NumberEdited(QLineEdit* Field) {
  // Only an acceptable text is ever stored: a rejected one stays in the
  // field, marked, until it is mended or left.
  if (FShowing || !Field->hasAcceptableInput() || ValueOf(Field) < 0) return;
  std::string Text = Field->text().toStdString();
  // A name as the variable has it, however it was typed.
  if (!IsWholeArgument(Field->text()))
    if (const lvk::TVariable* Variable = Game().FindVariableByName(Text)) Text = Variable->Name();
  Store(ValueOf(Field), Text);
  if (ValueOf(Field) >= 0 && Field->text() != FromStd(Text)) {
    FShowing = true;
    Field->setText(FromStd(Text));
    FShowing = false;
  }
}

void TfraActions::ValueEdited(QWidget* Editor, const std::string& Text) {
  if (!FShowing) Store(ValueOf(Editor), Text);
}

QWidget* TfraActions::ValuesPanel() const { return pnlValues; }

lvk::TGame* TfraActions::ShownGame() const { return FHandler ? &Game() : nullptr; }

QAbstractItemModel* TfraActions::VariableNames() const { return FVariableNames; }

QObject* TfraActions::FieldWatch() { return this; }

void TfraActions::FieldTyped(QLineEdit* Field) { MarkField(Field); }

void TfraActions::MarkField(QLineEdit* Field) {
  const bool Bound = ValueOf(Field) >= 0 && FHandler;
  const bool Usable = !Bound || ValueProblem(TypeOf(Field), Field->text(), Game()).isEmpty();
  QPalette P = palette();
  if (!Usable) P.setColor(QPalette::Base, MarkColor);
  Field->setPalette(P);
  if (!FShowing && Bound) ShowNote();
}

lvk::TGame& TfraActions::Game() const { return FHandler->Actor().Owner(); }

void TfraActions::AddAction(int KindIndex) {
  if (!FHandler) return;
  {
    lvk::TEdit Edit(Game(), "Add action");
    FHandler->AddAction(lvk::ActionKindAt(KindIndex));
  }
  FillList();
  lbxActions->setCurrentRow(FHandler->ActionCount() - 1);
  // The list, not whatever had the focus before the menu (the event's own
  // controls): the keys that move, copy and delete the new action act there.
  lbxActions->setFocus(Qt::OtherFocusReason);
}

void TfraActions::butActionUpClick() {
  const int Row = lbxActions->currentRow();
  if (!FHandler || Row <= 0) return;
  {
    lvk::TEdit Edit(Game(), "Move action");
    FHandler->MoveAction(Row, Row - 1);
  }
  FillList();
  lbxActions->setCurrentRow(Row - 1);
}

void TfraActions::butActionDownClick() {
  const int Row = lbxActions->currentRow();
  if (!FHandler || Row < 0 || Row >= FHandler->ActionCount() - 1) return;
  {
    lvk::TEdit Edit(Game(), "Move action");
    FHandler->MoveAction(Row, Row + 1);
  }
  FillList();
  lbxActions->setCurrentRow(Row + 1);
}

void TfraActions::butActionDeleteClick() {
  const int Row = lbxActions->currentRow();
  if (!FHandler || Row < 0 || Row >= FHandler->ActionCount()) return;
  {
    lvk::TEdit Edit(Game(), "Delete action");
    FHandler->DeleteAction(Row);
  }
  FillList();  // keeps the row: the action after the deleted one, else the one before
}

void TfraActions::CopyAction() {
  const lvk::TActionBase* Action = SelectedAction();
  if (!Action) return;
  PutCopy(lvk::ActionCopyBytes(*FHandler, lbxActions->currentRow(), 1), FromStd(Action->Summary()));
}

void TfraActions::PasteActions() {
  if (!FHandler) return;
  const int At = SelectedAction() ? lbxActions->currentRow() + 1 : FHandler->ActionCount();
  int Count = 0;
  try {
    lvk::TEdit Edit(Game(), "Paste action");
    Count = lvk::PasteActions(*FHandler, At, TakeCopy());
  } catch (const lvk::EGame& E) {
    ShowWarning(this, QString::fromUtf8(E.what()));
    return;
  }
  FillList();
  lbxActions->setCurrentRow(At + Count - 1);
}

QMenu* TfraActions::CreateActionMenu() {
  auto* Menu = new QMenu(this);
  Menu->setObjectName("mnuActions");
  const int Row = lbxActions->currentRow();
  const bool Selected = FHandler && Row >= 0 && Row < FHandler->ActionCount();
  // Shown with their keys; the list's own key handler does the work.
  auto Add = [&](const QIcon& Icon, const QString& Text, const char* Name, QKeySequence Key, bool Enabled,
                 void (TfraActions::*Handler)()) {
    QAction* Item = Menu->addAction(Icon, Text, this, Handler);
    Item->setObjectName(Name);
    Item->setShortcut(Key);
    Item->setShortcutContext(Qt::WidgetShortcut);
    Item->setEnabled(Enabled);
  };
  Add(butActionDelete->icon(), "&Delete", "mnuActionDelete", QKeySequence::Delete, Selected,
      &TfraActions::butActionDeleteClick);
  Menu->addSeparator();
  Add({}, "&Copy", "mnuActionCopy", QKeySequence::Copy, Selected, &TfraActions::CopyAction);
  Add({}, "&Paste", "mnuActionPaste", QKeySequence::Paste, FHandler && lvk::HoldsActions(TakeCopy()),
      &TfraActions::PasteActions);
  Menu->addSeparator();
  Add({}, "Move &up", "mnuActionUp", QKeySequence(Qt::CTRL | Qt::Key_Up), butActionUp->isEnabled(),
      &TfraActions::butActionUpClick);
  Add({}, "Move d&own", "mnuActionDown", QKeySequence(Qt::CTRL | Qt::Key_Down), butActionDown->isEnabled(),
      &TfraActions::butActionDownClick);
  return Menu;
}

bool TfraActions::eventFilter(QObject* Watched, QEvent* Event) {
  if ((Watched == lbxActions || Watched == lbxActions->viewport()) && Event->type() == QEvent::ContextMenu) {
    auto* Request = static_cast<QContextMenuEvent*>(Event);
    QPoint At = Request->globalPos();
    if (Request->reason() == QContextMenuEvent::Mouse) {
      QListWidgetItem* Item = lbxActions->itemAt(lbxActions->viewport()->mapFromGlobal(At));
      if (Item) lbxActions->setCurrentItem(Item);
    } else if (QListWidgetItem* Item = lbxActions->currentItem()) {
      At = lbxActions->viewport()->mapToGlobal(lbxActions->visualItemRect(Item).center());
    }
    std::unique_ptr<QMenu> Menu(CreateActionMenu());
    Menu->exec(At);
    return true;
  }
  if (Watched == lbxActions && Event->type() == QEvent::KeyPress) {
    auto* Key = static_cast<QKeyEvent*>(Event);
    const struct {
      Qt::KeyboardModifiers Modifiers;
      int Key;
      void (TfraActions::*Command)();
    } Commands[] = {{Qt::NoModifier, Qt::Key_Delete, &TfraActions::butActionDeleteClick},
                    {Qt::ControlModifier, Qt::Key_Up, &TfraActions::butActionUpClick},
                    {Qt::ControlModifier, Qt::Key_Down, &TfraActions::butActionDownClick},
                    {Qt::ControlModifier, Qt::Key_C, &TfraActions::CopyAction},
                    {Qt::ControlModifier, Qt::Key_V, &TfraActions::PasteActions}};
    for (const auto& C : Commands)
      if (Key->modifiers() == C.Modifiers && Key->key() == C.Key) {
        (this->*C.Command)();
        return true;
      }
  }
  // A number the game cannot use is never stored: leaving the field shows
  // the stored value again, and Esc does so at once (also in a text).
  auto* Field = qobject_cast<QLineEdit*>(Watched);
  if (Field && ValueOf(Field) >= 0) {
    const bool Number = TypeOf(Field) == lvk::TValueType::Number;
    const auto* Key = Event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(Event) : nullptr;
    const bool Escape = Key && Key->key() == Qt::Key_Escape;
    // The list of completions takes the focus for a moment: that is no leaving.
    const bool Left = Event->type() == QEvent::FocusOut &&
                      static_cast<QFocusEvent*>(Event)->reason() != Qt::PopupFocusReason;
    if ((Left && Number && !Field->hasAcceptableInput()) || (Escape && (!Number || !Field->hasAcceptableInput()))) {
      if (lvk::TActionBase* Action = SelectedAction()) {
        FShowing = true;
        Field->setText(FromStd(Action->GetValue(ValueOf(Field))));
        FShowing = false;
        MarkField(Field);
        ShowNote();
      }
      if (Escape) return true;
    }
    // Down offers every variable whose name starts as typed.
    if (Key && Number && Key->key() == Qt::Key_Down && Key->modifiers() == Qt::NoModifier && Field->completer() &&
        FVariableNames->rowCount() > 0 && (Field->text().isEmpty() || !IsWholeArgument(Field->text()))) {
      Field->completer()->setCompletionPrefix(Field->text());
      Field->completer()->complete();
      return true;
    }
  }
  return QWidget::eventFilter(Watched, Event);
}
