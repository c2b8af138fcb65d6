#pragma once
// The frame of OnAnimationEnd, which has nothing to set.
#include "ui/events/FraEvent.h"

class QLabel;

namespace lvk {
class TEventAnimationEnd;
}

class TfraEventAnimationEnd : public TfraEvent {
  Q_OBJECT
public:
  TfraEventAnimationEnd(lvk::TEventAnimationEnd& Event, TSummaryChanged SummaryChanged, QWidget* Parent);

  QLabel* lblEventAnimationEnd;
};
