#pragma once
// What the panes of the main window ask of it: the document, showing an
// item, the dialogs that work on the document, and the file commands the
// welcome pane offers. Panes know this and nothing of the window itself.
#include <QString>

#include "model/UDocument.h"

class QWidget;

namespace lvk {
class TActor;
class THandler;
class TLevel;
class TSong;
class TTile;
}  // namespace lvk

class TPaneHost {
public:
  virtual ~TPaneHost() = default;

  virtual lvk::TDocument& Document() const = 0;
  // The document's game as it is now; replaced by New and Open.
  lvk::TGame& Game() const { return Document().Game(); }
  virtual QString RootFolder() const = 0;

  // Selects the item's node in the tree and shows its pane.
  virtual void SelectItem(const lvk::TIdentified& Item) = 0;

  // The modal windows that work on the document.
  virtual void EditPalette() = 0;
  virtual void EditLevelLayout(lvk::TLevel& Level) = 0;
  virtual void EditSong(lvk::TSong& Song) = 0;
  virtual void SelectEvent(lvk::THandler& Handler) = 0;
  // The painter on a tile, or on a frame of an actor's animation.
  virtual void PaintTile(lvk::TTile& Tile) = 0;
  virtual void PaintFrame(lvk::TActor& Actor, int Anim, int Frame) = 0;

  // File commands, as the File menu has them.
  virtual void NewGame() = 0;
  virtual void OpenGame() = 0;
  // Asks whether to save changes first; false for Cancel.
  virtual bool ConfirmSave() = 0;
  // Opens a project file without asking; a failure says so and keeps the
  // open game. As a copy the game has no file name yet.
  virtual bool OpenGameFile(const QString& FileName, bool AsCopy = false) = 0;
};
