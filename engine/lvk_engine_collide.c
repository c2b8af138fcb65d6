/* Collisions and repel: the hot path of a busy frame on the DS. Boxes are
 * gathered once a phase in actor and x order, so a test reads the few boxes
 * near it; every helper stays static in this one file for the compiler to
 * inline. */
#include "lvk_engine_collide.h"

#include "lvk_engine_actions.h"

/* The smallest side of a box: a long move is looked at halfway. */
#define BOX_PIXELS LVK_TILE_SIZE

/* Sub (a position) moved to pixel Pixel, keeping its place inside the pixel,
 * so a move taken back to its own pixel gives the old position exactly. */
static int32_t at_pixel(int32_t sub, int32_t pixel)
{
  return pixel * LVK_SUBPIXELS + (sub - pixel_of(sub) * LVK_SUBPIXELS);
}

/* The part of a box of W x H at (Ax, Ay) that a box of Bw x Bh at (Bx, By)
 * covers, in square pixels. */
static uint32_t common_area(int32_t ax, int32_t ay, int32_t w, int32_t h, int32_t bx, int32_t by, int32_t bw,
                            int32_t bh)
{
  int32_t across = (ax + w < bx + bw ? ax + w : bx + bw) - (ax > bx ? ax : bx);
  int32_t down = (ay + h < by + bh ? ay + h : by + bh) - (ay > by ? ay : by);
  return across > 0 && down > 0 ? (uint32_t)(across * down) : 0;
}

/* Whether a scenery cell holding Actor is Target's (any solid actor's for
 * LVK_ANY_SOLID). */
static int cell_is(const lvk_engine_t *e, uint16_t actor, uint16_t target)
{
  return actor == target ||
         (target == LVK_ANY_SOLID && actor != LVK_NONE && (e->game->actors[actor].flags & LVK_ACTOR_SOLID));
}

/* Where each scenery actor's cells lie in the level (cell_rects). */
void lvk_collide_start_level(lvk_engine_t *e)
{
  int32_t r, c;
  int k;
  for (k = 0; k <= LVK_RECT_ACTORS; ++k) {
    e->cell_rects[k][0] = e->cell_rects[k][1] = 255;
    e->cell_rects[k][2] = e->cell_rects[k][3] = 0;
  }
  for (r = 0; r < e->level_rows; ++r)
    for (c = 0; c < e->level_columns; ++c) {
      const uint16_t actor = e->level_scenery[r * e->scenery_stride + c];
      uint8_t *rects[2];
      int n = 0;
      if (actor == LVK_NONE) continue;
      if (actor < LVK_RECT_ACTORS) rects[n++] = e->cell_rects[actor];
      if (e->game->actors[actor].flags & LVK_ACTOR_SOLID) rects[n++] = e->cell_rects[LVK_RECT_ACTORS];
      while (n-- > 0) {
        uint8_t *rect = rects[n];
        if (c < rect[0]) rect[0] = (uint8_t)c;
        if (r < rect[1]) rect[1] = (uint8_t)r;
        if (c > rect[2]) rect[2] = (uint8_t)c;
        if (r > rect[3]) rect[3] = (uint8_t)r;
      }
    }
}

/* What this phase knows of Target (lvk_target_run_t), looked up on its
 * first use: its instances' places in e->boxes (every solid actor's for
 * LVK_ANY_SOLID, listed in e->solid_boxes, unsorted) and where its cells
 * are. */
static const lvk_target_run_t *target_run(lvk_engine_t *e, uint16_t target)
{
  lvk_target_run_t *run = &e->runs[target % LVK_TARGET_RUNS];
  int lo, hi, k;
  const uint8_t *rect;
  if (run->target == target) return run;
  run->target = target;
  run->cells = 0;
  if (target == LVK_ANY_SOLID) {
    run->from = 0;
    run->count = (uint8_t)e->solid_count;
    run->reach = 0;
    rect = e->cell_rects[LVK_RECT_ACTORS];
  } else {
    for (lo = 0, hi = e->instance_count; lo < hi;) {
      k = (lo + hi) / 2;
      if (e->boxes[k].actor < target) lo = k + 1; else hi = k;
    }
    run->from = (uint8_t)lo;
    for (hi = e->instance_count; lo < hi;) {
      k = (lo + hi) / 2;
      if (e->boxes[k].actor <= target) lo = k + 1; else hi = k;
    }
    run->count = (uint8_t)(lo - run->from);
    run->reach = (uint8_t)(actor_width(&e->game->actors[target]) - 1);
    /* Live actors have no cells. */
    if (e->game->actors[target].handler_count) return run;
    rect = target < LVK_RECT_ACTORS ? e->cell_rects[target] : 0;
  }
  if (!rect) {
    run->cells = 1;
    run->left = run->top = 0;
    run->right = (int16_t)(e->level_columns * LVK_TILE_SIZE - 1);
    run->bottom = (int16_t)(e->level_rows * LVK_TILE_SIZE - 1);
  } else if (rect[0] <= rect[2]) {
    run->cells = 1;
    run->left = (int16_t)(rect[0] * LVK_TILE_SIZE);
    run->top = (int16_t)(rect[1] * LVK_TILE_SIZE);
    run->right = (int16_t)(rect[2] * LVK_TILE_SIZE + LVK_TILE_SIZE - 1);
    run->bottom = (int16_t)(rect[3] * LVK_TILE_SIZE + LVK_TILE_SIZE - 1);
  }
  return run;
}

/* The first place in Run (of an actor's boxes, sorted by key) whose box may
 * reach X or further right: its key, where the phase began, was at most
 * e->slack pixels from where it is now. */
static int first_box(const lvk_engine_t *e, const lvk_target_run_t *run, int32_t x)
{
  int lo = run->from, hi = run->from + run->count, k;
  x -= run->reach + e->slack;
  while (lo < hi) {
    k = (lo + hi) / 2;
    if (e->boxes[k].key < x) lo = k + 1; else hi = k;
  }
  return lo;
}

/* Run's cells that a box spanning pixels X0..X1, Y0..Y1 (inclusive) may
 * touch: columns C0..C1, rows R0..R1. 0 when none. */
static int cells_near(const lvk_target_run_t *run, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t *c0,
                      int32_t *r0, int32_t *c1, int32_t *r1)
{
  if (!run->cells || x1 < run->left || x0 > run->right || y1 < run->top || y0 > run->bottom) return 0;
  *c0 = (x0 > run->left ? x0 : run->left) / LVK_TILE_SIZE;
  *r0 = (y0 > run->top ? y0 : run->top) / LVK_TILE_SIZE;
  *c1 = (x1 < run->right ? x1 : run->right) / LVK_TILE_SIZE;
  *r1 = (y1 < run->bottom ? y1 : run->bottom) / LVK_TILE_SIZE;
  return 1;
}

/* Whether the box of Slot, put at pixel (Px, Py), overlaps Target's boxes:
 * its live instances other than Slot and its scenery cells (with
 * LVK_ANY_SOLID every solid actor's). Stops at the first. */
static int overlaps(lvk_engine_t *e, int slot, int32_t px, int32_t py, uint16_t target)
{
  const lvk_target_run_t *run = target_run(e, target);
  const int32_t w = e->instances[slot].width, h = e->instances[slot].height;
  int32_t c, r, c0, r0, c1, r1;
  if (run->count) {
    if (target == LVK_ANY_SOLID) {
      int k;
      for (k = 0; k < run->count; ++k) {
        const lvk_box_t *b = &e->boxes[e->solid_boxes[k]];
        if (px < b->x + b->width && b->x < px + w && py < b->y + b->height && b->y < py + h && b->slot != slot &&
            b->alive)
          return 1;
      }
    } else {
      const int end = run->from + run->count;
      const int32_t last = px + w - 1 + e->slack;
      int k;
      for (k = first_box(e, run, px); k < end && e->boxes[k].key <= last; ++k) {
        const lvk_box_t *b = &e->boxes[k];
        if (px < b->x + b->width && b->x < px + w && py < b->y + b->height && b->y < py + h && b->slot != slot &&
            b->alive)
          return 1;
      }
    }
  }
  if (!cells_near(run, px, py, px + w - 1, py + h - 1, &c0, &r0, &c1, &r1)) return 0;
  for (r = r0; r <= r1; ++r)
    for (c = c0; c <= c1; ++c)
      if (cell_is(e, e->level_scenery[r * e->scenery_stride + c], target)) return 1;
  return 0;
}

/* What a repel looks at: Target's live boxes (other than the instance's)
 * that a box anywhere between two positions can touch. Gathered once, so
 * the overlaps compared while taking a move back read a few boxes only. */
/* A sweep of at most 16 pixels of a box of at most 64 touches 11x11 cells. */
#define NEAR_CELLS 121
typedef struct near_boxes {
  int count;
  int cell_count;
  int32_t width, height; /* the moving box */
  uint8_t at[LVK_MAX_INSTANCES];
  int16_t cell_x[NEAR_CELLS], cell_y[NEAR_CELLS];
} near_boxes_t;

static void gather_near(lvk_engine_t *e, int slot, uint16_t target, int32_t ax, int32_t ay, int32_t bx,
                        int32_t by, near_boxes_t *near)
{
  const lvk_target_run_t *run = target_run(e, target);
  int32_t x0 = ax < bx ? ax : bx, x1 = ax < bx ? bx : ax, y0 = ay < by ? ay : by, y1 = ay < by ? by : ay;
  int32_t c, r, c0, r0, c1, r1;
  const int32_t w = e->instances[slot].width, h = e->instances[slot].height;
  int k, end, at;
  near->count = 0;
  near->cell_count = 0;
  near->width = w;
  near->height = h;
  if (target == LVK_ANY_SOLID) {
    k = 0;
    end = run->count;
  } else {
    k = first_box(e, run, x0);
    end = run->from + run->count;
  }
  for (; k < end; ++k) {
    const lvk_box_t *b;
    at = target == LVK_ANY_SOLID ? e->solid_boxes[k] : k;
    b = &e->boxes[at];
    if (target != LVK_ANY_SOLID && b->key > x1 + w - 1 + e->slack) break;
    if (b->slot == slot || !b->alive) continue;
    if (b->x < x1 + w && b->x + b->width > x0 && b->y < y1 + h && b->y + b->height > y0)
      near->at[near->count++] = (uint8_t)at;
  }
  if (!cells_near(run, x0, y0, x1 + w - 1, y1 + h - 1, &c0, &r0, &c1, &r1)) return;
  /* A move is at most 16 pixels an axis (speed 255 sixteenths), so the
   * sweep touches at most NEAR_CELLS cells. */
  for (r = r0; r <= r1; ++r)
    for (c = c0; c <= c1; ++c)
      if (near->cell_count < NEAR_CELLS && cell_is(e, e->level_scenery[r * e->scenery_stride + c], target)) {
        near->cell_x[near->cell_count] = (int16_t)(c * LVK_TILE_SIZE);
        near->cell_y[near->cell_count++] = (int16_t)(r * LVK_TILE_SIZE);
      }
}

/* How much a box at (Px, Py) overlaps the gathered boxes and Target's
 * cells, in square pixels; stops once that exceeds Limit. */
static uint32_t overlap_near(const lvk_engine_t *e, const near_boxes_t *near, int32_t px, int32_t py, uint32_t limit)
{
  uint32_t sum = 0;
  int k;
  for (k = 0; k < near->count; ++k) {
    const lvk_box_t *b = &e->boxes[near->at[k]];
    sum += common_area(px, py, near->width, near->height, b->x, b->y, b->width, b->height);
    if (sum > limit) return sum;
  }
  for (k = 0; k < near->cell_count; ++k) {
    sum += common_area(px, py, near->width, near->height, near->cell_x[k], near->cell_y[k], LVK_TILE_SIZE,
                       LVK_TILE_SIZE);
    if (sum > limit) return sum;
  }
  return sum;
}

/* From pixel From towards To along one axis, the last pixel before the
 * overlap would grow beyond Allowed (From itself at worst). */
static int32_t advance(const lvk_engine_t *e, const near_boxes_t *near, int along_x, int32_t from, int32_t to,
                       int32_t other, uint32_t allowed)
{
  int32_t step = to > from ? 1 : -1;
  while (from != to) {
    int32_t next = from + step;
    if (overlap_near(e, near, along_x ? next : other, along_x ? other : next, allowed) > allowed) break;
    from = next;
  }
  return from;
}

/* Whether Slot moved more than a box's size on an axis this frame: such a
 * move is also looked at halfway, so a fast instance cannot jump over a
 * box (looks 8 pixels apart never miss an 8x8 one). */
static int long_move(const lvk_engine_t *e, int slot)
{
  const lvk_instance_t *in = &e->instances[slot];
  const lvk_box_t *box = &e->boxes[e->box_of[slot]];
  int32_t dx = box->x - pixel_of(in->old_x), dy = box->y - pixel_of(in->old_y);
  return dx > BOX_PIXELS || -dx > BOX_PIXELS || dy > BOX_PIXELS || -dy > BOX_PIXELS;
}

/* A repel handler's turn: whether Slot's box meets Target (overlaps it now,
 * or jumped over it with a long move: Jumped, long_move of the box as it is
 * now), and if so, takes back as much of the move as made its overlap with
 * Target grow (the rules in lvk_engine.h). */
static int repel(lvk_engine_t *e, int slot, uint16_t target, int jumped)
{
  lvk_instance_t *in = &e->instances[slot];
  lvk_box_t *box = &e->boxes[e->box_of[slot]];
  int32_t px = box->x, py = box->y, ox = pixel_of(in->old_x), oy = pixel_of(in->old_y);
  int32_t x, y, moved;
  near_boxes_t near;
  uint32_t before;
  /* The usual case, no contact, found as cheaply as for overlap. */
  if (!jumped && !overlaps(e, slot, px, py, target)) return 0;
  gather_near(e, slot, target, ox, oy, px, py, &near);
  before = overlap_near(e, &near, ox, oy, 0xFFFFFFFFu);
  if (overlap_near(e, &near, px, py, before) <= before &&
      !(jumped && overlap_near(e, &near, ox + (px - ox) / 2, oy + (py - oy) / 2, before) > before))
    /* Touching without pushing further, or a long move past nothing. */
    return overlap_near(e, &near, px, py, 0) != 0;
  if (ox != px && overlap_near(e, &near, ox, py, before) <= before) {
    x = advance(e, &near, 1, ox, px, py, before);
    y = py;
  } else if (oy != py && overlap_near(e, &near, px, oy, before) <= before) {
    x = px;
    y = advance(e, &near, 0, oy, py, px, before);
  } else {
    x = advance(e, &near, 1, ox, px, oy, before);
    y = advance(e, &near, 0, oy, py, x, before);
  }
  in->x = x == px ? in->x : at_pixel(in->old_x, x);
  in->y = y == py ? in->y : at_pixel(in->old_y, y);
  box->x = (int16_t)x;
  box->y = (int16_t)y;
  moved = x > box->key ? x - box->key : box->key - x;
  if (moved > e->slack) e->slack = (int16_t)moved;
  return 1;
}

/* The boxes in actor order and, within an actor, by x (by_actor follows:
 * from frame to frame the order changes little, so sorting by insertion
 * costs a pass); the solid ones. */
static void gather_boxes(lvk_engine_t *e)
{
  int k;
  e->solid_count = 0;
  e->slack = 0;
  for (k = 0; k < LVK_TARGET_RUNS; ++k) e->runs[k].target = LVK_NONE;
  for (k = 0; k < e->instance_count; ++k) {
    const lvk_instance_t *in = &e->instances[e->by_actor[k]];
    lvk_box_t b;
    int j = k;
    b.x = b.key = (int16_t)pixel_of(in->x);
    b.y = (int16_t)pixel_of(in->y);
    b.actor = in->actor;
    b.slot = e->by_actor[k];
    b.alive = in->alive;
    b.width = in->width;
    b.height = in->height;
    while (j > 0 && (e->boxes[j - 1].actor > b.actor ||
                     (e->boxes[j - 1].actor == b.actor && e->boxes[j - 1].key > b.key))) {
      e->boxes[j] = e->boxes[j - 1];
      --j;
    }
    e->boxes[j] = b;
  }
  for (k = 0; k < e->instance_count; ++k) {
    const lvk_box_t *b = &e->boxes[k];
    e->by_actor[k] = b->slot;
    e->box_of[b->slot] = (uint8_t)k;
    if (e->any_solid && (e->game->actors[b->actor].flags & LVK_ACTOR_SOLID))
      e->solid_boxes[e->solid_count++] = (uint8_t)k;
  }
}

/* Whether the move that a repel took back had met Target: where the box
 * was after movement (Mx, My), or halfway there for a long move. */
static int contact_met(lvk_engine_t *e, int slot, int32_t mx, int32_t my, int long_move_made, uint16_t target)
{
  const lvk_instance_t *in = &e->instances[slot];
  int32_t ox = pixel_of(in->old_x), oy = pixel_of(in->old_y);
  return overlaps(e, slot, mx, my, target) ||
         (long_move_made && overlaps(e, slot, ox + (mx - ox) / 2, oy + (my - oy) / 2, target));
}

void lvk_collisions(lvk_engine_t *e)
{
  const lvk_game_t *g = e->game;
  int slot;
  unsigned i;
  gather_boxes(e);
  for (slot = 0; slot < e->instance_count; ++slot) {
    lvk_instance_t *in = &e->instances[slot];
    const lvk_actor_t *a;
    lvk_box_t *box;
    unsigned k = 0; /* the handler's place among the actor's collision handlers */
    int32_t mx, my;  /* the box after movement, before any repel */
    int jumped_far, taken_back = 0, landed = 0;
    if (!in->alive) continue;
    a = &g->actors[in->actor];
    box = &e->boxes[e->box_of[slot]];
    mx = box->x;
    my = box->y;
    jumped_far = long_move(e, slot);
    for (i = a->first_handler; i < (unsigned)a->first_handler + a->handler_count; ++i) {
      const lvk_handler_t *h = &g->handlers[i];
      uint32_t bit;
      int met;
      if (h->event != LVK_EVENT_COLLISION) continue;
      if (k >= LVK_MAX_COLLISION_HANDLERS) break;
      bit = (uint32_t)1 << k++;
      if ((h->flags & LVK_HANDLER_REPEL) && !landed)
        met = repel(e, slot, h->other, taken_back ? long_move(e, slot) : jumped_far);
      else
        met = overlaps(e, slot, box->x, box->y, h->other);
      /* A contact is one meeting with everything the move touched: once a
       * repel took the move back, the later handlers look where it went. */
      if (!met && taken_back) met = contact_met(e, slot, mx, my, jumped_far, h->other);
      if (box->x != mx || box->y != my) taken_back = 1;
      if (!met) {
        in->touching &= ~bit;
        continue;
      }
      if (!(in->touching & bit)) {
        in->touching |= bit;
        e->jumped = 0;
        lvk_fire(e, slot, i);
        /* A jump counts for collisions from the next frame on: this frame's
         * contacts stay where the box was, and no repel takes it back. */
        if (e->jumped) landed = 1;
      }
    }
  }
}

