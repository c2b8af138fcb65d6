// The game tables: what the engine gets from a document, the errors the
// generator logs for them, lvk_gamedata.c compiled with the engine, and the
// drawing numbers against what generated.c holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventCreate.h"
#include "behaviour/REventDestroy.h"
#include "behaviour/REventKey.h"
#include "behaviour/REventOutside.h"
#include "behaviour/REventTouch.h"
#include "behaviour/UAction.h"
#include "generator/UBuildLog.h"
#include "generator/UGameTables.h"
#include "generator/UGenerator.h"
#include "generator/USourceWriter.h"
#include "model/UActor.h"
#include "behaviour/UValueAction.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USound.h"
#include "model/UStream.h"
#include "model/UTileBlock.h"

using namespace lvk;

namespace {

using TLines = std::vector<std::string>;

template <typename TEvent>
TEvent& Handle(TActor& Actor) {
  THandler* H = Actor.AddHandler();
  H->SetEvent(TEvent::ClassKind());
  return *static_cast<TEvent*>(H->Event());
}

template <typename TAction>
TAction& Act(TActor& Actor) {
  THandler* H = Actor.GetHandler(Actor.HandlerCount() - 1);
  return *static_cast<TAction*>(H->AddAction(TAction::ClassKind()));
}

TActionSpeed& Speed(TActionSpeed& A, const std::string& Arg1, const std::string& Arg2, bool Relative = false) {
  A.SetArg1(Arg1);
  A.SetArg2(Arg2);
  A.SetRelative(Relative);
  return A;
}

// Hero (live, every event kind), Wall and Deco (scenery sharing a tile), Ghost
// (live, no tile); two levels.
struct TSmallGame {
  TSmallGame() {
    Tiles[0] = Game.AddTile();
    Tiles[1] = Game.AddTile();
    for (const char* Name : {"Hero", "Wall", "Deco", "Ghost"}) {
      TActor* A = Game.AddActor();
      A->SetName(Name);
    }
    Hero().SetTile(Tiles[0]);
    Wall().SetTile(Tiles[1]);
    Deco().SetTile(Tiles[1]);
    Handle<TEventCreate>(Hero());
    Speed(Act<TActionSetSpeedSize>(Hero()), "16", "-3");
    Speed(Act<TActionSetSpeedDir>(Hero()), "+1", "", true);
    auto& Key = Handle<TEventKey>(Hero());
    Key.SetKeys(0x30);
    Key.SetPress(true);
    Act<TActionNextLevel>(Hero());
    Handle<TEventTouch>(Hero()).SetAreas(0x101);
    auto& Hit = Handle<TEventCollision>(Hero());
    Hit.SetOtherActor(Wall());
    Hit.SetOverlap(false);
    Act<TActionDestroy>(Hero());
    Handle<TEventOutside>(Hero()).SetAreas(0x81);
    Handle<TEventDestroy>(Hero());
    Handle<TEventCreate>(Ghost());

    TLevel* One = Game.AddLevel();
    One->SetSize(32, 24);
    One->SetCell(5, 3, &Hero());
    One->SetCell(1, 3, &Ghost());
    One->SetCell(0, 23, &Wall());
    One->SetCell(1, 23, &Deco());
    One->SetCell(2, 0, &Hero());
    TLevel* Two = Game.AddLevel();
    Two->SetName("lTwo");
    Two->SetSize(32, 24);
  }
  TActor& Hero() { return *Game.GetActor(0); }
  TActor& Wall() { return *Game.GetActor(1); }
  TActor& Deco() { return *Game.GetActor(2); }
  TActor& Ghost() { return *Game.GetActor(3); }

  TGame Game;
  TTile* Tiles[2];
};

bool HaveCommand(const std::string& Name) {
  return std::system(("command -v " + Name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Slurp(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  std::stringstream S;
  S << In.rdbuf();
  return S.str();
}

// The numbers of the lines from the one starting with Head to "};", in order
// (hexadecimal ones included; the RGB15 triples packed as the DS packs them).
std::vector<long> NumbersOfBlock(const std::string& Text, const std::string& Head) {
  std::vector<long> Numbers;
  std::istringstream In(Text.substr(Text.find(Head)));
  std::string Line;
  std::getline(In, Line);  // the declaration
  while (std::getline(In, Line) && Line.rfind("};", 0) != 0) {
    if (Line.find("//") != std::string::npos && Line.find("//") < 6) continue;  // a tile's or level's comment line
    for (std::size_t At = 0; (At = Line.find("RGB15(", At)) != std::string::npos; At += 6) {
      int R, G, B;
      std::sscanf(Line.c_str() + At, "RGB15(%d,%d,%d)", &R, &G, &B);
      Numbers.push_back(R | (G << 5) | (B << 10));
    }
    if (Line.find("RGB15(") != std::string::npos) continue;
    std::istringstream Values(Line);
    std::string V;
    while (std::getline(Values, V, ',')) {
      if (V.find_first_not_of(" \r") == std::string::npos) continue;
      Numbers.push_back(std::strtol(V.c_str(), nullptr, 0));
    }
  }
  return Numbers;
}

}  // namespace

TEST(GameTables, EveryEventKindActionsAndScenery) {
  TSmallGame S;
  TTextBuildLog Log;
  TGameTables T = BuildGameTables(S.Game, Log);
  EXPECT_EQ(Log.ErrorCount(), 0);
  EXPECT_EQ(T.TileCount, 2);

  ASSERT_EQ(T.Actors.size(), 4u);
  EXPECT_EQ(T.Actors[0].tile, 0);
  EXPECT_EQ(T.Actors[0].handler_count, 6);
  EXPECT_EQ(T.Actors[1].tile, 1);
  EXPECT_EQ(T.Actors[1].handler_count, 0);
  EXPECT_EQ(T.Actors[3].tile, LVK_NONE);
  EXPECT_EQ(T.Actors[3].first_handler, 6);

  ASSERT_EQ(T.Handlers.size(), 7u);
  const lvk_handler_t* H = T.Handlers.data();
  EXPECT_EQ(H[0].event, LVK_EVENT_CREATE);
  EXPECT_EQ(H[0].action_count, 2);
  EXPECT_EQ(H[1].event, LVK_EVENT_KEY);
  EXPECT_EQ(H[1].flags, LVK_HANDLER_PRESS);
  EXPECT_EQ(H[1].mask, LVK_KEY_RIGHT | LVK_KEY_LEFT);
  EXPECT_EQ(H[2].event, LVK_EVENT_TOUCH);
  EXPECT_EQ(H[2].mask, LVK_AREA_N | LVK_AREA_H);
  EXPECT_EQ(H[3].event, LVK_EVENT_COLLISION);
  EXPECT_EQ(H[3].flags, LVK_HANDLER_REPEL);
  EXPECT_EQ(H[3].other, 1);
  EXPECT_EQ(H[4].event, LVK_EVENT_OUTSIDE);
  EXPECT_EQ(H[4].mask, LVK_AREA_N | LVK_AREA_NW);
  EXPECT_EQ(H[5].event, LVK_EVENT_DESTROY);
  EXPECT_EQ(H[5].action_count, 0);

  ASSERT_EQ(T.Actions.size(), 4u);
  EXPECT_EQ(T.Actions[0].kind, LVK_ACTION_SET_SPEED_SIZE);
  EXPECT_EQ(T.Actions[0].n[0], 16);
  EXPECT_EQ(T.Actions[0].n[1], -3);
  EXPECT_EQ(T.Actions[0].relative, 0);
  EXPECT_EQ(T.Actions[1].kind, LVK_ACTION_SET_SPEED_DIR);
  EXPECT_EQ(T.Actions[1].n[0], 1);
  EXPECT_EQ(T.Actions[1].n[1], 0);  // empty text
  EXPECT_EQ(T.Actions[1].relative, 1);
  EXPECT_EQ(T.Actions[2].kind, LVK_ACTION_NEXT_LEVEL);
  EXPECT_EQ(T.Actions[3].kind, LVK_ACTION_DESTROY);
  EXPECT_EQ(H[3].first_action, 3);

  // Live actors spawn in cell order; scenery cells name their actor, even
  // when two actors share a tile.
  ASSERT_EQ(T.Levels.size(), 2u);
  EXPECT_EQ(T.Levels[0].spawn_count, 3);
  EXPECT_EQ(T.Levels[1].spawn_count, 0);
  ASSERT_EQ(T.Spawns.size(), 3u);
  EXPECT_EQ((std::vector<int>{T.Spawns[0].actor, T.Spawns[0].column, T.Spawns[0].row}), (std::vector<int>{0, 2, 0}));
  EXPECT_EQ((std::vector<int>{T.Spawns[1].actor, T.Spawns[1].column, T.Spawns[1].row}), (std::vector<int>{3, 1, 3}));
  EXPECT_EQ((std::vector<int>{T.Spawns[2].actor, T.Spawns[2].column, T.Spawns[2].row}), (std::vector<int>{0, 5, 3}));
  ASSERT_EQ(T.Scenery.size(), 2u * 768);
  EXPECT_EQ(T.Scenery[23 * 32 + 0], 1);
  EXPECT_EQ(T.Scenery[23 * 32 + 1], 2);
  EXPECT_EQ(T.Scenery[3 * 32 + 5], LVK_NONE);  // a live actor's cell
  EXPECT_EQ(T.Scenery[0], LVK_NONE);

  // The background shows every placed actor's tile, as generated.c does.
  ASSERT_EQ(T.Backgrounds.size(), 2u);
  EXPECT_EQ(T.Backgrounds[0][3 * 32 + 5], 0);
  EXPECT_EQ(T.Backgrounds[0][23 * 32 + 1], 1);
  EXPECT_EQ(T.Backgrounds[0][3 * 32 + 1], 2);  // no tile: the tile count
  EXPECT_EQ(T.Palette.size(), static_cast<std::size_t>(S.Game.Palette().Count()));
  EXPECT_EQ(T.Palette[0], 0x7FFF);

  lvk_game_t G = T.Game();
  EXPECT_EQ(lvk_game_check(&G), 1);
  lvk_engine_t E;
  lvk_engine_init(&E, &G);
  lvk_engine_start_level(&E, 0);
  EXPECT_EQ(lvk_engine_instance_count(&E), 3);
  EXPECT_EQ(E.instances[0].sx, 16);
  TLevelMap Map = T.Backgrounds[0];
  lvk_level_clear_live_cells(&G, 0, Map.data());
  EXPECT_EQ(Map[3 * 32 + 5], 2);
  EXPECT_EQ(Map[23 * 32 + 1], 1);
}

TEST(GameTables, ArgumentsThatAreNotWholeNumbersAndCrowdedLevelsAreCountedErrors) {
  test::TTestClock Clock;
  test::TTempDir Dir;
  std::filesystem::create_directories(Dir.Path() + "/arm9/source");
  TSmallGame S;
  Speed(*static_cast<TActionSpeed*>(S.Hero().GetHandler(0)->GetAction(1)), "3.5", " 2");
  TActor& Bug = *S.Game.AddActor();
  Handle<TEventCreate>(Bug);
  TLevel& Two = *S.Game.GetLevel(1);
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 32; ++c) Two.SetCell(c, r, &Bug);

  TTextBuildLog Log;
  GenerateSource(S.Game, Dir.Path(), Log);
  EXPECT_EQ(Log.ErrorCount(), 3);
  EXPECT_EQ(Log.Lines(),
            (TLines{Log.Lines()[0], Log.Lines()[1], "Generating palette", "Generating tiles", "Generating levels",
                    "ERROR: Actor Hero, handler 1 (OnCreate), action 2 (SetSpeedDir): argument \"3.5\" is not a whole number",
                    "ERROR: Actor Hero, handler 1 (OnCreate), action 2 (SetSpeedDir): argument \" 2\" is not a whole number",
                    "ERROR: Level lTwo places 160 live actors; only the first 128 take part", "Done", ""}));
  // Written all the same, the bad arguments as 0.
  std::string Data = Slurp(GameDataSourcePath(Dir.Path()));
  EXPECT_NE(Data.find("{ LVK_ACTION_SET_SPEED_DIR, 0, 0, { 0 }, { 0 } }, /* 1 */"), std::string::npos);
  EXPECT_NE(Data.find("{ 3, 160, 32, 24, 0, 0, 0, 0, 0, 32767 }, /* 1 lTwo */"), std::string::npos);
}

TEST(GameTables, NamesReachTheFileOnlyInsideCommentsAndCleaned) {
  test::TTestClock Clock;
  test::TTempDir Dir;
  std::filesystem::create_directories(Dir.Path() + "/arm9/source");
  TSmallGame S;
  // Names are stored as read, so a file may hold anything here.
  TTextBuildLog Log;
  TGameTables T = BuildBehaviourTables(S.Game, Log);
  T.ActorNames[0] = "*/ int x; /*\r\nevil";
  T.LevelNames[0] = "a*/b";
  std::string Path = Dir.File("data.c");
  {
    TFileStream File(Path, TFileStream::fmCreate);
    TSourceWriter Out(File);
    GenerateGameData(T, Out);
    Out.Flush();
  }
  std::string Text = Slurp(Path);
  EXPECT_EQ(Text.find("*/ int"), std::string::npos);
  EXPECT_NE(Text.find("/* 0 ???int?x??????evil */"), std::string::npos);
  EXPECT_NE(Text.find("/* 0 a??b */"), std::string::npos);
}

// lvk_gamedata.c and the engine build as C99 without a warning, and the
// tables' drawing numbers are exactly those of generated.c.
namespace {

// The engine's rule sources (lvk_engine.c and its modules), each quoted, in
// the folder From.
std::string EngineSources(const std::string& From) {
  std::istringstream Names(LVK_ENGINE_RULES);
  std::string Sources;
  for (std::string Name; Names >> Name;) Sources += " '" + From + "/" + Name + "'";
  return Sources;
}

std::string CompileGameData(const std::string& Compiler, const std::string& Options) {
  test::TTestClock Clock;
  test::TTempDir Dir;
  std::string Source = Dir.Path() + "/arm9/source";
  std::filesystem::create_directories(Source);
  TSmallGame S;
  Speed(*static_cast<TActionSpeed*>(S.Hero().GetHandler(0)->GetAction(0)), "-2147483648", "2147483647");
  S.Game.GetLevel(1)->SetMusic(S.Game.AddSound());
  TTextBuildLog Log;
  GenerateSource(S.Game, Dir.Path(), Log);
  // As the DS project has them: the engine's files beside the game's.
  for (const auto& Entry : std::filesystem::directory_iterator(LVK_ENGINE))
    if (Entry.path().filename().string().rfind("lvk_engine", 0) == 0 || Entry.path().filename() == "lvk_kinds.h" ||
        Entry.path().filename().string().rfind("lvk_save", 0) == 0)
      std::filesystem::copy_file(Entry.path(), Source + "/" + Entry.path().filename().string());
  std::string Out = Dir.Path() + "/cc.log";
  std::string Command = "cd '" + Source + "' && LC_ALL=C " + Compiler + " " + Options +
                        " -std=c99 -Wall -Wextra -pedantic -Werror -c lvk_gamedata.c" + EngineSources(".") + " >'" +
                        Out + "' 2>&1";
  int Status = std::system(Command.c_str());
  return Status == 0 ? "" : Slurp(Out) + "exit status " + std::to_string(Status);
}

}  // namespace

TEST(GameTables, GameDataCompilesWithTheEngineOnTheHost) {
  if (!HaveCommand("cc")) GTEST_SKIP() << "no host C compiler";
  EXPECT_EQ(CompileGameData("cc", ""), "");
}

TEST(GameTables, GameDataCompilesWithTheEngineForTheArm9) {
  if (!HaveCommand("arm-none-eabi-gcc")) GTEST_SKIP() << "arm-none-eabi-gcc is not installed";
  EXPECT_EQ(CompileGameData("arm-none-eabi-gcc", "-mcpu=arm946e-s -mthumb -DARM9"), "");
}

TEST(GameTables, DrawingNumbersAreThoseOfGeneratedC) {
  test::TTestClock Clock;
  test::TTempDir Dir;
  std::filesystem::create_directories(Dir.Path() + "/arm9/source");
  TSmallGame S;
  S.Game.Palette().SetEntryColor(5, RGB(7, 200, 255));
  TTextBuildLog Log;
  GenerateSource(S.Game, Dir.Path(), Log);
  std::string Text = Slurp(GeneratedSourcePath(Dir.Path()));
  TGameTables T = BuildGameTables(S.Game, Log);

  std::vector<long> Palette(T.Palette.begin(), T.Palette.end());
  EXPECT_EQ(NumbersOfBlock(Text, "const u16 lvk_palette"), Palette);
  std::vector<long> Tiles, Levels;
  for (const TTilePixels& P : T.Tiles) Tiles.insert(Tiles.end(), P.begin(), P.end());
  for (const TLevelMap& M : T.Backgrounds) Levels.insert(Levels.end(), M.begin(), M.end());
  EXPECT_EQ(NumbersOfBlock(Text, "const u8 lvk_tiles"), Tiles);
  EXPECT_EQ(NumbersOfBlock(Text, "const u16 lvk_levels"), Levels);
}

// Behind each level: palette entry 0's colour, or the level's own.
TEST(GameTables, EachLevelCarriesItsBackdrop) {
  TSmallGame S;
  S.Game.Palette().SetEntryColor(0, RGB(8, 16, 248));
  S.Game.GetLevel(1)->SetBackdrop(RGB(160, 200, 255));
  TTextBuildLog Log;
  const TGameTables T = BuildGameTables(S.Game, Log);
  ASSERT_EQ(T.Levels.size(), 2u);
  EXPECT_EQ(T.Levels[0].backdrop, 1 | 2 << 5 | 31 << 10);
  EXPECT_EQ(T.Levels[1].backdrop, 20 | 25 << 5 | 31 << 10);
}

// The tables of variables and texts, written and compiled with the engine
// on the host, give the game the tables held: the engine runs its texts.
TEST(GameTables, VariablesAndTextsReachTheEngineAsWritten) {
  if (!HaveCommand("cc")) GTEST_SKIP() << "no host C compiler";
  test::TTempDir Dir;
  TSmallGame S;
  TTextBuildLog Log;
  TGameTables T = BuildBehaviourTables(S.Game, Log);
  T.Variables = {{INT32_MIN, LVK_SCOPE_GAME, 1, 0xFFFFFFFFu}, {7, LVK_SCOPE_INSTANCE, 0, 0}};
  T.VariableNames = {"vLow", "vOwn"};
  T.Chars = "Say \"?\\\n\xE9 \x01" "1";
  T.Segments = {{0, static_cast<std::uint16_t>(T.Chars.size()), LVK_LITERAL}, {0, 0, LVK_VARIABLE(0)}};
  T.Texts = {{0, 2}};
  T.Actions[0] = {LVK_ACTION_SHOW_TEXT, 0, 0, {LVK_VARIABLE(1)}, {}};  // the row is vOwn: 7
  T.Handlers[0].frames = 5;
  std::string Path = Dir.File("lvk_gamedata.c");
  {
    TFileStream File(Path, TFileStream::fmCreate);
    TSourceWriter Out(File);
    GenerateGameData(T, Out);
    Out.Flush();
  }
  std::ofstream(Dir.File("main.c"))
      << "#include <stdio.h>\n#include \"lvk_engine.h\"\n"
         "static lvk_engine_t e; static lvk_instance_values_t v;\n"
         "int main(void) {\n"
         "  lvk_engine_init(&e, &lvk_game); lvk_engine_set_instance_values(&e, &v); lvk_engine_start_level(&e, 0);\n"
         "  printf(\"%d %u|%s|\", lvk_game_check(&lvk_game), (unsigned)lvk_game.handlers[0].frames,\n"
         "         lvk_engine_text_row(&e, 7)); return 0; }\n";
  std::string Command = "cd '" + Dir.Path() + "' && cc -std=c99 -Wall -Wextra -pedantic -Werror -I'" + LVK_ENGINE +
                        "' -o game main.c lvk_gamedata.c" + EngineSources(LVK_ENGINE) + " >cc.log 2>&1 && ./game >out.txt";
  ASSERT_EQ(std::system(Command.c_str()), 0) << Slurp(Dir.File("cc.log"));
  std::string Row = T.Chars + "-2147483648";
  EXPECT_EQ(Slurp(Dir.File("out.txt")), "1 5|" + Row + std::string(32 - Row.size(), ' ') + "|");
  EXPECT_NE(Slurp(Path).find("{ (-2147483647 - 1), LVK_SCOPE_GAME, 1, 4294967295u }, /* 0 vLow */"), std::string::npos);
}

// Sounds: the samples and the sounds a frame starts reach the engine as the
// editor made them, and what goes beyond the DS's room is a counted error
// naming the sounds left out.
TEST(GameTables, SoundsReachTheEngineAndWhatGoesBeyondTheirRoomIsNamed) {
  if (!HaveCommand("cc")) GTEST_SKIP() << "no host C compiler";
  test::TTempDir Dir;
  TSmallGame S;
  TSound* Coin = S.Game.AddSound();
  TSound* Loop = S.Game.AddSound();
  Loop->SetName("sLoop");
  Loop->SetImported({1, -2, 3, -4, 5});
  S.Game.GetLevel(0)->SetMusic(Loop);
  S.Hero().GetHandler(0)->AddAction(TActionPlaySound::ClassKind())->SetValue(0, Coin->Name());  // OnCreate, two heroes
  TTextBuildLog Log;
  TGameTables T = BuildGameTables(S.Game, Log);
  EXPECT_EQ(Log.ErrorCount(), 0);
  ASSERT_EQ(T.Sounds.size(), 2u);
  EXPECT_EQ(T.Sounds[0], Coin->Samples());
  EXPECT_EQ(T.Sounds[1], (std::vector<std::int8_t>{1, -2, 3, -4, 5, 0, 0, 0}));  // padded to whole words
  EXPECT_EQ(T.Levels[0].music, 2);

  std::string Path = Dir.File("lvk_gamedata.c");
  {
    TFileStream File(Path, TFileStream::fmCreate);
    TSourceWriter Out(File);
    GenerateGameData(T, Out);
    Out.Flush();
  }
  std::ofstream(Dir.File("main.c"))
      << "#include <stdio.h>\n#include \"lvk_engine.h\"\n"
         "static lvk_engine_t e; static lvk_instance_values_t v;\n"
         "int main(void) {\n"
         "  const uint16_t *s;\n"
         "  lvk_engine_init(&e, &lvk_game); lvk_engine_set_instance_values(&e, &v); lvk_engine_start_level(&e, 0);\n"
         "  int n = lvk_engine_sounds(&e, &s), m = lvk_engine_music(&e);\n"
         "  printf(\"%d %d %d %u %u %d\", lvk_game_check(&lvk_game), n, n > 0 ? s[0] : -1, (unsigned)lvk_sounds[0].length,\n"
         "         (unsigned)lvk_sounds[m].length, lvk_sounds[m].data[1]); return 0; }\n";
  std::string Command = "cd '" + Dir.Path() + "' && cc -std=c99 -Wall -Wextra -pedantic -Werror -I'" + LVK_ENGINE +
                        "' -o game main.c lvk_gamedata.c" + EngineSources(LVK_ENGINE) + " >cc.log 2>&1 && ./game >out.txt";
  ASSERT_EQ(std::system(Command.c_str()), 0) << Slurp(Dir.File("cc.log"));
  EXPECT_EQ(Slurp(Dir.File("out.txt")), "1 2 0 " + std::to_string(Coin->Samples().size()) + " 8 -2");

  // 64 sounds at most, and 1 MB of samples: 2-second sounds fill it at 32.
  struct TCase {
    int Count;
    std::size_t Samples;
    std::string Left;
  };
  for (const TCase& C : {TCase{65, 4, "sSound65"}, TCase{34, 32768, "sSound33, sSound34"}, TCase{64, 4, ""}}) {
    TGame Game;
    for (int i = 0; i < C.Count; ++i) Game.AddSound()->SetImported(std::vector<std::int8_t>(C.Samples, 1));
    TTextBuildLog Errors;
    const TGameTables Less = BuildGameTables(Game, Errors);
    EXPECT_EQ(Errors.ErrorCount(), C.Left.empty() ? 0 : 1) << C.Count;
    EXPECT_EQ(Less.Sounds.size(), static_cast<std::size_t>(C.Count) - (C.Left.empty() ? 0 : C.Count == 65 ? 1 : 2));
    std::string Text;
    for (const std::string& Line : Errors.Lines()) Text += Line + "\n";
    if (!C.Left.empty()) {
      EXPECT_NE(Text.find("take no part in play: " + C.Left + "\n"), std::string::npos) << Text;
    }
  }
}

// Names are not checked on reading, so a hand-made file may hold two sounds
// of one name: each goes to the DS with its own samples.
TEST(GameTables, TwoSoundsOfOneNameKeepTheirOwnSamples) {
  TGame Made;
  TSound* First = Made.AddSound();
  First->SetName("sAa");
  First->SetImported({1, 2, 3, 4});
  TSound* Second = Made.AddSound();
  Second->SetName("sBb");
  Second->SetImported({-5, -6, -7, -8, -9, -10, -11, -12});
  test::TBytes Bytes = Made.ContentBytes();
  const test::TBytes From = test::ShortString("sBb"), To = test::ShortString("SAA");
  auto At = std::search(Bytes.begin(), Bytes.end(), From.begin(), From.end());
  ASSERT_NE(At, Bytes.end());
  std::copy(To.begin(), To.end(), At);
  TGame Game;
  Game.LoadContent(Bytes);
  ASSERT_EQ(Game.GetSound(1)->Name(), "SAA");

  TTextBuildLog Log;
  const TGameTables Tables = BuildGameTables(Game, Log);
  ASSERT_EQ(Tables.Sounds.size(), 2u);
  EXPECT_EQ(Tables.Sounds[0], Game.GetSound(0)->Samples());
  EXPECT_EQ(Tables.Sounds[1], Game.GetSound(1)->Samples());
  EXPECT_NE(Tables.Sounds[0], Tables.Sounds[1]);
}

// Pixels of the tile's transparent colour and pixels of alpha 0 are palette
// entry 0, which neither the DS nor the play window draws; the painter reads
// the tile as the game shows it.
TEST(GameTables, TransparentPixelsBecomeEntryZero) {
  test::TTempDir Dir;
  std::vector<std::uint8_t> Rows(8 * 8 * 4, 0);
  for (std::size_t p = 0; p < 64; ++p) Rows[p * 4 + 3] = 0xFF;  // opaque black
  std::uint8_t* Top = Rows.data() + 7 * 32;                     // bottom-up: the last row is the top one
  Top[4] = Top[5] = Top[6] = 0xFF;                              // (1, 0) white
  Top[11] = 0;                                                  // (2, 0) alpha 0
  TBitmap Picture;
  Picture.Assign(8, 8, 32, BI_BITFIELDS, {0xFF0000, 0xFF00, 0xFF}, {}, Rows, 0xFF000000);
  Picture.SaveToFile(Dir.File("alpha.bmp"));
  TGame Game;
  TTile* Tile = Game.AddTile();
  Tile->ImportBitmap(Dir.File("alpha.bmp"));

  TPixelMapper Plain(Game.Palette());
  const TTilePixels Before = Plain.Map(*Tile);
  EXPECT_NE(Before[0], 0);
  EXPECT_NE(Before[1], 0);
  EXPECT_EQ(Before[2], 0);
  Tile->SetTransparentColor(0x000000);
  TPixelMapper Again(Game.Palette());
  const TTilePixels After = Again.Map(*Tile);
  EXPECT_EQ(After[0], 0);
  EXPECT_EQ(After[63], 0);
  EXPECT_EQ(After[1], Before[1]);
  EXPECT_EQ(After[2], 0);
  TPixels Shown(8, 8);
  for (int i = 0; i < 64; ++i) Shown.Set(i % 8, i / 8, After[i]);
  EXPECT_EQ(TilePixels(*Tile, Game.Palette()), Shown);
  EXPECT_EQ(TTileBlock({Tile}, 1, 1).Read(Game.Palette()), Shown);
}

namespace {

std::string LogText(const TTextBuildLog& Log) {
  std::string Text;
  for (const std::string& Line : Log.Lines()) Text += Line + "\n";
  return Text;
}

// Writes the tables as lvk_gamedata.c, compiles them with the engine and a
// main whose body Body prints what is looked at, and runs it: what it
// printed, or the compiler's complaint.
std::string RunGameData(const TGameTables& Tables, const test::TTempDir& Dir, const std::string& Body) {
  {
    TFileStream File(Dir.File("lvk_gamedata.c"), TFileStream::fmCreate);
    TSourceWriter Out(File);
    GenerateGameData(Tables, Out);
    Out.Flush();
  }
  std::ofstream(Dir.File("main.c")) << "#include <stdio.h>\n#include \"lvk_engine.h\"\n"
                                       "static lvk_engine_t e; static lvk_instance_values_t v;\n"
                                       "int main(void) {\n"
                                       "  lvk_engine_init(&e, &lvk_game); lvk_engine_set_instance_values(&e, &v);\n"
                                       "  lvk_engine_start_level(&e, 0);\n"
                                    << Body << "\n  return 0; }\n";
  const std::string Command = "cd '" + Dir.Path() + "' && cc -std=c99 -Wall -Wextra -pedantic -Werror -I'" +
                              LVK_ENGINE + "' -o game main.c lvk_gamedata.c" + EngineSources(LVK_ENGINE) +
                              " >cc.log 2>&1 && ./game >out.txt";
  return std::system(Command.c_str()) == 0 ? Slurp(Dir.File("out.txt")) : "failed: " + Slurp(Dir.File("cc.log"));
}

}  // namespace

// Sizes, animations and frames reach the engine; a larger scenery actor
// covers its block in the scenery table and paints its frame on the map.
TEST(GameTables, SpritesReachTheEngineAndLargerSceneryCoversItsBlock) {
  if (!HaveCommand("cc")) GTEST_SKIP() << "no host C compiler";
  test::TTempDir Dir;
  TSmallGame S;
  TTile* const* T = S.Tiles;
  S.Hero().SetSize(16, 16);
  const int Idle = S.Hero().AddAnimation(), Walk = S.Hero().AddAnimation();
  S.Hero().SetAnimationName(Walk, "Walk");
  S.Hero().SetFrameLength(Walk, 5);
  S.Hero().SetAnimationMode(Walk, TAnimationMode::BackAndForth);
  S.Hero().SetFrameTiles(Idle, 0, {T[0], T[1], nullptr, T[0]});
  S.Hero().AddFrame(Walk, {T[1]});
  S.Hero().GetHandler(1)->AddAction(TActionSetAnimation::ClassKind())->SetValue(0, "walk");
  S.Hero().GetHandler(1)->AddAction(TActionSetAnimation::ClassKind())->SetValue(0, "Run");  // none such
  S.Wall().SetSize(16, 16);
  S.Wall().SetFrameTiles(S.Wall().AddAnimation(), 0, {T[1], T[0], nullptr, T[1]});
  S.Game.GetLevel(1)->SetCell(30, 21, &S.Wall());
  S.Game.GetLevel(1)->SetCell(31, 22, &S.Deco());  // a later cell wins
  TTextBuildLog Log;
  const TGameTables Tables = BuildGameTables(S.Game, Log);
  EXPECT_EQ(Log.ErrorCount(), 1);
  EXPECT_NE(LogText(Log).find("\"Run\" is no animation of this actor"), std::string::npos) << LogText(Log);

  const lvk_actor_t& Hero = Tables.Actors[0];
  EXPECT_EQ(Hero.width, 16);
  EXPECT_EQ(Hero.animation_count, 2);
  EXPECT_EQ(Tables.Actors[1].animation_count, 0);  // scenery: no sprite, its frame is on the map
  ASSERT_EQ(Tables.Animations.size(), 2u);
  EXPECT_EQ(Tables.Animations[1].frame_count, 2);
  EXPECT_EQ(Tables.Animations[1].length, 5);
  EXPECT_EQ(Tables.Animations[1].mode, LVK_ANIMATION_BACK_AND_FORTH);
  EXPECT_EQ(Tables.Frames, (std::vector<std::uint32_t>{0, 4, 8}));
  EXPECT_EQ(Tables.FrameTiles,
            (std::vector<std::uint16_t>{0, 1, LVK_NONE, 0, LVK_NONE, LVK_NONE, LVK_NONE, LVK_NONE, 1, LVK_NONE,
                                        LVK_NONE, LVK_NONE}));
  const lvk_action_t& Set = Tables.Actions[Tables.Handlers[1].first_action + 1];
  EXPECT_EQ(Set.kind, LVK_ACTION_SET_ANIMATION);
  EXPECT_EQ(Set.ref, Walk);
  EXPECT_EQ(Tables.SpriteBytes, 128 + 3 * 256u);  // the hero's tile (the ghost has none), three frames

  const std::uint16_t* Scenery = &Tables.Scenery[LVK_LEVEL_CELLS];
  auto Cell = [](int C, int R) { return R * LVK_LEVEL_COLUMNS + C; };
  EXPECT_EQ(Scenery[Cell(30, 21)], 1);
  EXPECT_EQ(Scenery[Cell(31, 21)], 1);
  EXPECT_EQ(Scenery[Cell(30, 22)], 1);
  EXPECT_EQ(Scenery[Cell(31, 22)], 2);
  EXPECT_EQ(Scenery[Cell(29, 22)], LVK_NONE);
  const TLevelMap& Map = Tables.Backgrounds[1];
  EXPECT_EQ(Map[Cell(30, 21)], 1);
  EXPECT_EQ(Map[Cell(31, 21)], 0);
  EXPECT_EQ(Map[Cell(30, 22)], 2);  // the frame has no tile there: empty
  EXPECT_EQ(Map[Cell(31, 22)], 1);  // Deco's tile

  // Written and compiled with the engine: the hero starts on Idle's frame.
  EXPECT_EQ(RunGameData(Tables, Dir,
                        "  lvk_sprite_t s; lvk_engine_sprite(&e, 0, &s);\n"
                        "  printf(\"%d %d %d %d\", lvk_game_check(&lvk_game), s.frame, s.width, s.height);"),
            "1 0 16 16");
}

// A live actor is drawn by its animations' frames when it has any, else by
// its tile; the note names it only when what draws it has no picture.
TEST(GameTables, AnActorIsNotedUnseenOnlyWhenWhatDrawsItHasNoPicture) {
  struct TCase {
    const char* Name;
    bool Tile;
    std::vector<int> Frames;  // one animation each: the tile in its frame (0, 1), or none (-1)
    bool Unseen;
  };
  const TCase Cases[] = {
      {"nothing", false, {}, true},
      {"its tile", true, {}, false},
      {"a frame, no tile", false, {0}, false},
      {"a later animation's frame", false, {-1, 1}, false},
      {"empty frames over its tile", true, {-1}, true},
      {"a frame of a tile with no picture", false, {2}, true},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TSmallGame S;
    TTile* Blank = S.Game.AddTile();
    Blank->SetBitmap(TPeekBitmap());
    TTile* const Tiles[] = {S.Tiles[0], S.Tiles[1], Blank};
    S.Ghost().SetTile(C.Tile ? S.Tiles[0] : nullptr);
    for (int F : C.Frames) S.Ghost().SetFrameTile(S.Ghost().AddAnimation(), 0, 0, F < 0 ? nullptr : Tiles[F]);
    TTextBuildLog Log;
    const std::vector<std::string> Notes = BuildGameTables(S.Game, Log).Notes;
    EXPECT_EQ(Notes, C.Unseen ? std::vector<std::string>{"Actor Ghost has no tile with a picture: it plays unseen"}
                              : std::vector<std::string>{});
  }
}

TEST(GameTables, FramesBeyondTheSpriteMemoryLeaveTheirActorsOutByName) {
  struct TCase {
    std::vector<int> Frames;  // 64x64 frames (4 KiB each) of live actors aActor1, 2, ...
    std::string Left;
  };
  const TCase Cases[] = {
      {{16, 15}, ""},                    // 31 frames and a tile sprite: it fits
      {{16, 17}, "aActor2"},             // the second does not fit, whole
      {{40, 20, 20}, "aActor1, aActor3"},  // a later one that fits still takes part
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Left);
    TGame Game;
    TTile* Tile = Game.AddTile();
    TLevel* Level = Game.AddLevel();
    Level->SetSize(32, 24);
    for (std::size_t a = 0; a < C.Frames.size(); ++a) {
      TActor* Actor = Game.AddActor();
      Actor->SetTile(Tile);
      Actor->SetSize(64, 64);
      const int Anim = Actor->AddAnimation();
      for (int f = 1; f < C.Frames[a]; ++f) Actor->AddFrame(Anim);
      Actor->SetAnimationName(Anim, "Walk");
      Handle<TEventCreate>(*Actor);
      Actor->GetHandler(0)->AddAction(TActionSetAnimation::ClassKind())->SetValue(0, "Walk");
      Level->SetCell(static_cast<int>(a), 0, Actor);
    }
    TTextBuildLog Log;
    const TGameTables Tables = BuildGameTables(Game, Log);
    EXPECT_LE(Tables.SpriteBytes, SpriteMemory);
    EXPECT_EQ(Log.ErrorCount(), C.Left.empty() ? 0 : 1);
    if (!C.Left.empty()) {
      EXPECT_NE(LogText(Log).find("play without their animations: " + C.Left + "\n"), std::string::npos)
          << LogText(Log);
    }
    for (std::size_t a = 0; a < C.Frames.size(); ++a) {
      const bool Out = C.Left.find(Game.GetActor(static_cast<int>(a))->Name()) != std::string::npos;
      EXPECT_EQ(Tables.Actors[a].animation_count, Out ? 0 : 1) << a;
      // One left out asks for no animation: the tables still pass the engine's check.
      EXPECT_EQ(Tables.Actions[Tables.Handlers[Tables.Actors[a].first_handler].first_action].ref, Out ? LVK_NONE : 0);
    }
    const lvk_game_t Engine = Tables.Game();
    EXPECT_EQ(lvk_game_check(&Engine), 1);
  }
}

// The engine's entries reach the web page byte for byte, padding included:
// their padding is zero, whatever the memory they were made in held.
TEST(GameTables, TheEntriesPaddingIsZero) {
#if defined(__has_builtin)
#if __has_builtin(__builtin_clear_padding)
  TGame Game;
  Game.LoadFromFile(LVK_EXAMPLES "/Sample.lvk");
  // Freed blocks full of litter, for the tables to be made in.
  for (std::size_t Size = 16; Size <= 1 << 16; Size *= 2) {
    std::vector<void*> Blocks;
    for (int i = 0; i < 8; ++i) Blocks.push_back(std::memset(std::malloc(Size), 0xA5, Size));
    for (void* Block : Blocks) std::free(Block);
  }
  TTextBuildLog Log;
  const TGameTables T = BuildGameTables(Game, Log);
  int List = 0;
  auto Clean = [&List](const auto& Entries) {
    ++List;
    for (std::size_t i = 0; i < Entries.size(); ++i) {
      auto Cleared = Entries[i];
      __builtin_clear_padding(&Cleared);
      EXPECT_EQ(std::memcmp(&Cleared, &Entries[i], sizeof Cleared), 0)
          << "table " << List << ", entry " << i << " has bytes in its padding";
    }
  };
  std::apply([&](const auto&... Entries) { (Clean(Entries), ...); }, T.EntryLists());
  return;
#endif
#endif
  GTEST_SKIP() << "the compiler cannot tell the padding";
}
