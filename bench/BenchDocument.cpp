// Saving, loading and generating the C source of the large game.
#include <benchmark/benchmark.h>

#include "bench/LargeGame.h"
#include "build/UBuildLog.h"
#include "build/UGenerator.h"

using namespace lvk;
using namespace lvk::bench;

namespace {

void BM_SaveLargeGame(benchmark::State& State) {
  TGame& Game = LargeGame().Game;
  for (auto _ : State) Game.Save();
}
BENCHMARK(BM_SaveLargeGame)->Unit(benchmark::kMillisecond);

void BM_LoadLargeGame(benchmark::State& State) {
  const std::string& FileName = LargeGame().Game.FileName();
  for (auto _ : State) {
    TGame Loaded;
    Loaded.LoadFromFile(FileName);
    benchmark::DoNotOptimize(Loaded.LevelCount());
  }
}
BENCHMARK(BM_LoadLargeGame)->Unit(benchmark::kMillisecond);

void BM_GenerateLargeGame(benchmark::State& State) {
  TLargeGame& G = LargeGame();
  for (auto _ : State) {
    TTextBuildLog Log;
    GenerateSource(G.Game, G.Folder.Path(), Log);
  }
}
BENCHMARK(BM_GenerateLargeGame)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  RegisterKinds();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  UnregisterKinds();
  return 0;
}
