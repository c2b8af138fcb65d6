// The handler's action list: shown in order, edited, added and reordered.
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "behaviour/REventCollision.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "behaviour/UValueAction.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/UVariable.h"
#include "ui/main/FMain.h"
#include "ui/events/FraActions.h"
#include "ui/panes/PaneActor.h"
#include "ui/panes/PaneHandler.h"
#include "ui/common/UItemPickers.h"
#include "ui/events/UKeySetEditor.h"
#include "TScriptedDialogs.h"
#include "TestSupport.h"
#include <QTreeWidget>

using namespace lvk;

namespace {

int ActionKindIndex(const TActionKind& Kind) {
  for (int i = 0; i < ActionKindCount(); ++i)
    if (&ActionKindAt(i) == &Kind) return i;
  return -1;
}

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
    test::ClearModified(Game);
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
  test::ClearModified(Game);
  Type(Frame.edtArg2, "3.5");
  Frame.edtArg1->setFocus();
  EXPECT_EQ(Speed(0)->Arg2(), "");
  EXPECT_EQ(Frame.edtArg2->text(), "");
  EXPECT_FALSE(Game.Modified());
  // An empty text is 0 and may be stored; the same text again changes nothing.
  Type(Frame.edtArg1, "");
  EXPECT_EQ(Speed(0)->Arg1(), "");
  test::ClearModified(Game);
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

// A literal number outside the range its rule uses (the kinds' catalogue
// gives it) is marked with the range named; a variable's name, a number
// inside and a relative action's difference are not.
TEST_F(Actions, NumbersOutsideTheirRangeAreMarkedWithTheRange) {
  Game.AddVariable()->SetName("vSize");
  const struct {
    const TActionKind* Kind;
    std::vector<std::string> Values;
    QString Note;  // empty: not marked
  } Cases[] = {
      {&TActionShakeCamera::ClassKind(), {"30", "40"}, "\"40\" is outside 0 to 16, what Strength takes"},
      {&TActionShakeCamera::ClassKind(), {"30", "-1"}, "\"-1\" is outside 0 to 16"},
      {&TActionShakeCamera::ClassKind(), {"30", "16"}, ""},
      {&TActionShakeCamera::ClassKind(), {"30", "vSize"}, ""},
      {&TActionShowText::ClassKind(), {"24", "Hello"}, "\"24\" is outside 0 to 23, what Row takes"},
      {&TActionJumpTo::ClassKind(), {"-32001", "0", "0"}, "\"-32001\" is outside -32000 to 32000"},
      {&TActionSetSpeedSize::ClassKind(), {"-16", "0", "0"}, "\"-16\" is outside 0 to 255"},
      {&TActionSetSpeedSize::ClassKind(), {"-16", "0", "1"}, ""},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Kind->DisplayName() + " " + C.Values[1]);
    TActionBase* A = Handler->AddAction(*C.Kind);
    for (std::size_t v = 0; v < C.Values.size(); ++v) A->SetValue(static_cast<int>(v), C.Values[v]);
    Frame.SetHandler(Handler);
    const int Row = Handler->ActionCount() - 1;
    Frame.SelectAction(Row);
    EXPECT_EQ(Frame.lbxActions->item(Row)->foreground().color() == QColor(Qt::red), !C.Note.isEmpty());
    if (!C.Note.isEmpty())
      EXPECT_TRUE(Frame.lblActionNote->text().startsWith(C.Note)) << Frame.lblActionNote->text().toStdString();
    else
      EXPECT_FALSE(Frame.lblActionNote->text().contains("is outside")) << Frame.lblActionNote->text().toStdString();
  }
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

TEST_F(Actions, EveryValueHasTheEditorOfItsType) {
  Game.AddVariable()->SetName("vScore");
  Game.AddVariable()->SetName("vLives");
  TActor* Shot = Game.AddActor();
  Shot->SetName("aShot");
  Shot->SetTile(Game.AddTile());
  auto Add = [&](const TActionKind& Kind) {
    Frame.AddAction(ActionKindIndex(Kind));
    return Handler->GetAction(Handler->ActionCount() - 1);
  };

  // A variable picker names nothing yet, and says so.
  TActionBase* Set = Add(TActionSetVariable::ClassKind());
  auto* Variable = qobject_cast<QComboBox*>(Frame.ValueEditor(0));
  ASSERT_NE(Variable, nullptr);
  EXPECT_EQ(Variable->currentText(), "<no variable>");
  EXPECT_EQ(Frame.lbxActions->currentItem()->foreground().color(), QColor(Qt::red));
  EXPECT_TRUE(Frame.lblActionNote->text().startsWith("No variable chosen yet"));
  emit Variable->activated(Variable->findText("vLives"));
  EXPECT_EQ(Set->GetValue(0), "vLives");
  EXPECT_NE(Frame.lbxActions->currentItem()->foreground().color(), QColor(Qt::red));

  // A number field takes a variable's name, as the variable spells it, and
  // offers the names; a name no variable has is marked and never stored.
  ASSERT_EQ(Frame.ValueEditor(1), Frame.edtArg1);
  Type(Frame.edtArg1, "VSCORE");
  EXPECT_EQ(Set->GetValue(1), "vScore");
  EXPECT_EQ(Frame.edtArg1->text(), "vScore");
  EXPECT_EQ(Frame.edtArg1->completer()->model()->rowCount(), 2);
  Type(Frame.edtArg1, "vNothing");
  EXPECT_EQ(Set->GetValue(1), "vScore");
  EXPECT_EQ(Frame.edtArg1->palette().color(QPalette::Base), QColor(255, 220, 220));
  EXPECT_TRUE(Frame.lblActionNote->text().startsWith("Not a whole number nor a variable's name"));
  Frame.lbxActions->setFocus();
  EXPECT_EQ(Frame.edtArg1->text(), "vScore");
  EXPECT_EQ(Frame.lbxActions->currentItem()->text(), "SetVariable(vLives, vScore)");

  // A text is stored as typed; a {name} that is no variable is marked.
  TActionBase* Show = Add(TActionShowText::ClassKind());
  auto* Text = qobject_cast<QLineEdit*>(Frame.ValueEditor(1));
  ASSERT_NE(Text, nullptr);
  Type(Text, "Score {vScore}, {vGold} {x y}");
  EXPECT_EQ(Show->GetValue(1), "Score {vScore}, {vGold} {x y}");
  EXPECT_EQ(Text->palette().color(QPalette::Base), QColor(255, 220, 220));
  EXPECT_TRUE(Frame.lblActionNote->text().startsWith("The text names {vGold}, which is no variable"))
      << Frame.lblActionNote->text().toStdString();
  Type(Text, "Score {VSCORE}");
  EXPECT_NE(Text->palette().color(QPalette::Base), QColor(255, 220, 220));
  EXPECT_EQ(UnknownTextNames("{a} {vScore} {b} {A} {", Game), (QStringList{"a", "b"}));
  // The row beside it, on the same line.
  const QRect Row = Frame.ValueEditor(0)->geometry(), Line = Text->geometry();
  EXPECT_LT(Row.right(), Line.left());
  EXPECT_LT(std::abs(Row.center().y() - Line.center().y()), 4);

  // Actors and tiles are picked from lists with their pictures.
  TActionBase* Spawn = Add(TActionSpawn::ClassKind());
  auto* Actors = qobject_cast<TActorComboBox*>(Frame.ValueEditor(0));
  ASSERT_NE(Actors, nullptr);
  EXPECT_EQ(Actors->currentText(), "<this actor>");
  emit Actors->activated(Actors->IndexOf(Shot));
  EXPECT_EQ(Spawn->GetValue(0), "aShot");
  EXPECT_EQ(Frame.lbxActions->currentItem()->text(), "Spawn(aShot, 0, 0)");
  TActionBase* SetTile = Add(TActionSetTile::ClassKind());
  auto* Tiles = qobject_cast<QComboBox*>(Frame.ValueEditor(0));
  ASSERT_NE(Tiles, nullptr);
  EXPECT_EQ(Tiles->currentText(), "<no tile>");
  EXPECT_EQ(Tiles->count(), 2);
  EXPECT_FALSE(Tiles->itemIcon(1).isNull());
  // A name no item has (pasted from another game) is shown, marked.
  SetTile->SetValue(0, "tGone");
  Frame.SetHandler(Handler);
  Frame.SelectAction(Handler->ActionCount() - 1);
  EXPECT_EQ(qobject_cast<QComboBox*>(Frame.ValueEditor(0))->currentText(), "tGone (no tile)");
  EXPECT_TRUE(Frame.lblActionNote->text().startsWith("\"tGone\" is no tile"));

  // Keys are toggled as OnKey's, and comparisons chosen from a list.
  TActionBase* Held = Add(TActionIfKeyHeld::ClassKind());
  auto* Keys = qobject_cast<TKeySetEditor*>(Frame.ValueEditor(0));
  ASSERT_NE(Keys, nullptr);
  EXPECT_TRUE(Keys->Toggle("A")->isChecked());
  QTest::mouseClick(Keys->Toggle("B"), Qt::LeftButton);
  EXPECT_EQ(Held->GetValue(0), "3");
  EXPECT_EQ(Frame.lbxActions->currentItem()->text(), "If held A+B");
  EXPECT_EQ(Keys->Toggle("^")->toolTip(), "Up (in the play window: Up key)");
  TActionBase* If = Add(TActionIfVariable::ClassKind());
  auto* Compare = qobject_cast<QComboBox*>(Frame.ValueEditor(1));
  ASSERT_NE(Compare, nullptr);
  EXPECT_EQ(Compare->count(), 6);
  emit Compare->activated(5);
  EXPECT_EQ(If->GetValue(1), ">=");
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
  EXPECT_EQ(Main.tsHandler->fraActions->lbxActions->count(), 0);  // a new handler starts empty
  test::ClearModified(Main.Game());
  Main.tsHandler->fraActions->AddAction(ActionKindCount() - 1);
  EXPECT_EQ(Handler->ActionCount(), 1);
  EXPECT_EQ(Main.tsHandler->fraActions->lbxActions->count(), 1);
  EXPECT_TRUE(Main.Game().Modified());
  // A new game leaves no pointer into the old one.
  Main.mnuNewClick();
  EXPECT_EQ(Main.tsHandler->fraActions->lbxActions->count(), 0);
}

// A narrow list cuts long summaries where it ends, the whole in the tip;
// the splitter gives the list or the values the room.
TEST_F(Actions, LongSummariesAreCutWithTheWholeInTheTipAndTheSplitterMovesTheBorder) {
  Handler->AddAction(TActionShowText::ClassKind());
  const std::string Long(60, 'W');
  Handler->GetAction(2)->SetValue(1, Long);
  Frame.SetHandler(Handler);
  Frame.resize(520, 240);
  Frame.splActions->setSizes({150, 370});
  QApplication::processEvents();
  const int ListWidth = Frame.lbxActions->width();
  QListWidgetItem* Item = Frame.lbxActions->item(2);
  EXPECT_EQ(Item->text(), QString::fromStdString(Handler->GetAction(2)->Summary())) << "the model's text, whole";
  EXPECT_TRUE(Item->toolTip().startsWith(Item->text())) << Item->toolTip().toStdString();
  // The row ends with the list; no scroll bar hides the rest.
  EXPECT_LE(Frame.lbxActions->visualItemRect(Item).width(), Frame.lbxActions->viewport()->width());
  EXPECT_FALSE(Frame.lbxActions->horizontalScrollBar()->isVisible());
  EXPECT_GT(Frame.lbxActions->fontMetrics().horizontalAdvance(Item->text()), Frame.lbxActions->viewport()->width());
  // Dragged wider, the list takes the room and keeps its values beside it.
  Frame.splActions->setSizes({370, 150});
  QApplication::processEvents();
  EXPECT_GT(Frame.lbxActions->width(), ListWidth + 150);
  EXPECT_TRUE(Frame.pnlValues->isVisible());
  EXPECT_EQ(Frame.splActions->count(), 2);
  EXPECT_FALSE(Frame.splActions->childrenCollapsible());
}

// After adding an action the keys go on in the list (move it, delete it),
// not in the event's controls the focus was on before the menu.
TEST(ActionsInThePane, AddingAnActionPutsTheFocusOnTheList) {
  TScriptedDialogs Dialogs;
  TfrmMain Main;
  Main.show();
  Main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Main));
  THandler* Handler = nullptr;
  test::Edit(Main.Game(), [&] {
    Handler = Main.Game().AddActor()->AddHandler();
    Handler->SetEvent(TEventCollision::ClassKind());
  });
  Main.SelectItem(*Handler);
  ASSERT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsHandler));
  auto* With = Main.tsHandler->findChild<QComboBox*>("cbxOtherActor");
  ASSERT_NE(With, nullptr);
  With->setFocus();
  ASSERT_TRUE(With->hasFocus());
  TfraActions& Frame = *Main.tsHandler->fraActions;
  Frame.butAddAction->menu()->actions().at(0)->trigger();
  EXPECT_EQ(Handler->ActionCount(), 1);
  EXPECT_TRUE(Frame.lbxActions->hasFocus());
  EXPECT_EQ(Frame.lbxActions->currentRow(), 0);
  QTest::keyClick(Frame.lbxActions, Qt::Key_Delete);
  EXPECT_EQ(Handler->ActionCount(), 0);
}

// The actions that print or clear rows name the rows the start text uses,
// as this game's title prints; the new kinds are edited like the others.
TEST_F(Actions, RowsOfTheStartTextAndTheNewKindsValues) {
  auto Add = [&](const TActionKind& Kind) {
    Frame.AddAction(ActionKindIndex(Kind));
    return Handler->GetAction(Handler->ActionCount() - 1);
  };
  const struct {
    const char* Title;
    const char* Rows;
  } Titles[] = {{"Coins", "rows 1 and 3;"}, {"A title far too long for one row of the screen", "rows 1, 3 and 4;"}};
  for (const auto& T : Titles) {
    SCOPED_TRACE(T.Title);
    Game.SetTitle(T.Title);
    for (const TActionKind* Kind : {&TActionShowText::ClassKind(), &TActionClearText::ClassKind()}) {
      Add(*Kind);
      const QString Note = Frame.lblActionNote->text();
      EXPECT_TRUE(Note.contains(QString("The start text uses ") + T.Rows)) << Note.toStdString();
      EXPECT_TRUE(Note.contains("rows 20 and 22")) << Note.toStdString();
    }
  }
  TActionBase* Jump = Add(TActionJumpTo::ClassKind());
  EXPECT_FALSE(Frame.lblActionNote->text().contains("start text"));
  Type(qobject_cast<QLineEdit*>(Frame.ValueEditor(0)), "120");
  Type(qobject_cast<QLineEdit*>(Frame.ValueEditor(1)), "-8");
  QTest::keyClick(Frame.ValueEditor(2), Qt::Key_Space);
  EXPECT_EQ(Jump->Summary(), "JumpTo(120, -8, relative)");
  TActionBase* Clear = Add(TActionClearText::ClassKind());
  auto* All = qobject_cast<QCheckBox*>(Frame.ValueEditor(1));
  ASSERT_NE(All, nullptr);
  EXPECT_EQ(All->text(), "All row&s");
  All->click();
  EXPECT_EQ(Clear->Summary(), "ClearText(all rows)");
  EXPECT_EQ(Texts().back(), "ClearText(all rows)");
  for (const TActionKind* Kind : {&TActionJumpToStart::ClassKind(), &TActionOtherwise::ClassKind()}) {
    Add(*Kind);
    EXPECT_TRUE(Frame.lblActionNote->text().endsWith("It has no values.")) << Kind->DisplayName();
  }
  EXPECT_EQ(Texts().mid(Texts().size() - 2), (QStringList{"JumpToStart()", "Otherwise"}));
}
