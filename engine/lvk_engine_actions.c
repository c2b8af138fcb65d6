/* The action interpreter: a handler's actions, in order, each kind's rule
 * as lvk_engine.h tells it; guards skip to the next Otherwise. What an
 * action changes belongs to the module of that state. */
#include "lvk_engine_actions.h"

#include "lvk_engine_animation.h"
#include "lvk_engine_camera.h"
#include "lvk_engine_instances.h"
#include "lvk_engine_save.h"
#include "lvk_engine_sound.h"
#include "lvk_engine_text.h"
#include "lvk_engine_variables.h"

static int32_t saturated_add(int32_t a, int32_t b)
{
  if (b > 0 && a > INT32_MAX - b) return INT32_MAX;
  if (b < 0 && a < INT32_MIN - b) return INT32_MIN;
  return a + b;
}

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

/* Number I of the action (0-based): the literal or the variable's value. */
static int32_t nth(lvk_engine_t *e, int slot, const lvk_action_t *a, int i)
{
  return number(e, slot, a->n[i], a->var[i]);
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
    int32_t n1 = nth(e, slot, a, 0);
    held = -1;
    switch (a->kind) {
    case LVK_ACTION_SET_SPEED_SIZE: {
      /* Clamped first, so adding cannot overflow; the result is the same. */
      int32_t x = clamp32(n1, -256, 256), y = clamp32(nth(e, slot, a, 1), -256, 256);
      if (a->relative) {
        x += in->sx;
        y += in->sy;
      }
      in->sx = (uint8_t)clamp32(x, 0, LVK_MAX_SPEED);
      in->sy = (uint8_t)clamp32(y, 0, LVK_MAX_SPEED);
      break;
    }
    case LVK_ACTION_SET_SPEED_DIR: {
      int x = sign32(n1), y = sign32(nth(e, slot, a, 1));
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
      lvk_variable_set(e, slot, a->ref, a->relative ? saturated_add(variable_value(e, slot, a->ref), n1) : n1);
      break;
    case LVK_ACTION_SHOW_TEXT:
      lvk_text_show(e, slot, a->ref, n1);
      break;
    case LVK_ACTION_SPAWN:
      if (e->pending_count < LVK_MAX_INSTANCES) {
        lvk_pending_spawn_t *p = &e->pending[e->pending_count++];
        p->actor = a->ref;
        p->x = clamp32(in->x + clamp32(n1, -LVK_MAX_JUMP, LVK_MAX_JUMP) * LVK_SUBPIXELS, -POSITION_LIMIT, POSITION_LIMIT);
        p->y = clamp32(in->y + clamp32(nth(e, slot, a, 1), -LVK_MAX_JUMP, LVK_MAX_JUMP) * LVK_SUBPIXELS,
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
      if (nth(e, slot, a, 1)) in->dy = (int8_t)-in->dy;
      break;
    case LVK_ACTION_SET_TILE:
      in->tile = a->ref;
      in->animation = LVK_NONE;
      break;
    case LVK_ACTION_MOVE_TOWARD:
      lvk_instance_move_toward(e, slot, a->ref, n1);
      break;
    case LVK_ACTION_IF_VARIABLE:
      held = compare(variable_value(e, slot, a->ref), (uint8_t)a->n[2], n1);
      break;
    case LVK_ACTION_IF_COUNT:
      held = compare(lvk_instances_count(e, a->ref), (uint8_t)a->n[2], n1);
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
      lvk_sound_play(e, a->ref);
      break;
    case LVK_ACTION_CLEAR_TEXT:
      if (nth(e, slot, a, 1))
        lvk_text_clear(e, e->rows_used);
      else if (n1 >= 0 && n1 < LVK_TEXT_ROWS)
        lvk_text_clear(e, (uint32_t)1 << n1);
      break;
    case LVK_ACTION_JUMP_TO: {
      int32_t x = clamp32(n1, -LVK_MAX_JUMP, LVK_MAX_JUMP) * LVK_SUBPIXELS;
      int32_t y = clamp32(nth(e, slot, a, 1), -LVK_MAX_JUMP, LVK_MAX_JUMP) * LVK_SUBPIXELS;
      if (a->relative) lvk_instance_jump(e, slot, in->x + x, in->y + y);
      else lvk_instance_jump(e, slot, x, y);
      break;
    }
    case LVK_ACTION_JUMP_TO_START:
      lvk_instance_jump(e, slot, e->instance_values->start_x[slot], e->instance_values->start_y[slot]);
      break;
    case LVK_ACTION_CAMERA_FOLLOW:
      lvk_camera_follow(e, a->ref);
      break;
    case LVK_ACTION_MOVE_CAMERA:
      lvk_camera_move(e, n1, nth(e, slot, a, 1), (uint16_t)clamp32(nth(e, slot, a, 2), 0, LVK_MAX_SPEED));
      break;
    case LVK_ACTION_SHAKE_CAMERA:
      lvk_camera_shake(e, n1, nth(e, slot, a, 1));
      break;
    case LVK_ACTION_SET_ANIMATION:
      lvk_animation_set(e, slot, a->ref, n1 != 0);
      break;
    case LVK_ACTION_MIRROR:
      if (nth(e, slot, a, 1)) {
        in->mirror = (uint8_t)(LVK_MIRROR_FACE | (in->mirror & LVK_MIRROR_ON));
        lvk_instance_face_movement(in);
      } else {
        in->mirror = n1 ? LVK_MIRROR_ON : 0;
      }
      break;
    case LVK_ACTION_SAVE_GAME:
      lvk_save_game(e, n1, nth(e, slot, a, 1) != 0);
      break;
    case LVK_ACTION_LOAD_GAME:
      ask_level(e, lvk_save_load(e, n1));
      break;
    case LVK_ACTION_ERASE_SAVE:
      lvk_save_erase(e, n1);
      break;
    case LVK_ACTION_IF_SAVED:
      held = lvk_save_held(e, n1);
      break;
    case LVK_ACTION_ENTER_HIGH_SCORE:
      lvk_save_enter_score(e, n1);
      break;
    case LVK_ACTION_SHOW_HIGH_SCORES:
      lvk_save_show_scores(e, n1);
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

void lvk_fire(lvk_engine_t *e, int slot, unsigned handler)
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
void lvk_fire_all(lvk_engine_t *e, int slot, uint8_t event)
{
  const lvk_actor_t *a = &e->game->actors[e->instances[slot].actor];
  unsigned i;
  for (i = a->first_handler; i < (unsigned)a->first_handler + a->handler_count; ++i)
    if (e->game->handlers[i].event == event) lvk_fire(e, slot, i);
}

