#pragma once
// The build's steps after the source is generated: starting the tool chain's
// launcher, waiting for it, reading its log, and the summary. No GUI in here:
// the build window waits through a runner that keeps its windows alive, the
// command line through one that simply blocks.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

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

// The folders below the program's root folder.
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

// Logs the call, runs it and logs its exit code.
std::uint32_t RunBackEnd(TProcessRunner& Runner, const std::string& RootFolder, const std::string& Command,
                         bool ShowWindow, TBuildLog& Log);

// The launcher's log as lines, line ends of either kind. EFileError names the
// path and the reason when it cannot be read.
std::vector<std::string> ReadBackEndLog(const std::string& Path);

struct TBuildRequest {
  const TGame* Game = nullptr;
  std::string RootFolder;
  std::string Command = "make";
  bool ShowWindow = false;
};

struct TBuildOutcome {
  double StartTime = 0;
  std::uint32_t ExitCode = StillActive;
};

// The Build button's steps up to the summary: generate, run the back-end,
// load its log (handed to ShowBackEndLog) and log where things are. The log's
// error count is reset first. A generator that stops and an unreadable
// back-end log throw, and the build ends there.
TBuildOutcome BuildGame(const TBuildRequest& Request, TBuildLog& Log, TProcessRunner& Runner,
                        const std::function<void(const std::vector<std::string>&)>& ShowBackEndLog);

// Whole seconds from Start to Now, rounded to the nearest.
int ElapsedSeconds(double Start, double Now);
// "Done (E errors, W warnings, in M:SS)".
std::string SummaryText(int Errors, int Warnings, int Seconds);
// The summary as the last status and line of the build.
void LogSummary(TBuildLog& Log, double StartTime, int Warnings = 0);

}  // namespace lvk
