#include "ui/UUndo.h"

#include <QApplication>
#include <QShortcut>
#include <QWidget>

#include "model/UGame.h"
#include "ui/UUndoSteps.h"

TUndoController::TUndoController(QObject* Parent, std::function<lvk::TGame*()> Game)
    : QObject(Parent), FGame(std::move(Game)) {}

void TUndoController::Reset() {
  lvk::TGame* Game = FGame();
  if (!Game) return;
  TakeUndoStepName();  // a name given for a change that never came
  std::vector<std::size_t> Cuts;
  const lvk::TContent Content = Game->ContentBytes(&Cuts);
  FHistory.Reset(Content, Cuts);
  FCommittedCount = Game->ChangeCount();
  emit Changed();
}

void TUndoController::MarkSaved() {
  Commit();
  FHistory.MarkSaved();
  emit Changed();
}

bool TUndoController::Commit(const QString& Name) {
  lvk::TGame* Game = FGame();
  if (!Game || Game->ChangeCount() == FCommittedCount) return false;
  FCommittedCount = Game->ChangeCount();
  QString StepName = TakeUndoStepName();
  if (!Name.isEmpty()) StepName = Name;
  std::vector<std::size_t> Cuts;
  const lvk::TContent Content = Game->ContentBytes(&Cuts);
  if (FHistory.IsCurrent(Content)) return false;
  if (StepName.isEmpty()) {
    lvk::TGame Before;
    Before.LoadContent(FHistory.Current());
    StepName = QString::fromStdString(lvk::ChangeName(Before, *Game));
  }
  // Typing in the title field changes the game at every key: one step.
  const bool Merge = StepName == "Change title";
  FHistory.Record(StepName.toStdString(), Content, Merge, Cuts);
  if (InScope()) FScopeEnd = Reached();
  emit Changed();
  return true;
}

bool TUndoController::CanUndo() const { return FHistory.CanUndo() && (!InScope() || Reached() > FScopeStart); }

bool TUndoController::CanRedo() const { return FHistory.CanRedo() && (!InScope() || Reached() < FScopeEnd); }

QString TUndoController::UndoText() const {
  return CanUndo() ? "Undo " + QString::fromStdString(FHistory.UndoName()) : QString("Undo");
}

QString TUndoController::RedoText() const {
  return CanRedo() ? "Redo " + QString::fromStdString(FHistory.RedoName()) : QString("Redo");
}

bool TUndoController::Undo() {
  Commit();
  if (!CanUndo()) return false;
  Restore(FHistory.Undo());
  return true;
}

bool TUndoController::Redo() {
  Commit();
  if (!CanRedo()) return false;
  Restore(FHistory.Redo());
  return true;
}

void TUndoController::Restore(const lvk::TContent& Content) {
  lvk::TGame* Game = FGame();
  auto Loaded = std::make_unique<lvk::TGame>();
  Loaded->LoadContent(Content);
  // In a modal editor's scope every step only changed what stays in place;
  // the outer window is not replaced under it.
  if (Game->AssignContentInPlace(*Loaded) || InScope()) {
    if (ShowGame) ShowGame();
  } else {
    Loaded->TakeDocumentState(*Game);
    if (ReplaceGame) ReplaceGame(std::move(Loaded));
    Game = FGame();
  }
  Game->SetModified(!FHistory.AtSaved());
  FCommittedCount = Game->ChangeCount();
  emit Changed();
}

void TUndoController::BeginScope() {
  Commit();
  if (FScopeDepth++ == 0) FScopeStart = FScopeEnd = Reached();
}

void TUndoController::EndScope() {
  Commit();
  if (FScopeDepth > 0) --FScopeDepth;
  emit Changed();
}

void InstallUndoKeys(QWidget* Window, TUndoController& Undo, std::function<void()> Shown) {
  auto Add = [&](const QList<QKeySequence>& Keys, bool Forward) {
    for (const QKeySequence& Key : Keys) {
      auto* Shortcut = new QShortcut(Key, Window);
      QObject::connect(Shortcut, &QShortcut::activated, Window, [&Undo, Shown, Forward] {
        if (Forward ? Undo.Redo() : Undo.Undo())
          Shown();
        else
          QApplication::beep();
      });
    }
  };
  Add({QKeySequence::Undo}, false);
  Add({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}, true);
}
