/* A game's saved data as bytes: what SaveGame, LoadGame and the high-score
 * table keep between runs, in the same layout on every host (the DS's file
 * or save chip, the play window's file, the web page's localStorage). C99,
 * no C library: the web engine has none.
 *
 * The store is LVK_SAVE_STORE_SIZE bytes: two copies of LVK_SAVE_COPY_SIZE
 * bytes, each (numbers little-endian)
 *   0  "LVKS"
 *   4  u16 version (LVK_SAVE_VERSION)
 *   6  u16 payload length (at most LVK_SAVE_COPY_SIZE - LVK_SAVE_HEADER)
 *   8  u32 game key (lvk_save_key of the game's title)
 *  12  u32 sequence number
 *  16  u32 CRC-32 of bytes 0 .. 15 followed by the payload
 *  20  the payload
 * The newer valid copy of this game counts; a write replaces the other one,
 * so a write cut short leaves the old save or the new one, never a mix.
 *
 * The payload:
 *   u8 slots (LVK_SAVE_SLOTS), then per slot
 *     u8 flags (LVK_SAVE_SLOT_...), u8 pair count, u16 level (from 0),
 *     pair count x (u32 key, i32 value)
 *   u8 high-score entries, u8 letters per entry, then per entry
 *     the letters, i32 score
 * A variable's key is lvk_save_key of its name, so a save made by an older
 * version of the game (fewer or other saved variables) reads as far as the
 * names match. A payload that ends after the slots has an empty table. */
#ifndef LVK_SAVE_H
#define LVK_SAVE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define LVK_SAVE_STORE_SIZE 4096
#define LVK_SAVE_COPY_SIZE 2048
#define LVK_SAVE_HEADER 20
#define LVK_SAVE_VERSION 1
/* The slots' count, LVK_SAVE_SLOTS, is the catalogue's: SaveGame's range. */
#include "lvk_kinds.h"
/* Saved variables a slot holds: every game variable. */
#define LVK_SAVE_MAX_PAIRS 64
#define LVK_SAVE_MAX_PLACES 10
#define LVK_SAVE_MAX_LETTERS 8

/* lvk_save_slot_t.flags */
#define LVK_SAVE_SLOT_WRITTEN 1u
#define LVK_SAVE_SLOT_LEVEL 2u /* the level was saved too */

typedef struct lvk_save_pair {
  uint32_t key;
  int32_t value;
} lvk_save_pair_t;

typedef struct lvk_save_slot {
  uint8_t flags;
  uint8_t pair_count;
  uint16_t level;
  lvk_save_pair_t pairs[LVK_SAVE_MAX_PAIRS];
} lvk_save_slot_t;

typedef struct lvk_score {
  char letters[LVK_SAVE_MAX_LETTERS]; /* printable ASCII; unused ones 0 */
  int32_t score;
} lvk_score_t;

/* A store read into memory. (Not "slots": Qt's macro of that name.) */
typedef struct lvk_save {
  int copy;          /* the copy it was read from, -1 none */
  uint32_t sequence; /* of that copy */
  lvk_save_slot_t slot_data[LVK_SAVE_SLOTS];
  uint8_t score_count;
  uint8_t letters;   /* letters per entry */
  lvk_score_t scores[LVK_SAVE_MAX_PLACES];
} lvk_save_t;

/* What lvk_save_read found. */
enum {
  LVK_SAVE_EMPTY = 0,      /* nothing saved yet (no copy carries the mark) */
  LVK_SAVE_OK = 1,
  LVK_SAVE_WRONG_SIZE = 2, /* the store is too short or too long */
  LVK_SAVE_DAMAGED = 3,    /* a marked copy, but none that reads */
  LVK_SAVE_OTHER_GAME = 4, /* sound, but another game's */
  /* What the engine adds about its host (lvk_engine_save_status). */
  LVK_SAVE_NO_STORE = 5,   /* the host has nowhere to keep a save */
  LVK_SAVE_NOT_WRITTEN = 6 /* the host failed to write the store */
};

/* FNV-1a (32 bits) of Length bytes: a game's key from its title, a saved
 * variable's from its name. */
uint32_t lvk_save_key(const char *text, size_t length);
uint32_t lvk_save_crc32(const uint8_t *bytes, size_t length);

/* Empties Save: no slot written, no scores, no copy. */
void lvk_save_clear(lvk_save_t *save);

/* Reads Size bytes of a store made for the game GameKey into Save (emptied
 * first; left empty unless LVK_SAVE_OK). Reads nothing beyond Size. */
int lvk_save_read(const uint8_t *store, size_t size, uint32_t game_key, lvk_save_t *save);

/* Writes Save into Store (LVK_SAVE_STORE_SIZE bytes holding what was read,
 * the copy Save came from kept) as the copy Save did not come from, with the
 * next sequence number; a Save read from no copy starts the store anew.
 * Updates Save's copy and sequence to the new copy's. 0 when the payload
 * does not fit a copy (it always does within the limits above), else 1. */
int lvk_save_write(lvk_save_t *save, uint32_t game_key, uint8_t *store);

/* ---- Slots ---- */

/* Writes Count values with their keys into slot Slot (0-based), and the
 * level when Level >= 0. */
void lvk_save_put_slot(lvk_save_t *save, int slot, const uint32_t *keys, const int32_t *values, int count, int level);

/* Key's value in Slot into *Value: 1 when found, 0 when the slot was not
 * written or does not hold the key. */
int lvk_save_find(const lvk_save_t *save, int slot, uint32_t key, int32_t *value);

/* ---- The high-score table ---- */

/* The place (0-based) Score earns in a table of Places places (1 ..
 * LVK_SAVE_MAX_PLACES), Higher: higher scores are better; -1 when none.
 * A score equal to one in the table goes below it: the older stays above. */
int lvk_score_place(const lvk_save_t *save, int places, int higher, int32_t score);

/* Puts Score with Count letters at Place, the entries below moving down,
 * the last falling off the table of Places places. */
void lvk_score_insert(lvk_save_t *save, int places, int place, const char *letters, int count, int32_t score);

/* Entering initials with the D-pad: up and down change the letter under
 * the cursor (A .. Z, 0 .. 9, space, round), left and right move the
 * cursor, A confirms. Keys are the engine's key bits (LVK_KEY_...). */
typedef struct lvk_initials {
  char letters[LVK_SAVE_MAX_LETTERS + 1]; /* NUL after the last */
  uint8_t count;
  uint8_t cursor;
} lvk_initials_t;

/* Starts with Count letters (1 .. LVK_SAVE_MAX_LETTERS, held there), all A. */
void lvk_initials_start(lvk_initials_t *entry, int count);
/* Pressed: the keys that went down this frame. 1 when A confirmed. */
int lvk_initials_keys(lvk_initials_t *entry, uint16_t pressed);

/* The host's store, through which the engine reads and writes the bytes.
 * Read: the store's whole length (0 when nothing was ever saved; bytes
 * beyond Size are not copied), -1 when the host has no store at all.
 * Write: Size bytes as the whole store, 1 when written, else 0. */
typedef struct lvk_store {
  long (*read)(void *context, uint8_t *bytes, uint32_t size);
  int (*write)(void *context, const uint8_t *bytes, uint32_t size);
  void *context;
} lvk_store_t;

/* Where the engine reads the store into: kept by the host beside the
 * engine (too large for the DS's fast memory). */
typedef struct lvk_save_room {
  uint8_t store[LVK_SAVE_STORE_SIZE];
  lvk_save_t save;
} lvk_save_room_t;

#ifdef __cplusplus
}
#endif

#endif
