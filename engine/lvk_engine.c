/* The rules of play; lvk_engine.h states them. Everything is integer
 * arithmetic on the caller's lvk_engine_t: no allocation, no floating point,
 * no library calls, so the same files build for the arm9 and for hosts.
 *
 * This file binds a game, starts levels and steps a frame: lvk_engine_step
 * is the one place that says in which order the phases run. Each area of
 * the rules is a module of its own (lvk_engine_NAME.c with its header
 * lvk_engine_NAME.h, inside the engine only), owning its part of
 * lvk_engine_t:
 *   check      the tables, before anything runs
 *   text       the upper screen's rows
 *   variables  the variables' values (setting one reprints its rows)
 *   sound      the sounds asked for, the level's music
 *   camera     following, gliding, shaking
 *   animation  the instances' animation frames
 *   instances  the slots, spawning, movement by speed
 *   save       saved data: the store, the slots, the high-score table
 *   actions    the action interpreter (uses the modules above)
 *   collide    collisions and repel (fires handlers through actions)
 *   events     the other events' phases (fire through actions)
 * A module includes only the headers of modules above it in this list, so
 * none reaches itself. */
#include "lvk_engine.h"

#include "lvk_engine_actions.h"
#include "lvk_engine_animation.h"
#include "lvk_engine_camera.h"
#include "lvk_engine_check.h"
#include "lvk_engine_collide.h"
#include "lvk_engine_events.h"
#include "lvk_engine_instances.h"
#include "lvk_engine_save.h"
#include "lvk_engine_sound.h"
#include "lvk_engine_text.h"
#include "lvk_engine_variables.h"

/* ---- Binding ---- */

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
  lvk_text_init(e);
  lvk_sound_init(e);
  lvk_camera_init(e);
  lvk_save_init(e);
  if (!e->game) return;
  for (i = 0; i < e->game->actor_count; ++i)
    if (e->game->actors[i].handler_count > 0) e->viewer = 0;
  for (i = 0; i < e->game->handler_count; ++i)
    if (e->game->handlers[i].event == LVK_EVENT_COLLISION && e->game->handlers[i].other == LVK_ANY_SOLID)
      e->any_solid = 1;
  lvk_variables_bind(e);
}

void lvk_engine_set_instance_values(lvk_engine_t *e, lvk_instance_values_t *values) { e->instance_values = values; }

void lvk_engine_set_trace(lvk_engine_t *e, lvk_trace_fn trace, void *context)
{
  e->trace = trace;
  e->trace_context = context;
}

/* ---- Levels ---- */

static void start_level(lvk_engine_t *e, int level)
{
  const lvk_game_t *g = e->game;
  const lvk_level_t *l;
  int i;
  if (!g || g->level_count == 0) return;
  if (!e->instance_values && lvk_needs_instance_values(g)) return;
  level %= g->level_count;
  if (level < 0) level += g->level_count;
  l = &g->levels[level];
  for (i = 0; i < e->instance_count; ++i) lvk_text_release(e, i);
  e->level = level;
  e->level_columns = (int16_t)level_width(l);
  e->level_rows = (int16_t)level_height(l);
  e->level_scenery = g->scenery + lvk_scenery_start(g, level);
  e->scenery_stride = (int16_t)(g->scenery_count ? level_width(l) : LVK_LEVEL_COLUMNS);
  lvk_collide_start_level(e);
  e->next_level = -1;
  e->restart = 0;
  e->level_changed = 1;
  e->pending_count = 0;
  lvk_sound_start_level(e, l);
  lvk_instances_start_level(e, l);
  /* The level's camera first: its OnCreate handlers act on it. */
  lvk_camera_start(e, l);
  lvk_events_create_all(e);
  lvk_events_spawn(e);
  lvk_camera_settle(e);
  lvk_text_print_stale(e);
}

static void restart_game(lvk_engine_t *e)
{
  unsigned i;
  lvk_variables_restart(e);
  for (i = 0; i < (unsigned)e->instance_count; ++i) lvk_text_release(e, (int)i);
  lvk_text_clear(e, e->rows_used);
  start_level(e, 0);
}

/* A start the host asks for: the sounds of the step before it were handed
 * over with that step and are not this start's. A start at a step's end
 * keeps the sounds the step asked for before it. */
void lvk_engine_start_level(lvk_engine_t *e, int level)
{
  lvk_sound_new_frame(e);
  start_level(e, level);
}

/* ---- A frame ---- */

#ifdef LVK_METER
#define PHASE_DONE(phase) lvk_meter_phase(phase)
#else
#define PHASE_DONE(phase) ((void)0)
#endif

/* Start and Select together go to the next level in any game; in a game
 * without handlers A/Right and B/Left page through the levels. */
static void level_keys(lvk_engine_t *e, uint16_t held, uint16_t down)
{
  const lvk_game_t *g = e->game;
  if ((held & (LVK_KEY_START | LVK_KEY_SELECT)) == (LVK_KEY_START | LVK_KEY_SELECT) &&
      (down & (LVK_KEY_START | LVK_KEY_SELECT)))
    e->next_level = (e->level + 1) % g->level_count;
  if (e->viewer) {
    if (down & (LVK_KEY_A | LVK_KEY_RIGHT))
      e->next_level = (e->level + 1) % g->level_count;
    else if ((down & (LVK_KEY_B | LVK_KEY_LEFT)) && e->next_level < 0)
      e->next_level = (e->level + g->level_count - 1) % g->level_count;
  }
}

void lvk_engine_step(lvk_engine_t *e, const lvk_input_t *input)
{
  uint16_t held = input ? input->keys : 0, down, up;
  int32_t pen_x = 0, pen_y = 0;
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
  lvk_sound_new_frame(e);
  if (!e->game || e->level < 0) return;
  /* The game waits while initials are entered. */
  if (e->entering) {
    lvk_save_entry_step(e, down);
    return;
  }

  /* The phases, in this order (lvk_engine.h's rules tell what each does). */
  level_keys(e, held, down);
  /* The pen touched the picture shown, before this frame's shake moves it. */
  if (down & LVK_KEY_TOUCH) lvk_camera_pen(e, input->touch_x, input->touch_y, &pen_x, &pen_y);
  lvk_camera_new_frame(e);
  lvk_instances_age(e);
  PHASE_DONE(LVK_PHASE_START);
  lvk_events_animation(e);
  PHASE_DONE(LVK_PHASE_ANIMATION);
  lvk_events_input(e, held, down, up, pen_x, pen_y);
  PHASE_DONE(LVK_PHASE_INPUT);
  lvk_instances_move(e);
  PHASE_DONE(LVK_PHASE_MOVE);
  lvk_collisions(e);
  PHASE_DONE(LVK_PHASE_COLLISION);
  lvk_events_outside(e);
  lvk_events_destroy(e);
  PHASE_DONE(LVK_PHASE_OUTSIDE);
  /* Spawns of a level being left would vanish at once: not made at all. A
   * level change their OnCreate asks for waits for the next frame's end, as
   * one asked for at a level's start does. */
  if (e->restart)
    restart_game(e);
  else if (e->next_level >= 0)
    start_level(e, e->next_level);
  else {
    lvk_events_spawn(e);
    lvk_camera_step(e);
  }
  lvk_text_print_stale(e);
  PHASE_DONE(LVK_PHASE_END);
}

/* ---- Queries ---- */

int lvk_engine_level(const lvk_engine_t *e) { return e->level; }

int lvk_engine_level_changed(const lvk_engine_t *e) { return e->level_changed; }

uint32_t lvk_engine_frame(const lvk_engine_t *e) { return e->frame; }

int lvk_engine_instance_count(const lvk_engine_t *e) { return e->instance_count; }

int lvk_engine_live_count(const lvk_engine_t *e) { return e->live_count; }

int lvk_engine_sprite(const lvk_engine_t *e, int slot, lvk_sprite_t *sprite)
{
  const lvk_instance_t *in;
  int32_t cx, cy;
  if (slot < 0 || slot >= e->instance_count || !sprite) return 0;
  in = &e->instances[slot];
  sprite->actor = in->actor;
  sprite->tile = in->tile;
  sprite->x = (int16_t)pixel_of(in->x);
  sprite->y = (int16_t)pixel_of(in->y);
  sprite->alive = in->alive;
  lvk_engine_camera(e, &cx, &cy);
  sprite->screen_x = (int16_t)(sprite->x - cx);
  sprite->screen_y = (int16_t)(sprite->y - cy);
  sprite->visible = sprite->screen_x > -(int)in->width && sprite->screen_x < LVK_SCREEN_WIDTH &&
                    sprite->screen_y > -(int)in->height && sprite->screen_y < LVK_SCREEN_HEIGHT;
  sprite->mirrored = (uint8_t)(in->mirror & LVK_MIRROR_ON);
  sprite->width = in->width;
  sprite->height = in->height;
  sprite->frame = lvk_animation_frame(e, slot);
  return 1;
}
