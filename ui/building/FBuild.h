#pragma once
// The build window: one Build button that generates the C source from the
// game, runs the tool chain's launcher and shows both logs. The main window
// opens a new one for every build; it keeps nothing from one opening to the
// next and only reads the game.
#include <QDialog>
#include <QString>

#include "generator/UBuildLog.h"
#include "generator/UToolChain.h"

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
  const lvk::TGame* Game() const { return FGame; }
  // Where the image is built, whether or not a build ran.
  QString ImagePath() const;
  // The tool chain a build would use now, and why (shown in the details).
  const lvk::TToolChain& ToolChain() const { return FToolChain; }
  // The kit chosen with butKit, kept between runs; empty for none.
  static QString ChosenKit();
  static void SetChosenKit(const QString& Folder);

  void butGenerateClick();
  void butDetailsClick();
  // Starts the emulator on the image the build made.
  void butRunClick();
  // A folder chooser for a DS kit of the user's own; one that is not a
  // usable kit is refused with the reason.
  void butKitClick();
  // Back to the environment's tool chain or the program's own kit.
  void butKitDefaultClick();
  // True from the press of Build until its summary or its error.
  bool Running() const { return FRunning; }

  // The front-end log, for the generator and the build steps.
  void LogLine(const std::string& Text) override;
  void SetStatus(const std::string& Text) override;
  void ShowNotice(const std::string& Text) override;

  static QString WaitingText();

  QPushButton* butGenerate;
  QPushButton* butRun;  // enabled while the image of a build is there
  QLabel* lblStatus;
  QLineEdit* edtStatus;
  QPushButton* butDetails;
  QWidget* pnlCommand;
  QLabel* lblCommand;
  QLineEdit* edtCommand;
  QCheckBox* cbxShowCmd;
  QLabel* lblFolder;  // the working folder the build uses, shortened to fit
  QWidget* pnlToolChain;
  QLabel* lblToolChain;  // which tool chain, why, or what is missing
  QPushButton* butKit;
  QPushButton* butKitDefault;
  QSplitter* splLogs;
  QWidget* pnlFeLog;
  QPlainTextEdit* memFeLog;
  QWidget* pnlBeLog;
  QPlainTextEdit* memBeLog;

public slots:
  // Refused while a build runs: the build still needs the window.
  void reject() override;

protected:
  // The tool chain's lines are read whole: their label is as high as its
  // wrapped text at the width it has.
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  // Chooses the tool chain anew (settings, environment, the program's kit)
  // and shows the choice.
  void UpdateToolChain();
  void FitToolChainText();
  void UpdateRunButton();
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
  lvk::TToolChain FToolChain;
  double FStartTime = 0;
  bool FRunning = false;
};
