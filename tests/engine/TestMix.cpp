// The mixer's rules: voices summed and clipped, freed at their end, the
// oldest taken when all are busy, the music looping, stops, other rates.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "lvk_mix.h"

namespace {

std::vector<std::int16_t> Mix(lvk_mixer_t& M, std::uint32_t Frames) {
  std::vector<std::int16_t> Out(Frames, 12345);
  lvk_mix_render(&M, Out.data(), Frames);
  return Out;
}

TEST(Mix, VoicesAddUpClipAndEnd) {
  lvk_mixer_t M;
  lvk_mix_init(&M, 0);
  EXPECT_EQ(M.rate, static_cast<std::uint32_t>(LVK_MIX_SOURCE_RATE));
  EXPECT_EQ(Mix(M, 3), (std::vector<std::int16_t>{0, 0, 0}));

  const std::int8_t A[] = {10, -20, 127, -128};
  const std::int8_t B[] = {1, 1};
  lvk_mix_handle_t Ha = lvk_mix_play(&M, A, 4, 100);
  lvk_mix_handle_t Hb = lvk_mix_play(&M, B, 2, 200);  // volume clamped to 127
  EXPECT_EQ(lvk_mix_active(&M), 2);
  // Two at a time: B ends after two frames and its voice is free again.
  EXPECT_EQ(Mix(M, 2), (std::vector<std::int16_t>{1000 + 127, -2000 + 127}));
  EXPECT_FALSE(lvk_mix_playing(&M, Hb));
  EXPECT_TRUE(lvk_mix_playing(&M, Ha));
  EXPECT_EQ(Mix(M, 3), (std::vector<std::int16_t>{12700, -12800, 0}));
  EXPECT_EQ(lvk_mix_active(&M), 0);
  EXPECT_FALSE(lvk_mix_playing(&M, Ha));

  // Three loud voices go past the 16-bit range and are clipped.
  const std::int8_t Loud[] = {127, -128};
  for (int i = 0; i < 3; ++i) lvk_mix_play(&M, Loud, 2, 127);
  EXPECT_EQ(Mix(M, 2), (std::vector<std::int16_t>{32767, -32768}));
  // Nothing to play starts nothing.
  EXPECT_EQ(lvk_mix_play(&M, Loud, 0, 127), 0u);
  EXPECT_EQ(lvk_mix_play(&M, nullptr, 2, 127), 0u);
}

TEST(Mix, BusyVoicesMusicAndStops) {
  lvk_mixer_t M;
  lvk_mix_init(&M, LVK_MIX_SOURCE_RATE);
  std::vector<std::int8_t> Long(100, 1);
  const std::int8_t Tune[] = {1, 2, 3};
  lvk_mix_music(&M, Tune, 3, 1);
  std::vector<lvk_mix_handle_t> H;
  for (int i = 0; i < LVK_MIX_VOICES; ++i) H.push_back(lvk_mix_play(&M, Long.data(), 100, 1));
  Mix(M, 1);
  // A ninth sound takes the first one's voice; the music keeps its own.
  lvk_mix_handle_t Ninth = lvk_mix_play(&M, Long.data(), 100, 1);
  EXPECT_FALSE(lvk_mix_playing(&M, H[0]));
  EXPECT_TRUE(lvk_mix_playing(&M, H[1]));
  EXPECT_TRUE(lvk_mix_playing(&M, Ninth));
  EXPECT_EQ(lvk_mix_active(&M), LVK_MIX_VOICES + 1);
  lvk_mix_stop(&M, H[0]);  // names nothing any more: the ninth plays on
  EXPECT_TRUE(lvk_mix_playing(&M, Ninth));
  lvk_mix_stop(&M, Ninth);
  EXPECT_FALSE(lvk_mix_playing(&M, Ninth));
  lvk_mix_stop_samples(&M, Long.data() + 50, 1);  // inside the buffer: all its voices stop
  EXPECT_EQ(lvk_mix_active(&M), 1);
  // The music loops from its start (it played one frame above).
  EXPECT_EQ(Mix(M, 7), (std::vector<std::int16_t>{2, 3, 1, 2, 3, 1, 2}));
  EXPECT_EQ(lvk_mix_active(&M), 1);
  lvk_mix_play(&M, Long.data(), 100, 1);
  lvk_mix_stop_all(&M);
  EXPECT_EQ(lvk_mix_active(&M), 0);
  lvk_mix_music(&M, Tune, 3, 1);
  lvk_mix_music(&M, nullptr, 0, 0);
  EXPECT_EQ(lvk_mix_active(&M), 0);
}

TEST(Mix, OtherRates) {
  const std::int8_t Ramp[] = {0, 16, 32, 48};
  lvk_mixer_t M;
  // Twice the source rate: each sample, then halfway to the next; the last
  // one fades towards silence.
  lvk_mix_init(&M, 2 * LVK_MIX_SOURCE_RATE);
  lvk_mix_play(&M, Ramp, 4, 64);
  EXPECT_EQ(Mix(M, 9), (std::vector<std::int16_t>{0, 512, 1024, 1536, 2048, 2560, 3072, 1536, 0}));
  EXPECT_EQ(lvk_mix_active(&M), 0);
  // Half the rate: every other sample. At 44.1 kHz a second lasts a second,
  // give or take the step's rounding.
  lvk_mix_init(&M, LVK_MIX_SOURCE_RATE / 2);
  lvk_mix_play(&M, Ramp, 4, 64);
  EXPECT_EQ(Mix(M, 3), (std::vector<std::int16_t>{0, 2048, 0}));
  lvk_mix_init(&M, 44100);
  std::vector<std::int8_t> Second(LVK_MIX_SOURCE_RATE, 5);
  lvk_mix_handle_t H = lvk_mix_play(&M, Second.data(), LVK_MIX_SOURCE_RATE, 127);
  Mix(M, 44099);
  EXPECT_TRUE(lvk_mix_playing(&M, H));
  Mix(M, 4);
  EXPECT_FALSE(lvk_mix_playing(&M, H));
  // Rates are held within their range.
  lvk_mix_init(&M, 1);
  EXPECT_EQ(M.rate, static_cast<std::uint32_t>(LVK_MIX_MIN_RATE));
  lvk_mix_init(&M, 10000000);
  EXPECT_EQ(M.rate, static_cast<std::uint32_t>(LVK_MIX_MAX_RATE));
}

}  // namespace
