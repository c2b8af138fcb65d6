/* The lower screen's background as a ring: a 512x256 text background (64x32
 * map entries, two 32x32 screen blocks side by side) holds the cells around
 * the camera of a level of any size, and the scroll registers, which wrap
 * the map, show them. When the camera crosses a cell edge, the column or row
 * of cells that comes into view is copied in. Plain C, no libnds: the host
 * tests run it on a map in memory. */
#ifndef LVK_RING_H
#define LVK_RING_H

#include <stdint.h>

#define LVK_RING_COLUMNS 64
#define LVK_RING_ROWS 32
#define LVK_RING_ENTRIES (LVK_RING_COLUMNS * LVK_RING_ROWS)

/* The cells the screen can show at once, part cells at both edges included. */
#define LVK_VIEW_COLUMNS 33
#define LVK_VIEW_ROWS 25

typedef struct lvk_ring {
  uint16_t *map;         /* the background's LVK_RING_ENTRIES map entries */
  const uint16_t *level; /* width x height tile numbers, row by row */
  int width, height;
  uint16_t empty;        /* the map entry of no tile, shown beyond the level */
  int column, row;       /* the top-left cell of the window the ring holds */
  int filled;            /* 0 until the first fill */
  uint32_t copied;       /* entries written since the start, for tests */
} lvk_ring_t;

/* The map entry of ring cell (Column, Row), for any cell of the level. */
uint16_t *lvk_ring_entry(uint16_t *map, int column, int row);

/* Binds the ring to a level's map and fills the window of camera (X, Y),
 * the world pixel at the screen's top-left corner. Cells beyond the level
 * (a shake shows them) get Empty, a map entry of no tile: the backdrop. */
void lvk_ring_start(lvk_ring_t *ring, uint16_t *map, const uint16_t *level, int width, int height, uint16_t empty, int x,
                    int y);

/* Brings the window to camera (X, Y): copies the columns and rows that came
 * into view (all of them after a jump further than the screen). Call it in
 * the vertical blank, before the scroll registers are set to (X, Y). */
void lvk_ring_scroll(lvk_ring_t *ring, int x, int y);

#endif
