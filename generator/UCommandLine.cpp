#include "generator/UCommandLine.h"

#include <climits>
#include <filesystem>
#include <ostream>
#include <system_error>
#include <unistd.h>

#include "generator/UBackEnd.h"
#include "generator/UBuildLog.h"
#include "generator/UGenerator.h"
#include "generator/UToolChain.h"
#include "generator/UToolChainCopy.h"
#include "generator/USongRender.h"
#include "generator/UWebExport.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USong.h"

namespace lvk {

namespace {

// A build log that prints: lines to Out as they come, notices to Err.
class TPrintingBuildLog final : public TBuildLog {
public:
  TPrintingBuildLog(std::ostream& Out, std::ostream& Err) : FOut(Out), FErr(Err) {}
  void LogLine(const std::string& Text) override { FOut << Text << '\n'; }
  void SetStatus(const std::string&) override {}
  void ShowNotice(const std::string& Text) override { FErr << Text << '\n'; }

private:
  std::ostream& FOut;
  std::ostream& FErr;
};

std::string FileNamePart(const std::string& Path) {
  auto Slash = Path.rfind('/');
  return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& Args) {
  TCommandLine Line;
  bool CommandGiven = false;
  auto Fail = [&Line](const std::string& Why) {
    Line.Action = TCommandLine::acUsageError;
    Line.Error = Why;
    return Line;
  };
  for (std::size_t i = 0; i < Args.size(); ++i) {
    const std::string& A = Args[i];
    auto Value = [&](std::string& Into) {
      if (i + 1 >= Args.size()) return false;
      Into = Args[++i];
      return true;
    };
    if (A == "--help" || A == "-h") {
      Line.Action = TCommandLine::acHelp;
    } else if (A == "--version") {
      Line.Action = TCommandLine::acVersion;
    } else if (A == "--generate") {
      if (Line.Action != TCommandLine::acEditor || !Line.GameFile.empty()) return Fail("only one command at a time");
      Line.Action = TCommandLine::acGenerate;
      if (!Value(Line.GameFile)) return Fail(A + " needs a project file");
    } else if (A == "--build") {
      if (Line.Action != TCommandLine::acEditor || !Line.GameFile.empty()) return Fail("only one command at a time");
      Line.Action = TCommandLine::acBuild;
      if (!Value(Line.GameFile)) return Fail(A + " needs a project file");
    } else if (A == "--export-web") {
      if (Line.Action != TCommandLine::acEditor || !Line.GameFile.empty()) return Fail("only one command at a time");
      Line.Action = TCommandLine::acExportWeb;
      if (!Value(Line.GameFile)) return Fail(A + " needs a project file");
    } else if (A == "--export-wav") {
      if (Line.Action != TCommandLine::acEditor || !Line.GameFile.empty()) return Fail("only one command at a time");
      Line.Action = TCommandLine::acExportWav;
      if (!Value(Line.GameFile)) return Fail(A + " needs a project file");
    } else if (A == "--song") {
      if (!Value(Line.Song)) return Fail("--song needs a song's name");
    } else if (A == "--output") {
      if (!Value(Line.Output)) return Fail("--output needs a file");
    } else if (A == "--command") {
      if (!Value(Line.Command)) return Fail("--command needs a text");
      CommandGiven = true;
    } else if (A == "--working-folder") {
      if (!Value(Line.WorkingFolder)) return Fail("--working-folder needs a folder");
    } else if (!A.empty() && A[0] == '-') {
      return Fail("unknown option " + A);
    } else if (Line.Action == TCommandLine::acEditor && Line.GameFile.empty()) {
      Line.GameFile = A;
    } else {
      return Fail("unexpected argument " + A);
    }
  }
  if (!Line.WorkingFolder.empty() && Line.Action != TCommandLine::acGenerate)
    return Fail("--working-folder goes with --generate");
  if (CommandGiven && Line.Action != TCommandLine::acBuild) return Fail("--command goes with --build");
  if (Line.Action == TCommandLine::acExportWeb && Line.Output.empty()) return Fail("--export-web needs --output FILE.html");
  if (Line.Action == TCommandLine::acExportWav && Line.Output.empty()) return Fail("--export-wav needs --output FILE.wav");
  if (!Line.Output.empty() && Line.Action != TCommandLine::acExportWeb && Line.Action != TCommandLine::acExportWav)
    return Fail("--output goes with --export-web or --export-wav");
  if (!Line.Song.empty() && Line.Action != TCommandLine::acExportWav) return Fail("--song goes with --export-wav");
  return Line;
}

std::string UsageText(const std::string& Program) {
  return "Usage: " + Program +
         " [GAME.lvk]\n"
         "       " + Program + " --generate GAME.lvk [--working-folder DIR]\n"
         "       " + Program + " --build GAME.lvk [--command TEXT]\n"
         "       " + Program + " --export-web GAME.lvk --output FILE.html\n"
         "       " + Program + " --export-wav GAME.lvk [--song NAME] --output FILE.wav\n"
         "       " + Program + " --help | --version\n"
         "\n"
         "With no option, or a project file, the editor starts.\n"
         "  --generate        write DIR/arm9/source/generated.c from the game; DIR is\n"
         "                    the tool chain's working folder (beside the program, or\n"
         "                    the user's copy in ~/.local/share/lurvik-studio for an\n"
         "                    installed one) unless --working-folder names one\n"
         "                    (folders are made)\n"
         "  --build           generate, then run the tool chain's launcher in that\n"
         "                    folder with TEXT (default: make); prints both logs and\n"
         "                    the summary, which counts the tool chain's errors and\n"
         "                    warnings\n"
         "  --export-web      write the game as one web page that plays in a browser,\n"
         "                    from a local file or a web site, with everything inside\n"
         "  --export-wav      write a song (NAME, else the first level's) once through\n"
         "                    as a 16-bit WAV file at 44,100 Hz\n"
         "Exit status: 0 done, 1 errors were logged, 2 the game cannot be loaded,\n"
         "3 generation or build stopped, 4 the tool chain failed (also when errors\n"
         "were logged), 64 bad arguments.\n";
}

std::string ProgramFolder() {
  char Buf[PATH_MAX];
  ssize_t N = ::readlink("/proc/self/exe", Buf, sizeof Buf - 1);
  if (N <= 0) return ".";
  std::string Path(Buf, static_cast<std::size_t>(N));
  return Path.substr(0, Path.rfind('/'));
}

std::string DefaultWorkingFolder(const std::string& RootFolder) { return WorkingFolder(RootFolder); }

namespace {

bool LoadGame(TGame& Game, const std::string& FileName, std::ostream& Err) {
  try {
    Game.LoadFromFile(FileName);
    return true;
  } catch (const std::exception& E) {
    Err << "Error opening file " << FileNamePart(FileName) << "\n" << E.what() << "\n";
    return false;
  }
}

}  // namespace

int RunGenerate(const TCommandLine& Line, const std::string& RootFolder, std::ostream& Out, std::ostream& Err) {
  TGame Game;
  if (!LoadGame(Game, Line.GameFile, Err)) return exCannotLoad;
  const std::string Folder = Line.WorkingFolder.empty() ? DefaultWorkingFolder(RootFolder) : Line.WorkingFolder;
  TPrintingBuildLog Log(Out, Err);
  try {
    if (Line.WorkingFolder.empty()) {
      // The program's own working folder: an installed program's lies in
      // the user's copy of the DS project, made here as a build makes it.
      PrepareToolChainFolder(RootFolder, Log);
    } else {
      // A working folder of the user's own choosing may be new; the
      // generator only writes the file. A folder that cannot be made is
      // reported with its own reason (no permission, a file in the way),
      // not as the missing folder the generator would then find.
      const std::filesystem::path Source = std::filesystem::path(Folder) / "arm9" / "source";
      std::error_code Ec;
      std::filesystem::create_directories(Source, Ec);
      if (Ec) throw EFileError("Cannot create folder \"" + Source.string() + "\". " + Ec.message());
    }
    GenerateSource(Game, Folder, Log);
  } catch (const std::exception& E) {
    Out.flush();
    Err << E.what() << "\n";
    return exStopped;
  }
  return Log.ErrorCount() > 0 ? exErrorsLogged : exOk;
}

int RunBuild(const TCommandLine& Line, const std::string& RootFolder, std::ostream& Out, std::ostream& Err) {
  TGame Game;
  if (!LoadGame(Game, Line.GameFile, Err)) return exCannotLoad;
  TPrintingBuildLog Log(Out, Err);
  TSpawnRunner Runner;
  TBuildRequest Request;
  Request.Game = &Game;
  Request.RootFolder = RootFolder;
  Request.Command = Line.Command;
  // No window, so no kit chosen in one: the environment's, else the program's own.
  Request.ToolChain = ChooseToolChain(ToolChainInputs(RootFolder, ""));
  std::vector<std::string> BackEndLog;
  TBuildOutcome Outcome;
  try {
    Outcome = BuildGame(Request, Log, Runner, [&BackEndLog](const std::vector<std::string>& Lines) { BackEndLog = Lines; });
  } catch (const std::exception& E) {
    Out.flush();
    Err << E.what() << "\n";
    return exStopped;
  }
  for (const std::string& L : BackEndLog) Out << L << '\n';
  Out << '\n';
  LogSummary(Log, Outcome);
  // A failed tool chain also logged its error; 4 says more than 1: no image.
  if (Outcome.ExitCode != 0) return exBackEndFailed;
  return Outcome.Errors > 0 ? exErrorsLogged : exOk;
}

int RunExportWeb(const TCommandLine& Line, std::ostream& Out, std::ostream& Err) {
  TGame Game;
  if (!LoadGame(Game, Line.GameFile, Err)) return exCannotLoad;
  TPrintingBuildLog Log(Out, Err);
  try {
    const std::uint64_t Size = ExportWebPage(Game, Line.Output, Log);
    Out << "Wrote " << Line.Output << " (" << Size << " bytes)\n";
  } catch (const std::exception& E) {
    Out.flush();
    Err << E.what() << "\n";
    return exStopped;
  }
  return Log.ErrorCount() > 0 ? exErrorsLogged : exOk;
}

int RunExportWav(const TCommandLine& Line, std::ostream& Out, std::ostream& Err) {
  TGame Game;
  if (!LoadGame(Game, Line.GameFile, Err)) return exCannotLoad;
  const TSong* Song = nullptr;
  if (!Line.Song.empty()) {
    Song = Game.FindSongByName(Line.Song);
    if (!Song) {
      Err << "The game has no song called \"" << Line.Song << "\".\n";
      return exStopped;
    }
  } else {
    Song = Game.LevelCount() > 0 ? Game.GetLevel(0)->Song() : nullptr;
    if (!Song) {
      Err << "The first level plays no song; name one with --song.\n";
      return exStopped;
    }
  }
  constexpr std::uint32_t Rate = 44100;
  try {
    const std::vector<std::int16_t> Samples = RenderSong(Game, *Song, Rate);
    WriteWave16(Line.Output, Samples, Rate);
    Out << "Wrote " << Line.Output << " (" << Song->Name() << ", " << Samples.size() * 1000 / Rate << " ms)\n";
  } catch (const std::exception& E) {
    Out.flush();
    Err << E.what() << "\n";
    return exStopped;
  }
  return exOk;
}

}  // namespace lvk
