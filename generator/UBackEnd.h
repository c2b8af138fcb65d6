#pragma once
// The build's steps after the source is generated: starting the tool chain's
// launcher, waiting for it, reading its log, and the summary. No GUI in here:
// the build window waits through a runner that keeps its windows alive, the
// command line through one that simply blocks.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "generator/UToolChain.h"

namespace lvk {

class TBuildLog;
class TGame;

// What ExecuteAndWait gives back when the program could not be started, or
// the wait was given up because the program is closing.
constexpr std::uint32_t StillActive = 259;

struct TProcessCall {
  std::string Program;
  std::vector<std::string> Arguments;
  std::string Folder;      // the working folder of the new process
  std::string Parameters;  // the arguments as one line, as the log shows them
  // Set for the new process on top of what it inherits: the tool chain's.
  std::vector<std::pair<std::string, std::string>> Environment;
};

class TProcessRunner {
public:
  virtual ~TProcessRunner() = default;
  // Starts the program and waits for its end: its exit code (128 + the
  // signal when it was killed), StillActive when the wait was given up, or
  // nothing when it could not be started.
  virtual std::optional<std::uint32_t> Run(const TProcessCall& Call) = 0;
};

// Blocks in waitpid; for the command line. The child's standard output goes
// nowhere (the launcher prints its log there when it sees a terminal, and
// the caller prints the log itself), its standard error to ours.
class TSpawnRunner final : public TProcessRunner {
public:
  std::optional<std::uint32_t> Run(const TProcessCall& Call) override;
};

// The tool chain's folders for the program in RootFolder: below its data
// folder, or below the user's copy of it (support/UDataFolders.h).
std::string DevkitProFolder(const std::string& RootFolder);
std::string WorkingFolder(const std::string& RootFolder);
std::string BackEndLogPath(const std::string& RootFolder);
std::string BuiltImagePath(const std::string& RootFolder);

// "sh launcher.sh COMMAND" in the devkitPro folder; with ShowWindow, the same
// in a terminal that stays open until the user closes it. An empty command
// passes no argument, so the launcher takes its default.
TProcessCall BackEndCall(const std::string& RootFolder, const std::string& Command, bool ShowWindow);

// Runs the call; a program that cannot be started is reported as the notice
// "Error starting " + program and gives StillActive.
std::uint32_t ExecuteAndWait(TProcessRunner& Runner, const TProcessCall& Call, TBuildLog& Log);

// Logs the call, runs it (with Environment on top of ours) and logs its exit
// code; any code but 0 is also logged as an error that points at the
// back-end log.
std::uint32_t RunBackEnd(TProcessRunner& Runner, const std::string& RootFolder, const std::string& Command,
                         bool ShowWindow, TBuildLog& Log,
                         const std::vector<std::pair<std::string, std::string>>& Environment = {});

// What the user can do about a tool chain that failed, from its exit code and
// its log: a line or two for the front-end log; none after a success.
std::vector<std::string> FailureAdvice(std::uint32_t ExitCode, const std::vector<std::string>& BackEndLog);

// The launcher's log as lines, line ends of either kind. EFileError names the
// path and the reason when it cannot be read.
std::vector<std::string> ReadBackEndLog(const std::string& Path);

// What a line of the back-end log says, in the form the compiler, the
// assembler and the linker give their diagnostics: "FILE:LINE[:COL]: error:"
// (or "fatal error:", the assembler's "Error:", a program's "gcc: error:"),
// "...: undefined reference to" and "...: multiple definition of" are
// errors; "...: warning:" (and "Warning:") a warning. Notes, source excerpts,
// "In function" lines and make's "*** ... Error N" lines are neither: make's
// failure is the back-end's exit code, counted once by RunBackEnd, and
// collect2's "ld returned N exit status" only repeats the linker's own lines.
enum class TToolLine { tlOther, tlError, tlWarning };
TToolLine ClassifyToolLine(std::string_view Line);

struct TToolDiagnostics {
  int Errors = 0;
  int Warnings = 0;
  int FirstError = -1;  // index of the first error line, -1 for none
};
TToolDiagnostics CountToolDiagnostics(const std::vector<std::string>& Lines);

struct TBuildRequest {
  const TGame* Game = nullptr;
  std::string RootFolder;
  std::string Command = "make";
  bool ShowWindow = false;
  // The tool chain the launcher is to use (ChooseToolChain); without one it
  // takes DEVKITPRO from the environment, as run by hand.
  std::optional<TToolChain> ToolChain;
};

struct TBuildOutcome {
  double StartTime = 0;
  std::uint32_t ExitCode = StillActive;
  // The errors logged (generator, back-end exit code) plus the tool chain's
  // own diagnostics in the back-end log.
  int Errors = 0;
  int Warnings = 0;
  int FirstErrorLine = -1;  // in the back-end log; -1 for none
  bool Failed() const { return Errors > 0 || ExitCode != 0; }
};

// The Build button's steps up to the summary: generate, run the back-end,
// load its log (handed to ShowBackEndLog), count its diagnostics and log
// where things are. The log's error count is reset first. A generator that
// stops and an unreadable back-end log throw, and the build ends there.
TBuildOutcome BuildGame(const TBuildRequest& Request, TBuildLog& Log, TProcessRunner& Runner,
                        const std::function<void(const std::vector<std::string>&)>& ShowBackEndLog);

// Whole seconds from Start to Now, rounded to the nearest.
int ElapsedSeconds(double Start, double Now);
// "Done (E errors, W warnings, in M:SS)".
std::string SummaryText(int Errors, int Warnings, int Seconds);
// The summary of the outcome as the last status and line of the build.
void LogSummary(TBuildLog& Log, const TBuildOutcome& Outcome);

}  // namespace lvk
