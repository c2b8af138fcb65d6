// --build run as a user runs it: a copy of the real executable in a root
// folder whose devkitPro folder holds a stand-in launcher. Also the terminal
// form of the back-end call, which the widget tests cannot open.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/wait.h>

#include "TestSupport.h"
#include "generator/UBackEnd.h"
#include "generator/UBuildLog.h"
#include "generator/UCommandLine.h"
#include "model/UGame.h"
#include "model/ULevel.h"

using namespace lvk;
using test::Quote;
using test::Slurp;
namespace fs = std::filesystem;

namespace {

// Records how it was called; exitN ends with N, nolog leaves no log, gcc
// fails the way a compiler does.
constexpr const char* StandInLauncher = R"sh(
{ printf 'pwd=%s\n' "$(pwd)"; printf 'argc=%s\n' "$#"
  for a in "$@"; do printf 'arg=[%s]\n' "$a"; done; } >launcher.log
case $1 in
  exit*) exit "${1#exit}" ;;
  nolog) rm -f launcher.log ;;
  gcc) printf '%s\n' "main.c:3:5: warning: unused variable 'x'" "main.c:4:1: error: expected ';'" \
         "make[1]: *** [main.o] Error 1" >>launcher.log; exit 2 ;;
esac
exit 0
)sh";

std::vector<std::string> Lines(const std::string& Text) {
  std::vector<std::string> Out;
  std::istringstream In(Text);
  for (std::string L; std::getline(In, L);) Out.push_back(L);
  return Out;
}

std::ptrdiff_t IndexOf(const std::vector<std::string>& Lines, const std::string& Line) {
  auto At = std::find(Lines.begin(), Lines.end(), Line);
  return At == Lines.end() ? -1 : At - Lines.begin();
}

struct TRun {
  int Status;
  std::vector<std::string> Out;
  std::string Err;
};

struct HeadlessBuild : ::testing::Test {
  test::TTempDir Root;

  void SetUp() override {
    fs::copy_file(LVK_STUDIO, Root.File("lurvik-studio"));
    fs::create_directories(Root.File("devkitPro/msys/home/Lurvik/arm9/source"));
    std::ofstream(Root.File("devkitPro/launcher.sh")) << StandInLauncher;
  }
  std::string SavedGame(bool Complete) {
    TGame Game;
    if (Complete) {
      Game.AddTile();
      Game.AddLevel()->SetSize(32, 24);
    } else {
      Game.Palette().DeleteRange(1, Game.Palette().Count() - 1);
    }
    Game.SetFileName(Root.File(Complete ? "game.lvk" : "empty.lvk"));
    Game.Save();
    return Game.FileName();
  }
  TRun Studio(const std::string& Arguments) {
    std::string Cmd = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= " + Quote(Root.File("lurvik-studio")) + " " +
                      Arguments + " >" + Root.File("out") + " 2>" + Root.File("err") + " </dev/null";
    int Raw = std::system(Cmd.c_str());
    return {WIFEXITED(Raw) ? WEXITSTATUS(Raw) : -1, Lines(Slurp(Root.File("out"))), Slurp(Root.File("err"))};
  }
};

}  // namespace

TEST(CommandLine, BuildParsing) {
  TCommandLine Build = ParseCommandLine({"--build", "g.lvk", "--command", "make clean"});
  EXPECT_EQ(Build.Action, TCommandLine::acBuild);
  EXPECT_EQ(Build.GameFile, "g.lvk");
  EXPECT_EQ(Build.Command, "make clean");
  EXPECT_EQ(ParseCommandLine({"--build", "g.lvk"}).Command, "make");
  EXPECT_EQ(ParseCommandLine({"--build", "g.lvk", "--command", ""}).Command, "");
  for (std::vector<std::string> Bad : std::vector<std::vector<std::string>>{
           {"--build"}, {"--build", "g.lvk", "--command"}, {"g.lvk", "--command", "make"},
           {"--generate", "g.lvk", "--command", "make"}, {"--build", "a.lvk", "--generate", "b.lvk"}})
    EXPECT_EQ(ParseCommandLine(Bad).Action, TCommandLine::acUsageError) << Bad.back();
}

TEST_F(HeadlessBuild, PrintsTheFrontEndLogTheBackEndLogAndTheSummary) {
  TRun R = Studio("--build " + Quote(SavedGame(true)) + " --command 'make clean'");
  EXPECT_EQ(R.Status, 0) << R.Err;
  EXPECT_TRUE(R.Err.empty()) << R.Err;
  ASSERT_FALSE(R.Out.empty());
  const std::string DP = Root.File("devkitPro");
  EXPECT_EQ(R.Out[0].rfind("Starting build [", 0), 0u);
  std::ptrdiff_t Run = IndexOf(R.Out, "Run sh launcher.sh make clean");
  std::ptrdiff_t Prog = IndexOf(R.Out, "Prog " + DP + "/msys/home/Lurvik/Lurvik.nds");
  std::ptrdiff_t BackEnd = IndexOf(R.Out, "pwd=" + DP);
  EXPECT_GE(Run, 0);
  EXPECT_EQ(IndexOf(R.Out, "Done (0)"), Run + 2);
  EXPECT_GT(Prog, Run);
  EXPECT_EQ(BackEnd, Prog + 2);
  EXPECT_EQ(IndexOf(R.Out, "arg=[make clean]"), BackEnd + 2);
  EXPECT_TRUE(std::regex_match(R.Out.back(), std::regex(R"(Done \(0 errors, 0 warnings, in 0:0\d\))"))) << R.Out.back();
  EXPECT_TRUE(fs::exists(Root.File("devkitPro/msys/home/Lurvik/arm9/source/generated.c")));
}

TEST_F(HeadlessBuild, ExitStatusTellsWhatWentWrong) {
  const std::string Game = Quote(SavedGame(true));

  // A failed tool chain is an error of the build, counted in the summary.
  TRun Failed = Studio("--build " + Game + " --command exit3");
  EXPECT_EQ(Failed.Status, exBackEndFailed);
  std::ptrdiff_t Done = IndexOf(Failed.Out, "Done (3)");
  ASSERT_NE(Done, -1);
  EXPECT_EQ(Failed.Out[Done + 1], "ERROR: The tool chain failed with exit code 3; see the back-end log (" +
                                      Root.File("devkitPro/launcher.log") + ")");
  EXPECT_EQ(Failed.Out.back().rfind("Done (1 errors, 0 warnings", 0), 0u);

  // The compiler's own lines count too; make's repeat of the failure does not.
  TRun Compiler = Studio("--build " + Game + " --command gcc");
  EXPECT_EQ(Compiler.Status, exBackEndFailed);
  EXPECT_EQ(Compiler.Out.back().rfind("Done (2 errors, 1 warnings", 0), 0u) << Compiler.Out.back();

  // Generator errors with a tool chain that is fine; a failing one says more.
  TRun Errors = Studio("--build " + Quote(SavedGame(false)));
  EXPECT_EQ(Errors.Status, exErrorsLogged);
  EXPECT_EQ(Errors.Out.back().rfind("Done (3 errors, 0 warnings", 0), 0u);
  TRun Both = Studio("--build " + Quote(SavedGame(false)) + " --command exit1");
  EXPECT_EQ(Both.Status, exBackEndFailed);
  EXPECT_EQ(Both.Out.back().rfind("Done (4 errors, 0 warnings", 0), 0u);

  // No log to load: stopped, no summary, the reason on standard error.
  TRun NoLog = Studio("--build " + Game + " --command nolog");
  EXPECT_EQ(NoLog.Status, exStopped);
  EXPECT_NE(NoLog.Err.find("\"" + Root.File("devkitPro/launcher.log") + "\""), std::string::npos) << NoLog.Err;
  EXPECT_EQ(NoLog.Out.back().rfind("Loading back-end log [", 0), 0u);

  test::WriteBytes(Root.File("bad.lvk"), {1, 2, 3});
  EXPECT_EQ(Studio("--build " + Quote(Root.File("bad.lvk"))).Status, exCannotLoad);
  EXPECT_EQ(Studio("--command make").Status, exUsage);
}

// The terminal's shell must hand the launcher the command as typed, and run
// no part of it itself.
TEST(BackEnd, ShownCommandRunsInAKeptTerminalAsOneArgument) {
  test::TTempDir Root;
  fs::create_directories(Root.File("devkitPro"));
  std::ofstream(Root.File("devkitPro/launcher.sh")) << StandInLauncher;

  TProcessCall Make = BackEndCall(Root.Path(), "make", true);
  EXPECT_EQ(Make.Program, "x-terminal-emulator");
  EXPECT_EQ(Make.Arguments, (std::vector<std::string>{"-e", "sh", "-c", "sh launcher.sh make; exec sh"}));
  EXPECT_EQ(Make.Parameters, "-e sh -c \"sh launcher.sh make; exec sh\"");
  EXPECT_EQ(Make.Folder, Root.File("devkitPro"));

  const std::string Hostile = "make; touch pwned 'x' $(touch pwned2)";
  TProcessCall Call = BackEndCall(Root.Path(), Hostile, true);
  ASSERT_EQ(Call.Arguments.size(), 4u);
  // What the terminal would run, without the terminal: its shell reads no
  // input here, so "exec sh" ends at once.
  TSpawnRunner Runner;
  std::optional<std::uint32_t> Code = Runner.Run({"sh", {"-c", Call.Arguments[3]}, Call.Folder, "", {}});
  ASSERT_TRUE(Code.has_value());
  EXPECT_EQ(*Code, 0u);
  EXPECT_EQ(Slurp(Root.File("devkitPro/launcher.log")),
            "pwd=" + Root.File("devkitPro") + "\nargc=1\narg=[" + Hostile + "]\n");
  EXPECT_FALSE(fs::exists(Root.File("devkitPro/pwned")));
  EXPECT_FALSE(fs::exists(Root.File("devkitPro/pwned2")));
}

TEST(BackEnd, RunnerReportsWhatBecameOfTheProgram) {
  test::TTempDir Dir;
  TSpawnRunner Runner;
  EXPECT_EQ(Runner.Run({"sh", {"-c", "exit 7"}, Dir.Path(), "", {}}), std::optional<std::uint32_t>(7));
  EXPECT_EQ(Runner.Run({"sh", {"-c", "kill -9 $$"}, Dir.Path(), "", {}}), std::optional<std::uint32_t>(128 + 9));
  EXPECT_FALSE(Runner.Run({"lurvik-no-such-program", {}, Dir.Path(), "", {}}).has_value());

  // The notice and the code the build shows for it.
  TTextBuildLog Log;
  EXPECT_EQ(ExecuteAndWait(Runner, {"lurvik-no-such-program", {}, Dir.Path(), "", {}}, Log), StillActive);
  EXPECT_EQ(Log.Notices(), std::vector<std::string>{"Error starting lurvik-no-such-program"});
  EXPECT_EQ(Log.ErrorCount(), 0);
}
