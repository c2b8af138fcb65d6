/* The game engine: the rules of play of a Lurvik Studio game, in portable C99.
 *
 * One copy of these sources runs everywhere a game plays: in the DS program
 * (copied next to main.c), in the editor's play window and in the host tests.
 * It knows nothing of the editor's document: a host hands it a read-only game
 * description (lvk_game_t, made by the editor's table builder or defined by
 * the generated lvk_gamedata.c) and steps it one frame at a time with the
 * keys held; it answers with instance positions and the current level.
 *
 * No floating point and no allocation: all state lives in the caller's
 * lvk_engine_t. Positions are fixed point in 1/16 pixel. Given the same game
 * and the same input sequence the engine does the same thing on every host.
 *
 * Rules, as the engine applies them
 * - The screen is 256x192 pixels; level cell (c, r) is at pixel (8c, 8r).
 * - An actor with at least one handler is live: every cell where a level
 *   places it spawns one instance there (at most LVK_MAX_INSTANCES per
 *   level, in cell order, row by row; further cells spawn nothing). An actor
 *   without handlers is scenery: it stays in the background and can be
 *   collided with.
 * - An instance has a speed size (sx, sy), each 0..255, and a direction
 *   (dx, dy), each -1, 0 or 1, all 0 at the start; each frame it moves by
 *   (sx*dx, sy*dy) sixteenths of a pixel.
 * - A frame, in this order: input events (OnKey, OnTouch), movement,
 *   collision events, outside events, then destroys (the instance's OnDestroy
 *   handlers run first) and the level change. Within each phase instances go
 *   in spawn order and an actor's handlers in their order; a handler runs
 *   its actions in order.
 * - OnCreate runs for every instance when its level starts, in cell order.
 *   A Destroy or NextLevel asked for there takes effect at the end of the
 *   next frame.
 * - OnKey with press fires on the frame in which every key of the set is
 *   held and at least one of them went down; with release, on the frame in
 *   which none is held and at least one went up. An empty set never fires.
 * - OnTouch fires on the frame the pen goes down (LVK_KEY_TOUCH goes down)
 *   when the touch point lies in a selected area around the instance's 8x8
 *   box: H inside, N/S/E/W in the band straight above/below/right/left,
 *   NE/SE/SW/NW in the diagonal quarter-planes.
 * - OnOutside fires on the frame in which the box starts to reach beyond a
 *   screen edge (N top, S bottom, W left, E right); edges crossed in the same
 *   frame give the diagonal (N and E: NE). It fires when that direction is
 *   selected, once per crossing: an edge counts again only after the box
 *   came back inside it.
 * - OnCollision fires on the frame in which the box, after movement, starts
 *   to overlap the box of another instance of the named actor or a cell
 *   where that actor is scenery; again only after a frame without overlap.
 *   Boxes are compared in whole pixels, as they are drawn. With repel, the
 *   instance's own move of that frame is first undone along the axis that
 *   caused the overlap (x if undoing x alone clears it, else y if undoing y
 *   alone does, else both), so it slides along walls; a repelled instance
 *   pushing on counts as one contact and does not fire again.
 * - SetSpeedSize: absolute sets (sx, sy) to (arg1, arg2), relative adds;
 *   clamped to 0..255. SetSpeedDir: absolute sets (dx, dy) to the signs of
 *   (arg1, arg2), relative adds the signs and clamps to -1..1. Destroy
 *   removes the instance at the end of the frame after its OnDestroy
 *   handlers ran (once, however often it is asked). NextLevel goes to the
 *   next level at the end of the frame, after the last to the first; asking
 *   several times in one frame steps once. A level change destroys the
 *   remaining instances without OnDestroy.
 * - Start and Select held together (both held, one of them just went down)
 *   step to the next level. A game in which no actor has a handler is a
 *   viewer: A or Right steps to the next level, B or Left to the previous
 *   one, wrapping.
 *
 * The background. The level's tile map is the one generated.c holds
 * (lvk_levels), which shows every placed actor's tile. A live actor's cells
 * must show colour 0 instead, since its instances are drawn as sprites: the
 * host calls lvk_level_clear_live_cells on its copy of the map whenever a
 * level starts, which writes the game's empty tile number (tile_count, the
 * value of an empty cell, a tile of colour 0 only) to every spawn cell.
 */
#ifndef LVK_ENGINE_H
#define LVK_ENGINE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define LVK_SCREEN_WIDTH 256
#define LVK_SCREEN_HEIGHT 192
#define LVK_LEVEL_COLUMNS 32
#define LVK_LEVEL_ROWS 24
#define LVK_LEVEL_CELLS (LVK_LEVEL_COLUMNS * LVK_LEVEL_ROWS)
#define LVK_TILE_SIZE 8
/* Positions are in 1/LVK_SUBPIXELS pixel. */
#define LVK_SUBPIXELS 16
#define LVK_MAX_INSTANCES 128
/* Collision handlers an actor may have; later ones never fire. */
#define LVK_MAX_COLLISION_HANDLERS 32
/* No tile, no actor. */
#define LVK_NONE 0xFFFFu

/* Held keys: the libnds key bits, and the OnKey key table's order. */
#define LVK_KEY_A (1u << 0)
#define LVK_KEY_B (1u << 1)
#define LVK_KEY_SELECT (1u << 2)
#define LVK_KEY_START (1u << 3)
#define LVK_KEY_RIGHT (1u << 4)
#define LVK_KEY_LEFT (1u << 5)
#define LVK_KEY_UP (1u << 6)
#define LVK_KEY_DOWN (1u << 7)
#define LVK_KEY_R (1u << 8)
#define LVK_KEY_L (1u << 9)
#define LVK_KEY_X (1u << 10)
#define LVK_KEY_Y (1u << 11)
#define LVK_KEY_TOUCH (1u << 12)
#define LVK_KEY_LID (1u << 13)

/* OnTouch areas and OnOutside directions: the bits of the editor's tables. */
#define LVK_AREA_N (1u << 0)
#define LVK_AREA_NE (1u << 1)
#define LVK_AREA_E (1u << 2)
#define LVK_AREA_SE (1u << 3)
#define LVK_AREA_S (1u << 4)
#define LVK_AREA_SW (1u << 5)
#define LVK_AREA_W (1u << 6)
#define LVK_AREA_NW (1u << 7)
#define LVK_AREA_H (1u << 8)

/* Event kinds, in the editor's registry order. */
enum {
  LVK_EVENT_CREATE = 0,
  LVK_EVENT_DESTROY = 1,
  LVK_EVENT_KEY = 2,
  LVK_EVENT_TOUCH = 3,
  LVK_EVENT_COLLISION = 4,
  LVK_EVENT_OUTSIDE = 5
};

/* Action kinds, in the editor's registry order. */
enum {
  LVK_ACTION_SET_SPEED_SIZE = 0,
  LVK_ACTION_SET_SPEED_DIR = 1,
  LVK_ACTION_DESTROY = 2,
  LVK_ACTION_NEXT_LEVEL = 3
};

/* lvk_handler_t.flags */
#define LVK_HANDLER_PRESS 1u /* OnKey: on pressing (else on releasing) */
#define LVK_HANDLER_REPEL 2u /* OnCollision: repel (else overlap) */

/* ---- The game description: read-only tables, owned by the host ---- */

typedef struct lvk_actor {
  uint16_t tile;          /* tile number drawn, or LVK_NONE */
  uint16_t first_handler; /* index into lvk_game_t.handlers */
  uint16_t handler_count; /* 0: scenery; else live */
} lvk_actor_t;

typedef struct lvk_handler {
  uint8_t event;          /* LVK_EVENT_... */
  uint8_t flags;          /* LVK_HANDLER_... */
  uint16_t mask;          /* OnKey: keys; OnTouch: areas; OnOutside: directions */
  uint16_t other;         /* OnCollision: the other actor's number */
  uint16_t first_action;  /* index into lvk_game_t.actions */
  uint16_t action_count;
} lvk_handler_t;

typedef struct lvk_action {
  uint8_t kind;     /* LVK_ACTION_... */
  uint8_t relative; /* 1: relative, 0: absolute */
  int32_t arg1;
  int32_t arg2;
} lvk_action_t;

typedef struct lvk_spawn {
  uint16_t actor;  /* a live actor's number */
  uint8_t column;  /* 0..31 */
  uint8_t row;     /* 0..23 */
} lvk_spawn_t;

typedef struct lvk_level {
  uint16_t first_spawn; /* index into lvk_game_t.spawns */
  uint16_t spawn_count; /* in cell order; beyond LVK_MAX_INSTANCES ignored */
} lvk_level_t;

typedef struct lvk_game {
  uint16_t tile_count; /* also the map value of an empty cell */
  uint16_t actor_count;
  uint16_t handler_count;
  uint16_t action_count;
  uint16_t level_count;
  uint16_t spawn_count;
  const lvk_actor_t *actors;
  const lvk_handler_t *handlers;
  const lvk_action_t *actions;
  const lvk_level_t *levels;
  const lvk_spawn_t *spawns;
  /* level_count * LVK_LEVEL_CELLS actor numbers, level by level, row by row:
   * the scenery actor placed in each cell, LVK_NONE for an empty cell or a
   * live actor's cell. */
  const uint16_t *scenery;
} lvk_game_t;

/* Defined by the generated lvk_gamedata.c in the DS program. */
extern const lvk_game_t lvk_game;

/* 1 when every index in the tables lies inside its table (handler and action
 * ranges, collision targets, spawn actors and cells, scenery actors), else 0.
 * lvk_engine_init refuses a game that fails it. */
int lvk_game_check(const lvk_game_t *game);

/* Writes game->tile_count into every cell of Map (LVK_LEVEL_CELLS values,
 * a copy of the level's lvk_levels map) where the level spawns an instance. */
void lvk_level_clear_live_cells(const lvk_game_t *game, int level, uint16_t *map);

/* ---- The running game ---- */

typedef struct lvk_input {
  uint16_t keys;   /* held keys, LVK_KEY_... */
  int16_t touch_x; /* pen position in screen pixels; read while   */
  int16_t touch_y; /* LVK_KEY_TOUCH is held                        */
} lvk_input_t;

/* One fired handler, for tests and debugging. */
typedef struct lvk_trace {
  uint32_t frame;
  uint16_t instance; /* slot in lvk_engine_t.instances */
  uint16_t actor;
  uint16_t handler;  /* index into lvk_game_t.handlers */
  uint8_t event;     /* LVK_EVENT_... */
} lvk_trace_t;

typedef void (*lvk_trace_fn)(void *context, const lvk_trace_t *fired);

/* Read-only for hosts. Slots keep their number for the whole level; a
 * destroyed instance stays in its slot with alive 0. */
typedef struct lvk_instance {
  int32_t x, y;         /* top left, in 1/16 pixel */
  int32_t old_x, old_y; /* before this frame's move */
  uint32_t touching;    /* bit k: overlapped with the actor's k-th collision handler's target */
  uint16_t actor;
  uint8_t sx, sy;
  int8_t dx, dy;
  uint8_t alive;
  uint8_t doomed;       /* Destroy asked for; removed at the end of the frame */
  uint8_t outside;      /* screen edges the box reaches beyond, LVK_AREA_N/E/S/W */
} lvk_instance_t;

typedef struct lvk_engine {
  const lvk_game_t *game; /* 0 after init with a game that fails the check */
  int level;              /* -1 when there is none */
  int next_level;         /* asked for this frame, -1 none */
  uint32_t frame;         /* frames stepped since init */
  uint16_t keys;          /* held in the last frame */
  uint8_t level_changed;
  uint8_t viewer;
  int instance_count;     /* slots in use */
  int live_count;
  lvk_trace_fn trace;     /* 0: no trace */
  void *trace_context;
  lvk_instance_t instances[LVK_MAX_INSTANCES];
  uint8_t by_actor[LVK_MAX_INSTANCES]; /* the slots in actor order, for collision look-ups */
  int16_t pixel_x[LVK_MAX_INSTANCES];  /* whole-pixel positions while collisions are tested */
  int16_t pixel_y[LVK_MAX_INSTANCES];
} lvk_engine_t;

/* Binds Engine to Game, which must outlive it. No level runs yet: set the
 * trace, if any, then start a level. */
void lvk_engine_init(lvk_engine_t *engine, const lvk_game_t *game);

/* Optional: Trace is called with every handler that fires. Compiled out
 * when LVK_ENGINE_NO_TRACE is defined. */
void lvk_engine_set_trace(lvk_engine_t *engine, lvk_trace_fn trace, void *context);

/* Starts level Level (taken modulo the level count): spawns its instances
 * and runs their OnCreate handlers in cell order; sets the level-changed
 * flag. Does nothing in a game without levels. */
void lvk_engine_start_level(lvk_engine_t *engine, int level);

/* One frame (1/60 s) with the keys held now. */
void lvk_engine_step(lvk_engine_t *engine, const lvk_input_t *input);

/* Queries. */
int lvk_engine_level(const lvk_engine_t *engine);         /* -1 when none */
int lvk_engine_level_changed(const lvk_engine_t *engine); /* in the last step or start; the host redraws */
uint32_t lvk_engine_frame(const lvk_engine_t *engine);
int lvk_engine_instance_count(const lvk_engine_t *engine); /* slots, alive or not */
int lvk_engine_live_count(const lvk_engine_t *engine);

/* What the host draws for one slot. */
typedef struct lvk_sprite {
  uint16_t actor;
  uint16_t tile; /* LVK_NONE: draw nothing */
  int16_t x, y;  /* top left, whole pixels (rounded down) */
  uint8_t alive;
} lvk_sprite_t;

/* 0 for a slot outside 0..instance count - 1, else 1 with *Sprite filled. */
int lvk_engine_sprite(const lvk_engine_t *engine, int slot, lvk_sprite_t *sprite);

#ifdef __cplusplus
}
#endif

#endif
