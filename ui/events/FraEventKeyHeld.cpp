#include "ui/events/FraEventKeyHeld.h"

#include <QLabel>

#include "behaviour/REventKey.h"
#include "behaviour/REventKeyHeld.h"

TfraEventKeyHeld::TfraEventKeyHeld(lvk::TEventKeyHeld& Event, TSummaryChanged SummaryChanged, QWidget* Parent)
    : TfraEventMask(Event, "fraEventKeyHeld", {300, 48}, 300,
                    "The settings for OnKeyHeld - fires on every frame in which all selected keys are held",
                    std::move(SummaryChanged), Parent),
      FEvent(Event) {
  lblKeys = new QLabel("Keys", this);
  lblKeys->setObjectName("lblKeys");
  Place(lblKeys, QRect(2, 8, 0, 0));
  AddKeyToggles();
  lblKeyHeld = new QLabel("Every frame while all are held", this);
  lblKeyHeld->setObjectName("lblKeyHeld");
  lblKeyHeld->setWordWrap(true);
  lblKeyHeld->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Place(lblKeyHeld, QRect(181, 6, 115, 36), Qt::TopEdge | Qt::LeftEdge | Qt::RightEdge);
  ShowMask();
}

unsigned TfraEventKeyHeld::EventMask() const { return FEvent.Keys(); }

void TfraEventKeyHeld::SetEventMask(unsigned Mask) { FEvent.SetKeys(static_cast<std::uint16_t>(Mask)); }

int TfraEventKeyHeld::IndexOfCaption(const std::string& Caption) const {
  return lvk::TEventKey::IndexOfKey(Caption);
}
