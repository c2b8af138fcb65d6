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

// A key toggle's hint "Name|Description" with where the play window has the
// key (the DS's key KeyIndex, its bit in the key state) added to both parts.
QString KeyHint(const QString& Hint, int KeyIndex);

// The toggles of the DS keys as OnKey lays them out, in reading (and tab)
// order, each caption a key name of OnKey's table; every editor of a key
// set shows them so.
std::span<const TToggleInfo> KeyToggles();
