// The main window driven for real on the offscreen platform.
#include <QCoreApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTest>
#include <QToolTip>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "TScriptedDialogs.h"
#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventKey.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "ui/common/FHelp.h"
#include "ui/main/FMain.h"
#include "ui/panes/PaneGame.h"
#include "ui/panes/PaneActor.h"
#include "ui/panes/PaneHandler.h"
#include "ui/panes/PaneLevel.h"
#include "ui/panes/PaneTile.h"
#include "ui/panes/PaneSplash.h"
#include "ui/common/UHelp.h"

using namespace lvk;

namespace {

QStringList Children(QTreeWidgetItem* Node) {
  QStringList Texts;
  for (int i = 0; i < Node->childCount(); ++i) Texts << Node->child(i)->text(0);
  return Texts;
}

QTreeWidgetItem* Folder(TfrmMain& Main, int Index) { return Main.tvwTree->topLevelItem(0)->child(Index); }

// A saved game with two tiles, two actors (the first with two handlers) and a level.
std::string SampleFile(const test::TTempDir& Dir) {
  TGame Game;
  Game.AddTile()->SetName("Grass");
  Game.AddTile();
  TActor* Hero = Game.AddActor();
  Hero->SetName("Hero");
  Hero->SetTile(Game.GetTile(0));
  Hero->AddHandler()->SetEvent(EventKindAt(0));
  Hero->AddHandler()->SetEvent(TEventKey::ClassKind());
  Game.AddActor();
  Game.AddLevel()->SetSize(32, 24);
  Game.SetFileName(Dir.File("sample.lvk"));
  Game.Save();
  return Game.FileName();
}

struct MainWindow : ::testing::Test {
  TScriptedDialogs Dialogs;
  TfrmMain Main;
  void SetUp() override {
    Main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
  }
  // A click on the node, as the user selects it.
  void Select(QTreeWidgetItem* Node) {
    Main.tvwTree->scrollToItem(Node);
    QTest::mouseClick(Main.tvwTree->viewport(), Qt::LeftButton, {}, Main.tvwTree->visualItemRect(Node).center());
  }
};

}  // namespace

TEST_F(MainWindow, EmptyGameShowsTheFixedFolders) {
  EXPECT_EQ(Main.windowTitle(), "Untitled[*] - Lurvik Studio");
  ASSERT_EQ(Main.tvwTree->topLevelItemCount(), 1);
  QTreeWidgetItem* Root = Main.tvwTree->topLevelItem(0);
  EXPECT_EQ(Root->text(0), "Game");
  EXPECT_EQ(Children(Root), (QStringList{"Tiles", "Actors", "Levels", "Variables", "Sounds", "Songs"}));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Folder(Main, i)->childCount(), 0);
  EXPECT_TRUE(Root->isExpanded());
  EXPECT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsSplash));
}

TEST_F(MainWindow, LoadedGameTreeFollowsTheModel) {
  test::TTempDir Dir;
  Main.OpenGameFile(QString::fromStdString(SampleFile(Dir)));
  EXPECT_EQ(Children(Folder(Main, 0)), (QStringList{"Grass", "tTile2"}));
  EXPECT_EQ(Children(Folder(Main, 1)), (QStringList{"Hero", "aActor2"}));
  EXPECT_EQ(Children(Folder(Main, 1)->child(0)), (QStringList{"OnCreate", "OnKey( A, release )"}));
  EXPECT_EQ(Children(Folder(Main, 2)), (QStringList{"lLevel1"}));
  EXPECT_TRUE(Folder(Main, 0)->isExpanded());
  EXPECT_TRUE(Folder(Main, 1)->child(0)->isExpanded());
  EXPECT_FALSE(Folder(Main, 1)->child(1)->isExpanded());
  // Nodes and model objects point at each other.
  EXPECT_EQ(NodeItem(Main.Game(), Folder(Main, 0)->child(0)), Main.Game().GetTile(0));
  EXPECT_EQ(Main.NodeOf(Main.Game().GetActor(0)), Folder(Main, 1)->child(0));
  EXPECT_EQ(NodeKind(Folder(Main, 1)->child(0)->child(1)), TNodeKind::Handler);
  EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(MainWindow, SelectingNodesShowsPanesAndTheirHelp) {
  test::TTempDir Dir;
  Main.OpenGameFile(QString::fromStdString(SampleFile(Dir)));
  Select(Folder(Main, 0)->child(0));
  EXPECT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsTile));
  EXPECT_EQ(Main.tsTile->ItemId(), Main.Game().GetTile(0)->Id());
  EXPECT_EQ(HelpKeyword(Main.tvwTree), "main-tile");
  Select(Folder(Main, 0)->child(1));
  EXPECT_EQ(Main.tsTile->ItemId(), Main.Game().GetTile(1)->Id());
  Select(Folder(Main, 1)->child(0)->child(1));
  EXPECT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsHandler));
  EXPECT_EQ(HelpKeyword(Main.tvwTree), "main-handler");
  Select(Folder(Main, 2));
  EXPECT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsLevels));
  Select(Main.tvwTree->topLevelItem(0));
  EXPECT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsGame));
  EXPECT_EQ(HelpKeyword(Main.tvwTree), "main-game");
  EXPECT_EQ(Main.tsGame->edtGameFilename->text(), "sample.lvk");
  EXPECT_EQ(Main.tsGame->edtGameState->text(), "saved");
  EXPECT_EQ(Main.tsGame->edtRevision->text(), "1");
  Main.mnuNewClick();
  EXPECT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsSplash));
}

TEST_F(MainWindow, ConfirmSaveInEachCase) {
  EXPECT_TRUE(Main.ConfirmSave());  // unchanged: nothing asked
  EXPECT_TRUE(Dialogs.Messages.empty());

  test::Edit(Main.Game(), [&] { Main.Game().SetTitle("Changed"); });
  Dialogs.Answers = {TMsgAnswer::Yes};  // then the save dialog is cancelled
  Main.mnuNewClick();
  EXPECT_EQ(Dialogs.LastText(), "Save changes to the game <no name> first?");
  ASSERT_EQ(Dialogs.FileRequests.size(), 1u);
  EXPECT_EQ(Dialogs.FileRequests[0].Title, "Save a game design");
  EXPECT_EQ(Main.Game().Title(), "Changed");  // New abandoned

  Dialogs.Answers = {TMsgAnswer::No};
  Main.mnuOpenClick();  // open dialog cancelled
  EXPECT_EQ(Dialogs.FileRequests.back().Title, "Open a game design");
  EXPECT_EQ(Dialogs.FileRequests.back().DefaultSuffix, "lvk");
  EXPECT_EQ(Main.Game().Title(), "Changed");
  EXPECT_TRUE(Main.Game().Modified());

  Dialogs.Answers = {TMsgAnswer::Cancel};
  EXPECT_FALSE(Main.ConfirmSave());
  Dialogs.Answers = {TMsgAnswer::No};
  Main.mnuNewClick();
  EXPECT_EQ(Main.Game().Title(), "<Game title>");
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

TEST_F(MainWindow, ClosingAsksAndCancelKeepsTheWindow) {
  test::Edit(Main.Game(), [&] { Main.Game().SetTitle("x"); });
  Dialogs.Answers = {TMsgAnswer::Cancel};
  Main.close();
  EXPECT_TRUE(Main.isVisible());
  Dialogs.Answers = {TMsgAnswer::No};
  Main.close();
  EXPECT_FALSE(Main.isVisible());
}

TEST_F(MainWindow, FailedOpenWarns) {
  test::TTempDir Dir;
  test::WriteBytes(Dir.File("broken.lvk"), {6, 6, 'L', 'u', 'r', 'v', 'i', 'k', 2, 1});
  Dialogs.Files = {QString::fromStdString(Dir.File("broken.lvk"))};
  Main.mnuOpenClick();
  EXPECT_EQ(Dialogs.LastText(), "Error opening file broken.lvk\nRead error: file has unexpected format");
  EXPECT_EQ(Dialogs.Messages.back().Kind, TMsgKind::Warning);
  EXPECT_EQ(Main.Game().FileName(), "<no name>");
  EXPECT_EQ(Children(Main.tvwTree->topLevelItem(0)), (QStringList{"Tiles", "Actors", "Levels", "Variables", "Sounds", "Songs"}));
}

// Answers each box only after the windows painted while it was up, as a real
// box's own event loop lets them.
struct TPaintingDialogs : TScriptedDialogs {
  TfrmMain* Main = nullptr;
  TMsgAnswer Message(QWidget* Parent, TMsgKind Kind, const QString& Text, bool WithCancel) override {
    if (Main) {
      Main->tvwTree->viewport()->repaint();
      Main->repaint();
      QTest::qWait(30);
    }
    return TScriptedDialogs::Message(Parent, Kind, Text, WithCancel);
  }
};

// Five actors, each colliding with the next.
std::string CollisionGameFile(const test::TTempDir& Dir) {
  TGame Game;
  for (int i = 0; i < 5; ++i) Game.AddActor()->SetTile(Game.AddTile());
  for (int i = 0; i < 5; ++i) {
    THandler* H = Game.GetActor(i)->AddHandler();
    H->SetEvent(TEventCollision::ClassKind());
    static_cast<TEventCollision*>(H->Event())->SetOtherActor(*Game.GetActor((i + 1) % 5));
  }
  Game.SetFileName(Dir.File("five.lvk"));
  Game.Save();
  return Game.FileName();
}

TEST_F(MainWindow, FailedOpenKeepsTheGameOnScreen) {
  test::TTempDir Dir;
  Main.OpenGameFile(QString::fromStdString(CollisionGameFile(Dir)));
  test::Edit(Main.Game(), [&] { Main.Game().SetTitle("Mine"); });  // changed, so Open asks first
  QTreeWidgetItem* HandlerNode = Folder(Main, 1)->child(2)->child(0);
  Select(HandlerNode);
  ASSERT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsHandler));
  TGame* Before = &Main.Game();
  QWidget* Frame = Main.tsHandler->Editor();
  ASSERT_NE(Frame, nullptr);

  test::WriteBytes(Dir.File("junk.lvk"), {'j', 'u', 'n', 'k', 0, 1, 2});
  TPaintingDialogs Painting;
  Painting.Main = &Main;
  for (const std::string& Name : {std::string("junk.lvk"), std::string("missing.lvk")}) {
    Painting.Answers = {TMsgAnswer::No};
    Painting.Files = {QString::fromStdString(Dir.File(Name))};
    Main.mnuOpenClick();
    ASSERT_EQ(Painting.Messages.size(), 2u);
    EXPECT_TRUE(Painting.LastText().startsWith(QString::fromStdString("Error opening file " + Name + "\n")));
    EXPECT_EQ(Painting.Messages.back().Kind, TMsgKind::Warning);
    Painting.Messages.clear();
    // Nothing of the open game was given up: document, tree, pane and frame.
    EXPECT_EQ(&Main.Game(), Before);
    EXPECT_TRUE(Main.Game().Modified());
    EXPECT_EQ(Main.Game().Title(), "Mine");
    EXPECT_EQ(Folder(Main, 1)->childCount(), 5);
    EXPECT_EQ(HandlerNode->text(0), "OnCollision( aActor4, overlap )");
    EXPECT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsHandler));
    EXPECT_EQ(Main.tsHandler->Editor(), Frame);
    EXPECT_TRUE(Frame->isVisible());
  }
}

TEST_F(MainWindow, NewAndOpenLeaveNoPaneOnTheOldGame) {
  test::TTempDir Dir;
  const QString Path = QString::fromStdString(CollisionGameFile(Dir));
  for (bool ByNew : {true, false}) {
    Main.OpenGameFile(Path);
    Select(Folder(Main, 1)->child(0)->child(0));
    Select(Folder(Main, 1)->child(0));
    Select(Folder(Main, 0)->child(0));
    ASSERT_NE(Main.tsHandler->Editor(), nullptr);
    if (ByNew)
      Main.mnuNewClick();
    else
      Main.OpenGameFile(Path);
    for (TPane* Pane : std::initializer_list<TPane*>{Main.tsTile, Main.tsActor, Main.tsHandler, Main.tsLevel})
      EXPECT_EQ(Pane->ItemId(), lvk::NoItem) << Pane->objectName().toStdString();
    EXPECT_EQ(Main.tsHandler->Editor(), nullptr);
    // A new game starts on the welcome, an opened one on its Game pane; F1
    // on the tree follows that pane, not the pane shown before.
    EXPECT_EQ(Main.VisiblePane(), ByNew ? static_cast<TPane*>(Main.tsSplash) : static_cast<TPane*>(Main.tsGame));
    EXPECT_EQ(NearestHelpKeyword(Main.tvwTree), ByNew ? "table-of-contents" : "main-game");
    Select(Main.tvwTree->topLevelItem(0));
    EXPECT_EQ(Main.tsGame->edtGameFilename->text(), ByNew ? "<no name>" : "five.lvk");
  }
}

TEST_F(MainWindow, HandlerTextsAreNeverCutAndHintsStayFiveSeconds) {
  TActor* Player = nullptr;
  {
    TEdit Edit(Main.Game(), "Test");
    Player = Main.Game().AddActor();
    Player->SetName("player");
    Player->AddHandler()->SetEvent(TEventCollision::ClassKind());
  }
  Main.RebuildTree();
  QCoreApplication::processEvents();
  QTreeWidgetItem* Node = Folder(Main, 1)->child(0)->child(0);
  ASSERT_EQ(Node->text(0), "OnCollision( player, overlap )");
  const QAbstractItemView* View = Main.tvwTree;
  EXPECT_LE(View->sizeHintForColumn(0), Main.tvwTree->viewport()->width());  // fits as the window opens

  // A longer one widens the column and the tree scrolls; its tip is the whole text.
  {
    TEdit Edit(Main.Game(), "Rename actor");
    Player->SetName("aVeryLongNameForAnActorThatNeverFitsTheTree");
  }
  QCoreApplication::processEvents();
  EXPECT_GE(Main.tvwTree->header()->sectionSize(0), View->sizeHintForColumn(0));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Main.tvwTree->horizontalScrollBar()->maximum() > 0; }, 2000));
  const QPoint At = Main.tvwTree->visualItemRect(Node).center();
  QHelpEvent NodeTip(QEvent::ToolTip, At, Main.tvwTree->viewport()->mapToGlobal(At));
  QCoreApplication::sendEvent(Main.tvwTree->viewport(), &NodeTip);
  EXPECT_EQ(QToolTip::text(), "OnCollision( aVeryLongNameForAnActorThatNeverFitsTheTree, overlap )");
  QToolTip::hideText();

  QPushButton* Button = Main.tsTiles->butNewTile;
  QHelpEvent ButtonTip(QEvent::ToolTip, {5, 5}, Button->mapToGlobal(QPoint(5, 5)));
  QCoreApplication::sendEvent(Button, &ButtonTip);
  EXPECT_EQ(Button->toolTipDuration(), 5000);

  // A bigger window gives the tree a share of the room.
  const int Before = Main.tvwTree->width();
  Main.resize(1280, 900);
  QCoreApplication::processEvents();
  EXPECT_GT(Main.tvwTree->width(), Before + 100);
}

TEST_F(MainWindow, SavingAndTheGamePane) {
  test::TTempDir Dir;
  const QString Path = QString::fromStdString(Dir.File("mine.lvk"));
  Select(Main.tvwTree->topLevelItem(0));
  EXPECT_EQ(Main.tsGame->edtGameState->text(), "saved");
  EXPECT_EQ(Main.tsGame->edtEditTime->text(), "0:00");
  EXPECT_EQ(Main.tsGame->edtGameDir->text(), "");
  Main.tsGame->edtGameTitle->setFocus();
  QTest::keyClick(Main.tsGame->edtGameTitle, Qt::Key_End);
  QTest::keyClick(Main.tsGame->edtGameTitle, Qt::Key_X);
  EXPECT_EQ(Main.tsGame->edtGameState->text(), "changed");
  EXPECT_EQ(Main.Game().Title(), "<Game title>x");

  Dialogs.Files = {Path};
  EXPECT_TRUE(Main.SaveGame());  // no name yet: Save As
  EXPECT_EQ(Main.tsGame->edtRevision->text(), "1");
  EXPECT_TRUE(Main.SaveGame());
  EXPECT_EQ(Main.Game().Revision(), 2);
  Dialogs.Files = {Path};
  EXPECT_TRUE(Main.SaveGameAs());  // the same name saves again
  EXPECT_EQ(Main.tsGame->edtRevision->text(), "3");
  EXPECT_EQ(Main.tsGame->edtGameState->text(), "saved");
  EXPECT_EQ(Main.tsGame->edtGameFilename->text(), "mine.lvk");
  EXPECT_EQ(Main.tsGame->edtGameDir->text(), QString::fromStdString(Dir.Path()));

  // A save into a folder that is not there: the warning, and the command does not go on.
  Dialogs.Files = {QString::fromStdString(Dir.File("gone/x.lvk"))};
  EXPECT_FALSE(Main.SaveGameAs());
  EXPECT_EQ(Dialogs.LastText(), "Error saving file x.lvk");
  EXPECT_EQ(Main.tsGame->edtGameFilename->text(), "x.lvk");  // keeps the new name
}

TEST(GamePane, EditTimeText) {
  EXPECT_EQ(TPaneGame::EditTimeText(0), "0:00");
  EXPECT_EQ(TPaneGame::EditTimeText((125 * 60 + 7) / 86400.0), "125:07");
  EXPECT_EQ(TPaneGame::EditTimeText(59.6 / 86400.0), "1:00");
}

TEST(Help, RequestsAndTheirTexts) {
  TScriptedDialogs Dialogs;
  QWidget Owner;
  const QString Root = QCoreApplication::applicationDirPath();
  EXPECT_TRUE(AppHelp(HELP_PARTIALKEY, "event-onkey", Root, &Owner));
  ASSERT_NE(HelpWindow(), nullptr);
  EXPECT_TRUE(HelpWindow()->CurrentPage().endsWith("help/event-onkey.htm"));
  EXPECT_TRUE(AppHelp(HELP_COMMAND, "main-tile", Root, &Owner));
  EXPECT_TRUE(HelpWindow()->CurrentPage().endsWith("help/main-tile.htm"));
  EXPECT_TRUE(Dialogs.Messages.empty());
  EXPECT_TRUE(AppHelp(HELP_CONTEXT, 42, ""));
  EXPECT_EQ(Dialogs.LastText(), "Help without keyword... 42");
  EXPECT_TRUE(AppHelp(HELP_FINDER, {}, ""));
  EXPECT_EQ(Dialogs.LastText(), "Help for contents");
  EXPECT_FALSE(AppHelp(2, {}, ""));

  // Neither here nor beside the program: the warning with the relative path.
  AppHelp(HELP_KEY, "main-gone", "/opt/lurvik");
  EXPECT_EQ(Dialogs.LastText(), "Sorry, could not find help file.\n\n    help/main-gone.htm");
  EXPECT_EQ(Dialogs.Messages.back().Kind, TMsgKind::Warning);
}

TEST_F(MainWindow, F1AsksForTheNearestKeyword) {
  Select(Main.tvwTree->topLevelItem(0));
  Main.tsGame->edtGameTitle->setFocus();
  QTest::keyClick(Main.tsGame->edtGameTitle, Qt::Key_F1);
  ASSERT_NE(HelpWindow(), nullptr);
  EXPECT_TRUE(HelpWindow()->CurrentPage().endsWith("help/main-game.htm"));
  // After New the tree asks for the welcome pane's page again.
  Main.mnuNewClick();
  Main.tvwTree->setFocus();
  QTest::keyClick(Main.tvwTree, Qt::Key_F1);
  EXPECT_TRUE(HelpWindow()->CurrentPage().endsWith("help/table-of-contents.htm"));
  EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST(ErrorBox, FullStopRule) {
  EXPECT_EQ(ErrorBoxText("Bad name"), "Bad name.");
  EXPECT_EQ(ErrorBoxText("Index 3"), "Index 3.");
  EXPECT_EQ(ErrorBoxText("Done."), "Done.");
  EXPECT_EQ(ErrorBoxText("x (UGame)"), "x (UGame)");
  EXPECT_EQ(ErrorBoxText("\"tTile1\""), "\"tTile1\"");
  EXPECT_EQ(ErrorBoxText(""), "");
}

TEST(ErrorBox, ErrorsFromUserActionsAreShown) {
  TScriptedDialogs Dialogs;
  struct TThrower : QWidget {
    void mousePressEvent(QMouseEvent*) override { throw EGame("A tile with name \"x\" already exists"); }
  } W;
  W.show();
  QTest::mouseClick(&W, Qt::LeftButton);
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0].Kind, TMsgKind::Error);
  EXPECT_EQ(Dialogs.Messages[0].Text, "A tile with name \"x\" already exists.");
}

TEST_F(MainWindow, RunBeforeAnyBuild) {
  Main.mnuRun->trigger();
  EXPECT_EQ(Dialogs.LastText(), "First Game | Build, then Game | Run");
  EXPECT_TRUE(Dialogs.Started.empty());
}
