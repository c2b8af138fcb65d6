#include "ui/UApplication.h"

#include <QWidget>
#include <exception>

#include "ui/UDialogService.h"
#include "support/UDataFolders.h"

TLurvikApplication::TLurvikApplication(int& Argc, char** Argv) : QApplication(Argc, Argv) {
  // The name is the folder of the user's data (the tool chain's copy lies
  // there) and matches the desktop entry; boxes show the title instead.
  setApplicationName(lvk::AppFolderName);
  setDesktopFileName(lvk::AppFolderName);
}

bool TLurvikApplication::notify(QObject* Receiver, QEvent* Event) {
  try {
    return QApplication::notify(Receiver, Event);
  } catch (const std::exception& E) {
    ShowErrorBox(activeWindow(), QString::fromUtf8(E.what()));
  } catch (...) {
    ShowErrorBox(activeWindow(), "Unknown error");
  }
  return true;
}
