#include <QMessageBox>
#include <iostream>

#include "behaviour/UBehaviour.h"
#include "generator/UCommandLine.h"
#include "ui/main/FMain.h"
#include "support/UMemWatch.h"
#include "ui/common/UApplication.h"

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

// The watch's report comes after every window is gone, so it brings a
// short-lived application of its own.
void ShowMemReport(const lvk::TMemReport& Report, char* Program) {
  int Argc = 1;
  char* Argv[] = {Program, nullptr};
  QApplication Box(Argc, Argv);
  auto Icon = Report.Icon == lvk::TMemReportIcon::Warning       ? QMessageBox::Warning
              : Report.Icon == lvk::TMemReportIcon::Information ? QMessageBox::Information
                                                                : QMessageBox::NoIcon;
  QMessageBox(Icon, QString::fromStdString(Report.Caption), QString::fromStdString(Report.Text), QMessageBox::Ok).exec();
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
  const bool Headless = Line.Action == lvk::TCommandLine::acGenerate || Line.Action == lvk::TCommandLine::acBuild ||
                        Line.Action == lvk::TCommandLine::acExportWeb || Line.Action == lvk::TCommandLine::acExportWav;
  // The watch first, so that it sees every object of ours; kinds next: a
  // project file can name any of them.
  lvk::MemWatch::Start();
  lvk::RegisterKinds();
  int Result = 0;
  if (Line.Action == lvk::TCommandLine::acGenerate)
    Result = lvk::RunGenerate(Line, lvk::ProgramFolder(), std::cout, std::cerr);
  else if (Line.Action == lvk::TCommandLine::acBuild)
    Result = lvk::RunBuild(Line, lvk::ProgramFolder(), std::cout, std::cerr);
  else if (Line.Action == lvk::TCommandLine::acExportWeb)
    Result = lvk::RunExportWeb(Line, std::cout, std::cerr);
  else if (Line.Action == lvk::TCommandLine::acExportWav)
    Result = lvk::RunExportWav(Line, std::cout, std::cerr);
  else
    Result = RunEditor(argc, argv, Line.GameFile);
  lvk::UnregisterKinds();
  lvk::MemWatch::Stop([&](const lvk::TMemReport& Report) {
    if (Headless)
      std::cerr << Report.Caption << ": " << Report.Text << "\n";
    else
      ShowMemReport(Report, argv[0]);
  });
  return Result;
}
