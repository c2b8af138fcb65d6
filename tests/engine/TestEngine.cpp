// The engine's rules of play, frame by frame with scripted input: positions,
// fired handlers and levels. The engine is compiled as C; these tests drive
// it through its header only.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "lvk_engine.h"

namespace {

constexpr int Px = LVK_SUBPIXELS;

// A game put together by hand: actors with handlers and actions, levels with
// live and scenery cells.
class TTestGame {
public:
  int Actor(std::uint16_t Tile = 0) {
    FActors.push_back({Tile, 0, 0});
    FHandlerLists.emplace_back();
    return static_cast<int>(FActors.size()) - 1;
  }
  // Adds a handler to Actor; actions follow with Do.
  TTestGame& On(int Actor, std::uint8_t Event, std::uint16_t Mask = 0, std::uint8_t Flags = 0, int Other = 0) {
    FHandlerLists[Actor].push_back({{Event, Flags, Mask, static_cast<std::uint16_t>(Other), 0, 0}, {}});
    FLast = &FHandlerLists[Actor].back();
    return *this;
  }
  TTestGame& Do(std::uint8_t Kind, std::int32_t Arg1 = 0, std::int32_t Arg2 = 0, bool Relative = false) {
    FLast->second.push_back({Kind, static_cast<std::uint8_t>(Relative), Arg1, Arg2});
    return *this;
  }
  int Level() {
    FLevelCells.emplace_back(LVK_LEVEL_CELLS, LVK_NONE);
    return static_cast<int>(FLevelCells.size()) - 1;
  }
  // Puts Actor in a cell; whether it is live or scenery follows from its handlers.
  void Place(int Level, int Actor, int Column, int Row) {
    FLevelCells[Level][Row * LVK_LEVEL_COLUMNS + Column] = static_cast<std::uint16_t>(Actor);
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
    FLevels.clear();
    FSpawns.clear();
    FScenery.clear();
    for (const auto& Cells : FLevelCells) {
      lvk_level_t L{static_cast<std::uint16_t>(FSpawns.size()), 0};
      for (int i = 0; i < LVK_LEVEL_CELLS; ++i) {
        std::uint16_t A = Cells[i];
        bool Live = A != LVK_NONE && FActors[A].handler_count > 0;
        if (Live) FSpawns.push_back({A, static_cast<std::uint8_t>(i % LVK_LEVEL_COLUMNS), static_cast<std::uint8_t>(i / LVK_LEVEL_COLUMNS)});
        FScenery.push_back(Live ? LVK_NONE : A);
      }
      L.spawn_count = static_cast<std::uint16_t>(FSpawns.size() - L.first_spawn);
      FLevels.push_back(L);
    }
    FGame = {7,
             static_cast<std::uint16_t>(FActors.size()),
             static_cast<std::uint16_t>(FHandlers.size()),
             static_cast<std::uint16_t>(FActions.size()),
             static_cast<std::uint16_t>(FLevels.size()),
             static_cast<std::uint16_t>(FSpawns.size()),
             FActors.data(),
             FHandlers.data(),
             FActions.data(),
             FLevels.data(),
             FSpawns.data(),
             FScenery.data()};
    return FGame;
  }

private:
  std::vector<lvk_actor_t> FActors;
  std::vector<std::vector<std::pair<lvk_handler_t, std::vector<lvk_action_t>>>> FHandlerLists;
  std::pair<lvk_handler_t, std::vector<lvk_action_t>>* FLast = nullptr;
  std::vector<std::vector<std::uint16_t>> FLevelCells;
  std::vector<lvk_handler_t> FHandlers;
  std::vector<lvk_action_t> FActions;
  std::vector<lvk_level_t> FLevels;
  std::vector<lvk_spawn_t> FSpawns;
  std::vector<std::uint16_t> FScenery;
  lvk_game_t FGame{};
};

// An engine on a game, recording every fired handler.
class TPlay {
public:
  explicit TPlay(TTestGame& Game, int Level = 0) : FGame(Game.Build()) {
    lvk_engine_init(&E, &FGame);
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

  lvk_game_t FGame;
  lvk_engine_t E;
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
