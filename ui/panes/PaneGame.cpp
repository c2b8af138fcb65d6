#include "ui/panes/PaneGame.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <cmath>

#include "model/UFormat.h"
#include "model/UDocument.h"
#include "model/UGame.h"
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
  Body()->addStretch(1);

  connect(edtGameTitle, &QLineEdit::textChanged, this, &TPaneGame::edtGameTitleChange);
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
  FShowing = false;
}

void TPaneGame::edtGameTitleChange(const QString& Text) {
  if (FShowing) return;
  // Typed key by key: consecutive changes of the title are one step.
  lvk::TEdit Edit(FHost.Game(), "Change title", "title");
  FHost.Game().SetTitle(Text.toStdString());
}
