// The play session: each frame gets its input from the queue, the clock
// runs 60 frames a second and drops a stall, and the sounds a document's
// game asks for are reported frame by frame; an animation plays alone.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "behaviour/REventCreate.h"
#include "behaviour/REventKey.h"
#include "behaviour/UValueAction.h"
#include "TestSupport.h"
#include "generator/UPlaySession.h"
#include "lvk_host.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USound.h"
#include "model/UVariable.h"

using namespace lvk;

namespace {

lvk_input_t Keys(std::uint16_t K) { return lvk_input_t{K, 0, 0}; }

constexpr std::uint16_t A = LVK_KEY_A, B = LVK_KEY_B;

void WriteFile(const std::string& Name, const std::string& Bytes) {
  std::ofstream(Name, std::ios::binary | std::ios::trunc) << Bytes;
}

// A step of a script: Hold(keys), Frame (the next frame gets keys), or Restart.
struct TInputStep {
  enum { Hold, Frame, Restart } Op;
  std::uint16_t Keys = 0;
};

TEST(PlaySession, EachFrameGetsTheInputQueuedForIt) {
  using S = TInputStep;
  const struct {
    const char* Case;
    std::vector<TInputStep> Script;
  } Cases[] = {
      {"a tap between two frames is pressed for one", {{S::Hold, A}, {S::Hold, 0}, {S::Frame, A}, {S::Frame, 0}}},
      {"keys added between frames come together", {{S::Hold, A}, {S::Hold, A | B}, {S::Frame, A | B}, {S::Frame, A | B}}},
      {"press, release, press: three frames",
       {{S::Hold, A}, {S::Hold, 0}, {S::Hold, A}, {S::Frame, A}, {S::Frame, 0}, {S::Frame, A}, {S::Frame, A}}},
      // The engine starts again with nothing held: a key held over the
      // restart is a press, and letting it go before the frame a release.
      {"restart with a key held",
       {{S::Hold, A}, {S::Frame, A}, {S::Restart}, {S::Hold, 0}, {S::Frame, A}, {S::Frame, 0}}},
  };
  for (const auto& C : Cases) {
    TInputQueue Queue;
    int Frame = 0;
    for (const TInputStep& Step : C.Script) {
      if (Step.Op == S::Hold) {
        Queue.Hold(Keys(Step.Keys));
      } else if (Step.Op == S::Restart) {
        Queue.Restart();
      } else {
        EXPECT_EQ(Queue.Next().keys, Step.Keys) << C.Case << ", frame " << Frame++;
      }
    }
  }
  // Taps beyond the queue's room merge into its last frame.
  TInputQueue Queue;
  for (int i = 0; i < 3 * TInputQueue::MaxWaiting; ++i) Queue.Hold(Keys(i % 2 ? 0 : A));
  EXPECT_EQ(Queue.Waiting(), TInputQueue::MaxWaiting);
}

TEST(PlaySession, ClockRunsSixtyFramesASecondAndDropsAStall) {
  const struct {
    std::int64_t ElapsedMs;
    int Due;
    std::int64_t UntilNextNs;
  } Ticks[] = {
      {0, 0, 16666666},      {16, 0, 666666},       {17, 1, 16333333},  // frame 1 at 16.67 ms
      {33, 0, 333333},       {34, 1, 16000000},                         // frame 2 at 33.33 ms, 3 at 50
      {1000, TFrameClock::MaxCatchUp, 16666666},                        // a stall: 58 due, 4 run
      {1016, 0, 666666},     {1017, 1, 16333333},
  };
  TFrameClock Clock;
  Clock.Restart();
  for (const auto& T : Ticks) {
    const std::int64_t Ns = T.ElapsedMs * 1000000;
    EXPECT_EQ(Clock.Due(Ns), T.Due) << T.ElapsedMs << " ms";
    EXPECT_EQ(Clock.UntilNext(Ns), T.UntilNextNs) << T.ElapsedMs << " ms";
  }
  Clock.Restart();
  EXPECT_EQ(Clock.Due(20 * 1000000), 1) << "counts from the restart";
}

// Two heroes that sound sCoin when made and sJump when A is pressed, in a
// level whose music is sLoop.
struct TSoundGame {
  TGame Game;
  TSoundGame() {
    TSound* Coin = Game.AddSound();
    Coin->SetName("sCoin");
    TSound* Jump = Game.AddSound();
    Jump->SetName("sJump");
    TSound* Loop = Game.AddSound();
    Loop->SetName("sLoop");
    TActor* Hero = Game.AddActor();
    Hero->SetName("aHero");
    Hero->AddHandler()->SetEvent(TEventCreate::ClassKind());
    Hero->GetHandler(0)->AddAction(TActionPlaySound::ClassKind())->SetValue(0, "sCoin");
    THandler* Press = Hero->AddHandler();
    Press->SetEvent(TEventKey::ClassKind());
    auto& Key = *static_cast<TEventKey*>(Press->Event());
    Key.SetKeys(LVK_KEY_A);
    Key.SetPress(true);
    Press->AddAction(TActionPlaySound::ClassKind())->SetValue(0, "sJump");
    TLevel* Level = Game.AddLevel();
    Level->SetSize(32, 24);
    Level->SetCell(2, 2, Hero);
    Level->SetCell(5, 2, Hero);
    Level->SetMusic(Loop);
  }
};

TEST(PlaySession, StepsFramesAndReportsTheSoundsEachAsksFor) {
  TSoundGame G;
  TPlaySession Session;
  Session.Load(&G.Game);
  ASSERT_TRUE(Session.Game().Problems.empty());
  ASSERT_EQ(Session.Tables().Sounds.size(), 3u);
  ASSERT_EQ(Session.LevelCount(), 1);

  using TDo = std::function<void()>;
  const struct {
    const char* Case;
    TDo Do;
    std::uint32_t Frame;
    bool LevelStarted;
    std::vector<int> Sounds;
  } Steps[] = {
      {"level start", [&] { Session.StartLevel(0); }, 0, true, {0, 0}},
      {"a frame", [&] { Session.Step(); }, 1, false, {}},
      {"A pressed", [&] { Session.Input().Hold(Keys(A)); Session.Step(); }, 2, false, {1, 1}},
      {"A let go and tapped between frames, then two frames due",
       [&] {
         Session.Input().Hold(Keys(0));
         Session.Input().Hold(Keys(A));
         Session.Input().Hold(Keys(0));
         Session.Clock().Restart();
         EXPECT_EQ(Session.RunDue(34000000), 2);
       },
       4, false, {1, 1}},
      {"the level again, by number modulo the count", [&] { Session.StartLevel(3); }, 4, true, {0, 0}},
  };
  for (const auto& S : Steps) {
    S.Do();
    EXPECT_EQ(lvk_engine_frame(&Session.Engine()), S.Frame) << S.Case;
    const TSoundCues Cues = Session.Cues();
    EXPECT_EQ(Cues.LevelStarted, S.LevelStarted) << S.Case;
    EXPECT_EQ(Cues.Music, 2) << S.Case;
    EXPECT_EQ(Cues.Sounds, S.Sounds) << S.Case;
  }

  // A new load starts over: no level, the old tables gone.
  Session.Load(nullptr);
  EXPECT_EQ(Session.LevelCount(), 0);
  EXPECT_EQ(Session.Level(), -1);
  EXPECT_TRUE(Session.Tables().Sounds.empty());
}

TEST(PlaySession, AnAnimationPlaysAloneAsItsModeSays) {
  TGame Game;
  TActor* Hero = Game.AddActor();
  Hero->SetSize(16, 16);
  const int Anim = Hero->AddAnimation();
  Hero->AddFrame(Anim);
  Hero->AddFrame(Anim);  // three frames
  Hero->SetFrameLength(Anim, 2);
  const struct {
    TAnimationMode Mode;
    std::vector<int> Shown;  // the frame shown at the start and after each step
  } Cases[] = {
      {TAnimationMode::Loop, {0, 0, 1, 1, 2, 2, 0, 0, 1}},
      {TAnimationMode::Once, {0, 0, 1, 1, 2, 2, 2, 2, 2}},
  };
  for (const auto& C : Cases) {
    Hero->SetAnimationMode(Anim, C.Mode);
    TPlaySession Session;
    Session.LoadAnimation(*Hero, Anim);
    Session.StartLevel(0);
    ASSERT_NE(Session.Engine().game, nullptr) << AnimationModeName(C.Mode);
    std::vector<int> Shown;
    for (std::size_t i = 0; i < C.Shown.size(); ++i) {
      if (i > 0) Session.Step();
      lvk_sprite_t Sprite{};
      ASSERT_TRUE(lvk_engine_sprite(&Session.Engine(), 0, &Sprite));
      EXPECT_EQ(Sprite.width, 16);
      Shown.push_back(Sprite.frame);
    }
    EXPECT_EQ(Shown, C.Shown) << AnimationModeName(C.Mode);
  }
}

}  // namespace

// A game that saves keeps its store in a file of its own in the saves
// folder; a file that is damaged, too short, too long or another game's is
// refused with a note and the game starts as new; a write that fails leaves
// the file as it was; clearing the table keeps the slots.
TEST(PlaySession, SavesInAFileOfTheGameAndRefusesBadOnes) {
  test::TTempDir Dir;
  TGame Game;
  Game.SetTitle("Ghost Hunt: 2!");
  TVariable* Best = Game.AddVariable();
  Best->SetName("vBest");
  Best->SetSaved(true);
  Game.SetHighScores({3, Best->Id(), true, 3});
  TActor* Hero = Game.AddActor();
  THandler* Save = Hero->AddHandler();
  Save->SetEvent(TEventKey::ClassKind());
  static_cast<TEventKey*>(Save->Event())->SetPress(true);
  Save->AddAction(TActionSetVariable::ClassKind())->SetValue(0, "vBest");
  Save->GetAction(0)->SetValue(1, "70");
  Save->AddAction(TActionSaveGame::ClassKind());
  Save->AddAction(TActionEnterHighScore::ClassKind());
  TLevel* Level = Game.AddLevel();
  Level->SetSize(32, 24);
  Level->SetCell(0, 0, Hero);
  const std::string File = Dir.Path() + "/saves/Ghost_Hunt_2-" + [&] {
    char Key[9];
    std::snprintf(Key, sizeof Key, "%08x", static_cast<unsigned>(lvk_save_key("Ghost Hunt: 2!", 14)));
    return std::string(Key);
  }() + ".sav";
  EXPECT_EQ(TSaveFile::PathFor(Dir.Path() + "/saves", Game.Title()), File);

  TPlaySession Session;
  Session.SetSaveFolder(Dir.Path() + "/saves");
  auto Play = [&] {
    Session.Load(&Game);
    Session.StartLevel(0);
    Session.Input().Hold(Keys(A));
    Session.Step();
    Session.Input().Hold(Keys(0));
    Session.Step();
    Session.Input().Hold(Keys(A));  // confirms the initials
    Session.Step();
    Session.Input().Hold(Keys(0));
    Session.Step();
  };
  Play();
  ASSERT_NE(Session.SaveFile(), nullptr);
  for (const std::string& Note : Session.Game().Notes) EXPECT_EQ(Note.find(File), std::string::npos) << Note;
  EXPECT_EQ(test::Slurp(File).size(), static_cast<std::size_t>(LVK_SAVE_STORE_SIZE));
  lvk_save_t Kept;
  ASSERT_EQ(Session.SaveFile()->Read(Kept), LVK_SAVE_OK);
  EXPECT_EQ(Kept.score_count, 1);
  EXPECT_EQ(Kept.scores[0].score, 70);
  const std::string Good = test::Slurp(File);

  std::string Damaged = Good;
  Damaged[LVK_SAVE_HEADER + 2] ^= 4;
  Damaged[LVK_SAVE_COPY_SIZE + LVK_SAVE_HEADER + 2] ^= 4;
  std::vector<std::uint8_t> Theirs(LVK_SAVE_STORE_SIZE, 0);
  lvk_save_t Empty;
  lvk_save_clear(&Empty);
  lvk_save_write(&Empty, lvk_save_key("Another", 7), Theirs.data());
  const struct {
    const char* What;
    std::string Bytes;
    const char* Note;
  } Cases[] = {
      {"damaged", Damaged, LVK_HOST_TEXT_SAVE_DAMAGED},
      {"too short", Good.substr(0, 100), LVK_HOST_TEXT_SAVE_WRONG_SIZE},
      {"too long", Good + "x", LVK_HOST_TEXT_SAVE_WRONG_SIZE},
      {"another game's", std::string(Theirs.begin(), Theirs.end()), LVK_HOST_TEXT_SAVE_OTHER_GAME},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    WriteFile(File, C.Bytes);
    Session.Load(&Game);
    ASSERT_FALSE(Session.Game().Notes.empty());
    EXPECT_EQ(Session.Game().Notes.back(), std::string(C.Note) + " (" + File + ")");
    // The next save starts the file anew.
    Play();
    ASSERT_EQ(Session.SaveFile()->Read(Kept), LVK_SAVE_OK);
    EXPECT_EQ(Kept.score_count, 1);
  }

  // The temporary file's place taken: the save fails, the old file stays.
  WriteFile(File, Good);
  std::filesystem::create_directory(File + ".new");
  Session.Load(&Game);
  Session.StartLevel(0);
  Session.Input().Hold(Keys(A));
  Session.Step();
  EXPECT_EQ(lvk_engine_save_status(&Session.Engine()), LVK_SAVE_NOT_WRITTEN);
  EXPECT_EQ(test::Slurp(File), Good);
  std::filesystem::remove(File + ".new");
  TSaveFile Clearing(File, Game.Title());

  Clearing.ClearTable();
  ASSERT_EQ(Clearing.Read(Kept), LVK_SAVE_OK);
  EXPECT_EQ(Kept.score_count, 0);
  std::int32_t Value = 0;
  EXPECT_EQ(lvk_save_find(&Kept, 0, lvk_save_key("vBest", 5), &Value), 1);
  EXPECT_EQ(Value, 70);
}
