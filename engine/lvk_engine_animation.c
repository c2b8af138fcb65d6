/* Animations: each instance steps through its actor's animation, a frame
 * every length frames, looping, once or back and forth. */
#include "lvk_engine_animation.h"

int lvk_animation_step(lvk_engine_t *e, int slot)
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
