#include <QApplication>

#include "behaviour/UBehaviour.h"
#include "ui/FMain.h"

int main(int argc, char** argv) {
  // Kinds first: a project file can name any of them.
  lvk::RegisterKinds();
  int Result;
  {
    QApplication App(argc, argv);
    QApplication::setApplicationName("Lurvik Studio");
    TfrmMain Main;
    Main.show();
    Result = App.exec();
  }
  lvk::UnregisterKinds();
  return Result;
}
