#pragma once
// The build window: one Build button that generates the C source from the
// game, runs the tool chain's launcher and shows both logs. The main window
// opens a new one for every build; it keeps nothing from one opening to the
// next and only reads the game.
#include <QDialog>
#include <QString>

#include "build/UBuildLog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QWidget;

namespace lvk {
class TGame;
}

class TfrmBuild : public QDialog, public lvk::TBuildLog {
  Q_OBJECT
public:
  explicit TfrmBuild(QWidget* Parent = nullptr);

  // The program's root folder; the tool chain lies in its devkitPro folder.
  void SetRootFolder(const QString& RootFolder);
  // Not owned; only read. Build does nothing without one.
  void SetGame(const lvk::TGame& Game);
  // Where the image is built, whether or not a build ran.
  QString ImagePath() const;

  void butGenerateClick();
  void butDetailsClick();
  // True from the press of Build until its summary or its error.
  bool Running() const { return FRunning; }

  // The front-end log, for the generator and the build steps.
  void LogLine(const std::string& Text) override;
  void SetStatus(const std::string& Text) override;
  void ShowNotice(const std::string& Text) override;

  static QString WaitingText();

  QPushButton* butGenerate;
  QLabel* lblStatus;
  QLineEdit* edtStatus;
  QPushButton* butDetails;
  QWidget* pnlCommand;
  QLabel* lblCommand;
  QLineEdit* edtCommand;
  QCheckBox* cbxShowCmd;
  QLabel* lblFolder;  // the working folder the build uses, shortened to fit
  QSplitter* splLogs;
  QWidget* pnlFeLog;
  QPlainTextEdit* memFeLog;
  QWidget* pnlBeLog;
  QPlainTextEdit* memBeLog;

public slots:
  // Refused while a build runs: the build still needs the window.
  void reject() override;

private:
  // A failed build opens the details and shows the back-end log at its first
  // error line (-1: at its end), so the reason is seen without a click.
  void ShowFailure(int FirstErrorLine);
  // The logs' long lines (paths, the launcher's advice) are read whole: the
  // window widens to the longest, as far as the screen allows.
  void WidenToLongestLine();
  // Keeps the window inside the available area of its screen.
  void FitOnScreen();

  const lvk::TGame* FGame = nullptr;
  QString FRootFolder;
  double FStartTime = 0;
  bool FRunning = false;
};
