// Songs: the item (names, data held in range, delete and duplicate, undo),
// the sounds' values as instruments, a level's song, and the [TSongs]
// section held to the bytes of docs/ProjectFile.md, damage refused.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"
#include "model/UDocument.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USong.h"
#include "model/USound.h"

using namespace lvk;
using test::Append;
using test::MessageOf;
using test::TBytes;

namespace {

// The example of docs/ProjectFile.md: sBass plays C3 at its own rate and
// loops samples 1000..2000; mTune has 2 channels, one pattern of 16 rows
// (C-4 at volume 12, a note-off, E-4 with an arpeggio) and is level 0's song.
void MakeExample(TGame& Game) {
  Game.AddLevel()->SetSize(32, 24);
  TSound* Bass = Game.AddSound();
  Bass->SetName("sBass");
  Bass->SetBaseNote(25);
  Bass->SetLoop(1000, 2000);
  TSong* Tune = Game.AddSong();
  Tune->SetName("mTune");
  TSongData D = Tune->Data();
  D.Channels = 2;
  D.Patterns = {EmptyPattern(16)};
  D.Patterns[0].At(0, 0) = {37, Bass->Id(), 12, 0, 0};
  D.Patterns[0].At(4, 1).Note = NoteOff;
  D.Patterns[0].At(8, 0) = {41, Bass->Id(), NoVolume, LVK_SEQ_FX_ARPEGGIO, 0x37};
  Tune->SetData(D);
  Game.GetLevel(0)->SetSong(Tune);
}

}  // namespace

TEST(Song, ItemNamesDataAndLinks) {
  TGame Game;
  TSong* A = Game.AddSong();
  EXPECT_EQ(A->Name(), "mSong1");
  EXPECT_EQ(Game.AddSong()->Name(), "mSong2");
  EXPECT_EQ(MessageOf([&] { Game.GetSong(1)->SetName("MSONG1"); }), "A song with name \"MSONG1\" already exists");
  EXPECT_EQ(Game.FindSongByName("msong2"), Game.GetSong(1));
  // A new song: one pattern of 64 rows, one order, looping to it.
  EXPECT_EQ(A->Data().Patterns.size(), 1u);
  EXPECT_EQ(A->Data().Patterns[0].Rows, 64);
  EXPECT_EQ(A->Data().Orders, std::vector<int>{0});
  EXPECT_EQ(A->Data().Loop, 0);

  // Data out of range is held in range, never refused.
  TSongData D;
  D.Tempo = 99;
  D.BeatRows = 0;
  D.Channels = 12;
  D.Patterns = std::vector<TSongPattern>(70, EmptyPattern(8));
  D.Patterns[0].Cells[0] = {90, NoItem, 20, 42, 7};
  D.Orders = {3, 80, -1};
  D.Loop = 5;
  EXPECT_TRUE(A->SetData(D));
  const TSongData& Held = A->Data();
  EXPECT_EQ(Held.Tempo, SongMaxTempo);
  EXPECT_EQ(Held.BeatRows, 1);
  EXPECT_EQ(Held.Channels, SongMaxChannels);
  EXPECT_EQ(Held.Patterns.size(), static_cast<std::size_t>(SongMaxPatterns));
  EXPECT_EQ(Held.Patterns[0].Rows, SongMinRows);
  EXPECT_EQ(Held.Patterns[0].Cells.size(), static_cast<std::size_t>(SongMinRows * SongMaxChannels));
  EXPECT_TRUE(Held.Patterns[0].Cells[0].Empty());
  EXPECT_EQ(Held.Orders, (std::vector<int>{3, 0, 0}));
  EXPECT_EQ(Held.Loop, SongNoLoop);
  EXPECT_FALSE(A->SetData(Held)) << "the same data changes nothing";

  EXPECT_EQ(NoteName(1), "C-1");
  EXPECT_EQ(NoteName(38), "C#4");
  EXPECT_EQ(NoteName(84), "B-7");
  EXPECT_EQ(NoteName(NoteOff), "===");
  EXPECT_EQ(NoteName(0), "---");

  // A sound deleted: cells lose it; a song deleted: the level loses it;
  // a level's music is a song or a sound, not both.
  TGame G;
  MakeExample(G);
  TSong* Tune = G.GetSong(0);
  EXPECT_EQ(Tune->Instruments(), std::vector<TItemId>{G.GetSound(0)->Id()});
  TSound* Other = G.AddSound();
  G.GetLevel(0)->SetMusic(Other);
  EXPECT_EQ(G.GetLevel(0)->Song(), nullptr);
  G.GetLevel(0)->SetSong(Tune);
  EXPECT_EQ(G.GetLevel(0)->Music(), nullptr);
  TSong* Copy = G.DuplicateSong(Tune);
  EXPECT_EQ(Copy->Data(), Tune->Data());
  EXPECT_NE(Copy->Name(), Tune->Name());
  G.DeleteSound(G.GetSound(0));
  EXPECT_TRUE(Tune->Instruments().empty());
  EXPECT_EQ(Tune->Data().Patterns[0].At(0, 0).Note, 37) << "the notes stay";
  G.DeleteSong(Tune);
  EXPECT_EQ(G.GetLevel(0)->Song(), nullptr);
  EXPECT_EQ(G.SongCount(), 1);
}

TEST(Song, UndoPutsSongsSoundValuesAndLevelSongsBack) {
  TDocument Doc;
  TGame& Game = Doc.Game();
  test::Edit(Game, [&] { MakeExample(Game); });
  const TBytes Made = Game.ContentBytes();
  const TItemId TuneId = Game.GetSong(0)->Id();
  struct TStep {
    const char* Name;
    std::function<void()> Change;
  };
  const TStep Steps[] = {
      {"a cell", [&] {
         TSongData D = Game.GetSong(0)->Data();
         D.Patterns[0].At(2, 1).Note = 50;
         Game.GetSong(0)->SetData(D);
       }},
      {"a pattern added", [&] {
         TSongData D = Game.GetSong(0)->Data();
         D.Patterns.push_back(EmptyPattern(32));
         D.Orders.push_back(1);
         Game.GetSong(0)->SetData(D);
       }},
      {"the base note", [&] { Game.GetSound(0)->SetBaseNote(40); }},
      {"the loop", [&] { Game.GetSound(0)->SetLoop(0, 0); }},
      {"the level's song", [&] { Game.GetLevel(0)->SetSong(nullptr); }},
      {"rename", [&] { Game.GetSong(0)->SetName("mOther"); }},
      {"delete the song", [&] { Game.DeleteSong(Game.GetSong(0)); }},
      {"delete the sound", [&] { Game.DeleteSound(Game.GetSound(0)); }},
      {"duplicate", [&] { Game.DuplicateSong(Game.GetSong(0)); }},
  };
  for (const TStep& S : Steps) {
    test::Edit(Game, S.Change);
    EXPECT_NE(Game.ContentBytes(), Made) << S.Name;
    ASSERT_TRUE(Doc.Undo()) << S.Name;
    EXPECT_EQ(Game.ContentBytes(), Made) << S.Name;
    ASSERT_NE(Game.SongById(TuneId), nullptr) << S.Name << ": the song keeps its id";
    EXPECT_EQ(Game.GetLevel(0)->Song(), Game.SongById(TuneId)) << S.Name;
    ASSERT_TRUE(Doc.Redo()) << S.Name;
    ASSERT_TRUE(Doc.Undo()) << S.Name;
  }
}

TEST(SongSection, BytesReadBackAndDamage) {
  TGame Plain;
  Plain.AddLevel()->SetSize(32, 24);
  TSound* Bass = Plain.AddSound();
  Bass->SetName("sBass");
  const TBytes Before = Plain.ContentBytes();
  TGame Game;
  MakeExample(Game);
  const TBytes Whole = Game.ContentBytes();

  // The example of docs/ProjectFile.md, section [TSongs].
  TBytes Section = test::ShortString("[TSongs]");
  Append(Section, {0x02, 0x01});                                         // 1 song
  Append(Section, test::ShortString("mTune"));                           // its name
  Append(Section, {0x02, 0x06, 0x02, 0x04, 0x02, 0x02, 0x02, 0x00});     // tempo, beats, channels, loop
  Append(Section, {0x02, 0x01});                                         // 1 instrument
  Append(Section, test::ShortString("sBass"));
  Append(Section, {0x02, 0x01, 0x02, 0x10, 0x02, 0x03});                 // 1 pattern, 16 rows, 3 cells
  Append(Section, {0x02, 0x00, 0x02, 0x25, 0x02, 0x01, 0x02, 0x0c, 0x02, 0x00, 0x02, 0x00});
  Append(Section, {0x02, 0x21, 0x03, 0xff, 0x00, 0x02, 0x00, 0x02, 0xff, 0x02, 0x00, 0x02, 0x00});
  Append(Section, {0x02, 0x40, 0x02, 0x29, 0x02, 0x01, 0x02, 0xff, 0x02, 0x01, 0x02, 0x37});
  Append(Section, {0x02, 0x01, 0x02, 0x00});                             // 1 order: pattern 0
  Append(Section, {0x02, 0x01, 0x02, 0x00, 0x02, 0x19, 0x03, 0xe8, 0x03, 0x03, 0xd0, 0x07});  // sound 0
  Append(Section, {0x02, 0x01, 0x02, 0x00});                             // 1 level: level 0
  Append(Section, test::ShortString("mTune"));
  ASSERT_EQ(Whole.size(), Before.size() + Section.size());
  EXPECT_TRUE(std::equal(Before.begin(), Before.end(), Whole.begin())) << "older games keep every byte";
  EXPECT_TRUE(std::equal(Section.begin(), Section.end(), Whole.begin() + static_cast<std::ptrdiff_t>(Before.size())));

  TGame Loaded;
  Loaded.LoadContent(Whole);
  EXPECT_EQ(Loaded.ContentBytes(), Whole);
  ASSERT_EQ(Loaded.SongCount(), 1);
  EXPECT_EQ(Loaded.GetLevel(0)->Song(), Loaded.GetSong(0));
  EXPECT_EQ(Loaded.GetSound(0)->BaseNote(), 25);
  EXPECT_EQ(Loaded.GetSound(0)->LoopEnd(), 2000u);
  EXPECT_EQ(Loaded.GetSong(0)->Data().Patterns[0].At(8, 0).Instrument, Loaded.GetSound(0)->Id());

  // Damage: each a read error with the system's text, never a crash.
  const std::size_t S = Before.size(), At = S + Section.size();
  auto Spoilt = [&](std::size_t Offset, std::uint8_t Byte) {
    TBytes B = Whole;
    B[Offset] = Byte;
    return B;
  };
  struct TDamage {
    const char* Name;
    TBytes Bytes;
  };
  const std::vector<TDamage> Damages = {
      {"a song count past the bytes", Spoilt(S + 11, 0x70)},
      {"tempo 0", Spoilt(S + 20, 0x00)},
      {"nine channels", Spoilt(S + 24, 0x09)},
      {"a loop past the orders", Spoilt(S + 26, 0x05)},
      {"an instrument naming no sound", Spoilt(S + 31, 'X')},
      {"a pattern of 8 rows", Spoilt(S + 39, 0x08)},
      {"a cell on a channel the song lacks", Spoilt(S + 43, 0x03)},
      {"a note past B7", Spoilt(S + 45, 0x60)},
      {"an instrument past the list", Spoilt(S + 47, 0x02)},
      {"a volume of 16", Spoilt(S + 49, 0x10)},
      {"an unknown effect", Spoilt(S + 51, 0x0b)},
      {"an order naming no pattern", Spoilt(S + 82, 0x01)},
      {"a sound index past the sounds", Spoilt(S + 86, 0x01)},
      {"a base note of 0", Spoilt(S + 88, 0x00)},
      {"a level song naming no song", Spoilt(At - 1, 'X')},
  };
  for (const TDamage& D : Damages) {
    TGame Damaged;
    EXPECT_EQ(MessageOf([&] { Damaged.LoadContent(D.Bytes); }), FileUnexpected) << D.Name;
  }
  for (std::size_t N = S + 10; N < Whole.size(); ++N) {
    TGame Cut;
    EXPECT_EQ(MessageOf([&] { Cut.LoadContent(TBytes(Whole.begin(), Whole.begin() + static_cast<std::ptrdiff_t>(N))); }),
              FileUnexpected)
        << N;
  }
  // Nothing after the songs' section, not even another one.
  TBytes Late = Whole;
  Append(Late, Section);
  TGame LateGame;
  EXPECT_EQ(MessageOf([&] { LateGame.LoadContent(Late); }), FileUnexpected);
}
