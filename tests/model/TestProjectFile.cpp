// The project file's layout, byte for byte, on the worked example of
// docs/ProjectFile.md: the writer writes exactly these bytes and the reader
// reads every value back from them. A round trip alone would not notice a
// change that writer and reader make together, which files saved before it
// could no longer be opened by.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "TestSupport.h"
#include "behaviour/REventKey.h"
#include "behaviour/UBehaviour.h"
#include "behaviour/UValueAction.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USound.h"
#include "model/UTile.h"
#include "model/UVariable.h"

using namespace lvk;
using test::TBytes;

namespace {

// Section 9 of the doc, value by value.
const char* const ExampleParts[] = {
    "06 06 4c 75 72 76 69 6b",                          // signature "Lurvik"
    "02 01",                                            // version 1
    "06 07 5b 54 47 61 6d 65 5d",                       // "[TGame]"
    "02 00",                                            // save counter 0
    "11 00 00 00 00 00 00 00 00",                       // editing time 0.0
    "06 02 48 69",                                      // title "Hi"
    "06 0a 5b 54 50 61 6c 65 74 74 65 5d",              // "[TPalette]"
    "02 02",                                            // 2 colours
    "02 00 02 00 02 00",                                // 0, 0, 0
    "03 ff 00 03 ff 00 02 00",                          // 255, 255, 0
    "06 07 5b 54 54 69 6c 65 5d",                       // "[TTile]"
    "06 05 74 52 69 6e 67",                             // "tRing"
    "42 4d 5e 00 00 00 00 00 00 00 3e 00 00 00",        // BMP file header: 94 bytes, pixels at 62
    "28 00 00 00 08 00 00 00 08 00 00 00 01 00 01 00",  // 40-byte header: 8 by 8, 1 plane, 1 bit
    "00 00 00 00 20 00 00 00 00 00 00 00 00 00 00 00",  // no compression, 32 bytes of pixels
    "02 00 00 00 00 00 00 00",                          // 2 colours used
    "00 00 00 00 00 ff ff 00",                          // colour table: black, yellow
    "ff 00 00 00 81 00 00 00 81 00 00 00 81 00 00 00",  // rows, the bottom one first
    "81 00 00 00 81 00 00 00 81 00 00 00 ff 00 00 00",  //
    "00",                                               // end of tiles
    "06 08 5b 54 41 63 74 6f 72 5d",                    // "[TActor]"
    "06 05 61 48 65 72 6f",                             // "aHero"
    "09 06 05 74 52 69 6e 67",                          // drawn with "tRing"
    "02 01",                                            // 1 handler
    "06 07 3c 4f 6e 4b 65 79 3e",                       // "<OnKey>"
    "09 02 01",                                         // on pressing A
    "02 02",                                            // 2 actions
    "06 0d 3c 53 65 74 56 61 72 69 61 62 6c 65 3e",     // "<SetVariable>"
    "06 06 76 53 63 6f 72 65 06 01 31 09",              // vScore, "1", relative
    "06 0b 3c 50 6c 61 79 53 6f 75 6e 64 3e",           // "<PlaySound>"
    "06 05 73 43 6f 69 6e",                             // "sCoin"
    "00",                                               // end of actors
    "06 08 5b 54 4c 65 76 65 6c 5d",                    // "[TLevel]"
    "06 04 6c 4f 6e 65",                                // "lOne"
    "02 02 02 01",                                      // 2 by 1
    "09 06 05 61 48 65 72 6f",                          // cell (0, 0): aHero
    "08",                                               // cell (1, 0): empty
    "00",                                               // end of levels
    "06 0c 5b 54 56 61 72 69 61 62 6c 65 73 5d",        // "[TVariables]"
    "02 01",                                            // 1 variable
    "06 06 76 53 63 6f 72 65 02 00 02 00",              // vScore, 0, game scope
    "02 01 06 05 61 48 65 72 6f",                       // 1 solid actor: aHero
    "06 09 5b 54 53 6f 75 6e 64 73 5d",                 // "[TSounds]"
    "02 01",                                            // 1 sound
    "06 08 5b 54 53 6f 75 6e 64 5d",                    // "[TSound]"
    "06 05 73 43 6f 69 6e 02 00",                       // "sCoin", made
    "02 02 03 28 05 03 bc 07 03 c8 00",                 // square 50 %, 1320 Hz to 1980 Hz, 200 ms
    "02 00 03 96 00 02 60",                             // attack 0, decay 150, volume 96
    "02 00 02 00 02 01",                                // no vibrato, 1 repeat
    "02 01",                                            // music for 1 level
    "02 00 06 05 73 43 6f 69 6e",                       // level 0 loops sCoin
};
constexpr std::size_t PictureAt = 0x4e;
constexpr std::size_t PictureSize = 94;

}  // namespace

// Also the start of the example of the tile and handler notes.
TBytes test::WorkedExampleBytes() {
  TBytes Bytes;
  for (const char* Part : ExampleParts)
    for (const char* P = Part; *P; P += P[2] ? 3 : 2)
      Bytes.push_back(static_cast<std::uint8_t>(std::stoi(std::string(P, 2), nullptr, 16)));
  return Bytes;
}

TEST(ProjectFile, TheWorkedExampleIsWhatTheWriterWritesAndTheReaderReads) {
  RegisterKinds();
  const TBytes Bytes = test::WorkedExampleBytes();
  ASSERT_EQ(Bytes.size(), 396u);
  ASSERT_EQ(Bytes[PictureAt], 'B');
  test::TTempDir Dir;
  const std::string Picture = Dir.File("ring.bmp");
  test::WriteBytes(Picture, TBytes(Bytes.begin() + PictureAt, Bytes.begin() + PictureAt + PictureSize));

  // Written: the game of the example, made as the editor makes it.
  TGame Game;
  Game.SetTitle("Hi");
  Game.Palette().DeleteRange(2, Game.Palette().Count() - 1);
  Game.Palette().SetEntryColor(0, RGB(0, 0, 0));
  Game.Palette().SetEntryColor(1, RGB(255, 255, 0));
  TTile* Tile = Game.AddTile();
  Tile->SetName("tRing");
  Tile->ImportBitmap(Picture);
  TActor* Hero = Game.AddActor();
  Hero->SetName("aHero");
  Hero->SetTile(Tile);
  Hero->SetSolid(true);
  THandler* Key = Hero->AddHandler();
  Key->SetEvent(TEventKey::ClassKind());
  static_cast<TEventKey*>(Key->Event())->SetPress(true);
  TActionBase* Add = Key->AddAction(TActionSetVariable::ClassKind());
  Add->SetValue(0, "vScore");
  Add->SetValue(1, "1");
  Add->SetValue(2, "1");
  Key->AddAction(TActionPlaySound::ClassKind())->SetValue(0, "sCoin");
  TLevel* Level = Game.AddLevel();
  Level->SetName("lOne");
  Level->SetSize(2, 1);
  Level->SetCell(0, 0, Hero);
  Game.AddVariable()->SetName("vScore");
  TSound* Coin = Game.AddSound();
  Coin->SetName("sCoin");
  Coin->SetParams({LVK_WAVE_SQUARE_50, 1320, 1980, 200, 0, 150, 96, 0, 0, 1});
  Level->SetMusic(Coin);
  EXPECT_EQ(Game.ContentBytes(), Bytes);

  // Read: every value the bytes hold.
  TGame Loaded;
  Loaded.LoadContent(Bytes);
  EXPECT_EQ(Loaded.Title(), "Hi");
  ASSERT_EQ(Loaded.Palette().Count(), 2);
  EXPECT_EQ(Loaded.Palette().GetEntryColor(1), RGB(255, 255, 0));
  ASSERT_EQ(Loaded.TileCount(), 1);
  const TPeekBitmap& Ring = Loaded.GetTile(0)->Bitmap();
  EXPECT_EQ(Ring.BitCount(), 1);
  EXPECT_EQ(Ring.GetColor(0, 0), RGB(255, 255, 0));
  EXPECT_EQ(Ring.GetColor(7, 7), RGB(255, 255, 0));
  EXPECT_EQ(Ring.GetColor(3, 4), RGB(0, 0, 0));
  ASSERT_EQ(Loaded.ActorCount(), 1);
  const TActor& Actor = *Loaded.GetActor(0);
  EXPECT_EQ(Actor.Name(), "aHero");
  EXPECT_EQ(Actor.Tile(), Loaded.GetTile(0));
  EXPECT_TRUE(Actor.Solid());
  ASSERT_EQ(Actor.HandlerCount(), 1);
  const THandler& Handler = *Actor.GetHandler(0);
  EXPECT_EQ(Handler.Event()->Summary(), "OnKey( A, press )");
  ASSERT_EQ(Handler.ActionCount(), 2);
  EXPECT_EQ(Handler.GetAction(0)->Summary(), "SetVariable(vScore, 1, relative)");
  EXPECT_EQ(Handler.GetAction(1)->Summary(), "PlaySound(sCoin)");
  ASSERT_EQ(Loaded.LevelCount(), 1);
  const TLevel& Room = *Loaded.GetLevel(0);
  EXPECT_EQ(Room.Name(), "lOne");
  EXPECT_EQ(Room.Width(), 2);
  EXPECT_EQ(Room.Height(), 1);
  EXPECT_EQ(Room.GetCell(0, 0), &Actor);
  EXPECT_EQ(Room.GetCell(1, 0), nullptr);
  ASSERT_EQ(Loaded.VariableCount(), 1);
  EXPECT_EQ(Loaded.GetVariable(0)->Name(), "vScore");
  EXPECT_EQ(Loaded.GetVariable(0)->Initial(), 0);
  EXPECT_EQ(Loaded.GetVariable(0)->Scope(), TVariableScope::Game);
  ASSERT_EQ(Loaded.SoundCount(), 1);
  const TSound& Sound = *Loaded.GetSound(0);
  EXPECT_EQ(Sound.Name(), "sCoin");
  EXPECT_EQ(Sound.Kind(), TSoundKind::skMade);
  const lvk_synth_params_t& P = Sound.Params();
  EXPECT_EQ(P.wave, LVK_WAVE_SQUARE_50);
  EXPECT_EQ(P.start_hz, 1320);
  EXPECT_EQ(P.end_hz, 1980);
  EXPECT_EQ(P.length_ms, 200);
  EXPECT_EQ(P.decay_ms, 150);
  EXPECT_EQ(P.volume, 96);
  EXPECT_EQ(P.repeat, 1);
  EXPECT_EQ(Room.Music(), &Sound);
}

// The saved data's section: the example of docs/ProjectFile.md (section
// 7.8) byte for byte, read back the same; every damage a read error; a game
// back to nothing saved stores as before; an undo puts the tick and the
// table's settings back.
TEST(ProjectFile, SavedDataSectionBytesDamageAndUndo) {
  TDocument Doc;
  TGame& Game = Doc.Game();
  TVariable *Score, *Best;
  {
    TEdit Edit(Game, "Variables");
    Score = Game.AddVariable();
    Best = Game.AddVariable();
  }
  const TBytes Plain = Game.ContentBytes();
  {
    TEdit Edit(Game, "Saved data");
    Best->SetSaved(true);
    Game.SetHighScores({5, Score->Id(), true, 3});
  }
  const TBytes Whole = Game.ContentBytes();
  const TBytes Section = {0x06, 0x0c, '[', 'T', 'S', 'a', 'v', 'e', 'd', 'D', 'a', 't', 'a', ']',
                          0x02, 0x01, 0x02, 0x01, 0x02, 0x05, 0x02, 0x00, 0x09, 0x02, 0x03};
  ASSERT_EQ(Whole.size(), Plain.size() + Section.size());
  EXPECT_TRUE(std::equal(Plain.begin(), Plain.end(), Whole.begin()));
  EXPECT_TRUE(std::equal(Section.begin(), Section.end(), Whole.begin() + static_cast<std::ptrdiff_t>(Plain.size())));
  TGame Loaded;
  Loaded.LoadContent(Whole);
  EXPECT_EQ(Loaded.ContentBytes(), Whole);
  EXPECT_FALSE(Loaded.GetVariable(0)->Saved());
  EXPECT_TRUE(Loaded.GetVariable(1)->Saved());
  EXPECT_EQ(Loaded.ScoreVariable(), Loaded.GetVariable(0));
  EXPECT_EQ(Loaded.HighScores().Places, 5);

  auto WithSection = [&](const TBytes& Body) {
    TBytes B = Plain;
    test::Append(B, test::ShortString("[TSavedData]"));
    test::Append(B, Body);
    return B;
  };
  const TBytes Bad[] = {
      {0x02, 0x03, 0x02, 0x00, 0x02, 0x01, 0x02, 0x00, 0x02, 0x00, 0x02, 0xff, 0x09, 0x02, 0x03},  // 3 of 2
      {0x02, 0x01, 0x02, 0x02, 0x02, 0x00, 0x02, 0xff, 0x09, 0x02, 0x03},                        // index 2
      {0x02, 0x02, 0x02, 0x01, 0x02, 0x01, 0x02, 0x00, 0x02, 0xff, 0x09, 0x02, 0x03},            // twice
      {0x02, 0x00, 0x02, 0x0b, 0x02, 0x00, 0x09, 0x02, 0x03},                                    // 11 places
      {0x02, 0x00, 0x02, 0x05, 0x02, 0x02, 0x09, 0x02, 0x03},                                    // score 2
      {0x02, 0x00, 0x02, 0x05, 0x02, 0x00, 0x09, 0x02, 0x09},                                    // 9 letters
      {0x02, 0x00, 0x02, 0x05, 0x02, 0x00, 0x09, 0x02, 0x00},                                    // 0 letters
      {0x02, 0x00, 0x02, 0x00, 0x02, 0xff, 0x09, 0x02, 0x03},                                    // sets nothing
  };
  for (const TBytes& Body : Bad) {
    TGame Damaged;
    EXPECT_EQ(test::MessageOf([&] { Damaged.LoadContent(WithSection(Body)); }),
              "Read error: file has unexpected format");
  }
  for (std::size_t N = Plain.size() + 14; N < Whole.size(); ++N) {
    TGame Cut;
    EXPECT_EQ(test::MessageOf([&] { Cut.LoadContent(TBytes(Whole.begin(), Whole.begin() + static_cast<std::ptrdiff_t>(N))); }),
              "Read error: file has unexpected format")
        << N;
  }
  TBytes Late = Whole;
  test::Append(Late, test::ShortString("[TBackdrops]"));
  test::Append(Late, {0x02, 0x01, 0x02, 0x00, 0x02, 0x01});
  TGame LateGame;
  EXPECT_EQ(test::MessageOf([&] { LateGame.LoadContent(Late); }), "Read error: file has unexpected format");

  ASSERT_TRUE(Doc.Undo());
  EXPECT_FALSE(Best->Saved());
  EXPECT_EQ(Game.HighScores(), THighScores());
  EXPECT_EQ(Game.ContentBytes(), Plain);
  ASSERT_TRUE(Doc.Redo());
  EXPECT_EQ(Game.ContentBytes(), Whole);
}
