/* Inside the engine only: collisions and repel. */
#ifndef LVK_ENGINE_COLLIDE_H
#define LVK_ENGINE_COLLIDE_H

#include "lvk_engine_base.h"

/* A level starts: where each scenery actor's cells lie in it. */
void lvk_collide_start_level(lvk_engine_t *e);

/* The collision phase: every live instance's collision handlers, in order;
 * a repel takes back the move that made an overlap grow. */
void lvk_collisions(lvk_engine_t *e);

#endif
