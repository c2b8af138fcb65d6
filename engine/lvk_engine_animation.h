/* Inside the engine only: the instances' animations. */
#ifndef LVK_ENGINE_ANIMATION_H
#define LVK_ENGINE_ANIMATION_H

#include "lvk_engine_base.h"

/* One frame of Slot's animation: the next frame when the current one has
 * been shown for its length. 1 when a once animation has just ended (the
 * caller fires OnAnimationEnd), else 0. Inline: it runs for every instance
 * on every frame. */
static inline int lvk_animation_step(lvk_engine_t *e, int slot)
{
  lvk_instance_t *in = &e->instances[slot];
  const lvk_actor_t *a = &e->game->actors[in->actor];
  const lvk_animation_t *n;
  if (in->animation >= a->animation_count) return 0;
  n = &e->game->animations[a->first_animation + in->animation];
  if (n->frame_count < 2 && n->mode != LVK_ANIMATION_ONCE) return 0;
  if (!n->length || ++in->shown < n->length) return 0;
  in->shown = 0;
  switch (n->mode) {
  case LVK_ANIMATION_ONCE:
    if (in->step + 1 < n->frame_count) {
      in->step++;
    } else if (!in->turning) {
      in->turning = 1;
      return 1;
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
  return 0;
}

/* SetAnimation: Slot's instance shows its actor's animation Index from its
 * first frame; without Restart, the one it shows goes on. */
void lvk_animation_set(lvk_engine_t *e, int slot, uint16_t index, int restart);

/* The frame (of lvk_game_t.frames) Slot's instance shows, LVK_NONE for its
 * tile. */
uint16_t lvk_animation_frame(const lvk_engine_t *e, int slot);

#endif
