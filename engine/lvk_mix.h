/* The sound mixer of the editor's play window: the sounds a game starts,
 * playing at once, summed into one stream for the audio device.
 *
 * Portable C99 with no floating point, no allocation and no Qt: the host
 * keeps an lvk_mixer_t, starts sounds on it and asks it for blocks of
 * output, which it hands to its audio device (the play window to a
 * QAudioSink). Not thread-safe: one thread, or the host locks around every
 * call.
 *
 * Rules
 * - Input: signed 8-bit mono samples at LVK_MIX_SOURCE_RATE (16,384 Hz),
 *   the synthesizer's and the WAV import's form. The mixer only points at
 *   them: they must stay unchanged and alive until the voice ends or is
 *   stopped (lvk_mix_stop_samples stops every voice reading a buffer, for a
 *   host about to free or change one).
 * - Output: signed 16-bit mono at the rate the host chose in lvk_mix_init,
 *   1000..384000 Hz (others are clamped; 0 means LVK_MIX_SOURCE_RATE). At
 *   the source rate every output sample is a source sample; at other rates
 *   the mixer interpolates linearly between neighbouring samples.
 * - LVK_MIX_VOICES sounds play at once, plus one music voice. A sound
 *   started while all voices sound takes the voice of the sound that started
 *   first; the music is never taken. A sound's voice is freed when its last
 *   sample has been played. The music loops from its start until it is
 *   replaced or stopped.
 * - Volume 0..127, as the DS's sound channels take it. A voice adds
 *   sample * volume to the sum, so the loudest sample at volume 127 reaches
 *   half of the 16-bit range.
 * - Besides, LVK_MIX_SONG_CHANNELS song channels (lvk_seq_mix.h drives
 *   them from the song sequencer): each plays its sound at a rate of its
 *   own, and loops between two points of it when the sound has a loop
 *   (from its first sample up to the loop's end, then from the loop's
 *   start to its end, until stopped); a sound without one ends after its
 *   last sample. Sounds never take them.
 * - The sum is limited, never clipped: up to LVK_MIX_KNEE in size it is
 *   output as it is (one voice always is); beyond, it bends smoothly towards
 *   the 16-bit range, which it never reaches, so many loud voices stay
 *   apart instead of flattening into one square. The curve (lvk_mix_limit)
 *   depends on the sample alone: the same sums give the same output, at
 *   any block size.
 */
#ifndef LVK_MIX_H
#define LVK_MIX_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define LVK_MIX_SOURCE_RATE 16384
#define LVK_MIX_VOICES 8
#define LVK_MIX_SONG_CHANNELS 8
#define LVK_MIX_MIN_RATE 1000
#define LVK_MIX_MAX_RATE 384000
/* Sums up to this size pass the limiter unchanged. */
#define LVK_MIX_KNEE 24576

/* Names a started sound; 0 names none. A handle of a voice that ended or
 * was taken by a later sound names nothing any more. */
typedef uint32_t lvk_mix_handle_t;

/* Read-only for hosts. */
typedef struct lvk_mix_voice {
  const int8_t *data; /* 0: the voice is free */
  uint32_t length;    /* samples */
  uint32_t index;     /* the sample playing now */
  uint32_t fraction;  /* and how far towards the next, in 1/65536 */
  uint32_t serial;    /* when it started: larger is later */
  int32_t volume;
  int looping;        /* from Length back to Loop_start */
  uint32_t loop_start;
  uint32_t step;      /* source samples an output sample, in 1/65536; 0: the mixer's */
} lvk_mix_voice_t;

typedef struct lvk_mixer {
  lvk_mix_voice_t voices[LVK_MIX_VOICES];
  lvk_mix_voice_t music;
  lvk_mix_voice_t song[LVK_MIX_SONG_CHANNELS];
  uint32_t rate;   /* output samples a second */
  uint32_t step;   /* source samples an output sample, in 1/65536 */
  uint32_t serial; /* of the last sound started */
} lvk_mixer_t;

/* Silences everything and sets the output rate. */
void lvk_mix_init(lvk_mixer_t *mixer, uint32_t rate);

/* Starts Count samples at Volume (clamped to 0..127) on a free voice, or on
 * the oldest sound's. Returns its handle; 0, starting nothing, for no
 * samples. */
lvk_mix_handle_t lvk_mix_play(lvk_mixer_t *mixer, const int8_t *samples, uint32_t count, int32_t volume);

/* Stops the sound; nothing when the handle names none. */
void lvk_mix_stop(lvk_mixer_t *mixer, lvk_mix_handle_t handle);

/* 1 while the sound plays, else 0. */
int lvk_mix_playing(const lvk_mixer_t *mixer, lvk_mix_handle_t handle);

/* Loops Count samples at Volume as the music, in place of any music before;
 * no samples stop the music. */
void lvk_mix_music(lvk_mixer_t *mixer, const int8_t *samples, uint32_t count, int32_t volume);

/* Starts Count samples on song channel Channel (0..LVK_MIX_SONG_CHANNELS-1;
 * others do nothing) at Rate source samples a second in 1/256 and Volume
 * (clamped to 0..127), in place of what it played. With Loop_end above
 * Loop_start (both held within Count) it loops between them; else it plays
 * once. No samples silence the channel. */
void lvk_mix_song_start(lvk_mixer_t *mixer, int channel, const int8_t *samples, uint32_t count,
                        uint32_t loop_start, uint32_t loop_end, uint32_t rate, int32_t volume);

/* Changes the rate and volume of what song channel Channel plays. */
void lvk_mix_song_set(lvk_mixer_t *mixer, int channel, uint32_t rate, int32_t volume);

/* Silences song channel Channel. */
void lvk_mix_song_stop(lvk_mixer_t *mixer, int channel);

/* Stops every voice, the music included, that reads from the Count bytes
 * at Samples. */
void lvk_mix_stop_samples(lvk_mixer_t *mixer, const int8_t *samples, uint32_t count);

/* Stops every sound, the music and the song channels. */
void lvk_mix_stop_all(lvk_mixer_t *mixer);

/* Voices sounding now, the music and the song channels included. */
int lvk_mix_active(const lvk_mixer_t *mixer);

/* What the limiter makes of a sum (output units, any size): Sum itself up to
 * LVK_MIX_KNEE either way; beyond it KNEE + R*E/(E+R), E the excess and R
 * the room left to 32767, so rising, with no step, and below 32767 in size;
 * the same for a negative sum with the sign turned. */
int16_t lvk_mix_limit(int32_t sum);

/* Mixes the next Frames output samples into Out, moving every voice on;
 * silence when nothing plays. */
void lvk_mix_render(lvk_mixer_t *mixer, int16_t *out, uint32_t frames);

#ifdef __cplusplus
}
#endif

#endif
