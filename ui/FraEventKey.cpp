#include "ui/FraEventKey.h"

#include <QLabel>
#include <QRadioButton>

#include "behaviour/REventKey.h"

namespace {

// In reading order, which is also the tab order: shoulders and the upper
// row first, then the lower row.
constexpr TToggleSpec KeyButtons[] = {
    {"butKeyL", "L", 31, 4, "The left shoulder button"},
    {"butKeyUp", "^", 51, 4, "The cursor up button"},
    {"butTouch", "T", 71, 4, "The touch-the-screen \"button\""},
    {"butStart", "S", 91, 4, "The start button"},
    {"butLid", "C", 111, 4, "The close lid \"button\""},
    {"butKeyX", "X", 131, 4, "The X button"},
    {"butKeyR", "R", 151, 4, "The right shoulder"},
    {"butKeyLeft", "<", 31, 24, "The cursor left button"},
    {"butKeyDown", "v", 51, 24, "The cursor down button"},
    {"butKeyRight", ">", 71, 24, "The cursor right button"},
    {"butSelect", "?", 91, 24, "The select button"},
    {"butKeyY", "Y", 111, 24, "The Y button"},
    {"butKeyB", "B", 131, 24, "The B button"},
    {"butKeyA", "A", 151, 24, "The A button"},
};

}  // namespace

TfraEventkey::TfraEventkey(lvk::TEventKey& Event, TSummaryChanged SummaryChanged, QWidget* Parent)
    : TfraEventMask(Event, "fraEventkey", {300, 48}, 300,
                    "The settings for OnKey - when selecting multiple keys, all must be pressed/released to fire",
                    std::move(SummaryChanged), Parent),
      FEvent(Event) {
  lblKeys = new QLabel("Keys", this);
  lblKeys->setObjectName("lblKeys");
  Place(lblKeys, QRect(2, 8, 0, 0));
  AddToggles(KeyButtons, QSize(20, 20));

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
