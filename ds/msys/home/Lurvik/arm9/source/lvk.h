/* What the editor's generated.c provides: the game's data and the routines
 * that put it on screen. generated.c is rewritten on every build and includes
 * only nds.h, so these declarations must match what it defines. */
#ifndef LVK_H
#define LVK_H

#include <nds.h>

/* Number of levels in lvk_levels; 0 for a game without levels. */
extern int lvk_numlevels;

/* The palette as DS colours, tiles as 64 palette indices each, and each
 * level as 32x24 tile numbers; a cell without a tile holds the tile count. */
extern const u16 lvk_palette[];
extern const u8 lvk_tiles[];
extern const u16 lvk_levels[][32 * 24];

/* Every level's whole map, level after level, each as wide and high as its
 * entry in lvk_game's level table (lvk_gamedata.c). */
extern const uint16_t lvk_maps[];

/* Prints the start text with the game's title on the current console. */
extern void lvk_main(void);

/* Copies all tiles to pTiles and the palette to the main background palette. */
void lvk_videoinit(u8 *pTiles);

/* Copies the map of level lix (0 to lvk_numlevels - 1) to pLevel. */
void lvk_showlevel(int lix, u16 *pLevel);

#endif
