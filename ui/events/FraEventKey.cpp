#include "ui/events/FraEventKey.h"

#include "ui/events/UKeyToggles.h"

#include <QLabel>
#include <QRadioButton>
#include <QStringList>
#include <QToolButton>

#include "behaviour/REventKey.h"
#include "engine/lvk_host.h"

TfraEventkey::TfraEventkey(lvk::TEventKey& Event, TSummaryChanged SummaryChanged, QWidget* Parent)
    : TfraEventMask(Event, "fraEventkey", {300, 48}, 300,
                    "The settings for OnKey - when selecting multiple keys, all must be pressed/released to fire",
                    std::move(SummaryChanged), Parent),
      FEvent(Event) {
  lblKeys = new QLabel("Keys", this);
  lblKeys->setObjectName("lblKeys");
  Place(lblKeys, QRect(2, 8, 0, 0));
  AddKeyToggles();

  const Qt::Edges TopRight = Qt::TopEdge | Qt::RightEdge;
  lblStyle = new QLabel("Style", this);
  lblStyle->setObjectName("lblStyle");
  Place(lblStyle, QRect(181, 8, 0, 0), TopRight);
  rbutPress = new QRadioButton("&Press", this);
  rbutPress->setObjectName("rbutPress");
  Place(rbutPress, QRect(181, 24, 57, 17), TopRight);
  rbutRelease = new QRadioButton("&Release", this);
  rbutRelease->setObjectName("rbutRelease");
  Place(rbutRelease, QRect(232, 24, 65, 17), TopRight);

  rbutPress->setChecked(FEvent.Press());
  rbutRelease->setChecked(!FEvent.Press());
  ShowMask();
  connect(rbutPress, &QRadioButton::clicked, this, &TfraEventkey::rbutPressClick);
  connect(rbutRelease, &QRadioButton::clicked, this, &TfraEventkey::rbutPressClick);
}

unsigned TfraEventkey::EventMask() const { return FEvent.Keys(); }

void TfraEventkey::SetEventMask(unsigned Mask) { FEvent.SetKeys(static_cast<std::uint16_t>(Mask)); }

int TfraEventkey::IndexOfCaption(const std::string& Caption) const { return lvk::TEventKey::IndexOfKey(Caption); }

void TfraEventkey::rbutPressClick() {
  const bool Press = rbutPress->isChecked();
  if (Press == FEvent.Press()) return;
  Apply([&] { FEvent.SetPress(Press); });
}
