// The painter's pictures of palette indices, and tiles read and written as
// blocks of such pictures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "generator/UGameTables.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/UPalette.h"
#include "model/UPixels.h"
#include "model/UTileBlock.h"

using namespace lvk;

namespace {

// A picture from rows of digits ('.' is 0), and back: the tests read as drawings.
TPixels Drawn(const std::vector<std::string>& Rows) {
  TPixels P(static_cast<int>(Rows[0].size()), static_cast<int>(Rows.size()));
  for (int y = 0; y < P.Height(); ++y)
    for (int x = 0; x < P.Width(); ++x) P.Set(x, y, Rows[y][x] == '.' ? 0 : Rows[y][x] - '0');
  return P;
}

std::vector<std::string> Rows(const TPixels& P) {
  std::vector<std::string> R(P.Height(), std::string(P.Width(), '.'));
  for (int y = 0; y < P.Height(); ++y)
    for (int x = 0; x < P.Width(); ++x)
      if (P.Get(x, y)) R[y][x] = static_cast<char>('0' + P.Get(x, y));
  return R;
}

}  // namespace

TEST(Pixels, DrawingOperationsClipAndHitTheRightPixels) {
  struct TCase {
    const char* What;
    std::function<void(TPixels&)> Do;
    std::vector<std::string> Expected;
  };
  const std::vector<TCase> Cases = {
      {"line, shallow", [](TPixels& P) { P.DrawLine(0, 0, 4, 2, 1); }, {"1....", ".11..", "...11", ".....", "....."}},
      {"line, backwards equals forwards", [](TPixels& P) { P.DrawLine(4, 4, 0, 0, 2); },
       {"2....", ".2...", "..2..", "...2.", "....2"}},
      {"line from far outside", [](TPixels& P) { P.DrawLine(-100, 2, 100, 2, 3); },
       {".....", ".....", "33333", ".....", "....."}},
      {"one point", [](TPixels& P) { P.DrawLine(1, 1, 1, 1, 4); }, {".....", ".4...", ".....", ".....", "....."}},
      {"rectangle outline", [](TPixels& P) { P.DrawRect(RectFromCorners(3, 3, 1, 0), 5, false); },
       {".555.", ".5.5.", ".5.5.", ".555.", "....."}},
      {"filled rectangle, partly outside", [](TPixels& P) { P.DrawRect({3, 3, 9, 9}, 6, true); },
       {".....", ".....", ".....", "...66", "...66"}},
      {"outline partly outside keeps its inside", [](TPixels& P) { P.DrawRect({-1, -1, 4, 4}, 7, false); },
       {"..7..", "..7..", "777..", ".....", "....."}},
  };
  for (const TCase& C : Cases) {
    TPixels P(5, 5);
    C.Do(P);
    EXPECT_EQ(Rows(P), C.Expected) << C.What;
  }
}

TEST(Pixels, FloodFillStaysInsideItsFourConnectedArea) {
  struct TCase {
    std::vector<std::string> Before;
    int X, Y, Index;
    std::vector<std::string> After;
  };
  const std::vector<TCase> Cases = {
      // The ring keeps the outside out; diagonal gaps do not leak.
      {{"11111", "1...1", "1.1.1", "1...1", "11111"}, 1, 1, 2, {"11111", "12221", "12121", "12221", "11111"}},
      {{"..1..", ".1.1.", "1...1", ".1.1.", "..1.."}, 2, 2, 3, {"..1..", ".131.", "13331", ".131.", "..1.."}},
      // A spiral walks the fill back and forth along rows.
      {{".....", "1111.", "...1.", ".1.1.", ".111."}, 0, 0, 4, {"44444", "11114", "...14", ".1.14", ".1114"}},
      // The same colour or a point outside changes nothing.
      {{"1.1", "...", "1.1"}, 1, 1, 0, {"1.1", "...", "1.1"}},
      {{"1.1", "...", "1.1"}, 5, -1, 2, {"1.1", "...", "1.1"}},
  };
  for (const TCase& C : Cases) {
    TPixels P = Drawn(C.Before);
    P.FloodFill(C.X, C.Y, static_cast<std::uint8_t>(C.Index));
    EXPECT_EQ(Rows(P), C.After) << C.X << "," << C.Y;
  }
  TPixels Large(256, 256);  // a large open area fills without deep recursion
  Large.FloodFill(100, 100, 9);
  EXPECT_EQ(std::count(Large.Data().begin(), Large.Data().end(), 9), 256 * 256);
}

TEST(Pixels, WholePictureCommandsMoveEveryPixel) {
  const TPixels Start = Drawn({"12.", "3..", "..4"});
  struct TCase {
    const char* What;
    std::function<void(TPixels&)> Do;
    std::vector<std::string> Expected;
  };
  const std::vector<TCase> Cases = {
      {"mirror horizontally", [](TPixels& P) { P.MirrorHorizontally(); }, {".21", "..3", "4.."}},
      {"mirror vertically", [](TPixels& P) { P.MirrorVertically(); }, {"..4", "3..", "12."}},
      {"rotate clockwise", [](TPixels& P) { EXPECT_TRUE(P.Rotate90()); }, {".31", "..2", "4.."}},
      {"four turns are none",
       [](TPixels& P) {
         for (int i = 0; i < 4; ++i) P.Rotate90();
       },
       {"12.", "3..", "..4"}},
      {"shift right wraps", [](TPixels& P) { P.Shift(1, 0); }, {".12", ".3.", "4.."}},
      {"shift up wraps", [](TPixels& P) { P.Shift(0, -1); }, {"3..", "..4", "12."}},
      {"shift by more than the size", [](TPixels& P) { P.Shift(-4, 7); }, {".4.", "2.1", "..3"}},
  };
  for (const TCase& C : Cases) {
    TPixels P = Start;
    C.Do(P);
    EXPECT_EQ(Rows(P), C.Expected) << C.What;
  }
  TPixels Oblong = Drawn({"12", "..", "3."});
  EXPECT_FALSE(Oblong.Rotate90());
  EXPECT_EQ(Rows(Oblong), (std::vector<std::string>{"12", "..", "3."}));
}

TEST(Pixels, CopyAndPasteClipToThePicture) {
  TPixels P = Drawn({"123", "456", "789"});
  EXPECT_EQ(Rows(P.Copy({1, 1, 5, 5})), (std::vector<std::string>{"56", "89"}));
  EXPECT_EQ(Rows(P.Copy({-1, 0, 2, 1})), (std::vector<std::string>{"1"}));
  EXPECT_EQ(P.Copy({4, 4, 2, 2}).Width(), 0);
  P.Paste(Drawn({"11", "11"}), 2, -1);
  EXPECT_EQ(Rows(P), (std::vector<std::string>{"121", "456", "789"}));
}

TEST(TileBlock, PaintedTilesStayOrdinaryTileRecords) {
  TDocument Document;
  TGame& Game = Document.Game();
  std::vector<TTile*> Tiles;
  test::Edit(Game, [&] {
    for (int i = 0; i < 4; ++i) Tiles.push_back(Game.AddTile());
  });
  const TTileBlock Block(Tiles, 2, 2);
  TPixels P = Block.Read(Game.Palette());
  ASSERT_EQ(P.Width(), 16);
  // The question mark's white and red read as the palette's entries for them.
  const int White = Game.Palette().NearestColor(1, clWhite), Red = Game.Palette().NearestColor(1, RGB(255, 0, 0));
  EXPECT_EQ(P.Get(8, 0), White);
  EXPECT_EQ(P.Get(10, 1), Red);

  // Only the tiles painted on get a new picture; index 0 survives the round trip.
  P.DrawLine(0, 15, 7, 8, 0);
  P.Set(1, 1, 5);
  {
    TEdit Step(Game, "Pencil");
    EXPECT_EQ(Block.Write(P, Game.Palette()), 2);
  }
  EXPECT_EQ(Document.UndoName(), "Pencil");
  EXPECT_EQ(Tiles[1]->Bitmap().BitCount(), 4);  // untouched: still the imported form
  EXPECT_EQ(Tiles[0]->Bitmap().BitCount(), 8);
  EXPECT_EQ(Block.Read(Game.Palette()), P);

  // The file, BMP export and the generator take the painted picture.
  TMemoryStream S;
  TWriter W(S);
  Tiles[0]->SaveToStream(S, W);
  W.FlushBuffer();
  S.Seek(0);
  TReader R(S);
  TGame Other;
  TTile* Loaded = Other.AddTile();
  Loaded->LoadFromStream(S, R);
  EXPECT_EQ(Loaded->Bitmap(), Tiles[0]->Bitmap());
  TPeekBitmap Exported;
  const std::vector<std::uint8_t> Bytes = Tiles[0]->Bitmap().SaveToBytes();
  Exported.LoadFromBytes(Bytes.data(), Bytes.size());
  EXPECT_EQ(Exported.GetColor(1, 1), Game.Palette().GetEntryColor(5));
  TPixelMapper Mapper(Game.Palette());
  EXPECT_EQ(Mapper.Map(*Tiles[0])[1 * 8 + 1], 5);
  EXPECT_EQ(Mapper.Map(*Tiles[0])[0], White);
  EXPECT_EQ(Mapper.Map(*Tiles[2])[7 * 8 + 0], 0);  // erased: transparent on the DS too

  // Writing the same pixels again changes nothing and makes no step.
  const int Steps = Document.History().StepCount();
  {
    TEdit Step(Game, "Pencil");
    EXPECT_EQ(Block.Write(P, Game.Palette()), 0);
  }
  EXPECT_EQ(Document.History().StepCount(), Steps);
}

TEST(TileBlock, PicturesTheGameCannotShowReadAsTransparent) {
  TGame Game;
  TTile* Tile = Game.AddTile();
  const std::vector<TPeekBitmap> Pictures = {
      test::SolidBitmap(16, 8, 24, clWhite),                              // not 8x8
      test::SolidBitmap(8, 8, 32, clWhite, BI_BITFIELDS, {0xF, 0xF0, 0}),  // unreadable pixels
  };
  for (const TPeekBitmap& Picture : Pictures) {
    Tile->SetBitmap(Picture);
    EXPECT_EQ(TilePixels(Tile->Bitmap(), Game.Palette()), TPixels(8, 8)) << Picture.Width();
  }
  // A hand-made picture in the palette's colours with an index past them reads as 0.
  std::vector<std::uint32_t> Table;
  for (int i = 0; i < Game.Palette().Count(); ++i) Table.push_back(Game.Palette().GetEntryColor(i));
  TPeekBitmap Odd;
  Odd.Assign(8, 8, 8, BI_RGB, {}, Table, std::vector<std::uint8_t>(64, 255));
  Tile->SetBitmap(Odd);
  EXPECT_EQ(TilePixels(Tile->Bitmap(), Game.Palette()), TPixels(8, 8));
}

TEST(TileBlock, AFramePaintedOnEmptyCellsGetsTilesOfItsOwn) {
  TDocument Document;
  TGame& Game = Document.Game();
  TActor* Hero = nullptr;
  TTile* Shared = nullptr;
  test::Edit(Game, [&] {
    Shared = Game.AddTile();
    Hero = Game.AddActor();
    Hero->SetSize(16, 16);
    Hero->AddAnimation();
    Hero->SetFrameTile(0, 0, 3, Shared);  // bottom right: the question mark
  });
  const int Tiles = Game.TileCount();
  TPixels P = FrameBlock(*Hero, 0, 0).Read(Game.Palette());
  ASSERT_EQ(P.Width(), 16);
  EXPECT_EQ(P.Get(0, 0), 0);  // empty cells read transparent
  EXPECT_NE(P.Get(8, 8), 0);

  // Paint across the top two cells: both get new tiles, the others stay.
  P.DrawLine(4, 2, 11, 2, 7);
  {
    TEdit Step(Game, "Line");
    EXPECT_EQ(FrameBlock(*Hero, 0, 0).Write(P, Game.Palette()), 2);
  }
  ASSERT_EQ(Game.TileCount(), Tiles + 2);
  const TFrameTiles& Frame = Hero->FrameTiles(0, 0);
  EXPECT_EQ(Frame[0], Game.GetTile(Tiles));
  EXPECT_EQ(Frame[1], Game.GetTile(Tiles + 1));
  EXPECT_EQ(Frame[2], nullptr);
  EXPECT_EQ(Frame[3], Shared);
  EXPECT_EQ(FrameBlock(*Hero, 0, 0).Read(Game.Palette()), P);
  // One step takes the tiles and the frame's cells back together.
  EXPECT_TRUE(Document.Undo());
  EXPECT_EQ(Document.Game().TileCount(), Tiles);
  EXPECT_EQ(Document.Game().GetActor(0)->FrameTiles(0, 0)[0], nullptr);
}
