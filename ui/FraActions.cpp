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
#include "model/UGame.h"
#include "ui/UDialogService.h"
#include "ui/UPictures.h"
#include "model/UDocument.h"

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
           "Del deletes it)");
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
  SetHints(butActionDelete, "Delete (Del)", "Delete the selected action from this handler");

  edtArg1 = new QLineEdit(this);
  edtArg1->setObjectName("edtArg1");
  edtArg2 = new QLineEdit(this);
  edtArg2->setObjectName("edtArg2");
  for (QLineEdit* Field : {edtArg1, edtArg2}) {
    Field->setValidator(new TWholeValidator(Field));
    Field->setFixedWidth(90);
    Field->installEventFilter(this);
  }
  SetHints(edtArg1, "First value (a whole number; empty is 0)",
           "SetSpeedSize: horizontal speed in 1/16 pixel a frame; SetSpeedDir: horizontal direction by its sign");
  SetHints(edtArg2, "Second value (a whole number; empty is 0)",
           "SetSpeedSize: vertical speed in 1/16 pixel a frame; SetSpeedDir: vertical direction by its sign");
  auto* Arg1Label = new QLabel("Value &1", this);
  Arg1Label->setBuddy(edtArg1);
  auto* Arg2Label = new QLabel("Value &2", this);
  Arg2Label->setBuddy(edtArg2);
  cbxRelative = new QCheckBox("Relati&ve", this);
  cbxRelative->setObjectName("cbxRelative");
  SetHints(cbxRelative, "Add to the current values instead of setting them");
  lblActionNote = new QLabel(this);
  lblActionNote->setObjectName("lblActionNote");
  lblActionNote->setWordWrap(true);

  auto* Buttons = new QVBoxLayout;
  Buttons->addWidget(butAddAction);
  Buttons->addWidget(butActionUp);
  Buttons->addWidget(butActionDown);
  Buttons->addWidget(butActionDelete);
  Buttons->addStretch(1);
  auto* ListRow = new QHBoxLayout;
  ListRow->addWidget(lbxActions, 1);
  ListRow->addLayout(Buttons);
  auto* Settings = new QGridLayout;
  Settings->addWidget(Arg1Label, 0, 0);
  Settings->addWidget(edtArg1, 0, 1);
  Settings->addWidget(Arg2Label, 0, 2);
  Settings->addWidget(edtArg2, 0, 3);
  Settings->addWidget(cbxRelative, 0, 4);
  Settings->setColumnStretch(5, 1);
  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->addWidget(Caption);
  Layout->addLayout(ListRow, 1);
  Layout->addLayout(Settings);
  Layout->addWidget(lblActionNote);

  connect(lbxActions, &QListWidget::currentRowChanged, this, [this] { ShowSelected(); });
  connect(butActionUp, &QToolButton::clicked, this, &TfraActions::butActionUpClick);
  connect(butActionDown, &QToolButton::clicked, this, &TfraActions::butActionDownClick);
  connect(butActionDelete, &QToolButton::clicked, this, &TfraActions::butActionDeleteClick);
  connect(edtArg1, &QLineEdit::editingFinished, this, [this] { ArgEdited(edtArg1, 1); });
  connect(edtArg2, &QLineEdit::editingFinished, this, [this] { ArgEdited(edtArg2, 2); });
  connect(edtArg1, &QLineEdit::textEdited, this, [this] { MarkField(edtArg1); });
  connect(edtArg2, &QLineEdit::textEdited, this, [this] { MarkField(edtArg2); });
  connect(cbxRelative, &QCheckBox::toggled, this, [this](bool On) {
    lvk::TActionSpeed* Action = SelectedSpeed();
    if (FShowing || !Action || Action->Relative() == On) return;
    {
      lvk::TEdit Edit(Game(), "Edit action");
      Action->SetRelative(On);
    }
    RefreshItem(lbxActions->currentRow());
  });
  SetHandler(nullptr);
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

lvk::TActionSpeed* TfraActions::SelectedSpeed() const { return dynamic_cast<lvk::TActionSpeed*>(SelectedAction()); }

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

void TfraActions::RefreshItem(int Row) {
  QListWidgetItem* Item = lbxActions->item(Row);
  const lvk::TActionBase* Action = FHandler->GetAction(Row);
  Item->setIcon(IconPixmap(Action->Kind().Icon()));
  Item->setText(FromStd(Action->Summary()));
  const auto* Speed = dynamic_cast<const lvk::TActionSpeed*>(Action);
  const bool Whole = !Speed || (IsWholeArgument(FromStd(Speed->Arg1())) && IsWholeArgument(FromStd(Speed->Arg2())));
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
  lvk::TActionSpeed* Speed = SelectedSpeed();
  FShowing = true;
  edtArg1->setText(Speed ? FromStd(Speed->Arg1()) : QString());
  edtArg2->setText(Speed ? FromStd(Speed->Arg2()) : QString());
  cbxRelative->setChecked(Speed && Speed->Relative());
  FShowing = false;
  for (QWidget* W : std::initializer_list<QWidget*>{edtArg1, edtArg2, cbxRelative}) W->setEnabled(Speed != nullptr);
  MarkField(edtArg1);
  MarkField(edtArg2);
  if (!Action)
    lblActionNote->setText(FHandler ? "No action selected." : QString());
  else if (!Speed)
    lblActionNote->setText(FromStd(Action->Kind().Description()) + ". It has no values.");
}

void TfraActions::MarkField(QLineEdit* Field) {
  const bool Whole = !Field->isEnabled() || IsWholeArgument(Field->text());
  QPalette P = palette();
  if (!Whole) P.setColor(QPalette::Base, QColor(255, 220, 220));
  Field->setPalette(P);
  if (lvk::TActionBase* Action = SelectedAction(); Action && SelectedSpeed()) {
    const bool Other = !IsWholeArgument((Field == edtArg1 ? edtArg2 : edtArg1)->text());
    lblActionNote->setText(Whole && !Other ? FromStd(Action->Kind().Description()) + "." : QString(NotWholeNote));
  }
}

void TfraActions::ArgEdited(QLineEdit* Field, int Which) {
  lvk::TActionSpeed* Action = SelectedSpeed();
  if (FShowing || !Action) return;
  const std::string Text = Field->text().toStdString();
  if (Text == (Which == 1 ? Action->Arg1() : Action->Arg2())) return;
  {
    lvk::TEdit Edit(Game(), "Edit action");
    if (Which == 1)
      Action->SetArg1(Text);
    else
      Action->SetArg2(Text);
  }
  RefreshItem(lbxActions->currentRow());
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
  // As every delete: the item named, and undo can bring it back.
  const QString Handler = FHandler->Event() ? QString::fromStdString(FHandler->Event()->Summary()) : QString();
  const QString Question = "Delete the action " + QString::fromStdString(FHandler->GetAction(Row)->Summary()) +
                           " of the handler " + Handler + "?";
  if (Dialogs().Message(this, TMsgKind::Confirmation, Question) != TMsgAnswer::Yes) return;
  if (!FHandler || Row >= FHandler->ActionCount()) return;  // gone while the box was up
  {
    lvk::TEdit Edit(Game(), "Delete action");
    FHandler->DeleteAction(Row);
  }
  FillList();  // keeps the row: the action after the deleted one, else the one before
}

QMenu* TfraActions::CreateActionMenu() {
  auto* Menu = new QMenu(this);
  Menu->setObjectName("mnuActions");
  const int Row = lbxActions->currentRow();
  const bool Selected = FHandler && Row >= 0 && Row < FHandler->ActionCount();
  QAction* Delete = Menu->addAction(butActionDelete->icon(), "&Delete", this, &TfraActions::butActionDeleteClick);
  Delete->setObjectName("mnuActionDelete");
  Delete->setShortcut(QKeySequence::Delete);
  Delete->setShortcutContext(Qt::WidgetShortcut);  // shown; the list's own key handler does the work
  Delete->setEnabled(Selected);
  Menu->addSeparator();
  QAction* Up = Menu->addAction("Move &up", this, &TfraActions::butActionUpClick);
  Up->setObjectName("mnuActionUp");
  Up->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));
  Up->setShortcutContext(Qt::WidgetShortcut);
  Up->setEnabled(butActionUp->isEnabled());
  QAction* Down = Menu->addAction("Move d&own", this, &TfraActions::butActionDownClick);
  Down->setObjectName("mnuActionDown");
  Down->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
  Down->setShortcutContext(Qt::WidgetShortcut);
  Down->setEnabled(butActionDown->isEnabled());
  return Menu;
}

bool TfraActions::eventFilter(QObject* Watched, QEvent* Event) {
  if ((Watched == lbxActions || Watched == lbxActions->viewport()) && Event->type() == QEvent::ContextMenu) {
    auto* Request = static_cast<QContextMenuEvent*>(Event);
    QPoint At = Request->globalPos();
    if (Request->reason() == QContextMenuEvent::Mouse) {
      QListWidgetItem* Item = lbxActions->itemAt(lbxActions->viewport()->mapFromGlobal(At));
      if (!Item) return true;
      lbxActions->setCurrentItem(Item);
    } else if (QListWidgetItem* Item = lbxActions->currentItem()) {
      At = lbxActions->viewport()->mapToGlobal(lbxActions->visualItemRect(Item).center());
    } else
      return true;
    std::unique_ptr<QMenu> Menu(CreateActionMenu());
    Menu->exec(At);
    return true;
  }
  if (Watched == lbxActions && Event->type() == QEvent::KeyPress) {
    auto* Key = static_cast<QKeyEvent*>(Event);
    if (Key->modifiers() == Qt::NoModifier && Key->key() == Qt::Key_Delete) {
      butActionDeleteClick();
      return true;
    }
    if (Key->modifiers() == Qt::ControlModifier && Key->key() == Qt::Key_Up) {
      butActionUpClick();
      return true;
    }
    if (Key->modifiers() == Qt::ControlModifier && Key->key() == Qt::Key_Down) {
      butActionDownClick();
      return true;
    }
  }
  // A text that is not a whole number is never stored: leaving the field
  // shows the stored value again, and Esc does so at once.
  auto* Field = qobject_cast<QLineEdit*>(Watched);
  if (Field && (Field == edtArg1 || Field == edtArg2)) {
    const bool Escape = Event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Escape;
    if ((Event->type() == QEvent::FocusOut || Escape) && !Field->hasAcceptableInput()) {
      if (lvk::TActionSpeed* Action = SelectedSpeed()) {
        FShowing = true;
        Field->setText(FromStd(Field == edtArg1 ? Action->Arg1() : Action->Arg2()));
        FShowing = false;
        MarkField(Field);
      }
      if (Escape) return true;
    }
  }
  return QWidget::eventFilter(Watched, Event);
}
