/* The game engine: the rules of play of a Lurvik Studio game, in portable C99.
 *
 * One copy of these sources runs everywhere a game plays: in the DS program
 * (copied next to main.c), in the editor's play window and in the host tests.
 * It knows nothing of the editor's document: a host hands it a read-only game
 * description (lvk_game_t, made by the editor's table builder or defined by
 * the generated lvk_gamedata.c) and steps it one frame at a time with the
 * keys held; it answers with instance positions, the current level, the text
 * rows of the upper screen and the sounds asked for.
 *
 * No floating point and no allocation: all state lives in the caller's
 * lvk_engine_t. Positions are fixed point in 1/16 pixel. Given the same game
 * and the same input sequence the engine does the same thing on every host.
 *
 * Rules, as the engine applies them
 * - The screen is 256x192 pixels. A level is 32x24 to 256x256 cells; cell
 *   (c, r) is at world pixel (8c, 8r), so the world reaches 2,048 pixels, or
 *   32,768 sixteenths, which the 32-bit positions hold with room to spare.
 *   Every rule works in world pixels: collisions, Spawn, MoveToward, SetTile
 *   and OnTouch (the pen's point is its screen point plus the camera as
 *   the picture the player touched showed it, shake included).
 *   Instances far from the camera keep running; the host leaves out the
 *   sprites off the screen (lvk_sprite_t.visible).
 * - The camera is the world pixel at the screen's top-left corner; it never
 *   shows anything beyond the level's edges (a level of one screen never
 *   scrolls). A level may name an actor to follow: the camera starts with
 *   that actor's first instance (in cell order) in the screen's middle, and
 *   after every frame it moves just enough to keep the middle of the first
 *   live instance's box of the followed actor (lowest slot) inside the dead zone, a box of the
 *   size the level gives in the screen's middle; a locked axis never follows. Without
 *   an actor to follow the camera stays at the top-left corner until an
 *   action moves it. CameraFollow(actor) follows another actor; the
 *   editor writes the handler's own actor for none, as its help says
 *   (LVK_NONE in the tables, which it never writes, stops following and
 *   the camera stays). MoveCamera(x, y, speed) stops following
 *   and glides the camera towards world pixel (x, y), at most speed pixels a
 *   frame on each axis (0: at once), kept inside the level. ShakeCamera
 *   (frames, strength) shakes the shown picture for that many frames by up
 *   to strength pixels (0..LVK_MAX_SHAKE, held there), without moving the
 *   camera itself; the last
 *   shake asked for counts. What a shake shows beyond the level's edges is
 *   nothing of the level: the level's backdrop (lvk_level_t.backdrop),
 *   on every host.
 *   The camera moves after everything else in the frame, so the host draws
 *   the background and the sprites of one frame with one camera. A level's
 *   camera is set up when the level starts, before its OnCreate handlers
 *   run, and they act on it: a MoveCamera there takes its first step at the
 *   start (at speed 0 the level opens where it asked), a CameraFollow starts
 *   with its actor in the screen's middle, a shake starts with the level's
 *   first picture.
 *   A level may be narrower or lower than the screen: cells beyond its width
 *   or height hold nothing, whatever the scenery table says there, and
 *   nothing collides with them.
 * - An actor with at least one handler is live: every cell where a level
 *   places it spawns one instance there (at most LVK_MAX_INSTANCES per
 *   level, in cell order, row by row; further cells spawn nothing). An actor
 *   without handlers is scenery: it stays in the background and can be
 *   collided with. Spawn makes instances of any actor, scenery ones too.
 * - An instance has a speed size (sx, sy), each 0..255, and a direction
 *   (dx, dy), each -1, 0 or 1, all 0 at the start; each frame it moves by
 *   (sx*dx, sy*dy) sixteenths of a pixel. It is drawn with its actor's tile
 *   until SetTile gives it another. Its age is the number of frames it has
 *   lived: 0 when it is created, one more at the start of every frame.
 * - An instance's box is its actor's size (8x8 to 64x64, the DS's sprite
 *   shapes), its top left at its position: collisions, repel, OnTouch and
 *   OnOutside all use it. A scenery actor of a larger size covers its block
 *   of cells: the scenery table holds its number in each (see below).
 * - Animations: an actor may have animations, each frame_count frames shown
 *   length frames each, in a mode. An instance of an actor with animations
 *   starts its first at frame 0 and is drawn with the current frame (a block
 *   of tiles of its size); one without is drawn with its tile as an 8x8
 *   sprite in the top left of its box. A frame is shown for length frames:
 *   at the start of every frame (after the ages) the animations advance.
 *   Loop goes from the last frame to the first; back and forth turns at
 *   either end (0 1 2 1 0 1 ...); once stops on its last frame and, when
 *   that has been shown for its length, fires the instance's OnAnimationEnd
 *   handlers, once. An animation of one frame does not change; a length of
 *   0 never advances. SetTile draws the instance with the tile and stops its
 *   animation until SetAnimation starts one.
 * - A frame, in this order: animations (OnAnimationEnd), input and timer events (OnKey, OnKeyHeld,
 *   OnTouch, OnTimer), movement, collision events, outside events, destroys
 *   (the instance's OnDestroy handlers run first), then either the level
 *   change (RestartGame, GoToLevel, NextLevel) or the spawns, and last the
 *   text rows are brought up to date. Within each phase instances go in slot
 *   order and an actor's handlers in their order; a handler runs its actions
 *   in order.
 * - OnCreate runs for every instance when its level starts, in cell order,
 *   and for a spawned instance when it is spawned. A Destroy, level change
 *   or RestartGame asked for there takes effect at the end of the next
 *   frame; a Spawn asked for there happens at once, after the other OnCreate
 *   handlers of that moment.
 * - OnKey with press fires on the frame in which every key of the set is
 *   held and at least one of them went down; with release, on the frame in
 *   which none is held and at least one went up. OnKeyHeld fires on every
 *   frame in which every key of the set is held, also the first frame of a
 *   level when they were held before it. An empty set never fires.
 * - OnTouch fires on the frame the pen goes down (LVK_KEY_TOUCH goes down)
 *   when the touch point lies in a selected area around the instance's
 *   box: H inside, N/S/E/W in the band straight above/below/right/left,
 *   NE/SE/SW/NW in the diagonal quarter-planes.
 * - OnTimer(frames) fires on the frame in which the instance's age reaches
 *   frames; with repeat also whenever the age is a multiple of frames after
 *   that. OnTimer(1, repeat) fires on every frame. Frames 0 never fires.
 * - OnOutside fires on the frame in which the box starts to reach beyond an
 *   edge of the level (N top, S bottom, W left, E right); a level that fits
 *   in one screen has the screen's edges, a level that scrolls its own on
 *   both axes. Edges crossed in the same frame give the diagonal (N and E:
 *   NE). It fires when that direction is
 *   selected, once per crossing: an edge counts again only after the box
 *   came back inside it.
 * - OnCollision fires on the frame in which the box, after movement, starts
 *   to overlap the box of another instance of the named actor or a cell
 *   where that actor is scenery; again only after a frame without overlap.
 *   The target "any solid actor" (LVK_ANY_SOLID) stands for every actor
 *   ticked solid, live or scenery. Boxes are compared in whole pixels, as
 *   they are drawn. With repel, a move of the instance's own that makes the
 *   overlap with the target larger (in square pixels, over all the boxes it
 *   overlaps) is taken back as far as needed and no further: along x alone
 *   if that is enough, else along y alone, else along both (x first); it
 *   goes from where the instance was towards where it moved and stops at the
 *   last whole pixel before the overlap would grow, so a fast instance stops
 *   in contact and slides along walls. A move of more than 8 pixels on an
 *   axis is also looked at halfway, so a fast instance cannot jump over a
 *   box in one frame; meeting a box that way counts as a contact. A move
 *   that keeps or shrinks an overlap it did not make (something walked into
 *   it) stays, so it can always walk out. A repelled instance pushing on
 *   counts as one contact and does not fire again.
 * - A contact (a move taken back by repel, or an overlap) counts as meeting
 *   every actor it touched, for every OnCollision of the instance that names
 *   that actor or any solid actor, each once per contact as above: once a
 *   repel has taken the move back, the instance's later OnCollision handlers
 *   of that frame also look where the move went (and halfway, for a long
 *   move). So OnCollision(any solid actor, repel) and OnCollision(door,
 *   repel) both fire when the instance walks into a solid door, in either
 *   order.
 * - Actions, with every number a literal or a variable's value:
 *   SetSpeedSize: absolute sets (sx, sy), relative adds; clamped to 0..255.
 *   SetSpeedDir: absolute sets (dx, dy) to the signs of its numbers,
 *   relative adds the signs and clamps to -1..1. Destroy removes the
 *   instance at the end of the frame after its OnDestroy handlers ran (once,
 *   however often it is asked). NextLevel goes to the next level at the end
 *   of the frame, after the last to the first. GoToLevel(n) goes to level n
 *   (counted from 1), 0 starts this level again, any other number does
 *   nothing. Of the level changes asked for in one frame the first counts.
 *   RestartGame sets the game variables back to their initial values, clears
 *   the text rows and starts the first level, at the end of the frame, before
 *   any level change asked for. A level change destroys the remaining
 *   instances without OnDestroy and keeps the game variables.
 *   SetVariable sets a variable, relative adds to it (clamped to the 32-bit
 *   range). Spawn(actor, dx, dy) makes an instance of the actor at the end of
 *   the frame at the position the spawning instance had when it asked (in
 *   the input phase: before that frame's move; in the collision phase: after
 *   it and any repel), plus (dx, dy) pixels, in the lowest free slot (a destroyed instance's slot is
 *   free), and runs its OnCreate handlers; with LVK_MAX_INSTANCES slots alive
 *   nothing is spawned. Bounce(x, y) reverses the direction on x when its
 *   first number is not 0 and on y when its second is not 0. SetTile draws
 *   the instance with another tile (LVK_NONE: with none). MoveToward(actor,
 *   speed) points the direction at the nearest other instance of the actor
 *   (squared distance between the top left corners in whole pixels, ties to
 *   the earlier slot; never the instance itself, never one asked to be
 *   destroyed) with speed size speed on each axis, less on an axis where the
 *   target is nearer than that, so it never moves past the target; with no
 *   such instance nothing changes. PlaySound asks the host to start a sound
 *   (see lvk_engine_sounds); of more than LVK_MAX_FRAME_SOUNDS asked for in
 *   one frame (or level start) the first ones count.
 *   ClearText(row) clears a row and gives it back to the host, as
 *   RestartGame does with all of them (the host's start text shows there
 *   again); with its second number not 0 it clears every row the game has
 *   printed; a row outside 0..23 does nothing. A value a cleared row
 *   followed no longer prints it.
 *   JumpTo(x, y) puts the instance at pixel (x, y) of the level (its box's
 *   top left), relative moves it by (x, y) pixels; JumpToStart puts it where
 *   it was placed or spawned. A jump is not a move: repel never takes it
 *   back, and it changes neither speed nor direction. A jump made in an
 *   OnCollision handler counts for collisions from the next frame on: the
 *   rest of that collision phase still meets the instance where it was (the
 *   contact's other handlers fire), and its later repel handlers that frame
 *   take nothing back. JumpTo's numbers are clamped to -32000..32000 pixels.
 *   SetAnimation(a, restart) starts
 *   the actor's animation a at its first frame; without restart an
 *   animation already running goes on where it is (so a handler that fires
 *   every frame may ask for it). Mirror(mirrored, face) draws the instance
 *   mirrored left to right or not; with face it is mirrored while it moves
 *   left and not while it moves right, keeping its last facing while it
 *   does not move on x (decided after each movement phase, and at once
 *   when the action runs).
 * - Saved data: a game keeps three save slots and its high-score table in
 *   a store the host keeps (lvk_engine_set_store; layout in lvk_save.h).
 *   Each action that uses it reads the store anew through the host; a store
 *   that is damaged, of the wrong size or of another game counts as empty
 *   (lvk_engine_save_status says which), and the next write starts it anew.
 *   SaveGame(slot, level) writes the saved game variables (lvk_variable_t
 *   .saved; an instance variable is never saved) into slot 1..3, with the
 *   current level when level is not 0. LoadGame(slot) sets every saved game
 *   variable to its value in the slot, or to its initial value when the
 *   slot does not hold it (a save of an older version of the game), and,
 *   when the slot holds a level, goes there as GoToLevel does; a slot never
 *   written changes nothing. EraseSave(slot) empties the slot. IfSaved(slot)
 *   holds when the slot was written. A slot outside 1..3 does nothing and
 *   never holds. Without a store (none given, the host has none) saving
 *   does nothing and nothing is saved.
 * - The high-score table (lvk_game_t.saving): score_places places of the
 *   score variable's values, best first (higher or lower is better); a
 *   score equal to one in the table goes below it. EnterHighScore(row)
 *   does nothing unless the score variable's value earns a place; then,
 *   from the next frame on, the game waits (steps run no phase, instances
 *   neither age nor move) while the player enters score_letters letters on
 *   the row: up and down change the letter under the cursor, left and
 *   right move the cursor, A confirms. Then the entry goes into the table,
 *   the store is written, the row is given back to the host, the table is
 *   shown again where ShowHighScores last showed it, and the game goes on
 *   with the next frame. ShowHighScores(row) prints the table from that
 *   row, a row a place ("1. ABC 1200", an empty place "2. ---"), as far as
 *   the screen goes. In a game without a table both do nothing.
 * - Guards are actions too: one that does not hold ends the handler's run
 *   (the actions after it do not run this time), unless an Otherwise
 *   follows it: then the run goes on after the next Otherwise. An Otherwise
 *   reached in the run ends it when the handler's last guard held (or none
 *   was met yet), and lets the run go on when the last guard failed; so
 *   "guard, A, Otherwise, B" runs A or B, never both. IfVariable(v, op, n) and
 *   IfCount(actor, op, n) compare a variable's value or the number of the
 *   actor's live instances (alive and not asked to be destroyed) with n;
 *   IfChance(n) holds one time in n (never for n < 1), drawn from the
 *   engine's own random numbers, which start the same on every host;
 *   IfKeyHeld(keys) holds while every key of the set is held (an empty set
 *   never holds).
 * - Variables: game variables (at most LVK_MAX_GAME_VARIABLES) have one
 *   value, set to its initial value when the engine is bound to the game and
 *   by RestartGame, and kept across levels. Instance variables (at most
 *   LVK_MAX_INSTANCE_VARIABLES) have a value in every instance, set to the
 *   initial value when the instance is created; in a handler they are the
 *   running instance's.
 * - The upper screen has LVK_TEXT_ROWS rows of LVK_TEXT_COLUMNS characters.
 *   ShowText(row, text) clears the row and prints the text there, cut at the
 *   row's end; a row outside 0..23 does nothing. A text is literal pieces and
 *   variables' values in decimal. The row stays current: whenever a variable
 *   it shows changes, it is printed again at the end of the frame, until the
 *   row is printed with another text. Instance variables in it are those of
 *   the instance that showed it; when that instance goes (destroyed or its
 *   level left) the row keeps what it shows and follows no variable any more,
 *   even when a new instance takes the slot. Rows stay across levels. A row once printed belongs to the game until
 *   RestartGame clears it; the host shows its own lines in the other rows.
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
/* The largest level, in cells. */
#define LVK_MAX_LEVEL_COLUMNS 256
#define LVK_MAX_LEVEL_ROWS 256
#define LVK_TILE_SIZE 8
/* Positions are in 1/LVK_SUBPIXELS pixel. */
#define LVK_SUBPIXELS 16
#define LVK_MAX_INSTANCES 128
/* Collision handlers an actor may have; later ones never fire. */
#define LVK_MAX_COLLISION_HANDLERS 32
#define LVK_MAX_GAME_VARIABLES 64
#define LVK_MAX_INSTANCE_VARIABLES 16
#define LVK_MAX_VARIABLES (LVK_MAX_GAME_VARIABLES + LVK_MAX_INSTANCE_VARIABLES)
/* The upper screen's text. */
#define LVK_TEXT_ROWS 24
#define LVK_TEXT_COLUMNS 32
/* Sounds one frame may ask to start; later ones that frame are dropped. */
#define LVK_MAX_FRAME_SOUNDS 8
/* No tile, no actor. */
#define LVK_NONE 0xFFFFu
/* OnCollision's other actor: every actor ticked solid. */
#define LVK_ANY_SOLID 0xFFFEu

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

/* Event kinds (lvk_handler_t.event, LVK_EVENT_...) and action kinds
 * (lvk_action_t.kind, LVK_ACTION_...): their numbers, values and ranges are
 * declared once, in the catalogue. */
#include "lvk_kinds.h"
/* The saved data's bytes, their room and the host's store. */
#include "lvk_save.h"

/* lvk_animation_t.mode */
enum { LVK_ANIMATION_LOOP = 0, LVK_ANIMATION_ONCE = 1, LVK_ANIMATION_BACK_AND_FORTH = 2 };

/* The largest sprite side, in pixels. */
#define LVK_MAX_SPRITE_SIZE 64

/* lvk_handler_t.flags */
#define LVK_HANDLER_PRESS 1u  /* OnKey: on pressing (else on releasing) */
#define LVK_HANDLER_REPEL 2u  /* OnCollision: repel (else overlap) */
#define LVK_HANDLER_REPEAT 4u /* OnTimer: again every frames frames */

/* lvk_actor_t.flags */
#define LVK_ACTOR_SOLID 1u /* a target of OnCollision with LVK_ANY_SOLID */

/* The comparison of IfVariable and IfCount (their n3): value op number. */
enum {
  LVK_COMPARE_EQUAL = 0,   /* = */
  LVK_COMPARE_UNEQUAL = 1, /* <> */
  LVK_COMPARE_LESS = 2,    /* < */
  LVK_COMPARE_AT_MOST = 3, /* <= */
  LVK_COMPARE_GREATER = 4, /* > */
  LVK_COMPARE_AT_LEAST = 5 /* >= */
};

/* lvk_variable_t.scope */
enum { LVK_SCOPE_GAME = 0, LVK_SCOPE_INSTANCE = 1 };

/* A number of an action is a literal or a variable's value: the pair
 * (n[i], var[i]) of lvk_action_t. var[i] is LVK_LITERAL for the literal n[i],
 * else LVK_VARIABLE(v) for the value of variable v (an index into
 * lvk_game_t.variables); n[i] is then not read. 0 is the literal so that a
 * zeroed entry means literals. */
#define LVK_LITERAL 0u
#define LVK_VARIABLE(index) ((uint16_t)((index) + 1u))

/* ---- The game description: read-only tables, owned by the host ---- */

typedef struct lvk_actor {
  uint16_t tile;          /* tile number drawn, or LVK_NONE */
  uint16_t first_handler; /* index into lvk_game_t.handlers */
  uint16_t handler_count; /* 0: scenery; else live */
  uint8_t flags;          /* LVK_ACTOR_... */
  /* The size in pixels, a DS sprite shape; 0 stands for 8 (tables written
   * before sizes). */
  uint8_t width;
  uint8_t height;
  uint16_t first_animation; /* index into lvk_game_t.animations */
  uint16_t animation_count;
} lvk_actor_t;

/* An animation's frames are frames first_frame .. + frame_count - 1 of
 * lvk_game_t.frames; each frame's tiles start at frames[f] in frame_tiles:
 * (width/8) x (height/8) tile numbers of its actor's size, row by row,
 * LVK_NONE for none. */
typedef struct lvk_animation {
  uint16_t first_frame;
  uint16_t frame_count;
  uint8_t length; /* DS frames each frame is shown */
  uint8_t mode;   /* LVK_ANIMATION_... */
} lvk_animation_t;

/* What each event kind reads:
 *   OnCreate, OnDestroy   nothing
 *   OnKey                 mask: the keys; flags: LVK_HANDLER_PRESS
 *   OnTouch               mask: the areas
 *   OnCollision           other: an actor or LVK_ANY_SOLID; flags: LVK_HANDLER_REPEL
 *   OnOutside             mask: the directions
 *   OnKeyHeld             mask: the keys
 *   OnTimer               frames (>= 1); flags: LVK_HANDLER_REPEAT */
typedef struct lvk_handler {
  uint8_t event;          /* LVK_EVENT_... */
  uint8_t flags;          /* LVK_HANDLER_... */
  uint16_t mask;          /* OnKey, OnKeyHeld: keys; OnTouch: areas; OnOutside: directions */
  uint16_t other;         /* OnCollision: the other actor's number, or LVK_ANY_SOLID */
  uint16_t first_action;  /* index into lvk_game_t.actions */
  uint16_t action_count;
  uint32_t frames;        /* OnTimer */
} lvk_handler_t;

/* What each action kind reads (n1 .. n6: its numbers n[0] .. n[5], each
 * the literal or a variable's value, see LVK_LITERAL; ref is an index,
 * 0-based):
 *   SetSpeedSize    n1, n2: sx, sy; relative
 *   SetSpeedDir     n1, n2: dx, dy; relative
 *   Destroy, NextLevel, RestartGame: nothing
 *   SetVariable     ref: the variable; n1: the value; relative
 *   ShowText        ref: the text; n1: the row
 *   Spawn           ref: the actor; n1, n2: dx, dy in pixels
 *   GoToLevel       n1: the level, from 1; 0 this level
 *   Bounce          n1: reverse x when not 0; n2: reverse y when not 0
 *   SetTile         ref: the tile, or LVK_NONE
 *   MoveToward      ref: the actor; n1: the speed size
 *   IfVariable      ref: the variable; n1: the number compared with;
 *                   n3: the comparison, LVK_COMPARE_... (a literal)
 *   IfCount         ref: the actor; n1: the number compared with; n3: the
 *                   comparison
 *   IfChance        n1: n, for one time in n
 *   IfKeyHeld       ref: the keys
 *   PlaySound       ref: the sound
 *   ClearText       n1: the row; n2: all the game's rows when not 0
 *   JumpTo          n1, n2: x, y in pixels; relative
 *   JumpToStart, Otherwise: nothing
 *   CameraFollow    ref: the actor, or LVK_NONE
 *   MoveCamera      n1, n2: the world pixel; n3: the speed, pixels a frame
 *                   (held to 0..LVK_MAX_SPEED)
 *   ShakeCamera     n1: frames; n2: strength in pixels
 *   SetAnimation    ref: the animation, among the actor's (LVK_NONE: none, which
 *                   changes nothing); n1: restart when not 0
 *   Mirror          n1: mirrored when not 0; n2: face the movement when not 0
 *   SaveGame        n1: the slot, 1..3; n2: with the level when not 0
 *   LoadGame, EraseSave, IfSaved: n1: the slot, 1..3
 *   EnterHighScore  n1: the row of the entry
 *   ShowHighScores  n1: the table's first row
 * Kinds this engine does not know do nothing. The editor writes 0 (a
 * literal) in the numbers a kind does not read. */
#define LVK_ACTION_NUMBERS 6
typedef struct lvk_action {
  uint8_t kind;     /* LVK_ACTION_... */
  uint8_t relative; /* 1: relative, 0: absolute */
  uint16_t ref;     /* the item named: an index, a key set or LVK_NONE */
  /* What each number is: LVK_LITERAL for the literal n[i], else
   * LVK_VARIABLE(v) for variable v's value (n[i] is then not read). Before
   * the literals, so the first numbers share the entry's first bytes. */
  uint16_t var[LVK_ACTION_NUMBERS];
  int32_t n[LVK_ACTION_NUMBERS];
} lvk_action_t;

typedef struct lvk_spawn {
  uint16_t actor;  /* a live actor's number */
  uint8_t column;  /* inside the level's width */
  uint8_t row;     /* inside the level's height */
} lvk_spawn_t;

typedef struct lvk_level {
  uint16_t first_spawn; /* index into lvk_game_t.spawns */
  uint16_t spawn_count; /* in cell order; beyond LVK_MAX_INSTANCES ignored */
  /* The level's size in cells, at most LVK_MAX_LEVEL_COLUMNS x
   * LVK_MAX_LEVEL_ROWS; 0 stands for 32 or 24 (tables written before levels
   * carried their size). */
  uint16_t width;
  uint16_t height;
  /* 0: no music; s: sound s - 1 loops while the level plays. */
  uint16_t music;
  /* The camera: 0 follows nothing, a: actor a - 1; the dead zone in pixels
   * (at most the screen); LVK_CAMERA_LOCK_... */
  uint16_t follow;
  uint16_t dead_width;
  uint16_t dead_height;
  uint8_t camera_flags;
  /* The DS colour (5 bits each of red, green, blue from bit 0 up) shown
   * behind the level's tiles and sprites, and beyond its edges. */
  uint16_t backdrop;
} lvk_level_t;

/* lvk_level_t.camera_flags: the axis the camera never follows along. */
#define LVK_CAMERA_LOCK_X 1u
#define LVK_CAMERA_LOCK_Y 2u

typedef struct lvk_variable {
  int32_t initial;
  uint8_t scope; /* LVK_SCOPE_... */
  uint8_t saved; /* 1: SaveGame keeps it (game variables only) */
  uint32_t key;  /* what a save names it by: lvk_save_key of its name */
} lvk_variable_t;

/* The game's saved data: its key and its high-score table. */
typedef struct lvk_saving {
  uint32_t game_key;       /* lvk_save_key of the game's title */
  uint16_t score_variable; /* the score: a game variable's index */
  uint8_t score_places;    /* 0: no table; at most LVK_SAVE_MAX_PLACES */
  uint8_t score_letters;   /* 1 .. LVK_SAVE_MAX_LETTERS */
  uint8_t score_higher;    /* 1: higher scores are better */
} lvk_saving_t;

/* A text: segment_count segments from first_segment, printed one after
 * another. */
typedef struct lvk_text {
  uint16_t first_segment; /* index into lvk_game_t.segments */
  uint16_t segment_count;
} lvk_text_t;

/* Literal characters (variable LVK_LITERAL: length bytes of
 * lvk_game_t.chars from first), or a variable's value in decimal
 * (LVK_VARIABLE(v); first and length not read). */
typedef struct lvk_segment {
  uint32_t first;
  uint16_t length;
  uint16_t variable;
} lvk_segment_t;

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
  /* Each level's width x height actor numbers, level by level, row by row:
   * the scenery actor placed in each cell, LVK_NONE for an empty cell or a
   * live actor's cell. scenery_count (below) says how many. */
  const uint16_t *scenery;
  /* Variables (game and instance ones in any order), the texts of ShowText
   * with their segments and characters, and the number of sounds the host
   * has (PlaySound and level music name them; the samples are the host's). */
  uint16_t variable_count;
  uint16_t text_count;
  uint16_t segment_count;
  uint16_t sound_count;
  uint32_t char_count;
  const lvk_variable_t *variables;
  const lvk_text_t *texts;
  const lvk_segment_t *segments;
  const char *chars;
  /* The entries of scenery: the sum of the levels' cells. 0 stands for
   * level_count * LVK_LEVEL_CELLS (tables of one-screen levels only). */
  uint32_t scenery_count;
  /* The actors' animations and their frames (see lvk_animation_t). */
  uint16_t animation_count;
  uint16_t frame_count;
  uint32_t frame_tile_count;
  const lvk_animation_t *animations;
  const uint32_t *frames;
  const uint16_t *frame_tiles;
  /* Saved data (zeros: a game key of 0 and no table). */
  lvk_saving_t saving;
} lvk_game_t;

/* A sound's samples: signed 8-bit mono at LVK_SOUND_RATE Hz, 4-byte
 * aligned, the length a multiple of 4 (the DS's sound channels count
 * words). The engine only names sounds by number (PlaySound, a level's
 * music); hosts play them. */
#define LVK_SOUND_RATE 16384
typedef struct lvk_sound {
  const int8_t *data;
  uint32_t length; /* samples */
} lvk_sound_t;

/* Defined by the generated lvk_gamedata.c in the DS program; lvk_sounds
 * holds lvk_game.sound_count sounds (one empty entry for none: C has no
 * empty arrays). */
extern const lvk_sound_t lvk_sounds[];
extern const lvk_game_t lvk_game;

/* 1 when every index in the tables lies inside its table (handler and action
 * ranges, collision targets, every reference of an action, a SetAnimation's
 * among its actor's animations, spawn actors and cells, scenery actors,
 * level sizes and music, variables, texts and their segments), every actor
 * is a DS sprite shape, the variables fit the engine and a high-score table
 * counts a game variable in 1 to 10 places of 1 to 8 letters, else 0.
 * lvk_engine_init refuses a game that fails it. */
int lvk_game_check(const lvk_game_t *game);

/* Writes game->tile_count into every cell of Map (the level's width x height
 * values, a copy of its map) where the level spawns an instance.
 * Does nothing for a game that fails lvk_game_check or a level it has not. */
void lvk_level_clear_live_cells(const lvk_game_t *game, int level, uint16_t *map);

/* The tiles an instance may be drawn with, for a host that prepares sprite
 * pictures: live actors' tiles in actor order, then the tiles of actors
 * Spawn names and those SetTile names, in action order; repeats and
 * LVK_NONE included (a host checks them against its tiles). Start with
 * *Cursor 0; each call gives the next tile number, or -1 after the last.
 * Reads only inside the tables' counts, so it needs no passing check. */
int lvk_game_sprite_tile(const lvk_game_t *game, uint32_t *cursor);

/* ---- The running game ---- */

typedef struct lvk_input {
  uint16_t keys;   /* held keys, LVK_KEY_... */
  int16_t touch_x; /* pen position in screen pixels (the engine adds */
  int16_t touch_y; /* the camera); read while LVK_KEY_TOUCH is held */
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

/* Read-only for hosts. A slot keeps its instance until the level ends or a
 * spawn reuses it; a destroyed instance stays in its slot with alive 0. */
typedef struct lvk_instance {
  int32_t x, y;         /* top left, in 1/16 pixel */
  int32_t old_x, old_y; /* before this frame's move */
  uint32_t touching;    /* bit k: overlapped with the actor's k-th collision handler's target */
  uint16_t actor;
  uint8_t sx, sy;
  int8_t dx, dy;
  uint8_t alive;
  uint8_t doomed;       /* Destroy asked for; removed at the end of the frame */
  uint8_t outside;      /* level edges the box reaches beyond, LVK_AREA_N/E/S/W */
  uint8_t polled;       /* its actor has key, key-held, touch or timer handlers */
  uint16_t tile;        /* drawn with; LVK_NONE: nothing */
  uint32_t age;         /* frames lived */
  uint8_t width, height; /* the box, in pixels */
  uint8_t mirror;       /* LVK_MIRROR_... */
  uint8_t turning;      /* back and forth: going back; once: ended */
  uint16_t animation;   /* among the actor's; LVK_NONE: none (drawn with the tile) */
  uint16_t step;        /* the animation's frame */
  uint16_t shown;       /* frames the current frame has been shown */
} lvk_instance_t;

/* lvk_instance_t.mirror */
#define LVK_MIRROR_ON 1u   /* drawn mirrored left to right */
#define LVK_MIRROR_FACE 2u /* mirrored while moving left */

/* A spawn asked for this frame. */
typedef struct lvk_pending_spawn {
  int32_t x, y;
  uint16_t actor;
} lvk_pending_spawn_t;

/* An instance's box for the collision phase, kept in actor order and
 * within an actor by x, so a test reads the few boxes near it in a row. */
typedef struct lvk_box {
  int16_t x, y; /* whole pixels */
  int16_t key;  /* x when the phase began: the order within the actor */
  uint16_t actor;
  uint8_t slot;
  uint8_t alive;
  uint8_t width, height;
} lvk_box_t;

/* What one collision phase knows of a target actor (or LVK_ANY_SOLID),
 * looked up once in a phase: where its instances are in
 * lvk_engine_t.boxes, and the world pixels (inclusive) that hold all its
 * scenery cells, so a box away from them looks at no cell. */
#define LVK_TARGET_RUNS 16
typedef struct lvk_target_run {
  uint16_t target; /* LVK_NONE: empty */
  uint8_t from;
  uint8_t count;
  uint8_t reach;   /* the target's width - 1: how far left of a box one of its boxes starts and still touches */
  uint8_t cells;   /* 1: scenery cells may hold it (it is no live actor and has cells in the level) */
  int16_t left, top, right, bottom;
} lvk_target_run_t;

/* Scenery actors whose cells lvk_engine_t keeps a bounding rectangle of;
 * the others' cells are looked for wherever a box is. */
#define LVK_RECT_ACTORS 64

/* What only actions read of each slot: the instances' own variables
 * (LVK_MAX_INSTANCE_VARIABLES values per slot) and where each instance was
 * placed or spawned (JumpToStart). Kept apart from lvk_engine_t (9 KiB): the
 * DS program keeps the engine in its small fast memory and these in main
 * memory. */
typedef struct lvk_instance_values {
  int32_t values[LVK_MAX_INSTANCES][LVK_MAX_INSTANCE_VARIABLES];
  int32_t start_x[LVK_MAX_INSTANCES], start_y[LVK_MAX_INSTANCES]; /* in 1/16 pixel */
} lvk_instance_values_t;

typedef struct lvk_engine {
  const lvk_game_t *game; /* 0 after init with a game that fails the check */
  int level;              /* -1 when there is none */
  int next_level;         /* asked for this frame, -1 none */
  uint32_t frame;         /* frames stepped since init */
  uint16_t keys;          /* held in the last frame */
  uint8_t level_changed;
  uint8_t viewer;
  uint8_t restart;        /* RestartGame asked for this frame */
  uint8_t jumped;         /* a JumpTo or JumpToStart ran since the collision phase last looked */
  /* The level (lvk_engine.c starts it). */
  int16_t level_columns, level_rows; /* the level's size in cells */
  int16_t scenery_stride; /* cells a scenery row holds: the width, or 32 in tables without a scenery count */
  const uint16_t *level_scenery; /* the level's part of lvk_game_t.scenery */
  /* Collisions (lvk_engine_collide.c). Per actor below LVK_RECT_ACTORS,
   * and last for any solid one: the columns and rows c0, r0, c1, r1 that
   * hold all its scenery cells in this level (c0 > c1: none), so a box far
   * from them looks at none. */
  uint8_t cell_rects[LVK_RECT_ACTORS + 1][4];
  uint8_t any_solid;      /* some handler collides with LVK_ANY_SOLID */
  int instance_count;     /* slots in use */
  int live_count;
  lvk_trace_fn trace;     /* 0: no trace */
  void *trace_context;
  uint32_t random;        /* the random numbers' state */
  /* The instances (lvk_engine_instances.c) and, while collisions are
   * tested, their boxes (lvk_engine_collide.c). */
  lvk_instance_t instances[LVK_MAX_INSTANCES];
  uint8_t by_actor[LVK_MAX_INSTANCES]; /* the slots in actor order (by x within one), for look-ups */
  lvk_box_t boxes[LVK_MAX_INSTANCES];  /* while collisions are tested: by_actor's boxes */
  uint8_t box_of[LVK_MAX_INSTANCES];   /* slot -> its place in boxes */
  uint8_t solid_boxes[LVK_MAX_INSTANCES]; /* places in boxes of solid actors' instances */
  int solid_count;
  int16_t slack;         /* how far a repel has moved a box from its key this phase, at most */
  lvk_target_run_t runs[LVK_TARGET_RUNS];
  /* Variables (lvk_engine_variables.c): the game variables' values, and
   * where each variable's value is (its place among the variables of its
   * scope). */
  int32_t game_values[LVK_MAX_GAME_VARIABLES];
  uint8_t variable_place[LVK_MAX_VARIABLES];
  lvk_instance_values_t *instance_values; /* 0: none given */
  lvk_pending_spawn_t pending[LVK_MAX_INSTANCES];
  int pending_count;
  /* The upper screen's text rows (lvk_engine_text.c). */
  char rows[LVK_TEXT_ROWS][LVK_TEXT_COLUMNS + 1];
  uint16_t row_text[LVK_TEXT_ROWS];          /* 1 + the text a row follows, 0 none */
  uint8_t row_owner[LVK_TEXT_ROWS];          /* the slot whose instance variables it shows */
  uint16_t row_instance_vars[LVK_TEXT_ROWS]; /* places of the instance variables it shows */
  uint32_t row_game_vars[LVK_TEXT_ROWS][2];  /* places of the game variables it shows */
  uint32_t shown_game_vars[2];               /* all rows' game variables */
  uint32_t owned_rows;   /* rows that show some instance's variables (bit r: row r) */
  uint32_t rows_used;    /* printed by the game (bit r: row r) */
  uint32_t rows_stale;   /* to print again at the end of the frame */
  uint32_t rows_changed; /* changed since the host last took them */
  /* Sounds asked for in the last step, and the level's music
   * (lvk_engine_sound.c). */
  uint16_t sounds[LVK_MAX_FRAME_SOUNDS];
  uint8_t sound_count;
  uint16_t music;        /* LVK_NONE: none */
  /* The camera (world pixels at the screen's top-left), as lvk_engine.h's
   * rules tell (lvk_engine_camera.c). */
  int32_t camera_x, camera_y;
  int32_t camera_goal_x, camera_goal_y; /* MoveCamera's */
  uint16_t camera_follow;                /* the actor followed, LVK_NONE: none */
  uint16_t camera_speed;                 /* MoveCamera's; 0 none asked for */
  uint8_t camera_moving;
  uint8_t camera_locks;                  /* LVK_CAMERA_LOCK_... */
  uint16_t dead_width, dead_height;
  uint32_t shake_frames;
  uint8_t shake_strength;
  /* Saved data (lvk_engine_save.c): the host's store and the room to read
   * it into, the last read's outcome, the initials being entered. */
  lvk_store_t store;
  lvk_save_room_t *save_room; /* 0: no store */
  uint8_t save_status;        /* LVK_SAVE_... */
  uint8_t entering;           /* initials are being entered: the game waits */
  uint8_t entry_row;
  int8_t score_row;           /* where ShowHighScores last showed the table, -1 nowhere */
  int32_t entry_score;
  lvk_initials_t entry;
} lvk_engine_t;

/* Binds Engine to Game, which must outlive it; game variables take their
 * initial values, the text rows are empty. No level runs yet: set the
 * trace and the instance values, if any, then start a level. A game with
 * instance variables or a JumpToStart needs the instance values' room:
 * without it lvk_engine_start_level refuses it (no level runs). */
void lvk_engine_init(lvk_engine_t *engine, const lvk_game_t *game);

/* The room for the instances' own variables, which must outlive the engine
 * (0: none). A host that keeps both together may pass its own member. */
void lvk_engine_set_instance_values(lvk_engine_t *engine, lvk_instance_values_t *values);

/* The store SaveGame, LoadGame and the high-score table use, and the room
 * (which must outlive the engine) the engine reads it into. Without one
 * (the default) saving does nothing. Keep the store across a new
 * lvk_engine_init: it is set back to none there. */
void lvk_engine_set_store(lvk_engine_t *engine, const lvk_store_t *store, lvk_save_room_t *room);

/* What the last read of the store found: LVK_SAVE_EMPTY, LVK_SAVE_OK,
 * LVK_SAVE_WRONG_SIZE, LVK_SAVE_DAMAGED or LVK_SAVE_OTHER_GAME (each of the
 * last three counted as no save), LVK_SAVE_NO_STORE, or LVK_SAVE_NOT_WRITTEN
 * when the host failed to write it. A host tells the player of the bad
 * ones (lvk_host_save_note). */
int lvk_engine_save_status(const lvk_engine_t *engine);

/* 1 while initials are being entered (the game waits). */
int lvk_engine_entering(const lvk_engine_t *engine);

/* Optional: Trace is called with every handler that fires. Compiled out
 * when LVK_ENGINE_NO_TRACE is defined. */
void lvk_engine_set_trace(lvk_engine_t *engine, lvk_trace_fn trace, void *context);

/* Starts level Level (taken modulo the level count): spawns its instances
 * and runs their OnCreate handlers in cell order; sets the level-changed
 * flag and the music. lvk_engine_sounds then gives this start's sounds
 * only, not those of the step before. Does nothing in a game without
 * levels. */
void lvk_engine_start_level(lvk_engine_t *engine, int level);

/* One frame (1/60 s) with the keys held now. */
void lvk_engine_step(lvk_engine_t *engine, const lvk_input_t *input);

/* The phases of a step, as the meter of the DS program built with
 * LVK_METER counts them: that host defines lvk_meter_phase, which the step
 * calls as each phase ends. */
enum {
  LVK_PHASE_START,     /* the level keys, the shake's count, the ages */
  LVK_PHASE_ANIMATION, /* animations, OnAnimationEnd */
  LVK_PHASE_INPUT,     /* OnKey, OnKeyHeld, OnTouch, OnTimer */
  LVK_PHASE_MOVE,
  LVK_PHASE_COLLISION,
  LVK_PHASE_OUTSIDE,   /* OnOutside and destroys */
  LVK_PHASE_END,       /* the level change or the spawns and the camera, the text rows */
  LVK_PHASE_COUNT
};
#ifdef LVK_METER
void lvk_meter_phase(int phase);
#endif

/* Queries. */
int lvk_engine_level(const lvk_engine_t *engine);         /* -1 when none */
int lvk_engine_level_changed(const lvk_engine_t *engine); /* in the last step or start; the host redraws */
uint32_t lvk_engine_frame(const lvk_engine_t *engine);
int lvk_engine_instance_count(const lvk_engine_t *engine); /* slots, alive or not */
int lvk_engine_live_count(const lvk_engine_t *engine);
/* A variable's value (an index into lvk_game_t.variables); an instance
 * variable's in Slot. 0 for an index or slot out of range. */
int32_t lvk_engine_variable(const lvk_engine_t *engine, int variable, int slot);

/* What the host draws for one slot: the frame (of lvk_game_t.frames) in
 * the box's size when there is one, else the tile as an 8x8 sprite at the
 * top left. */
typedef struct lvk_sprite {
  uint16_t actor;
  uint16_t tile; /* LVK_NONE: draw nothing */
  int16_t x, y;  /* top left, whole world pixels (rounded down) */
  uint8_t alive;
  uint8_t visible;         /* its box touches the screen as shown now */
  int16_t screen_x, screen_y; /* top left on the screen: world minus the shown camera */
  uint8_t mirrored; /* 1: mirror left to right */
  uint8_t width, height;
  uint16_t frame; /* LVK_NONE: the tile */
} lvk_sprite_t;

/* The world pixel shown at the screen's top-left corner, shake included:
 * the background's scroll for this frame, and what lvk_engine_sprite takes
 * off the sprites. 0, 0 when no level runs. */
void lvk_engine_camera(const lvk_engine_t *engine, int32_t *x, int32_t *y);

/* 0 for a slot outside 0..instance count - 1, else 1 with *Sprite filled. */
int lvk_engine_sprite(const lvk_engine_t *engine, int slot, lvk_sprite_t *sprite);

/* The upper screen. Row Row's LVK_TEXT_COLUMNS characters and a NUL, spaces
 * where nothing is printed (0 for a row outside 0..23). */
const char *lvk_engine_text_row(const lvk_engine_t *engine, int row);
/* The rows the game has printed (bit r: row r); the host's own lines go in
 * the others. */
uint32_t lvk_engine_text_rows(const lvk_engine_t *engine);
/* The rows whose characters or owner changed since the last call (bit r:
 * row r); clears them. A host that redraws them after each step it shows
 * keeps its screen up to date. */
uint32_t lvk_engine_take_changed_rows(lvk_engine_t *engine);

/* The sounds asked to start in the last step (or level start), in the order
 * asked, at most LVK_MAX_FRAME_SOUNDS: *Sounds points at their numbers. */
int lvk_engine_sounds(const lvk_engine_t *engine, const uint16_t **sounds);
/* The sound the current level loops, or -1 for none; read it when the level
 * changed. */
int lvk_engine_music(const lvk_engine_t *engine);

#ifdef __cplusplus
}
#endif

#endif
