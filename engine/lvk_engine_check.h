/* Inside the engine only: the look at a game's tables before it runs
 * (lvk_game_check and the other table queries of lvk_engine.h). */
#ifndef LVK_ENGINE_CHECK_H
#define LVK_ENGINE_CHECK_H

#include "lvk_engine_base.h"

/* Where the scenery of level Level starts: the levels before it, cell by
 * cell, as the table holds them. */
uint32_t lvk_scenery_start(const lvk_game_t *game, int level);

/* Whether the game reads lvk_instance_values_t: instance variables or a
 * JumpToStart. */
int lvk_needs_instance_values(const lvk_game_t *game);

#endif
