#pragma once
// The game pane: title, file name, folder, saved or changed, editing time
// and revision of the document.
#include "ui/UPane.h"

class QLineEdit;

namespace lvk {
class TGame;
}

class TPaneGame : public TPane {
  Q_OBJECT
public:
  explicit TPaneGame(QWidget* Parent = nullptr);

  // The document the pane shows; the main window sets it whenever it
  // replaces the document.
  void SetGame(lvk::TGame* Game) { FGame = Game; }
  // tsGameShow: every field from the document.
  void Show() override;

  // Minutes and seconds of an editing time in days, "%.d:%.2d".
  static QString EditTimeText(double Days);

  QLineEdit* edtGameTitle;
  QLineEdit* edtGameFilename;
  QLineEdit* edtGameState;
  QLineEdit* edtGameDir;
  QLineEdit* edtEditTime;
  QLineEdit* edtRevision;

private:
  void edtGameTitleChange(const QString& Text);

  lvk::TGame* FGame = nullptr;
  bool FShowing = false;
};
