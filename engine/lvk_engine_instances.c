/* Instances and movement: the slots (kept in actor order in by_actor, so a
 * look-up visits one actor's instances only) and the moves by speed. */
#include "lvk_engine_instances.h"

#include "lvk_engine_variables.h"

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
  lvk_variables_start_instance(e, slot);
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

int32_t lvk_instances_count(const lvk_engine_t *e, uint16_t actor)
{
  int k = first_of_actor(e, actor);
  int32_t count = 0;
  for (; k < e->instance_count && e->instances[e->by_actor[k]].actor == actor; ++k)
    count += slot_alive(e, e->by_actor[k]);
  return count;
}

void lvk_instance_move_toward(lvk_engine_t *e, int slot, uint16_t actor, int32_t speed)
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

void lvk_instance_jump(lvk_engine_t *e, int slot, int32_t x, int32_t y)
{
  lvk_instance_t *in = &e->instances[slot];
  in->x = in->old_x = clamp32(x, -POSITION_LIMIT, POSITION_LIMIT);
  in->y = in->old_y = clamp32(y, -POSITION_LIMIT, POSITION_LIMIT);
  e->jumped = 1;
}

void lvk_instances_start_level(lvk_engine_t *e, const lvk_level_t *l)
{
  const lvk_game_t *g = e->game;
  int i, count = l->spawn_count < LVK_MAX_INSTANCES ? l->spawn_count : LVK_MAX_INSTANCES;
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
}

int lvk_instance_spawn(lvk_engine_t *e, uint16_t actor, int32_t x, int32_t y)
{
  int slot, k;
  for (slot = 0; slot < e->instance_count && e->instances[slot].alive; ++slot) {}
  if (slot == LVK_MAX_INSTANCES) return -1;
  if (slot < e->instance_count) {
    /* A free slot: out of its old actor's place in by_actor. */
    for (k = 0; e->by_actor[k] != slot; ++k) {}
    for (; k + 1 < e->instance_count; ++k) e->by_actor[k] = e->by_actor[k + 1];
    make_instance(e, slot, actor, x, y);
    sort_in(e, slot, e->instance_count - 1);
  } else {
    make_instance(e, slot, actor, x, y);
    sort_in(e, slot, e->instance_count++);
  }
  e->live_count++;
  return slot;
}

void lvk_instances_age(lvk_engine_t *e)
{
  int slot;
  for (slot = 0; slot < e->instance_count; ++slot)
    if (e->instances[slot].alive) e->instances[slot].age++;
}

void lvk_instances_move(lvk_engine_t *e)
{
  int slot;
  for (slot = 0; slot < e->instance_count; ++slot) {
    lvk_instance_t *in = &e->instances[slot];
    in->old_x = in->x;
    in->old_y = in->y;
    if (!in->alive) continue;
    in->x = clamp32(in->x + (int32_t)in->sx * in->dx, -POSITION_LIMIT, POSITION_LIMIT);
    in->y = clamp32(in->y + (int32_t)in->sy * in->dy, -POSITION_LIMIT, POSITION_LIMIT);
    lvk_instance_face_movement(in);
  }
}
