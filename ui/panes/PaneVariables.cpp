#include "ui/panes/PaneVariables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

#include "model/UValueTypes.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/UVariable.h"
#include "ui/common/UDialogService.h"
#include "ui/main/UPaneHost.h"
#include "ui/common/UPictures.h"
#include "ui/panes/UVariableLimits.h"
#include "ui/panes/UPaneLayout.h"

namespace {

QLabel* Note(const QString& Text, QWidget* Parent) {
  auto* Label = new QLabel(Text, Parent);
  Label->setWordWrap(true);
  Label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return Label;
}

}  // namespace

// ---- The folder ----

TPaneVariables::TPaneVariables(TPaneHost& Host)
    : TItemPane(Host, "tsVariables", "Variables", "Variables pane for managing the numbers a game keeps",
                "main-variables") {
  SetHeaderIcon(UiPixmap("BmpVariables18x18"));
  butNewVariable = NewButton("butNewVariable", "BmpVariablesNew16x16", "&New variable", "Add a new variable",
                             "Add a new game variable (use ctrl-click for keeping focus)");
  butNewVariable->setFixedSize(110, 25);
  auto* Row = new QHBoxLayout;
  Row->addWidget(butNewVariable);
  Row->addStretch(1);
  Body()->addLayout(Row);
  lblVariableCounts = Note({}, this);
  lblVariableCounts->setObjectName("lblVariableCounts");
  Body()->addWidget(lblVariableCounts);
  Body()->addWidget(Note("Variables keep numbers while the game plays: a score, lives, a countdown. Actions set "
                         "them (SetVariable), compare them (IfVariable) and show them on the upper screen "
                         "(ShowText with {name}); every number of an action may be a variable's name.",
                         this));
  Body()->addStretch(1);
  connect(butNewVariable, &QPushButton::clicked, this, &TPaneVariables::butNewVariableClick);
}

void TPaneVariables::Show() {
  const lvk::TGame& G = Game();
  lblVariableCounts->setText(QString("Game variables: %1 of %2. Instance variables: %3 of %4.")
                                 .arg(VariableCount(G, lvk::TVariableScope::Game))
                                 .arg(VariableLimit(lvk::TVariableScope::Game))
                                 .arg(VariableCount(G, lvk::TVariableScope::Instance))
                                 .arg(VariableLimit(lvk::TVariableScope::Instance)));
}

void TPaneVariables::butNewVariableClick() {
  const QString Refusal = VariableLimitReached(Game(), lvk::TVariableScope::Game);
  if (!Refusal.isEmpty()) {
    ShowWarning(this, Refusal);
    return;
  }
  lvk::TVariable* Variable = nullptr;
  {
    lvk::TEdit Edit(Game(), "New variable");
    Variable = Game().AddVariable();
  }
  if (butNewVariable->CtrlRecord() == 0)
    Host().SelectItem(*Variable);
  else
    Show();
}

// ---- One variable ----

lvk::TVariable* TPaneVariable::Variable() const { return Host().Game().VariableById(ItemId()); }

TPaneVariable::TPaneVariable(TPaneHost& Host)
    : TItemPane(Host, "tsVariable", "Variable", "Variable pane for editing a variable", "main-variable") {
  SetHeaderIcon(UiPixmap("BmpVariable18x18"));
  auto* Grid = new QGridLayout;
  Grid->setColumnStretch(2, 1);
  Body()->addLayout(Grid);
  auto AddRow = [&](int Row, const QString& Caption, QWidget* Field) {
    auto* Label = new QLabel(Caption, this);
    Label->setBuddy(Field);
    Grid->addWidget(Label, Row, 0);
    Grid->addWidget(Field, Row, 1);
  };

  edtVariableName = new QLineEdit(this);
  edtVariableName->setObjectName("edtVariableName");
  edtVariableName->setFixedWidth(121);
  SetHints(edtVariableName, "The name of the variable",
           "The name of the variable; the actions that name it follow a new name");
  AddRow(0, "&Name", edtVariableName);
  BindNameField(edtVariableName, "Rename variable", [this](const std::string& N) { Variable()->SetName(N); });

  speVariableInitial = new QSpinBox(this);
  speVariableInitial->setObjectName("speVariableInitial");
  speVariableInitial->setRange(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
  speVariableInitial->setFixedWidth(121);
  // Typed digits count when the field is left or Enter pressed: one step.
  speVariableInitial->setKeyboardTracking(false);
  SetHints(speVariableInitial, "The value the variable starts with",
           "The value the variable starts with: when the game starts (a game variable) or when an instance is "
           "made (an instance variable); a whole number");
  AddRow(1, "&Initial value", speVariableInitial);

  cbxVariableScope = new QComboBox(this);
  cbxVariableScope->setObjectName("cbxVariableScope");
  cbxVariableScope->addItem("Game: one value for the whole game", static_cast<int>(lvk::TVariableScope::Game));
  cbxVariableScope->addItem("Instance: a value in every instance", static_cast<int>(lvk::TVariableScope::Instance));
  cbxVariableScope->setItemData(0, "One value for the whole game, kept across levels (a score, lives)",
                                Qt::ToolTipRole);
  cbxVariableScope->setItemData(1,
                                "Every instance of every actor has its own value, set to the initial value when "
                                "it is made (an enemy's hit points)",
                                Qt::ToolTipRole);
  SetHints(cbxVariableScope, "Whose the value is",
           "Game: one value for the whole game, kept across levels; instance: every instance of every actor has "
           "its own value");
  AddRow(2, "&Scope", cbxVariableScope);

  cbxVariableSaved = new QCheckBox("Sa&ved", this);
  cbxVariableSaved->setObjectName("cbxVariableSaved");
  SetHints(cbxVariableSaved, "Kept by SaveGame",
           "Saved: SaveGame keeps the value in a save slot and LoadGame brings it back, also after the game was "
           "switched off (game variables only)");
  AddRow(3, "", cbxVariableSaved);

  butVariableUp = new QPushButton("Move &up", this);
  butVariableUp->setObjectName("butVariableUp");
  SetHints(butVariableUp, "Move up (Ctrl+Up in the tree)", "Move the variable one place up the list");
  butVariableDown = new QPushButton("Move &down", this);
  butVariableDown->setObjectName("butVariableDown");
  SetHints(butVariableDown, "Move down (Ctrl+Down in the tree)", "Move the variable one place down the list");
  auto* Buttons = new QHBoxLayout;
  Buttons->addWidget(butVariableUp);
  Buttons->addWidget(butVariableDown);
  Buttons->addStretch(1);
  Body()->addLayout(Buttons);

  lblVariableUsers = Note({}, this);
  lblVariableUsers->setObjectName("lblVariableUsers");
  Body()->addWidget(lblVariableUsers);
  Body()->addStretch(1);

  connect(speVariableInitial, &QSpinBox::valueChanged, this, &TPaneVariable::speVariableInitialChange);
  connect(cbxVariableScope, &QComboBox::activated, this, &TPaneVariable::cbxVariableScopeChange);
  connect(cbxVariableSaved, &QCheckBox::clicked, this, &TPaneVariable::cbxVariableSavedClick);
  connect(butVariableUp, &QPushButton::clicked, this, &TPaneVariable::butVariableUpClick);
  connect(butVariableDown, &QPushButton::clicked, this, &TPaneVariable::butVariableDownClick);
}

void TPaneVariable::Show() {
  if (!Variable()) return;
  FShowing = true;
  edtVariableName->setText(QString::fromStdString(Variable()->Name()));
  speVariableInitial->setValue(Variable()->Initial());
  cbxVariableScope->setCurrentIndex(cbxVariableScope->findData(static_cast<int>(Variable()->Scope())));
  // An instance variable is never saved: the tick stays, greyed, for a
  // variable that goes back to the game's.
  cbxVariableSaved->setChecked(Variable()->Saved());
  cbxVariableSaved->setEnabled(Variable()->Scope() == lvk::TVariableScope::Game);
  FShowing = false;
  ShowPlace();
  const std::size_t Users = Game().ActionsNaming(lvk::TValueType::Variable, Variable()->Name()).size();
  lblVariableUsers->setText(Users == 0   ? QString("No action names it yet.")
                            : Users == 1 ? QString("1 action names it.")
                                         : QString("%1 actions name it.").arg(Users));
}

void TPaneVariable::ShowPlace() {
  const int At = Variable() ? Game().IndexOfVariable(Variable()) : -1;
  butVariableUp->setEnabled(At > 0);
  butVariableDown->setEnabled(At >= 0 && At < Game().VariableCount() - 1);
}

void TPaneVariable::Follow(const lvk::TChange& Change) {
  if (Change.Item == lvk::TItemKind::Variable &&
      (Change.Kind == lvk::TChangeKind::Moved || Change.Kind == lvk::TChangeKind::Added))
    ShowPlace();
}

void TPaneVariable::speVariableInitialChange(int Value) {
  if (FShowing || !Variable()) return;
  // The arrows and typing in this field make one step until another
  // change comes between.
  lvk::TEdit Edit(Game(), "Change variable", "Variable initial " + Variable()->Name());
  Variable()->SetInitial(Value);
}

void TPaneVariable::cbxVariableScopeChange(int Index) {
  if (FShowing || !Variable()) return;
  const auto Scope = static_cast<lvk::TVariableScope>(cbxVariableScope->itemData(Index).toInt());
  if (Scope == Variable()->Scope()) return;
  const QString Refusal = VariableLimitReached(Game(), Scope);
  if (!Refusal.isEmpty()) {
    ShowWarning(this, Refusal);
    if (Variable()) Show();
    return;
  }
  lvk::TEdit Edit(Game(), "Change variable");
  Variable()->SetScope(Scope);
}

void TPaneVariable::cbxVariableSavedClick(bool Checked) {
  if (FShowing || !Variable() || Checked == Variable()->Saved()) return;
  lvk::TEdit Edit(Game(), Checked ? "Save variable" : "Do not save variable");
  Variable()->SetSaved(Checked);
}

void TPaneVariable::Move(int Delta) {
  if (!Variable()) return;
  const int From = Game().IndexOfVariable(Variable());
  if (From + Delta < 0 || From + Delta >= Game().VariableCount()) return;
  {
    lvk::TEdit Edit(Game(), "Move variable");
    Game().MoveVariable(From, From + Delta);
  }
  ShowPlace();
}

void TPaneVariable::butVariableUpClick() { Move(-1); }

void TPaneVariable::butVariableDownClick() { Move(1); }
