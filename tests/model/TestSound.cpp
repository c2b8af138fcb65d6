// The sound item: made or imported, its samples and size, its name, and its
// record written and read back, damaged records refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "behaviour/REventCreate.h"
#include "behaviour/UBehaviour.h"
#include "behaviour/UValueAction.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USound.h"
#include "model/UStream.h"

namespace lvk {
namespace {

using test::TBytes;

void Load(TSound& Sound, const TBytes& Bytes) {
  TMemoryStream Stream(Bytes);
  TReader Reader(Stream);
  Sound.LoadFromStream(Stream, Reader);
}

TEST(Sound, MadeOrImported) {
  TSound Sound("sSound1");
  EXPECT_EQ(Sound.Kind(), TSoundKind::skMade);
  std::vector<std::int8_t> Coin(lvk_synth_length(&lvk_synth_presets[0].params));
  lvk_synth_render(&lvk_synth_presets[0].params, Coin.data(), static_cast<std::uint32_t>(Coin.size()));
  EXPECT_EQ(Sound.Samples(), Coin);
  EXPECT_EQ(Sound.DsSize(), 3276u);
  EXPECT_EQ(Sound.DurationMs(), 200);

  // Values are clamped; setting the same again changes nothing.
  lvk_synth_params_t P = lvk_synth_presets[6].params;
  P.length_ms = 99999;
  EXPECT_TRUE(Sound.SetParams(P));
  EXPECT_EQ(Sound.Params().length_ms, 2000);
  EXPECT_FALSE(Sound.SetParams(Sound.Params()));
  EXPECT_EQ(Sound.Samples().size(), 32768u);
  EXPECT_TRUE(Sound.SetPreset(4));  // Explosion, 1 s
  EXPECT_EQ(Sound.DsSize(), 16384u);
  EXPECT_EQ(Sound.Samples().size(), 16384u);  // rendered afresh

  // Imported samples are cut at 2 s and padded to 4; the made values stay.
  EXPECT_TRUE(Sound.SetImported({1, 2, 3, 4, 5}));
  EXPECT_EQ(Sound.Samples(), (std::vector<std::int8_t>{1, 2, 3, 4, 5, 0, 0, 0}));
  EXPECT_FALSE(Sound.SetImported({1, 2, 3, 4, 5, 0, 0, 0}));
  EXPECT_EQ(Sound.Params().length_ms, 1000);
  Sound.SetImported(std::vector<std::int8_t>(40000, 1));
  EXPECT_EQ(Sound.DsSize(), 32768u);
  EXPECT_EQ(Sound.DurationMs(), 2000);
  // A bad file leaves it as it was.
  test::TTempDir Dir;
  test::WriteBytes(Dir.File("bad.wav"), {'R', 'I', 'F', 'F'});
  EXPECT_THROW(Sound.ImportWave(Dir.File("bad.wav")), EGame);
  EXPECT_EQ(Sound.Samples().size(), 32768u);
  EXPECT_TRUE(Sound.SetPreset(4));
  EXPECT_EQ(Sound.Samples().size(), 16384u);
}

TEST(Sound, Names) {
  EXPECT_EQ(TSound::DefaultName(2, [](const std::string& N) { return N == "sSound3"; }), "sSound4");
  TSound A("sSound1"), B("sSound2");
  EXPECT_EQ(test::MessageOf([&] { B.SetName("ssound1", &A); }), "A sound with name \"ssound1\" already exists");
  EXPECT_EQ(test::MessageOf([&] { B.SetName("1x", nullptr); }),
            "\"1x\" is not a legal name (must start with letter and only have letters and digits)");
  EXPECT_EQ(B.Name(), "sSound2");
  EXPECT_FALSE(B.SetName("sSound2", &B));
  EXPECT_TRUE(B.SetName("SSOUND2", &B));
}

TEST(Sound, RecordsReadBack) {
  TSound Made("sCoin"), Imported("sVoice");
  Made.SetPreset(5);
  Imported.SetImported({-128, 0, 127, 9, 1});
  for (const TSound* Sound : {&Made, &Imported}) {
    TBytes Bytes = test::RecordOf(*Sound);
    TSound Copy("sOther");
    Load(Copy, Bytes);
    EXPECT_EQ(Copy.Name(), Sound->Name());
    EXPECT_EQ(Copy.Kind(), Sound->Kind());
    EXPECT_EQ(Copy.Samples(), Sound->Samples());
    EXPECT_EQ(test::RecordOf(Copy), Bytes);
  }
  // Raw samples follow the count: the record ends with them.
  TBytes Bytes = test::RecordOf(Imported);
  EXPECT_EQ(TBytes(Bytes.end() - 10, Bytes.end()), (TBytes{2, 8, 0x80, 0, 127, 9, 1, 0, 0, 0}));
}

TEST(Sound, DamagedRecordsChangeNothing) {
  TSound Imported("sVoice");
  Imported.SetParams({LVK_WAVE_NOISE, 100, 100, 100, 0, 0, 100, 0, 0, 0});  // values of one byte each
  Imported.SetImported({1, 2, 3, 4});
  const TBytes Good = test::RecordOf(Imported);
  const std::size_t CountAt = Good.size() - 6;  // tag 2, the count 4, then four samples
  ASSERT_EQ(Good[CountAt], 2);
  auto WithCount = [&](TBytes Count) {
    TBytes B(Good.begin(), Good.begin() + CountAt);
    test::Append(B, Count);
    test::Append(B, {1, 2, 3, 4});
    return B;
  };
  TBytes WrongKind = Good;
  WrongKind[WrongKind.size() - 6 - 21] = 7;  // the kind, before ten 2-byte values
  ASSERT_EQ(Good[Good.size() - 6 - 21], 1);
  const TBytes Damaged[] = {WithCount({2, 0}), WithCount({2, 5}), WithCount({3, 0x01, 0x80}), WithCount({4, 0x01, 0x80, 0, 0}),
                            WithCount({2, 0xFF}),
                            WithCount({4, 0xFF, 0xFF, 0xFF, 0x7F}), WrongKind};
  test::ResetLargestAllocation();
  for (const TBytes& B : Damaged) {
    TSound Sound("sKept");
    EXPECT_THROW(Load(Sound, B), EReadError);
    EXPECT_EQ(Sound.Name(), "sKept");
    EXPECT_EQ(Sound.Kind(), TSoundKind::skMade);
  }
  EXPECT_LT(test::LargestAllocation(), 8192u);
  // Cut short anywhere: a read error, or the marker's message when the marker is cut.
  for (std::size_t N = 0; N < Good.size(); ++N) {
    TSound Sound("sKept");
    EXPECT_ANY_THROW(Load(Sound, TBytes(Good.begin(), Good.begin() + N))) << N;
    EXPECT_EQ(Sound.Name(), "sKept");
  }
  TSound Sound("sKept");
  TBytes Tile = test::ShortString("[TTile]");
  EXPECT_EQ(test::MessageOf([&] { Load(Sound, Tile); }), "Read error: expected [TSound], read [TTile]");
}

// The game's sounds: a section after the levels, written only when there
// are sounds; renames and deletes reach the actions and levels naming them.
TEST(Sound, TheGamesSectionRoundTripsAndFollowsNames) {
  RegisterKinds();
  TDocument Doc;
  TContent Plain;
  {
    TEdit Step(Doc.Game(), "Make");
    TGame& Game = Doc.Game();
    Game.AddActor()->AddHandler()->SetEvent(TEventCreate::ClassKind());
    Game.AddLevel();
    Game.AddLevel();
    Plain = Game.ContentBytes();
    TSound* Coin = Game.AddSound();
    TSound* Loop = Game.AddSound();
    Loop->SetName("sLoop");
    Loop->SetImported({5, -5, 7});
    Game.GetLevel(1)->SetMusic(Loop);
    THandler* Handler = Game.GetActor(0)->GetHandler(0);
    Handler->AddAction(TActionPlaySound::ClassKind())->SetValue(0, "sLoop");
    Handler->AddAction(TActionPlaySound::ClassKind())->SetValue(0, Coin->Name());
  }
  const TContent Whole = Doc.Game().ContentBytes();
  TGame Loaded;
  Loaded.LoadContent(Whole);
  EXPECT_EQ(Loaded.ContentBytes(), Whole);
  ASSERT_EQ(Loaded.SoundCount(), 2);
  EXPECT_EQ(Loaded.GetSound(1)->Samples(), (std::vector<std::int8_t>{5, -5, 7, 0}));
  EXPECT_EQ(Loaded.GetLevel(1)->Music(), Loaded.GetSound(1));
  EXPECT_EQ(Loaded.GetLevel(0)->Music(), nullptr);

  // Cut anywhere after its marker, the section is a read error.
  const std::string Marker = "[TSounds]";
  const auto At = std::search(Whole.begin(), Whole.end(), Marker.begin(), Marker.end()) - Whole.begin();
  ASSERT_LT(static_cast<std::size_t>(At), Whole.size());
  for (std::size_t N = static_cast<std::size_t>(At) + Marker.size(); N < Whole.size(); ++N) {
    TGame Cut;
    EXPECT_EQ(test::MessageOf([&] { Cut.LoadContent(TContent(Whole.begin(), Whole.begin() + static_cast<std::ptrdiff_t>(N))); }),
              FileUnexpected)
        << N;
  }

  // A rename reaches the actions; a delete takes the actions and the music
  // with it, and one undo brings all back.
  const THandler* Handler = Doc.Game().GetActor(0)->GetHandler(0);
  {
    TEdit Step(Doc.Game(), "Rename");
    Doc.Game().GetSound(1)->SetName("sMusic");
  }
  EXPECT_EQ(Handler->GetAction(0)->Summary(), "PlaySound(sMusic)");
  const TContent Renamed = Doc.Game().ContentBytes();
  {
    TEdit Step(Doc.Game(), "Delete");
    Doc.Game().DeleteSound(Doc.Game().GetSound(1));
  }
  EXPECT_EQ(Doc.Game().GetActor(0)->GetHandler(0)->ActionCount(), 1);
  EXPECT_EQ(Doc.Game().GetLevel(1)->Music(), nullptr);
  ASSERT_TRUE(Doc.Undo());
  EXPECT_EQ(Doc.Game().ContentBytes(), Renamed);
  EXPECT_EQ(Doc.Game().GetLevel(1)->Music(), Doc.Game().FindSoundByName("sMusic"));

  // Without sounds the game saves as one that never had any.
  {
    TEdit Step(Doc.Game(), "Delete all");
    TGame& Game = Doc.Game();
    Game.DeleteSound(Game.GetSound(1));
    Game.DeleteSound(Game.GetSound(0));
  }
  EXPECT_EQ(Doc.Game().ContentBytes(), Plain);
}

}  // namespace
}  // namespace lvk
