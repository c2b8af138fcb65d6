#pragma once
// The play window: the game running in the editor, on the DS's two screens.
// A thin host around a play session (generator/UPlaySession.h), which runs
// the engine the DS program runs on its own copy of the game's tables (built
// by the same builder that writes the DS's game data), with the keys and the
// pen queued for their frames and a clock of 60 frames a second. The window
// gives it keys, pen and time, and draws each frame as the DS would; the
// keys, the upper screen's layout and its texts come from engine/lvk_host.h,
// which the DS program uses too. It never keeps a pointer into the document:
// it asks for the document again only when the game (re)starts. Given a parent (the
// main window), it is a tool window of it and stays above it.
//
// Sound: the sounds each frame starts and the level's music, as the DS
// program plays them, on the default audio device (UPlayAudio). The music
// starts from its beginning with every level start; pausing, restarting and
// closing silence everything, and continuing starts the music again.
// Without a device the game plays silently and the status bar says so.
#include <QImage>
#include <QMainWindow>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "engine/lvk_engine.h"
#include "engine/lvk_host.h"
#include "generator/UGameTables.h"
#include "generator/UPlaySession.h"
#include "ui/play/UPlayAudio.h"
#include "ui/play/UPlayConsole.h"
#include "ui/play/UPlayRender.h"

class QComboBox;
class QLabel;
class QToolButton;
class TPlayScreens;

namespace lvk {
class TGame;
}

class TfrmPlay : public QMainWindow {
  Q_OBJECT
public:
  // The document as it is at the moment of asking; nullptr for none.
  using TGameSource = std::function<const lvk::TGame*()>;

  static constexpr int DefaultScale = 2;
  static constexpr int MaxScale = 4;
  // After a stall the game does not race to catch up beyond this.
  static constexpr int MaxCatchUpFrames = lvk::TFrameClock::MaxCatchUp;
  // Key and pen changes waiting for their frames; more are merged.
  static constexpr int MaxQueuedInputs = lvk::TInputQueue::MaxWaiting;

  explicit TfrmPlay(TGameSource Source, QWidget* Parent = nullptr);
  ~TfrmPlay() override;

  // Takes the document as it is now and starts its level Level (the first
  // when there is no such level), running unless paused.
  void Play(int Level);
  // Takes the document as it is now and starts the current level again.
  void RestartLevel();
  // The document changed since the game started: the window says so until
  // the game starts again, with the changes.
  void GameChanged();
  bool ChangedSinceStarted() const { return FChanged; }
  void NextLevel();
  void SetPaused(bool Paused);
  bool Paused() const { return FPaused; }
  // One frame; only while paused.
  void StepFrame();
  // The screens' zoom, 1 to MaxScale. The zoom commands offer only what
  // the screen the window is on shows whole (FittingScale); a larger one
  // set here scrolls.
  void SetScale(int Scale);
  int Scale() const { return FScale; }
  // The largest zoom at which the window with both screens fits its screen
  // (1 at least).
  int FittingScale() const;

  // Steps Count frames at once with the input held now, as the frame clock
  // would, and redraws; for tests and benchmarks.
  void RunFrames(int Count);
  const lvk_engine_t& Engine() const { return FSession.Engine(); }
  // The sound, as the frames have started it.
  lvk::TPlayAudio& Audio() { return *FAudio; }
  // Both screens as drawn last, 256 wide, the upper screen above the lower.
  const QImage& Frame() const { return FFrame; }
  // The keys and the pen as held now. Changes since the last frame wait in
  // a queue, a frame each where they would undo one another, so a key
  // pressed and let go between two frames is still pressed in one.
  lvk_input_t Input() const { return FSession.Input().Held(); }
  // Drops every held key and lifts the pen.
  void ReleaseAll();

  // The window's own controls, by name.
  QWidget* pnlScreens;  // the two screens; keys and the pen go here
  QToolButton *butPause, *butStep, *butRestart, *butNext;
  QComboBox* cbxScale;
  QLabel* lblKeys;
  QLabel* lblStatus;
  QLabel* lblProblems;
  QLabel* lblNotes;  // actors that play unseen: often meant, so no problem
  QLabel* lblChanged;
  QLabel* lblSound;  // in the status bar: why the game is not heard

protected:
  void changeEvent(QEvent* Event) override;
  bool event(QEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;

private:
  friend class TPlayScreens;
  // From the screens widget: a Qt key went down or up; the pen at a point of
  // the lower screen in screen pixels, or lifted.
  bool KeyChanged(int QtKey, bool Down);
  void PenAt(int X, int Y);
  void PenUp();

  void LoadDocument();
  void StartLevel(int Level);
  void Step();
  void LevelShown();
  void StartSounds();
  void ShowText();
  void InputChanged();
  QSize WindowSizeAt(int Scale) const;
  void Redraw();
  void UpdateStatus();
  void Tick();
  void ScheduleTick();
  void RestartClock();

  TPlayScreens* FScreens;  // = pnlScreens
  TGameSource FSource;
  lvk::TPlaySession FSession;
  lvk::TPlayVideo FVideo;  // the session's tables as pictures
  // Mixes the session's sounds: declared after it, so it stops reading them first.
  std::unique_ptr<lvk::TPlayAudio> FAudio;
  lvk::TLevelMap FMap;                     // the shown level's background
  std::vector<std::uint32_t> FBackground;  // FMap drawn from FCamera, redrawn when either changes
  std::pair<int, int> FCamera{-1, -1};
  lvk::TPlayConsole FConsole;
  lvk_host_screen_t FUpper{};                         // what FConsole shows of the game
  bool FConsoleChanged = true;                        // the upper screen needs drawing
  QImage FFrame;
  std::uint32_t FHeld = 0;  // bit i: entry i of lvk_host_keys is held
  bool FPen = false;
  int FPenX = 0, FPenY = 0;
  bool FChanged = false;
  bool FPaused = false;
  int FSaveStatus = LVK_SAVE_EMPTY;  // the engine's, as last told
  int FScale = DefaultScale;
  QTimer FTimer;
  QElapsedTimer FClock;  // the time of the session's frame clock
};
