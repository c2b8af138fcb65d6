// The sample game shipped in examples/: it must open, hold a game that
// plays through to its second level, and be the file its tile pictures make.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventKey.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "build/UBuildLog.h"
#include "build/UGameTables.h"
#include "lvk_engine.h"
#include "model/UActor.h"
#include "model/UFiler.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UNames.h"
#include "model/UStream.h"
#include "model/UTile.h"

using namespace lvk;
using test::TBytes;

namespace {

const std::string SampleFile = std::string(LVK_EXAMPLES) + "/Sample.lvk";
const std::string TilesFolder = std::string(LVK_EXAMPLES) + "/tiles";

// The bytes of a project file up to and including its revision.
TBytes FileHead(int Revision) {
  TMemoryStream Stream;
  TWriter Writer(Stream);
  Writer.WriteString(Signature);
  Writer.WriteInteger(FileVersion);
  Writer.WriteString("[TGame]");
  Writer.WriteInteger(Revision);
  Writer.FlushBuffer();
  return Stream.Bytes();
}

bool StartsWith(const TBytes& Bytes, const TBytes& Head) {
  return Bytes.size() >= Head.size() && std::equal(Head.begin(), Head.end(), Bytes.begin());
}

}  // namespace

TEST(SampleGame, Loads) {
  TGame Game;
  ASSERT_NO_THROW(Game.LoadFromFile(SampleFile));
  EXPECT_FALSE(Game.Modified());
  EXPECT_NE(Game.Title(), DefaultTitle);
  EXPECT_GT(Game.Palette().Count(), 1);
}

TEST(SampleGame, TilesAreTheTilePictures) {
  TGame Game;
  Game.LoadFromFile(SampleFile);
  ASSERT_GE(Game.TileCount(), 8);
  std::set<std::string> Names;
  for (int i = 0; i < Game.TileCount(); ++i) {
    TTile* Tile = Game.GetTile(i);
    SCOPED_TRACE(Tile->Name());
    EXPECT_TRUE(IsLegalName(Tile->Name()));
    EXPECT_TRUE(Names.insert(Tile->Name()).second) << "two tiles share a name";
    EXPECT_EQ(Tile->Bitmap().Width(), 8);
    EXPECT_EQ(Tile->Bitmap().Height(), 8);
    EXPECT_NO_THROW(Tile->Bitmap().GetColor(0, 0));
    // A tile picture changed without running the generator leaves the file stale.
    TPeekBitmap Picture;
    ASSERT_NO_THROW(Picture.LoadFromFile(TilesFolder + "/" + Tile->Name() + ".bmp"));
    EXPECT_EQ(Tile->Bitmap(), Picture);
  }
}

TEST(SampleGame, ActorsAreDrawnAndBehave) {
  TGame Game;
  Game.LoadFromFile(SampleFile);
  ASSERT_GE(Game.ActorCount(), 3);
  int WithHandlers = 0;
  std::uint16_t Pressed = 0, Released = 0;
  std::set<const TActionKind*> Kinds;
  for (int i = 0; i < Game.ActorCount(); ++i) {
    TActor* Actor = Game.GetActor(i);
    SCOPED_TRACE(Actor->Name());
    EXPECT_TRUE(IsLegalName(Actor->Name()));
    EXPECT_EQ(Game.FindActorByName(Actor->Name()), Actor) << "two actors share a name";
    ASSERT_NE(Actor->Tile(), nullptr);
    EXPECT_GE(Game.IndexOfTile(Actor->Tile()), 0);
    if (Actor->HandlerCount() > 0) ++WithHandlers;
    for (int h = 0; h < Actor->HandlerCount(); ++h) {
      THandler* Handler = Actor->GetHandler(h);
      ASSERT_NE(Handler->Event(), nullptr);
      auto* Collision = dynamic_cast<TEventCollision*>(Handler->Event());
      if (Collision) {
        ASSERT_NE(Collision->OtherActor(), nullptr);
        EXPECT_EQ(Game.FindActorByName(Collision->OtherActor()->Name()), Collision->OtherActor());
      }
      // Only a wall's repel does its work without an action.
      if (Handler->ActionCount() == 0) {
        EXPECT_TRUE(Collision && !Collision->Overlap()) << "handler " << h;
      }
      for (int a = 0; a < Handler->ActionCount(); ++a) {
        Kinds.insert(&Handler->GetAction(a)->Kind());
        if (auto* Speed = dynamic_cast<TActionSpeed*>(Handler->GetAction(a))) {
          EXPECT_TRUE(ParseWholeNumber(Speed->Arg1())) << "handler " << h << " action " << a;
          EXPECT_TRUE(ParseWholeNumber(Speed->Arg2())) << "handler " << h << " action " << a;
        }
      }
      if (auto* Key = dynamic_cast<TEventKey*>(Handler->Event())) (Key->Press() ? Pressed : Released) |= Key->Keys();
    }
  }
  EXPECT_GE(WithHandlers, 3);
  EXPECT_EQ(Kinds.size(), static_cast<std::size_t>(ActionKindCount())) << "every action kind has a use";
  // Somebody answers each cursor key, going down and coming up.
  for (const char* Key : {">", "<", "^", "v"}) {
    EXPECT_TRUE(Pressed & (1u << TEventKey::IndexOfKey(Key))) << "nothing answers pressing " << Key;
    EXPECT_TRUE(Released & (1u << TEventKey::IndexOfKey(Key))) << "nothing answers letting go of " << Key;
  }
}

namespace {

// The sample as the DS program runs it, stepped with the keys held.
struct TSamplePlay {
  TGame Game;
  TGameTables Tables;
  lvk_game_t Description{};
  lvk_engine_t Engine{};
  int Hero = -1;  // the hero's slot

  TSamplePlay() {
    Game.LoadFromFile(SampleFile);
    TTextBuildLog Log;
    Tables = BuildBehaviourTables(Game, Log);
    EXPECT_EQ(Log.ErrorCount(), 0);
    Description = Tables.Game();
    lvk_engine_init(&Engine, &Description);
    lvk_engine_start_level(&Engine, 0);
    Hero = SlotOf("aHero");
  }
  int SlotOf(const std::string& Actor) const {
    for (int Slot = 0; Slot < Engine.instance_count; ++Slot)
      if (Tables.ActorNames[Engine.instances[Slot].actor] == Actor) return Slot;
    return -1;
  }
  void Hold(std::uint16_t Keys, int Frames) {
    lvk_input_t Input{Keys, 0, 0};
    for (int i = 0; i < Frames && lvk_engine_level(&Engine) == 0; ++i) lvk_engine_step(&Engine, &Input);
  }
  lvk_sprite_t HeroSprite() const {
    lvk_sprite_t Sprite{};
    lvk_engine_sprite(&Engine, Hero, &Sprite);
    return Sprite;
  }
};

}  // namespace

// The walk the README describes and the DS check takes: right over four
// coins to a wall, down to the bottom wall, right to the flag.
TEST(SampleGame, PlaysThroughTheFirstLevel) {
  TSamplePlay Play;
  ASSERT_NE(Play.Hero, -1);
  ASSERT_TRUE(Play.Engine.viewer == 0);
  const int Live = lvk_engine_live_count(&Play.Engine);
  lvk_sprite_t Start = Play.HeroSprite();
  Play.Hold(LVK_KEY_RIGHT, 30);
  EXPECT_EQ(Play.HeroSprite().x, Start.x + 30) << "one pixel a frame";
  Play.Hold(LVK_KEY_RIGHT, 120);
  EXPECT_EQ(Play.HeroSprite().x, 112) << "stopped by the brick wall in column 15";
  EXPECT_EQ(Play.HeroSprite().y, Start.y);
  EXPECT_EQ(lvk_engine_live_count(&Play.Engine), Live - 4) << "the four coins on the way vanished";
  Play.Hold(0, 1);
  EXPECT_EQ(Play.HeroSprite().x, 112) << "letting go stops him";
  Play.Hold(LVK_KEY_DOWN, 200);
  EXPECT_EQ(Play.HeroSprite().y, 176) << "stopped by the bottom wall";
  Play.Hold(LVK_KEY_RIGHT, 200);
  EXPECT_EQ(lvk_engine_level(&Play.Engine), 1) << "the flag leads to the second level";
  Play.Hero = Play.SlotOf("aHero");
  ASSERT_NE(Play.Hero, -1);
  // The key still held from the first level neither drives him nor goes dead.
  lvk_sprite_t Arrived = Play.HeroSprite();
  lvk_input_t None{0, 0, 0}, Right{LVK_KEY_RIGHT, 0, 0};
  for (int i = 0; i < 10; ++i) lvk_engine_step(&Play.Engine, &None);
  EXPECT_EQ(Play.HeroSprite().x, Arrived.x);
  EXPECT_EQ(Play.HeroSprite().y, Arrived.y);
  for (int i = 0; i < 10; ++i) lvk_engine_step(&Play.Engine, &Right);
  EXPECT_EQ(Play.HeroSprite().x, Arrived.x + 10);
}

// In every level the hero can walk (cell by cell, round what repels him) to
// every coin, gem and flag.
TEST(SampleGame, EverythingToCollectCanBeReached) {
  TGame Game;
  Game.LoadFromFile(SampleFile);
  TActor* Hero = Game.FindActorByName("aHero");
  ASSERT_NE(Hero, nullptr);
  std::set<const TActor*> Blocking, Goals;
  for (int h = 0; h < Hero->HandlerCount(); ++h)
    if (auto* C = dynamic_cast<TEventCollision*>(Hero->GetHandler(h)->Event()))
      (C->Overlap() ? Goals : Blocking).insert(C->OtherActor());
  for (int i = 0; i < Game.ActorCount(); ++i) {
    TActor* Actor = Game.GetActor(i);
    for (int h = 0; h < Actor->HandlerCount(); ++h)
      if (auto* C = dynamic_cast<TEventCollision*>(Actor->GetHandler(h)->Event()); C && C->OtherActor() == Hero)
        if (C->Overlap()) Goals.insert(Actor);
  }
  ASSERT_FALSE(Goals.empty());
  for (int l = 0; l < Game.LevelCount(); ++l) {
    TLevel* Level = Game.GetLevel(l);
    SCOPED_TRACE(Level->Name());
    const int W = Level->Width(), H = Level->Height();
    auto Passable = [&](int C, int R) {
      TActor* A = Level->GetCell(C, R);
      // Live actors walk away; only scenery stands in the way for good.
      return !(A && A->HandlerCount() == 0 && Blocking.count(A));
    };
    std::vector<char> Seen(W * H, 0);
    std::vector<int> Queue;
    for (int i = 0; i < W * H; ++i)
      if (Level->GetCell(i % W, i / W) == Hero) Queue.push_back(i), Seen[i] = 1;
    ASSERT_EQ(Queue.size(), 1u) << "one hero";
    while (!Queue.empty()) {
      int At = Queue.back();
      Queue.pop_back();
      const int Steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
      for (const auto& Step : Steps) {
        int C = At % W + Step[0], R = At / W + Step[1];
        if (C < 0 || R < 0 || C >= W || R >= H || Seen[R * W + C] || !Passable(C, R)) continue;
        Seen[R * W + C] = 1;
        Queue.push_back(R * W + C);
      }
    }
    int Found = 0;
    for (int i = 0; i < W * H; ++i)
      if (Goals.count(Level->GetCell(i % W, i / W))) {
        ++Found;
        EXPECT_TRUE(Seen[i]) << Level->GetCell(i % W, i / W)->Name() << " at " << i % W << "," << i / W;
      }
    EXPECT_GE(Found, 5);
  }
}

TEST(SampleGame, LevelsAreFull) {
  TGame Game;
  Game.LoadFromFile(SampleFile);
  ASSERT_GE(Game.LevelCount(), 2);
  for (int i = 0; i < Game.LevelCount(); ++i) {
    TLevel* Level = Game.GetLevel(i);
    SCOPED_TRACE(Level->Name());
    EXPECT_TRUE(IsLegalName(Level->Name()));
    ASSERT_EQ(Level->Width(), 32);
    ASSERT_EQ(Level->Height(), 24);
    int Filled = 0;
    std::set<TActor*> Used;
    for (int Row = 0; Row < Level->Height(); ++Row)
      for (int Column = 0; Column < Level->Width(); ++Column)
        if (TActor* Actor = Level->GetCell(Column, Row)) {
          ++Filled;
          Used.insert(Actor);
        }
    // A cell naming an actor the game lacks reads back empty.
    EXPECT_GE(Filled, Level->Width() * Level->Height() * 3 / 4);
    EXPECT_GE(Used.size(), 5u) << "a level of a few kinds of cells is no picture";
  }
}

TEST(SampleGame, SavedAgainOnlyTheRevisionChanges) {
  test::TTestClock Clock;  // no editing time passes while it loads and saves
  test::TTempDir Dir;
  TGame Game;
  Game.LoadFromFile(SampleFile);
  const int Revision = Game.Revision();
  Game.SetFileName(Dir.File("again.lvk"));
  Game.Save();
  TBytes Before = test::ReadBytes(SampleFile), After = test::ReadBytes(Game.FileName());
  TBytes OldHead = FileHead(Revision), NewHead = FileHead(Revision + 1);
  ASSERT_TRUE(StartsWith(Before, OldHead));
  ASSERT_TRUE(StartsWith(After, NewHead));
  EXPECT_TRUE(TBytes(Before.begin() + OldHead.size(), Before.end()) ==
              TBytes(After.begin() + NewHead.size(), After.end()));
}
