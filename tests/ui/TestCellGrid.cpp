// The cell grid in the configurations its two editors do not cover:
// rectangular cells in a scrolling view, and a grid that shows all updated
// as a whole.
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "ui/editors/UCellGrid.h"

namespace {

// Each cell painted in a colour that names it.
QRgb ColourOf(int Column, int Row) { return qRgb(Column * 6, Row * 8, 200); }

// 40 x 30 cells of 30 x 10 pixels with 1-pixel lines, in a view of about 200 x 120.
struct ScrollingGrid : ::testing::Test {
  TCellGrid Grid{TCellGrid::TSizing::Scrolling, TCellGrid::TSelectionRule::MayBeEmpty};

  void SetUp() override {
    Grid.SetGridSize(40, 30);
    Grid.SetCellSize(30, 10);
    Grid.SetLineWidth(1);
    Grid.DrawCell = [](QPainter& Painter, const QRect& Rect, int Column, int Row, bool) {
      Painter.fillRect(Rect, ColourOf(Column, Row));
    };
    Grid.resize(200, 120);
    Grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Grid));
    Grid.setFocus();
  }
  bool InView(QPoint Cell) const { return Grid.viewport()->rect().contains(Grid.CellRect(Cell.x(), Cell.y())); }
  // Every cell wholly in view shows its own colour at its centre.
  void ExpectCellsInView() const {
    const QImage Shown = Grid.viewport()->grab().toImage();
    int Seen = 0;
    for (int Row = 0; Row < Grid.RowCount(); ++Row)
      for (int Column = 0; Column < Grid.ColCount(); ++Column) {
        if (!InView({Column, Row})) continue;
        ++Seen;
        EXPECT_EQ(Shown.pixel(Grid.CellRect(Column, Row).center()), ColourOf(Column, Row)) << Column << "," << Row;
      }
    EXPECT_GE(Seen, 10);
  }
};

}  // namespace

TEST_F(ScrollingGrid, KeysScrollTheCurrentCellIntoViewAndPaintWhatIsThere) {
  ExpectCellsInView();
  QTest::keyClick(&Grid, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(Grid.CurrentCell(), QPoint(39, 29));
  EXPECT_TRUE(InView({39, 29}));
  EXPECT_EQ(Grid.CellAt(Grid.CellRect(39, 29).center()), QPoint(39, 29));
  ExpectCellsInView();

  // A page is the rows in view, not the columns.
  QTest::keyClick(&Grid, Qt::Key_PageUp);
  EXPECT_EQ(Grid.CurrentCell(), QPoint(39, 29 - Grid.viewport()->height() / 11));
  QTest::keyClick(&Grid, Qt::Key_Home, Qt::ShiftModifier);
  EXPECT_EQ(Grid.Selection(), QRect(QPoint(0, Grid.CurrentCell().y()), QPoint(39, Grid.CurrentCell().y())));
  EXPECT_TRUE(InView(Grid.CurrentCell()));
  EXPECT_EQ(Grid.horizontalScrollBar()->value(), 0);
  ExpectCellsInView();
}

TEST_F(ScrollingGrid, DragPastTheEdgeStopsAtTheLastCellAndIsOneClick) {
  QSignalSpy Clicks(&Grid, &TCellGrid::Clicked);
  QTest::mousePress(Grid.viewport(), Qt::LeftButton, {}, Grid.CellRect(1, 2).center());
  QTest::mouseMove(Grid.viewport(), QPoint(5000, 5000));
  EXPECT_EQ(Grid.Selection(), QRect(QPoint(1, 2), QPoint(39, 29)));
  EXPECT_TRUE(InView({39, 29}));
  // Keys during the drag scroll and leave the selection to the mouse.
  QTest::keyClick(&Grid, Qt::Key_Up);
  EXPECT_EQ(Grid.CurrentCell(), QPoint(39, 29));
  EXPECT_EQ(Clicks.count(), 0);
  QTest::mouseRelease(Grid.viewport(), Qt::LeftButton, {}, QPoint(5000, 5000));
  EXPECT_EQ(Clicks.count(), 1);
  EXPECT_EQ(Grid.Selection(), QRect(QPoint(1, 2), QPoint(39, 29)));
}

TEST_F(ScrollingGrid, TheSecondClickOfADoubleClickCounts) {
  QSignalSpy Clicks(&Grid, &TCellGrid::Clicked);
  const QPoint Border = Grid.CellRect(2, 1).topLeft();
  QTest::mouseClick(Grid.viewport(), Qt::LeftButton, {}, Border - QPoint(1, 0));
  EXPECT_EQ(Grid.Selection(), QRect(1, 1, 1, 1));
  QTest::mouseDClick(Grid.viewport(), Qt::LeftButton, {}, Border + QPoint(1, 0));
  QTest::mouseRelease(Grid.viewport(), Qt::LeftButton, {}, Border + QPoint(1, 0));
  EXPECT_EQ(Grid.Selection(), QRect(2, 1, 1, 1));
  EXPECT_EQ(Clicks.count(), 2);
}

TEST(CellGrid, ShowAllTakesTheSizeOfItsCellsAndRepaintsWhenUpdatedAsAWhole) {
  TCellGrid Grid(TCellGrid::TSizing::ShowAll, TCellGrid::TSelectionRule::NeverEmpty);
  Grid.SetMargin(3);
  Grid.SetGridSize(0, 4);  // never fewer than one column
  Grid.SetCellSize(12, 7);
  EXPECT_EQ(Grid.size(), QSize(3 + 12 + 3, 3 + 4 * 7 + 3 * 2 + 3));
  EXPECT_EQ(Grid.Selection(), QRect(0, 0, 1, 1));
  Grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Grid));
  EXPECT_EQ(Grid.viewport()->geometry(), Grid.rect());

  // Owners update the grid, not its viewport, after the cells changed.
  int Paints = 0;
  Grid.DrawCell = [&Paints](QPainter&, const QRect&, int, int, bool) { ++Paints; };
  Grid.update();
  EXPECT_TRUE(QTest::qWaitFor([&] { return Paints >= 4; }, 2000));
}
