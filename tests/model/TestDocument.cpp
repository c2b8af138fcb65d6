// A game holding every kind of item and every event kind, through the file.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventKey.h"
#include "behaviour/REventOutside.h"
#include "behaviour/REventTouch.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"

using namespace lvk;

namespace {

// Fills a game with a bit of everything, each value away from its default.
void BuildFullGame(TGame& Game, const test::TTempDir& Dir) {
  Game.SetTitle("Everything \"quoted\" \xC3\xA9");
  Game.Palette().DeleteRange(40, Game.Palette().Count() - 1);
  Game.Palette().SetEntryColor(1, RGB(200, 100, 7));
  TTile* Grass = Game.AddTile();
  Grass->SetName("Grass");
  test::SolidBitmap(8, 8, 24, RGB(0, 200, 0)).SaveToFile(Dir.File("g.bmp"));
  Grass->ImportBitmap(Dir.File("g.bmp"));
  TTile* Wall = Game.AddTile();
  test::SolidBitmap(8, 8, 4, RGB(128, 128, 128)).SaveToFile(Dir.File("w.bmp"));
  Wall->ImportBitmap(Dir.File("w.bmp"));
  Game.AddTile();  // keeps the question mark

  TActor* Hero = Game.AddActor();
  Hero->SetName("Hero");
  Hero->SetTile(Grass);
  TActor* Ghost = Game.AddActor();  // no tile
  TActor* Brick = Game.AddActor();
  Brick->SetTile(Wall);

  for (int i = 0; i < EventKindCount(); ++i) {
    THandler* H = Hero->AddHandler();
    H->SetEvent(EventKindAt(i));
    auto* Size = static_cast<TActionSetSpeedSize*>(H->AddAction(TActionSetSpeedSize::ClassKind()));
    Size->SetArg1(std::string(300, 'a' + i));
    Size->SetRelative(i % 2 == 0);
    auto* Dir2 = static_cast<TActionSetSpeedDir*>(H->AddAction(TActionSetSpeedDir::ClassKind()));
    Dir2->SetArg2("dir" + std::to_string(i));
    if (auto* K = dynamic_cast<TEventKey*>(H->Event())) {
      K->SetKeys(0x3FFF);
      K->SetPress(true);
    } else if (auto* T = dynamic_cast<TEventTouch*>(H->Event())) {
      T->SetAreas(0x1FF);
    } else if (auto* O = dynamic_cast<TEventOutside*>(H->Event())) {
      O->SetAreas(0x81);
    } else if (auto* C = dynamic_cast<TEventCollision*>(H->Event())) {
      C->SetOtherActor(*Brick);  // an actor stored after this one
      C->SetOverlap(false);
    }
  }
  Ghost->AddHandler()->SetEvent(TEventCollision::ClassKind());  // no actions, names itself

  TLevel* One = Game.AddLevel();
  One->SetSize(32, 24);
  for (int c = 0; c < 32; ++c) One->SetCell(c, 23, Brick);
  One->SetCell(3, 20, Hero);
  One->SetCell(9, 2, Ghost);
  TLevel* Two = Game.AddLevel();
  Two->SetName("Boss");
  Two->SetSize(32, 24);
  Game.AddLevel();  // 0 by 0
}

}  // namespace

TEST(Document, SaveLoadSaveGivesTheSameBytes) {
  test::TTestClock Clock;
  test::TTempDir Dir;
  TGame Game;
  BuildFullGame(Game, Dir);
  Game.SetFileName(Dir.File("full.lvk"));
  Game.Save();

  TGame Loaded;
  Loaded.LoadFromFile(Game.FileName());
  EXPECT_FALSE(Loaded.Modified());
  EXPECT_EQ(Loaded.TileCount(), 3);
  EXPECT_EQ(Loaded.ActorCount(), 3);
  EXPECT_EQ(Loaded.LevelCount(), 3);
  EXPECT_EQ(Loaded.GetActor(0)->Tile(), Loaded.GetTile(0));
  EXPECT_EQ(Loaded.GetLevel(0)->GetCell(3, 20), Loaded.GetActor(0));
  for (int i = 0; i < Game.GetActor(0)->HandlerCount(); ++i)
    EXPECT_EQ(Loaded.GetActor(0)->GetHandler(i)->Event()->Summary(), Game.GetActor(0)->GetHandler(i)->Event()->Summary());
  EXPECT_EQ(Loaded.GetActor(1)->GetHandler(0)->Event()->Summary(), "OnCollision( aActor2, overlap )");

  // Saving what was loaded gives the same bytes but for the revision, which is one higher.
  Loaded.SetFileName(Dir.File("again.lvk"));
  Loaded.Save();
  test::TBytes A = test::ReadBytes(Game.FileName()), B = test::ReadBytes(Loaded.FileName());
  ASSERT_EQ(A.size(), B.size());
  const std::size_t Revision = 8 + 2 + 9 + 1;  // signature, version, [TGame], the revision's tag
  EXPECT_EQ(A[Revision], 1);
  EXPECT_EQ(B[Revision], 2);
  B[Revision] = 1;
  EXPECT_EQ(A, B);
}
