// Frames with tiles of their own: copies named for their cells, and a
// picture of the actor's size cut into them with a tile import's checks.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "model/UActor.h"
#include "model/UFrameTiles.h"
#include "model/UTile.h"

using namespace lvk;

namespace {

// A picture whose every pixel has a colour of its own, in Bits bits per
// pixel (up to 16 colours for the indexed ones).
TPeekBitmap Picture(int Width, int Height, int Bits) {
  std::vector<std::uint32_t> Table;
  if (Bits <= 8)
    for (int i = 0; i < (1 << Bits); ++i) Table.push_back(static_cast<std::uint32_t>(i * 0x0F1F2F));
  const int RowSize = (Width * Bits + 31) / 32 * 4;
  std::vector<std::uint8_t> Rows(static_cast<std::size_t>(RowSize) * Height);
  for (std::size_t i = 0; i < Rows.size(); ++i) Rows[i] = static_cast<std::uint8_t>(i * 37 + 11);
  TPeekBitmap P;
  P.Assign(Width, Height, Bits, BI_RGB, {}, Table, Rows);
  return P;
}

}  // namespace

TEST(FrameTiles, ACopiedFrameGetsTilesOfItsOwnNamedForItsCells) {
  struct TCase {
    int Width, Height;
    std::vector<std::string> Names;  // of the copies, cell by cell
  };
  const TCase Cases[] = {
      {8, 8, {"aHero_walk_2x2"}},  // "aHero_walk_2" is taken
      {16, 8, {"aHero_walk_2_1", "aHero_walk_2_2"}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Width);
    TGame Game;
    Game.AddTile()->SetName("aHero_walk_2");
    TActor* Hero = Game.AddActor();
    Hero->SetName("aHero");
    Hero->SetSize(C.Width, C.Height);
    const int Walk = Hero->AddAnimation();
    Hero->SetAnimationName(Walk, "walk");
    for (int c = 0; c < Hero->Columns(); ++c) AddFrameTile(*Hero, Walk, 0, c)->SetBitmap(Picture(8, 8, 24));
    Hero->AddFrame(Walk, Hero->FrameTiles(Walk, 0));
    CopyFrameTiles(*Hero, Walk, 1);
    for (int c = 0; c < Hero->Columns(); ++c) {
      const TTile* Old = Hero->FrameTiles(Walk, 0)[c];
      const TTile* Copy = Hero->FrameTiles(Walk, 1)[c];
      ASSERT_NE(Copy, Old);
      EXPECT_EQ(Copy->Name(), C.Names[c]);
      EXPECT_EQ(Copy->Bitmap(), Old->Bitmap());
      EXPECT_TRUE(TileOnlyInCell(*Hero, Walk, 1, c, Copy));
    }
  }
}

TEST(FrameTiles, APictureOfTheActorsSizeIsCutIntoTheFramesOwnTiles) {
  struct TCase {
    int Width, Height, Bits;
    std::string Error;  // none: imported
  };
  const TCase Cases[] = {
      {16, 16, 24, ""}, {16, 16, 4, ""}, {16, 16, 1, ""}, {16, 16, 32, ""},
      {8, 16, 24, "Width of image is 8, but it must be 16"},
      {16, 24, 8, "Height of image is 24, but it must be 16"},
  };
  test::TTempDir Dir;
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::to_string(C.Width) + "x" + std::to_string(C.Height) + "x" + std::to_string(C.Bits));
    TGame Game;
    TActor* Hero = Game.AddActor();
    Hero->SetSize(16, 16);
    Hero->AddAnimation();
    // Cell 0 has a tile of its own, cell 1 one the actor is drawn with.
    TTile* Own = AddFrameTile(*Hero, 0, 0, 0);
    TTile* Shared = Game.AddTile();
    Hero->SetTile(Shared);
    Hero->SetFrameTile(0, 0, 1, Shared);
    const TPeekBitmap SharedBefore = Shared->Bitmap();
    const TPeekBitmap Source = Picture(C.Width, C.Height, C.Bits);
    Source.SaveToFile(Dir.File("frame.bmp"));
    EXPECT_EQ(test::MessageOf([&] { ImportFramePicture(*Hero, 0, 0, Dir.File("frame.bmp")); }),
              C.Error.empty() ? "no error" : C.Error);
    if (!C.Error.empty()) {
      EXPECT_EQ(Game.TileCount(), 2);
      continue;
    }
    const TFrameTiles& Frame = Hero->FrameTiles(0, 0);
    EXPECT_EQ(Frame[0], Own);
    EXPECT_NE(Frame[1], Shared);
    EXPECT_EQ(Shared->Bitmap(), SharedBefore);
    EXPECT_EQ(Game.TileCount(), 5);
    for (int Cell = 0; Cell < 4; ++Cell)
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
          ASSERT_EQ(Frame[Cell]->Bitmap().GetColor(x, y), Source.GetColor(Cell % 2 * 8 + x, Cell / 2 * 8 + y))
              << Cell << " " << x << "," << y;
  }
}
