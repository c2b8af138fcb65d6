#include "ui/UApplication.h"

#include <QWidget>
#include <exception>

#include "ui/UDialogService.h"

TLurvikApplication::TLurvikApplication(int& Argc, char** Argv) : QApplication(Argc, Argv) {
  setApplicationName("Lurvik Studio");
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
