// The mixer's rules: voices summed and limited, freed at their end, the
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

  // Three loud voices go past the 16-bit range and are limited: what the
  // limiter makes of their sum, inside the range.
  const std::int8_t Loud[] = {127, -128};
  for (int i = 0; i < 3; ++i) lvk_mix_play(&M, Loud, 2, 127);
  EXPECT_EQ(Mix(M, 2), (std::vector<std::int16_t>{lvk_mix_limit(3 * 127 * 127), lvk_mix_limit(-3 * 128 * 127)}));
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

TEST(Mix, LimiterBendsLoudSumsAndKeepsQuietOnes) {
  const std::int32_t One = 127 * 127, Knee = LVK_MIX_KNEE;
  // Up to the knee a sum is output as it is, loudest single voice included.
  for (std::int32_t Sum : {0, 1, -1, One, -128 * 127, Knee, -Knee}) EXPECT_EQ(lvk_mix_limit(Sum), Sum) << Sum;
  // Beyond it: inside the 16-bit range, on a curve that rises with no step
  // and keeps louder sums apart (a clip would make them all 32767).
  std::int32_t Before = Knee;
  for (std::int32_t Sum : {Knee + 2, Knee + 100, 2 * One, 3 * One, 5 * One, 9 * 128 * 127, 1 << 24, INT32_MAX}) {
    const std::int32_t Out = lvk_mix_limit(Sum);
    EXPECT_GT(Out, Before) << Sum;
    EXPECT_LT(Out, 32767) << Sum;
    EXPECT_LT(Out, Sum) << "never louder than the sum: " << Sum;
    EXPECT_EQ(lvk_mix_limit(-Sum), -Out) << "the same either way: " << Sum;
    Before = Out;
  }
  // No step at the knee: just past it the output follows the sum closely.
  EXPECT_GE(lvk_mix_limit(Knee + 100), Knee + 98);
  EXPECT_GT(lvk_mix_limit(INT32_MIN), -32768);
}

TEST(Mix, ManyLoudVoicesAreLimitedAlikeInAnyBlock) {
  // Nine loud voices (eight sounds and the music), each a rising ramp: the
  // mix follows the ramp, never flat at the range's end, and a mix taken in
  // blocks of any size gives the same samples.
  std::vector<std::int8_t> Ramp;
  for (int s = 0; s <= 127; s += 4) Ramp.push_back(static_cast<std::int8_t>(s));
  auto Start = [&Ramp](lvk_mixer_t& M) {
    lvk_mix_init(&M, LVK_MIX_SOURCE_RATE);
    lvk_mix_music(&M, Ramp.data(), static_cast<std::uint32_t>(Ramp.size()), 127);
    for (int i = 0; i < LVK_MIX_VOICES; ++i)
      lvk_mix_play(&M, Ramp.data(), static_cast<std::uint32_t>(Ramp.size()), 127);
  };
  lvk_mixer_t Whole, Pieces;
  Start(Whole);
  Start(Pieces);
  const auto Out = Mix(Whole, static_cast<std::uint32_t>(Ramp.size()));
  std::vector<std::int16_t> Parts;
  for (std::uint32_t n : {1u, 7u, 24u})
    for (std::int16_t S : Mix(Pieces, n)) Parts.push_back(S);
  EXPECT_EQ(Parts, Out);
  for (std::size_t i = 1; i < Out.size(); ++i) {
    EXPECT_GT(Out[i], Out[i - 1]) << i;
    EXPECT_EQ(Out[i], lvk_mix_limit(9 * Ramp[i] * 127)) << i;
  }
}

}  // namespace
