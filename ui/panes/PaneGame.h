#pragma once
// The game pane: title, file name, folder, saved or changed, editing time
// and revision of the document; the high-score table's settings and the
// table the play window kept, which it can clear.
#include "ui/panes/UPane.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
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
  QSpinBox* speScorePlaces;
  QComboBox* cbxScoreVariable;
  QComboBox* cbxScoreOrder;
  QSpinBox* speScoreLetters;
  QListWidget* lbxHighScores;
  QPushButton* butClearHighScores;

  // Any of the table's settings changed by the user: one step.
  void ScoreSettingsChange();
  // Asks, then empties the table the play window kept for this game.
  void butClearHighScoresClick();

private:
  void edtGameTitleChange(const QString& Text);
  void ShowHighScores();

  TPaneHost& FHost;
  bool FShowing = false;
};
