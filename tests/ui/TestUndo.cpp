// Edit | Undo and Redo: every kind of change made through the windows goes
// back to the saved game and forward to the changed one, byte for byte.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <gtest/gtest.h>

#include "TScriptedDialogs.h"
#include "TShownWindow.h"
#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USound.h"
#include "model/UVariable.h"
#include "ui/events/FEventSelector.h"
#include "ui/editors/FLevelEditor.h"
#include "ui/main/FMain.h"
#include "ui/main/UGameTree.h"
#include "ui/editors/FPaletteEditor.h"
#include "ui/events/FraActions.h"
#include "ui/events/FraEventCollision.h"
#include "ui/panes/PaneGame.h"
#include "ui/panes/PaneActor.h"
#include "ui/panes/PaneHandler.h"
#include "ui/panes/PaneLevel.h"
#include "ui/panes/PaneTile.h"
#include "ui/panes/UActorLook.h"
#include "ui/panes/PaneSound.h"
#include "ui/panes/PaneVariables.h"
#include "model/UDocument.h"

using namespace lvk;

namespace {

const std::string Sample = LVK_EXAMPLES "/Sample.lvk";
const QString TilesFolder = LVK_EXAMPLES "/tiles/";

// The content of a saved file, its save counter and editing time aside.
TContent ContentOf(const std::string& FileName) {
  TGame Game;
  Game.LoadFromFile(FileName);
  return Game.ContentBytes();
}

// The first actor whose handlers include a collision, and that handler.
THandler* CollisionHandler(const TGame& Game) {
  for (int a = 0; a < Game.ActorCount(); ++a)
    for (int h = 0; h < Game.GetActor(a)->HandlerCount(); ++h)
      if (dynamic_cast<TEventCollision*>(Game.GetActor(a)->GetHandler(h)->Event()))
        return Game.GetActor(a)->GetHandler(h);
  return nullptr;
}

// Runs Act on the modal window of type T as soon as it is up.
template <typename T>
void WhenModal(std::function<void(T&)> Act) {
  QTimer::singleShot(0, [Act] {
    auto* Window = qobject_cast<T*>(QApplication::activeModalWidget());
    ASSERT_NE(Window, nullptr);
    Act(*Window);
    Window->close();
  });
}

struct Undo : ::testing::Test {
  TScriptedDialogs Dialogs;
  test::TTempDir Dir;
  TfrmMain Main;
  int Steps = 0;

  void SetUp() override {
    Main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
  }
  TGame& Game() { return Main.Game(); }
  void Select(const lvk::TIdentified* Item) { Main.SelectNode(Main.NodeOf(Item)); }
  // Lets input settle as after a user's action: the window records the step.
  void Settle() { QApplication::processEvents(); }
  // A change made through the window must be exactly one new step.
  void ExpectStep(const QString& Name) {
    Settle();
    ++Steps;
    EXPECT_EQ(Main.Document().History().StepCount(), Steps) << Name.toStdString();
    Main.mnuEdit->aboutToShow();
    EXPECT_EQ(Main.mnuUndo->text().toStdString(), ("&Undo " + Name).toStdString());
  }
  void SaveAs(const std::string& FileName) {
    Dialogs.Files.push_back(QString::fromStdString(FileName));
    ASSERT_TRUE(Main.SaveGameAs());
  }
  // Each node as depth, text and item id, in tree order.
  static std::vector<std::string> TreeLines(const QTreeWidget& Tree) {
    std::vector<std::string> Lines;
    for (QTreeWidgetItemIterator It(const_cast<QTreeWidget*>(&Tree)); *It; ++It) {
      int Depth = 0;
      for (const QTreeWidgetItem* Up = (*It)->parent(); Up; Up = Up->parent()) ++Depth;
      Lines.push_back(std::string(Depth, ' ') + (*It)->text(0).toStdString() + " #" + std::to_string(NodeId(*It)));
    }
    return Lines;
  }
  // The tree a window opened on the game now would show.
  std::vector<std::string> FreshTreeLines() {
    TGameTree Fresh(nullptr, [this]() -> TGame& { return Game(); });
    Fresh.Rebuild();
    return TreeLines(Fresh);
  }
};

}  // namespace

TEST_F(Undo, EveryKindOfChangeGoesBackToTheSavedGameAndForwardAgain) {
  const std::string Original = Dir.File("game.lvk");
  test::WriteBytes(Original, test::ReadBytes(Sample));
  ASSERT_TRUE(Main.OpenGameFile(QString::fromStdString(Original)));
  EXPECT_FALSE(Main.mnuUndo->isEnabled());

  // Names and the title.
  Main.SelectNode(Main.tvwTree->topLevelItem(0));
  QTest::keyClicks(Main.tsGame->edtGameTitle, "New");  // typing is one step
  ExpectStep("Change title");
  TTile* Tile = Game().GetTile(1);
  Select(Tile);
  Main.tsTile->edtTileName->setText("Renamed");
  QTest::keyClick(Main.tsTile->edtTileName, Qt::Key_Return);
  ExpectStep("Rename tile");
  // A tile import, an actor's tile.
  Dialogs.Files.push_back(TilesFolder + "Gem.bmp");
  Main.tsTile->butTileImport->click();
  ExpectStep("Import tile");
  TActor* Actor = Game().GetActor(0);
  Select(Actor);
  QComboBox* Tiles = Main.tsActor->cbxActorTiles;
  Tiles->setCurrentIndex(Tiles->currentIndex() == 1 ? 2 : 1);
  emit Tiles->activated(Tiles->currentIndex());
  ExpectStep("Change actor's tile");
  // New items.
  Main.tsActor->butNewHandlerClick(Main.tsActor->HandlerButtons[0]);
  ExpectStep("New handler");
  Main.tsTiles->butNewTileClick();
  ExpectStep("New tile");
  Main.tsActors->butNewActorClick();
  ExpectStep("New actor");
  Main.tsLevels->butNewLevelClick();
  ExpectStep("New level");

  // A handler's event in its frame and from the selector, and its actions.
  THandler* Collision = CollisionHandler(Game());
  ASSERT_NE(Collision, nullptr);
  Select(Collision);
  auto* Frame = qobject_cast<TfraEventCollision*>(Main.tsHandler->Editor());
  ASSERT_NE(Frame, nullptr);
  (Frame->rbutOverlap->isChecked() ? Frame->rbutRepel : Frame->rbutOverlap)->click();
  ExpectStep("Change event settings");
  TfraActions* Actions = Main.tsHandler->fraActions;
  Actions->AddAction(0);
  ExpectStep("Add action");
  // The new action is the selected one, last in the list.
  ASSERT_GE(Collision->ActionCount(), 2);
  Actions->edtArg1->setFocus();
  Actions->edtArg1->selectAll();
  QTest::keyClicks(Actions->edtArg1, "7");
  QTest::keyClick(Actions->edtArg1, Qt::Key_Return);
  ExpectStep("Edit action");
  Actions->butActionUp->click();
  ExpectStep("Move action");
  Actions->butActionDelete->click();
  ExpectStep("Delete action");
  Select(Game().GetActor(0)->GetHandler(Game().GetActor(0)->HandlerCount() - 1));
  WhenModal<TfrmEventSelector>([](TfrmEventSelector& Selector) { Selector.KindButtons[2]->click(); });
  Main.tsHandler->butEventOther->click();
  ExpectStep("Change event");

  // Level cells: a stroke is one step; undo and redo work in the editor.
  TLevel* Level = Game().GetLevel(0);
  TActor* Before = Level->GetCell(2, 2);
  Select(Level);
  WhenModal<TfrmLevelEditor>([&](TfrmLevelEditor& Editor) {
    Editor.lbxActors->setCurrentRow(Before == Game().GetActor(1) ? 3 : 2);
    QTest::mouseClick(Editor.grdLayout->viewport(), Qt::LeftButton, {}, Editor.grdLayout->CellRect(2, 2).center());
    ExpectStep("Edit level layout");
    TActor* Placed = Level->GetCell(2, 2);
    EXPECT_NE(Placed, Before);
    QTest::keyClick(&Editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Level->GetCell(2, 2), Before);
    const std::string Title = Game().Title();
    QTest::keyClick(&Editor, Qt::Key_Z, Qt::ControlModifier);  // steps before the window opened stay
    EXPECT_EQ(Game().Title(), Title);
    QTest::keyClick(&Editor, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Level->GetCell(2, 2), Placed);
  });
  Main.tsLevel->butEditLayout->click();
  // Palette edits and a palette command, with the editor open.
  Main.SelectNode(Main.TilesNode());
  WhenModal<TfrmPaletteEditor>([&](TfrmPaletteEditor& Editor) {
    Editor.grdPalette->SetSelectedCell(3, 0);
    Editor.grdPaletteSelectCell(3, 0);
    Editor.barRed->setValue(Editor.barRed->value() == 9 ? 10 : 9);
    ExpectStep("Edit palette");
    Dialogs.Answers.push_back(TMsgAnswer::Yes);
    Editor.butDefaults->click();
    ExpectStep("Default palette");
    const TColor Defaults = Game().Palette().GetEntryColor(3);
    QTest::keyClick(&Editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // nothing to redo
    QTest::keyClick(&Editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(Game().Palette().GetEntryColor(3), Defaults);
    EXPECT_EQ(Editor.barRed->value(), Game().Palette().GetRed(3));
    QTest::keyClick(&Editor, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Game().Palette().GetEntryColor(3), Defaults);
  });
  Main.tsTiles->butPaletteEditor->click();

  // Deletes, with every kind of reference, and a duplicate.
  Select(Game().GetActor(0)->GetHandler(0));
  Dialogs.Answers.push_back(TMsgAnswer::Yes);
  Main.mnuDelete->trigger();
  ExpectStep("Delete handler");
  auto* Event = static_cast<TEventCollision*>(CollisionHandler(Game())->Event());
  Select(Event->OtherActor());
  Dialogs.Answers.push_back(TMsgAnswer::Yes);
  Main.mnuDelete->trigger();
  ExpectStep("Delete actor");
  Select(Game().GetTile(0));
  Dialogs.Answers.push_back(TMsgAnswer::Yes);
  Main.mnuDelete->trigger();
  ExpectStep("Delete tile");
  Select(Game().GetLevel(1));
  Dialogs.Answers.push_back(TMsgAnswer::Yes);
  Main.mnuDelete->trigger();
  ExpectStep("Delete level");
  Select(Game().GetActor(0));
  Main.mnuDuplicate->trigger();
  ExpectStep("Duplicate actor");
  EXPECT_EQ(Dialogs.Unexpected, 0);

  const std::string Changed = Dir.File("changed.lvk");
  SaveAs(Changed);
  EXPECT_FALSE(Game().Modified());

  // Back to the start: the game as it was opened, the saved state left behind.
  int Undone = 0;
  Main.mnuEdit->aboutToShow();
  while (Main.mnuUndo->isEnabled()) {
    Main.mnuUndo->trigger();
    Main.mnuEdit->aboutToShow();
    ++Undone;
    EXPECT_EQ(TreeLines(*Main.tvwTree), FreshTreeLines()) << "after undo " << Undone;
  }
  EXPECT_EQ(Undone, Steps);
  EXPECT_TRUE(Game().Modified());
  EXPECT_EQ(Main.windowTitle(), "changed.lvk[*] - Lurvik Studio");
  const std::string Undone1 = Dir.File("undone.lvk");
  SaveAs(Undone1);
  EXPECT_EQ(ContentOf(Undone1), ContentOf(Original));

  // And forward again to the changed game.
  int Redone = 0;
  Main.mnuEdit->aboutToShow();
  while (Main.mnuRedo->isEnabled()) {
    Main.mnuRedo->trigger();
    Main.mnuEdit->aboutToShow();
    ++Redone;
    EXPECT_EQ(TreeLines(*Main.tvwTree), FreshTreeLines()) << "after redo " << Redone;
  }
  EXPECT_EQ(Redone, Steps);
  const std::string Redone1 = Dir.File("redone.lvk");
  SaveAs(Redone1);
  EXPECT_EQ(ContentOf(Redone1), ContentOf(Changed));
  // The tree shows the game the history put back.
  EXPECT_EQ(Main.tvwTree->topLevelItem(0)->child(1)->childCount(), Game().ActorCount());
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

TEST_F(Undo, TheModifiedStateAndTheMenuFollowTheHistory) {
  const std::string File = Dir.File("game.lvk");
  test::WriteBytes(File, test::ReadBytes(Sample));
  ASSERT_TRUE(Main.OpenGameFile(QString::fromStdString(File)));
  Select(Game().GetTile(0));
  // Typed and left with Tab: the settling input records the step by itself.
  Main.tsTile->edtTileName->setFocus();
  Main.tsTile->edtTileName->selectAll();
  QTest::keyClicks(Main.tsTile->edtTileName, "Stone");
  QTest::keyClick(Main.tsTile->edtTileName, Qt::Key_Tab);
  Settle();
  Main.mnuEdit->aboutToShow();
  EXPECT_EQ(Main.mnuUndo->text(), "&Undo Rename tile");
  EXPECT_EQ(Main.windowTitle(), "game.lvk[*] - Lurvik Studio");
  EXPECT_TRUE(Main.isWindowModified());
  // Ctrl+Z in the tree undoes; the pane shows the name back and the game is as saved.
  Main.tvwTree->setFocus();
  QTest::keyClick(Main.tvwTree, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_NE(Game().GetTile(0)->Name(), "Stone");
  EXPECT_EQ(Main.tsTile->edtTileName->text().toStdString(), Game().GetTile(0)->Name());
  EXPECT_FALSE(Game().Modified());
  EXPECT_FALSE(Main.isWindowModified());
  Main.mnuEdit->aboutToShow();
  EXPECT_EQ(Main.mnuRedo->text(), "&Redo Rename tile");
  EXPECT_FALSE(Main.mnuUndo->isEnabled());
  QTest::keyClick(Main.tvwTree, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Game().GetTile(0)->Name(), "Stone");
  EXPECT_TRUE(Main.isWindowModified());
  QTest::keyClick(Main.tvwTree, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // nothing more to redo
  EXPECT_EQ(Game().GetTile(0)->Name(), "Stone");

  // A structural undo replaces the items: the selection stays on the same
  // place in the tree and no pane keeps a freed item.
  Main.tsTiles->butNewTileClick();
  Settle();
  const int Count = Game().TileCount();
  Main.mnuUndo->trigger();
  EXPECT_EQ(Game().TileCount(), Count - 1);
  EXPECT_EQ(Main.tvwTree->topLevelItem(0)->child(0)->childCount(), Count - 1);
  ASSERT_NE(Main.tvwTree->currentItem(), nullptr);
  EXPECT_EQ(Main.tvwTree->currentItem()->parent(), Main.tvwTree->topLevelItem(0)->child(0));

  // The pane shown stays, and shows the game put back.
  Main.SelectNode(Main.GameNode());
  QTest::keyClicks(Main.tsGame->edtGameTitle, "X");
  Main.mnuUndo->trigger();
  EXPECT_EQ(Main.VisiblePane(), Main.tsGame);
  EXPECT_EQ(Main.tsGame->edtGameTitle->text().toStdString(), Game().Title());
  EXPECT_EQ(Main.mnuUndo->text().toStdString(), "&Undo Rename tile");  // the title step is redoable now

  // New and Open start a new history.
  Dialogs.Answers.push_back(TMsgAnswer::No);
  Main.mnuNewClick();
  ASSERT_EQ(Dialogs.Answers.size(), 0u);
  Main.mnuEdit->aboutToShow();
  EXPECT_FALSE(Main.mnuUndo->isEnabled());
  EXPECT_FALSE(Main.mnuRedo->isEnabled());
}

TEST_F(Undo, KeepsAtLeastAHundredSteps) {
  for (int i = 0; i < 120; ++i) Main.tsTiles->butNewTileClick();
  int Undone = 0;
  while (Main.Document().Undo()) ++Undone;
  EXPECT_GE(Undone, 100);
  EXPECT_EQ(Game().TileCount(), 120 - Undone);
}

TEST_F(Undo, NothingReplacesOrDeletesTheGameUnderAModalEditor) {
  ASSERT_TRUE(Main.OpenGameFile(QString::fromStdString(Sample)));
  TLevel* Level = Game().GetLevel(0);
  TGame* Before = &Game();
  Select(Level);
  // Late clicks, as from a key pressed just before the window opened.
  WhenModal<TfrmLevelEditor>([&](TfrmLevelEditor&) {
    Main.mnuNewClick();
    EXPECT_FALSE(Main.OpenGameFile(QString::fromStdString(Sample)));
    EXPECT_FALSE(Main.DeleteNode(Main.NodeOf(Level)));
    Main.mnuUndoClick();
  });
  Main.tsLevel->butEditLayout->click();
  EXPECT_EQ(&Game(), Before);
  EXPECT_EQ(Game().GetLevel(0), Level);
  EXPECT_EQ(Dialogs.Messages.size(), 0u);
}

TEST_F(Undo, AnEditorsUndoStopsWhereItOpenedAlsoInAFullHistory) {
  TDocument& History = Main.Document();
  for (int i = 0; i < 210; ++i) Main.tsTiles->butNewTileClick();
  TLevel* Level = nullptr;
  TActor* Actor = nullptr;
  {
    TEdit Edit(Game(), "Level and actor");
    Level = Game().AddLevel();
    Level->SetSize(8, 8);
    Actor = Game().AddActor();
  }
  const TContent Opened = Game().ContentBytes();
  History.BeginScope();
  for (int i = 0; i < 3; ++i) {  // each step drops the oldest one
    TEdit Edit(Game(), "Cell");
    Level->SetCell(i, 0, Actor);
  }
  int Undone = 0;
  while (History.Undo()) ++Undone;
  History.EndScope();
  EXPECT_EQ(Undone, 3);
  EXPECT_EQ(Game().ContentBytes(), Opened);
  EXPECT_TRUE(History.CanUndo());
}

// What watching for input used to get wrong: a command that changes nothing
// named the next step, and a change made inside a modal editor could be put
// back only half.
TEST_F(Undo, OnlyCommandsThatChangeSomethingAreStepsAndEveryStepIsWhole) {
  ASSERT_TRUE(Main.OpenGameFile(QString::fromStdString(Sample)));
  Main.SelectNode(Main.TilesNode());
  WhenModal<TfrmPaletteEditor>([&](TfrmPaletteEditor& Editor) {
    Editor.grdPalette->SetSelectedCell(3, 0);
    Editor.grdPaletteDragDrop(3, 0);  // a colour dragged onto itself
    Editor.grdPalette->SetSelectedCell(0, 15);  // beyond the active colours: Clear changes nothing
    Dialogs.Answers.push_back(TMsgAnswer::Yes);
    Editor.butClearClick();
    EXPECT_EQ(Main.Document().History().StepCount(), 0);
    Editor.grdPalette->SetSelectedCell(3, 0);
    Editor.grdPaletteSelectCell(3, 0);
    Editor.barRed->setValue(Editor.barRed->value() == 9 ? 10 : 9);
    Editor.barRed->setValue(Editor.barRed->value() == 9 ? 10 : 9);  // a drag is one step
    EXPECT_EQ(Main.Document().History().StepCount(), 1);
    EXPECT_EQ(Main.Document().UndoName(), "Edit palette");
  });
  Main.tsTiles->butPaletteEditorClick();

  // An edit that fails half way inside the level editor puts the whole game
  // back; the editor goes on with the game put back.
  TLevel* Level = Game().GetLevel(0);
  const TContent Before = Game().ContentBytes();
  Select(Level);
  WhenModal<TfrmLevelEditor>([&](TfrmLevelEditor& Editor) {
    EXPECT_THROW(
        {
          TEdit Edit(Game(), "Half");
          Game().AddTile();
          Game().GetLevel(0)->SetCell(1, 1, nullptr);
          throw std::runtime_error("half way");
        },
        std::runtime_error);
    EXPECT_EQ(Game().ContentBytes(), Before);
    ASSERT_EQ(Editor.Level(), Game().GetLevel(0));
    Editor.lbxActors->setCurrentRow(1);
    QTest::mouseClick(Editor.grdLayout->viewport(), Qt::LeftButton, {}, Editor.grdLayout->CellRect(2, 2).center());
    EXPECT_EQ(Game().GetLevel(0)->GetCell(2, 2), Game().GetActor(0));
    QTest::keyClick(&Editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Game().ContentBytes(), Before);
  });
  Main.tsLevel->butEditLayoutClick();
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

// What the layout editor's window shows (its backing store, not a fresh
// paint) equals a fresh paint of the model after every placement, undo and
// redo, without a click, and no cell previews the chosen actor after an undo
// or redo: an undone placement that stayed drawn let a second undo take away
// a placement the user could not see.
TEST_F(Undo, TheLayoutEditorShowsEveryUndoAndRedoAsItHappens) {
  ASSERT_TRUE(Main.OpenGameFile(QString::fromStdString(Sample)));
  TLevel* Level = Game().GetLevel(0);
  Select(Level);
  WhenModal<TfrmLevelEditor>([&](TfrmLevelEditor& Editor) {
    TLayoutGrid* Grid = Editor.grdLayout;
    auto ShowsTheModel = [&] { return ShowsWhatItPaints(Editor, Grid->viewport()); };
    const QPoint Cells[] = {{2, 2}, {5, 3}, {9, 6}};
    std::vector<TActor*> Before, After;
    for (const QPoint& C : Cells) {
      Before.push_back(Level->GetCell(C.x(), C.y()));
      Editor.lbxActors->setCurrentRow(Before.back() == Game().GetActor(1) ? 3 : 2);
      QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, Grid->CellRect(C.x(), C.y()).center());
      After.push_back(Level->GetCell(C.x(), C.y()));
      ASSERT_NE(After.back(), Before.back());
      EXPECT_TRUE(ShowsTheModel()) << "placed at " << C.x() << "," << C.y();
    }
    for (int i = 2; i >= 0; --i) {
      QTest::keyClick(&Editor, Qt::Key_Z, Qt::ControlModifier);
      ASSERT_EQ(Level->GetCell(Cells[i].x(), Cells[i].y()), Before[i]);
      EXPECT_TRUE(ShowsTheModel()) << "undo " << i;
      EXPECT_TRUE(Grid->Selection().isEmpty()) << "undo " << i;
    }
    for (int i = 0; i < 3; ++i) {
      QTest::keyClick(&Editor, Qt::Key_Y, Qt::ControlModifier);
      ASSERT_EQ(Level->GetCell(Cells[i].x(), Cells[i].y()), After[i]);
      EXPECT_TRUE(ShowsTheModel()) << "redo " << i;
      EXPECT_TRUE(Grid->Selection().isEmpty()) << "redo " << i;
    }
    Editor.reject();
  });
  Main.tsLevel->butEditLayoutClick();
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

// The palette editor's window shows a colour's change, its undo and its
// redo as they happen: the grid and the sliders follow the model.
TEST_F(Undo, ThePaletteEditorShowsEveryChangeItsUndoAndRedo) {
  Main.SelectNode(Main.TilesNode());
  WhenModal<TfrmPaletteEditor>([&](TfrmPaletteEditor& Editor) {
    Editor.grdPalette->SetSelectedCell(3, 0);
    Editor.grdPaletteSelectCell(3, 0);
    const int Red = Editor.barRed->value();
    Editor.barRed->setValue(Red == 9 ? 10 : 9);
    EXPECT_TRUE(ShowsWhatItPaints(Editor, Editor.grdPalette)) << "change";
    QTest::keyClick(&Editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Editor.barRed->value(), Red);
    EXPECT_TRUE(ShowsWhatItPaints(Editor, Editor.grdPalette)) << "undo";
    QTest::keyClick(&Editor, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_NE(Editor.barRed->value(), Red);
    EXPECT_TRUE(ShowsWhatItPaints(Editor, Editor.grdPalette)) << "redo";
  });
  Main.tsTiles->butPaletteEditorClick();
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

namespace {

// What a pane shows, control by control: the values a user reads off it.
// Pictures drawn by the program's own widgets count by their pixels.
std::vector<std::string> PaneLines(const QWidget& Pane) {
  std::vector<std::string> Lines;
  for (const QWidget* W : Pane.findChildren<QWidget*>()) {
    // The clock runs on, and whether the machine has a sound device is no
    // part of the game.
    if (!W->isVisibleTo(&Pane) || W->objectName() == "edtEditTime" || W->objectName() == "lblSoundUnheard") continue;
    std::string Value;
    if (auto* Edit = qobject_cast<const QLineEdit*>(W)) {
      Value = Edit->text().toStdString();
    } else if (auto* Box = qobject_cast<const QComboBox*>(W)) {
      Value = Box->currentText().toStdString() + " of " + std::to_string(Box->count());
    } else if (auto* Button = qobject_cast<const QAbstractButton*>(W)) {
      Value = Button->text().toStdString() + (Button->isChecked() ? " on" : " off");
    } else if (auto* Slider = qobject_cast<const QAbstractSlider*>(W)) {
      Value = std::to_string(Slider->value());
    } else if (auto* Label = qobject_cast<const QLabel*>(W)) {
      Value = Label->text().toStdString();
    } else if (auto* List = qobject_cast<const QListWidget*>(W)) {
      for (int i = 0; i < List->count(); ++i) Value += List->item(i)->text().toStdString() + "|";
      Value += " at " + std::to_string(List->currentRow());
    } else if (W->metaObject()->className()[0] == 'T' && W->findChildren<QWidget*>().isEmpty()) {
      const QImage Picture = const_cast<QWidget*>(W)->grab().toImage();
      Value = std::to_string(qHash(QByteArrayView(Picture.constBits(), Picture.sizeInBytes())));
    } else {
      continue;
    }
    Lines.push_back(std::string(W->metaObject()->className()) + " " + W->objectName().toStdString() + ": " + Value +
                    (W->isEnabled() ? "" : " (off)"));
  }
  return Lines;
}

// The lines that differ, for the failure message.
std::string Differences(const std::vector<std::string>& Now, const std::vector<std::string>& Expected) {
  std::string Text;
  for (std::size_t i = 0; i < std::max(Now.size(), Expected.size()); ++i) {
    const std::string A = i < Now.size() ? Now[i] : "-", B = i < Expected.size() ? Expected[i] : "-";
    if (A != B) Text += "\n  shows:    " + A + "\n  expected: " + B;
  }
  return Text;
}

}  // namespace

// A change made in a pane, its undo and its redo: the pane shows the item as
// it was before and after, as a pane opened afresh on it shows it.
TEST_F(Undo, EveryPaneShowsItsItemAsTheHistoryPutsItBack) {
  const std::string Original = Dir.File("game.lvk");
  test::WriteBytes(Original, test::ReadBytes(Sample));
  ASSERT_TRUE(Main.OpenGameFile(QString::fromStdString(Original)));
  auto Type = [&](QWidget* Field, const char* Text) {
    Field->setFocus();
    QTest::keyClick(Field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Field, Text);
    QTest::keyClick(Field, Qt::Key_Return);
  };
  auto Choose = [](QComboBox* Box) {
    Box->setCurrentIndex(Box->currentIndex() == 1 ? 2 : 1);
    emit Box->activated(Box->currentIndex());
  };
  ASSERT_GT(Game().VariableCount(), 0);
  ASSERT_GT(Game().SoundCount(), 0);
  const struct {
    const char* Step;
    std::function<void()> Show, Change;
  } Rows[] = {
      {"Change title", [&] { Main.SelectNode(Main.GameNode()); },
       [&] { QTest::keyClicks(Main.tsGame->edtGameTitle, "X"); }},
      {"Rename tile", [&] { Select(Game().GetTile(1)); }, [&] { Type(Main.tsTile->edtTileName, "Renamed"); }},
      {"Import tile",
       [&] {
         Select(Game().GetTile(1));
         Dialogs.Files.push_back(TilesFolder + "Gem.bmp");
       },
       [&] { Main.tsTile->butTileImport->click(); }},
      {"Change actor's tile", [&] { Select(Game().GetActor(0)); }, [&] { Choose(Main.tsActor->cbxActorTiles); }},
      {"Change actor's size", [&] { Select(Game().GetActor(0)); }, [&] { Choose(Main.tsActor->pnlLook->cbxActorSize); }},
      {"Change event settings", [&] { Select(CollisionHandler(Game())); },
       [&] {
         auto* Frame = qobject_cast<TfraEventCollision*>(Main.tsHandler->Editor());
         (Frame->rbutOverlap->isChecked() ? Frame->rbutRepel : Frame->rbutOverlap)->click();
       }},
      {"Add action",
       [&] {
         Select(CollisionHandler(Game()));
         Main.tsHandler->fraActions->lbxActions->setCurrentRow(1);
       },
       [&] {
         Main.tsHandler->fraActions->AddAction(0);
         Main.tsHandler->fraActions->lbxActions->setCurrentRow(1);  // the new one came up
       }},
      {"Change level music", [&] { Select(Game().GetLevel(0)); }, [&] { Choose(Main.tsLevel->cbxLevelMusic); }},
      {"Change level backdrop", [&] { Select(Game().GetLevel(0)); }, [&] { Choose(Main.tsLevel->cbxLevelBackdrop); }},
      {"Change camera", [&] { Select(Game().GetLevel(0)); }, [&] { Main.tsLevel->chkLockX->click(); }},
      {"Change variable", [&] { Select(Game().GetVariable(0)); },
       [&] { Type(Main.tsVariable->speVariableInitial, "42"); }},
      {"Change sound", [&] { Select(Game().GetSound(0)); }, [&] { Choose(Main.tsSound->cbxSoundWave); }},
  };
  for (const auto& Row : Rows) {
    SCOPED_TRACE(Row.Step);
    Row.Show();
    Settle();
    const std::vector<std::string> Before = PaneLines(*Main.VisiblePane());
    auto Reached = [&] { return Main.Document().History().Position() + Main.Document().History().Dropped(); };
    const int Start = Reached();
    Row.Change();
    Settle();
    ASSERT_EQ(Reached(), Start + 1) << "no step";
    const std::vector<std::string> After = PaneLines(*Main.VisiblePane());
    EXPECT_NE(After, Before);
    auto Expect = [&](const std::vector<std::string>& Lines, const char* When) {
      const std::vector<std::string> Now = PaneLines(*Main.VisiblePane());
      EXPECT_TRUE(Now == Lines) << When << Differences(Now, Lines);
      Main.SelectNode(Main.tvwTree->currentItem());  // shown afresh
      const std::vector<std::string> Fresh = PaneLines(*Main.VisiblePane());
      EXPECT_TRUE(Fresh == Lines) << When << ", shown afresh" << Differences(Fresh, Lines);
    };
    Main.mnuUndo->trigger();
    Expect(Before, "after the undo");
    Main.mnuRedo->trigger();
    Expect(After, "after the redo");
  }
  EXPECT_EQ(Dialogs.Unexpected, 0);
}
