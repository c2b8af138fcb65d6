// The editor with the large game: opening it in the main window (load and
// tree rebuild, then the first paint), starting the main window until it is
// on screen, and the process's memory once the game is open. Runs on Qt's
// offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>

#include "bench/LargeGame.h"
#include "ui/editors/FLevelEditor.h"
#include "ui/main/FMain.h"
#include "ui/common/UApplication.h"

using namespace lvk;
using namespace lvk::bench;

namespace {

// A field of /proc/self/status in kB (VmRSS, VmHWM), 0 when absent.
double StatusKb(const std::string& Field) {
  std::ifstream Status("/proc/self/status");
  std::string Line;
  while (std::getline(Status, Line))
    if (Line.rfind(Field + ":", 0) == 0) return std::stod(Line.substr(Field.size() + 1));
  return 0;
}

std::unique_ptr<TfrmMain> ShowMainWindow() {
  auto Main = std::make_unique<TfrmMain>();
  Main->show();
  if (!QTest::qWaitForWindowExposed(Main.get())) throw std::runtime_error("the main window never showed");
  return Main;
}

// Whatever the window has queued (the tree's layout and paint) is done.
void Settle() { QCoreApplication::processEvents(); }

// OpenGameFile alone: the load and the tree rebuild.
void BM_OpenLargeGame(benchmark::State& State) {
  const QString FileName = QString::fromStdString(LargeGame().Game.FileName());
  auto Main = ShowMainWindow();
  for (auto _ : State) {
    Main->OpenGameFile(FileName);
    State.PauseTiming();
    Settle();
    State.ResumeTiming();
  }
  int Nodes = 0;
  for (QTreeWidgetItemIterator It(Main->tvwTree); *It; ++It) ++Nodes;
  State.counters["tree_nodes"] = Nodes;
}
BENCHMARK(BM_OpenLargeGame)->Unit(benchmark::kMillisecond);

// Until the user sees it: the open and the paint that follows.
void BM_OpenLargeGameAndPaint(benchmark::State& State) {
  const QString FileName = QString::fromStdString(LargeGame().Game.FileName());
  auto Main = ShowMainWindow();
  for (auto _ : State) {
    Main->OpenGameFile(FileName);
    Main->tvwTree->viewport()->repaint();
    Settle();
  }
}
BENCHMARK(BM_OpenLargeGameAndPaint)->Unit(benchmark::kMillisecond);

// The process's first main window, measured in main before anything else
// has loaded Qt's fonts and styles.
double GFirstStartMs = 0;

// Constructing the main window, showing it and waiting until it is exposed;
// the cold first one is reported as first_ms.
void BM_StartMainWindow(benchmark::State& State) {
  for (auto _ : State) {
    auto Main = ShowMainWindow();
    State.PauseTiming();
    Main.reset();
    Settle();
    State.ResumeTiming();
  }
  State.counters["first_ms"] = GFirstStartMs;
}
BENCHMARK(BM_StartMainWindow)->Unit(benchmark::kMillisecond);

// Memory of the whole process with the main window open on the large game,
// against the same window on a new game.
void BM_MemoryWithLargeGameOpen(benchmark::State& State) {
  const QString FileName = QString::fromStdString(LargeGame().Game.FileName());
  auto Main = ShowMainWindow();
  Settle();
  const double Before = StatusKb("VmRSS");
  for (auto _ : State) {
    Main->OpenGameFile(FileName);
    Main->tvwTree->viewport()->repaint();
    Settle();
  }
  const double After = StatusKb("VmRSS");
  State.counters["rss_kb"] = After;
  State.counters["rss_growth_kb"] = After - Before;
  State.counters["peak_rss_kb"] = StatusKb("VmHWM");
}
BENCHMARK(BM_MemoryWithLargeGameOpen)->Iterations(1)->Unit(benchmark::kMillisecond);

// The layout editor on a 256x256 level at its usual zoom: one painted cell
// (the click, the model's edit and the repaint), and one step of scrolling
// with its repaint. A frame is 16.7 ms.
struct TOpenLayout {
  TOpenLayout() {
    Editor.SetLevel(WideGame().Game.GetLevel(0));
    Editor.resize(1000, 750);
    Editor.show();
    if (!QTest::qWaitForWindowExposed(&Editor)) throw std::runtime_error("the layout editor never showed");
    Settle();
  }
  TfrmLevelEditor Editor;
};

void BM_LayoutPaintCellWide(benchmark::State& State) {
  TOpenLayout Open;
  TLayoutGrid* Grid = Open.Editor.grdLayout;
  Grid->horizontalScrollBar()->setValue(Grid->horizontalScrollBar()->maximum() / 2);
  Open.Editor.lbxActors->setCurrentRow(2);
  const QPoint At = Grid->viewport()->rect().center();
  for (auto _ : State) {
    QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, At);
    Grid->viewport()->repaint();
  }
}
BENCHMARK(BM_LayoutPaintCellWide)->Unit(benchmark::kMillisecond);

void BM_LayoutScrollWide(benchmark::State& State) {
  TOpenLayout Open;
  QScrollBar* Bar = Open.Editor.grdLayout->horizontalScrollBar();
  int Step = 0;
  for (auto _ : State) {
    // A wheel notch's worth each time, back and forth across the level.
    Bar->setValue((++Step * 60) % std::max(1, Bar->maximum()));
    Open.Editor.grdLayout->viewport()->repaint();
  }
}
BENCHMARK(BM_LayoutScrollWide)->Unit(benchmark::kMillisecond);

// One repaint of the whole view, nothing changed: at 100% (the view shows a
// part of the level) and at 25% in a window where the whole level is in view.
// A 60 Hz frame is 16.7 ms; the layout editor keeps under 4.
void BM_LayoutRepaintWide(benchmark::State& State) {
  TOpenLayout Open;
  const int Zoom = static_cast<int>(State.range(0));
  if (Zoom < 100) Open.Editor.resize(1200, 1150);
  Open.Editor.cbxZoom->setEditText(QString::number(Zoom) + "%");
  Open.Editor.cbxZoomExit();
  TLayoutGrid* Grid = Open.Editor.grdLayout;
  Grid->horizontalScrollBar()->setValue(Grid->horizontalScrollBar()->maximum() / 2);
  Settle();
  const int Pitch = Grid->CellSize() + Grid->LineWidth();
  State.counters["columns_in_view"] = std::min(MaxLevelColumns, Grid->viewport()->width() / Pitch);
  State.counters["rows_in_view"] = std::min(MaxLevelRows, Grid->viewport()->height() / Pitch);
  for (auto _ : State) Grid->viewport()->repaint();
}
BENCHMARK(BM_LayoutRepaintWide)->Arg(100)->Arg(25)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TLurvikApplication App(argc, argv);
  RegisterKinds();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  {
    auto T0 = std::chrono::steady_clock::now();
    auto Main = ShowMainWindow();
    GFirstStartMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - T0).count();
  }
  LargeGame();  // made and saved before anything is timed
  WideGame();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  UnregisterKinds();
  return 0;
}
