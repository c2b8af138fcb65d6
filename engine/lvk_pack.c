/* Finds a game's tables in a packed block; see lvk_pack.h. */
#include "lvk_pack.h"

/* The entry sizes lvk_pack.h states: the page's engine (WebAssembly) and the
 * editor that packs its tables compile this file, so a struct laid out
 * otherwise on either stops both builds here instead of being refused by
 * every page (LVK_UNPACK_LAYOUT). A changed entry changes its line. */
#define LVK_PACK_SIZE(type, bytes) typedef char lvk_pack_size_##type[sizeof(type) == (bytes) ? 1 : -1];
LVK_PACK_SIZE(lvk_actor_t, 14)
LVK_PACK_SIZE(lvk_handler_t, 16)
LVK_PACK_SIZE(lvk_action_t, 40)
LVK_PACK_SIZE(lvk_level_t, 20)
LVK_PACK_SIZE(lvk_spawn_t, 4)
LVK_PACK_SIZE(lvk_variable_t, 12)
LVK_PACK_SIZE(lvk_text_t, 4)
LVK_PACK_SIZE(lvk_segment_t, 8)
LVK_PACK_SIZE(lvk_animation_t, 6)
LVK_PACK_SIZE(lvk_saving_t, 12)
#undef LVK_PACK_SIZE

#define HEADER_BYTES 12u
#define SECTION_HEADER_BYTES 12u

static uint32_t read_u32(const uint8_t *at)
{
  return (uint32_t)at[0] | (uint32_t)at[1] << 8 | (uint32_t)at[2] << 16 | (uint32_t)at[3] << 24;
}

static void clear_section(lvk_pack_section_t *section)
{
  section->data = 0;
  section->size = 0;
  section->count = 0;
}

/* Walks the sections: 1 with *Section set when Tag is met (Tag 0: never),
 * else 0; *Error says whether the walk met a fault first. */
static int walk(const uint8_t *data, uint32_t size, uint32_t tag, lvk_pack_section_t *section, int *error)
{
  uint32_t at = HEADER_BYTES, count, i;
  clear_section(section);
  *error = LVK_UNPACK_NOT_A_GAME;
  if (!data || size < HEADER_BYTES || ((uintptr_t)data & 3u) != 0) return 0;
  if (read_u32(data) != LVK_PACK_TAG('L', 'V', 'K', 'P') || read_u32(data + 4) != LVK_PACK_VERSION) return 0;
  *error = LVK_UNPACK_TRUNCATED;
  count = read_u32(data + 8);
  for (i = 0; i < count; ++i) {
    uint32_t element, elements, bytes;
    if (size - at < SECTION_HEADER_BYTES) return 0;
    element = read_u32(data + at + 4);
    elements = read_u32(data + at + 8);
    if (element != 0 && elements > (size - at - SECTION_HEADER_BYTES) / element) return 0;
    bytes = element * elements;
    if (read_u32(data + at) == tag) {
      section->data = data + at + SECTION_HEADER_BYTES;
      section->size = element;
      section->count = elements;
      *error = LVK_UNPACK_OK;
      return 1;
    }
    bytes = (bytes + 3u) & ~3u;
    if (bytes > size - at - SECTION_HEADER_BYTES) return 0;
    at += SECTION_HEADER_BYTES + bytes;
  }
  *error = LVK_UNPACK_OK;
  return 0;
}

int lvk_pack_find(const uint8_t *data, uint32_t size, uint32_t tag, lvk_pack_section_t *section)
{
  int error;
  return walk(data, size, tag, section, &error);
}

/* Section Tag as a table of Element-sized entries into *Table and *Count
 * (16-bit counts, as lvk_game_t keeps them); 0 when the entries are not
 * this engine's size or too many. */
static int table16(const uint8_t *data, uint32_t size, uint32_t tag, uint32_t element, const void **table,
                   uint16_t *count)
{
  lvk_pack_section_t s;
  lvk_pack_find(data, size, tag, &s);
  *table = s.data;
  *count = 0;
  if (s.count == 0) return 1;
  if (s.size != element || s.count > 0xFFFFu) return 0;
  *count = (uint16_t)s.count;
  return 1;
}

static int element_section(const uint8_t *data, uint32_t size, uint32_t tag, uint32_t element,
                           lvk_pack_section_t *section)
{
  lvk_pack_find(data, size, tag, section);
  return section->count == 0 || section->size == element;
}

/* A refused block leaves an empty game behind, every byte 0 (padding too:
 * a test compares the description with the editor's byte for byte). */
static int lvk_unpack_fail(lvk_unpacked_t *out, int error)
{
  unsigned char *clear = (unsigned char *)out;
  uint32_t i;
  for (i = 0; i < sizeof *out; ++i) clear[i] = 0;
  return error;
}

/* The cells of all levels' maps (a size of 0 stands for one screen); 0 for
 * a level larger than the engine takes. */
static int level_cells(const lvk_game_t *game, uint32_t *cells)
{
  uint32_t i;
  *cells = 0;
  for (i = 0; i < game->level_count; ++i) {
    const uint32_t w = game->levels[i].width ? game->levels[i].width : LVK_LEVEL_COLUMNS;
    const uint32_t h = game->levels[i].height ? game->levels[i].height : LVK_LEVEL_ROWS;
    if (w > LVK_MAX_LEVEL_COLUMNS || h > LVK_MAX_LEVEL_ROWS) return 0;
    *cells += w * h; /* at most 65,535 levels of 65,536 cells: fits */
  }
  return 1;
}

int lvk_unpack(const uint8_t *data, uint32_t size, lvk_unpacked_t *out)
{
  lvk_pack_section_t s;
  const void *table;
  uint16_t count;
  uint32_t i, samples = 0, cells = 0;
  int error, ok = 1;
  lvk_game_t *game = &out->game;

  lvk_unpack_fail(out, LVK_UNPACK_OK);
  walk(data, size, 0, &s, &error);
  if (error != LVK_UNPACK_OK) return error;

#define LVK_TABLE(tag, type, field, counter)                                               \
  ok = table16(data, size, tag, (uint32_t)sizeof(type), &table, &count) && ok;             \
  game->field = (const type *)table;                                                       \
  game->counter = count;
  LVK_TABLE(LVK_PACK_TAG('A', 'C', 'T', 'R'), lvk_actor_t, actors, actor_count)
  LVK_TABLE(LVK_PACK_TAG('H', 'N', 'D', 'L'), lvk_handler_t, handlers, handler_count)
  LVK_TABLE(LVK_PACK_TAG('A', 'C', 'T', 'N'), lvk_action_t, actions, action_count)
  LVK_TABLE(LVK_PACK_TAG('L', 'E', 'V', 'L'), lvk_level_t, levels, level_count)
  LVK_TABLE(LVK_PACK_TAG('S', 'P', 'W', 'N'), lvk_spawn_t, spawns, spawn_count)
  LVK_TABLE(LVK_PACK_TAG('V', 'A', 'R', 'S'), lvk_variable_t, variables, variable_count)
  LVK_TABLE(LVK_PACK_TAG('T', 'E', 'X', 'T'), lvk_text_t, texts, text_count)
  LVK_TABLE(LVK_PACK_TAG('S', 'E', 'G', 'M'), lvk_segment_t, segments, segment_count)
  LVK_TABLE(LVK_PACK_TAG('A', 'N', 'I', 'M'), lvk_animation_t, animations, animation_count)
  LVK_TABLE(LVK_PACK_TAG('F', 'R', 'M', 'S'), uint32_t, frames, frame_count)
#undef LVK_TABLE
  if (!ok) return lvk_unpack_fail(out, LVK_UNPACK_LAYOUT);

  if (!level_cells(game, &cells)) return lvk_unpack_fail(out, LVK_UNPACK_INCONSISTENT);
  if (!element_section(data, size, LVK_PACK_TAG('S', 'C', 'E', 'N'), 2, &s) || s.count != cells)
    return lvk_unpack_fail(out, LVK_UNPACK_INCONSISTENT);
  game->scenery = (const uint16_t *)s.data;
  game->scenery_count = s.count;
  if (!element_section(data, size, LVK_PACK_TAG('C', 'H', 'R', 'S'), 1, &s))
    return lvk_unpack_fail(out, LVK_UNPACK_INCONSISTENT);
  game->chars = (const char *)s.data;
  game->char_count = s.count;
  if (!element_section(data, size, LVK_PACK_TAG('F', 'R', 'T', 'L'), 2, &s))
    return lvk_unpack_fail(out, LVK_UNPACK_INCONSISTENT);
  game->frame_tiles = (const uint16_t *)s.data;
  game->frame_tile_count = s.count;
  if (!lvk_pack_find(data, size, LVK_PACK_TAG('G', 'A', 'M', 'E'), &s) || s.size != 4 || s.count < 2 ||
      read_u32(s.data) > 0xFFFFu || read_u32(s.data + 4) > 0xFFFFu)
    return lvk_unpack_fail(out, LVK_UNPACK_INCONSISTENT);
  game->tile_count = (uint16_t)read_u32(s.data);
  game->sound_count = (uint16_t)read_u32(s.data + 4);
  /* Saved data: without it a game saves under key 0 and keeps no table. */
  if (lvk_pack_find(data, size, LVK_PACK_TAG('S', 'A', 'V', 'E'), &s)) {
    if (s.size != sizeof(lvk_saving_t) || s.count != 1) return lvk_unpack_fail(out, LVK_UNPACK_LAYOUT);
    game->saving = *(const lvk_saving_t *)s.data;
  }

  /* The sounds: one length each, samples for all, each 4-byte aligned. */
  if (!element_section(data, size, LVK_PACK_TAG('S', 'N', 'D', 'L'), 4, &out->sound_lengths) ||
      !element_section(data, size, LVK_PACK_TAG('S', 'N', 'D', 'S'), 1, &out->samples) ||
      out->sound_lengths.count != game->sound_count)
    return lvk_unpack_fail(out, LVK_UNPACK_INCONSISTENT);
  for (i = 0; i < out->sound_lengths.count; ++i) {
    uint32_t length = read_u32(out->sound_lengths.data + 4 * i);
    if ((length & 3u) != 0 || length > out->samples.count - samples)
      return lvk_unpack_fail(out, LVK_UNPACK_INCONSISTENT);
    samples += length;
  }

  /* What the screens show: the palette, the tiles, a map per level. */
  if (!element_section(data, size, LVK_PACK_TAG('P', 'A', 'L', 'T'), 2, &out->palette) ||
      !element_section(data, size, LVK_PACK_TAG('T', 'I', 'L', 'E'), 64, &out->tiles) ||
      !element_section(data, size, LVK_PACK_TAG('B', 'G', 'N', 'D'), 2, &out->backgrounds) ||
      !element_section(data, size, LVK_PACK_TAG('S', 'T', 'R', 'T'), 1, &out->start_text) ||
      out->backgrounds.count != cells)
    return lvk_unpack_fail(out, LVK_UNPACK_INCONSISTENT);

  if (!lvk_game_check(game)) return lvk_unpack_fail(out, LVK_UNPACK_INCONSISTENT);
  return LVK_UNPACK_OK;
}

int lvk_unpacked_sound(const lvk_unpacked_t *game, int index, lvk_sound_t *sound)
{
  uint32_t at = 0;
  int i;
  if (index < 0 || (uint32_t)index >= game->sound_lengths.count) return 0;
  for (i = 0; i < index; ++i) at += read_u32(game->sound_lengths.data + 4 * i);
  sound->data = (const int8_t *)(game->samples.data + at);
  sound->length = read_u32(game->sound_lengths.data + 4 * index);
  return 1;
}
