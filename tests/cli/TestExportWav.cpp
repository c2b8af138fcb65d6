// --export-wav: a song rendered by the sequencer and the mixer into a WAV
// file, measured (length, pitch, level), and the command's exit statuses.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sys/wait.h>

#include "TestSupport.h"
#include "generator/UCommandLine.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USong.h"
#include "model/USound.h"

using namespace lvk;
using test::Quote;
using test::Slurp;

namespace {

int StudioRun(const std::string& Arguments, std::string* Err = nullptr) {
  test::TTempDir Dir;
  const std::string Cmd = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= " + Quote(LVK_STUDIO) + " " + Arguments +
                          " >/dev/null 2>" + Dir.File("err") + " </dev/null";
  const int Raw = std::system(Cmd.c_str());
  if (Err) *Err = Slurp(Dir.File("err"));
  return WIFEXITED(Raw) ? WEXITSTATUS(Raw) : -1;
}

// A square wave of 512 Hz for a second, full volume 100; a song of one
// channel at tempo 6: C4 (the sound's own pitch) on row 0, C5 on row 8,
// 16 rows: 96 frames.
std::string SavedGame(const test::TTempDir& Dir, bool WithSong) {
  TGame Game;
  TLevel* Level = Game.AddLevel();
  Level->SetSize(32, 24);
  TSound* Square = Game.AddSound();
  Square->SetParams({LVK_WAVE_SQUARE_50, 512, 512, 1000, 0, 0, 100, 0, 0, 0});
  if (WithSong) {
    TSong* Song = Game.AddSong();
    Song->SetName("mTest");
    TSongData D = Song->Data();
    D.Channels = 1;
    D.Tempo = 6;
    D.Loop = 0;
    D.Patterns = {EmptyPattern(16)};
    D.Patterns[0].At(0, 0) = {37, Square->Id(), 15, 0, 0};
    D.Patterns[0].At(8, 0) = {49, Square->Id(), NoVolume, 0, 0};
    Song->SetData(D);
    Level->SetSong(Song);
  }
  Game.SetFileName(Dir.File(WithSong ? "song.lvk" : "plain.lvk"));
  Game.Save();
  return Game.FileName();
}

std::vector<std::int16_t> ReadWav(const std::string& FileName, std::uint32_t& Rate) {
  const std::string B = Slurp(FileName);
  EXPECT_GE(B.size(), 44u);
  if (B.size() < 44) return {};
  EXPECT_EQ(B.substr(0, 4), "RIFF");
  EXPECT_EQ(B.substr(8, 8), "WAVEfmt ");
  auto U = [&B](std::size_t At, int Bytes) {
    std::uint32_t V = 0;
    for (int i = Bytes - 1; i >= 0; --i) V = (V << 8) | static_cast<std::uint8_t>(B[At + static_cast<std::size_t>(i)]);
    return V;
  };
  EXPECT_EQ(U(20, 2), 1u);   // PCM
  EXPECT_EQ(U(22, 2), 1u);   // mono
  EXPECT_EQ(U(34, 2), 16u);  // 16-bit
  Rate = U(24, 4);
  EXPECT_EQ(B.substr(36, 4), "data");
  std::vector<std::int16_t> S((B.size() - 44) / 2);
  EXPECT_EQ(U(40, 4), S.size() * 2);
  std::memcpy(S.data(), B.data() + 44, S.size() * 2);
  return S;
}

// Rising zero crossings a second between two times (seconds).
double Frequency(const std::vector<std::int16_t>& S, std::uint32_t Rate, double From, double To) {
  const auto A = static_cast<std::size_t>(From * Rate), Z = static_cast<std::size_t>(To * Rate);
  int N = 0;
  for (std::size_t i = A + 1; i < Z; ++i) N += S[i - 1] < 0 && S[i] >= 0;
  return N / (To - From);
}

}  // namespace

TEST(ExportWav, RendersTheSongMeasured) {
  test::TTempDir Dir;
  const std::string Game = SavedGame(Dir, true);
  const std::string Wav = Dir.File("out.wav");
  ASSERT_EQ(StudioRun("--export-wav " + Quote(Game) + " --output " + Quote(Wav)), 0);
  std::uint32_t Rate = 0;
  const std::vector<std::int16_t> S = ReadWav(Wav, Rate);
  EXPECT_EQ(Rate, 44100u);
  // 96 frames of 1/60 s, once round although the song loops.
  EXPECT_EQ(S.size(), 96u * 44100 / 60);
  // The sound's own pitch on C4, an octave up on C5 (restarted at 0.8 s,
  // its second lasting half as long).
  EXPECT_NEAR(Frequency(S, Rate, 0.05, 0.75), 512, 512 * 0.02);
  EXPECT_NEAR(Frequency(S, Rate, 0.85, 1.25), 1024, 1024 * 0.02);
  // Level: the square's 100 at the mixer's full channel volume, 127.
  int Peak = 0;
  for (std::int16_t V : S) Peak = std::max(Peak, std::abs(static_cast<int>(V)));
  EXPECT_EQ(Peak, 100 * 127);
  // Silent once the second note's half second is over.
  for (std::size_t i = static_cast<std::size_t>(1.32 * Rate); i < S.size(); ++i) ASSERT_EQ(S[i], 0) << i;

  // By name, the same; an unknown name, a game without songs, a game that
  // does not load, and bad arguments each say so with their status.
  const std::string Named = Dir.File("named.wav");
  EXPECT_EQ(StudioRun("--export-wav " + Quote(Game) + " --song MTEST --output " + Quote(Named)), 0);
  EXPECT_EQ(Slurp(Named), Slurp(Wav));
  std::string Err;
  EXPECT_EQ(StudioRun("--export-wav " + Quote(Game) + " --song mNone --output " + Quote(Named), &Err), 3);
  EXPECT_NE(Err.find("no song called \"mNone\""), std::string::npos) << Err;
  EXPECT_EQ(Slurp(Named), Slurp(Wav)) << "a failed export leaves the file as it was";
  EXPECT_EQ(StudioRun("--export-wav " + Quote(SavedGame(Dir, false)) + " --output " + Quote(Named), &Err), 3);
  EXPECT_NE(Err.find("The first level plays no song"), std::string::npos) << Err;
  EXPECT_EQ(StudioRun("--export-wav " + Quote(Dir.File("missing.lvk")) + " --output " + Quote(Named)), 2);
  EXPECT_EQ(StudioRun("--export-wav " + Quote(Game)), 64);
  EXPECT_EQ(StudioRun("--generate " + Quote(Game) + " --song mTest"), 64);
  EXPECT_EQ(StudioRun("--export-wav " + Quote(Game) + " --output " + Quote(Dir.File("no/such/folder.wav"))), 3);
}
