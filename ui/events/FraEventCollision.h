#pragma once
// The frame of OnCollision: which actor this one collides with, chosen from
// a list that shows each actor's picture (and "<any solid actor>" once the
// game has a solid actor, or the event names it), and whether the two
// overlap or repel.
#include "ui/events/FraEvent.h"
#include "ui/common/UItemPickers.h"

class QLabel;
class QRadioButton;

namespace lvk {
class TActor;
class TEventCollision;
}  // namespace lvk

class TfraEventCollision : public TfraEvent {
  Q_OBJECT
public:
  TfraEventCollision(lvk::TEventCollision& Event, TSummaryChanged SummaryChanged, QWidget* Parent);

  QLabel* lblCollisionWith;
  TActorComboBox* cbxOtherActor;
  QLabel* lblCollisionStyle;
  QRadioButton* rbutOverlap;
  QRadioButton* rbutRepel;

private:
  void rbutOverlapClick();
  void cbxOtherActorChange(int Index);

  lvk::TEventCollision& FEvent;
};
