#include "ui/events/FraEventTouch.h"

#include <QLabel>

#include "behaviour/REventTouch.h"

namespace {

// Rows of the compass from the top, which is also the tab order.
constexpr TToggleInfo TouchButtons[] = {
    {"butTouchNW", "NW", 5, 0, "Touching north-west of the actor"},
    {"butTouchN", "N", 45, 0, "Touching north of the actor"},
    {"butTouchNE", "NE", 85, 0, "Touching north-east of the actor"},
    {"butTouchW", "W", 5, 16, "Touching west of the actor"},
    {"butTouchH", "H", 45, 16, "Touching the actor (\"hit\")"},
    {"butTouchE", "E", 85, 16, "Touching east of the actor"},
    {"butTouchSW", "SW", 5, 32, "Touching south-west of the actor"},
    {"butTouchS", "S", 45, 32, "Touching south of the actor"},
    {"butTouchSE", "SE", 85, 32, "Touching south-east of the actor"},
};

}  // namespace

TfraEventTouch::TfraEventTouch(lvk::TEventTouch& Event, TSummaryChanged SummaryChanged, QWidget* Parent)
    : TfraEventMask(Event, "fraEventTouch", {252, 48}, 225,
                    "The settings for OnTouch (the center 'H' is the actor) - when selecting multiple, any touch will "
                    "fire the event",
                    std::move(SummaryChanged), Parent),
      FEvent(Event) {
  AddToggles(TouchButtons, QSize(40, 16));
  lblTouch = AddCompassCaption("lblTouch", "Areas around actor that trigger OnTouch", 104);
  ShowMask();
}

unsigned TfraEventTouch::EventMask() const { return FEvent.Areas(); }

void TfraEventTouch::SetEventMask(unsigned Mask) { FEvent.SetAreas(static_cast<std::uint16_t>(Mask)); }

int TfraEventTouch::IndexOfCaption(const std::string& Caption) const { return lvk::TEventTouch::IndexOfArea(Caption); }
