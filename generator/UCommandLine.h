#pragma once
// The program's command line. Asked for it, the program works headless:
// no window is created and no display is needed.
#include <iosfwd>
#include <string>
#include <vector>

namespace lvk {

// Exit statuses of the headless commands.
enum TExitStatus {
  exOk = 0,
  exErrorsLogged = 1,
  exCannotLoad = 2,
  exStopped = 3,
  exBackEndFailed = 4,
  exUsage = 64,
};

struct TCommandLine {
  enum TAction { acEditor, acGenerate, acBuild, acExportWeb, acExportWav, acHelp, acVersion, acUsageError } Action = acEditor;
  std::string GameFile;       // the project file to open or build
  std::string WorkingFolder;  // --working-folder; empty for the default
  std::string Command = "make";  // --command, the tool chain's command for --build
  std::string Output;         // --output, the page --export-web or the WAV file --export-wav writes
  std::string Song;           // --song, the song --export-wav renders; empty for the first level's
  std::string Error;          // what is wrong, for acUsageError
};

TCommandLine ParseCommandLine(const std::vector<std::string>& Arguments);

std::string UsageText(const std::string& Program);

// The folder the program lies in, and the tool chain's working folder below it.
std::string ProgramFolder();
std::string DefaultWorkingFolder(const std::string& RootFolder);

// --generate: loads the game and writes generated.c, making the arm9/source
// folders of a --working-folder first. Log lines go to Out, notices and
// failures to Err.
int RunGenerate(const TCommandLine& Line, const std::string& RootFolder, std::ostream& Out, std::ostream& Err);

// --build: what the build window's Build button does, with the tool chain
// below RootFolder. Prints the front-end log, the back-end log and the
// summary to Out; notices and failures to Err. exBackEndFailed whenever the
// tool chain ended with a code other than 0, else exErrorsLogged when the
// generator or the tool chain's diagnostics counted errors, else exOk.
int RunBuild(const TCommandLine& Line, const std::string& RootFolder, std::ostream& Out, std::ostream& Err);

// --export-web: loads the game and writes it as one web page to --output.
// The table builder's errors are logged to Out and counted as --generate
// counts them; exStopped when the page cannot be made or written.
int RunExportWeb(const TCommandLine& Line, std::ostream& Out, std::ostream& Err);

// --export-wav: loads the game and writes a song (--song, else the first
// level's), one pass of it, as a 16-bit WAV file at 44,100 Hz to --output.
// exStopped when there is no such song or the file cannot be written.
int RunExportWav(const TCommandLine& Line, std::ostream& Out, std::ostream& Err);

}  // namespace lvk
