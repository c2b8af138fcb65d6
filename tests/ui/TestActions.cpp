// The handler's action list: shown in order, edited, added and reordered.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "ui/FMain.h"
#include "ui/FraActions.h"
#include "ui/PaneItems.h"
#include "TScriptedDialogs.h"
#include <QTreeWidget>

using namespace lvk;

namespace {

struct Actions : ::testing::Test {
  TGame Game;
  THandler* Handler = nullptr;
  TfraActions Frame;
  void SetUp() override {
    Handler = Game.AddActor()->AddHandler();
    Handler->AddAction(TActionSetSpeedSize::ClassKind());
    Handler->AddAction(TActionSetSpeedDir::ClassKind());
    Frame.SetHandler(Handler);
    Frame.show();
    Frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame));
    Game.ClearModified();
  }
  TActionSpeed* Speed(int i) { return static_cast<TActionSpeed*>(Handler->GetAction(i)); }
  QStringList Texts() {
    QStringList T;
    for (int i = 0; i < Frame.lbxActions->count(); ++i) T << Frame.lbxActions->item(i)->text();
    return T;
  }
  void Type(QLineEdit* Field, const QString& Text) {
    Field->setFocus();
    Field->selectAll();
    if (Text.isEmpty()) QTest::keyClick(Field, Qt::Key_Backspace);
    QTest::keyClicks(Field, Text);
    QTest::keyClick(Field, Qt::Key_Return);
  }
};

}  // namespace

TEST_F(Actions, ValuesAreWholeNumbersAndOnlyTheyAreStored) {
  EXPECT_EQ(Texts(), (QStringList{"SetSpeedSize(0, 0)", "SetSpeedDir(0, 0)"}));
  Frame.SelectAction(0);
  Type(Frame.edtArg1, "-16");
  EXPECT_EQ(Speed(0)->Arg1(), "-16");
  EXPECT_TRUE(Game.Modified());
  EXPECT_EQ(Frame.lbxActions->item(0)->text(), "SetSpeedSize(-16, 0)");
  QTest::mouseClick(Frame.cbxRelative, Qt::LeftButton);
  EXPECT_TRUE(Speed(0)->Relative());
  EXPECT_EQ(Frame.lbxActions->item(0)->text(), "SetSpeedSize(-16, 0, relative)");

  // Not a number: typed, but never stored; leaving the field shows the value again.
  Game.ClearModified();
  Type(Frame.edtArg2, "3.5");
  Frame.edtArg1->setFocus();
  EXPECT_EQ(Speed(0)->Arg2(), "");
  EXPECT_EQ(Frame.edtArg2->text(), "");
  EXPECT_FALSE(Game.Modified());
  // An empty text is 0 and may be stored; the same text again changes nothing.
  Type(Frame.edtArg1, "");
  EXPECT_EQ(Speed(0)->Arg1(), "");
  Game.ClearModified();
  Type(Frame.edtArg1, "");
  EXPECT_FALSE(Game.Modified());
}

TEST_F(Actions, AStoredTextThatIsNoNumberIsShownAsItIsAndMarked) {
  Speed(1)->SetArg1("speed+1");
  Frame.SetHandler(Handler);
  Frame.SelectAction(1);
  EXPECT_EQ(Frame.edtArg1->text(), "speed+1");
  EXPECT_EQ(Frame.lbxActions->item(1)->foreground().color(), QColor(Qt::red));
  EXPECT_TRUE(Frame.lblActionNote->text().startsWith("Not a whole number"));
  // Looking at it, or editing the other value, leaves it as it was.
  Type(Frame.edtArg2, "1");
  Frame.lbxActions->setFocus();
  EXPECT_EQ(Speed(1)->Arg1(), "speed+1");
  EXPECT_EQ(Speed(1)->Arg2(), "1");
  EXPECT_FALSE(IsWholeArgument("2147483648"));
  EXPECT_TRUE(IsWholeArgument("-2147483648"));
  EXPECT_FALSE(IsWholeArgument("-"));
  EXPECT_TRUE(IsWholeArgument("+7"));
}

TEST_F(Actions, EveryKindCanBeAddedAndActionsReordered) {
  QMenu* Menu = Frame.butAddAction->menu();
  ASSERT_EQ(Menu->actions().size(), ActionKindCount());
  for (QAction* Item : Menu->actions()) Item->trigger();
  ASSERT_EQ(Handler->ActionCount(), 2 + ActionKindCount());
  for (int i = 0; i < ActionKindCount(); ++i) EXPECT_EQ(&Handler->GetAction(2 + i)->Kind(), &ActionKindAt(i));
  EXPECT_EQ(Frame.lbxActions->currentRow(), Handler->ActionCount() - 1);
  EXPECT_TRUE(Game.Modified());

  TActionBase* Last = Handler->GetAction(Handler->ActionCount() - 1);
  Frame.lbxActions->setFocus();
  QTest::keyClick(Frame.lbxActions, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Handler->GetAction(Handler->ActionCount() - 2), Last);
  Frame.SelectAction(0);
  EXPECT_FALSE(Frame.butActionUp->isEnabled());
  TActionBase* First = Handler->GetAction(0);
  QTest::mouseClick(Frame.butActionDown, Qt::LeftButton);
  EXPECT_EQ(Handler->GetAction(1), First);
  EXPECT_EQ(Frame.lbxActions->currentRow(), 1);
  Frame.SetHandler(nullptr);
  EXPECT_EQ(Frame.lbxActions->count(), 0);
  EXPECT_FALSE(Frame.butAddAction->isEnabled());
}

TEST(ActionsInThePane, TheHandlerPaneListsItsHandlersActions) {
  TScriptedDialogs Dialogs;
  Dialogs.Answers = {TMsgAnswer::No};
  TfrmMain Main;
  Main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
  Main.SelectNode(Main.tvwTree->topLevelItem(0)->child(1));
  QTest::mouseClick(Main.tsActors->butNewActor, Qt::LeftButton);
  ASSERT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsActor));
  QTest::mouseClick(Main.tsActor->HandlerButtons.front(), Qt::LeftButton);
  ASSERT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsHandler));
  THandler* Handler = Main.tsHandler->Handler();
  EXPECT_EQ(Main.tsHandler->fraActions->Handler(), Handler);
  EXPECT_EQ(Main.tsHandler->fraActions->lbxActions->count(), 2);
  Main.Game().ClearModified();
  Main.tsHandler->fraActions->AddAction(ActionKindCount() - 1);
  EXPECT_EQ(Handler->ActionCount(), 3);
  EXPECT_TRUE(Main.Game().Modified());
  // A new game leaves no pointer into the old one.
  Main.mnuNewClick();
  EXPECT_EQ(Main.tsHandler->fraActions->lbxActions->count(), 0);
}
