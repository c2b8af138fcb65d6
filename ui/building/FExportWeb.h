#pragma once
// Game | Export web page...: asks where to write the page (a save dialog),
// writes the game as one web page, and shows what was written: the file, its
// size, the problems the table builder counted (as the play window lists
// them), and a button that opens the page in the system's browser. The
// window keeps no pointer into the document: the page is written before it
// opens.
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace lvk {
class TGame;
}

class TfrmExportWeb : public QDialog {
  Q_OBJECT
public:
  // The whole command: nullptr when the user cancelled the save dialog or
  // the page could not be written (an error box said why); else the shown,
  // non-modal window, deleted when closed.
  static TfrmExportWeb* Run(QWidget* Parent, const lvk::TGame& Game);

  // The file the save dialog offers first: the game's file with .html,
  // else "game.html" in the home folder.
  static QString SuggestedFile(const lvk::TGame& Game);

  TfrmExportWeb(QWidget* Parent, const QString& File, quint64 Size, const QStringList& Problems);

  QLabel* lblFile;
  QLabel* lblSize;
  QPlainTextEdit* memProblems;
  QPushButton* butOpen;
  QPushButton* butClose;

private:
  QString FFile;
};

// "1,234 bytes (1.2 KB)": the size as the window shows it.
QString PageSizeText(quint64 Bytes);
