// The workflow between windows: handlers and actions copied and pasted,
// playing from the layout editor, the play window telling of changes and of
// actors nothing draws, the sample always opened as a copy.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "TScriptedDialogs.h"
#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "ui/editors/FLevelEditor.h"
#include "ui/main/FMain.h"
#include "ui/play/FPlay.h"
#include "ui/events/FraActions.h"
#include "ui/panes/PaneActor.h"
#include "ui/panes/PaneHandler.h"
#include "ui/panes/PaneLevel.h"

using namespace lvk;

namespace {

const std::string Sample = LVK_EXAMPLES "/Sample.lvk";

struct Workflow : ::testing::Test {
  TScriptedDialogs Dialogs;
  test::TTempDir Dir;
  TfrmMain Main;
  void SetUp() override {
    Main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
    ASSERT_TRUE(Main.OpenGameFile(QString::fromStdString(Sample), true));
  }
  TGame& Game() { return Main.Game(); }
  void Select(const lvk::TIdentified* Item) {
    Main.SelectNode(Main.NodeOf(Item));
    Main.tvwTree->setFocus();
  }
  // The first collision that names an actor (not any solid one).
  THandler* CollisionOf(TActor& Actor) {
    for (int h = 0; h < Actor.HandlerCount(); ++h)
      if (auto* C = dynamic_cast<TEventCollision*>(Actor.GetHandler(h)->Event()); C && !C->AnySolid())
        return Actor.GetHandler(h);
    return nullptr;
  }
};

}  // namespace

TEST_F(Workflow, HandlersAndActionsAreCopiedBetweenActorsAndGames) {
  TActor* Hero = Game().FindActorByName("aHero");
  THandler* Collision = CollisionOf(*Hero);
  ASSERT_NE(Collision, nullptr);
  const std::string Summary = Collision->Event()->Summary();
  Select(Collision);
  QTest::keyClick(Main.tvwTree, Qt::Key_C, Qt::ControlModifier);
  TActor* Other = Game().FindActorByName("aSky");
  const int Handlers = Other->HandlerCount();
  Select(Other);
  QTest::keyClick(Main.tvwTree, Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(Other->HandlerCount(), Handlers + 1);
  EXPECT_EQ(Other->GetHandler(Handlers)->Event()->Summary(), Summary);  // the same other actor
  EXPECT_EQ(Main.tvwTree->currentItem(), Main.NodeOf(Other->GetHandler(Handlers)));
  EXPECT_EQ(Main.Document().UndoName(), "Paste handler");

  // An action, copied in its list and pasted after another handler's first.
  TfraActions* Frame = Main.tsHandler->fraActions;
  THandler* Source = nullptr;
  for (int h = 0; h < Hero->HandlerCount() && !Source; ++h)
    if (Hero->GetHandler(h)->ActionCount() > 0) Source = Hero->GetHandler(h);
  ASSERT_NE(Source, nullptr);
  const std::string Action = Source->GetAction(0)->Summary();
  Select(Source);
  Frame->SelectAction(0);
  Frame->lbxActions->setFocus();
  QTest::keyClick(Frame->lbxActions, Qt::Key_C, Qt::ControlModifier);
  THandler* Into = Hero->GetHandler(0);
  const int Actions = Into->ActionCount();
  Select(Into);
  Frame->SelectAction(0);
  Frame->lbxActions->setFocus();
  QTest::keyClick(Frame->lbxActions, Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(Into->ActionCount(), Actions + 1);
  EXPECT_EQ(Into->GetAction(1)->Summary(), Action);
  EXPECT_EQ(Frame->lbxActions->currentRow(), 1);
  EXPECT_EQ(Main.Document().UndoName(), "Paste action");

  // Into a new game, where the actor it collides with is missing: it collides
  // with its own actor there.
  Select(Collision);
  QTest::keyClick(Main.tvwTree, Qt::Key_C, Qt::ControlModifier);
  Dialogs.Answers = {TMsgAnswer::No};
  Main.mnuNewClick();
  Main.SelectNode(Main.ActorsNode());
  Main.tsActors->butNewActorClick();
  TActor* Lone = Game().GetActor(0);
  Main.mnuPaste->trigger();
  ASSERT_EQ(Lone->HandlerCount(), 1);
  EXPECT_EQ(static_cast<TEventCollision*>(Lone->GetHandler(0)->Event())->OtherActor(), Lone);
  EXPECT_TRUE(Main.Document().Undo());
  EXPECT_EQ(Game().GetActor(0)->HandlerCount(), 0);
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

TEST_F(Workflow, TheLayoutEditorPlaysItsLevelAndStaysOpen) {
  TLevel* Level = Game().GetLevel(1);
  Main.SelectNode(Main.NodeOf(Level));
  bool Played = false;
  QTimer::singleShot(0, [&] {
    auto* Editor = qobject_cast<TfrmLevelEditor*>(QApplication::activeModalWidget());
    ASSERT_NE(Editor, nullptr);
    EXPECT_EQ(Editor->butPlay->shortcut(), QKeySequence(Qt::Key_F5));
    Editor->butPlay->click();
    TfrmPlay* Play = Main.PlayWindow();
    ASSERT_NE(Play, nullptr);
    // A window of the editor's, or the modal editor would keep the keys from it.
    EXPECT_EQ(Play->parentWidget(), Editor);
    EXPECT_EQ(Play->Engine().level, 1);
    EXPECT_TRUE(Editor->isVisible());
    Played = true;
    Editor->close();
  });
  Main.tsLevel->butEditLayoutClick();
  EXPECT_TRUE(Played);
  ASSERT_NE(Main.PlayWindow(), nullptr);
  EXPECT_EQ(Main.PlayWindow()->parentWidget(), &Main);
  EXPECT_TRUE(Main.PlayWindow()->isVisible());
}

TEST_F(Workflow, ThePlayWindowTellsOfChangesAndOfActorsNothingDraws) {
  Main.mnuPlay->trigger();
  TfrmPlay* Play = Main.PlayWindow();
  ASSERT_NE(Play, nullptr);
  EXPECT_TRUE(Play->lblChanged->isHidden());
  EXPECT_TRUE(Play->lblProblems->isHidden());
  // The tile of an actor drawn by its tile alone goes: it plays on unseen,
  // and the window says so. (The hero is drawn by his frames, which stay.)
  TActor* Hero = nullptr;
  for (int a = 0; a < Game().ActorCount() && !Hero; ++a)
    if (TActor* A = Game().GetActor(a); A->AnimationCount() == 0 && A->HandlerCount() > 0 && A->Tile()) Hero = A;
  ASSERT_NE(Hero, nullptr);
  Select(Hero->Tile());
  Dialogs.Answers = {TMsgAnswer::Yes};
  Main.mnuDelete->trigger();
  EXPECT_TRUE(Play->ChangedSinceStarted());
  EXPECT_FALSE(Play->lblChanged->isHidden());
  Play->RestartLevel();
  EXPECT_TRUE(Play->lblChanged->isHidden());
  // A note, not a problem: an actor with no tile is often meant (a clock).
  EXPECT_TRUE(Play->lblProblems->isHidden()) << Play->lblProblems->text().toStdString();
  EXPECT_FALSE(Play->lblNotes->isHidden());
  EXPECT_TRUE(Play->lblNotes->text().contains(QString::fromStdString(Hero->Name()) + " has no tile with a picture: it plays unseen"))
      << Play->lblNotes->text().toStdString();
}

TEST_F(Workflow, TheSampleOpensAsACopyAlsoFromTheRecentList) {
  const std::string Copy = Dir.File("Sample.lvk");
  test::WriteBytes(Copy, test::ReadBytes(Sample));
  Main.Session().SetSampleGame(QString::fromStdString(Copy));
  ASSERT_TRUE(Main.OpenGameFile(QString::fromStdString(Copy)));
  Dialogs.Answers = {TMsgAnswer::No};
  Main.mnuNewClick();
  Main.mnuRecentClick(QString::fromStdString(Copy));
  EXPECT_EQ(Game().FileName(), NoFileName);
  EXPECT_GT(Game().TileCount(), 0);
  EXPECT_FALSE(Main.Document().Modified());
  EXPECT_EQ(test::ReadBytes(Copy), test::ReadBytes(Sample));
}
