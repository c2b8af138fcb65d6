#pragma once
// The game as plain numbers: the engine's tables (actors, handlers, actions,
// each level's live instances and scenery) and what a screen shows (palette,
// tile pixels, level maps). The generator writes the same numbers as C; the
// editor's play window hands the tables straight to the engine. The drawing
// numbers come from the very functions the generator formats into
// generated.c, so both agree by construction.
#include <array>
#include <cstdint>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "lvk_engine.h"

namespace lvk {

class TGame;
class TLevel;
class TActor;
class TTile;
class TPalette;
class TBuildLog;

using TTilePixels = std::array<std::uint8_t, 64>;     // row by row, palette indices
// A level's tile numbers, row by row, as wide and high as its entry in the
// engine's level table.
struct TLevelMap : std::vector<std::uint16_t> {
  int Width = LVK_LEVEL_COLUMNS;
  int Height = LVK_LEVEL_ROWS;
};

struct TGameTables {
  // The engine's tables; Game() points into them.
  std::uint16_t TileCount = 0;
  std::vector<lvk_actor_t> Actors;
  std::vector<lvk_handler_t> Handlers;
  std::vector<lvk_action_t> Actions;
  std::vector<lvk_level_t> Levels;
  std::vector<lvk_spawn_t> Spawns;
  std::vector<std::uint16_t> Scenery;  // each level's width x height, level by level
  // Variables, the texts of ShowText (segments over Chars) and the number of
  // sounds; empty for a game that uses none.
  std::vector<lvk_variable_t> Variables;
  std::vector<lvk_text_t> Texts;
  std::vector<lvk_segment_t> Segments;
  std::string Chars;
  std::uint16_t SoundCount = 0;
  // The actors' animations, their frames and the frames' tiles (see
  // lvk_animation_t); only of actors that can have instances.
  std::vector<lvk_animation_t> Animations;
  std::vector<std::uint32_t> Frames;
  std::vector<std::uint16_t> FrameTiles;
  // The game's key for its saves and its high-score table (no table when
  // the game has none or its score is no game variable that takes part).
  lvk_saving_t Saving{};
  // The tables of engine structs above, for what is done to each of them.
  auto EntryLists() { return std::tie(Actors, Handlers, Actions, Levels, Spawns, Variables, Texts, Segments, Animations); }
  auto EntryLists() const {
    return std::tie(Actors, Handlers, Actions, Levels, Spawns, Variables, Texts, Segments, Animations);
  }
  // Bytes of sprite memory the tiles drawn as 8x8 sprites and the frames
  // take, each picture in whole blocks of SpriteBlock bytes.
  std::size_t SpriteBytes = 0;

  // Names for comments and messages, in the order of Actors, Levels and
  // Variables.
  std::vector<std::string> ActorNames;
  std::vector<std::string> LevelNames;
  std::vector<std::string> VariableNames;
  std::vector<std::string> SoundNames;
  // The game's index of each sound of SoundNames: a hand-made file may hold
  // two sounds of one name, and each plays its own samples.
  std::vector<int> SoundItems;
  // What is no error but easily missed: live actors nothing draws.
  std::vector<std::string> Notes;

  // What generated.c holds: the palette as 15-bit DS colours, each tile's 64
  // palette indices, each level's tile numbers. Empty when the tables
  // were built for the behaviour only.
  std::vector<std::uint16_t> Palette;
  std::vector<TTilePixels> Tiles;
  std::vector<TLevelMap> Backgrounds;
  // What the DS plays for each sound of SoundCount: signed 8-bit mono at
  // 16,384 Hz, a multiple of 4 samples.
  std::vector<std::vector<std::int8_t>> Sounds;

  // The description the engine reads. It points into these vectors: valid
  // while the tables live unchanged (a copy or a move of the tables needs a
  // fresh call).
  lvk_game_t Game() const;
};

// Everything: the engine's tables and the drawing numbers. Logs, as counted
// errors, what the behaviour part logs; nothing about the drawing, whose
// problems the generator reports on its own.
TGameTables BuildGameTables(const TGame& Game, TBuildLog& Log);

// The samples of the sounds that take part (Tables.SoundItems) into
// Tables.Sounds.
void AddSoundSamples(const TGame& Game, TGameTables& Tables);

// The DS's sprite memory: 128 KiB mapped, a picture of 256 colours taking
// whole blocks of 128 bytes (the mapping's step).
constexpr std::size_t SpriteMemory = 128 * 1024;
constexpr std::size_t SpriteBlock = 128;
std::size_t SpritePictureBytes(int Width, int Height);

// The engine's tables only. Logs as counted errors (and goes on): an action
// argument that is not a whole number (used as 0), a level with more than
// LVK_MAX_INSTANCES live instances (the rest do not take part), an actor with
// more than LVK_MAX_COLLISION_HANDLERS OnCollision handlers (the rest never
// fire), a game too large for the engine's 16-bit indexes (then no actor
// is live, and the game plays as a viewer), and frames beyond the sprite
// memory (the actors whose frames do not fit, in actor order, are named and
// play without their animations, drawn with their tile).
TGameTables BuildBehaviourTables(const TGame& Game, TBuildLog& Log);

// The size of a level in the engine's tables: its own, at most the largest
// level; 0 (a level never sized) stands for one screen.
int TableColumns(const TLevel& Level);
int TableRows(const TLevel& Level);

// ---- The numbers generated.c is made of, shared with its writer ----

// An entry's components on the DS: each 8-bit component divided by 8.
std::array<int, 3> DsComponents(const TPalette& Palette, int Index);
// The same packed as RGB15 does: red in bits 0-4, green 5-9, blue 10-14.
std::uint16_t DsColor(const TPalette& Palette, int Index);
// A colour value (red in the low byte) as the DS's 5 bits a component.
std::uint16_t DsColor(std::uint32_t Color);

// A tile that the generator writes as its picture; any other is all zeros.
bool TileIs8x8(const TTile& Tile);

// The palette index that stands for each pixel: the nearest of entries 1 and
// up. Each colour is looked up once per mapper.
class TPixelMapper {
public:
  explicit TPixelMapper(const TPalette& Palette) : FPalette(Palette) {}
  // All zeros for a tile that is not 8x8, and for a palette without an entry
  // from 1 up. A pixel of the tile's transparent colour, or of alpha 0, is 0.
  // (A pixel of entry 0 is not drawn on the DS nor in the play window.)
  TTilePixels Map(const TTile& Tile);

private:
  int Nearest(std::uint32_t Color);

  const TPalette& FPalette;
  std::unordered_map<std::uint32_t, int> FKnown;
};

// The map value of each actor: its tile's number when that tile has a
// picture, else the tile count, which is also the value of an empty cell.
class TCellValues {
public:
  explicit TCellValues(const TGame& Game);
  int None() const { return FNone; }
  int Value(const TActor* Actor) const;
  // A tile's number when it has a picture, else None.
  int TileValue(const TTile* Tile) const;
  // A level's map, of the size of its engine table entry; cells beyond the
  // level's size hold None. A scenery actor
  // paints its resting frame over its block of cells, in cell order.
  TLevelMap Map(const TLevel& Level) const;

private:
  int FNone;
  std::unordered_map<const TActor*, int> FValues;
  std::unordered_map<const TTile*, int> FTiles;
};

}  // namespace lvk
