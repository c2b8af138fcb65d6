// One engine frame on a crowded level: 128 live instances, all moving, each
// colliding with walls of scenery and with the instances of both live
// actors; and the same level with every instance also running a timer that
// fires every frame, with a guard and a SetVariable. Then the stress games
// the DS program's meter is read on (tests/ds/UStressGame.h), as the editor
// builds their tables. The DS has about 1.1 million arm9 cycles a frame;
// these are the host's figures for the same work.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "behaviour/UBehaviour.h"
#include "generator/UBuildLog.h"
#include "generator/UGameTables.h"
#include "lvk_engine.h"
#include "model/UGame.h"
#include "tests/ds/UStressGame.h"

namespace {

lvk_action_t Do(std::uint8_t Kind, std::int32_t Arg1 = 0, std::int32_t Arg2 = 0, std::uint8_t Relative = 0,
                std::uint16_t Ref = 0, std::uint8_t Op = 0) {
  return {Kind, Relative, Ref, {LVK_LITERAL, LVK_LITERAL, LVK_LITERAL}, {Arg1, Arg2, Op}};
}

struct TStressGame {
  std::vector<lvk_actor_t> Actors;
  std::vector<lvk_handler_t> Handlers;
  std::vector<lvk_action_t> Actions;
  std::vector<lvk_level_t> Levels;
  std::vector<lvk_spawn_t> Spawns;
  std::vector<std::uint16_t> Scenery;
  // With Timers: an instance variable for the guard, a game variable counted.
  std::vector<lvk_variable_t> Variables{{0, LVK_SCOPE_INSTANCE, 0, 0}, {0, LVK_SCOPE_GAME, 0, 0}};
  lvk_game_t Game{};

  explicit TStressGame(bool Timers = false) {
    enum { Red, Blue, Wall };
    auto Handler = [&](std::uint8_t Event, std::uint8_t Flags, std::uint16_t Other, std::vector<lvk_action_t> Do,
                       std::uint32_t Frames = 0) {
      Handlers.push_back({Event, Flags, 0, Other, static_cast<std::uint16_t>(Actions.size()),
                          static_cast<std::uint16_t>(Do.size()), Frames});
      Actions.insert(Actions.end(), Do.begin(), Do.end());
    };
    for (int a = 0; a < 2; ++a) {
      Actors.push_back({static_cast<std::uint16_t>(a), static_cast<std::uint16_t>(Handlers.size()),
                        static_cast<std::uint16_t>(Timers ? 6 : 5), 0, 0, 0, 0, 0});
      Handler(LVK_EVENT_CREATE, 0, 0,
              {Do(LVK_ACTION_SET_SPEED_SIZE, 17 + 5 * a, 11 + 3 * a), Do(LVK_ACTION_SET_SPEED_DIR, a ? -1 : 1, 1)});
      Handler(LVK_EVENT_COLLISION, LVK_HANDLER_REPEL, Wall, {Do(LVK_ACTION_SET_SPEED_DIR, -2, -2, 1)});
      Handler(LVK_EVENT_COLLISION, LVK_HANDLER_REPEL, Red, {Do(LVK_ACTION_SET_SPEED_DIR, 1, -1)});
      Handler(LVK_EVENT_COLLISION, 0, Blue, {Do(LVK_ACTION_SET_SPEED_DIR, -1, 1), Do(LVK_ACTION_SET_SPEED_SIZE, 1, -1, 1)});
      Handler(LVK_EVENT_OUTSIDE, 0, 0, {Do(LVK_ACTION_SET_SPEED_DIR, -1, -1)});
      Handlers.back().mask = 0xFF;
      if (Timers)
        Handler(LVK_EVENT_TIMER, LVK_HANDLER_REPEAT, 0,
                {Do(LVK_ACTION_IF_VARIABLE, 0, 0, 0, 0, LVK_COMPARE_AT_LEAST), Do(LVK_ACTION_SET_VARIABLE, 1, 0, 1, 1)},
                1);
    }
    Actors.push_back({2, 0, 0, 0, 0, 0, 0, 0});
    Scenery.assign(LVK_LEVEL_CELLS, LVK_NONE);
    for (int c = 0; c < LVK_LEVEL_COLUMNS; ++c) Scenery[c] = Scenery[23 * LVK_LEVEL_COLUMNS + c] = Wall;
    for (int r = 0; r < LVK_LEVEL_ROWS; ++r) Scenery[r * LVK_LEVEL_COLUMNS] = Scenery[r * LVK_LEVEL_COLUMNS + 31] = Wall;
    for (int r = 6; r < 18; r += 5)
      for (int c = 4; c < 28; c += 6) Scenery[r * LVK_LEVEL_COLUMNS + c] = Wall;
    // 128 instances on free cells, in cell order.
    for (int cell = 0; cell < LVK_LEVEL_CELLS && Spawns.size() < LVK_MAX_INSTANCES; cell += 3)
      if (Scenery[cell] == LVK_NONE)
        Spawns.push_back({static_cast<std::uint16_t>(Spawns.size() % 2), static_cast<std::uint8_t>(cell % 32),
                          static_cast<std::uint8_t>(cell / 32)});
    Levels.push_back({0, static_cast<std::uint16_t>(Spawns.size()), 32, 24, 0});
    Game = {3,
            static_cast<std::uint16_t>(Actors.size()),
            static_cast<std::uint16_t>(Handlers.size()),
            static_cast<std::uint16_t>(Actions.size()),
            1,
            static_cast<std::uint16_t>(Spawns.size()),
            Actors.data(),
            Handlers.data(),
            Actions.data(),
            Levels.data(),
            Spawns.data(),
            Scenery.data(),
            static_cast<std::uint16_t>(Timers ? Variables.size() : 0),
            0,
            0,
            0,
            0,
            Variables.data(),
            nullptr,
            nullptr,
            nullptr,
            0,
            0,
            0,
            0,
            nullptr,
            nullptr,
            nullptr,
            {}};
  }
};

// Each iteration is one frame; the level starts afresh every 600 frames (ten
// seconds of play), outside the timing, so the crowd never settles for long.
void StepFrames(benchmark::State& State, const lvk_game_t& Game) {
  static lvk_engine_t Engine;
  static lvk_instance_values_t Values;
  lvk_engine_init(&Engine, &Game);
  lvk_engine_set_instance_values(&Engine, &Values);
  lvk_engine_start_level(&Engine, 0);
  lvk_input_t Input{0, 0, 0};
  int Frame = 0;
  for (auto _ : State) {
    if (++Frame == 600) {
      State.PauseTiming();
      lvk_engine_start_level(&Engine, 0);
      Frame = 0;
      State.ResumeTiming();
    }
    lvk_engine_step(&Engine, &Input);
    benchmark::DoNotOptimize(Engine.instances[0].x);
  }
  State.counters["instances"] = lvk_engine_live_count(&Engine);
}

void StepStressLevel(benchmark::State& State, bool Timers) {
  static TStressGame Plain(false), Timed(true);
  StepFrames(State, Timers ? Timed.Game : Plain.Game);
}

void BM_EngineStepStressLevel(benchmark::State& State) { StepStressLevel(State, false); }
BENCHMARK(BM_EngineStepStressLevel);

void BM_EngineStepStressLevelWithTimers(benchmark::State& State) { StepStressLevel(State, true); }
BENCHMARK(BM_EngineStepStressLevelWithTimers);

// A stress game of the DS meter, its tables built once.
struct TStressTables {
  lvk::TGameTables Tables;
  lvk_game_t Game;
  explicit TStressTables(lvk::TStress Kind) {
    lvk::RegisterKinds();
    lvk::TGame Document;
    lvk::BuildStressGame(Document, LURVIK_STRESS_TILES, Kind);
    lvk::TTextBuildLog Log;
    Tables = lvk::BuildBehaviourTables(Document, Log);
    Game = Tables.Game();
  }
};

// Each iteration is one frame, as in StepStressLevel.
void BM_EngineStepStressGame(benchmark::State& State) {
  static const lvk::TStress Kinds[] = {lvk::TStress::Plain, lvk::TStress::Rules, lvk::TStress::Scroll,
                                       lvk::TStress::Sprites};
  static const char* const Names[] = {"plain", "rules", "scroll", "sprites"};
  const auto Kind = static_cast<std::size_t>(State.range(0));
  static std::unique_ptr<TStressTables> Games[4];
  if (!Games[Kind]) Games[Kind] = std::make_unique<TStressTables>(Kinds[Kind]);
  StepFrames(State, Games[Kind]->Game);
  State.SetLabel(Names[Kind]);
}
BENCHMARK(BM_EngineStepStressGame)->DenseRange(0, 3);

}  // namespace

BENCHMARK_MAIN();
