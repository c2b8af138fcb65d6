/* Songs through the mixer: the editor's play window, its WAV export and the
 * web page hand the sequencer's channels to the mixer's song channels, one
 * for one, after every step, and render a frame's share of samples.
 *
 * Portable C99, no allocation; the sounds stay the caller's and must stay
 * unchanged while a song channel plays them.
 */
#ifndef LVK_SEQ_MIX_H
#define LVK_SEQ_MIX_H

#include <stdint.h>

#include "lvk_mix.h"
#include "lvk_seq.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A game's sound as a song channel plays it. Loop_end above Loop_start:
 * held notes loop between them; else the sound plays once. */
typedef struct lvk_seq_sound {
  const int8_t *data;
  uint32_t length;
  uint32_t loop_start;
  uint32_t loop_end;
} lvk_seq_sound_t;

/* After lvk_seq_step: each song channel of Mixer starts, changes or stops
 * as the sequencer's channel says. Sounds out of the Count given are
 * silence. */
void lvk_seq_mix_apply(lvk_mixer_t *mixer, const lvk_seq_t *seq, const lvk_seq_sound_t *sounds, uint16_t count);

/* Output samples of the 1/60 s frame Frame (counted from 0) at Rate: the
 * frames of each second share its Rate samples, with no drift. */
uint32_t lvk_seq_frame_samples(uint32_t rate, uint32_t frame);

/* Plays Song from its start through the mixer (initialised by the caller,
 * at its rate) into Out, frame by frame, until it ends, goes back for the
 * first time (one pass), Max_frames have passed or Capacity is reached.
 * Returns the samples written; with Out 0 it only counts them (the mixer
 * untouched). */
uint32_t lvk_seq_render(lvk_seq_t *seq, lvk_mixer_t *mixer, const lvk_seq_song_t *song, const lvk_seq_sound_t *sounds,
                        uint16_t count, int16_t *out, uint32_t capacity, uint32_t max_frames);

/* A song playing live through a mixer that a host pulls blocks of any size
 * from (the editor's audio device, the web page's): the sequencer steps
 * once every 1/60 s of output, so the song keeps time to the sample, and
 * the same song gives the same samples in blocks of any size. */
typedef struct lvk_seq_player {
  lvk_seq_t seq;
  const lvk_seq_sound_t *sounds;
  uint16_t count;
  uint32_t frame; /* frames stepped since the song started */
  uint32_t left;  /* samples left of the current frame */
} lvk_seq_player_t;

/* Silent, with the game's sounds (Count of them, and their base notes). */
void lvk_seq_player_init(lvk_seq_player_t *player, const lvk_seq_sound_t *sounds, const uint8_t *base_notes,
                         uint16_t count);
/* Plays Song (lvk_seq_play's Restart) from the next sample on. */
void lvk_seq_player_play(lvk_seq_player_t *player, lvk_mixer_t *mixer, const lvk_seq_song_t *song, int restart);
/* Stops the song and silences its channels. */
void lvk_seq_player_stop(lvk_seq_player_t *player, lvk_mixer_t *mixer);
/* The next Frames samples of the mixer, the song stepped on its frames. */
void lvk_seq_player_render(lvk_seq_player_t *player, lvk_mixer_t *mixer, int16_t *out, uint32_t frames);

#ifdef __cplusplus
}
#endif

#endif
