/* lvk_ring.h tells what the ring does. */
#include "lvk_ring.h"

/* Floor division by 8, also for the negative pixels a shake may show. */
static int cell_of(int pixel) { return pixel >= 0 ? pixel / 8 : -((7 - pixel) / 8); }

uint16_t *lvk_ring_entry(uint16_t *map, int column, int row)
{
  int x = column & (LVK_RING_COLUMNS - 1), y = row & (LVK_RING_ROWS - 1);
  /* The right half of a 512-pixel-wide map is the second screen block. */
  return map + (x >= 32 ? 1024 : 0) + y * 32 + (x & 31);
}

/* Copies the level's cells of columns C0..C1 and rows R0..R1 into the ring;
 * those beyond the level (a shake shows them) get the empty entry, so the
 * ring's wrap never shows cells it held before. */
static void copy_cells(lvk_ring_t *r, int c0, int c1, int r0, int r1)
{
  int c, row;
  for (row = r0; row <= r1; ++row)
    for (c = c0; c <= c1; ++c) {
      const int inside = c >= 0 && row >= 0 && c < r->width && row < r->height;
      *lvk_ring_entry(r->map, c, row) = inside ? r->level[row * r->width + c] : r->empty;
      r->copied++;
    }
}

void lvk_ring_start(lvk_ring_t *r, uint16_t *map, const uint16_t *level, int width, int height, uint16_t empty, int x,
                    int y)
{
  r->empty = empty;
  r->map = map;
  r->level = level;
  r->width = width;
  r->height = height;
  r->filled = 0;
  r->copied = 0;
  lvk_ring_scroll(r, x, y);
}

void lvk_ring_scroll(lvk_ring_t *r, int x, int y)
{
  int c0 = cell_of(x), r0 = cell_of(y);
  int dc = c0 - r->column, dr = r0 - r->row;
  if (!r->filled || dc >= LVK_VIEW_COLUMNS || -dc >= LVK_VIEW_COLUMNS || dr >= LVK_VIEW_ROWS || -dr >= LVK_VIEW_ROWS) {
    copy_cells(r, c0, c0 + LVK_VIEW_COLUMNS - 1, r0, r0 + LVK_VIEW_ROWS - 1);
  } else {
    /* The columns that came in, over the new rows; then the rows that came
     * in, over the new columns. */
    if (dc > 0) copy_cells(r, r->column + LVK_VIEW_COLUMNS, c0 + LVK_VIEW_COLUMNS - 1, r0, r0 + LVK_VIEW_ROWS - 1);
    if (dc < 0) copy_cells(r, c0, r->column - 1, r0, r0 + LVK_VIEW_ROWS - 1);
    if (dr > 0) copy_cells(r, c0, c0 + LVK_VIEW_COLUMNS - 1, r->row + LVK_VIEW_ROWS, r0 + LVK_VIEW_ROWS - 1);
    if (dr < 0) copy_cells(r, c0, c0 + LVK_VIEW_COLUMNS - 1, r0, r->row - 1);
  }
  r->column = c0;
  r->row = r0;
  r->filled = 1;
}
