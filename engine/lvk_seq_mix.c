/* The sequencer's channels on the mixer's song channels; lvk_seq_mix.h
 * states the rules. */
#include "lvk_seq_mix.h"

#include <stddef.h>

void lvk_seq_mix_apply(lvk_mixer_t *m, const lvk_seq_t *s, const lvk_seq_sound_t *sounds, uint16_t count)
{
  int i;
  for (i = 0; i < LVK_SEQ_CHANNELS && i < LVK_MIX_SONG_CHANNELS; ++i) {
    const lvk_seq_channel_t *c = &s->channels[i];
    if (c->sound == LVK_SEQ_NONE || c->sound >= count || !sounds) {
      lvk_mix_song_stop(m, i);
    } else if (c->trigger) {
      const lvk_seq_sound_t *snd = &sounds[c->sound];
      lvk_mix_song_start(m, i, snd->data, snd->length, snd->loop_start, snd->loop_end, c->rate, c->volume);
    } else {
      lvk_mix_song_set(m, i, c->rate, c->volume);
    }
  }
}

uint32_t lvk_seq_frame_samples(uint32_t rate, uint32_t frame)
{
  uint32_t f = frame % 60u;
  return (uint32_t)(((uint64_t)(f + 1u) * rate) / 60u - ((uint64_t)f * rate) / 60u);
}

uint32_t lvk_seq_render(lvk_seq_t *s, lvk_mixer_t *m, const lvk_seq_song_t *song, const lvk_seq_sound_t *sounds,
                        uint16_t count, int16_t *out, uint32_t capacity, uint32_t max_frames)
{
  uint32_t done = 0, frame;
  lvk_seq_play(s, song, 1);
  for (frame = 0; frame < max_frames && done < capacity && s->passes == 0; ++frame) {
    uint32_t n;
    lvk_seq_step(s);
    if (!s->playing) break;
    n = lvk_seq_frame_samples(m->rate, frame);
    if (n > capacity - done) n = capacity - done;
    if (out) {
      lvk_seq_mix_apply(m, s, sounds, count);
      lvk_mix_render(m, out + done, n);
    }
    done += n;
  }
  lvk_seq_stop(s);
  lvk_seq_mix_apply(m, s, sounds, count);
  return done;
}

void lvk_seq_player_init(lvk_seq_player_t *p, const lvk_seq_sound_t *sounds, const uint8_t *base_notes, uint16_t count)
{
  lvk_seq_init(&p->seq, base_notes, count);
  p->sounds = sounds;
  p->count = count;
  p->frame = 0;
  p->left = 0;
}

void lvk_seq_player_play(lvk_seq_player_t *p, lvk_mixer_t *m, const lvk_seq_song_t *song, int restart)
{
  lvk_seq_play(&p->seq, song, restart);
  if (!p->seq.playing) lvk_seq_mix_apply(m, &p->seq, p->sounds, p->count);
  p->frame = 0;
  p->left = 0;
}

void lvk_seq_player_stop(lvk_seq_player_t *p, lvk_mixer_t *m)
{
  lvk_seq_stop(&p->seq);
  lvk_seq_mix_apply(m, &p->seq, p->sounds, p->count);
  p->left = 0;
}

void lvk_seq_player_render(lvk_seq_player_t *p, lvk_mixer_t *m, int16_t *out, uint32_t frames)
{
  while (frames > 0) {
    uint32_t n;
    if (p->left == 0) {
      if (p->seq.playing) {
        lvk_seq_step(&p->seq);
        lvk_seq_mix_apply(m, &p->seq, p->sounds, p->count);
      }
      p->left = lvk_seq_frame_samples(m->rate, p->frame++);
    }
    n = frames < p->left ? frames : p->left;
    lvk_mix_render(m, out, n);
    out += n;
    frames -= n;
    p->left -= n;
  }
}
