/* The song sequencer: a song's rows read at its tempo, 60 frames a second,
 * its effects applied each frame, and for each song channel the sound to
 * play, at which rate and volume. Hosts play the channels: the editor and
 * the web page through the mixer (lvk_seq_mix.h), the DS on its hardware
 * channels 0..7.
 *
 * Portable C99 with no floating point, no allocation and no library calls:
 * the DS runs it every frame, and every host gets the same numbers.
 *
 * A song
 * - Up to LVK_SEQ_CHANNELS channels; patterns of rows, each row one cell a
 *   channel; an order list of patterns, played in turn; a loop point (an
 *   order the song goes on from after its last one) or none (it ends).
 * - A cell: a note (1..84: C1..B7), a note-off or none; an instrument (an
 *   index + 1 into the song's list of the game's sounds) or none; a volume
 *   0..15 or none; one effect and its value.
 *
 * The rules, frame by frame
 * - The tempo is frames a row (1..31). A row is read on its first frame
 *   (frame 0 of the row); row r of an unbroken song starts on frame r x tempo.
 * - A note starts the channel's instrument anew from its first sample, at
 *   the note's pitch (the sound's base note plays at the sound's own rate);
 *   a note-off silences the channel; a note with no instrument, ever, on its
 *   channel plays nothing. An instrument sets the volume to full; a volume
 *   sets it to the value; a note keeps the volume the channel has.
 * - Pitch is counted in LVK_SEQ_FINE steps a semitone. Slides and vibrato
 *   move it; the pitch heard is held within C1..B7.
 * - Effects (value xy: x its high four bits, y its low four):
 *   ARPEGGIO xy: frames 0, 1, 2 of each three play the note, x and y
 *     semitones above it.
 *   SLIDE_UP / SLIDE_DOWN v: v fine steps a frame, on every frame but the
 *     row's first.
 *   SLIDE_TO_NOTE v: the row's note does not start anew; the pitch moves v
 *     fine steps a frame (0: the speed before) towards it, on every frame
 *     but the row's first, and stops there.
 *   VIBRATO xy: the pitch swings around the note in a sine of 64 steps,
 *     x steps a frame, by up to y x 2 fine steps; 0 keeps the value before.
 *   VOLUME_SLIDE xy: the volume rises x (or, when x is 0, falls y) quarter
 *     steps of the volume column a frame, on every frame but the row's
 *     first, within 0..15.
 *   NOTE_CUT v: the channel falls silent on frame v of the row.
 *   SET_TEMPO v: the tempo becomes v (1..31, larger held to 31) from this
 *     row on; 0 does nothing.
 *   JUMP v: after this row the song goes on from order v's first row.
 *   END_PATTERN v: after this row the song goes on from row v of the next
 *     order (row 0 when the pattern is shorter).
 * - After the last order the song goes on from its loop point, or ends: its
 *   channels fall silent and it stops. Each time the song goes back (to its
 *   loop point, or by a jump to an order not after the one playing) it
 *   counts one more pass: a WAV export plays until the first.
 */
#ifndef LVK_SEQ_H
#define LVK_SEQ_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define LVK_SEQ_CHANNELS 8
#define LVK_SEQ_FINE 16                /* pitch steps a semitone */
#define LVK_SEQ_MIN_NOTE 1             /* C1 */
#define LVK_SEQ_MAX_NOTE 84            /* B7 */
#define LVK_SEQ_DEFAULT_BASE_NOTE 37   /* C4 */
#define LVK_SEQ_NOTE_OFF 255
#define LVK_SEQ_NO_VOLUME 255
#define LVK_SEQ_NO_LOOP 255
#define LVK_SEQ_MIN_TEMPO 1
#define LVK_SEQ_MAX_TEMPO 31
#define LVK_SEQ_MIN_ROWS 16
#define LVK_SEQ_MAX_ROWS 64
#define LVK_SEQ_MAX_PATTERNS 64
#define LVK_SEQ_MAX_ORDERS 255
#define LVK_SEQ_MAX_INSTRUMENTS 255
#define LVK_SEQ_NONE 0xFFFFu           /* no sound on a channel */
/* The rate a sound plays at its base note: the synthesizer's. */
#define LVK_SEQ_SOURCE_RATE 16384
/* The loudest a channel plays, as the DS's channels and the mixer take it. */
#define LVK_SEQ_MAX_OUT_VOLUME 127

enum {
  LVK_SEQ_FX_NONE = 0,
  LVK_SEQ_FX_ARPEGGIO = 1,
  LVK_SEQ_FX_SLIDE_UP = 2,
  LVK_SEQ_FX_SLIDE_DOWN = 3,
  LVK_SEQ_FX_SLIDE_TO_NOTE = 4,
  LVK_SEQ_FX_VIBRATO = 5,
  LVK_SEQ_FX_VOLUME_SLIDE = 6,
  LVK_SEQ_FX_NOTE_CUT = 7,
  LVK_SEQ_FX_SET_TEMPO = 8,
  LVK_SEQ_FX_JUMP = 9,
  LVK_SEQ_FX_END_PATTERN = 10,
  LVK_SEQ_FX_COUNT = 11
};

typedef struct lvk_seq_cell {
  uint8_t note;       /* 0: none; 1..84; LVK_SEQ_NOTE_OFF */
  uint8_t instrument; /* 0: none; else an index + 1 into the song's instruments */
  uint8_t volume;     /* 0..15; LVK_SEQ_NO_VOLUME */
  uint8_t effect;     /* LVK_SEQ_FX_... */
  uint8_t value;
} lvk_seq_cell_t;

typedef struct lvk_seq_song {
  const lvk_seq_cell_t *cells;   /* every pattern's rows, a row's channels in turn */
  const uint16_t *pattern_start; /* the first cell of each pattern */
  const uint8_t *pattern_rows;   /* rows of each pattern */
  const uint8_t *orders;         /* the pattern of each order */
  const uint16_t *instruments;   /* the game's sound of each instrument */
  uint16_t cell_count;
  uint8_t channels;              /* 1..LVK_SEQ_CHANNELS */
  uint8_t tempo;                 /* frames a row at the start */
  uint8_t pattern_count;
  uint8_t order_count;
  uint8_t instrument_count;
  uint8_t loop;                  /* an order, or LVK_SEQ_NO_LOOP */
} lvk_seq_song_t;

/* One song channel. Hosts read the first four fields after each step. */
typedef struct lvk_seq_channel {
  uint16_t sound;   /* the game's sound playing, or LVK_SEQ_NONE: silent */
  uint8_t trigger;  /* 1: start Sound from its first sample this frame */
  uint8_t volume;   /* 0..LVK_SEQ_MAX_OUT_VOLUME */
  uint32_t rate;    /* source samples a second, in 1/256 */
  /* The sequencer's own. */
  int16_t pitch;    /* in fine steps: note x LVK_SEQ_FINE */
  int16_t target;   /* where SLIDE_TO_NOTE goes */
  uint8_t level;    /* volume in quarter steps: 0..60 */
  uint8_t note;
  uint8_t instrument;
  uint8_t effect, value;
  uint8_t porta;    /* SLIDE_TO_NOTE's speed */
  uint8_t vibrato;  /* VIBRATO's xy */
  uint8_t phase;    /* VIBRATO's place in its sine, 0..63 */
} lvk_seq_channel_t;

typedef struct lvk_seq {
  const lvk_seq_song_t *song;    /* 0: none */
  const uint8_t *base_notes;     /* of the game's sounds; 0: all C4 */
  uint16_t sound_count;
  uint8_t playing;
  uint8_t tempo;
  uint8_t frame;                 /* of the row: 0..tempo-1 */
  uint8_t row;
  uint8_t order;
  uint8_t next_row;              /* where the next row is, once this one is over */
  uint16_t next_order;
  uint8_t broken;                /* 1: the row jumps or ends its pattern */
  uint16_t passes;
  lvk_seq_channel_t channels[LVK_SEQ_CHANNELS];
} lvk_seq_t;

/* No song, silent. Base_notes (Count of them, one per game sound; 0 for
 * all C4) stays the caller's and must outlive the sequencer's use. */
void lvk_seq_init(lvk_seq_t *seq, const uint8_t *base_notes, uint16_t sound_count);

/* Plays Song: from its start when Restart is set or another song (or none)
 * was playing or paused, else on from where it stopped. A song that fails
 * lvk_seq_check is not played (the sequencer stops). */
void lvk_seq_play(lvk_seq_t *seq, const lvk_seq_song_t *song, int restart);

/* Pauses the song where it is; its channels fall silent. */
void lvk_seq_stop(lvk_seq_t *seq);

/* One frame (1/60 s): rows, effects, the channels' sounds, rates and
 * volumes. Clears every trigger first; nothing more when nothing plays. */
void lvk_seq_step(lvk_seq_t *seq);

/* 1 when every index of Song is in range (patterns, rows, orders,
 * instruments, the loop point, cell counts) and Sound_count covers its
 * instruments; else 0. */
int lvk_seq_check(const lvk_seq_song_t *song, uint16_t sound_count);

/* The rate (source samples a second, in 1/256) at which a sound whose base
 * note is Base plays at Pitch (fine steps): LVK_SEQ_SOURCE_RATE x 2 to the
 * power (Pitch - Base x FINE) / (12 x FINE), to within 1 in 50,000. Base
 * 0 is C4. */
uint32_t lvk_seq_rate(int32_t pitch, int32_t base_note);

#ifdef __cplusplus
}
#endif

#endif
