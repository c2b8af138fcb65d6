/* Inside the engine only: the instances' animations. */
#ifndef LVK_ENGINE_ANIMATION_H
#define LVK_ENGINE_ANIMATION_H

#include "lvk_engine_base.h"

/* One frame of Slot's animation: the next frame when the current one has
 * been shown for its length. 1 when a once animation has just ended (the
 * caller fires OnAnimationEnd), else 0. */
int lvk_animation_step(lvk_engine_t *e, int slot);

/* SetAnimation: Slot's instance shows its actor's animation Index from its
 * first frame; without Restart, the one it shows goes on. */
void lvk_animation_set(lvk_engine_t *e, int slot, uint16_t index, int restart);

/* The frame (of lvk_game_t.frames) Slot's instance shows, LVK_NONE for its
 * tile. */
uint16_t lvk_animation_frame(const lvk_engine_t *e, int slot);

#endif
