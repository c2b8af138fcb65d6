#pragma once
// The frame of OnTimer: after how many frames an instance's handler fires
// (with the time that is at 60 frames a second beside it) and whether it
// fires again every as many frames.
#include "ui/events/FraEvent.h"

class QCheckBox;
class QLabel;
class QSpinBox;

namespace lvk {
class TEventTimer;
}

class TfraEventTimer : public TfraEvent {
  Q_OBJECT
public:
  TfraEventTimer(lvk::TEventTimer& Event, TSummaryChanged SummaryChanged, QWidget* Parent);

  QLabel* lblFrames;
  QSpinBox* speFrames;
  QLabel* lblSeconds;
  QCheckBox* cbxRepeat;

private:
  void speFramesChange(int Frames);
  void cbxRepeatClick(bool Repeat);
  void ShowSeconds();

  lvk::TEventTimer& FEvent;
};

// A number of frames as the time it takes at 60 frames a second: "1 second",
// "2.5 seconds", "1 min 40 s", "4 h 37 min 47 s".
QString FramesAsTime(int Frames);
