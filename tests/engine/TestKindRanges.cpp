// The engine's rules keep to the ranges the kinds' catalogue declares: a
// number beyond a range's end does what the end does (the rule holds it
// there) or nothing at all (the rule leaves it out), for every ranged number
// of every action kind. A rule that holds a number to another range than the
// catalogue's fails here.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lvk_engine.h"

namespace {

struct TValue {
  int Type, Slot;
  std::int32_t Min, Max;
  const char* Default;
  const char* Label;
};

struct TKind {
  int Number;
  const char* Name;
  std::vector<TValue> Values;
};

std::vector<TKind> ActionKinds() {
  std::vector<TKind> Kinds;
#define KIND(Id, Number, Name, ...) Kinds.push_back({Number, #Name, {}});
#define VALUE(Type, Slot, Min, Max, Default, Label, Hint) \
  Kinds.back().Values.push_back({LVK_VALUE_##Type, LVK_SLOT_##Slot, Min, Max, Default, Label});
  LVK_ACTION_CATALOGUE(KIND, VALUE)
#undef KIND
#undef VALUE
  return Kinds;
}

// The engine's state after a hero ran Action in its first frame and a
// second frame passed, beside a second live actor (a target for actions naming one), a
// variable, a text and a sound.
std::string StateAfter(const lvk_action_t& Action) {
  static const char Chars[] = "HI";
  const lvk_actor_t Actors[] = {{0, 0, 1, 0, 8, 8, 0, 0}, {0, 1, 1, 0, 8, 8, 0, 0}};
  // In a frame of play, not at the level's start, which sets the camera up.
  const lvk_handler_t Handlers[] = {{LVK_EVENT_TIMER, 0, 0, 0, 0, 1, 1}, {LVK_EVENT_DESTROY, 0, 0, 0, 1, 0, 0}};
  const lvk_spawn_t Spawns[] = {{0, 2, 2}, {1, 20, 10}};
  lvk_level_t Level{};
  Level.spawn_count = 2;
  // Kept in one place: the engine keeps a pointer into it.
  static const std::vector<std::uint16_t> Scenery(LVK_LEVEL_CELLS, LVK_NONE);
  const lvk_variable_t Variables[] = {{5, LVK_SCOPE_GAME, 0, 0}};
  const lvk_text_t Texts[] = {{0, 1}};
  const lvk_segment_t Segments[] = {{0, 2, LVK_LITERAL}};
  lvk_game_t Game{};
  Game.tile_count = 1;
  Game.actor_count = 2;
  Game.actors = Actors;
  Game.handler_count = 2;
  Game.handlers = Handlers;
  Game.action_count = 1;
  Game.actions = &Action;
  Game.level_count = 1;
  Game.levels = &Level;
  Game.spawn_count = 2;
  Game.spawns = Spawns;
  Game.scenery = Scenery.data();
  Game.variable_count = 1;
  Game.variables = Variables;
  Game.text_count = 1;
  Game.texts = Texts;
  Game.segment_count = 1;
  Game.segments = Segments;
  Game.char_count = 2;
  Game.chars = Chars;
  Game.sound_count = 1;
  EXPECT_TRUE(lvk_game_check(&Game));

  static lvk_engine_t Engine;
  static lvk_instance_values_t Values;
  std::memset(&Engine, 0, sizeof Engine);
  std::memset(&Values, 0, sizeof Values);
  lvk_engine_init(&Engine, &Game);
  lvk_engine_set_instance_values(&Engine, &Values);
  lvk_engine_start_level(&Engine, 0);
  const lvk_input_t Input{};
  lvk_engine_step(&Engine, &Input);
  lvk_engine_step(&Engine, &Input);
  Engine.game = nullptr;  // the tables' address differs from run to run
  std::string State(reinterpret_cast<const char*>(&Engine), sizeof Engine);
  State.append(reinterpret_cast<const char*>(&Values), sizeof Values);
  return State;
}

// Kind's action with its values' defaults, value Index set to N.
lvk_action_t ActionWith(const TKind& Kind, std::size_t Index, std::int32_t N) {
  lvk_action_t A{};
  A.kind = static_cast<std::uint8_t>(Kind.Number);
  for (std::size_t v = 0; v < Kind.Values.size(); ++v) {
    const TValue& V = Kind.Values[v];
    const std::int32_t Number = v == Index ? N : std::atoi(V.Default);
    switch (V.Slot) {
      case LVK_SLOT_N1: case LVK_SLOT_N2: case LVK_SLOT_N3: case LVK_SLOT_N4: case LVK_SLOT_N5: case LVK_SLOT_N6:
        A.n[V.Slot - LVK_SLOT_N1] = Number;
        break;
      case LVK_SLOT_RELATIVE: A.relative = static_cast<std::uint8_t>(Number); break;
      case LVK_SLOT_REF: A.ref = static_cast<std::uint16_t>(V.Type == LVK_VALUE_ACTOR ? 1 : Number); break;
      default: break;
    }
  }
  return A;
}

}  // namespace

TEST(KindRanges, NumbersBeyondARangesEndDoWhatTheEndDoesOrNothing) {
  lvk_action_t Nothing{};
  Nothing.kind = LVK_ACTION_KINDS;  // no kind: does nothing
  const std::string Unchanged = StateAfter(Nothing);
  int Ranged = 0;
  for (const TKind& Kind : ActionKinds()) {
    for (std::size_t v = 0; v < Kind.Values.size(); ++v) {
      const TValue& V = Kind.Values[v];
      if (V.Type != LVK_VALUE_NUMBER || V.Min == V.Max) continue;
      ++Ranged;
      for (const auto& [End, Beyond] : {std::pair{V.Max, V.Max + 1000}, std::pair{V.Min, V.Min - 1000}}) {
        const std::string AtEnd = StateAfter(ActionWith(Kind, v, End));
        const std::string Past = StateAfter(ActionWith(Kind, v, Beyond));
        EXPECT_TRUE(Past == AtEnd || Past == Unchanged)
            << Kind.Name << " " << V.Label << ": " << Beyond << " does neither what " << End << " does nor nothing";
      }
    }
  }
  EXPECT_GT(Ranged, 5);
}
