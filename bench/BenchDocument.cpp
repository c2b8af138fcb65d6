// Saving, loading and generating the C source of the large game.
#include <benchmark/benchmark.h>

#include "bench/LargeGame.h"
#include "behaviour/REventCollision.h"
#include "model/USound.h"
#include "generator/UBuildLog.h"
#include "generator/UGenerator.h"
#include "model/UDocument.h"
#include "model/UHistory.h"
#include "model/ULevel.h"

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

// Four levels of 256x256 cells (a million cells in all).
void BM_SaveWideGame(benchmark::State& State) {
  TGame& Game = WideGame().Game;
  for (auto _ : State) Game.Save();
}
BENCHMARK(BM_SaveWideGame)->Unit(benchmark::kMillisecond);

void BM_LoadWideGame(benchmark::State& State) {
  const std::string& FileName = WideGame().Game.FileName();
  for (auto _ : State) {
    TGame Loaded;
    Loaded.LoadFromFile(FileName);
    benchmark::DoNotOptimize(Loaded.LevelCount());
  }
}
BENCHMARK(BM_LoadWideGame)->Unit(benchmark::kMillisecond);

void BM_GenerateWideGame(benchmark::State& State) {
  TWideGame& G = WideGame();
  for (auto _ : State) {
    TTextBuildLog Log;
    GenerateSource(G.Game, G.Folder.Path(), Log);
  }
}
BENCHMARK(BM_GenerateWideGame)->Unit(benchmark::kMillisecond);

// The same with 64 variables, guards, texts and 64 sounds.
void BM_SaveLargeRulesGame(benchmark::State& State) {
  TGame& Game = LargeRulesGame().Game;
  for (auto _ : State) Game.Save();
}
BENCHMARK(BM_SaveLargeRulesGame)->Unit(benchmark::kMillisecond);

void BM_LoadLargeRulesGame(benchmark::State& State) {
  const std::string& FileName = LargeRulesGame().Game.FileName();
  for (auto _ : State) {
    TGame Loaded;
    Loaded.LoadFromFile(FileName);
    benchmark::DoNotOptimize(Loaded.SoundCount());
  }
}
BENCHMARK(BM_LoadLargeRulesGame)->Unit(benchmark::kMillisecond);

// Sounds are rendered once and kept: the first generation after loading
// renders all 64, as the Build window's does.
void BM_GenerateLargeRulesGame(benchmark::State& State) {
  TLargeGame& G = LargeRulesGame();
  for (auto _ : State) {
    State.PauseTiming();
    TGame Loaded;
    Loaded.LoadFromFile(G.Game.FileName());
    State.ResumeTiming();
    TTextBuildLog Log;
    GenerateSource(Loaded, G.Folder.Path(), Log);
    // Its full levels are crowded on purpose; any other error means the
    // rules or sounds took no part and the figure would mislead.
    for (const std::string& Line : Log.Lines())
      if (Line.rfind("ERROR: ", 0) == 0 && Line.find("live actors") == std::string::npos) State.SkipWithError(Line.c_str());
  }
}
BENCHMARK(BM_GenerateLargeRulesGame)->Unit(benchmark::kMillisecond);

// What the editor does after every change: one edit of a level cell ends,
// the content is taken and recorded as a step.
void BM_EditStepLargeGame(benchmark::State& State) {
  TDocument Document;
  Document.Open(LargeGame().Game.FileName());
  TGame& Game = Document.Game();
  TLevel* Level = Game.GetLevel(0);
  for (auto _ : State) {
    TEdit Edit(Game, "Edit level layout");
    Level->SetCell(0, 0, Level->GetCell(0, 0) ? nullptr : Game.GetActor(0));
  }
  State.counters["content bytes"] = static_cast<double>(Game.ContentBytes().size());
}
BENCHMARK(BM_EditStepLargeGame)->Unit(benchmark::kMillisecond);

// Undo and redo of such a step: each puts the content back in place.
void BM_UndoRedoLargeGame(benchmark::State& State) {
  TDocument Document;
  Document.Open(LargeGame().Game.FileName());
  TLevel* Level = Document.Game().GetLevel(0);
  {
    TEdit Edit(Document.Game(), "Edit level layout");
    Level->SetCell(0, 0, Level->GetCell(0, 0) ? nullptr : Document.Game().GetActor(0));
  }
  for (auto _ : State) {
    Document.Undo();
    Document.Redo();
  }
}
BENCHMARK(BM_UndoRedoLargeGame)->Unit(benchmark::kMillisecond);

// What a hundred steps of level editing keep in memory.
void BM_HistoryMemoryLargeGame(benchmark::State& State) {
  TGame& Game = LargeGame().Game;
  TLevel* Level = Game.GetLevel(1);
  std::size_t Stored = 0, Content = 0;
  for (auto _ : State) {
    TUndoHistory History;
    std::vector<std::size_t> Cuts;
    TContent Bytes = Game.ContentBytes(&Cuts);
    History.Reset(Bytes, Cuts);
    for (int i = 0; i < 100; ++i) {
      Level->SetCell(i % Level->Width(), 0, Game.GetActor(i % Game.ActorCount()));
      Bytes = Game.ContentBytes(&Cuts);
      History.Record("Cell", Bytes, {}, Cuts);
    }
    Stored = History.StoredBytes();
    Content = Bytes.size();
  }
  State.counters["content bytes"] = static_cast<double>(Content);
  State.counters["history bytes"] = static_cast<double>(Stored);
}
BENCHMARK(BM_HistoryMemoryLargeGame)->Iterations(1)->Unit(benchmark::kMillisecond);

// A file made mostly of names that refer to other items: Count tiles, as
// many solid actors each drawn with a tile and colliding with an actor
// stored after it, one level naming every actor, and a quarter as many
// sounds, each the music of a level. Reading it should grow with its size.
void BM_LoadManyNames(benchmark::State& State) {
  const int Count = static_cast<int>(State.range(0));
  TBenchFolder Folder;
  TGame Game;
  for (int i = 0; i < Count; ++i) Game.AddTile();
  for (int i = 0; i < Count; ++i) {
    TActor* Actor = Game.AddActor();
    Actor->SetTile(Game.GetTile(i));
    Actor->SetSolid(true);
  }
  for (int i = 0; i < Count; ++i) {
    THandler* Handler = Game.GetActor(i)->AddHandler();
    Handler->SetEvent(TEventCollision::ClassKind());
    static_cast<TEventCollision*>(Handler->Event())->SetOtherActor(*Game.GetActor(Count - 1 - i));
  }
  TLevel* Everyone = Game.AddLevel();
  Everyone->SetSize(Count, 1);
  for (int i = 0; i < Count; ++i) Everyone->SetCell(i, 0, Game.GetActor(i));
  for (int i = 0; i < Count / 4; ++i) Game.AddLevel()->SetMusic(Game.AddSound());
  Game.SetFileName(Folder.Path() + "/names.lvk");
  Game.Save();
  for (auto _ : State) {
    TGame Loaded;
    Loaded.LoadFromFile(Game.FileName());
    benchmark::DoNotOptimize(Loaded.ActorCount());
  }
  State.counters["file bytes"] = static_cast<double>(ReadWholeFile(Game.FileName()).size());
}
BENCHMARK(BM_LoadManyNames)->Arg(2000)->Arg(4000)->Arg(8000)->Unit(benchmark::kMillisecond);

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
