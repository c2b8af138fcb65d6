/* The text rows: what ShowText printed, printed again at a frame's end when
 * a variable it shows changed, so a score costs nothing while it stands. */
#include "lvk_engine_text.h"

void lvk_text_init(lvk_engine_t *e)
{
  unsigned i;
  e->rows_used = e->rows_stale = e->rows_changed = 0;
  e->shown_game_vars[0] = e->shown_game_vars[1] = 0;
  e->owned_rows = 0;
  for (i = 0; i < LVK_TEXT_ROWS; ++i) {
    unsigned c;
    for (c = 0; c < LVK_TEXT_COLUMNS; ++c) e->rows[i][c] = ' ';
    e->rows[i][LVK_TEXT_COLUMNS] = 0;
    e->row_text[i] = 0;
    e->row_owner[i] = NO_SLOT;
    e->row_instance_vars[i] = 0;
    e->row_game_vars[i][0] = e->row_game_vars[i][1] = 0;
  }
}

void lvk_text_mark_game_variable(lvk_engine_t *e, unsigned place)
{
  uint32_t bit = (uint32_t)1 << (place & 31);
  unsigned r;
  for (r = 0; r < LVK_TEXT_ROWS; ++r)
    if (e->row_game_vars[r][place >> 5] & bit) e->rows_stale |= (uint32_t)1 << r;
}

void lvk_text_mark_instance_variable(lvk_engine_t *e, int slot, unsigned place)
{
  unsigned r;
  uint32_t owned;
  /* Only the rows some instance owns: on the DS a loop over all rows for
   * every instance's every set is a frame's sizeable share. */
  for (r = 0, owned = e->owned_rows; owned; ++r, owned >>= 1)
    if ((owned & 1) && e->row_owner[r] == slot && (e->row_instance_vars[r] & (1u << place)))
      e->rows_stale |= (uint32_t)1 << r;
}

/* Writes Value in decimal at Out (room for 11 characters); gives the count. */
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

static void print_row(lvk_engine_t *e, int row)
{
  const lvk_game_t *g = e->game;
  const lvk_text_t *t = &g->texts[e->row_text[row] - 1u];
  char line[LVK_TEXT_COLUMNS];
  int n = 0, changed = 0;
  unsigned i;
  for (i = 0; i < t->segment_count && n < LVK_TEXT_COLUMNS; ++i) {
    const lvk_segment_t *s = &g->segments[t->first_segment + i];
    char number_text[11];
    const char *from = number_text;
    int count, k;
    if (s->variable == LVK_LITERAL) {
      from = g->chars + s->first;
      count = s->length;
    } else {
      count = decimal(variable_value(e, e->row_owner[row], s->variable - 1u), number_text);
    }
    for (k = 0; k < count && n < LVK_TEXT_COLUMNS; ++k) line[n++] = from[k];
  }
  while (n < LVK_TEXT_COLUMNS) line[n++] = ' ';
  for (i = 0; i < LVK_TEXT_COLUMNS; ++i) {
    changed |= e->rows[row][i] != line[i];
    e->rows[row][i] = line[i];
  }
  if (changed) e->rows_changed |= (uint32_t)1 << row;
}

void lvk_text_print_stale(lvk_engine_t *e)
{
  int r;
  for (r = 0; e->rows_stale && r < LVK_TEXT_ROWS; ++r)
    if (e->rows_stale & ((uint32_t)1 << r)) {
      e->rows_stale &= ~((uint32_t)1 << r);
      if (e->row_text[r]) print_row(e, r);
    }
}

static void forget_shown_vars(lvk_engine_t *e, int row)
{
  unsigned r;
  e->row_text[row] = 0;
  e->row_owner[row] = NO_SLOT;
  e->row_instance_vars[row] = 0;
  e->owned_rows &= ~((uint32_t)1 << row);
  e->row_game_vars[row][0] = e->row_game_vars[row][1] = 0;
  e->shown_game_vars[0] = e->shown_game_vars[1] = 0;
  for (r = 0; r < LVK_TEXT_ROWS; ++r) {
    e->shown_game_vars[0] |= e->row_game_vars[r][0];
    e->shown_game_vars[1] |= e->row_game_vars[r][1];
  }
}

void lvk_text_show(lvk_engine_t *e, int slot, unsigned text, int32_t row)
{
  const lvk_game_t *g = e->game;
  const lvk_text_t *t = &g->texts[text];
  unsigned i;
  if (row < 0 || row >= LVK_TEXT_ROWS) return;
  forget_shown_vars(e, row);
  e->row_text[row] = (uint16_t)(text + 1u);
  for (i = 0; i < t->segment_count; ++i) {
    const lvk_segment_t *s = &g->segments[t->first_segment + i];
    unsigned v, place;
    if (s->variable == LVK_LITERAL) continue;
    v = s->variable - 1u;
    place = e->variable_place[v] & ~INSTANCE_PLACE;
    if (g->variables[v].scope == LVK_SCOPE_GAME) {
      e->row_game_vars[row][place >> 5] |= (uint32_t)1 << (place & 31);
      e->shown_game_vars[place >> 5] |= (uint32_t)1 << (place & 31);
    } else {
      e->row_instance_vars[row] |= (uint16_t)(1u << place);
      e->row_owner[row] = (uint8_t)slot;
      e->owned_rows |= (uint32_t)1 << row;
    }
  }
  if (!(e->rows_used & ((uint32_t)1 << row))) e->rows_changed |= (uint32_t)1 << row;
  e->rows_used |= (uint32_t)1 << row;
  e->rows_stale |= (uint32_t)1 << row;
}

void lvk_text_print(lvk_engine_t *e, int row, const char *line)
{
  int c, changed = 0;
  if (row < 0 || row >= LVK_TEXT_ROWS) return;
  forget_shown_vars(e, row);
  for (c = 0; c < LVK_TEXT_COLUMNS; ++c) {
    char ch = *line ? *line++ : ' ';
    changed |= e->rows[row][c] != ch;
    e->rows[row][c] = ch;
  }
  if (changed || !(e->rows_used & ((uint32_t)1 << row))) e->rows_changed |= (uint32_t)1 << row;
  e->rows_used |= (uint32_t)1 << row;
  e->rows_stale &= ~((uint32_t)1 << row);
}

/* Slot's instance goes: the rows showing its variables are printed as they
 * are now and follow nothing from then on. */
void lvk_text_release(lvk_engine_t *e, int slot)
{
  int r;
  uint32_t owned;
  for (r = 0, owned = e->owned_rows; owned; ++r, owned >>= 1)
    if ((owned & 1) && e->row_owner[r] == slot) {
      if (e->rows_stale & ((uint32_t)1 << r)) {
        e->rows_stale &= ~((uint32_t)1 << r);
        print_row(e, r);
      }
      forget_shown_vars(e, r);
    }
}

/* Gives the game's rows among Rows (bit r: row r) back to the host, empty. */
void lvk_text_clear(lvk_engine_t *e, uint32_t rows)
{
  int r, c;
  rows &= e->rows_used;
  for (r = 0; r < LVK_TEXT_ROWS; ++r) {
    if (!(rows & ((uint32_t)1 << r))) continue;
    for (c = 0; c < LVK_TEXT_COLUMNS; ++c) e->rows[r][c] = ' ';
    forget_shown_vars(e, r);
  }
  e->rows_changed |= rows;
  e->rows_used &= ~rows;
  e->rows_stale &= ~rows;
}

const char *lvk_engine_text_row(const lvk_engine_t *e, int row)
{
  return row >= 0 && row < LVK_TEXT_ROWS ? e->rows[row] : 0;
}

uint32_t lvk_engine_text_rows(const lvk_engine_t *e) { return e->rows_used; }

uint32_t lvk_engine_take_changed_rows(lvk_engine_t *e)
{
  uint32_t changed = e->rows_changed;
  e->rows_changed = 0;
  return changed;
}
