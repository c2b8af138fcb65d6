/* The catalogue of event and action kinds: every kind is declared here once,
 * with its engine number, its stored name, its class in the editor, its text
 * and its values. The engine takes its kind numbers, value ranges and the
 * checks of its tables from these lists; the editor expands them into its
 * registry (with the icon "Bmp" + name + "16x16" and the help page
 * "event-" or "action-" + the name in lower case), its value editors and
 * checks; the build reads the kind lines for the embedded icons and the help
 * index. Adding a kind: its lines here, its rule in the engine, its help
 * page, its icon.
 *
 * Numbers are stored in generated tables and never change; new kinds take
 * new numbers, at the end. Names are stored in project files: never rename
 * one, never reorder the values of a kind (the file holds them in this
 * order).
 *
 * The lists are X-macros: a user defines the macros it passes in and expands
 * the list. Each kind line stays on one line and starts with EVENT( or
 * ACTION( (the build's scripts read them):
 *   EVENT(ID, number, Name, class, sort order, "text")
 *   ACTION(ID, number, Name, class, shape, "text", "summary")
 * followed by the kind's values, in stored order:
 *   VALUE(type, slot, min, max, "default", "label", "hint")
 * ID names the kind in C (LVK_EVENT_ID, LVK_ACTION_ID). An action's shape
 * says how the editor makes its class: Rule and Guard (a guard, listed with
 * the guards) get a class made from the values; Speed, Plain and Own have a
 * class of their own in behaviour/ (Own for a summary the values do not
 * give). The summary is a pattern, %1 .. %6 the values as shown; empty: the
 * call "Name(v1, v2, ...)".
 *
 * A value: its type (LVK_VALUE_...), where its entry holds it
 * (LVK_SLOT_...), its range, its default as the editor stores it, its label
 * (& before the key letter) and its hint, where %r stands for the range.
 * A number's range is what the rule uses ("min to max"; 0, 0: any whole
 * number); a number outside it is held to it or does nothing, as the rule
 * says. An item's range is 0, 0 for one of the game's items, or 0,
 * LVK_OR_NONE when the entry may also hold LVK_NONE; a comparison's is the
 * comparisons.
 *
 * An action's entry holds up to six numbers (N1 .. N6, each a literal or a
 * variable's value), one reference (REF: the item it names, a key set) and
 * the relative flag. Numbers, flags and comparisons go in numbers, an item
 * in the reference: a kind has at most one item. The older kinds keep the
 * places they always had (their first two numbers in N1 and N2, a
 * comparison or MoveCamera's speed in N3); a new kind takes N1 upwards. */
#ifndef LVK_KINDS_H
#define LVK_KINDS_H

/* The value types, in the editor's order (TValueType). */
enum {
  LVK_VALUE_NUMBER = 0,   /* a whole number or a variable's value */
  LVK_VALUE_FLAG = 1,     /* 0 or 1 */
  LVK_VALUE_VARIABLE = 2, /* a variable's index */
  LVK_VALUE_ACTOR = 3,    /* an actor's number (none: the handler's own) */
  LVK_VALUE_TILE = 4,     /* a tile's number */
  LVK_VALUE_KEYS = 5,     /* a set of keys, LVK_KEY_... */
  LVK_VALUE_TEXT = 6,     /* a text's index */
  LVK_VALUE_COMPARE = 7,  /* LVK_COMPARE_... */
  LVK_VALUE_SOUND = 8,    /* a sound's number */
  LVK_VALUE_ANIMATION = 9, /* among the handler's actor's animations */
  LVK_VALUE_AREAS = 10    /* OnTouch's areas, OnOutside's directions: LVK_AREA_... */
};

/* Where an entry holds a value: lvk_action_t's numbers (N1 is n[0]), its
 * reference and its relative flag, then lvk_handler_t's fields (a flag of a
 * handler is one bit of its flags). */
enum {
  LVK_SLOT_N1 = 0,
  LVK_SLOT_N2 = 1,
  LVK_SLOT_N3 = 2,
  LVK_SLOT_N4 = 3,
  LVK_SLOT_N5 = 4,
  LVK_SLOT_N6 = 5,
  LVK_SLOT_REF = 6,
  LVK_SLOT_RELATIVE = 7,
  LVK_SLOT_MASK = 8,
  LVK_SLOT_OTHER = 9,
  LVK_SLOT_FRAMES = 10,
  LVK_SLOT_PRESS = 11, /* LVK_HANDLER_PRESS */
  LVK_SLOT_REPEL = 12, /* LVK_HANDLER_REPEL */
  LVK_SLOT_REPEAT = 13 /* LVK_HANDLER_REPEAT */
};

/* An item's range: also LVK_NONE. */
#define LVK_OR_NONE 1
/* OnCollision's other actor may also be any solid actor (LVK_ANY_SOLID). */
#define LVK_OR_ANY_SOLID 2

/* The ranges the rules use. */
#define LVK_MAX_SPEED 255  /* a speed size, 1/16 pixel a frame */
#define LVK_MAX_SHAKE 16   /* ShakeCamera's strongest shake, in pixels */
#define LVK_MAX_JUMP 32000 /* JumpTo's and Spawn's pixels */
#define LVK_MAX_TIMER 1000000 /* OnTimer's frames: over four and a half hours */
#define LVK_LAST_ROW (LVK_TEXT_ROWS - 1) /* the upper screen's last text row */
#define LVK_SAVE_SLOTS 3   /* SaveGame's slots */

#define LVK_EVENT_CATALOGUE(EVENT, VALUE) \
  EVENT(CREATE, 0, OnCreate, TEventCreate, 100, "Fires when an actor is created (at the start of a level, or with an action)") \
  EVENT(DESTROY, 1, OnDestroy, TEventDestroy, 200, "Fires when an actor is destroyed (due to a destroy action)") \
  EVENT(KEY, 2, OnKey, TEventKey, 300, "Fires when one or more keys is pressed (or released)") \
    VALUE(FLAG, PRESS, 0, 1, "0", "Press", "Fires on pressing the keys, else on releasing them") \
    VALUE(KEYS, MASK, 0, 0, "1", "Keys", "The keys, all of them") \
  EVENT(TOUCH, 3, OnTouch, TEventTouch, 400, "Fires when the screen is touched with the pen") \
    VALUE(AREAS, MASK, 0, 0, "256", "Areas", "Where around the actor's box the pen touches") \
  EVENT(COLLISION, 4, OnCollision, TEventCollision, 500, "Fires when an actor collides with another actor") \
    VALUE(FLAG, REPEL, 0, 1, "1", "Overlap", "Overlaps the other actor, else is repelled by it") \
    VALUE(ACTOR, OTHER, 0, LVK_OR_ANY_SOLID, "", "Actor", "The other actor (none: this one), or any solid actor") \
  EVENT(OUTSIDE, 5, OnOutside, TEventOutside, 600, "Fires when the actor moves outside the screen in one of the selected directions") \
    VALUE(AREAS, MASK, 0, 0, "255", "Directions", "The edges of the level its box reaches beyond") \
  EVENT(KEY_HELD, 6, OnKeyHeld, TEventKeyHeld, 650, "Fires on every frame in which all its keys are held") \
    VALUE(KEYS, MASK, 0, 0, "1", "Keys", "The keys, all of them") \
  EVENT(TIMER, 7, OnTimer, TEventTimer, 700, "Fires when an actor has lived so many frames (60 a second), and again every as many with repeat") \
    VALUE(NUMBER, FRAMES, 1, LVK_MAX_TIMER, "60", "Frames", "The instance's age when it fires, %r frames") \
    VALUE(FLAG, REPEAT, 0, 1, "0", "Repeat", "Fires again every as many frames") \
  EVENT(ANIMATION_END, 8, OnAnimationEnd, TEventAnimationEnd, 700, "Fires when an animation that runs once has played to its end")

#define LVK_ACTION_CATALOGUE(ACTION, VALUE) \
  ACTION(SET_SPEED_SIZE, 0, SetSpeedSize, TActionSetSpeedSize, Speed, "Set the speed size (not the direction) for an actor", "") \
    VALUE(NUMBER, N1, 0, LVK_MAX_SPEED, "", "Speed &x", "Horizontal speed in 1/16 pixel a frame, a whole number %r (empty is 0)") \
    VALUE(NUMBER, N2, 0, LVK_MAX_SPEED, "", "Speed &y", "Vertical speed in 1/16 pixel a frame, a whole number %r (empty is 0)") \
    VALUE(FLAG, RELATIVE, 0, 1, "0", "Relati&ve", "Add to the current values instead of setting them") \
  ACTION(SET_SPEED_DIR, 1, SetSpeedDir, TActionSetSpeedDir, Speed, "Set the direction in which to move for actor (SetSpeedSize first to non-zero)", "") \
    VALUE(NUMBER, N1, 0, 0, "", "Direction &x", "Horizontal direction by its sign: -1 left, 0 none, 1 right (empty is 0)") \
    VALUE(NUMBER, N2, 0, 0, "", "Direction &y", "Vertical direction by its sign: -1 up, 0 none, 1 down (empty is 0)") \
    VALUE(FLAG, RELATIVE, 0, 1, "0", "Relati&ve", "Add to the current values instead of setting them") \
  ACTION(DESTROY, 2, Destroy, TActionDestroy, Plain, "Destroy this actor; its OnDestroy handlers run first", "") \
  ACTION(NEXT_LEVEL, 3, NextLevel, TActionNextLevel, Plain, "Go to the next level; after the last, the first", "") \
  ACTION(SET_VARIABLE, 4, SetVariable, TActionSetVariable, Rule, "Set a variable, or add to it", "") \
    VALUE(VARIABLE, REF, 0, 0, "", "&Variable", "The variable to set") \
    VALUE(NUMBER, N1, 0, 0, "", "Val&ue", "A whole number or a variable's name; added to the variable when relative") \
    VALUE(FLAG, RELATIVE, 0, 1, "0", "Rela&tive", "Add the value to the variable instead of setting it") \
  ACTION(SHOW_TEXT, 5, ShowText, TActionShowText, Rule, "Show a line of text on the upper screen", "") \
    VALUE(NUMBER, N1, 0, LVK_LAST_ROW, "", "Ro&w", "The row of the upper screen, %r (0 is the top)") \
    VALUE(TEXT, REF, 0, 0, "", "&Text", "What the row shows; {name} shows a variable's value and follows it") \
  ACTION(SPAWN, 6, Spawn, TActionSpawn, Rule, "Make a new instance of an actor beside this one", "") \
    VALUE(ACTOR, REF, 0, 0, "", "Ac&tor", "The actor of the new instance (none: this one's)") \
    VALUE(NUMBER, N1, -LVK_MAX_JUMP, LVK_MAX_JUMP, "", "D&x", "Pixels to the right of this instance (negative: to the left), %r") \
    VALUE(NUMBER, N2, -LVK_MAX_JUMP, LVK_MAX_JUMP, "", "D&y", "Pixels below this instance (negative: above), %r") \
  ACTION(GO_TO_LEVEL, 7, GoToLevel, TActionGoToLevel, Rule, "Go to a level, or start this one again", "") \
    VALUE(NUMBER, N1, 0, 0, "1", "Le&vel", "The level's number, from 1; 0 starts this level again") \
  ACTION(RESTART_GAME, 8, RestartGame, TActionRestartGame, Rule, "Start the game again: game variables back, the first level", "") \
  ACTION(BOUNCE, 9, Bounce, TActionBounce, Rule, "Turn round, left and right or up and down", "") \
    VALUE(FLAG, N1, 0, 1, "1", "&X", "Turn round left and right") \
    VALUE(FLAG, N2, 0, 1, "1", "&Y", "Turn round up and down") \
  ACTION(SET_TILE, 10, SetTile, TActionSetTile, Rule, "Draw this instance with another tile", "") \
    VALUE(TILE, REF, 0, LVK_OR_NONE, "", "&Tile", "The tile this instance is drawn with from now on") \
  ACTION(MOVE_TOWARD, 11, MoveToward, TActionMoveToward, Rule, "Head for the nearest instance of an actor", "") \
    VALUE(ACTOR, REF, 0, 0, "", "Ac&tor", "Head for the nearest instance of this actor") \
    VALUE(NUMBER, N1, 0, LVK_MAX_SPEED, "16", "&Speed", "The speed size, in 1/16 pixel a frame, %r") \
  ACTION(IF_VARIABLE, 12, IfVariable, TActionIfVariable, Guard, "Run the rest of the handler only when a variable compares so", "If %1 %2 %3") \
    VALUE(VARIABLE, REF, 0, 0, "", "&Variable", "The variable looked at") \
    VALUE(COMPARE, N3, 0, LVK_COMPARE_AT_LEAST, "=", "Compari&son", "How the variable compares with the value") \
    VALUE(NUMBER, N1, 0, 0, "", "Val&ue", "A whole number or a variable's name") \
  ACTION(IF_COUNT, 13, IfCount, TActionIfCount, Guard, "Run the rest of the handler only when so many instances of an actor live", "If count of %1 %2 %3") \
    VALUE(ACTOR, REF, 0, 0, "", "Ac&tor", "The actor whose live instances are counted") \
    VALUE(COMPARE, N3, 0, LVK_COMPARE_AT_LEAST, "=", "Compari&son", "How the count compares with the value") \
    VALUE(NUMBER, N1, 0, 0, "", "Val&ue", "A whole number or a variable's name") \
  ACTION(IF_CHANCE, 14, IfChance, TActionIfChance, Guard, "Run the rest of the handler only one time in n, by chance", "If chance 1 in %1") \
    VALUE(NUMBER, N1, 0, 0, "2", "One time &in", "The rest runs one time in this many, by chance") \
  ACTION(IF_KEY_HELD, 15, IfKeyHeld, TActionIfKeyHeld, Guard, "Run the rest of the handler only while keys are held", "If held %1") \
    VALUE(KEYS, REF, 0, 0, "1", "&Keys", "The rest runs while all these keys are held") \
  ACTION(PLAY_SOUND, 16, PlaySound, TActionPlaySound, Rule, "Play a sound of the game", "") \
    VALUE(SOUND, REF, 0, 0, "", "&Sound", "The sound to play; several play at once") \
  ACTION(CLEAR_TEXT, 17, ClearText, TActionClearText, Own, "Clear a row of the upper screen, or all of the game's rows", "") \
    VALUE(NUMBER, N1, 0, LVK_LAST_ROW, "", "Ro&w", "The row of the upper screen to clear, %r (0 is the top)") \
    VALUE(FLAG, N2, 0, 1, "0", "All row&s", "Clear every row the game has printed, whatever the row") \
  ACTION(JUMP_TO, 18, JumpTo, TActionJumpTo, Rule, "Put this instance at a place, or move it by some pixels at once", "") \
    VALUE(NUMBER, N1, -LVK_MAX_JUMP, LVK_MAX_JUMP, "", "&X", "Pixels from the level's left edge (relative: to the right of here), %r") \
    VALUE(NUMBER, N2, -LVK_MAX_JUMP, LVK_MAX_JUMP, "", "&Y", "Pixels from the level's top edge (relative: below here), %r") \
    VALUE(FLAG, RELATIVE, 0, 1, "0", "Rela&tive", "Move by x and y pixels from where this instance is") \
  ACTION(JUMP_TO_START, 19, JumpToStart, TActionJumpToStart, Rule, "Put this instance back where it was placed or spawned", "") \
  ACTION(OTHERWISE, 20, Otherwise, TActionOtherwise, Guard, "Run the rest of the handler only when the guard before failed", "Otherwise") \
  ACTION(CAMERA_FOLLOW, 21, CameraFollow, TActionCameraFollow, Rule, "Make the camera follow an actor", "") \
    VALUE(ACTOR, REF, 0, LVK_OR_NONE, "", "Ac&tor", "The actor the camera follows from now on (none: this one's)") \
  ACTION(MOVE_CAMERA, 22, MoveCamera, TActionMoveCamera, Rule, "Glide the camera to a place of the level", "") \
    VALUE(NUMBER, N1, 0, 0, "", "&X", "The level pixel the screen's left edge moves to") \
    VALUE(NUMBER, N2, 0, 0, "", "&Y", "The level pixel the screen's top edge moves to") \
    VALUE(NUMBER, N3, 0, LVK_MAX_SPEED, "4", "&Speed", "Pixels a frame, a whole number %r (0: at once)") \
  ACTION(SHAKE_CAMERA, 23, ShakeCamera, TActionShakeCamera, Rule, "Shake the lower screen's picture for a while", "") \
    VALUE(NUMBER, N1, 0, 0, "30", "&Duration", "How long the picture shakes, in frames (60 a second)") \
    VALUE(NUMBER, N2, 0, LVK_MAX_SHAKE, "4", "&Strength", "How far it shakes, %r pixels (0: not at all)") \
  ACTION(SET_ANIMATION, 24, SetAnimation, TActionSetAnimation, Rule, "Play another of this actor's animations", "") \
    VALUE(ANIMATION, REF, 0, 0, "", "Anima&tion", "One of this actor's animations") \
    VALUE(FLAG, N1, 0, 1, "0", "Re&start", "Start it from its first frame even when it is already playing") \
  ACTION(MIRROR, 25, Mirror, TActionMirror, Own, "Draw this instance mirrored, or facing the way it moves", "") \
    VALUE(FLAG, N1, 0, 1, "1", "M&irrored", "Draw the instance mirrored left to right") \
    VALUE(FLAG, N2, 0, 1, "0", "Face mo&vement", "Mirrored while moving left, not while moving right") \
  ACTION(SAVE_GAME, 26, SaveGame, TActionSaveGame, Rule, "Save the saved variables, and the level if asked, in a slot", "") \
    VALUE(NUMBER, N1, 1, LVK_SAVE_SLOTS, "1", "&Slot", "The save slot, %r") \
    VALUE(FLAG, N2, 0, 1, "0", "With the le&vel", "Save the level reached too: LoadGame goes back there") \
  ACTION(LOAD_GAME, 27, LoadGame, TActionLoadGame, Rule, "Load the saved variables, and the level if saved, from a slot", "") \
    VALUE(NUMBER, N1, 1, LVK_SAVE_SLOTS, "1", "&Slot", "The save slot, %r; one never saved changes nothing") \
  ACTION(ERASE_SAVE, 28, EraseSave, TActionEraseSave, Rule, "Erase the game saved in a slot", "") \
    VALUE(NUMBER, N1, 1, LVK_SAVE_SLOTS, "1", "&Slot", "The save slot, %r") \
  ACTION(IF_SAVED, 29, IfSaved, TActionIfSaved, Guard, "Run the rest of the handler only when a slot holds a saved game", "If saved in slot %1") \
    VALUE(NUMBER, N1, 1, LVK_SAVE_SLOTS, "1", "&Slot", "The save slot, %r") \
  ACTION(ENTER_HIGH_SCORE, 30, EnterHighScore, TActionEnterHighScore, Rule, "When the score earns a place in the high-score table, ask for initials and keep it", "") \
    VALUE(NUMBER, N1, 0, LVK_LAST_ROW, "13", "Ro&w", "The row of the upper screen that asks for the initials, %r") \
  ACTION(SHOW_HIGH_SCORES, 31, ShowHighScores, TActionShowHighScores, Rule, "Show the high-score table on the upper screen", "") \
    VALUE(NUMBER, N1, 0, LVK_LAST_ROW, "15", "Ro&w", "The table's first row, %r; a row a place")

/* The kinds' numbers, LVK_EVENT_KINDS and LVK_ACTION_KINDS: one more than
 * the highest (the numbers are dense). */
#define LVK_KIND_NUMBER_EVENT(id, number, ...) LVK_EVENT_##id = number,
#define LVK_KIND_NUMBER_ACTION(id, number, ...) LVK_ACTION_##id = number,
#define LVK_KIND_COUNT(...) +1
#define LVK_KIND_SKIP(...)
enum { LVK_EVENT_CATALOGUE(LVK_KIND_NUMBER_EVENT, LVK_KIND_SKIP) LVK_EVENT_KINDS = 0 LVK_EVENT_CATALOGUE(LVK_KIND_COUNT, LVK_KIND_SKIP) };
enum { LVK_ACTION_CATALOGUE(LVK_KIND_NUMBER_ACTION, LVK_KIND_SKIP) LVK_ACTION_KINDS = 0 LVK_ACTION_CATALOGUE(LVK_KIND_COUNT, LVK_KIND_SKIP) };
#undef LVK_KIND_NUMBER_EVENT
#undef LVK_KIND_NUMBER_ACTION

#endif
