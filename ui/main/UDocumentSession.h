#pragma once
// The main window's document and what the user does with it as a whole:
// New, Open, Save, Save As, the recent games, the window title, and undo and
// redo. It owns the document and passes its notices on as a Qt signal, so
// that every view connects to one place. Boxes and file dialogs go through
// the dialog service, over the window given.
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

#include "model/UChange.h"
#include "ui/common/UDialogService.h"

class QMenu;
class QWidget;

namespace lvk {
class TDocument;
class TGame;
}  // namespace lvk

Q_DECLARE_METATYPE(lvk::TChange)

class TDocumentSession : public QObject, public lvk::TDocumentListener {
  Q_OBJECT
public:
  explicit TDocumentSession(QWidget* Window);
  ~TDocumentSession() override;

  lvk::TDocument& Document() const { return *FDocument; }
  lvk::TGame& Game() const;

  // A modal window is up (the level or palette editor, a box): commands
  // that would replace the game under it beep and do nothing. A click
  // delivered late, after such a window opened, must not get through.
  static bool ModalWindowUp();

  // File commands. Each that would drop changes asks first.
  bool ConfirmSave();
  bool Save();
  bool SaveAs();
  void New();
  void Open();
  // Opens a project file without asking; a failure shows Open's warning and
  // returns false, the open game then staying as it was. As a copy (the
  // sample game) it has no file name yet, so Save asks where to keep it.
  bool OpenFile(const QString& FileName, bool AsCopy = false);
  // A game of the recent list, as Open; one that is gone leaves the list.
  void OpenRecent(const QString& FileName);
  // File | Open the sample game: the sample as a copy, after asking to save.
  void OpenSample();
  // True while New or Open puts a game in place; OpeningFile only while a
  // file is read (Open, Recent, the sample), not for New.
  bool Opening() const { return FOpening; }
  bool OpeningFile() const { return FOpeningFile; }
  // Where Open starts: the folder of the game open now, else of the last one
  // in the recent list that still exists; empty for the platform's default.
  // Never a folder another dialog (a kit's) went to.
  QString LastGameFolder() const;
  // Where Save As starts: the folder of the game open now; for a game not
  // saved yet, the folder a game was last saved into, else the user's
  // documents folder. Never where a game was only opened from: that may be
  // the program's own sample.
  QString SaveFolder() const;

  // File | Recent: the games last opened or saved, most recent first, kept
  // in the user's settings.
  static constexpr int MaxRecentFiles = 8;
  QStringList RecentFiles() const;
  // Fills Menu with the list; Choose runs when an entry is chosen.
  void FillRecentMenu(QMenu* Menu, const std::function<void(const QString&)>& Choose) const;
  // The sample game opens as a copy also from the recent list.
  void SetSampleGame(const QString& Path) { FSampleGame = Path; }
  const QString& SampleGame() const { return FSampleGame; }

  // "Name.lvk[*] - Lurvik Studio", "Untitled[*] - Lurvik Studio".
  QString WindowTitle() const;

  // Edit | Undo and Redo. False with nothing to move or a modal window up.
  bool Undo();
  bool Redo();
  // "Undo Rename tile", "Redo New actor"; "Undo" / "Redo" with no step.
  QString UndoText() const;
  QString RedoText() const;
  // Undo (Ctrl+Z) and Redo (Ctrl+Shift+Z, Ctrl+Y) in a modal editor, which
  // reach only the steps made since it opened; Shown runs after a step
  // moved. With nothing to move the keys beep.
  void InstallUndoKeys(QWidget* Editor, std::function<void()> Shown);

signals:
  // Every notice of the document, as it happens.
  void Changed(const lvk::TChange& Change);
  void RecentFilesChanged();

private:
  void DocumentChanged(const lvk::TChange& Change) override;
  void AddRecentFile(const QString& FileName);
  void SetRecentFiles(const QStringList& Files);

  QWidget* FWindow;
  std::unique_ptr<lvk::TDocument> FDocument;
  QString FSampleGame;
  bool FOpening = false;
  bool FOpeningFile = false;
};

// The project file dialogs, starting in Folder (empty: the platform's default).
TFileDialogRequest ProjectOpenRequest(const QString& Folder = {});
TFileDialogRequest ProjectSaveRequest(const QString& Folder = {});
