// The palette's operations and record.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "TestSupport.h"
#include "model/UDocument.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UGame.h"
#include "model/UPixels.h"
#include "model/UStream.h"
#include "model/UTile.h"
#include "model/UTileBlock.h"

using namespace lvk;
using test::TBytes;
using test::Append;
using test::MessageOf;
using test::RecordOf;

namespace {

// A palette set to the given colours, with the document's flag cleared.
void SetColors(TGame& Game, std::initializer_list<TColor> Colors) {
  TPalette& P = Game.Palette();
  P.DeleteRange(0, P.Count() - 1);
  P.InsertRange(0, static_cast<int>(Colors.size()) - 1);
  int i = 0;
  for (TColor C : Colors) P.SetEntryColor(i++, C);
  test::ClearModified(Game);
}

std::vector<TColor> Colors(const TPalette& P) {
  std::vector<TColor> V;
  for (int i = 0; i < P.Count(); ++i) V.push_back(P.GetEntryColor(i));
  return V;
}

}  // namespace

TEST(Palette, DefaultPalette) {
  TGame Game;
  const TPalette& P = Game.Palette();
  ASSERT_EQ(P.Count(), 234);
  EXPECT_EQ(P.GetEntryColor(0), clWhite);
  for (int k = 1; k <= 16; ++k) EXPECT_EQ(P.GetEntryColor(k), RGB(15 * k, 15 * k, 15 * k));
  EXPECT_EQ(P.GetEntryColor(17), RGB(250, 250, 250));
  EXPECT_EQ(P.GetEntryColor(18), clBlack);
  EXPECT_EQ(P.GetEntryColor(19), RGB(0, 0, 51));
  EXPECT_EQ(P.GetEntryColor(23), RGB(0, 0, 255));
  EXPECT_EQ(P.GetEntryColor(24), RGB(0, 51, 0));
  EXPECT_EQ(P.GetEntryColor(54), RGB(51, 0, 0));
  EXPECT_EQ(P.GetEntryColor(233), clWhite);
  EXPECT_EQ(P.GetRed(54), 51);
  EXPECT_EQ(P.GetBlue(23), 255);
  EXPECT_EQ(P.GetGreen(24), 51);
}

TEST(Palette, SetEntryColorMarksOnlyRealChanges) {
  TGame Game;
  Game.Palette().SetEntryColor(5, Game.Palette().GetEntryColor(5));
  EXPECT_FALSE(Game.Modified());
  Game.Palette().SetEntryColor(5, RGB(1, 2, 3));
  EXPECT_TRUE(Game.Modified());
  EXPECT_EQ(Game.Palette().GetEntryColor(5), 0x030201u);
}

TEST(Palette, InsertAndDeleteRanges) {
  TGame Game;
  TPalette& P = Game.Palette();
  P.DeleteRange(100, P.Count() - 1);
  ASSERT_EQ(P.Count(), 100);
  TColor Fifth = P.GetEntryColor(5);
  P.InsertRange(5, 9);
  EXPECT_EQ(P.Count(), 105);
  for (int i = 5; i <= 9; ++i) EXPECT_EQ(P.GetEntryColor(i), clWhite);
  EXPECT_EQ(P.GetEntryColor(10), Fifth);

  P.InsertRange(P.Count(), P.Count() + 148);  // to 254
  ASSERT_EQ(P.Count(), 254);
  P.InsertRange(5, 9);
  EXPECT_EQ(P.Count(), 256);  // only the free room
  test::ClearModified(Game);
  P.InsertRange(0, 3);
  EXPECT_EQ(P.Count(), 256);
  EXPECT_TRUE(Game.Modified());  // marked although nothing was inserted
  // A range far wider than the room must not overflow anything.
  P.DeleteRange(0, 9);
  P.InsertRange(0, 0x7FFFFFFF);
  EXPECT_EQ(P.Count(), 256);

  P.DeleteRange(0, P.Count() - 1);
  EXPECT_EQ(P.Count(), 0);
}

TEST(Palette, MoveEntryEndsInFrontOfTheTarget) {
  TGame Game;
  const TColor A = 1, B = 2, C = 3, D = 4, E = 5;
  SetColors(Game, {A, B, C, D, E});
  Game.Palette().MoveEntry(1, 3);
  EXPECT_EQ(Colors(Game.Palette()), (std::vector<TColor>{A, C, B, D, E}));
  SetColors(Game, {A, B, C, D, E});
  Game.Palette().MoveEntry(3, 1);
  EXPECT_EQ(Colors(Game.Palette()), (std::vector<TColor>{A, D, B, C, E}));
  test::ClearModified(Game);
  Game.Palette().MoveEntry(2, 2);
  EXPECT_FALSE(Game.Modified());
  EXPECT_EQ(Colors(Game.Palette()), (std::vector<TColor>{A, D, B, C, E}));
}

TEST(Palette, RemoveDuplicatesUnderTheMask) {
  TGame Game;
  const TColor Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255);
  SetColors(Game, {clWhite, Red, Red, Red, Blue});
  Game.Palette().RemoveDuplicates(1, DuplicateMask);
  EXPECT_EQ(Colors(Game.Palette()), (std::vector<TColor>{clWhite, Red, Blue}));
  EXPECT_TRUE(Game.Modified());

  // Entry 0 is left out: a colour equal to it stays.
  SetColors(Game, {clWhite, RGB(250, 250, 250), RGB(8, 0, 0), RGB(15, 0, 0), RGB(7, 0, 0)});
  Game.Palette().RemoveDuplicates(1, DuplicateMask);
  EXPECT_EQ(Colors(Game.Palette()), (std::vector<TColor>{clWhite, RGB(250, 250, 250), RGB(8, 0, 0), RGB(7, 0, 0)}));
  EXPECT_TRUE(Game.Palette().SameMaskedColor(0, 1, DuplicateMask));

  SetColors(Game, {Red});
  Game.Palette().RemoveDuplicates(1, DuplicateMask);  // Count <= First: nothing to do, still marked
  EXPECT_EQ(Game.Palette().Count(), 1);
  EXPECT_TRUE(Game.Modified());
}

TEST(Palette, NearestColorPrefersTheLowestIndex) {
  TGame Game;
  const TColor C = RGB(10, 20, 30);
  SetColors(Game, {C, 0x808080, 0x404040, C, RGB(11, 20, 30), 0, 0, C});
  EXPECT_EQ(Game.Palette().NearestColor(1, C), 3);
  EXPECT_EQ(Game.Palette().NearestColor(4, C), 7);
  EXPECT_EQ(Game.Palette().NearestColor(1, RGB(12, 20, 30)), 4);
  EXPECT_EQ(Game.Palette().NearestColor(1, 0xFFFFFF), 1);  // entry 0 never, though equal
  EXPECT_FALSE(Game.Modified());
}

TEST(Palette, AssignCopiesEverySize) {
  TGame From, To;
  From.Palette().FillBlack();
  From.Palette().SetEntryColor(255, 0x123456);
  To.Palette().Assign(From.Palette());
  EXPECT_EQ(To.Palette().Count(), 256);
  EXPECT_EQ(To.Palette().GetEntryColor(255), 0x123456u);
  From.Palette().DeleteRange(0, 255);
  To.Palette().Assign(From.Palette());
  EXPECT_EQ(To.Palette().Count(), 0);
}

TEST(Palette, BrokenPreconditionsNeverReachOutsideTheSlots) {
  TGame Game;
  TPalette& P = Game.Palette();
  SetColors(Game, {1, 2, 3});
  EXPECT_THROW(P.GetEntryColor(3), EAssertionFailed);
  EXPECT_THROW(P.GetEntryColor(-1), EAssertionFailed);
  EXPECT_THROW(P.SetEntryColor(0, 0x01000000), EAssertionFailed);
  EXPECT_THROW(P.DeleteRange(2, 1), EAssertionFailed);
  EXPECT_THROW(P.DeleteRange(1, 3), EAssertionFailed);
  EXPECT_THROW(P.InsertRange(4, 5), EAssertionFailed);
  EXPECT_THROW(P.InsertRange(-1, 5), EAssertionFailed);
  EXPECT_THROW(P.MoveEntry(0, 3), EAssertionFailed);
  EXPECT_THROW(P.NearestColor(3, 0), EAssertionFailed);
  EXPECT_THROW(P.RemoveDuplicates(-1, 248), EAssertionFailed);
  try {
    P.GetEntryColor(9);
  } catch (const EAssertionFailed& E) {
    EXPECT_STREQ(E.what(), "Assertion failure (UGame)");
  }
  EXPECT_EQ(Colors(P), (std::vector<TColor>{1, 2, 3}));
  EXPECT_FALSE(Game.Modified());
}

TEST(PaletteRecord, WhiteOnlyBytesAndRoundTrip) {
  TGame Game;
  SetColors(Game, {clWhite});
  TBytes Expected = test::ShortString("[TPalette]");
  Expected.insert(Expected.end(), {2, 1, 3, 0xFF, 0, 3, 0xFF, 0, 3, 0xFF, 0});
  EXPECT_EQ(RecordOf(Game.Palette()), Expected);

  TGame Copy;
  TMemoryStream S(RecordOf(TGame().Palette()));
  TReader R(S);
  Copy.Palette().DeleteRange(0, 9);
  test::ClearModified(Copy);
  Copy.Palette().LoadFromStream(S, R);
  EXPECT_TRUE(Copy.Modified());
  EXPECT_EQ(Colors(Copy.Palette()), Colors(TGame().Palette()));
}

TEST(PaletteRecord, SizesAndComponentsAsStored) {
  auto Load = [](TBytes Body) {
    TBytes B = test::ShortString("[TPalette]");
    B.insert(B.end(), Body.begin(), Body.end());
    auto Game = std::make_unique<TGame>();
    TMemoryStream S(B);
    TReader R(S);
    Game->Palette().LoadFromStream(S, R);
    return Game;
  };
  EXPECT_EQ(Load({2, 0})->Palette().Count(), 0);
  // A stored 300 keeps its low 8 bits.
  EXPECT_EQ(Load({2, 1, 3, 0x2C, 0x01, 2, 0, 2, 0})->Palette().GetEntryColor(0), 44u);
  TBytes Full{3, 0, 1};
  for (int i = 0; i < 256 * 3; ++i) Full.insert(Full.end(), {2, static_cast<std::uint8_t>(i % 100)});
  EXPECT_EQ(Load(Full)->Palette().Count(), 256);
  auto SizeMessage = [&](TBytes Body) {
    try {
      Load(Body);
    } catch (const EGame& E) {
      return std::string(E.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(SizeMessage({3, 1, 1}), "Read error: palette size (257) not in 0..256");
  EXPECT_EQ(SizeMessage({2, 0xFF}), "Read error: palette size (-1) not in 0..256");
  EXPECT_EQ(SizeMessage({3, 0x2C, 0x01}), "Read error: palette size (300) not in 0..256");

  TMemoryStream S(test::ShortString("[TPalett]"));
  TReader R(S);
  TGame Game;
  try {
    Game.Palette().LoadFromStream(S, R);
    FAIL();
  } catch (const EGame& E) {
    EXPECT_STREQ(E.what(), "Read error: expected [TPalette], read [TPalett]");
  }
}

// A painted tile holds palette indices: every change of the palette keeps
// them naming the same entries (moved where the entries move), entry 0
// transparent whatever its colour, and the change and the tile undo as one.
TEST(Palette, PaintedTilesFollowEveryChangeOfThePalette) {
  struct TCase {
    const char* Name;
    std::function<void(TPalette&)> Change;
    std::array<int, 5> Expected;  // where pixels painted 0, 5, 7, 20 and 233 end
  };
  const TCase Cases[] = {
      {"entry 0 light blue", [](TPalette& P) { P.SetEntryColor(0, RGB(160, 200, 255)); }, {0, 5, 7, 20, 233}},
      {"entry 5 orange", [](TPalette& P) { P.SetEntryColor(5, RGB(255, 128, 0)); }, {0, 5, 7, 20, 233}},
      {"entries 2-3 deleted", [](TPalette& P) { P.DeleteRange(2, 3); }, {0, 3, 5, 18, 231}},
      {"entry 5 deleted: its pixels take the nearest grey", [](TPalette& P) { P.DeleteRange(5, 5); },
       {0, 4, 6, 19, 232}},
      {"two entries inserted at 1", [](TPalette& P) { P.InsertRange(1, 2); }, {0, 7, 9, 22, 235}},
      {"entry 5 moved to 1", [](TPalette& P) { P.MoveEntry(5, 1); }, {0, 1, 7, 20, 233}},
      {"duplicates removed: white merged into 17", [](TPalette& P) { P.RemoveDuplicates(1, DuplicateMask); },
       {0, 5, 7, 20, 17}},
      {"black everywhere", [](TPalette& P) { P.FillBlack(); }, {0, 5, 7, 20, 233}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TDocument Document;
    TGame& Game = Document.Game();
    TTile* Tile = nullptr;
    TPixels Painted(8, 8);
    const std::array<int, 5> Indices = {0, 5, 7, 20, 233};
    for (int i = 0; i < 5; ++i) Painted.Set(i, 0, static_cast<std::uint8_t>(Indices[i]));
    test::Edit(Game, [&] {
      Tile = Game.AddTile();
      Tile->SetBitmap(IndexedTilePicture(Painted, 0, 0, Game.Palette()));
    });
    const TPeekBitmap Before = Tile->Bitmap();
    {
      TEdit Step(Game, "Palette");
      C.Change(Game.Palette());
    }
    ASSERT_TRUE(IndexedInPalette(Tile->Bitmap(), Game.Palette()));
    const TPixels After = TilePixels(*Tile, Game.Palette());
    for (int i = 0; i < 5; ++i) EXPECT_EQ(After.Get(i, 0), C.Expected[i]) << "pixel painted " << Indices[i];
    EXPECT_TRUE(Tile->PixelTransparent(7, 7));
    EXPECT_FALSE(Tile->PixelTransparent(1, 0));
    ASSERT_TRUE(Document.Undo());
    EXPECT_TRUE(Tile->Bitmap() == Before);
  }
}
