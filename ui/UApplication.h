#pragma once
// The application object: it shows every error that a user action raises in
// the application's error box, and the program goes on.
#include <QApplication>

class TLurvikApplication : public QApplication {
  Q_OBJECT
public:
  TLurvikApplication(int& Argc, char** Argv);
  bool notify(QObject* Receiver, QEvent* Event) override;
};
