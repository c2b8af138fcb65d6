// The synthesizer: the same bytes on every host (stored checksums of every
// preset and of edge values), and the rules the checksums stand on: pitch,
// levels, envelope, padding, clamping, variation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lvk_synth.h"

namespace {

std::vector<std::int8_t> Render(const lvk_synth_params_t& P) {
  std::vector<std::int8_t> Out(lvk_synth_length(&P));
  EXPECT_EQ(lvk_synth_render(&P, Out.data(), static_cast<std::uint32_t>(Out.size())), Out.size());
  return Out;
}

std::uint32_t Fnv(const std::vector<std::int8_t>& Bytes) {
  std::uint32_t H = 2166136261u;
  for (std::int8_t B : Bytes) H = (H ^ static_cast<std::uint8_t>(B)) * 16777619u;
  return H;
}

// Rising zero crossings between samples From and To.
int Crossings(const std::vector<std::int8_t>& S, std::size_t From, std::size_t To) {
  int N = 0;
  for (std::size_t i = From + 1; i < To; ++i) N += S[i - 1] < 0 && S[i] >= 0;
  return N;
}

lvk_synth_params_t Steady(std::int32_t Wave, std::int32_t Hz, std::int32_t Ms = 1000) {
  return {Wave, Hz, Hz, Ms, 0, 0, 100, 0, 0, 0};
}

TEST(Synth, RendersTheStoredBytes) {
  struct TCase {
    std::string Name;
    lvk_synth_params_t Params;
    std::uint32_t Length;
    std::uint32_t Checksum;
  };
  std::vector<TCase> Cases = {
      {"Coin", lvk_synth_presets[0].params, 3276, 483668965u},
      {"Jump", lvk_synth_presets[1].params, 4588, 2111044604u},
      {"Hit", lvk_synth_presets[2].params, 2624, 2818930801u},
      {"Shot", lvk_synth_presets[3].params, 3604, 2183685169u},
      {"Explosion", lvk_synth_presets[4].params, 16384, 2426218936u},
      {"Power-up", lvk_synth_presets[5].params, 11796, 2314380844u},
      {"Blip", lvk_synth_presets[6].params, 1148, 1706263937u},
      {"shortest", {LVK_WAVE_SQUARE_12, 8000, 20, 10, 10, 10, 127, 0, 0, 0}, 164, 2967316624u},
      {"longest with vibrato", {LVK_WAVE_TRIANGLE, 220, 880, 2000, 100, 500, 127, 50, 50, 15}, 32768, 3663640066u},
      {"noise at the top", {LVK_WAVE_NOISE, 8000, 8000, 300, 0, 0, 127, 50, 1, 0}, 4916, 2421794817u},
      {"square 75 with repeats", {LVK_WAVE_SQUARE_75, 100, 3000, 500, 0, 0, 64, 0, 0, 7}, 8192, 1353138629u},
  };
  for (const TCase& C : Cases) {
    std::vector<std::int8_t> S = Render(C.Params);
    EXPECT_EQ(S.size(), C.Length) << C.Name;
    EXPECT_EQ(Fnv(S), C.Checksum) << C.Name;
    EXPECT_EQ(S, Render(C.Params)) << C.Name;
  }
  const char* Names[LVK_SYNTH_PRESET_COUNT] = {"Coin", "Jump", "Hit", "Shot", "Explosion", "Power-up", "Blip"};
  for (int i = 0; i < LVK_SYNTH_PRESET_COUNT; ++i) EXPECT_STREQ(lvk_synth_presets[i].name, Names[i]);
}

TEST(Synth, PitchLevelsAndPadding) {
  // A steady square of f Hz crosses zero upwards f times a second, and sits
  // at exactly +-volume; the triangle reaches the volume too.
  for (std::int32_t Hz : {20, 440, 1000, 4000, 8000}) {
    std::vector<std::int8_t> S = Render(Steady(LVK_WAVE_SQUARE_50, Hz));
    EXPECT_NEAR(Crossings(S, 0, LVK_SYNTH_RATE), Hz, 1) << Hz;
    for (std::size_t i = 0; i < LVK_SYNTH_RATE; ++i) ASSERT_EQ(std::abs(S[i]), 100) << Hz << " at " << i;
  }
  std::vector<std::int8_t> Tri = Render(Steady(LVK_WAVE_TRIANGLE, 64));
  EXPECT_EQ(Tri[0], 0);
  EXPECT_EQ(*std::max_element(Tri.begin(), Tri.end()), 100);
  EXPECT_EQ(*std::min_element(Tri.begin(), Tri.end()), -100);
  // Duty: the share of high samples.
  for (auto [Wave, Percent] : {std::pair{LVK_WAVE_SQUARE_12, 12.5}, {LVK_WAVE_SQUARE_25, 25.0}, {LVK_WAVE_SQUARE_75, 75.0}}) {
    std::vector<std::int8_t> S = Render(Steady(Wave, 512));
    EXPECT_NEAR(100.0 * std::count(S.begin(), S.begin() + LVK_SYNTH_RATE, 100) / LVK_SYNTH_RATE, Percent, 0.1);
  }
  // A slide up crosses more often at its end. 14 ms are 229.4 samples: 229,
  // padded with silence to 232; too small a buffer gets nothing.
  std::vector<std::int8_t> Up = Render({LVK_WAVE_SQUARE_50, 200, 2000, 1000, 0, 0, 50, 0, 0, 0});
  EXPECT_LT(Crossings(Up, 0, 4096) * 3, Crossings(Up, 12288, 16384));
  std::vector<std::int8_t> Padded = Render(Steady(LVK_WAVE_SQUARE_50, 1000, 14));
  ASSERT_EQ(Padded.size(), 232u);
  EXPECT_EQ(std::abs(Padded[228]), 100);
  EXPECT_EQ(Padded[229] | Padded[230] | Padded[231], 0);
  std::vector<std::int8_t> Small(3275, 7);
  EXPECT_EQ(lvk_synth_render(&lvk_synth_presets[0].params, Small.data(), 3275), 0u);
  EXPECT_EQ(std::count(Small.begin(), Small.end(), 7), 3275);
}

TEST(Synth, Envelope) {
  // Attack from 0, decay to 0; ramps longer than the sound meet below the volume.
  lvk_synth_params_t P = {LVK_WAVE_SQUARE_50, 100, 100, 100, 25, 50, 120, 0, 0, 0};
  std::vector<std::int8_t> S = Render(P);
  const std::size_t Total = 1638, Attack = 409, Decay = 819;
  EXPECT_EQ(S[0], 0);
  EXPECT_EQ(S[Total - 1], 0);
  EXPECT_LT(std::abs(S[Attack / 2]), 70);
  EXPECT_EQ(std::abs(S[Attack + 1]), 120);
  EXPECT_EQ(std::abs(S[Total - Decay - 1]), 120);
  EXPECT_LT(std::abs(S[Total - Decay / 2]), 70);
  for (std::size_t i = 1; i < Attack; ++i) ASSERT_LE(std::abs(S[i - 1]), std::abs(S[i])) << i;
  for (std::size_t i = Total - Decay; i < Total; ++i) ASSERT_GE(std::abs(S[i - 1]), std::abs(S[i])) << i;
  P.attack_ms = P.decay_ms = 100;
  std::vector<std::int8_t> Peak = Render(P);
  EXPECT_EQ(*std::max_element(Peak.begin(), Peak.end()), 60);
  P.volume = 0;
  std::vector<std::int8_t> Silent = Render(P);
  EXPECT_EQ(std::count(Silent.begin(), Silent.end(), 0), static_cast<long>(Silent.size()));
}

TEST(Synth, ClampsEveryValue) {
  struct TCase {
    lvk_synth_params_t In, Out;
  };
  TCase Cases[] = {
      {{-1, 0, 100000, 0, -5, -5, -1, -1, -1, -1}, {LVK_WAVE_SQUARE_50, 20, 8000, 10, 0, 0, 0, 0, 0, 0}},
      {{6, 19, 8001, 5000, 3000, 2001, 128, 51, 51, 16}, {LVK_WAVE_SQUARE_50, 20, 8000, 2000, 2000, 2000, 127, 50, 50, 15}},
      {{LVK_WAVE_NOISE, 440, 20, 100, 101, 100, 127, 50, 50, 15}, {LVK_WAVE_NOISE, 440, 20, 100, 100, 100, 127, 50, 50, 15}},
  };
  for (const TCase& C : Cases) {
    lvk_synth_params_t P = C.In;
    lvk_synth_clamp(&P);
    EXPECT_EQ(0, std::memcmp(&P, &C.Out, sizeof P)) << P.wave << " " << P.start_hz << " " << P.length_ms;
    EXPECT_EQ(Render(C.In), Render(C.Out));
  }
}

TEST(Synth, RandomVariesDeterministically) {
  for (const lvk_synth_preset_t& Preset : lvk_synth_presets) {
    const lvk_synth_params_t& Base = Preset.params;
    int Changed = 0;
    for (std::uint32_t Seed = 0; Seed < 20; ++Seed) {
      lvk_synth_params_t A, B;
      lvk_synth_vary(&Base, Seed, &A);
      lvk_synth_vary(&Base, Seed, &B);
      ASSERT_EQ(0, std::memcmp(&A, &B, sizeof A)) << Preset.name << " seed " << Seed;
      // The kind of wave and the volume stay.
      EXPECT_EQ(A.wave <= LVK_WAVE_SQUARE_75 ? -1 : A.wave, Base.wave <= LVK_WAVE_SQUARE_75 ? -1 : Base.wave);
      EXPECT_EQ(A.volume, Base.volume);
      EXPECT_GE(A.start_hz * 10, Base.start_hz * 5);
      EXPECT_LE(A.start_hz * 10, Base.start_hz * 17);
      Changed += Render(A) != Render(Base);
    }
    EXPECT_GE(Changed, 19) << Preset.name;
  }
  lvk_synth_params_t P = lvk_synth_presets[0].params, Q;
  lvk_synth_vary(&P, 1, &Q);
  lvk_synth_vary(&P, 1, &P);  // in place
  EXPECT_EQ(0, std::memcmp(&P, &Q, sizeof P));
}

}  // namespace
