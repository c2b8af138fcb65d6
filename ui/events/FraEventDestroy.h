#pragma once
// The frame of OnDestroy, which has nothing to set.
#include "ui/events/FraEvent.h"

class QLabel;

namespace lvk {
class TEventDestroy;
}

class TfraEventDestroy : public TfraEvent {
  Q_OBJECT
public:
  TfraEventDestroy(lvk::TEventDestroy& Event, TSummaryChanged SummaryChanged, QWidget* Parent);

  QLabel* lblEventCreate;
};
