/* The saved data's bytes (see lvk_save.h). Every read is bounded by the
 * bytes given; a copy that does not read whole counts as not there. */
#include "lvk_save.h"

/* The keys the initials take, as the engine's LVK_KEY_... (the libnds bits):
 * lvk_engine.h includes this file's header, not the other way round. */
#define KEY_A (1u << 0)
#define KEY_RIGHT (1u << 4)
#define KEY_LEFT (1u << 5)
#define KEY_UP (1u << 6)
#define KEY_DOWN (1u << 7)

static const char MARK[4] = {'L', 'V', 'K', 'S'};
static const char LETTERS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";
#define LETTER_COUNT ((int)(sizeof LETTERS - 1))

uint32_t lvk_save_key(const char *text, size_t length)
{
  uint32_t h = 2166136261u;
  size_t i;
  for (i = 0; i < length; ++i) {
    h ^= (uint8_t)text[i];
    h *= 16777619u;
  }
  return h;
}

static uint32_t crc_update(uint32_t crc, const uint8_t *bytes, size_t length)
{
  size_t i;
  int k;
  /* Bit by bit: a save is written seldom, and a table costs 1 KiB of the
   * DS's memory. */
  for (i = 0; i < length; ++i) {
    crc ^= bytes[i];
    for (k = 0; k < 8; ++k) crc = crc & 1u ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return crc;
}

uint32_t lvk_save_crc32(const uint8_t *bytes, size_t length) { return ~crc_update(0xFFFFFFFFu, bytes, length); }

/* A copy's sum: its header before the sum, then its payload. The header is
 * summed too, so a write cut after the new sequence number cannot pass the
 * old payload off as the new save. */
static uint32_t copy_sum(const uint8_t *copy, size_t length)
{
  return ~crc_update(crc_update(0xFFFFFFFFu, copy, 16), copy + LVK_SAVE_HEADER, length);
}

static uint32_t get16(const uint8_t *p) { return (uint32_t)p[0] | (uint32_t)p[1] << 8; }
static uint32_t get32(const uint8_t *p) { return get16(p) | get16(p + 2) << 16; }
static void put16(uint8_t *p, uint32_t v)
{
  p[0] = (uint8_t)v;
  p[1] = (uint8_t)(v >> 8);
}
static void put32(uint8_t *p, uint32_t v)
{
  put16(p, v);
  put16(p + 2, v >> 16);
}

void lvk_save_clear(lvk_save_t *save)
{
  int i;
  save->copy = -1;
  save->sequence = 0;
  for (i = 0; i < LVK_SAVE_SLOTS; ++i) {
    save->slot_data[i].flags = 0;
    save->slot_data[i].pair_count = 0;
    save->slot_data[i].level = 0;
  }
  save->score_count = 0;
  save->letters = 0;
}

/* A reader over a payload that stops at its end. */
typedef struct cursor {
  const uint8_t *p;
  size_t left;
  int failed;
} cursor_t;

static const uint8_t *take(cursor_t *c, size_t n)
{
  const uint8_t *p = c->p;
  if (c->failed || n > c->left) {
    c->failed = 1;
    return 0;
  }
  c->p += n;
  c->left -= n;
  return p;
}
static uint32_t take8(cursor_t *c) { const uint8_t *p = take(c, 1); return p ? p[0] : 0; }
static uint32_t take16(cursor_t *c) { const uint8_t *p = take(c, 2); return p ? get16(p) : 0; }
static uint32_t take32(cursor_t *c) { const uint8_t *p = take(c, 4); return p ? get32(p) : 0; }

/* The payload into Save: 1 when it reads whole and within the limits. */
static int read_payload(const uint8_t *payload, size_t length, lvk_save_t *save)
{
  cursor_t c;
  uint32_t slots, i, j, letters, count;
  c.p = payload;
  c.left = length;
  c.failed = 0;
  slots = take8(&c);
  for (i = 0; i < slots && !c.failed; ++i) {
    lvk_save_slot_t skip, *s = i < LVK_SAVE_SLOTS ? &save->slot_data[i] : &skip;
    s->flags = (uint8_t)take8(&c);
    count = take8(&c);
    s->level = (uint16_t)take16(&c);
    if (count > LVK_SAVE_MAX_PAIRS) return 0;
    s->pair_count = (uint8_t)count;
    for (j = 0; j < count; ++j) {
      s->pairs[j].key = take32(&c);
      s->pairs[j].value = (int32_t)take32(&c);
    }
  }
  if (c.failed) return 0;
  if (!c.left) return 1; /* an older layout without the table */
  count = take8(&c);
  letters = take8(&c);
  if (count > LVK_SAVE_MAX_PLACES || letters > LVK_SAVE_MAX_LETTERS) return 0;
  for (i = 0; i < count; ++i) {
    const uint8_t *l = take(&c, letters);
    lvk_score_t *e = &save->scores[i];
    for (j = 0; j < LVK_SAVE_MAX_LETTERS; ++j) {
      /* Only what a player can enter comes back; anything else is a space. */
      char ch = l && j < letters ? (char)l[j] : 0;
      e->letters[j] = ch && (ch < ' ' || ch > '~') ? ' ' : ch;
    }
    e->score = (int32_t)take32(&c);
  }
  if (c.failed) return 0;
  save->score_count = (uint8_t)count;
  save->letters = (uint8_t)letters;
  return 1;
}

/* Copy Index of the store: LVK_SAVE_EMPTY (unmarked), LVK_SAVE_DAMAGED,
 * LVK_SAVE_OTHER_GAME or LVK_SAVE_OK with *Sequence set. */
static int check_copy(const uint8_t *copy, uint32_t game_key, uint32_t *sequence)
{
  uint32_t length;
  int i;
  for (i = 0; i < 4; ++i)
    if (copy[i] != (uint8_t)MARK[i]) return LVK_SAVE_EMPTY;
  length = get16(copy + 6);
  if (get16(copy + 4) != LVK_SAVE_VERSION || length > LVK_SAVE_COPY_SIZE - LVK_SAVE_HEADER) return LVK_SAVE_DAMAGED;
  if (copy_sum(copy, length) != get32(copy + 16)) return LVK_SAVE_DAMAGED;
  if (get32(copy + 8) != game_key) return LVK_SAVE_OTHER_GAME;
  *sequence = get32(copy + 12);
  return LVK_SAVE_OK;
}

int lvk_save_read(const uint8_t *store, size_t size, uint32_t game_key, lvk_save_t *save)
{
  int state[2], i, best = -1, result = LVK_SAVE_EMPTY;
  uint32_t sequence[2] = {0, 0};
  lvk_save_clear(save);
  if (size != LVK_SAVE_STORE_SIZE) return LVK_SAVE_WRONG_SIZE;
  for (i = 0; i < 2; ++i) {
    const uint8_t *copy = store + i * LVK_SAVE_COPY_SIZE;
    state[i] = check_copy(copy, game_key, &sequence[i]);
    /* A sound payload that does not read is as damaged as a bad sum. */
    if (state[i] == LVK_SAVE_OK && !read_payload(copy + LVK_SAVE_HEADER, get16(copy + 6), save)) state[i] = LVK_SAVE_DAMAGED;
    lvk_save_clear(save);
  }
  /* The newer of two sound copies, counting round the sequence's wrap. */
  for (i = 0; i < 2; ++i)
    if (state[i] == LVK_SAVE_OK && (best < 0 || (int32_t)(sequence[i] - sequence[best]) > 0)) best = i;
  if (best >= 0) {
    const uint8_t *copy = store + best * LVK_SAVE_COPY_SIZE;
    read_payload(copy + LVK_SAVE_HEADER, get16(copy + 6), save);
    save->copy = best;
    save->sequence = sequence[best];
    return LVK_SAVE_OK;
  }
  for (i = 0; i < 2; ++i)
    if (state[i] == LVK_SAVE_OTHER_GAME || (state[i] == LVK_SAVE_DAMAGED && result != LVK_SAVE_OTHER_GAME))
      result = state[i];
  return result;
}

int lvk_save_write(lvk_save_t *save, uint32_t game_key, uint8_t *store)
{
  uint8_t *copy, *p;
  int target, i, j;
  uint32_t length, letters = save->letters > LVK_SAVE_MAX_LETTERS ? LVK_SAVE_MAX_LETTERS : save->letters;
  if (save->copy < 0) {
    for (i = 0; i < LVK_SAVE_STORE_SIZE; ++i) store[i] = 0;
    target = 0;
  } else {
    target = save->copy == 0 ? 1 : 0;
  }
  copy = store + target * LVK_SAVE_COPY_SIZE;
  p = copy + LVK_SAVE_HEADER;
  *p++ = LVK_SAVE_SLOTS;
  for (i = 0; i < LVK_SAVE_SLOTS; ++i) {
    const lvk_save_slot_t *s = &save->slot_data[i];
    int count = s->pair_count > LVK_SAVE_MAX_PAIRS ? LVK_SAVE_MAX_PAIRS : s->pair_count;
    *p++ = s->flags;
    *p++ = (uint8_t)count;
    put16(p, s->level);
    p += 2;
    for (j = 0; j < count; ++j, p += 8) {
      put32(p, s->pairs[j].key);
      put32(p + 4, (uint32_t)s->pairs[j].value);
    }
  }
  *p++ = save->score_count > LVK_SAVE_MAX_PLACES ? LVK_SAVE_MAX_PLACES : save->score_count;
  *p++ = (uint8_t)letters;
  for (i = 0; i < save->score_count && i < LVK_SAVE_MAX_PLACES; ++i) {
    for (j = 0; j < (int)letters; ++j) *p++ = (uint8_t)save->scores[i].letters[j];
    put32(p, (uint32_t)save->scores[i].score);
    p += 4;
  }
  length = (uint32_t)(p - (copy + LVK_SAVE_HEADER));
  /* 3 full slots and a full table take 1,687 bytes of the 2,028. */
  if (length > LVK_SAVE_COPY_SIZE - LVK_SAVE_HEADER) return 0;
  for (p = copy + LVK_SAVE_HEADER + length; p < copy + LVK_SAVE_COPY_SIZE; ++p) *p = 0;
  for (i = 0; i < 4; ++i) copy[i] = (uint8_t)MARK[i];
  put16(copy + 4, LVK_SAVE_VERSION);
  put16(copy + 6, length);
  put32(copy + 8, game_key);
  save->sequence = save->copy < 0 ? 1 : save->sequence + 1;
  put32(copy + 12, save->sequence);
  put32(copy + 16, copy_sum(copy, length));
  save->copy = target;
  return 1;
}

void lvk_save_put_slot(lvk_save_t *save, int slot, const uint32_t *keys, const int32_t *values, int count, int level)
{
  lvk_save_slot_t *s;
  int i;
  if (slot < 0 || slot >= LVK_SAVE_SLOTS) return;
  s = &save->slot_data[slot];
  if (count > LVK_SAVE_MAX_PAIRS) count = LVK_SAVE_MAX_PAIRS;
  if (count < 0) count = 0;
  s->flags = (uint8_t)(LVK_SAVE_SLOT_WRITTEN | (level >= 0 ? LVK_SAVE_SLOT_LEVEL : 0));
  s->level = (uint16_t)(level >= 0 ? level : 0);
  s->pair_count = (uint8_t)count;
  for (i = 0; i < count; ++i) {
    s->pairs[i].key = keys[i];
    s->pairs[i].value = values[i];
  }
}

int lvk_save_find(const lvk_save_t *save, int slot, uint32_t key, int32_t *value)
{
  const lvk_save_slot_t *s;
  int i;
  if (slot < 0 || slot >= LVK_SAVE_SLOTS) return 0;
  s = &save->slot_data[slot];
  if (!(s->flags & LVK_SAVE_SLOT_WRITTEN)) return 0;
  for (i = 0; i < s->pair_count; ++i)
    if (s->pairs[i].key == key) {
      *value = s->pairs[i].value;
      return 1;
    }
  return 0;
}

int lvk_score_place(const lvk_save_t *save, int places, int higher, int32_t score)
{
  int i;
  if (places > LVK_SAVE_MAX_PLACES) places = LVK_SAVE_MAX_PLACES;
  for (i = 0; i < save->score_count && i < places; ++i) {
    int32_t held = save->scores[i].score;
    if (higher ? score > held : score < held) return i;
  }
  return i < places ? i : -1;
}

void lvk_score_insert(lvk_save_t *save, int places, int place, const char *letters, int count, int32_t score)
{
  int i, last;
  if (places > LVK_SAVE_MAX_PLACES) places = LVK_SAVE_MAX_PLACES;
  if (place < 0 || place >= places || place > save->score_count) return;
  if (count > LVK_SAVE_MAX_LETTERS) count = LVK_SAVE_MAX_LETTERS;
  last = save->score_count < places ? save->score_count : places - 1;
  for (i = last; i > place; --i) save->scores[i] = save->scores[i - 1];
  for (i = 0; i < LVK_SAVE_MAX_LETTERS; ++i) save->scores[place].letters[i] = i < count ? letters[i] : 0;
  save->scores[place].score = score;
  if (save->score_count < places) ++save->score_count;
  /* The table keeps the letters of its widest entry. */
  if (save->letters < count) save->letters = (uint8_t)count;
}

void lvk_initials_start(lvk_initials_t *entry, int count)
{
  int i;
  if (count < 1) count = 1;
  if (count > LVK_SAVE_MAX_LETTERS) count = LVK_SAVE_MAX_LETTERS;
  for (i = 0; i <= LVK_SAVE_MAX_LETTERS; ++i) entry->letters[i] = i < count ? 'A' : 0;
  entry->count = (uint8_t)count;
  entry->cursor = 0;
}

static int letter_index(char c)
{
  int i;
  for (i = 0; i < LETTER_COUNT; ++i)
    if (LETTERS[i] == c) return i;
  return 0;
}

int lvk_initials_keys(lvk_initials_t *entry, uint16_t pressed)
{
  char *c = &entry->letters[entry->cursor];
  if (pressed & KEY_A) return 1;
  if (pressed & KEY_UP) *c = LETTERS[(letter_index(*c) + 1) % LETTER_COUNT];
  if (pressed & KEY_DOWN) *c = LETTERS[(letter_index(*c) + LETTER_COUNT - 1) % LETTER_COUNT];
  if ((pressed & KEY_LEFT) && entry->cursor > 0) --entry->cursor;
  if ((pressed & KEY_RIGHT) && entry->cursor + 1 < entry->count) ++entry->cursor;
  return 0;
}
