/* Inside the engine only: the phases that find which events happen, other
 * than collisions: animation ends, keys, the pen, timers, the level's edges,
 * Destroy, and the OnCreate of spawns. */
#ifndef LVK_ENGINE_EVENTS_H
#define LVK_ENGINE_EVENTS_H

#include "lvk_engine_base.h"

/* Every live instance's animation steps; a once animation's end fires
 * OnAnimationEnd. */
void lvk_events_animation(lvk_engine_t *e);

/* OnKey, OnKeyHeld, OnTouch and OnTimer, instance by instance; the pen, if
 * it went down, at world point (PenX, PenY). */
void lvk_events_input(lvk_engine_t *e, uint16_t held, uint16_t down, uint16_t up, int32_t pen_x, int32_t pen_y);

/* OnOutside for every instance whose box has newly crossed a level edge. */
void lvk_events_outside(lvk_engine_t *e);

/* The instances Destroy doomed: OnDestroy, then gone. */
void lvk_events_destroy(lvk_engine_t *e);

/* The spawns asked for so far, also those their own OnCreate handlers ask
 * for; each takes the lowest free slot, or is dropped when none is. */
void lvk_events_spawn(lvk_engine_t *e);

/* A level's own instances' OnCreate, in slot order. */
void lvk_events_create_all(lvk_engine_t *e);

#endif
