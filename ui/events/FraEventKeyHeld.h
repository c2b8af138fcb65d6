#pragma once
// The frame of OnKeyHeld: one toggle per DS key, laid out as OnKey's; the
// event fires on every frame in which all keys down here are held.
#include "ui/events/FraEvent.h"

class QLabel;

namespace lvk {
class TEventKeyHeld;
}

class TfraEventKeyHeld : public TfraEventMask {
  Q_OBJECT
public:
  TfraEventKeyHeld(lvk::TEventKeyHeld& Event, TSummaryChanged SummaryChanged, QWidget* Parent);

  QLabel* lblKeys;
  QLabel* lblKeyHeld;

protected:
  unsigned EventMask() const override;
  void SetEventMask(unsigned Mask) override;
  int IndexOfCaption(const std::string& Caption) const override;

private:
  lvk::TEventKeyHeld& FEvent;
};
