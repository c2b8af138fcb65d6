/* Plays a Lurvik Studio game. The engine (lvk_engine.c) applies the rules of
 * play to the game's tables (lvk_gamedata.c); this file only puts the result
 * on the two screens and feeds the engine the keys and the pen.
 *
 * Lower screen (the touch screen, main engine): the level as an 8-bit tiled
 * background, and above it the live instances as sprites in 256-colour mode
 * that share the game's palette: an animated instance in its actor's shape
 * (8x8 to 64x64) with its current frame, mirrored when the engine says so;
 * any other as an 8x8 sprite of its tile. The background is a 512x256 ring
 * (lvk_ring.h) that follows the engine's camera through a level of any size;
 * its scroll and the sprites' positions come from one camera, written in the
 * same vertical blank, so sprites never drift against the background.
 * Upper screen (sub engine): a console
 * with the rows the game prints and, in the others, the start text, the
 * status line and the keys line, shared with the editor's play window as
 * lvk_host.h describes.
 *
 * A game in which no actor has a handler is shown as before: A or Right steps
 * to the next level, B or Left back. In any game Start and Select together
 * step to the next level.
 *
 * Sounds: each sound the engine starts plays once on a free channel of the
 * DS's sixteen (libnds's ARM7 side picks it), several at once; the level's
 * music loops on one from the level's start until the next level starts.
 *
 * Built with "make LVK_METER=1", the meter row also shows the share of the
 * frame the engine's step and the sounds it started took, timed with a
 * hardware timer, and the row above the keys line tells of the last sound
 * started and the channel it got. */
#include <nds.h>
#include <stdio.h>
#include <string.h>

#include "lvk.h"
#include "lvk_engine.h"
#include "lvk_host.h"
#include "lvk_ring.h"

/* The background's tiles start at tile base 1 (16 KiB into VRAM bank A) and
 * may use the rest of the 128 KiB bank. */
#define TILE_BYTES (128 * 1024 - 16 * 1024)

/* A map entry holds a 10-bit tile number, so no background (and no sprite
 * here) shows a tile beyond the first 1024. */
#define MAX_TILES 1024

/* Sprite pictures live in VRAM bank B, all 128 KiB mapped in 1D steps of
 * 128 bytes: every picture starts on a step, so an 8x8 one of 256 colours
 * (64 bytes) takes a whole step. All frames are loaded once and the
 * instances only point at them; the generator keeps them within the bank. */
#define SPRITE_BLOCK 128
#define SPRITE_BLOCKS (128 * 1024 / SPRITE_BLOCK)

/* Frames the DS program can point at: one block each at least. */
#define MAX_FRAMES SPRITE_BLOCKS

/* The hardware's sprites, as many as the engine's instances. */
#define SPRITES 128

/* In the ARM9's fast data memory: the engine reads its instances many times
 * a frame, and there no read waits for main memory (with 128 colliding
 * instances this alone took a fifth off the engine's time). */
static lvk_engine_t engine DTCM_BSS;

/* The instances' own variables, 8 KiB, read by actions only: main memory
 * does, and the fast memory keeps room for the stack. */
static lvk_instance_values_t instanceValues;

/* The level being shown, its live actors' cells emptied (main memory: up to
 * 256x256 cells), the ring that streams it, and the camera that the last
 * step left, which the next vertical blank shows. */
static u16 levelMap[LVK_MAX_LEVEL_COLUMNS * LVK_MAX_LEVEL_ROWS];
static lvk_ring_t ring;
static int ringActive;

/* The map entry of no tile (one past the last, whose cleared pixels are
 * transparent): what the screen shows beyond the level's edges, where a
 * shake looks, is the backdrop, as on every other host. */
#define EMPTY_CELL ((u16)lvk_game.tile_count)
static int32_t cameraX, cameraY;

/* The upper screen as printed last. */
static lvk_host_screen_t upper;

/* The samples play at full channel volume (their own level is in them),
 * centred. */
#define SOUND_VOLUME 127
#define SOUND_PAN 64

/* The channel the level's music loops on, or -1. */
static int musicChannel = -1;

/* Where each tile's sprite picture is in VRAM, or 0 when it has none. */
static u16 *spriteGfx[MAX_TILES];

/* Where each frame's picture is in VRAM, or 0 when it has none. */
static u16 *frameGfx[MAX_FRAMES];

/* Sprite VRAM blocks handed out so far. */
static int blocksUsed;

/* The next Bytes of sprite VRAM, or 0 when the bank is full. */
static u16 *takeSpriteBlocks(unsigned bytes)
{
	int blocks = (int)((bytes + SPRITE_BLOCK - 1) / SPRITE_BLOCK);
	u16 *gfx;

	if (blocksUsed + blocks > SPRITE_BLOCKS)
		return 0;
	gfx = SPRITE_GFX + blocksUsed * (SPRITE_BLOCK / 2);
	blocksUsed += blocks;
	return gfx;
}

/* Copies the picture of every live actor's tile to sprite VRAM once; the
 * instances then only point at it. Scenery tiles are never sprites. */
static void loadSpriteTiles(void)
{
	const lvk_game_t *game = &lvk_game;
	uint32_t cursor = 0;
	int next;

	while ((next = lvk_game_sprite_tile(game, &cursor)) >= 0) {
		unsigned tile = (unsigned)next;

		if (tile >= game->tile_count || tile >= MAX_TILES || spriteGfx[tile])
			continue;
		spriteGfx[tile] = takeSpriteBlocks(64);
		/* Halfword copies: VRAM ignores byte writes. */
		if (spriteGfx[tile])
			swiCopy(lvk_tiles + tile * 64, spriteGfx[tile], 32);
	}
}

/* Copies every frame to sprite VRAM once, tile by tile in the order the 1D
 * mapping reads a sprite's tiles (row by row); a cell without a tile is
 * colour 0. */
static void loadFrames(void)
{
	const lvk_game_t *game = &lvk_game;
	unsigned a, n, f, c;

	for (a = 0; a < game->actor_count; a++) {
		const lvk_actor_t *actor = &game->actors[a];
		unsigned cells = (actor->width ? actor->width / 8u : 1u) * (actor->height ? actor->height / 8u : 1u);

		for (n = 0; n < actor->animation_count; n++) {
			const lvk_animation_t *animation = &game->animations[actor->first_animation + n];

			for (f = animation->first_frame; f < (unsigned)animation->first_frame + animation->frame_count; f++) {
				const uint16_t *tiles = game->frame_tiles + game->frames[f];
				u16 *gfx;

				if (f >= MAX_FRAMES || frameGfx[f] || !(gfx = takeSpriteBlocks(cells * 64)))
					continue;
				frameGfx[f] = gfx;
				for (c = 0; c < cells; c++, gfx += 32) {
					if (tiles[c] < game->tile_count && tiles[c] < MAX_TILES)
						swiCopy(lvk_tiles + tiles[c] * 64, gfx, 32);
					else
						dmaFillHalfWords(0, gfx, 64);
				}
			}
		}
	}
}

/* The hardware's name of a sprite shape, by its size in pixels. */
static SpriteSize spriteSize(int width, int height)
{
	switch (width * 100 + height) {
	case 1616: return SpriteSize_16x16;
	case 3232: return SpriteSize_32x32;
	case 6464: return SpriteSize_64x64;
	case 1608: return SpriteSize_16x8;
	case 816: return SpriteSize_8x16;
	case 3208: return SpriteSize_32x8;
	case 832: return SpriteSize_8x32;
	case 3216: return SpriteSize_32x16;
	case 1632: return SpriteSize_16x32;
	case 6432: return SpriteSize_64x32;
	case 3264: return SpriteSize_32x64;
	default: return SpriteSize_8x8;
	}
}

/* The level's background, with a live actor's cells shown as colour 0: its
 * instances are drawn as sprites and may have left them. A level of one
 * screen is generated.c's map, copied once; the whole map of a larger one is
 * in lvk_maps, level after level, each of its table's size, and streams
 * through the ring. */
static void showLevel(int level, u16 *map)
{
	const lvk_game_t *game = &lvk_game;
	u32 start = 0;
	int width = LVK_LEVEL_COLUMNS, height = LVK_LEVEL_ROWS, i;

	if (level < 0 || level >= lvk_numlevels)
		return;
	/* The backdrop is what the main engine shows where every layer is
	 * transparent: background palette entry 0, which no picture draws with. */
	if (level < game->level_count)
		BG_PALETTE[0] = game->levels[level].backdrop;
	ringActive = 0;
	if (level >= game->level_count ||
	    ((game->levels[level].width == 0 || game->levels[level].width == LVK_LEVEL_COLUMNS) &&
	     (game->levels[level].height == 0 || game->levels[level].height == LVK_LEVEL_ROWS))) {
		/* Beyond the screen's 32x24 cells the map wraps round to nothing. */
		dmaFillHalfWords(EMPTY_CELL, map, LVK_RING_ENTRIES * sizeof(u16));
		lvk_showlevel(level, map);
		lvk_level_clear_live_cells(game, level, map);
		return;
	}
	for (i = 0; i <= level; i++) {
		width = game->levels[i].width ? game->levels[i].width : LVK_LEVEL_COLUMNS;
		height = game->levels[i].height ? game->levels[i].height : LVK_LEVEL_ROWS;
		if (i < level)
			start += (u32)width * height;
	}
	memcpy(levelMap, lvk_maps + start, (size_t)width * height * sizeof(u16));
	lvk_level_clear_live_cells(game, level, levelMap);
	lvk_ring_start(&ring, map, levelMap, width, height, EMPTY_CELL, cameraX, cameraY);
	ringActive = 1;
}

#ifdef LVK_METER
/* The sound row: the last sound started, the channel it got (-1: none was
 * free) and how many were started, printed after the timed part. */
#define SOUND_ROW 21
static int loggedSound = -1, loggedChannel, loggedMusic;
static u32 soundsStarted;
static int soundLogChanged;

static void noteSound(int sound, int channel, int music)
{
	loggedSound = sound;
	loggedChannel = channel;
	loggedMusic = music;
	soundsStarted++;
	soundLogChanged = 1;
}

static void showSoundLog(void)
{
	char line[48];

	if (!soundLogChanged)
		return;
	soundLogChanged = 0;
	if (loggedChannel < 0)
		snprintf(line, sizeof line, "%s %d: no free channel #%lu", loggedMusic ? "music" : "sound", loggedSound,
			 (unsigned long)soundsStarted);
	else
		snprintf(line, sizeof line, "%s %d on channel %d #%lu", loggedMusic ? "music" : "sound", loggedSound,
			 loggedChannel, (unsigned long)soundsStarted);
	/* At most 31 characters: a full row would scroll the console. */
	printf("\x1b[%d;0H%-31.31s", SOUND_ROW, line);
	fflush(stdout);
}
#else
#define noteSound(sound, channel, music) ((void)0)
#endif

/* Hands sound Sound to a free channel; Loop: from its start again at its
 * end, until killed. The samples are the generated lvk_sound_N arrays: const
 * data in main RAM, where the ARM7 that feeds the channels reads them (the
 * TCMs are the ARM9's alone), 4-byte aligned and a whole number of words
 * long, as a channel counts its data. Nothing writes them, so no cache line
 * needs flushing first. Returns the channel, or -1 (none free, or no such
 * sound). */
static int playSound(int sound, bool loop)
{
	const lvk_sound_t *s;
	int channel;

	if (sound < 0 || sound >= lvk_game.sound_count)
		return -1;
	s = &lvk_sounds[sound];
	if (!s->data || s->length == 0)
		return -1;
	channel = soundPlaySample(s->data, SoundFormat_8Bit, s->length, LVK_SOUND_RATE, SOUND_VOLUME, SOUND_PAN, loop,
				  0);
	noteSound(sound, channel, loop);
	return channel;
}

/* A level started: the music of the level before stops, this one's starts
 * from its beginning. */
static void startMusic(void)
{
	if (musicChannel >= 0)
		soundKill(musicChannel);
	musicChannel = playSound(lvk_engine_music(&engine), true);
}

/* The sounds the last step (or level start) asked for, and the music when
 * the level changed. */
static void playSounds(void)
{
	const uint16_t *sounds;
	int count = lvk_engine_sounds(&engine, &sounds);
	int i;

	if (lvk_engine_level_changed(&engine))
		startMusic();
	for (i = 0; i < count; i++)
		playSound(sounds[i], false);
}

/* Prints the rows of the upper screen that changed: the game's, and the
 * status line when the level changed. */
static void showText(void)
{
	char line[LVK_TEXT_COLUMNS + 1];
	int repaint;
	int row;
	u32 rows = lvk_host_rows_to_print(&upper, &engine, &repaint);

#ifdef LVK_METER
	rows &= ~(1ul << LVK_HOST_ROW_METER);
	/* A damaged game's second line is there; it plays no sound. */
	if (engine.game)
		rows &= ~(1ul << SOUND_ROW);
#endif
	if (repaint) {
		printf("\x1b[2J");
		lvk_main();
#ifdef LVK_METER
		soundLogChanged = loggedSound >= 0;
#endif
	}
	for (row = 0; row < LVK_TEXT_ROWS; row++)
		if (((rows >> row) & 1u) && lvk_host_row(&engine, row, line))
			printf("\x1b[%d;0H%s", row, line);
	fflush(stdout);
}

/* Puts every instance into the shadow OAM; oamUpdate shows it at the next
 * vertical blank. An instance slot is a sprite slot: both number 128. */
static void drawSprites(void)
{
	int count = lvk_engine_instance_count(&engine);
	int slot;

	/* The camera the sprites are placed for; the next vertical blank
	 * scrolls the background to it. */
	lvk_engine_camera(&engine, &cameraX, &cameraY);

	for (slot = 0; slot < SPRITES; slot++) {
		lvk_sprite_t sprite;
		u16 *gfx = 0;
		int width = 8, height = 8;

		if (slot < count && lvk_engine_sprite(&engine, slot, &sprite) && sprite.alive) {
			if (sprite.frame != LVK_NONE) {
				if (sprite.frame < MAX_FRAMES)
					gfx = frameGfx[sprite.frame];
				width = sprite.width;
				height = sprite.height;
			} else if (sprite.tile < MAX_TILES) {
				gfx = spriteGfx[sprite.tile];
			}
		}
		/* Off the screen by more than its size: the hardware's coordinates
		 * would wrap round and show it on the far side. */
		if (gfx && sprite.visible)
			oamSet(&oamMain, slot, sprite.screen_x, sprite.screen_y, 0, 0, spriteSize(width, height),
			       SpriteColorFormat_256Color, gfx, -1, false, false, sprite.mirrored != 0, false, false);
		else
			oamClearSprite(&oamMain, slot);
	}
}

#ifdef LVK_METER
/* Bus cycles in one frame of the DS: 263 lines of 355 dots, 6 cycles each. */
#define FRAME_TICKS 560190u

/* Timers 0 and 1, cascaded by cpuStartTiming, as one 32-bit count. The high
 * half is read on both sides of the low one, so a carry between the reads
 * cannot make one frame look 65536 ticks long. */
static u32 meterTicks(void)
{
	u16 high, low;

	do {
		high = TIMER_DATA(1);
		low = TIMER_DATA(0);
	} while (high != TIMER_DATA(1));
	return ((u32)high << 16) | low;
}

/* Each phase's ticks in the last second (lvk_engine.h's LVK_PHASE_...),
 * counted from the step's start. */
static u32 phaseStart, phaseTicks[LVK_PHASE_COUNT];

void lvk_meter_phase(int phase)
{
	u32 now = meterTicks();

	phaseTicks[phase] += now - phaseStart;
	phaseStart = now;
}

/* Average and peak of the last second, so the number can be read; on the
 * row above, each phase's share of a frame: Start, Animation, Input, Move,
 * Collision, Outside, End. */
static void showMeter(u32 ticks)
{
	static u32 sum, peak;
	static int frames;
	unsigned long average, most;
	char line[40];

	sum += ticks;
	if (ticks > peak)
		peak = ticks;
	if (++frames < 60)
		return;
	average = sum / frames * 100 / FRAME_TICKS;
	most = peak * 100 / FRAME_TICKS;

	/* One row of at most 31 characters: a full row would scroll the console. */
	snprintf(line, sizeof line, "engine %lu%% of a frame (max %lu%%)", average, most);
	if (strlen(line) > 31)
		snprintf(line, sizeof line, "engine %lu%%, max %lu%%", average, most);
	printf("\x1b[%d;0H%-31s", LVK_HOST_ROW_METER, line);
	{
		static const char names[LVK_PHASE_COUNT] = {'s', 'a', 'i', 'm', 'c', 'o', 'e'};
		int p, n = 0;

		for (p = 0; p < LVK_PHASE_COUNT; p++) {
			n += snprintf(line + n, sizeof line - n, "%s%c%lu", p ? " " : "", names[p],
				      (unsigned long)((phaseTicks[p] / frames * 1000u / FRAME_TICKS + 5) / 10));
			phaseTicks[p] = 0;
		}
		printf("\x1b[%d;0H%-31.31s", LVK_HOST_ROW_METER - 1, line);
	}
	fflush(stdout);
	sum = peak = 0;
	frames = 0;
}
#endif

int main(void)
{
	int shownLevel = -1;
	int bg;
	u16 *map;

	/* The main engine draws the level and its sprites; it goes to the lower
	 * screen, where the pen can touch them. The console is the sub engine's. */
	videoSetMode(MODE_0_2D);
	lcdMainOnBottom();
	vramSetBankA(VRAM_A_MAIN_BG);
	vramSetBankB(VRAM_B_MAIN_SPRITE);
	bg = bgInit(0, BgType_Text8bpp, BgSize_T_512x256, 0, 1);
	oamInit(&oamMain, SpriteMapping_1D_128, false);

	/* Cells without a tile use the number one past the last tile; clearing
	 * first makes that tile transparent instead of leftover VRAM. */
	dmaFillWords(0, bgGetGfxPtr(bg), TILE_BYTES);
	map = bgGetMapPtr(bg);
	dmaFillHalfWords(EMPTY_CELL, map, LVK_RING_ENTRIES * sizeof(u16));

	consoleDemoInit();
	soundEnable();

	/* Sprites use the background's colours; entry 0 is transparent in both. */
	lvk_videoinit((u8 *)bgGetGfxPtr(bg));
	dmaCopy(BG_PALETTE, SPRITE_PALETTE, 256 * sizeof(u16));

	lvk_engine_init(&engine, &lvk_game);
	lvk_engine_set_instance_values(&engine, &instanceValues);
	lvk_host_screen_init(&upper);
	if (!engine.game) {
		/* Tables that point outside themselves: nothing can run safely. */
		showText();
		for (;;)
			swiWaitForVBlank();
	}
	loadSpriteTiles();
	loadFrames();
	lvk_engine_start_level(&engine, 0);
	playSounds();
	showText();
	drawSprites();

#ifdef LVK_METER
	cpuStartTiming(0);
#endif
	for (;;) {
		lvk_input_t input;
		u32 held;
#ifdef LVK_METER
		u32 started;
#endif

		swiWaitForVBlank();
		/* Inside the vertical blank: show what the last step made. */
		oamUpdate(&oamMain);
		if (lvk_engine_level(&engine) != shownLevel || lvk_engine_level_changed(&engine)) {
			shownLevel = lvk_engine_level(&engine);
			showLevel(shownLevel, map);
		} else if (ringActive) {
			lvk_ring_scroll(&ring, cameraX, cameraY);
		}
		bgSetScroll(bg, cameraX, cameraY);
		bgUpdate();

		scanKeys();
		held = keysHeld();
		input.keys = (u16)(held & lvk_host_key_mask());
		input.touch_x = input.touch_y = 0;
		if (held & KEY_TOUCH) {
			touchPosition touch;

			touchRead(&touch);
			input.touch_x = (s16)touch.px;
			input.touch_y = (s16)touch.py;
		}

#ifdef LVK_METER
		started = phaseStart = meterTicks();
		lvk_engine_step(&engine, &input);
		/* Each start waits for the ARM7's answer: the meter counts it. */
		playSounds();
		showMeter(meterTicks() - started);
#else
		lvk_engine_step(&engine, &input);
		playSounds();
#endif
		drawSprites();
		showText();
#ifdef LVK_METER
		showSoundLog();
#endif
	}
	return 0;
}
