#include "ui/FMain.h"

#include <QAction>
#include <algorithm>
#include <functional>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QUrl>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>

#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UNames.h"
#include "model/UTile.h"
#include "support/UDataFolders.h"
#include "ui/FAbout.h"
#include "ui/FBuild.h"
#include "ui/URunImage.h"
#include "ui/FCredits.h"
#include "ui/FEventSelector.h"
#include "ui/FLevelEditor.h"
#include "ui/FPaletteEditor.h"
#include "ui/FPlay.h"
#include "ui/PaneGame.h"
#include "ui/PaneItems.h"
#include "ui/PaneSplash.h"
#include "ui/UApplication.h"
#include "ui/UEventEditors.h"
#include "ui/UHelp.h"
#include "ui/UPictures.h"
#include "ui/UUndo.h"
#include "ui/UUndoSteps.h"

namespace {

constexpr int KindRole = Qt::UserRole;
constexpr int DataRole = Qt::UserRole + 1;
constexpr int TreeIndent = 21;
constexpr int TreeImageSize = 18;

// Tile, actor and handler nodes show a picture of the model's instead of an
// image of the list: drawn stretched to 16x16 where the node's image goes.
class TTreeDelegate final : public QStyledItemDelegate {
public:
  explicit TTreeDelegate(TfrmMain* Main) : QStyledItemDelegate(Main), FMain(Main) {}

  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    QStyledItemDelegate::paint(Painter, Option, Index);
    auto Kind = static_cast<TNodeKind>(Index.data(KindRole).toInt());
    if (Kind == TNodeKind::Pane || Kind == TNodeKind::Level) return;
    auto* Data = reinterpret_cast<void*>(Index.data(DataRole).value<quintptr>());
    QPixmap Picture;
    switch (Kind) {
      case TNodeKind::Tile:
        Picture = QPixmap::fromImage(ToImage(FMain->Game().GetTileBitmap(static_cast<lvk::TTile*>(Data))));
        break;
      case TNodeKind::Actor:
        Picture = QPixmap::fromImage(ToImage(FMain->Game().GetActorBitmap(static_cast<lvk::TActor*>(Data))));
        break;
      case TNodeKind::Handler:
        if (auto* Event = static_cast<lvk::THandler*>(Data)->Event()) Picture = IconPixmap(Event->Kind().Icon());
        break;
      default: break;
    }
    if (Picture.isNull()) return;
    QStyleOptionViewItem Opt = Option;
    initStyleOption(&Opt, Index);
    QRect Icon = Opt.widget->style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &Opt, Opt.widget);
    Painter->drawPixmap(QRect(Icon.left() + 1, Icon.top() + 1, TreeImageSize - 2, TreeImageSize - 2), Picture);
  }

  // A handler's summary can be longer than the tree is wide: its whole text
  // is the node's tool tip.
  bool helpEvent(QHelpEvent* Event, QAbstractItemView* View, const QStyleOptionViewItem& Option,
                 const QModelIndex& Index) override {
    if (Event->type() == QEvent::ToolTip && Index.isValid() &&
        static_cast<TNodeKind>(Index.data(KindRole).toInt()) == TNodeKind::Handler) {
      QToolTip::showText(Event->globalPos(), Index.data(Qt::DisplayRole).toString(), View, View->visualRect(Index),
                         HintHidePause());
      return true;
    }
    return QStyledItemDelegate::helpEvent(Event, View, Option, Index);
  }

private:
  TfrmMain* FMain;  // its document changes with New and Open
};

// A transparent image that keeps the place of the picture the delegate draws.
QIcon BlankIcon() {
  QPixmap Blank(TreeImageSize, TreeImageSize);
  Blank.fill(Qt::transparent);
  return QIcon(Blank);
}

// The user's settings: ~/.config/lurvik-studio/lurvik-studio.conf, the
// application's name serving as the maker's too.
constexpr const char* KeyRecent = "RecentFiles";
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

// The model never calls back: after input that may have changed the game,
// the title reads the changed flag again, once, when the events settle.
class TTitleWatch final : public QObject {
public:
  TTitleWatch(QObject* Parent, QTimer* Timer) : QObject(Parent), FTimer(Timer) { qApp->installEventFilter(this); }

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    switch (Event->type()) {
      case QEvent::KeyRelease:
      case QEvent::MouseButtonRelease:
      case QEvent::Drop:
      case QEvent::FocusIn:
      case QEvent::FocusOut:
        if (FTimer && !FTimer->isActive()) FTimer->start();
        break;
      case QEvent::Hide:  // a box closed: the command that asked goes on and ends before the timer
        if (Watched->isWidgetType() && static_cast<QWidget*>(Watched)->isWindow() && FTimer && !FTimer->isActive())
          FTimer->start();
        break;
      default: break;
    }
    return false;
  }

private:
  QPointer<QTimer> FTimer;  // the window's children go one by one, the timer maybe first
};

QStringList LocalFiles(const QMimeData* Data) {
  QStringList Paths;
  if (!Data || !Data->hasUrls()) return Paths;
  for (const QUrl& Url : Data->urls())
    if (Url.isLocalFile()) Paths << Url.toLocalFile();
  return Paths;
}

}  // namespace

TNodeKind NodeKind(const QTreeWidgetItem* Node) { return static_cast<TNodeKind>(Node->data(0, KindRole).toInt()); }

void* NodeData(const QTreeWidgetItem* Node) {
  return reinterpret_cast<void*>(Node->data(0, DataRole).value<quintptr>());
}

TFileDialogRequest ProjectOpenRequest() {
  return {"Open a game design", "Lurvik Studio (*.lvk);;All files (*)", "lvk", {}};
}

TFileDialogRequest ProjectSaveRequest() {
  return {"Save a game design", "Lurvik Studio (*.lvk);;All files (*)", "lvk", {}};
}

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

  tvwTree = new QTreeWidget(this);
  tvwTree->setObjectName("tvwTree");
  tvwTree->setHeaderHidden(true);
  tvwTree->setIndentation(TreeIndent);
  tvwTree->setIconSize(QSize(TreeImageSize, TreeImageSize));
  tvwTree->setMinimumSize(100, 50);
  tvwTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tvwTree->setStatusTip("Navigation pane showing all game elements (tiles, actors, levels, etc)");
  tvwTree->setItemDelegate(new TTreeDelegate(this));
  // Node texts are never cut: the column grows with them and the tree
  // scrolls sideways when it is narrower.
  tvwTree->header()->setStretchLastSection(false);
  tvwTree->header()->setSectionResizeMode(QHeaderView::Fixed);
  tvwTree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  FFitTimer = new QTimer(this);
  FFitTimer->setSingleShot(true);
  FFitTimer->setInterval(0);
  connect(FFitTimer, &QTimer::timeout, this, &TfrmMain::FitTreeColumn);
  auto Refit = [this] { FFitTimer->start(); };
  connect(tvwTree->model(), &QAbstractItemModel::dataChanged, this, Refit);
  connect(tvwTree->model(), &QAbstractItemModel::rowsInserted, this, Refit);
  connect(tvwTree->model(), &QAbstractItemModel::rowsRemoved, this, Refit);
  connect(tvwTree, &QTreeWidget::itemExpanded, this, Refit);
  connect(tvwTree, &QTreeWidget::itemCollapsed, this, Refit);
  tvwTree->viewport()->installEventFilter(this);
  tvwTree->installEventFilter(this);  // the Menu key's context menu comes to the tree itself
  tvwTree->viewport()->setAcceptDrops(true);

  pagEditor = new QStackedWidget(this);
  pagEditor->setObjectName("pagEditor");
  pagEditor->setMinimumSize(200, 200);
  tsSplash = new TPaneSplash(*this);
  tsGame = new TPaneGame(pagEditor);
  tsTiles = new TPaneTiles(*this);
  tsTile = new TPaneTile(*this);
  tsActors = new TPaneActors(*this);
  tsActor = new TPaneActor(*this);
  tsHandler = new TPaneHandler(*this);
  tsLevels = new TPaneLevels(*this);
  tsLevel = new TPaneLevel(*this);
  for (TPane* Pane : std::initializer_list<TPane*>{tsSplash, tsGame, tsTiles, tsTile, tsActors, tsActor, tsHandler,
                                                  tsLevels, tsLevel})
    pagEditor->addWidget(Pane);
  pagEditor->setCurrentWidget(tsSplash);

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
  const int TreeWidth =
      std::max(289, TreeIndent * (HandlerDepth + 1) + TreeImageSize + 40 +
                        tvwTree->fontMetrics().horizontalAdvance("OnCollision( player, overlap )"));
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

  FTitleTimer = new QTimer(this);
  FTitleTimer->setSingleShot(true);
  FTitleTimer->setInterval(0);
  // When input settles, a change made by it becomes an undo step.
  connect(FTitleTimer, &QTimer::timeout, this, [this] {
    FUndo->Commit();
    UpdateTitle();
  });
  new TTitleWatch(this, FTitleTimer);

  NewGame();
  RebuildTree();
  FUndo->Reset();
  UpdateTitle();
  UpdateRecentMenu();
  RestoreWindowState();
}

TfrmMain::~TfrmMain() {
  // The panes may hold the document; empty them before it goes.
  ReplaceGame(nullptr);
}

void TfrmMain::CreateMenus() {
  FUndo = new TUndoController(this, [this] { return FGame.get(); });
  // The selection keeps its place in the tree; the welcome stays up.
  auto Place = [this] { return VisiblePane() == tsSplash ? QList<int>() : NodePath(tvwTree->currentItem()); };
  FUndo->ReplaceGame = [this, Place](std::unique_ptr<lvk::TGame> Game) {
    const QList<int> Path = Place();
    ReplaceGame(std::move(Game));
    ShowRestoredGame(Path);
  };
  FUndo->ShowGame = [this, Place] { ShowRestoredGame(Place()); };
  connect(FUndo, &TUndoController::Changed, this, [this] {
    UpdateEditMenu();
    UpdateTitle();
  });
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
  mnuSave = AddItem(File, "mnuSave", "&Save", "Save the game", [this] { SaveGame(); }, QKeySequence::Save);
  mnuSaveAs = AddItem(File, "mnuSaveAs", "Save &as", "Save the game with a new name", [this] { SaveGameAs(); },
                      QKeySequence::SaveAs);
  File->addSeparator();
  mnuRecent = File->addMenu("&Recent");
  mnuRecent->setObjectName("mnuRecent");
  mnuRecent->menuAction()->setStatusTip("Open one of the games last opened or saved");
  File->addSeparator();
  mnuExit = AddItem(File, "mnuExit", "E&xit", "Exit Lurvik", [this] { close(); }, QKeySequence::Quit);

  mnuEdit = AddMenu("&Edit", "Undo and redo; duplicate and delete tiles, actors, handlers and levels");
  mnuEdit->setObjectName("mnuEdit");
  mnuUndo = AddItem(mnuEdit, "mnuUndo", "&Undo", "Take back the last change to the game",
                    [this] { mnuUndoClick(); }, QKeySequence::Undo);
  mnuRedo = AddItem(mnuEdit, "mnuRedo", "&Redo", "Make the change taken back again", [this] { mnuRedoClick(); });
  mnuRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  mnuEdit->addSeparator();
  mnuDuplicate = AddItem(mnuEdit, "mnuDuplicate", "D&uplicate",
                         "Copy the selected tile, actor (with its handlers) or level under a new name",
                         [this] { mnuDuplicateClick(); }, QKeySequence(Qt::CTRL | Qt::Key_D));
  // Not through AddItem: the key belongs to the tree (and the open menu),
  // never to the name fields and lists of the panes.
  mnuDelete = mnuEdit->addAction("&Delete");
  mnuDelete->setObjectName("mnuDelete");
  mnuDelete->setStatusTip("Delete the selected tile, actor, handler or level (asks first)");
  mnuDelete->setShortcut(QKeySequence::Delete);
  mnuDelete->setShortcutContext(Qt::WidgetShortcut);
  tvwTree->addAction(mnuDelete);
  connect(mnuDelete, &QAction::triggered, this, [this] {
    mnuClick();
    mnuDeleteClick();
  });
  connect(mnuEdit, &QMenu::aboutToShow, this, &TfrmMain::UpdateEditMenu);

  QMenu* GameMenu = AddMenu("&Game", "Build and run games");
  mnuBuild = AddItem(GameMenu, "mnuBuild", "&Build", "Create a Nintendo DS executable", [this] { mnuBuildClick(); },
                     QKeySequence(Qt::CTRL | Qt::Key_B));
  mnuRun = AddItem(GameMenu, "mnuRun", "&Run", "Run the build executable in an emulator", [this] { mnuRunClick(); },
                   QKeySequence(Qt::CTRL | Qt::Key_R));
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
  mnuCredits = AddItem(Help, "mnuCredits", "&Credits", "Software used by Lurvik", [this] {
    TfrmCredits Box(this);
    Box.exec();
  });
  mnuAbout = AddItem(Help, "mnuAbout", "&About", "About Lurvik", [this] {
    TfrmAbout Box(this);
    Box.exec();
  });
}

// ---- Recent games, the window's place and the title ----

QStringList TfrmMain::RecentFiles() const { return UserSettings()->value(KeyRecent).toStringList(); }

void TfrmMain::SetRecentFiles(const QStringList& Files) {
  UserSettings()->setValue(KeyRecent, Files.mid(0, MaxRecentFiles));
  UpdateRecentMenu();
}

void TfrmMain::AddRecentFile(const QString& FileName) {
  const QString Path = QFileInfo(FileName).absoluteFilePath();
  QStringList Files = RecentFiles();
  Files.removeAll(Path);
  Files.prepend(Path);
  SetRecentFiles(Files);
}

void TfrmMain::UpdateRecentMenu() {
  mnuRecent->clear();
  const QStringList Files = RecentFiles();
  for (int i = 0; i < Files.size(); ++i) {
    QString Caption = FileNamePart(Files[i]);
    Caption.replace("&", "&&");
    QAction* Item = mnuRecent->addAction(QString("&%1 %2").arg(i + 1).arg(Caption));
    Item->setObjectName(QString("mnuRecent%1").arg(i + 1));
    Item->setStatusTip(Files[i]);
    connect(Item, &QAction::triggered, this, [this, Path = Files[i]] {
      mnuClick();
      mnuRecentClick(Path);
    });
  }
  if (Files.isEmpty()) mnuRecent->addAction("No games opened yet")->setEnabled(false);
}

void TfrmMain::mnuRecentClick(const QString& FileName) {
  if (ModalWindowUp()) return;
  // Said before anything else: there is nothing to save changes for.
  if (!QFileInfo(FileName).isFile()) {
    QStringList Files = RecentFiles();
    Files.removeAll(FileName);
    SetRecentFiles(Files);
    ShowWarning(this, "The game " + FileName + " no longer exists and was removed from the recent list");
    return;
  }
  if (!ConfirmSave()) return;
  OpenGameFile(FileName);
}

void TfrmMain::UpdateTitle() {
  QString Name = "Untitled";
  if (FGame && FGame->FileName() != lvk::NoFileName)
    Name = FileNamePart(QString::fromStdString(FGame->FileName())).replace("[*]", "[*][*]");
  setWindowTitle(Name + "[*] - " + AppTitle);
  setWindowModified(FGame && FGame->Modified());
}

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

// ---- The tree ----

QTreeWidgetItem* TfrmMain::AddNode(QTreeWidgetItem* Parent, const QString& Text, TNodeKind Kind, void* Data) {
  auto* Node = Parent ? new QTreeWidgetItem(Parent) : new QTreeWidgetItem(tvwTree);
  if (Kind != TNodeKind::Pane) FNodes.insert(Data, Node);
  Node->setText(0, Text);
  Node->setData(0, KindRole, static_cast<int>(Kind));
  Node->setData(0, DataRole, QVariant::fromValue(reinterpret_cast<quintptr>(Data)));
  if (Kind != TNodeKind::Pane && Kind != TNodeKind::Level) Node->setIcon(0, BlankIcon());
  if (Parent) Parent->setExpanded(true);
  return Node;
}

void TfrmMain::ClearTree() {
  tvwTree->blockSignals(true);
  tvwTree->clear();
  tvwTree->blockSignals(false);
  FShownNode = nullptr;
  FNodes.clear();
  FGameNode = FTilesNode = FActorsNode = FLevelsNode = nullptr;
  UpdateEditMenu();
}

QTreeWidgetItem* TfrmMain::NodeOf(const void* Item) const { return FNodes.value(Item, nullptr); }

void TfrmMain::RemoveNode(QTreeWidgetItem* Node) {
  if (!Node) return;
  std::function<void(QTreeWidgetItem*)> Forget = [&](QTreeWidgetItem* N) {
    FNodes.remove(NodeData(N));
    for (int i = 0; i < N->childCount(); ++i) Forget(N->child(i));
  };
  Forget(Node);
  if (FShownNode == Node || (FShownNode && FShownNode->parent() == Node)) FShownNode = nullptr;
  delete Node;
}

void TfrmMain::RebuildTree() {
  ClearTree();
  auto* GameNode = FGameNode = AddNode(nullptr, "Game", TNodeKind::Pane, static_cast<TPane*>(tsGame));
  GameNode->setIcon(0, UiPixmap("BmpGame18x18"));
  auto* Tiles = FTilesNode = AddNode(GameNode, "Tiles", TNodeKind::Pane, static_cast<TPane*>(tsTiles));
  Tiles->setIcon(0, UiPixmap("BmpTiles18x18"));
  for (int i = 0; i < FGame->TileCount(); ++i) AddTileNode(FGame->GetTile(i));
  auto* Actors = FActorsNode = AddNode(GameNode, "Actors", TNodeKind::Pane, static_cast<TPane*>(tsActors));
  Actors->setIcon(0, UiPixmap("BmpActors18x18"));
  for (int i = 0; i < FGame->ActorCount(); ++i) {
    lvk::TActor* Actor = FGame->GetActor(i);
    QTreeWidgetItem* ActorNode = AddActorNode(Actor);
    for (int h = 0; h < Actor->HandlerCount(); ++h) AddHandlerNode(ActorNode, Actor->GetHandler(h));
  }
  auto* Levels = FLevelsNode = AddNode(GameNode, "Levels", TNodeKind::Pane, static_cast<TPane*>(tsLevels));
  Levels->setIcon(0, UiPixmap("BmpLevels18x18"));
  for (int i = 0; i < FGame->LevelCount(); ++i) AddLevelNode(FGame->GetLevel(i));
  GameNode->setExpanded(true);
  // The game node is current but not selected: a view that gets the focus
  // with no current node would select the first one and hide the welcome.
  tvwTree->blockSignals(true);
  tvwTree->setCurrentItem(GameNode, 0, QItemSelectionModel::NoUpdate);
  tvwTree->blockSignals(false);
  tsGame->SetGame(FGame.get());
  ShowPane(tsSplash);
  UpdateEditMenu();
}

QTreeWidgetItem* TfrmMain::AddTileNode(lvk::TTile* Tile) {
  return AddNode(FTilesNode, QString::fromStdString(Tile->Name()), TNodeKind::Tile, Tile);
}

QTreeWidgetItem* TfrmMain::AddActorNode(lvk::TActor* Actor) {
  return AddNode(FActorsNode, QString::fromStdString(Actor->Name()), TNodeKind::Actor, Actor);
}

QTreeWidgetItem* TfrmMain::AddHandlerNode(QTreeWidgetItem* ActorNode, lvk::THandler* Handler) {
  QString Text = Handler->Event() ? QString::fromStdString(Handler->Event()->Summary()) : QString();
  return AddNode(ActorNode, Text, TNodeKind::Handler, Handler);
}

QTreeWidgetItem* TfrmMain::AddLevelNode(lvk::TLevel* Level) {
  auto* Node = AddNode(FLevelsNode, QString::fromStdString(Level->Name()), TNodeKind::Level, Level);
  Node->setIcon(0, UiPixmap("BmpLevel18x18"));
  return Node;
}

TPane* TfrmMain::VisiblePane() const { return static_cast<TPane*>(pagEditor->currentWidget()); }

void TfrmMain::ShowPane(TPane* Pane) {
  // Shown again for another element, a visible pane refreshes as well.
  pagEditor->setCurrentWidget(Pane);
  Pane->Show();
  SetHelpKeyword(tvwTree, HelpKeyword(VisiblePane()));
}

void TfrmMain::tvwTreeChange(QTreeWidgetItem* Node) {
  tvwTree->setFocus();
  TPane* Pane = nullptr;
  void* Data = NodeData(Node);
  switch (NodeKind(Node)) {
    case TNodeKind::Pane: Pane = static_cast<TPane*>(Data); break;
    case TNodeKind::Tile: Pane = tsTile; break;
    case TNodeKind::Actor: Pane = tsActor; break;
    case TNodeKind::Handler: Pane = tsHandler; break;
    case TNodeKind::Level: Pane = tsLevel; break;
  }
  if (Pane && NodeKind(Node) != TNodeKind::Pane) Pane->SetTag(Data);
  if (Pane) {
    FShownNode = Node;
    ShowPane(Pane);
  }
  SetHelpKeyword(tvwTree, HelpKeyword(VisiblePane()));
}

void TfrmMain::SelectNode(QTreeWidgetItem* Node) {
  if (tvwTree->currentItem() == Node)
    tvwTreeChange(Node);
  else
    tvwTree->setCurrentItem(Node);
}

void TfrmMain::RepaintTree() { tvwTree->viewport()->update(); }

void TfrmMain::RefreshHandlerNodes() {
  for (int a = 0; a < FGame->ActorCount(); ++a) {
    lvk::TActor* Actor = FGame->GetActor(a);
    for (int h = 0; h < Actor->HandlerCount(); ++h) {
      lvk::THandler* Handler = Actor->GetHandler(h);
      QTreeWidgetItem* Node = NodeOf(Handler);
      if (!Node || !Handler->Event()) continue;
      const QString Summary = QString::fromStdString(Handler->Event()->Summary());
      if (Node->text(0) != Summary) Node->setText(0, Summary);
    }
  }
}

void TfrmMain::FitTreeColumn() {
  const QAbstractItemView* View = tvwTree;  // where the width of the widest node is public
  tvwTree->header()->resizeSection(0, std::max(View->sizeHintForColumn(0), tvwTree->viewport()->width()));
}

bool TfrmMain::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::ContextMenu && (Watched == tvwTree || Watched == tvwTree->viewport())) {
    auto* Request = static_cast<QContextMenuEvent*>(Event);
    QTreeWidgetItem* Node = nullptr;
    QPoint At = Request->globalPos();
    if (Request->reason() == QContextMenuEvent::Mouse) {
      Node = tvwTree->itemAt(tvwTree->viewport()->mapFromGlobal(At));
    } else if ((Node = tvwTree->currentItem())) {
      // From the keyboard: beside the current node, not where the mouse is.
      tvwTree->scrollToItem(Node);
      At = tvwTree->viewport()->mapToGlobal(tvwTree->visualItemRect(Node).center());
    }
    if (Node) ShowNodeMenu(Node, At);
    return true;
  }
  if (Watched == tvwTree->viewport()) switch (Event->type()) {
      case QEvent::Resize: FFitTimer->start(); break;
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* Drag = static_cast<QDragMoveEvent*>(Event);
        if (DropTarget(Drag->position().toPoint(), LocalFiles(Drag->mimeData())))
          Drag->acceptProposedAction();
        else
          Drag->ignore();
        return true;
      }
      case QEvent::Drop: {
        auto* Drop = static_cast<QDropEvent*>(Event);
        const QStringList Paths = LocalFiles(Drop->mimeData());
        const QPoint Position = Drop->position().toPoint();
        if (DropTarget(Position, Paths)) {
          Drop->acceptProposedAction();
          // Boxes may follow: not while the drag source waits for the drop.
          QTimer::singleShot(0, this, [this, Position, Paths] { DropFiles(DropTarget(Position, Paths), Paths); });
        } else
          Drop->ignore();
        return true;
      }
      default: break;
    }
  return QMainWindow::eventFilter(Watched, Event);
}

QTreeWidgetItem* TfrmMain::DropTarget(QPoint Position, const QStringList& Paths) const {
  QTreeWidgetItem* Node = tvwTree->itemAt(Position);
  if (!Node || Paths.isEmpty()) return nullptr;
  if (NodeKind(Node) == TNodeKind::Tile && Paths.size() == 1) return Node;
  if (NodeKind(Node) == TNodeKind::Pane && NodeData(Node) == static_cast<TPane*>(tsTiles)) return Node;
  return nullptr;
}

bool TfrmMain::DropFiles(QTreeWidgetItem* Node, const QStringList& Paths) {
  if (!Node || Paths.isEmpty()) return false;
  if (NodeKind(Node) == TNodeKind::Tile) {
    if (Paths.size() != 1) return false;
    SelectNode(Node);
    tsTile->ImportFile(Paths.front());
    UpdateTitle();
    return true;
  }
  if (NodeKind(Node) != TNodeKind::Pane || NodeData(Node) != static_cast<TPane*>(tsTiles)) return false;
  QTreeWidgetItem* Last = nullptr;
  for (const QString& Path : Paths) {
    // Tried on a tile of a scratch game first, with Import's own checks: a
    // file that fails them makes no tile, only Import's warning.
    try {
      lvk::TGame Scratch;
      Scratch.AddTile()->ImportBitmap(Path.toStdString());
    } catch (const std::exception& E) {
      ShowWarning(this, "Error importing bitmap " + FileNamePart(Path) + "\n" + QString::fromUtf8(E.what()));
      continue;
    }
    lvk::TTile* Tile = FGame->AddTile();
    const std::string Name = QFileInfo(Path).completeBaseName().toStdString();
    if (lvk::IsLegalName(Name) && !FGame->FindTileByName(Name)) Tile->SetName(Name);
    try {
      Tile->ImportBitmap(Path.toStdString());
    } catch (const std::exception& E) {
      // Changed since the trial; the tile keeps the question mark, as Import leaves it.
      ShowWarning(this, "Error importing bitmap " + FileNamePart(Path) + "\n" + QString::fromUtf8(E.what()));
    }
    Last = AddTileNode(Tile);
  }
  if (Last) SelectNode(Last);
  RepaintTree();
  FUndo->Commit(Paths.size() > 1 ? "Drop tiles" : "Drop tile");
  UpdateTitle();
  return true;
}

// ---- Edit commands ----

namespace {

QString Quoted(const std::string& Name) { return "\"" + QString::fromStdString(Name) + "\""; }

QString Summary(const lvk::THandler& Handler) {
  return Handler.Event() ? QString::fromStdString(Handler.Event()->Summary()) : QString("(no event)");
}

// "1 actor", "2 actors".
QString Counted(qsizetype Count, const QString& One, const QString& More) {
  return QString::number(Count) + " " + (Count == 1 ? One : More);
}

}  // namespace

bool TfrmMain::CanDelete(const QTreeWidgetItem* Node) { return Node && NodeKind(Node) != TNodeKind::Pane; }

bool TfrmMain::CanDuplicate(const QTreeWidgetItem* Node) {
  return CanDelete(Node) && NodeKind(Node) != TNodeKind::Handler;
}

void TfrmMain::UpdateEditMenu() {
  // The opening menu shows the step a pending change makes.
  if (sender() == mnuEdit) FUndo->Commit();
  mnuUndo->setEnabled(FUndo->CanUndo());
  mnuUndo->setText("&" + FUndo->UndoText());
  mnuRedo->setEnabled(FUndo->CanRedo());
  mnuRedo->setText("&" + FUndo->RedoText());
  QTreeWidgetItem* Node = tvwTree->currentItem();
  mnuDelete->setEnabled(CanDelete(Node));
  mnuDuplicate->setEnabled(CanDuplicate(Node));
}

QString TfrmMain::DeleteQuestion(const QTreeWidgetItem* Node) const {
  void* Data = NodeData(Node);
  switch (NodeKind(Node)) {
    case TNodeKind::Tile: {
      auto* Tile = static_cast<lvk::TTile*>(Data);
      QString Text = "Delete the tile " + Quoted(Tile->Name()) + "?";
      int Users = 0;
      for (int i = 0; i < FGame->ActorCount(); ++i) Users += FGame->GetActor(i)->Tile() == Tile ? 1 : 0;
      if (Users > 0)
        Text += "\n\n" + Counted(Users, "actor is", "actors are") + " drawn with it and will have no tile.";
      return Text;
    }
    case TNodeKind::Actor: {
      auto* Actor = static_cast<lvk::TActor*>(Data);
      QString Text = "Delete the actor " + Quoted(Actor->Name());
      if (Actor->HandlerCount() > 0) Text += " with its " + Counted(Actor->HandlerCount(), "handler", "handlers");
      Text += "?";
      const std::vector<lvk::THandler*> Naming = FGame->HandlersNaming(*Actor);
      if (!Naming.empty()) {
        // A collision must name an actor: these cannot stay.
        Text += "\n\nThese collision handlers of other actors name it and are deleted with it:";
        for (const lvk::THandler* Handler : Naming)
          Text += "\n" + QString::fromStdString(Handler->Actor().Name()) + ": " + Summary(*Handler);
      }
      int Cells = 0;
      for (int l = 0; l < FGame->LevelCount(); ++l) {
        const lvk::TLevel* Level = FGame->GetLevel(l);
        for (int Row = 0; Row < Level->Height(); ++Row)
          for (int Column = 0; Column < Level->Width(); ++Column) Cells += Level->GetCell(Column, Row) == Actor;
      }
      if (Cells > 0)
        Text += "\n\n" + Counted(Cells, "level cell holds", "level cells hold") + " it and will become empty.";
      return Text;
    }
    case TNodeKind::Handler: {
      auto* Handler = static_cast<lvk::THandler*>(Data);
      return "Delete the handler " + Summary(*Handler) + " of the actor " + Quoted(Handler->Actor().Name()) + "?";
    }
    case TNodeKind::Level:
      return "Delete the level " + Quoted(static_cast<lvk::TLevel*>(Data)->Name()) + "?";
    case TNodeKind::Pane: break;
  }
  return {};
}

bool TfrmMain::DeleteNode(QTreeWidgetItem* Node) {
  if (!CanDelete(Node) || ModalWindowUp()) return false;
  const void* Item = NodeData(Node);
  if (Dialogs().Message(this, TMsgKind::Confirmation, DeleteQuestion(Node)) != TMsgAnswer::Yes) return false;
  // Timers run while the box is up: the node is looked up again.
  Node = NodeOf(Item);
  if (!Node) return false;
  // The next sibling, else the previous, else the folder or actor above.
  QTreeWidgetItem* Parent = Node->parent();
  const int Index = Parent->indexOfChild(Node);
  QTreeWidgetItem* Next = Index + 1 < Parent->childCount() ? Parent->child(Index + 1)
                          : Index > 0                      ? Parent->child(Index - 1)
                                                           : Parent;
  // No pane may keep the item or anything made for it (the event frame, the
  // actor pane's tile list); the node selected afterwards fills its pane again.
  for (TPane* Pane : std::initializer_list<TPane*>{tsTile, tsActor, tsHandler, tsLevel}) Pane->Release();
  // The nodes go first, so nothing is drawn from an item that is gone.
  tvwTree->blockSignals(true);
  void* Data = NodeData(Node);
  switch (NodeKind(Node)) {
    case TNodeKind::Tile:
      RemoveNode(Node);
      NameUndoStep("Delete tile");
      FGame->DeleteTile(static_cast<lvk::TTile*>(Data));
      break;
    case TNodeKind::Actor: {
      auto* Actor = static_cast<lvk::TActor*>(Data);
      for (lvk::THandler* Handler : FGame->HandlersNaming(*Actor)) RemoveNode(NodeOf(Handler));
      RemoveNode(Node);
      NameUndoStep("Delete actor");
      FGame->DeleteActor(Actor);
      break;
    }
    case TNodeKind::Handler: {
      auto* Handler = static_cast<lvk::THandler*>(Data);
      RemoveNode(Node);
      NameUndoStep("Delete handler");
      Handler->Actor().DeleteHandler(Handler);
      break;
    }
    case TNodeKind::Level:
      RemoveNode(Node);
      NameUndoStep("Delete level");
      FGame->DeleteLevel(static_cast<lvk::TLevel*>(Data));
      break;
    case TNodeKind::Pane: break;
  }
  tvwTree->blockSignals(false);
  FShownNode = nullptr;
  RefreshHandlerNodes();
  RepaintTree();  // actors drawn with a deleted tile now show the no-tile picture
  SelectNode(Next);
  UpdateEditMenu();
  UpdateTitle();
  return true;
}

QTreeWidgetItem* TfrmMain::DuplicateNode(QTreeWidgetItem* Node) {
  if (!CanDuplicate(Node) || ModalWindowUp()) return nullptr;
  QTreeWidgetItem* Copy = nullptr;
  void* Data = NodeData(Node);
  switch (NodeKind(Node)) {
    case TNodeKind::Tile:
      NameUndoStep("Duplicate tile");
      Copy = AddTileNode(FGame->DuplicateTile(static_cast<lvk::TTile*>(Data)));
      break;
    case TNodeKind::Actor: {
      NameUndoStep("Duplicate actor");
      lvk::TActor* Actor = FGame->DuplicateActor(static_cast<lvk::TActor*>(Data));
      Copy = AddActorNode(Actor);
      for (int h = 0; h < Actor->HandlerCount(); ++h) AddHandlerNode(Copy, Actor->GetHandler(h));
      break;
    }
    case TNodeKind::Level:
      NameUndoStep("Duplicate level");
      Copy = AddLevelNode(FGame->DuplicateLevel(static_cast<lvk::TLevel*>(Data)));
      break;
    default: return nullptr;
  }
  SelectNode(Copy);
  UpdateTitle();
  return Copy;
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

QMenu* TfrmMain::CreateNodeMenu(QTreeWidgetItem* Node) {
  if (!CanDelete(Node)) return nullptr;
  auto* Menu = new QMenu(this);
  Menu->setObjectName("mnuNode");
  // The item, not the node, is kept: looked up again when chosen.
  const void* Item = NodeData(Node);
  QAction* Duplicate = Menu->addAction("D&uplicate", this, [this, Item] { DuplicateNode(NodeOf(Item)); });
  Duplicate->setObjectName("mnuNodeDuplicate");
  Duplicate->setShortcut(mnuDuplicate->shortcut());
  Duplicate->setShortcutContext(Qt::WidgetShortcut);
  Duplicate->setStatusTip(mnuDuplicate->statusTip());
  Duplicate->setEnabled(CanDuplicate(Node));
  QAction* Delete = Menu->addAction("&Delete", this, [this, Item] { DeleteNode(NodeOf(Item)); });
  Delete->setObjectName("mnuNodeDelete");
  Delete->setShortcut(mnuDelete->shortcut());
  Delete->setShortcutContext(Qt::WidgetShortcut);
  Delete->setStatusTip(mnuDelete->statusTip());
  return Menu;
}

void TfrmMain::ShowNodeMenu(QTreeWidgetItem* Node, QPoint GlobalPosition) {
  SelectNode(Node);
  std::unique_ptr<QMenu> Menu(CreateNodeMenu(Node));
  if (Menu) Menu->exec(GlobalPosition);
  tvwTree->setFocus();
}

void TfrmMain::EditPalette() {
  TfrmPaletteEditor Editor(this);
  Editor.SetPalette(&FGame->Palette());
  FUndo->BeginScope();
  InstallUndoKeys(&Editor, *FUndo, [&Editor] {
    Editor.SyncCurrentColor();
    Editor.grdPalette->update();
  });
  Editor.exec();
  FUndo->EndScope();
  VisiblePane()->Show();  // the document may have changed under the pane
}

void TfrmMain::EditLevelLayout(lvk::TLevel& Level) {
  TfrmLevelEditor Editor(this);
  Editor.SetLevel(&Level);
  FUndo->BeginScope();
  InstallUndoKeys(&Editor, *FUndo, [&Editor] { Editor.grdLayout->viewport()->update(); });
  Editor.exec();
  FUndo->EndScope();
}

void TfrmMain::SelectEvent(lvk::THandler& Handler) {
  TfrmEventSelector Selector(this);
  Selector.SetHandler(Handler);
  Selector.exec();
  FUndo->Commit();
}

// ---- Undo and redo ----

void TfrmMain::mnuUndoClick() {
  if (ModalWindowUp()) return;
  FUndo->Undo();
  tvwTree->setFocus();
}

void TfrmMain::mnuRedoClick() {
  if (ModalWindowUp()) return;
  FUndo->Redo();
  tvwTree->setFocus();
}

QList<int> TfrmMain::NodePath(const QTreeWidgetItem* Node) const {
  QList<int> Path;
  for (; Node; Node = Node->parent())
    Path.prepend(Node->parent() ? Node->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(Node))
                                : tvwTree->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(Node)));
  return Path;
}

QTreeWidgetItem* TfrmMain::NodeAtPath(const QList<int>& Path) const {
  QTreeWidgetItem* Node = tvwTree->topLevelItem(0);
  for (int Depth = 1; Node && Depth < Path.size(); ++Depth) {
    if (Node->childCount() == 0) break;
    Node = Node->child(std::min(Path[Depth], Node->childCount() - 1));
  }
  return Node;
}

void TfrmMain::ShowRestoredGame(const QList<int>& Path) {
  // Items may be new and names changed: the tree is made again, and the
  // panes let go of what they showed before they show the node.
  for (TPane* Pane : std::initializer_list<TPane*>{tsTile, tsActor, tsHandler, tsLevel}) Pane->Release();
  RebuildTree();
  if (!Path.isEmpty()) SelectNode(NodeAtPath(Path));
}

QWidget* TfrmMain::CreateEventEditor(lvk::THandler& Handler, QWidget* Host) {
  if (!Handler.Event()) return nullptr;
  return ::CreateEventEditor(*Handler.Event(), Host, [this, &Handler](const QString& Summary) {
    if (QTreeWidgetItem* Node = NodeOf(&Handler)) Node->setText(0, Summary);
  });
}

void TfrmMain::NewGame() { ReplaceGame(std::make_unique<lvk::TGame>()); }

void TfrmMain::ReplaceGame(std::unique_ptr<lvk::TGame> Game) {
  for (TPane* Pane : std::initializer_list<TPane*>{tsTile, tsActor, tsHandler, tsLevel}) Pane->Release();
  tsGame->SetGame(nullptr);
  ClearTree();
  FGame = std::move(Game);
}

// ---- File commands ----

bool TfrmMain::ConfirmSave() {
  if (!FGame->Modified()) return true;
  QString Name = FileNamePart(QString::fromStdString(FGame->FileName()));
  switch (Dialogs().Message(this, TMsgKind::Confirmation, "Save changes to the game " + Name + " first?", true)) {
    case TMsgAnswer::Yes: return SaveGame();
    case TMsgAnswer::No: return true;
    default: return false;
  }
}

bool TfrmMain::SaveGame() {
  if (FGame->FileName() == lvk::NoFileName) return SaveGameAs();
  try {
    FGame->Save();
  } catch (const std::exception&) {
    ShowWarning(this, "Error saving file " + FileNamePart(QString::fromStdString(FGame->FileName())));
    return false;
  }
  tsGame->Show();
  FUndo->MarkSaved();
  AddRecentFile(QString::fromStdString(FGame->FileName()));
  UpdateTitle();
  return true;
}

bool TfrmMain::SaveGameAs() {
  QString Path = Dialogs().SaveFile(this, ProjectSaveRequest());
  if (Path.isEmpty()) return false;
  try {
    FGame->SetFileName(Path.toStdString());
    FGame->Save();
  } catch (const std::exception&) {
    ShowWarning(this, "Error saving file " + FileNamePart(QString::fromStdString(FGame->FileName())));
    tsGame->Show();
    UpdateTitle();
    return false;
  }
  tsGame->Show();
  FUndo->MarkSaved();
  AddRecentFile(Path);
  UpdateTitle();
  return true;
}

bool TfrmMain::ModalWindowUp() const {
  if (!QApplication::activeModalWidget()) return false;
  QApplication::beep();
  return true;
}

void TfrmMain::mnuNewClick() {
  if (ModalWindowUp()) return;
  if (!ConfirmSave()) return;
  NewGame();
  RebuildTree();
  FUndo->Reset();
  UpdateTitle();
}

void TfrmMain::mnuOpenClick() {
  if (ModalWindowUp()) return;
  if (!ConfirmSave()) return;
  QString Path = Dialogs().OpenFile(this, ProjectOpenRequest());
  if (Path.isEmpty()) return;
  OpenGameFile(Path);
}

bool TfrmMain::OpenGameFile(const QString& FileName) {
  if (ModalWindowUp()) return false;
  // Loaded beside the open game, which stays whole and on screen until the
  // new one has loaded: a failed Open loses nothing.
  auto Loaded = std::make_unique<lvk::TGame>();
  try {
    Loaded->LoadFromFile(FileName.toStdString());
  } catch (const std::exception& E) {
    ShowWarning(this, "Error opening file " + FileNamePart(FileName) + "\n" + QString::fromUtf8(E.what()));
    return false;
  }
  ReplaceGame(std::move(Loaded));
  RebuildTree();
  FUndo->Reset();
  AddRecentFile(FileName);
  UpdateTitle();
  return true;
}

void TfrmMain::mnuBuildClick() {
  TfrmBuild Build(this);
  Build.SetGame(*FGame);
  Build.SetRootFolder(FRootFolder);
  Build.exec();
  // Run starts this image from now on, whether or not a build ran.
  FLastImagePath = Build.ImagePath();
}

void TfrmMain::mnuRunClick() {
  if (FLastImagePath.isEmpty()) {
    ShowInformation(this, "First Game | Build, then Game | Run");
    return;
  }
  // A failed build leaves nothing to run; its log says why.
  if (!QFileInfo(FLastImagePath).isFile()) {
    ShowInformation(this, "The last build made no Lurvik.nds; see the build log.");
    return;
  }
  // A missing emulator, or one that does not start, is said in a box.
  RunImage(this, FLastImagePath, FRootFolder);
}

TfrmPlay* TfrmMain::PlayWindow() const { return FPlay; }

void TfrmMain::mnuPlayClick() {
  // The level of the selected node, or of the node it lies below.
  int Level = 0;
  for (QTreeWidgetItem* Node = tvwTree->currentItem(); Node; Node = Node->parent())
    if (NodeKind(Node) == TNodeKind::Level) {
      for (int i = 0; i < FGame->LevelCount(); ++i)
        if (FGame->GetLevel(i) == NodeData(Node)) Level = i;
      break;
    }
  if (!FPlay) {
    // It asks for the document each time the game starts, so it never plays
    // one that New or Open replaced.
    FPlay = new TfrmPlay([this]() -> const lvk::TGame* { return FGame.get(); }, this);
    FPlay->setAttribute(Qt::WA_DeleteOnClose);
  }
  FPlay->Play(Level);
  FPlay->show();
  FPlay->raise();
  FPlay->activateWindow();
}

void TfrmMain::closeEvent(QCloseEvent* Event) {
  mnuClick();
  if (ConfirmSave()) {
    SaveWindowState();
    Event->accept();
  } else
    Event->ignore();
}
