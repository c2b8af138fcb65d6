// Sound: rendering every synthesizer preset and the worst case (2 s with
// vibrato), mixing a second of eight voices and the music for the play
// window, importing a 2-second WAV file of CD form; songs: one frame of the
// sequencer with eight busy channels, and a one-minute eight-channel song
// rendered as the WAV export does.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "engine/lvk_mix.h"
#include "engine/lvk_seq.h"
#include "engine/lvk_seq_mix.h"
#include "engine/lvk_synth.h"
#include "model/UWave.h"

namespace {

void Render(benchmark::State& State, const lvk_synth_params_t& Params) {
  std::vector<std::int8_t> Out(LVK_SYNTH_MAX_SAMPLES);
  std::uint32_t Samples = 0;
  for (auto _ : State) {
    Samples = lvk_synth_render(&Params, Out.data(), LVK_SYNTH_MAX_SAMPLES);
    benchmark::DoNotOptimize(Out.data());
  }
  State.SetItemsProcessed(static_cast<std::int64_t>(State.iterations()) * Samples);
}

void BM_SynthPreset(benchmark::State& State) {
  const lvk_synth_preset_t& Preset = lvk_synth_presets[State.range(0)];
  State.SetLabel(Preset.name);
  Render(State, Preset.params);
}
BENCHMARK(BM_SynthPreset)->DenseRange(0, LVK_SYNTH_PRESET_COUNT - 1);

// The longest sound, its pitch swinging all the time, in both kinds of wave
// that cost the most: the triangle and noise.
void BM_SynthWorstCase(benchmark::State& State) {
  lvk_synth_params_t P = {static_cast<std::int32_t>(State.range(0)), 220, 4000, 2000, 100, 500, 127, 50, 50, 15};
  State.SetLabel(P.wave == LVK_WAVE_NOISE ? "noise" : "triangle");
  Render(State, P);
}
BENCHMARK(BM_SynthWorstCase)->Arg(LVK_WAVE_TRIANGLE)->Arg(LVK_WAVE_NOISE);

// One second of output at 16,384 Hz (the samples' own rate) and at 48 kHz,
// in blocks of 1024 as an audio device asks for them; the eight voices and
// the music play all the time.
void BM_MixSecond(benchmark::State& State) {
  const auto Rate = static_cast<std::uint32_t>(State.range(0));
  std::vector<std::vector<std::int8_t>> Sounds;
  for (const lvk_synth_preset_t& Preset : lvk_synth_presets) {
    Sounds.emplace_back(lvk_synth_length(&Preset.params));
    lvk_synth_render(&Preset.params, Sounds.back().data(), static_cast<std::uint32_t>(Sounds.back().size()));
  }
  lvk_mixer_t Mixer;
  lvk_mix_init(&Mixer, Rate);
  std::vector<std::int16_t> Block(1024);
  for (auto _ : State) {
    for (std::uint32_t Done = 0; Done < Rate; Done += 1024) {
      for (int v = 0; v < LVK_MIX_VOICES; ++v)
        if (!Mixer.voices[v].data) {
          const auto& S = Sounds[v % Sounds.size()];
          lvk_mix_play(&Mixer, S.data(), static_cast<std::uint32_t>(S.size()), 100);
        }
      if (!Mixer.music.data) lvk_mix_music(&Mixer, Sounds[4].data(), static_cast<std::uint32_t>(Sounds[4].size()), 60);
      lvk_mix_render(&Mixer, Block.data(), 1024);
      benchmark::DoNotOptimize(Block.data());
    }
  }
  State.SetItemsProcessed(static_cast<std::int64_t>(State.iterations()) * Rate);
}
BENCHMARK(BM_MixSecond)->Arg(LVK_MIX_SOURCE_RATE)->Arg(48000);

// 2 s of 16-bit stereo at 44.1 kHz, converted to the sound's form.
std::vector<std::uint8_t> CdWave(std::uint32_t Frames) {
  std::vector<std::uint8_t> B;
  auto Id = [&](const char* S) {
    for (int i = 0; i < 4; ++i) B.push_back(static_cast<std::uint8_t>(S[i]));
  };
  auto Put = [&](std::uint32_t V, int Bytes) {
    for (int i = 0; i < Bytes; ++i) B.push_back(static_cast<std::uint8_t>(V >> (8 * i)));
  };
  const std::uint32_t Data = Frames * 4;
  Id("RIFF"), Put(36 + Data, 4), Id("WAVE");
  Id("fmt "), Put(16, 4), Put(1, 2), Put(2, 2), Put(44100, 4), Put(44100 * 4, 4), Put(4, 2), Put(16, 2);
  Id("data"), Put(Data, 4);
  for (std::uint32_t i = 0; i < Frames; ++i) {
    auto V = static_cast<std::uint32_t>(static_cast<std::int32_t>(i * 331 % 20000) - 10000);
    Put(V, 2), Put(0u - V, 2);
  }
  return B;
}

void BM_WaveImport(benchmark::State& State) {
  const std::vector<std::uint8_t> Bytes = CdWave(88200);
  for (auto _ : State) benchmark::DoNotOptimize(lvk::ReadWaveBytes(Bytes.data(), Bytes.size()));
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations()) * static_cast<std::int64_t>(Bytes.size()));
}
BENCHMARK(BM_WaveImport);

// Eight channels, a note on every row of every channel, each with an effect
// that works every frame (arpeggio, slides, vibrato, volume slide), twelve
// orders of 64 rows at tempo 5: 3,840 frames, over a minute.
struct TBusySong {
  std::vector<lvk_seq_cell_t> Cells;
  std::vector<std::uint16_t> Start{0};
  std::vector<std::uint8_t> Rows{64};
  std::vector<std::uint8_t> Orders = std::vector<std::uint8_t>(12, 0);
  std::vector<std::uint16_t> Instruments;
  std::vector<std::vector<std::int8_t>> Data;
  std::vector<lvk_seq_sound_t> Sounds;
  lvk_seq_song_t Song{};

  TBusySong() {
    const std::uint8_t Effects[] = {LVK_SEQ_FX_ARPEGGIO, LVK_SEQ_FX_SLIDE_UP, LVK_SEQ_FX_VIBRATO,
                                    LVK_SEQ_FX_VOLUME_SLIDE, LVK_SEQ_FX_SLIDE_DOWN, LVK_SEQ_FX_VIBRATO,
                                    LVK_SEQ_FX_ARPEGGIO, LVK_SEQ_FX_SLIDE_TO_NOTE};
    for (int r = 0; r < 64; ++r)
      for (int c = 0; c < LVK_SEQ_CHANNELS; ++c)
        Cells.push_back({static_cast<std::uint8_t>(25 + (r * 7 + c * 5) % 36), static_cast<std::uint8_t>(1 + c % 4),
                         12, Effects[c], 0x37});
    for (int i = 0; i < 4; ++i) {
      const lvk_synth_preset_t& Preset = lvk_synth_presets[i];
      Data.emplace_back(lvk_synth_length(&Preset.params));
      lvk_synth_render(&Preset.params, Data.back().data(), static_cast<std::uint32_t>(Data.back().size()));
      const auto Length = static_cast<std::uint32_t>(Data.back().size());
      Sounds.push_back({Data.back().data(), Length, Length / 2, Length});
      Instruments.push_back(static_cast<std::uint16_t>(i));
    }
    Song = {Cells.data(), Start.data(), Rows.data(), Orders.data(), Instruments.data(),
            static_cast<std::uint16_t>(Cells.size()), LVK_SEQ_CHANNELS, 5, 1, 12, 4, LVK_SEQ_NO_LOOP};
  }
};

void BM_SeqFrame(benchmark::State& State) {
  TBusySong Busy;
  lvk_seq_t Seq;
  lvk_seq_init(&Seq, nullptr, 4);
  lvk_seq_play(&Seq, &Busy.Song, 1);
  for (auto _ : State) {
    lvk_seq_step(&Seq);
    if (!Seq.playing) lvk_seq_play(&Seq, &Busy.Song, 1);
    benchmark::DoNotOptimize(Seq.channels);
  }
}
BENCHMARK(BM_SeqFrame);

void BM_SongMinute(benchmark::State& State) {
  TBusySong Busy;
  const auto Rate = static_cast<std::uint32_t>(State.range(0));
  std::vector<std::int16_t> Out(static_cast<std::size_t>(Rate) * 60);
  lvk_seq_t Seq;
  lvk_seq_init(&Seq, nullptr, 4);
  lvk_mixer_t Mixer;
  for (auto _ : State) {
    lvk_mix_init(&Mixer, Rate);
    const std::uint32_t N = lvk_seq_render(&Seq, &Mixer, &Busy.Song, Busy.Sounds.data(), 4, Out.data(),
                                           static_cast<std::uint32_t>(Out.size()), 3600);
    benchmark::DoNotOptimize(Out.data());
    if (N != Out.size()) State.SkipWithError("the song ended early");
  }
}
BENCHMARK(BM_SongMinute)->Arg(LVK_MIX_SOURCE_RATE)->Arg(44100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
