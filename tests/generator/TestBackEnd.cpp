// The build's verdict on the tool chain: its exit code and the diagnostics
// in its log, against output captured from arm-none-eabi-gcc, ld and make.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TestSupport.h"
#include "generator/UBackEnd.h"
#include "generator/UBuildLog.h"
#include "model/UGame.h"
#include "model/ULevel.h"

using namespace lvk;

namespace {

// A failed compile and a failed link as make ran them.
const std::vector<std::string> FailedBuild = {
    "main.c",
    "generated.c",
    "/work/arm9/source/generated.c:5:12: warning: 'lvk_numlevels' initialized and declared 'extern'",
    "    5 | extern int lvk_numlevels= 2;",
    "      |            ^~~~~~~~~~~~~",
    "/work/arm9/source/main.c: In function 'main':",
    "/work/arm9/source/main.c:4:45: error: 'y' undeclared (first use in this function)",
    "    4 | int main(void) { return y; /* x.c:1: error: quoted */ }",
    "      |                         ^",
    "/work/arm9/source/main.c:4:45: note: each undeclared identifier is reported only once for each function it "
    "appears in",
    "make[1]: *** [/opt/devkitpro/devkitARM/base_rules:85: main.o] Error 1",
    "make: *** [Makefile:120: build] Error 2",
    "",
    "Command failed with exit code 2.",
};

}  // namespace

TEST(ToolDiagnostics, LinesAreClassifiedByTheirForm) {
  const std::pair<const char*, TToolLine> Lines[] = {
      {"c.c:1:10: fatal error: nds.h: No such file or directory", TToolLine::tlError},
      {"arm-none-eabi-gcc: error: unrecognized command-line option '-Wbogus'", TToolLine::tlError},
      {"arm-none-eabi-gcc: fatal error: no input files", TToolLine::tlError},
      {"x.c:7: error: old form without a column", TToolLine::tlError},
      {"b.c:(.text+0x8): undefined reference to `foo'", TToolLine::tlError},
      {"/usr/bin/ld: /src/b.c:107: undefined reference to `foo(int)'", TToolLine::tlError},
      {"/usr/bin/ld: b.o: in function `main': b.c:(.text+0x8): undefined reference to `foo'", TToolLine::tlError},
      {"b.c:3: multiple definition of `lvk_tiles'; a.o:a.c:3: first defined here", TToolLine::tlError},
      {"main.s:12: Error: unknown mnemonic `foo'", TToolLine::tlError},
      {"\x1b[01m\x1b[Kmain.c:4:5:\x1b[m\x1b[K \x1b[01;31m\x1b[Kerror: \x1b[m\x1b[Kcoloured", TToolLine::tlError},
      {"a.c:2:12: warning: 'x' initialized and declared 'extern'", TToolLine::tlWarning},
      {"/usr/bin/ld: warning: Lurvik.elf has a LOAD segment with RWX permissions", TToolLine::tlWarning},
      {"a.c:3:1: warning: \"error: x\" redefined", TToolLine::tlWarning},
      // Repeats of what the lines above already say, and prose.
      {"collect2: error: ld returned 1 exit status", TToolLine::tlOther},
      {"/usr/bin/ld: /tmp/cc.o: in function `main':", TToolLine::tlOther},
      {"a.c:4:45: note: each undeclared identifier is reported only once", TToolLine::tlOther},
      {"make: *** [Makefile:2: all] Error 1", TToolLine::tlOther},
      {"make: *** No rule to make target 'x'.  Stop.", TToolLine::tlOther},
      {"    4 | x.c:1: error: inside a source excerpt", TToolLine::tlOther},
      {"compilation terminated.", TToolLine::tlOther},
      {"Build not started:", TToolLine::tlOther},
      {": error: no place", TToolLine::tlOther},
      {"", TToolLine::tlOther},
  };
  for (const auto& [Line, Kind] : Lines) EXPECT_EQ(ClassifyToolLine(Line), Kind) << Line;
}

TEST(ToolDiagnostics, AFailedMakeCountsEachDiagnosticOnce) {
  TToolDiagnostics D = CountToolDiagnostics(FailedBuild);
  EXPECT_EQ(D.Errors, 1);
  EXPECT_EQ(D.Warnings, 1);
  EXPECT_EQ(D.FirstError, 6);
  EXPECT_EQ(CountToolDiagnostics({"Command ended successfully."}).FirstError, -1);
}

namespace {

// Leaves the given log where the launcher would and ends with the given code.
class TCannedLauncher final : public TProcessRunner {
public:
  TCannedLauncher(std::vector<std::string> Log, std::uint32_t Code) : FLog(std::move(Log)), FCode(Code) {}
  std::optional<std::uint32_t> Run(const TProcessCall& Call) override {
    std::ofstream Out(Call.Folder + "/launcher.log");
    for (const std::string& L : FLog) Out << L << '\n';
    return FCode;
  }

private:
  std::vector<std::string> FLog;
  std::uint32_t FCode;
};

struct TBuilt {
  TTextBuildLog Log;
  TBuildOutcome Outcome;
};

void Build(TBuilt& Into, const test::TTempDir& Root, TProcessRunner& Runner) {
  std::filesystem::create_directories(Root.File("devkitPro/msys/home/Lurvik/arm9/source"));
  TGame Game;
  Game.AddTile();
  Game.AddLevel()->SetSize(32, 24);
  TBuildRequest Request;
  Request.Game = &Game;
  Request.RootFolder = Root.Path();
  Into.Outcome = BuildGame(Request, Into.Log, Runner, [](const std::vector<std::string>&) {});
  LogSummary(Into.Log, Into.Outcome);
}

}  // namespace

// The exit code is one error and each of gcc's lines another: both are
// faults the user has to see, and neither hides the other.
TEST(BuildVerdict, ExitCodeAndDiagnosticsAreCounted) {
  test::TTempDir Root;
  test::TTestClock Clock;
  TCannedLauncher Failing(FailedBuild, 2);
  TBuilt Failed;
  // An image of an earlier build does not outlive a failed one.
  std::filesystem::create_directories(Root.File("devkitPro/msys/home/Lurvik"));
  std::ofstream(Root.File("devkitPro/msys/home/Lurvik/Lurvik.nds")) << "old image";
  Build(Failed, Root, Failing);
  EXPECT_FALSE(std::filesystem::exists(Root.File("devkitPro/msys/home/Lurvik/Lurvik.nds")));
  const std::vector<std::string>& Lines = Failed.Log.Lines();
  auto Done = std::find(Lines.begin(), Lines.end(), "Done (2)");
  ASSERT_NE(Done, Lines.end());
  EXPECT_EQ(*(Done + 1), "ERROR: The tool chain failed with exit code 2; see the back-end log (" +
                             Root.File("devkitPro/launcher.log") + ")");
  EXPECT_EQ(Failed.Outcome.Errors, 2);
  EXPECT_EQ(Failed.Outcome.FirstErrorLine, 6);
  EXPECT_TRUE(Failed.Outcome.Failed());
  EXPECT_EQ(Lines.back(), "Done (2 errors, 1 warnings, in 0:00)");

  // The launcher that finds no tool chain: no diagnostics, exit code 1.
  TCannedLauncher NoKit({"Build not started:", "", "devkitARM was not found; these files are missing:"}, 1);
  TBuilt Refused;
  Build(Refused, Root, NoKit);
  EXPECT_EQ(Refused.Log.Lines().back(), "Done (1 errors, 0 warnings, in 0:00)");
  EXPECT_EQ(Refused.Outcome.FirstErrorLine, -1);

  // Warnings alone are no failure.
  TCannedLauncher Warns({FailedBuild[2], "Command ended successfully."}, 0);
  TBuilt Good;
  Build(Good, Root, Warns);
  EXPECT_EQ(Good.Log.Lines().back(), "Done (0 errors, 1 warnings, in 0:00)");
  EXPECT_FALSE(Good.Outcome.Failed());
  EXPECT_EQ(Good.Log.ErrorCount(), 0);
}

// After a failed tool chain the front-end log says what to do, from what the
// back-end log shows; a success or a launcher that never started says nothing.
TEST(BuildVerdict, AFailureSaysWhatToDo) {
  const std::string StaleRecord =
      "make[1]: *** No rule to make target '/old/place/arm9/source/generated.c', needed by 'generated.o'.  Stop.";
  struct {
    std::uint32_t Code;
    std::vector<std::string> Log;
    std::string Advice;  // the start of the first line; empty for none
  } Cases[] = {
      {0, FailedBuild, ""},
      {StillActive, {}, ""},
      {1, {"Build not started:", "", "No DS tool chain to build with: ..."}, "What to do: the back-end log says what"},
      {2, {StaleRecord}, "What to do: make names a file that is not there"},
      {2, FailedBuild, "What to do: correct the first error"},
  };
  for (const auto& C : Cases) {
    const std::vector<std::string> Advice = FailureAdvice(C.Code, C.Log);
    if (C.Advice.empty()) {
      EXPECT_TRUE(Advice.empty()) << C.Code;
      continue;
    }
    ASSERT_FALSE(Advice.empty()) << C.Advice;
    EXPECT_EQ(Advice[0].rfind(C.Advice, 0), 0u) << Advice[0];
    // Short enough to be read whole in the build window.
    for (const std::string& Line : Advice) EXPECT_LE(Line.size(), 80u) << Line;
  }
  EXPECT_NE(FailureAdvice(2, {StaleRecord}).back().find("\"make clean\""), std::string::npos);
}
