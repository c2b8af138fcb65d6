#pragma once
// Opens the main window's other windows on the document: the palette and
// level layout editors and the event selector (modal, each an undo scope of
// its own), the build window, the emulator, the play window, About and
// Credits.
#include <QObject>
#include <QPointer>
#include <QString>

#include "ui/play/FPlay.h"

class QWidget;
class TDocumentSession;
struct TPaintTarget;

namespace lvk {
class THandler;
class TActor;
class TLevel;
class TSong;
class TTile;
}  // namespace lvk

class TWindowLauncher : public QObject {
  Q_OBJECT
public:
  TWindowLauncher(QWidget* Window, TDocumentSession& Session, QString RootFolder);

  // The modal editors. Undo inside them reaches the steps made since they
  // opened; a step that replaces the game (never one of theirs, but an
  // exception's roll-back may) hands them the new game's palette or level,
  // or closes the level editor when its level is gone.
  void EditPalette();
  void EditLevelLayout(lvk::TLevel& Level);
  // The song editor on Song, modal; a song that goes closes it.
  void EditSong(lvk::TSong& Song);
  // The painter on one tile, each stroke a step.
  void PaintTile(lvk::TTile& Tile);
  // The painter on a frame of an actor's animation, with the frame before
  // it shown faintly and buttons to go through the frames.
  void PaintFrame(lvk::TActor& Actor, int Anim, int Frame);
  // Another event for the handler, one step "Change event".
  void SelectEvent(lvk::THandler& Handler);

  // Game | Build, and Run on the image the last build window made.
  void Build();
  void Run();
  const QString& LastImagePath() const { return FLastImagePath; }
  // Opens the play window (or brings it back) on the document as it is now,
  // at level Level (the first when there is no such level), as a window of
  // Owner (the main window when none).
  void Play(int Level, QWidget* Owner = nullptr);
  TfrmPlay* PlayWindow() const { return FPlay; }

  void About();
  void Credits();

private:
  void RunPainter(TPaintTarget Target);

  QWidget* FWindow;
  TDocumentSession& FSession;
  QString FRootFolder;
  QString FLastImagePath;
  QPointer<TfrmPlay> FPlay;  // owned as a child window; gone once closed
};
