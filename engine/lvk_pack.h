/* A game's tables as one block of bytes, for a host that receives them as
 * data instead of compiling them in (the web page). The editor packs what
 * its play window plays (generator/UWebExport); this side finds the tables
 * in the block again without copying them.
 *
 * The block, little-endian: "LVKP", a u32 version (LVK_PACK_VERSION), a u32
 * section count, then the sections. A section: a u32 tag (four characters,
 * the first in the lowest byte), a u32 element size, a u32 element count,
 * then size * count bytes, padded with zeros to a multiple of 4. The engine's
 * table entries are stored as the host's C structs, element for element: a
 * field added to one travels with it, and an entry whose size is not the
 * reader's own makes the block unreadable instead of misread.
 *
 * Sections, each at most once (a missing one is empty):
 *   ACTR HNDL ACTN LEVL SPWN VARS TEXT SEGM  lvk_actor_t ... lvk_segment_t,
 *        of 14, 16, 40, 20, 4, 12, 4 and 8 bytes (an action: kind, relative,
 *        ref, six variables, six numbers)
 *   SCEN  u16: the scenery, width x height cells per level
 *   CHRS  bytes: the texts' characters
 *   ANIM  lvk_animation_t (6 bytes): the actors' animations
 *   FRMS  u32: each frame's first entry in FRTL
 *   FRTL  u16: the frames' tiles, row by row, LVK_NONE where none
 *   GAME  u32 x 2: the tile count, the sound count
 *   SAVE  lvk_saving_t (12 bytes), one: the game's key and high-score table
 *   SNDL  u32: each sound's length in samples (a multiple of 4)
 *   SNDS  bytes: the sounds' samples one after another
 *   PALT  u16: the palette as DS colours
 *   TILE  64 bytes: each tile's palette indices, row by row
 *   BGND  u16: each level's map, width x height cells per level
 *   STRT  bytes: what the game prints when it starts (the welcome text)
 * Sections of other tags are passed by, so an older reader opens a newer
 * block as far as it knows it.
 *
 * C99, no allocation; every read is bounded by the block's size. */
#ifndef LVK_PACK_H
#define LVK_PACK_H

#include <stdint.h>

#include "lvk_engine.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LVK_PACK_VERSION 1u
#define LVK_PACK_TAG(a, b, c, d) \
  ((uint32_t)(a) | (uint32_t)(b) << 8 | (uint32_t)(c) << 16 | (uint32_t)(d) << 24)

/* One section as found: Count elements of Size bytes at Data (0 when the
 * block has no such section). */
typedef struct lvk_pack_section {
  const uint8_t *data;
  uint32_t size;
  uint32_t count;
} lvk_pack_section_t;

/* What a block holds. Game points into the block, which must stay as it is
 * while the game is played. */
typedef struct lvk_unpacked {
  lvk_game_t game;
  lvk_pack_section_t sound_lengths;
  lvk_pack_section_t samples;
  lvk_pack_section_t palette;
  lvk_pack_section_t tiles;
  lvk_pack_section_t backgrounds;
  lvk_pack_section_t start_text;
} lvk_unpacked_t;

/* Why a block cannot be read. */
enum {
  LVK_UNPACK_OK = 0,
  LVK_UNPACK_NOT_A_GAME = 1,   /* no header, another version, a misaligned block */
  LVK_UNPACK_TRUNCATED = 2,    /* a section runs past the end */
  LVK_UNPACK_LAYOUT = 3,       /* an entry's size is not this engine's */
  LVK_UNPACK_INCONSISTENT = 4  /* the tables fail lvk_game_check, or sizes disagree */
};

/* Finds the section Tag in the Size bytes at Data (4-byte aligned); 1 when
 * found, else 0 with *Section empty. */
int lvk_pack_find(const uint8_t *data, uint32_t size, uint32_t tag, lvk_pack_section_t *section);

/* Reads the block into *Out; LVK_UNPACK_OK or why not (then *Out holds an
 * empty game). */
int lvk_unpack(const uint8_t *data, uint32_t size, lvk_unpacked_t *out);

/* Sound Index of an unpacked game; 0 for an index out of range. */
int lvk_unpacked_sound(const lvk_unpacked_t *game, int index, lvk_sound_t *sound);

#ifdef __cplusplus
}
#endif

#endif
