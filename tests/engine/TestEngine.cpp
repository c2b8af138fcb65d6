// The engine's rules of play, frame by frame with scripted input: positions,
// fired handlers and levels. The engine is compiled as C; these tests drive
// it through its header only.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "lvk_engine.h"
#include "lvk_host.h"

namespace {

constexpr int Px = LVK_SUBPIXELS;

// An action's number: a literal, or with Of a variable's value.
struct TN {
  TN(std::int32_t Literal = 0) : Arg(Literal) {}
  std::int32_t Arg;
  std::uint16_t Var = LVK_LITERAL;
};
TN Of(int Variable) {
  TN N;
  N.Var = LVK_VARIABLE(Variable);
  return N;
}

// A game put together by hand: actors with handlers and actions, levels with
// live and scenery cells, variables and texts.
class TTestGame {
public:
  int Actor(std::uint16_t Tile = 0, std::uint8_t Flags = 0) {
    FActors.push_back({Tile, 0, 0, Flags, 0, 0, 0, 0});
    FHandlerLists.emplace_back();
    return static_cast<int>(FActors.size()) - 1;
  }
  // Adds a handler to Actor; actions follow with Do and Act.
  TTestGame& On(int Actor, std::uint8_t Event, std::uint16_t Mask = 0, std::uint8_t Flags = 0, int Other = 0,
                std::uint32_t Frames = 0) {
    FHandlerLists[Actor].push_back({{Event, Flags, Mask, static_cast<std::uint16_t>(Other), 0, 0, Frames}, {}});
    FLast = &FHandlerLists[Actor].back();
    return *this;
  }
  TTestGame& Do(std::uint8_t Kind, std::int32_t Arg1 = 0, std::int32_t Arg2 = 0, bool Relative = false) {
    return Act(Kind, 0, Arg1, Arg2, 0, Relative);
  }
  // Any action: what it names, its first two numbers, its comparison (or
  // MoveCamera's speed: its third number).
  TTestGame& Act(std::uint8_t Kind, int Ref, TN N1 = {}, TN N2 = {}, TN N3 = {}, bool Relative = false) {
    FLast->second.push_back({Kind, static_cast<std::uint8_t>(Relative), static_cast<std::uint16_t>(Ref),
                             {N1.Var, N2.Var, N3.Var}, {N1.Arg, N2.Arg, N3.Arg}});
    return *this;
  }
  // An actor that starts moving with speed size (Sx, Sy) and direction (Dx, Dy).
  int Mover(std::uint16_t Tile, int Sx, int Sy, int Dx, int Dy) {
    int A = Actor(Tile);
    On(A, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, Sx, Sy).Do(LVK_ACTION_SET_SPEED_DIR, Dx, Dy);
    return A;
  }
  int Variable(std::int32_t Initial, std::uint8_t Scope = LVK_SCOPE_GAME) {
    FVariables.push_back({Initial, Scope, 0, 0});
    return static_cast<int>(FVariables.size()) - 1;
  }
  // A variable SaveGame keeps, known to saves by Name.
  int Saved(const std::string& Name, std::int32_t Initial, std::uint8_t Scope = LVK_SCOPE_GAME) {
    FVariables.push_back({Initial, Scope, 1, lvk_save_key(Name.data(), Name.size())});
    return static_cast<int>(FVariables.size()) - 1;
  }
  lvk_saving_t Saving{lvk_save_key("Test", 4), 0, 0, 0, 0};
  // Text with "{N}" for the value of variable N.
  int Text(const std::string& Text) {
    lvk_text_t T{static_cast<std::uint16_t>(FSegments.size()), 0};
    for (std::size_t i = 0, End; i < Text.size(); i = End, ++T.segment_count)
      if (Text[i] == '{') {
        End = Text.find('}', i) + 1;
        FSegments.push_back({0, 0, LVK_VARIABLE(std::stoi(Text.substr(i + 1)))});
      } else {
        End = std::min(Text.find('{', i), Text.size());
        FSegments.push_back({static_cast<std::uint32_t>(FChars.size()), static_cast<std::uint16_t>(End - i), LVK_LITERAL});
        FChars += Text.substr(i, End - i);
      }
    FTexts.push_back(T);
    return static_cast<int>(FTexts.size()) - 1;
  }
  int Level(int Columns = LVK_LEVEL_COLUMNS, int Rows = LVK_LEVEL_ROWS) {
    FLevelCells.emplace_back(static_cast<std::size_t>(Columns) * Rows, LVK_NONE);
    FLevels.push_back({});
    FLevelColumns.push_back(Columns);
    if (Columns != LVK_LEVEL_COLUMNS || Rows != LVK_LEVEL_ROWS) {
      FLevels.back().width = static_cast<std::uint16_t>(Columns);
      FLevels.back().height = static_cast<std::uint16_t>(Rows);
    }
    return static_cast<int>(FLevelCells.size()) - 1;
  }
  lvk_level_t& LevelEntry(int Level) { return FLevels[Level]; }
  // Puts Actor in a cell; whether it is live or scenery follows from its handlers.
  void Place(int Level, int Actor, int Column, int Row) {
    FLevelCells[Level][static_cast<std::size_t>(Row) * FLevelColumns[Level] + Column] = static_cast<std::uint16_t>(Actor);
  }
  std::uint16_t Sounds = 0;
  void Size(int Actor, int Width, int Height) {
    FActors[Actor].width = static_cast<std::uint8_t>(Width);
    FActors[Actor].height = static_cast<std::uint8_t>(Height);
  }
  // An animation of Actor with Frames frames (all of tile 0); an actor's
  // first is the one its instances start with.
  int Animation(int Actor, int Frames, int Length, std::uint8_t Mode) {
    FAnimationLists.resize(FActors.size());
    FAnimationLists[Actor].push_back({0, static_cast<std::uint16_t>(Frames), static_cast<std::uint8_t>(Length), Mode});
    return static_cast<int>(FAnimationLists[Actor].size()) - 1;
  }

  const lvk_game_t& Build() {
    FHandlers.clear();
    FActions.clear();
    for (std::size_t a = 0; a < FActors.size(); ++a) {
      FActors[a].first_handler = static_cast<std::uint16_t>(FHandlers.size());
      FActors[a].handler_count = static_cast<std::uint16_t>(FHandlerLists[a].size());
      for (auto& [H, Actions] : FHandlerLists[a]) {
        lvk_handler_t Entry = H;
        Entry.first_action = static_cast<std::uint16_t>(FActions.size());
        Entry.action_count = static_cast<std::uint16_t>(Actions.size());
        FActions.insert(FActions.end(), Actions.begin(), Actions.end());
        FHandlers.push_back(Entry);
      }
    }
    FSpawns.clear();
    FScenery.clear();
    for (std::size_t l = 0; l < FLevelCells.size(); ++l) {
      lvk_level_t& L = FLevels[l];
      L.first_spawn = static_cast<std::uint16_t>(FSpawns.size());
      const int Columns = FLevelColumns[l];
      for (int i = 0; i < static_cast<int>(FLevelCells[l].size()); ++i) {
        std::uint16_t A = FLevelCells[l][i];
        bool Live = A != LVK_NONE && FActors[A].handler_count > 0;
        if (Live) FSpawns.push_back({A, static_cast<std::uint8_t>(i % Columns), static_cast<std::uint8_t>(i / Columns)});
        FScenery.push_back(Live ? LVK_NONE : A);
      }
      L.spawn_count = static_cast<std::uint16_t>(FSpawns.size() - L.first_spawn);
    }
    FAnimations.clear();
    FFrames.clear();
    FAnimationLists.resize(FActors.size());
    for (std::size_t a = 0; a < FActors.size(); ++a) {
      FActors[a].first_animation = static_cast<std::uint16_t>(FAnimations.size());
      FActors[a].animation_count = static_cast<std::uint16_t>(FAnimationLists[a].size());
      for (lvk_animation_t A : FAnimationLists[a]) {
        A.first_frame = static_cast<std::uint16_t>(FFrames.size());
        FFrames.insert(FFrames.end(), A.frame_count, 0u);
        FAnimations.push_back(A);
      }
    }
    auto Count = [](const auto& V) { return static_cast<std::uint16_t>(V.size()); };
    FGame = {7, Count(FActors), Count(FHandlers), Count(FActions), Count(FLevels), Count(FSpawns),
             FActors.data(), FHandlers.data(), FActions.data(), FLevels.data(), FSpawns.data(), FScenery.data(),
             Count(FVariables), Count(FTexts), Count(FSegments), Sounds, static_cast<std::uint32_t>(FChars.size()),
             FVariables.data(), FTexts.data(), FSegments.data(), FChars.data(),
             // Levels made one screen keep the tables' older form, whose
             // entries a test may narrow afterwards.
             static_cast<std::uint32_t>(FScenery.size() == FLevels.size() * LVK_LEVEL_CELLS ? 0 : FScenery.size()),
             Count(FAnimations), Count(FFrames), static_cast<std::uint32_t>(FFrameTiles.size()),
             FAnimations.empty() ? nullptr : FAnimations.data(), FFrames.empty() ? nullptr : FFrames.data(),
             FFrameTiles.data(), Saving};
    return FGame;
  }

private:
  std::vector<lvk_actor_t> FActors;
  std::vector<std::vector<std::pair<lvk_handler_t, std::vector<lvk_action_t>>>> FHandlerLists;
  std::pair<lvk_handler_t, std::vector<lvk_action_t>>* FLast = nullptr;
  std::vector<std::vector<std::uint16_t>> FLevelCells;
  std::vector<int> FLevelColumns;
  std::vector<lvk_handler_t> FHandlers;
  std::vector<lvk_action_t> FActions;
  std::vector<lvk_level_t> FLevels;
  std::vector<lvk_spawn_t> FSpawns;
  std::vector<std::uint16_t> FScenery;
  std::vector<lvk_variable_t> FVariables;
  std::vector<lvk_text_t> FTexts;
  std::vector<lvk_segment_t> FSegments;
  std::string FChars;
  std::vector<std::vector<lvk_animation_t>> FAnimationLists;
  std::vector<lvk_animation_t> FAnimations;
  std::vector<std::uint32_t> FFrames;
  std::vector<std::uint16_t> FFrameTiles = std::vector<std::uint16_t>(64, 0);
  lvk_game_t FGame{};
};

// A host's store in memory: Bytes as the file holds them; none at all
// while Missing; writes fail while Broken.
struct TStore {
  std::vector<std::uint8_t> Bytes;
  bool Missing = false;
  bool Broken = false;
  int Writes = 0;
  lvk_store_t Calls() {
    return {[](void* Self, std::uint8_t* Out, std::uint32_t Size) -> long {
              auto& S = *static_cast<TStore*>(Self);
              if (S.Missing) return -1;
              std::copy_n(S.Bytes.begin(), std::min<std::size_t>(Size, S.Bytes.size()), Out);
              return static_cast<long>(S.Bytes.size());
            },
            [](void* Self, const std::uint8_t* In, std::uint32_t Size) {
              auto& S = *static_cast<TStore*>(Self);
              if (S.Broken) return 0;
              S.Bytes.assign(In, In + Size);
              ++S.Writes;
              return 1;
            },
            this};
  }
};

// An engine on a game, recording every fired handler.
class TPlay {
public:
  explicit TPlay(TTestGame& Game, int Level = 0, TStore* Store = nullptr) : FGame(Game.Build()) {
    lvk_engine_init(&E, &FGame);
    if (Store) {
      const lvk_store_t Calls = Store->Calls();
      lvk_engine_set_store(&E, &Calls, &Room);
    }
    lvk_engine_set_instance_values(&E, &Values);
    lvk_engine_set_trace(&E, [](void* Self, const lvk_trace_t* T) { static_cast<TPlay*>(Self)->Fired.push_back(*T); },
                         this);
    lvk_engine_start_level(&E, Level);
  }
  void Step(std::uint16_t Keys = 0, int TouchX = 0, int TouchY = 0) {
    lvk_input_t In{Keys, static_cast<std::int16_t>(TouchX), static_cast<std::int16_t>(TouchY)};
    lvk_engine_step(&E, &In);
  }
  void Steps(int Count, std::uint16_t Keys = 0) {
    for (int i = 0; i < Count; ++i) Step(Keys);
  }
  const lvk_instance_t& At(int Slot) const { return E.instances[Slot]; }
  // Events fired since the last call, as (slot, event) pairs.
  std::vector<std::pair<int, int>> Take() {
    std::vector<std::pair<int, int>> Out;
    for (const lvk_trace_t& T : Fired) Out.emplace_back(T.instance, T.event);
    Fired.clear();
    return Out;
  }
  std::string Row(int Row) const {
    std::string Text = lvk_engine_text_row(&E, Row);
    return Text.erase(Text.find_last_not_of(' ') + 1);
  }
  std::int32_t Var(int Variable, int Slot = 0) const { return lvk_engine_variable(&E, Variable, Slot); }

  lvk_game_t FGame;
  lvk_engine_t E;
  lvk_instance_values_t Values;
  lvk_save_room_t Room;
  std::vector<lvk_trace_t> Fired;
};

using TFired = std::vector<std::pair<int, int>>;

}  // namespace

TEST(Engine, MovementAndTheClampsOfSpeedAndDirection) {
  TTestGame G;
  int Hero = G.Actor();
  G.On(Hero, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, 16, 8).Do(LVK_ACTION_SET_SPEED_DIR, 5, -9);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS)
      .Do(LVK_ACTION_SET_SPEED_SIZE, 300, -20, true)      // 255, 0
      .Do(LVK_ACTION_SET_SPEED_DIR, 1, 7, true);          // (1, 0)
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_B, LVK_HANDLER_PRESS)
      .Do(LVK_ACTION_SET_SPEED_SIZE, INT32_MIN, INT32_MAX)  // 0, 255
      .Do(LVK_ACTION_SET_SPEED_SIZE, INT32_MAX, INT32_MAX, true)
      .Do(LVK_ACTION_SET_SPEED_DIR, -3, 0, true);         // (0, 0)
  G.Place(G.Level(), Hero, 10, 12);
  TPlay P(G);
  EXPECT_EQ(P.At(0).x, 80 * Px);
  EXPECT_EQ(P.At(0).y, 96 * Px);
  EXPECT_EQ(P.Take(), (TFired{{0, LVK_EVENT_CREATE}}));

  P.Step();
  EXPECT_EQ(P.At(0).x, 81 * Px);  // 16 sixteenths: one pixel
  EXPECT_EQ(P.At(0).y, 96 * Px - 8);
  lvk_sprite_t S{};
  ASSERT_TRUE(lvk_engine_sprite(&P.E, 0, &S));
  EXPECT_EQ(S.x, 81);
  EXPECT_EQ(S.y, 95);  // rounded down
  EXPECT_EQ(S.tile, 0);
  EXPECT_FALSE(lvk_engine_sprite(&P.E, 1, &S));

  P.Step(LVK_KEY_A);
  EXPECT_EQ(P.At(0).sx, 255);
  EXPECT_EQ(P.At(0).sy, 0);
  EXPECT_EQ(P.At(0).dx, 1);
  EXPECT_EQ(P.At(0).dy, 0);
  EXPECT_EQ(P.At(0).x, 81 * Px + 255);

  P.Step(LVK_KEY_B);
  EXPECT_EQ(P.At(0).sx, 255);
  EXPECT_EQ(P.At(0).sy, 255);
  EXPECT_EQ(P.At(0).dx, 0);
  EXPECT_EQ(P.At(0).dy, 0);
  EXPECT_EQ(lvk_engine_frame(&P.E), 3u);
}

TEST(Engine, KeysFireOnPressAndOnReleaseOfTheWholeSet) {
  TTestGame G;
  int Hero = G.Actor();
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_A | LVK_KEY_B, LVK_HANDLER_PRESS);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_A | LVK_KEY_B, 0);
  G.On(Hero, LVK_EVENT_KEY, 0, LVK_HANDLER_PRESS);  // an empty set never fires
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_LID, LVK_HANDLER_PRESS);
  G.Place(G.Level(), Hero, 0, 0);
  TPlay P(G);
  P.Take();
  const TFired Press{{0, LVK_EVENT_KEY}};
  P.Step(LVK_KEY_A);
  EXPECT_TRUE(P.Take().empty());  // B is not held yet
  P.Step(LVK_KEY_A | LVK_KEY_B);
  EXPECT_EQ(P.Take(), Press);
  P.Step(LVK_KEY_A | LVK_KEY_B | LVK_KEY_X);
  EXPECT_TRUE(P.Take().empty());  // held, nothing new of the set went down
  P.Step(LVK_KEY_B);
  EXPECT_TRUE(P.Take().empty());  // B still held: no release
  P.Step(LVK_KEY_A | LVK_KEY_B);
  EXPECT_EQ(P.Take(), Press);
  P.Step(0);  // both up at once
  ASSERT_EQ(P.Fired.size(), 1u);
  EXPECT_EQ(P.Fired[0].handler, 1);
  P.Take();
  P.Step(0);
  EXPECT_TRUE(P.Take().empty());
  P.Step(LVK_KEY_LID);
  EXPECT_EQ(P.Take(), Press);
  P.Step(LVK_KEY_LID);
  EXPECT_TRUE(P.Take().empty());
}

// The edges OnOutside counts: the level's, except for a level that fits in
// one screen (only the editor plays one smaller), whose edges are the
// screen's.
TEST(Engine, OutsideCountsTheLevelsEdgesUnlessItFitsOneScreen) {
  struct TCase {
    int Columns, Rows;  // the level
    int Column, Row;    // the runner's start
    int Dx, Dy;         // 8 pixels a frame
    int Frames;
    bool Fires;
  };
  const TCase Cases[] = {
      {64, 10, 2, 8, 0, 1, 2, true},     // wider, lower: the level's bottom at 80
      {64, 10, 2, 8, 0, 1, 1, false},
      {20, 40, 18, 2, 1, 0, 2, true},    // narrower, higher: the level's right at 160
      {20, 10, 18, 8, 1, 1, 3, false},   // smaller both ways: the screen's edges
      {20, 10, 18, 8, 1, 1, 14, true},
      {32, 24, 30, 22, 1, 0, 2, true},
  };
  for (const TCase& C : Cases) {
    TTestGame G;
    int Runner = G.Mover(0, 128, 128, C.Dx, C.Dy);
    G.On(Runner, LVK_EVENT_OUTSIDE, 0xFF);
    G.Place(G.Level(C.Columns, C.Rows), Runner, std::min(C.Column, C.Columns - 1), std::min(C.Row, C.Rows - 1));
    TPlay P(G);
    P.Take();
    P.Steps(C.Frames);
    EXPECT_EQ(!P.Take().empty(), C.Fires) << C.Columns << "x" << C.Rows << " after " << C.Frames;
  }
}

TEST(Engine, TouchFiresWhenThePenGoesDownInASelectedArea) {
  TTestGame G;
  int Hero = G.Actor();
  G.On(Hero, LVK_EVENT_TOUCH, LVK_AREA_H).Do(LVK_ACTION_SET_SPEED_SIZE, 1, 0);
  G.On(Hero, LVK_EVENT_TOUCH, LVK_AREA_N | LVK_AREA_SE).Do(LVK_ACTION_SET_SPEED_SIZE, 2, 0);
  G.On(Hero, LVK_EVENT_TOUCH, LVK_AREA_W | LVK_AREA_NW | LVK_AREA_SW).Do(LVK_ACTION_SET_SPEED_SIZE, 3, 0);
  G.Place(G.Level(), Hero, 10, 10);  // box 80..87 both ways
  TPlay P(G);
  auto Touch = [&](int X, int Y) {
    P.Step(0);
    P.Take();
    P.Step(LVK_KEY_TOUCH, X, Y);
    auto Fired = P.Take();
    return Fired.empty() ? -1 : P.At(0).sx;
  };
  EXPECT_EQ(Touch(80, 80), 1);
  EXPECT_EQ(Touch(87, 87), 1);
  EXPECT_EQ(Touch(84, 0), 2);      // straight above
  EXPECT_EQ(Touch(88, 88), 2);     // the south-east quarter-plane starts at the corner
  EXPECT_EQ(Touch(255, 191), 2);
  EXPECT_EQ(Touch(79, 84), 3);     // left band
  EXPECT_EQ(Touch(0, 0), 3);
  EXPECT_EQ(Touch(79, 191), 3);
  EXPECT_EQ(Touch(88, 84), -1);    // east: not selected
  EXPECT_EQ(Touch(84, 88), -1);    // south: not selected
  EXPECT_EQ(Touch(88, 79), -1);    // north-east: not selected
  // Only the frame the pen goes down counts.
  P.Step(0);
  P.Step(LVK_KEY_TOUCH, 200, 0);
  P.Take();
  P.Step(LVK_KEY_TOUCH, 84, 84);
  EXPECT_TRUE(P.Take().empty());
}

TEST(Engine, OutsideFiresOncePerCrossingWithDiagonals) {
  TTestGame G;
  int Runner = G.Actor();
  G.On(Runner, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, 16, 16).Do(LVK_ACTION_SET_SPEED_DIR, -1, 0);
  G.On(Runner, LVK_EVENT_OUTSIDE, LVK_AREA_W | LVK_AREA_NW);
  G.On(Runner, LVK_EVENT_KEY, LVK_KEY_RIGHT, LVK_HANDLER_PRESS).Do(LVK_ACTION_SET_SPEED_DIR, 1, 0);
  G.On(Runner, LVK_EVENT_KEY, LVK_KEY_UP, LVK_HANDLER_PRESS).Do(LVK_ACTION_SET_SPEED_DIR, -1, -1);
  int Level = G.Level();
  G.Place(Level, Runner, 1, 0);  // slot 0: cell order
  G.Place(Level, Runner, 0, 5);  // slot 1
  TPlay P(G);
  P.Take();
  P.Step();  // slot 1 at x -1: out west
  EXPECT_EQ(P.Take(), (TFired{{1, LVK_EVENT_OUTSIDE}}));
  P.Steps(20);  // staying out does not fire again; slot 0 goes out in its ninth frame
  EXPECT_EQ(P.Take(), (TFired{{0, LVK_EVENT_OUTSIDE}}));
  P.Step(LVK_KEY_RIGHT);
  P.Steps(30);  // both back inside: x 18 and 10
  EXPECT_EQ(P.Take(), (TFired{{0, LVK_EVENT_KEY}, {1, LVK_EVENT_KEY}}));
  EXPECT_EQ(P.At(0).x, 18 * Px);
  P.Step(LVK_KEY_UP);  // slot 0 leaves north first (not selected), then west on its own
  P.Steps(30);
  EXPECT_EQ(P.Take(), (TFired{{0, LVK_EVENT_KEY}, {1, LVK_EVENT_KEY}, {1, LVK_EVENT_OUTSIDE}, {0, LVK_EVENT_OUTSIDE}}));

  // Both edges in one frame: the diagonal.
  TTestGame C;
  int Ball = C.Actor();
  C.On(Ball, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, 16, 16).Do(LVK_ACTION_SET_SPEED_DIR, 1, 1);
  C.On(Ball, LVK_EVENT_OUTSIDE, LVK_AREA_SE).Do(LVK_ACTION_SET_SPEED_SIZE, 0, 0);
  C.On(Ball, LVK_EVENT_OUTSIDE, LVK_AREA_E | LVK_AREA_S);  // not the diagonal
  C.Place(C.Level(), Ball, 31, 23);
  TPlay Corner(C);
  Corner.Take();
  Corner.Step();
  ASSERT_EQ(Corner.Fired.size(), 1u);
  EXPECT_EQ(Corner.Fired[0].handler, 1);
  EXPECT_EQ(Corner.At(0).sx, 0);
}

TEST(Engine, CollisionsOverlapRepelSlideAndFireAgainOnlyAfterSeparating) {
  TTestGame G;
  int Hero = G.Actor(), Coin = G.Actor(1), Wall = G.Actor(2), Deco = G.Actor(2);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_RIGHT, LVK_HANDLER_PRESS).Do(LVK_ACTION_SET_SPEED_DIR, 1, 0);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_LEFT, LVK_HANDLER_PRESS).Do(LVK_ACTION_SET_SPEED_DIR, -1, 0);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_DOWN, LVK_HANDLER_PRESS).Do(LVK_ACTION_SET_SPEED_DIR, 1, 1);
  G.On(Hero, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, 16, 16);
  G.On(Hero, LVK_EVENT_COLLISION, 0, 0, Coin);
  G.On(Hero, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Wall);
  G.On(Coin, LVK_EVENT_COLLISION, 0, 0, Hero);
  int L = G.Level();
  G.Place(L, Hero, 2, 2);
  G.Place(L, Coin, 4, 2);
  G.Place(L, Wall, 8, 2);
  G.Place(L, Deco, 6, 2);  // same tile as the wall, but not the wall
  for (int c = 0; c < 32; ++c) G.Place(L, Wall, c, 4);
  TPlay P(G);
  P.Take();
  P.Step(LVK_KEY_RIGHT);  // x 17
  P.Steps(7);             // x 24: the box 24..31 touches the coin at 32 but does not overlap it
  EXPECT_EQ(P.Take(), (TFired{{0, LVK_EVENT_KEY}}));
  P.Step();  // x 25: overlaps the coin; both sides fire
  EXPECT_EQ(P.Take(), (TFired{{0, LVK_EVENT_COLLISION}, {1, LVK_EVENT_COLLISION}}));
  P.Steps(10);  // still overlapping, then through the decoration
  EXPECT_TRUE(P.Take().empty());
  P.Steps(30);  // the wall at 64 stops the box at 56, fired once however long it pushes
  EXPECT_EQ(P.At(0).x, 56 * Px);
  ASSERT_EQ(P.Fired.size(), 1u);
  EXPECT_EQ(P.Fired[0].handler, 5);
  P.Take();
  // Back over the coin: it fires again, having separated.
  P.Step(LVK_KEY_LEFT);
  P.Steps(30);
  EXPECT_EQ(P.Take(), (TFired{{0, LVK_EVENT_KEY}, {0, LVK_EVENT_COLLISION}, {1, LVK_EVENT_COLLISION}}));
  EXPECT_EQ(P.At(0).x, (56 - 31) * Px);
  // Diagonally down onto the floor at row 4 (y 32): y is undone, x goes on.
  P.Step(LVK_KEY_DOWN);
  P.Steps(20);
  EXPECT_EQ(P.At(0).y, 24 * Px);
  EXPECT_EQ(P.At(0).x, (25 + 21) * Px);
}

TEST(Engine, RepelIntoACornerUndoesBothAxes) {
  TTestGame G;
  int Hero = G.Actor(), Wall = G.Actor(2);
  G.On(Hero, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, 16, 16).Do(LVK_ACTION_SET_SPEED_DIR, 1, 1);
  G.On(Hero, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Wall);
  int L = G.Level();
  G.Place(L, Hero, 5, 5);
  G.Place(L, Wall, 6, 5);
  G.Place(L, Wall, 5, 6);
  G.Place(L, Wall, 6, 6);
  TPlay P(G);
  P.Steps(3);
  EXPECT_EQ(P.At(0).x, 40 * Px);
  EXPECT_EQ(P.At(0).y, 40 * Px);
}

TEST(Engine, DestroyRunsOnDestroyAtTheEndOfTheFrameOnce) {
  TTestGame G;
  int Hero = G.Actor(), Other = G.Actor();
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS).Do(LVK_ACTION_DESTROY).Do(LVK_ACTION_DESTROY);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS).Do(LVK_ACTION_DESTROY);
  G.On(Hero, LVK_EVENT_DESTROY).Do(LVK_ACTION_SET_SPEED_SIZE, 9, 9);
  G.On(Hero, LVK_EVENT_OUTSIDE, 0xFF);
  G.On(Hero, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, 16, 0).Do(LVK_ACTION_SET_SPEED_DIR, -1, 0);
  G.On(Other, LVK_EVENT_CREATE);
  int L = G.Level();
  G.Place(L, Hero, 0, 0);
  G.Place(L, Other, 5, 5);
  TPlay P(G);
  P.Take();
  EXPECT_EQ(lvk_engine_live_count(&P.E), 2);
  P.Step(LVK_KEY_A);
  // Keys first, the move and its outside event, then OnDestroy last.
  EXPECT_EQ(P.Take(), (TFired{{0, LVK_EVENT_KEY}, {0, LVK_EVENT_KEY}, {0, LVK_EVENT_OUTSIDE}, {0, LVK_EVENT_DESTROY}}));
  EXPECT_EQ(P.At(0).alive, 0);
  EXPECT_EQ(P.At(0).sx, 9);
  EXPECT_EQ(lvk_engine_live_count(&P.E), 1);
  EXPECT_EQ(lvk_engine_instance_count(&P.E), 2);
  lvk_sprite_t S{};
  ASSERT_TRUE(lvk_engine_sprite(&P.E, 0, &S));
  EXPECT_EQ(S.alive, 0);
  // A destroyed instance neither moves nor reacts.
  int X = P.At(0).x;
  P.Step(0);
  P.Step(LVK_KEY_A);
  EXPECT_EQ(P.At(0).x, X);
  EXPECT_TRUE(P.Take().empty());
}

TEST(Engine, NextLevelWrapsAndStartsTheLevelAtTheEndOfTheFrame) {
  TTestGame G;
  int Flag = G.Actor(3), Walker = G.Actor(4);
  G.On(Flag, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS).Do(LVK_ACTION_NEXT_LEVEL).Do(LVK_ACTION_NEXT_LEVEL);
  G.On(Walker, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, 16, 0).Do(LVK_ACTION_SET_SPEED_DIR, 1, 0);
  G.On(Walker, LVK_EVENT_DESTROY);
  int One = G.Level(), Two = G.Level(), Three = G.Level();
  G.Place(One, Flag, 1, 1);
  G.Place(Two, Flag, 2, 2);
  G.Place(Two, Walker, 0, 3);
  G.Place(Two, Walker, 9, 3);
  G.Place(Three, Flag, 3, 3);
  TPlay P(G);
  EXPECT_EQ(lvk_engine_level(&P.E), 0);
  EXPECT_TRUE(lvk_engine_level_changed(&P.E));
  P.Step();
  EXPECT_FALSE(lvk_engine_level_changed(&P.E));
  P.Take();
  P.Step(LVK_KEY_A);  // asked twice: one step
  EXPECT_EQ(lvk_engine_level(&P.E), 1);
  EXPECT_TRUE(lvk_engine_level_changed(&P.E));
  EXPECT_EQ(P.Take(), (TFired{{0, LVK_EVENT_KEY}, {1, LVK_EVENT_CREATE}, {2, LVK_EVENT_CREATE}}));
  EXPECT_EQ(lvk_engine_instance_count(&P.E), 3);
  EXPECT_EQ(P.At(1).x, 0);  // fresh: not moved yet
  P.Step(0);
  EXPECT_EQ(P.At(1).x, 16);
  P.Step(LVK_KEY_A);  // leaving a level runs no OnDestroy
  EXPECT_EQ(P.Take(), (TFired{{0, LVK_EVENT_KEY}}));
  EXPECT_EQ(lvk_engine_level(&P.E), 2);
  EXPECT_EQ(lvk_engine_instance_count(&P.E), 1);
  P.Step(0);
  P.Step(LVK_KEY_A);
  EXPECT_EQ(lvk_engine_level(&P.E), 0);  // after the last, the first

  // The host clears the live cells of its copy of the map.
  std::vector<std::uint16_t> Map(LVK_LEVEL_CELLS, 1);
  lvk_level_clear_live_cells(&P.FGame, 1, Map.data());
  EXPECT_EQ(Map[2 * 32 + 2], 7);
  EXPECT_EQ(Map[3 * 32 + 9], 7);
  EXPECT_EQ(Map[3 * 32 + 8], 1);
}

TEST(Engine, StartAndSelectTogetherStepToTheNextLevel) {
  TTestGame G;
  int Hero = G.Actor();
  G.On(Hero, LVK_EVENT_CREATE);
  G.Place(G.Level(), Hero, 0, 0);
  G.Level();
  TPlay P(G);
  P.Step(LVK_KEY_START);
  EXPECT_EQ(lvk_engine_level(&P.E), 0);
  P.Step(LVK_KEY_START | LVK_KEY_SELECT);
  EXPECT_EQ(lvk_engine_level(&P.E), 1);
  P.Steps(5, LVK_KEY_START | LVK_KEY_SELECT);  // held: once only
  EXPECT_EQ(lvk_engine_level(&P.E), 1);
  P.Step(LVK_KEY_START);
  P.Step(LVK_KEY_START | LVK_KEY_SELECT);
  EXPECT_EQ(lvk_engine_level(&P.E), 0);
  P.Step(LVK_KEY_A);  // a game with handlers is no viewer
  EXPECT_EQ(lvk_engine_level(&P.E), 0);
}

TEST(Engine, AGameWithoutHandlersIsAViewer) {
  TTestGame G;
  int Tree = G.Actor();
  for (int i = 0; i < 3; ++i) G.Place(G.Level(), Tree, i, i);
  TPlay P(G);
  EXPECT_EQ(lvk_engine_instance_count(&P.E), 0);
  P.Step(LVK_KEY_B);
  EXPECT_EQ(lvk_engine_level(&P.E), 2);  // back from the first: the last
  P.Step(0);
  P.Step(LVK_KEY_RIGHT);
  EXPECT_EQ(lvk_engine_level(&P.E), 0);
  P.Step(LVK_KEY_RIGHT | LVK_KEY_A);  // A went down: next
  EXPECT_EQ(lvk_engine_level(&P.E), 1);
  P.Step(LVK_KEY_LEFT);
  EXPECT_EQ(lvk_engine_level(&P.E), 0);
  P.Step(LVK_KEY_LEFT);  // held
  EXPECT_EQ(lvk_engine_level(&P.E), 0);
}

TEST(Engine, ALevelSpawnsAtMost128Instances) {
  TTestGame G;
  int Bug = G.Actor();
  G.On(Bug, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, 1, 1);
  int L = G.Level();
  for (int r = 0; r < 10; ++r)
    for (int c = 0; c < 32; ++c) G.Place(L, Bug, c, r);
  TPlay P(G);
  EXPECT_EQ(lvk_engine_instance_count(&P.E), LVK_MAX_INSTANCES);
  EXPECT_EQ(P.Take().size(), static_cast<std::size_t>(LVK_MAX_INSTANCES));
  // In cell order: the last one is at column 31 of row 3.
  EXPECT_EQ(P.At(127).x, 31 * 8 * Px);
  EXPECT_EQ(P.At(127).y, 3 * 8 * Px);
}

TEST(Engine, SameInputSameGame) {
  TTestGame G;
  int Hero = G.Actor(), Rock = G.Actor(1);
  G.On(Hero, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, 23, 11);
  for (int k = 4; k < 8; ++k)
    G.On(Hero, LVK_EVENT_KEY, static_cast<std::uint16_t>(1u << k), LVK_HANDLER_PRESS)
        .Do(LVK_ACTION_SET_SPEED_DIR, k == 4 ? 1 : k == 5 ? -1 : 0, k == 6 ? -1 : k == 7 ? 1 : 0, true);
  G.On(Hero, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Rock).Do(LVK_ACTION_SET_SPEED_SIZE, 3, 5, true);
  G.On(Hero, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Hero).Do(LVK_ACTION_SET_SPEED_DIR, -1, -1);
  G.On(Hero, LVK_EVENT_OUTSIDE, 0xFF).Do(LVK_ACTION_SET_SPEED_DIR, -1, -1, true);
  G.On(Hero, LVK_EVENT_TOUCH, 0x1FF).Do(LVK_ACTION_SET_SPEED_SIZE, -4, 2, true);
  int L = G.Level();
  for (int i = 0; i < 40; ++i) G.Place(L, i % 3 ? Hero : Rock, (i * 7) % 32, (i * 5) % 24);
  auto Run = [&] {
    TPlay P(G);
    std::uint32_t Seed = 12345;
    std::vector<std::int32_t> Positions;
    for (int f = 0; f < 600; ++f) {
      Seed = Seed * 1103515245u + 12345u;
      P.Step(static_cast<std::uint16_t>((Seed >> 16) & 0x10F0), (Seed >> 8) % 256, Seed % 192);
      for (int s = 0; s < lvk_engine_instance_count(&P.E); ++s) {
        Positions.push_back(P.At(s).x);
        Positions.push_back(P.At(s).y);
      }
    }
    auto Fired = P.Take();
    return std::make_pair(Positions, Fired);
  };
  auto First = Run(), Second = Run();
  EXPECT_GT(First.second.size(), 100u);
  EXPECT_EQ(First, Second);
}

TEST(Engine, BrokenTablesAreRefusedAndNothingRuns) {
  TTestGame G;
  int Hero = G.Actor();
  G.On(Hero, LVK_EVENT_COLLISION, 0, 0, 5);  // no actor 5
  G.Place(G.Level(), Hero, 0, 0);
  lvk_game_t Game = G.Build();
  EXPECT_EQ(lvk_game_check(&Game), 0);
  lvk_engine_t E;
  lvk_engine_init(&E, &Game);
  lvk_engine_start_level(&E, 0);
  lvk_engine_step(&E, nullptr);
  EXPECT_EQ(lvk_engine_level(&E), -1);
  EXPECT_EQ(lvk_engine_instance_count(&E), 0);

  lvk_game_t Empty{};
  EXPECT_EQ(lvk_game_check(&Empty), 1);
  lvk_engine_init(&E, &Empty);
  lvk_engine_start_level(&E, 0);
  lvk_engine_step(&E, nullptr);
  EXPECT_EQ(lvk_engine_level(&E), -1);
  EXPECT_EQ(lvk_game_check(nullptr), 0);
}

// ---- Repel that never traps ----

TEST(Engine, RepelTakesBackOnlyAMoveThatMakesTheOverlapGrow) {
  // Walked into by a faster chaser that repels: the runner runs on, the
  // chaser stays in contact behind it.
  TTestGame G;
  int Runner = G.Mover(0, 16, 0, -1, 0), Chaser = G.Mover(0, 32, 0, -1, 0);
  G.On(Runner, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Chaser);
  G.On(Chaser, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Runner);
  int L = G.Level();
  G.Place(L, Runner, 5, 5);
  G.Place(L, Chaser, 6, 5);
  TPlay P(G);
  P.Steps(20);
  EXPECT_EQ(P.At(0).x / Px, 20);
  EXPECT_EQ(P.At(1).x / Px, 28);

  // Pressed into a wall with a repelling blob pushing at his back: he can
  // still walk out upwards.
  TTestGame W;
  int Hero = W.Mover(0, 16, 16, -1, 0), Blob = W.Mover(0, 32, 0, -1, 0), Wall = W.Actor(2);
  W.On(Hero, LVK_EVENT_KEY, LVK_KEY_UP, LVK_HANDLER_PRESS).Do(LVK_ACTION_SET_SPEED_DIR, 0, -1);
  for (int Other : {Wall, Blob}) W.On(Hero, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Other);
  W.On(Blob, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Hero);
  L = W.Level();
  W.Place(L, Wall, 4, 5);
  W.Place(L, Hero, 5, 5);
  W.Place(L, Blob, 7, 5);
  TPlay Q(W);
  Q.Steps(30);
  EXPECT_EQ(Q.At(1).x / Px, 48);
  Q.Steps(16, LVK_KEY_UP);
  EXPECT_EQ(Q.At(0).x / Px, 40);
  EXPECT_EQ(Q.At(0).y / Px, 24);

  // Fast movers stop in contact, not short of what they hit; none jumps over it.
  struct TCase {
    int Column, Row, Sx, Sy, Dx, Dy, WallColumn, WallRow, X, Y;  // wall row -1: column and row WallColumn
  } const Cases[] = {{0, 5, 255, 0, 1, 0, 20, 5, 152, 40},
                     {30, 5, 255, 0, -1, 0, 10, 5, 88, 40},
                     {2, 2, 200, 200, 1, 1, 12, -1, 88, 88}};
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Column);
    TTestGame F;
    int Bullet = F.Mover(0, C.Sx, C.Sy, C.Dx, C.Dy), Stop = F.Actor(2);
    F.On(Bullet, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Stop);
    L = F.Level();
    F.Place(L, Bullet, C.Column, C.Row);
    for (int i = 0; i < 32; ++i)
      if (C.WallRow >= 0) F.Place(L, Stop, C.WallColumn, C.WallRow);
      else F.Place(L, Stop, C.WallColumn, i % 24), F.Place(L, Stop, i, C.WallColumn);
    TPlay R(F);
    R.Steps(30);
    EXPECT_EQ(R.At(0).x / Px, C.X);
    EXPECT_EQ(R.At(0).y / Px, C.Y);
    EXPECT_EQ(R.Take().size(), 2u);  // OnCreate, then one contact
  }
}

// Random play in a walled room: a hero steered at random and a blob that
// bounces round it at random speeds, both repelling each other and the
// walls. At the end the hero, tried in all four directions, must get
// somewhere: nobody can pin him in an open room.
TEST(Engine, RepelNeverTrapsInRandomPlay) {
  std::uint32_t Seed = 20240611;
  auto Random = [&](int N) {
    Seed = Seed * 1664525u + 1013904223u;
    return static_cast<int>((Seed >> 8) % static_cast<std::uint32_t>(N));
  };
  const std::uint16_t Arrows[] = {LVK_KEY_RIGHT, LVK_KEY_LEFT, LVK_KEY_UP, LVK_KEY_DOWN};
  const int Pushes[4][2] = {{1, 0}, {-1, 0}, {0, -1}, {0, 1}};
  int Stuck = 0;
  for (int Episode = 0; Episode < 2000; ++Episode) {
    TTestGame G;
    int Hero = G.Mover(0, 8 + Random(40), 8 + Random(40), 0, 0);
    int Blob = G.Mover(0, 8 + Random(40), 8 + Random(40), Random(3) - 1, Random(3) - 1);
    int Walls[4] = {G.Actor(1), G.Actor(1), G.Actor(1), G.Actor(1)};  // left, right, top, bottom
    for (int k = 0; k < 4; ++k) {
      G.On(Hero, LVK_EVENT_KEY, Arrows[k], LVK_HANDLER_PRESS).Do(LVK_ACTION_SET_SPEED_DIR, Pushes[k][0], Pushes[k][1]);
      G.On(Hero, LVK_EVENT_KEY, Arrows[k], 0).Do(LVK_ACTION_SET_SPEED_DIR, 0, 0);
      // The blob turns back from a wall (relative +-2 on one axis).
      G.On(Blob, LVK_EVENT_COLLISION, 0, 0, Walls[k])
          .Do(LVK_ACTION_SET_SPEED_DIR, -2 * Pushes[k][0], -2 * Pushes[k][1], true);
    }
    for (int Who : {Hero, Blob}) {
      for (int Wall : Walls) G.On(Who, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Wall);
      G.On(Who, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Who == Hero ? Blob : Hero);
    }
    int L = G.Level();
    for (int c = 0; c < 10; ++c) G.Place(L, Walls[2], c, 0), G.Place(L, Walls[3], c, 7);
    for (int r = 1; r < 7; ++r) G.Place(L, Walls[0], 0, r), G.Place(L, Walls[1], 9, r);
    int HeroCell = Random(48), BlobCell = (HeroCell + 1 + Random(47)) % 48;
    G.Place(L, Hero, 1 + HeroCell % 8, 1 + HeroCell / 8);
    G.Place(L, Blob, 1 + BlobCell % 8, 1 + BlobCell / 8);
    TPlay P(G);
    const int H = P.At(0).actor == Hero ? 0 : 1;
    for (int f = 0; f < 200; f += 10) P.Steps(10, Random(3) ? Arrows[Random(4)] : 0);
    bool Moved = false;
    for (std::uint16_t Key : Arrows) {
      P.Step(0);
      std::int32_t X = P.At(H).x, Y = P.At(H).y;
      P.Steps(12, Key);
      Moved = Moved || P.At(H).x != X || P.At(H).y != Y;
    }
    Stuck += !Moved;
  }
  EXPECT_EQ(Stuck, 0);
}

// ---- Variables, guards, timers, text, spawning, level jumps ----

TEST(Engine, VariablesAreNumbersOfEveryActionAndGuardsEndTheRun) {
  TTestGame G;
  int Score = G.Variable(5), Speed = G.Variable(3), Own = G.Variable(-7, LVK_SCOPE_INSTANCE);
  int Hero = G.Actor();
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS)
      .Act(LVK_ACTION_SET_VARIABLE, Score, Of(Speed), {}, 0, true)
      .Act(LVK_ACTION_SET_VARIABLE, Own, -1, {}, 0, true)
      .Act(LVK_ACTION_SET_SPEED_SIZE, 0, Of(Score), Of(Own));
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_B, LVK_HANDLER_PRESS).Act(LVK_ACTION_SET_VARIABLE, Score, INT32_MAX, {}, 0, true);
  int L = G.Level();
  G.Place(L, Hero, 1, 1);
  G.Place(L, Hero, 3, 1);
  TPlay P(G);
  P.Step(LVK_KEY_A);
  EXPECT_EQ(P.Var(Score), 11);  // both instances added 3
  EXPECT_EQ(P.Var(Own, 1), -8);  // each its own
  EXPECT_EQ(P.At(1).sx, 11);
  EXPECT_EQ(P.At(1).sy, 0);  // -8, clamped
  P.Step(LVK_KEY_B);
  EXPECT_EQ(P.Var(Score), INT32_MAX);  // adding stops at the top

  // Each guard holding and not: the action after it runs only when it holds.
  // IfVariable looks at 4; of three coins one is being destroyed.
  const std::uint8_t If = LVK_ACTION_IF_VARIABLE;
  struct {
    std::uint8_t Kind, Op;
    std::int32_t Value;
    bool Holds;
  } const Cases[] = {{If, LVK_COMPARE_EQUAL, 4, 1},    {If, LVK_COMPARE_EQUAL, 5, 0},    {If, LVK_COMPARE_UNEQUAL, 4, 0},
                     {If, LVK_COMPARE_LESS, 5, 1},     {If, LVK_COMPARE_LESS, 4, 0},     {If, LVK_COMPARE_AT_MOST, 4, 1},
                     {If, LVK_COMPARE_GREATER, 4, 0},  {If, LVK_COMPARE_AT_LEAST, 4, 1}, {If, LVK_COMPARE_AT_LEAST, 5, 0},
                     {LVK_ACTION_IF_COUNT, LVK_COMPARE_EQUAL, 2, 1}, {LVK_ACTION_IF_COUNT, LVK_COMPARE_GREATER, 2, 0},
                     {LVK_ACTION_IF_KEY_HELD, 0, 0, 1}, {LVK_ACTION_IF_CHANCE, 0, 1, 1}, {LVK_ACTION_IF_CHANCE, 0, 0, 0}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(testing::Message() << int(C.Kind) << " op " << int(C.Op) << " " << C.Value);
    TTestGame Q;
    int Four = Q.Variable(4), Done = Q.Variable(0), Judge = Q.Actor(), Coin = Q.Actor();
    Q.On(Coin, LVK_EVENT_CREATE);
    Q.On(Judge, LVK_EVENT_KEY_HELD, LVK_KEY_A | LVK_KEY_B)
        .Act(C.Kind, C.Kind == LVK_ACTION_IF_COUNT ? Coin : C.Kind == LVK_ACTION_IF_KEY_HELD ? LVK_KEY_B : Four, C.Value,
             {}, C.Op)
        .Act(LVK_ACTION_SET_VARIABLE, Done, 1);
    int QL = Q.Level();
    for (int c = 0; c < 4; ++c) Q.Place(QL, c < 3 ? Coin : Judge, c, 0);
    TPlay R(Q);
    R.E.instances[0].doomed = 1;
    R.Step(LVK_KEY_A | LVK_KEY_B);
    EXPECT_EQ(R.Var(Done), C.Holds ? 1 : 0);
  }

  // One in four from the engine's own numbers, the same every time.
  TTestGame D;
  int Hits = D.Variable(0), Dice = D.Actor();
  D.On(Dice, LVK_EVENT_TIMER, 0, LVK_HANDLER_REPEAT, 0, 1)
      .Act(LVK_ACTION_IF_CHANCE, 0, 4)
      .Act(LVK_ACTION_SET_VARIABLE, Hits, 1, {}, 0, true);
  D.Place(D.Level(), Dice, 0, 0);
  TPlay R1(D), R2(D);
  R1.Steps(4000);
  R2.Steps(4000);
  EXPECT_NEAR(R1.Var(Hits), 1000, 100);
  EXPECT_EQ(R1.Var(Hits), R2.Var(Hits));
}

TEST(Engine, KeyHeldAndTimersFireOnTheirFrames) {
  TTestGame G;
  int Clock = G.Actor(), Spawner = G.Actor();
  G.On(Clock, LVK_EVENT_KEY_HELD, LVK_KEY_A | LVK_KEY_B);
  G.On(Clock, LVK_EVENT_KEY_HELD, 0);  // an empty set never fires
  G.On(Clock, LVK_EVENT_TIMER, 0, 0, 0, 3);
  G.On(Clock, LVK_EVENT_TIMER, 0, LVK_HANDLER_REPEAT, 0, 4);
  G.On(Clock, LVK_EVENT_TIMER, 0, LVK_HANDLER_REPEAT, 0, 0);  // never
  // A clock spawned at the end of frame 2 counts its age from then.
  G.On(Spawner, LVK_EVENT_TIMER, 0, 0, 0, 2).Act(LVK_ACTION_SPAWN, Clock);
  int L = G.Level();
  G.Place(L, Clock, 0, 0);
  G.Place(L, Spawner, 5, 0);
  TPlay P(G);
  const std::uint16_t Keys[12] = {LVK_KEY_A, LVK_KEY_A | LVK_KEY_B, LVK_KEY_A | LVK_KEY_B | LVK_KEY_X};
  std::vector<std::string> Seen;
  for (std::uint16_t K : Keys) {
    P.Fired.clear();
    P.Step(K);
    Seen.emplace_back();
    for (const lvk_trace_t& T : P.Fired)
      if (T.event != LVK_EVENT_CREATE) Seen.back() += std::to_string(T.instance) + ":" + std::to_string(T.handler) + " ";
  }
  EXPECT_EQ(Seen, (std::vector<std::string>{"", "0:0 1:5 ", "0:0 0:2 2:0 ", "0:3 ", "2:2 ", "2:3 ", "", "0:3 ", "",
                                            "2:3 ", "", "0:3 "}));
}

TEST(Engine, TextRowsShowTheirVariablesAsTheyChange) {
  TTestGame G;
  int Score = G.Variable(INT32_MIN), Lives = G.Variable(3), Row = G.Variable(7);
  int Own = G.Variable(42, LVK_SCOPE_INSTANCE);
  int Line = G.Text("Score {0} lives {1}!"), Mine = G.Text("me {3} of {1}"), Long = G.Text(std::string(40, 'x'));
  int Hud = G.Actor(), Ghost = G.Actor();
  G.On(Hud, LVK_EVENT_CREATE).Act(LVK_ACTION_SHOW_TEXT, Line, 0).Act(LVK_ACTION_SHOW_TEXT, Long, Of(Row));
  G.On(Hud, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS)
      .Act(LVK_ACTION_SET_VARIABLE, Score, 0)
      .Act(LVK_ACTION_SET_VARIABLE, Score, 150, {}, 0, true);
  G.On(Hud, LVK_EVENT_KEY, LVK_KEY_B, LVK_HANDLER_PRESS)
      .Act(LVK_ACTION_SHOW_TEXT, Mine, 0)
      .Act(LVK_ACTION_SHOW_TEXT, Line, 24);
  G.On(Hud, LVK_EVENT_KEY, LVK_KEY_START, LVK_HANDLER_PRESS).Do(LVK_ACTION_RESTART_GAME);
  G.On(Ghost, LVK_EVENT_KEY, LVK_KEY_B, LVK_HANDLER_PRESS).Act(LVK_ACTION_SHOW_TEXT, Mine, 1);
  G.On(Ghost, LVK_EVENT_KEY, LVK_KEY_X, LVK_HANDLER_PRESS)
      .Act(LVK_ACTION_SET_VARIABLE, Own, 1, {}, 0, true)
      .Act(LVK_ACTION_SET_VARIABLE, Lives, 1, {}, 0, true)
      .Do(LVK_ACTION_DESTROY);
  int L = G.Level();
  G.Place(L, Hud, 0, 0);
  G.Place(L, Ghost, 1, 0);
  TPlay P(G);
  EXPECT_EQ(P.Row(0), "Score -2147483648 lives 3!");
  EXPECT_EQ(P.Row(7), std::string(32, 'x'));  // cut at the row's end
  EXPECT_EQ(lvk_engine_take_changed_rows(&P.E), 1u | 1u << 7);
  P.Step(LVK_KEY_A);  // two changes in one frame, one row printed
  EXPECT_EQ(P.Row(0), "Score 150 lives 3!");
  EXPECT_EQ(lvk_engine_take_changed_rows(&P.E), 1u);
  P.Step(0);
  EXPECT_EQ(lvk_engine_take_changed_rows(&P.E), 0u);
  // Row 0 printed with another text follows that one; row 24 is none.
  P.Step(LVK_KEY_B);
  EXPECT_EQ(P.Row(0), "me 42 of 3");
  P.Step(LVK_KEY_X);  // the ghost's own and the game's lives change, then the ghost goes
  EXPECT_EQ(P.Row(0), "me 42 of 4");
  EXPECT_EQ(P.Row(1), "me 43 of 4");
  // RestartGame resets the game variables and gives the rows back; the
  // hud's OnCreate shows its rows anew.
  lvk_engine_take_changed_rows(&P.E);
  P.Step(LVK_KEY_START);
  EXPECT_EQ(P.Var(Score), INT32_MIN);
  EXPECT_EQ(P.Row(1), "");
  EXPECT_EQ(lvk_engine_text_rows(&P.E), 1u | 1u << 7);
  EXPECT_EQ(lvk_engine_take_changed_rows(&P.E), 1u | 2u | 1u << 7);
}

// The upper screen as both hosts print it (lvk_host.h): the game's rows
// over the host's lines, all printed anew when RestartGame gives rows back.
TEST(Engine, HostsPrintTheGameRowsBesideTheirOwnLines) {
  TTestGame G;
  int Frames = G.Variable(0), Count = G.Text("Frames {0}"), Mine = G.Text("Mine\x1b[5;5H"), Clock = G.Actor();
  G.On(Clock, LVK_EVENT_CREATE).Act(LVK_ACTION_SHOW_TEXT, Count, 0);
  G.On(Clock, LVK_EVENT_TIMER, 0, LVK_HANDLER_REPEAT, 0, 1).Act(LVK_ACTION_SET_VARIABLE, Frames, 1, {}, 0, true);
  G.On(Clock, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS).Act(LVK_ACTION_SHOW_TEXT, Mine, LVK_HOST_ROW_STATUS);
  G.On(Clock, LVK_EVENT_KEY, LVK_KEY_B, LVK_HANDLER_PRESS).Do(LVK_ACTION_RESTART_GAME);
  G.Place(G.Level(), Clock, 0, 0);
  TPlay P(G);
  lvk_host_screen_t Screen;
  lvk_host_screen_init(&Screen);
  std::vector<std::string> Shown;
  int Repaints = 0;
  auto Print = [&] {
    int Repaint = 0;
    const std::uint32_t Rows = lvk_host_rows_to_print(&Screen, &P.E, &Repaint);
    char Line[LVK_TEXT_COLUMNS + 1];
    if (Repaint) Shown.assign(LVK_TEXT_ROWS, "start text"), ++Repaints;
    for (int r = 0; r < LVK_TEXT_ROWS; ++r)
      if (((Rows >> r) & 1u) && lvk_host_row(&P.E, r, Line))
        Shown[r] = std::string(Line, std::string(Line).find_last_not_of(' ') + 1);
  };
  Print();
  EXPECT_EQ((std::vector<std::string>{Shown[0], Shown[1], Shown[20], Shown[22]}),
            (std::vector<std::string>{"Frames 0", "start text", "Level 1 of 1", "Start+Select: next level"}));
  P.Steps(3);
  Print();
  EXPECT_EQ(Shown[0], "Frames 3");
  P.Step(LVK_KEY_A);  // the status row taken; the escape prints as spaces
  Print();
  EXPECT_EQ(Shown[20], "Mine [5;5H");
  P.Step(LVK_KEY_B);
  Print();
  EXPECT_EQ(Repaints, 2);
  EXPECT_EQ(Shown[20], "Level 1 of 1");
  EXPECT_EQ(Shown[0], "Frames 0");
}

TEST(Engine, SpawnsComeAtTheEndOfTheFrameIntoFreeSlots) {
  TTestGame G;
  int Count = G.Variable(0), Born = G.Variable(0, LVK_SCOPE_INSTANCE);
  int Gun = G.Actor(1), Shot = G.Actor(2), Rock = G.Actor(3);
  G.On(Gun, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS)
      .Act(LVK_ACTION_SPAWN, Shot, 8, -4)
      .Act(LVK_ACTION_IF_COUNT, Shot, 0, {}, LVK_COMPARE_EQUAL)  // not there yet
      .Act(LVK_ACTION_SET_VARIABLE, Count, 100);
  G.On(Gun, LVK_EVENT_KEY_HELD, LVK_KEY_B).Act(LVK_ACTION_SPAWN, Shot, 0, 8).Act(LVK_ACTION_SPAWN, Rock, 16, 0);
  G.On(Shot, LVK_EVENT_CREATE)
      .Act(LVK_ACTION_SET_VARIABLE, Count, 1, {}, 0, true)
      .Act(LVK_ACTION_SET_VARIABLE, Born, Of(Count));
  G.On(Shot, LVK_EVENT_KEY, LVK_KEY_X, LVK_HANDLER_PRESS).Do(LVK_ACTION_DESTROY);
  G.Place(G.Level(), Gun, 4, 4);
  TPlay P(G);
  P.Take();
  P.Step(LVK_KEY_A);
  EXPECT_EQ(P.Take(), (TFired{{0, LVK_EVENT_KEY}, {1, LVK_EVENT_CREATE}}));
  EXPECT_EQ(P.Var(Born, 1), 101);
  EXPECT_EQ((std::vector<int>{P.At(1).x / Px, P.At(1).y / Px, P.At(1).tile}), (std::vector<int>{40, 28, 2}));
  // Destroyed, its slot takes the next shot; a scenery actor spawns too.
  P.Step(LVK_KEY_X);
  P.Step(LVK_KEY_B);
  EXPECT_EQ(lvk_engine_instance_count(&P.E), 3);
  EXPECT_EQ(P.At(1).y / Px, 40);
  EXPECT_EQ(P.Var(Born, 1), 102);
  EXPECT_EQ(P.At(2).actor, Rock);
  // Held B fills every slot, then nothing more spawns; X frees the 64 shots'.
  P.Steps(200, LVK_KEY_B);
  EXPECT_EQ(lvk_engine_live_count(&P.E), LVK_MAX_INSTANCES);
  P.Step(LVK_KEY_B | LVK_KEY_X);
  EXPECT_EQ(lvk_engine_live_count(&P.E), 66);
  // The slots stay in actor order for the collision look-ups.
  std::vector<int> Order(P.E.by_actor, P.E.by_actor + LVK_MAX_INSTANCES);
  EXPECT_TRUE(std::is_sorted(Order.begin(), Order.end(), [&](int A, int B) { return P.At(A).actor < P.At(B).actor; }));
  std::sort(Order.begin(), Order.end());
  EXPECT_EQ(std::unique(Order.begin(), Order.end()), Order.end());
}

TEST(Engine, GoToLevelAndRestartGame) {
  struct {
    std::uint8_t Kind;
    std::int32_t Level;
    int Expected;  // the level after the frame, from the second
  } const Cases[] = {{LVK_ACTION_GO_TO_LEVEL, 3, 2}, {LVK_ACTION_GO_TO_LEVEL, 1, 0}, {LVK_ACTION_GO_TO_LEVEL, 0, 1},
                     {LVK_ACTION_GO_TO_LEVEL, 4, 1}, {LVK_ACTION_GO_TO_LEVEL, -1, 1}, {LVK_ACTION_RESTART_GAME, 0, 0}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Level);
    TTestGame G;
    int Lives = G.Variable(3), Where = G.Variable(C.Level), Hero = G.Actor();
    G.On(Hero, LVK_EVENT_CREATE).Act(LVK_ACTION_SET_VARIABLE, Lives, -1, {}, 0, true);
    // The first level change asked for counts, RestartGame before any; a
    // spawn of a level being left is not made.
    G.On(Hero, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS)
        .Act(C.Kind, 0, Of(Where))
        .Act(LVK_ACTION_GO_TO_LEVEL, 0, 2)
        .Act(LVK_ACTION_SPAWN, Hero);
    for (int l = 0; l < 3; ++l) G.Place(G.Level(), Hero, l, 0);
    G.LevelEntry(1).music = 2;
    G.Sounds = 2;
    TPlay P(G, 1);
    EXPECT_EQ(lvk_engine_music(&P.E), 1);
    P.Step(LVK_KEY_A);
    EXPECT_EQ(lvk_engine_level(&P.E), C.Expected);
    EXPECT_EQ(lvk_engine_instance_count(&P.E), 1);
    EXPECT_EQ(P.Var(Lives), C.Kind == LVK_ACTION_RESTART_GAME ? 2 : 1);  // kept across levels
    EXPECT_EQ(lvk_engine_music(&P.E), C.Expected == 1 ? 1 : -1);
  }
}

// The sounds a host reads are those of the last step or of the level start
// it asked for: its start after a step does not hand the step's sounds over
// again, while a level change or restart at a step's end keeps the sounds
// the step asked for before it.
TEST(Engine, SoundsAreThoseOfTheLastStepOrLevelStart) {
  const struct {
    std::uint8_t Kind;  // what A asks for after sound 0; 0: nothing (the host starts the level)
    std::vector<int> AfterStep, AfterHostStart;
  } Cases[] = {
      {0, {0}, {1}},
      {LVK_ACTION_GO_TO_LEVEL, {0, 1}, {1}},
      {LVK_ACTION_RESTART_GAME, {0, 1}, {1}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Kind);
    TTestGame G;
    G.Sounds = 2;
    int Hero = G.Actor();
    G.On(Hero, LVK_EVENT_CREATE).Act(LVK_ACTION_PLAY_SOUND, 1);
    G.On(Hero, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS).Act(LVK_ACTION_PLAY_SOUND, 0);
    if (C.Kind) G.Act(C.Kind, 0, 1);
    G.Place(G.Level(), Hero, 0, 0);
    TPlay P(G);
    const std::uint16_t* Sounds = nullptr;
    auto Taken = [&] {
      int Count = lvk_engine_sounds(&P.E, &Sounds);
      return std::vector<int>(Sounds, Sounds + Count);
    };
    EXPECT_EQ(Taken(), std::vector<int>{1});
    P.Step(LVK_KEY_A);
    EXPECT_EQ(Taken(), C.AfterStep);
    lvk_engine_start_level(&P.E, 0);
    EXPECT_EQ(Taken(), C.AfterHostStart);
  }
}

TEST(Engine, BounceSetTileMoveTowardSoundsAndSolidActors) {
  TTestGame G;
  int Ball = G.Mover(1, 16, 16, 1, -1), Dog = G.Actor(2), Cat = G.Actor(3);
  G.Sounds = 3;
  G.On(Ball, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS).Do(LVK_ACTION_BOUNCE, 1, 0).Act(LVK_ACTION_SET_TILE, 5);
  G.On(Ball, LVK_EVENT_KEY, LVK_KEY_B, LVK_HANDLER_PRESS).Do(LVK_ACTION_BOUNCE, 0, 7);
  for (int i = 0; i < 10; ++i) G.Act(LVK_ACTION_PLAY_SOUND, i % 3);
  // The dog chases the nearest cat at 64 sixteenths a frame.
  G.On(Dog, LVK_EVENT_TIMER, 0, LVK_HANDLER_REPEAT, 0, 1).Act(LVK_ACTION_MOVE_TOWARD, Cat, 64);
  G.On(Cat, LVK_EVENT_CREATE);
  int L = G.Level();
  G.Place(L, Cat, 2, 2);   // slot 0
  G.Place(L, Dog, 20, 3);  // slot 1, at (160, 24)
  G.Place(L, Ball, 10, 10);
  G.Place(L, Cat, 22, 10);  // slot 3: the nearest cat
  TPlay P(G);
  P.Step(LVK_KEY_A);
  EXPECT_EQ((std::vector<int>{P.At(2).dx, P.At(2).dy, P.At(2).tile}), (std::vector<int>{-1, -1, 5}));
  const std::uint16_t* Sounds = nullptr;
  EXPECT_EQ(lvk_engine_sounds(&P.E, &Sounds), 0);
  P.Step(LVK_KEY_B);
  EXPECT_EQ(P.At(2).dy, 1);
  ASSERT_EQ(lvk_engine_sounds(&P.E, &Sounds), LVK_MAX_FRAME_SOUNDS);
  EXPECT_EQ(std::vector<int>(Sounds, Sounds + 4), (std::vector<int>{0, 1, 2, 0}));
  P.Steps(60);
  EXPECT_EQ(P.At(1).x, P.At(3).x);  // reached, and stays
  EXPECT_EQ(P.At(1).y, P.At(3).y);
  // The tiles a host prepares as sprites: live actors', then SetTile's.
  std::vector<int> Tiles;
  std::uint32_t Cursor = 0;
  for (int T; (T = lvk_game_sprite_tile(&P.FGame, &Cursor)) >= 0;) Tiles.push_back(T);
  EXPECT_EQ(Tiles, (std::vector<int>{1, 2, 3, 5}));

  // "Any solid actor": solid scenery and solid live ones, not the others.
  TTestGame S;
  int Hero = S.Mover(0, 16, 16, 0, 0), Wall = S.Actor(1, LVK_ACTOR_SOLID), Deco = S.Actor(2);
  int Block = S.Actor(3, LVK_ACTOR_SOLID);
  S.On(Hero, LVK_EVENT_KEY_HELD, LVK_KEY_RIGHT).Do(LVK_ACTION_SET_SPEED_DIR, 1, 0);
  S.On(Hero, LVK_EVENT_KEY_HELD, LVK_KEY_DOWN).Do(LVK_ACTION_SET_SPEED_DIR, 0, 1);
  S.On(Hero, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, LVK_ANY_SOLID);
  S.On(Block, LVK_EVENT_CREATE);
  L = S.Level();
  S.Place(L, Hero, 2, 2);
  S.Place(L, Deco, 4, 2);
  S.Place(L, Wall, 8, 2);
  S.Place(L, Block, 7, 6);
  TPlay Q(S);
  Q.Steps(60, LVK_KEY_RIGHT);  // through the decoration, stopped by the wall
  Q.Steps(60, LVK_KEY_DOWN);   // down onto the block
  EXPECT_EQ(Q.At(0).x / Px, 56);
  EXPECT_EQ(Q.At(0).y / Px, 40);
}

// Every reference in the tables is checked; a game that fails is refused
// everywhere, also by the host's map clearing, which then writes nothing.
TEST(Engine, EveryIndexIsCheckedAndABrokenGameNeverRuns) {
  TTestGame G;
  int Own = G.Variable(0, LVK_SCOPE_INSTANCE), Text = G.Text("a{0}"), Hero = G.Actor();
  G.On(Hero, LVK_EVENT_COLLISION, 0, 0, LVK_ANY_SOLID)
      .Act(LVK_ACTION_SET_VARIABLE, Own, Of(Own))
      .Act(LVK_ACTION_SHOW_TEXT, Text, 0)
      .Act(LVK_ACTION_SET_TILE, LVK_NONE)
      .Act(LVK_ACTION_PLAY_SOUND, 0);
  G.Place(G.Level(), Hero, 1, 1);
  G.Sounds = 1;
  const lvk_game_t Good = G.Build();
  ASSERT_EQ(lvk_game_check(&Good), 1);
  struct TBroken {
    lvk_game_t G;
    lvk_handler_t H;
    lvk_level_t L;
    std::vector<lvk_action_t> A;
    std::vector<lvk_segment_t> S;
  };
  std::vector<lvk_variable_t> Many(17, lvk_variable_t{0, LVK_SCOPE_INSTANCE, 0, 0});
  const std::function<void(TBroken&)> Breaks[] = {
      [](TBroken& B) { B.H.other = 1; },           [](TBroken& B) { B.A[0].ref = 1; },
      [](TBroken& B) { B.A[0].var[0] = 2; },       [](TBroken& B) { B.A[0].var[5] = 2; },
      [](TBroken& B) { B.A[1].ref = 1; },
      [](TBroken& B) { B.A[2].ref = 7; },          [](TBroken& B) { B.G.sound_count = 0; },
      [](TBroken& B) { B.A[0].kind = LVK_ACTION_IF_VARIABLE, B.A[0].n[2] = 6; },
      // A comparison is a literal among the comparisons.
      [](TBroken& B) { B.A[0].kind = LVK_ACTION_IF_VARIABLE, B.A[0].n[2] = -1; },
      [](TBroken& B) { B.A[0].kind = LVK_ACTION_IF_VARIABLE, B.A[0].var[2] = LVK_VARIABLE(0); },
      [](TBroken& B) { B.S[1].variable = 2; },     [](TBroken& B) { B.S[0].first = 1; },
      [](TBroken& B) { B.L.width = 33; },          [](TBroken& B) { B.L.height = 1; },  // the spawn lies outside
      [](TBroken& B) { B.L.music = 2; },
      [&](TBroken& B) { B.G.variables = Many.data(), B.G.variable_count = 17; },
  };
  for (const auto& Break : Breaks) {
    SCOPED_TRACE(&Break - Breaks);
    TBroken B{Good, Good.handlers[0], Good.levels[0], {Good.actions, Good.actions + Good.action_count},
              {Good.segments, Good.segments + Good.segment_count}};
    B.G.handlers = &B.H, B.G.levels = &B.L, B.G.actions = B.A.data(), B.G.segments = B.S.data();
    Break(B);
    EXPECT_EQ(lvk_game_check(&B.G), 0);
    std::vector<std::uint16_t> Map(LVK_LEVEL_CELLS, 1);
    lvk_level_clear_live_cells(&B.G, 0, Map.data());
    EXPECT_EQ(std::count(Map.begin(), Map.end(), 1), LVK_LEVEL_CELLS);
    lvk_engine_t E;
    lvk_engine_init(&E, &B.G);
    lvk_engine_start_level(&E, 0);
    EXPECT_EQ(lvk_engine_level(&E), -1);
  }
  // A game with instance variables needs their room.
  lvk_engine_t E;
  lvk_engine_init(&E, &Good);
  lvk_engine_start_level(&E, 0);
  EXPECT_EQ(lvk_engine_level(&E), -1);
  // A handler without actions runs in a game whose action table is none.
  TTestGame N;
  int Lone = N.Actor();
  N.On(Lone, LVK_EVENT_TIMER, 0, LVK_HANDLER_REPEAT, 0, 1);
  N.Place(N.Level(), Lone, 0, 0);
  TPlay P(N);
  ASSERT_EQ(P.FGame.actions, nullptr);
  P.Steps(3);
  EXPECT_EQ(P.Take().size(), 3u);
}

// ---- Contacts, jumps, Otherwise and clearing text ----

// A hero walks right into a door (column 6) and pushes on, backs off and
// walks in again. A contact is one meeting with every actor it touched:
// each OnCollision naming the door, or any solid actor when the door is
// solid, fires once per contact, whichever handler took the move back.
TEST(Engine, AContactMeetsEveryActorItTouchedOncePerContact) {
  constexpr int Any = LVK_ANY_SOLID, Door = 1, Far = 2;
  struct THandlerSpec {
    int Other;
    bool Repel;
  };
  const struct {
    const char* Name;
    std::vector<THandlerSpec> Handlers;
    bool DoorSolid, DoorLive;
    std::vector<int> Fired;  // the collision handlers (from 0) one contact fires
  } Cases[] = {
      {"any solid, then the door", {{Any, true}, {Door, true}}, true, true, {0, 1}},
      {"the door, then any solid", {{Door, true}, {Any, true}}, true, true, {0, 1}},
      {"repel, then an overlap of the door", {{Any, true}, {Door, false}}, true, true, {0, 1}},
      {"a scenery door", {{Any, true}, {Door, true}}, true, false, {0, 1}},
      {"a door that is not solid", {{Any, true}, {Door, true}}, false, true, {1}},
      {"an overlap first sees the move", {{Door, false}, {Any, true}}, true, true, {0, 1}},
      {"what it did not touch", {{Any, true}, {Far, false}, {Far, true}}, true, true, {0}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TTestGame G;
    int Hero = G.Actor(0), DoorActor = G.Actor(1, C.DoorSolid ? LVK_ACTOR_SOLID : 0);
    int FarActor = G.Actor(2, LVK_ACTOR_SOLID);
    ASSERT_EQ(DoorActor, Door);
    ASSERT_EQ(FarActor, Far);
    G.On(Hero, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, 16, 16);
    G.On(Hero, LVK_EVENT_KEY_HELD, LVK_KEY_RIGHT).Do(LVK_ACTION_SET_SPEED_DIR, 1, 0);
    G.On(Hero, LVK_EVENT_KEY_HELD, LVK_KEY_LEFT).Do(LVK_ACTION_SET_SPEED_DIR, -1, 0);
    const int First = 3;
    for (const THandlerSpec& H : C.Handlers)
      G.On(Hero, LVK_EVENT_COLLISION, 0, H.Repel ? LVK_HANDLER_REPEL : 0, H.Other);
    if (C.DoorLive) G.On(DoorActor, LVK_EVENT_CREATE);
    G.On(FarActor, LVK_EVENT_CREATE);
    int L = G.Level();
    G.Place(L, Hero, 2, 2);
    G.Place(L, DoorActor, 6, 2);
    G.Place(L, FarActor, 20, 10);
    TPlay P(G);
    std::vector<int> Expected;
    for (int Contact = 0; Contact < 2; ++Contact)
      for (int H : C.Fired) Expected.push_back(First + H);
    P.Steps(40, LVK_KEY_RIGHT);  // there after 8 frames, then pushing on
    EXPECT_EQ(P.At(0).x, 40 * Px) << "stopped at the door";
    P.Steps(4, LVK_KEY_LEFT);
    P.Steps(20, LVK_KEY_RIGHT);
    std::vector<int> Seen;
    for (const lvk_trace_t& T : P.Fired)
      if (T.event == LVK_EVENT_COLLISION && T.instance == 0) Seen.push_back(T.handler);
    EXPECT_EQ(Seen, Expected);
  }
}

// Otherwise: after a failed guard the run goes on after the next Otherwise;
// reached in the run it ends it unless the last guard failed.
TEST(Engine, OtherwiseRunsOnlyWhenTheLastGuardFailed) {
  constexpr int If = LVK_ACTION_IF_VARIABLE, Else = LVK_ACTION_OTHERWISE, Add = LVK_ACTION_SET_VARIABLE;
  // A list of actions: If(v = n) with n the number, Add(n) adds 10^n to the
  // trail, Else. The variable looked at is 1.
  struct TStep {
    int Kind, N;
  };
  const struct {
    const char* Name;
    std::vector<TStep> Actions;
    std::int32_t Trail;
  } Cases[] = {
      {"the guard holds", {{If, 1}, {Add, 0}, {Else, 0}, {Add, 1}}, 1},
      {"the guard fails", {{If, 2}, {Add, 0}, {Else, 0}, {Add, 1}}, 10},
      {"no guard before it", {{Add, 0}, {Else, 0}, {Add, 1}}, 1},
      {"a failed guard without Otherwise ends the run", {{Add, 0}, {If, 2}, {Add, 1}}, 1},
      {"else if: the second holds", {{If, 2}, {Add, 0}, {Else, 0}, {If, 1}, {Add, 1}, {Else, 0}, {Add, 2}}, 10},
      {"else if: neither holds", {{If, 2}, {Add, 0}, {Else, 0}, {If, 3}, {Add, 1}, {Else, 0}, {Add, 2}}, 100},
      {"else if: the first holds", {{If, 1}, {Add, 0}, {Else, 0}, {If, 1}, {Add, 1}, {Else, 0}, {Add, 2}}, 1},
      {"a guard after Otherwise", {{If, 2}, {Else, 0}, {Add, 0}, {If, 3}, {Add, 1}}, 1},
      {"two Otherwise after a failed guard", {{If, 2}, {Else, 0}, {Add, 0}, {Else, 0}, {Add, 1}}, 11},
      {"an Otherwise as the last action", {{If, 2}, {Add, 0}, {Else, 0}}, 0},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TTestGame G;
    int One = G.Variable(1), Trail = G.Variable(0), Judge = G.Actor();
    G.On(Judge, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS);
    for (const TStep& S : C.Actions) {
      if (S.Kind == If) G.Act(If, One, S.N, {}, LVK_COMPARE_EQUAL);
      if (S.Kind == Add) G.Act(Add, Trail, S.N == 0 ? 1 : S.N == 1 ? 10 : 100, {}, 0, true);
      if (S.Kind == Else) G.Act(Else, 0);
    }
    G.Place(G.Level(), Judge, 0, 0);
    TPlay P(G);
    P.Step(LVK_KEY_A);
    EXPECT_EQ(P.Var(Trail), C.Trail);
  }
  // Every guard kind leads to Otherwise when it fails.
  for (int Kind : {LVK_ACTION_IF_COUNT, LVK_ACTION_IF_CHANCE, LVK_ACTION_IF_KEY_HELD}) {
    SCOPED_TRACE(Kind);
    TTestGame G;
    int Trail = G.Variable(0), Judge = G.Actor();
    // Count of judges = 5, chance one in 0, keys B: none holds.
    G.On(Judge, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS)
        .Act(Kind, Kind == LVK_ACTION_IF_KEY_HELD ? LVK_KEY_B : Judge, Kind == LVK_ACTION_IF_COUNT ? 5 : 0)
        .Act(Add, Trail, 1, {}, 0, true)
        .Act(Else, 0)
        .Act(Add, Trail, 10, {}, 0, true);
    G.Place(G.Level(), Judge, 0, 0);
    TPlay P(G);
    P.Step(LVK_KEY_A);
    EXPECT_EQ(P.Var(Trail), 10);
  }
}

// JumpTo and JumpToStart put the instance somewhere at once, as no move:
// neither speed nor direction change, and repel never takes a jump back.
TEST(Engine, JumpsPutTheInstanceWhereTheySayAndAreNoMove) {
  const struct {
    const char* Name;
    int Kind;
    std::int32_t X, Y;
    bool Relative;
    int PixelX, PixelY;  // after the frame of the jump (the hero moves 1 pixel right a frame)
  } Cases[] = {
      {"absolute", LVK_ACTION_JUMP_TO, 100, 20, false, 101, 20},
      {"relative", LVK_ACTION_JUMP_TO, -5, 3, true, 32 + 4 - 5 + 1, 24 + 3},
      {"absolute, off the screen", LVK_ACTION_JUMP_TO, -40, 500, false, -39, 500},
      {"far beyond: kept where positions stay", LVK_ACTION_JUMP_TO, INT32_MAX, INT32_MIN, false, 16000, -16000},
      {"to the start", LVK_ACTION_JUMP_TO_START, 0, 0, false, 33, 24},
      {"into a wall", LVK_ACTION_JUMP_TO, 80, 24, false, 81, 24},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TTestGame G;
    int Hero = G.Mover(0, 16, 0, 1, 0), Wall = G.Actor(1);
    // The jump comes in the input phase, before the frame's move.
    G.On(Hero, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS).Act(C.Kind, 0, C.X, C.Y, 0, C.Relative);
    G.On(Hero, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Wall);
    int L = G.Level();
    G.Place(L, Hero, 4, 3);
    G.Place(L, Wall, 10, 3);
    TPlay P(G);
    P.Steps(4);  // at 36
    P.Step(LVK_KEY_A);
    EXPECT_EQ(P.At(0).x / Px, C.PixelX);
    EXPECT_EQ(P.At(0).y / Px, C.PixelY);
    EXPECT_EQ((std::vector<int>{P.At(0).sx, P.At(0).dx}), (std::vector<int>{16, 1}));
  }
  // A jump in a collision handler counts from the next frame on: the other
  // handlers of the contact still fire, and no repel takes it back. A
  // spawned instance starts where it was spawned.
  TTestGame G;
  int Hero = G.Mover(0, 16, 0, 1, 0), Ghost = G.Actor(1), Gun = G.Actor(3);
  int Lives = G.Variable(3), Caught = G.Variable(0), Met = G.Variable(0);
  G.On(Hero, LVK_EVENT_COLLISION, 0, 0, Ghost)
      .Act(LVK_ACTION_SET_VARIABLE, Lives, -1, {}, 0, true)
      .Act(LVK_ACTION_JUMP_TO_START, 0);
  G.On(Hero, LVK_EVENT_COLLISION, 0, 0, Ghost).Act(LVK_ACTION_SET_VARIABLE, Caught, 1, {}, 0, true);
  G.On(Hero, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Ghost);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_B, LVK_HANDLER_PRESS).Act(LVK_ACTION_JUMP_TO_START, 0);
  G.On(Ghost, LVK_EVENT_COLLISION, 0, 0, Hero).Act(LVK_ACTION_SET_VARIABLE, Met, 1, {}, 0, true);
  G.On(Gun, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS).Act(LVK_ACTION_SPAWN, Hero, 0, 40);
  int L = G.Level();
  G.Place(L, Hero, 2, 2);
  G.Place(L, Ghost, 5, 2);
  G.Place(L, Gun, 2, 7);
  TPlay P(G);
  P.Steps(16);  // x 32: touching, no overlap yet
  EXPECT_EQ((std::vector<int>{P.Var(Lives), P.Var(Caught), P.Var(Met)}), (std::vector<int>{3, 0, 0}));
  P.Step();  // x 33: met; back to 16
  EXPECT_EQ((std::vector<int>{P.Var(Lives), P.Var(Caught), P.Var(Met)}), (std::vector<int>{2, 1, 1}));
  EXPECT_EQ(P.At(0).x, 16 * Px);
  P.Steps(17);  // and again
  EXPECT_EQ((std::vector<int>{P.Var(Lives), P.Var(Caught), P.Var(Met)}), (std::vector<int>{1, 2, 2}));
  P.Step(LVK_KEY_A);  // a hero at (16, 96)
  ASSERT_EQ(lvk_engine_instance_count(&P.E), 4);
  P.Steps(10);
  P.Step(LVK_KEY_B);
  EXPECT_EQ((std::vector<int>{P.At(0).x / Px, P.At(0).y / Px, P.At(3).x / Px, P.At(3).y / Px}),
            (std::vector<int>{17, 16, 17, 96}));
}

// ClearText empties a row, or all the game's rows, and gives them back to
// the host; a cleared row follows its variables no more.
TEST(Engine, ClearTextGivesRowsBackToTheHost) {
  const struct {
    const char* Name;
    std::int32_t Row;
    bool All;
    std::uint32_t Left;  // the game's rows after it
  } Cases[] = {
      {"one row", 3, false, 1u | 1u << 5},        {"all rows", 3, true, 0},
      {"all, whatever the row", 99, true, 0},     {"a row the game never printed", 7, false, 1u | 1u << 3 | 1u << 5},
      {"a row below the screen", 24, false, 1u | 1u << 3 | 1u << 5},
      {"a row above it", -1, false, 1u | 1u << 3 | 1u << 5},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TTestGame G;
    int Score = G.Variable(0), Hud = G.Actor();
    int A = G.Text("a"), B = G.Text("b {0}"), Cc = G.Text("c");
    G.On(Hud, LVK_EVENT_CREATE)
        .Act(LVK_ACTION_SHOW_TEXT, A, 0)
        .Act(LVK_ACTION_SHOW_TEXT, B, 3)
        .Act(LVK_ACTION_SHOW_TEXT, Cc, 5);
    G.On(Hud, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS).Act(LVK_ACTION_CLEAR_TEXT, 0, C.Row, C.All ? 1 : 0);
    G.On(Hud, LVK_EVENT_KEY, LVK_KEY_B, LVK_HANDLER_PRESS).Act(LVK_ACTION_SET_VARIABLE, Score, 5);
    G.Place(G.Level(), Hud, 0, 0);
    TPlay P(G);
    lvk_host_screen_t Screen;
    lvk_host_screen_init(&Screen);
    int Repaint = 0;
    lvk_host_rows_to_print(&Screen, &P.E, &Repaint);
    P.Step(LVK_KEY_A);
    EXPECT_EQ(lvk_engine_text_rows(&P.E), C.Left);
    lvk_host_rows_to_print(&Screen, &P.E, &Repaint);
    EXPECT_EQ(Repaint, C.Left != (1u | 1u << 3 | 1u << 5)) << "the host prints its start text again";
    P.Step(LVK_KEY_B);
    for (int Row : {0, 3, 5})
      EXPECT_EQ(P.Row(Row), !(C.Left >> Row & 1) ? "" : Row == 0 ? "a" : Row == 3 ? "b 5" : "c") << Row;
  }
}

// ---- Rules no other test guards ----

TEST(Engine, MoveTowardPicksTheNearestOtherAndNeverOvershoots) {
  struct TCell {
    int Column, Row;
  };
  // The slot of the instance placed in Cell (slots follow the cells' order).
  auto SlotAt = [](const TPlay& P, TCell Cell) {
    for (int Slot = 0; Slot < lvk_engine_instance_count(&P.E); ++Slot)
      if (P.At(Slot).x == Cell.Column * 8 * Px && P.At(Slot).y == Cell.Row * 8 * Px) return Slot;
    return -1;
  };
  const struct {
    const char* Name;
    std::vector<TCell> Cats;
    TCell Chaser;
    bool ChaseOwnActor;       // the chaser is a cat too
    int Doomed;               // a cat (in Cats) asked to be destroyed, or -1
    int Speed;
    std::vector<int> Motion;  // dx, dy, sx, sy after the step
  } Cases[] = {
      {"the nearest of two", {{2, 10}, {14, 12}}, {10, 10}, false, -1, 64, {1, 1, 64, 64}},
      {"a tie goes to the earlier slot", {{10, 6}, {14, 10}}, {10, 10}, false, -1, 64, {0, -1, 0, 64}},
      {"a tie the other way round", {{6, 10}, {10, 14}}, {10, 10}, false, -1, 64, {-1, 0, 64, 0}},
      {"never itself", {{20, 10}}, {10, 10}, true, -1, 64, {1, 0, 64, 0}},
      {"alone, nothing changes", {}, {10, 10}, true, -1, 64, {0, 0, 0, 0}},
      {"not one being destroyed", {{11, 10}, {2, 10}}, {10, 10}, false, 0, 64, {-1, 0, 64, 0}},
      {"less speed where the target is nearer", {{11, 20}}, {10, 10}, false, -1, 255, {1, 1, 128, 255}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TTestGame G;
    int Cat = G.Actor(1), Dog = C.ChaseOwnActor ? Cat : G.Actor(2);
    G.On(Cat, LVK_EVENT_CREATE);
    G.On(Dog, LVK_EVENT_KEY_HELD, LVK_KEY_A).Act(LVK_ACTION_MOVE_TOWARD, Cat, C.Speed);
    int L = G.Level();
    for (const TCell& Cell : C.Cats) G.Place(L, Cat, Cell.Column, Cell.Row);
    G.Place(L, Dog, C.Chaser.Column, C.Chaser.Row);
    TPlay P(G);
    const int Slot = SlotAt(P, C.Chaser);
    if (C.Doomed >= 0) P.E.instances[SlotAt(P, C.Cats[C.Doomed])].doomed = 1;
    P.Step(LVK_KEY_A);
    const lvk_instance_t& D = P.At(Slot);
    EXPECT_EQ((std::vector<int>{D.dx, D.dy, D.sx, D.sy}), C.Motion);
  }
  // Chasing at full speed it lands on its target and stays there.
  TTestGame G;
  int Cat = G.Actor(1), Dog = G.Actor(2);
  G.On(Cat, LVK_EVENT_CREATE);
  G.On(Dog, LVK_EVENT_TIMER, 0, LVK_HANDLER_REPEAT, 0, 1).Act(LVK_ACTION_MOVE_TOWARD, Cat, 255);
  int L = G.Level();
  G.Place(L, Dog, 10, 10);  // slot 0
  G.Place(L, Cat, 13, 11);
  TPlay P(G);
  for (int i = 0; i < 6; ++i) {
    P.Step();
    EXPECT_LE(P.At(0).x, P.At(1).x);
    EXPECT_LE(P.At(0).y, P.At(1).y);
  }
  EXPECT_EQ((std::vector<int>{P.At(0).x, P.At(0).y}), (std::vector<int>{P.At(1).x, P.At(1).y}));
}

TEST(Engine, IfKeyHeldNeedsEveryKeyOfItsSet) {
  const struct {
    std::uint16_t Set, Held;
    bool Holds;
  } Cases[] = {
      {LVK_KEY_A | LVK_KEY_B, LVK_KEY_A, false},
      {LVK_KEY_A | LVK_KEY_B, LVK_KEY_B, false},
      {LVK_KEY_A | LVK_KEY_B, LVK_KEY_A | LVK_KEY_B, true},
      {LVK_KEY_A | LVK_KEY_B, LVK_KEY_A | LVK_KEY_B | LVK_KEY_X, true},
      {LVK_KEY_UP | LVK_KEY_L | LVK_KEY_TOUCH, LVK_KEY_UP | LVK_KEY_L, false},
      {LVK_KEY_UP | LVK_KEY_L | LVK_KEY_TOUCH, LVK_KEY_UP | LVK_KEY_L | LVK_KEY_TOUCH, true},
      {0, 0xFFFF, false},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.Set << " held " << C.Held);
    TTestGame G;
    int Done = G.Variable(0), Judge = G.Actor();
    G.On(Judge, LVK_EVENT_TIMER, 0, LVK_HANDLER_REPEAT, 0, 1)
        .Act(LVK_ACTION_IF_KEY_HELD, C.Set)
        .Act(LVK_ACTION_SET_VARIABLE, Done, 1);
    G.Place(G.Level(), Judge, 0, 0);
    TPlay P(G);
    P.Step(C.Held);
    EXPECT_EQ(P.Var(Done), C.Holds ? 1 : 0);
  }
}

// A spawn starts where the spawner was when it asked: before the frame's
// move when asked in the input phase, after it (and after repel) when asked
// in the collision phase.
TEST(Engine, ASpawnStartsWhereTheSpawnerWasWhenItAsked) {
  const struct {
    const char* Name;
    std::uint8_t Event;
    std::uint8_t Flags;
    int X;  // the shot's pixel x (the gun moves 2 pixels a frame from 16)
  } Cases[] = {
      {"asked on a key: before the move", LVK_EVENT_KEY, LVK_HANDLER_PRESS, 16 + 2 * 4},
      {"asked on a timer: before the move", LVK_EVENT_TIMER, 0, 16 + 2 * 4},
      {"asked on a contact: after the move", LVK_EVENT_COLLISION, 0, 16 + 2 * 5},
      {"asked on a repelled contact: where repel left it", LVK_EVENT_COLLISION, LVK_HANDLER_REPEL, 16 + 2 * 4 + 1},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TTestGame G;
    int Gun = G.Mover(0, 32, 0, 1, 0), Post = G.Actor(1), Shot = G.Actor(2);
    // The post's box starts at 33: the gun's reaches it on its fifth frame.
    G.On(Gun, C.Event, LVK_KEY_A, C.Flags, Post, 5).Act(LVK_ACTION_SPAWN, Shot, 0, 10);
    G.On(Post, LVK_EVENT_CREATE).Act(LVK_ACTION_JUMP_TO, 0, 33, 16);
    int L = G.Level();
    G.Place(L, Gun, 2, 2);
    G.Place(L, Post, 6, 2);
    TPlay P(G);
    P.Steps(4);
    P.Step(LVK_KEY_A);
    ASSERT_EQ(lvk_engine_instance_count(&P.E), 3);
    EXPECT_EQ(P.At(2).x / Px, C.X);
    EXPECT_EQ(P.At(2).y / Px, 26);
  }
}

// Cell look-ups go by the level's size: row r of the scenery table starts at
// r * 32 whatever the width, and cells beyond the width or height hold
// nothing.
TEST(Engine, CellLookUpsKnowTheLevelsSize) {
  const struct {
    const char* Name;
    int Width, Height;
    int WallColumn, WallRow;
    bool Down;     // the hero walks down from (3, 2), else right
    int Stopped;   // where the hero's box stops on its axis, or -1: it walks on
  } Cases[] = {
      {"a wall below in a narrow level", 10, 0, 3, 6, true, 40},
      {"a wall at the narrow level's last column", 10, 0, 9, 2, false, 64},
      {"beyond the width", 10, 0, 12, 2, false, -1},
      {"the whole width", 0, 0, 12, 2, false, 88},
      {"beyond the height", 0, 5, 3, 6, true, -1},
      {"a wall in a low level's last row", 0, 7, 3, 6, true, 40},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TTestGame G;
    int Hero = G.Mover(0, 16, 16, C.Down ? 0 : 1, C.Down ? 1 : 0), Wall = G.Actor(1);
    G.On(Hero, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Wall);
    int L = G.Level();
    G.Place(L, Hero, 3, 2);
    G.Place(L, Wall, C.WallColumn, C.WallRow);
    G.LevelEntry(L).width = static_cast<std::uint8_t>(C.Width);
    G.LevelEntry(L).height = static_cast<std::uint8_t>(C.Height);
    TPlay P(G);
    P.Steps(100);
    const int Where = (C.Down ? P.At(0).y : P.At(0).x) / Px;
    EXPECT_EQ(Where, C.Stopped >= 0 ? C.Stopped : (C.Down ? 16 : 24) + 100);
  }
}

// The engine keeps where each scenery actor's cells lie in the level and
// looks at no cell of it far from there: a 16x16 hero walking right meets
// the wall cells on its rows, and none between or beside them, whatever the
// wall's number and for a solid wall named as any solid actor too.
TEST(Engine, SceneryContactsAreFoundWhereverTheCellsOfTheActorLie) {
  const struct {
    int HeroRow;
    int Contacts;
  } Rows[] = {{2, 1}, {7, 1}, {5, 0}, {12, 0}, {1, 1}};
  for (const int Padding : {0, LVK_RECT_ACTORS + 6})
    for (const bool AnySolid : {false, true})
      for (const auto& R : Rows) {
        SCOPED_TRACE(testing::Message() << "padding " << Padding << ", any solid " << AnySolid << ", row " << R.HeroRow);
        TTestGame G;
        const int Hero = G.Mover(0, 16, 16, 1, 0);
        G.Size(Hero, 16, 16);
        for (int k = 0; k < Padding; ++k) G.Actor();
        const int Wall = G.Actor(1, LVK_ACTOR_SOLID);
        G.On(Hero, LVK_EVENT_COLLISION, 0, 0, AnySolid ? LVK_ANY_SOLID : Wall);
        const int L = G.Level(64, 24);
        G.Place(L, Hero, 1, R.HeroRow);
        G.Place(L, Wall, 20, 2);
        G.Place(L, Wall, 40, 8);
        TPlay P(G);
        P.Steps(400);
        ASSERT_GT(P.At(0).x / Px, 48 * 8) << "past both walls";
        int Contacts = 0;
        for (const auto& [Slot, Event] : P.Take()) Contacts += Slot == 0 && Event == LVK_EVENT_COLLISION;
        EXPECT_EQ(Contacts, R.Contacts);
      }
}

// A frame starts at most LVK_MAX_FRAME_SOUNDS sounds: the first ones asked
// for, in order, over all handlers and instances of the frame.
TEST(Engine, AFrameStartsAtMostItsCapOfSoundsTheFirstAsked) {
  const struct {
    int Asked, Instances;
    bool AtLevelStart;
  } Cases[] = {{0, 1, false}, {1, 1, false}, {7, 1, false}, {8, 1, false}, {9, 1, false},
               {20, 1, false}, {5, 2, false}, {3, 4, true}, {12, 1, true}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.Asked << " by " << C.Instances << (C.AtLevelStart ? " at the start" : ""));
    TTestGame G;
    G.Sounds = 100;
    int Band = G.Actor();
    if (C.AtLevelStart)
      G.On(Band, LVK_EVENT_CREATE);
    else
      G.On(Band, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS);
    for (int i = 0; i < C.Asked; ++i) G.Act(LVK_ACTION_PLAY_SOUND, i);
    int L = G.Level();
    for (int i = 0; i < C.Instances; ++i) G.Place(L, Band, i, 0);
    TPlay P(G);
    if (!C.AtLevelStart) P.Step(LVK_KEY_A);
    std::vector<int> Expected;
    for (int i = 0; i < C.Instances; ++i)
      for (int s = 0; s < C.Asked; ++s) Expected.push_back(s);
    Expected.resize(std::min<std::size_t>(Expected.size(), LVK_MAX_FRAME_SOUNDS));
    const std::uint16_t* Sounds = nullptr;
    const int Count = lvk_engine_sounds(&P.E, &Sounds);
    EXPECT_EQ(std::vector<int>(Sounds, Sounds + Count), Expected);
    P.Step();
    EXPECT_EQ(lvk_engine_sounds(&P.E, &Sounds), 0) << "the next frame starts none";
  }
}

// A row showing an instance variable keeps what it shows when its owner
// goes, and follows nothing after: not a new instance in the owner's slot,
// not the slot's instance in the next level.
TEST(Engine, ARowForgetsItsOwnerWhenTheOwnerGoes) {
  const struct {
    const char* Name;
    std::uint16_t Keys;  // what makes the owner go
  } Cases[] = {{"destroyed, its slot taken by a spawn", LVK_KEY_A}, {"its level left", LVK_KEY_B}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TTestGame G;
    int Hp = G.Variable(7, LVK_SCOPE_INSTANCE), Line = G.Text("hp {0}"), Ghost = G.Actor(), Spawner = G.Actor();
    G.On(Ghost, LVK_EVENT_CREATE).Act(LVK_ACTION_SHOW_TEXT, Line, 2);
    G.On(Ghost, LVK_EVENT_KEY, LVK_KEY_X, LVK_HANDLER_PRESS).Act(LVK_ACTION_SET_VARIABLE, Hp, 1, {}, 0, true);
    G.On(Ghost, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS).Do(LVK_ACTION_DESTROY);
    G.On(Spawner, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS).Act(LVK_ACTION_SPAWN, Spawner);
    G.On(Spawner, LVK_EVENT_KEY, LVK_KEY_B, LVK_HANDLER_PRESS).Do(LVK_ACTION_NEXT_LEVEL);
    G.On(Spawner, LVK_EVENT_KEY, LVK_KEY_X, LVK_HANDLER_PRESS).Act(LVK_ACTION_SET_VARIABLE, Hp, 100, {}, 0, true);
    int L1 = G.Level(), L2 = G.Level();
    G.Place(L1, Ghost, 0, 0);
    G.Place(L1, Spawner, 1, 0);
    G.Place(L2, Spawner, 0, 0);  // slot 0 in the second level
    TPlay P(G);
    P.Step(LVK_KEY_X);
    EXPECT_EQ(P.Row(2), "hp 8");
    P.Step(C.Keys);
    ASSERT_EQ(P.At(0).actor, Spawner) << "slot 0 holds another instance now";
    P.Steps(2, LVK_KEY_X);
    P.Step();
    P.Step(LVK_KEY_X);
    EXPECT_EQ(P.Row(2), "hp 8");
  }
}

namespace {
std::pair<int, int> Camera(const TPlay& P) {
  std::int32_t X = -1, Y = -1;
  lvk_engine_camera(&P.E, &X, &Y);
  return {X, Y};
}
}  // namespace

TEST(EngineWorld, TheCameraStartsOnTheFollowedActorAndStaysInsideTheLevel) {
  // A 128x48 level (1024x384 pixels); the hero's first cell, the dead zone
  // and the locks decide where the camera starts.
  struct TCase {
    int Column, Row;
    std::uint8_t Locks;
    std::pair<int, int> Start;
  };
  const TCase Cases[] = {
      {64, 24, 0, {388, 100}},                 // the hero's box in the screen's middle
      {0, 0, 0, {0, 0}},                       // kept inside the top-left corner
      {127, 46, 0, {768, 192}},                // and the bottom-right one
      {64, 24, LVK_CAMERA_LOCK_Y, {388, 0}},   // a locked axis stays at the edge
      {64, 24, LVK_CAMERA_LOCK_X | LVK_CAMERA_LOCK_Y, {0, 0}},
  };
  for (const TCase& C : Cases) {
    TTestGame G;
    int Hero = G.Actor();
    G.On(Hero, LVK_EVENT_CREATE);
    int L = G.Level(128, 48);
    G.Place(L, Hero, C.Column, C.Row);
    G.Place(L, Hero, 120, 47);  // a later instance is not followed
    G.LevelEntry(L).follow = static_cast<std::uint16_t>(Hero + 1);
    G.LevelEntry(L).camera_flags = C.Locks;
    TPlay P(G);
    EXPECT_EQ(Camera(P), C.Start) << C.Column << "," << C.Row;
  }
  // Nothing followed: the top-left corner, also after steps.
  TTestGame G;
  int Hero = G.Mover(0, 16, 0, 1, 0);
  G.Place(G.Level(64, 24), Hero, 20, 10);
  TPlay P(G);
  P.Steps(30);
  EXPECT_EQ(Camera(P), std::make_pair(0, 0));
}

TEST(EngineWorld, FollowingScrollsOnlyOutsideTheDeadZone) {
  // The hero walks right at 2 pixels a frame on a 64x24 level (512 pixels).
  struct TCase {
    int DeadWidth;
    int Frames;
    int CameraX;
  };
  const TCase Cases[] = {
      {0, 10, 16},     // no dead zone: the camera keeps the hero in the middle
      {64, 10, 0},     // the hero moved 20 pixels inside a 32-pixel half zone
      {64, 30, 24},    // 60 pixels: the zone's right edge drags the camera
      {0, 400, 256},   // the level's right edge stops it
  };
  for (const TCase& C : Cases) {
    TTestGame G;
    int Hero = G.Mover(0, 32, 0, 1, 0);
    int L = G.Level(64, 24);
    G.Place(L, Hero, 15, 11);  // box middle at x 124: the camera starts at 0
    G.LevelEntry(L).follow = static_cast<std::uint16_t>(Hero + 1);
    G.LevelEntry(L).dead_width = static_cast<std::uint16_t>(C.DeadWidth);
    TPlay P(G);
    P.Steps(C.Frames);
    EXPECT_EQ(Camera(P).first, C.CameraX) << C.DeadWidth << " " << C.Frames;
    EXPECT_EQ(Camera(P).second, 0);  // a level one screen high never scrolls down
    lvk_sprite_t S{};
    ASSERT_TRUE(lvk_engine_sprite(&P.E, 0, &S));
    EXPECT_EQ(S.screen_x, S.x - C.CameraX);
  }
}

TEST(EngineWorld, EachLockHoldsItsOwnAxisWhileFollowing) {
  // The hero walks down and right at 2 pixels a frame on a 96x96 level,
  // from the middle of the top-left screen; 60 frames later it is 120
  // pixels further both ways.
  struct TCase {
    std::uint8_t Locks;
    std::pair<int, int> Camera;
  };
  const TCase Cases[] = {
      {0, {116, 116}},  // the box's middle, at (244, 212), in the screen's
      {LVK_CAMERA_LOCK_X, {0, 116}},
      {LVK_CAMERA_LOCK_Y, {116, 0}},
      {LVK_CAMERA_LOCK_X | LVK_CAMERA_LOCK_Y, {0, 0}},
  };
  for (const TCase& C : Cases) {
    TTestGame G;
    int Hero = G.Mover(0, 32, 32, 1, 1);
    int L = G.Level(96, 96);
    G.Place(L, Hero, 15, 11);  // box middle at (124, 92): the camera starts at 0, 0
    G.LevelEntry(L).follow = static_cast<std::uint16_t>(Hero + 1);
    G.LevelEntry(L).camera_flags = C.Locks;
    TPlay P(G);
    P.Steps(60);
    EXPECT_EQ(Camera(P), C.Camera) << int(C.Locks);
  }
}

// A level's OnCreate handlers act on the level's camera, set up before
// they run: nothing they ask for is lost to it.
TEST(EngineWorld, CameraActionsInALevelsOnCreateHold) {
  struct TCase {
    const char* What;
    std::uint8_t Kind;
    bool OfOther;  // the handler names the other actor
    TN N1, N2;
    std::uint8_t Op;
    bool LevelFollowsHero;
    std::pair<int, int> Start;  // the camera shown at the level's start
    bool Shaking;
  };
  const TCase Cases[] = {
      {"MoveCamera at once", LVK_ACTION_MOVE_CAMERA, false, 300, 200, 0, false, {300, 200}, false},
      {"MoveCamera, the level following", LVK_ACTION_MOVE_CAMERA, false, 300, 200, 0, true, {300, 200}, false},
      {"MoveCamera kept inside", LVK_ACTION_MOVE_CAMERA, false, 9000, 9000, 0, false, {768 - 256, 768 - 192}, false},
      {"CameraFollow wins over the level's", LVK_ACTION_CAMERA_FOLLOW, true, 0, 0, 0, true, {400 + 4 - 128, 480 + 4 - 96}, false},
      {"ShakeCamera", LVK_ACTION_SHAKE_CAMERA, false, 30, 8, 0, false, {0, 0}, true},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.What);
    TTestGame G;
    int Hero = G.Actor(), Other = G.Actor();
    G.On(Other, LVK_EVENT_CREATE);
    G.On(Hero, LVK_EVENT_CREATE).Act(C.Kind, C.OfOther ? Other : 0, C.N1, C.N2, C.Op);
    int L = G.Level(96, 96);
    G.Place(L, Hero, 1, 1);
    G.Place(L, Other, 50, 60);
    if (C.LevelFollowsHero) G.LevelEntry(L).follow = static_cast<std::uint16_t>(Hero + 1);
    TPlay P(G);
    EXPECT_EQ(std::make_pair(int(P.E.camera_x), int(P.E.camera_y)), C.Start);
    EXPECT_EQ(Camera(P) != C.Start, C.Shaking);
    P.Steps(5);
    EXPECT_EQ(std::make_pair(int(P.E.camera_x), int(P.E.camera_y)), C.Start) << "and it stays";
    EXPECT_EQ(Camera(P) != C.Start, C.Shaking);
  }
}

// The pen touches the picture as it was shown, shake included.
TEST(EngineWorld, ThePenTouchesWhatTheShakenPictureShows) {
  TTestGame G;
  int Hero = G.Actor();
  G.On(Hero, LVK_EVENT_CREATE).Act(LVK_ACTION_SHAKE_CAMERA, 0, 100, 8);
  G.On(Hero, LVK_EVENT_TOUCH, LVK_AREA_H);
  G.Place(G.Level(64, 64), Hero, 12, 12);  // box 96..103 both ways, the camera at 0, 0
  TPlay P(G);
  int Hits = 0, Shaken = 0;
  for (int i = 0; i < 8; ++i) {
    P.Step();
    lvk_sprite_t S{};
    ASSERT_TRUE(lvk_engine_sprite(&P.E, 0, &S));
    Shaken += S.screen_x != S.x || S.screen_y != S.y;
    P.Take();
    P.Step(LVK_KEY_TOUCH, S.screen_x + 1, S.screen_y + 6);
    Hits += !P.Take().empty();
  }
  EXPECT_EQ(Shaken, 8);
  EXPECT_EQ(Hits, 8);
}

TEST(EngineWorld, RulesWorkInWorldPixels) {
  // A 64x64 level: the pen, OnOutside and scenery collisions far from the
  // top-left screen.
  TTestGame G;
  int Wall = G.Actor();
  int Hero = G.Mover(0, 16, 0, 1, 0);
  G.On(Hero, LVK_EVENT_TOUCH, LVK_AREA_H).Do(LVK_ACTION_SET_SPEED_SIZE, 0, 0);
  G.On(Hero, LVK_EVENT_COLLISION, 0, 0, Wall);
  G.On(Hero, LVK_EVENT_OUTSIDE, LVK_AREA_E);
  int L = G.Level(64, 64);
  G.Place(L, Hero, 40, 50);
  G.Place(L, Wall, 42, 50);
  G.LevelEntry(L).follow = static_cast<std::uint16_t>(Hero + 1);
  TPlay P(G);
  const auto Start = Camera(P);
  EXPECT_EQ(Start, std::make_pair(320 + 4 - 128, 400 + 4 - 96));
  P.Take();
  P.Steps(9);  // one pixel a frame: the box touches the wall at x 336
  EXPECT_EQ(P.Take(), (TFired{{0, LVK_EVENT_COLLISION}}));
  // The pen on the hero's screen point: its world point is the hero.
  lvk_sprite_t S{};
  ASSERT_TRUE(lvk_engine_sprite(&P.E, 0, &S));
  EXPECT_TRUE(S.visible);
  P.Step(LVK_KEY_TOUCH, S.screen_x + 2, S.screen_y + 2);
  EXPECT_EQ(P.Take(), (TFired{{0, LVK_EVENT_TOUCH}}));
  EXPECT_EQ(P.At(0).sx, 0);

  // OnOutside at the level's edge, not the screen's.
  TTestGame W;
  int Runner = W.Mover(0, 128, 0, 1, 0);  // 8 pixels a frame
  W.On(Runner, LVK_EVENT_OUTSIDE, LVK_AREA_E);
  W.Place(W.Level(64, 24), Runner, 30, 5);
  TPlay Q(W);
  Q.Take();
  Q.Steps(3);  // past the screen's edge at 256
  EXPECT_TRUE(Q.Take().empty());
  Q.Steps(31);  // past the level's at 512
  EXPECT_EQ(Q.Take(), (TFired{{0, LVK_EVENT_OUTSIDE}}));
  lvk_sprite_t Off{};
  ASSERT_TRUE(lvk_engine_sprite(&Q.E, 0, &Off));
  EXPECT_FALSE(Off.visible);  // the camera follows nothing: far off the screen
}

TEST(EngineWorld, CameraActions) {
  TTestGame G;
  int Hero = G.Actor();
  int Other = G.Actor();
  G.On(Other, LVK_EVENT_CREATE);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS).Act(LVK_ACTION_MOVE_CAMERA, 0, 200, 500, 50);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_B, LVK_HANDLER_PRESS).Act(LVK_ACTION_CAMERA_FOLLOW, Other);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_X, LVK_HANDLER_PRESS).Act(LVK_ACTION_SHAKE_CAMERA, 0, 3, 99);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_Y, LVK_HANDLER_PRESS).Act(LVK_ACTION_MOVE_CAMERA, 0, 0, 0, 0);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_R, LVK_HANDLER_PRESS).Act(LVK_ACTION_MOVE_CAMERA, 0, 200, 500, Of(G.Variable(40)));
  int L = G.Level(96, 96);
  G.Place(L, Hero, 0, 0);
  G.Place(L, Other, 90, 90);
  TPlay P(G);
  EXPECT_EQ(Camera(P), std::make_pair(0, 0));
  P.Step(LVK_KEY_A);  // glides at 50 pixels a frame towards (200, 500)
  EXPECT_EQ(Camera(P), std::make_pair(50, 50));
  P.Steps(3);
  EXPECT_EQ(Camera(P), std::make_pair(200, 200));
  P.Steps(10);
  EXPECT_EQ(Camera(P), std::make_pair(200, 500));
  P.Step(LVK_KEY_Y);  // speed 0: at once
  EXPECT_EQ(Camera(P), std::make_pair(0, 0));
  P.Step(LVK_KEY_R);  // the speed a variable's value
  EXPECT_EQ(Camera(P), std::make_pair(40, 40));
  P.Step(LVK_KEY_B);  // follows the other actor, jumping to it
  EXPECT_EQ(Camera(P), std::make_pair(768 - 256, 768 - 192));  // kept inside the level
  P.Step(LVK_KEY_X);  // shakes by at most 16 pixels for 3 frames, then rests
  const auto Rest = std::make_pair(768 - 256, 768 - 192);
  int Shaken = 0;
  for (int i = 0; i < 4; ++i) {
    const auto At = Camera(P);
    EXPECT_LE(std::abs(At.first - Rest.first), LVK_MAX_SHAKE);
    EXPECT_LE(std::abs(At.second - Rest.second), LVK_MAX_SHAKE);
    Shaken += At != Rest;
    P.Step();
  }
  EXPECT_EQ(Shaken, 3);
  EXPECT_EQ(Camera(P), Rest);
  EXPECT_EQ(P.E.camera_x, Rest.first);  // the shake never moved the camera itself
}

TEST(EngineWorld, LargeLevelTablesAreChecked) {
  TTestGame G;
  int Hero = G.Actor();
  G.On(Hero, LVK_EVENT_CREATE);
  int L = G.Level(256, 256);
  G.Place(L, Hero, 255, 255);
  G.LevelEntry(L).follow = static_cast<std::uint16_t>(Hero + 1);
  const lvk_game_t Good = G.Build();
  ASSERT_EQ(lvk_game_check(&Good), 1);
  std::vector<lvk_level_t> Levels(Good.levels, Good.levels + Good.level_count);
  const std::function<void(lvk_game_t&, lvk_level_t&)> Breaks[] = {
      [](lvk_game_t& G, lvk_level_t&) { G.scenery_count -= 1; },    // fewer scenery entries than cells
      [](lvk_game_t& G, lvk_level_t&) { G.scenery_count = 0; },     // a larger level needs the count
      [](lvk_game_t&, lvk_level_t& L) { L.width = 257; },
      [](lvk_game_t&, lvk_level_t& L) { L.follow = 2; },            // no actor 1
      [](lvk_game_t&, lvk_level_t& L) { L.dead_height = 193; },
  };
  for (const auto& Break : Breaks) {
    lvk_game_t Bad = Good;
    std::vector<lvk_level_t> BadLevels = Levels;
    Bad.levels = BadLevels.data();
    Break(Bad, BadLevels[0]);
    EXPECT_EQ(lvk_game_check(&Bad), 0) << &Break - Breaks;
  }
  TPlay P(G);
  EXPECT_EQ(P.At(0).x, 255 * 8 * Px);  // 32,640 sixteenths
  EXPECT_EQ(Camera(P), std::make_pair(2048 - 256, 2048 - 192));
}

// ---- Sprites: sizes, animations, mirroring ----

TEST(Engine, AnimationsStepThroughTheirFramesByModeAndLength) {
  struct TCase {
    std::uint8_t Mode;
    int Frames, Length;
    const char* Steps;  // the frame drawn after each of the first 12 frames
    int EndsAt;         // the frame OnAnimationEnd fires in, 0: never
  };
  const TCase Cases[] = {
      {LVK_ANIMATION_LOOP, 3, 2, "011220011220", 0},
      {LVK_ANIMATION_LOOP, 3, 1, "120120120120", 0},
      {LVK_ANIMATION_LOOP, 1, 1, "000000000000", 0},
      {LVK_ANIMATION_ONCE, 3, 2, "011222222222", 6},
      {LVK_ANIMATION_ONCE, 1, 3, "000000000000", 3},
      {LVK_ANIMATION_BACK_AND_FORTH, 3, 1, "121012101210", 0},
      {LVK_ANIMATION_BACK_AND_FORTH, 2, 3, "001110001110", 0},
      {LVK_ANIMATION_LOOP, 3, 0, "000000000000", 0},  // never advances
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Steps);
    TTestGame G;
    int Hero = G.Actor();
    G.Animation(Hero, C.Frames, C.Length, C.Mode);
    G.On(Hero, LVK_EVENT_ANIMATION_END);
    G.Place(G.Level(), Hero, 1, 1);
    TPlay P(G);
    lvk_sprite_t S{};
    ASSERT_TRUE(lvk_engine_sprite(&P.E, 0, &S));
    EXPECT_EQ(S.frame, 0);  // the first frame from the start
    std::string Steps;
    int EndsAt = 0;
    for (int f = 1; f <= 12; ++f) {
      P.Step();
      lvk_engine_sprite(&P.E, 0, &S);
      Steps += static_cast<char>('0' + S.frame);
      for (auto [Slot, Event] : P.Take())
        if (Event == LVK_EVENT_ANIMATION_END) {
          EXPECT_EQ(std::exchange(EndsAt, f), 0) << "fired twice";
        }
    }
    EXPECT_EQ(Steps, C.Steps);
    EXPECT_EQ(EndsAt, C.EndsAt);
  }
}

TEST(Engine, SetAnimationRestartsOrKeepsAndSetTileStopsIt) {
  TTestGame G;
  int Hero = G.Actor(3), Plain = G.Actor(4);
  G.Animation(Hero, 4, 1, LVK_ANIMATION_LOOP);              // frames 0..3
  const int Hit = G.Animation(Hero, 2, 4, LVK_ANIMATION_ONCE);  // frames 4, 5
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS).Act(LVK_ACTION_SET_ANIMATION, Hit, 0);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_B, LVK_HANDLER_PRESS).Act(LVK_ACTION_SET_ANIMATION, Hit, 1);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_X, LVK_HANDLER_PRESS).Act(LVK_ACTION_SET_TILE, 6);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_Y, LVK_HANDLER_PRESS).Act(LVK_ACTION_SET_ANIMATION, LVK_NONE, 1);  // none
  G.On(Hero, LVK_EVENT_ANIMATION_END).Act(LVK_ACTION_SET_ANIMATION, 0, 0);
  G.On(Plain, LVK_EVENT_CREATE).Act(LVK_ACTION_SET_ANIMATION, LVK_NONE, 1);  // an actor without animations
  int L = G.Level();
  G.Place(L, Hero, 1, 1);
  G.Place(L, Plain, 3, 1);
  TPlay P(G);
  auto Frame = [&](int Slot = 0) {
    lvk_sprite_t S{};
    lvk_engine_sprite(&P.E, Slot, &S);
    return S.frame == LVK_NONE ? -static_cast<int>(S.tile) : S.frame;
  };
  EXPECT_EQ(Frame(1), -4);  // drawn with its tile, as without animations
  P.Steps(2);
  EXPECT_EQ(Frame(), 2);
  P.Step(LVK_KEY_A);  // starts Hit
  EXPECT_EQ(Frame(), 4);
  P.Steps(2);
  P.Step(LVK_KEY_A);  // already running: goes on
  P.Step(LVK_KEY_B);  // restart: anew
  P.Step();
  EXPECT_EQ(Frame(), 4);
  P.Steps(3);
  EXPECT_EQ(Frame(), 5);
  P.Take();
  P.Steps(4);  // its end starts the loop again at once
  EXPECT_EQ(P.Take(), (TFired{{0, LVK_EVENT_ANIMATION_END}}));
  EXPECT_EQ(Frame(), 0);
  P.Step(LVK_KEY_X);
  EXPECT_EQ(Frame(), -6);
  P.Steps(5);
  EXPECT_EQ(Frame(), -6);
  P.Step(LVK_KEY_Y);  // no animation changes nothing
  EXPECT_EQ(Frame(), -6);
  P.Step(LVK_KEY_A);
  EXPECT_EQ(Frame(), 4);
}

// SetAnimation of the animation already running starts it again only with
// restart; another one starts at its first frame either way.
TEST(Engine, SetAnimationRestartsTheRunningOneOnlyWhenAsked) {
  struct TCase {
    int Animation;
    int Restart;
    int Frame;  // of lvk_game_t.frames: the walk holds 0..3, the jump 4..5
  };
  const TCase Cases[] = {{0, 0, 3}, {0, 1, 0}, {1, 0, 4}, {1, 1, 4}};
  for (const TCase& C : Cases) {
    TTestGame G;
    int Hero = G.Actor();
    G.Animation(Hero, 4, 1, LVK_ANIMATION_LOOP);
    G.Animation(Hero, 2, 1, LVK_ANIMATION_LOOP);
    G.On(Hero, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS).Act(LVK_ACTION_SET_ANIMATION, C.Animation, C.Restart);
    G.Place(G.Level(), Hero, 1, 1);
    TPlay P(G);
    P.Steps(2);
    P.Step(LVK_KEY_A);  // the walk has stepped to its frame 3 first
    lvk_sprite_t S{};
    ASSERT_TRUE(lvk_engine_sprite(&P.E, 0, &S));
    EXPECT_EQ(S.frame, C.Frame) << C.Animation << " " << C.Restart;
  }
}

// The table check refuses what the DS's sprite hardware cannot show: a box
// that is no sprite shape, a SetAnimation past its actor's animations.
TEST(Engine, SpriteShapesAndAnimationNumbersAreChecked) {
  struct TShape {
    int Width, Height;
    bool Passes;
  };
  const TShape Shapes[] = {{8, 8, true},   {16, 8, true},  {8, 32, true},  {32, 16, true},  {64, 32, true},
                           {32, 64, true}, {64, 64, true}, {24, 24, false}, {8, 64, false}, {64, 16, false},
                           {16, 64, false}, {8, 24, false}, {48, 48, false}};
  for (const TShape& C : Shapes) {
    TTestGame G;
    int Hero = G.Actor();
    G.On(Hero, LVK_EVENT_CREATE);
    G.Size(Hero, C.Width, C.Height);
    G.Place(G.Level(), Hero, 1, 1);
    const lvk_game_t Game = G.Build();
    EXPECT_EQ(lvk_game_check(&Game), C.Passes ? 1 : 0) << C.Width << "x" << C.Height;
  }
  struct TNumber {
    bool Animated;  // the actor has two animations
    int Number;
    bool Passes;
  };
  const TNumber Numbers[] = {{true, 0, true},   {true, 1, true},   {true, 2, false},
                             {true, LVK_NONE, true}, {false, 0, false}, {false, LVK_NONE, true}};
  for (const TNumber& C : Numbers) {
    TTestGame G;
    int Hero = G.Actor(), Other = G.Actor();
    G.Animation(Other, 1, 1, LVK_ANIMATION_LOOP);
    G.Animation(Other, 1, 1, LVK_ANIMATION_LOOP);
    if (C.Animated) {
      G.Animation(Hero, 1, 1, LVK_ANIMATION_LOOP);
      G.Animation(Hero, 1, 1, LVK_ANIMATION_LOOP);
    }
    G.On(Other, LVK_EVENT_CREATE);
    G.On(Hero, LVK_EVENT_CREATE).Act(LVK_ACTION_SET_ANIMATION, C.Number, 1);
    G.Place(G.Level(), Hero, 1, 1);
    const lvk_game_t Game = G.Build();
    EXPECT_EQ(lvk_game_check(&Game), C.Passes ? 1 : 0) << C.Animated << " " << C.Number;
  }
}

TEST(Engine, MirrorIsSetOrFollowsTheMovementOnX) {
  TTestGame G;
  int Hero = G.Actor();
  G.On(Hero, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, 16, 16);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS).Do(LVK_ACTION_MIRROR, 1, 0);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_B, LVK_HANDLER_PRESS).Do(LVK_ACTION_MIRROR, 0, 0);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_X, LVK_HANDLER_PRESS).Do(LVK_ACTION_MIRROR, 0, 1);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_LEFT, LVK_HANDLER_PRESS).Do(LVK_ACTION_SET_SPEED_DIR, -1, 0);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_RIGHT, LVK_HANDLER_PRESS).Do(LVK_ACTION_SET_SPEED_DIR, 1, 0);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_UP, LVK_HANDLER_PRESS).Do(LVK_ACTION_SET_SPEED_DIR, 0, -1);
  G.Place(G.Level(), Hero, 10, 10);
  TPlay P(G);
  struct TCase {
    std::uint16_t Keys;
    int Mirrored;
  };
  const TCase Script[] = {
      {0, 0},           {LVK_KEY_A, 1},     {0, 1},          {LVK_KEY_LEFT, 1},  // set: moving does not matter
      {LVK_KEY_B, 0},   {LVK_KEY_X, 1},     {0, 1},          {LVK_KEY_RIGHT, 0}, // facing: the way it moves
      {LVK_KEY_UP, 0},  {LVK_KEY_LEFT, 1},  {LVK_KEY_UP, 1},  // not moving on x keeps the facing
      {LVK_KEY_A, 1},   {LVK_KEY_RIGHT, 1}, // set again: facing ends
  };
  for (const TCase& C : Script) {
    SCOPED_TRACE(&C - Script);
    P.Step(0);
    P.Step(C.Keys);
    lvk_sprite_t S{};
    lvk_engine_sprite(&P.E, 0, &S);
    EXPECT_EQ(S.mirrored, C.Mirrored);
  }
}

TEST(Engine, BoxesOfEverySizeCollideTouchAndLeaveTheScreenAtTheirEdges) {
  const std::pair<int, int> Sizes[] = {{8, 8},  {16, 16}, {32, 32}, {64, 64}, {16, 8},  {8, 16},
                                       {32, 8}, {8, 32},  {32, 16}, {16, 32}, {64, 32}, {32, 64}};
  for (auto [W, H] : Sizes) {
    SCOPED_TRACE(std::to_string(W) + "x" + std::to_string(H));
    TTestGame G;
    int Hero = G.Actor(), Near = G.Actor(1), Below = G.Actor(2), Edge = G.Actor();
    G.Size(Hero, W, H);
    G.Size(Edge, W, H);
    G.On(Hero, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, 16, 0).Do(LVK_ACTION_SET_SPEED_DIR, 1, 0);
    G.On(Hero, LVK_EVENT_COLLISION, 0, 0, Near);
    G.On(Hero, LVK_EVENT_COLLISION, 0, 0, Below);
    G.On(Hero, LVK_EVENT_TOUCH, LVK_AREA_H);
    G.On(Edge, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, 16, 0).Do(LVK_ACTION_SET_SPEED_DIR, 1, 0);
    G.On(Edge, LVK_EVENT_OUTSIDE, LVK_AREA_E);
    int L = G.Level();
    // The hero's box starts at (0, 8): one cell beyond its right edge in its
    // bottom row lies Near, one cell below its bottom-left cell Below.
    G.Place(L, Hero, 0, 1);
    G.Place(L, Near, W / 8 + 1, 1 + H / 8 - 1);
    G.Place(L, Below, 0, 1 + H / 8);
    // Edge, further down, starts 8 pixels short of the screen's right edge.
    G.Place(L, Edge, (256 - W) / 8 - 1, 2 + H / 8);
    TPlay P(G);
    P.Take();
    // Touch inside the box's far corner, then just beyond it.
    P.Step(LVK_KEY_TOUCH, W - 1, 8 + H - 1);
    EXPECT_EQ(P.Take(), (TFired{{0, LVK_EVENT_TOUCH}}));
    P.Step();
    P.Step(LVK_KEY_TOUCH, W + 2, 8);
    EXPECT_TRUE(P.Take().empty());
    // Moving right a pixel a frame: Near is met in the ninth frame, the edge
    // crossed in the ninth too; Below never.
    P.Steps(5);
    EXPECT_TRUE(P.Take().empty());
    P.Step();
    EXPECT_EQ(P.Take(), (TFired{{0, LVK_EVENT_COLLISION}, {1, LVK_EVENT_OUTSIDE}}));
    P.Steps(20);
    EXPECT_TRUE(P.Take().empty());
  }
}

TEST(Engine, ABigBoxRepelsAndIsRepelledAtItsSize) {
  TTestGame G;
  int Hero = G.Actor(), Block = G.Actor(1), Wall = G.Actor(2);
  G.Size(Hero, 16, 16);
  G.Size(Block, 32, 32);
  G.On(Hero, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, 40, 40).Do(LVK_ACTION_SET_SPEED_DIR, 1, 0);
  G.On(Hero, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Block);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_DOWN, LVK_HANDLER_PRESS).Do(LVK_ACTION_SET_SPEED_DIR, 0, 1);
  G.On(Hero, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Wall);
  G.On(Block, LVK_EVENT_CREATE);  // live, standing still
  G.Size(Wall, 32, 16);
  int L = G.Level();
  G.Place(L, Hero, 0, 4);
  G.Place(L, Block, 10, 2);  // box 80..111 x 16..47
  // A scenery 32x16 wall covers its block of cells, as the tables give it.
  for (int c = 6; c < 10; ++c)
    for (int r = 0; r < 2; ++r) G.Place(L, Wall, c, 10 + r);
  TPlay P(G);
  P.Steps(40);
  // The block (slot 0, first in cell order) stops the hero (slot 1) in
  // contact with its left edge.
  EXPECT_EQ(P.At(1).x / Px, 80 - 16);
  P.Step(LVK_KEY_DOWN);
  P.Steps(40);
  EXPECT_EQ(P.At(1).y / Px, 80 - 16);  // on top of the wall's block at row 10
}

// A repel moves a box back after the boxes were put in order for the
// phase: the instances that look later in the phase meet it where it went
// (a runner at nearly 16 pixels a frame, stopped by a wall in contact at
// 72..79, touches a watcher at 79 but not one at 80), however far back it
// went, and the same with a watcher of any solid actor.
TEST(Engine, ABoxARepelTookBackIsMetWhereItWentLaterInThePhase) {
  const struct {
    int Speed;     // sixteenths of a pixel a frame
    int WatcherX;  // its box's left edge
    bool AnySolid;
    int Contacts;
  } Cases[] = {{255, 79, false, 1}, {255, 80, false, 0}, {200, 79, false, 1}, {255, 79, true, 1}, {255, 80, true, 0}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(testing::Message() << "speed " << C.Speed << ", watcher at " << C.WatcherX
                                    << (C.AnySolid ? ", any solid" : ""));
    TTestGame G;
    const int Runner = G.Actor(0, C.AnySolid ? LVK_ACTOR_SOLID : 0), Wall = G.Actor(1), Watcher = G.Actor(2);
    G.On(Runner, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, C.Speed, 0).Do(LVK_ACTION_SET_SPEED_DIR, 1, 0);
    G.On(Runner, LVK_EVENT_COLLISION, 0, LVK_HANDLER_REPEL, Wall);
    G.On(Watcher, LVK_EVENT_CREATE).Act(LVK_ACTION_JUMP_TO, 0, C.WatcherX, 16);
    G.On(Watcher, LVK_EVENT_COLLISION, 0, 0, C.AnySolid ? LVK_ANY_SOLID : Runner);
    const int L = G.Level();
    G.Place(L, Runner, 7, 2);   // slot 0: looks first
    G.Place(L, Wall, 10, 2);    // 80..87
    G.Place(L, Watcher, 0, 3);  // slot 1
    TPlay P(G);
    P.Take();
    P.Steps(6);
    ASSERT_EQ(P.At(0).x / Px, 72);
    int Contacts = 0;
    for (const auto& [Slot, Event] : P.Take()) Contacts += Slot == 1 && Event == LVK_EVENT_COLLISION;
    EXPECT_EQ(Contacts, C.Contacts);
  }
}

// ---- Saved data ----

// SaveGame, LoadGame, EraseSave and IfSaved over one store: the saved game
// variables and the level come back from their own slot and no other; an
// instance variable and an unsaved one never travel; a slot never written,
// or outside 1..3, changes nothing and is not saved.
TEST(Engine, SaveSlotsRoundTripEveryVariableAndTheLevel) {
  TTestGame G;
  const int Score = G.Saved("score", 5), Lives = G.Saved("lives", 3), Own = G.Saved("own", 7, LVK_SCOPE_INSTANCE);
  const int Plain = G.Variable(0), Held = G.Variable(0), Slot = G.Variable(1);
  const int Hero = G.Actor();
  // A: save in slot vSlot with the level; B: load it; X: erase it; Y: next level.
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS).Act(LVK_ACTION_SAVE_GAME, 0, Of(Slot), 1);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_B, LVK_HANDLER_PRESS).Act(LVK_ACTION_LOAD_GAME, 0, Of(Slot));
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_X, LVK_HANDLER_PRESS).Act(LVK_ACTION_ERASE_SAVE, 0, Of(Slot));
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_Y, LVK_HANDLER_PRESS).Do(LVK_ACTION_NEXT_LEVEL);
  // Every frame: vHeld is 1 when the slot is saved, else 2.
  G.On(Hero, LVK_EVENT_TIMER, 0, LVK_HANDLER_REPEAT, 0, 1)
      .Act(LVK_ACTION_IF_SAVED, 0, Of(Slot)).Act(LVK_ACTION_SET_VARIABLE, Held, 1)
      .Do(LVK_ACTION_OTHERWISE).Act(LVK_ACTION_SET_VARIABLE, Held, 2);
  for (int i = 0; i < 3; ++i) G.Place(G.Level(), Hero, 1, 1);
  TStore Store;
  TPlay P(G, 0, &Store);
  auto Set = [&](std::int32_t S, std::int32_t L, std::int32_t O, std::int32_t N) {
    P.E.game_values[P.E.variable_place[Score]] = S;
    P.E.game_values[P.E.variable_place[Lives]] = L;
    P.Values.values[0][P.E.variable_place[Own] & 0x7F] = O;
    P.E.game_values[P.E.variable_place[Plain]] = N;
  };
  auto Press = [&](std::uint16_t Key, int Slot_) {
    P.E.game_values[P.E.variable_place[Slot]] = Slot_;
    P.Step(Key);
    P.Step();
  };
  auto Values = [&] {
    return std::vector<std::int32_t>{P.Var(Score), P.Var(Lives), P.Var(Own), P.Var(Plain), P.E.level};
  };
  using TV = std::vector<std::int32_t>;
  P.Step();
  EXPECT_EQ(P.Var(Held), 2);
  EXPECT_EQ(lvk_engine_save_status(&P.E), LVK_SAVE_EMPTY);

  Press(LVK_KEY_Y, 1);  // level 1
  Set(1200, 2, 70, 9);
  Press(LVK_KEY_A, 1);
  EXPECT_EQ(P.Var(Held), 1);
  Press(LVK_KEY_Y, 2);  // level 2
  Set(-40, INT32_MAX, 71, 10);
  Press(LVK_KEY_A, 2);
  Set(0, 0, 0, 0);
  struct {
    int Slot;
    TV After;  // score, lives, own, plain, level
    int Held;
  } const Cases[] = {
      // The instance variable is the new instance's: its initial value.
      {1, {1200, 2, 7, 0, 1}, 1},
      {2, {-40, INT32_MAX, 7, 0, 2}, 1},
      {3, {0, 0, 0, 0, 0}, 2},  // never written: nothing changes, the level neither
      {0, {0, 0, 0, 0, 0}, 2},
      {4, {0, 0, 0, 0, 0}, 2},
  };
  for (const auto& C : Cases) {
    lvk_engine_start_level(&P.E, 0);
    Set(0, 0, 0, 0);
    Press(LVK_KEY_B, C.Slot);
    EXPECT_EQ(Values(), C.After) << "slot " << C.Slot;
    EXPECT_EQ(P.Var(Held), C.Held) << "slot " << C.Slot;
  }
  // Erasing slot 1 leaves slot 2.
  Press(LVK_KEY_X, 1);
  EXPECT_EQ(P.Var(Held), 2);
  P.E.game_values[P.E.variable_place[Slot]] = 2;
  P.Steps(2);
  EXPECT_EQ(P.Var(Held), 1);
  EXPECT_EQ(lvk_engine_save_status(&P.E), LVK_SAVE_OK);
}

// A later version of the game, with a variable renamed away and one added,
// reads the save as far as the names match: the new variable takes its
// initial value. The store's refusals count as no save, and the next save
// starts it anew; without a store, or with one that cannot be written,
// saving does nothing and says so.
TEST(Engine, SavesOfOtherVersionsAndStoresThatFail) {
  TStore Store;
  {
    TTestGame Old;
    Old.Saved("best", 0);
    Old.Saved("coins", 0);
    const int Hero = Old.Actor();
    Old.On(Hero, LVK_EVENT_CREATE)
        .Act(LVK_ACTION_SET_VARIABLE, 0, 900).Act(LVK_ACTION_SET_VARIABLE, 1, 33).Act(LVK_ACTION_SAVE_GAME, 0, 1);
    Old.Place(Old.Level(), Hero, 0, 0);
    TPlay P(Old, 0, &Store);
    ASSERT_EQ(Store.Writes, 1);
  }
  TTestGame New;
  const int Gems = New.Saved("gems", 5), Best = New.Saved("best", 1), Mark = New.Variable(0);
  const int Hero = New.Actor();
  New.On(Hero, LVK_EVENT_KEY, LVK_KEY_A, LVK_HANDLER_PRESS)
      .Act(LVK_ACTION_SET_VARIABLE, Gems, 77).Act(LVK_ACTION_LOAD_GAME, 0, 1);
  New.On(Hero, LVK_EVENT_KEY, LVK_KEY_B, LVK_HANDLER_PRESS).Act(LVK_ACTION_SAVE_GAME, 0, 1);
  New.On(Hero, LVK_EVENT_KEY, LVK_KEY_X, LVK_HANDLER_PRESS)
      .Act(LVK_ACTION_SET_VARIABLE, Mark, 0).Act(LVK_ACTION_IF_SAVED, 0, 1).Act(LVK_ACTION_SET_VARIABLE, Mark, 1);
  New.Place(New.Level(), Hero, 0, 0);
  const std::vector<std::uint8_t> Good = Store.Bytes;
  std::vector<std::uint8_t> Bad = Good;
  Bad[LVK_SAVE_HEADER + 3] ^= 1;
  lvk_saving_t Other = New.Saving;
  const struct {
    const char* What;
    std::vector<std::uint8_t> Bytes;
    bool OtherGame, Missing, Broken;
    int Status;
    std::int32_t Gems, Best, Mark;
  } Cases[] = {
      {"older version", Good, false, false, false, LVK_SAVE_OK, 5, 900, 1},
      {"never saved", {}, false, false, false, LVK_SAVE_EMPTY, 77, 1, 0},
      {"damaged", Bad, false, false, false, LVK_SAVE_DAMAGED, 77, 1, 0},
      {"too short", {Good.begin(), Good.end() - 1}, false, false, false, LVK_SAVE_WRONG_SIZE, 77, 1, 0},
      {"other game", Good, true, false, false, LVK_SAVE_OTHER_GAME, 77, 1, 0},
      {"no store", Good, false, true, false, LVK_SAVE_NO_STORE, 77, 1, 0},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    Store.Bytes = C.Bytes;
    Store.Missing = C.Missing;
    New.Saving.game_key = C.OtherGame ? Other.game_key + 1 : Other.game_key;
    TPlay P(New, 0, &Store);
    P.Step(LVK_KEY_A);
    EXPECT_EQ(lvk_engine_save_status(&P.E), C.Status);
    EXPECT_EQ(P.Var(Gems), C.Gems);
    EXPECT_EQ(P.Var(Best), C.Best);
    P.Step(LVK_KEY_X);
    EXPECT_EQ(P.Var(Mark), C.Mark);
    // Saving now writes a store this game reads, whatever was there.
    P.Step(LVK_KEY_B);
    P.Step(LVK_KEY_X);
    EXPECT_EQ(P.Var(Mark), C.Missing ? 0 : 1);
    if (!C.Missing) {
      lvk_save_t Back;
      EXPECT_EQ(lvk_save_read(Store.Bytes.data(), Store.Bytes.size(), New.Saving.game_key, &Back), LVK_SAVE_OK);
    }
  }
  Store.Bytes = Good;
  Store.Missing = false;
  Store.Broken = true;
  New.Saving = Other;
  TPlay P(New, 0, &Store);
  P.Step(LVK_KEY_B);
  EXPECT_EQ(lvk_engine_save_status(&P.E), LVK_SAVE_NOT_WRITTEN);
  EXPECT_EQ(Store.Bytes, Good);
}

// EnterHighScore: a score that earns a place stops the game (nothing moves
// or ages) while the initials are entered on the row; A puts them in the
// table where ShowHighScores shows it and in the store. A tie goes below,
// a score that earns no place asks for nothing.
TEST(Engine, HighScoreEntryWaitsForTheInitials) {
  TTestGame G;
  const int Score = G.Variable(0);
  G.Saving.score_places = 3;
  G.Saving.score_letters = 3;
  G.Saving.score_higher = 1;
  G.Saving.score_variable = static_cast<std::uint16_t>(Score);
  const int Hero = G.Actor();
  G.On(Hero, LVK_EVENT_CREATE).Do(LVK_ACTION_SET_SPEED_SIZE, 16, 0).Do(LVK_ACTION_SET_SPEED_DIR, 1, 0)
      .Act(LVK_ACTION_SHOW_HIGH_SCORES, 0, 2);
  G.On(Hero, LVK_EVENT_KEY, LVK_KEY_START, LVK_HANDLER_PRESS).Act(LVK_ACTION_ENTER_HIGH_SCORE, 0, 6);
  G.Place(G.Level(), Hero, 0, 0);
  TStore Store;
  struct {
    std::int32_t Score;
    std::vector<std::uint16_t> Keys;  // pressed one a frame, after the start
    std::vector<std::string> Table;
  } const Cases[] = {
      {50, {LVK_KEY_UP, LVK_KEY_A}, {"1. BAA 50", "2. ---", "3. ---"}},
      {80, {LVK_KEY_RIGHT, LVK_KEY_RIGHT, LVK_KEY_UP, LVK_KEY_UP, LVK_KEY_A}, {"1. AAC 80", "2. BAA 50", "3. ---"}},
      {50, {LVK_KEY_A}, {"1. AAC 80", "2. BAA 50", "3. AAA 50"}},  // the tie goes below
      {50, {}, {"1. AAC 80", "2. BAA 50", "3. AAA 50"}},           // no place left for it
      {51, {LVK_KEY_LEFT, LVK_KEY_DOWN, LVK_KEY_DOWN, LVK_KEY_A}, {"1. AAC 80", "2. 9AA 51", "3. BAA 50"}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Score);
    TPlay P(G, 0, &Store);
    P.E.game_values[P.E.variable_place[Score]] = C.Score;
    P.Step(LVK_KEY_START);
    const std::int32_t X = P.At(0).x;
    const std::uint32_t Age = P.At(0).age;
    EXPECT_EQ(lvk_engine_entering(&P.E), C.Keys.empty() ? 0 : 1);
    if (!C.Keys.empty()) {
      EXPECT_EQ(P.Row(6), "New high score! [A]AA");
    }
    for (std::uint16_t Key : C.Keys) {
      EXPECT_EQ(P.At(0).x, X);
      EXPECT_EQ(P.At(0).age, Age);
      P.Step(Key);
      P.Step();
    }
    EXPECT_EQ(lvk_engine_entering(&P.E), 0);
    EXPECT_EQ(P.Row(6), "");
    EXPECT_EQ((lvk_engine_text_rows(&P.E) >> 6) & 1u, 0u);
    EXPECT_EQ((std::vector<std::string>{P.Row(2), P.Row(3), P.Row(4)}), C.Table);
    P.Step();
    EXPECT_GT(P.At(0).x, X);  // the game goes on
  }
}
