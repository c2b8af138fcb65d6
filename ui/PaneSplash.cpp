#include "ui/PaneSplash.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/UPictures.h"

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

}  // namespace

TPaneSplash::TPaneSplash(QWidget* Parent) : TPane("tsSplash", "Lurvik Studio", "", "table-of-contents", Parent) {
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
  S->addWidget(Line("4. Via the Build menu, build then run the game.", Steps, false, Indent));
  S->addSpacing(8);
  S->addWidget(Line("Then the hard part, designing behavior:", Steps));
  S->addWidget(Line("Select 'Actors', and for each actor add events, and for each event add actions.", Steps, false, Indent));
  S->addStretch(1);

  Body()->addWidget(Top);
  Body()->addWidget(Steps, 1);
}
