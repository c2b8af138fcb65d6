#pragma once
// Edit | Undo and Redo for the main window's document. The controller
// records a step whenever the game changed since the last one (the window
// asks it after input settles and before commands), and restores a step's
// content: in place where the game's items can stay, so open windows keep
// what they point at, else by handing a new game to the window.
//
// While a modal editor is open (level layout, palette), undo and redo stay
// within the steps made since it opened: those only change what that
// editor changes, which is restored in place.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "model/UHistory.h"

namespace lvk {
class TGame;
}

class TUndoController : public QObject {
  Q_OBJECT
public:
  // Game gives the document, which the window may replace at any time.
  TUndoController(QObject* Parent, std::function<lvk::TGame*()> Game);

  // The window puts a new game in place of the document.
  std::function<void(std::unique_ptr<lvk::TGame>)> ReplaceGame;
  // The document changed in place: the window shows it again.
  std::function<void()> ShowGame;

  // After New, Open or Save: the game as it is now starts (or is) the saved state.
  void Reset();
  void MarkSaved();
  // A step for the change since the last one, if any; Name, or the name a
  // command gave (NameUndoStep), or one from what changed. True for a step.
  bool Commit(const QString& Name = {});

  bool CanUndo() const;
  bool CanRedo() const;
  // "Undo Rename tile", "Redo New actor"; "Undo" / "Redo" with no step.
  QString UndoText() const;
  QString RedoText() const;
  // Commit what is pending, then move a step. False with nothing to move.
  bool Undo();
  bool Redo();
  const lvk::TUndoHistory& History() const { return FHistory; }

  // Around a modal editor's exec: undo and redo inside it reach only the
  // steps made while it is open.
  void BeginScope();
  void EndScope();
  bool InScope() const { return FScopeDepth > 0; }

signals:
  // The history or its position moved: menus and the title follow.
  void Changed();

private:
  void Restore(const lvk::TContent& Content);

  std::function<lvk::TGame*()> FGame;
  lvk::TUndoHistory FHistory;
  std::uint64_t FCommittedCount = 0;  // the game's change count at the last step
  int FScopeDepth = 0;
  // Positions counted from the first state ever recorded, as the oldest
  // states leave a full history.
  int Reached() const { return FHistory.Position() + FHistory.Dropped(); }
  int FScopeStart = 0;  // where the scope opened
  int FScopeEnd = 0;    // the furthest step reached inside it
};

class QWidget;
// Undo (Ctrl+Z) and Redo (Ctrl+Shift+Z, Ctrl+Y) in a modal editor's window;
// Shown runs after a step moved, to draw the window again. With nothing to
// move the keys beep.
void InstallUndoKeys(QWidget* Window, TUndoController& Undo, std::function<void()> Shown);
