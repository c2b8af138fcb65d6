/* Inside the engine only: the camera, as lvk_engine.h's rules tell. */
#ifndef LVK_ENGINE_CAMERA_H
#define LVK_ENGINE_CAMERA_H

#include "lvk_engine_base.h"

void lvk_camera_init(lvk_engine_t *e);

/* Level L's camera, before its OnCreate handlers run: its followed actor,
 * locks and dead zone, the followed instance in the screen's middle; no
 * glide, no shake. */
void lvk_camera_start(lvk_engine_t *e, const lvk_level_t *l);

/* After the level's OnCreate handlers: the camera they asked for. A glide
 * takes its first step; a followed instance (maybe another actor's now, or
 * moved) is in the screen's middle. */
void lvk_camera_settle(lvk_engine_t *e);

/* A frame begins: a shake counts down. */
static inline void lvk_camera_new_frame(lvk_engine_t *e)
{
  /* A shake asked for this frame is shown for all its frames from this one on. */
  if (e->shake_frames) e->shake_frames--;
}

/* The frame's end: follows or glides. */
void lvk_camera_step(lvk_engine_t *e);

/* CameraFollow, MoveCamera and ShakeCamera. */
void lvk_camera_follow(lvk_engine_t *e, uint16_t actor);
void lvk_camera_move(lvk_engine_t *e, int32_t x, int32_t y, uint16_t speed);
void lvk_camera_shake(lvk_engine_t *e, int32_t frames, int32_t strength);

/* The world point under the pen at screen point (X, Y) of the picture
 * shown: the camera with its shake. Asked before the frame's shake counts
 * down, it is the picture of the last frame, the one the player touched. */
void lvk_camera_pen(const lvk_engine_t *e, int32_t x, int32_t y, int32_t *world_x, int32_t *world_y);

#endif
