/* The sound synthesizer: a handful of values in, 8-bit PCM out.
 *
 * Portable C99 with no floating point, no allocation and no library calls:
 * the editor renders every made sound with it (for its pane, the play window
 * and the generated tables), and it gives the same bytes on every host. The
 * caller asks lvk_synth_length for the size and hands in the buffer.
 *
 * Output: signed 8-bit mono PCM at LVK_SYNTH_RATE (16,384) samples a second,
 * the form the DS's sound channels play as SoundFormat_8Bit (the hardware's
 * PCM8 is signed). The length is rounded up to a multiple of 4 samples and
 * the extra samples are silence (0), since a DS channel counts its data in
 * 32-bit words; a buffer the caller aligns to 4 bytes stays so.
 *
 * The sound, as rendered
 * - An oscillator at the pitch: a square with the wave's duty (high for the
 *   first 12.5, 25, 50 or 75 % of each period, starting high), a triangle
 *   (starting at 0, rising), or noise: a new random level every half
 *   period, from the synthesizer's own generator seeded from all the values,
 *   so the same values give the same noise everywhere.
 * - The pitch slides in a straight line (in Hz) from start_hz to end_hz.
 *   With repeat R the length is cut into R + 1 equal parts (the last takes
 *   the few samples left over) and the slide starts again in each; the
 *   oscillator runs on without a jump.
 * - Vibrato, when both depth and rate are above 0, swings the pitch up and
 *   down by depth percent in a triangle of rate Hz; the pitch it reaches is
 *   held within 1..8191 Hz, below half the sample rate.
 * - Envelope: the level rises in a straight line from 0 over the first
 *   attack_ms and falls to 0 over the last decay_ms; between them it is the
 *   full volume. Where the two ramps overlap the lower one counts, so a
 *   sound with attack and decay longer than itself peaks below its volume.
 * - A sample is the wave times the volume times the envelope, rounded to
 *   the nearest: a square at full envelope is exactly +volume or -volume.
 *
 * Values out of range are clamped, never refused (lvk_synth_clamp): an
 * unknown wave becomes LVK_WAVE_SQUARE_50; pitches to 20..8000 Hz; length
 * to 10..2000 ms; attack and decay each to 0..length; volume to 0..127;
 * vibrato depth to 0..50 %, rate to 0..50 Hz; repeat to 0..15.
 */
#ifndef LVK_SYNTH_H
#define LVK_SYNTH_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define LVK_SYNTH_RATE 16384
#define LVK_SYNTH_MIN_HZ 20
#define LVK_SYNTH_MAX_HZ 8000
#define LVK_SYNTH_MIN_MS 10
#define LVK_SYNTH_MAX_MS 2000
#define LVK_SYNTH_MAX_VOLUME 127
#define LVK_SYNTH_MAX_VIBRATO_DEPTH 50 /* percent of the pitch */
#define LVK_SYNTH_MAX_VIBRATO_RATE 50  /* Hz */
#define LVK_SYNTH_MAX_REPEAT 15
/* Samples of the longest sound: 2 s, already a multiple of 4. */
#define LVK_SYNTH_MAX_SAMPLES 32768

/* Waves, in the order the editor lists them. */
enum {
  LVK_WAVE_SQUARE_12 = 0, /* duty 12.5 % */
  LVK_WAVE_SQUARE_25 = 1,
  LVK_WAVE_SQUARE_50 = 2,
  LVK_WAVE_SQUARE_75 = 3,
  LVK_WAVE_TRIANGLE = 4,
  LVK_WAVE_NOISE = 5,
  LVK_WAVE_COUNT = 6
};

/* Plain integers, so that any value a file or a spin box holds can be
 * handed in and clamped. */
typedef struct lvk_synth_params {
  int32_t wave;          /* LVK_WAVE_... */
  int32_t start_hz;      /* pitch at the start of the slide */
  int32_t end_hz;        /* pitch at its end */
  int32_t length_ms;     /* the whole sound, repeats included */
  int32_t attack_ms;     /* rise from silence */
  int32_t decay_ms;      /* fall to silence at the end */
  int32_t volume;        /* peak level, 0..127 */
  int32_t vibrato_depth; /* percent of the pitch; 0: none */
  int32_t vibrato_rate;  /* Hz; 0: none */
  int32_t repeat;        /* further runs of the slide within the length */
} lvk_synth_params_t;

typedef struct lvk_synth_preset {
  const char *name;
  lvk_synth_params_t params;
} lvk_synth_preset_t;

#define LVK_SYNTH_PRESET_COUNT 7
/* "Coin", "Jump", "Hit", "Shot", "Explosion", "Power-up", "Blip". */
extern const lvk_synth_preset_t lvk_synth_presets[LVK_SYNTH_PRESET_COUNT];

/* Brings every value of Params into its range, as described above. */
void lvk_synth_clamp(lvk_synth_params_t *params);

/* Samples the sound takes, a multiple of 4: the length in ms at
 * LVK_SYNTH_RATE, rounded down, then up to the next multiple of 4. At least
 * 164 and at most LVK_SYNTH_MAX_SAMPLES. */
uint32_t lvk_synth_length(const lvk_synth_params_t *params);

/* Renders the sound (its values clamped on a copy) into Out. Returns the
 * samples written, lvk_synth_length(Params); 0, writing nothing, when
 * Capacity is smaller or Out is null. */
uint32_t lvk_synth_render(const lvk_synth_params_t *params, int8_t *out, uint32_t capacity);

/* A variation of Base for the "Random" button, the same for the same Base
 * and Seed: the pitches move together by a factor of 2/3..3/2, then each by
 * up to 10 % more; length by 3/4..4/3; attack and decay by 1/2..3/2; vibrato,
 * when there is some, by 1/2..3/2, and when there is none, one time in four
 * a light one is added; a square may get another duty (one time in three),
 * one time in five the repeat count moves by one. The wave's kind and the
 * volume stay. Out is clamped; Out may be Base. */
void lvk_synth_vary(const lvk_synth_params_t *base, uint32_t seed, lvk_synth_params_t *out);

#ifdef __cplusplus
}
#endif

#endif
