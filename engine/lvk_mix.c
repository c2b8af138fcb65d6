/* The mixer; lvk_mix.h states its rules. Integer arithmetic on the caller's
 * lvk_mixer_t only. */
#include "lvk_mix.h"

#include <stddef.h>

/* Output samples mixed at a time into a sum on the stack. */
#define BLOCK 256
/* A handle: the voice's number + 1 in the low bits, its start's serial above. */
#define HANDLE_BITS 4
#define SERIAL_MASK 0x0FFFFFFFu

static int32_t clamp32(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

/* floor(x / 4096), also for negative x, whose shift C leaves to the compiler. */
static int32_t floor_4096(int32_t x) { return x >= 0 ? x / 4096 : -((-x + 4095) / 4096); }

void lvk_mix_init(lvk_mixer_t *m, uint32_t rate)
{
  int i;
  if (rate == 0) rate = LVK_MIX_SOURCE_RATE;
  if (rate < LVK_MIX_MIN_RATE) rate = LVK_MIX_MIN_RATE;
  if (rate > LVK_MIX_MAX_RATE) rate = LVK_MIX_MAX_RATE;
  for (i = 0; i < LVK_MIX_VOICES; ++i) m->voices[i].data = NULL;
  for (i = 0; i < LVK_MIX_SONG_CHANNELS; ++i) m->song[i].data = NULL;
  m->music.data = NULL;
  m->rate = rate;
  m->step = (uint32_t)(((uint64_t)LVK_MIX_SOURCE_RATE << 16) / rate);
  m->serial = 0;
}

static void start(lvk_mix_voice_t *v, const int8_t *samples, uint32_t count, int32_t volume, uint32_t serial,
                  int looping)
{
  v->data = samples;
  v->length = count;
  v->index = 0;
  v->fraction = 0;
  v->serial = serial;
  v->volume = clamp32(volume, 0, 127);
  v->looping = looping;
  v->loop_start = 0;
  v->step = 0;
}

lvk_mix_handle_t lvk_mix_play(lvk_mixer_t *m, const int8_t *samples, uint32_t count, int32_t volume)
{
  int i, chosen = -1;
  if (!samples || count == 0) return 0;
  for (i = 0; i < LVK_MIX_VOICES && chosen < 0; ++i)
    if (!m->voices[i].data) chosen = i;
  if (chosen < 0) {
    /* All busy: the sound that started first gives way. Serials are
     * compared by difference, so their wrap-around does not matter. */
    chosen = 0;
    for (i = 1; i < LVK_MIX_VOICES; ++i)
      if ((int32_t)(m->voices[i].serial - m->voices[chosen].serial) < 0) chosen = i;
  }
  ++m->serial;
  start(&m->voices[chosen], samples, count, volume, m->serial, 0);
  return ((m->serial & SERIAL_MASK) << HANDLE_BITS) | (uint32_t)(chosen + 1);
}

static lvk_mix_voice_t *voice_of(const lvk_mixer_t *m, lvk_mix_handle_t h)
{
  uint32_t n = h & ((1u << HANDLE_BITS) - 1u);
  const lvk_mix_voice_t *v;
  if (n == 0 || n > LVK_MIX_VOICES) return NULL;
  v = &m->voices[n - 1];
  if (!v->data || (v->serial & SERIAL_MASK) != h >> HANDLE_BITS) return NULL;
  return (lvk_mix_voice_t *)v;
}

void lvk_mix_stop(lvk_mixer_t *m, lvk_mix_handle_t h)
{
  lvk_mix_voice_t *v = voice_of(m, h);
  if (v) v->data = NULL;
}

int lvk_mix_playing(const lvk_mixer_t *m, lvk_mix_handle_t h) { return voice_of(m, h) != NULL; }

void lvk_mix_music(lvk_mixer_t *m, const int8_t *samples, uint32_t count, int32_t volume)
{
  if (!samples || count == 0)
    m->music.data = NULL;
  else
    start(&m->music, samples, count, volume, 0, 1);
}

static int reads_from(const lvk_mix_voice_t *v, const int8_t *samples, uint32_t count)
{
  /* Compared as addresses: the voice's data and the buffer overlap. */
  uintptr_t a = (uintptr_t)v->data, b = (uintptr_t)samples;
  return v->data && a < b + count && b < a + v->length;
}

/* Source samples an output sample, in 1/65536, for Rate in 1/256 Hz; at
 * least 1, and at most 2^24 (256 source samples an output sample). */
static uint32_t step_of(const lvk_mixer_t *m, uint32_t rate)
{
  uint64_t step = ((uint64_t)rate << 8) / m->rate;
  return step < 1 ? 1 : step > (1u << 24) ? (1u << 24) : (uint32_t)step;
}

void lvk_mix_song_start(lvk_mixer_t *m, int channel, const int8_t *samples, uint32_t count,
                        uint32_t loop_start, uint32_t loop_end, uint32_t rate, int32_t volume)
{
  lvk_mix_voice_t *v;
  if (channel < 0 || channel >= LVK_MIX_SONG_CHANNELS) return;
  v = &m->song[channel];
  if (!samples || count == 0) {
    v->data = NULL;
    return;
  }
  if (loop_end > count) loop_end = count;
  if (loop_start < loop_end) {
    start(v, samples, loop_end, volume, 0, 1);
    v->loop_start = loop_start;
  } else {
    start(v, samples, count, volume, 0, 0);
  }
  v->step = step_of(m, rate);
}

void lvk_mix_song_set(lvk_mixer_t *m, int channel, uint32_t rate, int32_t volume)
{
  if (channel < 0 || channel >= LVK_MIX_SONG_CHANNELS || !m->song[channel].data) return;
  m->song[channel].step = step_of(m, rate);
  m->song[channel].volume = clamp32(volume, 0, 127);
}

void lvk_mix_song_stop(lvk_mixer_t *m, int channel)
{
  if (channel >= 0 && channel < LVK_MIX_SONG_CHANNELS) m->song[channel].data = NULL;
}

void lvk_mix_stop_samples(lvk_mixer_t *m, const int8_t *samples, uint32_t count)
{
  int i;
  for (i = 0; i < LVK_MIX_VOICES; ++i)
    if (reads_from(&m->voices[i], samples, count)) m->voices[i].data = NULL;
  for (i = 0; i < LVK_MIX_SONG_CHANNELS; ++i)
    if (reads_from(&m->song[i], samples, count)) m->song[i].data = NULL;
  if (reads_from(&m->music, samples, count)) m->music.data = NULL;
}

void lvk_mix_stop_all(lvk_mixer_t *m)
{
  int i;
  for (i = 0; i < LVK_MIX_VOICES; ++i) m->voices[i].data = NULL;
  for (i = 0; i < LVK_MIX_SONG_CHANNELS; ++i) m->song[i].data = NULL;
  m->music.data = NULL;
}

int lvk_mix_active(const lvk_mixer_t *m)
{
  int i, n = m->music.data != NULL;
  for (i = 0; i < LVK_MIX_VOICES; ++i) n += m->voices[i].data != NULL;
  for (i = 0; i < LVK_MIX_SONG_CHANNELS; ++i) n += m->song[i].data != NULL;
  return n;
}

/* Adds Frames samples of the voice to Sum, in 1/4096, and moves it on. */
static void add_voice(lvk_mix_voice_t *v, int32_t *sum, uint32_t frames, uint32_t step)
{
  uint32_t i;
  if (v->step) step = v->step;
  for (i = 0; i < frames && v->data; ++i) {
    int32_t s0 = v->data[v->index], s1;
    if (v->index + 1 < v->length)
      s1 = v->data[v->index + 1];
    else
      s1 = v->looping ? v->data[v->loop_start] : 0;
    sum[i] += (s0 * 4096 + (s1 - s0) * (int32_t)(v->fraction >> 4)) * v->volume;

    v->fraction += step;
    v->index += v->fraction >> 16;
    v->fraction &= 0xFFFFu;
    if (v->index >= v->length) {
      if (v->looping)
        v->index = v->loop_start + (v->index - v->length) % (v->length - v->loop_start);
      else
        v->data = NULL;
    }
  }
}

int16_t lvk_mix_limit(int32_t sum)
{
  const int64_t room = 32767 - LVK_MIX_KNEE;
  int64_t size = sum < 0 ? -(int64_t)sum : sum, excess;
  if (size <= LVK_MIX_KNEE) return (int16_t)sum;
  excess = size - LVK_MIX_KNEE;
  /* excess * room fits 64 bits for any 32-bit sum */
  size = LVK_MIX_KNEE + excess * room / (excess + room);
  return (int16_t)(sum < 0 ? -size : size);
}

void lvk_mix_render(lvk_mixer_t *m, int16_t *out, uint32_t frames)
{
  int32_t sum[BLOCK];
  while (frames > 0) {
    uint32_t n = frames < BLOCK ? frames : BLOCK, i;
    int v;
    for (i = 0; i < n; ++i) sum[i] = 0;
    for (v = 0; v < LVK_MIX_VOICES; ++v) add_voice(&m->voices[v], sum, n, m->step);
    add_voice(&m->music, sum, n, m->step);
    for (v = 0; v < LVK_MIX_SONG_CHANNELS; ++v) add_voice(&m->song[v], sum, n, m->step);
    for (i = 0; i < n; ++i) out[i] = lvk_mix_limit(floor_4096(sum[i]));
    out += n;
    frames -= n;
  }
}
