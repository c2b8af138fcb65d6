#pragma once
// The frame of OnCreate, which has nothing to set.
#include "ui/events/FraEvent.h"

class QLabel;

namespace lvk {
class TEventCreate;
}

class TfraEventCreate : public TfraEvent {
  Q_OBJECT
public:
  TfraEventCreate(lvk::TEventCreate& Event, TSummaryChanged SummaryChanged, QWidget* Parent);

  QLabel* lblEventCreate;
};
