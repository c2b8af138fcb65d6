// The play window's sound: the mix its audio hands the device, pulled
// directly with no device, and the window starting the sounds and the music
// of a game as the DS program does.
#include <QElapsedTimer>
#include <QLabel>
#include <QMediaDevices>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "behaviour/REventCreate.h"
#include "behaviour/REventKey.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "behaviour/UValueAction.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USound.h"
#include "model/UTile.h"
#include "ui/play/FPlay.h"
#include "ui/play/UPlayAudio.h"

using namespace lvk;

namespace {

std::vector<std::int16_t> Pulled(TPlayAudio& Audio, int Frames) {
  std::vector<std::int16_t> Out(static_cast<std::size_t>(Frames), 12345);
  Audio.Pull(Out.data(), Frames);
  return Out;
}

// At the DS's rate every output sample is a source sample times the volume
// (127): sounds add up, the music loops, a number with no sound and
// anything stopped leave silence.
TEST(PlayAudio, MixesTheSoundsStartedAndTheMusic) {
  const TPlayAudio::TSounds Sounds = {{10, 20, 30, 40}, {-5, -5, -5, -5}, {1, 1, 1, 1, 2, 2, 2, 2}};
  using TOut = std::vector<std::int16_t>;
  const struct {
    const char* Name;
    std::function<void(TPlayAudio&)> Do;
    TOut Expected;  // the first six samples pulled
    int Active;     // voices left sounding after them
  } Cases[] = {
      {"nothing", [](TPlayAudio&) {}, {0, 0, 0, 0, 0, 0}, 0},
      {"one sound", [](TPlayAudio& A) { A.Play(0); }, {1270, 2540, 3810, 5080, 0, 0}, 0},
      {"two at once", [](TPlayAudio& A) { A.Play(0), A.Play(2); }, {1397, 2667, 3937, 5207, 254, 254}, 1},
      {"the same twice", [](TPlayAudio& A) { A.Play(1), A.Play(1); }, {-1270, -1270, -1270, -1270, 0, 0}, 0},
      {"music loops", [](TPlayAudio& A) { A.SetMusic(0); }, {1270, 2540, 3810, 5080, 1270, 2540}, 1},
      {"music replaced", [](TPlayAudio& A) { A.SetMusic(0), A.SetMusic(1); }, TOut(6, -635), 1},
      {"music and a sound", [](TPlayAudio& A) { A.SetMusic(1), A.Play(0); }, {635, 1905, 3175, 4445, -635, -635}, 1},
      {"music stopped", [](TPlayAudio& A) { A.SetMusic(0), A.SetMusic(-1); }, TOut(6, 0), 0},
      {"no such sounds", [](TPlayAudio& A) { A.Play(3), A.Play(-1), A.SetMusic(3); }, TOut(6, 0), 0},
      {"all stopped", [](TPlayAudio& A) { A.Play(0), A.SetMusic(1), A.StopAll(); }, TOut(6, 0), 0},
      // The mixer lets go of sounds that are being replaced.
      {"sounds replaced", [](TPlayAudio& A) { A.Play(0), A.SetMusic(1), A.SetSounds(nullptr), A.Play(0); }, TOut(6, 0), 0},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TPlayAudio Audio{QAudioDevice()};
    Audio.SetSounds(&Sounds);
    C.Do(Audio);
    EXPECT_EQ(Pulled(Audio, 6), C.Expected);
    EXPECT_EQ(Audio.Active(), C.Active);
  }
}

// No device: the game goes silent when it starts and says so once, whatever
// follows; the mix goes on for whoever pulls it.
TEST(PlayAudio, WithoutADeviceSaysSoOnce) {
  const TPlayAudio::TSounds Sounds = {{4, 4, 4, 4}};
  TPlayAudio Audio{QAudioDevice()};
  QSignalSpy Said(&Audio, &TPlayAudio::Silenced);
  EXPECT_FALSE(Audio.Silent());
  Audio.SetSounds(&Sounds);
  Audio.Start();
  Audio.Play(0);
  Audio.Stop();
  Audio.Start();
  ASSERT_EQ(Said.count(), 1);
  EXPECT_EQ(Said.at(0).at(0).toString(), TPlayAudio::NoDeviceText);
  EXPECT_TRUE(Audio.Silent());
  EXPECT_EQ(Audio.Rate(), LVK_SOUND_RATE);
  Audio.Play(0);
  EXPECT_EQ(Pulled(Audio, 5), (std::vector<std::int16_t>{508, 508, 508, 508, 0}));
}

// With a device, the sink pulls on the audio thread: a sound plays to its
// end while the window's thread is busy and handles no event at all.
TEST(PlayAudio, TheDevicePullsWhileTheWindowIsBusy) {
  const QAudioDevice Device = QMediaDevices::defaultAudioOutput();
  if (Device.isNull()) GTEST_SKIP() << "no sound device here";
  // Two seconds: far more than the device holds ahead.
  const TPlayAudio::TSounds Sounds = {std::vector<std::int8_t>(2 * LVK_SOUND_RATE, 20)};
  TPlayAudio Audio{Device};
  Audio.SetSounds(&Sounds);
  Audio.Start();
  if (Audio.Silent()) GTEST_SKIP() << Audio.SilentWhy().toStdString();
  ASSERT_NE(Audio.SinkThread(), nullptr);
  EXPECT_NE(Audio.SinkThread(), QThread::currentThread());
  Audio.Play(0);
  QElapsedTimer Busy;
  Busy.start();
  while (Audio.Active() > 0 && Busy.elapsed() < 6000) QThread::msleep(10);  // no event loop runs here
  EXPECT_EQ(Audio.Active(), 0) << "still sounding after " << Busy.elapsed() << " ms";
  EXPECT_GE(Busy.elapsed(), 1500) << "played faster than the device plays";
  Audio.Stop();
}

// A game with sounds in the real window: the hero sounds "sHello" when made
// and "sKey" when A is pressed; the first level loops "sTune", the second
// holds nobody and has no music.
struct PlayWindowAudio : ::testing::Test {
  std::unique_ptr<TGame> Game = std::make_unique<TGame>();
  std::unique_ptr<TfrmPlay> Play;

  void SetUp() override {
    TTile* Tile = Game->AddTile();
    Tile->SetName("tHero");
    TSound* Hello = Game->AddSound();
    Hello->SetName("sHello");
    Hello->SetImported({10, 10, 10, 10});
    TSound* Key = Game->AddSound();
    Key->SetName("sKey");
    Key->SetImported({-20, -20, -20, -20});
    TSound* Tune = Game->AddSound();
    Tune->SetName("sTune");
    Tune->SetImported({1, 2, 3, 4});
    TActor* Hero = Game->AddActor();
    Hero->SetName("aHero");
    Hero->SetTile(Tile);
    THandler* Create = Hero->AddHandler();
    Create->SetEvent(TEventCreate::ClassKind());
    Create->AddAction(TActionPlaySound::ClassKind())->SetValue(0, "sHello");
    THandler* Press = Hero->AddHandler();
    Press->SetEvent(TEventKey::ClassKind());
    static_cast<TEventKey*>(Press->Event())->SetKeys(LVK_KEY_A);
    static_cast<TEventKey*>(Press->Event())->SetPress(true);
    Press->AddAction(TActionPlaySound::ClassKind())->SetValue(0, "sKey");
    TLevel* First = Game->AddLevel();
    First->SetName("lFirst");
    First->SetSize(32, 24);
    First->SetCell(3, 3, Hero);
    First->SetMusic(Tune);
    Game->AddLevel()->SetName("lEmpty");
  }
  // The test steps the frames itself: nothing here lets the frame clock
  // tick, and only a frame with a key held starts a sound.
  void Open() {
    Play = std::make_unique<TfrmPlay>([this]() -> const TGame* { return Game.get(); });
    Play->Play(0);
    Play->show();
  }
  // What the device would get next: the first samples of the mix.
  std::vector<std::int16_t> Next(int Frames) { return Pulled(Play->Audio(), Frames); }
  // One frame with A (the X key) held; the release waits for the next.
  void PressA() {
    QTest::keyPress(Play->pnlScreens, Qt::Key_X);
    Play->RunFrames(1);
    QTest::keyRelease(Play->pnlScreens, Qt::Key_X);
  }
};

// With no sound device (as on a machine without one, or CI) the window
// plays on and its status bar says once why nothing is heard.
TEST_F(PlayWindowAudio, StartsTheSoundsAndTheMusicOfTheFrames) {
  Open();
  TPlayAudio& Audio = Play->Audio();
  if (QMediaDevices::defaultAudioOutput().isNull()) {
    EXPECT_TRUE(Audio.Silent());
  }
  EXPECT_EQ(Play->lblSound->isVisibleTo(Play.get()), Audio.Silent());
  if (Audio.Silent()) {
    EXPECT_EQ(Play->lblSound->text(), TPlayAudio::NoDeviceText);
  }
  QSignalSpy Said(&Audio, &TPlayAudio::Silenced);
  // The level start: its music and the hero's sound of being made.
  EXPECT_EQ(Audio.Active(), 2);
  EXPECT_EQ(Next(6), (std::vector<std::int16_t>{1397, 1524, 1651, 1778, 127, 254}));
  // A frame's sound over the music.
  PressA();
  EXPECT_EQ(Next(2), (std::vector<std::int16_t>{381 - 2540, 508 - 2540}));
  Play->RunFrames(1);
  // Paused, the game is silent; continued, its music comes back from the
  // start, the sounds do not.
  Play->SetPaused(true);
  EXPECT_EQ(Audio.Active(), 0);
  Play->SetPaused(false);
  EXPECT_EQ(Audio.Active(), 1);
  EXPECT_EQ(Next(2), (std::vector<std::int16_t>{127, 254}));
  // The next level after a frame with a sound: that sound is not started
  // again, and the level has no music.
  PressA();
  Audio.StopAll();
  Play->NextLevel();
  EXPECT_EQ(Audio.Active(), 0);
  Play->RunFrames(1);
  // Back at the first level: its music and the hero's sound; while paused
  // the music waits for the game to go on.
  Play->NextLevel();
  EXPECT_EQ(Audio.Active(), 2);
  Play->SetPaused(true);
  Play->NextLevel();
  Play->NextLevel();
  EXPECT_EQ(Audio.Active(), 1);
  // Restart takes the game anew, and the mixer reads the new copy.
  Game->FindSoundByName("sTune")->SetImported({-3, -3, -3, -3});
  Play->RestartLevel();
  Play->SetPaused(false);
  EXPECT_EQ(Next(1), (std::vector<std::int16_t>{10 * 127 - 3 * 127}));
  // Closing silences everything; playing again starts afresh.
  Play->close();
  EXPECT_EQ(Audio.Active(), 0);
  Play->Play(0);
  EXPECT_EQ(Audio.Active(), 2);
  // Whether there is a device or not was said before, when it first played.
  EXPECT_EQ(Said.count(), 0);
  EXPECT_EQ(Play->lblSound->isVisibleTo(Play.get()), Audio.Silent());
}

}  // namespace
