#include "ui/events/FEventSelector.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>

#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "ui/events/FraEvent.h"
#include "ui/common/UHelp.h"
#include "ui/common/UPictures.h"

namespace {

constexpr int DesignWidth = 255;
constexpr int RightWidth = 85;
constexpr int Row = 22;
constexpr const char* KindProperty = "eventKind";

const lvk::TEventKind* KindOf(const QObject* Object) {
  return reinterpret_cast<const lvk::TEventKind*>(Object->property(KindProperty).value<quintptr>());
}

}  // namespace

TfrmEventSelector::TfrmEventSelector(QWidget* Parent) : QDialog(Parent) {
  setObjectName("frmEventSelector");
  setWindowTitle("Event selector");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  SetHelpKeyword(this, "event-selector");

  const int Count = lvk::EventKindCount();
  const int Height = Row * Count + 8;
  setFixedSize(DesignWidth, Height);

  pnlEvents = new QWidget(this);
  pnlEvents->setObjectName("pnlEvents");
  pnlEvents->setGeometry(0, 0, DesignWidth - RightWidth, Height);
  pnlRight = new QWidget(this);
  pnlRight->setObjectName("pnlRight");
  pnlRight->setGeometry(DesignWidth - RightWidth, 0, RightWidth, Height);

  // The current kind must stand out from the other icons.
  const QColor Highlight = palette().color(QPalette::Highlight);
  const QString KindStyle =
      QString("QToolButton { border: 1px solid palette(mid); border-radius: 2px; background: palette(button); }"
              "QToolButton:hover { border-color: palette(highlight); }"
              "QToolButton:checked { border: 1px solid palette(highlight); background: rgba(%1, %2, %3, 80); }"
              "QToolButton:focus { border-style: dotted; }")
          .arg(Highlight.red())
          .arg(Highlight.green())
          .arg(Highlight.blue());
  auto* Group = new QButtonGroup(this);
  Group->setExclusive(true);
  for (int i = 0; i < Count; ++i) {
    const lvk::TEventKind& Kind = lvk::EventKindAt(i);
    const QString Description = QString::fromStdString(Kind.Description());
    const QVariant KindValue = QVariant::fromValue(reinterpret_cast<quintptr>(&Kind));

    auto* Button = new QToolButton(pnlEvents);
    Button->setObjectName("but" + QString::fromStdString(Kind.DisplayName()));
    Button->setCheckable(true);
    Button->setIcon(IconPixmap(Kind.Icon()));
    Button->setIconSize(QSize(16, 16));
    Button->setStyleSheet(KindStyle);
    Button->setGeometry(4, Row * i + 4, 22, 22);
    Button->setAccessibleName(QString::fromStdString(Kind.DisplayName()));
    SetHint(Button, Description);
    Button->setProperty(KindProperty, KindValue);
    Button->installEventFilter(this);
    Group->addButton(Button, i);
    connect(Button, &QToolButton::clicked, this, [this, &Kind] { ChooseKind(Kind); });
    KindButtons.push_back(Button);

    auto* Label = new QLabel(QString::fromStdString(Kind.DisplayName()), pnlEvents);
    Label->setObjectName("lbl" + QString::fromStdString(Kind.DisplayName()));
    Label->adjustSize();
    // Centred on its button: the label's height depends on the font.
    Label->move(Button->x() + Button->height() + 4, Button->y() + (Button->height() - Label->height()) / 2);
    SetHint(Label, Description);
    Label->setProperty(KindProperty, KindValue);
    Label->installEventFilter(this);
    KindLabels.push_back(Label);
  }

  BitBtn1 = new QPushButton("&Help", pnlRight);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setGeometry(6, Height - 37 - 25, 75, 25);
  BitBtn1->setAutoDefault(false);
  connect(BitBtn1, &QPushButton::clicked, this, &TfrmEventSelector::BitBtn1Click);
  butCancel = new QPushButton("Cancel", pnlRight);
  butCancel->setObjectName("butCancel");
  butCancel->setGeometry(6, Height - 5 - 25, 75, 25);
  butCancel->setAutoDefault(false);
  connect(butCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmEventSelector::SetHandler(lvk::THandler& Handler) {
  FHandler = &Handler;
  const lvk::TEventKind* Current = Handler.Event() ? &Handler.Event()->Kind() : nullptr;
  for (QToolButton* Button : KindButtons) {
    if (KindOf(Button) != Current) continue;
    Button->setChecked(true);
    Button->setFocus();
  }
}

// Labels choose their kind when clicked. The arrow keys move between the
// kind buttons without choosing: in an exclusive group they would click,
// and a click closes the dialog.
bool TfrmEventSelector::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::MouseButtonRelease && qobject_cast<QLabel*>(Watched)) {
    auto* Mouse = static_cast<QMouseEvent*>(Event);
    auto* Label = static_cast<QLabel*>(Watched);
    if (Mouse->button() == Qt::LeftButton && Label->rect().contains(Mouse->position().toPoint())) {
      ChooseKind(*KindOf(Label));
      return true;
    }
  }
  if (Event->type() == QEvent::KeyPress && qobject_cast<QToolButton*>(Watched)) {
    const int Key = static_cast<QKeyEvent*>(Event)->key();
    if (Key == Qt::Key_Up || Key == Qt::Key_Down || Key == Qt::Key_Left || Key == Qt::Key_Right) {
      auto It = std::find(KindButtons.begin(), KindButtons.end(), Watched);
      const int Here = static_cast<int>(It - KindButtons.begin());
      const int Step = (Key == Qt::Key_Up || Key == Qt::Key_Left) ? -1 : 1;
      const int Count = static_cast<int>(KindButtons.size());
      KindButtons[(Here + Step + Count) % Count]->setFocus(Step < 0 ? Qt::BacktabFocusReason : Qt::TabFocusReason);
      return true;
    }
  }
  return QDialog::eventFilter(Watched, Event);
}

void TfrmEventSelector::ChooseKind(const lvk::TEventKind& Kind) {
  if (FHandler && (!FHandler->Event() || &FHandler->Event()->Kind() != &Kind)) {
    // A new event tells without marking the game; the handler's change marks it.
    lvk::TEdit Edit(FHandler->Actor().Owner(), "Change event");
    FHandler->SetEvent(Kind);
    FHandler->Changed();
  }
  accept();
}

void TfrmEventSelector::BitBtn1Click() { HelpByKeyword("event-selector", this); }
