/* Checking the tables: a game reaches the rules only when every count,
 * index and size in it holds, so the rules never test them again. */
#include "lvk_engine_check.h"

uint32_t lvk_scenery_start(const lvk_game_t *g, int level)
{
  uint32_t start = 0;
  int i;
  /* Tables without a scenery count hold one screen of cells a level. */
  if (!g->scenery_count) return (uint32_t)level * LVK_LEVEL_CELLS;
  for (i = 0; i < level; ++i) start += (uint32_t)level_width(&g->levels[i]) * level_height(&g->levels[i]);
  return start;
}


/* The catalogue's lines as the check reads them: a kind's head, then its
 * values, in the catalogue's order. */
typedef struct catalogue_row {
  uint8_t head;   /* 1: a kind, number its engine number */
  uint8_t number;
  uint8_t type;   /* of a value: LVK_VALUE_... */
  uint8_t slot;   /* LVK_SLOT_... */
  int32_t max;    /* an item's: LVK_OR_NONE or not; a comparison's: the last */
} catalogue_row_t;

#define ROW_EVENT(id, number, ...) {1, number, 0, 0, 0},
#define ROW_ACTION(id, number, ...) {1, number, 0, 0, 0},
#define ROW_VALUE(type, slot, min, max, ...) {0, 0, LVK_VALUE_##type, LVK_SLOT_##slot, max},
static const catalogue_row_t event_rows[] = {LVK_EVENT_CATALOGUE(ROW_EVENT, ROW_VALUE)};
static const catalogue_row_t action_rows[] = {LVK_ACTION_CATALOGUE(ROW_ACTION, ROW_VALUE)};
#undef ROW_EVENT
#undef ROW_ACTION
#undef ROW_VALUE
#define ROW_COUNT(rows) (sizeof(rows) / sizeof(rows[0]))

/* Where each kind's head is among Rows (Count rows); kinds the catalogue
 * lacks: Count. */
static void kind_heads(const catalogue_row_t *rows, unsigned count, uint16_t *heads, unsigned kinds)
{
  unsigned i;
  for (i = 0; i < kinds; ++i) heads[i] = (uint16_t)count;
  for (i = 0; i < count; ++i)
    if (rows[i].head && rows[i].number < kinds) heads[rows[i].number] = (uint16_t)i;
}

/* A DS sprite shape: sides of 8 to 64, square, twice as long one way, or
 * 32x8 and 8x32. */
static int sprite_shape_ok(unsigned width, unsigned height)
{
  unsigned longer = width > height ? width : height, shorter = width > height ? height : width;
  if ((width != 8 && width != 16 && width != 32 && width != 64) ||
      (height != 8 && height != 16 && height != 32 && height != 64))
    return 0;
  return longer <= 2 * shorter || (longer == 32 && shorter == 8);
}

/* Every SetAnimation of the actor's handlers names one of its animations
 * (or none); the handlers' and actions' ranges are checked already. */
static int animation_numbers_ok(const lvk_game_t *g, const lvk_actor_t *a)
{
  unsigned h, k;
  for (h = a->first_handler; h < (unsigned)a->first_handler + a->handler_count; ++h) {
    const lvk_handler_t *handler = &g->handlers[h];
    for (k = handler->first_action; k < (unsigned)handler->first_action + handler->action_count; ++k)
      if (g->actions[k].kind == LVK_ACTION_SET_ANIMATION && g->actions[k].ref >= a->animation_count &&
          g->actions[k].ref != LVK_NONE)
        return 0;
  }
  return 1;
}

static int number_ok(const lvk_game_t *g, uint16_t var) { return var <= g->variable_count; }

/* Whether Index names an item of Type the game has (or LVK_NONE where the
 * catalogue allows none, LVK_ANY_SOLID where it allows any solid actor). */
static int item_ok(const lvk_game_t *g, const catalogue_row_t *v, unsigned index)
{
  if (v->max == LVK_OR_NONE && index == LVK_NONE) return 1;
  if (v->max == LVK_OR_ANY_SOLID && index == LVK_ANY_SOLID) return 1;
  switch (v->type) {
  case LVK_VALUE_VARIABLE: return index < g->variable_count;
  case LVK_VALUE_ACTOR: return index < g->actor_count;
  case LVK_VALUE_TILE: return index < g->tile_count;
  case LVK_VALUE_TEXT: return index < g->text_count;
  case LVK_VALUE_SOUND: return index < g->sound_count;
  case LVK_VALUE_COMPARE: return index <= (unsigned)v->max;
  default: return 1; /* key sets, areas, animations (checked with their actor) */
  }
}

/* An action's numbers name variables the game has, and its reference and
 * comparison are as its kind's values in the catalogue say (a comparison is
 * a literal among the comparisons); kinds this engine does not know take
 * any reference and literal. */
static int action_ok(const lvk_game_t *g, const lvk_action_t *a, const uint16_t *heads)
{
  unsigned i;
  for (i = 0; i < LVK_ACTION_NUMBERS; ++i)
    if (!number_ok(g, a->var[i])) return 0;
  if (a->kind >= LVK_ACTION_KINDS) return 1;
  for (i = heads[a->kind] + 1u; i < ROW_COUNT(action_rows) && !action_rows[i].head; ++i) {
    const catalogue_row_t *v = &action_rows[i];
    if (v->slot == LVK_SLOT_REF && !item_ok(g, v, a->ref)) return 0;
    if (v->slot <= LVK_SLOT_N6 && v->type == LVK_VALUE_COMPARE &&
        (a->var[v->slot] != LVK_LITERAL || a->n[v->slot] < 0 || !item_ok(g, v, (unsigned)a->n[v->slot])))
      return 0;
  }
  return 1;
}

/* A handler's other actor as its event's values in the catalogue say. */
static int handler_ok(const lvk_game_t *g, const lvk_handler_t *h, const uint16_t *heads)
{
  unsigned i;
  if (h->event >= LVK_EVENT_KINDS) return 1;
  for (i = heads[h->event] + 1u; i < ROW_COUNT(event_rows) && !event_rows[i].head; ++i)
    if (event_rows[i].slot == LVK_SLOT_OTHER && !item_ok(g, &event_rows[i], h->other)) return 0;
  return 1;
}

static int variables_ok(const lvk_game_t *g)
{
  unsigned i, game = 0, instance = 0;
  for (i = 0; i < g->variable_count; ++i) {
    const lvk_variable_t *v = &g->variables[i];
    if (v->scope == LVK_SCOPE_GAME) ++game;
    else if (v->scope == LVK_SCOPE_INSTANCE) ++instance;
    else return 0;
  }
  return game <= LVK_MAX_GAME_VARIABLES && instance <= LVK_MAX_INSTANCE_VARIABLES;
}

/* A high-score table counts a game variable with letters a row can show. */
static int saving_ok(const lvk_game_t *g)
{
  const lvk_saving_t *s = &g->saving;
  if (!s->score_places) return 1;
  return s->score_places <= LVK_SAVE_MAX_PLACES && s->score_letters >= 1 && s->score_letters <= LVK_SAVE_MAX_LETTERS &&
         s->score_variable < g->variable_count && g->variables[s->score_variable].scope == LVK_SCOPE_GAME;
}

static int texts_ok(const lvk_game_t *g)
{
  unsigned i;
  for (i = 0; i < g->text_count; ++i) {
    const lvk_text_t *t = &g->texts[i];
    if ((uint32_t)t->first_segment + t->segment_count > g->segment_count) return 0;
  }
  for (i = 0; i < g->segment_count; ++i) {
    const lvk_segment_t *s = &g->segments[i];
    if (s->variable != LVK_LITERAL) {
      if (!number_ok(g, s->variable)) return 0;
    } else if (s->first > g->char_count || s->length > g->char_count - s->first) {
      return 0;
    }
  }
  return 1;
}

int lvk_game_check(const lvk_game_t *g)
{
  uint32_t cells;
  unsigned i;
  uint16_t event_heads[LVK_EVENT_KINDS], action_heads[LVK_ACTION_KINDS];
  if (!g) return 0;
  kind_heads(event_rows, ROW_COUNT(event_rows), event_heads, LVK_EVENT_KINDS);
  kind_heads(action_rows, ROW_COUNT(action_rows), action_heads, LVK_ACTION_KINDS);
  if ((g->actor_count && !g->actors) || (g->handler_count && !g->handlers) || (g->action_count && !g->actions) ||
      (g->level_count && (!g->levels || !g->scenery)) || (g->spawn_count && !g->spawns) ||
      (g->variable_count && !g->variables) || (g->text_count && !g->texts) ||
      (g->segment_count && !g->segments) || (g->char_count && !g->chars))
    return 0;
  if (g->variable_count > LVK_MAX_VARIABLES || !variables_ok(g) || !texts_ok(g) || !saving_ok(g)) return 0;
  if ((g->animation_count && !g->animations) || (g->frame_count && !g->frames) ||
      (g->frame_tile_count && !g->frame_tiles))
    return 0;
  for (i = 0; i < g->actor_count; ++i) {
    const lvk_actor_t *a = &g->actors[i];
    unsigned k, tiles = (actor_width(a) / LVK_TILE_SIZE) * (actor_height(a) / LVK_TILE_SIZE);
    if ((uint32_t)a->first_handler + a->handler_count > g->handler_count) return 0;
    if (!sprite_shape_ok(actor_width(a), actor_height(a))) return 0;
    if ((uint32_t)a->first_animation + a->animation_count > g->animation_count) return 0;
    for (k = 0; k < a->animation_count; ++k) {
      const lvk_animation_t *n = &g->animations[a->first_animation + k];
      unsigned f;
      if ((uint32_t)n->first_frame + n->frame_count > g->frame_count || n->mode > LVK_ANIMATION_BACK_AND_FORTH) return 0;
      for (f = 0; f < n->frame_count; ++f) {
        uint32_t first = g->frames[n->first_frame + f];
        if (first > g->frame_tile_count || tiles > g->frame_tile_count - first) return 0;
      }
    }
  }
  for (i = 0; i < g->handler_count; ++i) {
    const lvk_handler_t *h = &g->handlers[i];
    if ((uint32_t)h->first_action + h->action_count > g->action_count) return 0;
    if (!handler_ok(g, h, event_heads)) return 0;
  }
  for (i = 0; i < g->action_count; ++i)
    if (!action_ok(g, &g->actions[i], action_heads)) return 0;
  for (i = 0; i < g->actor_count; ++i)
    if (!animation_numbers_ok(g, &g->actors[i])) return 0;
  for (i = 0; i < g->level_count; ++i) {
    const lvk_level_t *l = &g->levels[i];
    unsigned k;
    if ((uint32_t)l->first_spawn + l->spawn_count > g->spawn_count) return 0;
    if (l->width > LVK_MAX_LEVEL_COLUMNS || l->height > LVK_MAX_LEVEL_ROWS || l->music > g->sound_count) return 0;
    if (l->follow > g->actor_count || l->dead_width > LVK_SCREEN_WIDTH || l->dead_height > LVK_SCREEN_HEIGHT)
      return 0;
    /* Tables without a scenery count hold one-screen levels only. */
    if (!g->scenery_count && (level_width(l) > LVK_LEVEL_COLUMNS || level_height(l) > LVK_LEVEL_ROWS)) return 0;
    for (k = 0; k < l->spawn_count; ++k) {
      const lvk_spawn_t *s = &g->spawns[l->first_spawn + k];
      if (s->column >= level_width(l) || s->row >= level_height(l)) return 0;
    }
  }
  for (i = 0; i < g->spawn_count; ++i) {
    const lvk_spawn_t *s = &g->spawns[i];
    if (s->actor >= g->actor_count) return 0;
  }
  cells = g->scenery_count ? g->scenery_count : (uint32_t)g->level_count * LVK_LEVEL_CELLS;
  if (lvk_scenery_start(g, g->level_count) > cells) return 0;
  for (i = 0; i < cells; ++i)
    if (g->scenery[i] != LVK_NONE && g->scenery[i] >= g->actor_count) return 0;
  return 1;
}

void lvk_level_clear_live_cells(const lvk_game_t *g, int level, uint16_t *map)
{
  unsigned i;
  const lvk_level_t *l;
  if (!map || !lvk_game_check(g) || level < 0 || level >= g->level_count) return;
  l = &g->levels[level];
  for (i = 0; i < l->spawn_count; ++i) {
    const lvk_spawn_t *s = &g->spawns[l->first_spawn + i];
    map[s->row * (g->scenery_count ? level_width(l) : LVK_LEVEL_COLUMNS) + s->column] = g->tile_count;
  }
}

int lvk_game_sprite_tile(const lvk_game_t *g, uint32_t *cursor)
{
  /* No whole check: hosts ask while preparing, also of tables in the making;
   * every read stays inside the counts. */
  if (!cursor || !g || (g->actor_count && !g->actors) || (g->action_count && !g->actions)) return -1;
  /* Actors first, then actions: one cursor over both. */
  while (*cursor < g->actor_count) {
    const lvk_actor_t *a = &g->actors[(*cursor)++];
    if (a->handler_count) return a->tile;
  }
  while (*cursor - g->actor_count < g->action_count) {
    const lvk_action_t *a = &g->actions[(*cursor)++ - g->actor_count];
    if (a->kind == LVK_ACTION_SET_TILE) return a->ref;
    if (a->kind == LVK_ACTION_SPAWN && a->ref < g->actor_count) return g->actors[a->ref].tile;
  }
  return -1;
}

int lvk_needs_instance_values(const lvk_game_t *g)
{
  unsigned i;
  for (i = 0; i < g->variable_count; ++i)
    if (g->variables[i].scope == LVK_SCOPE_INSTANCE) return 1;
  for (i = 0; i < g->action_count; ++i)
    if (g->actions[i].kind == LVK_ACTION_JUMP_TO_START) return 1;
  return 0;
}
