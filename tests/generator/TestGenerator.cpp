// The C source generator: the file's text block by block, its encoding, the
// build log it writes, its failures, and the file compiled as C.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "TestSupport.h"
#include "generator/UBuildLog.h"
#include "generator/UGenerator.h"
#include "model/UActor.h"
#include "model/UClock.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USound.h"
#include "model/UStream.h"

using namespace lvk;
using test::TBytes;

namespace {

using TLines = std::vector<std::string>;

// Gives a tile any picture, of any size, the way a project file does.
void SetPicture(TTile& Tile, const TPeekBitmap& Picture) {
  TBytes B = test::ShortString("[TTile]");
  TBytes Name = test::ShortString(Tile.Name());
  TBytes Pixels = Picture.SaveToBytes();
  B.insert(B.end(), Name.begin(), Name.end());
  B.insert(B.end(), Pixels.begin(), Pixels.end());
  TMemoryStream S(B);
  TReader R(S);
  Tile.LoadFromStream(S, R);
}

// An 8x8 24-bit picture whose colour at (x, y) is Color(x, y).
TPeekBitmap Picture(const std::function<TColor(int, int)>& Color) {
  std::vector<std::uint8_t> Rows;
  for (int y = 7; y >= 0; --y)
    for (int x = 0; x < 8; ++x) {
      TColor C = Color(x, y);
      Rows.insert(Rows.end(), {static_cast<std::uint8_t>(GetBValue(C)), static_cast<std::uint8_t>(GetGValue(C)),
                               static_cast<std::uint8_t>(GetRValue(C))});
    }
  TPeekBitmap P;
  P.Assign(8, 8, 24, BI_RGB, {}, {}, std::move(Rows));
  return P;
}

TTile* AddTile(TGame& Game, const std::string& Name, const TPeekBitmap& Bitmap) {
  TTile* Tile = Game.AddTile();
  Tile->SetName(Name);
  SetPicture(*Tile, Bitmap);
  return Tile;
}

TActor* AddActor(TGame& Game, const std::string& Name, TTile* Tile) {
  TActor* Actor = Game.AddActor();
  Actor->SetName(Name);
  Actor->SetTile(Tile);
  return Actor;
}

TLevel* AddLevel(TGame& Game, const std::string& Name, int Width = 32, int Height = 24) {
  TLevel* Level = Game.AddLevel();
  Level->SetName(Name);
  Level->SetSize(Width, Height);
  return Level;
}

void SetPaletteSize(TPalette& Palette, int Count) {
  if (Count < Palette.Count()) Palette.DeleteRange(Count, Palette.Count() - 1);
  if (Count > Palette.Count()) Palette.InsertRange(Palette.Count(), Count - 1);
}

TLines SplitCrLf(const std::string& Text) {
  TLines Lines;
  std::size_t Start = 0;
  for (std::size_t End; (End = Text.find("\r\n", Start)) != std::string::npos; Start = End + 2)
    Lines.push_back(Text.substr(Start, End - Start));
  if (Start < Text.size()) Lines.push_back(Text.substr(Start));
  return Lines;
}

// The lines from the one starting with Head up to and including the "};" and
// empty line that close its block.
TLines Block(const TLines& Lines, const std::string& Head) {
  auto First = std::find_if(Lines.begin(), Lines.end(), [&](const std::string& L) { return L.rfind(Head, 0) == 0; });
  auto Close = std::find(First, Lines.end(), "};");
  return Close == Lines.end() ? TLines{} : TLines(First, Close + 2);
}

std::string Repeat(const std::string& S, int Times) {
  std::string Out;
  for (int i = 0; i < Times; ++i) Out += S;
  return Out;
}

// Dates in the C locale's short form, whatever the machine's locale.
class TCDateLocale {
public:
  TCDateLocale() {
    const char* Old = std::setlocale(LC_TIME, nullptr);
    FOld = Old ? Old : "C";
    std::setlocale(LC_TIME, "C");
  }
  ~TCDateLocale() { std::setlocale(LC_TIME, FOld.c_str()); }

private:
  std::string FOld;
};

// Generates into a fresh working folder with its arm9/source folder, under
// the test clock.
class TGeneration {
public:
  TGeneration() { std::filesystem::create_directories(Dir.Path() + "/arm9/source"); }

  std::string Path() const { return Dir.Path() + "/arm9/source/generated.c"; }
  void Run(const TGame& Game) { GenerateSource(Game, Dir.Path(), Log); }
  std::string Text() const {
    TBytes B = test::ReadBytes(Path());
    return std::string(B.begin(), B.end());
  }
  TLines Lines() const { return SplitCrLf(Text()); }
  TLines Generate(const TGame& Game) {
    Run(Game);
    return Lines();
  }

  TCDateLocale Locale;
  test::TTempDir Dir;
  test::TTestClock Clock;
  TTextBuildLog Log;
};

// The small game that tests/data/GeneratedSmall.txt describes.
void MakeSmallGame(TGame& Game) {
  Game.SetTitle("Ann's \"Quest\"");
  TPalette& P = Game.Palette();
  SetPaletteSize(P, 8);
  P.SetEntryColor(1, RGB(255, 0, 0));
  P.SetEntryColor(2, RGB(0, 255, 0));
  P.SetEntryColor(3, RGB(0, 0, 255));
  P.SetEntryColor(4, RGB(60, 60, 60));
  TTile* Red = AddTile(Game, "tRed", Picture([](int, int) { return RGB(250, 10, 10); }));
  TTile* Mix = AddTile(Game, "tMix", Picture([](int x, int y) {
                         return y == 0 ? clWhite : x < 4 ? RGB(0, 0, 255) : RGB(100, 100, 100);
                       }));
  TTile* Big = AddTile(Game, "tBig", test::SolidBitmap(16, 16, 24, RGB(1, 2, 3)));
  TActor* ARed = AddActor(Game, "aRed", Red);
  TLevel* Level = AddLevel(Game, "lFirst");
  Level->SetCell(0, 0, ARed);
  Level->SetCell(1, 0, AddActor(Game, "aMix", Mix));
  Level->SetCell(2, 0, AddActor(Game, "aNone", nullptr));
  Level->SetCell(3, 0, AddActor(Game, "aBig", Big));
  Level->SetCell(31, 23, ARed);
}

std::string ReadExpected(const std::string& Name) {
  std::ifstream In(std::string(LVK_TEST_DATA) + "/" + Name, std::ios::binary);
  std::stringstream S;
  S << In.rdbuf();
  // The fixture is kept with plain line feeds; the generator ends lines with CR LF.
  std::string Out;
  for (char C : S.str()) Out += C == '\n' ? std::string("\r\n") : std::string(1, C);
  return Out;
}

}  // namespace

TEST(Generator, SmallGameGivesTheExpectedFile) {
  TGeneration G;
  TGame Game;
  MakeSmallGame(Game);
  test::ClearModified(Game);
  G.Run(Game);
  std::string Expected = ReadExpected("GeneratedSmall.txt");
  ASSERT_FALSE(Expected.empty());
  EXPECT_EQ(G.Text(), Expected);
  EXPECT_EQ(G.Log.Notices(), TLines{"Tile tBig is not 8x8 - will be rendered transparant"});
  EXPECT_EQ(G.Log.ErrorCount(), 0);
  EXPECT_FALSE(Game.Modified());
}

TEST(Generator, LogOfASuccessfulRun) {
  TGeneration G;
  TGame Game;
  AddLevel(Game, "l");
  AddTile(Game, "t", test::SolidBitmap(8, 8, 24, 0));
  G.Run(Game);
  EXPECT_EQ(G.Log.Lines(), (TLines{"Generating source [12/09/25 12:00:00]", "Src " + G.Path(), "Generating palette",
                                   "Generating tiles", "Generating levels", "Done", ""}));
  EXPECT_EQ(G.Log.Status(), "Done");
  EXPECT_EQ(G.Log.ErrorCount(), 0);
}

TEST(Generator, TooSmallGameLogsThreeErrorsAndWritesEverything) {
  TGeneration G;
  TGame Game;
  SetPaletteSize(Game.Palette(), 1);
  TLines Lines = G.Generate(Game);
  EXPECT_EQ(G.Log.Lines(),
            (TLines{"Generating source [12/09/25 12:00:00]", "Src " + G.Path(), "Generating palette",
                    "ERROR: Number of colors in palette is too small", "Generating tiles",
                    "ERROR: Number of tiles is too small", "Generating levels", "ERROR: Number of levels is too small",
                    "Done", ""}));
  EXPECT_EQ(G.Log.ErrorCount(), 3);
  EXPECT_EQ(Block(Lines, "const u8 lvk_tiles"),
            (TLines{"const u8 lvk_tiles[0*64]={ // 8 rows of 8 pixels with an 8 bit palette index", "};", ""}));
  EXPECT_EQ(Block(Lines, "const u16 lvk_levels"), (TLines{"const u16 lvk_levels[0][32*24]={", "};", ""}));
  EXPECT_EQ(Lines[6], "extern int lvk_numlevels= 0;");
  EXPECT_TRUE(G.Text().ends_with("\t\tpLevel[i] = lvk_levels[lix][i];\r\n}\r\n\r\n"));
}

TEST(Generator, PaletteLinesAndGroups) {
  auto PaletteBlock = [](int Count) {
    TGeneration G;
    TGame Game;
    SetPaletteSize(Game.Palette(), Count);
    for (int i = 0; i < Count; ++i) Game.Palette().SetEntryColor(i, RGB(8 * (i % 32), 0, 0));
    return Block(G.Generate(Game), "const u16 lvk_palette");
  };
  auto Entry = [](int i) { return Format("RGB15(%2d, 0, 0)", i % 32); };
  auto Row = [&](int First, int Count, bool Comma) {
    std::string S = "  ";
    for (int i = First; i < First + Count; ++i) S += Entry(i) + (i + 1 < First + Count ? ", " : "");
    return S + (Comma ? "," : "");
  };
  EXPECT_EQ(PaletteBlock(6), (TLines{"const u16 lvk_palette[6]={ // 0b?rrrrrgggggbbbbb", Row(0, 6, false), "};", ""}));
  EXPECT_EQ(PaletteBlock(7), (TLines{"const u16 lvk_palette[7]={ // 0b?rrrrrgggggbbbbb", Row(0, 6, true),
                                     Row(6, 1, false), "};", ""}));
  EXPECT_EQ(PaletteBlock(18), (TLines{"const u16 lvk_palette[18]={ // 0b?rrrrrgggggbbbbb", Row(0, 6, true),
                                      Row(6, 6, true), Row(12, 6, false), "};", ""}));
  EXPECT_EQ(PaletteBlock(19), (TLines{"const u16 lvk_palette[19]={ // 0b?rrrrrgggggbbbbb", Row(0, 6, true),
                                      Row(6, 6, true), Row(12, 6, true), "", Row(18, 1, false), "};", ""}));
}

TEST(Generator, DefaultPaletteAndComponentScaling) {
  TGeneration G;
  TGame Game;
  TLines Lines = Block(G.Generate(Game), "const u16 lvk_palette");
  ASSERT_GE(Lines.size(), 2u);
  EXPECT_EQ(Lines[0], "const u16 lvk_palette[234]={ // 0b?rrrrrgggggbbbbb");
  EXPECT_EQ(Lines[1],
            "  RGB15(31,31,31), RGB15( 1, 1, 1), RGB15( 3, 3, 3), RGB15( 5, 5, 5), RGB15( 7, 7, 7), RGB15( 9, 9, 9),");

  TGeneration H;
  SetPaletteSize(Game.Palette(), 2);
  Game.Palette().SetEntryColor(0, RGB(7, 8, 255));
  Game.Palette().SetEntryColor(1, RGB(0, 15, 16));
  EXPECT_EQ(Block(H.Generate(Game), "const u16 lvk_palette")[1], "  RGB15( 0, 1,31), RGB15( 0, 1, 2)");
}

TEST(Generator, PixelsAreNearestEntriesFromOneInUpperCaseHex) {
  TGeneration G;
  TGame Game;
  TPalette& P = Game.Palette();
  SetPaletteSize(P, 12);
  for (int i = 0; i < 12; ++i) P.SetEntryColor(i, RGB(20 * i, 0, 0));
  P.SetEntryColor(11, RGB(200, 0, 0));  // ties with 10: the lower index wins
  // Column x is entry x + 3's colour; the top row is entry 0's, which only entry 1 can stand for.
  AddTile(Game, "t", Picture([](int x, int y) { return y == 0 ? RGB(0, 0, 0) : RGB(20 * (x + 3), 0, 0); }));
  TLines Tiles = Block(G.Generate(Game), "const u8 lvk_tiles");
  ASSERT_EQ(Tiles.size(), 1u + 1 + 8 + 2);
  EXPECT_EQ(Tiles[1], "  // 0 t");
  EXPECT_EQ(Tiles[2], "  " + Repeat("0x01, ", 8));
  EXPECT_EQ(Tiles[3], "  0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, ");
}

TEST(Generator, TileThatIsNot8x8) {
  TGeneration G;
  TGame Game;
  AddTile(Game, "tWide", test::SolidBitmap(16, 8, 24, clWhite));
  TTile* Tall = AddTile(Game, "tTall", test::SolidBitmap(8, 9, 8, clWhite));
  AddLevel(Game, "l")->SetCell(0, 0, AddActor(Game, "a", Tall));
  TLines Lines = G.Generate(Game);
  EXPECT_EQ(G.Log.Notices(), (TLines{"Tile tWide is not 8x8 - will be rendered transparant",
                                     "Tile tTall is not 8x8 - will be rendered transparant"}));
  EXPECT_EQ(G.Log.ErrorCount(), 0);
  TLines Tiles = Block(Lines, "const u8 lvk_tiles");
  ASSERT_EQ(Tiles.size(), 1u + 2 * 9 + 2);
  EXPECT_EQ(Tiles[10], "  // 1 tTall");
  for (int Row : {2, 9, 11, 18}) EXPECT_EQ(Tiles[Row], "  " + Repeat("0x00, ", 8)) << Row;
  EXPECT_EQ(Block(Lines, "const u16 lvk_levels")[2], "     1," + Repeat(" 2,", 31));
}

// Mend: the nearest-colour search has no candidate with fewer than 2 colours.
TEST(Generator, TilesOfAPaletteWithoutCandidatesAreZeros) {
  for (int Count : {0, 1}) {
    TGeneration G;
    TGame Game;
    SetPaletteSize(Game.Palette(), Count);
    AddTile(Game, "t", Picture([](int x, int) { return RGB(30 * x, 0, 0); }));
    TLines Tiles;
    ASSERT_NO_THROW(Tiles = Block(G.Generate(Game), "const u8 lvk_tiles")) << Count;
    ASSERT_EQ(Tiles.size(), 12u);
    for (int Row = 2; Row < 10; ++Row) EXPECT_EQ(Tiles[Row], "  " + Repeat("0x00, ", 8));
    EXPECT_EQ(G.Log.ErrorCount(), 2) << Count;  // colours and levels
    EXPECT_TRUE(G.Log.Notices().empty());
  }
}

TEST(Generator, LevelValuesAndWidths) {
  TGeneration G;
  TGame Game;
  for (int i = 0; i < 101; ++i) Game.AddTile();
  TActor* Hundred = AddActor(Game, "aHundred", Game.GetTile(100));
  TActor* Five = AddActor(Game, "aFive", Game.GetTile(5));
  TActor* NoTile = AddActor(Game, "aNoTile", nullptr);
  TLevel* First = AddLevel(Game, "lFirst");
  First->SetCell(0, 0, Hundred);
  First->SetCell(1, 0, Five);
  First->SetCell(2, 0, NoTile);
  First->SetCell(31, 0, Game.GetActor(0));
  TLevel* Second = AddLevel(Game, "lSecond");
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 32; ++x) Second->SetCell(x, y, NoTile);
  TLines Lines = G.Generate(Game);
  TLines Levels = Block(Lines, "const u16 lvk_levels");
  ASSERT_EQ(Levels.size(), 1u + 2 * 26 + 2);
  EXPECT_EQ(Levels[0], "const u16 lvk_levels[2][32*24]={");
  EXPECT_EQ(Levels[1], "  { // lFirst");
  EXPECT_EQ(Levels[2], "    100, 5,101," + Repeat("101,", 28) + "100,");
  EXPECT_EQ(Levels[3], "    " + Repeat("101,", 32));
  EXPECT_EQ(Levels[26], "  }, //lFirst");
  for (int Row = 28; Row < 52; ++Row) EXPECT_EQ(Levels[Row], "    " + Repeat("101,", 32));
  EXPECT_EQ(Lines[6], "extern int lvk_numlevels= 2;");
}

namespace {

std::string TitleLine(const std::string& Title) {
  TGeneration G;
  TGame Game;
  Game.SetTitle(Title);
  TLines Lines = G.Generate(Game);
  auto Main = std::find(Lines.begin(), Lines.end(), "extern void lvk_main( void ) {");
  return Lines.end() - Main > 2 ? Main[2] : std::string();
}

}  // namespace

TEST(Generator, TitleLineWidths) {
  EXPECT_EQ(TitleLine(""), "  printf( \"%16s\\n\", \"\" );");
  EXPECT_EQ(TitleLine("Hello"), "  printf( \"%18s\\n\", \"Hello\" );");
  EXPECT_EQ(TitleLine(DefaultTitle), "  printf( \"%22s\\n\", \"<Game title>\" );");
  // 100% is an argument, not a format: it stays as it is.
  EXPECT_EQ(TitleLine("100% fun"), "  printf( \"%20s\\n\", \"100% fun\" );");
}

// Mend: the title is escaped inside the C string; the width counts the
// title's own characters.
TEST(Generator, TitleIsEscapedInTheCString) {
  // 12 characters: width 22.
  EXPECT_EQ(TitleLine("a\\b\"c\td\n?\?!\x7f"), "  printf( \"%22s\\n\", \"a\\\\b\\\"c\\011d\\012?\\?!\\177\" );");
  EXPECT_EQ(TitleLine("???"), "  printf( \"%17s\\n\", \"?\\?\\?\" );");
  EXPECT_EQ(TitleLine("1\x01" "2"), "  printf( \"%17s\\n\", \"1\\0012\" );");
}

TEST(Generator, TextIsWindows1252) {
  // é and € exist in the code page; 日 does not, nor does a malformed byte.
  EXPECT_EQ(TitleLine("Caf\xC3\xA9 \xE2\x82\xAC \xE6\x97\xA5\xFF"), "  printf( \"%20s\\n\", \"Caf\xE9 \x80 ??\" );");
}

TEST(Generator, ExistingFileIsReplaced) {
  TGeneration G;
  test::WriteBytes(G.Path(), TBytes(200000, '@'));
  TGame Game;
  G.Run(Game);
  std::string Text = G.Text();
  EXPECT_EQ(Text.find('@'), std::string::npos);
  EXPECT_TRUE(Text.ends_with("}\r\n\r\n"));
}

TEST(Generator, FileThatCannotBeCreated) {
  test::TTempDir Dir;
  TTextBuildLog Log;
  TGame Game;
  EXPECT_THROW(GenerateSource(Game, Dir.Path(), Log), EFileError);
  ASSERT_EQ(Log.Lines().size(), 2u);
  EXPECT_EQ(Log.Lines()[1], "Src " + Dir.Path() + "/arm9/source/generated.c");
  EXPECT_EQ(Log.Status(), "Generating source");
}

TEST(Generator, LevelOfAnotherSizeStopsAfterClosingTheFile) {
  TGeneration G;
  TGame Game;
  AddLevel(Game, "lGood");
  AddLevel(Game, "lSmall", 10, 24);
  EXPECT_THROW(G.Run(Game), EAssertionFailed);
  TLines Log = G.Log.Lines();
  ASSERT_GE(Log.size(), 2u);
  EXPECT_EQ(Log[Log.size() - 2], "Done");
  EXPECT_EQ(Log.back(), "");
  EXPECT_EQ(G.Log.Status(), "Done");
  // What came before the failure is in the file, nothing after it.
  TLines Lines = G.Lines();
  EXPECT_EQ(Lines.back(), "  }, //lGood");
  EXPECT_EQ(std::find(Lines.begin(), Lines.end(), "  { // lSmall"), Lines.end());
}

TEST(Generator, WriteErrorStopsAfterLoggingDone) {
  TGeneration G;
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  std::filesystem::create_symlink("/dev/full", G.Path());
  TGame Game;
  EXPECT_THROW(G.Run(Game), EFileError);
  ASSERT_GE(G.Log.Lines().size(), 2u);
  EXPECT_EQ(G.Log.Lines()[G.Log.Lines().size() - 2], "Done");
}

TEST(BuildLog, DateTimeTextRoundsToSecondsAndSurvivesNonsense) {
  TCDateLocale Locale;
  EXPECT_EQ(DateTimeText(0), "12/30/99 00:00:00");
  EXPECT_EQ(DateTimeText(36526 + SecondsToDays(86399.6)), "01/02/00 00:00:00");
  EXPECT_EQ(DateTimeText(36585 + SecondsToDays(3723)), "02/29/00 01:02:03");
  for (double Nonsense : {1e300, -1e300, std::nan("")}) EXPECT_EQ(DateTimeText(Nonsense), DateTimeText(0));
}

// The generated file must build as C on the host and, where it is installed,
// with the DS tool chain's compiler for the arm9.
namespace {

const char* const StandInNds = R"(#ifndef NDS_STAND_IN_H
#define NDS_STAND_IN_H
#include <stdint.h>
typedef uint8_t u8;
typedef uint16_t u16;
typedef uint32_t u32;
#define RGB15(r, g, b) ((r) | ((g) << 5) | ((b) << 10))
#define BG_PALETTE ((u16 *)0x05000000)
void swiCopy(const void *source, void *dest, int flags);
#endif
)";

bool HaveCommand(const std::string& Name) {
  return std::system(("command -v " + Name + " >/dev/null 2>&1").c_str()) == 0;
}

// Compiles Folder/arm9/source/generated.c; returns the compiler's messages
// other than the expected one about lvk_numlevels, or why it failed.
std::string CompileMessages(const std::string& Compiler, const std::string& Options, const std::string& Folder) {
  std::string Source = Folder + "/arm9/source";
  std::ofstream(Source + "/nds.h") << StandInNds;
  std::string Log = Folder + "/compile.log";
  std::string Command = "LC_ALL=C " + Compiler + " " + Options + " -std=c99 -Wall -c '" + Source + "/generated.c' -o '" + Folder +
                        "/generated.o' >'" + Log + "' 2>&1";
  int Status = std::system(Command.c_str());
  std::ifstream In(Log);
  std::string Line, Unexpected;
  while (std::getline(In, Line))
    if (Line.find("warning:") != std::string::npos || Line.find("error:") != std::string::npos)
      if (Line.find("'lvk_numlevels' initialized and declared 'extern'") == std::string::npos) Unexpected += Line + "\n";
  if (Status != 0) Unexpected += "exit status " + std::to_string(Status) + "\n";
  return Unexpected;
}

void MakeRichGame(TGame& Game) {
  MakeSmallGame(Game);
  Game.SetTitle("Tricky \\ \"title\"\twith ?\?= and \xE2\x82\xAC");
  for (int i = 0; i < 300; ++i)
    AddTile(Game, "tMore" + std::to_string(i), Picture([i](int x, int y) { return RGB(i, 32 * x, 32 * y); }));
  TActor* Last = AddActor(Game, "aLast", Game.GetTile(Game.TileCount() - 1));
  for (int l = 0; l < 3; ++l) {
    TLevel* Level = AddLevel(Game, "lMore" + std::to_string(l));
    for (int x = 0; x < 32; ++x) Level->SetCell(x, l, Last);
  }
  // Sounds: their samples' tables must compile too.
  Game.AddSound()->SetPreset(4);
  TSound* Voice = Game.AddSound();
  Voice->SetImported({-128, 127, 0});
  Game.GetLevel(0)->SetMusic(Voice);
}

void ExpectCompiles(const std::string& Compiler, const std::string& Options) {
  TGeneration G;
  TGame Game;
  MakeRichGame(Game);
  G.Run(Game);
  EXPECT_EQ(CompileMessages(Compiler, Options, G.Dir.Path()), "");
}

}  // namespace

TEST(GeneratedSource, CompilesOnTheHost) {
  if (!HaveCommand("cc")) GTEST_SKIP() << "no host C compiler";
  ExpectCompiles("cc", "");
}

TEST(GeneratedSource, CompilesForTheArm9) {
  if (!HaveCommand("arm-none-eabi-gcc")) GTEST_SKIP() << "arm-none-eabi-gcc is not installed";
  ExpectCompiles("arm-none-eabi-gcc", "-mcpu=arm946e-s -mthumb -DARM9");
}

TEST(Generator, LevelsOfEverySizeUpTo256x256) {
  // Which sizes stop the generator, and a larger level's top-left screen in
  // generated.c beside its whole map in lvk_gamedata.c.
  struct TCase {
    int Width, Height;
    bool Stops;
  };
  const TCase Cases[] = {{32, 24, false}, {256, 256, false}, {128, 24, false}, {31, 24, true},
                         {32, 23, true},  {257, 24, true},   {32, 257, true}};
  for (const TCase& C : Cases) {
    TGeneration G;
    TGame Game;
    Game.AddTile();
    TActor* Rock = Game.AddActor();
    Rock->SetTile(Game.GetTile(0));
    TLevel* Level = AddLevel(Game, "lWide", C.Width, C.Height);
    if (C.Stops) {
      EXPECT_THROW(G.Run(Game), EAssertionFailed) << C.Width << "x" << C.Height;
      continue;
    }
    Level->SetCell(C.Width - 1, 0, Rock);
    Level->SetCell(0, 0, Rock);
    TLines Lines = G.Generate(Game);
    EXPECT_EQ(G.Log.ErrorCount(), 0);
    TLines Levels = Block(Lines, "const u16 lvk_levels[");
    ASSERT_EQ(Levels.size(), 24u + 5u) << C.Width;
    EXPECT_EQ(Levels[2], "     0," + Repeat(" 1,", 30) + (C.Width == 32 ? " 0," : " 1,"));
    std::string Data = test::Slurp(GameDataSourcePath(G.Dir.Path()));
    EXPECT_NE(Data.find(Format("const uint16_t lvk_maps[%d] = {", C.Width * C.Height)), std::string::npos);
    EXPECT_NE(Data.find(Format("/* 0 lWide: %d x %d tile numbers */\r\n  0,", C.Width, C.Height)), std::string::npos);
  }

  // Four levels of the largest size fit the DS; a fifth one is an error.
  TGeneration G;
  TGame Game;
  Game.AddTile();
  for (int i = 0; i < 5; ++i) AddLevel(Game, "l" + std::to_string(i), 256, 256);
  G.Run(Game);
  EXPECT_EQ(G.Log.ErrorCount(), 1);
  EXPECT_NE(std::find(G.Log.Lines().begin(), G.Log.Lines().end(),
                      "ERROR: The levels have 327680 cells in all, taking 1280 KiB of the DS's memory; at most "
                      "262144 cells (1024 KiB) fit"),
            G.Log.Lines().end());
}
