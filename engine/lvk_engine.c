/* The rules of play; lvk_engine.h states them. Everything here is integer
 * arithmetic on the caller's lvk_engine_t: no allocation, no floating point,
 * no library calls, so the same file builds for the arm9 and for hosts. */
#include "lvk_engine.h"

#define BOX_PIXELS LVK_TILE_SIZE
/* Positions stay within what a sprite's whole-pixel int16 can hold, so an
 * instance that flies off for hours neither overflows nor wraps round. */
#define POSITION_LIMIT (16000L * LVK_SUBPIXELS)

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

int lvk_game_check(const lvk_game_t *g)
{
  unsigned i;
  if (!g) return 0;
  if ((g->actor_count && !g->actors) || (g->handler_count && !g->handlers) || (g->action_count && !g->actions) ||
      (g->level_count && (!g->levels || !g->scenery)) || (g->spawn_count && !g->spawns))
    return 0;
  for (i = 0; i < g->actor_count; ++i) {
    const lvk_actor_t *a = &g->actors[i];
    if ((uint32_t)a->first_handler + a->handler_count > g->handler_count) return 0;
  }
  for (i = 0; i < g->handler_count; ++i) {
    const lvk_handler_t *h = &g->handlers[i];
    if ((uint32_t)h->first_action + h->action_count > g->action_count) return 0;
    if (h->event == LVK_EVENT_COLLISION && h->other >= g->actor_count) return 0;
  }
  for (i = 0; i < g->level_count; ++i) {
    const lvk_level_t *l = &g->levels[i];
    if ((uint32_t)l->first_spawn + l->spawn_count > g->spawn_count) return 0;
  }
  for (i = 0; i < g->spawn_count; ++i) {
    const lvk_spawn_t *s = &g->spawns[i];
    if (s->actor >= g->actor_count || s->column >= LVK_LEVEL_COLUMNS || s->row >= LVK_LEVEL_ROWS) return 0;
  }
  for (i = 0; i < (unsigned)g->level_count * LVK_LEVEL_CELLS; ++i)
    if (g->scenery[i] != LVK_NONE && g->scenery[i] >= g->actor_count) return 0;
  return 1;
}

void lvk_level_clear_live_cells(const lvk_game_t *g, int level, uint16_t *map)
{
  unsigned i;
  const lvk_level_t *l;
  if (!g || !map || level < 0 || level >= g->level_count) return;
  l = &g->levels[level];
  for (i = 0; i < l->spawn_count; ++i) {
    const lvk_spawn_t *s = &g->spawns[l->first_spawn + i];
    map[s->row * LVK_LEVEL_COLUMNS + s->column] = g->tile_count;
  }
}

void lvk_engine_init(lvk_engine_t *e, const lvk_game_t *game)
{
  unsigned i;
  e->game = lvk_game_check(game) ? game : 0;
  e->level = -1;
  e->next_level = -1;
  e->frame = 0;
  e->keys = 0;
  e->level_changed = 0;
  e->viewer = 1;
  e->instance_count = 0;
  e->live_count = 0;
  e->trace = 0;
  e->trace_context = 0;
  if (e->game)
    for (i = 0; i < e->game->actor_count; ++i)
      if (e->game->actors[i].handler_count > 0) e->viewer = 0;
}

void lvk_engine_set_trace(lvk_engine_t *e, lvk_trace_fn trace, void *context)
{
  e->trace = trace;
  e->trace_context = context;
}

static void run_actions(lvk_engine_t *e, lvk_instance_t *in, const lvk_handler_t *h)
{
  const lvk_action_t *a = &e->game->actions[h->first_action];
  const lvk_action_t *end = a + h->action_count;
  for (; a < end; ++a) {
    switch (a->kind) {
    case LVK_ACTION_SET_SPEED_SIZE: {
      /* Clamped first, so adding cannot overflow; the result is the same. */
      int32_t x = clamp32(a->arg1, -256, 256), y = clamp32(a->arg2, -256, 256);
      if (a->relative) {
        x += in->sx;
        y += in->sy;
      }
      in->sx = (uint8_t)clamp32(x, 0, 255);
      in->sy = (uint8_t)clamp32(y, 0, 255);
      break;
    }
    case LVK_ACTION_SET_SPEED_DIR: {
      int x = sign32(a->arg1), y = sign32(a->arg2);
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
      if (e->next_level < 0 && e->game->level_count > 0) e->next_level = (e->level + 1) % e->game->level_count;
      break;
    default:
      break; /* a kind this engine does not know does nothing */
    }
  }
}

static void fire(lvk_engine_t *e, int slot, unsigned handler)
{
  lvk_instance_t *in = &e->instances[slot];
  const lvk_handler_t *h = &e->game->handlers[handler];
#ifndef LVK_ENGINE_NO_TRACE
  if (e->trace) {
    lvk_trace_t t;
    t.frame = e->frame;
    t.instance = (uint16_t)slot;
    t.actor = in->actor;
    t.handler = (uint16_t)handler;
    t.event = h->event;
    e->trace(e->trace_context, &t);
  }
#endif
  run_actions(e, in, h);
}

/* Fires every handler of the instance's actor whose event is Event. */
static void fire_all(lvk_engine_t *e, int slot, uint8_t event)
{
  const lvk_actor_t *a = &e->game->actors[e->instances[slot].actor];
  unsigned i;
  for (i = a->first_handler; i < (unsigned)a->first_handler + a->handler_count; ++i)
    if (e->game->handlers[i].event == event) fire(e, slot, i);
}

void lvk_engine_start_level(lvk_engine_t *e, int level)
{
  const lvk_game_t *g = e->game;
  const lvk_level_t *l;
  int i, count;
  if (!g || g->level_count == 0) return;
  level %= g->level_count;
  if (level < 0) level += g->level_count;
  l = &g->levels[level];
  e->level = level;
  e->next_level = -1;
  e->level_changed = 1;
  count = l->spawn_count < LVK_MAX_INSTANCES ? l->spawn_count : LVK_MAX_INSTANCES;
  for (i = 0; i < count; ++i) {
    const lvk_spawn_t *s = &g->spawns[l->first_spawn + i];
    lvk_instance_t *in = &e->instances[i];
    in->x = in->old_x = (int32_t)s->column * LVK_TILE_SIZE * LVK_SUBPIXELS;
    in->y = in->old_y = (int32_t)s->row * LVK_TILE_SIZE * LVK_SUBPIXELS;
    in->touching = 0;
    in->actor = s->actor;
    in->sx = in->sy = 0;
    in->dx = in->dy = 0;
    in->alive = 1;
    in->doomed = 0;
    in->outside = 0;
  }
  e->instance_count = count;
  e->live_count = count;
  /* Slots sorted by actor (insertion sort keeps spawn order within one), so
   * a collision test visits only the other actor's instances. */
  for (i = 0; i < count; ++i) {
    int j = i;
    while (j > 0 && e->instances[e->by_actor[j - 1]].actor > e->instances[i].actor) {
      e->by_actor[j] = e->by_actor[j - 1];
      --j;
    }
    e->by_actor[j] = (uint8_t)i;
  }
  for (i = 0; i < count; ++i) fire_all(e, i, LVK_EVENT_CREATE);
}

/* The areas around Box (top left Bx, By in pixels) that hold point Px, Py. */
static unsigned touch_area(int32_t bx, int32_t by, int32_t px, int32_t py)
{
  int col = px < bx ? -1 : px >= bx + BOX_PIXELS ? 1 : 0;
  int row = py < by ? -1 : py >= by + BOX_PIXELS ? 1 : 0;
  static const uint16_t areas[3][3] = {{LVK_AREA_NW, LVK_AREA_N, LVK_AREA_NE},
                                       {LVK_AREA_W, LVK_AREA_H, LVK_AREA_E},
                                       {LVK_AREA_SW, LVK_AREA_S, LVK_AREA_SE}};
  return areas[row + 1][col + 1];
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
    if (!in->alive) continue;
    a = &g->actors[in->actor];
    for (i = a->first_handler; i < (unsigned)a->first_handler + a->handler_count; ++i) {
      const lvk_handler_t *h = &g->handlers[i];
      if (h->event == LVK_EVENT_KEY) {
        uint16_t m = h->mask;
        int fires = (h->flags & LVK_HANDLER_PRESS) ? (held & m) == m && (down & m) != 0
                                                   : (held & m) == 0 && (up & m) != 0;
        if (m != 0 && fires) fire(e, slot, i);
      } else if (h->event == LVK_EVENT_TOUCH && pen_down) {
        if (touch_area(pixel_of(in->x), pixel_of(in->y), input->touch_x, input->touch_y) & h->mask) fire(e, slot, i);
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
  }
}

/* Whether the box of Slot, put at pixel (Px, Py), overlaps Other's boxes:
 * its live instances other than Slot and its scenery cells. */
static int overlaps(const lvk_engine_t *e, int slot, int32_t px, int32_t py, uint16_t other)
{
  const lvk_game_t *g = e->game;
  const uint16_t *scenery = g->scenery + (unsigned)e->level * LVK_LEVEL_CELLS;
  int32_t c, r, c0, c1, r0, r1;
  int lo, hi;
  if (g->actors[other].handler_count) {
    /* A live actor: its instances, found in actor order; it has no cells. */
    lo = 0;
    hi = e->instance_count;
    while (lo < hi) {
      int mid = (lo + hi) / 2;
      if (e->instances[e->by_actor[mid]].actor < other) lo = mid + 1; else hi = mid;
    }
    for (; lo < e->instance_count; ++lo) {
      int i = e->by_actor[lo];
      const lvk_instance_t *o = &e->instances[i];
      int32_t ox, oy;
      if (o->actor != other) break;
      if (i == slot || !o->alive) continue;
      ox = e->pixel_x[i];
      oy = e->pixel_y[i];
      if (px < ox + BOX_PIXELS && ox < px + BOX_PIXELS && py < oy + BOX_PIXELS && oy < py + BOX_PIXELS) return 1;
    }
    return 0;
  }
  /* Cells under the box, clipped to the level. */
  c0 = px < 0 ? 0 : px / LVK_TILE_SIZE;
  r0 = py < 0 ? 0 : py / LVK_TILE_SIZE;
  c1 = px + BOX_PIXELS - 1;
  r1 = py + BOX_PIXELS - 1;
  if (c1 < 0 || r1 < 0) return 0;
  c1 /= LVK_TILE_SIZE;
  r1 /= LVK_TILE_SIZE;
  if (c1 >= LVK_LEVEL_COLUMNS) c1 = LVK_LEVEL_COLUMNS - 1;
  if (r1 >= LVK_LEVEL_ROWS) r1 = LVK_LEVEL_ROWS - 1;
  for (r = r0; r <= r1; ++r)
    for (c = c0; c <= c1; ++c)
      if (scenery[r * LVK_LEVEL_COLUMNS + c] == other) return 1;
  return 0;
}

static void collision_events(lvk_engine_t *e)
{
  const lvk_game_t *g = e->game;
  int slot;
  unsigned i;
  for (slot = 0; slot < e->instance_count; ++slot) {
    e->pixel_x[slot] = (int16_t)pixel_of(e->instances[slot].x);
    e->pixel_y[slot] = (int16_t)pixel_of(e->instances[slot].y);
  }
  for (slot = 0; slot < e->instance_count; ++slot) {
    lvk_instance_t *in = &e->instances[slot];
    const lvk_actor_t *a;
    unsigned k = 0; /* the handler's place among the actor's collision handlers */
    if (!in->alive) continue;
    a = &g->actors[in->actor];
    for (i = a->first_handler; i < (unsigned)a->first_handler + a->handler_count; ++i) {
      const lvk_handler_t *h = &g->handlers[i];
      uint32_t bit;
      int32_t px, py;
      if (h->event != LVK_EVENT_COLLISION) continue;
      if (k >= LVK_MAX_COLLISION_HANDLERS) break;
      bit = (uint32_t)1 << k++;
      px = e->pixel_x[slot];
      py = e->pixel_y[slot];
      if (!overlaps(e, slot, px, py, h->other)) {
        in->touching &= ~bit;
        continue;
      }
      if (h->flags & LVK_HANDLER_REPEL) {
        int32_t ox = pixel_of(in->old_x), oy = pixel_of(in->old_y);
        if (ox != px && !overlaps(e, slot, ox, py, h->other)) {
          in->x = in->old_x;
        } else if (oy != py && !overlaps(e, slot, px, oy, h->other)) {
          in->y = in->old_y;
        } else {
          in->x = in->old_x;
          in->y = in->old_y;
        }
        e->pixel_x[slot] = (int16_t)pixel_of(in->x);
        e->pixel_y[slot] = (int16_t)pixel_of(in->y);
      }
      if (!(in->touching & bit)) {
        in->touching |= bit;
        fire(e, slot, i);
      }
    }
  }
}

static unsigned edges_out(const lvk_instance_t *in)
{
  int32_t px = pixel_of(in->x), py = pixel_of(in->y);
  unsigned out = 0;
  if (py < 0) out |= EDGE_N;
  if (py + BOX_PIXELS > LVK_SCREEN_HEIGHT) out |= EDGE_S;
  if (px < 0) out |= EDGE_W;
  if (px + BOX_PIXELS > LVK_SCREEN_WIDTH) out |= EDGE_E;
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
    out = edges_out(in);
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

static void destroys(lvk_engine_t *e)
{
  int slot;
  for (slot = 0; slot < e->instance_count; ++slot) {
    lvk_instance_t *in = &e->instances[slot];
    if (!in->alive || !in->doomed) continue;
    fire_all(e, slot, LVK_EVENT_DESTROY);
    in->alive = 0;
    e->live_count--;
  }
}

void lvk_engine_step(lvk_engine_t *e, const lvk_input_t *input)
{
  const lvk_game_t *g = e->game;
  uint16_t held = input ? input->keys : 0, down, up;
  lvk_input_t none;
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

  input_events(e, held, down, up, input);
  move_all(e);
  collision_events(e);
  outside_events(e);
  destroys(e);
  if (e->next_level >= 0) lvk_engine_start_level(e, e->next_level);
}

int lvk_engine_level(const lvk_engine_t *e) { return e->level; }

int lvk_engine_level_changed(const lvk_engine_t *e) { return e->level_changed; }

uint32_t lvk_engine_frame(const lvk_engine_t *e) { return e->frame; }

int lvk_engine_instance_count(const lvk_engine_t *e) { return e->instance_count; }

int lvk_engine_live_count(const lvk_engine_t *e) { return e->live_count; }

int lvk_engine_sprite(const lvk_engine_t *e, int slot, lvk_sprite_t *sprite)
{
  const lvk_instance_t *in;
  if (slot < 0 || slot >= e->instance_count || !sprite) return 0;
  in = &e->instances[slot];
  sprite->actor = in->actor;
  sprite->tile = e->game->actors[in->actor].tile;
  sprite->x = (int16_t)pixel_of(in->x);
  sprite->y = (int16_t)pixel_of(in->y);
  sprite->alive = in->alive;
  return 1;
}
