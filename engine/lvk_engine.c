/* The rules of play; lvk_engine.h states them. Everything here is integer
 * arithmetic on the caller's lvk_engine_t: no allocation, no floating point,
 * no library calls, so the same file builds for the arm9 and for hosts. */
#include "lvk_engine.h"

/* The smallest side of a box: a long move is looked at halfway. */
#define BOX_PIXELS LVK_TILE_SIZE
/* Positions stay within what a sprite's whole-pixel int16 can hold, so an
 * instance that flies off for hours neither overflows nor wraps round. */
#define POSITION_LIMIT (16000L * LVK_SUBPIXELS)
#define NO_SLOT 0xFFu
/* In lvk_engine_t.variable_place: the variable is an instance variable. */
#define INSTANCE_PLACE 0x80u

#define EDGE_N LVK_AREA_N
#define EDGE_E LVK_AREA_E
#define EDGE_S LVK_AREA_S
#define EDGE_W LVK_AREA_W

static int32_t clamp32(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

static int sign32(int32_t v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

/* Rounds down, also for negative positions: shifted while positive, since
 * C leaves the shift of a negative number to the compiler. Positions stay
 * within POSITION_LIMIT, which the offset exceeds. */
#define PIXEL_OFFSET (16384L * LVK_SUBPIXELS)
static int32_t pixel_of(int32_t sub)
{
  return (int32_t)((uint32_t)(sub + PIXEL_OFFSET) / LVK_SUBPIXELS) - 16384L;
}

/* Sub (a position) moved to pixel Pixel, keeping its place inside the pixel,
 * so a move taken back to its own pixel gives the old position exactly. */
static int32_t at_pixel(int32_t sub, int32_t pixel)
{
  return pixel * LVK_SUBPIXELS + (sub - pixel_of(sub) * LVK_SUBPIXELS);
}

static int32_t saturated_add(int32_t a, int32_t b)
{
  if (b > 0 && a > INT32_MAX - b) return INT32_MAX;
  if (b < 0 && a < INT32_MIN - b) return INT32_MIN;
  return a + b;
}

static unsigned actor_width(const lvk_actor_t *a) { return a->width ? a->width : LVK_TILE_SIZE; }
static unsigned actor_height(const lvk_actor_t *a) { return a->height ? a->height : LVK_TILE_SIZE; }

static unsigned level_width(const lvk_level_t *l) { return l->width ? l->width : LVK_LEVEL_COLUMNS; }
static unsigned level_height(const lvk_level_t *l) { return l->height ? l->height : LVK_LEVEL_ROWS; }

/* Where the scenery of level Level starts: the levels before it, cell by
 * cell, as the table holds them. */
static uint32_t scenery_start(const lvk_game_t *g, int level)
{
  uint32_t start = 0;
  int i;
  /* Tables without a scenery count hold one screen of cells a level. */
  if (!g->scenery_count) return (uint32_t)level * LVK_LEVEL_CELLS;
  for (i = 0; i < level; ++i) start += (uint32_t)level_width(&g->levels[i]) * level_height(&g->levels[i]);
  return start;
}

/* ---- Checking the tables ---- */

static int number_ok(const lvk_game_t *g, uint16_t var) { return var <= g->variable_count; }

static int action_ok(const lvk_game_t *g, const lvk_action_t *a)
{
  if (!number_ok(g, a->var1) || !number_ok(g, a->var2)) return 0;
  switch (a->kind) {
  case LVK_ACTION_SET_VARIABLE:
    return a->ref < g->variable_count;
  case LVK_ACTION_IF_VARIABLE:
    return a->ref < g->variable_count && a->op <= LVK_COMPARE_AT_LEAST;
  case LVK_ACTION_IF_COUNT:
    return a->ref < g->actor_count && a->op <= LVK_COMPARE_AT_LEAST;
  case LVK_ACTION_SHOW_TEXT:
    return a->ref < g->text_count;
  case LVK_ACTION_SPAWN:
  case LVK_ACTION_MOVE_TOWARD:
    return a->ref < g->actor_count;
  case LVK_ACTION_CAMERA_FOLLOW:
    return a->ref < g->actor_count || a->ref == LVK_NONE;
  case LVK_ACTION_SET_TILE:
    return a->ref < g->tile_count || a->ref == LVK_NONE;
  case LVK_ACTION_PLAY_SOUND:
    return a->ref < g->sound_count;
  default:
    return 1;
  }
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
  if (!g) return 0;
  if ((g->actor_count && !g->actors) || (g->handler_count && !g->handlers) || (g->action_count && !g->actions) ||
      (g->level_count && (!g->levels || !g->scenery)) || (g->spawn_count && !g->spawns) ||
      (g->variable_count && !g->variables) || (g->text_count && !g->texts) ||
      (g->segment_count && !g->segments) || (g->char_count && !g->chars))
    return 0;
  if (g->variable_count > LVK_MAX_VARIABLES || !variables_ok(g) || !texts_ok(g)) return 0;
  if ((g->animation_count && !g->animations) || (g->frame_count && !g->frames) ||
      (g->frame_tile_count && !g->frame_tiles))
    return 0;
  for (i = 0; i < g->actor_count; ++i) {
    const lvk_actor_t *a = &g->actors[i];
    unsigned k, tiles = (actor_width(a) / LVK_TILE_SIZE) * (actor_height(a) / LVK_TILE_SIZE);
    if ((uint32_t)a->first_handler + a->handler_count > g->handler_count) return 0;
    if (actor_width(a) > LVK_MAX_SPRITE_SIZE || actor_height(a) > LVK_MAX_SPRITE_SIZE ||
        actor_width(a) % LVK_TILE_SIZE || actor_height(a) % LVK_TILE_SIZE)
      return 0;
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
    if (h->event == LVK_EVENT_COLLISION && h->other >= g->actor_count && h->other != LVK_ANY_SOLID) return 0;
  }
  for (i = 0; i < g->action_count; ++i)
    if (!action_ok(g, &g->actions[i])) return 0;
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
  if (scenery_start(g, g->level_count) > cells) return 0;
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

/* ---- Binding ---- */

void lvk_engine_init(lvk_engine_t *e, const lvk_game_t *game)
{
  unsigned i, places[2] = {0, 0};
  e->game = lvk_game_check(game) ? game : 0;
  e->level = -1;
  e->next_level = -1;
  e->frame = 0;
  e->keys = 0;
  e->level_changed = 0;
  e->viewer = 1;
  e->restart = 0;
  e->jumped = 0;
  e->any_solid = 0;
  e->instance_count = 0;
  e->live_count = 0;
  e->trace = 0;
  e->trace_context = 0;
  /* Any fixed seed will do, as long as every host starts from it. */
  e->random = 0x2545F491u;
  e->solid_count = 0;
  e->instance_values = 0;
  e->pending_count = 0;
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
  e->sound_count = 0;
  e->music = LVK_NONE;
  e->camera_x = e->camera_y = 0;
  e->camera_follow = LVK_NONE;
  e->camera_moving = 0;
  e->shake_frames = 0;
  e->shake_strength = 0;
  if (!e->game) return;
  for (i = 0; i < e->game->actor_count; ++i)
    if (e->game->actors[i].handler_count > 0) e->viewer = 0;
  for (i = 0; i < e->game->handler_count; ++i)
    if (e->game->handlers[i].event == LVK_EVENT_COLLISION && e->game->handlers[i].other == LVK_ANY_SOLID)
      e->any_solid = 1;
  for (i = 0; i < e->game->variable_count; ++i) {
    const lvk_variable_t *v = &e->game->variables[i];
    e->variable_place[i] = (uint8_t)(places[v->scope]++ | (v->scope == LVK_SCOPE_INSTANCE ? INSTANCE_PLACE : 0u));
    if (v->scope == LVK_SCOPE_GAME) e->game_values[e->variable_place[i]] = v->initial;
  }
}

void lvk_engine_set_instance_values(lvk_engine_t *e, lvk_instance_values_t *values) { e->instance_values = values; }

void lvk_engine_set_trace(lvk_engine_t *e, lvk_trace_fn trace, void *context)
{
  e->trace = trace;
  e->trace_context = context;
}

/* Whether the game reads lvk_instance_values_t: instance variables or a
 * JumpToStart. */
static int needs_instance_values(const lvk_game_t *g)
{
  unsigned i;
  for (i = 0; i < g->variable_count; ++i)
    if (g->variables[i].scope == LVK_SCOPE_INSTANCE) return 1;
  for (i = 0; i < g->action_count; ++i)
    if (g->actions[i].kind == LVK_ACTION_JUMP_TO_START) return 1;
  return 0;
}

/* ---- Variables ---- */

static int32_t *instance_value(lvk_engine_t *e, int slot, unsigned place)
{
  return &e->instance_values->values[slot][place];
}

static int32_t variable_value(lvk_engine_t *e, int slot, unsigned variable)
{
  unsigned place = e->variable_place[variable];
  return place & INSTANCE_PLACE ? *instance_value(e, slot, place & ~INSTANCE_PLACE) : e->game_values[place];
}

/* An action's number: the literal, or the variable's value. */
static int32_t number(lvk_engine_t *e, int slot, int32_t arg, uint16_t var)
{
  return var == LVK_LITERAL ? arg : variable_value(e, slot, var - 1u);
}

static void set_variable(lvk_engine_t *e, int slot, unsigned variable, int32_t value)
{
  unsigned place = e->variable_place[variable], r;
  if (!(place & INSTANCE_PLACE)) {
    uint32_t bit = (uint32_t)1 << (place & 31);
    if (e->game_values[place] == value) return;
    e->game_values[place] = value;
    if (!(e->shown_game_vars[place >> 5] & bit)) return;
    for (r = 0; r < LVK_TEXT_ROWS; ++r)
      if (e->row_game_vars[r][place >> 5] & bit) e->rows_stale |= (uint32_t)1 << r;
  } else {
    int32_t *v;
    uint32_t owned;
    place &= ~INSTANCE_PLACE;
    v = instance_value(e, slot, place);
    if (*v == value) return;
    *v = value;
    /* Only the rows some instance owns: on the DS a loop over all rows for
     * every instance's every set is a frame's sizeable share. */
    for (r = 0, owned = e->owned_rows; owned; ++r, owned >>= 1)
      if ((owned & 1) && e->row_owner[r] == slot && (e->row_instance_vars[r] & (1u << place)))
        e->rows_stale |= (uint32_t)1 << r;
  }
}

/* ---- Text rows ---- */

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

static void print_stale_rows(lvk_engine_t *e)
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

static void show_text(lvk_engine_t *e, int slot, unsigned text, int32_t row)
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

/* Slot's instance goes: the rows showing its variables are printed as they
 * are now and follow nothing from then on. */
static void release_rows(lvk_engine_t *e, int slot)
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
static void clear_rows(lvk_engine_t *e, uint32_t rows)
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

/* ---- Instances ---- */

static int slot_alive(const lvk_engine_t *e, int slot) { return e->instances[slot].alive && !e->instances[slot].doomed; }

/* Puts Slot into by_actor at its actor's end; it is not in the list. */
static void sort_in(lvk_engine_t *e, int slot, int count)
{
  int j = count;
  while (j > 0 && e->instances[e->by_actor[j - 1]].actor > e->instances[slot].actor) {
    e->by_actor[j] = e->by_actor[j - 1];
    --j;
  }
  e->by_actor[j] = (uint8_t)slot;
}

static void make_instance(lvk_engine_t *e, int slot, uint16_t actor, int32_t x, int32_t y)
{
  const lvk_game_t *g = e->game;
  lvk_instance_t *in = &e->instances[slot];
  unsigned i;
  in->x = in->old_x = x;
  in->y = in->old_y = y;
  in->touching = 0;
  in->actor = actor;
  in->sx = in->sy = 0;
  in->dx = in->dy = 0;
  in->alive = 1;
  in->doomed = 0;
  in->outside = 0;
  /* Most instances (walls, coins) have no handler the input phase asks
   * about on every frame; it passes them by. */
  in->polled = 0;
  for (i = 0; i < g->actors[actor].handler_count; ++i) {
    const uint8_t event = g->handlers[g->actors[actor].first_handler + i].event;
    if (event == LVK_EVENT_KEY || event == LVK_EVENT_KEY_HELD || event == LVK_EVENT_TOUCH || event == LVK_EVENT_TIMER)
      in->polled = 1;
  }
  in->tile = g->actors[actor].tile;
  in->age = 0;
  if (e->instance_values) {
    e->instance_values->start_x[slot] = x;
    e->instance_values->start_y[slot] = y;
  }
  in->width = (uint8_t)actor_width(&g->actors[actor]);
  in->height = (uint8_t)actor_height(&g->actors[actor]);
  in->mirror = 0;
  in->turning = 0;
  in->animation = g->actors[actor].animation_count ? 0 : LVK_NONE;
  in->step = in->shown = 0;
  for (i = 0; i < g->variable_count; ++i)
    if (g->variables[i].scope == LVK_SCOPE_INSTANCE)
      *instance_value(e, slot, e->variable_place[i] & ~INSTANCE_PLACE) = g->variables[i].initial;
}

/* ---- Actions ---- */

static int compare(int32_t value, uint8_t op, int32_t with)
{
  switch (op) {
  case LVK_COMPARE_EQUAL: return value == with;
  case LVK_COMPARE_UNEQUAL: return value != with;
  case LVK_COMPARE_LESS: return value < with;
  case LVK_COMPARE_AT_MOST: return value <= with;
  case LVK_COMPARE_GREATER: return value > with;
  default: return value >= with;
  }
}

/* The first of the actor's places in by_actor order (the instance count
 * when it has none). */
static int first_of_actor(const lvk_engine_t *e, uint16_t actor)
{
  int lo = 0, hi = e->instance_count;
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (e->instances[e->by_actor[mid]].actor < actor) lo = mid + 1; else hi = mid;
  }
  return lo;
}

static int32_t count_of(const lvk_engine_t *e, uint16_t actor)
{
  int k = first_of_actor(e, actor);
  int32_t count = 0;
  for (; k < e->instance_count && e->instances[e->by_actor[k]].actor == actor; ++k)
    count += slot_alive(e, e->by_actor[k]);
  return count;
}

/* xorshift32: the same numbers on every host. */
static uint32_t next_random(lvk_engine_t *e)
{
  uint32_t r = e->random;
  r ^= r << 13;
  r ^= r >> 17;
  r ^= r << 5;
  e->random = r;
  return r;
}

static void move_toward(lvk_engine_t *e, int slot, uint16_t actor, int32_t speed)
{
  lvk_instance_t *in = &e->instances[slot];
  int32_t px = pixel_of(in->x), py = pixel_of(in->y);
  const lvk_instance_t *best = 0;
  uint32_t nearest = 0;
  int k = first_of_actor(e, actor);
  int32_t size, dx, dy;
  /* By slot, not by_actor order: ties go to the earlier slot. */
  for (; k < e->instance_count && e->instances[e->by_actor[k]].actor == actor; ++k) {
    int other = e->by_actor[k];
    const lvk_instance_t *o = &e->instances[other];
    uint32_t ax, ay, d;
    if (other == slot || !slot_alive(e, other)) continue;
    ax = (uint32_t)(pixel_of(o->x) > px ? pixel_of(o->x) - px : px - pixel_of(o->x));
    ay = (uint32_t)(pixel_of(o->y) > py ? pixel_of(o->y) - py : py - pixel_of(o->y));
    d = ax * ax + ay * ay;
    if (!best || d < nearest || (d == nearest && o < best)) {
      best = o;
      nearest = d;
    }
  }
  if (!best) return;
  size = clamp32(speed, 0, 255);
  dx = best->x - in->x;
  dy = best->y - in->y;
  in->dx = (int8_t)sign32(dx);
  in->dy = (int8_t)sign32(dy);
  /* Never past the target: it is reached and stays reached. */
  in->sx = (uint8_t)(dx < size && -dx < size ? (dx < 0 ? -dx : dx) : size);
  in->sy = (uint8_t)(dy < size && -dy < size ? (dy < 0 ? -dy : dy) : size);
}

/* Puts Slot's instance at (X, Y) in 1/16 pixel, as a jump: no move. */
static void jump(lvk_engine_t *e, int slot, int32_t x, int32_t y)
{
  lvk_instance_t *in = &e->instances[slot];
  in->x = in->old_x = clamp32(x, -POSITION_LIMIT, POSITION_LIMIT);
  in->y = in->old_y = clamp32(y, -POSITION_LIMIT, POSITION_LIMIT);
  e->jumped = 1;
}

/* A facing instance looks the way it moves on x. */
static void face_movement(lvk_instance_t *in)
{
  if (!(in->mirror & LVK_MIRROR_FACE) || !in->sx || !in->dx) return;
  in->mirror = (uint8_t)(LVK_MIRROR_FACE | (in->dx < 0 ? LVK_MIRROR_ON : 0));
}

static void ask_level(lvk_engine_t *e, int level)
{
  if (e->next_level < 0 && level >= 0 && level < e->game->level_count) e->next_level = level;
}

static void run_actions(lvk_engine_t *e, int slot, const lvk_handler_t *h)
{
  lvk_instance_t *in = &e->instances[slot];
  const lvk_action_t *a, *end;
  int failed = 0; /* the last guard failed */
  int held;       /* of a guard: whether it holds; -1 for other actions */
  /* A handler without actions may sit in a game whose action table is none. */
  if (!h->action_count) return;
  a = &e->game->actions[h->first_action];
  end = a + h->action_count;
  for (; a < end; ++a) {
    int32_t n1 = number(e, slot, a->arg1, a->var1);
    held = -1;
    switch (a->kind) {
    case LVK_ACTION_SET_SPEED_SIZE: {
      /* Clamped first, so adding cannot overflow; the result is the same. */
      int32_t x = clamp32(n1, -256, 256), y = clamp32(number(e, slot, a->arg2, a->var2), -256, 256);
      if (a->relative) {
        x += in->sx;
        y += in->sy;
      }
      in->sx = (uint8_t)clamp32(x, 0, 255);
      in->sy = (uint8_t)clamp32(y, 0, 255);
      break;
    }
    case LVK_ACTION_SET_SPEED_DIR: {
      int x = sign32(n1), y = sign32(number(e, slot, a->arg2, a->var2));
      if (a->relative) {
        x += in->dx;
        y += in->dy;
      }
      in->dx = (int8_t)clamp32(x, -1, 1);
      in->dy = (int8_t)clamp32(y, -1, 1);
      break;
    }
    case LVK_ACTION_DESTROY:
      in->doomed = 1;
      break;
    case LVK_ACTION_NEXT_LEVEL:
      if (e->game->level_count > 0) ask_level(e, (e->level + 1) % e->game->level_count);
      break;
    case LVK_ACTION_SET_VARIABLE:
      set_variable(e, slot, a->ref, a->relative ? saturated_add(variable_value(e, slot, a->ref), n1) : n1);
      break;
    case LVK_ACTION_SHOW_TEXT:
      show_text(e, slot, a->ref, n1);
      break;
    case LVK_ACTION_SPAWN:
      if (e->pending_count < LVK_MAX_INSTANCES) {
        lvk_pending_spawn_t *p = &e->pending[e->pending_count++];
        p->actor = a->ref;
        p->x = clamp32(in->x + clamp32(n1, -32000, 32000) * LVK_SUBPIXELS, -POSITION_LIMIT, POSITION_LIMIT);
        p->y = clamp32(in->y + clamp32(number(e, slot, a->arg2, a->var2), -32000, 32000) * LVK_SUBPIXELS,
                       -POSITION_LIMIT, POSITION_LIMIT);
      }
      break;
    case LVK_ACTION_GO_TO_LEVEL:
      ask_level(e, n1 == 0 ? e->level : n1 > 0 ? n1 - 1 : -1);
      break;
    case LVK_ACTION_RESTART_GAME:
      e->restart = 1;
      break;
    case LVK_ACTION_BOUNCE:
      if (n1) in->dx = (int8_t)-in->dx;
      if (number(e, slot, a->arg2, a->var2)) in->dy = (int8_t)-in->dy;
      break;
    case LVK_ACTION_SET_TILE:
      in->tile = a->ref;
      in->animation = LVK_NONE;
      break;
    case LVK_ACTION_MOVE_TOWARD:
      move_toward(e, slot, a->ref, n1);
      break;
    case LVK_ACTION_IF_VARIABLE:
      held = compare(variable_value(e, slot, a->ref), a->op, n1);
      break;
    case LVK_ACTION_IF_COUNT:
      held = compare(count_of(e, a->ref), a->op, n1);
      break;
    case LVK_ACTION_IF_CHANCE:
      held = n1 >= 1 && next_random(e) % (uint32_t)n1 == 0;
      break;
    case LVK_ACTION_IF_KEY_HELD:
      held = a->ref && (e->keys & a->ref) == a->ref;
      break;
    case LVK_ACTION_OTHERWISE:
      if (!failed) return;
      break;
    case LVK_ACTION_PLAY_SOUND:
      if (e->sound_count < LVK_MAX_FRAME_SOUNDS) e->sounds[e->sound_count++] = a->ref;
      break;
    case LVK_ACTION_CLEAR_TEXT:
      if (number(e, slot, a->arg2, a->var2))
        clear_rows(e, e->rows_used);
      else if (n1 >= 0 && n1 < LVK_TEXT_ROWS)
        clear_rows(e, (uint32_t)1 << n1);
      break;
    case LVK_ACTION_JUMP_TO: {
      int32_t x = clamp32(n1, -32000, 32000) * LVK_SUBPIXELS;
      int32_t y = clamp32(number(e, slot, a->arg2, a->var2), -32000, 32000) * LVK_SUBPIXELS;
      if (a->relative) jump(e, slot, in->x + x, in->y + y);
      else jump(e, slot, x, y);
      break;
    }
    case LVK_ACTION_JUMP_TO_START:
      jump(e, slot, e->instance_values->start_x[slot], e->instance_values->start_y[slot]);
      break;
    case LVK_ACTION_CAMERA_FOLLOW:
      e->camera_follow = a->ref;
      e->camera_moving = 0;
      break;
    case LVK_ACTION_MOVE_CAMERA:
      e->camera_follow = LVK_NONE;
      e->camera_goal_x = n1;
      e->camera_goal_y = number(e, slot, a->arg2, a->var2);
      e->camera_speed = a->op;
      e->camera_moving = 1;
      break;
    case LVK_ACTION_SHAKE_CAMERA:
      e->shake_frames = n1 > 0 ? (uint32_t)n1 : 0;
      e->shake_strength = (uint8_t)clamp32(number(e, slot, a->arg2, a->var2), 0, LVK_MAX_SHAKE);
      break;
    case LVK_ACTION_SET_ANIMATION:
      if (a->ref < e->game->actors[in->actor].animation_count && (n1 || in->animation != a->ref)) {
        in->animation = a->ref;
        in->step = in->shown = 0;
        in->turning = 0;
      }
      break;
    case LVK_ACTION_MIRROR:
      if (number(e, slot, a->arg2, a->var2)) {
        in->mirror = (uint8_t)(LVK_MIRROR_FACE | (in->mirror & LVK_MIRROR_ON));
        face_movement(in);
      } else {
        in->mirror = n1 ? LVK_MIRROR_ON : 0;
      }
      break;
    default:
      break; /* a kind this engine does not know does nothing */
    }
    if (held == 0) {
      /* The run goes on after the next Otherwise, or ends without one. */
      while (++a < end && a->kind != LVK_ACTION_OTHERWISE) {}
      if (a == end) return;
    }
    if (held >= 0) failed = !held;
  }
}

static void fire(lvk_engine_t *e, int slot, unsigned handler)
{
  const lvk_handler_t *h = &e->game->handlers[handler];
#ifndef LVK_ENGINE_NO_TRACE
  if (e->trace) {
    lvk_trace_t t;
    t.frame = e->frame;
    t.instance = (uint16_t)slot;
    t.actor = e->instances[slot].actor;
    t.handler = (uint16_t)handler;
    t.event = h->event;
    e->trace(e->trace_context, &t);
  }
#endif
  run_actions(e, slot, h);
}

/* Fires every handler of the instance's actor whose event is Event. */
static void fire_all(lvk_engine_t *e, int slot, uint8_t event)
{
  const lvk_actor_t *a = &e->game->actors[e->instances[slot].actor];
  unsigned i;
  for (i = a->first_handler; i < (unsigned)a->first_handler + a->handler_count; ++i)
    if (e->game->handlers[i].event == event) fire(e, slot, i);
}

/* ---- Spawns ---- */

/* The spawns asked for so far, also those their own OnCreate handlers ask
 * for; each takes the lowest free slot, or is dropped when none is. */
static void spawn_pending(lvk_engine_t *e)
{
  int p;
  for (p = 0; p < e->pending_count; ++p) {
    const lvk_pending_spawn_t *s = &e->pending[p];
    int slot, k;
    for (slot = 0; slot < e->instance_count && e->instances[slot].alive; ++slot) {}
    if (slot == LVK_MAX_INSTANCES) continue;
    if (slot < e->instance_count) {
      /* A free slot: out of its old actor's place in by_actor. */
      for (k = 0; e->by_actor[k] != slot; ++k) {}
      for (; k + 1 < e->instance_count; ++k) e->by_actor[k] = e->by_actor[k + 1];
      make_instance(e, slot, s->actor, s->x, s->y);
      sort_in(e, slot, e->instance_count - 1);
    } else {
      make_instance(e, slot, s->actor, s->x, s->y);
      sort_in(e, slot, e->instance_count++);
    }
    e->live_count++;
    fire_all(e, slot, LVK_EVENT_CREATE);
  }
  e->pending_count = 0;
}

/* ---- The camera ---- */

static void camera_clamp(const lvk_engine_t *e, int32_t *x, int32_t *y)
{
  int32_t max_x = (int32_t)e->level_columns * LVK_TILE_SIZE - LVK_SCREEN_WIDTH;
  int32_t max_y = (int32_t)e->level_rows * LVK_TILE_SIZE - LVK_SCREEN_HEIGHT;
  *x = clamp32(*x, 0, max_x > 0 ? max_x : 0);
  *y = clamp32(*y, 0, max_y > 0 ? max_y : 0);
}

/* One axis of following: the camera moves just enough to bring the box's
 * middle (Mid) inside the dead zone of Dead pixels in the middle of a
 * screen Screen pixels long. */
static int32_t follow_axis(int32_t camera, int32_t mid, int32_t screen, int32_t dead)
{
  int32_t low = camera + (screen - dead) / 2, high = low + dead;
  if (mid < low) return camera - (low - mid);
  if (mid > high) return camera + (mid - high);
  return camera;
}

static int32_t glide(int32_t from, int32_t to, int32_t speed)
{
  if (speed <= 0 || (from > to ? from - to : to - from) <= speed) return to;
  return from < to ? from + speed : from - speed;
}

/* The instance the camera follows: the followed actor's live one in the
 * lowest slot, or -1. */
static int followed_slot(const lvk_engine_t *e)
{
  int slot;
  if (e->camera_follow == LVK_NONE) return -1;
  for (slot = 0; slot < e->instance_count; ++slot)
    if (e->instances[slot].actor == e->camera_follow && slot_alive(e, slot)) return slot;
  return -1;
}

static void camera_step(lvk_engine_t *e)
{
  int32_t x = e->camera_x, y = e->camera_y;
  if (e->camera_moving) {
    int32_t gx = e->camera_goal_x, gy = e->camera_goal_y;
    camera_clamp(e, &gx, &gy);
    x = glide(x, gx, e->camera_speed);
    y = glide(y, gy, e->camera_speed);
    if (x == gx && y == gy) e->camera_moving = 0;
  } else {
    int slot = followed_slot(e);
    if (slot >= 0) {
      const lvk_instance_t *in = &e->instances[slot];
      if (!(e->camera_locks & LVK_CAMERA_LOCK_X))
        x = follow_axis(x, pixel_of(in->x) + in->width / 2, LVK_SCREEN_WIDTH, e->dead_width);
      if (!(e->camera_locks & LVK_CAMERA_LOCK_Y))
        y = follow_axis(y, pixel_of(in->y) + in->height / 2, LVK_SCREEN_HEIGHT, e->dead_height);
    }
  }
  camera_clamp(e, &x, &y);
  e->camera_x = x;
  e->camera_y = y;
}

static void camera_start(lvk_engine_t *e, const lvk_level_t *l)
{
  e->camera_x = e->camera_y = 0;
  e->camera_follow = l->follow ? (uint16_t)(l->follow - 1u) : LVK_NONE;
  e->camera_moving = 0;
  e->camera_speed = 0;
  e->camera_locks = l->camera_flags;
  e->dead_width = l->dead_width;
  e->dead_height = l->dead_height;
  e->shake_frames = 0;
  e->shake_strength = 0;
  {
    int slot = followed_slot(e);
    if (slot >= 0) {
      /* Locks keep the start too: a locked axis stays at the level's edge. */
      if (!(e->camera_locks & LVK_CAMERA_LOCK_X))
        e->camera_x = pixel_of(e->instances[slot].x) + e->instances[slot].width / 2 - LVK_SCREEN_WIDTH / 2;
      if (!(e->camera_locks & LVK_CAMERA_LOCK_Y))
        e->camera_y = pixel_of(e->instances[slot].y) + e->instances[slot].height / 2 - LVK_SCREEN_HEIGHT / 2;
    }
  }
  camera_clamp(e, &e->camera_x, &e->camera_y);
}

/* ---- Levels ---- */

static void find_cell_rects(lvk_engine_t *e);

static void start_level(lvk_engine_t *e, int level)
{
  const lvk_game_t *g = e->game;
  const lvk_level_t *l;
  int i, count;
  if (!g || g->level_count == 0) return;
  if (!e->instance_values && needs_instance_values(g)) return;
  level %= g->level_count;
  if (level < 0) level += g->level_count;
  l = &g->levels[level];
  for (i = 0; i < e->instance_count; ++i) release_rows(e, i);
  e->level = level;
  e->level_columns = (int16_t)level_width(l);
  e->level_rows = (int16_t)level_height(l);
  e->level_scenery = g->scenery + scenery_start(g, level);
  e->scenery_stride = (int16_t)(g->scenery_count ? level_width(l) : LVK_LEVEL_COLUMNS);
  find_cell_rects(e);
  e->next_level = -1;
  e->restart = 0;
  e->level_changed = 1;
  e->pending_count = 0;
  e->music = l->music ? (uint16_t)(l->music - 1u) : LVK_NONE;
  count = l->spawn_count < LVK_MAX_INSTANCES ? l->spawn_count : LVK_MAX_INSTANCES;
  for (i = 0; i < count; ++i) {
    const lvk_spawn_t *s = &g->spawns[l->first_spawn + i];
    make_instance(e, i, s->actor, (int32_t)s->column * LVK_TILE_SIZE * LVK_SUBPIXELS,
                  (int32_t)s->row * LVK_TILE_SIZE * LVK_SUBPIXELS);
  }
  e->instance_count = count;
  e->live_count = count;
  /* Slots sorted by actor (insertion sort keeps spawn order within one), so
   * a collision test visits only the other actor's instances. */
  for (i = 0; i < count; ++i) sort_in(e, i, i);
  for (i = 0; i < count; ++i) fire_all(e, i, LVK_EVENT_CREATE);
  spawn_pending(e);
  camera_start(e, l);
  print_stale_rows(e);
}

static void restart_game(lvk_engine_t *e)
{
  const lvk_game_t *g = e->game;
  unsigned i;
  for (i = 0; i < g->variable_count; ++i)
    if (g->variables[i].scope == LVK_SCOPE_GAME) e->game_values[e->variable_place[i]] = g->variables[i].initial;
  for (i = 0; i < (unsigned)e->instance_count; ++i) release_rows(e, (int)i);
  clear_rows(e, e->rows_used);
  start_level(e, 0);
}

/* A start the host asks for: the sounds of the step before it were handed
 * over with that step and are not this start's. A start at a step's end
 * keeps the sounds the step asked for before it. */
void lvk_engine_start_level(lvk_engine_t *e, int level)
{
  e->sound_count = 0;
  start_level(e, level);
}

/* ---- The phases of a frame ---- */

/* The areas around Box (top left Bx, By in pixels) that hold point Px, Py. */
static unsigned touch_area(const lvk_instance_t *in, int32_t px, int32_t py)
{
  int32_t bx = pixel_of(in->x), by = pixel_of(in->y);
  int col = px < bx ? -1 : px >= bx + in->width ? 1 : 0;
  int row = py < by ? -1 : py >= by + in->height ? 1 : 0;
  static const uint16_t areas[3][3] = {{LVK_AREA_NW, LVK_AREA_N, LVK_AREA_NE},
                                       {LVK_AREA_W, LVK_AREA_H, LVK_AREA_E},
                                       {LVK_AREA_SW, LVK_AREA_S, LVK_AREA_SE}};
  return areas[row + 1][col + 1];
}

static int timer_fires(const lvk_handler_t *h, uint32_t age)
{
  if (!h->frames || age < h->frames) return 0;
  /* Every frame needs no division, which the DS's ARM9 does in software. */
  if (age == h->frames || (h->frames == 1 && (h->flags & LVK_HANDLER_REPEAT))) return 1;
  return (h->flags & LVK_HANDLER_REPEAT) && age % h->frames == 0;
}

static void input_events(lvk_engine_t *e, uint16_t held, uint16_t down, uint16_t up, const lvk_input_t *input)
{
  const lvk_game_t *g = e->game;
  int slot;
  unsigned i;
  int pen_down = (down & LVK_KEY_TOUCH) != 0;
  for (slot = 0; slot < e->instance_count; ++slot) {
    const lvk_instance_t *in = &e->instances[slot];
    const lvk_actor_t *a;
    if (!in->alive || !in->polled) continue;
    a = &g->actors[in->actor];
    for (i = a->first_handler; i < (unsigned)a->first_handler + a->handler_count; ++i) {
      const lvk_handler_t *h = &g->handlers[i];
      uint16_t m = h->mask;
      switch (h->event) {
      case LVK_EVENT_KEY: {
        int fires = (h->flags & LVK_HANDLER_PRESS) ? (held & m) == m && (down & m) != 0
                                                   : (held & m) == 0 && (up & m) != 0;
        if (m != 0 && fires) fire(e, slot, i);
        break;
      }
      case LVK_EVENT_KEY_HELD:
        if (m != 0 && (held & m) == m) fire(e, slot, i);
        break;
      case LVK_EVENT_TOUCH:
        if (pen_down && (touch_area(in, input->touch_x + e->camera_x, input->touch_y + e->camera_y) & m))
          fire(e, slot, i);
        break;
      case LVK_EVENT_TIMER:
        if (timer_fires(h, in->age)) fire(e, slot, i);
        break;
      default:
        break;
      }
    }
  }
}

static void move_all(lvk_engine_t *e)
{
  int slot;
  for (slot = 0; slot < e->instance_count; ++slot) {
    lvk_instance_t *in = &e->instances[slot];
    in->old_x = in->x;
    in->old_y = in->y;
    if (!in->alive) continue;
    in->x = clamp32(in->x + (int32_t)in->sx * in->dx, -POSITION_LIMIT, POSITION_LIMIT);
    in->y = clamp32(in->y + (int32_t)in->sy * in->dy, -POSITION_LIMIT, POSITION_LIMIT);
    face_movement(in);
  }
}

/* The part of a box of W x H at (Ax, Ay) that a box of Bw x Bh at (Bx, By)
 * covers, in square pixels. */
static uint32_t common_area(int32_t ax, int32_t ay, int32_t w, int32_t h, int32_t bx, int32_t by, int32_t bw,
                            int32_t bh)
{
  int32_t across = (ax + w < bx + bw ? ax + w : bx + bw) - (ax > bx ? ax : bx);
  int32_t down = (ay + h < by + bh ? ay + h : by + bh) - (ay > by ? ay : by);
  return across > 0 && down > 0 ? (uint32_t)(across * down) : 0;
}

/* Whether a scenery cell holding Actor is Target's (any solid actor's for
 * LVK_ANY_SOLID). */
static int cell_is(const lvk_engine_t *e, uint16_t actor, uint16_t target)
{
  return actor == target ||
         (target == LVK_ANY_SOLID && actor != LVK_NONE && (e->game->actors[actor].flags & LVK_ACTOR_SOLID));
}

/* The level's cells that a box of W x H with its top left in (X0, Y0)..(X1,
 * Y1) can touch, clipped to the level and to the rectangle that holds
 * Target's cells: columns C0..C1, rows R0..R1. 0 when none. */
static int cells_under(const lvk_engine_t *e, uint16_t target, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                       int32_t w, int32_t h, int32_t *c0, int32_t *r0, int32_t *c1, int32_t *r1)
{
  const uint8_t *rect = target < LVK_RECT_ACTORS    ? e->cell_rects[target]
                        : target == LVK_ANY_SOLID ? e->cell_rects[LVK_RECT_ACTORS]
                                                  : 0;
  x1 += w - 1;
  y1 += h - 1;
  if (x1 < 0 || y1 < 0) return 0;
  *c0 = x0 < 0 ? 0 : x0 / LVK_TILE_SIZE;
  *r0 = y0 < 0 ? 0 : y0 / LVK_TILE_SIZE;
  *c1 = x1 / LVK_TILE_SIZE < e->level_columns ? x1 / LVK_TILE_SIZE : e->level_columns - 1;
  *r1 = y1 / LVK_TILE_SIZE < e->level_rows ? y1 / LVK_TILE_SIZE : e->level_rows - 1;
  if (rect) {
    if (*c0 < rect[0]) *c0 = rect[0];
    if (*r0 < rect[1]) *r0 = rect[1];
    if (*c1 > rect[2]) *c1 = rect[2];
    if (*r1 > rect[3]) *r1 = rect[3];
  }
  return *c0 <= *c1 && *r0 <= *r1;
}

/* Where each scenery actor's cells lie in the level (cell_rects). */
static void find_cell_rects(lvk_engine_t *e)
{
  int32_t r, c;
  int k;
  for (k = 0; k <= LVK_RECT_ACTORS; ++k) {
    e->cell_rects[k][0] = e->cell_rects[k][1] = 255;
    e->cell_rects[k][2] = e->cell_rects[k][3] = 0;
  }
  for (r = 0; r < e->level_rows; ++r)
    for (c = 0; c < e->level_columns; ++c) {
      const uint16_t actor = e->level_scenery[r * e->scenery_stride + c];
      uint8_t *rects[2];
      int n = 0;
      if (actor == LVK_NONE) continue;
      if (actor < LVK_RECT_ACTORS) rects[n++] = e->cell_rects[actor];
      if (e->game->actors[actor].flags & LVK_ACTOR_SOLID) rects[n++] = e->cell_rects[LVK_RECT_ACTORS];
      while (n-- > 0) {
        uint8_t *rect = rects[n];
        if (c < rect[0]) rect[0] = (uint8_t)c;
        if (r < rect[1]) rect[1] = (uint8_t)r;
        if (c > rect[2]) rect[2] = (uint8_t)c;
        if (r > rect[3]) rect[3] = (uint8_t)r;
      }
    }
}

/* The places in e->boxes of Target's instances that a box with its left
 * edge in X0..X1 can touch (every solid actor's for LVK_ANY_SOLID, which
 * are not sorted by x): From and the count, or the list. Each actor's boxes
 * are sorted by their x when the phase began; a repel has since moved one
 * back by at most one frame's move, so the look-up reaches that much
 * further. */
#define MOVE_SLACK 16
static int target_boxes(lvk_engine_t *e, uint16_t target, int32_t x0, int32_t x1, int32_t w, const uint8_t **list,
                        int *from)
{
  int lo, hi, end, k;
  lvk_target_run_t *run = &e->runs[target % LVK_TARGET_RUNS];
  if (target == LVK_ANY_SOLID) {
    *list = e->solid_boxes;
    *from = 0;
    return e->solid_count;
  }
  *list = 0;
  if (run->target != target) {
    for (lo = 0, hi = e->instance_count; lo < hi;) {
      k = (lo + hi) / 2;
      if (e->boxes[k].actor < target) lo = k + 1; else hi = k;
    }
    run->from = (uint8_t)lo;
    for (hi = e->instance_count; lo < hi;) {
      k = (lo + hi) / 2;
      if (e->boxes[k].actor <= target) lo = k + 1; else hi = k;
    }
    run->target = target;
    run->count = (uint8_t)(lo - run->from);
  }
  x0 -= (int32_t)actor_width(&e->game->actors[target]) - 1 + MOVE_SLACK;
  x1 += w - 1 + MOVE_SLACK;
  end = run->from + run->count;
  for (lo = run->from, hi = end; lo < hi;) {
    k = (lo + hi) / 2;
    if (e->boxes[k].key < x0) lo = k + 1; else hi = k;
  }
  *from = lo;
  for (hi = end; lo < hi;) {
    k = (lo + hi) / 2;
    if (e->boxes[k].key <= x1) lo = k + 1; else hi = k;
  }
  return lo - *from;
}

/* Whether the box of Slot, put at pixel (Px, Py), overlaps Target's boxes:
 * its live instances other than Slot and its scenery cells (with
 * LVK_ANY_SOLID every solid actor's). Stops at the first. */
static int overlaps(lvk_engine_t *e, int slot, int32_t px, int32_t py, uint16_t target)
{
  const uint8_t *list;
  const int32_t w = e->instances[slot].width, h = e->instances[slot].height;
  int from, count = target_boxes(e, target, px, px, w, &list, &from), k;
  int32_t c, r, c0, r0, c1, r1;
  for (k = 0; k < count; ++k) {
    const lvk_box_t *b = &e->boxes[list ? list[k] : from + k];
    if (px < b->x + b->width && b->x < px + w && py < b->y + b->height && b->y < py + h && b->slot != slot &&
        b->alive)
      return 1;
  }
  /* Live actors have no cells. */
  if (target != LVK_ANY_SOLID && e->game->actors[target].handler_count) return 0;
  if (!cells_under(e, target, px, py, px, py, w, h, &c0, &r0, &c1, &r1)) return 0;
  for (r = r0; r <= r1; ++r)
    for (c = c0; c <= c1; ++c)
      if (cell_is(e, e->level_scenery[r * e->scenery_stride + c], target)) return 1;
  return 0;
}

/* What a repel looks at: Target's live boxes (other than the instance's)
 * that a box anywhere between two positions can touch. Gathered once, so
 * the overlaps compared while taking a move back read a few boxes only. */
/* A sweep of at most 16 pixels of a box of at most 64 touches 11x11 cells. */
#define NEAR_CELLS 121
typedef struct near_boxes {
  int count;
  int cell_count;
  int32_t width, height; /* the moving box */
  uint8_t at[LVK_MAX_INSTANCES];
  int16_t cell_x[NEAR_CELLS], cell_y[NEAR_CELLS];
} near_boxes_t;

static void gather_near(lvk_engine_t *e, int slot, uint16_t target, int32_t ax, int32_t ay, int32_t bx,
                        int32_t by, near_boxes_t *near)
{
  const uint8_t *list;
  int32_t x0 = ax < bx ? ax : bx, x1 = ax < bx ? bx : ax, y0 = ay < by ? ay : by, y1 = ay < by ? by : ay;
  int32_t c, r, c0, r0, c1, r1;
  const int32_t w = e->instances[slot].width, h = e->instances[slot].height;
  int from, count = target_boxes(e, target, x0, x1, w, &list, &from), k;
  near->count = 0;
  near->cell_count = 0;
  near->width = w;
  near->height = h;
  for (k = 0; k < count; ++k) {
    int at = list ? list[k] : from + k;
    const lvk_box_t *b = &e->boxes[at];
    if (b->slot == slot || !b->alive) continue;
    if (b->x < x1 + w && b->x + b->width > x0 && b->y < y1 + h && b->y + b->height > y0)
      near->at[near->count++] = (uint8_t)at;
  }
  if ((target != LVK_ANY_SOLID && e->game->actors[target].handler_count) ||
      !cells_under(e, target, x0, y0, x1, y1, w, h, &c0, &r0, &c1, &r1))
    return;
  /* A move is at most 16 pixels an axis (speed 255 sixteenths), so the
   * sweep touches at most NEAR_CELLS cells. */
  for (r = r0; r <= r1; ++r)
    for (c = c0; c <= c1; ++c)
      if (near->cell_count < NEAR_CELLS && cell_is(e, e->level_scenery[r * e->scenery_stride + c], target)) {
        near->cell_x[near->cell_count] = (int16_t)(c * LVK_TILE_SIZE);
        near->cell_y[near->cell_count++] = (int16_t)(r * LVK_TILE_SIZE);
      }
}

/* How much a box at (Px, Py) overlaps the gathered boxes and Target's
 * cells, in square pixels; stops once that exceeds Limit. */
static uint32_t overlap_near(const lvk_engine_t *e, const near_boxes_t *near, int32_t px, int32_t py, uint32_t limit)
{
  uint32_t sum = 0;
  int k;
  for (k = 0; k < near->count; ++k) {
    const lvk_box_t *b = &e->boxes[near->at[k]];
    sum += common_area(px, py, near->width, near->height, b->x, b->y, b->width, b->height);
    if (sum > limit) return sum;
  }
  for (k = 0; k < near->cell_count; ++k) {
    sum += common_area(px, py, near->width, near->height, near->cell_x[k], near->cell_y[k], LVK_TILE_SIZE,
                       LVK_TILE_SIZE);
    if (sum > limit) return sum;
  }
  return sum;
}

/* From pixel From towards To along one axis, the last pixel before the
 * overlap would grow beyond Allowed (From itself at worst). */
static int32_t advance(const lvk_engine_t *e, const near_boxes_t *near, int along_x, int32_t from, int32_t to,
                       int32_t other, uint32_t allowed)
{
  int32_t step = to > from ? 1 : -1;
  while (from != to) {
    int32_t next = from + step;
    if (overlap_near(e, near, along_x ? next : other, along_x ? other : next, allowed) > allowed) break;
    from = next;
  }
  return from;
}

/* Whether Slot moved more than a box's size on an axis this frame: such a
 * move is also looked at halfway, so a fast instance cannot jump over a
 * box (looks 8 pixels apart never miss an 8x8 one). */
static int long_move(const lvk_engine_t *e, int slot)
{
  const lvk_instance_t *in = &e->instances[slot];
  const lvk_box_t *box = &e->boxes[e->box_of[slot]];
  int32_t dx = box->x - pixel_of(in->old_x), dy = box->y - pixel_of(in->old_y);
  return dx > BOX_PIXELS || -dx > BOX_PIXELS || dy > BOX_PIXELS || -dy > BOX_PIXELS;
}

/* A repel handler's turn: whether Slot's box meets Target (overlaps it now,
 * or jumped over it with a long move), and if so, takes back as much of the
 * move as made its overlap with Target grow (the rules in lvk_engine.h). */
static int repel(lvk_engine_t *e, int slot, uint16_t target)
{
  lvk_instance_t *in = &e->instances[slot];
  lvk_box_t *box = &e->boxes[e->box_of[slot]];
  int32_t px = box->x, py = box->y, ox = pixel_of(in->old_x), oy = pixel_of(in->old_y);
  int32_t x, y;
  near_boxes_t near;
  uint32_t before;
  int jumped = long_move(e, slot);
  /* The usual case, no contact, found as cheaply as for overlap. */
  if (!jumped && !overlaps(e, slot, px, py, target)) return 0;
  gather_near(e, slot, target, ox, oy, px, py, &near);
  before = overlap_near(e, &near, ox, oy, 0xFFFFFFFFu);
  if (overlap_near(e, &near, px, py, before) <= before &&
      !(jumped && overlap_near(e, &near, ox + (px - ox) / 2, oy + (py - oy) / 2, before) > before))
    /* Touching without pushing further, or a long move past nothing. */
    return overlap_near(e, &near, px, py, 0) != 0;
  if (ox != px && overlap_near(e, &near, ox, py, before) <= before) {
    x = advance(e, &near, 1, ox, px, py, before);
    y = py;
  } else if (oy != py && overlap_near(e, &near, px, oy, before) <= before) {
    x = px;
    y = advance(e, &near, 0, oy, py, px, before);
  } else {
    x = advance(e, &near, 1, ox, px, oy, before);
    y = advance(e, &near, 0, oy, py, x, before);
  }
  in->x = x == px ? in->x : at_pixel(in->old_x, x);
  in->y = y == py ? in->y : at_pixel(in->old_y, y);
  box->x = (int16_t)x;
  box->y = (int16_t)y;
  return 1;
}

/* The boxes in actor order and, within an actor, by x (by_actor follows:
 * from frame to frame the order changes little, so sorting by insertion
 * costs a pass); the solid ones. */
static void gather_boxes(lvk_engine_t *e)
{
  int k;
  e->solid_count = 0;
  for (k = 0; k < LVK_TARGET_RUNS; ++k) e->runs[k].target = LVK_NONE;
  for (k = 0; k < e->instance_count; ++k) {
    const lvk_instance_t *in = &e->instances[e->by_actor[k]];
    lvk_box_t b;
    int j = k;
    b.x = b.key = (int16_t)pixel_of(in->x);
    b.y = (int16_t)pixel_of(in->y);
    b.actor = in->actor;
    b.slot = e->by_actor[k];
    b.alive = in->alive;
    b.width = in->width;
    b.height = in->height;
    while (j > 0 && (e->boxes[j - 1].actor > b.actor ||
                     (e->boxes[j - 1].actor == b.actor && e->boxes[j - 1].key > b.key))) {
      e->boxes[j] = e->boxes[j - 1];
      --j;
    }
    e->boxes[j] = b;
  }
  for (k = 0; k < e->instance_count; ++k) {
    const lvk_box_t *b = &e->boxes[k];
    e->by_actor[k] = b->slot;
    e->box_of[b->slot] = (uint8_t)k;
    if (e->any_solid && (e->game->actors[b->actor].flags & LVK_ACTOR_SOLID))
      e->solid_boxes[e->solid_count++] = (uint8_t)k;
  }
}

/* Whether the move that a repel took back had met Target: where the box
 * was after movement (Mx, My), or halfway there for a long move. */
static int contact_met(lvk_engine_t *e, int slot, int32_t mx, int32_t my, int long_move_made, uint16_t target)
{
  const lvk_instance_t *in = &e->instances[slot];
  int32_t ox = pixel_of(in->old_x), oy = pixel_of(in->old_y);
  return overlaps(e, slot, mx, my, target) ||
         (long_move_made && overlaps(e, slot, ox + (mx - ox) / 2, oy + (my - oy) / 2, target));
}

static void collision_events(lvk_engine_t *e)
{
  const lvk_game_t *g = e->game;
  int slot;
  unsigned i;
  gather_boxes(e);
  for (slot = 0; slot < e->instance_count; ++slot) {
    lvk_instance_t *in = &e->instances[slot];
    const lvk_actor_t *a;
    lvk_box_t *box;
    unsigned k = 0; /* the handler's place among the actor's collision handlers */
    int32_t mx, my;  /* the box after movement, before any repel */
    int jumped_far, taken_back = 0, landed = 0;
    if (!in->alive) continue;
    a = &g->actors[in->actor];
    box = &e->boxes[e->box_of[slot]];
    mx = box->x;
    my = box->y;
    jumped_far = long_move(e, slot);
    for (i = a->first_handler; i < (unsigned)a->first_handler + a->handler_count; ++i) {
      const lvk_handler_t *h = &g->handlers[i];
      uint32_t bit;
      int met;
      if (h->event != LVK_EVENT_COLLISION) continue;
      if (k >= LVK_MAX_COLLISION_HANDLERS) break;
      bit = (uint32_t)1 << k++;
      met = (h->flags & LVK_HANDLER_REPEL) && !landed ? repel(e, slot, h->other)
                                                      : overlaps(e, slot, box->x, box->y, h->other);
      /* A contact is one meeting with everything the move touched: once a
       * repel took the move back, the later handlers look where it went. */
      if (!met && taken_back) met = contact_met(e, slot, mx, my, jumped_far, h->other);
      if (box->x != mx || box->y != my) taken_back = 1;
      if (!met) {
        in->touching &= ~bit;
        continue;
      }
      if (!(in->touching & bit)) {
        in->touching |= bit;
        e->jumped = 0;
        fire(e, slot, i);
        /* A jump counts for collisions from the next frame on: this frame's
         * contacts stay where the box was, and no repel takes it back. */
        if (e->jumped) landed = 1;
      }
    }
  }
}

/* The level's edges in pixels; a level smaller than the screen (only the
 * editor plays one) keeps the screen's. */
static int32_t world_width(const lvk_engine_t *e)
{
  int32_t w = (int32_t)e->level_columns * LVK_TILE_SIZE;
  return w > LVK_SCREEN_WIDTH ? w : LVK_SCREEN_WIDTH;
}

static int32_t world_height(const lvk_engine_t *e)
{
  int32_t h = (int32_t)e->level_rows * LVK_TILE_SIZE;
  return h > LVK_SCREEN_HEIGHT ? h : LVK_SCREEN_HEIGHT;
}

static unsigned edges_out(const lvk_engine_t *e, const lvk_instance_t *in)
{
  int32_t px = pixel_of(in->x), py = pixel_of(in->y);
  unsigned out = 0;
  if (py < 0) out |= EDGE_N;
  if (py + in->height > world_height(e)) out |= EDGE_S;
  if (px < 0) out |= EDGE_W;
  if (px + in->width > world_width(e)) out |= EDGE_E;
  return out;
}

/* The direction bit of a set of newly crossed edges. */
static unsigned direction_of(unsigned edges)
{
  unsigned ns = edges & (EDGE_N | EDGE_S), ew = edges & (EDGE_E | EDGE_W);
  if (ns == EDGE_N) return ew == EDGE_E ? LVK_AREA_NE : ew == EDGE_W ? LVK_AREA_NW : LVK_AREA_N;
  if (ns == EDGE_S) return ew == EDGE_E ? LVK_AREA_SE : ew == EDGE_W ? LVK_AREA_SW : LVK_AREA_S;
  return ew; /* E, W or none */
}

static void outside_events(lvk_engine_t *e)
{
  int slot;
  for (slot = 0; slot < e->instance_count; ++slot) {
    lvk_instance_t *in = &e->instances[slot];
    unsigned out, crossed, direction, i;
    const lvk_actor_t *a;
    if (!in->alive) continue;
    out = edges_out(e, in);
    crossed = out & ~(unsigned)in->outside;
    in->outside = (uint8_t)out;
    if (!crossed) continue;
    direction = direction_of(crossed);
    a = &e->game->actors[in->actor];
    for (i = a->first_handler; i < (unsigned)a->first_handler + a->handler_count; ++i) {
      const lvk_handler_t *h = &e->game->handlers[i];
      if (h->event == LVK_EVENT_OUTSIDE && (h->mask & direction)) fire(e, slot, i);
    }
  }
}

/* One frame of Slot's animation: the next frame when the current one has
 * been shown for its length; a once animation's end fires OnAnimationEnd. */
static void animate(lvk_engine_t *e, int slot)
{
  lvk_instance_t *in = &e->instances[slot];
  const lvk_actor_t *a = &e->game->actors[in->actor];
  const lvk_animation_t *n;
  if (in->animation >= a->animation_count) return;
  n = &e->game->animations[a->first_animation + in->animation];
  if (n->frame_count < 2 && n->mode != LVK_ANIMATION_ONCE) return;
  if (!n->length || ++in->shown < n->length) return;
  in->shown = 0;
  switch (n->mode) {
  case LVK_ANIMATION_ONCE:
    if (in->step + 1 < n->frame_count) {
      in->step++;
    } else if (!in->turning) {
      in->turning = 1;
      fire_all(e, slot, LVK_EVENT_ANIMATION_END);
    }
    break;
  case LVK_ANIMATION_BACK_AND_FORTH:
    if (in->turning ? in->step == 0 : in->step + 1 >= n->frame_count) in->turning = (uint8_t)!in->turning;
    in->step = (uint16_t)(in->turning ? in->step - 1 : in->step + 1);
    break;
  default:
    in->step = (uint16_t)(in->step + 1 < n->frame_count ? in->step + 1 : 0);
    break;
  }
}

static void destroys(lvk_engine_t *e)
{
  int slot;
  for (slot = 0; slot < e->instance_count; ++slot) {
    lvk_instance_t *in = &e->instances[slot];
    if (!in->alive || !in->doomed) continue;
    fire_all(e, slot, LVK_EVENT_DESTROY);
    in->alive = 0;
    e->live_count--;
    release_rows(e, slot);
  }
}

void lvk_engine_step(lvk_engine_t *e, const lvk_input_t *input)
{
  const lvk_game_t *g = e->game;
  uint16_t held = input ? input->keys : 0, down, up;
  lvk_input_t none;
  int slot;
  if (!input) {
    none.keys = 0;
    none.touch_x = none.touch_y = 0;
    input = &none;
  }
  down = (uint16_t)(held & ~e->keys);
  up = (uint16_t)(e->keys & ~held);
  e->keys = held;
  e->frame++;
  e->level_changed = 0;
  e->sound_count = 0;
  if (!g || e->level < 0) return;

  if ((held & (LVK_KEY_START | LVK_KEY_SELECT)) == (LVK_KEY_START | LVK_KEY_SELECT) &&
      (down & (LVK_KEY_START | LVK_KEY_SELECT)))
    e->next_level = (e->level + 1) % g->level_count;
  if (e->viewer) {
    if (down & (LVK_KEY_A | LVK_KEY_RIGHT))
      e->next_level = (e->level + 1) % g->level_count;
    else if ((down & (LVK_KEY_B | LVK_KEY_LEFT)) && e->next_level < 0)
      e->next_level = (e->level + g->level_count - 1) % g->level_count;
  }

  /* A shake asked for this frame is shown for all its frames from this one on. */
  if (e->shake_frames) e->shake_frames--;
  for (slot = 0; slot < e->instance_count; ++slot)
    if (e->instances[slot].alive) e->instances[slot].age++;
  if (g->animation_count)
    for (slot = 0; slot < e->instance_count; ++slot)
      if (e->instances[slot].alive) animate(e, slot);
  input_events(e, held, down, up, input);
  move_all(e);
  collision_events(e);
  outside_events(e);
  destroys(e);
  /* Spawns of a level being left would vanish at once: not made at all. A
   * level change their OnCreate asks for waits for the next frame's end, as
   * one asked for at a level's start does. */
  if (e->restart)
    restart_game(e);
  else if (e->next_level >= 0)
    start_level(e, e->next_level);
  else {
    spawn_pending(e);
    camera_step(e);
  }
  print_stale_rows(e);
}

/* ---- Queries ---- */

int lvk_engine_level(const lvk_engine_t *e) { return e->level; }

int lvk_engine_level_changed(const lvk_engine_t *e) { return e->level_changed; }

uint32_t lvk_engine_frame(const lvk_engine_t *e) { return e->frame; }

int lvk_engine_instance_count(const lvk_engine_t *e) { return e->instance_count; }

int lvk_engine_live_count(const lvk_engine_t *e) { return e->live_count; }

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

int lvk_engine_sprite(const lvk_engine_t *e, int slot, lvk_sprite_t *sprite)
{
  const lvk_instance_t *in;
  if (slot < 0 || slot >= e->instance_count || !sprite) return 0;
  in = &e->instances[slot];
  sprite->actor = in->actor;
  sprite->tile = in->tile;
  sprite->x = (int16_t)pixel_of(in->x);
  sprite->y = (int16_t)pixel_of(in->y);
  sprite->alive = in->alive;
  {
    int32_t cx, cy;
    lvk_engine_camera(e, &cx, &cy);
    sprite->screen_x = (int16_t)(sprite->x - cx);
    sprite->screen_y = (int16_t)(sprite->y - cy);
    sprite->visible = sprite->screen_x > -(int)in->width && sprite->screen_x < LVK_SCREEN_WIDTH &&
                      sprite->screen_y > -(int)in->height && sprite->screen_y < LVK_SCREEN_HEIGHT;
  }
  sprite->mirrored = (uint8_t)(in->mirror & LVK_MIRROR_ON);
  sprite->width = in->width;
  sprite->height = in->height;
  sprite->frame = LVK_NONE;
  if (in->animation != LVK_NONE) {
    const lvk_actor_t *a = &e->game->actors[in->actor];
    const lvk_animation_t *n = &e->game->animations[a->first_animation + in->animation];
    if (in->step < n->frame_count) sprite->frame = (uint16_t)(n->first_frame + in->step);
  }
  return 1;
}

void lvk_engine_camera(const lvk_engine_t *e, int32_t *x, int32_t *y)
{
  int32_t sx = 0, sy = 0;
  if (e->level < 0) {
    *x = *y = 0;
    return;
  }
  if (e->shake_frames && e->shake_strength) {
    /* A fixed pattern, so the shake draws no random numbers from the game's. */
    static const int8_t pattern[8][2] = {{1, 0}, {-1, 1}, {0, -1}, {1, 1}, {-1, 0}, {0, 1}, {1, -1}, {-1, -1}};
    const int8_t *p = pattern[e->shake_frames & 7u];
    sx = p[0] * (int32_t)e->shake_strength;
    sy = p[1] * (int32_t)e->shake_strength;
  }
  *x = e->camera_x + sx;
  *y = e->camera_y + sy;
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

int lvk_engine_sounds(const lvk_engine_t *e, const uint16_t **sounds)
{
  if (sounds) *sounds = e->sounds;
  return e->sound_count;
}

int lvk_engine_music(const lvk_engine_t *e) { return e->music == LVK_NONE ? -1 : e->music; }
