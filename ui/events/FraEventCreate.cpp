#include "ui/events/FraEventCreate.h"

#include <QLabel>

#include "behaviour/REventCreate.h"

TfraEventCreate::TfraEventCreate(lvk::TEventCreate& Event, TSummaryChanged SummaryChanged, QWidget* Parent)
    : TfraEvent(Event, "fraEventCreate", {160, 48}, 160, "The OnCreate event has no settings",
                std::move(SummaryChanged), Parent) {
  lblEventCreate = new QLabel("No settings for OnCreate", this);
  lblEventCreate->setObjectName("lblEventCreate");
  Place(lblEventCreate, QRect(8, 8, 0, 0));
}
