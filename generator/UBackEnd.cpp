#include "generator/UBackEnd.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

#include "generator/UBuildLog.h"
#include "generator/UGenerator.h"
#include "generator/UToolChainCopy.h"
#include "model/UClock.h"
#include "model/UFormat.h"
#include "model/UStream.h"
#include "support/UDataFolders.h"

extern char** environ;

namespace lvk {

namespace {

constexpr const char* Launcher = "launcher.sh";

// Characters a shell takes literally; the blank splits words, which the
// launcher accepts as well as one text.
bool ShellSafe(const std::string& Text) {
  for (char C : Text) {
    auto Byte = static_cast<unsigned char>(C);
    if (!(std::isalnum(Byte) || std::string_view(" -_./=+:,@%").find(C) != std::string_view::npos)) return false;
  }
  return true;
}

// The command as the terminal's shell must see it: unchanged when that is
// safe, else one single-quoted word, so that no part of it runs as shell code.
std::string ShellWord(const std::string& Text) {
  if (ShellSafe(Text)) return Text;
  std::string Quoted = "'";
  for (char C : Text) Quoted += C == '\'' ? std::string("'\\''") : std::string(1, C);
  return Quoted + "'";
}

// Closes the spawn attributes whatever way Run leaves.
struct TSpawnActions {
  posix_spawn_file_actions_t Actions;
  TSpawnActions() { posix_spawn_file_actions_init(&Actions); }
  ~TSpawnActions() { posix_spawn_file_actions_destroy(&Actions); }
};

}  // namespace

std::optional<std::uint32_t> TSpawnRunner::Run(const TProcessCall& Call) {
  TSpawnActions Spawn;
  posix_spawn_file_actions_addopen(&Spawn.Actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&Spawn.Actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  if (!Call.Folder.empty()) posix_spawn_file_actions_addchdir_np(&Spawn.Actions, Call.Folder.c_str());
  std::vector<char*> Argv;
  Argv.push_back(const_cast<char*>(Call.Program.c_str()));
  for (const std::string& A : Call.Arguments) Argv.push_back(const_cast<char*>(A.c_str()));
  Argv.push_back(nullptr);
  // Our environment with the call's variables set over it.
  std::vector<std::string> Variables;
  for (char** E = environ; *E; ++E) {
    const std::string_view Entry(*E);
    const std::string_view Name = Entry.substr(0, Entry.find('='));
    const bool Replaced = std::any_of(Call.Environment.begin(), Call.Environment.end(),
                                      [Name](const auto& V) { return V.first == Name; });
    if (!Replaced) Variables.emplace_back(Entry);
  }
  for (const auto& [Name, Value] : Call.Environment) Variables.push_back(Name + "=" + Value);
  std::vector<char*> Envp;
  for (std::string& V : Variables) Envp.push_back(V.data());
  Envp.push_back(nullptr);
  pid_t Child = 0;
  if (posix_spawnp(&Child, Call.Program.c_str(), &Spawn.Actions, nullptr, Argv.data(), Envp.data()) != 0) return {};
  int Status = 0;
  while (::waitpid(Child, &Status, 0) < 0) {
    if (errno != EINTR) return StillActive;
  }
  if (WIFSIGNALED(Status)) return 128u + static_cast<std::uint32_t>(WTERMSIG(Status));
  return static_cast<std::uint32_t>(WEXITSTATUS(Status));
}

std::string DevkitProFolder(const std::string& RootFolder) { return ToolChainRoot(RootFolder) + "/devkitPro"; }

std::string WorkingFolder(const std::string& RootFolder) {
  return DevkitProFolder(RootFolder) + "/msys/home/Lurvik";
}

std::string BackEndLogPath(const std::string& RootFolder) { return DevkitProFolder(RootFolder) + "/launcher.log"; }

std::string BuiltImagePath(const std::string& RootFolder) { return WorkingFolder(RootFolder) + "/Lurvik.nds"; }

TProcessCall BackEndCall(const std::string& RootFolder, const std::string& Command, bool ShowWindow) {
  TProcessCall Call;
  Call.Folder = DevkitProFolder(RootFolder);
  const std::string Inner = std::string("sh ") + Launcher + " " + ShellWord(Command) + "; exec sh";
  if (ShowWindow) {
    Call.Program = "x-terminal-emulator";
    Call.Arguments = {"-e", "sh", "-c", Inner};
    Call.Parameters = "-e sh -c \"" + Inner + "\"";
  } else {
    // The command goes over as one text: the launcher splits it into words
    // itself, and no shell stands in between to interpret it.
    Call.Program = "sh";
    Call.Arguments = {Launcher};
    if (!Command.empty()) Call.Arguments.push_back(Command);
    Call.Parameters = std::string(Launcher) + " " + Command;
  }
  return Call;
}

std::uint32_t ExecuteAndWait(TProcessRunner& Runner, const TProcessCall& Call, TBuildLog& Log) {
  if (std::optional<std::uint32_t> Code = Runner.Run(Call)) return *Code;
  Log.ShowNotice("Error starting " + Call.Program);
  return StillActive;
}

std::uint32_t RunBackEnd(TProcessRunner& Runner, const std::string& RootFolder, const std::string& Command,
                         bool ShowWindow, TBuildLog& Log,
                         const std::vector<std::pair<std::string, std::string>>& Environment) {
  Log.LogStep("Starting back-end");
  TProcessCall Call = BackEndCall(RootFolder, Command, ShowWindow);
  Call.Environment = Environment;
  Log.LogLine("Run " + Call.Program + " " + Call.Parameters);
  Log.LogLine("Dir " + Call.Folder);
  // A log left by an earlier build must not pass for this one's when the
  // launcher does not get as far as writing its own.
  ::unlink(BackEndLogPath(RootFolder).c_str());
  // Nor may an earlier image pass for this build's: Run would start it after
  // a failed build. make links it anew from its objects when it succeeds.
  ::unlink(BuiltImagePath(RootFolder).c_str());
  std::uint32_t Code = ExecuteAndWait(Runner, Call, Log);
  Log.LogStatus("Done (" + std::to_string(Code) + ")");
  // A failed tool chain made no image, whatever else was counted.
  if (Code != 0)
    Log.LogError("The tool chain failed with exit code " + std::to_string(Code) + "; see the back-end log (" +
                 BackEndLogPath(RootFolder) + ")");
  Log.LogLine("");
  return Code;
}

std::vector<std::string> FailureAdvice(std::uint32_t ExitCode, const std::vector<std::string>& BackEndLog) {
  // Could not start: the notice has said so, and there is no log to go by.
  if (ExitCode == 0 || ExitCode == StillActive) return {};
  auto Says = [&BackEndLog](std::string_view Words) {
    return std::any_of(BackEndLog.begin(), BackEndLog.end(),
                       [Words](const std::string& L) { return L.find(Words) != std::string::npos; });
  };
  if (Says("Build not started:")) return {"What to do: the back-end log says what is missing and how to install it."};
  // make's records of an earlier build name files by paths that are gone.
  if (Says("No rule to make target"))
    return {"What to do: make names a file that is not there (was the folder moved?):",
            "build once with the command \"make clean\", then with \"make\"."};
  return {"What to do: correct the first error the back-end log shows, then build again;",
          "if it names a file that is not there, build once with \"make clean\" first."};
}

std::vector<std::string> ReadBackEndLog(const std::string& Path) {
  std::vector<std::uint8_t> Bytes = ReadWholeFile(Path);
  std::vector<std::string> Lines;
  std::string Line;
  for (std::size_t i = 0; i < Bytes.size(); ++i) {
    char C = static_cast<char>(Bytes[i]);
    if (C == '\r' || C == '\n') {
      Lines.push_back(Line);
      Line.clear();
      if (C == '\r' && i + 1 < Bytes.size() && Bytes[i + 1] == '\n') ++i;
    } else {
      Line += C;
    }
  }
  if (!Line.empty()) Lines.push_back(Line);
  return Lines;
}

namespace {

// gcc colours its diagnostics when asked to, even into a file; the escape
// sequences (colours, links) must not hide the words that are looked for.
std::string WithoutEscapes(std::string_view Line) {
  std::string Plain;
  Plain.reserve(Line.size());
  for (std::size_t i = 0; i < Line.size(); ++i) {
    if (Line[i] != '\x1b' || i + 1 >= Line.size()) {
      Plain += Line[i];
      continue;
    }
    if (Line[i + 1] == '[') {  // CSI: parameters up to a final byte
      i += 2;
      while (i < Line.size() && !(Line[i] >= 0x40 && Line[i] <= 0x7E)) ++i;
    } else if (Line[i + 1] == ']') {  // OSC: up to BEL or ESC backslash
      i += 2;
      while (i < Line.size() && Line[i] != '\a' && !(Line[i] == '\x1b' && i + 1 < Line.size() && Line[i + 1] == '\\'))
        ++i;
      if (i < Line.size() && Line[i] == '\x1b') ++i;
    } else {
      ++i;
    }
  }
  return Plain;
}

}  // namespace

TToolLine ClassifyToolLine(std::string_view Raw) {
  const std::string Line = WithoutEscapes(Raw);
  // Source excerpts, carets and continuations are indented.
  if (Line.empty() || std::isspace(static_cast<unsigned char>(Line[0]))) return TToolLine::tlOther;
  static constexpr struct {
    std::string_view Word;
    TToolLine Kind;
  } Words[] = {
      {"error: ", TToolLine::tlError},
      {"fatal error: ", TToolLine::tlError},
      {"Error: ", TToolLine::tlError},
      {"undefined reference to ", TToolLine::tlError},
      {"multiple definition of ", TToolLine::tlError},
      {"warning: ", TToolLine::tlWarning},
      {"Warning: ", TToolLine::tlWarning},
      {"note: ", TToolLine::tlOther},
  };
  // The first ": WORD" after the place (file and line, or the program's
  // name) decides, so a message that quotes another word does not.
  for (std::size_t At = Line.find(": "); At != std::string::npos; At = Line.find(": ", At + 1)) {
    if (At == 0) continue;
    const std::string_view Rest = std::string_view(Line).substr(At + 2);
    for (const auto& W : Words) {
      if (Rest.substr(0, W.Word.size()) != W.Word) continue;
      if (W.Kind == TToolLine::tlError && Rest.substr(W.Word.size()).starts_with("ld returned "))
        return TToolLine::tlOther;
      return W.Kind;
    }
  }
  return TToolLine::tlOther;
}

TToolDiagnostics CountToolDiagnostics(const std::vector<std::string>& Lines) {
  TToolDiagnostics Count;
  for (std::size_t i = 0; i < Lines.size(); ++i) {
    switch (ClassifyToolLine(Lines[i])) {
      case TToolLine::tlError:
        if (Count.FirstError < 0) Count.FirstError = static_cast<int>(i);
        ++Count.Errors;
        break;
      case TToolLine::tlWarning: ++Count.Warnings; break;
      case TToolLine::tlOther: break;
    }
  }
  return Count;
}

TBuildOutcome BuildGame(const TBuildRequest& Request, TBuildLog& Log, TProcessRunner& Runner,
                        const std::function<void(const std::vector<std::string>&)>& ShowBackEndLog) {
  TBuildOutcome Outcome;
  Outcome.StartTime = Now();
  Log.ResetErrorCount();
  Log.LogStep("Starting build");
  Log.LogLine("Dir devkitPro=" + DevkitProFolder(Request.RootFolder));
  Log.LogLine("Dir working  =" + WorkingFolder(Request.RootFolder));
  PrepareToolChainFolder(Request.RootFolder, Log);
  Log.LogLine("");
  GenerateSource(*Request.Game, WorkingFolder(Request.RootFolder), Log);
  Outcome.ExitCode =
      RunBackEnd(Runner, Request.RootFolder, Request.Command, Request.ShowWindow, Log,
                 Request.ToolChain ? LauncherEnvironment(*Request.ToolChain)
                                   : std::vector<std::pair<std::string, std::string>>{});
  Log.LogStep("Loading back-end log");
  const std::vector<std::string> BackEndLines = ReadBackEndLog(BackEndLogPath(Request.RootFolder));
  const TToolDiagnostics Diagnostics = CountToolDiagnostics(BackEndLines);
  ShowBackEndLog(BackEndLines);
  Log.LogLine("Log  " + BackEndLogPath(Request.RootFolder));
  Log.LogLine("Prog " + BuiltImagePath(Request.RootFolder));
  for (const std::string& Line : FailureAdvice(Outcome.ExitCode, BackEndLines)) Log.LogLine(Line);
  Log.LogLine("");
  Outcome.Errors = Log.ErrorCount() + Diagnostics.Errors;
  Outcome.Warnings = Diagnostics.Warnings;
  Outcome.FirstErrorLine = Diagnostics.FirstError;
  return Outcome;
}

int ElapsedSeconds(double Start, double Now) {
  // The clock is local time: a build across a change to winter time would
  // otherwise end before it started.
  return static_cast<int>(std::max(0L, std::lround((Now - Start) * 24 * 60 * 60)));
}

std::string SummaryText(int Errors, int Warnings, int Seconds) {
  return Format("Done (%d errors, %d warnings, in %d:%.2d)", Errors, Warnings, Seconds / 60, Seconds % 60);
}

void LogSummary(TBuildLog& Log, const TBuildOutcome& Outcome) {
  Log.LogStatus(SummaryText(Outcome.Errors, Outcome.Warnings, ElapsedSeconds(Outcome.StartTime, Now())));
}

}  // namespace lvk
