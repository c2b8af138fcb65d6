#pragma once
// The main window: the game tree on the left, one pane at a time on the
// right, the menus and the status bar. It owns the document and wires the
// panes and dialogs together; each pane is a class of its own.
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "ui/UDialogService.h"

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QStackedWidget;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class TPane;
class TPaneActor;
class TPaneActors;
class TPaneGame;
class TPaneHandler;
class TPaneLevel;
class TPaneLevels;
class TPaneSplash;
class TPaneTile;
class TPaneTiles;
class TfrmPlay;
class TUndoController;

namespace lvk {
class TGame;
class TTile;
class TActor;
class THandler;
class TLevel;
}  // namespace lvk

// What a tree node stands for.
enum class TNodeKind { Pane, Tile, Actor, Handler, Level };

class TfrmMain : public QMainWindow {
  Q_OBJECT
public:
  explicit TfrmMain(QWidget* Parent = nullptr);
  ~TfrmMain() override;

  lvk::TGame& Game() { return *FGame; }
  const QString& RootFolder() const { return FRootFolder; }
  const QString& LastImagePath() const { return FLastImagePath; }

  // The tree.
  void RebuildTree();
  QTreeWidgetItem* AddTileNode(lvk::TTile* Tile);
  QTreeWidgetItem* AddActorNode(lvk::TActor* Actor);
  QTreeWidgetItem* AddHandlerNode(QTreeWidgetItem* ActorNode, lvk::THandler* Handler);
  QTreeWidgetItem* AddLevelNode(lvk::TLevel* Level);
  void ShowPane(TPane* Pane);
  TPane* VisiblePane() const;
  // Replaces the document with a new empty one; callers rebuild the tree.
  void NewGame();
  // Selects a node as a click on it would.
  void SelectNode(QTreeWidgetItem* Node);
  // After a picture changed: tiles and actors are drawn from the model.
  void RepaintTree();
  // After an actor's rename: handler nodes whose summary names it follow.
  void RefreshHandlerNodes();
  // The tree's own map from the game's items (tiles, actors, handlers,
  // levels) to their nodes; nullptr for an item without one.
  QTreeWidgetItem* NodeOf(const void* Item) const;
  QTreeWidgetItem* GameNode() const { return FGameNode; }
  QTreeWidgetItem* TilesNode() const { return FTilesNode; }
  QTreeWidgetItem* ActorsNode() const { return FActorsNode; }
  QTreeWidgetItem* LevelsNode() const { return FLevelsNode; }

  // Edit commands on a node: tiles, actors, handlers and levels can be
  // deleted, all but handlers duplicated.
  static bool CanDelete(const QTreeWidgetItem* Node);
  static bool CanDuplicate(const QTreeWidgetItem* Node);
  // The confirmation text that names the item and what goes with it.
  QString DeleteQuestion(const QTreeWidgetItem* Node) const;
  // Asks, then deletes the node's item and selects the next node; false
  // when nothing was deleted.
  bool DeleteNode(QTreeWidgetItem* Node);
  // The copy's node, selected, or nullptr.
  QTreeWidgetItem* DuplicateNode(QTreeWidgetItem* Node);
  void mnuDeleteClick();
  void mnuDuplicateClick();
  // Edit | Undo and Redo: the step back or forward, shown with the selection
  // on the same place of the tree (or the nearest one left).
  TUndoController& UndoController() { return *FUndo; }
  void mnuUndoClick();
  void mnuRedoClick();
  // The context menu of a node (Duplicate, Delete); the caller owns it.
  QMenu* CreateNodeMenu(QTreeWidgetItem* Node);

  // The dialogs the panes open on the document.
  void EditPalette();
  void EditLevelLayout(lvk::TLevel& Level);
  void SelectEvent(lvk::THandler& Handler);
  // The editing frame of a handler's event, filling Host; nullptr for none.
  QWidget* CreateEventEditor(lvk::THandler& Handler, QWidget* Host);

  // File commands.
  bool ConfirmSave();
  bool SaveGame();
  bool SaveGameAs();
  void mnuNewClick();
  void mnuOpenClick();
  // Opens a project file as Open does after its dialog. A failure shows
  // Open's warning and returns false; the open game then stays as it was.
  bool OpenGameFile(const QString& FileName);
  void mnuBuildClick();
  void mnuRunClick();
  // Opens the play window (or brings it back) on the document as it is now,
  // at the level selected in the tree or else the first.
  void mnuPlayClick();
  TfrmPlay* PlayWindow() const;

  // File | Recent: the games last opened or saved, most recent first, kept
  // in the user's settings with the window's place and splitter.
  static constexpr int MaxRecentFiles = 8;
  QStringList RecentFiles() const;
  // Opens a game of the list as Open does; one that is gone leaves the list.
  void mnuRecentClick(const QString& FileName);
  // The title bar: the game's file name with a mark while it has changes.
  void UpdateTitle();
  // Files dropped on the tree: on the Tiles node each becomes a new tile,
  // on a tile node the one file is imported into it. False when the node
  // takes no files.
  bool DropFiles(QTreeWidgetItem* Node, const QStringList& Paths);

  // The panes, by their names.
  TPaneSplash* tsSplash;
  TPaneGame* tsGame;
  TPaneTiles* tsTiles;
  TPaneTile* tsTile;
  TPaneActors* tsActors;
  TPaneActor* tsActor;
  TPaneHandler* tsHandler;
  TPaneLevels* tsLevels;
  TPaneLevel* tsLevel;

  QTreeWidget* tvwTree;
  QStackedWidget* pagEditor;
  QAction *mnuNew, *mnuOpen, *mnuSave, *mnuSaveAs, *mnuExit;
  QAction *mnuBuild, *mnuRun;
  QAction* mnuPlay;
  QMenu* mnuRecent;
  QMenu* mnuEdit;
  QAction *mnuUndo, *mnuRedo;
  // Delete works on the tree only (and in the open menu), so line edits
  // and lists in the panes keep their own Delete key.
  QAction *mnuDuplicate, *mnuDelete;
  QAction *mnuContents, *mnuCredits, *mnuAbout;

protected:
  void closeEvent(QCloseEvent* Event) override;  // FormCloseQuery
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  void CreateMenus();
  void tvwTreeChange(QTreeWidgetItem* Node);
  void UpdateEditMenu();
  // A modal window works on the document (the level or palette editor, a
  // box): commands that would replace or delete under it wait. A click
  // delivered late, after such a window opened, must not get through.
  bool ModalWindowUp() const;
  // The rows from the root to a node, and the node at such a path in a tree
  // that may have changed: the deepest that still exists.
  QList<int> NodePath(const QTreeWidgetItem* Node) const;
  QTreeWidgetItem* NodeAtPath(const QList<int>& Path) const;
  // After the history put a game back: the tree and pane show it, with the
  // node at Path selected (none: the welcome).
  void ShowRestoredGame(const QList<int>& Path);
  // Removes a node with its children from the tree and from the map.
  void RemoveNode(QTreeWidgetItem* Node);
  void ClearTree();
  void ShowNodeMenu(QTreeWidgetItem* Node, QPoint GlobalPosition);
  QTreeWidgetItem* AddNode(QTreeWidgetItem* Parent, const QString& Text, TNodeKind Kind, void* Data);
  // Puts Game in place of the document; nothing on screen keeps pointing
  // into the one that goes.
  void ReplaceGame(std::unique_ptr<lvk::TGame> Game);
  // The node column as wide as its widest text, at least the tree's width.
  void FitTreeColumn();
  // Takes the focus away before any menu command, so that a pending edit in
  // a name field is committed first.
  void mnuClick();
  void AddRecentFile(const QString& FileName);
  void SetRecentFiles(const QStringList& Files);
  void UpdateRecentMenu();
  void SaveWindowState() const;
  void RestoreWindowState();
  // The node under a drag at Position of the tree's viewport that takes
  // Paths, or nullptr.
  QTreeWidgetItem* DropTarget(QPoint Position, const QStringList& Paths) const;

  std::unique_ptr<lvk::TGame> FGame;
  QString FRootFolder;
  QString FLastImagePath;
  // The node whose pane is shown; compared only, never followed.
  const QTreeWidgetItem* FShownNode = nullptr;
  QTimer* FFitTimer;
  QTimer* FTitleTimer;  // the title follows the document shortly after input
  QSplitter* FSplitter;
  QPointer<TfrmPlay> FPlay;  // owned as a child window; gone once closed
  TUndoController* FUndo;
  QHash<const void*, QTreeWidgetItem*> FNodes;
  QTreeWidgetItem* FGameNode = nullptr;
  QTreeWidgetItem* FTilesNode = nullptr;
  QTreeWidgetItem* FActorsNode = nullptr;
  QTreeWidgetItem* FLevelsNode = nullptr;
};

// The data of a tree node.
TNodeKind NodeKind(const QTreeWidgetItem* Node);
void* NodeData(const QTreeWidgetItem* Node);

// The project file dialogs.
TFileDialogRequest ProjectOpenRequest();
TFileDialogRequest ProjectSaveRequest();
