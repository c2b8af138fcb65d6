// The program's headless commands, run as a user runs them: the real
// executable, without a display.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "TestSupport.h"
#include "behaviour/UBehaviour.h"
#include "generator/UCommandLine.h"
#include "model/UActor.h"
#include "model/UBuiltinBitmaps.h"
#include "model/UGame.h"
#include "model/ULevel.h"

using namespace lvk;
using test::Quote;
using test::Slurp;
using test::TBytes;

namespace {

struct TRun {
  int Status;
  std::string Out;
  std::string Err;
};

// Runs the program (LVK_STUDIO, or a copy of it) after Prefix, a command that
// runs it as another user.
TRun Studio(const std::string& Arguments, const std::string& Prefix = "", const std::string& Program = LVK_STUDIO) {
  test::TTempDir Dir;
  // No display at all: the headless commands must not need one.
  std::string Cmd = Prefix + "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= " + Quote(Program) + " " + Arguments +
                    " >" + Dir.File("out") + " 2>" + Dir.File("err") + " </dev/null";
  int Raw = std::system(Cmd.c_str());
  return {WIFEXITED(Raw) ? WEXITSTATUS(Raw) : -1, Slurp(Dir.File("out")), Slurp(Dir.File("err"))};
}

// A saved game; its folder doubles as a working folder with arm9/source in it.
std::string SavedGame(const test::TTempDir& Dir, bool WithTiles) {
  std::filesystem::create_directories(Dir.File("arm9/source"));
  TGame Game;
  if (WithTiles) {
    TTile* T = Game.AddTile();
    TActor* A = Game.AddActor();
    A->SetTile(T);
    TLevel* L = Game.AddLevel();
    L->SetSize(32, 24);
    L->SetCell(0, 0, A);
  }
  Game.SetFileName(Dir.File(WithTiles ? "good game.lvk" : "empty.lvk"));
  Game.Save();
  return Game.FileName();
}

}  // namespace

TEST(CommandLine, Parsing) {
  EXPECT_EQ(ParseCommandLine({}).Action, TCommandLine::acEditor);
  TCommandLine Open = ParseCommandLine({"a.lvk"});
  EXPECT_EQ(Open.Action, TCommandLine::acEditor);
  EXPECT_EQ(Open.GameFile, "a.lvk");
  TCommandLine Gen = ParseCommandLine({"--generate", "g.lvk", "--working-folder", "/w"});
  EXPECT_EQ(Gen.Action, TCommandLine::acGenerate);
  EXPECT_EQ(Gen.GameFile, "g.lvk");
  EXPECT_EQ(Gen.WorkingFolder, "/w");
  for (std::vector<std::string> Bad : std::vector<std::vector<std::string>>{
           {"--generate"}, {"--bogus"}, {"a.lvk", "b.lvk"}, {"--working-folder", "/w"}, {"--generate", "a", "b"}})
    EXPECT_EQ(ParseCommandLine(Bad).Action, TCommandLine::acUsageError) << Bad[0];
}

TEST(CommandLine, HelpVersionAndBadArguments) {
  TRun Help = Studio("--help");
  EXPECT_EQ(Help.Status, 0);
  EXPECT_NE(Help.Out.find("--generate GAME.lvk"), std::string::npos);
  TRun Version = Studio("--version");
  EXPECT_EQ(Version.Status, 0);
  EXPECT_EQ(Version.Out.rfind("Lurvik Studio ", 0), 0u);
  TRun Bad = Studio("--frobnicate");
  EXPECT_EQ(Bad.Status, 64);
  EXPECT_NE(Bad.Err.find("unknown option --frobnicate"), std::string::npos);
}

TEST(CommandLine, GenerateIntoAWorkingFolder) {
  test::TTempDir Dir;
  const std::string Game = SavedGame(Dir, true);
  TRun R = Studio("--generate " + Quote(Game) + " --working-folder " + Quote(Dir.Path()));
  EXPECT_EQ(R.Status, 0) << R.Err;
  std::string Source = Slurp(Dir.File("arm9/source/generated.c"));
  EXPECT_NE(Source.find("lvk_numlevels"), std::string::npos);
  EXPECT_NE(Source.find("\r\n"), std::string::npos);
  // The front-end log's lines, in order.
  EXPECT_NE(R.Out.find("Generating"), std::string::npos) << R.Out;
  EXPECT_LT(R.Out.find("palette"), R.Out.find("level")) << R.Out;
  EXPECT_TRUE(R.Err.empty()) << R.Err;
}

// A working folder of the user's choosing may be new, and a tile picture
// without pixels (which other tools write) is generated as transparent.
TEST(CommandLine, GenerateMakesItsFoldersAndTakesATileWithoutPixels) {
  test::TTempDir Dir;
  const std::string Saved = SavedGame(Dir, true);
  TBytes File = test::ReadBytes(Saved);
  const TBytes QuestionMark = LoadBuiltinBitmap("BmpNoBmp8x8").SaveToBytes();
  auto At = std::search(File.begin(), File.end(), QuestionMark.begin(), QuestionMark.end());
  ASSERT_NE(At, File.end());
  TBitmap Empty;
  Empty.Assign(0, 0, 24, BI_RGB, {}, {}, {});
  TBytes Patched(File.begin(), At);
  test::Append(Patched, Empty.SaveToBytes());
  Patched.insert(Patched.end(), At + static_cast<std::ptrdiff_t>(QuestionMark.size()), File.end());
  test::WriteBytes(Dir.File("empty tile.lvk"), Patched);

  const std::string Work = Dir.File("new/work");
  TRun R = Studio("--generate " + Quote(Dir.File("empty tile.lvk")) + " --working-folder " + Quote(Work));
  EXPECT_EQ(R.Status, 0) << R.Err;
  EXPECT_EQ(R.Err, "Tile tTile1 is not 8x8 - will be rendered transparant\n");
  std::string Source = Slurp(Work + "/arm9/source/generated.c");
  EXPECT_NE(Source.find("  // 0 tTile1\r\n  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, \r\n"), std::string::npos);
  // The actor's tile has no picture: its cell shows the empty tile number.
  EXPECT_NE(Source.find("  { // lLevel1\r\n     1, 1,"), std::string::npos);
}

TEST(CommandLine, GenerateExitStatuses) {
  test::TTempDir Dir;
  // Errors logged, the file still written in full.
  TRun Errors = Studio("--generate " + Quote(SavedGame(Dir, false)) + " --working-folder " + Quote(Dir.Path()));
  EXPECT_EQ(Errors.Status, 1);
  EXPECT_NE(Errors.Out.find("ERROR: "), std::string::npos);
  EXPECT_NE(Slurp(Dir.File("arm9/source/generated.c")).find("lvk_showlevel"), std::string::npos);

  // A game that cannot be loaded.
  test::WriteBytes(Dir.File("bad.lvk"), {1, 2, 3});
  TRun Bad = Studio("--generate " + Quote(Dir.File("bad.lvk")) + " --working-folder " + Quote(Dir.Path()));
  EXPECT_EQ(Bad.Status, 2);
  EXPECT_EQ(Bad.Err, "Error opening file bad.lvk\nRead error: file has unexpected format\n");

  // Generation stopped: the working folder cannot hold the file.
  test::WriteBytes(Dir.File("notafolder"), {1});
  TRun Stopped = Studio("--generate " + Quote(SavedGame(Dir, true)) + " --working-folder " + Quote(Dir.File("notafolder")));
  EXPECT_EQ(Stopped.Status, 3);
  EXPECT_FALSE(Stopped.Err.empty());
}

// A working folder the user may not write is reported with its own reason,
// not as the missing folder the generator would then find. Root may write
// anywhere, so there the program is run as nobody.
TEST(CommandLine, GenerateIntoAFolderItMayNotWriteSaysPermissionDenied) {
  test::TTempDir Dir;
  const std::string Game = SavedGame(Dir, true);
  std::filesystem::create_directories(Dir.File("locked"));
  std::string AsUser, Program = LVK_STUDIO;
  if (::geteuid() == 0) {
    if (std::system("command -v setpriv >/dev/null 2>&1 && id nobody >/dev/null 2>&1") != 0)
      GTEST_SKIP() << "root without setpriv: every folder is writable";
    // Everything nobody needs in a folder it may enter, wherever the build lies.
    namespace fs = std::filesystem;
    Program = Dir.File("lurvik-studio");
    fs::copy_file(LVK_STUDIO, Program);
    fs::permissions(Dir.Path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    fs::permissions(Game, fs::perms::others_read, fs::perm_options::add);
    AsUser = "setpriv --reuid=$(id -u nobody) --regid=$(id -g nobody) --clear-groups ";
  } else {
    std::filesystem::permissions(Dir.File("locked"), std::filesystem::perms::owner_read |
                                                        std::filesystem::perms::owner_exec);
  }
  TRun R = Studio("--generate " + Quote(Game) + " --working-folder " + Quote(Dir.File("locked/work")), AsUser, Program);
  EXPECT_EQ(R.Status, 3);
  EXPECT_EQ(R.Err, "Cannot create folder \"" + Dir.File("locked/work/arm9/source") + "\". Permission denied\n");
  std::filesystem::permissions(Dir.File("locked"), std::filesystem::perms::owner_all);
}
