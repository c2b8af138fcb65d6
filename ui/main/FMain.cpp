#include "ui/main/FMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <algorithm>
#include <functional>

#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "support/UDataFolders.h"
#include "ui/building/FExportWeb.h"
#include "ui/panes/PaneGame.h"
#include "ui/panes/PaneActor.h"
#include "ui/panes/PaneHandler.h"
#include "ui/panes/PaneLevel.h"
#include "ui/panes/PaneTile.h"
#include "ui/panes/PaneSong.h"
#include "ui/panes/PaneSound.h"
#include "ui/panes/PaneSplash.h"
#include "ui/panes/PaneVariables.h"
#include "ui/common/UApplication.h"
#include "ui/main/UDocumentSession.h"
#include "ui/common/UHelp.h"
#include "ui/main/UItemCommands.h"
#include "ui/common/UPictures.h"
#include "ui/main/UWindowLauncher.h"

namespace {

// The user's settings: ~/.config/lurvik-studio/lurvik-studio.conf, the
// application's name serving as the maker's too.
constexpr const char* KeyGeometry = "MainWindow/Geometry";  // Qt's own record, frame and state included
constexpr const char* KeyPlace = "MainWindow/Place";        // the frame's rectangle, to check it
constexpr const char* KeySplitter = "MainWindow/Splitter";

std::unique_ptr<QSettings> UserSettings() {
  return std::make_unique<QSettings>(QCoreApplication::applicationName(), QCoreApplication::applicationName());
}

// A window placed where no screen shows its title bar could not be moved
// back by the user: such a place is not restored.
bool OnScreen(const QRect& Rect) {
  if (!Rect.isValid()) return false;
  const QRect TitleBar(Rect.left(), Rect.top(), Rect.width(), 32);
  for (const QScreen* Screen : QGuiApplication::screens()) {
    const QRect Seen = Screen->availableGeometry().intersected(TitleBar);
    if (Seen.width() >= 64 && Seen.height() >= 8) return true;
  }
  return false;
}

}  // namespace

TfrmMain::TfrmMain(QWidget* Parent) : QMainWindow(Parent) {
  setObjectName("frmMain");
  setWindowIcon(UiPixmap("AppIcon"));
  resize(818, 442);
  SetHelpKeyword(this, "table-of-contents");

  SetHintHidePause(5000);
  FRootFolder = QDir(QCoreApplication::applicationDirPath()).absolutePath();
  // Installed, the help pages lie in the data folder, not beside the program.
  SetHelpRootFolder(QString::fromStdString(lvk::DataFolder(FRootFolder.toStdString())));
  InstallHelpKeyHandler();

  FSession = new TDocumentSession(this);
  FLauncher = new TWindowLauncher(this, *FSession, FRootFolder);
  tvwTree = new TGameTree(this, [this]() -> lvk::TGame& { return Game(); });
  FCommands = new TItemCommands(this, *FSession, *tvwTree, [this](QTreeWidgetItem* Node) { SelectNode(Node); });

  pagEditor = new QStackedWidget(this);
  pagEditor->setObjectName("pagEditor");
  pagEditor->setMinimumSize(200, 200);
  tsSplash = new TPaneSplash(*this);
  tsGame = new TPaneGame(*this);
  tsTiles = new TPaneTiles(*this);
  tsTile = new TPaneTile(*this);
  tsActors = new TPaneActors(*this);
  tsActor = new TPaneActor(*this);
  tsHandler = new TPaneHandler(*this);
  tsLevels = new TPaneLevels(*this);
  tsLevel = new TPaneLevel(*this);
  tsVariables = new TPaneVariables(*this);
  tsVariable = new TPaneVariable(*this);
  tsSounds = new TPaneSounds(*this);
  tsSound = new TPaneSound(*this);
  tsSongs = new TPaneSongs(*this);
  tsSong = new TPaneSong(*this);
  for (TPane* Pane : std::initializer_list<TPane*>{tsSplash, tsGame, tsTiles, tsTile, tsActors, tsActor, tsHandler,
                                                  tsLevels, tsLevel, tsVariables, tsVariable, tsSounds, tsSound,
                                                  tsSongs, tsSong})
    pagEditor->addWidget(Pane);
  pagEditor->setCurrentWidget(tsSplash);
  FItemPanes = {{static_cast<int>(lvk::TItemKind::Tile), tsTile},
                {static_cast<int>(lvk::TItemKind::Actor), tsActor},
                {static_cast<int>(lvk::TItemKind::Handler), tsHandler},
                {static_cast<int>(lvk::TItemKind::Level), tsLevel},
                {static_cast<int>(lvk::TItemKind::Variable), tsVariable},
                {static_cast<int>(lvk::TItemKind::Sound), tsSound},
                {static_cast<int>(lvk::TItemKind::Song), tsSong}};
  FFolderPanes = {{static_cast<int>(lvk::TItemKind::Tile), tsTiles},
                  {static_cast<int>(lvk::TItemKind::Actor), tsActors},
                  {static_cast<int>(lvk::TItemKind::Level), tsLevels},
                  {static_cast<int>(lvk::TItemKind::Variable), tsVariables},
                  {static_cast<int>(lvk::TItemKind::Sound), tsSounds},
                  {static_cast<int>(lvk::TItemKind::Song), tsSongs}};
  FSession->SetSampleGame(tsSplash->SampleGame());

  auto* Splitter = FSplitter = new QSplitter(Qt::Horizontal, this);
  Splitter->setObjectName("splMain");
  Splitter->addWidget(tvwTree);
  Splitter->addWidget(pagEditor);
  // The tree starts wide enough for a collision handler of a short-named
  // actor and takes a share of any room the window gains.
  Splitter->setStretchFactor(0, 1);
  Splitter->setStretchFactor(1, 2);
  Splitter->setCollapsible(0, false);
  Splitter->setCollapsible(1, false);
  const int HandlerDepth = 3;
  const int TreeWidth = std::max(289, tvwTree->indentation() * (HandlerDepth + 1) + tvwTree->iconSize().width() +
                                          40 + tvwTree->fontMetrics().horizontalAdvance("OnCollision( player, overlap )"));
  Splitter->setSizes({TreeWidth, 818 - TreeWidth});
  setCentralWidget(Splitter);
  statusBar()->setObjectName("barStatus");

  CreateMenus();
  tsActor->CreateHandlerButtons();
  connect(tvwTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* Current) {
    if (Current) tvwTreeChange(Current);
    UpdateEditMenu();
  });
  // A click on the current node (the game node after a rebuild) selects it too.
  // The node already shown is left alone: that would refresh the pane and
  // put back a name its field keeps after a rejected rename.
  connect(tvwTree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* Node) {
    if (Node != FShownNode) tvwTreeChange(Node);
  });
  connect(tvwTree, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* Node) {
    if (Node != FShownNode) tvwTreeChange(Node);
  });
  connect(tvwTree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* Node) {
    if (NodeKind(Node) == TNodeKind::Tile) PaintTile(*static_cast<lvk::TTile*>(NodeItem(FSession->Game(), Node)));
  });
  connect(FSession, &TDocumentSession::Changed, this, &TfrmMain::Follow);
  connect(FSession, &TDocumentSession::RecentFilesChanged, this, &TfrmMain::UpdateRecentMenu);

  RebuildTree();
  UpdateTitle();
  UpdateRecentMenu();
  RestoreWindowState();
}

TfrmMain::~TfrmMain() {
  // The play window plays the document: it goes while this window is whole.
  delete FLauncher->PlayWindow();
  // The panes may hold items of the document; they let go before it goes.
  disconnect(FSession, nullptr, this, nullptr);
  ReleasePanes();
  // A field of a pane losing the focus while the window goes (the window
  // manager activates another) would finish its edit through this window,
  // half destroyed by then: the panes' controls say nothing from now on.
  for (QWidget* Control : pagEditor->findChildren<QWidget*>()) Control->blockSignals(true);
}

lvk::TDocument& TfrmMain::Document() const { return FSession->Document(); }

const QString& TfrmMain::LastImagePath() const { return FLauncher->LastImagePath(); }

TfrmPlay* TfrmMain::PlayWindow() const { return FLauncher->PlayWindow(); }

void TfrmMain::CreateMenus() {
  auto AddMenu = [this](const QString& Caption, const QString& Hint) {
    QMenu* Menu = menuBar()->addMenu(Caption);
    Menu->menuAction()->setStatusTip(Hint);
    connect(Menu, &QMenu::aboutToShow, this, &TfrmMain::mnuClick);
    return Menu;
  };
  // A shortcut runs a command without opening its menu: the command takes
  // the focus away itself.
  auto AddItem = [this](QMenu* Menu, const QString& Name, const QString& Caption, const QString& Hint,
                        std::function<void()> Handler, QKeySequence Shortcut = {}) {
    QAction* Item = Menu->addAction(Caption);
    Item->setObjectName(Name);
    Item->setStatusTip(Hint);
    Item->setShortcut(Shortcut);
    connect(Item, &QAction::triggered, this, [this, Handler] {
      mnuClick();
      Handler();
    });
    return Item;
  };
  QMenu* File = AddMenu("&File", "Open and save games");
  mnuNew = AddItem(File, "mnuNew", "&New", "Start a new game", [this] { mnuNewClick(); }, QKeySequence::New);
  mnuOpen = AddItem(File, "mnuOpen", "&Open", "Open an existing game", [this] { mnuOpenClick(); }, QKeySequence::Open);
  mnuOpenSample = AddItem(File, "mnuOpenSample", "Open the sa&mple game",
                          "Open the sample game that comes with Lurvik Studio; Save asks where to keep your copy",
                          [this] { FSession->OpenSample(); });
  mnuOpenSample->setEnabled(!FSession->SampleGame().isEmpty());
  mnuSave = AddItem(File, "mnuSave", "&Save", "Save the game", [this] { SaveGame(); }, QKeySequence::Save);
  mnuSaveAs = AddItem(File, "mnuSaveAs", "Save &as", "Save the game with a new name", [this] { SaveGameAs(); },
                      QKeySequence::SaveAs);
  File->addSeparator();
  mnuRecent = File->addMenu("&Recent");
  mnuRecent->setObjectName("mnuRecent");
  mnuRecent->menuAction()->setStatusTip("Open one of the games last opened or saved");
  File->addSeparator();
  mnuExit = AddItem(File, "mnuExit", "E&xit", "Exit Lurvik", [this] { close(); }, QKeySequence::Quit);

  mnuEdit = AddMenu("&Edit", "Undo and redo; duplicate and delete tiles, actors, handlers, levels, variables and sounds");
  mnuEdit->setObjectName("mnuEdit");
  mnuUndo = AddItem(mnuEdit, "mnuUndo", "&Undo", "Take back the last change to the game",
                    [this] { mnuUndoClick(); }, QKeySequence::Undo);
  mnuRedo = AddItem(mnuEdit, "mnuRedo", "&Redo", "Make the change taken back again", [this] { mnuRedoClick(); });
  mnuRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  mnuEdit->addSeparator();
  mnuDuplicate = AddItem(mnuEdit, "mnuDuplicate", "D&uplicate",
                         "Copy the selected tile, actor (with its handlers), level or variable under a new name, "
                         "or a handler into its actor",
                         [this] { mnuDuplicateClick(); }, QKeySequence(Qt::CTRL | Qt::Key_D));
  // Not through AddItem: these keys belong to the tree (and the open menu),
  // never to the name fields and lists of the panes, which copy, paste and
  // delete their own texts and actions.
  auto AddTreeItem = [this](const QString& Name, const QString& Caption, const QString& Hint, QKeySequence Key,
                            std::function<void()> Handler) {
    QAction* Item = mnuEdit->addAction(Caption);
    Item->setObjectName(Name);
    Item->setStatusTip(Hint);
    Item->setShortcut(Key);
    Item->setShortcutContext(Qt::WidgetShortcut);
    tvwTree->addAction(Item);
    connect(Item, &QAction::triggered, this, [this, Handler] {
      mnuClick();
      Handler();
      // The command works on the tree: the keys go on there, also after a No.
      tvwTree->setFocus();
    });
    return Item;
  };
  mnuDelete = AddTreeItem("mnuDelete", "&Delete",
                          "Delete the selected tile, actor, handler, level or variable (asks first)",
                          QKeySequence::Delete, [this] { DeleteNode(tvwTree->currentItem()); });
  mnuEdit->addSeparator();
  mnuCopy = AddTreeItem("mnuCopy", "&Copy", "Copy the selected handler, to paste it into any actor of any game",
                        QKeySequence::Copy, [this] { FCommands->CopyNode(tvwTree->currentItem()); });
  mnuPaste = AddTreeItem("mnuPaste", "&Paste", "Add the handler copied last to the selected actor",
                         QKeySequence::Paste, [this] { FCommands->PasteOnNode(tvwTree->currentItem()); });
  connect(mnuEdit, &QMenu::aboutToShow, this, &TfrmMain::UpdateEditMenu);
  FCommands->DuplicateAction = mnuDuplicate;
  FCommands->DeleteAction = mnuDelete;
  FCommands->CopyAction = mnuCopy;
  FCommands->PasteAction = mnuPaste;
  FCommands->PaintTile = [this](lvk::TTile& Tile) { PaintTile(Tile); };
  FCommands->PaintFrames = [this](lvk::TActor& Actor) { PaintFrame(Actor, 0, 0); };

  QMenu* GameMenu = AddMenu("&Game", "Build and run games");
  mnuBuild = AddItem(GameMenu, "mnuBuild", "&Build", "Create a Nintendo DS executable", [this] { mnuBuildClick(); },
                     QKeySequence(Qt::CTRL | Qt::Key_B));
  mnuRun = AddItem(GameMenu, "mnuRun", "&Run", "Run the build executable in an emulator", [this] { mnuRunClick(); },
                   QKeySequence(Qt::CTRL | Qt::Key_R));
  AddItem(GameMenu, "mnuExportWeb", "Export &web page...",
          "Write the game as one web page that plays in any browser, with no DS and no server",
          [this] { TfrmExportWeb::Run(this, Game()); });
  GameMenu->addSeparator();
  mnuPlay = AddItem(GameMenu, "mnuPlay", "&Play", "Play the game here, as the DS would, with unsaved changes",
                    [this] { mnuPlayClick(); }, QKeySequence(Qt::Key_F5));
  mnuPlay->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  mnuPlay->setToolTip("Play the game (F5)");
  // Playing is what a designer does after every change: one click away.
  auto* GameBar = addToolBar("Game");
  GameBar->setObjectName("tbrGame");
  GameBar->setMovable(false);
  GameBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  GameBar->addAction(mnuPlay);

  QMenu* Help = AddMenu("&Help", "About Lurvik and credits");
  mnuContents = AddItem(Help, "mnuContents", "&Contents", "The table of contents of help pages",
                        [this] { HelpByKeyword("table-of-contents", this); });
  Help->addSeparator();
  mnuCredits = AddItem(Help, "mnuCredits", "&Credits", "Software used by Lurvik", [this] { FLauncher->Credits(); });
  mnuAbout = AddItem(Help, "mnuAbout", "&About", "About Lurvik", [this] { FLauncher->About(); });
}

// ---- Following the document ----

void TfrmMain::Follow(const lvk::TChange& Change) {
  switch (Change.Kind) {
    case lvk::TChangeKind::Removing:
      // No pane keeps the item or anything made for it (the event frame).
      for (TPane* Pane : FItemPanes)
        if (Pane->ItemId() == Change.Id) Pane->Release();
      if (FShownNode && FShownNode == NodeOf(Change.Id)) FShownNode = nullptr;
      tvwTree->Follow(Change);
      break;
    case lvk::TChangeKind::Replaced: {
      // Items may be new and names changed: the tree is made again, and the
      // panes let go of what they showed before they show the node at the
      // same place. A new game starts on the welcome, an opened one on its
      // Game pane: its title, file and folder say which game it is.
      const bool Opened = FSession->OpeningFile();
      const bool Welcome = FSession->Opening() || VisiblePane() == tsSplash;
      const QList<int> Path = Welcome ? QList<int>() : tvwTree->NodePath(tvwTree->currentItem());
      RebuildTree();
      if (Opened)
        SelectNode(tvwTree->GameNode());
      else if (!Path.isEmpty())
        SelectNode(tvwTree->NodeAtPath(Path));
      break;
    }
    case lvk::TChangeKind::Refreshed:
      tvwTree->Follow(Change);
      VisiblePane()->Show();
      break;
    case lvk::TChangeKind::Edited:
    case lvk::TChangeKind::Saved:
      // A node removed by the edit may have been the one shown.
      if (!FShownNode && VisiblePane() != tsSplash && tvwTree->currentItem()) tvwTreeChange(tvwTree->currentItem());
      // Panes that show counts of the whole game.
      if (VisiblePane() == tsGame || VisiblePane() == static_cast<TPane*>(tsVariables) ||
          VisiblePane() == static_cast<TPane*>(tsSounds) || VisiblePane() == static_cast<TPane*>(tsSongs))
        VisiblePane()->Show();
      UpdateEditMenu();
      UpdateTitle();
      break;
    default:
      tvwTree->Follow(Change);
      if (auto* Pane = qobject_cast<TItemPane*>(VisiblePane())) Pane->Follow(Change);
      if (Change.Item == lvk::TItemKind::Game && VisiblePane() == tsGame) tsGame->Show();
      break;
  }
}

void TfrmMain::ReleasePanes() {
  for (TPane* Pane : FItemPanes) Pane->Release();
  FShownNode = nullptr;
}

// ---- The tree and the panes ----

void TfrmMain::RebuildTree() {
  ReleasePanes();
  tvwTree->Rebuild();
  ShowPane(tsSplash);
  UpdateEditMenu();
}

TPane* TfrmMain::VisiblePane() const { return static_cast<TPane*>(pagEditor->currentWidget()); }

void TfrmMain::ShowPane(TPane* Pane) {
  // Shown again for another element, a visible pane refreshes as well.
  pagEditor->setCurrentWidget(Pane);
  Pane->Show();
  SetHelpKeyword(tvwTree, HelpKeyword(VisiblePane()));
}

TPane* TfrmMain::PaneOf(const QTreeWidgetItem* Node) const {
  if (NodeKind(Node) != TNodeKind::Pane) return FItemPanes.value(static_cast<int>(NodeKind(Node)), tsGame);
  return FFolderPanes.value(static_cast<int>(PaneKind(Node)), tsGame);
}

void TfrmMain::tvwTreeChange(QTreeWidgetItem* Node) {
  tvwTree->setFocus();
  TPane* Pane = PaneOf(Node);
  if (NodeKind(Node) != TNodeKind::Pane) Pane->SetItemId(NodeId(Node));
  FShownNode = Node;
  ShowPane(Pane);
}

void TfrmMain::SelectNode(QTreeWidgetItem* Node) {
  if (!Node) return;
  if (tvwTree->currentItem() == Node)
    tvwTreeChange(Node);
  else
    tvwTree->setCurrentItem(Node);
}

void TfrmMain::SelectItem(const lvk::TIdentified& Item) { SelectNode(NodeOf(Item.Id())); }

// ---- Edit commands ----

bool TfrmMain::CanDelete(const QTreeWidgetItem* Node) { return TItemCommands::CanDelete(Node); }

bool TfrmMain::CanDuplicate(const QTreeWidgetItem* Node) { return TItemCommands::CanDuplicate(Node); }

QString TfrmMain::DeleteQuestion(const QTreeWidgetItem* Node) const { return FCommands->DeleteQuestion(Node); }

bool TfrmMain::DeleteNode(QTreeWidgetItem* Node) { return FCommands->DeleteNode(Node); }

QTreeWidgetItem* TfrmMain::DuplicateNode(QTreeWidgetItem* Node) { return FCommands->DuplicateNode(Node); }

QMenu* TfrmMain::CreateNodeMenu(QTreeWidgetItem* Node) { return FCommands->CreateNodeMenu(Node, this); }

bool TfrmMain::DropFiles(QTreeWidgetItem* Node, const QStringList& Paths) {
  return FCommands->DropFiles(Node, Paths);
}

void TfrmMain::mnuDeleteClick() {
  DeleteNode(tvwTree->currentItem());
  // The command works on the tree: the keys go on there, also after a No.
  tvwTree->setFocus();
}

void TfrmMain::mnuDuplicateClick() {
  DuplicateNode(tvwTree->currentItem());
  tvwTree->setFocus();
}

void TfrmMain::UpdateEditMenu() {
  mnuUndo->setEnabled(Document().CanUndo());
  mnuUndo->setText("&" + FSession->UndoText());
  mnuRedo->setEnabled(Document().CanRedo());
  mnuRedo->setText("&" + FSession->RedoText());
  QTreeWidgetItem* Node = tvwTree->currentItem();
  mnuDelete->setEnabled(CanDelete(Node));
  mnuDuplicate->setEnabled(CanDuplicate(Node));
  mnuCopy->setEnabled(TItemCommands::CanCopy(Node));
  mnuPaste->setEnabled(TItemCommands::CanPaste(Node));
}

void TfrmMain::mnuUndoClick() {
  FSession->Undo();
  tvwTree->setFocus();
}

void TfrmMain::mnuRedoClick() {
  FSession->Redo();
  tvwTree->setFocus();
}

// ---- The dialogs on the document ----

void TfrmMain::EditPalette() { FLauncher->EditPalette(); }

void TfrmMain::EditLevelLayout(lvk::TLevel& Level) { FLauncher->EditLevelLayout(Level); }
void TfrmMain::EditSong(lvk::TSong& Song) { FLauncher->EditSong(Song); }

void TfrmMain::SelectEvent(lvk::THandler& Handler) { FLauncher->SelectEvent(Handler); }

void TfrmMain::PaintTile(lvk::TTile& Tile) { FLauncher->PaintTile(Tile); }

void TfrmMain::PaintFrame(lvk::TActor& Actor, int Anim, int Frame) { FLauncher->PaintFrame(Actor, Anim, Frame); }

// ---- Files ----

void TfrmMain::SetSampleGame(const QString& Path) {
  tsSplash->SetSampleGame(Path);
  FSession->SetSampleGame(Path);
  mnuOpenSample->setEnabled(!Path.isEmpty());
}

bool TfrmMain::ConfirmSave() { return FSession->ConfirmSave(); }

bool TfrmMain::SaveGame() { return FSession->Save(); }

bool TfrmMain::SaveGameAs() { return FSession->SaveAs(); }

void TfrmMain::mnuNewClick() { FSession->New(); }

void TfrmMain::mnuOpenClick() { FSession->Open(); }

bool TfrmMain::OpenGameFile(const QString& FileName, bool AsCopy) { return FSession->OpenFile(FileName, AsCopy); }

QStringList TfrmMain::RecentFiles() const { return FSession->RecentFiles(); }

void TfrmMain::mnuRecentClick(const QString& FileName) { FSession->OpenRecent(FileName); }

void TfrmMain::UpdateRecentMenu() {
  FSession->FillRecentMenu(mnuRecent, [this](const QString& Path) {
    mnuClick();
    mnuRecentClick(Path);
  });
}

void TfrmMain::UpdateTitle() {
  setWindowTitle(FSession->WindowTitle());
  setWindowModified(Document().Modified());
}

void TfrmMain::mnuBuildClick() { FLauncher->Build(); }

void TfrmMain::mnuRunClick() { FLauncher->Run(); }

void TfrmMain::mnuPlayClick() {
  // The level of the selected node, or of the node it lies below.
  int Level = 0;
  for (QTreeWidgetItem* Node = tvwTree->currentItem(); Node; Node = Node->parent())
    if (NodeKind(Node) == TNodeKind::Level) {
      for (int i = 0; i < Game().LevelCount(); ++i)
        if (Game().GetLevel(i)->Id() == NodeId(Node)) Level = i;
      break;
    }
  FLauncher->Play(Level);
}

// ---- The window ----

void TfrmMain::SaveWindowState() const {
  auto Settings = UserSettings();
  Settings->setValue(KeyGeometry, saveGeometry());
  Settings->setValue(KeyPlace, frameGeometry());
  Settings->setValue(KeySplitter, FSplitter->saveState());
}

void TfrmMain::RestoreWindowState() {
  auto Settings = UserSettings();
  if (OnScreen(Settings->value(KeyPlace).toRect())) restoreGeometry(Settings->value(KeyGeometry).toByteArray());
  FSplitter->restoreState(Settings->value(KeySplitter).toByteArray());
}

void TfrmMain::mnuClick() {
  if (QWidget* Focus = QApplication::focusWidget()) Focus->clearFocus();
}

void TfrmMain::closeEvent(QCloseEvent* Event) {
  mnuClick();
  if (ConfirmSave()) {
    SaveWindowState();
    Event->accept();
  } else
    Event->ignore();
}
