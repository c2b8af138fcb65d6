// The play window: opening it on the large game (the game's tables built
// from the document, the first level started and drawn, the window on
// screen), and the host's work per frame on a crowded level (128 live
// instances, all moving, bouncing off walls and running through each
// other): the engine's step plus drawing both screens, with and without the
// paint that zooms them onto the window. Runs on Qt's offscreen platform
// unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>
#include <QTest>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/LargeGame.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventCreate.h"
#include "generator/UBuildLog.h"
#include "generator/UGameTables.h"
#include "ui/play/FPlay.h"
#include "ui/common/UApplication.h"
#include "ui/play/UPlayConsole.h"
#include "ui/play/UPlayRender.h"

using namespace lvk;
using namespace lvk::bench;

namespace {

void AddSpeed(THandler& Handler, const TActionKind& Kind, int Arg1, int Arg2, bool Relative) {
  auto* Action = static_cast<TActionSpeed*>(Handler.AddAction(Kind));
  Action->SetArg1(std::to_string(Arg1));
  Action->SetArg2(std::to_string(Arg2));
  Action->SetRelative(Relative);
}

THandler& OnCollision(TActor& Actor, TActor& Other, bool Overlap) {
  THandler& Handler = *Actor.AddHandler();
  Handler.SetEvent(TEventCollision::ClassKind());
  auto* Event = static_cast<TEventCollision*>(Handler.Event());
  Event->SetOtherActor(Other);
  Event->SetOverlap(Overlap);
  return Handler;
}

// Walls round the screen and a few posts; 128 balls of two kinds in a
// checkerboard, off in opposite diagonals at different speeds. A wall turns
// a ball back on its axis; the kinds run through each other.
struct TStressGame {
  TGame Game;

  TStressGame() {
    for (int k = 0; k < 4; ++k) SetPicture(*Game.AddTile(), VariedPicture(k * 97));
    auto Actor = [&](int Tile) -> TActor& {
      TActor& A = *Game.AddActor();
      A.SetTile(Game.GetTile(Tile));
      return A;
    };
    TActor& Floor = Actor(0);
    TActor& WallX = Actor(1);
    TActor& WallY = Actor(1);
    TActor& Post = Actor(1);
    TActor& Red = Actor(2);
    TActor& Blue = Actor(3);
    struct {
      TActor& Ball;
      TActor& Other;
      int Sx, Sy, Dx, Dy;
    } const Kinds[] = {{Red, Blue, 24, 16, 1, 1}, {Blue, Red, 16, 24, -1, -1}};
    for (const auto& Kind : Kinds) {
      THandler& Create = *Kind.Ball.AddHandler();
      Create.SetEvent(TEventCreate::ClassKind());
      AddSpeed(Create, TActionSetSpeedSize::ClassKind(), Kind.Sx, Kind.Sy, false);
      AddSpeed(Create, TActionSetSpeedDir::ClassKind(), Kind.Dx, Kind.Dy, false);
      // Two relative steps with the negated direction turn it round.
      AddSpeed(OnCollision(Kind.Ball, WallX, false), TActionSetSpeedDir::ClassKind(), -Kind.Dx * 2, 0, true);
      AddSpeed(OnCollision(Kind.Ball, WallY, false), TActionSetSpeedDir::ClassKind(), 0, -Kind.Dy * 2, true);
      OnCollision(Kind.Ball, Post, false);
      OnCollision(Kind.Ball, Kind.Other, true);
    }
    TLevel& Level = *Game.AddLevel();
    Level.SetSize(32, 24);
    for (int Row = 0; Row < 24; ++Row)
      for (int Column = 0; Column < 32; ++Column) {
        TActor* Cell = &Floor;
        if (Column == 0 || Column == 31) Cell = &WallX;
        else if (Row == 0 || Row == 23) Cell = &WallY;
        else if ((Row == 4 || Row == 19) && Column % 8 == 4) Cell = &Post;
        else if (Row >= 8 && Row < 16 && Column >= 8 && Column < 24) Cell = (Row + Column) % 2 ? &Blue : &Red;
        Level.SetCell(Column, Row, Cell);
      }
    Game.SetTitle("Stress");
  }
};

TStressGame& StressGame() {
  static TStressGame G;
  return G;
}

std::unique_ptr<TfrmPlay> ShowPlayWindow(const TGame& Game) {
  auto Play = std::make_unique<TfrmPlay>([&Game]() -> const TGame* { return &Game; });
  Play->Play(0);
  Play->show();
  if (!QTest::qWaitForWindowExposed(Play.get())) throw std::runtime_error("the play window never showed");
  return Play;
}

// From the menu command to the window on screen with the first frame drawn.
void BM_OpenPlayWindowLargeGame(benchmark::State& State) {
  const TGame& Game = LargeGame().Game;
  for (auto _ : State) {
    auto Play = ShowPlayWindow(Game);
    Play->pnlScreens->repaint();
    State.PauseTiming();
    Play.reset();
    QCoreApplication::processEvents();
    State.ResumeTiming();
  }
}
BENCHMARK(BM_OpenPlayWindowLargeGame)->Unit(benchmark::kMillisecond);

// Its largest part: the tables from the document.
void BM_GameTablesLargeGame(benchmark::State& State) {
  const TGame& Game = LargeGame().Game;
  for (auto _ : State) {
    TTextBuildLog Log;
    benchmark::DoNotOptimize(BuildGameTables(Game, Log));
  }
}
BENCHMARK(BM_GameTablesLargeGame)->Unit(benchmark::kMillisecond);

// One frame as the frame clock runs it: the engine's step, both screens
// drawn, the window told to repaint; Painted adds the paint that zooms the
// screens onto the window (2x). The level starts afresh every ten seconds of
// play, outside the timing, so the crowd never settles.
void BM_PlayFrameStressLevel(benchmark::State& State, bool Painted) {
  auto Play = ShowPlayWindow(StressGame().Game);
  Play->SetPaused(true);
  int Frame = 0;
  for (auto _ : State) {
    if (++Frame == 600) {
      State.PauseTiming();
      Play->RestartLevel();
      Frame = 0;
      State.ResumeTiming();
    }
    Play->RunFrames(1);
    if (Painted) Play->pnlScreens->repaint();
  }
  State.counters["live"] = Play->Engine().live_count;
}
BENCHMARK_CAPTURE(BM_PlayFrameStressLevel, Step, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlayFrameStressLevel, Painted, true)->Unit(benchmark::kMicrosecond);

// The drawing alone: the lower screen with 128 sprites, and the console.
void BM_DrawScreensStressLevel(benchmark::State& State) {
  TTextBuildLog Log;
  const TGameTables Tables = BuildGameTables(StressGame().Game, Log);
  const lvk_game_t Game = Tables.Game();
  const TPlayVideo Video = MakePlayVideo(Tables);
  lvk_engine_t Engine;
  lvk_engine_init(&Engine, &Game);
  lvk_engine_start_level(&Engine, 0);
  TPlayConsole Console;
  Console.Write(WelcomeText("Stress"));
  std::vector<std::uint32_t> Pixels(2 * ScreenPixels);
  for (auto _ : State) {
    DrawConsoleScreen(Console, Pixels.data());
    DrawLevelScreen(Video, Tables.Backgrounds[0].data(), Engine, Pixels.data() + ScreenPixels);
    benchmark::DoNotOptimize(Pixels.data());
  }
  State.counters["live"] = Engine.live_count;
}
BENCHMARK(BM_DrawScreensStressLevel)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TLurvikApplication App(argc, argv);
  RegisterKinds();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  LargeGame();  // made before anything is timed
  StressGame();
  // Qt's fonts and styles load with the first window, not in the timings.
  ShowPlayWindow(StressGame().Game);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  UnregisterKinds();
  return 0;
}
