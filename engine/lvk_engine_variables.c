/* The variables: the game's in lvk_engine_t, each instance's own in the
 * host's lvk_instance_values_t. */
#include "lvk_engine_variables.h"

#include "lvk_engine_text.h"

void lvk_variables_bind(lvk_engine_t *e)
{
  unsigned i, places[2] = {0, 0};
  for (i = 0; i < e->game->variable_count; ++i) {
    const lvk_variable_t *v = &e->game->variables[i];
    e->variable_place[i] = (uint8_t)(places[v->scope]++ | (v->scope == LVK_SCOPE_INSTANCE ? INSTANCE_PLACE : 0u));
    if (v->scope == LVK_SCOPE_GAME) e->game_values[e->variable_place[i]] = v->initial;
  }
}

void lvk_variables_restart(lvk_engine_t *e)
{
  const lvk_game_t *g = e->game;
  unsigned i;
  for (i = 0; i < g->variable_count; ++i)
    if (g->variables[i].scope == LVK_SCOPE_GAME) e->game_values[e->variable_place[i]] = g->variables[i].initial;
}

void lvk_variables_start_instance(lvk_engine_t *e, int slot)
{
  const lvk_game_t *g = e->game;
  unsigned i;
  for (i = 0; i < g->variable_count; ++i)
    if (g->variables[i].scope == LVK_SCOPE_INSTANCE)
      *instance_value(e, slot, e->variable_place[i] & ~INSTANCE_PLACE) = g->variables[i].initial;
}

void lvk_variable_set(lvk_engine_t *e, int slot, unsigned variable, int32_t value)
{
  unsigned place = e->variable_place[variable];
  int32_t *v = place & INSTANCE_PLACE ? instance_value(e, slot, place & ~INSTANCE_PLACE) : &e->game_values[place];
  if (*v == value) return;
  *v = value;
  lvk_text_variable_changed(e, slot, place);
}

int32_t lvk_engine_variable(const lvk_engine_t *e, int variable, int slot)
{
  const lvk_game_t *g = e->game;
  unsigned place;
  if (!g || variable < 0 || variable >= g->variable_count) return 0;
  place = e->variable_place[variable];
  if (!(place & INSTANCE_PLACE)) return e->game_values[place];
  if (!e->instance_values || slot < 0 || slot >= e->instance_count) return 0;
  return e->instance_values->values[slot][place & ~INSTANCE_PLACE];
}
