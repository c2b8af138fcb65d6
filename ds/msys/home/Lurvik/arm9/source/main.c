/* Shows the levels of a Lurvik Studio game: the level on the main screen, the
 * game's start text and the keys on the sub screen. A or Right steps to the
 * next level, B or Left back, wrapping round at either end. */
#include <nds.h>
#include <stdio.h>

#include "lvk.h"

/* The background's tiles start at tile base 1 (16 KiB into VRAM bank A) and
 * may use the rest of the 128 KiB bank. */
#define TILE_BYTES (128 * 1024 - 16 * 1024)

static void showStatus(int level, int count)
{
	/* A fixed row below the start text, so each step overwrites the last. */
	printf("\x1b[20;0H");
	if (count > 0)
		printf("Level %d of %d          \n", level + 1, count);
	else
		printf("This game has no levels.\n");
	fflush(stdout);
}

int main(void)
{
	int count = lvk_numlevels > 0 ? lvk_numlevels : 0;
	int level = 0;
	int bg;
	u16 *map;

	videoSetMode(MODE_0_2D);
	vramSetBankA(VRAM_A_MAIN_BG);
	bg = bgInit(0, BgType_Text8bpp, BgSize_T_256x256, 0, 1);

	/* Cells without a tile use the number one past the last tile; clearing
	 * first makes that tile transparent instead of leftover VRAM. */
	dmaFillWords(0, bgGetGfxPtr(bg), TILE_BYTES);
	map = bgGetMapPtr(bg);
	dmaFillWords(0, map, 32 * 32 * sizeof(u16));

	consoleDemoInit();
	lvk_main();
	printf("\x1b[22;0HA/Right: next  B/Left: back");

	lvk_videoinit((u8 *)bgGetGfxPtr(bg));
	if (count > 0)
		lvk_showlevel(level, map);
	showStatus(level, count);

	for (;;) {
		u32 keys;

		swiWaitForVBlank();
		scanKeys();
		keys = keysDown();
		if (count == 0)
			continue;
		if (keys & (KEY_A | KEY_RIGHT))
			level = (level + 1) % count;
		else if (keys & (KEY_B | KEY_LEFT))
			level = (level + count - 1) % count;
		else
			continue;
		lvk_showlevel(level, map);
		showStatus(level, count);
	}
	return 0;
}
