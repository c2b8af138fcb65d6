/* Saved data: every action reads the host's store anew into the room, so
 * what another engine or a cleared table changed counts at once; a write
 * puts the whole store back. */
#include "lvk_engine_save.h"

#include "lvk_engine_text.h"
#include "lvk_engine_variables.h"

void lvk_save_init(lvk_engine_t *e)
{
  e->store.read = 0;
  e->store.write = 0;
  e->store.context = 0;
  e->save_room = 0;
  e->save_status = LVK_SAVE_EMPTY;
  e->entering = 0;
  e->entry_row = 0;
  e->score_row = -1;
  e->entry_score = 0;
  lvk_initials_start(&e->entry, 1);
}

void lvk_engine_set_store(lvk_engine_t *e, const lvk_store_t *store, lvk_save_room_t *room)
{
  if (store && room) {
    e->store = *store;
    e->save_room = room;
  } else {
    e->store.read = 0;
    e->store.write = 0;
    e->save_room = 0;
  }
}

int lvk_engine_save_status(const lvk_engine_t *e) { return e->save_status; }

int lvk_engine_entering(const lvk_engine_t *e) { return e->entering; }

/* What a read found, unless a write failed since the last that succeeded:
 * that stays, so the host hears of it even when the same frame reads again. */
static void set_status(lvk_engine_t *e, int status)
{
  if (e->save_status != LVK_SAVE_NOT_WRITTEN) e->save_status = (uint8_t)status;
}

/* The store into the room: 1 when there is one (what it held may have been
 * refused: then the save is empty and the next write starts it anew). */
static int read_store(lvk_engine_t *e)
{
  lvk_save_room_t *room = e->save_room;
  long length;
  if (!room || !e->store.read) {
    set_status(e, LVK_SAVE_NO_STORE);
    return 0;
  }
  length = e->store.read(e->store.context, room->store, LVK_SAVE_STORE_SIZE);
  if (length < 0) {
    lvk_save_clear(&room->save);
    set_status(e, LVK_SAVE_NO_STORE);
    return 0;
  }
  if (length == 0) {
    lvk_save_clear(&room->save);
    set_status(e, LVK_SAVE_EMPTY);
  } else {
    set_status(e, lvk_save_read(room->store, (size_t)length, e->game->saving.game_key, &room->save));
  }
  return 1;
}

static void write_store(lvk_engine_t *e)
{
  lvk_save_room_t *room = e->save_room;
  if (!lvk_save_write(&room->save, e->game->saving.game_key, room->store) || !e->store.write ||
      !e->store.write(e->store.context, room->store, LVK_SAVE_STORE_SIZE))
    e->save_status = LVK_SAVE_NOT_WRITTEN;
  else
    e->save_status = LVK_SAVE_OK;
}

static int valid_slot(int32_t slot) { return slot >= 1 && slot <= LVK_SAVE_SLOTS; }

static int saved_variable(const lvk_variable_t *v) { return v->saved && v->scope == LVK_SCOPE_GAME; }

void lvk_save_game(lvk_engine_t *e, int32_t slot, int level)
{
  const lvk_game_t *g = e->game;
  lvk_save_slot_t *s;
  unsigned i, count = 0;
  if (!valid_slot(slot) || !read_store(e)) return;
  s = &e->save_room->save.slot_data[slot - 1];
  for (i = 0; i < g->variable_count && count < LVK_SAVE_MAX_PAIRS; ++i)
    if (saved_variable(&g->variables[i])) {
      s->pairs[count].key = g->variables[i].key;
      s->pairs[count].value = e->game_values[e->variable_place[i]];
      ++count;
    }
  s->pair_count = (uint8_t)count;
  s->flags = (uint8_t)(LVK_SAVE_SLOT_WRITTEN | (level ? LVK_SAVE_SLOT_LEVEL : 0u));
  s->level = (uint16_t)(level ? e->level : 0);
  write_store(e);
}

int lvk_save_load(lvk_engine_t *e, int32_t slot)
{
  const lvk_game_t *g = e->game;
  const lvk_save_t *save;
  unsigned i;
  if (!valid_slot(slot) || !read_store(e)) return -1;
  save = &e->save_room->save;
  if (!(save->slot_data[slot - 1].flags & LVK_SAVE_SLOT_WRITTEN)) return -1;
  for (i = 0; i < g->variable_count; ++i) {
    const lvk_variable_t *v = &g->variables[i];
    int32_t value;
    if (!saved_variable(v)) continue;
    if (!lvk_save_find(save, (int)slot - 1, v->key, &value)) value = v->initial;
    lvk_variable_set(e, NO_SLOT, i, value);
  }
  return save->slot_data[slot - 1].flags & LVK_SAVE_SLOT_LEVEL ? save->slot_data[slot - 1].level : -1;
}

void lvk_save_erase(lvk_engine_t *e, int32_t slot)
{
  lvk_save_slot_t *s;
  if (!valid_slot(slot) || !read_store(e)) return;
  s = &e->save_room->save.slot_data[slot - 1];
  if (!(s->flags & LVK_SAVE_SLOT_WRITTEN)) return;
  s->flags = 0;
  s->pair_count = 0;
  s->level = 0;
  write_store(e);
}

int lvk_save_held(lvk_engine_t *e, int32_t slot)
{
  return valid_slot(slot) && read_store(e) && (e->save_room->save.slot_data[slot - 1].flags & LVK_SAVE_SLOT_WRITTEN);
}

/* ---- The high-score table ---- */

static int score_places(const lvk_game_t *g)
{
  return g->saving.score_places > LVK_SAVE_MAX_PLACES ? LVK_SAVE_MAX_PLACES : g->saving.score_places;
}

/* Writes Value in decimal at Out; gives the count. */
static int decimal(int32_t value, char *out)
{
  char digits[10];
  int n = 0, count = 0;
  uint32_t u = value < 0 ? 0u - (uint32_t)value : (uint32_t)value;
  do {
    digits[n++] = (char)('0' + u % 10u);
    u /= 10u;
  } while (u);
  if (value < 0) out[count++] = '-';
  while (n) out[count++] = digits[--n];
  return count;
}

/* The table from Row down, as Save holds it (0: an empty table). */
static void print_table(lvk_engine_t *e, int row, const lvk_save_t *save)
{
  int places = score_places(e->game), p;
  for (p = 0; p < places && row + p < LVK_TEXT_ROWS; ++p) {
    char line[LVK_TEXT_COLUMNS + 1];
    int n = 0, k;
    if (p + 1 >= 10) line[n++] = (char)('0' + (p + 1) / 10);
    line[n++] = (char)('0' + (p + 1) % 10);
    line[n++] = '.';
    line[n++] = ' ';
    if (save && p < save->score_count) {
      for (k = 0; k < save->letters && k < LVK_SAVE_MAX_LETTERS; ++k)
        line[n++] = save->scores[p].letters[k] ? save->scores[p].letters[k] : ' ';
      line[n++] = ' ';
      n += decimal(save->scores[p].score, line + n);
    } else {
      line[n++] = '-';
      line[n++] = '-';
      line[n++] = '-';
    }
    line[n] = 0;
    lvk_text_print(e, row + p, line);
  }
}

void lvk_save_show_scores(lvk_engine_t *e, int32_t row)
{
  if (!score_places(e->game) || row < 0 || row >= LVK_TEXT_ROWS) return;
  e->score_row = (int8_t)row;
  print_table(e, row, read_store(e) ? &e->save_room->save : 0);
}

/* The entry's row: the prompt and the letters, the one under the
 * cursor between brackets. */
static void print_entry(lvk_engine_t *e)
{
  static const char prompt[] = "New high score! ";
  char line[LVK_TEXT_COLUMNS + 1];
  int n = 0, k;
  for (k = 0; prompt[k]; ++k) line[n++] = prompt[k];
  for (k = 0; k < e->entry.count; ++k) {
    if (k == e->entry.cursor) line[n++] = '[';
    line[n++] = e->entry.letters[k];
    if (k == e->entry.cursor) line[n++] = ']';
  }
  line[n] = 0;
  lvk_text_print(e, e->entry_row, line);
}

void lvk_save_enter_score(lvk_engine_t *e, int32_t row)
{
  const lvk_game_t *g = e->game;
  int32_t score;
  if (!score_places(g) || row < 0 || row >= LVK_TEXT_ROWS || e->entering || !read_store(e)) return;
  score = e->game_values[e->variable_place[g->saving.score_variable]];
  if (lvk_score_place(&e->save_room->save, score_places(g), g->saving.score_higher, score) < 0) return;
  e->entering = 1;
  e->entry_row = (uint8_t)row;
  e->entry_score = score;
  lvk_initials_start(&e->entry, g->saving.score_letters);
  print_entry(e);
}

void lvk_save_entry_step(lvk_engine_t *e, uint16_t down)
{
  const lvk_game_t *g = e->game;
  int place;
  if (!lvk_initials_keys(&e->entry, down)) {
    print_entry(e);
    return;
  }
  e->entering = 0;
  lvk_text_clear(e, (uint32_t)1 << e->entry_row);
  /* Read again: the table may have changed since the entry began. */
  if (!read_store(e)) return;
  place = lvk_score_place(&e->save_room->save, score_places(g), g->saving.score_higher, e->entry_score);
  if (place >= 0) {
    lvk_score_insert(&e->save_room->save, score_places(g), place, e->entry.letters, e->entry.count, e->entry_score);
    write_store(e);
  }
  if (e->score_row >= 0) print_table(e, e->score_row, &e->save_room->save);
}
