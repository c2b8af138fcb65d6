// The variables in the main window: their folder and pane, renames that the
// actions follow, deletes that take the actions naming them, their order,
// the limits of each scope, saved ones and the high-score table, and undo of
// every step.
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "TScriptedDialogs.h"
#include "TestSupport.h"
#include "behaviour/REventCreate.h"
#include "behaviour/UValueAction.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/UVariable.h"
#include "ui/main/FMain.h"
#include "generator/USaveFile.h"
#include "ui/panes/PaneGame.h"
#include "ui/panes/PaneVariables.h"

using namespace lvk;

namespace {

QStringList Children(const QTreeWidgetItem* Node) {
  QStringList Texts;
  for (int i = 0; i < Node->childCount(); ++i) Texts << Node->child(i)->text(0);
  return Texts;
}

struct Variables : ::testing::Test {
  TScriptedDialogs Dialogs;
  TfrmMain Main;
  void SetUp() override {
    Main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
  }
  TGame& Game() { return Main.Game(); }
  QStringList Names() {
    QStringList N;
    for (int i = 0; i < Game().VariableCount(); ++i) N << QString::fromStdString(Game().GetVariable(i)->Name());
    return N;
  }
  void Type(QWidget* Field, const QString& Text) {
    Field->setFocus();
    QTest::keyClick(Field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Field, Text);
    QTest::keyClick(Field, Qt::Key_Return);
  }
  std::string UndoName() { return Main.Session().UndoText().toStdString(); }
  // An actor whose one handler sets vScore and shows it.
  THandler* Scorer() {
    THandler* Handler = nullptr;
    test::Edit(Game(), [&] {
      Handler = Game().AddActor()->AddHandler();
      Handler->SetEvent(TEventCreate::ClassKind());
      Handler->AddAction(TActionSetVariable::ClassKind())->SetValue(0, "vScore");
      Handler->AddAction(TActionShowText::ClassKind())->SetValue(1, "Score {vScore}");
      Handler->AddAction(TActionSpawn::ClassKind());
    });
    return Handler;
  }
};

}  // namespace

TEST_F(Variables, NewRenameValueAndOrderEachOneUndoStep) {
  Main.SelectNode(Main.VariablesNode());
  ASSERT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsVariables));
  QTest::mouseClick(Main.tsVariables->butNewVariable, Qt::LeftButton, Qt::ControlModifier);
  QTest::mouseClick(Main.tsVariables->butNewVariable, Qt::LeftButton, Qt::ControlModifier);
  EXPECT_EQ(Main.tsVariables->lblVariableCounts->text(), "Game variables: 2 of 64. Instance variables: 0 of 16.");
  QTest::mouseClick(Main.tsVariables->butNewVariable, Qt::LeftButton);
  EXPECT_EQ(Children(Main.VariablesNode()), (QStringList{"vVariable1", "vVariable2", "vVariable3"}));
  ASSERT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsVariable));
  EXPECT_EQ(UndoName(), "Undo New variable");

  // A rename reaches the actions that name the variable, also inside a text.
  Main.SelectItem(*Game().GetVariable(0));
  THandler* Handler = nullptr;
  test::Edit(Game(), [&] {
    Handler = Game().AddActor()->AddHandler();
    Handler->SetEvent(TEventCreate::ClassKind());
    Handler->AddAction(TActionShowText::ClassKind())->SetValue(1, "Score {vVariable1}");
  });
  Type(Main.tsVariable->edtVariableName, "vScore");
  EXPECT_EQ(Main.VariablesNode()->child(0)->text(0), "vScore");
  EXPECT_EQ(Handler->GetAction(0)->GetValue(1), "Score {vScore}");
  EXPECT_EQ(UndoName(), "Undo Rename variable");
  Main.mnuUndoClick();
  EXPECT_EQ(Main.VariablesNode()->child(0)->text(0), "vVariable1");
  EXPECT_EQ(Game().GetActor(0)->GetHandler(0)->GetAction(0)->GetValue(1), "Score {vVariable1}");
  Main.mnuRedoClick();

  // Initial value and scope.
  Main.SelectItem(*Game().GetVariable(0));
  Type(Main.tsVariable->speVariableInitial, "-250");
  EXPECT_EQ(Game().GetVariable(0)->Initial(), -250);
  EXPECT_EQ(UndoName(), "Undo Change variable");
  Main.tsVariable->cbxVariableScope->setCurrentIndex(1);
  emit Main.tsVariable->cbxVariableScope->activated(1);
  EXPECT_EQ(Game().GetVariable(0)->Scope(), TVariableScope::Instance);
  Main.mnuUndoClick();
  EXPECT_EQ(Game().GetVariable(0)->Scope(), TVariableScope::Game);
  EXPECT_EQ(Game().GetVariable(0)->Initial(), -250);
  EXPECT_EQ(Main.tsVariable->cbxVariableScope->currentIndex(), 0);

  // Ctrl+Up in the tree and the pane's buttons move it; its node goes
  // along and stays shown.
  TVariable* Third = Game().GetVariable(2);
  Main.SelectItem(*Third);
  Main.tvwTree->setFocus();
  QTest::keyClick(Main.tvwTree, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Names(), (QStringList{"vScore", "vVariable3", "vVariable2"}));
  EXPECT_EQ(Children(Main.VariablesNode()), Names());
  EXPECT_EQ(Main.tvwTree->currentItem(), Main.NodeOf(Third));
  EXPECT_EQ(Main.tsVariable->Variable(), Third);
  EXPECT_EQ(UndoName(), "Undo Move variable");
  QTest::mouseClick(Main.tsVariable->butVariableUp, Qt::LeftButton);
  EXPECT_EQ(Names(), (QStringList{"vVariable3", "vScore", "vVariable2"}));
  EXPECT_FALSE(Main.tsVariable->butVariableUp->isEnabled());
  EXPECT_EQ(Children(Main.VariablesNode()), Names());
  Main.mnuUndoClick();
  Main.mnuUndoClick();
  EXPECT_EQ(Names(), (QStringList{"vScore", "vVariable2", "vVariable3"}));
  EXPECT_EQ(Children(Main.VariablesNode()), Names());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(NodeItem(Game(), Main.VariablesNode()->child(i)), Game().GetVariable(i));
  EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(Variables, DeleteNamesTheActionsThatGoWithIt) {
  test::Edit(Game(), [&] { Game().AddVariable()->SetName("vScore"); });
  THandler* Handler = Scorer();
  Main.RebuildTree();
  Main.SelectItem(*Game().GetVariable(0));
  EXPECT_EQ(Main.tsVariable->lblVariableUsers->text(), "2 actions name it.");

  Dialogs.Answers = {TMsgAnswer::No};
  EXPECT_FALSE(Main.DeleteNode(Main.NodeOf(Game().GetVariable(0))));
  EXPECT_EQ(Dialogs.LastText().toStdString(),
            "Delete the variable \"vScore\"?\n\nThese actions name it and are deleted with it:\n"
            "aActor1, OnCreate: SetVariable(vScore, 0)\naActor1, OnCreate: ShowText(0, \"Score {vScore}\")");
  EXPECT_EQ(Game().VariableCount(), 1);

  Dialogs.Answers = {TMsgAnswer::Yes};
  EXPECT_TRUE(Main.DeleteNode(Main.NodeOf(Game().GetVariable(0))));
  EXPECT_EQ(Game().VariableCount(), 0);
  ASSERT_EQ(Handler->ActionCount(), 1);
  EXPECT_EQ(&Handler->GetAction(0)->Kind(), &TActionSpawn::ClassKind());
  EXPECT_EQ(Main.VariablesNode()->childCount(), 0);
  EXPECT_EQ(UndoName(), "Undo Delete variable");
  Main.mnuUndoClick();
  EXPECT_EQ(Names(), QStringList{"vScore"});
  EXPECT_EQ(Main.Game().GetActor(0)->GetHandler(0)->ActionCount(), 3);

  // Duplicate copies value and scope under a new name.
  test::Edit(Game(), [&] { Game().GetVariable(0)->SetInitial(3); });
  QTreeWidgetItem* Copy = Main.DuplicateNode(Main.NodeOf(Game().GetVariable(0)));
  ASSERT_NE(Copy, nullptr);
  EXPECT_EQ(Copy->text(0), "vVariable2");
  EXPECT_EQ(Game().GetVariable(1)->Initial(), 3);
}

TEST_F(Variables, EachScopesLimitRefusesWithAMessage) {
  test::Edit(Game(), [&] {
    for (int i = 0; i < 64; ++i) Game().AddVariable();
    for (int i = 0; i < 16; ++i) Game().AddVariable()->SetScope(TVariableScope::Instance);
  });
  Main.RebuildTree();
  const int Steps = Main.Document().History().StepCount();
  Main.SelectNode(Main.VariablesNode());
  QTest::mouseClick(Main.tsVariables->butNewVariable, Qt::LeftButton);
  EXPECT_EQ(Dialogs.LastText(), "The game has 64 game variables, as many as a game can have. Delete one, or make one "
                                "an instance variable, first.");
  EXPECT_EQ(Dialogs.Messages.back().Kind, TMsgKind::Warning);
  EXPECT_EQ(Main.DuplicateNode(Main.NodeOf(Game().GetVariable(70))), nullptr);
  EXPECT_TRUE(Dialogs.LastText().startsWith("The game has 16 instance variables"));

  Main.SelectItem(*Game().GetVariable(0));
  Main.tsVariable->cbxVariableScope->setCurrentIndex(1);
  emit Main.tsVariable->cbxVariableScope->activated(1);
  EXPECT_EQ(Dialogs.Messages.size(), 3u);
  EXPECT_EQ(Game().GetVariable(0)->Scope(), TVariableScope::Game);
  EXPECT_EQ(Main.tsVariable->cbxVariableScope->currentIndex(), 0);
  EXPECT_EQ(Game().VariableCount(), 80);
  EXPECT_EQ(Main.Document().History().StepCount(), Steps);
}

// The variable pane's Saved tick (a game variable's only) and the game
// pane's high-score settings are steps that undo; the game pane lists the
// table the play window kept and clears it when the user says yes.
TEST_F(Variables, SavedTickAndTheHighScoreTable) {
  test::Edit(Game(), [&] {
    Game().SetTitle("Score Test");
    Game().AddVariable()->SetName("vScore");
    Game().AddVariable()->SetName("vOwn");
    Game().GetVariable(1)->SetScope(TVariableScope::Instance);
  });
  Main.RebuildTree();
  Main.SelectItem(*Game().GetVariable(0));
  QCheckBox* Saved = Main.tsVariable->cbxVariableSaved;
  ASSERT_TRUE(Saved->isEnabled());
  Saved->click();
  EXPECT_TRUE(Game().GetVariable(0)->Saved());
  EXPECT_EQ(UndoName(), "Undo Save variable");
  Main.mnuUndoClick();
  EXPECT_FALSE(Game().GetVariable(0)->Saved());
  EXPECT_FALSE(Saved->isChecked());
  Main.mnuRedoClick();
  Main.SelectItem(*Game().GetVariable(1));
  EXPECT_FALSE(Main.tsVariable->cbxVariableSaved->isEnabled()) << "an instance variable is never saved";

  // The table: places, the score among the game variables only, the order.
  Main.SelectNode(Main.GameNode());
  TPaneGame* Pane = Main.tsGame;
  EXPECT_FALSE(Pane->cbxScoreVariable->isEnabled()) << "no table yet";
  Pane->speScorePlaces->setValue(5);
  EXPECT_EQ(Game().HighScores().Places, 5);
  EXPECT_EQ(UndoName(), "Undo Change high scores");
  ASSERT_EQ(Pane->cbxScoreVariable->count(), 2);
  EXPECT_EQ(Pane->cbxScoreVariable->itemText(1), "vScore");
  Pane->cbxScoreVariable->setCurrentIndex(1);
  emit Pane->cbxScoreVariable->activated(1);
  Pane->cbxScoreOrder->setCurrentIndex(1);
  emit Pane->cbxScoreOrder->activated(1);
  EXPECT_EQ(Game().ScoreVariable(), Game().GetVariable(0));
  EXPECT_FALSE(Game().HighScores().HigherIsBetter);
  Main.mnuUndoClick();
  EXPECT_EQ(Game().HighScores(), THighScores());
  EXPECT_EQ(Pane->speScorePlaces->value(), 0);
  Main.mnuRedoClick();

  // What the play window kept, written as it writes it.
  TSaveFile File(TSaveFile::PathFor(SavesFolder(), "Score Test"), "Score Test");
  std::vector<std::uint8_t> Store(LVK_SAVE_STORE_SIZE, 0);
  lvk_save_t Save;
  lvk_save_clear(&Save);
  const std::uint32_t Key = lvk_save_key("vScore", 6);
  const std::int32_t Value = 9;
  lvk_save_put_slot(&Save, 0, &Key, &Value, 1, -1);
  lvk_score_insert(&Save, 5, 0, "ABC", 3, 120);
  lvk_score_insert(&Save, 5, 1, "XY", 2, 80);
  lvk_save_write(&Save, File.GameKey(), Store.data());
  std::filesystem::create_directories(SavesFolder());
  std::ofstream(File.Path(), std::ios::binary).write(reinterpret_cast<const char*>(Store.data()),
                                                      static_cast<std::streamsize>(Store.size()));
  Main.SelectNode(Main.VariablesNode());
  Main.SelectNode(Main.GameNode());
  auto Listed = [&] {
    QStringList Rows;
    for (int i = 0; i < Pane->lbxHighScores->count(); ++i) Rows << Pane->lbxHighScores->item(i)->text();
    return Rows;
  };
  EXPECT_EQ(Listed(), (QStringList{"1. ABC 120", "2. XY 80"}));
  Dialogs.Answers = {TMsgAnswer::No};
  QTest::mouseClick(Pane->butClearHighScores, Qt::LeftButton);
  EXPECT_EQ(Listed().size(), 2);
  Dialogs.Answers = {TMsgAnswer::Yes};
  QTest::mouseClick(Pane->butClearHighScores, Qt::LeftButton);
  EXPECT_EQ(Listed(), (QStringList{"(no scores kept yet)"}));
  EXPECT_FALSE(Pane->butClearHighScores->isEnabled());
  ASSERT_EQ(File.Read(Save), LVK_SAVE_OK);
  std::int32_t Kept = 0;
  EXPECT_EQ(lvk_save_find(&Save, 0, Key, &Kept), 1) << "the slots stay";
  EXPECT_EQ(Kept, 9);
}
