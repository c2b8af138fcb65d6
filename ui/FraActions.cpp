#include "ui/FraActions.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QStyle>
#include <QToolButton>
#include <QValidator>
#include <QVBoxLayout>
#include <memory>

#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/UItemCopies.h"
#include "ui/UClipboard.h"
#include "ui/UDialogService.h"
#include "ui/UPictures.h"

namespace {

QString FromStd(const std::string& S) { return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size())); }

void SetHints(QWidget* W, const QString& Short, const QString& Long = {}) {
  W->setToolTip(Short);
  W->setStatusTip(Long.isEmpty() ? Short : Long);
}

// Lets every keystroke through, so a stored text that is not a number can
// be edited into one; only a whole number (or nothing) is acceptable, and
// only an acceptable text is ever stored.
class TWholeValidator final : public QValidator {
public:
  using QValidator::QValidator;
  State validate(QString& Input, int&) const override {
    return IsWholeArgument(Input) ? Acceptable : Intermediate;
  }
};

constexpr const char* NotWholeNote =
    "Not a whole number: the game cannot use it. Type a whole number (for example -2, 0 or 16).";

}  // namespace

bool IsWholeArgument(const QString& Text) { return lvk::ParseWholeNumber(Text.toStdString()).has_value(); }

TfraActions::TfraActions(QWidget* Parent) : QWidget(Parent) {
  setObjectName("fraActions");
  auto* Caption = new QLabel("Actio&ns, in the order they run", this);
  lbxActions = new QListWidget(this);
  lbxActions->setObjectName("lbxActions");
  lbxActions->setIconSize(QSize(16, 16));
  lbxActions->setMinimumHeight(90);
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
  FValuesGrid->setColumnStretch(2, 1);
  edtArg1 = NumberEditor(0);
  edtArg2 = NumberEditor(1);
  cbxRelative = FlagEditor(0);
  lblActionNote = new QLabel(this);
  lblActionNote->setObjectName("lblActionNote");
  lblActionNote->setWordWrap(true);

  auto* Buttons = new QVBoxLayout;
  Buttons->addWidget(butAddAction);
  Buttons->addWidget(butActionUp);
  Buttons->addWidget(butActionDown);
  Buttons->addWidget(butActionDelete);
  Buttons->addStretch(1);
  auto* Values = new QVBoxLayout;
  Values->addWidget(pnlValues);
  Values->addStretch(1);
  auto* ListRow = new QHBoxLayout;
  ListRow->addWidget(lbxActions, 1);
  ListRow->addLayout(Buttons);
  ListRow->addSpacing(8);
  ListRow->addLayout(Values, 1);
  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->addWidget(Caption);
  Layout->addLayout(ListRow, 1);
  Layout->addWidget(lblActionNote);

  connect(lbxActions, &QListWidget::currentRowChanged, this, [this] { ShowSelected(); });
  connect(butActionUp, &QToolButton::clicked, this, &TfraActions::butActionUpClick);
  connect(butActionDown, &QToolButton::clicked, this, &TfraActions::butActionDownClick);
  connect(butActionDelete, &QToolButton::clicked, this, &TfraActions::butActionDeleteClick);
  SetHandler(nullptr);
}

QLineEdit* TfraActions::NumberEditor(std::size_t Index) {
  while (FNumbers.size() <= Index) {
    auto* Field = new QLineEdit(pnlValues);
    Field->setObjectName(QString("edtArg%1").arg(FNumbers.size() + 1));
    Field->setValidator(new TWholeValidator(Field));
    Field->setFixedWidth(90);
    Field->installEventFilter(this);
    Field->hide();
    connect(Field, &QLineEdit::editingFinished, this, [this, Field] { NumberEdited(Field); });
    connect(Field, &QLineEdit::textEdited, this, [this, Field] { MarkField(Field); });
    FNumbers.push_back(Field);
  }
  return FNumbers[Index];
}

QCheckBox* TfraActions::FlagEditor(std::size_t Index) {
  while (FFlags.size() <= Index) {
    auto* Box = new QCheckBox(pnlValues);
    Box->setObjectName(FFlags.empty() ? QString("cbxRelative") : QString("cbxFlag%1").arg(FFlags.size() + 1));
    Box->hide();
    connect(Box, &QCheckBox::toggled, this, [this, Box](bool On) {
      if (!FShowing) Store(ValueOf(Box), On ? "1" : "0");
    });
    FFlags.push_back(Box);
  }
  return FFlags[Index];
}

void TfraActions::SetHandler(lvk::THandler* Handler) {
  FHandler = Handler;
  FillList();
}

lvk::TActionBase* TfraActions::SelectedAction() const {
  const int Row = lbxActions->currentRow();
  if (!FHandler || Row < 0 || Row >= FHandler->ActionCount()) return nullptr;
  return FHandler->GetAction(Row);
}

void TfraActions::SelectAction(int Index) { lbxActions->setCurrentRow(Index); }

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

bool TfraActions::AllWhole(const lvk::TActionBase& Action) {
  for (int v = 0; v < Action.ValueCount(); ++v)
    if (Action.ValueInfo(v).Type == lvk::TValueType::Number && !IsWholeArgument(FromStd(Action.GetValue(v))))
      return false;
  return true;
}

void TfraActions::RefreshItem(int Row) {
  QListWidgetItem* Item = lbxActions->item(Row);
  const lvk::TActionBase* Action = FHandler->GetAction(Row);
  Item->setIcon(IconPixmap(Action->Kind().Icon()));
  Item->setText(FromStd(Action->Summary()));
  const bool Whole = AllWhole(*Action);
  Item->setForeground(Whole ? palette().color(QPalette::Text) : QColor(Qt::red));
  Item->setToolTip(Whole ? FromStd(Action->Kind().Description()) : QString(NotWholeNote));
}

void TfraActions::ShowSelected() {
  const int Row = lbxActions->currentRow();
  const int Count = lbxActions->count();
  butActionUp->setEnabled(Row > 0);
  butActionDown->setEnabled(Row >= 0 && Row < Count - 1);
  butActionDelete->setEnabled(Row >= 0 && Row < Count);
  lvk::TActionBase* Action = SelectedAction();
  ShowValues(Action);
  if (!Action)
    lblActionNote->setText(FHandler ? "No action selected." : QString());
  else if (Action->ValueCount() == 0)
    lblActionNote->setText(FromStd(Action->Kind().Description()) + ". It has no values.");
  else
    lblActionNote->setText(AllWhole(*Action) ? FromStd(Action->Kind().Description()) + "." : QString(NotWholeNote));
}

void TfraActions::ShowValues(lvk::TActionBase* Action) {
  FShowing = true;
  for (QWidget* W : pnlValues->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    FValuesGrid->removeWidget(W);
    W->hide();
  }
  FBindings.clear();
  std::size_t Numbers = 0, Flags = 0;
  const int Count = Action ? Action->ValueCount() : 0;
  for (int v = 0; v < Count; ++v) {
    const lvk::TActionValue Info = Action->ValueInfo(v);
    const QString Value = FromStd(Action->GetValue(v));
    QWidget* Editor = nullptr;
    if (Info.Type == lvk::TValueType::Flag) {
      QCheckBox* Box = FlagEditor(Flags++);
      Box->setText(Info.Label);
      Box->setChecked(Value == "1");
      Editor = Box;
      FValuesGrid->addWidget(Box, v, 0, 1, 2, Qt::AlignLeft);
    } else {
      QLineEdit* Field = NumberEditor(Numbers++);
      Field->setText(Value);
      Editor = Field;
      if (FLabels.size() <= static_cast<std::size_t>(v)) FLabels.push_back(new QLabel(pnlValues));
      QLabel* Label = FLabels[v];
      Label->setText(Info.Label);
      Label->setBuddy(Field);
      FValuesGrid->addWidget(Label, v, 0);
      FValuesGrid->addWidget(Field, v, 1);
      Label->show();
    }
    SetHints(Editor, QString(Info.Label).remove('&'), Info.Hint);
    Editor->show();
    FBindings.push_back({v, Editor});
  }
  FShowing = false;
  FValuesGrid->activate();  // placed now, for a click that comes at once
  for (QLineEdit* Field : FNumbers) MarkField(Field);
}

int TfraActions::ValueOf(const QWidget* Editor) const {
  for (const TBinding& B : FBindings)
    if (B.Editor == Editor) return B.Value;
  return -1;
}

void TfraActions::Store(int Value, const std::string& Text) {
  lvk::TActionBase* Action = SelectedAction();
  if (!Action || Value < 0 || Text == Action->GetValue(Value)) return;
  {
    lvk::TEdit Edit(Game(), "Edit action");
    Action->SetValue(Value, Text);
  }
  RefreshItem(lbxActions->currentRow());
  lblActionNote->setText(AllWhole(*Action) ? FromStd(Action->Kind().Description()) + "." : QString(NotWholeNote));
}

void TfraActions::NumberEdited(QLineEdit* Field) {
  // Only an acceptable text is ever stored: a rejected one stays in the
  // field, marked, until it is mended or left.
  if (FShowing || !Field->hasAcceptableInput()) return;
  Store(ValueOf(Field), Field->text().toStdString());
}

void TfraActions::MarkField(QLineEdit* Field) {
  const bool Whole = ValueOf(Field) < 0 || IsWholeArgument(Field->text());
  QPalette P = palette();
  if (!Whole) P.setColor(QPalette::Base, QColor(255, 220, 220));
  Field->setPalette(P);
  if (FShowing || ValueOf(Field) < 0) return;
  bool AllTyped = true;
  for (const TBinding& B : FBindings)
    if (auto* Number = qobject_cast<QLineEdit*>(B.Editor)) AllTyped = AllTyped && IsWholeArgument(Number->text());
  if (lvk::TActionBase* Action = SelectedAction())
    lblActionNote->setText(AllTyped ? FromStd(Action->Kind().Description()) + "." : QString(NotWholeNote));
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
  // A text that is not a whole number is never stored: leaving the field
  // shows the stored value again, and Esc does so at once.
  auto* Field = qobject_cast<QLineEdit*>(Watched);
  if (Field && ValueOf(Field) >= 0) {
    const bool Escape = Event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Escape;
    if ((Event->type() == QEvent::FocusOut || Escape) && !Field->hasAcceptableInput()) {
      if (lvk::TActionBase* Action = SelectedAction()) {
        FShowing = true;
        Field->setText(FromStd(Action->GetValue(ValueOf(Field))));
        FShowing = false;
        MarkField(Field);
      }
      if (Escape) return true;
    }
  }
  return QWidget::eventFilter(Watched, Event);
}
