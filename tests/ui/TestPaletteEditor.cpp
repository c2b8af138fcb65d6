// The palette editor driven for real on the offscreen platform.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>

#include "TScriptedDialogs.h"
#include "TestSupport.h"
#include "model/UGame.h"
#include "model/UPalette.h"
#include "ui/editors/FPaletteEditor.h"

using namespace lvk;

namespace {

std::vector<TColor> Colors(const TPalette& Palette) {
  std::vector<TColor> Result;
  for (int i = 0; i < Palette.Count(); ++i) Result.push_back(Palette.GetEntryColor(i));
  return Result;
}

std::vector<TColor> DefaultColors() {
  TGame Fresh;
  return Colors(Fresh.Palette());
}

void WriteText(const std::string& FileName, const std::string& Text) {
  std::ofstream(FileName, std::ios::binary) << Text;
}

// Whether any pixel of the rectangle has the colour.
bool Shows(const QImage& Image, const QRect& Rect, const QColor& Color) {
  for (int y = Rect.top(); y <= Rect.bottom(); ++y)
    for (int x = Rect.left(); x <= Rect.right(); ++x)
      if (Image.pixelColor(x, y).rgb() == Color.rgb()) return true;
  return false;
}

struct PaletteEditor : ::testing::Test {
  TScriptedDialogs Dialogs;
  TGame Game;
  TfrmPaletteEditor Dlg;

  void SetUp() override { Open(); }
  void Open() {
    test::ClearModified(Game);
    Dlg.SetPalette(&Game.Palette());
    Dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dlg));
  }
  TPalette& Pal() { return Game.Palette(); }
  TPaletteGrid* Grid() { return Dlg.grdPalette; }
  QPoint At(int Column, int Row) { return Grid()->CellRect(Column, Row).center(); }
  void Click(int Column, int Row, Qt::KeyboardModifiers Keys = {}) {
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, Keys, At(Column, Row));
  }
  void Select(int Left, int Top, int Right, int Bottom) {
    Click(Left, Top);
    Click(Right, Bottom, Qt::ShiftModifier);
  }
  void Use16() { QTest::mouseClick(Dlg.rbut16, Qt::LeftButton); }
  void CtrlDrag(QPoint From, QPoint To) {
    QTest::mousePress(Grid()->viewport(), Qt::LeftButton, Qt::ControlModifier, At(From.x(), From.y()));
    QTest::mouseMove(Grid()->viewport(), At(To.x(), To.y()));
    QTest::mouseRelease(Grid()->viewport(), Qt::LeftButton, Qt::ControlModifier, At(To.x(), To.y()));
  }
  // A click on a command button, so that errors travel through the application as the user's would.
  void Press(QPushButton* Button) { QTest::mouseClick(Button, Qt::LeftButton); }
  void TypeInto(QLineEdit* Edit, const QString& Text) {
    Edit->setFocus();
    Edit->selectAll();
    QTest::keyClicks(Edit, Text);
  }
};

}  // namespace

TEST_F(PaletteEditor, OpensInThe18ColumnLayoutOnEntryZero) {
  EXPECT_EQ(Dlg.windowTitle(), "Palette editor");
  EXPECT_TRUE(Dlg.rbut18->isChecked());
  EXPECT_EQ(Grid()->ColCount(), 18);
  EXPECT_EQ(Grid()->RowCount(), 15);
  EXPECT_EQ(Dlg.CurrentIndex(), 0);
  EXPECT_EQ(Grid()->Selection(), QRect(0, 0, 1, 1));
  EXPECT_TRUE(Grid()->hasFocus());
  EXPECT_EQ(Dlg.statEntry->text(), "Entry 0: transparent (default backdrop)");
  EXPECT_EQ(Dlg.edtRed->text(), "255");
  EXPECT_EQ(Dlg.barBlue->value(), 255);
  EXPECT_FALSE(Game.Modified());  // showing writes nothing back

  // Cell 0 white with its black "Tr"; the first inactive cell crossed; a cell
  // without a palette slot plain.
  const QImage Image = Grid()->grab().toImage();
  const QColor Dark = Grid()->palette().color(QPalette::Dark);
  const QRect Cell0 = Grid()->CellRect(0, 0).adjusted(3, 3, -3, -3);  // inside frame and focus
  EXPECT_TRUE(Shows(Image, Cell0, Qt::white));
  EXPECT_TRUE(Shows(Image, Cell0, Qt::black));
  EXPECT_TRUE(Shows(Image, Grid()->CellRect(0, 13), Dark));         // entry 234
  EXPECT_FALSE(Shows(Image, Grid()->CellRect(8, 14), Dark));        // cell 260
  EXPECT_FALSE(Shows(Image, Grid()->CellRect(17, 12), Dark));       // entry 233, active
  EXPECT_TRUE(Shows(Image, Grid()->CellRect(5, 1), QColor(0, 0, 255)));  // entry 23
}

TEST_F(PaletteEditor, CellsAndSizesFollowTheLayout) {
  Click(4, 1);
  EXPECT_EQ(Dlg.CurrentIndex(), 22);
  EXPECT_EQ(Dlg.statEntry->text(), "Entry 22  dec(0,0,204)  hex(00,00,CC)");
  EXPECT_EQ(Dlg.edtBlue->text(), "204");
  Dlg.pnlGrid->resize(309, 316);
  EXPECT_EQ(Grid()->CellWidth(), 14);
  EXPECT_EQ(Grid()->CellHeight(), 16);
  EXPECT_EQ(Grid()->ClientSize(), QSize(286, 268));

  Use16();
  EXPECT_EQ(Grid()->ColCount(), 16);
  EXPECT_EQ(Grid()->RowCount(), 16);
  Dlg.pnlGrid->resize(309, 316);
  EXPECT_EQ(Grid()->CellWidth(), 16);
  EXPECT_EQ(Grid()->CellHeight(), 15);
  Click(4, 1);
  EXPECT_EQ(Dlg.CurrentIndex(), 20);

  // A larger window gives larger cells, every cell still inside the panel.
  Dlg.resize(Dlg.width() + 200, Dlg.height() + 160);
  QTest::qWait(0);
  EXPECT_GT(Grid()->CellWidth(), 16);
  EXPECT_LE(Grid()->geometry().right(), Dlg.pnlGrid->width());
  EXPECT_LE(Grid()->geometry().bottom(), Dlg.pnlGrid->height());
}

TEST_F(PaletteEditor, InactiveCellsDisableSlidersAndEdits) {
  Use16();
  Click(0, 15);
  EXPECT_EQ(Dlg.CurrentIndex(), 240);
  EXPECT_EQ(Dlg.statEntry->text(), "Entry 240 is outsite active palette");
  EXPECT_FALSE(Dlg.barRed->isEnabled());
  EXPECT_FALSE(Dlg.edtGreen->isEnabled());
  EXPECT_EQ(Dlg.edtBlue->text(), "");
  EXPECT_EQ(Dlg.barRed->value(), 0);

  QTest::mouseClick(Dlg.rbut18, Qt::LeftButton);
  Click(8, 14);
  EXPECT_EQ(Dlg.CurrentIndex(), 260);
  EXPECT_EQ(Dlg.statEntry->text(), "No palatte entry");

  // Back to 16 columns: an index past its cells becomes its last cell.
  Use16();
  EXPECT_EQ(Dlg.CurrentIndex(), 255);
  EXPECT_EQ(Grid()->Selection(), QRect(15, 15, 1, 1));

  Click(1, 0);
  EXPECT_TRUE(Dlg.barRed->isEnabled());
  EXPECT_EQ(Dlg.edtRed->text(), "15");
  EXPECT_FALSE(Game.Modified());
}

TEST_F(PaletteEditor, EditsStoreTheLowByteAndRestoreWhatIsNoNumber) {
  Click(5, 0);
  ASSERT_EQ(Pal().GetEntryColor(5), RGB(75, 75, 75));
  TypeInto(Dlg.edtRed, "300");
  EXPECT_EQ(Pal().GetEntryColor(5), RGB(44, 75, 75));
  EXPECT_EQ(Dlg.edtRed->text(), "44");
  EXPECT_EQ(Dlg.barRed->value(), 44);
  EXPECT_TRUE(Game.Modified());

  TypeInto(Dlg.edtRed, "x");
  EXPECT_EQ(Dlg.edtRed->text(), "44");
  QTest::keyClick(Dlg.edtRed, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(Dlg.edtRed, Qt::Key_Backspace);
  EXPECT_EQ(Dlg.edtRed->text(), "44");
  EXPECT_EQ(Pal().GetEntryColor(5), RGB(44, 75, 75));
  EXPECT_EQ(Dlg.statEntry->text(), "Entry 5  dec(44,75,75)  hex(2C,4B,4B)");
  // Enter in an edit sets off no command and does not close the window.
  QTest::keyClick(Dlg.edtRed, Qt::Key_Return);
  EXPECT_TRUE(Dialogs.FileRequests.empty() && Dialogs.OpenedDocuments.isEmpty());
  EXPECT_TRUE(Dlg.isVisible());
}

TEST_F(PaletteEditor, SliderAtTheTopGives255) {
  Click(5, 0);
  // Drag the green slider's handle to the top.
  QSlider* Bar = Dlg.barGreen;
  QStyleOptionSlider Opt;
  Opt.initFrom(Bar);
  Opt.orientation = Qt::Vertical;
  Opt.minimum = Bar->minimum();
  Opt.maximum = Bar->maximum();
  Opt.sliderPosition = Opt.sliderValue = Bar->value();
  Opt.upsideDown = true;
  Opt.tickPosition = Bar->tickPosition();
  const QRect Handle = Bar->style()->subControlRect(QStyle::CC_Slider, &Opt, QStyle::SC_SliderHandle, Bar);
  QTest::mousePress(Bar, Qt::LeftButton, {}, Handle.center());
  QTest::mouseMove(Bar, QPoint(Handle.center().x(), 0));
  QTest::mouseRelease(Bar, Qt::LeftButton, {}, QPoint(Handle.center().x(), 0));
  EXPECT_EQ(Pal().GetEntryColor(5), RGB(75, 255, 75));
  EXPECT_EQ(Dlg.edtGreen->text(), "255");

  Bar->setFocus();
  QTest::keyClick(Bar, Qt::Key_Down);
  EXPECT_EQ(Pal().GetGreen(5), 254);
}

TEST_F(PaletteEditor, CtrlDragMovesAnEntryInFrontOfTheDropCell) {
  const std::vector<TColor> Old = Colors(Pal());
  CtrlDrag({10, 0}, {3, 0});
  std::vector<TColor> Now = Colors(Pal());
  EXPECT_EQ(Now[3], Old[10]);
  for (int i = 4; i <= 10; ++i) EXPECT_EQ(Now[i], Old[i - 1]) << i;
  EXPECT_EQ(Now[11], Old[11]);
  // The selection stays where the drag began and shows what moved in there.
  EXPECT_EQ(Dlg.CurrentIndex(), 10);
  EXPECT_EQ(Dlg.edtRed->text(), QString::number(GetRValue(Old[9])));

  Pal().LoadDefaults();
  CtrlDrag({3, 0}, {10, 0});
  Now = Colors(Pal());
  EXPECT_EQ(Now[9], Old[3]);
  for (int i = 3; i <= 8; ++i) EXPECT_EQ(Now[i], Old[i + 1]) << i;
  EXPECT_EQ(Now[10], Old[10]);
  EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(PaletteEditor, DropsOnInactiveCellsAndDragsFromThemAreRefused) {
  test::ClearModified(Game);
  CtrlDrag({10, 0}, {0, 13});  // entry 234, the first inactive one
  EXPECT_EQ(Colors(Pal()), DefaultColors());
  EXPECT_FALSE(Game.Modified());

  CtrlDrag({0, 13}, {3, 0});
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0].Kind, TMsgKind::Warning);
  EXPECT_EQ(Dialogs.Messages[0].Text, "Only active palette entries can be drag && dropped");
  EXPECT_EQ(Colors(Pal()), DefaultColors());

  // Escape gives up a drag.
  QTest::mousePress(Grid()->viewport(), Qt::LeftButton, Qt::ControlModifier, At(10, 0));
  QTest::keyClick(Grid(), Qt::Key_Escape);
  QTest::mouseRelease(Grid()->viewport(), Qt::LeftButton, {}, At(3, 0));
  EXPECT_EQ(Colors(Pal()), DefaultColors());
  EXPECT_FALSE(Game.Modified());
}

TEST_F(PaletteEditor, ImportByTheChosenFormat) {
  test::TTempDir Dir;
  std::string Jasc = "JASC-PAL\r\n0100\r\n10\r\n";
  for (int i = 0; i < 10; ++i) Jasc += std::to_string(i) + " 20 30\r\n";
  WriteText(Dir.File("ten.pal"), Jasc);
  Click(5, 2);
  Dialogs.Files = {QString::fromStdString(Dir.File("ten.pal"))};
  Dialogs.Filters = {2};
  Press(Dlg.butImport);
  ASSERT_EQ(Pal().Count(), 10);
  EXPECT_EQ(Pal().GetEntryColor(9), RGB(9, 20, 30));
  EXPECT_EQ(Dlg.CurrentIndex(), 0);
  EXPECT_EQ(Grid()->Selection(), QRect(0, 0, 1, 1));
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0].Kind, TMsgKind::Information);
  EXPECT_TRUE(Dialogs.Messages[0].Text.contains("(the palette still has room for that, it has 10 colors out of a "
                                                "maximum of 256).\n\nIf you don't want"));

  // The same kind of file read as a CLRX palette fails: the filter decides.
  WriteText(Dir.File("two.pal"), "CLRX 8 2\r\n0x00ffffff 0x000000ff ");
  Dialogs.Files = {QString::fromStdString(Dir.File("two.pal"))};
  Dialogs.Filters = {3};
  Press(Dlg.butImport);
  EXPECT_EQ(Colors(Pal()), (std::vector<TColor>{clWhite, RGB(255, 0, 0)}));
}

TEST_F(PaletteEditor, FailedImportsLeaveTheDefaultPalette) {
  test::TTempDir Dir;
  const std::string Broken = Dir.File("broken.pal");
  WriteText(Broken, "JASC-PAL\r\n0100\r\n10\r\n1 2 3\r\n1 2 3\r\n1 2 3\r\n\r\n");
  Pal().FillBlack();
  Click(3, 3);
  Dialogs.Files = {QString::fromStdString(Broken)};
  Dialogs.Filters = {2};
  Press(Dlg.butImport);
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0].Kind, TMsgKind::Error);
  EXPECT_EQ(Dialogs.Messages[0].Text.toStdString(),
            "File " + Broken + " line 7 should have 3 numbers (first is wrong)");
  EXPECT_EQ(Colors(Pal()), DefaultColors());
  EXPECT_EQ(Dlg.CurrentIndex(), 0);

  // A file that is no picture at all: also the default palette, not an empty one.
  Pal().FillBlack();
  Dialogs.Files = {QString::fromStdString(Dir.File("missing.bmp"))};
  Dialogs.Filters = {1};
  Press(Dlg.butImport);
  ASSERT_EQ(Dialogs.Messages.size(), 2u);
  EXPECT_EQ(Dialogs.Messages[1].Kind, TMsgKind::Error);
  EXPECT_EQ(Colors(Pal()), DefaultColors());

  // A cancelled dialog changes nothing.
  Pal().FillBlack();
  Press(Dlg.butImport);
  EXPECT_EQ(Pal().Count(), 256);
  EXPECT_EQ(Dialogs.Messages.size(), 2u);
}

TEST_F(PaletteEditor, ImportOfABitmapWithTooManyColours) {
  test::TTempDir Dir;
  TPeekBitmap Picture = test::SolidBitmap(300, 1, 24, 0);
  for (int x = 0; x < 300; ++x) {
    std::uint8_t* P = Picture.ScanLine(0) + 3 * x;
    P[0] = static_cast<std::uint8_t>(x);
    P[1] = static_cast<std::uint8_t>(x >> 8);
    P[2] = 7;
  }
  Picture.SaveToFile(Dir.File("many.bmp"));
  Dialogs.Files = {QString::fromStdString(Dir.File("many.bmp"))};
  Press(Dlg.butImport);  // the first filter: a bitmap
  EXPECT_EQ(Pal().Count(), 256);
  ASSERT_EQ(Dialogs.Messages.size(), 2u);
  EXPECT_EQ(Dialogs.Messages[0].Kind, TMsgKind::Warning);
  EXPECT_TRUE(Dialogs.Messages[0].Text.startsWith("A Lurvik palette has a maximum of 256 colors."));
  EXPECT_TRUE(Dialogs.Messages[1].Text.endsWith(
      "Your palette already has the maximum size (256), so you probably have to ctrl-drag a color to the first "
      "place."));
}

TEST_F(PaletteEditor, ExportByTheChosenFormatAndLayout) {
  test::TTempDir Dir;
  auto Size = [](const std::string& File) {
    const test::TBytes B = test::ReadBytes(File);
    auto Int = [&](int At) { return B[At] | B[At + 1] << 8 | B[At + 2] << 16 | B[At + 3] << 24; };
    return QSize(Int(18), Int(22));
  };
  Dialogs.Files = {QString::fromStdString(Dir.File("a18.bmp"))};
  Press(Dlg.butExport);
  EXPECT_EQ(Dialogs.FileRequests.back().Title, "Export palette");
  EXPECT_EQ(Size(Dir.File("a18.bmp")), QSize(307, 151));
  Use16();
  Dialogs.Files = {QString::fromStdString(Dir.File("a16.bmp"))};
  Press(Dlg.butExport);
  EXPECT_EQ(Size(Dir.File("a16.bmp")), QSize(273, 161));

  Dialogs.Files = {QString::fromStdString(Dir.File("b.pal"))};
  Dialogs.Filters = {3};
  Press(Dlg.butExport);
  const test::TBytes Clrx = test::ReadBytes(Dir.File("b.pal"));
  EXPECT_EQ(std::string(Clrx.begin(), Clrx.begin() + 12), "CLRX 8 234\r\n");
  EXPECT_TRUE(Dialogs.Messages.empty());
  EXPECT_FALSE(Game.Modified());
}

TEST_F(PaletteEditor, OptimizeReportsWhatItDeleted) {
  Dialogs.Answers = {TMsgAnswer::No};
  Press(Dlg.butOptimize);
  EXPECT_EQ(Pal().Count(), 234);
  EXPECT_EQ(Dialogs.Messages.size(), 1u);

  Dialogs.Answers = {TMsgAnswer::Yes};
  Press(Dlg.butOptimize);
  EXPECT_TRUE(Dialogs.Messages[1].Text.endsWith("Delete duplicates?"));
  EXPECT_EQ(Dialogs.LastText(), "Deleted one duplicate.");
  EXPECT_EQ(Pal().Count(), 233);
  EXPECT_EQ(Pal().GetEntryColor(0), clWhite);  // entry 0 takes no part

  Pal().SetEntryColor(20, Pal().GetEntryColor(19));
  Pal().SetEntryColor(21, Pal().GetEntryColor(19));
  ASSERT_EQ(Pal().GetEntryColor(19), RGB(0, 0, 51));
  Pal().SetEntryColor(22, RGB(7, 7, 55));  // the same on the DS
  Dialogs.Answers = {TMsgAnswer::Yes};
  Press(Dlg.butOptimize);
  EXPECT_EQ(Dialogs.LastText(), "Deleted 3 duplicate.");
  Dialogs.Answers = {TMsgAnswer::Yes};
  Press(Dlg.butOptimize);
  EXPECT_EQ(Dialogs.LastText(), "No duplicates found.");
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

TEST_F(PaletteEditor, ClearWhitensTheActiveCellsOfTheRectangle) {
  Use16();
  // Cells 232 to 234 and 248 to 250, by keyboard: two active, four not.
  Click(8, 14);
  QTest::keyClick(Grid(), Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(Grid(), Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(Grid(), Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(Grid()->Selection(), QRect(8, 14, 3, 2));
  const std::vector<TColor> Old = Colors(Pal());

  Dialogs.Answers = {TMsgAnswer::No};
  Press(Dlg.butClear);
  EXPECT_EQ(Dialogs.LastText(), "\"Clear\" will set the 6 selected colors to white.\n\nClear?");
  EXPECT_EQ(Colors(Pal()), Old);

  Dialogs.Answers = {TMsgAnswer::Yes};
  Press(Dlg.butClear);
  std::vector<TColor> Expected = Old;
  Expected[232] = Expected[233] = clWhite;
  EXPECT_EQ(Colors(Pal()), Expected);

  Select(1, 0, 3, 1);
  Dialogs.Answers = {TMsgAnswer::Yes};
  Press(Dlg.butClear);
  for (int i : {1, 2, 3, 17, 18, 19}) Expected[i] = clWhite;
  EXPECT_EQ(Colors(Pal()), Expected);
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

TEST_F(PaletteEditor, SelectionsStretchUpAndLeftAsFarAsDownAndRight) {
  Use16();
  Click(8, 3);
  Click(5, 1, Qt::ShiftModifier);
  EXPECT_EQ(Grid()->Selection(), QRect(5, 1, 4, 3));
  QTest::keyClick(Grid(), Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(Grid()->Selection(), QRect(4, 1, 5, 3));

  Click(6, 5);
  QTest::keyClick(Grid(), Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(Grid()->Selection(), QRect(5, 5, 2, 1));
  ASSERT_NE(Pal().GetEntryColor(85), clWhite);
  Dialogs.Answers = {TMsgAnswer::Yes};
  Press(Dlg.butClear);
  EXPECT_EQ(Dialogs.LastText(), "\"Clear\" will set the 2 selected colors to white.\n\nClear?");
  EXPECT_EQ(Pal().GetEntryColor(85), clWhite);
  EXPECT_EQ(Pal().GetEntryColor(86), clWhite);
}

TEST_F(PaletteEditor, AddNeedsRowShapesAndRoom) {
  Use16();
  Select(0, 0, 2, 0);
  Press(Dlg.butAdd);
  ASSERT_EQ(Pal().Count(), 237);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Pal().GetEntryColor(i), clWhite);
  EXPECT_EQ(Pal().GetEntryColor(4), RGB(15, 15, 15));  // old entry 1
  EXPECT_TRUE(Dialogs.Messages.empty());               // no confirmation

  Select(2, 3, 4, 4);
  Press(Dlg.butAdd);
  EXPECT_EQ(Dialogs.LastText(), "For add, only a set of whole rows or a part of a single row can be selected.");
  Press(Dlg.butDelete);  // the shape warning comes before any confirmation
  EXPECT_EQ(Dialogs.LastText(),
            "For delete, only a set of whole rows or a part of a single row can be selected.");
  EXPECT_EQ(Dialogs.Messages.back().Kind, TMsgKind::Warning);

  Select(14, 14, 15, 14);  // starts at 238, one past the end
  Press(Dlg.butAdd);
  EXPECT_EQ(Dialogs.LastText(), "For add, the start of the selection must be in the active part of the palette.");
  Select(13, 14, 15, 14);  // starts at the end: appends
  Press(Dlg.butAdd);
  EXPECT_EQ(Pal().Count(), 240);

  Pal().DeleteRange(0, 0);  // 239 entries; two whole rows are 32
  Select(0, 1, 15, 2);
  Press(Dlg.butAdd);
  EXPECT_EQ(Dialogs.LastText(), "Sorry, palette does not have room for 32 extra color(s).");
  EXPECT_EQ(Pal().Count(), 239);
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

TEST_F(PaletteEditor, DeleteTakesOnlyTheActivePartOfWholeRows) {
  Use16();
  Select(0, 14, 15, 15);  // 224 to 255
  Dialogs.Answers = {TMsgAnswer::No};
  Press(Dlg.butDelete);
  EXPECT_EQ(Dialogs.LastText(), "\"Delete\" will delete the selected colors from the palette.\n\nDelete?");
  EXPECT_EQ(Pal().Count(), 234);
  Dialogs.Answers = {TMsgAnswer::Yes};
  Press(Dlg.butDelete);
  std::vector<TColor> Expected = DefaultColors();
  Expected.resize(224);
  EXPECT_EQ(Colors(Pal()), Expected);
  EXPECT_EQ(Dlg.statEntry->text(), "Entry 224 is outsite active palette");

  Dialogs.Answers = {TMsgAnswer::Yes};  // wholly past the end: asked, nothing deleted
  Press(Dlg.butDelete);
  EXPECT_EQ(Pal().Count(), 224);

  // Everything, chosen by keyboard: every cell then shows as inactive, cell 0 too.
  QTest::keyClick(Grid(), Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClick(Grid(), Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Grid()->Selection(), QRect(0, 0, 16, 16));
  Dialogs.Answers = {TMsgAnswer::Yes};
  Press(Dlg.butDelete);
  EXPECT_EQ(Pal().Count(), 0);
  EXPECT_EQ(Dlg.statEntry->text(), "Entry 255 is outsite active palette");
  const QImage Image = Grid()->grab().toImage();
  const QRect Cell0 = Grid()->CellRect(0, 0).adjusted(3, 3, -3, -3);  // inside frame and focus
  EXPECT_TRUE(Shows(Image, Cell0, Grid()->palette().color(QPalette::Dark)));
  EXPECT_FALSE(Shows(Image, Cell0, Qt::white));
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

TEST_F(PaletteEditor, DefaultsAndRevertToThePaletteAsOpened) {
  Dlg.close();
  Pal().SetEntryColor(1, RGB(1, 2, 3));
  Pal().DeleteRange(100, 233);
  const std::vector<TColor> Original = Colors(Pal());
  Open();

  Click(5, 0);
  TypeInto(Dlg.edtGreen, "9");
  Dialogs.Answers = {TMsgAnswer::Yes};
  Press(Dlg.butDefaults);
  EXPECT_TRUE(Dialogs.LastText().startsWith("\"Defaults\" will delete all colors from the palette\n"));
  EXPECT_EQ(Colors(Pal()), DefaultColors());
  EXPECT_EQ(Dlg.CurrentIndex(), 5);

  Dialogs.Answers = {TMsgAnswer::No};
  Press(Dlg.butRevert);
  EXPECT_EQ(Colors(Pal()), DefaultColors());
  Dialogs.Answers = {TMsgAnswer::Yes};
  Press(Dlg.butRevert);
  EXPECT_EQ(Dialogs.LastText(),
            "\"Revert\" will delete all colors from the palette, and restart with the original palette.\n\nRevert?");
  EXPECT_EQ(Colors(Pal()), Original);
  EXPECT_EQ(Dlg.edtRed->text(), QString::number(GetRValue(Original[5])));
  EXPECT_EQ(Dialogs.Unexpected, 0);
}
