#pragma once
// A game running in the editor, without windows: the engine with its own
// copy of the game's tables (built as the DS build builds them), the keys
// and the pen waiting for their frames, a clock of 60 frames a second, and
// what each frame asks of the sound. The play window shows and sounds what
// a session runs; the actor pane's preview runs one actor's animation in one.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "generator/UGameTables.h"
#include "generator/USaveFile.h"
#include "lvk_engine.h"

namespace lvk {

class TActor;
class TGame;

// Everything the running game reads, copied from the document when it
// starts. Never moved once made: Game points into Tables.
struct TPlayTables {
  TGameTables Tables;
  lvk_game_t Game{};
  lvk_instance_values_t Values{};  // the instances' own variables
  std::string Title;
  std::vector<std::string> Problems;  // what the builder logged as errors
  std::vector<std::string> Notes;     // what may well be meant, such as an actor with no tile
};

// The keys and the pen as held now, and the changes waiting for their
// frames: a change joins the last waiting frame unless it undoes a change of
// that frame (a key going up that went down there), so a key pressed and
// let go between two frames is still pressed in one.
class TInputQueue {
public:
  // Waiting frames beyond this are merged into the last.
  static constexpr int MaxWaiting = 32;

  // What is held changed to Now.
  void Hold(const lvk_input_t& Now);
  const lvk_input_t& Held() const { return FNow; }
  // The input of the next frame: the oldest waiting change, else what is held.
  lvk_input_t Next();
  // The engine starts again with nothing held: what is held now comes in
  // the first frame.
  void Restart();
  int Waiting() const { return static_cast<int>(FWaiting.size()); }

private:
  lvk_input_t FNow{};
  lvk_input_t FStepped{};            // what the engine got last
  std::deque<lvk_input_t> FWaiting;  // for the next frames, in order
};

// Frames at 60 a second from a start. The caller keeps the time: Elapsed
// is nanoseconds since the last Restart.
class TFrameClock {
public:
  static constexpr int FramesPerSecond = 60;
  // After a stall the game does not race to catch up beyond this.
  static constexpr int MaxCatchUp = 4;

  void Restart() { FFrames = 0; }
  // The frames to run now: those due since the last call, at most MaxCatchUp
  // (the rest are dropped, so the game slows down instead of jumping).
  int Due(std::int64_t Elapsed);
  // Nanoseconds from Elapsed until the next frame is due (0 when it is).
  std::int64_t UntilNext(std::int64_t Elapsed) const;

private:
  std::int64_t FFrames = 0;  // frames due since the start, run or dropped
};

// What the last frame or level start asks of the sound.
struct TSoundCues {
  bool LevelStarted = false;  // the level's music from its beginning
  int Music = -1;             // the level's music, -1 for none
  std::vector<int> Sounds;    // to start, in the order asked
};

class TPlaySession {
public:
  // An empty game, no level running.
  TPlaySession();
  TPlaySession(const TPlaySession&) = delete;
  TPlaySession& operator=(const TPlaySession&) = delete;

  // The game's tables as the DS build makes them, its problems and notes as
  // the build logs them; an empty game for null, and for a game the build
  // refuses (its reason the one problem).
  static std::unique_ptr<TPlayTables> Build(const TGame* Game);
  // One live actor playing animation Anim (an index of Actor's) alone in a
  // level, and nothing else.
  static std::unique_ptr<TPlayTables> BuildAnimation(const TActor& Actor, int Anim);

  // Builds Game's tables (Build) and hands them to the engine; no level runs
  // until StartLevel. Anyone reading the old tables (the sound) lets go of
  // them first.
  void Load(const TGame* Game);
  void LoadAnimation(const TActor& Actor, int Anim);

  // Where games keep their saved games: a file per game in Folder, from the
  // next Load on (empty, the default: the game saves nothing). A file that
  // is refused (damaged, of a wrong size, another game's) adds a note.
  void SetSaveFolder(std::string Folder) { FSaveFolder = std::move(Folder); }
  // The running game's file, or null when it saves nothing.
  const TSaveFile* SaveFile() const { return FSave.get(); }

  // Starts level Level, taken modulo the level count; nothing without levels.
  void StartLevel(int Level);
  // One frame with the next input of the queue.
  void Step();
  // The frames the clock says are due at Elapsed, each with its input;
  // how many ran.
  int RunDue(std::int64_t Elapsed);

  int Level() const { return lvk_engine_level(&FEngine); }
  int LevelCount() const { return FEngine.game ? FEngine.game->level_count : 0; }
  bool LevelChanged() const { return lvk_engine_level_changed(&FEngine) != 0; }
  // What the last Step or StartLevel asks of the sound.
  TSoundCues Cues() const;

  const TPlayTables& Game() const { return *FTables; }
  const TGameTables& Tables() const { return FTables->Tables; }
  const lvk_engine_t& Engine() const { return FEngine; }
  // For a host that takes the engine's changed text rows.
  lvk_engine_t& Engine() { return FEngine; }
  TInputQueue& Input() { return FInput; }
  const TInputQueue& Input() const { return FInput; }
  TFrameClock& Clock() { return FClock; }

private:
  // The one place tables reach the engine: the engine lets go of the old
  // ones before they go. Rebuilt tables of a running game come in here.
  void Hand(std::unique_ptr<TPlayTables> Tables);

  std::unique_ptr<TPlayTables> FTables;  // FEngine points into them
  lvk_engine_t FEngine{};
  std::string FSaveFolder;
  std::unique_ptr<TSaveFile> FSave;  // the engine's store while a game saves
  lvk_save_room_t FRoom{};
  TInputQueue FInput;
  TFrameClock FClock;
};

}  // namespace lvk
