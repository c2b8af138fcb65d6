/* Animations: each instance steps through its actor's animation, a frame
 * every length frames, looping, once or back and forth. */
#include "lvk_engine_animation.h"

void lvk_animation_set(lvk_engine_t *e, int slot, uint16_t index, int restart)
{
  lvk_instance_t *in = &e->instances[slot];
  if (index < e->game->actors[in->actor].animation_count && (restart || in->animation != index)) {
    in->animation = index;
    in->step = in->shown = 0;
    in->turning = 0;
  }
}

uint16_t lvk_animation_frame(const lvk_engine_t *e, int slot)
{
  const lvk_instance_t *in = &e->instances[slot];
  if (in->animation != LVK_NONE) {
    const lvk_actor_t *a = &e->game->actors[in->actor];
    const lvk_animation_t *n = &e->game->animations[a->first_animation + in->animation];
    if (in->step < n->frame_count) return (uint16_t)(n->first_frame + in->step);
  }
  return LVK_NONE;
}
