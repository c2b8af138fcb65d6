#pragma once
// The main window: the game tree on the left, one pane at a time on the
// right, the menus and the status bar. It wires its parts together: the
// document session (files, title, undo), the tree, the item commands, the
// launcher of the other windows and the panes, which see it only as their
// host.
#include <QHash>
#include <QMainWindow>
#include <memory>

#include "ui/main/UDocumentSession.h"
#include "ui/main/UGameTree.h"
#include "ui/main/UPaneHost.h"

class QAction;
class QMenu;
class QSplitter;
class QStackedWidget;
class TItemCommands;
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
class TPaneVariable;
class TPaneVariables;
class TPaneSounds;
class TPaneSound;
class TPaneSongs;
class TPaneSong;
class TWindowLauncher;
class TfrmPlay;

namespace lvk {
class TGame;
}

class TfrmMain : public QMainWindow, public TPaneHost {
  Q_OBJECT
public:
  explicit TfrmMain(QWidget* Parent = nullptr);
  ~TfrmMain() override;

  // The host of the panes.
  lvk::TDocument& Document() const override;
  QString RootFolder() const override { return FRootFolder; }
  void SelectItem(const lvk::TIdentified& Item) override;
  void EditPalette() override;
  void EditLevelLayout(lvk::TLevel& Level) override;
  void EditSong(lvk::TSong& Song) override;
  void SelectEvent(lvk::THandler& Handler) override;
  void PaintTile(lvk::TTile& Tile) override;
  void PaintFrame(lvk::TActor& Actor, int Anim, int Frame) override;
  void NewGame() override { mnuNewClick(); }
  void OpenGame() override { mnuOpenClick(); }
  bool ConfirmSave() override;
  bool OpenGameFile(const QString& FileName, bool AsCopy = false) override;

  using TPaneHost::Game;
  TDocumentSession& Session() const { return *FSession; }
  // The sample game the welcome pane and File offer (empty: none found).
  void SetSampleGame(const QString& Path);
  const QString& LastImagePath() const;

  // The tree.
  void RebuildTree();
  void ShowPane(TPane* Pane);
  TPane* VisiblePane() const;
  // Selects a node and shows its pane, as a click on it would.
  void SelectNode(QTreeWidgetItem* Node);
  QTreeWidgetItem* NodeOf(lvk::TItemId Item) const { return tvwTree->NodeOf(Item); }
  QTreeWidgetItem* NodeOf(const lvk::TIdentified* Item) const { return tvwTree->NodeOf(Item); }
  QTreeWidgetItem* GameNode() const { return tvwTree->GameNode(); }
  QTreeWidgetItem* TilesNode() const { return tvwTree->FolderNode(lvk::TItemKind::Tile); }
  QTreeWidgetItem* ActorsNode() const { return tvwTree->FolderNode(lvk::TItemKind::Actor); }
  QTreeWidgetItem* LevelsNode() const { return tvwTree->FolderNode(lvk::TItemKind::Level); }
  QTreeWidgetItem* VariablesNode() const { return tvwTree->FolderNode(lvk::TItemKind::Variable); }
  QTreeWidgetItem* SoundsNode() const { return tvwTree->FolderNode(lvk::TItemKind::Sound); }

  // Edit commands on a node: tiles, actors, handlers, levels and variables
  // can be deleted and duplicated, variables also moved.
  TItemCommands& Commands() const { return *FCommands; }
  static bool CanDelete(const QTreeWidgetItem* Node);
  static bool CanDuplicate(const QTreeWidgetItem* Node);
  QString DeleteQuestion(const QTreeWidgetItem* Node) const;
  bool DeleteNode(QTreeWidgetItem* Node);
  QTreeWidgetItem* DuplicateNode(QTreeWidgetItem* Node);
  QMenu* CreateNodeMenu(QTreeWidgetItem* Node);
  bool DropFiles(QTreeWidgetItem* Node, const QStringList& Paths);
  void mnuDeleteClick();
  void mnuDuplicateClick();
  // Edit | Undo and Redo: the step back or forward, shown with the selection
  // on the same place of the tree (or the nearest one left).
  void mnuUndoClick();
  void mnuRedoClick();

  // File commands.
  bool SaveGame();
  bool SaveGameAs();
  void mnuNewClick();
  void mnuOpenClick();
  void mnuBuildClick();
  void mnuRunClick();
  // Opens the play window (or brings it back) on the document as it is now,
  // at the level selected in the tree or else the first.
  void mnuPlayClick();
  TfrmPlay* PlayWindow() const;

  // File | Recent, kept in the user's settings with the window's place and
  // splitter.
  static constexpr int MaxRecentFiles = 8;
  QStringList RecentFiles() const;
  void mnuRecentClick(const QString& FileName);

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
  TPaneVariables* tsVariables;
  TPaneVariable* tsVariable;
  TPaneSounds* tsSounds;
  TPaneSound* tsSound;
  TPaneSongs* tsSongs;
  TPaneSong* tsSong;

  TGameTree* tvwTree;
  QStackedWidget* pagEditor;
  QAction *mnuNew, *mnuOpen, *mnuOpenSample, *mnuSave, *mnuSaveAs, *mnuExit;
  QAction *mnuBuild, *mnuRun;
  QAction* mnuPlay;
  QMenu* mnuRecent;
  QMenu* mnuEdit;
  QAction *mnuUndo, *mnuRedo;
  // Delete works on the tree only (and in the open menu), so line edits
  // and lists in the panes keep their own Delete key.
  QAction *mnuDuplicate, *mnuDelete, *mnuCopy, *mnuPaste;
  QAction *mnuContents, *mnuCredits, *mnuAbout;

protected:
  void closeEvent(QCloseEvent* Event) override;  // FormCloseQuery

private:
  void CreateMenus();
  void tvwTreeChange(QTreeWidgetItem* Node);
  void UpdateEditMenu();
  void UpdateTitle();
  void UpdateRecentMenu();
  // One notice of the document: the tree follows, the panes let go of what
  // goes and show what changed, the title and menus follow the history.
  void Follow(const lvk::TChange& Change);
  // The pane of a node: an item's pane, or the game's or a folder's own.
  TPane* PaneOf(const QTreeWidgetItem* Node) const;
  // Every pane lets go of what it shows, before the game it belongs to goes.
  void ReleasePanes();
  // Takes the focus away before any menu command, so that a pending edit in
  // a name field is committed first.
  void mnuClick();
  void SaveWindowState() const;
  void RestoreWindowState();

  QString FRootFolder;
  TDocumentSession* FSession;
  TItemCommands* FCommands;
  TWindowLauncher* FLauncher;
  // The node whose pane is shown; compared only, never followed.
  const QTreeWidgetItem* FShownNode = nullptr;
  QSplitter* FSplitter;
  // The pane of one item of a kind, and of a kind's folder.
  QHash<int, TPane*> FItemPanes;
  QHash<int, TPane*> FFolderPanes;
};
