/* Inside the engine only: saved data, as the rules of SaveGame, LoadGame,
 * EraseSave, IfSaved, EnterHighScore and ShowHighScores tell it, over the
 * host's store. */
#ifndef LVK_ENGINE_SAVE_H
#define LVK_ENGINE_SAVE_H

#include "lvk_engine_base.h"

/* No store, no entry, the table shown nowhere. */
void lvk_save_init(lvk_engine_t *e);

/* Slot (1-based) of the rules. SaveGame with the level when Level is not 0. */
void lvk_save_game(lvk_engine_t *e, int32_t slot, int level);
/* The level the slot saved, to go to; -1 for none (nothing else to do). */
int lvk_save_load(lvk_engine_t *e, int32_t slot);
void lvk_save_erase(lvk_engine_t *e, int32_t slot);
int lvk_save_held(lvk_engine_t *e, int32_t slot);

void lvk_save_enter_score(lvk_engine_t *e, int32_t row);
void lvk_save_show_scores(lvk_engine_t *e, int32_t row);

/* A step while initials are entered: Down, the keys that went down. */
void lvk_save_entry_step(lvk_engine_t *e, uint16_t down);

#endif
