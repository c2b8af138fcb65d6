#pragma once
// The frame of OnTouch: a compass of toggles round the actor, "H" in the
// middle standing for the actor itself.
#include "ui/events/FraEvent.h"

class QLabel;

namespace lvk {
class TEventTouch;
}

class TfraEventTouch : public TfraEventMask {
  Q_OBJECT
public:
  TfraEventTouch(lvk::TEventTouch& Event, TSummaryChanged SummaryChanged, QWidget* Parent);

  QLabel* lblTouch;

protected:
  unsigned EventMask() const override;
  void SetEventMask(unsigned Mask) override;
  int IndexOfCaption(const std::string& Caption) const override;

private:
  lvk::TEventTouch& FEvent;
};
