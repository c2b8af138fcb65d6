#include <QApplication>

#include "ui/FMain.h"

int main(int argc, char** argv) {
  QApplication App(argc, argv);
  QApplication::setApplicationName("Lurvik Studio");
  TfrmMain Main;
  Main.show();
  return App.exec();
}
