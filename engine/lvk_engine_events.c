/* The event phases of a frame, other than collisions: each finds the
 * instances an event happens to and fires their handlers for it. */
#include "lvk_engine_events.h"

#include "lvk_engine_actions.h"
#include "lvk_engine_animation.h"
#include "lvk_engine_instances.h"
#include "lvk_engine_text.h"

#define EDGE_N LVK_AREA_N
#define EDGE_E LVK_AREA_E
#define EDGE_S LVK_AREA_S
#define EDGE_W LVK_AREA_W

void lvk_events_animation(lvk_engine_t *e)
{
  int slot;
  if (!e->game->animation_count) return;
  for (slot = 0; slot < e->instance_count; ++slot)
    if (e->instances[slot].alive && lvk_animation_step(e, slot)) lvk_fire_all(e, slot, LVK_EVENT_ANIMATION_END);
}

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

void lvk_events_input(lvk_engine_t *e, uint16_t held, uint16_t down, uint16_t up, int32_t pen_x, int32_t pen_y)
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
        if (m != 0 && fires) lvk_fire(e, slot, i);
        break;
      }
      case LVK_EVENT_KEY_HELD:
        if (m != 0 && (held & m) == m) lvk_fire(e, slot, i);
        break;
      case LVK_EVENT_TOUCH:
        if (pen_down && (touch_area(in, pen_x, pen_y) & m))
          lvk_fire(e, slot, i);
        break;
      case LVK_EVENT_TIMER:
        if (timer_fires(h, in->age)) lvk_fire(e, slot, i);
        break;
      default:
        break;
      }
    }
  }
}

/* The level's edges in pixels (right, bottom); a level that fits one screen
 * (only the editor plays one smaller than the screen) keeps the screen's,
 * which show all of it, while a level that scrolls has its own on both
 * axes. */
static void world_edges(const lvk_engine_t *e, int32_t *right, int32_t *bottom)
{
  int32_t w = (int32_t)e->level_columns * LVK_TILE_SIZE, h = (int32_t)e->level_rows * LVK_TILE_SIZE;
  int fits = w <= LVK_SCREEN_WIDTH && h <= LVK_SCREEN_HEIGHT;
  *right = fits ? LVK_SCREEN_WIDTH : w;
  *bottom = fits ? LVK_SCREEN_HEIGHT : h;
}

static unsigned edges_out(const lvk_instance_t *in, int32_t right, int32_t bottom)
{
  int32_t px = pixel_of(in->x), py = pixel_of(in->y);
  unsigned out = 0;
  if (py < 0) out |= EDGE_N;
  if (py + in->height > bottom) out |= EDGE_S;
  if (px < 0) out |= EDGE_W;
  if (px + in->width > right) out |= EDGE_E;
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

void lvk_events_outside(lvk_engine_t *e)
{
  int slot;
  int32_t right, bottom;
  world_edges(e, &right, &bottom);
  for (slot = 0; slot < e->instance_count; ++slot) {
    lvk_instance_t *in = &e->instances[slot];
    unsigned out, crossed, direction, i;
    const lvk_actor_t *a;
    if (!in->alive) continue;
    out = edges_out(in, right, bottom);
    crossed = out & ~(unsigned)in->outside;
    in->outside = (uint8_t)out;
    if (!crossed) continue;
    direction = direction_of(crossed);
    a = &e->game->actors[in->actor];
    for (i = a->first_handler; i < (unsigned)a->first_handler + a->handler_count; ++i) {
      const lvk_handler_t *h = &e->game->handlers[i];
      if (h->event == LVK_EVENT_OUTSIDE && (h->mask & direction)) lvk_fire(e, slot, i);
    }
  }
}

void lvk_events_destroy(lvk_engine_t *e)
{
  int slot;
  for (slot = 0; slot < e->instance_count; ++slot) {
    lvk_instance_t *in = &e->instances[slot];
    if (!in->alive || !in->doomed) continue;
    lvk_fire_all(e, slot, LVK_EVENT_DESTROY);
    in->alive = 0;
    e->live_count--;
    lvk_text_release(e, slot);
  }
}

void lvk_events_spawn(lvk_engine_t *e)
{
  int p;
  for (p = 0; p < e->pending_count; ++p) {
    const lvk_pending_spawn_t *s = &e->pending[p];
    int slot = lvk_instance_spawn(e, s->actor, s->x, s->y);
    if (slot >= 0) lvk_fire_all(e, slot, LVK_EVENT_CREATE);
  }
  e->pending_count = 0;
}

void lvk_events_create_all(lvk_engine_t *e)
{
  int slot;
  for (slot = 0; slot < e->instance_count; ++slot) lvk_fire_all(e, slot, LVK_EVENT_CREATE);
}
