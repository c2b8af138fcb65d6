/* Inside the engine only: the upper screen's text rows, printed by
 * ShowText and kept up to date with the variables they show. */
#ifndef LVK_ENGINE_TEXT_H
#define LVK_ENGINE_TEXT_H

#include "lvk_engine_base.h"

/* Every row empty and following nothing. */
void lvk_text_init(lvk_engine_t *e);

/* Row Row shows text Text from now on, with the variables of Slot's
 * instance; printed at the frame's end. */
void lvk_text_show(lvk_engine_t *e, int slot, unsigned text, int32_t row);

/* Row Row shows Line (cut at the row's end) as it is, following nothing;
 * a row outside 0..23 does nothing. */
void lvk_text_print(lvk_engine_t *e, int row, const char *line);

/* Gives the game's rows among Rows (bit r: row r) back to the host, empty. */
void lvk_text_clear(lvk_engine_t *e, uint32_t rows);

/* Slot's instance goes: the rows showing its variables are printed as they
 * are now and follow nothing from then on. */
void lvk_text_release(lvk_engine_t *e, int slot);

/* Prints the rows whose variables changed. */
void lvk_text_print_stale(lvk_engine_t *e);

void lvk_text_mark_game_variable(lvk_engine_t *e, unsigned place);
void lvk_text_mark_instance_variable(lvk_engine_t *e, int slot, unsigned place);

/* The variable at Place (lvk_engine_t.variable_place) of Slot changed: the
 * rows showing it print again. Most changes are of variables no row shows,
 * found here without a call. */
static inline void lvk_text_variable_changed(lvk_engine_t *e, int slot, unsigned place)
{
  if (place & INSTANCE_PLACE) {
    if (e->owned_rows) lvk_text_mark_instance_variable(e, slot, place & ~INSTANCE_PLACE);
  } else if (e->shown_game_vars[place >> 5] & ((uint32_t)1 << (place & 31))) {
    lvk_text_mark_game_variable(e, place);
  }
}

#endif
