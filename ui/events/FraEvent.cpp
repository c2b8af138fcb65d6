#include "ui/events/FraEvent.h"

#include <QLabel>

#include <QResizeEvent>
#include <QToolButton>
#include <algorithm>

#include "behaviour/REventKey.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "ui/events/UKeyToggles.h"
#include "ui/common/UHelp.h"

namespace {

// A button that is down must read as down at a glance; the platform's
// sunken look alone is too faint for a row of them.
const char* const ToggleStyle =
    "QToolButton { border: 1px solid palette(mid); border-radius: 2px; background: palette(button); }"
    "QToolButton:hover { border-color: palette(highlight); }"
    "QToolButton:checked { background: palette(highlight); color: palette(highlighted-text); }"
    "QToolButton:focus { border: 1px dotted palette(window-text); }";

}  // namespace

void StyleToggle(QToolButton* Toggle) { Toggle->setStyleSheet(ToggleStyle); }

void SetHint(QWidget* Control, const QString& Hint) {
  const qsizetype Bar = Hint.indexOf('|');
  Control->setToolTip(Bar < 0 ? Hint : Hint.left(Bar));
  Control->setStatusTip(Bar < 0 ? Hint : Hint.mid(Bar + 1));
}

TfraEvent::TfraEvent(lvk::TEventBase& Event, const QString& Name, QSize DesignSize, int MinimumWidth,
                     const QString& Hint, TSummaryChanged SummaryChanged, QWidget* Parent)
    : QFrame(Parent),
      FEvent(Event),
      FScale(std::max(1.0, fontMetrics().height() / 13.0)),
      FSummaryChanged(std::move(SummaryChanged)) {
  setObjectName(Name);
  FDesignSize = Scaled(QRect(QPoint(), DesignSize)).size();
  setMinimumSize(qRound(MinimumWidth * FScale), FDesignSize.height());
  SetHint(this, Hint);
  // F1 in the frame shows the page of its kind of event.
  SetHelpKeyword(this, "event-" + QString::fromStdString(Event.Kind().DisplayName()).toLower());
  resize(FDesignSize);
}

QRect TfraEvent::Scaled(const QRect& Rect) const {
  return {qRound(Rect.x() * FScale), qRound(Rect.y() * FScale), qRound(Rect.width() * FScale),
          qRound(Rect.height() * FScale)};
}

lvk::TGame& TfraEvent::Game() const { return FEvent.Handler().Actor().Owner(); }

void TfraEvent::Apply(const std::function<void()>& Store) {
  {
    lvk::TEdit Edit(Game(), "Change event settings");
    Store();
  }
  if (FSummaryChanged) FSummaryChanged(QString::fromStdString(FEvent.Summary()));
}

void TfraEvent::Place(QWidget* Control, const QRect& DesignRect, Qt::Edges Anchors) {
  QRect Rect = Scaled(DesignRect);
  if (Rect.isEmpty())
    Rect.setSize(Control->sizeHint());
  else if (qobject_cast<QAbstractButton*>(Control) && Control->sizeHint().width() > Rect.width())
    Rect.setWidth(Control->sizeHint().width());
  // A wrapped text may need more lines than at the design font.
  if (Control->hasHeightForWidth()) Rect.setHeight(std::max(Rect.height(), Control->heightForWidth(Rect.width())));
  setMinimumHeight(std::max(minimumHeight(), Rect.bottom() + 3));
  FPlacements.push_back({Control, Rect, Anchors});
  Arrange();
}

void TfraEvent::resizeEvent(QResizeEvent* Event) {
  QFrame::resizeEvent(Event);
  Arrange();
}

// Measured against the design size, as the controls were laid out for it.
void TfraEvent::Arrange() {
  const int Dx = width() - FDesignSize.width();
  const int Dy = height() - FDesignSize.height();
  for (const TPlacement& P : FPlacements) {
    QRect R = P.Rect;
    if (P.Anchors & Qt::RightEdge) {
      if (P.Anchors & Qt::LeftEdge)
        R.setWidth(R.width() + Dx);
      else
        R.translate(Dx, 0);
    }
    if (P.Anchors & Qt::BottomEdge) {
      if (P.Anchors & Qt::TopEdge)
        R.setHeight(R.height() + Dy);
      else
        R.translate(0, Dy);
    }
    P.Control->setGeometry(R);
  }
}

QToolButton* TfraEventMask::AddToggle(const QString& Name, const QString& Caption, const QString& Hint,
                                      const QRect& Rect) {
  auto* Button = new QToolButton(this);
  Button->setObjectName(Name);
  Button->setText(Caption);
  Button->setCheckable(true);
  Button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  StyleToggle(Button);
  SetHint(Button, Hint);
  Place(Button, Rect);
  FToggles.push_back(Button);
  return Button;
}

void TfraEventMask::AddToggles(std::span<const TToggleInfo> Specs, QSize Size) {
  for (const TToggleInfo& B : Specs) AddToggle(B.Name, B.Caption, B.Hint, QRect(QPoint(B.Left, B.Top), Size));
}

void TfraEventMask::AddKeyToggles() {
  AddToggles(KeyToggles(), QSize(20, 20));
  for (const TToggleInfo& Key : KeyToggles())
    SetHint(findChild<QToolButton*>(Key.Name), KeyHint(Key.Hint, lvk::TEventKey::IndexOfKey(Key.Caption)));
}

QLabel* TfraEventMask::AddCompassCaption(const QString& Name, const QString& Text, int Width) {
  auto* Label = new QLabel(Text, this);
  Label->setObjectName(Name);
  Label->setWordWrap(true);
  Label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Place(Label, QRect(137, 8, Width, 33));
  return Label;
}

void TfraEventMask::ShowMask() {
  const unsigned Mask = EventMask();
  for (QToolButton* Button : FToggles) {
    const int Index = IndexOfCaption(Button->text().toStdString());
    Button->setChecked((Mask >> Index) & 1u);
    connect(Button, &QToolButton::clicked, this, [this, Index](bool Down) { ToggleClick(Index, Down); });
  }
}

void TfraEventMask::ToggleClick(int Index, bool Down) {
  const unsigned Old = EventMask();
  const unsigned New = Down ? Old | (1u << Index) : Old & ~(1u << Index);
  if (New == Old) return;
  Apply([&] { SetEventMask(New); });
}
