// Widget tests' entry point: the real application object (its error box
// included), the kinds registered as the program does.
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "model/UDocument.h"
#include "behaviour/UBehaviour.h"
#include "ui/common/UApplication.h"

int main(int argc, char** argv) {
  // Widget tests never need a display, also when listed by the test runner.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TLurvikApplication App(argc, argv);
  // The user's own settings (recent games, the window's place) stay untouched.
  QTemporaryDir Settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Settings.path());
  // And so do the games' saved games in the user's data folder.
  QTemporaryDir Data;
  qputenv("XDG_DATA_HOME", Data.path().toUtf8());
  ::testing::InitGoogleTest(&argc, argv);
  lvk::TDocument::StepChecks = true;  // every undo step checked against all records written
  lvk::RegisterKinds();
  int Result = RUN_ALL_TESTS();
  lvk::UnregisterKinds();
  return Result;
}
