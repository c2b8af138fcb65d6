// Writes every synthesizer preset, and the longest sound with vibrato, as
// WAV files to listen to and to look at (sox FILE -n stat, spectrogram).
// Built on request only:
//   cmake --build BUILD --target lurvik_write_presets
//   BUILD/tests/lurvik_write_presets FOLDER
#include <cstdio>
#include <string>
#include <vector>

#include "engine/lvk_synth.h"
#include "model/UWave.h"

namespace {

void Write(const std::string& Folder, const std::string& Name, const lvk_synth_params_t& Params) {
  std::vector<std::int8_t> Samples(lvk_synth_length(&Params));
  lvk_synth_render(&Params, Samples.data(), static_cast<std::uint32_t>(Samples.size()));
  std::string File = Folder + "/" + Name + ".wav";
  lvk::SaveWaveFile(File, Samples);
  std::printf("%s: %zu samples\n", File.c_str(), Samples.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  for (const lvk_synth_preset_t& Preset : lvk_synth_presets) Write(argv[1], Preset.name, Preset.params);
  lvk_synth_params_t Longest = {LVK_WAVE_TRIANGLE, 220, 880, 2000, 100, 500, 127, 20, 6, 0};
  Write(argv[1], "Longest", Longest);
  for (std::uint32_t Seed = 1; Seed <= 3; ++Seed) {
    lvk_synth_params_t Varied;
    lvk_synth_vary(&lvk_synth_presets[0].params, Seed, &Varied);
    Write(argv[1], "Coin-random" + std::to_string(Seed), Varied);
  }
  return 0;
}
