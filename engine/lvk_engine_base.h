/* Inside the engine only: what every module of the rules reads. Small and
 * called on every instance of every frame, so static inline: the modules
 * are separate files, and the DS's compiler inlines across no file. */
#ifndef LVK_ENGINE_BASE_H
#define LVK_ENGINE_BASE_H

#include "lvk_engine.h"

/* Positions stay within what a sprite's whole-pixel int16 can hold, so an
 * instance that flies off for hours neither overflows nor wraps round. */
#define POSITION_LIMIT (16000L * LVK_SUBPIXELS)
#define NO_SLOT 0xFFu
/* In lvk_engine_t.variable_place: the variable is an instance variable. */
#define INSTANCE_PLACE 0x80u

static inline int32_t clamp32(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

static inline int sign32(int32_t v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

/* Rounds down, also for negative positions: shifted while positive, since
 * C leaves the shift of a negative number to the compiler. Positions stay
 * within POSITION_LIMIT, which the offset exceeds. */
#define PIXEL_OFFSET (16384L * LVK_SUBPIXELS)
static inline int32_t pixel_of(int32_t sub)
{
  return (int32_t)((uint32_t)(sub + PIXEL_OFFSET) / LVK_SUBPIXELS) - 16384L;
}

static inline unsigned actor_width(const lvk_actor_t *a) { return a->width ? a->width : LVK_TILE_SIZE; }
static inline unsigned actor_height(const lvk_actor_t *a) { return a->height ? a->height : LVK_TILE_SIZE; }

static inline unsigned level_width(const lvk_level_t *l) { return l->width ? l->width : LVK_LEVEL_COLUMNS; }
static inline unsigned level_height(const lvk_level_t *l) { return l->height ? l->height : LVK_LEVEL_ROWS; }

static inline int slot_alive(const lvk_engine_t *e, int slot)
{
  return e->instances[slot].alive && !e->instances[slot].doomed;
}

static inline int32_t *instance_value(lvk_engine_t *e, int slot, unsigned place)
{
  return &e->instance_values->values[slot][place];
}

static inline int32_t variable_value(lvk_engine_t *e, int slot, unsigned variable)
{
  unsigned place = e->variable_place[variable];
  return place & INSTANCE_PLACE ? *instance_value(e, slot, place & ~INSTANCE_PLACE) : e->game_values[place];
}

/* An action's number: the literal, or the variable's value. */
static inline int32_t number(lvk_engine_t *e, int slot, int32_t arg, uint16_t var)
{
  return var == LVK_LITERAL ? arg : variable_value(e, slot, var - 1u);
}

#endif
