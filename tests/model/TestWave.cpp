// WAV import: every kind of file it takes, converted to 8-bit mono at
// 16,384 Hz, and every kind it refuses with the reason.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "model/UErrors.h"
#include "model/UWave.h"

namespace lvk {
namespace {

using test::TBytes;

void Put(TBytes& B, std::uint32_t V, int Size) {
  for (int i = 0; i < Size; ++i) B.push_back(static_cast<std::uint8_t>(V >> (8 * i)));
}

TBytes Chunk(const std::string& Id, const TBytes& Body, std::int64_t Claimed = -1) {
  TBytes B(Id.begin(), Id.end());
  Put(B, static_cast<std::uint32_t>(Claimed < 0 ? Body.size() : Claimed), 4);
  test::Append(B, Body);
  if (Body.size() % 2) B.push_back(0);
  return B;
}

TBytes Fmt(std::uint16_t Tag, std::uint16_t Channels, std::uint32_t Rate, std::uint16_t Bits, int SubTag = -1) {
  TBytes B;
  Put(B, Tag, 2), Put(B, Channels, 2), Put(B, Rate, 4), Put(B, Rate * Channels * Bits / 8, 4);
  Put(B, Channels * Bits / 8, 2), Put(B, Bits, 2);
  if (SubTag >= 0) {  // the extensible form: size, valid bits, mask, sub-format GUID
    Put(B, 22, 2), Put(B, Bits, 2), Put(B, 4, 4), Put(B, static_cast<std::uint32_t>(SubTag), 2);
    test::Append(B, {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71});
  }
  return Chunk("fmt ", B);
}

TBytes Riff(const std::vector<TBytes>& Chunks, std::int64_t Claimed = -1) {
  TBytes Body = {'W', 'A', 'V', 'E'};
  for (const TBytes& C : Chunks) test::Append(Body, C);
  return Chunk("RIFF", Body, Claimed);
}

TBytes Data(const std::vector<int>& Values, int Bits) {
  TBytes B;
  for (int V : Values) Put(B, static_cast<std::uint32_t>(Bits == 8 ? V + 128 : V), Bits / 8);
  return Chunk("data", B);
}

TWaveImport Read(const TBytes& B) { return ReadWaveBytes(B.data(), B.size()); }

TEST(Wave, RefusesWhatItCannotTake) {
  const TBytes Mono8 = Fmt(1, 1, 16384, 8), Sound = Data({1, 2, 3, 4}, 8);
  TBytes NotWave = Riff({Mono8, Sound});
  NotWave[8] = 'A';
  const std::vector<std::pair<TBytes, std::string>> Cases = {
      {{}, "Not a WAV file (it does not start with RIFF and WAVE)"},
      {{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V'}, "Not a WAV file"},
      {NotWave, "Not a WAV file"},
      {Riff({Fmt(3, 1, 16384, 32), Sound}), "WAV file is not PCM (format 3); only uncompressed PCM can be imported"},
      {Riff({Fmt(0xFFFE, 1, 16384, 32, 3), Sound}), "WAV file is not PCM (format 3)"},
      {Riff({Fmt(1, 1, 16384, 24), Sound}), "WAV file has 24 bits per sample; only 8 and 16 bits can be imported"},
      {Riff({Fmt(1, 2, 16384, 32), Sound}), "WAV file has 32 bits per sample"},
      {Riff({Fmt(1, 0, 16384, 8), Sound}), "WAV file has 0 channels; only mono and stereo can be imported"},
      {Riff({Fmt(1, 6, 16384, 16), Sound}), "WAV file has 6 channels"},
      {Riff({Fmt(1, 1, 0, 8), Sound}), "WAV file has a sample rate of 0"},
      {Riff({Mono8, Chunk("data", {1, 2}, 1000)}), "WAV file is damaged: chunk \"data\" claims 1000 bytes, but only 2 are left"},
      {Riff({Chunk("LIST", {}, 0xFFFFFFFF), Mono8, Sound}), "WAV file is damaged: chunk \"LIST\" claims 4294967295 bytes"},
      {Riff({Chunk("fmt ", TBytes(14, 1)), Sound}), "WAV file is damaged: its format chunk is too short"},
      {Riff({Fmt(0xFFFE, 1, 16384, 8), Sound}), "WAV file is damaged: its format chunk is too short"},
      {Riff({Mono8}), "WAV file has no data chunk"},
      {Riff({Sound}), "WAV file has no format chunk"},
      {Riff({Mono8, Chunk("data", {})}), "WAV file has no sound (its data chunk is empty)"},
      {Riff({Fmt(1, 2, 16384, 16), Chunk("data", {1, 2, 3})}), "WAV file has no sound"},
  };
  for (const auto& [Bytes, Expected] : Cases) {
    std::string Message = test::MessageOf([&] { Read(Bytes); });
    EXPECT_TRUE(Message.starts_with(Expected)) << Message;
  }
  test::ResetLargestAllocation();
  EXPECT_THROW(Read(Riff({Fmt(1, 2, 44100, 16), Chunk("data", TBytes(64), 0x7FFFFFF0)})), EGame);
  EXPECT_LT(test::LargestAllocation(), 4096u);
  EXPECT_THROW(ReadWaveFile("/nonexistent/sound.wav"), EFileError);
}

TEST(Wave, ConvertsToMono8BitAt16384Hz) {
  // 8 bits mono at the right rate: the samples as they are, padded to 4.
  TWaveImport W = Read(Riff({Fmt(1, 1, 16384, 8), Data({-128, 127, 5, -5, 9}, 8)}));
  EXPECT_EQ(W.Samples, (std::vector<std::int8_t>{-128, 127, 5, -5, 9, 0, 0, 0}));
  EXPECT_FALSE(W.Cut);
  EXPECT_EQ(W.Frames, 5u);
  // 16-bit stereo: channels averaged, rounded to 8 bits; the same from the
  // extensible form, with the data before the format and an odd chunk between.
  std::vector<std::int8_t> Stereo = {8, -128, 127, 0};
  TBytes Values = Data({1000, 3000, -32768, -32768, 32767, 32767, 100, -100}, 16);
  EXPECT_EQ(Read(Riff({Fmt(1, 2, 16384, 16), Values})).Samples, Stereo);
  EXPECT_EQ(Read(Riff({Values, Chunk("LIST", {1, 2, 3}), Fmt(0xFFFE, 2, 16384, 16, 1)}, 0)).Samples, Stereo);
  // A higher rate averages, a lower one draws lines between the samples.
  EXPECT_EQ(Read(Riff({Fmt(1, 1, 32768, 8), Data({10, 20, -4, -6, 7, 7, 1, 2}, 8)})).Samples,
            (std::vector<std::int8_t>{15, -5, 7, 2}));
  EXPECT_EQ(Read(Riff({Fmt(1, 1, 8192, 8), Data({0, 64}, 8)})).Samples, (std::vector<std::int8_t>{0, 32, 64, 64}));
  // Lengths: a second at 44.1 kHz, one frame, and a cut after 2 seconds.
  EXPECT_EQ(Read(Riff({Fmt(1, 1, 44100, 16), Chunk("data", TBytes(88200))})).Samples.size(), 16384u);
  EXPECT_EQ(Read(Riff({Fmt(1, 1, 44100, 8), Data({100}, 8)})).Samples, (std::vector<std::int8_t>{100, 0, 0, 0}));
  W = Read(Riff({Fmt(1, 2, 8000, 8), Chunk("data", TBytes(48000, 128))}));
  EXPECT_TRUE(W.Cut);
  EXPECT_EQ(W.Samples.size(), WaveMaxSamples);
  EXPECT_EQ(W.Frames, 24000u);
  EXPECT_EQ(W.Rate, 8000u);
  EXPECT_EQ(W.Channels, 2);
  EXPECT_EQ(W.Bits, 8);
}

TEST(Wave, WrittenSamplesReadBack) {
  std::vector<std::int8_t> All;
  for (int V = -128; V < 128; ++V) All.push_back(static_cast<std::int8_t>(V));
  TBytes Bytes = WaveBytes(All);
  EXPECT_EQ(Bytes.size(), 44u + 256u);
  EXPECT_EQ(Read(Bytes).Samples, All);
  test::TTempDir Dir;
  SaveWaveFile(Dir.File("all.wav"), All);
  EXPECT_EQ(ReadWaveFile(Dir.File("all.wav")).Samples, All);
}

}  // namespace
}  // namespace lvk
