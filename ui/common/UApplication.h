#pragma once
// The application object: it shows every error that a user action raises in
// the application's error box, and the program goes on.
#include <QApplication>

// The application's title, the caption of its message boxes.
inline constexpr const char* AppTitle = "Lurvik Studio";

class TLurvikApplication : public QApplication {
  Q_OBJECT
public:
  TLurvikApplication(int& Argc, char** Argv);
  bool notify(QObject* Receiver, QEvent* Event) override;
};

// How long a tool tip stays up, in milliseconds, for every widget of the
// application that sets no time of its own (an item view's node tips ask
// HintHidePause themselves).
void SetHintHidePause(int Milliseconds);
int HintHidePause();
