// Deleting and duplicating from the main window.
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "TScriptedDialogs.h"
#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventKey.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UTile.h"
#include "ui/main/FMain.h"
#include "ui/play/FPlay.h"
#include "ui/events/FraActions.h"
#include "ui/panes/PaneActor.h"
#include "ui/panes/PaneHandler.h"
#include "ui/panes/PaneLevel.h"
#include "ui/panes/PaneTile.h"
#include "model/UDocument.h"

using namespace lvk;

namespace {

QStringList Children(const QTreeWidgetItem* Node) {
  QStringList Texts;
  for (int i = 0; i < Node->childCount(); ++i) Texts << Node->child(i)->text(0);
  return Texts;
}

void Collide(TActor& Actor, TActor& Other) {
  THandler* H = Actor.AddHandler();
  H->SetEvent(TEventCollision::ClassKind());
  static_cast<TEventCollision*>(H->Event())->SetOtherActor(Other);
}

// Two tiles; Hero (Grass, OnKey, collides with Coin), Coin (Grass, collides
// with Hero), Wall (Stone, collides with Coin); a level with Coin in two cells.
std::string GameFile(const test::TTempDir& Dir) {
  TGame Game;
  Game.AddTile()->SetName("Grass");
  Game.AddTile()->SetName("Stone");
  TActor* Hero = Game.AddActor();
  Hero->SetName("Hero");
  TActor* Coin = Game.AddActor();
  Coin->SetName("Coin");
  TActor* Wall = Game.AddActor();
  Wall->SetName("Wall");
  Hero->SetTile(Game.GetTile(0));
  Coin->SetTile(Game.GetTile(0));
  Wall->SetTile(Game.GetTile(1));
  THandler* Key = Hero->AddHandler();
  Key->SetEvent(TEventKey::ClassKind());
  Key->AddAction(TActionSetSpeedSize::ClassKind());
  Key->AddAction(TActionSetSpeedDir::ClassKind());
  Collide(*Hero, *Coin);
  Collide(*Coin, *Hero);
  Collide(*Wall, *Coin);
  TLevel* Level = Game.AddLevel();
  Level->SetName("lOne");
  Level->SetSize(4, 3);
  Level->SetCell(1, 1, Coin);
  Level->SetCell(2, 2, Coin);
  Level->SetCell(0, 0, Wall);
  Game.SetFileName(Dir.File("game.lvk"));
  Game.Save();
  return Game.FileName();
}

struct Deleting : ::testing::Test {
  test::TTempDir Dir;
  TScriptedDialogs Dialogs;
  TfrmMain Main;
  void SetUp() override {
    Main.show();
    Main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Main));
    ASSERT_TRUE(Main.OpenGameFile(QString::fromStdString(GameFile(Dir))));
  }
  TGame& Game() { return Main.Game(); }
  QTreeWidgetItem* Node(const lvk::TIdentified* Item) { return Main.NodeOf(Item); }
  void Click(QTreeWidgetItem* Node) {
    Main.tvwTree->scrollToItem(Node);
    QTest::mouseClick(Main.tvwTree->viewport(), Qt::LeftButton, {}, Main.tvwTree->visualItemRect(Node).center());
  }
  void PressDelete() { QTest::keyClick(Main.tvwTree, Qt::Key_Delete); }
  QTreeWidgetItem* Current() { return Main.tvwTree->currentItem(); }

  // Every node stands for an item of the game, and every item has its node
  // under the right parent, in the game's order.
  void ExpectTreeMatchesGame() {
    ASSERT_EQ(Main.TilesNode()->childCount(), Game().TileCount());
    for (int i = 0; i < Game().TileCount(); ++i) {
      EXPECT_EQ(Main.TilesNode()->child(i), Node(Game().GetTile(i)));
      EXPECT_EQ(NodeItem(Game(), Main.TilesNode()->child(i)), Game().GetTile(i));
    }
    ASSERT_EQ(Main.ActorsNode()->childCount(), Game().ActorCount());
    for (int i = 0; i < Game().ActorCount(); ++i) {
      TActor* Actor = Game().GetActor(i);
      QTreeWidgetItem* ActorNode = Main.ActorsNode()->child(i);
      EXPECT_EQ(ActorNode, Node(Actor));
      EXPECT_EQ(NodeItem(Game(), ActorNode), Actor);
      EXPECT_EQ(ActorNode->text(0).toStdString(), Actor->Name());
      ASSERT_EQ(ActorNode->childCount(), Actor->HandlerCount());
      for (int h = 0; h < Actor->HandlerCount(); ++h) {
        EXPECT_EQ(NodeItem(Game(), ActorNode->child(h)), Actor->GetHandler(h));
        EXPECT_EQ(ActorNode->child(h)->text(0).toStdString(), Actor->GetHandler(h)->Event()->Summary());
      }
    }
    ASSERT_EQ(Main.LevelsNode()->childCount(), Game().LevelCount());
    for (int i = 0; i < Game().LevelCount(); ++i) EXPECT_EQ(NodeItem(Game(), Main.LevelsNode()->child(i)), Game().GetLevel(i));
  }
};

}  // namespace

TEST_F(Deleting, EachKindGoesByKeyOrMenuAndTheNextNodeIsShown) {
  TActor* Hero = Game().FindActorByName("Hero");
  TActor* Coin = Game().FindActorByName("Coin");
  // A tile two actors are drawn with: they keep no tile, the next tile is shown.
  Click(Node(Game().GetTile(0)));
  Dialogs.Answers = {TMsgAnswer::Yes};
  PressDelete();
  EXPECT_EQ(Dialogs.LastText().toStdString(), "Delete the tile \"Grass\"?\n\n2 actors are drawn with it and will have no tile.");
  EXPECT_EQ(Main.Document().UndoName(), "Delete tile");
  EXPECT_EQ(Game().TileCount(), 1);
  EXPECT_EQ(Hero->Tile(), nullptr);
  EXPECT_EQ(Coin->Tile(), nullptr);
  EXPECT_EQ(Current(), Node(Game().GetTile(0)));
  EXPECT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsTile));
  EXPECT_EQ(Main.tsTile->edtTileName->text(), "Stone");
  EXPECT_TRUE(Main.tvwTree->hasFocus());
  EXPECT_TRUE(Main.isWindowModified());
  ExpectTreeMatchesGame();

  // The last tile: the folder is next.
  Dialogs.Answers = {TMsgAnswer::Yes};
  Main.mnuDelete->trigger();
  EXPECT_EQ(Game().TileCount(), 0);
  EXPECT_EQ(Current(), Main.TilesNode());
  EXPECT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsTiles));
  EXPECT_FALSE(Main.mnuDelete->isEnabled());

  // A handler through the Edit menu; the actor's other handler is next.
  Click(Node(Hero->GetHandler(0)));
  Dialogs.Answers = {TMsgAnswer::Yes};
  Main.mnuDelete->trigger();
  EXPECT_EQ(Dialogs.LastText().toStdString(), "Delete the handler OnKey( A, release ) of the actor \"Hero\"?");
  EXPECT_EQ(Main.Document().UndoName(), "Delete handler");
  ASSERT_EQ(Hero->HandlerCount(), 1);
  EXPECT_EQ(Current(), Node(Hero->GetHandler(0)));
  EXPECT_EQ(Main.tsHandler->Handler(), Hero->GetHandler(0));
  // Its last handler: the actor is next.
  Dialogs.Answers = {TMsgAnswer::Yes};
  PressDelete();
  EXPECT_EQ(Hero->HandlerCount(), 0);
  EXPECT_EQ(Current(), Node(Hero));
  EXPECT_EQ(Main.tsActor->Actor(), Hero);
  EXPECT_EQ(Main.tsHandler->Handler(), nullptr);

  // The only level: the Levels folder is next.
  Click(Node(Game().GetLevel(0)));
  Dialogs.Answers = {TMsgAnswer::Yes};
  PressDelete();
  EXPECT_EQ(Dialogs.LastText().toStdString(), "Delete the level \"lOne\"?");
  EXPECT_EQ(Main.Document().UndoName(), "Delete level");
  EXPECT_EQ(Game().LevelCount(), 0);
  EXPECT_EQ(Current(), Main.LevelsNode());
  EXPECT_EQ(Main.tsLevel->Level(), nullptr);
  ExpectTreeMatchesGame();
  // A delayed click on a released pane's button finds nothing to act on.
  Main.tsLevel->butEditLayout->click();
  Main.tsHandler->butEventOther->click();
  Main.tsTile->butTileImport->click();
  EXPECT_TRUE(Dialogs.FileRequests.empty());
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

TEST_F(Deleting, AnActorTakesTheCollisionsNamingItAndEmptiesItsCells) {
  TActor* Hero = Game().FindActorByName("Hero");
  TActor* Coin = Game().FindActorByName("Coin");
  TActor* Wall = Game().FindActorByName("Wall");
  TLevel* Level = Game().GetLevel(0);
  // The (hidden) handler pane still holds a collision naming the coin.
  Click(Node(Wall->GetHandler(0)));
  Click(Node(Coin));
  Dialogs.Answers = {TMsgAnswer::Yes};
  PressDelete();
  EXPECT_EQ(Dialogs.LastText().toStdString(),
            "Delete the actor \"Coin\" with its 1 handler?\n\n"
            "These collision handlers of other actors name it and are deleted with it:\n"
            "Hero: OnCollision( Coin, overlap )\n"
            "Wall: OnCollision( Coin, overlap )\n\n"
            "2 level cells hold it and will become empty.");
  EXPECT_EQ(Main.Document().UndoName(), "Delete actor");
  EXPECT_EQ(Game().FindActorByName("Coin"), nullptr);
  EXPECT_EQ(Hero->HandlerCount(), 1);
  EXPECT_EQ(Wall->HandlerCount(), 0);
  EXPECT_EQ(Level->GetCell(1, 1), nullptr);
  EXPECT_EQ(Level->GetCell(2, 2), nullptr);
  EXPECT_EQ(Level->GetCell(0, 0), Wall);
  EXPECT_EQ(Current(), Node(Wall));
  EXPECT_EQ(Main.tsActor->edtActorName->text(), "Wall");
  EXPECT_EQ(Main.tsHandler->Handler(), nullptr);
  EXPECT_EQ(Main.tsHandler->Editor(), nullptr);
  ExpectTreeMatchesGame();
  Main.tvwTree->viewport()->repaint();  // every node drawn from a live item
}

TEST_F(Deleting, NoKeepsEverythingAndTheKeyStaysWithTheFields) {
  const QStringList Tiles = Children(Main.TilesNode()), Actors = Children(Main.ActorsNode());
  for (QTreeWidgetItem* N : {Node(Game().GetTile(1)), Node(Game().GetActor(1)),
                             Node(Game().GetActor(0)->GetHandler(1)), Node(Game().GetLevel(0))}) {
    Click(N);
    Dialogs.Answers = {TMsgAnswer::No};
    PressDelete();
    EXPECT_EQ(Current(), N);
  }
  EXPECT_EQ(Dialogs.Messages.size(), 4u);
  EXPECT_EQ(Children(Main.TilesNode()), Tiles);
  EXPECT_EQ(Children(Main.ActorsNode()), Actors);
  EXPECT_EQ(Game().GetActor(0)->HandlerCount(), 2);
  EXPECT_EQ(Game().LevelCount(), 1);
  EXPECT_FALSE(Game().Modified());
  EXPECT_EQ(Main.tsLevel->Level(), Game().GetLevel(0));

  // Del in a name field deletes a character, not the level.
  QLineEdit* Field = Main.tsLevel->edtLevelName;
  Field->setFocus();
  Field->setCursorPosition(0);
  QTest::keyClick(Field, Qt::Key_Delete);
  EXPECT_EQ(Field->text(), "One");
  EXPECT_EQ(Dialogs.Messages.size(), 4u);
  EXPECT_EQ(Main.mnuDelete->shortcut(), QKeySequence(QKeySequence::Delete));
  EXPECT_EQ(Main.mnuDuplicate->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
  ExpectTreeMatchesGame();
}

TEST_F(Deleting, TheContextMenuActsOnTheNodeUnderTheMouse) {
  // Folders have no menu; handlers are duplicated and copied too.
  EXPECT_EQ(Main.CreateNodeMenu(Main.ActorsNode()), nullptr);
  std::unique_ptr<QMenu> HandlerMenu(Main.CreateNodeMenu(Node(Game().GetActor(0)->GetHandler(0))));
  ASSERT_NE(HandlerMenu, nullptr);
  EXPECT_TRUE(HandlerMenu->findChild<QAction*>("mnuNodeDuplicate")->isEnabled());
  EXPECT_TRUE(HandlerMenu->findChild<QAction*>("mnuNodeDelete")->isEnabled());
  EXPECT_TRUE(HandlerMenu->findChild<QAction*>("mnuNodeCopy")->isEnabled());
  HandlerMenu.reset();

  // A right click on a level selects it and pops up the menu; Delete there.
  QTreeWidgetItem* LevelNode = Node(Game().GetLevel(0));
  Main.tvwTree->scrollToItem(LevelNode);
  const QPoint At = Main.tvwTree->visualItemRect(LevelNode).center();
  QStringList Entries;
  QTimer::singleShot(50, [&] {
    auto* Popup = Main.findChild<QMenu*>("mnuNode");
    if (!Popup) return;  // then no menu waits either
    for (QAction* A : Popup->actions()) Entries << A->text();
    Dialogs.Answers = {TMsgAnswer::Yes};
    Popup->findChild<QAction*>("mnuNodeDelete")->trigger();
    Popup->close();
  });
  QContextMenuEvent Event(QContextMenuEvent::Mouse, At, Main.tvwTree->viewport()->mapToGlobal(At));
  QApplication::sendEvent(Main.tvwTree->viewport(), &Event);
  EXPECT_EQ(Entries, (QStringList{"D&uplicate", "&Delete", "", "&Copy", "&Paste"}));
  EXPECT_EQ(Game().LevelCount(), 0);
  EXPECT_EQ(Current(), Main.LevelsNode());

  // The Menu key: the menu of the current node; Duplicate there.
  Click(Node(Game().GetTile(1)));
  QTimer::singleShot(50, [&] {
    if (auto* Popup = Main.findChild<QMenu*>("mnuNode")) {
      Popup->findChild<QAction*>("mnuNodeDuplicate")->trigger();
      Popup->close();
    }
  });
  QContextMenuEvent Key(QContextMenuEvent::Keyboard, {}, Main.tvwTree->mapToGlobal(QPoint()));
  QApplication::sendEvent(Main.tvwTree, &Key);
  EXPECT_EQ(Game().TileCount(), 3);
  EXPECT_EQ(Current(), Node(Game().GetTile(2)));
}

TEST_F(Deleting, DuplicatesAreNewNodesSelected) {
  TActor* Hero = Game().FindActorByName("Hero");
  Click(Node(Hero));
  QTest::keyClick(Main.tvwTree, Qt::Key_D, Qt::ControlModifier);
  EXPECT_EQ(Main.Document().UndoName(), "Duplicate actor");
  ASSERT_EQ(Game().ActorCount(), 4);
  TActor* Copy = Game().GetActor(3);
  EXPECT_NE(Copy->Name(), "Hero");
  EXPECT_EQ(Copy->HandlerCount(), 2);
  EXPECT_EQ(Current(), Node(Copy));
  EXPECT_EQ(Main.tsActor->edtActorName->text().toStdString(), Copy->Name());

  Click(Node(Game().GetTile(1)));
  Main.mnuDuplicate->trigger();
  EXPECT_EQ(Main.Document().UndoName(), "Duplicate tile");
  ASSERT_EQ(Game().TileCount(), 3);
  EXPECT_EQ(Current(), Node(Game().GetTile(2)));

  Click(Node(Game().GetLevel(0)));
  Main.mnuDuplicate->trigger();
  EXPECT_EQ(Main.Document().UndoName(), "Duplicate level");
  ASSERT_EQ(Game().LevelCount(), 2);
  EXPECT_EQ(Game().GetLevel(1)->GetCell(1, 1), Game().FindActorByName("Coin"));
  EXPECT_EQ(Current(), Node(Game().GetLevel(1)));
  ExpectTreeMatchesGame();

  // A handler's copy goes to its own actor; folders have none.
  Click(Node(Copy->GetHandler(0)));
  EXPECT_TRUE(Main.mnuDuplicate->isEnabled());
  const int Handlers = Copy->HandlerCount();
  ASSERT_NE(Main.DuplicateNode(Current()), nullptr);
  EXPECT_EQ(Copy->HandlerCount(), Handlers + 1);
  EXPECT_EQ(Current(), Node(Copy->GetHandler(Handlers)));
  EXPECT_EQ(Main.Document().UndoName(), "Duplicate handler");
  EXPECT_EQ(Main.DuplicateNode(Main.TilesNode()), nullptr);
  EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(Deleting, ActionsGoFromTheHandlerPaneByButtonKeyAndMenu) {
  THandler* Key = Game().FindActorByName("Hero")->GetHandler(0);
  test::Edit(Game(), [&] { Key->AddAction(TActionSetSpeedSize::ClassKind()); });
  Click(Node(Key));
  TfraActions* Frame = Main.tsHandler->fraActions;
  ASSERT_EQ(Frame->lbxActions->count(), 3);
  Frame->SelectAction(0);
  Frame->lbxActions->setFocus();
  // An action goes without a question: undo brings it back.
  QTest::keyClick(Frame->lbxActions, Qt::Key_Delete);
  EXPECT_EQ(Main.Document().UndoName(), "Delete action");
  ASSERT_EQ(Key->ActionCount(), 2);
  EXPECT_EQ(&Key->GetAction(0)->Kind(), &TActionSetSpeedDir::ClassKind());
  EXPECT_EQ(Frame->lbxActions->currentRow(), 0);
  EXPECT_TRUE(Game().Modified());

  Frame->SelectAction(1);
  std::unique_ptr<QMenu> Menu(Frame->CreateActionMenu());
  EXPECT_TRUE(Menu->findChild<QAction*>("mnuActionUp")->isEnabled());
  EXPECT_FALSE(Menu->findChild<QAction*>("mnuActionDown")->isEnabled());
  Menu->findChild<QAction*>("mnuActionDelete")->trigger();
  ASSERT_EQ(Key->ActionCount(), 1);
  EXPECT_EQ(Frame->lbxActions->currentRow(), 0);  // the last one went: the one before

  Frame->butActionDelete->click();
  EXPECT_EQ(Key->ActionCount(), 0);
  EXPECT_FALSE(Frame->butActionDelete->isEnabled());
  std::unique_ptr<QMenu> Empty(Frame->CreateActionMenu());
  EXPECT_FALSE(Empty->findChild<QAction*>("mnuActionDelete")->isEnabled());
  EXPECT_EQ(Dialogs.Messages.size(), 0u);
  EXPECT_EQ(Dialogs.Unexpected, 0);
  EXPECT_EQ(Game().FindActorByName("Hero")->HandlerCount(), 2);  // the tree's Delete was not asked
}

// The play window plays its own copy of the tables: deleting under it frees
// nothing it uses, and Restart takes the game as it is then.
TEST(DeletingWhilePlaying, ThePlayWindowPlaysOnAndRestartsOnTheEditedGame) {
  TScriptedDialogs Dialogs;
  TfrmMain Main;
  ASSERT_TRUE(Main.OpenGameFile(LVK_EXAMPLES "/Sample.lvk"));
  Main.mnuPlay->trigger();
  TfrmPlay* Play = Main.PlayWindow();
  ASSERT_NE(Play, nullptr);
  Play->RunFrames(10);
  const int Actors = Play->Engine().game->actor_count;

  TGame& Game = Main.Game();
  TActor* Named = nullptr;  // an actor that others' collisions name
  for (int i = 0; i < Game.ActorCount() && !Named; ++i)
    if (!Game.HandlersNaming(*Game.GetActor(i)).empty()) Named = Game.GetActor(i);
  ASSERT_NE(Named, nullptr);
  Dialogs.Answers = {TMsgAnswer::Yes, TMsgAnswer::Yes, TMsgAnswer::Yes};
  ASSERT_TRUE(Main.DeleteNode(Main.NodeOf(Named)));
  ASSERT_TRUE(Main.DeleteNode(Main.NodeOf(Game.GetTile(0))));
  ASSERT_TRUE(Main.DeleteNode(Main.NodeOf(Game.GetLevel(Game.LevelCount() - 1))));
  Play->RunFrames(30);
  QTest::qWait(50);  // the frame clock runs too
  EXPECT_GE(Play->Engine().frame, 40u);
  EXPECT_EQ(Play->Engine().game->actor_count, Actors);

  Play->butRestart->click();
  EXPECT_EQ(Play->Engine().frame, 0u);
  EXPECT_EQ(Play->Engine().game->actor_count, Actors - 1);
  Play->RunFrames(10);
  Play->close();
}

// As the question for an actor names the cells that hold it, the one for a
// tile names the actors' frames that show it.
TEST_F(Deleting, TheQuestionForATileNamesTheFramesThatShowIt) {
  TTile* Stone = Game().FindTileByName("Stone");
  test::Edit(Game(), [&] {
    TActor* Hero = Game().FindActorByName("Hero");
    Hero->SetAnimationName(Hero->AddAnimation(), "walk");
    Hero->SetFrameTile(0, 0, 0, Stone);
    Hero->AddFrame(0);
    Hero->AddFrame(0, {Stone});
    Hero->SetFrameTile(Hero->AddAnimation(), 0, 0, Stone);
    Game().FindActorByName("Coin")->AddAnimation();
  });
  Click(Node(Stone));
  Dialogs.Answers = {TMsgAnswer::No};
  PressDelete();
  EXPECT_EQ(Dialogs.LastText().toStdString(),
            "Delete the tile \"Stone\"?\n\n1 actor is drawn with it and will have no tile.\n\n"
            "These actors' frames show it and will have an empty cell there:\nHero: walk frames 1, 3; Anim2 frame 1");
  EXPECT_EQ(Game().TileCount(), 2);
}
