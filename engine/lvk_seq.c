/* The sequencer; lvk_seq.h states its rules. Integers only, on the
 * caller's lvk_seq_t. */
#include "lvk_seq.h"

#include <stddef.h>

#define FULL_LEVEL 60 /* volume 15 in quarter steps */
#define MIN_PITCH (LVK_SEQ_MIN_NOTE * LVK_SEQ_FINE)
#define MAX_PITCH (LVK_SEQ_MAX_NOTE * LVK_SEQ_FINE)

/* 65536 x 2^(i/192): one octave in fine steps. */
static const uint32_t octave[12 * LVK_SEQ_FINE] = {
  65536, 65773, 66011, 66250, 66489, 66730, 66971, 67213, 67456, 67700, 67945, 68191,
  68438, 68685, 68933, 69183, 69433, 69684, 69936, 70189, 70443, 70698, 70953, 71210,
  71468, 71726, 71985, 72246, 72507, 72769, 73032, 73297, 73562, 73828, 74095, 74363,
  74632, 74902, 75172, 75444, 75717, 75991, 76266, 76542, 76819, 77096, 77375, 77655,
  77936, 78218, 78501, 78785, 79069, 79355, 79642, 79930, 80220, 80510, 80801, 81093,
  81386, 81681, 81976, 82273, 82570, 82869, 83169, 83469, 83771, 84074, 84378, 84683,
  84990, 85297, 85606, 85915, 86226, 86538, 86851, 87165, 87480, 87796, 88114, 88433,
  88752, 89073, 89396, 89719, 90043, 90369, 90696, 91024, 91353, 91684, 92015, 92348,
  92682, 93017, 93354, 93691, 94030, 94370, 94711, 95054, 95398, 95743, 96089, 96436,
  96785, 97135, 97487, 97839, 98193, 98548, 98905, 99262, 99621, 99982, 100343, 100706,
  101070, 101436, 101803, 102171, 102540, 102911, 103283, 103657, 104032, 104408, 104786, 105165,
  105545, 105927, 106310, 106694, 107080, 107468, 107856, 108246, 108638, 109031, 109425, 109821,
  110218, 110617, 111017, 111418, 111821, 112226, 112631, 113039, 113448, 113858, 114270, 114683,
  115098, 115514, 115932, 116351, 116772, 117194, 117618, 118043, 118470, 118899, 119329, 119760,
  120194, 120628, 121065, 121502, 121942, 122383, 122825, 123270, 123715, 124163, 124612, 125063,
  125515, 125969, 126425, 126882, 127341, 127801, 128263, 128727, 129193, 129660, 130129, 130600,
};

/* 255 x sin(2 pi i / 64): the vibrato's swing. */
static const int16_t sine[64] = {
  0, 25, 50, 74, 98, 120, 142, 162, 180, 197, 212, 225, 236, 244, 250, 254,
  255, 254, 250, 244, 236, 225, 212, 197, 180, 162, 142, 120, 98, 74, 50, 25,
  0, -25, -50, -74, -98, -120, -142, -162, -180, -197, -212, -225, -236, -244, -250, -254,
  -255, -254, -250, -244, -236, -225, -212, -197, -180, -162, -142, -120, -98, -74, -50, -25,
};

uint32_t lvk_seq_rate(int32_t pitch, int32_t base_note)
{
  int32_t d, oct, shift;
  if (base_note <= 0) base_note = LVK_SEQ_DEFAULT_BASE_NOTE;
  d = pitch - base_note * LVK_SEQ_FINE;
  /* floor division, for negative distances too */
  oct = d >= 0 ? d / (12 * LVK_SEQ_FINE) : -((-d + 12 * LVK_SEQ_FINE - 1) / (12 * LVK_SEQ_FINE));
  d -= oct * 12 * LVK_SEQ_FINE;
  /* 16384 x 256 = 2^22, and the table holds 2^16 for one: shift by 6 + octaves */
  shift = 6 + oct;
  if (shift >= 14) return 0xFFFFFFFFu; /* far past anything a note reaches */
  if (shift >= 0) return octave[d] << shift;
  if (shift <= -17) return 0;
  return octave[d] >> -shift;
}

static int32_t clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

static void silence(lvk_seq_channel_t *c)
{
  c->sound = LVK_SEQ_NONE;
  c->trigger = 0;
  c->volume = 0;
  c->rate = 0;
}

static void silence_all(lvk_seq_t *s)
{
  int i;
  for (i = 0; i < LVK_SEQ_CHANNELS; ++i) silence(&s->channels[i]);
}

static void rewind(lvk_seq_t *s)
{
  int i;
  for (i = 0; i < LVK_SEQ_CHANNELS; ++i) {
    lvk_seq_channel_t *c = &s->channels[i];
    silence(c);
    c->trigger = 0;
    c->pitch = c->target = LVK_SEQ_DEFAULT_BASE_NOTE * LVK_SEQ_FINE;
    c->level = FULL_LEVEL;
    c->note = c->instrument = 0;
    c->effect = c->value = 0;
    c->porta = c->vibrato = c->phase = 0;
  }
  s->tempo = s->song ? (uint8_t)clamp(s->song->tempo, LVK_SEQ_MIN_TEMPO, LVK_SEQ_MAX_TEMPO) : 6;
  s->frame = 0;
  s->row = 0;
  s->order = 0;
  s->next_row = 0;
  s->next_order = 0;
  s->broken = 0;
  s->passes = 0;
}

void lvk_seq_init(lvk_seq_t *s, const uint8_t *base_notes, uint16_t sound_count)
{
  s->song = NULL;
  s->base_notes = base_notes;
  s->sound_count = sound_count;
  s->playing = 0;
  rewind(s);
}

int lvk_seq_check(const lvk_seq_song_t *song, uint16_t sound_count)
{
  uint32_t i;
  if (!song || !song->cells || !song->pattern_start || !song->pattern_rows || !song->orders) return 0;
  if (song->channels < 1 || song->channels > LVK_SEQ_CHANNELS) return 0;
  if (song->pattern_count < 1 || song->pattern_count > LVK_SEQ_MAX_PATTERNS) return 0;
  if (song->order_count < 1) return 0;
  if (song->loop != LVK_SEQ_NO_LOOP && song->loop >= song->order_count) return 0;
  if (song->instrument_count && !song->instruments) return 0;
  for (i = 0; i < song->pattern_count; ++i) {
    uint32_t rows = song->pattern_rows[i];
    if (rows < 1 || rows > LVK_SEQ_MAX_ROWS) return 0;
    if ((uint32_t)song->pattern_start[i] + rows * song->channels > song->cell_count) return 0;
  }
  for (i = 0; i < song->order_count; ++i)
    if (song->orders[i] >= song->pattern_count) return 0;
  for (i = 0; i < song->instrument_count; ++i)
    if (song->instruments[i] >= sound_count) return 0;
  for (i = 0; i < song->cell_count; ++i)
    if (song->cells[i].instrument > song->instrument_count) return 0;
  return 1;
}

void lvk_seq_play(lvk_seq_t *s, const lvk_seq_song_t *song, int restart)
{
  if (!lvk_seq_check(song, s->sound_count)) {
    s->song = NULL;
    s->playing = 0;
    rewind(s);
    return;
  }
  if (restart || song != s->song) {
    s->song = song;
    rewind(s);
  }
  s->playing = 1;
}

void lvk_seq_stop(lvk_seq_t *s)
{
  int i;
  s->playing = 0;
  silence_all(s);
  for (i = 0; i < LVK_SEQ_CHANNELS; ++i) s->channels[i].trigger = 0;
}

static int base_note_of(const lvk_seq_t *s, uint16_t sound)
{
  return s->base_notes && sound < s->sound_count ? s->base_notes[sound] : LVK_SEQ_DEFAULT_BASE_NOTE;
}

/* The row's cells, on its first frame. */
static void read_row(lvk_seq_t *s)
{
  const lvk_seq_song_t *song = s->song;
  uint8_t pattern = song->orders[s->order];
  const lvk_seq_cell_t *cell = song->cells + song->pattern_start[pattern] + (uint32_t)s->row * song->channels;
  int i;
  s->broken = 0;
  for (i = 0; i < song->channels; ++i, ++cell) {
    lvk_seq_channel_t *c = &s->channels[i];
    c->effect = cell->effect;
    c->value = cell->value;
    if (cell->instrument) {
      c->instrument = cell->instrument;
      c->level = FULL_LEVEL;
    }
    if (cell->volume <= 15) c->level = (uint8_t)(cell->volume * 4);
    if (cell->note == LVK_SEQ_NOTE_OFF) {
      silence(c);
    } else if (cell->note >= LVK_SEQ_MIN_NOTE && cell->note <= LVK_SEQ_MAX_NOTE) {
      if (c->effect == LVK_SEQ_FX_SLIDE_TO_NOTE && c->sound != LVK_SEQ_NONE) {
        c->target = (int16_t)(cell->note * LVK_SEQ_FINE);
        c->note = cell->note;
      } else {
        c->note = cell->note;
        c->pitch = c->target = (int16_t)(cell->note * LVK_SEQ_FINE);
        c->phase = 0;
        if (c->instrument) {
          c->sound = song->instruments[c->instrument - 1];
          c->trigger = 1;
        }
      }
    }
    switch (c->effect) {
    case LVK_SEQ_FX_SLIDE_TO_NOTE:
      if (c->value) c->porta = c->value;
      break;
    case LVK_SEQ_FX_VIBRATO:
      if (c->value & 0xF0) c->vibrato = (uint8_t)((c->vibrato & 0x0F) | (c->value & 0xF0));
      if (c->value & 0x0F) c->vibrato = (uint8_t)((c->vibrato & 0xF0) | (c->value & 0x0F));
      break;
    case LVK_SEQ_FX_SET_TEMPO:
      if (c->value) s->tempo = (uint8_t)clamp(c->value, LVK_SEQ_MIN_TEMPO, LVK_SEQ_MAX_TEMPO);
      break;
    case LVK_SEQ_FX_JUMP:
      s->next_order = c->value;
      s->next_row = 0;
      s->broken = 1;
      break;
    case LVK_SEQ_FX_END_PATTERN:
      s->next_order = (uint16_t)(s->order + 1u);
      s->next_row = c->value;
      s->broken = 1;
      break;
    default:
      break;
    }
  }
}

/* The effects of one frame, and what the host hears. */
static void apply(lvk_seq_t *s, lvk_seq_channel_t *c)
{
  int32_t pitch, level = c->level;
  int later = s->frame > 0;
  switch (c->effect) {
  case LVK_SEQ_FX_SLIDE_UP:
    if (later) c->pitch = (int16_t)clamp(c->pitch + c->value, MIN_PITCH, MAX_PITCH);
    break;
  case LVK_SEQ_FX_SLIDE_DOWN:
    if (later) c->pitch = (int16_t)clamp(c->pitch - c->value, MIN_PITCH, MAX_PITCH);
    break;
  case LVK_SEQ_FX_SLIDE_TO_NOTE:
    if (later) {
      if (c->pitch < c->target)
        c->pitch = (int16_t)(c->pitch + c->porta > c->target ? c->target : c->pitch + c->porta);
      else if (c->pitch > c->target)
        c->pitch = (int16_t)(c->pitch - c->porta < c->target ? c->target : c->pitch - c->porta);
    }
    break;
  case LVK_SEQ_FX_VOLUME_SLIDE:
    if (later) {
      level += (c->value >> 4) ? (c->value >> 4) : -(c->value & 0x0F);
      c->level = (uint8_t)clamp(level, 0, FULL_LEVEL);
    }
    break;
  case LVK_SEQ_FX_NOTE_CUT:
    if (s->frame == c->value) silence(c);
    break;
  default:
    break;
  }
  if (c->sound == LVK_SEQ_NONE) return;

  pitch = c->pitch;
  if (c->effect == LVK_SEQ_FX_ARPEGGIO) {
    int step = s->frame % 3;
    if (step == 1) pitch += (c->value >> 4) * LVK_SEQ_FINE;
    if (step == 2) pitch += (c->value & 0x0F) * LVK_SEQ_FINE;
  } else if (c->effect == LVK_SEQ_FX_VIBRATO) {
    pitch += sine[c->phase] * (c->vibrato & 0x0F) / 128;
    c->phase = (uint8_t)((c->phase + (c->vibrato >> 4)) & 63);
  }
  pitch = clamp(pitch, MIN_PITCH, MAX_PITCH);
  c->rate = lvk_seq_rate(pitch, base_note_of(s, c->sound));
  c->volume = (uint8_t)((c->level * LVK_SEQ_MAX_OUT_VOLUME + FULL_LEVEL / 2) / FULL_LEVEL);
}

/* Once a row's frames are over: where the song goes on. */
static void advance(lvk_seq_t *s)
{
  const lvk_seq_song_t *song = s->song;
  uint32_t order = s->next_order, row = s->next_row;
  if (!s->broken) {
    if (s->row + 1u < song->pattern_rows[song->orders[s->order]]) {
      ++s->row;
      return;
    }
    order = s->order + 1u;
    row = 0;
  }
  if (order >= song->order_count) {
    if (song->loop == LVK_SEQ_NO_LOOP) {
      s->order = song->order_count; /* past the end: the next step ends the song */
      return;
    }
    order = song->loop;
    row = 0;
    ++s->passes;
  } else if (s->broken && order <= s->order) {
    ++s->passes; /* a jump back */
  }
  if (row >= song->pattern_rows[song->orders[order]]) row = 0;
  s->order = (uint8_t)order;
  s->row = (uint8_t)row;
}

void lvk_seq_step(lvk_seq_t *s)
{
  int i;
  for (i = 0; i < LVK_SEQ_CHANNELS; ++i) s->channels[i].trigger = 0;
  if (!s->playing || !s->song) return;
  if (s->frame == 0) {
    if (s->order >= s->song->order_count) {
      s->playing = 0;
      silence_all(s);
      return;
    }
    read_row(s);
  }
  for (i = 0; i < s->song->channels; ++i) apply(s, &s->channels[i]);
  if (++s->frame >= s->tempo) {
    s->frame = 0;
    advance(s);
  }
}
