/* The camera: where the screen's top-left corner is in the world, moved
 * once a frame after everything else. */
#include "lvk_engine_camera.h"

void lvk_camera_init(lvk_engine_t *e)
{
  e->camera_x = e->camera_y = 0;
  e->camera_follow = LVK_NONE;
  e->camera_moving = 0;
  e->shake_frames = 0;
  e->shake_strength = 0;
}

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

void lvk_camera_step(lvk_engine_t *e)
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

/* The followed instance in the screen's middle, on each axis not locked
 * (a locked axis stays where it is), kept inside the level. */
static void centre_on_followed(lvk_engine_t *e)
{
  int slot = followed_slot(e);
  if (slot >= 0) {
    if (!(e->camera_locks & LVK_CAMERA_LOCK_X))
      e->camera_x = pixel_of(e->instances[slot].x) + e->instances[slot].width / 2 - LVK_SCREEN_WIDTH / 2;
    if (!(e->camera_locks & LVK_CAMERA_LOCK_Y))
      e->camera_y = pixel_of(e->instances[slot].y) + e->instances[slot].height / 2 - LVK_SCREEN_HEIGHT / 2;
  }
  camera_clamp(e, &e->camera_x, &e->camera_y);
}

void lvk_camera_start(lvk_engine_t *e, const lvk_level_t *l)
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
  centre_on_followed(e);
}

void lvk_camera_settle(lvk_engine_t *e)
{
  /* The start stands in for the frame's camera phase: a MoveCamera takes
   * its first step (at speed 0 the level opens where it asked). */
  if (e->camera_moving)
    lvk_camera_step(e);
  else
    centre_on_followed(e);
}

void lvk_camera_follow(lvk_engine_t *e, uint16_t actor)
{
  e->camera_follow = actor;
  e->camera_moving = 0;
}

void lvk_camera_move(lvk_engine_t *e, int32_t x, int32_t y, uint16_t speed)
{
  e->camera_follow = LVK_NONE;
  e->camera_goal_x = x;
  e->camera_goal_y = y;
  e->camera_speed = speed;
  e->camera_moving = 1;
}

void lvk_camera_shake(lvk_engine_t *e, int32_t frames, int32_t strength)
{
  e->shake_frames = frames > 0 ? (uint32_t)frames : 0;
  e->shake_strength = (uint8_t)clamp32(strength, 0, LVK_MAX_SHAKE);
}

void lvk_camera_pen(const lvk_engine_t *e, int32_t x, int32_t y, int32_t *world_x, int32_t *world_y)
{
  int32_t cx, cy;
  lvk_engine_camera(e, &cx, &cy);
  *world_x = x + cx;
  *world_y = y + cy;
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
