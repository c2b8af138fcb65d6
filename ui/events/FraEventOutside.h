#pragma once
// The frame of OnOutside: a compass of toggles round the screen, which is
// the empty middle.
#include "ui/events/FraEvent.h"

class QLabel;

namespace lvk {
class TEventOutside;
}

class TfraEventOutside : public TfraEventMask {
  Q_OBJECT
public:
  TfraEventOutside(lvk::TEventOutside& Event, TSummaryChanged SummaryChanged, QWidget* Parent);

  QLabel* lblOutside;

protected:
  unsigned EventMask() const override;
  void SetEventMask(unsigned Mask) override;
  int IndexOfCaption(const std::string& Caption) const override;

private:
  lvk::TEventOutside& FEvent;
};
