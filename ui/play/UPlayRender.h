#pragma once
// The frame drawing of the play window, without a window: the game's video
// data and the engine's state in, the DS's two screens out as RGB pixels,
// drawn as the DS draws them. No Qt, so tests and benchmarks call it alone.
#include <array>
#include <cstdint>
#include <vector>

#include "engine/lvk_engine.h"

namespace lvk {

class TPlayConsole;
struct TGameTables;

constexpr int ScreenWidth = LVK_SCREEN_WIDTH;
constexpr int ScreenHeight = LVK_SCREEN_HEIGHT;
constexpr int ScreenPixels = ScreenWidth * ScreenHeight;

// A DS colour (5 bits each of red, green, blue from bit 0 up) as the screen
// shows it, 0xFFRRGGBB: each component's 5 bits widened to 8 by repeating
// their top bits.
std::uint32_t DsColorToRgb(std::uint16_t Color);

// What the DS program copies to video memory for a game: the palette and the
// tiles' pixels. The host's own copy, so drawing never reads the document.
struct TPlayVideo {
  // Per palette index; entries past the game's palette are black, as the
  // DS's cleared palette memory is.
  std::array<std::uint32_t, 256> Colors{};
  // 64 palette indices per tile, row by row.
  std::vector<std::uint8_t> Tiles;
  int TileCount = 0;
  // Per tile: the DS program has a sprite picture of it. It loads the tiles
  // instances may be drawn with (lvk_game_sprite_tile), as many as sprite
  // memory holds.
  std::vector<bool> SpriteTiles;
};

// A map entry's tile number (10 bits); bits 10 and 11 flip it.
constexpr unsigned MapTileMask = 1023;
// The most sprite pictures the DS program loads (32 KiB of 64-byte pictures).
constexpr int MaxSpriteTiles = 512;

// From the palette, tile pixels and behaviour of the game's tables (at most
// 256 colours are used).
TPlayVideo MakePlayVideo(const TGameTables& Tables);

// The lower screen: the level's backdrop colour, a 32x24 map
// over it (a tile number past the last tile is transparent, as the DS's
// cleared video memory is; index 0 is transparent), then every live
// instance as a sprite: its frame at its size, or its tile as an 8x8 one,
// mirrored when the engine says so (index 0 transparent; the lowest slot in
// front; one not wholly off the screen is clipped, as the DS program hides
// the others). Out holds ScreenPixels values, row by row.
void DrawLevelScreen(const TPlayVideo& Video, const std::uint16_t* Map, const lvk_engine_t& Engine, std::uint32_t* Out);
// Its two layers: the backdrop and the map, which change only with the level
// and the camera, and the sprites over them, each where the engine's camera
// puts it. The map of a level of any size (Width x Height tile numbers),
// seen from the camera (CameraX, CameraY), the world pixel at the screen's
// top left, over Backdrop (0xFFRRGGBB), which also fills what lies beyond
// the level's edges.
void DrawBackground(const TPlayVideo& Video, const std::uint16_t* Map, int Width, int Height, int CameraX, int CameraY,
                    std::uint32_t Backdrop, std::uint32_t* Out);
// The backdrop of the level the engine plays, as the screen shows it; black
// before a level starts, as the DS's cleared palette is.
std::uint32_t LevelBackdrop(const lvk_engine_t& Engine);
void DrawSprites(const TPlayVideo& Video, const lvk_engine_t& Engine, std::uint32_t* Out);

// The upper screen: the console's characters, white on black.
void DrawConsoleScreen(const TPlayConsole& Console, std::uint32_t* Out);

}  // namespace lvk
