#include "ui/play/UPlayRender.h"

#include <algorithm>

#include "generator/UGameTables.h"
#include "ui/play/UPlayConsole.h"

namespace lvk {

namespace {

constexpr int Tile = LVK_TILE_SIZE;
constexpr std::uint32_t Black = 0xFF000000u;
constexpr std::uint32_t White = 0xFFFFFFFFu;

// Draws an 8x8 block of palette indices at (X, Y), index 0 left as it was,
// clipped to the screen; Flip bit 0 mirrors it left to right, bit 1 top to
// bottom.
void DrawBlock(const TPlayVideo& Video, const std::uint8_t* Pixels, int X, int Y, std::uint32_t* Out,
               unsigned Flip = 0) {
  const int Left = std::max(0, -X), Right = std::min(Tile, ScreenWidth - X);
  const int Top = std::max(0, -Y), Bottom = std::min(Tile, ScreenHeight - Y);
  const int FlipX = (Flip & 1) ? Tile - 1 : 0, FlipY = (Flip & 2) ? Tile - 1 : 0;
  for (int r = Top; r < Bottom; ++r) {
    const std::uint8_t* Row = Pixels + (r ^ FlipY) * Tile;
    std::uint32_t* Dest = Out + (Y + r) * ScreenWidth + X;
    for (int c = Left; c < Right; ++c) {
      const std::uint8_t Index = Row[c ^ FlipX];
      if (Index != 0) Dest[c] = Video.Colors[Index];
    }
  }
}

}  // namespace

std::uint32_t DsColorToRgb(std::uint16_t Color) {
  auto Widen = [](unsigned V) { return (V << 3) | (V >> 2); };
  return Black | Widen((Color >> 0) & 31) << 16 | Widen((Color >> 5) & 31) << 8 | Widen((Color >> 10) & 31);
}

TPlayVideo MakePlayVideo(const TGameTables& Tables) {
  TPlayVideo Video;
  Video.Colors.fill(Black);
  const std::size_t Count = std::min<std::size_t>(Tables.Palette.size(), Video.Colors.size());
  for (std::size_t i = 0; i < Count; ++i) Video.Colors[i] = DsColorToRgb(Tables.Palette[i]);
  Video.Tiles.reserve(Tables.Tiles.size() * Tile * Tile);
  for (const TTilePixels& Pixels : Tables.Tiles) Video.Tiles.insert(Video.Tiles.end(), Pixels.begin(), Pixels.end());
  Video.TileCount = static_cast<int>(Tables.Tiles.size());
  Video.SpriteTiles.assign(Tables.Tiles.size(), false);
  // In the order the DS program loads them, as far as sprite memory goes.
  const lvk_game_t Game = Tables.Game();
  std::uint32_t Cursor = 0;
  int Loaded = 0;
  for (int Tile; (Tile = lvk_game_sprite_tile(&Game, &Cursor)) >= 0;) {
    if (Tile >= Video.TileCount || Tile > static_cast<int>(MapTileMask)) continue;
    if (Video.SpriteTiles[Tile] || Loaded == MaxSpriteTiles) continue;
    Video.SpriteTiles[Tile] = true;
    ++Loaded;
  }
  return Video;
}

void DrawLevelScreen(const TPlayVideo& Video, const std::uint16_t* Map, const lvk_engine_t& Engine, std::uint32_t* Out) {
  DrawBackground(Video, Map, LVK_LEVEL_COLUMNS, LVK_LEVEL_ROWS, 0, 0, LevelBackdrop(Engine), Out);
  DrawSprites(Video, Engine, Out);
}

std::uint32_t LevelBackdrop(const lvk_engine_t& Engine) {
  const int Level = lvk_engine_level(&Engine);
  if (!Engine.game || Level < 0 || Level >= Engine.game->level_count) return DsColorToRgb(0);
  return DsColorToRgb(Engine.game->levels[Level].backdrop);
}

void DrawBackground(const TPlayVideo& Video, const std::uint16_t* Map, int Width, int Height, int CameraX, int CameraY,
                    std::uint32_t Backdrop, std::uint32_t* Out) {
  std::fill(Out, Out + ScreenPixels, Backdrop);
  // Only the cells the screen shows, part cells at its edges included.
  auto FloorCell = [](int Pixel) { return Pixel >= 0 ? Pixel / Tile : -((Tile - 1 - Pixel) / Tile); };
  const int C0 = std::max(0, FloorCell(CameraX)), R0 = std::max(0, FloorCell(CameraY));
  const int C1 = std::min(Width - 1, FloorCell(CameraX + ScreenWidth - 1));
  const int R1 = std::min(Height - 1, FloorCell(CameraY + ScreenHeight - 1));
  for (int Row = R0; Row <= R1; ++Row)
    for (int Column = C0; Column <= C1; ++Column) {
      const unsigned Entry = Map[static_cast<std::size_t>(Row) * Width + Column];
      const unsigned Number = Entry & MapTileMask;
      if (Number < static_cast<unsigned>(Video.TileCount))
        DrawBlock(Video, &Video.Tiles[Number * Tile * Tile], Column * Tile - CameraX, Row * Tile - CameraY, Out,
                  (Entry >> 10) & 3);
    }
}

void DrawSprites(const TPlayVideo& Video, const lvk_engine_t& Engine, std::uint32_t* Out) {
  // The DS puts the lowest sprite number in front.
  for (int Slot = lvk_engine_instance_count(&Engine) - 1; Slot >= 0; --Slot) {
    lvk_sprite_t Sprite;
    if (!lvk_engine_sprite(&Engine, Slot, &Sprite) || !Sprite.alive) continue;
    const unsigned Flip = Sprite.mirrored ? 1 : 0;
    if (Sprite.frame != LVK_NONE) {
      // A frame: its tiles in the box, the columns swapped when mirrored.
      if (!Sprite.visible) continue;
      const int Columns = Sprite.width / Tile, Rows = Sprite.height / Tile;
      const std::uint16_t* Cells = Engine.game->frame_tiles + Engine.game->frames[Sprite.frame];
      for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Columns; ++c) {
          const unsigned Number = Cells[r * Columns + c];
          if (Number >= static_cast<unsigned>(Video.TileCount)) continue;
          const int At = Flip ? Columns - 1 - c : c;
          DrawBlock(Video, &Video.Tiles[Number * Tile * Tile], Sprite.screen_x + At * Tile, Sprite.screen_y + r * Tile, Out,
                    Flip);
        }
      continue;
    }
    if (Sprite.tile >= Video.TileCount || !Video.SpriteTiles[Sprite.tile]) continue;
    if (!Sprite.visible) continue;
    DrawBlock(Video, &Video.Tiles[Sprite.tile * Tile * Tile], Sprite.screen_x, Sprite.screen_y, Out, Flip);
  }
}

void DrawConsoleScreen(const TPlayConsole& Console, std::uint32_t* Out) {
  std::fill(Out, Out + ScreenPixels, Black);
  for (int Row = 0; Row < TPlayConsole::Rows; ++Row)
    for (int Column = 0; Column < TPlayConsole::Columns; ++Column) {
      const std::uint8_t* Glyph = ConsoleGlyph(Console.At(Column, Row));
      if (!Glyph) continue;
      for (int r = 0; r < Tile; ++r) {
        std::uint32_t* Dest = Out + (Row * Tile + r) * ScreenWidth + Column * Tile;
        for (int c = 0; c < Tile; ++c)
          if (Glyph[r] & (0x80 >> c)) Dest[c] = White;
      }
    }
}

}  // namespace lvk
