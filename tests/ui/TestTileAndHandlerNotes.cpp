// The tile pane's transparent colour and the handler pane's comment: each
// change one undo step, the tree showing the comment after the summary.
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "TScriptedDialogs.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/UTile.h"
#include "ui/main/FMain.h"
#include "ui/main/UGameTree.h"
#include "ui/panes/PaneActor.h"
#include "ui/panes/PaneHandler.h"
#include "ui/panes/PaneTile.h"

using namespace lvk;

TEST(TileAndHandlerNotes, TheTransparentColourIsPickedFromThePicturesColours) {
  TScriptedDialogs Dialogs;
  TfrmMain Main;
  Main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
  Main.SelectNode(Main.tvwTree->topLevelItem(0)->child(0));
  QTest::mouseClick(Main.tsTiles->butNewTile, Qt::LeftButton);
  ASSERT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsTile));
  TTile* Tile = Main.tsTile->Tile();
  QComboBox* Box = Main.tsTile->cbxTileTransparent;
  ASSERT_GT(Box->count(), 2);  // "(none)" and the question mark's colours
  EXPECT_EQ(Box->currentIndex(), 0);
  EXPECT_EQ(Box->itemData(1).toUInt(), Tile->Bitmap().GetColor(0, 0));

  // By keyboard, as a closed list takes the arrow keys.
  Box->setFocus();
  QTest::keyClick(Box, Qt::Key_Down);
  EXPECT_EQ(Tile->TransparentColor(), Tile->Bitmap().GetColor(0, 0));
  EXPECT_TRUE(Main.Game().Modified());
  QTest::keyClick(Box, Qt::Key_Down);
  EXPECT_EQ(Tile->TransparentColor(), Box->itemData(2).toUInt());

  Main.mnuUndo->trigger();
  EXPECT_EQ(Main.tsTile->Tile()->TransparentColor(), Box->itemData(1).toUInt());
  EXPECT_EQ(Box->currentIndex(), 1);
  Main.mnuUndo->trigger();
  EXPECT_EQ(Main.tsTile->Tile()->TransparentColor(), std::nullopt);
  EXPECT_EQ(Box->currentIndex(), 0);
}

TEST(TileAndHandlerNotes, AHandlersCommentFollowsItsSummaryInTheTree) {
  TScriptedDialogs Dialogs;
  TfrmMain Main;
  Main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
  Main.SelectNode(Main.tvwTree->topLevelItem(0)->child(1));
  QTest::mouseClick(Main.tsActors->butNewActor, Qt::LeftButton);
  QTest::mouseClick(Main.tsActor->HandlerButtons.front(), Qt::LeftButton);
  ASSERT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsHandler));
  THandler* Handler = Main.tsHandler->Handler();
  const QString Summary = Main.tvwTree->currentItem()->text(0);

  QLineEdit* Field = Main.tsHandler->edtHandlerComment;
  Field->setFocus();
  QTest::keyClicks(Field, "blink the eyes");
  QTest::keyClick(Field, Qt::Key_Return);
  EXPECT_EQ(Handler->Comment(), "blink the eyes");
  EXPECT_EQ(Main.tvwTree->currentItem()->text(0), Summary + "  // blink the eyes");

  Main.mnuUndo->trigger();
  EXPECT_EQ(Main.tsHandler->Handler()->Comment(), "");
  EXPECT_EQ(Main.tvwTree->currentItem()->text(0), Summary);
  EXPECT_EQ(Field->text(), "");
  Main.mnuRedo->trigger();
  EXPECT_EQ(Main.tvwTree->currentItem()->text(0), Summary + "  // blink the eyes");
  EXPECT_EQ(Field->text(), "blink the eyes");
  // A comment is short.
  EXPECT_EQ(Field->maxLength(), 80);
}
