/* Inside the engine only: the variables' values (read through
 * lvk_engine_base.h's variable_value). */
#ifndef LVK_ENGINE_VARIABLES_H
#define LVK_ENGINE_VARIABLES_H

#include "lvk_engine_base.h"

/* Where each variable's value is kept; the game variables take their
 * initial values. */
void lvk_variables_bind(lvk_engine_t *e);

/* The game variables back to their initial values (a restart). */
void lvk_variables_restart(lvk_engine_t *e);

/* Slot's new instance: its own variables take their initial values. */
void lvk_variables_start_instance(lvk_engine_t *e, int slot);

void lvk_variable_set(lvk_engine_t *e, int slot, unsigned variable, int32_t value);

#endif
