#include "ui/panes/PaneGame.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "generator/USaveFile.h"
#include "model/UErrors.h"
#include "model/UFormat.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/UVariable.h"
#include "ui/common/UDialogService.h"
#include "ui/panes/UPaneLayout.h"
#include "ui/main/UPaneHost.h"
#include "ui/common/UPictures.h"

namespace {

QLineEdit* ReadOnlyField(QWidget* Parent, const QString& Name) {
  auto* Edit = new QLineEdit(Parent);
  Edit->setObjectName(Name);
  Edit->setReadOnly(true);
  // Read-only fields take the window's face colour.
  QPalette P = Edit->palette();
  P.setColor(QPalette::Base, P.color(QPalette::Window));
  Edit->setPalette(P);
  return Edit;
}

QLabel* Label(const QString& Caption, QWidget* Buddy, QWidget* Parent) {
  auto* L = new QLabel(Caption, Parent);
  L->setBuddy(Buddy);
  return L;
}

}  // namespace

TPaneGame::TPaneGame(TPaneHost& Host)
    : TPane("tsGame", "Game", "Game pane for editing the attributes of the game", "main-game"), FHost(Host) {
  SetHeaderIcon(UiPixmap("BmpGame18x18"));
  edtGameTitle = new QLineEdit(this);
  edtGameTitle->setObjectName("edtGameTitle");
  edtGameTitle->setToolTip("The title for the game (on the start screen)");
  edtGameTitle->setStatusTip(edtGameTitle->toolTip());
  edtGameFilename = ReadOnlyField(this, "edtGameFilename");
  edtGameFilename->setToolTip("The filename used for saving the game");
  edtGameFilename->setStatusTip(edtGameFilename->toolTip());
  edtGameState = ReadOnlyField(this, "edtGameState");
  edtGameState->setFixedWidth(81);
  edtGameState->setToolTip("Saved or changed?");
  edtGameState->setStatusTip("Shows whether the game is saved, or that changes have been made");
  edtGameDir = ReadOnlyField(this, "edtGameDir");
  edtEditTime = ReadOnlyField(this, "edtEditTime");
  edtEditTime->setFixedWidth(81);
  edtRevision = ReadOnlyField(this, "edtRevision");
  edtRevision->setFixedWidth(81);

  auto* Grid = new QGridLayout;
  Grid->setColumnStretch(0, 1);
  Grid->addWidget(Label("Game &title", edtGameTitle, this), 0, 0, 1, 2);
  Grid->addWidget(edtGameTitle, 1, 0, 1, 2);
  Grid->addWidget(Label("Game file &name", edtGameFilename, this), 2, 0);
  Grid->addWidget(Label("Game &state", edtGameState, this), 2, 1);
  Grid->addWidget(edtGameFilename, 3, 0);
  Grid->addWidget(edtGameState, 3, 1);
  Grid->addWidget(Label("Game file &directory", edtGameDir, this), 4, 0, 1, 2);
  Grid->addWidget(edtGameDir, 5, 0, 1, 2);
  auto* Times = new QGridLayout;
  Times->addWidget(Label("Edit t&ime", edtEditTime, this), 0, 0);
  Times->addWidget(Label("&Revision", edtRevision, this), 0, 1);
  Times->addWidget(edtEditTime, 1, 0);
  Times->addWidget(edtRevision, 1, 1);
  Times->setColumnStretch(2, 1);
  Grid->addLayout(Times, 6, 0, 2, 2);
  Body()->addLayout(Grid);

  // The high-score table: its settings, and the table as the play window kept it.
  auto* Scores = new QGroupBox("High scores", this);
  speScorePlaces = new QSpinBox(Scores);
  speScorePlaces->setObjectName("speScorePlaces");
  speScorePlaces->setRange(0, lvk::THighScores::MaxPlaces);
  speScorePlaces->setSpecialValueText("none");
  speScorePlaces->setFixedWidth(81);
  SetHints(speScorePlaces, "Places in the high-score table (none: no table)",
           "How many scores the high-score table keeps, 1 to 10; none: the game has no table");
  cbxScoreVariable = new QComboBox(Scores);
  cbxScoreVariable->setObjectName("cbxScoreVariable");
  cbxScoreVariable->setMinimumWidth(121);
  SetHints(cbxScoreVariable, "The score (a game variable)", "The game variable whose value EnterHighScore enters");
  cbxScoreOrder = new QComboBox(Scores);
  cbxScoreOrder->setObjectName("cbxScoreOrder");
  cbxScoreOrder->addItem("Higher is better");
  cbxScoreOrder->addItem("Lower is better");
  SetHints(cbxScoreOrder, "Which scores are better",
           "Higher is better (points); lower is better (a time, the moves taken)");
  speScoreLetters = new QSpinBox(Scores);
  speScoreLetters->setObjectName("speScoreLetters");
  speScoreLetters->setRange(1, lvk::THighScores::MaxLetters);
  speScoreLetters->setFixedWidth(81);
  SetHints(speScoreLetters, "Letters of the initials", "How many letters the player enters with a score, 1 to 8");
  lbxHighScores = new QListWidget(Scores);
  lbxHighScores->setObjectName("lbxHighScores");
  lbxHighScores->setMaximumHeight(120);
  SetHints(lbxHighScores, "The table the play window kept", "The high-score table as the play window kept it");
  butClearHighScores = new QPushButton("&Clear table", Scores);
  butClearHighScores->setObjectName("butClearHighScores");
  SetHints(butClearHighScores, "Clear the table the play window kept",
           "Empties the high-score table the play window kept for this game; its saved slots stay");
  auto* ScoreGrid = new QGridLayout(Scores);
  ScoreGrid->addWidget(Label("&Places", speScorePlaces, Scores), 0, 0);
  ScoreGrid->addWidget(speScorePlaces, 0, 1);
  ScoreGrid->addWidget(Label("Sc&ore", cbxScoreVariable, Scores), 0, 2);
  ScoreGrid->addWidget(cbxScoreVariable, 0, 3);
  ScoreGrid->addWidget(Label("&Letters", speScoreLetters, Scores), 1, 0);
  ScoreGrid->addWidget(speScoreLetters, 1, 1);
  ScoreGrid->addWidget(Label("&Better", cbxScoreOrder, Scores), 1, 2);
  ScoreGrid->addWidget(cbxScoreOrder, 1, 3);
  ScoreGrid->addWidget(lbxHighScores, 2, 0, 1, 4);
  ScoreGrid->addWidget(butClearHighScores, 3, 0, 1, 2, Qt::AlignLeft);
  ScoreGrid->setColumnStretch(4, 1);
  Body()->addWidget(Scores);
  Body()->addStretch(1);

  connect(edtGameTitle, &QLineEdit::textChanged, this, &TPaneGame::edtGameTitleChange);
  connect(speScorePlaces, &QSpinBox::valueChanged, this, &TPaneGame::ScoreSettingsChange);
  connect(speScoreLetters, &QSpinBox::valueChanged, this, &TPaneGame::ScoreSettingsChange);
  connect(cbxScoreVariable, &QComboBox::activated, this, &TPaneGame::ScoreSettingsChange);
  connect(cbxScoreOrder, &QComboBox::activated, this, &TPaneGame::ScoreSettingsChange);
  connect(butClearHighScores, &QPushButton::clicked, this, &TPaneGame::butClearHighScoresClick);
}

QString TPaneGame::EditTimeText(double Days) {
  long long Seconds = std::llround(Days * 60 * 60 * 24);
  return QString::fromStdString(lvk::Format("%.d:%.2d", Seconds / 60, Seconds % 60));
}

void TPaneGame::Show() {
  const lvk::TGame& Game = FHost.Game();
  FShowing = true;  // filling the title field is not a change by the user
  const QString FileName = QString::fromStdString(Game.FileName());
  if (edtGameTitle->text() != QString::fromStdString(Game.Title()))
    edtGameTitle->setText(QString::fromStdString(Game.Title()));
  if (FileName == lvk::NoFileName) {
    edtGameFilename->setText(FileName);
    edtGameDir->clear();
  } else {
    QFileInfo Info(FileName);
    edtGameFilename->setText(Info.fileName());
    edtGameDir->setText(QDir::toNativeSeparators(Info.absolutePath()));
  }
  edtEditTime->setText(EditTimeText(Game.EditTime()));
  edtRevision->setText(QString::number(Game.Revision()));
  edtGameState->setText(Game.Modified() ? "changed" : "saved");
  const lvk::THighScores& Scores = Game.HighScores();
  speScorePlaces->setValue(Scores.Places);
  speScoreLetters->setValue(Scores.Letters);
  cbxScoreOrder->setCurrentIndex(Scores.HigherIsBetter ? 0 : 1);
  cbxScoreVariable->clear();
  cbxScoreVariable->addItem("(none)", 0u);
  for (int v = 0; v < Game.VariableCount(); ++v) {
    const lvk::TVariable& Variable = *Game.GetVariable(v);
    if (Variable.Scope() != lvk::TVariableScope::Game) continue;
    cbxScoreVariable->addItem(QString::fromStdString(Variable.Name()), Variable.Id());
  }
  const int Score = cbxScoreVariable->findData(Scores.Score);
  cbxScoreVariable->setCurrentIndex(Score < 0 ? 0 : Score);
  for (QWidget* W : std::initializer_list<QWidget*>{cbxScoreVariable, cbxScoreOrder, speScoreLetters})
    W->setEnabled(Scores.Places > 0);
  FShowing = false;
  ShowHighScores();
}

void TPaneGame::ShowHighScores() {
  const lvk::TGame& Game = FHost.Game();
  lbxHighScores->clear();
  const lvk::TSaveFile File(lvk::TSaveFile::PathFor(lvk::SavesFolder(), Game.Title()), Game.Title());
  lvk_save_t Save;
  const int Status = File.Read(Save);
  if (Status != LVK_SAVE_OK && Status != LVK_SAVE_EMPTY)
    lbxHighScores->addItem(QString::fromStdString(lvk::SaveStatusNote(Status)));
  for (int i = 0; i < Save.score_count; ++i) {
    const lvk_score_t& Entry = Save.scores[i];
    const QString Letters = QString::fromLatin1(Entry.letters, static_cast<int>(strnlen(Entry.letters, Save.letters)));
    lbxHighScores->addItem(QString("%1. %2 %3").arg(i + 1).arg(Letters).arg(Entry.score));
  }
  if (lbxHighScores->count() == 0) lbxHighScores->addItem("(no scores kept yet)");
  butClearHighScores->setEnabled(Save.score_count > 0);
}

void TPaneGame::ScoreSettingsChange() {
  if (FShowing) return;
  lvk::THighScores Scores;
  Scores.Places = speScorePlaces->value();
  Scores.Letters = speScoreLetters->value();
  Scores.HigherIsBetter = cbxScoreOrder->currentIndex() == 0;
  Scores.Score = cbxScoreVariable->currentData().toUInt();
  // The arrows of one field make one step until another change comes between.
  lvk::TEdit Edit(FHost.Game(), "Change high scores", "high scores");
  FHost.Game().SetHighScores(Scores);
}

void TPaneGame::butClearHighScoresClick() {
  const lvk::TGame& Game = FHost.Game();
  if (!AskYesNo(this, "Clear the high-score table the play window kept for this game?")) return;
  lvk::TSaveFile File(lvk::TSaveFile::PathFor(lvk::SavesFolder(), Game.Title()), Game.Title());
  try {
    File.ClearTable();
  } catch (const lvk::EGame& E) {
    ShowWarning(this, QString::fromStdString(E.what()));
  }
  ShowHighScores();
}

void TPaneGame::edtGameTitleChange(const QString& Text) {
  if (FShowing) return;
  // Typed key by key: consecutive changes of the title are one step.
  lvk::TEdit Edit(FHost.Game(), "Change title", "title");
  FHost.Game().SetTitle(Text.toStdString());
}
