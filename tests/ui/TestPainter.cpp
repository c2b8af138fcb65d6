// The painter driven for real: every tool and command paints the pixels it
// should as one named undo step, colours come only from the palette, and the
// tile's picture follows in the tree, the tile pane and the layout editor.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <set>

#include "TScriptedDialogs.h"
#include "TShownWindow.h"
#include "TestSupport.h"
#include "model/UActor.h"
#include "model/UAnimation.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UPalette.h"
#include "model/UTile.h"
#include "model/UTileBlock.h"
#include "ui/editors/FLevelEditor.h"
#include "ui/editors/FPainter.h"
#include "ui/editors/UPaintCanvas.h"
#include "ui/editors/UPaintPalette.h"
#include "ui/common/UPictures.h"
#include "ui/main/UItemViews.h"
#include "ui/main/FMain.h"
#include "ui/panes/PaneActor.h"
#include "ui/panes/PaneTile.h"
#include "ui/panes/UActorLook.h"

using namespace lvk;

namespace lvk {
// Failures show the picture as rows of indices.
void PrintTo(const TPixels& P, std::ostream* Out) {
  for (int y = 0; y < P.Height(); ++y) {
    *Out << "\n";
    for (int x = 0; x < P.Width(); ++x) *Out << static_cast<int>(P.Get(x, y)) << ' ';
  }
}
}  // namespace lvk

namespace {

// Entries of the default palette: 18 + 36 red + 6 green + blue steps of 51.
constexpr int Red = 18 + 5 * 36, Green = 18 + 5 * 6, Blue = 18 + 5;

struct Painter : ::testing::Test {
  TScriptedDialogs Dialogs;
  TfrmMain Main;
  TfrmPainter* Dlg = nullptr;

  void SetUp() override {
    Main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
  }
  TGame& Game() { return Main.Game(); }
  TTile& Tile() { return *Game().GetTile(0); }
  TPixels Pixels() { return TilePixels(Tile().Bitmap(), Game().Palette()); }

  // Runs Body in the painter of a new blank tile, made with the Tiles pane's button.
  void PaintNewTile(const std::function<void()>& Body) {
    Main.SelectNode(Main.TilesNode());
    bool Ran = false;
    QTimer::singleShot(0, [&] {
      if (!Up()) return;
      Dlg->SetZoomChoice(16);
      Body();
      Ran = true;
      Dlg->close();
    });
    Main.tsTiles->butNewPaintedTileClick();
    ASSERT_TRUE(Ran);
  }
  // The painter as the user has it: active, so that its keys reach it.
  bool Up() {
    Dlg = qobject_cast<TfrmPainter*>(QApplication::activeModalWidget());
    if (!Dlg) return false;
    QApplication::setActiveWindow(Dlg);
    return QTest::qWaitForWindowActive(Dlg) && QApplication::activeWindow() == Dlg;
  }
  // A 16x16 actor with one animation of two empty frames.
  TActor* AddHeroOfTwoFrames() {
    TEdit Edit(Game(), "Test");
    TActor* Hero = Game().AddActor();
    Hero->SetSize(16, 16);
    Hero->AddAnimation();
    Hero->AddFrame(0);
    return Hero;
  }
  QWidget* Canvas() { return Dlg->imgCanvas; }
  QPoint At(int X, int Y) { return {X * 16 + 8, Y * 16 + 8}; }
  void Drag(QPoint From, QPoint To, Qt::MouseButton Button = Qt::LeftButton) {
    QTest::mousePress(Canvas(), Button, {}, At(From.x(), From.y()));
    QTest::mouseMove(Canvas(), At((From.x() + To.x()) / 2, (From.y() + To.y()) / 2));
    QTest::mouseMove(Canvas(), At(To.x(), To.y()));
    QTest::mouseRelease(Canvas(), Button, {}, At(To.x(), To.y()));
  }
  void Key(int K, Qt::KeyboardModifiers Mods = {}) { QTest::keyClick(Dlg, static_cast<Qt::Key>(K), Mods); }
  // The picture drawn from rows of '.' (0) and letters for the colours used.
  static TPixels Drawn(const std::vector<std::string>& Rows) {
    TPixels P(8, 8);
    for (int y = 0; y < static_cast<int>(Rows.size()); ++y)
      for (int x = 0; x < static_cast<int>(Rows[y].size()); ++x)
        P.Set(x, y, Rows[y][x] == 'r' ? Red : Rows[y][x] == 'g' ? Green : Rows[y][x] == 'b' ? Blue : 0);
    return P;
  }
};

}  // namespace

TEST_F(Painter, EveryToolPaintsItsPixelsAsOneStepNamedAfterIt) {
  PaintNewTile([&] {
    EXPECT_EQ(Pixels(), TPixels(8, 8));  // the new tile is blank
    Dlg->ChooseColor(Red, false);
    Dlg->ChooseColor(Blue, true);
    struct TCase {
      int Key;
      Qt::KeyboardModifiers Mods;
      QPoint From, To;
      Qt::MouseButton Button;
      const char* Step;
      std::vector<std::string> After;
    };
    const std::vector<TCase> Cases = {
        {Qt::Key_B, {}, {0, 0}, {3, 0}, Qt::LeftButton, "Pencil", {"rrrr...."}},
        {Qt::Key_L, {}, {0, 1}, {3, 4}, Qt::RightButton, "Line", {"rrrr....", "b.......", ".b......", "..b.....", "...b...."}},
        {Qt::Key_R, {}, {5, 5}, {7, 7}, Qt::LeftButton, "Rectangle",
         {"rrrr....", "b.......", ".b......", "..b.....", "...b....", ".....rrr", ".....r.r", ".....rrr"}},
        {Qt::Key_R, Qt::ShiftModifier, {6, 6}, {6, 6}, Qt::RightButton, "Filled rectangle",
         {"rrrr....", "b.......", ".b......", "..b.....", "...b....", ".....rrr", ".....rbr", ".....rrr"}},
        {Qt::Key_G, {}, {7, 0}, {7, 0}, Qt::RightButton, "Fill",
         {"rrrrbbbb", "bbbbbbbb", "bbbbbbbb", "bbbbbbbb", "bbbbbbbb", "bbbbbrrr", "bbbbbrbr", "bbbbbrrr"}},
        {Qt::Key_E, {}, {0, 0}, {3, 0}, Qt::LeftButton, "Eraser",
         {"....bbbb", "bbbbbbbb", "bbbbbbbb", "bbbbbbbb", "bbbbbbbb", "bbbbbrrr", "bbbbbrbr", "bbbbbrrr"}},
    };
    for (const TCase& C : Cases) {
      const int Steps = Main.Document().History().StepCount();
      Key(C.Key, C.Mods);
      Drag(C.From, C.To, C.Button);
      EXPECT_EQ(Pixels(), Drawn(C.After)) << C.Step;
      EXPECT_EQ(Main.Document().UndoName(), C.Step);
      EXPECT_EQ(Main.Document().History().StepCount(), Steps + 1) << C.Step;
    }
    // Undo takes back one stroke at a time, in the painter and its picture.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Pixels(), Drawn(Cases[4].After));
    EXPECT_EQ(Dlg->imgCanvas->Picture(), Drawn(Cases[4].After));
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Pixels(), Drawn(Cases[5].After));

    // The picker, as a tool and as Alt+click with any tool, changes no pixel.
    const int Steps = Main.Document().History().StepCount();
    Key(Qt::Key_I);
    QTest::mouseClick(Canvas(), Qt::RightButton, {}, At(5, 5));
    EXPECT_EQ(Dlg->RightColor(), Red);
    Key(Qt::Key_B);
    QTest::mouseClick(Canvas(), Qt::LeftButton, Qt::AltModifier, At(7, 0));
    EXPECT_EQ(Dlg->LeftColor(), Blue);
    EXPECT_EQ(Main.Document().History().StepCount(), Steps);
    // A stroke that changes nothing makes no step.
    Drag({7, 0}, {7, 1});
    EXPECT_EQ(Main.Document().History().StepCount(), Steps);
  });
}

TEST_F(Painter, CommandsAndTheMoveToolTurnAndCarryThePicture) {
  PaintNewTile([&] {
    Dlg->ChooseColor(Red, false);
    Dlg->ChooseColor(Green, true);
    Drag({0, 0}, {1, 0});
    Drag({0, 1}, {0, 1}, Qt::RightButton);
    struct TCase {
      int Key;
      Qt::KeyboardModifiers Mods;
      const char* Step;
      std::vector<std::string> After;
    };
    const std::vector<TCase> Cases = {
        {Qt::Key_H, {}, "Mirror horizontally", {"......rr", ".......g"}},
        {Qt::Key_V, {}, "Mirror vertically", {"", "", "", "", "", "", ".......g", "......rr"}},
        {Qt::Key_T, {}, "Rotate", {"", "", "", "", "", "", "r.......", "rg......"}},
        {Qt::Key_Left, {}, "Shift", {"", "", "", "", "", "", ".......r", "g......r"}},
        {Qt::Key_Down, {}, "Shift", {"g......r", "", "", "", "", "", "", ".......r"}},
    };
    for (const TCase& C : Cases) {
      Key(C.Key, C.Mods);
      std::vector<std::string> Rows = C.After;
      for (std::string& R : Rows) R.resize(8, '.');
      EXPECT_EQ(Pixels(), Drawn(Rows)) << C.Step;
      EXPECT_EQ(Main.Document().UndoName(), C.Step);
    }
    // Select the bottom row with the move tool and carry it over the top
    // row and back: what it passed over comes back.
    Key(Qt::Key_M);
    Drag({0, 7}, {7, 7});
    Drag({3, 7}, {3, 0});
    EXPECT_EQ(Main.Document().UndoName(), "Move");
    EXPECT_EQ(Pixels(), Drawn({".......r", "", "", "", "", "", "", ""}));
    Drag({3, 0}, {3, 7});
    EXPECT_EQ(Pixels(), Drawn({"g......r", "", "", "", "", "", "", ".......r"}));
    // Copy, and paste at the top left; the arrows then move the paste.
    Key(Qt::Key_C, Qt::ControlModifier);
    Key(Qt::Key_Escape);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Main.Document().UndoName(), "Paste");
    EXPECT_EQ(Pixels(), Drawn({".......r", "", "", "", "", "", "", ".......r"}));
    Key(Qt::Key_Down);
    EXPECT_EQ(Main.Document().UndoName(), "Move");
    EXPECT_EQ(Pixels(), Drawn({"g......r", ".......r", "", "", "", "", "", ".......r"}));
  });
}

TEST_F(Painter, ColoursComeFromThePaletteAndTheViewZooms) {
  PaintNewTile([&] {
    TPaintPalette* Colors = Dlg->grdColors;
    const int Count = Game().Palette().Count();
    EXPECT_EQ(Colors->IndexAt(Colors->CellRect(Count - 1).center()), Count - 1);
    EXPECT_EQ(Colors->IndexAt(Colors->CellRect(Count).center()), -1);  // no cell past the palette
    QTest::mouseClick(Colors, Qt::RightButton, {}, Colors->CellRect(Green).center());
    QTest::mouseClick(Colors, Qt::LeftButton, {}, Colors->CellRect(0).center());
    EXPECT_EQ(Dlg->RightColor(), Green);
    EXPECT_EQ(Dlg->LeftColor(), 0);
    Key(Qt::Key_X);
    EXPECT_EQ(Dlg->LeftColor(), Green);

    // Ctrl+wheel steps through the zooms, never past 64x nor below 8x.
    auto Wheel = [&](int Delta) {
      QWheelEvent E(QPointF(20, 20), Dlg->scrCanvas->viewport()->mapToGlobal(QPointF(20, 20)), {}, {0, Delta},
                    Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(Dlg->scrCanvas->viewport(), &E);
    };
    Wheel(120);
    EXPECT_EQ(Dlg->imgCanvas->Zoom(), 24);
    for (int i = 0; i < 10; ++i) Wheel(120);
    EXPECT_EQ(Dlg->imgCanvas->Zoom(), 64);
    for (int i = 0; i < 10; ++i) Wheel(-120);
    EXPECT_EQ(Dlg->imgCanvas->Zoom(), 8);
    Dlg->cbxZoom->setCurrentIndex(0);  // fit: the picture fills the room it has
    EXPECT_GE(Dlg->imgCanvas->width(), Dlg->scrCanvas->viewport()->width() - 8 * 8 - 4);
    EXPECT_LE(Dlg->imgCanvas->width(), Dlg->scrCanvas->viewport()->width());
  });
}

TEST_F(Painter, ThePictureFollowsInTheTreeThePaneAndTheLayoutEditor) {
  // An actor drawn with the tile, placed on a level.
  TTile* Tile = nullptr;
  {
    TEdit Edit(Game(), "Test");
    Tile = Game().AddTile();
    TActor* Actor = Game().AddActor();
    Actor->SetTile(Tile);
    TLevel* Level = Game().AddLevel();
    Level->SetSize(4, 4);
    Level->SetCell(0, 0, Actor);
  }
  Main.SelectNode(Main.NodeOf(Tile));
  // Double-click on the tile's node opens the painter.
  QTreeWidget* Tree = Main.tvwTree;
  Tree->scrollToItem(Main.NodeOf(Tile));
  bool Ran = false;
  // Not at the first chance: the click's own events come first.
  std::function<void()> Check;
  Check = [&] {
    if (!qobject_cast<TfrmPainter*>(QApplication::activeModalWidget())) {
      QTimer::singleShot(10, Check);
      return;
    }
    if (!Up()) return;
    Ran = true;
    Dlg->SetZoomChoice(16);
    Dlg->ChooseColor(Green, false);
    Key(Qt::Key_G);
    Drag({0, 0}, {0, 0});
    // Shown at once behind the painter: the pane's picture and the tree's.
    const QImage Pane = Main.tsTile->imgTile->pixmap().toImage();
    EXPECT_EQ(QColor(Pane.pixel(4, 4)), QColor(0, 255, 0));  // the top left pixel, filled
    const QRect Node = Tree->visualItemRect(Main.NodeOf(Tile));
    const QImage Row = Tree->viewport()->grab(Node).toImage();
    bool Green = false;
    for (int x = 0; x < Row.width(); ++x) Green = Green || QColor(Row.pixel(x, Row.height() / 2)) == QColor(0, 255, 0);
    EXPECT_TRUE(Green);
    Dlg->close();
  };
  QTimer::singleShot(0, Check);
  emit Tree->itemDoubleClicked(Main.NodeOf(Tile), 0);
  ASSERT_TRUE(Ran);
  EXPECT_EQ(Main.Document().UndoName(), "Fill");

  TfrmLevelEditor Layout;
  Layout.SetLevel(Game().GetLevel(0));
  Layout.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Layout));
  const QPoint Cell = Layout.grdLayout->CellRect(0, 0).topLeft() + QPoint(2, 2);
  EXPECT_EQ(QColor(Layout.grdLayout->viewport()->grab().toImage().pixel(Cell)), QColor(0, 255, 0));
}

TEST_F(Painter, TheTreeMenuPaintsATileAndUndoStopsAtThePaintersOpening) {
  Main.SelectNode(Main.TilesNode());
  Main.tsTiles->butNewTileClick();
  std::unique_ptr<QMenu> Menu(Main.CreateNodeMenu(Main.NodeOf(&Tile())));
  ASSERT_NE(Menu, nullptr);
  QAction* Paint = Menu->findChild<QAction*>("mnuNodePaint");
  ASSERT_NE(Paint, nullptr);
  QTimer::singleShot(0, [&] {
    if (!Up()) return;
    EXPECT_EQ(Dlg->windowTitle(), "Paint tile tTile1");
    // The question mark reads in the palette's nearest colours.
    EXPECT_EQ(Dlg->imgCanvas->Picture(), Pixels());
    // Undo stops at the painter's opening: the tile stays.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Game().TileCount(), 1);
    Dlg->close();
  });
  Paint->trigger();
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

TEST_F(Painter, AFrameIsPaintedAcrossItsTilesWithThePreviousFrameUnderIt) {
  TActor* Hero = AddHeroOfTwoFrames();
  ASSERT_EQ(Hero->FrameCount(0), 2);
  std::unique_ptr<QMenu> Menu(Main.CreateNodeMenu(Main.NodeOf(Hero)));
  QAction* Paint = Menu->findChild<QAction*>("mnuNodePaintFrames");
  ASSERT_NE(Paint, nullptr);
  ASSERT_TRUE(Paint->isEnabled());
  bool Ran = false;
  QTimer::singleShot(0, [&] {
    if (!Up()) return;
    Ran = true;
    Dlg->SetZoomChoice(16);
    EXPECT_TRUE(Dlg->windowTitle().endsWith("frame 1 of 2")) << Dlg->windowTitle().toStdString();
    EXPECT_EQ(Dlg->imgCanvas->Picture(), TPixels(16, 16));
    EXPECT_FALSE(Dlg->butNextFrame->isHidden());
    // A diagonal through the first frame: the two cells it crosses get new
    // tiles, the other two stay empty.
    Dlg->ChooseColor(Red, false);
    Key(Qt::Key_L);
    Drag({0, 0}, {15, 15});
    EXPECT_EQ(Main.Document().UndoName(), "Line");
    const TFrameTiles& First = Hero->FrameTiles(0, 0);
    EXPECT_TRUE(First[0] && First[3] && !First[1] && !First[2]);
    EXPECT_EQ(FrameBlock(*Hero, 0, 0).Read(Game().Palette()).Get(9, 9), Red);

    // The next frame shows the first under it, faintly, and stays empty
    // where nothing was painted.
    Key(Qt::Key_PageDown);
    EXPECT_TRUE(Dlg->windowTitle().endsWith("frame 2 of 2"));
    EXPECT_EQ(Dlg->imgCanvas->Onion(), FrameBlock(*Hero, 0, 0).Read(Game().Palette()));
    EXPECT_TRUE(Dlg->cbxOnion->isVisibleTo(Dlg));
    const QImage Shown = Canvas()->grab().toImage();
    const QColor Faint(Shown.pixel(At(9, 9)));
    EXPECT_NE(Faint, QColor(255, 0, 0));
    EXPECT_GT(Faint.red(), Faint.green() + 20);  // a reddish tint over the checkerboard
    Dlg->ChooseColor(Blue, true);
    Drag({15, 0}, {0, 15}, Qt::RightButton);
    const TFrameTiles& Second = Hero->FrameTiles(0, 1);
    EXPECT_TRUE(Second[1] && Second[2] && !Second[0] && !Second[3]);
    EXPECT_EQ(FrameBlock(*Hero, 0, 1).Read(Game().Palette()).Get(15, 0), Blue);
    // Undo may put a new game in place: the actor is looked up again.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Game().GetActor(0)->FrameTiles(0, 1)[1], nullptr);
    EXPECT_EQ(Dlg->imgCanvas->Picture(), TPixels(16, 16));
    Dlg->close();
  });
  Paint->trigger();
  ASSERT_TRUE(Ran);
}

// The actor pane's frame strip opens the painter on its selected frame by
// its button, its context menu and a double-click; a 16x16 frame is painted
// across its four cells, one undo step per stroke, and the strip follows.
TEST_F(Painter, TheActorPanePaintsItsSelectedFrame) {
  TActor* Hero = AddHeroOfTwoFrames();
  Main.SelectNode(Main.NodeOf(Hero));
  TActorLookPanel& Look = *Main.tsActor->pnlLook;
  ASSERT_EQ(Look.lstFrames->count(), 2);
  Look.lstFrames->setCurrentRow(1);
  ASSERT_TRUE(Look.butPaintFrame->isEnabled());
  ASSERT_TRUE(Look.lstFrames->actions().contains(Look.actPaintFrame));
  const QIcon Before = Look.lstFrames->item(1)->icon();

  const std::function<void()> Openers[] = {
      [&] { QTest::mouseClick(Look.butPaintFrame, Qt::LeftButton); },
      [&] { Look.actPaintFrame->trigger(); },
      [&] {
        const QRect Cell = Look.lstFrames->visualItemRect(Look.lstFrames->item(1));
        // As a real double-click arrives: a click, then the second press as one.
        QTest::mouseClick(Look.lstFrames->viewport(), Qt::LeftButton, {}, Cell.center());
        QTest::mouseDClick(Look.lstFrames->viewport(), Qt::LeftButton, {}, Cell.center());
      },
  };
  for (std::size_t o = 0; o < std::size(Openers); ++o) {
    SCOPED_TRACE(o);
    bool Ran = false;
    QTimer::singleShot(0, [&] {
      if (!Up()) return;
      Ran = true;
      EXPECT_TRUE(Dlg->windowTitle().endsWith("frame 2 of 2")) << Dlg->windowTitle().toStdString();
      if (o == 0) {
        Dlg->SetZoomChoice(16);
        Dlg->ChooseColor(Red, false);
        Key(Qt::Key_L);
        Drag({0, 0}, {15, 15});
        Drag({15, 0}, {0, 15});
        EXPECT_EQ(Main.Document().UndoName(), "Line");
        const TFrameTiles& Frame = Hero->FrameTiles(0, 1);
        for (std::size_t c = 0; c < 4; ++c) EXPECT_NE(Frame[c], nullptr) << c;
        EXPECT_EQ(std::set<TTile*>(Frame.begin(), Frame.end()).size(), 4u) << "a tile of its own for each cell";
        const TPixels Painted = FrameBlock(*Hero, 0, 1).Read(Game().Palette());
        for (int i = 0; i < 16; ++i) {
          EXPECT_EQ(Painted.Get(i, i), Red) << i;
          EXPECT_EQ(Painted.Get(15 - i, i), Red) << i;
        }
        EXPECT_EQ(Painted.Get(1, 0), 0);
        // One stroke back: the second line's two cells are empty again.
        Key(Qt::Key_Z, Qt::ControlModifier);
        const TFrameTiles& Undone = Game().GetActor(0)->FrameTiles(0, 1);
        EXPECT_TRUE(Undone[0] && Undone[3] && !Undone[1] && !Undone[2]);
        EXPECT_TRUE(Game().GetActor(0)->FrameTiles(0, 0)[0] == nullptr) << "the other frame stays empty";
      }
      Dlg->close();
    });
    Openers[o]();
    ASSERT_TRUE(Ran);
  }
  EXPECT_EQ(Look.lstFrames->currentRow(), 1);
  EXPECT_NE(Look.lstFrames->item(1)->icon().pixmap(32).toImage(), Before.pixmap(32).toImage())
      << "the strip shows the painted frame";
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

// The painter's window shows each stroke, its undo and its redo as they
// happen, with no repaint asked for by the test.
TEST_F(Painter, TheWindowShowsEveryStrokeItsUndoAndRedo) {
  PaintNewTile([&] {
    Key(Qt::Key_B);
    Drag({1, 1}, {5, 1});
    const TPixels Painted = Pixels();
    ASSERT_NE(Painted, TPixels(8, 8));
    EXPECT_TRUE(ShowsWhatItPaints(*Dlg)) << "stroke";
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Pixels(), TPixels(8, 8));
    EXPECT_TRUE(ShowsWhatItPaints(*Dlg)) << "undo";
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Pixels(), Painted);
    EXPECT_TRUE(ShowsWhatItPaints(*Dlg)) << "redo";
  });
}

// Add frame gives the new frame copies of the selected one's tiles, named
// for the actor, animation and frame: painting it leaves the first frame,
// which the strip and the tree (the actor's first frame as its picture) keep.
TEST_F(Painter, AddFrameGivesTheNewFrameTilesOfItsOwn) {
  TActor* Hero = nullptr;
  test::Edit(Game(), [&] {
    Hero = Game().AddActor();
    Hero->SetName("aHero");
    Hero->SetSize(16, 16);
  });
  Main.SelectNode(Main.NodeOf(Hero));
  TActorLookPanel& Look = *Main.tsActor->pnlLook;
  QTest::mouseClick(Look.butNewAnimation, Qt::LeftButton);
  auto PaintDiagonal = [&](int Colour, const char* Title) {
    bool Ran = false;
    QTimer::singleShot(0, [&] {
      if (!Up()) return;
      Ran = true;
      EXPECT_EQ(Dlg->windowTitle(), Title);
      Dlg->SetZoomChoice(16);
      Dlg->ChooseColor(Colour, false);
      Key(Qt::Key_L);
      Drag({0, 0}, {15, 15});
      Dlg->close();
    });
    QTest::mouseClick(Look.butPaintFrame, Qt::LeftButton);
    ASSERT_TRUE(Ran);
  };
  PaintDiagonal(Red, "Paint aHero: Anim1, frame 1 of 1");
  QTest::mouseClick(Look.butAddFrame, Qt::LeftButton);
  EXPECT_EQ(Main.Document().UndoName(), "Add frame");
  ASSERT_EQ(Look.lstFrames->currentRow(), 1);
  const TFrameTiles Copies = Hero->FrameTiles(0, 1);
  const std::vector<std::string> Names = {"aHero_Anim1_1_1", "aHero_Anim1_1_4", "aHero_Anim1_2_1", "aHero_Anim1_2_4"};
  for (std::size_t i = 0; i < Names.size(); ++i) {
    const TTile* Tile = (i < 2 ? Hero->FrameTiles(0, 0) : Copies)[i % 2 ? 3 : 0];
    ASSERT_NE(Tile, nullptr) << i;
    EXPECT_EQ(Tile->Name(), Names[i]);
  }
  const QImage FirstShown = Look.lstFrames->item(0)->icon().pixmap(32).toImage();
  PaintDiagonal(Blue, "Paint aHero: Anim1, frame 2 of 2");
  EXPECT_EQ(FrameBlock(*Hero, 0, 1).Read(Game().Palette()).Get(5, 5), Blue);
  EXPECT_EQ(FrameBlock(*Hero, 0, 0).Read(Game().Palette()).Get(5, 5), Red) << "the first frame stays";
  EXPECT_EQ(Look.lstFrames->item(0)->icon().pixmap(32).toImage(), FirstShown);
  const QImage Tree = ItemView(TItemKind::Actor)->Picture(Game(), Hero).toImage();
  EXPECT_EQ(Tree.convertToFormat(QImage::Format_ARGB32), FrameImage(*Hero, Hero->FrameTiles(0, 0)));
  // A frame's tile painted elsewhere shows in the strip at once.
  test::Edit(Game(), [&] { Hero->FrameTiles(0, 0)[0]->SetBitmap(Hero->FrameTiles(0, 1)[3]->Bitmap()); });
  EXPECT_NE(Look.lstFrames->item(0)->icon().pixmap(32).toImage(), FirstShown);
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

// Picking a colour changes the text above the palette, never where the
// palette and the canvas lie.
TEST_F(Painter, NothingMovesWhenAColourIsPicked) {
  PaintNewTile([&] {
    auto Places = [&] {
      QApplication::processEvents();
      return std::pair(Dlg->grdColors->mapTo(Dlg, QPoint()), Dlg->scrCanvas->geometry());
    };
    const auto Before = Places();
    const std::pair<int, Qt::MouseButton> Clicks[] = {
        {0, Qt::LeftButton}, {0, Qt::RightButton}, {Red, Qt::LeftButton}, {1, Qt::RightButton}};
    for (const auto& [Entry, Button] : Clicks) {
      const QRect Cell = Dlg->grdColors->CellRect(Entry);
      QTest::mouseClick(Dlg->grdColors, Button, {}, Cell.center());
      EXPECT_EQ((Button == Qt::LeftButton ? Dlg->LeftColor() : Dlg->RightColor()), Entry);
      EXPECT_EQ(Places(), Before) << Entry << " " << Dlg->lblColors->text().toStdString();
    }
  });
}

// The painter's Undo and Redo reach only its own steps: a step the main
// window could redo or undo is neither offered nor taken there.
TEST_F(Painter, ItsUndoAndRedoAreItsOwn) {
  for (const bool Pending : {false, true}) {
    SCOPED_TRACE(Pending);
    Main.SelectNode(Main.TilesNode());
    Main.tsTiles->butNewTileClick();
    Main.tsTiles->butNewTileClick();
    if (Pending) Main.Document().Undo();  // a redo waits in the main window
    ASSERT_EQ(Main.Document().CanRedo(), Pending);
    const int Tiles = Game().TileCount();
    bool Ran = false;
    QTimer::singleShot(0, [&] {
      if (!Up()) return;
      Ran = true;
      EXPECT_FALSE(Dlg->butUndo->isEnabled());
      EXPECT_FALSE(Dlg->butRedo->isEnabled());
      Key(Qt::Key_Y, Qt::ControlModifier);
      Key(Qt::Key_Z, Qt::ControlModifier);
      EXPECT_EQ(Game().TileCount(), Tiles);
      Dlg->SetZoomChoice(16);
      Drag({1, 1}, {5, 5});
      EXPECT_TRUE(Dlg->butUndo->isEnabled());
      Key(Qt::Key_Z, Qt::ControlModifier);
      EXPECT_FALSE(Dlg->butUndo->isEnabled());
      EXPECT_TRUE(Dlg->butRedo->isEnabled());
      Dlg->close();
    });
    Main.PaintTile(*Game().GetTile(0));
    ASSERT_TRUE(Ran);
    EXPECT_TRUE(Main.mnuRedo->isEnabled()) << "the painter's stroke, undone there, can be redone";
  }
}

// A picture of the block's size comes in from the frame strip and from the
// painter, cut into the frame's own tiles, one step; a wrong size is refused
// in the words of a tile's import.
TEST_F(Painter, AFrameIsImportedFromOnePicture) {
  test::TTempDir Dir;
  TPeekBitmap Picture;
  std::vector<std::uint8_t> Rows(16 * 3 * 16);
  for (std::size_t i = 0; i < Rows.size(); ++i) Rows[i] = static_cast<std::uint8_t>(i % 3 == 2 ? 255 : i * 7);
  Picture.Assign(16, 16, 24, BI_RGB, {}, {}, Rows);
  Picture.SaveToFile(Dir.File("hero.bmp"));
  TPeekBitmap Small;
  Small.Assign(8, 8, 24, BI_RGB, {}, {}, std::vector<std::uint8_t>(8 * 3 * 8));
  Small.SaveToFile(Dir.File("small.bmp"));
  TActor* Hero = AddHeroOfTwoFrames();
  Main.SelectNode(Main.NodeOf(Hero));
  TActorLookPanel& Look = *Main.tsActor->pnlLook;
  const std::function<void()> Importers[] = {
      [&] { QTest::mouseClick(Look.butImportFrame, Qt::LeftButton); },
      [&] {
        QTimer::singleShot(0, [&] {
          if (!Up()) return;
          Key(Qt::Key_I, Qt::ControlModifier);
          Dlg->close();
        });
        QTest::mouseClick(Look.butPaintFrame, Qt::LeftButton);
      },
  };
  for (int Frame = 0; Frame < 2; ++Frame) {
    SCOPED_TRACE(Frame);
    Look.lstFrames->setCurrentRow(Frame);
    Dialogs.Files = {QString::fromStdString(Dir.File("small.bmp"))};
    Importers[Frame]();
    EXPECT_EQ(Dialogs.LastText().toStdString(), "Error importing bitmap small.bmp\nHeight of image is 8, but it must be 16");
    EXPECT_EQ(Hero->FrameTiles(0, Frame)[0], nullptr);
    Dialogs.Files = {QString::fromStdString(Dir.File("hero.bmp"))};
    Importers[Frame]();
    EXPECT_EQ(Main.Document().UndoName(), "Import frame");
    EXPECT_EQ(FrameImage(*Hero, Hero->FrameTiles(0, Frame)), ToImage(Picture).convertToFormat(QImage::Format_ARGB32));
  }
  EXPECT_NE(Hero->FrameTiles(0, 0)[0], Hero->FrameTiles(0, 1)[0]);
  EXPECT_EQ(Dialogs.Unexpected, 0);
}
