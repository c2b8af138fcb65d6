/* Sounds: the engine only names them; the host's mixer or the DS's ARM7
 * plays them. */
#include "lvk_engine_sound.h"

void lvk_sound_init(lvk_engine_t *e)
{
  e->sound_count = 0;
  e->music = LVK_NONE;
}

void lvk_sound_start_level(lvk_engine_t *e, const lvk_level_t *l)
{
  e->music = l->music ? (uint16_t)(l->music - 1u) : LVK_NONE;
}

int lvk_engine_sounds(const lvk_engine_t *e, const uint16_t **sounds)
{
  if (sounds) *sounds = e->sounds;
  return e->sound_count;
}

int lvk_engine_music(const lvk_engine_t *e) { return e->music == LVK_NONE ? -1 : e->music; }
