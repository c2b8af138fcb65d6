#include "ui/FMain.h"

#include <QLabel>

#include "model/UGame.h"

TfrmMain::TfrmMain(QWidget* Parent) : QMainWindow(Parent), FGame(std::make_unique<lvk::TGame>()) {
  setWindowTitle("Lurvik");
  resize(800, 600);
  lblWelcome = new QLabel(this);
  lblWelcome->setObjectName("lblWelcome");
  lblWelcome->setAlignment(Qt::AlignCenter);
  lblWelcome->setText(QString("Lurvik Studio\n\n%1\n%2 colours in the palette")
                          .arg(QString::fromStdString(FGame->Title()))
                          .arg(FGame->Palette().Count()));
  setCentralWidget(lblWelcome);
}

TfrmMain::~TfrmMain() = default;
