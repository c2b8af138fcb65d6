/* The synthesizer; lvk_synth.h states what it renders. Integer arithmetic
 * only. Pitches are held in 1/65536 Hz; the oscillators are 32-bit phase
 * accumulators, one full turn per period, so at 16,384 samples a second a
 * pitch of f Hz advances the phase by f * 2^18 a sample. */
#include "lvk_synth.h"

/* Full scale of a wave and of the envelope: 1.0 is 32768. */
#define ONE 32768

const lvk_synth_preset_t lvk_synth_presets[LVK_SYNTH_PRESET_COUNT] = {
  /*              wave                start  end  length attack decay vol depth rate repeat */
  {"Coin",      {LVK_WAVE_SQUARE_50,  1320, 1980,  200,  0,  150,  96,  0,  0,  1}},
  {"Jump",      {LVK_WAVE_SQUARE_25,   260,  720,  280,  4,  120,  96,  0,  0,  0}},
  {"Hit",       {LVK_WAVE_NOISE,      2400,  300,  160,  0,  150, 120,  0,  0,  0}},
  {"Shot",      {LVK_WAVE_SQUARE_12,  1800,  180,  220,  0,  200,  96,  0,  0,  0}},
  {"Explosion", {LVK_WAVE_NOISE,       900,   40, 1000,  5,  900, 127,  0,  0,  0}},
  {"Power-up",  {LVK_WAVE_SQUARE_50,   330,  990,  720,  6,  250,  90,  6, 12,  3}},
  {"Blip",      {LVK_WAVE_TRIANGLE,   1200, 1200,   70,  2,   40, 110,  0,  0,  0}},
};

static int32_t clamp32(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

/* floor(x / 2^s), also for negative x, whose shift C leaves to the compiler. */
static int64_t floor_shift(int64_t x, int s)
{
  return x >= 0 ? x >> s : -((-x + (((int64_t)1 << s) - 1)) >> s);
}

static uint32_t ms_to_samples(int32_t ms) { return (uint32_t)ms * LVK_SYNTH_RATE / 1000u; }

void lvk_synth_clamp(lvk_synth_params_t *p)
{
  if (p->wave < 0 || p->wave >= LVK_WAVE_COUNT) p->wave = LVK_WAVE_SQUARE_50;
  p->start_hz = clamp32(p->start_hz, LVK_SYNTH_MIN_HZ, LVK_SYNTH_MAX_HZ);
  p->end_hz = clamp32(p->end_hz, LVK_SYNTH_MIN_HZ, LVK_SYNTH_MAX_HZ);
  p->length_ms = clamp32(p->length_ms, LVK_SYNTH_MIN_MS, LVK_SYNTH_MAX_MS);
  p->attack_ms = clamp32(p->attack_ms, 0, p->length_ms);
  p->decay_ms = clamp32(p->decay_ms, 0, p->length_ms);
  p->volume = clamp32(p->volume, 0, LVK_SYNTH_MAX_VOLUME);
  p->vibrato_depth = clamp32(p->vibrato_depth, 0, LVK_SYNTH_MAX_VIBRATO_DEPTH);
  p->vibrato_rate = clamp32(p->vibrato_rate, 0, LVK_SYNTH_MAX_VIBRATO_RATE);
  p->repeat = clamp32(p->repeat, 0, LVK_SYNTH_MAX_REPEAT);
}

uint32_t lvk_synth_length(const lvk_synth_params_t *params)
{
  int32_t ms = clamp32(params->length_ms, LVK_SYNTH_MIN_MS, LVK_SYNTH_MAX_MS);
  return (ms_to_samples(ms) + 3u) & ~3u;
}

/* xorshift32: small, fast and the same everywhere; never seeded with 0. */
static uint32_t next_random(uint32_t *state)
{
  uint32_t x = *state;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  return *state = x;
}

static uint32_t mix_in(uint32_t hash, int32_t value)
{
  int i;
  for (i = 0; i < 4; ++i) {
    hash ^= ((uint32_t)value >> (8 * i)) & 0xFFu;
    hash *= 16777619u; /* FNV-1a */
  }
  return hash;
}

static uint32_t seed_of(const lvk_synth_params_t *p)
{
  uint32_t h = 2166136261u;
  h = mix_in(h, p->wave);
  h = mix_in(h, p->start_hz);
  h = mix_in(h, p->end_hz);
  h = mix_in(h, p->length_ms);
  h = mix_in(h, p->attack_ms);
  h = mix_in(h, p->decay_ms);
  h = mix_in(h, p->volume);
  h = mix_in(h, p->vibrato_depth);
  h = mix_in(h, p->vibrato_rate);
  h = mix_in(h, p->repeat);
  return h ? h : 1u;
}

/* A triangle of the phase, -ONE..ONE: 0 at phase 0, rising. */
static int32_t triangle(uint32_t phase)
{
  int32_t p = (int32_t)((phase + 0x40000000u) >> 16); /* 0..65535 */
  return p < 32768 ? 2 * p - ONE : 3 * ONE - 2 * p;
}

uint32_t lvk_synth_render(const lvk_synth_params_t *params, int8_t *out, uint32_t capacity)
{
  static const uint32_t duty[4] = {0x20000000u, 0x40000000u, 0x80000000u, 0xC0000000u};
  lvk_synth_params_t p = *params;
  uint32_t total, padded, attack, decay, parts, part_length, part, k, i;
  uint32_t attack_step = 0, decay_step = 0, phase = 0, lfo_phase = 0, lfo_step, random;
  int64_t start_q32, slide_q32;
  int32_t depth_q16, noise = 0;
  int vibrato;

  lvk_synth_clamp(&p);
  total = ms_to_samples(p.length_ms);
  padded = (total + 3u) & ~3u;
  if (!out || capacity < padded) return 0;

  attack = ms_to_samples(p.attack_ms);
  decay = ms_to_samples(p.decay_ms);
  /* The ramps' slopes in 1/65536 of an envelope step a sample. */
  if (attack) attack_step = ((uint32_t)ONE << 16) / attack;
  if (decay) decay_step = ((uint32_t)ONE << 16) / decay;

  parts = (uint32_t)p.repeat + 1u;
  part_length = total / parts; /* at least 163 / 16 samples */
  start_q32 = (int64_t)p.start_hz * 4294967296LL;
  slide_q32 = (int64_t)(p.end_hz - p.start_hz) * 4294967296LL / (int64_t)part_length;

  vibrato = p.vibrato_depth > 0 && p.vibrato_rate > 0;
  depth_q16 = p.vibrato_depth * 65536 / 100;
  lfo_step = (uint32_t)p.vibrato_rate << 18;

  random = seed_of(&p);
  noise = (int32_t)(next_random(&random) >> 16) - ONE;

  for (i = 0, part = 0, k = 0; i < total; ++i, ++k) {
    int64_t pitch_q16, level;
    int32_t wave, envelope = ONE;
    uint32_t before;

    if (k == part_length && part + 1 < parts) {
      k = 0;
      ++part;
    }
    /* Past the last part's end (the samples left over) the slide holds. */
    pitch_q16 = (start_q32 + slide_q32 * (int64_t)(k < part_length ? k : part_length)) >> 16;
    if (vibrato) {
      int64_t swing = floor_shift(pitch_q16 * depth_q16, 16);
      pitch_q16 += floor_shift(swing * triangle(lfo_phase), 15);
      lfo_phase += lfo_step;
      if (pitch_q16 < 65536) pitch_q16 = 65536;
      if (pitch_q16 > 8191LL * 65536) pitch_q16 = 8191LL * 65536;
    }

    before = phase;
    phase += (uint32_t)pitch_q16 << 2;
    switch (p.wave) {
      case LVK_WAVE_TRIANGLE:
        wave = triangle(before);
        break;
      case LVK_WAVE_NOISE:
        wave = noise;
        /* A new level each time the phase passes a half period. */
        if ((before ^ phase) & 0x80000000u) noise = (int32_t)(next_random(&random) >> 16) - ONE;
        break;
      default:
        wave = before < duty[p.wave] ? ONE : -ONE;
        break;
    }

    if (i < attack) envelope = (int32_t)(((uint64_t)i * attack_step) >> 16);
    if (total - 1u - i < decay) {
      int32_t falling = (int32_t)(((uint64_t)(total - 1u - i) * decay_step) >> 16);
      if (falling < envelope) envelope = falling;
    }

    level = (int64_t)wave * p.volume * envelope;
    out[i] = (int8_t)floor_shift(level + ((int64_t)1 << 29), 30);
  }
  for (; i < padded; ++i) out[i] = 0;
  return padded;
}

static uint32_t below(uint32_t *random, uint32_t n) { return next_random(random) % n; }

static int32_t between(uint32_t *random, int32_t lo, int32_t hi)
{
  return lo + (int32_t)below(random, (uint32_t)(hi - lo + 1));
}

static int32_t times(int32_t v, int32_t permille) { return (int32_t)((int64_t)v * permille / 1000); }

void lvk_synth_vary(const lvk_synth_params_t *base, uint32_t seed, lvk_synth_params_t *out)
{
  lvk_synth_params_t p = *base;
  uint32_t random = (seed ^ 0x9E3779B9u) ? (seed ^ 0x9E3779B9u) : 1u;
  int32_t together;
  int i;

  /* Warm the generator up: near seeds otherwise start alike. */
  for (i = 0; i < 4; ++i) next_random(&random);
  lvk_synth_clamp(&p);

  together = between(&random, 667, 1500);
  p.start_hz = times(times(p.start_hz, together), between(&random, 900, 1100));
  p.end_hz = times(times(p.end_hz, together), between(&random, 900, 1100));
  p.length_ms = times(p.length_ms, between(&random, 750, 1333));
  p.attack_ms = times(p.attack_ms, between(&random, 500, 1500));
  p.decay_ms = times(p.decay_ms, between(&random, 500, 1500));
  if (p.vibrato_depth > 0 && p.vibrato_rate > 0) {
    p.vibrato_depth = times(p.vibrato_depth, between(&random, 500, 1500));
    p.vibrato_rate = times(p.vibrato_rate, between(&random, 500, 1500));
  } else if (below(&random, 4) == 0) {
    p.vibrato_depth = between(&random, 3, 10);
    p.vibrato_rate = between(&random, 4, 12);
  }
  if (p.wave <= LVK_WAVE_SQUARE_75 && below(&random, 3) == 0) p.wave = (int32_t)below(&random, 4);
  if (below(&random, 5) == 0) p.repeat += below(&random, 2) ? 1 : -1;

  lvk_synth_clamp(&p);
  *out = p;
}
