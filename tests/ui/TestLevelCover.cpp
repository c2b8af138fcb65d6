// Which actor each cell of the layout shows: the rules of the covering
// index, cell by cell, and that it follows a change once built again.
#include <gtest/gtest.h>

#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "ui/editors/ULevelCover.h"

using namespace lvk;

namespace {

struct LevelCover : ::testing::Test {
  TGame Game;
  TLevel* Level = Game.AddLevel();
  TActor* Actor(const char* Name, int Width, int Height, bool Live) {
    TActor* A = Game.AddActor();
    A->SetName(Name);
    A->SetSize(Width, Height);
    if (Live) A->AddHandler();
    return A;
  }
};

}  // namespace

TEST_F(LevelCover, TheLastBlockInCellOrderWinsInEachLayer) {
  Level->SetSize(32, 24);
  TActor* Big = Actor("Big", 16, 16, false);
  TActor* Small = Actor("Small", 8, 8, false);
  TActor* Hero = Actor("Hero", 16, 32, true);
  TActor* Wide = Actor("Wide", 32, 16, false);
  Level->SetCell(2, 2, Big);
  Level->SetCell(3, 3, Small);  // over Big's last cell
  Level->SetCell(2, 1, Hero);   // a sprite over both
  Level->SetCell(10, 6, Big);
  Level->SetCell(9, 7, Big);    // a row later: wins where the two meet
  Level->SetCell(30, 22, Wide); // cut at the level's edges
  TLevelCover Cover;
  Cover.Build(*Level);

  struct TRow {
    int Column, Row;
    TCellCover Scenery, Live;
  } Rows[] = {
      {0, 0, {}, {}},
      {2, 1, {}, {Hero, 0, 0}},
      {3, 1, {}, {Hero, 1, 0}},
      {2, 2, {Big, 0, 0}, {Hero, 0, 1}},
      {3, 2, {Big, 1, 0}, {Hero, 1, 1}},
      {2, 3, {Big, 0, 1}, {Hero, 0, 2}},
      {3, 3, {Small, 0, 0}, {Hero, 1, 2}},
      {4, 3, {}, {}},
      {2, 4, {}, {Hero, 0, 3}},
      {2, 5, {}, {}},
      {10, 6, {Big, 0, 0}, {}},
      {11, 6, {Big, 1, 0}, {}},
      {10, 7, {Big, 1, 0}, {}},
      {11, 7, {Big, 1, 1}, {}},
      {9, 8, {Big, 0, 1}, {}},
      {30, 22, {Wide, 0, 0}, {}},
      {31, 23, {Wide, 1, 1}, {}},
  };
  for (const TRow& R : Rows) {
    SCOPED_TRACE(testing::Message() << "cell " << R.Column << "," << R.Row);
    const TCellLook& Look = Cover.Look(Cover.LookAt(R.Column, R.Row));
    EXPECT_EQ(Look.Scenery, R.Scenery) << (Look.Scenery.Actor ? Look.Scenery.Actor->Name() : "none");
    EXPECT_EQ(Look.Live, R.Live) << (Look.Live.Actor ? Look.Live.Actor->Name() : "none");
  }
  // Cells that look alike share a look: one picture serves them all.
  // The empty look, Hero alone (4), Hero over Big and Small (4), the other
  // Bigs' four parts, Wide's four.
  EXPECT_EQ(Cover.LookAt(0, 0), Cover.LookAt(31, 0));
  EXPECT_EQ(Cover.LookAt(10, 6), Cover.LookAt(9, 7));
  EXPECT_EQ(Cover.LookCount(), 17);

  // A change is noticed, and built again the cover shows it; a level sized
  // anew too.
  EXPECT_TRUE(Cover.Matches(*Level));
  Level->SetCell(3, 3, nullptr);
  EXPECT_FALSE(Cover.Matches(*Level));
  Cover.Build(*Level);
  EXPECT_TRUE(Cover.Matches(*Level));
  Level->SetSize(40, 24);
  EXPECT_FALSE(Cover.Matches(*Level));
  Cover.Build(*Level);
  EXPECT_EQ(Cover.Width(), 40);
  EXPECT_EQ(Cover.Look(Cover.LookAt(3, 3)).Scenery, (TCellCover{Big, 1, 1}));
  EXPECT_EQ(Cover.Look(Cover.LookAt(39, 23)).Scenery, TCellCover{});
}
