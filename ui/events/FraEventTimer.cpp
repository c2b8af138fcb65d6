#include "ui/events/FraEventTimer.h"

#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>

#include "behaviour/REventTimer.h"

namespace {

constexpr int FramesPerSecond = 60;

}  // namespace

QString FramesAsTime(int Frames) {
  if (Frames < 60 * FramesPerSecond) {
    const double Seconds = static_cast<double>(Frames) / FramesPerSecond;
    // Two decimals at most, and none that are 0.
    QString Text = QString::number(Seconds, 'f', 2);
    while (Text.endsWith('0')) Text.chop(1);
    if (Text.endsWith('.')) Text.chop(1);
    return Text + (Text == "1" ? " second" : " seconds");
  }
  const int Whole = (Frames + FramesPerSecond / 2) / FramesPerSecond;
  const int Hours = Whole / 3600, Minutes = Whole / 60 % 60, Seconds = Whole % 60;
  QString Text = Hours > 0 ? QString("%1 h %2 min").arg(Hours).arg(Minutes) : QString("%1 min").arg(Minutes);
  return Seconds > 0 ? Text + QString(" %1 s").arg(Seconds) : Text;
}

TfraEventTimer::TfraEventTimer(lvk::TEventTimer& Event, TSummaryChanged SummaryChanged, QWidget* Parent)
    : TfraEvent(Event, "fraEventTimer", {300, 48}, 260,
                "The settings for OnTimer - fires when an instance has lived so many frames, 60 a second",
                std::move(SummaryChanged), Parent),
      FEvent(Event) {
  // Created in tab order: the frames, then Repeat.
  speFrames = new QSpinBox(this);
  speFrames->setObjectName("speFrames");
  speFrames->setRange(1, lvk::TEventTimer::MaxFrames);
  speFrames->setValue(FEvent.Frames());
  // Typed digits count when the field is left or Enter pressed: one step.
  speFrames->setKeyboardTracking(false);
  SetHint(speFrames, "Frames, 60 a second|After how many frames of an instance's life the event fires (1 is every "
                     "frame with Repeat; 60 a second)");
  Place(speFrames, QRect(8, 22, 80, 22));
  lblSeconds = new QLabel(this);
  lblSeconds->setObjectName("lblSeconds");
  Place(lblSeconds, QRect(94, 25, 100, 17), Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge);
  cbxRepeat = new QCheckBox("&Repeat", this);
  cbxRepeat->setObjectName("cbxRepeat");
  cbxRepeat->setChecked(FEvent.Repeat());
  SetHint(cbxRepeat, "Fire again every as many frames|Ticked: the event fires again every as many frames, as long "
                     "as the instance lives; not ticked: once");
  Place(cbxRepeat, QRect(210, 24, 80, 17), Qt::TopEdge | Qt::RightEdge);
  lblFrames = new QLabel("Fra&mes (60 a second)", this);
  lblFrames->setObjectName("lblFrames");
  lblFrames->setBuddy(speFrames);
  Place(lblFrames, QRect(8, 4, 0, 0));
  ShowSeconds();
  connect(speFrames, &QSpinBox::valueChanged, this, &TfraEventTimer::speFramesChange);
  connect(cbxRepeat, &QCheckBox::clicked, this, &TfraEventTimer::cbxRepeatClick);
}

void TfraEventTimer::ShowSeconds() { lblSeconds->setText("= " + FramesAsTime(speFrames->value())); }

void TfraEventTimer::speFramesChange(int Frames) {
  ShowSeconds();
  if (Frames == FEvent.Frames()) return;
  Apply([&] { FEvent.SetFrames(Frames); });
}

void TfraEventTimer::cbxRepeatClick(bool Repeat) {
  if (Repeat == FEvent.Repeat()) return;
  Apply([&] { FEvent.SetRepeat(Repeat); });
}
