/* The web page's host of the engine, compiled with the engine's sources to
 * WebAssembly without a C library. It does what the play window does around
 * the engine: the game's tables in (a packed block, lvk_pack.h), the keys
 * and the pen per frame, both screens drawn as RGBA pixels, the upper
 * screen's console kept as the DS program prints it (lvk_host.h), and the
 * sounds mixed by the engine's mixer. The page's script only moves bytes
 * between it and the browser.
 *
 * All state is static; the page's blocks come from a bump allocator over
 * the module's memory, which the page never frees (it loads one game). */
#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>

#include "lvk_engine.h"
#include "lvk_font.h"
#include "lvk_host.h"
#include "lvk_mix.h"
#include "lvk_pack.h"

#define EXPORT(name) __attribute__((export_name(#name)))

/* ---- What the compiler may call without a C library ---- */

void *memcpy(void *to, const void *from, size_t count)
{
  unsigned char *t = to;
  const unsigned char *f = from;
  while (count--) *t++ = *f++;
  return to;
}

void *memmove(void *to, const void *from, size_t count)
{
  unsigned char *t = to;
  const unsigned char *f = from;
  if (t < f) return memcpy(to, from, count);
  while (count--) t[count] = f[count];
  return to;
}

void *memset(void *to, int value, size_t count)
{
  unsigned char *t = to;
  while (count--) *t++ = (unsigned char)value;
  return to;
}

int memcmp(const void *a, const void *b, size_t count)
{
  const unsigned char *x = a, *y = b;
  for (; count--; ++x, ++y)
    if (*x != *y) return *x < *y ? -1 : 1;
  return 0;
}

static size_t put_text(char *out, size_t size, size_t at, const char *text)
{
  for (; *text; ++text, ++at)
    if (at + 1 < size) out[at] = *text;
  return at;
}

int snprintf(char *out, size_t size, const char *format, ...)
{
  va_list args;
  size_t at = 0;
  char digits[12];
  va_start(args, format);
  for (; *format; ++format) {
    if (*format != '%' || !format[1]) {
      if (at + 1 < size) out[at] = *format;
      ++at;
      continue;
    }
    ++format;
    if (*format == 's') {
      const char *text = va_arg(args, const char *);
      at = put_text(out, size, at, text ? text : "");
    } else if (*format == 'd' || *format == 'u') {
      int negative = 0;
      uint32_t value;
      int n = (int)sizeof digits - 1;
      if (*format == 'd') {
        int32_t v = va_arg(args, int32_t);
        negative = v < 0;
        value = negative ? 0u - (uint32_t)v : (uint32_t)v;
      } else {
        value = va_arg(args, uint32_t);
      }
      digits[n] = 0;
      do digits[--n] = (char)('0' + value % 10); while ((value /= 10) != 0);
      if (negative) digits[--n] = '-';
      at = put_text(out, size, at, digits + n);
    } else {
      if (at + 1 < size) out[at] = *format;
      ++at;
    }
  }
  va_end(args);
  if (size) out[at < size ? at : size - 1] = 0;
  return (int)at;
}

/* ---- Memory for the page's blocks ---- */

extern unsigned char __heap_base;
static uintptr_t heap_top = (uintptr_t)&__heap_base;

/* Room for Size bytes, 8-byte aligned; 0 when the memory cannot grow. */
EXPORT(lvk_web_alloc) void *lvk_web_alloc(uint32_t size)
{
  const uintptr_t at = (heap_top + 7u) & ~(uintptr_t)7u;
  const uintptr_t end = at + size;
  const uintptr_t have = __builtin_wasm_memory_size(0) * 65536u;
  if (end < at) return 0;
  if (end > have && __builtin_wasm_memory_grow(0, (end - have + 65535u) / 65536u) == (size_t)-1) return 0;
  heap_top = end;
  return (void *)at;
}

/* ---- The game ---- */

#define GAP 4 /* rows of pixels between the two screens */
#define FRAME_HEIGHT (2 * LVK_SCREEN_HEIGHT + GAP)
#define MAX_SPRITE_TILES 512
#define MAP_TILE_MASK 1023u

static lvk_unpacked_t game;
static lvk_engine_t engine;
static lvk_instance_values_t values;
static lvk_mixer_t mixer;
static int audio_on;
static uint32_t colors[256];  /* RGBA as the canvas takes it: R in the lowest byte */
static uint8_t *sprite_tiles; /* per tile: the DS program loads it as a sprite */
/* The level playing: its map (width x height cells) and size. */
static uint16_t map[LVK_MAX_LEVEL_COLUMNS * LVK_MAX_LEVEL_ROWS];
static int map_width, map_height;
/* The colour behind the level being shown, as colors[] holds them. */
static uint32_t backdrop = 0xFF000000u;
static uint32_t frame[LVK_SCREEN_WIDTH * FRAME_HEIGHT];

/* The upper screen: what the DS's console shows. */
static lvk_host_screen_t upper;
static char cells[LVK_TEXT_ROWS][LVK_TEXT_COLUMNS];
static int cursor_row, cursor_column;
static int16_t mix_out[4096];

static uint32_t rgba(uint16_t color)
{
  const uint32_t r = color & 31u, g = (color >> 5) & 31u, b = (color >> 10) & 31u;
  return 0xFF000000u | ((b << 3) | (b >> 2)) << 16 | ((g << 3) | (g >> 2)) << 8 | ((r << 3) | (r >> 2));
}

static void console_clear(void)
{
  memset(cells, ' ', sizeof cells);
  cursor_row = cursor_column = 0;
}

static void console_new_row(void)
{
  cursor_column = 0;
  if (++cursor_row < LVK_TEXT_ROWS) return;
  cursor_row = LVK_TEXT_ROWS - 1;
  memmove(cells[0], cells[1], sizeof cells - sizeof cells[0]);
  memset(cells[LVK_TEXT_ROWS - 1], ' ', LVK_TEXT_COLUMNS);
}

/* The start text as the DS console prints it: new rows, a carriage return,
 * tabs to every third column, a wrap before a character past the last
 * column, the bottom row scrolling. Escapes are the host's, not the text's:
 * ESC and what follows up to a letter are passed by. */
static void console_write(const uint8_t *text, uint32_t length)
{
  uint32_t i;
  int escape = 0;
  for (i = 0; i < length; ++i) {
    const uint8_t c = text[i];
    if (escape) {
      if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (escape == 1 && c != '[')) escape = 0;
      else escape = 2;
      continue;
    }
    if (c == 0x1B) {
      escape = 1;
    } else if (c == '\n') {
      console_new_row();
    } else if (c == '\r') {
      cursor_column = 0;
    } else if (c == '\t') {
      cursor_column += 3 - cursor_column % 3;
      if (cursor_column > LVK_TEXT_COLUMNS) cursor_column = LVK_TEXT_COLUMNS;
    } else {
      if (cursor_column >= LVK_TEXT_COLUMNS) console_new_row();
      cells[cursor_row][cursor_column++] = (char)c;
    }
  }
}

/* After a step or a level start: the rows lvk_host.h says to print. */
static void show_text(void)
{
  int repaint = 0, row;
  char line[LVK_TEXT_COLUMNS + 1];
  const uint32_t rows = lvk_host_rows_to_print(&upper, &engine, &repaint);
  if (repaint) {
    console_clear();
    console_write(game.start_text.data, game.start_text.count);
  }
  for (row = 0; row < LVK_TEXT_ROWS; ++row)
    if (((rows >> row) & 1u) && lvk_host_row(&engine, row, line)) {
      memcpy(cells[row], line, LVK_TEXT_COLUMNS);
      cursor_row = row;
      cursor_column = LVK_TEXT_COLUMNS;
    }
}

static void draw_block(const uint8_t *pixels, int x, int y, uint32_t *out, unsigned flip)
{
  const int left = x < 0 ? -x : 0, right = LVK_SCREEN_WIDTH - x < 8 ? LVK_SCREEN_WIDTH - x : 8;
  const int top = y < 0 ? -y : 0, bottom = LVK_SCREEN_HEIGHT - y < 8 ? LVK_SCREEN_HEIGHT - y : 8;
  const int flip_x = (flip & 1u) ? 7 : 0, flip_y = (flip & 2u) ? 7 : 0;
  int r, c;
  for (r = top; r < bottom; ++r)
    for (c = left; c < right; ++c) {
      const uint8_t index = pixels[(r ^ flip_y) * 8 + (c ^ flip_x)];
      if (index) out[(y + r) * LVK_SCREEN_WIDTH + x + c] = colors[index];
    }
}

/* A new level: its map with the live actors' cells emptied (the level's
 * cells start after those of the levels before it), and its backdrop. */
static void level_shown(void)
{
  const int level = lvk_engine_level(&engine);
  const lvk_game_t *g = engine.game;
  uint32_t start = 0, cells, i;
  map_width = map_height = 0;
  backdrop = 0xFF000000u;
  if (level < 0 || level >= g->level_count) return;
  backdrop = rgba(g->levels[level].backdrop);
  for (i = 0; i < (uint32_t)level; ++i)
    start += (uint32_t)(g->levels[i].width ? g->levels[i].width : LVK_LEVEL_COLUMNS) *
             (g->levels[i].height ? g->levels[i].height : LVK_LEVEL_ROWS);
  map_width = g->levels[level].width ? g->levels[level].width : LVK_LEVEL_COLUMNS;
  map_height = g->levels[level].height ? g->levels[level].height : LVK_LEVEL_ROWS;
  cells = (uint32_t)map_width * (uint32_t)map_height;
  memcpy(map, game.backgrounds.data + start * 2u, cells * 2u);
  lvk_level_clear_live_cells(g, level, map);
}

static int32_t floor_cell(int32_t pixel) { return pixel >= 0 ? pixel / 8 : -((7 - pixel) / 8); }

/* The cells under the screen with the camera at world pixel (X, Y), drawn
 * over the level's backdrop; outside the level only backdrop. */
static void draw_background(uint32_t *out, int32_t x, int32_t y)
{
  int32_t row, column, i;
  for (i = 0; i < LVK_SCREEN_WIDTH * LVK_SCREEN_HEIGHT; ++i) out[i] = backdrop;
  for (row = floor_cell(y); row <= floor_cell(y + LVK_SCREEN_HEIGHT - 1); ++row)
    for (column = floor_cell(x); column <= floor_cell(x + LVK_SCREEN_WIDTH - 1); ++column) {
      unsigned value, number;
      if (row < 0 || row >= map_height || column < 0 || column >= map_width) continue;
      value = map[row * map_width + column];
      number = value & MAP_TILE_MASK;
      if (number < game.tiles.count)
        draw_block(game.tiles.data + number * 64u, column * 8 - x, row * 8 - y, out, (value >> 10) & 3u);
    }
}

static void play_sound(int number, int music)
{
  lvk_sound_t sound;
  if (!lvk_unpacked_sound(&game, number, &sound)) {
    if (music) lvk_mix_music(&mixer, 0, 0, 0);
    return;
  }
  if (music)
    lvk_mix_music(&mixer, sound.data, sound.length, 127);
  else
    lvk_mix_play(&mixer, sound.data, sound.length, 127);
}

/* The sounds the last step or level start asked for; with a new level its
 * music from the start. Nothing while the page may not sound. */
static void start_sounds(void)
{
  const uint16_t *sounds = 0;
  int count = lvk_engine_sounds(&engine, &sounds), i;
  if (!audio_on) return;
  if (lvk_engine_level_changed(&engine)) play_sound(lvk_engine_music(&engine), 1);
  for (i = 0; i < count; ++i) play_sound(sounds[i], 0);
}

/* ---- Saved data ----
 * The page keeps the store in the browser's localStorage; the module keeps
 * a copy the engine reads and writes. The page fills it before the game
 * loads and takes it whenever a step wrote it. */
static uint8_t store_bytes[LVK_SAVE_STORE_SIZE];
static long store_length;   /* what the page gave, 0: nothing saved */
static int store_written;   /* the engine wrote it since the page last took it */
static lvk_save_room_t save_room;

static long store_read(void *context, uint8_t *bytes, uint32_t size)
{
  long i;
  (void)context;
  for (i = 0; i < store_length && i < (long)size && i < LVK_SAVE_STORE_SIZE; ++i) bytes[i] = store_bytes[i];
  return store_length;
}

static int store_write(void *context, const uint8_t *bytes, uint32_t size)
{
  uint32_t i;
  (void)context;
  if (size != LVK_SAVE_STORE_SIZE) return 0;
  for (i = 0; i < size; ++i) store_bytes[i] = bytes[i];
  store_length = (long)size;
  store_written = 1;
  return 1;
}

/* The store's room for the page to fill (LVK_SAVE_STORE_SIZE bytes) before
 * lvk_web_load, with its length: the length as the page found it (another
 * length is refused as of a wrong size, never read past the room). */
EXPORT(lvk_web_store) uint8_t *lvk_web_store(void) { return store_bytes; }
EXPORT(lvk_web_store_set_length) void lvk_web_store_set_length(uint32_t length) { store_length = (long)length; }
/* 1 once after each step that wrote the store: the page keeps it then. */
EXPORT(lvk_web_store_taken) int lvk_web_store_taken(void)
{
  const int written = store_written;
  store_written = 0;
  return written;
}
/* What the page tells of the store the game found, or 0: one refused
 * (damaged, of a wrong size, another game's) counts as none. */
EXPORT(lvk_web_store_note) const char *lvk_web_store_note(void)
{
  if (!engine.game || store_length == 0) return 0;
  return lvk_host_save_note(lvk_save_read(store_bytes, (size_t)store_length, engine.game->saving.game_key, &save_room.save));
}
/* Place Place's score in the kept table, or -2147483648 for none. */
EXPORT(lvk_web_high_score) int32_t lvk_web_high_score(int place)
{
  lvk_save_t *save = &save_room.save;
  if (!engine.game || store_length != LVK_SAVE_STORE_SIZE ||
      lvk_save_read(store_bytes, LVK_SAVE_STORE_SIZE, engine.game->saving.game_key, save) != LVK_SAVE_OK ||
      place < 0 || place >= save->score_count)
    return INT32_MIN;
  return save->scores[place].score;
}

/* Reads the game from the Size bytes at Data (from lvk_web_alloc) and starts
 * its first level. LVK_UNPACK_OK, or why the game cannot be played. */
EXPORT(lvk_web_load) int lvk_web_load(const uint8_t *data, uint32_t size)
{
  uint32_t i, cursor = 0;
  int tile, loaded = 0;
  const int result = lvk_unpack(data, size, &game);
  lvk_mix_init(&mixer, mixer.rate);
  for (i = 0; i < 256; ++i) colors[i] = 0xFF000000u;
  for (i = 0; i < game.palette.count && i < 256; ++i) colors[i] = rgba((uint16_t)(game.palette.data[2 * i] | game.palette.data[2 * i + 1] << 8));
  /* The sprite pictures, as the DS program loads them. */
  sprite_tiles = lvk_web_alloc(game.tiles.count + 1);
  if (!sprite_tiles) return LVK_UNPACK_TRUNCATED;
  memset(sprite_tiles, 0, game.tiles.count + 1);
  while ((tile = lvk_game_sprite_tile(&game.game, &cursor)) >= 0) {
    if ((uint32_t)tile >= game.tiles.count || (unsigned)tile > MAP_TILE_MASK) continue;
    if (sprite_tiles[tile] || loaded == MAX_SPRITE_TILES) continue;
    sprite_tiles[tile] = 1;
    ++loaded;
  }
  lvk_engine_init(&engine, result == LVK_UNPACK_OK ? &game.game : 0);
  lvk_engine_set_instance_values(&engine, &values);
  {
    lvk_store_t store;
    store.read = store_read;
    store.write = store_write;
    store.context = 0;
    lvk_engine_set_store(&engine, &store, &save_room);
  }
  lvk_host_screen_init(&upper);
  if (engine.game && engine.game->level_count > 0) lvk_engine_start_level(&engine, 0);
  start_sounds();
  if (engine.game) level_shown();
  show_text();
  return result;
}

/* One frame with Keys (LVK_KEY_...) held and the pen at (X, Y). */
EXPORT(lvk_web_step) void lvk_web_step(uint32_t keys, int32_t x, int32_t y)
{
  lvk_input_t input;
  if (!engine.game) return;
  input.keys = (uint16_t)(keys & lvk_host_key_mask());
  input.touch_x = (int16_t)(x < 0 ? 0 : x >= LVK_SCREEN_WIDTH ? LVK_SCREEN_WIDTH - 1 : x);
  input.touch_y = (int16_t)(y < 0 ? 0 : y >= LVK_SCREEN_HEIGHT ? LVK_SCREEN_HEIGHT - 1 : y);
  lvk_engine_step(&engine, &input);
  start_sounds();
  if (lvk_engine_level_changed(&engine)) level_shown();
  show_text();
}

/* Both screens, 256 pixels wide, RGBA: the upper one, GAP black rows, the
 * lower one. */
EXPORT(lvk_web_draw) const uint32_t *lvk_web_draw(void)
{
  uint32_t *lower = frame + LVK_SCREEN_WIDTH * (LVK_SCREEN_HEIGHT + GAP);
  int row, column, r, c, slot;
  for (row = 0; row < LVK_TEXT_ROWS; ++row)
    for (column = 0; column < LVK_TEXT_COLUMNS; ++column) {
      const unsigned char ch = (unsigned char)cells[row][column];
      const uint8_t *glyph = ch >= LVK_FONT_FIRST && ch <= LVK_FONT_LAST ? lvk_font_glyphs[ch - LVK_FONT_FIRST] : 0;
      for (r = 0; r < 8; ++r)
        for (c = 0; c < 8; ++c)
          frame[(row * 8 + r) * LVK_SCREEN_WIDTH + column * 8 + c] =
              glyph && (glyph[r] & (0x80 >> c)) ? 0xFFFFFFFFu : 0xFF000000u;
    }
  for (r = LVK_SCREEN_HEIGHT * LVK_SCREEN_WIDTH; r < (LVK_SCREEN_HEIGHT + GAP) * LVK_SCREEN_WIDTH; ++r)
    frame[r] = 0xFF282828u;
  if (!engine.game) {
    for (r = 0; r < LVK_SCREEN_WIDTH * LVK_SCREEN_HEIGHT; ++r) lower[r] = 0xFF000000u;
    return frame;
  }
  {
    int32_t x, y;
    lvk_engine_camera(&engine, &x, &y);
    draw_background(lower, x, y);
  }
  /* The DS puts the lowest sprite number in front. */
  for (slot = lvk_engine_instance_count(&engine) - 1; slot >= 0; --slot) {
    lvk_sprite_t s;
    if (!lvk_engine_sprite(&engine, slot, &s) || !s.alive || !s.visible) continue;
    if (s.frame != LVK_NONE) {
      /* A frame: its tiles in the box, the columns swapped when mirrored. */
      const int columns = s.width / 8, rows = s.height / 8;
      const uint16_t *cells = engine.game->frame_tiles + engine.game->frames[s.frame];
      for (r = 0; r < rows; ++r)
        for (c = 0; c < columns; ++c) {
          const unsigned tile = cells[r * columns + c];
          const int at = s.mirrored ? columns - 1 - c : c;
          if (tile < game.tiles.count)
            draw_block(game.tiles.data + tile * 64u, s.screen_x + at * 8, s.screen_y + r * 8, lower, s.mirrored ? 1u : 0u);
        }
      continue;
    }
    if (s.tile >= game.tiles.count || !sprite_tiles[s.tile]) continue;
    draw_block(game.tiles.data + s.tile * 64u, s.screen_x, s.screen_y, lower, s.mirrored ? 1u : 0u);
  }
  return frame;
}

EXPORT(lvk_web_frame_height) int lvk_web_frame_height(void) { return FRAME_HEIGHT; }

/* ---- Sound ---- */

/* The page may sound from now on (On 1: its level's music starts), or not. */
EXPORT(lvk_web_audio) void lvk_web_audio(int on, uint32_t rate)
{
  if (rate != mixer.rate) lvk_mix_init(&mixer, rate);
  lvk_mix_stop_all(&mixer);
  audio_on = on;
  if (on && engine.game) play_sound(lvk_engine_music(&engine), 1);
}

/* The next Frames output samples (at most 4096), signed 16-bit mono. */
EXPORT(lvk_web_mix) const int16_t *lvk_web_mix(uint32_t frames)
{
  lvk_mix_render(&mixer, mix_out, frames > 4096u ? 4096u : frames);
  return mix_out;
}

/* ---- The keys, and what tests read ---- */

EXPORT(lvk_web_key_count) int lvk_web_key_count(void) { return LVK_HOST_KEY_COUNT; }
EXPORT(lvk_web_key_bit) int lvk_web_key_bit(int i) { return i >= 0 && i < LVK_HOST_KEY_COUNT ? lvk_host_keys[i].bit : 0; }
EXPORT(lvk_web_key_name) const char *lvk_web_key_name(int i)
{
  return i >= 0 && i < LVK_HOST_KEY_COUNT ? lvk_host_keys[i].keyboard : "";
}
EXPORT(lvk_web_key_ds_name) const char *lvk_web_key_ds_name(int i)
{
  return i >= 0 && i < LVK_HOST_KEY_COUNT ? lvk_host_keys[i].name : "";
}
EXPORT(lvk_web_touch_bit) int lvk_web_touch_bit(void) { return LVK_KEY_TOUCH; }

EXPORT(lvk_web_level) int lvk_web_level(void) { return lvk_engine_level(&engine); }
EXPORT(lvk_web_level_count) int lvk_web_level_count(void) { return engine.game ? engine.game->level_count : 0; }
EXPORT(lvk_web_frame) uint32_t lvk_web_frame(void) { return lvk_engine_frame(&engine); }
EXPORT(lvk_web_instance_count) int lvk_web_instance_count(void) { return lvk_engine_instance_count(&engine); }
/* An instance's position in 1/16 pixel and whether it lives. */
EXPORT(lvk_web_instance_x) int32_t lvk_web_instance_x(int slot)
{
  return slot >= 0 && slot < engine.instance_count ? engine.instances[slot].x : 0;
}
EXPORT(lvk_web_instance_y) int32_t lvk_web_instance_y(int slot)
{
  return slot >= 0 && slot < engine.instance_count ? engine.instances[slot].y : 0;
}
EXPORT(lvk_web_instance_alive) int lvk_web_instance_alive(int slot)
{
  return slot >= 0 && slot < engine.instance_count ? engine.instances[slot].alive : 0;
}
EXPORT(lvk_web_variable_count) int lvk_web_variable_count(void) { return engine.game ? engine.game->variable_count : 0; }
EXPORT(lvk_web_variable_scope) int lvk_web_variable_scope(int variable)
{
  return engine.game && variable >= 0 && variable < engine.game->variable_count ? engine.game->variables[variable].scope : 0;
}
EXPORT(lvk_web_variable) int32_t lvk_web_variable(int variable, int slot) { return lvk_engine_variable(&engine, variable, slot); }
/* The upper screen's row Row as shown: LVK_TEXT_COLUMNS bytes. */
EXPORT(lvk_web_text_row) const char *lvk_web_text_row(int row) { return cells[row < 0 || row >= LVK_TEXT_ROWS ? 0 : row]; }
