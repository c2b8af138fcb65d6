// Module files into songs, through libxmp: a MOD written here (notes,
// instruments, volumes, effects kept and dropped, two patterns in an order
// list, a looped sample) imports as a song with its
// samples as sounds, once each; more than 8 channels and damaged files are
// refused with a message, the game unchanged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/UModuleImport.h"
#include "model/USong.h"
#include "model/USound.h"

using namespace lvk;
using test::MessageOf;
using test::TBytes;

namespace {

struct TModCell {
  int Row, Channel, Period, Sample, Effect, Value;
};

// A ProTracker module: Tag names the channels ("M.K." four, "10CH" ten);
// sample 1 is 64 bytes of a ramp looping over its last 48, sample 2 a
// 16-byte blip with no loop; patterns of 64 rows.
TBytes Module(const std::string& Tag, int Channels, const std::vector<std::vector<TModCell>>& Patterns,
              const std::vector<int>& Orders, int Restart) {
  TBytes B;
  auto Text = [&B](const std::string& S, std::size_t Size) {
    for (std::size_t i = 0; i < Size; ++i) B.push_back(i < S.size() ? static_cast<std::uint8_t>(S[i]) : 0);
  };
  auto Word = [&B](int V) {
    B.push_back(static_cast<std::uint8_t>(V >> 8));
    B.push_back(static_cast<std::uint8_t>(V));
  };
  Text("test tune", 20);
  for (int s = 0; s < 31; ++s) {
    Text(s == 0 ? "Bass!" : s == 1 ? "blip" : "", 22);
    const int Words = s == 0 ? 32 : s == 1 ? 8 : 0;
    Word(Words);
    B.push_back(0);                        // finetune
    B.push_back(s < 2 ? 64 : 0);           // volume
    Word(s == 0 ? 8 : 0);                  // loop start, words
    Word(s == 0 ? 24 : 1);                 // loop length, words
  }
  B.push_back(static_cast<std::uint8_t>(Orders.size()));
  B.push_back(static_cast<std::uint8_t>(Restart));
  for (int o = 0; o < 128; ++o) B.push_back(o < static_cast<int>(Orders.size()) ? static_cast<std::uint8_t>(Orders[static_cast<std::size_t>(o)]) : 0);
  Text(Tag, 4);
  for (const auto& Pattern : Patterns) {
    TBytes P(static_cast<std::size_t>(64 * Channels * 4), 0);
    for (const TModCell& C : Pattern) {
      std::uint8_t* At = &P[static_cast<std::size_t>((C.Row * Channels + C.Channel) * 4)];
      At[0] = static_cast<std::uint8_t>((C.Sample & 0xF0) | (C.Period >> 8));
      At[1] = static_cast<std::uint8_t>(C.Period);
      At[2] = static_cast<std::uint8_t>(((C.Sample & 0x0F) << 4) | C.Effect);
      At[3] = static_cast<std::uint8_t>(C.Value);
    }
    B.insert(B.end(), P.begin(), P.end());
  }
  for (int i = 0; i < 64; ++i) B.push_back(static_cast<std::uint8_t>(i * 2));
  for (int i = 0; i < 16; ++i) B.push_back(static_cast<std::uint8_t>(i % 2 ? 100 : -100));
  return B;
}

// Periods: 428 is ProTracker's C-2, our C4; 214 an octave up.
const std::vector<std::vector<TModCell>> Tune = {
    {{0, 0, 428, 1, 0x0, 0x37},     // arpeggio
     {0, 1, 214, 2, 0xC, 0x20},     // volume 32
     {1, 0, 0, 0, 0x1, 0x05},       // slide up
     {2, 2, 381, 1, 0x7, 0x44},     // tremolo: dropped
     {3, 3, 0, 0, 0x9, 0x10},       // sample offset: dropped
     {4, 0, 0, 0, 0xE, 0xC3},       // note cut on frame 3
     {5, 1, 0, 0, 0xF, 0x03},       // speed 3
     {6, 0, 0, 0, 0xD, 0x12}},      // break to row 12 (decimal)
    {{0, 3, 856, 2, 0xA, 0x20},     // C-1 (our C3), volume slide up
     {63, 0, 0, 0, 0xB, 0x00}},     // jump to order 0
};

}  // namespace

TEST(ModuleImport, NotesOrdersEffectsAndSamples) {
  TGame Game;
  Game.AddSound();  // a sound of the game's own stays as it is
  TSong* Song = Game.AddSong();
  // Restart 127: ProTracker's own mark (an older tracker's restart byte
  // would make libxmp read the file as that tracker's, without its effects).
  const TBytes Mod = Module("M.K.", 4, Tune, {0, 1, 0}, 127);
  const TModuleImport R = ImportModuleBytes(*Song, Mod.data(), Mod.size(), "test.mod");
  // Each sample once, named after it, its pitch a base note, its loop kept.
  ASSERT_EQ(R.Sounds, 2);
  ASSERT_EQ(Game.SoundCount(), 3);
  const TSound& Bass = *Game.GetSound(1);
  const TSound& Blip = *Game.GetSound(2);
  EXPECT_EQ(Bass.Name(), "sBass");
  EXPECT_EQ(Blip.Name(), "sblip");
  // 8,363 Hz for C4 is within a third of a semitone of 16,384 Hz for C5;
  // the samples are stretched by the rest.
  EXPECT_EQ(Bass.BaseNote(), 49);
  EXPECT_EQ(Bass.Samples().size(), 64u);  // 62 stretched, padded to a multiple of 4
  EXPECT_EQ(Bass.Samples()[10], 20);      // the ramp, 2 a byte, stretched by 0.98
  EXPECT_EQ(Bass.LoopStart(), 16u);
  EXPECT_EQ(Bass.LoopEnd(), 62u);
  EXPECT_FALSE(Blip.HasLoop());

  const TSongData& D = Song->Data();
  EXPECT_EQ(D.Channels, 4);
  EXPECT_EQ(D.Orders, (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(D.Loop, 0);
  EXPECT_EQ(D.Tempo, 7);  // speed 6 at 125 beats a minute: 7.2 frames a row
  ASSERT_EQ(D.Patterns.size(), 2u);
  const TSongPattern& P = D.Patterns[0];
  EXPECT_EQ(P.Rows, 64);
  struct TWant {
    int Row, Channel;
    TSongCell Cell;
  };
  const TWant Want[] = {
      {0, 0, {37, Bass.Id(), NoVolume, LVK_SEQ_FX_ARPEGGIO, 0x37}},
      {0, 1, {49, Blip.Id(), 8, 0, 0}},
      {1, 0, {0, NoItem, NoVolume, LVK_SEQ_FX_SLIDE_UP, 5}},
      {2, 2, {39, Bass.Id(), NoVolume, 0, 0}},
      {3, 3, {}},
      {4, 0, {0, NoItem, NoVolume, LVK_SEQ_FX_NOTE_CUT, 3}},
      {5, 1, {0, NoItem, NoVolume, LVK_SEQ_FX_SET_TEMPO, 4}},
      {6, 0, {0, NoItem, NoVolume, LVK_SEQ_FX_END_PATTERN, 12}},
  };
  for (const TWant& W : Want) EXPECT_EQ(P.At(W.Row, W.Channel), W.Cell) << W.Row << "," << W.Channel;
  EXPECT_EQ(D.Patterns[1].At(0, 3), (TSongCell{25, Blip.Id(), NoVolume, LVK_SEQ_FX_VOLUME_SLIDE, 0x20}));
  EXPECT_EQ(D.Patterns[1].At(63, 0), (TSongCell{0, NoItem, NoVolume, LVK_SEQ_FX_JUMP, 0}));
  // What was left out, in one message.
  EXPECT_EQ(R.Note, "Effects a song does not play were left out: sample offset, tremolo.");
}

TEST(ModuleImport, RefusedFilesChangeNothing) {
  TGame Game;
  TSong* Song = Game.AddSong();
  const TSongData Before = Song->Data();
  const TBytes Wide = Module("10CH", 10, {{{0, 9, 428, 1, 0, 0}}}, {0}, 0);
  EXPECT_EQ(MessageOf([&] { ImportModuleBytes(*Song, Wide.data(), Wide.size(), "wide.mod"); }),
            "The module \"wide.mod\" has 10 channels; a song has at most 8.");
  const TBytes Good = Module("M.K.", 4, Tune, {0, 1}, 0);
  // Cut anywhere, or bytes that are no module: refused with a message.
  for (std::size_t N : {std::size_t{0}, std::size_t{20}, std::size_t{1084}, std::size_t{1500}, Good.size() / 2}) {
    const std::string Message = MessageOf([&] { ImportModuleBytes(*Song, Good.data(), N, "cut.mod"); });
    // A module cut in its samples may still read: libxmp pads them.
    if (!Message.empty())
      EXPECT_EQ(Message, "The file \"cut.mod\" is not a module file this program reads.") << N;
    else
      EXPECT_GT(N, 1084u + 2 * 1024u) << "a cut pattern must not read";
    if (!Message.empty()) EXPECT_EQ(Song->Data(), Before) << N;
  }
  EXPECT_EQ(Game.SoundCount(), 0);
  EXPECT_NE(MessageOf([&] { ImportModule(*Song, "/nonexistent/tune.xm"); }), "");
  EXPECT_EQ(Song->Data(), Before);
}
