#include "ui/events/FraEventOutside.h"

#include <QLabel>

#include "behaviour/REventOutside.h"

namespace {

// Rows of the compass from the top, which is also the tab order.
constexpr TToggleInfo OutsideButtons[] = {
    {"butOutsideNW", "NW", 5, 0, "Moving north-west outside the screen (rare)"},
    {"butOutsideN", "N", 45, 0, "Moving north outside the screen"},
    {"butOutsideNE", "NE", 85, 0, "Moving north-east outside the screen (rare)"},
    {"butOutsideW", "W", 5, 16, "Moving west outside the screen"},
    {"butOutsideE", "E", 85, 16, "Moving east outside the screen"},
    {"butOutsideSW", "SW", 5, 32, "Moving south-west outside the screen (rare)"},
    {"butOutsideS", "S", 45, 32, "Moving south outside the screen"},
    {"butOutsideSE", "SE", 85, 32, "Moving south-east outside the screen (rare)"},
};

}  // namespace

TfraEventOutside::TfraEventOutside(lvk::TEventOutside& Event, TSummaryChanged SummaryChanged, QWidget* Parent)
    : TfraEventMask(Event, "fraEventOutside", {266, 48}, 260,
                    "The settings for OnOutside (the center is the screen) - when selecting multiple, any outside will "
                    "fire the event",
                    std::move(SummaryChanged), Parent),
      FEvent(Event) {
  AddToggles(OutsideButtons, QSize(40, 16));
  lblOutside = AddCompassCaption("lblOutside", "Areas outside screen that trigger OnOutside", 110);
  ShowMask();
}

unsigned TfraEventOutside::EventMask() const { return FEvent.Areas(); }

void TfraEventOutside::SetEventMask(unsigned Mask) { FEvent.SetAreas(static_cast<std::uint8_t>(Mask)); }

int TfraEventOutside::IndexOfCaption(const std::string& Caption) const {
  return lvk::TEventOutside::IndexOfDirection(Caption);
}
