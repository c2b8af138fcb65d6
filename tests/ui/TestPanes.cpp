// The item panes of the main window, driven as a user drives them.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QTimer>
#include <QToolButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "TScriptedDialogs.h"
#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "model/UDocument.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "ui/events/FEventSelector.h"
#include "ui/common/FHelp.h"
#include "ui/main/FMain.h"
#include "ui/main/UDocumentSession.h"
#include "ui/panes/PaneActor.h"
#include "ui/panes/PaneHandler.h"
#include "ui/panes/PaneLevel.h"
#include "ui/panes/PaneTile.h"
#include "ui/panes/UActorLook.h"
#include "ui/common/UHelp.h"

using namespace lvk;

namespace {

struct Panes : ::testing::Test {
  TScriptedDialogs Dialogs;
  TfrmMain Main;
  void SetUp() override {
    Main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
  }
  QTreeWidgetItem* Folder(int Index) { return Main.tvwTree->topLevelItem(0)->child(Index); }
  void Click(QWidget* W, Qt::KeyboardModifiers Mods = {}) { QTest::mouseClick(W, Qt::LeftButton, Mods); }
  TPane* Visible() { return Main.VisiblePane(); }
};

QStringList Children(QTreeWidgetItem* Node) {
  QStringList Texts;
  for (int i = 0; i < Node->childCount(); ++i) Texts << Node->child(i)->text(0);
  return Texts;
}

}  // namespace

TEST_F(Panes, CtrlClickKeepsTheFolderPane) {
  Main.SelectNode(Folder(0));
  ASSERT_EQ(Visible(), static_cast<TPane*>(Main.tsTiles));
  for (int i = 0; i < 3; ++i) Click(Main.tsTiles->butNewTile, Qt::ControlModifier);
  EXPECT_EQ(Main.Game().TileCount(), 3);
  EXPECT_EQ(Children(Folder(0)), (QStringList{"tTile1", "tTile2", "tTile3"}));
  EXPECT_EQ(Visible(), static_cast<TPane*>(Main.tsTiles));
  Click(Main.tsTiles->butNewTile);
  EXPECT_EQ(Visible(), static_cast<TPane*>(Main.tsTile));
  EXPECT_EQ(Main.tsTile->Tile(), Main.Game().GetTile(3));
  EXPECT_EQ(Main.tsTile->edtTileName->text(), "tTile4");
  EXPECT_EQ(Main.tsTile->Caption(), "Tile");
}

TEST_F(Panes, RenamingOnEnterAndItsErrors) {
  Main.SelectNode(Folder(0));
  Click(Main.tsTiles->butNewTile, Qt::ControlModifier);
  Click(Main.tsTiles->butNewTile);
  QLineEdit* Name = Main.tsTile->edtTileName;
  Name->setFocus();
  Name->selectAll();
  QTest::keyClicks(Name, "Grass");
  QTest::keyClick(Name, Qt::Key_Return);
  EXPECT_EQ(Main.Game().GetTile(1)->Name(), "Grass");
  EXPECT_EQ(Folder(0)->child(1)->text(0), "Grass");

  Name->selectAll();
  QTest::keyClicks(Name, "TTILE1");
  QTest::keyClick(Name, Qt::Key_Return);
  ASSERT_FALSE(Dialogs.Messages.empty());
  EXPECT_EQ(Dialogs.Messages.back().Kind, TMsgKind::Error);
  EXPECT_EQ(Dialogs.LastText(), "A tile with name \"TTILE1\" already exists.");
  EXPECT_EQ(Main.Game().GetTile(1)->Name(), "Grass");
  EXPECT_EQ(Folder(0)->child(1)->text(0), "Grass");
  EXPECT_EQ(Name->text(), "TTILE1");
  EXPECT_TRUE(Name->hasFocus());

  // Leaving the field checks the same text again; a click on the node shown
  // does not put the old name back into the field.
  const size_t Asked = Dialogs.Messages.size();
  QTreeWidgetItem* Node = Folder(0)->child(1);
  QTest::mouseClick(Main.tvwTree->viewport(), Qt::LeftButton, {}, Main.tvwTree->visualItemRect(Node).center());
  EXPECT_EQ(Dialogs.Messages.size(), Asked + 1);
  EXPECT_EQ(Dialogs.LastText(), "A tile with name \"TTILE1\" already exists.");
  EXPECT_EQ(Name->text(), "TTILE1");
  EXPECT_EQ(Node->text(0), "Grass");
  EXPECT_EQ(Main.Game().GetTile(1)->Name(), "Grass");
}

TEST_F(Panes, ActorRenameReachesEveryCollisionSummary) {
  {
    TEdit Edit(Main.Game(), "Test");
    TActor* A = Main.Game().AddActor();
    TActor* B = Main.Game().AddActor();
    for (TActor* Other : {A, A, B}) {
      THandler* H = (Other == B ? A : B)->AddHandler();
      H->SetEvent(TEventCollision::ClassKind());
      static_cast<TEventCollision*>(H->Event())->SetOtherActor(*Other);
    }
  }
  Main.RebuildTree();
  Main.SelectNode(Folder(1)->child(0));
  QLineEdit* Name = Main.tsActor->edtActorName;
  Name->setFocus();
  Name->selectAll();
  QTest::keyClicks(Name, "Hero");
  QTest::keyClick(Name, Qt::Key_Return);
  EXPECT_EQ(Children(Folder(1)->child(0)), (QStringList{"OnCollision( aActor2, overlap )"}));
  EXPECT_EQ(Children(Folder(1)->child(1)),
            (QStringList{"OnCollision( Hero, overlap )", "OnCollision( Hero, overlap )"}));
}

TEST_F(Panes, ActorTilesAndTheTree) {
  TTile* A = nullptr;
  {
    TEdit Edit(Main.Game(), "Test");
    A = Main.Game().AddTile();
    Main.Game().AddTile()->SetName("Wall");
  }
  Main.RebuildTree();
  Main.SelectNode(Folder(1));
  Click(Main.tsActors->butNewActor);
  ASSERT_EQ(Visible(), static_cast<TPane*>(Main.tsActor));
  QComboBox* Tiles = Main.tsActor->cbxActorTiles;
  ASSERT_EQ(Tiles->count(), 3);
  EXPECT_EQ(Tiles->itemText(0), "<no tile>");
  EXPECT_EQ(Tiles->itemText(2), "Wall");
  EXPECT_EQ(Tiles->currentIndex(), 0);

  Tiles->setFocus();
  QTest::keyClick(Tiles, Qt::Key_Down);  // chooses tTile1
  TActor* Actor = Main.Game().GetActor(0);
  EXPECT_EQ(Actor->Tile(), A);
  QTest::keyClick(Tiles, Qt::Key_Up);
  EXPECT_EQ(Actor->Tile(), nullptr);
}

TEST_F(Panes, NewHandlersGetTwoActions) {
  test::Edit(Main.Game(), [&] { Main.Game().AddActor(); });
  Main.RebuildTree();
  Main.SelectNode(Folder(1)->child(0));
  ASSERT_EQ(Main.tsActor->HandlerButtons.size(), 9u);
  EXPECT_EQ(Main.tsActor->HandlerButtons[4]->toolTip(), "OnCollision");
  EXPECT_EQ(Main.tsActor->HandlerButtons[4]->statusTip(), "Fires when an actor collides with another actor");
  Click(Main.tsActor->HandlerButtons[2], Qt::ControlModifier);  // OnKey, staying on the actor
  EXPECT_EQ(Visible(), static_cast<TPane*>(Main.tsActor));
  Click(Main.tsActor->HandlerButtons[4]);
  THandler* H = Main.Game().GetActor(0)->GetHandler(1);
  ASSERT_EQ(H->ActionCount(), 2);
  EXPECT_EQ(&H->GetAction(0)->Kind(), &TActionSetSpeedSize::ClassKind());
  EXPECT_EQ(&H->GetAction(1)->Kind(), &TActionSetSpeedDir::ClassKind());
  EXPECT_EQ(Children(Folder(1)->child(0)), (QStringList{"OnKey( A, release )", "OnCollision( aActor1, overlap )"}));
  EXPECT_EQ(Visible(), static_cast<TPane*>(Main.tsHandler));
  EXPECT_EQ(Main.tsHandler->Caption(), "OnCollision handler");

  Click(Main.tsHandler->butEventHelp);
  ASSERT_NE(HelpWindow(), nullptr);
  EXPECT_TRUE(HelpWindow()->CurrentPage().endsWith("help/event-oncollision.htm"));
}

TEST_F(Panes, SolidTickIsOneStepAndFollowsUndo) {
  test::Edit(Main.Game(), [&] { Main.Game().AddActor(); });
  Main.SelectNode(Folder(1)->child(0));
  EXPECT_FALSE(Main.tsActor->cbxActorSolid->isChecked());
  EXPECT_TRUE(Main.tsActor->cbxActorSolid->toolTip().contains("<any solid actor>"));
  Click(Main.tsActor->cbxActorSolid);
  EXPECT_TRUE(Main.Game().GetActor(0)->Solid());
  EXPECT_EQ(Main.Session().UndoText(), "Undo Make actor solid");
  Main.mnuUndoClick();
  EXPECT_FALSE(Main.Game().GetActor(0)->Solid());
  EXPECT_FALSE(Main.tsActor->cbxActorSolid->isChecked());

  // The key of "New event handler" moves to the buttons and presses none.
  Main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Main));
  QTest::keyClick(&Main, Qt::Key_V, Qt::AltModifier);
  QTest::qWait(300);  // a button's animated click comes after 100 ms
  EXPECT_EQ(QApplication::focusWidget(), Main.tsActor->HandlerButtons.front());
  EXPECT_EQ(Main.Game().GetActor(0)->HandlerCount(), 0);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Main.tsActor->HandlerButtons[1]);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), Main.tsActor->HandlerButtons[0]);
  // Before the buttons: the look's controls, of which a new actor has only
  // the size, the list and New enabled.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), Main.tsActor->pnlLook->butNewAnimation);
}

TEST_F(Panes, NewLevelsAreFullSize) {
  Main.SelectNode(Folder(2));
  Click(Main.tsLevels->butNewLevel);
  ASSERT_EQ(Main.Game().LevelCount(), 1);
  EXPECT_EQ(Main.Game().GetLevel(0)->Width(), 32);
  EXPECT_EQ(Main.Game().GetLevel(0)->Height(), 24);
  EXPECT_EQ(Visible(), static_cast<TPane*>(Main.tsLevel));
  EXPECT_EQ(Main.tsLevel->edtLevelName->text(), "lLevel1");
}

TEST_F(Panes, TileImportAndExport) {
  test::TTempDir Dir;
  test::Edit(Main.Game(), [&] { Main.Game().AddTile(); });
  Main.RebuildTree();
  Main.SelectNode(Folder(0)->child(0));
  test::SolidBitmap(8, 8, 24, 0x0000FF).SaveToFile(Dir.File("red.bmp"));
  Dialogs.Files = {QString::fromStdString(Dir.File("red.bmp"))};
  Click(Main.tsTile->butTileImport);
  EXPECT_EQ(Dialogs.FileRequests.back().Title, "Import tile image");
  EXPECT_EQ(Main.Game().GetTile(0)->Bitmap().GetColor(0, 0), 0x0000FFu);
  EXPECT_TRUE(Dialogs.Messages.empty());

  Dialogs.Files = {QString::fromStdString(Dir.File("out.bmp"))};
  Click(Main.tsTile->butTileExport);
  EXPECT_EQ(Dialogs.FileRequests.back().Title, "Export tile image");
  EXPECT_EQ(Dialogs.FileRequests.back().Directory, QString::fromStdString(Dir.Path()));  // shared folder
  EXPECT_EQ(test::ReadBytes(Dir.File("out.bmp")), test::ReadBytes(Dir.File("red.bmp")));

  test::SolidBitmap(16, 16, 24, 0).SaveToFile(Dir.File("big.bmp"));
  Dialogs.Files = {QString::fromStdString(Dir.File("big.bmp"))};
  Click(Main.tsTile->butTileImport);
  EXPECT_EQ(Dialogs.LastText(), "Error importing bitmap big.bmp\nHeight of image is 16, but it must be 8");
  Dialogs.Files = {QString::fromStdString(Dir.File("nofolder/x.bmp"))};
  Click(Main.tsTile->butTileExport);
  EXPECT_TRUE(Dialogs.LastText().startsWith("Error exporting bitmap x.bmp\n"));
}

TEST_F(Panes, OtherReplacesTheEventAndItsFrame) {
  THandler* H = nullptr;
  test::Edit(Main.Game(), [&] {
    H = Main.Game().AddActor()->AddHandler();
    H->SetEvent(EventKindAt(0));
  });
  Main.RebuildTree();
  QTreeWidgetItem* Node = Folder(1)->child(0)->child(0);
  Main.SelectNode(Node);
  QWidget* FirstFrame = Main.tsHandler->Editor();
  ASSERT_NE(FirstFrame, nullptr);
  EXPECT_EQ(Main.tsHandler->Caption(), "OnCreate handler");
  // The selector is modal: choose OnKey (position 2) once it is up.
  QTimer::singleShot(0, [] {
    auto* Selector = qobject_cast<TfrmEventSelector*>(QApplication::activeModalWidget());
    ASSERT_NE(Selector, nullptr);
    Selector->KindButtons[2]->click();
  });
  Main.tsHandler->butEventOther->click();
  EXPECT_EQ(H->Event()->Kind().DisplayName(), "OnKey");
  EXPECT_TRUE(Main.Game().Modified());
  EXPECT_EQ(Main.tsHandler->Caption(), "OnKey handler");
  EXPECT_EQ(Node->text(0), "OnKey( A, release )");
  EXPECT_NE(Main.tsHandler->Editor(), nullptr);
  EXPECT_EQ(Main.tsHandler->gbxEventEditor->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
}

TEST_F(Panes, LevelSizeAsksBeforeDroppingActorsAndIsOneStep) {
  TActor* Hero = nullptr;
  test::Edit(Main.Game(), [&] {
    Hero = Main.Game().AddActor();
    TLevel* Level = Main.Game().AddLevel();
    Level->SetSize(32, 24);
    Level->SetCell(0, 0, Hero);
    Level->SetCell(31, 23, Hero);
  });
  Main.SelectNode(Folder(2)->child(0));
  TPaneLevel& Pane = *Main.tsLevel;
  ASSERT_EQ(Visible(), static_cast<TPane*>(&Pane));
  EXPECT_EQ(Pane.spnLevelWidth->value(), 32);
  TLevel* Level = Main.Game().GetLevel(0);

  // Growing to the left (cells kept at the right) drops nothing and asks nothing.
  Pane.spnLevelWidth->setValue(128);
  Pane.cbxLevelAnchor->setCurrentIndex(2);  // top right
  Click(Pane.butLevelResize);
  EXPECT_TRUE(Dialogs.Messages.empty());
  EXPECT_EQ(Level->Width(), 128);
  EXPECT_EQ(Level->GetCell(96, 0), Hero);
  EXPECT_EQ(Main.Session().UndoText(), "Undo Change level size");

  // Shrinking back from the right drops the hero at the far end: asked
  // first; No keeps the level, Yes shrinks it.
  Pane.spnLevelWidth->setValue(32);
  Pane.cbxLevelAnchor->setCurrentIndex(0);
  Dialogs.Answers = {TMsgAnswer::No, TMsgAnswer::Yes};
  Click(Pane.butLevelResize);
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_TRUE(Dialogs.Messages[0].Text.contains("drops 2 placed actors")) << Dialogs.Messages[0].Text.toStdString();
  EXPECT_EQ(Level->Width(), 128);
  EXPECT_EQ(Pane.spnLevelWidth->value(), 128);  // the pane shows the level again
  Pane.spnLevelWidth->setValue(32);
  Click(Pane.butLevelResize);
  EXPECT_EQ(Level->Width(), 32);
  Main.mnuUndoClick();
  Level = Main.Game().GetLevel(0);
  EXPECT_EQ(Level->Width(), 128);
  EXPECT_EQ(Level->GetCell(127, 23), Main.Game().GetActor(0));

  // The camera's settings are one step each and reach the model.
  Pane.cbxCameraFollow->setCurrentIndex(1);
  emit Pane.cbxCameraFollow->activated(1);
  EXPECT_EQ(Main.Game().GetLevel(0)->Camera().Follow, Main.Game().GetActor(0));
  Click(Pane.chkLockY);
  EXPECT_TRUE(Main.Game().GetLevel(0)->Camera().LockY);
  EXPECT_EQ(Main.Session().UndoText(), "Undo Change level camera");
  Main.mnuUndoClick();
  EXPECT_FALSE(Main.Game().GetLevel(0)->Camera().LockY);
  EXPECT_FALSE(Pane.chkLockY->isChecked());
}

// The actor's look in its pane: every change one step that undo takes back
// and the pane follows; frames picked from the tiles; the preview plays the
// animation at its frame length.
TEST_F(Panes, TheActorsLookIsEditedStepByStepAndPreviewed) {
  test::Edit(Main.Game(), [&] {
    for (int i = 0; i < 4; ++i) Main.Game().AddTile();
    Main.Game().AddActor();
  });
  Main.SelectNode(Folder(1)->child(0));
  TActorLookPanel* Look = Main.tsActor->pnlLook;
  TActor& Actor = *Main.Game().GetActor(0);
  EXPECT_EQ(Look->cbxActorSize->currentText(), "8x8");
  EXPECT_FALSE(Look->lstFrames->isEnabled());
  EXPECT_EQ(Look->PreviewFrame(), -1);

  const int Square16 = Look->cbxActorSize->findText("16x16");
  Look->cbxActorSize->setCurrentIndex(Square16);
  emit Look->cbxActorSize->activated(Square16);
  EXPECT_EQ(Actor.Width(), 16);
  EXPECT_EQ(Main.Session().UndoText(), "Undo Change actor's size");

  Click(Look->butNewAnimation);
  ASSERT_EQ(Actor.AnimationCount(), 1);
  EXPECT_EQ(QApplication::focusWidget(), Look->edtAnimationName);
  QTest::keyClicks(Look->edtAnimationName, "Walk");
  QTest::keyClick(Look->edtAnimationName, Qt::Key_Return);
  EXPECT_EQ(Actor.GetAnimation(0).Name, "Walk");
  EXPECT_EQ(Look->lstAnimations->item(0)->text(), "Walk");

  // The first tile and the three after it fill the frame, row by row.
  Look->cbxFrameTiles->setCurrentIndex(1);
  emit Look->cbxFrameTiles->activated(1);
  const TGame& Game = Main.Game();
  EXPECT_EQ(Actor.FrameTiles(0, 0), (TFrameTiles{Game.GetTile(0), Game.GetTile(1), Game.GetTile(2), Game.GetTile(3)}));
  // The new frame gets copies of the four tiles, after them in the list.
  Click(Look->butAddFrame);
  ASSERT_EQ(Actor.FrameCount(0), 2);
  EXPECT_EQ(Look->lstFrames->currentRow(), 1);
  EXPECT_EQ(Actor.FrameTiles(0, 1), (TFrameTiles{Game.GetTile(4), Game.GetTile(5), Game.GetTile(6), Game.GetTile(7)}));
  Look->cbxFrameTiles->setCurrentIndex(7);
  emit Look->cbxFrameTiles->activated(7);
  EXPECT_EQ(Actor.FrameTiles(0, 1), (TFrameTiles{Game.GetTile(6), Game.GetTile(7), nullptr, nullptr}));
  EXPECT_EQ(Actor.FrameTiles(0, 0)[0], Game.GetTile(0));  // the copy is a frame of its own
  Look->spnFrameLength->setValue(2);
  EXPECT_EQ(Actor.GetAnimation(0).FrameLength, 2);

  // Two frames of two DS frames each: 0 0 1 1 0 ...
  EXPECT_EQ(Look->PreviewFrame(), 0);
  std::string Shown;
  for (int i = 0; i < 5; ++i) {
    Look->PreviewTick();
    Shown += std::to_string(Look->PreviewFrame());
  }
  EXPECT_EQ(Shown, "01100");

  // Undo, step by step, and the pane shows each state.
  EXPECT_EQ(Main.Session().UndoText(), "Undo Change frame length");
  Main.mnuUndoClick();
  EXPECT_EQ(Look->spnFrameLength->value(), 8);
  Main.mnuUndoClick();
  Main.mnuUndoClick();
  EXPECT_EQ(Main.Game().GetActor(0)->FrameCount(0), 1);
  EXPECT_EQ(Look->lstFrames->count(), 1);
  // A name the actor has already is refused with the error box; nothing changes.
  Click(Look->butNewAnimation);
  QTest::keyClicks(Look->edtAnimationName, "walk");
  QTest::keyClick(Look->edtAnimationName, Qt::Key_Return);
  EXPECT_EQ(Main.Game().GetActor(0)->GetAnimation(1).Name, "Anim2");
  EXPECT_TRUE(Dialogs.LastText().contains("already exists")) << Dialogs.LastText().toStdString();
}
