// The level layout window driven for real on the offscreen platform.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <QTest>
#include <gtest/gtest.h>

#include "TScriptedDialogs.h"
#include "TestSupport.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UTile.h"
#include "ui/common/FHelp.h"
#include "ui/editors/FLevelEditor.h"
#include "ui/common/UHelp.h"

using namespace lvk;

namespace {

constexpr QRgb Red = qRgb(255, 0, 0);

QStringList Entries(const QListWidget* List) {
  QStringList Texts;
  for (int i = 0; i < List->count(); ++i) Texts << List->item(i)->text();
  return Texts;
}

// A game with a red Wall (its tile has a picture) and a Hero without a tile,
// and a 32 x 24 level named Cave.
struct LevelEditor : ::testing::Test {
  TScriptedDialogs Dialogs;
  test::TTempDir Dir;
  TGame Game;
  TActor* Hero = nullptr;
  TActor* Wall = nullptr;
  TLevel* Level = nullptr;
  TfrmLevelEditor Dlg;
  TLayoutGrid* Grid = Dlg.grdLayout;

  void SetUp() override {
    test::SolidBitmap(8, 8, 24, 0x0000FF).SaveToFile(Dir.File("red.bmp"));
    TTile* Brick = Game.AddTile();
    Brick->ImportBitmap(Dir.File("red.bmp"));
    Hero = Game.AddActor();
    Hero->SetName("Hero");
    Wall = Game.AddActor();
    Wall->SetName("Wall");
    Wall->SetTile(Brick);
    Level = Game.AddLevel();
    Level->SetName("Cave");
    Level->SetSize(32, 24);
  }

  void Open() {
    Dlg.SetLevel(Level);
    Dlg.show();
    Dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Dlg));
    test::ClearModified(Game);
  }
  void Choose(int Entry) {
    QListWidget* List = Dlg.lbxActors;
    QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, List->visualItemRect(List->item(Entry)).center());
  }
  QPoint At(int Column, int Row) const { return Grid->CellRect(Column, Row).center(); }
  void Click(int Column, int Row) { QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, At(Column, Row)); }
  QRgb Shown(int Column, int Row) const { return Grid->viewport()->grab().toImage().pixel(At(Column, Row)); }
  void Type(QComboBox* Box, const QString& Text) {
    Box->setFocus(Qt::TabFocusReason);
    Box->clearEditText();
    QTest::keyClicks(Box->lineEdit(), Text);
  }
  // Cells holding Actor, row by row.
  QList<QPoint> CellsWith(const TActor* Actor) const {
    QList<QPoint> Cells;
    for (int R = 0; R < Level->Height(); ++R)
      for (int C = 0; C < Level->Width(); ++C)
        if (Level->GetCell(C, R) == Actor) Cells << QPoint(C, R);
    return Cells;
  }
};

}  // namespace

TEST_F(LevelEditor, OpensWithEraseChosenAndTheEditingView) {
  Open();
  EXPECT_EQ(Dlg.windowTitle(), "Level layout designer: Cave");
  EXPECT_EQ(Entries(Dlg.lbxActors), (QStringList{"<erase>", "Hero", "Wall"}));
  ASSERT_EQ(Dlg.lbxActors->selectedItems().size(), 1);
  EXPECT_EQ(Dlg.lbxActors->row(Dlg.lbxActors->selectedItems().first()), 0);
  EXPECT_EQ(Dlg.cbxZoom->currentText(), "200%");
  EXPECT_EQ(Dlg.cbxHairsize->currentText(), "2px");
  EXPECT_TRUE(Grid->Selection().isNull());
  EXPECT_EQ(Grid->ColCount(), 32);
  EXPECT_EQ(Grid->RowCount(), 24);
  EXPECT_EQ(Grid->CellSize(), 16);
  EXPECT_EQ(Grid->LineWidth(), 2);

  // Showing again does not add the entries twice.
  Dlg.hide();
  Dlg.show();
  EXPECT_EQ(Dlg.lbxActors->count(), 3);

  // Its help button and the help key both ask for the window's page.
  EXPECT_EQ(NearestHelpKeyword(Grid), "level-editor");
  QTest::mouseClick(Dlg.BitBtn1, Qt::LeftButton);
  ASSERT_NE(HelpWindow(), nullptr);
  EXPECT_TRUE(HelpWindow()->CurrentPage().endsWith("help/level-editor.htm"));
}

TEST_F(LevelEditor, ViewBoxesNormaliseTheirTextAndResizeTheCells) {
  Open();
  Type(Dlg.cbxZoom, "50");
  QTest::keyClick(Dlg.cbxZoom->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(Dlg.cbxZoom->currentText(), "50%");
  EXPECT_EQ(Grid->CellSize(), 4);
  EXPECT_TRUE(Dlg.isVisible());  // Enter is the box's, not the window's
  EXPECT_EQ(Dlg.cbxZoom->count(), 7);  // and adds no item

  Type(Dlg.cbxHairsize, "3");
  QTest::keyClick(Dlg.cbxHairsize->lineEdit(), Qt::Key_Enter);
  EXPECT_EQ(Grid->LineWidth(), 3);
  // Leaving the box with nonsense in it brings back the default.
  Type(Dlg.cbxHairsize, "xyz");
  Dlg.lbxActors->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(Dlg.cbxHairsize->currentText(), "2px");
  EXPECT_EQ(Grid->LineWidth(), 2);

  Type(Dlg.cbxZoom, "125");
  Dlg.lbxActors->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(Dlg.cbxZoom->currentText(), "125%");
  EXPECT_EQ(Grid->CellSize(), 10);

  // Choosing an item from the drop-down applies it at once.
  Dlg.cbxZoom->setCurrentIndex(6);
  emit Dlg.cbxZoom->activated(6);
  EXPECT_EQ(Grid->CellSize(), 32);

  // Zero and negative sizes still leave a grid that shows and takes clicks.
  Type(Dlg.cbxZoom, "0");
  QTest::keyClick(Dlg.cbxZoom->lineEdit(), Qt::Key_Return);
  Type(Dlg.cbxHairsize, "-5px");
  QTest::keyClick(Dlg.cbxHairsize->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(Dlg.cbxZoom->currentText(), "0%");
  EXPECT_EQ(Dlg.cbxHairsize->currentText(), "-5px");
  EXPECT_EQ(Grid->CellSize(), 1);
  EXPECT_EQ(Grid->LineWidth(), 0);
  Choose(2);
  Click(31, 23);
  EXPECT_EQ(Level->GetCell(31, 23), Wall);
}

TEST_F(LevelEditor, RealShowsTilesAtTheirSizeWithoutLines) {
  Open();
  Level->SetCell(0, 0, Wall);
  Level->SetCell(1, 0, Wall);
  const QRgb Line = Grid->palette().color(QPalette::Mid).rgb();
  // In the editing view a line runs between the two walls.
  EXPECT_EQ(Grid->viewport()->grab().toImage().pixel(16, 4), Line);

  QTest::mouseClick(Dlg.butReal, Qt::LeftButton);
  EXPECT_EQ(Dlg.cbxZoom->currentText(), "100%");
  EXPECT_EQ(Dlg.cbxHairsize->currentText(), "0px");
  EXPECT_EQ(Grid->CellSize(), 8);
  EXPECT_EQ(Grid->LineWidth(), 0);
  const QImage Real = Grid->viewport()->grab().toImage();
  for (int X = 0; X < 16; ++X) EXPECT_EQ(Real.pixel(X, 4), Red) << "x " << X;

  QTest::mouseClick(Dlg.butEdit, Qt::LeftButton);
  EXPECT_EQ(Dlg.cbxZoom->currentText(), "200%");
  EXPECT_EQ(Dlg.cbxHairsize->currentText(), "2px");
  EXPECT_EQ(Grid->CellSize(), 16);
  EXPECT_EQ(Grid->LineWidth(), 2);
}

TEST_F(LevelEditor, DragPreviewsThenFillsTheRectangle) {
  Open();
  Choose(2);
  QTest::mousePress(Grid->viewport(), Qt::LeftButton, {}, At(2, 3));
  QTest::mouseMove(Grid->viewport(), At(5, 4));
  // While the button is down the selection shows the wall, but the level
  // holds nothing yet.
  EXPECT_EQ(Grid->Selection(), QRect(2, 3, 4, 2));
  EXPECT_EQ(Shown(5, 4), Red);
  EXPECT_EQ(Level->GetCell(5, 4), nullptr);
  EXPECT_FALSE(Game.Modified());

  QTest::mouseRelease(Grid->viewport(), Qt::LeftButton, {}, At(5, 4));
  const QList<QPoint> Filled{{2, 3}, {3, 3}, {4, 3}, {5, 3}, {2, 4}, {3, 4}, {4, 4}, {5, 4}};
  EXPECT_EQ(CellsWith(Wall), Filled);
  EXPECT_TRUE(Game.Modified());

  // The same actor again changes nothing, so the document stays unchanged.
  test::ClearModified(Game);
  Click(3, 3);
  EXPECT_EQ(CellsWith(Wall), Filled);
  EXPECT_FALSE(Game.Modified());

  // Dragging backwards, up and left, fills the same kind of rectangle.
  Choose(1);
  QTest::mousePress(Grid->viewport(), Qt::LeftButton, {}, At(9, 9));
  QTest::mouseMove(Grid->viewport(), At(8, 7));
  QTest::mouseRelease(Grid->viewport(), Qt::LeftButton, {}, At(8, 7));
  EXPECT_EQ(CellsWith(Hero), (QList<QPoint>{{8, 7}, {9, 7}, {8, 8}, {9, 8}, {8, 9}, {9, 9}}));
}

TEST_F(LevelEditor, EraseEmptiesOnlyFilledCells) {
  Level->SetCell(4, 4, Wall);
  Open();
  Click(6, 6);
  EXPECT_FALSE(Game.Modified());
  Click(4, 4);
  EXPECT_EQ(Level->GetCell(4, 4), nullptr);
  EXPECT_TRUE(Game.Modified());
  EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(LevelEditor, KeysMoveWithoutPlacingAndSpacePlaces) {
  Level->SetCell(5, 5, Hero);
  Open();
  Choose(2);
  Click(3, 5);
  test::ClearModified(Game);
  EXPECT_TRUE(Grid->hasFocus());
  // Walking over the Hero leaves him there and places nothing.
  for (int i = 0; i < 3; ++i) QTest::keyClick(Grid, Qt::Key_Right);
  EXPECT_EQ(Grid->CurrentCell(), QPoint(6, 5));
  EXPECT_EQ(CellsWith(Wall), (QList<QPoint>{{3, 5}}));
  EXPECT_EQ(Level->GetCell(5, 5), Hero);
  EXPECT_FALSE(Game.Modified());

  // Shift stretches the selection from the last cell moved to without it;
  // Space then fills the whole selection.
  QTest::keyClick(Grid, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(Grid, Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(Grid->Selection(), QRect(5, 5, 2, 2));
  EXPECT_EQ(Level->GetCell(5, 5), Hero);
  QTest::keyClick(Grid, Qt::Key_Space);
  EXPECT_EQ(CellsWith(Wall), (QList<QPoint>{{3, 5}, {5, 5}, {6, 5}, {5, 6}, {6, 6}}));

  // Home and a move against the edge place nothing either; Space fills the
  // focused cell without moving.
  QTest::keyClick(Grid, Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClick(Grid, Qt::Key_Up);
  EXPECT_EQ(Level->GetCell(0, 0), nullptr);
  QTest::keyClick(Grid, Qt::Key_Space);
  EXPECT_EQ(Level->GetCell(0, 0), Wall);

  // Leaving the grid leaves no selection behind, so no preview either.
  Dlg.lbxActors->setFocus(Qt::TabFocusReason);
  EXPECT_TRUE(Grid->Selection().isNull());
}

TEST_F(LevelEditor, ClickWithoutAChosenActorOnlyAsks) {
  Open();
  QListWidget* List = Dlg.lbxActors;
  // Ctrl+click takes the choice away.
  QTest::mouseClick(List->viewport(), Qt::LeftButton, Qt::ControlModifier, List->visualItemRect(List->item(0)).center());
  ASSERT_TRUE(List->selectedItems().isEmpty());
  Level->SetCell(1, 1, Hero);
  test::ClearModified(Game);
  Click(1, 1);
  EXPECT_EQ(Dialogs.LastText(), "First select an Actor");
  EXPECT_EQ(Level->GetCell(1, 1), Hero);
  EXPECT_FALSE(Game.Modified());
}

TEST_F(LevelEditor, LevelWithoutCellsShowsAnEmptyGrid) {
  Level->SetSize(0, 0);
  Open();
  EXPECT_EQ(Grid->ColCount(), 0);
  EXPECT_EQ(Grid->CurrentCell(), QPoint(-1, -1));
  QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::keyClick(Grid, Qt::Key_Right);
  QTest::keyClick(Grid, Qt::Key_Space);
  QTest::mouseClick(Dlg.butReal, Qt::LeftButton);
  EXPECT_TRUE(Grid->Selection().isNull());
  EXPECT_FALSE(Game.Modified());

  // Columns without rows are no cells either.
  Dlg.hide();
  Level->SetSize(5, 0);
  Dlg.show();
  QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(Grid->Selection().isNull());
  EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(LevelEditor, LargeLevelsZoomAroundTheMouseScrollAndJump) {
  Level->SetSize(256, 128);
  Level->SetCell(200, 100, Wall);
  TLevelCamera Camera;
  Camera.Follow = Wall;
  Level->SetCamera(Camera);
  Open();
  Dlg.resize(900, 700);
  QCoreApplication::processEvents();
  ASSERT_TRUE(Dlg.pnlOverview->isVisible());

  // Ctrl+wheel: the zoom steps through the list and the level pixel under
  // the mouse stays under it.
  const QPoint Mouse(150, 120);
  const QPointF Before = Grid->LevelPixelAt(Mouse);
  struct TCase {
    int Steps;
    int Zoom;
  };
  for (const TCase& C : {TCase{1, 300}, TCase{1, 400}, TCase{1, 400}, TCase{-3, 150}, TCase{-5, 25}}) {
    QWheelEvent Wheel(Mouse, Grid->viewport()->mapToGlobal(Mouse), {}, QPoint(0, 120 * C.Steps), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Grid->viewport(), &Wheel);
    EXPECT_EQ(Dlg.ZoomValue(), C.Zoom) << C.Steps;
    const QPointF After = Grid->LevelPixelAt(Mouse);
    // Within a cell at the new zoom, scroll bars allowing.
    if (Grid->horizontalScrollBar()->value() > 0) {
      EXPECT_NEAR(After.x(), Before.x(), 8.0) << C.Zoom;
    }
  }

  // A click on the overview brings that part into the middle of the view.
  Dlg.butEditClick();
  const QRect Overview = Dlg.pnlOverview->rect();
  const QPoint Spot(Overview.width() * 3 / 4, Overview.width() / 4);
  QTest::mouseClick(Dlg.pnlOverview, Qt::LeftButton, {}, Spot);
  const double Scale = std::min(Overview.width() / 256.0, Overview.height() / 128.0);
  const QPointF Middle = Grid->LevelPixelAt(Grid->viewport()->rect().center()) / 8.0;
  EXPECT_NEAR(Middle.x(), Spot.x() / Scale, 1.5);
  EXPECT_NEAR(Middle.y(), Spot.y() / Scale, 1.5);

  // Painting there: a click places the chosen actor on the cell under it.
  Choose(1);
  const QPoint Cell = Grid->CellAt(Grid->viewport()->rect().center());
  QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, Grid->viewport()->rect().center());
  EXPECT_EQ(Level->GetCell(Cell.x(), Cell.y()), Hero);

  // Middle-drag moves the view by the distance dragged.
  const int X = Grid->horizontalScrollBar()->value();
  QTest::mousePress(Grid->viewport(), Qt::MiddleButton, {}, QPoint(300, 200));
  QMouseEvent Move(QEvent::MouseMove, QPointF(260, 200), Grid->viewport()->mapToGlobal(QPointF(260, 200)),
                   Qt::NoButton, Qt::MiddleButton, {});
  QCoreApplication::sendEvent(Grid->viewport(), &Move);
  QTest::mouseRelease(Grid->viewport(), Qt::MiddleButton, {}, QPoint(260, 200));
  EXPECT_EQ(Grid->horizontalScrollBar()->value(), X + 40);
}

// The window follows the document's notices: a tile painted anew elsewhere
// (or by an undo past the window's own steps) shows in the cells at once,
// and the list names the actors as they are.
TEST_F(LevelEditor, FollowsTheLooksAndTheActorsItShows) {
  Level->SetCell(0, 0, Wall);
  Open();
  EXPECT_EQ(Shown(0, 0), Red);
  test::SolidBitmap(8, 8, 24, 0x00FF00).SaveToFile(Dir.File("green.bmp"));
  Wall->Tile()->ImportBitmap(Dir.File("green.bmp"));
  Dlg.Follow({TChangeKind::Changed, TItemKind::Tile, Wall->TileId(), cfLook});
  EXPECT_EQ(Shown(0, 0), qRgb(0, 255, 0));
  EXPECT_EQ(Dlg.lbxActors->item(2)->data(Qt::DecorationRole).value<QImage>().pixel(4, 4), qRgb(0, 255, 0));
  TActor* Ghost = Game.AddActor();
  Ghost->SetName("Ghost");
  Dlg.Follow({TChangeKind::Added, TItemKind::Actor, Ghost->Id()});
  Hero->SetName("Knight");
  Dlg.Follow({TChangeKind::Renamed, TItemKind::Actor, Hero->Id(), cfName});
  EXPECT_EQ(Entries(Dlg.lbxActors), (QStringList{"<erase>", "Knight", "Wall", "Ghost"}));
}
