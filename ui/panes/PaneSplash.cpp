#include "ui/panes/PaneSplash.h"

#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/UGame.h"
#include "support/UDataFolders.h"
#include "ui/main/UPaneHost.h"
#include "ui/common/UPictures.h"

namespace {

QLabel* Line(const QString& Text, QWidget* Parent, bool Bold = false, int Indent = 0) {
  auto* L = new QLabel(Text, Parent);
  L->setWordWrap(true);
  L->setIndent(Indent);
  if (Bold) {
    QFont F = L->font();
    F.setBold(true);
    L->setFont(F);
  }
  return L;
}

// Short hint as the tool tip, long one for the status bar.
void Hints(QWidget* W, const QString& Short, const QString& Long) {
  W->setToolTip(Short);
  W->setStatusTip(Long);
}

}  // namespace

TPaneSplash::TPaneSplash(TPaneHost& Host) : TPane("tsSplash", "Lurvik Studio", "", "table-of-contents"), FHost(Host) {
  // The welcome pane has no header of its own: its top box plays that part.
  findChild<QFrame*>("tsSplashHeader")->hide();

  auto* Top = new QFrame(this);
  Top->setObjectName("pnlSplashTop");
  Top->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  auto* TopLayout = new QHBoxLayout(Top);
  auto* Logo = new QLabel(Top);
  Logo->setObjectName("imgLogo");
  Logo->setPixmap(UiPixmap("Logo"));
  TopLayout->addWidget(Logo);
  auto* Titles = new QVBoxLayout;
  Titles->addStretch(1);
  Titles->addWidget(Line("Lurvik Studio for", Top, true));
  Titles->addWidget(Line("Nintendo DS games", Top, true));
  Titles->addStretch(1);
  TopLayout->addLayout(Titles, 1);

  // The File menu's New and Open, and the sample, for a first start.
  auto* Start = new QFrame(this);
  Start->setObjectName("pnlSplashStart");
  auto* StartRow = new QHBoxLayout(Start);
  StartRow->setContentsMargins(0, 4, 0, 4);
  butNew = new QPushButton("&New game", Start);
  butNew->setObjectName("butNew");
  Hints(butNew, "Start a new game", "Start a new game");
  butOpen = new QPushButton("&Open a game...", Start);
  butOpen->setObjectName("butOpen");
  Hints(butOpen, "Open an existing game", "Open an existing game");
  butSample = new QPushButton("Open the &sample game", Start);
  butSample->setObjectName("butSample");
  for (QPushButton* B : {butNew, butOpen, butSample}) {
    B->setAutoDefault(false);
    StartRow->addWidget(B);
  }
  StartRow->addStretch(1);
  connect(butNew, &QPushButton::clicked, this, [this] { FHost.NewGame(); });
  connect(butOpen, &QPushButton::clicked, this, [this] { FHost.OpenGame(); });
  connect(butSample, &QPushButton::clicked, this, [this] { butSampleClick(); });

  auto* Steps = new QFrame(this);
  Steps->setObjectName("pnlSplashSteps");
  Steps->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  auto* S = new QVBoxLayout(Steps);
  const int Indent = 16;
  S->addWidget(Line("Welcome to Lurvik", Steps, true));
  S->addWidget(Line("Start designing your game in four steps:", Steps));
  S->addWidget(Line("1. Select 'Tiles' on the left, add some tiles, and import bitmaps for each tile.", Steps, false, Indent));
  S->addWidget(Line("2. Select 'Actors', add some actors, and couple tiles to actors.", Steps, false, Indent));
  S->addWidget(Line("3. Select 'Levels', add a level, and edit the level by placing actors.", Steps, false, Indent));
  S->addWidget(Line("   F5 (Game | Play) plays it here at any time.", Steps, false, Indent));
  S->addWidget(Line("4. Via the Game menu, build then run the game.", Steps, false, Indent));
  S->addSpacing(8);
  S->addWidget(Line("Then the hard part, designing behavior:", Steps));
  S->addWidget(Line("Select 'Actors', and for each actor add events, and for each event add actions.", Steps, false, Indent));
  S->addStretch(1);

  Body()->addWidget(Top);
  Body()->addWidget(Start);
  Body()->addWidget(Steps, 1);

  SetSampleGame(QString::fromStdString(lvk::SampleGamePath(lvk::DataFolder(Host.RootFolder().toStdString()))));
}

void TPaneSplash::SetSampleGame(const QString& Path) {
  FSampleGame = Path;
  butSample->setEnabled(!Path.isEmpty());
  if (!Path.isEmpty()) {
    Hints(butSample, "Open the sample game",
          "Open the sample game that comes with Lurvik Studio; Save asks where to keep your copy");
  } else {
    const QString Expected =
        QDir::toNativeSeparators(QString::fromStdString(lvk::DataFolder(FHost.RootFolder().toStdString())) +
                                 "/examples/Sample.lvk");
    Hints(butSample, "No sample game was found at " + Expected,
          "No sample game was found at " + Expected + "; reinstalling Lurvik Studio brings it back");
  }
}

void TPaneSplash::butSampleClick() {
  if (FSampleGame.isEmpty() || !FHost.ConfirmSave()) return;
  // A sample that failed to load leaves the open game as it was.
  FHost.OpenGameFile(FSampleGame, true);
}
