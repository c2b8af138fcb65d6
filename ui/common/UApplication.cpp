#include "ui/common/UApplication.h"

#include <QEvent>
#include <QWidget>
#include <exception>

#include "support/UDataFolders.h"
#include "ui/common/UDialogService.h"

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

namespace {

int HidePause = -1;  // Qt's own rule: longer for longer texts

// Gives each widget the pause just before its first tip shows.
class THintPauseFilter final : public QObject {
protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() == QEvent::ToolTip && Watched->isWidgetType()) {
      auto* W = static_cast<QWidget*>(Watched);
      if (W->toolTipDuration() < 0) W->setToolTipDuration(HidePause);
    }
    return false;
  }
};

}  // namespace

void SetHintHidePause(int Milliseconds) {
  static THintPauseFilter* Filter = nullptr;
  HidePause = Milliseconds;
  if (Filter || !qApp) return;
  Filter = new THintPauseFilter;
  Filter->setParent(qApp);
  qApp->installEventFilter(Filter);
}

int HintHidePause() { return HidePause; }
