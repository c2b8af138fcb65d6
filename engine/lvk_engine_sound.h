/* Inside the engine only: the sounds a frame asks for and the level's
 * music, handed to the host, which plays them. */
#ifndef LVK_ENGINE_SOUND_H
#define LVK_ENGINE_SOUND_H

#include "lvk_engine_base.h"

void lvk_sound_init(lvk_engine_t *e);

/* A new frame or a start the host asks for: no sounds asked yet. */
static inline void lvk_sound_new_frame(lvk_engine_t *e) { e->sound_count = 0; }

/* PlaySound: beyond LVK_MAX_FRAME_SOUNDS in one frame, dropped. */
static inline void lvk_sound_play(lvk_engine_t *e, uint16_t sound)
{
  if (e->sound_count < LVK_MAX_FRAME_SOUNDS) e->sounds[e->sound_count++] = sound;
}

/* The music of level L, from its start on. */
void lvk_sound_start_level(lvk_engine_t *e, const lvk_level_t *l);

#endif
