#pragma once
// The game pane: title, file name, folder, saved or changed, editing time
// and revision of the document.
#include "ui/panes/UPane.h"

class QLineEdit;
class TPaneHost;

class TPaneGame : public TPane {
  Q_OBJECT
public:
  explicit TPaneGame(TPaneHost& Host);
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

  TPaneHost& FHost;
  bool FShowing = false;
};
