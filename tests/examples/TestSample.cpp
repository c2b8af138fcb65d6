// The sample game shipped in examples/: it must open, hold a game that
// plays through to its second level by its rules (score, door, countdown,
// ghosts, stars, the end and a new start), and be the file its tile
// pictures make.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventKey.h"
#include "behaviour/REventKeyHeld.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "generator/UBuildLog.h"
#include "generator/UGameTables.h"
#include "lvk_engine.h"
#include "model/UActor.h"
#include "model/UFiler.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UNames.h"
#include "model/UStream.h"
#include "model/UTile.h"
#include "model/UVariable.h"

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
  std::uint16_t Pressed = 0, Held = 0;
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
      if (Collision && !Collision->AnySolid()) {
        ASSERT_NE(Collision->OtherActor(), nullptr);
        EXPECT_EQ(Game.FindActorByName(Collision->OtherActor()->Name()), Collision->OtherActor());
      }
      // Only a wall's repel does its work without an action.
      if (Handler->ActionCount() == 0) {
        EXPECT_TRUE(Collision && !Collision->Overlap()) << "handler " << h;
      }
      for (int a = 0; a < Handler->ActionCount(); ++a) {
        Kinds.insert(&Handler->GetAction(a)->Kind());
        // A speed is a whole number or a game variable's value.
        if (auto* Speed = dynamic_cast<TActionSpeed*>(Handler->GetAction(a))) {
          for (const std::string& Arg : {Speed->Arg1(), Speed->Arg2()}) {
            const TVariable* Variable = Game.FindVariableByName(Arg);
            EXPECT_TRUE(ParseWholeNumber(Arg) || (Variable && Variable->Scope() == TVariableScope::Game))
                << "handler " << h << " action " << a << ": " << Arg;
          }
        }
      }
      if (auto* Key = dynamic_cast<TEventKey*>(Handler->Event()); Key && Key->Press()) Pressed |= Key->Keys();
      if (auto* Key = dynamic_cast<TEventKeyHeld*>(Handler->Event())) Held |= Key->Keys();
    }
  }
  EXPECT_GE(WithHandlers, 3);
  EXPECT_EQ(Kinds.size(), static_cast<std::size_t>(ActionKindCount())) << "every action kind has a use";
  // Somebody answers holding each cursor key, and pressing A and Start.
  for (const char* Key : {">", "<", "^", "v"})
    EXPECT_TRUE(Held & (1u << TEventKey::IndexOfKey(Key))) << "nothing answers holding " << Key;
  for (const char* Key : {"A", "S"})
    EXPECT_TRUE(Pressed & (1u << TEventKey::IndexOfKey(Key))) << "nothing answers pressing " << Key;
}

namespace {

// The upper screen's rows the sample prints.
constexpr int RowScore = 5, RowGoal = 7, RowNews = 10, RowEnd = 12, RowAgain = 14;
constexpr int Second = 60;  // frames

// The sample as the DS program runs it, stepped with the keys held. Change,
// when given, alters the game before it plays.
struct TSamplePlay {
  TGame Game;
  TGameTables Tables;
  lvk_game_t Description{};
  lvk_engine_t Engine{};
  lvk_instance_values_t Values{};
  lvk_save_room_t Room{};
  int Hero = -1;  // the hero's slot

  // With Store, the game saves there.
  explicit TSamplePlay(const std::function<void(TGame&)>& Change = {}, const lvk_store_t* Store = nullptr) {
    Game.LoadFromFile(SampleFile);
    if (Change) Change(Game);
    TTextBuildLog Log;
    Tables = BuildBehaviourTables(Game, Log);
    EXPECT_EQ(Log.ErrorCount(), 0);
    Description = Tables.Game();
    lvk_engine_init(&Engine, &Description);
    lvk_engine_set_instance_values(&Engine, &Values);
    if (Store) lvk_engine_set_store(&Engine, Store, &Room);
    lvk_engine_start_level(&Engine, 0);
    Hero = SlotOf("aHero");
  }
  // The first live instance's slot, or -1.
  int SlotOf(const std::string& Actor) const {
    for (int Slot = 0; Slot < Engine.instance_count; ++Slot)
      if (Engine.instances[Slot].alive && Tables.ActorNames[Engine.instances[Slot].actor] == Actor) return Slot;
    return -1;
  }
  int Count(const std::string& Actor) const {
    int N = 0;
    for (int Slot = 0; Slot < Engine.instance_count; ++Slot)
      N += Engine.instances[Slot].alive && Tables.ActorNames[Engine.instances[Slot].actor] == Actor;
    return N;
  }
  // The sounds started so far, by name, as a host hears them.
  std::vector<std::string> Heard;
  void Step(const lvk_input_t& Input) {
    lvk_engine_step(&Engine, &Input);
    const std::uint16_t* Sounds = nullptr;
    const int N = lvk_engine_sounds(&Engine, &Sounds);
    for (int i = 0; i < N; ++i) Heard.push_back(Tables.SoundNames.at(Sounds[i]));
  }
  long TimesHeard(const std::string& Sound) const { return std::count(Heard.begin(), Heard.end(), Sound); }
  std::string Music() const {
    const int Music = lvk_engine_music(&Engine);
    return Music < 0 ? "" : Tables.SoundNames.at(static_cast<std::size_t>(Music));
  }
  // Steps with Keys held while in the first level, at most Frames frames.
  void Hold(std::uint16_t Keys, int Frames) {
    lvk_input_t Input{Keys, 0, 0};
    for (int i = 0; i < Frames && lvk_engine_level(&Engine) == 0; ++i) Step(Input);
  }
  // Steps with Keys held until Done holds (true) or Frames frames went by
  // (false); the hero's slot follows him into new levels.
  bool Run(std::uint16_t Keys, int Frames, const std::function<bool()>& Done = {}) {
    lvk_input_t Input{Keys, 0, 0};
    for (int i = 0; i < Frames && !(Done && Done()); ++i) {
      Step(Input);
      if (lvk_engine_level_changed(&Engine)) Hero = SlotOf("aHero");
    }
    return Done && Done();
  }
  lvk_sprite_t HeroSprite() const {
    lvk_sprite_t Sprite{};
    lvk_engine_sprite(&Engine, Hero, &Sprite);
    return Sprite;
  }
  std::int32_t Value(const std::string& Variable, int Slot = 0) const {
    const auto& Names = Tables.VariableNames;
    const auto At = std::find(Names.begin(), Names.end(), Variable);
    EXPECT_NE(At, Names.end()) << Variable;
    return lvk_engine_variable(&Engine, static_cast<int>(At - Names.begin()), Slot);
  }
  // A row of the upper screen without the spaces round it.
  std::string Row(int Row) const {
    std::string Text = lvk_engine_text_row(&Engine, Row);
    Text.erase(Text.find_last_not_of(' ') + 1);
    Text.erase(0, Text.find_first_not_of(' '));
    return Text;
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
  // He is 16x16: his box ends a pixel before the wall's.
  EXPECT_EQ(Play.HeroSprite().x, 104) << "stopped by the brick wall in column 15";
  EXPECT_EQ(Play.HeroSprite().y, Start.y);
  EXPECT_EQ(lvk_engine_live_count(&Play.Engine), Live - 4) << "the four coins on the way vanished";
  Play.Hold(0, 1);
  EXPECT_EQ(Play.HeroSprite().x, 104) << "letting go stops him";
  Play.Hold(LVK_KEY_DOWN, 200);
  EXPECT_EQ(Play.HeroSprite().y, 168) << "stopped by the bottom wall";
  Play.Hold(LVK_KEY_RIGHT, 200);
  EXPECT_EQ(lvk_engine_level(&Play.Engine), 1) << "the open door and the flag lead to the second level";
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

// The same walk by the rules: every coin adds ten, the last opens the door,
// and the score and lives go on into the second garden with a new clock.
TEST(SampleGame, EveryCoinScoresAndTheLastOpensTheDoor) {
  TSamplePlay Play;
  const int Coins = Play.Count("aCoin");
  EXPECT_EQ(Play.Row(RowScore), "Score 0   Lives 3   Time 90");
  EXPECT_EQ(Play.Row(RowGoal), "Take all coins: the door opens");
  Play.Hold(LVK_KEY_RIGHT, 150);
  EXPECT_EQ(Play.Value("vScore"), 40);
  Play.Hold(LVK_KEY_DOWN, 200);
  EXPECT_EQ(Play.Row(RowScore), "Score 80   Lives 3   Time 85");
  // Right: the last coins, then the door opens before him.
  ASSERT_TRUE(Play.Run(LVK_KEY_RIGHT, 100, [&] { return Play.Count("aCoin") == 1; }));
  Play.Run(LVK_KEY_RIGHT, 12);
  EXPECT_EQ(Play.Count("aDoor"), 2) << "shut while a coin is left (two cells high, for the 16x16 hero)";
  ASSERT_TRUE(Play.Run(LVK_KEY_RIGHT, 100, [&] { return Play.Count("aDoor") == 0; }));
  EXPECT_EQ(Play.Value("vScore"), 10 * Coins);
  EXPECT_EQ(Play.Count("aDoorOpen"), 2);
  EXPECT_EQ(Play.Row(RowNews), "The door is open!");
  EXPECT_LT(Play.HeroSprite().x, 27 * 8 - 16) << "it opened before he reached it";
  ASSERT_TRUE(Play.Run(LVK_KEY_RIGHT, 100, [&] { return lvk_engine_level(&Play.Engine) == 1; }));
  EXPECT_EQ(Play.Row(RowScore), "Score 100   Lives 3   Time 90");
  EXPECT_EQ(Play.Row(RowGoal), "Take all coins, then the crown");
  EXPECT_EQ(Play.Row(RowNews), "");
  // Every coin chimed, and only the first garden has a tune.
  EXPECT_EQ(Play.TimesHeard("sCoin"), Coins);
  EXPECT_EQ(Play.Heard.size(), static_cast<std::size_t>(Coins));
  EXPECT_EQ(Play.Music(), "");
  lvk_engine_start_level(&Play.Engine, 0);
  EXPECT_EQ(Play.Music(), "sTune");
}

// Walked into the shut door, the hero is stopped by his repel of anything
// solid and told why by his handler for the door: one contact, both fire.
TEST(SampleGame, TheShutDoorStopsTheHeroAndSaysWhy) {
  TSamplePlay Play;
  Play.Hold(LVK_KEY_DOWN, 200);
  ASSERT_EQ(Play.HeroSprite().y, 184 - 16) << "on the floor, 16 pixels high";
  Play.Hold(LVK_KEY_RIGHT, 250);
  EXPECT_EQ(Play.Count("aDoor"), 2) << "coins are left";
  EXPECT_EQ(Play.HeroSprite().x, 27 * 8 - 16) << "stopped at the door";
  EXPECT_EQ(Play.Row(RowNews), "Coins left: the door is shut");
  EXPECT_EQ(Play.Value("vScore"), 3 * 10 + 50) << "the three coins and the gem on the way";
}

// Standing still, the countdown ends the game; Start starts it again, and
// so do ten seconds of the end.
TEST(SampleGame, TheCountdownEndsTheGameAndARestartStartsItAgain) {
  TSamplePlay Play;
  const int Live = lvk_engine_live_count(&Play.Engine);
  Play.Run(0, Second);
  EXPECT_EQ(Play.Row(RowScore), "Score 0   Lives 3   Time 89");
  Play.Run(0, 89 * Second - 1);
  EXPECT_EQ(Play.Count("aHero"), 1);
  EXPECT_EQ(Play.Row(RowEnd), "");
  Play.Run(0, 1);
  EXPECT_EQ(Play.Count("aHero"), 0);
  EXPECT_EQ(Play.Count("aGrave"), 1);
  EXPECT_EQ(Play.Row(RowScore), "Score 0   Lives 3   Time 0");
  EXPECT_EQ(Play.Row(RowNews), "Time is up!");
  EXPECT_EQ(Play.Row(RowEnd), "GAME OVER");
  EXPECT_EQ(Play.Row(RowAgain), "Press Start to play again");
  EXPECT_EQ(Play.TimesHeard("sLose"), 1);

  for (const bool Start : {true, false}) {
    SCOPED_TRACE(Start ? "Start" : "ten seconds");
    if (Start) {
      Play.Run(LVK_KEY_START, 1);
    } else {
      Play.Run(0, 90 * Second);
      ASSERT_EQ(Play.Count("aGrave"), 1);
      Play.Run(0, 10 * Second - 1);
      EXPECT_EQ(Play.Count("aGrave"), 1);
      Play.Run(0, 1);
    }
    EXPECT_TRUE(lvk_engine_level_changed(&Play.Engine));
    EXPECT_EQ(lvk_engine_level(&Play.Engine), 0);
    EXPECT_EQ(lvk_engine_live_count(&Play.Engine), Live);
    EXPECT_EQ(Play.Row(RowScore), "Score 0   Lives 3   Time 90");
    EXPECT_EQ(Play.Row(RowGoal), "Take all coins: the door opens");
    EXPECT_EQ(Play.Row(RowEnd), "");
    EXPECT_EQ(lvk_engine_text_rows(&Play.Engine) & (1u << RowNews), 0u) << "given back to the host";
  }
}

// In the second garden ghosts rise from the tomb and close in; a catch
// costs a life and the garden's score and starts the garden again, and the
// last life ends the game.
TEST(SampleGame, GhostsChaseTheHeroAndEachCatchCostsALife) {
  TSamplePlay Play;
  Play.Run(LVK_KEY_START | LVK_KEY_SELECT, 1);
  ASSERT_EQ(lvk_engine_level(&Play.Engine), 1);
  const int Coins = Play.Count("aCoin");
  Play.Run(LVK_KEY_DOWN, 16);
  Play.Run(LVK_KEY_RIGHT, 12);  // over the coin at (3, 3)
  EXPECT_EQ(Play.Value("vScore"), 10);
  ASSERT_TRUE(Play.Run(0, 20 * Second, [&] { return Play.Count("aGhost") > 0; }));
  const int Ghost = Play.SlotOf("aGhost");
  auto Distance = [&] {
    const lvk_instance_t &G = Play.Engine.instances[Ghost], &H = Play.Engine.instances[Play.Hero];
    return std::abs(G.x - H.x) + std::abs(G.y - H.y);
  };
  const int Before = Distance();
  Play.Run(0, Second);
  EXPECT_LT(Distance(), Before - 40 * 16) << "closing in at more than 40 pixels a second";

  ASSERT_TRUE(Play.Run(0, 20 * Second, [&] { return Play.Value("vLives") == 2; }));
  EXPECT_TRUE(lvk_engine_level_changed(&Play.Engine));
  EXPECT_EQ(lvk_engine_level(&Play.Engine), 1);
  EXPECT_EQ(Play.Count("aCoin"), Coins);
  EXPECT_EQ(Play.Count("aGhost"), 0);
  EXPECT_EQ(Play.Row(RowScore), "Score 0   Lives 2   Time 90");
  EXPECT_EQ(Play.Row(RowNews), "A ghost caught you!");
  EXPECT_EQ(Play.TimesHeard("sHit"), 1);
  Play.Run(0, 3 * Second);
  EXPECT_EQ(Play.Row(RowNews), "") << "the news faded";

  ASSERT_TRUE(Play.Run(0, 60 * Second, [&] { return Play.Count("aGrave") == 1; }));
  EXPECT_EQ(Play.Value("vLives"), 0);
  EXPECT_EQ(Play.Count("aHero"), 0);
  EXPECT_EQ(Play.Row(RowEnd), "GAME OVER");
}

// A throws one star at a time, the way the hero last walked; a blob takes
// two (its own count of hits), looking hurt after the first.
TEST(SampleGame, StarsFlyTheWayTheHeroWalkedAndTwoEndABlob) {
  TSamplePlay Play([](TGame& Game) {
    Game.GetLevel(0)->SetCell(12, 3, Game.FindActorByName("aBlob"));  // in his row, before the wall
  });
  const int Blob = Play.SlotOf("aBlob");
  ASSERT_EQ(Play.Tables.ActorNames[Play.Engine.instances[Blob].actor], "aBlob");
  const int Hurt = Play.Game.IndexOfTile(Play.Game.FindTileByName("BlobHurt"));
  Play.Run(LVK_KEY_A, 1);
  const int Star = Play.SlotOf("aStar");
  ASSERT_NE(Star, -1);
  const lvk_instance_t& S = Play.Engine.instances[Star];
  EXPECT_EQ(S.x, Play.Engine.instances[Play.Hero].x);
  Play.Run(0, 1);
  Play.Run(LVK_KEY_A, 1);
  EXPECT_EQ(Play.Count("aStar"), 1) << "one at a time";
  EXPECT_EQ(S.x - S.old_x, 3 * 16);
  EXPECT_EQ(S.y, S.old_y);
  ASSERT_TRUE(Play.Run(0, 40, [&] { return Play.Count("aStar") == 0; }));
  EXPECT_EQ(Play.Engine.instances[Blob].tile, Hurt);
  EXPECT_EQ(Play.Value("vHits", Blob), 1);
  for (int Other = Blob + 1; Other < Play.Engine.instance_count; ++Other)
    if (Play.Engine.instances[Other].actor == Play.Engine.instances[Blob].actor) {
      EXPECT_EQ(Play.Value("vHits", Other), 0) << "another blob's own count";
    }
  Play.Run(LVK_KEY_A, 1);
  ASSERT_TRUE(Play.Run(0, 40, [&] { return Play.Count("aStar") == 0; }));
  EXPECT_FALSE(Play.Engine.instances[Blob].alive);
  EXPECT_EQ(Play.Value("vScore"), 25);
  EXPECT_EQ(Play.TimesHeard("sThrow"), 2);
  EXPECT_EQ(Play.TimesHeard("sHit"), 2) << "both stars";

  // Down for a frame aims down.
  Play.Run(LVK_KEY_DOWN, 1);
  Play.Run(LVK_KEY_A, 1);
  Play.Run(0, 1);
  const lvk_instance_t& Down = Play.Engine.instances[Play.SlotOf("aStar")];
  EXPECT_EQ(Down.x, Down.old_x);
  EXPECT_EQ(Down.y - Down.old_y, 3 * 16);
}

// With the second garden's coins gone its door opens at once, and the crown
// behind it wins the game: the hero wears it, the seconds left are a bonus.
TEST(SampleGame, TheCrownWinsTheGame) {
  TSamplePlay Play([](TGame& Game) {
    TLevel* Park = Game.GetLevel(1);
    for (int Row = 0; Row < Park->Height(); ++Row)
      for (int Column = 0; Column < Park->Width(); ++Column)
        if (Park->GetCell(Column, Row) == Game.FindActorByName("aCoin"))
          Park->SetCell(Column, Row, Game.FindActorByName("aSky"));
  });
  Play.Run(LVK_KEY_START | LVK_KEY_SELECT, 1);
  ASSERT_EQ(lvk_engine_level(&Play.Engine), 1);
  // Running (B) from the top left corner out of the room's gap, under the
  // trees to below the door, and up through it.
  const std::uint16_t Run = LVK_KEY_B;
  auto Hero = [&] { return Play.HeroSprite(); };
  EXPECT_TRUE(Play.Run(Run | LVK_KEY_DOWN, 40, [&] { return Hero().y == 40; }));
  EXPECT_TRUE(Play.Run(Run | LVK_KEY_RIGHT, 60, [&] { return Hero().x == 64; }));
  EXPECT_TRUE(Play.Run(Run | LVK_KEY_DOWN, 10, [&] { return Hero().y == 48; }));
  EXPECT_TRUE(Play.Run(Run | LVK_KEY_RIGHT, 80, [&] { return Hero().x == 216; }));
  EXPECT_EQ(Play.Row(RowNews), "The door is open!");
  // Two cells wide, he meets the crown on his way up.
  ASSERT_TRUE(Play.Run(Run | LVK_KEY_UP, 40, [&] { return Play.Count("aKing") == 1; }));
  EXPECT_EQ(Play.Count("aHero"), 0);
  EXPECT_EQ(Play.Count("aCrown"), 0);
  const int Left = Play.Value("vTime");
  EXPECT_GT(Left, 80);
  EXPECT_EQ(Play.Value("vScore"), Left);
  EXPECT_EQ(Play.Row(RowEnd), "YOU WIN!");
  EXPECT_EQ(Play.TimesHeard("sWin"), 1);
  EXPECT_EQ(Play.Row(RowNews), "The crown is yours! Bonus " + std::to_string(Left));
  EXPECT_EQ(Play.Row(RowScore), "Score " + std::to_string(Left) + "   Lives 3   Time " + std::to_string(Left));
  Play.Run(0, Second);
  EXPECT_EQ(Play.Value("vTime"), Left) << "the clock stopped with the hero";
  Play.Run(LVK_KEY_START, 1);
  EXPECT_EQ(lvk_engine_level(&Play.Engine), 0);
  EXPECT_EQ(Play.Value("vScore"), 0);
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
    if (auto* C = dynamic_cast<TEventCollision*>(Hero->GetHandler(h)->Event())) {
      if (!C->AnySolid()) (C->Overlap() ? Goals : Blocking).insert(C->OtherActor());
      for (int i = 0; C->AnySolid() && !C->Overlap() && i < Game.ActorCount(); ++i)
        if (Game.GetActor(i)->Solid()) Blocking.insert(Game.GetActor(i));
    }
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
    ASSERT_TRUE(TLevel::SizeAllowed(Level->Width(), Level->Height()));
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

TEST(SampleGame, AWideLevelThatTheCameraFollowsTheHeroThrough) {
  TGame Game;
  Game.LoadFromFile(SampleFile);
  const TActor* Hero = Game.FindActorByName("aHero");
  int Wide = 0;
  for (int i = 0; i < Game.LevelCount(); ++i) {
    const TLevel* Level = Game.GetLevel(i);
    if (Level->Width() < 128) continue;
    ++Wide;
    EXPECT_EQ(Level->Camera().Follow, Hero) << Level->Name();
    EXPECT_FALSE(Level->Camera().LockX) << Level->Name();
    int X = -1, Y = -1;
    Level->CameraStart(X, Y);
    EXPECT_EQ(X, 0) << "the hero starts at the left end";
  }
  EXPECT_GE(Wide, 1);
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


// The sample keeps its best score in save slot 1 and a table of five: the
// end asks for initials when the score earns a place, the table shows them,
// a restart and a new run start with the best score saved.
TEST(SampleGame, KeepsTheBestScoreAndATableOfFive) {
  std::vector<std::uint8_t> Bytes;
  const lvk_store_t Store = {[](void* Self, std::uint8_t* Out, std::uint32_t Size) -> long {
                               auto& B = *static_cast<std::vector<std::uint8_t>*>(Self);
                               std::copy_n(B.begin(), std::min<std::size_t>(Size, B.size()), Out);
                               return static_cast<long>(B.size());
                             },
                             [](void* Self, const std::uint8_t* In, std::uint32_t Size) {
                               static_cast<std::vector<std::uint8_t>*>(Self)->assign(In, In + Size);
                               return 1;
                             },
                             &Bytes};
  constexpr int RowBest = 6, RowEntry = 13, RowTable = 15;
  TSamplePlay Play({}, &Store);
  EXPECT_EQ(Play.Row(RowBest), "Best 0");
  Play.Hold(LVK_KEY_RIGHT, 150);
  ASSERT_EQ(Play.Value("vScore"), 40);
  ASSERT_TRUE(Play.Run(0, 90 * Second, [&] { return Play.Count("aGrave") == 1; }));
  Play.Run(0, 1);
  EXPECT_TRUE(lvk_engine_entering(&Play.Engine));
  EXPECT_EQ(Play.Row(RowEntry), "New high score! [A]AA");
  EXPECT_EQ(Play.Row(RowTable), "1. ---");
  for (std::uint16_t Key : {LVK_KEY_UP, LVK_KEY_RIGHT, LVK_KEY_DOWN, LVK_KEY_A}) {
    Play.Run(Key, 1);
    Play.Run(0, 1);
  }
  EXPECT_FALSE(lvk_engine_entering(&Play.Engine));
  EXPECT_EQ(Play.Row(RowEntry), "");
  EXPECT_EQ(Play.Row(RowTable), "1. B A 40");
  EXPECT_EQ(Play.Row(RowTable + 4), "5. ---");
  EXPECT_EQ(Play.Row(RowBest), "Best 40");
  Play.Run(LVK_KEY_START, 1);
  Play.Run(0, 1);
  EXPECT_EQ(Play.Value("vScore"), 0);
  EXPECT_EQ(Play.Row(RowBest), "Best 40") << "the restart loads it again";

  TSamplePlay Again({}, &Store);
  EXPECT_EQ(Again.Row(RowBest), "Best 40");
  EXPECT_EQ(lvk_engine_save_status(&Again.Engine), LVK_SAVE_OK);
}
