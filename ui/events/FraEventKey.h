#pragma once
// The frame of OnKey: one toggle per DS key, laid out roughly as the keys
// sit on the handheld, and whether pressing or releasing them fires.
#include "ui/events/FraEvent.h"

class QLabel;
class QRadioButton;

namespace lvk {
class TEventKey;
}

class TfraEventkey : public TfraEventMask {
  Q_OBJECT
public:
  TfraEventkey(lvk::TEventKey& Event, TSummaryChanged SummaryChanged, QWidget* Parent);

  QLabel* lblKeys;
  QLabel* lblStyle;
  QRadioButton* rbutPress;
  QRadioButton* rbutRelease;

protected:
  unsigned EventMask() const override;
  void SetEventMask(unsigned Mask) override;
  int IndexOfCaption(const std::string& Caption) const override;

private:
  void rbutPressClick();

  lvk::TEventKey& FEvent;
};

