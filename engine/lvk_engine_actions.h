/* Inside the engine only: the action interpreter, which runs a fired
 * handler's actions. */
#ifndef LVK_ENGINE_ACTIONS_H
#define LVK_ENGINE_ACTIONS_H

#include "lvk_engine_base.h"

/* Runs handler Handler (an index into lvk_game_t.handlers) for Slot's
 * instance, traced when a trace is set. */
void lvk_fire(lvk_engine_t *e, int slot, unsigned handler);

/* Fires every handler of the instance's actor whose event is Event. */
void lvk_fire_all(lvk_engine_t *e, int slot, uint8_t event);

#endif
