#include <iostream>

#include "behaviour/UBehaviour.h"
#include "build/UCommandLine.h"
#include "ui/FMain.h"
#include "ui/UApplication.h"

#ifndef LVK_VERSION
#define LVK_VERSION "0"
#endif

namespace {

std::vector<std::string> Arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

int RunEditor(int argc, char** argv, const std::string& GameFile) {
  TLurvikApplication App(argc, argv);
  TfrmMain Main;
  Main.show();
  if (!GameFile.empty()) Main.OpenGameFile(QString::fromStdString(GameFile));
  return App.exec();
}

}  // namespace

int main(int argc, char** argv) {
  const lvk::TCommandLine Line = lvk::ParseCommandLine(Arguments(argc, argv));
  const std::string Program = "lurvik-studio";
  switch (Line.Action) {
    case lvk::TCommandLine::acHelp:
      std::cout << lvk::UsageText(Program);
      return lvk::exOk;
    case lvk::TCommandLine::acVersion:
      std::cout << "Lurvik Studio " << LVK_VERSION << "\n";
      return lvk::exOk;
    case lvk::TCommandLine::acUsageError:
      std::cerr << Program << ": " << Line.Error << "\n" << lvk::UsageText(Program);
      return lvk::exUsage;
    default: break;
  }
  // Kinds first: a project file can name any of them.
  lvk::RegisterKinds();
  int Result = Line.Action == lvk::TCommandLine::acGenerate
                   ? lvk::RunGenerate(Line, lvk::ProgramFolder(), std::cout, std::cerr)
                   : RunEditor(argc, argv, Line.GameFile);
  lvk::UnregisterKinds();
  return Result;
}
