#include "ui/events/FraEventAnimationEnd.h"

#include <QLabel>

#include "behaviour/REventAnimationEnd.h"

TfraEventAnimationEnd::TfraEventAnimationEnd(lvk::TEventAnimationEnd& Event, TSummaryChanged SummaryChanged,
                                             QWidget* Parent)
    : TfraEvent(Event, "fraEventAnimationEnd", {260, 48}, 260,
                "Fires when an animation that runs once has shown its last frame", std::move(SummaryChanged),
                Parent) {
  lblEventAnimationEnd = new QLabel("Fires when a \"once\" animation has played to its end", this);
  lblEventAnimationEnd->setObjectName("lblEventAnimationEnd");
  Place(lblEventAnimationEnd, QRect(8, 8, 0, 0));
}
