// The web export: the packed tables read back by the engine's own reader,
// damaged blocks refused, the page's text, and --export-web's exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <functional>

#include "TestSupport.h"
#include "behaviour/REventCreate.h"
#include "engine/lvk_pack.h"
#include "generator/UBuildLog.h"
#include "generator/UCommandLine.h"
#include "generator/UGameTables.h"
#include "generator/UGenerator.h"
#include "generator/UWebExport.h"
#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UTile.h"

using namespace lvk;

namespace {

const std::string Sample = std::string(LVK_EXAMPLES) + "/Sample.lvk";

// A game whose one level places more live actors than the engine plays: an
// error the table builder counts.
void MakeCrowdedGame(TGame& Game) {
  TTile* Tile = Game.AddTile();
  TActor* Actor = Game.AddActor();
  Actor->SetTile(Tile);
  Actor->AddHandler()->SetEvent(TEventCreate::ClassKind());
  TLevel* Level = Game.AddLevel();
  Level->SetSize(32, 24);
  for (int c = 0; c < 32 * 5; ++c) Level->SetCell(c % 32, c / 32, Actor);
}

template <typename T>
::testing::AssertionResult SameTable(const char* Name, const std::vector<T>& Built, const T* Read, std::size_t Count) {
  if (Count != Built.size())
    return ::testing::AssertionFailure() << Name << ": " << Count << " entries read, " << Built.size() << " packed";
  if (Count > 0 && std::memcmp(Built.data(), Read, Count * sizeof(T)) != 0)
    return ::testing::AssertionFailure() << Name << ": the entries read differ from those packed";
  return ::testing::AssertionSuccess();
}

// The two descriptions alike in every byte but the tables' addresses: a
// field added to lvk_game_t that the block does not carry shows here.
::testing::AssertionResult SameDescription(const lvk_game_t& Built, const lvk_game_t& Read) {
  unsigned char A[sizeof(lvk_game_t)], B[sizeof(lvk_game_t)];
  std::memcpy(A, &Built, sizeof A);
  std::memcpy(B, &Read, sizeof B);
  for (std::size_t At : {offsetof(lvk_game_t, actors), offsetof(lvk_game_t, handlers), offsetof(lvk_game_t, actions),
                         offsetof(lvk_game_t, levels), offsetof(lvk_game_t, spawns), offsetof(lvk_game_t, scenery),
                         offsetof(lvk_game_t, variables), offsetof(lvk_game_t, texts), offsetof(lvk_game_t, segments),
                         offsetof(lvk_game_t, chars), offsetof(lvk_game_t, animations), offsetof(lvk_game_t, frames),
                         offsetof(lvk_game_t, frame_tiles)}) {
    std::memset(A + At, 0, sizeof(void*));
    std::memset(B + At, 0, sizeof(void*));
  }
  for (std::size_t i = 0; i < sizeof A; ++i)
    if (A[i] != B[i]) return ::testing::AssertionFailure() << "lvk_game_t differs at byte " << i;
  return ::testing::AssertionSuccess();
}

std::vector<std::uint8_t> PackedSample() {
  TGame Game;
  Game.LoadFromFile(Sample);
  TTextBuildLog Log;
  return PackGameTables(BuildGameTables(Game, Log), WelcomeText(Game.Title()));
}

// Where section Tag's entries start in Block.
std::size_t SectionAt(const std::vector<std::uint8_t>& Block, const char* Tag) {
  lvk_pack_section_t S;
  EXPECT_TRUE(lvk_pack_find(Block.data(), static_cast<std::uint32_t>(Block.size()),
                            LVK_PACK_TAG(Tag[0], Tag[1], Tag[2], Tag[3]), &S))
      << Tag;
  return static_cast<std::size_t>(S.data - Block.data());
}

std::uint32_t GetU32(const std::vector<std::uint8_t>& Block, std::size_t At) {
  return Block[At] | Block[At + 1] << 8 | Block[At + 2] << 16 | static_cast<std::uint32_t>(Block[At + 3]) << 24;
}

void PutU32(std::vector<std::uint8_t>& Block, std::size_t At, std::uint32_t Value) {
  for (int b = 0; b < 4; ++b) Block[At + b] = static_cast<std::uint8_t>(Value >> (8 * b));
}

}  // namespace

// Every table the play window hands the engine comes back from the block
// byte for byte, and so do the sounds, pictures and start text.
TEST(WebPack, TablesComeBackAsPacked) {
  struct TCase {
    const char* Name;
    std::function<void(TGame&)> Make;
  } const Cases[] = {
      {"sample", [](TGame& G) { G.LoadFromFile(Sample); }},
      {"empty game", [](TGame&) {}},
      {"crowded level", MakeCrowdedGame},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TGame Game;
    Case.Make(Game);
    TTextBuildLog Log;
    const TGameTables T = BuildGameTables(Game, Log);
    const std::string Start = WelcomeText(Game.Title());
    const std::vector<std::uint8_t> Block = PackGameTables(T, Start);
    lvk_unpacked_t U;
    ASSERT_EQ(lvk_unpack(Block.data(), static_cast<std::uint32_t>(Block.size()), &U), LVK_UNPACK_OK);
    const lvk_game_t& G = U.game;
    EXPECT_TRUE(SameTable("actors", T.Actors, G.actors, G.actor_count));
    EXPECT_TRUE(SameTable("handlers", T.Handlers, G.handlers, G.handler_count));
    EXPECT_TRUE(SameTable("actions", T.Actions, G.actions, G.action_count));
    EXPECT_TRUE(SameTable("levels", T.Levels, G.levels, G.level_count));
    EXPECT_TRUE(SameTable("spawns", T.Spawns, G.spawns, G.spawn_count));
    EXPECT_TRUE(SameTable("scenery", T.Scenery, G.scenery, G.scenery_count));
    EXPECT_TRUE(SameTable("variables", T.Variables, G.variables, G.variable_count));
    EXPECT_TRUE(SameTable("texts", T.Texts, G.texts, G.text_count));
    EXPECT_TRUE(SameTable("segments", T.Segments, G.segments, G.segment_count));
    EXPECT_EQ(std::string(G.chars, G.char_count), T.Chars);
    EXPECT_TRUE(SameTable("animations", T.Animations, G.animations, G.animation_count));
    EXPECT_TRUE(SameTable("frames", T.Frames, G.frames, G.frame_count));
    EXPECT_TRUE(SameTable("frame tiles", T.FrameTiles, G.frame_tiles, G.frame_tile_count));
    EXPECT_EQ(G.tile_count, T.TileCount);
    ASSERT_EQ(G.sound_count, T.Sounds.size());
    for (int s = 0; s < G.sound_count; ++s) {
      lvk_sound_t Sound;
      ASSERT_TRUE(lvk_unpacked_sound(&U, s, &Sound));
      EXPECT_EQ(std::vector<std::int8_t>(Sound.data, Sound.data + Sound.length), T.Sounds[s]) << "sound " << s;
    }
    EXPECT_TRUE(SameTable("palette", T.Palette, reinterpret_cast<const std::uint16_t*>(U.palette.data), U.palette.count));
    EXPECT_TRUE(SameTable("tiles", T.Tiles, reinterpret_cast<const TTilePixels*>(U.tiles.data), U.tiles.count));
    std::vector<std::uint16_t> Maps;  // level after level, each its width x height cells
    for (const TLevelMap& Map : T.Backgrounds) Maps.insert(Maps.end(), Map.begin(), Map.end());
    EXPECT_TRUE(SameTable("maps", Maps, reinterpret_cast<const std::uint16_t*>(U.backgrounds.data), U.backgrounds.count));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(U.start_text.data), U.start_text.count), Start);
    EXPECT_TRUE(SameDescription(T.Game(), G));
  }
}

// A damaged block is refused with its reason, never read past its end.
TEST(WebPack, DamagedBlocksAreRefused) {
  const std::vector<std::uint8_t> Good = PackedSample();
  struct TCase {
    const char* Name;
    std::function<void(std::vector<std::uint8_t>&)> Damage;
    int Expected;
  } const Cases[] = {
      {"another magic", [](auto& B) { B[0] = 'X'; }, LVK_UNPACK_NOT_A_GAME},
      {"another version", [](auto& B) { PutU32(B, 4, LVK_PACK_VERSION + 1); }, LVK_UNPACK_NOT_A_GAME},
      {"too short for a header", [](auto& B) { B.resize(8); }, LVK_UNPACK_NOT_A_GAME},
      {"more sections than bytes", [](auto& B) { PutU32(B, 8, 1000); }, LVK_UNPACK_TRUNCATED},
      {"an actor of another size", [](auto& B) {
         // As an engine with a wider entry would see it: same bytes, one entry.
         const std::size_t At = SectionAt(B, "ACTR");
         PutU32(B, At - 8, sizeof(lvk_actor_t) * GetU32(B, At - 4));
         PutU32(B, At - 4, 1);
       }, LVK_UNPACK_LAYOUT},
      {"a count past the end", [](auto& B) { PutU32(B, SectionAt(B, "SNDS") - 4, 0x7FFFFFFF); }, LVK_UNPACK_TRUNCATED},
      {"a spawn of no actor", [](auto& B) { B[SectionAt(B, "SPWN")] = 0xF0; }, LVK_UNPACK_INCONSISTENT},
      {"a sound longer than the samples", [](auto& B) { PutU32(B, SectionAt(B, "SNDL"), 0x7FFFFFF0); },
       LVK_UNPACK_INCONSISTENT},
      {"maps of another size", [](auto& B) {
         const std::size_t At = SectionAt(B, "BGND");
         PutU32(B, At - 8, 2 * LVK_LEVEL_CELLS);
         PutU32(B, At - 4, GetU32(B, At - 4) / LVK_LEVEL_CELLS);
       }, LVK_UNPACK_INCONSISTENT},
  };
  for (const TCase& Case : Cases) {
    std::vector<std::uint8_t> Block = Good;
    Case.Damage(Block);
    lvk_unpacked_t U;
    EXPECT_EQ(lvk_unpack(Block.data(), static_cast<std::uint32_t>(Block.size()), &U), Case.Expected) << Case.Name;
    EXPECT_EQ(U.game.actor_count, 0) << Case.Name << ": a refused block leaves an empty game";
  }
  // Cut anywhere: refused, and no read beyond the cut (the sanitizer build watches).
  for (std::size_t Size = 0; Size < Good.size(); Size += 1 + Size / 64) {
    std::vector<std::uint8_t> Cut(Good.begin(), Good.begin() + static_cast<std::ptrdiff_t>(Size));
    lvk_unpacked_t U;
    EXPECT_NE(lvk_unpack(Cut.data(), static_cast<std::uint32_t>(Cut.size()), &U), LVK_UNPACK_OK) << Size;
  }
}

TEST(WebPage, Base64AsTheStandardSays) {
  const std::pair<const char*, const char*> Cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"}, {"\xff\xfe\x80", "//6A"},
  };
  for (auto [Plain, Coded] : Cases)
    EXPECT_EQ(Base64(reinterpret_cast<const std::uint8_t*>(Plain), std::strlen(Plain)), Coded) << Plain;
}

// The sample's page: everything filled in, its title escaped, under 1 MB.
TEST(WebPage, SamplePageIsWholeAndSmall) {
  if (!HaveWebEngine()) GTEST_SKIP() << "built without the web engine";
  TGame Game;
  Game.LoadFromFile(Sample);
  TTextBuildLog Log;
  const std::string Page = MakeWebPage(Game, Log);
  EXPECT_EQ(Log.ErrorCount(), 0);
  EXPECT_EQ(Page.find("@LVK_"), std::string::npos);
  EXPECT_LT(Page.size(), 1024u * 1024u);
  EXPECT_NE(Page.find("<title>" + Game.Title() + "</title>"), std::string::npos);
  // Three scripts (engine, game, loader), nothing that ends one early.
  std::size_t Ends = 0;
  for (std::size_t At = 0; (At = Page.find("</script", At)) != std::string::npos; ++At) ++Ends;
  EXPECT_EQ(Ends, 3u);

  Game.SetTitle("<Tom & \"Jerry\">");
  const std::string Escaped = MakeWebPage(Game, Log);
  EXPECT_NE(Escaped.find("<title>&lt;Tom &amp; &quot;Jerry&quot;&gt;</title>"), std::string::npos);
}

// The page replaces an older file only when written whole; a folder that
// is not there is an error with its reason.
TEST(WebPage, ExportWritesOrFailsWhole) {
  if (!HaveWebEngine()) GTEST_SKIP() << "built without the web engine";
  test::TTempDir Dir;
  TGame Game;
  Game.LoadFromFile(Sample);
  TTextBuildLog Log;
  test::WriteBytes(Dir.File("old.html"), {'o', 'l', 'd'});
  const std::uint64_t Size = ExportWebPage(Game, Dir.File("old.html"), Log);
  EXPECT_EQ(std::filesystem::file_size(Dir.File("old.html")), Size);
  EXPECT_THROW(ExportWebPage(Game, Dir.File("no such folder/page.html"), Log), EFileError);
}

TEST(WebCommandLine, ExportWebNeedsItsFiles) {
  struct TCase {
    std::vector<std::string> Args;
    TCommandLine::TAction Action;
  } const Cases[] = {
      {{"--export-web", "g.lvk", "--output", "p.html"}, TCommandLine::acExportWeb},
      {{"--output", "p.html", "--export-web", "g.lvk"}, TCommandLine::acExportWeb},
      {{"--export-web", "g.lvk"}, TCommandLine::acUsageError},
      {{"--export-web"}, TCommandLine::acUsageError},
      {{"--export-web", "g.lvk", "--output"}, TCommandLine::acUsageError},
      {{"--generate", "g.lvk", "--output", "p.html"}, TCommandLine::acUsageError},
      {{"--export-web", "g.lvk", "--build", "h.lvk", "--output", "p.html"}, TCommandLine::acUsageError},
  };
  for (const TCase& Case : Cases) {
    const TCommandLine Line = ParseCommandLine(Case.Args);
    EXPECT_EQ(Line.Action, Case.Action) << testing::PrintToString(Case.Args) << ": " << Line.Error;
    if (Line.Action == TCommandLine::acExportWeb) {
      EXPECT_EQ(Line.GameFile, "g.lvk");
      EXPECT_EQ(Line.Output, "p.html");
    }
  }
}

// The real program's statuses, as --generate's: 0, 1 with the errors on
// the output, 2 for a game that cannot be loaded, 3 for a page that cannot
// be written.
TEST(WebCommandLine, ExitStatusesAsGenerate) {
  if (!HaveWebEngine()) GTEST_SKIP() << "built without the web engine";
  test::TTempDir Dir;
  TGame Crowded;
  MakeCrowdedGame(Crowded);
  Crowded.SetFileName(Dir.File("crowded.lvk"));
  Crowded.Save();
  test::WriteBytes(Dir.File("broken.lvk"), {1, 2, 3});
  struct TCase {
    std::string Game, Output;
    int Status;
    const char* Says;
  } const Cases[] = {
      {Sample, Dir.File("sample.html"), exOk, "Wrote "},
      {Dir.File("crowded.lvk"), Dir.File("crowded.html"), exErrorsLogged, "ERROR: Level "},
      {Dir.File("broken.lvk"), Dir.File("broken.html"), exCannotLoad, "Error opening file broken.lvk"},
      {Sample, Dir.File("none/x.html"), exStopped, "none/x.html"},
  };
  for (const TCase& Case : Cases) {
    const std::string Cmd = "env -u DISPLAY QT_QPA_PLATFORM= " + test::Quote(LVK_STUDIO) + " --export-web " +
                            test::Quote(Case.Game) + " --output " + test::Quote(Case.Output) + " >" +
                            Dir.File("out") + " 2>&1 </dev/null";
    const int Raw = std::system(Cmd.c_str());
    ASSERT_TRUE(WIFEXITED(Raw));
    EXPECT_EQ(WEXITSTATUS(Raw), Case.Status) << Case.Game;
    EXPECT_NE(test::Slurp(Dir.File("out")).find(Case.Says), std::string::npos) << test::Slurp(Dir.File("out"));
    EXPECT_EQ(std::filesystem::exists(Case.Output), Case.Status <= exErrorsLogged) << Case.Output;
  }
}
