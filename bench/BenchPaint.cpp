// The painter on a 64x64 frame (8x8 tiles): a freehand stroke, a flood fill,
// and a stroke's end, when its tiles are written and the step recorded in
// the large game. Each should take well under a 60 Hz screen's frame (16.7 ms).
#include <benchmark/benchmark.h>

#include "LargeGame.h"
#include "model/UDocument.h"
#include "model/UPixels.h"
#include "model/UTileBlock.h"

using namespace lvk;

namespace {

constexpr int Side = 64;

// A drag across the picture in small steps, as mouse moves come.
void Stroke(TPixels& P, std::uint8_t Index) {
  int X = 0, Y = 0;
  for (int i = 1; i <= Side; ++i) {
    const int NX = i, NY = (i * i) % Side;
    P.DrawLine(X, Y, NX, NY, Index);
    X = NX;
    Y = NY;
  }
}

void BM_PaintStroke64(benchmark::State& State) {
  TPixels P(Side, Side);
  std::uint8_t Index = 1;
  for (auto _ : State) {
    Stroke(P, Index);
    Index = static_cast<std::uint8_t>(Index % 200 + 1);
    benchmark::DoNotOptimize(P.Data().data());
  }
}
BENCHMARK(BM_PaintStroke64)->Unit(benchmark::kMicrosecond);

// The worst fill: every pixel of the picture, around a maze of strokes.
void BM_PaintFill64(benchmark::State& State) {
  TPixels Maze(Side, Side);
  for (int x = 2; x < Side; x += 4) Maze.DrawLine(x, (x / 4) % 2 ? 0 : 4, x, (x / 4) % 2 ? Side - 5 : Side - 1, 9);
  std::uint8_t Index = 1;
  for (auto _ : State) {
    Maze.FloodFill(0, 0, Index);
    Index = Index == 1 ? 2 : 1;
    benchmark::DoNotOptimize(Maze.Data().data());
  }
}
BENCHMARK(BM_PaintFill64)->Unit(benchmark::kMicrosecond);

// A stroke's end in the large game: 64 tiles read, the changed ones written
// in palette colours, the step recorded.
void BM_PaintCommit64(benchmark::State& State) {
  TDocument Document;
  Document.Open(bench::LargeGame().Game.FileName());
  TGame& Game = Document.Game();
  std::vector<TTile*> Tiles;
  for (int i = 0; i < 64; ++i) Tiles.push_back(Game.GetTile(i));
  const TTileBlock Block(Tiles, 8, 8);
  TPixels P = Block.Read(Game.Palette());
  std::uint8_t Index = 1;
  for (auto _ : State) {
    Stroke(P, Index);
    P.FloodFill(Side - 1, Side - 1, Index);
    Index = static_cast<std::uint8_t>(Index % 200 + 1);
    TEdit Edit(Game, "Pencil");
    Block.Write(P, Game.Palette());
  }
}
BENCHMARK(BM_PaintCommit64)->Unit(benchmark::kMillisecond);

}  // namespace
