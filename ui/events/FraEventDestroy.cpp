#include "ui/events/FraEventDestroy.h"

#include <QLabel>

#include "behaviour/REventDestroy.h"

TfraEventDestroy::TfraEventDestroy(lvk::TEventDestroy& Event, TSummaryChanged SummaryChanged, QWidget* Parent)
    : TfraEvent(Event, "fraEventDestroy", {163, 48}, 160, "The OnDestroy event has no settings",
                std::move(SummaryChanged), Parent) {
  lblEventCreate = new QLabel("No settings for OnDestroy", this);
  lblEventCreate->setObjectName("lblEventCreate");
  Place(lblEventCreate, QRect(8, 8, 0, 0));
}
