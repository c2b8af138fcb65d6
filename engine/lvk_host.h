/* What the two hosts of the engine share, so that a game looks the same on
 * the DS (ds/.../main.c) and in the editor's play window (ui/play/FPlay.cpp):
 * the DS's keys and the play window's keyboard keys for them, the layout
 * of the upper screen, and the texts the hosts print there. Header only
 * (static tables and functions), C99, the C library only.
 *
 * The upper screen: 32 columns by 24 rows of text, a console.
 * - Rows the game has printed (ShowText; lvk_engine_text_rows) show the
 *   game's text. A row belongs to the game from its first ShowText until
 *   RestartGame gives it back, whatever the host would print there.
 * - The other rows are the host's: the start text the generated lvk_main
 *   prints at the top (the welcome line and the title), the status line
 *   (LVK_HOST_ROW_STATUS: the level, or that there are none; a damaged
 *   game's two lines start there), the keys line (LVK_HOST_ROW_KEYS) and,
 *   in the DS program built with its meter, the meter (LVK_HOST_ROW_METER,
 *   which there wins over a game's row).
 * A host keeps a lvk_host_screen_t and, after every step it shows and
 * every level it starts, asks lvk_host_rows_to_print which rows to print;
 * when it says to repaint, the host clears the console and prints its
 * start text first. Each row is printed whole, as lvk_host_row gives it,
 * at the row's start: "\x1b[ROW;0H" and LVK_TEXT_COLUMNS characters.
 */
#ifndef LVK_HOST_H
#define LVK_HOST_H

#include <stdio.h>

#include "lvk_engine.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LVK_HOST_ROW_STATUS 20
#define LVK_HOST_ROW_KEYS 22
#define LVK_HOST_ROW_METER 23
#define LVK_HOST_ALL_ROWS ((1ul << LVK_TEXT_ROWS) - 1u)

#define LVK_HOST_TEXT_LEVEL "Level %d of %d"
#define LVK_HOST_TEXT_NO_LEVELS "This game has no levels."
#define LVK_HOST_TEXT_DAMAGED "This game's data is damaged;"
#define LVK_HOST_TEXT_DAMAGED_2 "build it again."
#define LVK_HOST_TEXT_VIEWER_KEYS "A/Right: next  B/Left: back"
#define LVK_HOST_TEXT_PLAY_KEYS "Start+Select: next level"

/* What a host tells the player of its store (lvk_engine_save_status), on a
 * text row once (the DS) or beside the game (the play window, the page). */
#define LVK_HOST_TEXT_SAVE_WRONG_SIZE "Saved data of a wrong size: new"
#define LVK_HOST_TEXT_SAVE_DAMAGED "Saved data damaged: starting new"
#define LVK_HOST_TEXT_SAVE_OTHER_GAME "Saved data is another game's"
#define LVK_HOST_TEXT_SAVE_NO_STORE "No place to save: playing on"
#define LVK_HOST_TEXT_SAVE_NOT_WRITTEN "The game could not be saved"

/* The text for Status, or 0 when there is nothing to tell. */
static inline const char *lvk_host_save_note(int status)
{
  switch (status) {
  case LVK_SAVE_WRONG_SIZE: return LVK_HOST_TEXT_SAVE_WRONG_SIZE;
  case LVK_SAVE_DAMAGED: return LVK_HOST_TEXT_SAVE_DAMAGED;
  case LVK_SAVE_OTHER_GAME: return LVK_HOST_TEXT_SAVE_OTHER_GAME;
  case LVK_SAVE_NO_STORE: return LVK_HOST_TEXT_SAVE_NO_STORE;
  case LVK_SAVE_NOT_WRITTEN: return LVK_HOST_TEXT_SAVE_NOT_WRITTEN;
  default: return 0;
  }
}

/* The DS's keys as the engine gets them, and the play window's keyboard
 * keys for them: one entry per keyboard key (Qt's name of it), in the order
 * the play window lists them; entries of one DS key follow each other. The
 * pen (LVK_KEY_TOUCH) is the touch screen's, and the mouse's in the play
 * window. */
typedef struct lvk_host_key {
  uint16_t bit;        /* LVK_KEY_... */
  const char *name;    /* the DS's name of the key */
  const char *keyboard;
} lvk_host_key_t;

static const lvk_host_key_t lvk_host_keys[] = {
    {LVK_KEY_UP, "D-pad", "Up"},          {LVK_KEY_DOWN, "D-pad", "Down"},
    {LVK_KEY_LEFT, "D-pad", "Left"},      {LVK_KEY_RIGHT, "D-pad", "Right"},
    {LVK_KEY_A, "A", "X"},                {LVK_KEY_B, "B", "Z"},
    {LVK_KEY_X, "X", "S"},                {LVK_KEY_Y, "Y", "A"},
    {LVK_KEY_L, "L", "Q"},                {LVK_KEY_R, "R", "W"},
    {LVK_KEY_START, "Start", "Return"},   {LVK_KEY_START, "Start", "Enter"},
    {LVK_KEY_SELECT, "Select", "Backspace"}, {LVK_KEY_SELECT, "Select", "Shift"},
    /* Closing the lid: held closed while the key is held. */
    {LVK_KEY_LID, "Lid", "C"},
};
#define LVK_HOST_KEY_COUNT ((int)(sizeof lvk_host_keys / sizeof lvk_host_keys[0]))

/* The key bits a host passes on: every key of the table and the pen. */
static inline uint16_t lvk_host_key_mask(void)
{
  uint16_t mask = LVK_KEY_TOUCH;
  int i;
  for (i = 0; i < LVK_HOST_KEY_COUNT; ++i) mask = (uint16_t)(mask | lvk_host_keys[i].bit);
  return mask;
}

/* The upper screen as a host last printed it. */
typedef struct lvk_host_screen {
  uint32_t game_rows; /* rows printed with the game's text */
  int level;          /* the level the status line shows; -2: nothing printed yet */
} lvk_host_screen_t;

static inline void lvk_host_screen_init(lvk_host_screen_t *screen)
{
  screen->game_rows = 0;
  screen->level = -2;
}

/* Copies Text into Out as one row: LVK_TEXT_COLUMNS characters, cut or
 * padded with spaces, a NUL after them. Control characters become spaces,
 * so nothing a game prints can move the console's cursor. */
static inline void lvk_host_fill_row(const char *text, char *out)
{
  int i = 0;
  for (; text && text[i] && i < LVK_TEXT_COLUMNS; ++i) {
    unsigned char c = (unsigned char)text[i];
    out[i] = c < 32 || c == 127 ? ' ' : (char)c;
  }
  for (; i < LVK_TEXT_COLUMNS; ++i) out[i] = ' ';
  out[LVK_TEXT_COLUMNS] = 0;
}

/* Row as the host shows it, into Out (LVK_TEXT_COLUMNS + 1 characters):
 * the game's text in a row the game printed, else the host's own line. 0
 * when the row is the host's and holds none of its lines (the start text's
 * rows and the empty ones: left as they are), else 1. */
static inline int lvk_host_row(const lvk_engine_t *engine, int row, char *out)
{
  const lvk_game_t *game = engine->game;
  char line[48];
  const char *text = 0;
  if (row < 0 || row >= LVK_TEXT_ROWS) return 0;
  if (game && (lvk_engine_text_rows(engine) >> row) & 1u) {
    lvk_host_fill_row(lvk_engine_text_row(engine, row), out);
    return 1;
  }
  if (!game) {
    text = row == LVK_HOST_ROW_STATUS       ? LVK_HOST_TEXT_DAMAGED
           : row == LVK_HOST_ROW_STATUS + 1 ? LVK_HOST_TEXT_DAMAGED_2
                                            : 0;
  } else if (row == LVK_HOST_ROW_STATUS) {
    if (game->level_count == 0) {
      text = LVK_HOST_TEXT_NO_LEVELS;
    } else if (lvk_engine_level(engine) >= 0) {
      snprintf(line, sizeof line, LVK_HOST_TEXT_LEVEL, lvk_engine_level(engine) + 1, (int)game->level_count);
      text = line;
    }
  } else if (row == LVK_HOST_ROW_KEYS) {
    text = engine->viewer ? LVK_HOST_TEXT_VIEWER_KEYS : LVK_HOST_TEXT_PLAY_KEYS;
  }
  if (!text) return 0;
  lvk_host_fill_row(text, out);
  return 1;
}

/* After a step the host shows, or a level start: the rows to print with
 * lvk_host_row (bit r: row r). *Repaint is set to 1 when the console must
 * be cleared and the start text printed first (the first time, and when the
 * game gave rows back), else 0. Takes the engine's changed rows. */
static inline uint32_t lvk_host_rows_to_print(lvk_host_screen_t *screen, lvk_engine_t *engine, int *repaint)
{
  uint32_t game_rows = lvk_engine_text_rows(engine);
  uint32_t rows = lvk_engine_take_changed_rows(engine);
  int level = lvk_engine_level(engine);
  *repaint = screen->level == -2 || (screen->game_rows & ~game_rows) != 0;
  if (*repaint) rows = LVK_HOST_ALL_ROWS;
  if (level != screen->level) rows |= 1ul << LVK_HOST_ROW_STATUS;
  screen->level = level;
  screen->game_rows = game_rows;
  return rows;
}

#ifdef __cplusplus
}
#endif

#endif
