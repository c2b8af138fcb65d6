#include "generator/UPlaySession.h"

#include <algorithm>
#include <exception>

#include "generator/UBuildLog.h"
#include "model/UActor.h"
#include "model/UGame.h"

namespace lvk {

namespace {

bool SameInput(const lvk_input_t& A, const lvk_input_t& B) {
  return A.keys == B.keys && A.touch_x == B.touch_x && A.touch_y == B.touch_y;
}

constexpr std::int64_t Second = 1000000000;

}  // namespace

// ---- Input ----

void TInputQueue::Hold(const lvk_input_t& Now) {
  FNow = Now;
  const lvk_input_t& Last = FWaiting.empty() ? FStepped : FWaiting.back();
  if (SameInput(Now, Last)) return;
  const lvk_input_t& Before = FWaiting.size() > 1 ? FWaiting[FWaiting.size() - 2] : FStepped;
  const bool Undoes = ((Now.keys ^ Last.keys) & (Last.keys ^ Before.keys)) != 0;
  if (FWaiting.empty() || (Undoes && Waiting() < MaxWaiting))
    FWaiting.push_back(Now);
  else
    FWaiting.back() = Now;
}

lvk_input_t TInputQueue::Next() {
  if (FWaiting.empty()) {
    FStepped = FNow;
  } else {
    FStepped = FWaiting.front();
    FWaiting.pop_front();
  }
  return FStepped;
}

void TInputQueue::Restart() {
  FStepped = lvk_input_t{};
  FWaiting.clear();
  if (!SameInput(FNow, FStepped)) FWaiting.push_back(FNow);
}

// ---- Clock ----

int TFrameClock::Due(std::int64_t Elapsed) {
  const std::int64_t Now = Elapsed * FramesPerSecond / Second;
  const std::int64_t Count = std::clamp<std::int64_t>(Now - FFrames, 0, MaxCatchUp);
  FFrames = std::max(FFrames, Now);
  return static_cast<int>(Count);
}

std::int64_t TFrameClock::UntilNext(std::int64_t Elapsed) const {
  const std::int64_t Next = (FFrames + 1) * Second / FramesPerSecond;
  return std::max<std::int64_t>(Next - Elapsed, 0);
}

// ---- The session ----

TPlaySession::TPlaySession() { Hand(Build(nullptr)); }

std::unique_ptr<TPlayTables> TPlaySession::Build(const TGame* Game) {
  auto Play = std::make_unique<TPlayTables>();
  if (Game) {
    TTextBuildLog Log;
    try {
      Play->Tables = BuildGameTables(*Game, Log);
    } catch (const std::exception& E) {
      // A game the DS could not be given either; nothing of it plays.
      Play->Tables = TGameTables();
      Play->Problems.push_back(E.what());
    }
    for (const std::string& Line : Log.Lines())
      if (Line.rfind("ERROR: ", 0) == 0) Play->Problems.push_back(Line.substr(7));
    Play->Notes = Play->Tables.Notes;
    Play->Title = Game->Title();
  }
  Play->Game = Play->Tables.Game();
  return Play;
}

std::unique_ptr<TPlayTables> TPlaySession::BuildAnimation(const TActor& Actor, int Anim) {
  auto Play = std::make_unique<TPlayTables>();
  TGameTables& T = Play->Tables;
  if (Anim >= 0 && Anim < Actor.AnimationCount()) {
    const TAnimation& Animation = Actor.GetAnimation(Anim);
    // Only which frame shows matters: every frame's tiles are none.
    T.Frames.assign(Animation.Frames.size(), 0);
    T.FrameTiles.assign(static_cast<std::size_t>(Actor.Columns() * Actor.Rows()), LVK_NONE);
    lvk_actor_t A{};
    A.tile = LVK_NONE;
    A.handler_count = 1;  // live
    A.width = static_cast<std::uint8_t>(Actor.Width());
    A.height = static_cast<std::uint8_t>(Actor.Height());
    A.animation_count = 1;
    T.Actors.push_back(A);
    lvk_handler_t H{};
    H.event = LVK_EVENT_CREATE;
    T.Handlers.push_back(H);
    T.Animations.push_back({0, static_cast<std::uint16_t>(Animation.Frames.size()),
                            static_cast<std::uint8_t>(Animation.FrameLength), static_cast<std::uint8_t>(Animation.Mode)});
    lvk_level_t L{};
    L.spawn_count = 1;
    L.width = L.height = 1;
    T.Levels.push_back(L);
    T.Spawns.push_back(lvk_spawn_t{0, 0, 0});
    T.Scenery.assign(1, LVK_NONE);
  }
  Play->Game = T.Game();
  return Play;
}

void TPlaySession::Load(const TGame* Game) { Hand(Build(Game)); }

void TPlaySession::LoadAnimation(const TActor& Actor, int Anim) { Hand(BuildAnimation(Actor, Anim)); }

void TPlaySession::Hand(std::unique_ptr<TPlayTables> Tables) {
  lvk_engine_init(&FEngine, nullptr);
  FTables = std::move(Tables);
  lvk_engine_init(&FEngine, &FTables->Game);
  lvk_engine_set_instance_values(&FEngine, &FTables->Values);
  FSave.reset();
  if (!FSaveFolder.empty() && FEngine.game) {
    FSave = std::make_unique<TSaveFile>(TSaveFile::PathFor(FSaveFolder, FTables->Title), FTables->Title);
    const lvk_store_t Store = FSave->Store();
    lvk_engine_set_store(&FEngine, &Store, &FRoom);
    lvk_save_t Kept;
    const int Status = FSave->Read(Kept);
    if (Status != LVK_SAVE_OK && Status != LVK_SAVE_EMPTY)
      FTables->Notes.push_back(SaveStatusNote(Status) + " (" + FSave->Path() + ")");
  }
  FInput.Restart();
}

void TPlaySession::StartLevel(int Level) {
  const int Count = LevelCount();
  if (Count > 0) lvk_engine_start_level(&FEngine, ((Level % Count) + Count) % Count);
}

void TPlaySession::Step() {
  const lvk_input_t In = FInput.Next();
  lvk_engine_step(&FEngine, &In);
}

int TPlaySession::RunDue(std::int64_t Elapsed) {
  const int Count = FClock.Due(Elapsed);
  for (int i = 0; i < Count; ++i) Step();
  return Count;
}

TSoundCues TPlaySession::Cues() const {
  TSoundCues Cues;
  Cues.LevelStarted = LevelChanged();
  Cues.Music = lvk_engine_music(&FEngine);
  const std::uint16_t* Sounds = nullptr;
  const int Count = lvk_engine_sounds(&FEngine, &Sounds);
  Cues.Sounds.assign(Sounds, Sounds + Count);
  return Cues;
}

}  // namespace lvk
