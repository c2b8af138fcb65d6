#include "ui/panes/UPane.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

#include "ui/common/UHelp.h"

TPane::TPane(const QString& Name, const QString& Caption, const QString& LongHint, const QString& Keyword,
             QWidget* Parent)
    : QWidget(Parent) {
  setObjectName(Name);
  setStatusTip(LongHint);
  SetHelpKeyword(this, Keyword);

  auto* Header = new QFrame(this);
  Header->setObjectName(Name + "Header");
  Header->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Header->setFixedHeight(28);
  auto* HeaderLayout = new QHBoxLayout(Header);
  HeaderLayout->setContentsMargins(4, 2, 4, 2);
  FIcon = new QLabel(Header);
  FIcon->setFixedSize(18, 18);
  FIcon->setScaledContents(true);
  FCaption = new QLabel(Caption, Header);
  QFont Bold = FCaption->font();
  Bold.setBold(true);
  FCaption->setFont(Bold);
  HeaderLayout->addWidget(FIcon);
  HeaderLayout->addWidget(FCaption, 1);

  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(6);
  Layout->addWidget(Header);
  // The body scrolls where the window is too small for it (the window
  // starts small), rather than squeezing its controls over each other.
  auto* Scroll = new QScrollArea(this);
  Scroll->setObjectName(Name + "Scroll");
  Scroll->setFrameShape(QFrame::NoFrame);
  Scroll->setWidgetResizable(true);
  Scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  auto* Content = new QWidget;
  Content->setObjectName(Name + "Body");
  FBody = new QVBoxLayout(Content);
  FBody->setContentsMargins(8, 4, 8, 8);
  Scroll->setWidget(Content);
  Layout->addWidget(Scroll, 1);
}

void TPane::SetHeaderIcon(const QPixmap& Icon, int Size) {
  FIcon->setFixedSize(Size, Size);
  FIcon->setPixmap(Icon);
}

void TPane::SetCaption(const QString& Caption) { FCaption->setText(Caption); }

QString TPane::Caption() const { return FCaption->text(); }
