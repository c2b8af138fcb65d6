/* Inside the engine only: the instances, their slots and their moves. */
#ifndef LVK_ENGINE_INSTANCES_H
#define LVK_ENGINE_INSTANCES_H

#include "lvk_engine_base.h"

/* Level L's own instances, one a spawn in cell order (at most
 * LVK_MAX_INSTANCES); no handler has run yet. */
void lvk_instances_start_level(lvk_engine_t *e, const lvk_level_t *l);

/* A new instance of Actor at (X, Y) in 1/16 pixel in the lowest free slot:
 * the slot, or -1 when none is free. No handler has run yet. */
int lvk_instance_spawn(lvk_engine_t *e, uint16_t actor, int32_t x, int32_t y);

/* A frame begins: every live instance is a frame older. */
void lvk_instances_age(lvk_engine_t *e);

/* The movement phase: every live instance moves by its speed. */
void lvk_instances_move(lvk_engine_t *e);

/* The live instances of Actor. */
int32_t lvk_instances_count(const lvk_engine_t *e, uint16_t actor);

/* MoveToward: Slot's instance heads for the nearest live instance of Actor
 * at Speed. */
void lvk_instance_move_toward(lvk_engine_t *e, int slot, uint16_t actor, int32_t speed);

/* Puts Slot's instance at (X, Y) in 1/16 pixel, as a jump: no move. */
void lvk_instance_jump(lvk_engine_t *e, int slot, int32_t x, int32_t y);

/* A facing instance looks the way it moves on x. */
static inline void lvk_instance_face_movement(lvk_instance_t *in)
{
  if (!(in->mirror & LVK_MIRROR_FACE) || !in->sx || !in->dx) return;
  in->mirror = (uint8_t)(LVK_MIRROR_FACE | (in->dx < 0 ? LVK_MIRROR_ON : 0));
}

#endif
