#include "ui/events/FraEventCollision.h"

#include <QLabel>
#include <QRadioButton>

#include "behaviour/REventCollision.h"
#include "model/UActor.h"
#include "model/UGame.h"

TfraEventCollision::TfraEventCollision(lvk::TEventCollision& Event, TSummaryChanged SummaryChanged, QWidget* Parent)
    : TfraEvent(Event, "fraEventCollision", {260, 48}, 260, "The settings for OnCollision", std::move(SummaryChanged),
                Parent),
      FEvent(Event) {
  const Qt::Edges TopRight = Qt::TopEdge | Qt::RightEdge;
  // Created in tab order: the list, then the two styles.
  cbxOtherActor = new TActorComboBox(Game(), this);
  cbxOtherActor->setObjectName("cbxOtherActor");
  SetHint(cbxOtherActor,
          "This event will only fire when the object collides with an actor of the type specified here|This event "
          "will only fire when the object collides with an actor of the type specified here; \"<any solid "
          "actor>\", offered once an actor is ticked Solid, collides with every solid actor");
  Place(cbxOtherActor, QRect(8, 22, 105, 22), Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge);
  rbutOverlap = new QRadioButton("&Overlap", this);
  rbutOverlap->setObjectName("rbutOverlap");
  SetHint(rbutOverlap, "When the collision happens, the two actors will overlap");
  Place(rbutOverlap, QRect(128, 24, 57, 17), TopRight);
  rbutRepel = new QRadioButton("&Repel", this);
  rbutRepel->setObjectName("rbutRepel");
  SetHint(rbutRepel, "When the collision is about to happen, make sure the actors don't overlap");
  Place(rbutRepel, QRect(196, 24, 57, 17), TopRight);

  lblCollisionWith = new QLabel("&Collision with", this);
  lblCollisionWith->setObjectName("lblCollisionWith");
  lblCollisionWith->setBuddy(cbxOtherActor);
  Place(lblCollisionWith, QRect(8, 4, 0, 0));
  lblCollisionStyle = new QLabel("Collision style", this);
  lblCollisionStyle->setObjectName("lblCollisionStyle");
  Place(lblCollisionStyle, QRect(128, 4, 0, 0), TopRight);

  rbutOverlap->setChecked(FEvent.Overlap());
  rbutRepel->setChecked(!FEvent.Overlap());
  cbxOtherActor->Fill();
  // Offered where it collides with something, and kept where it is chosen.
  bool AnySolid = FEvent.AnySolid();
  for (int i = 0; i < Game().ActorCount(); ++i) AnySolid = AnySolid || Game().GetActor(i)->Solid();
  if (AnySolid) cbxOtherActor->InsertSpecial(0, "<any solid actor>", lvk::TEventCollision::AnySolidName);
  cbxOtherActor->setCurrentIndex(FEvent.AnySolid() ? 0 : cbxOtherActor->IndexOf(FEvent.OtherActor()));

  connect(rbutOverlap, &QRadioButton::clicked, this, &TfraEventCollision::rbutOverlapClick);
  connect(rbutRepel, &QRadioButton::clicked, this, &TfraEventCollision::rbutOverlapClick);
  connect(cbxOtherActor, &QComboBox::activated, this, &TfraEventCollision::cbxOtherActorChange);
}

void TfraEventCollision::rbutOverlapClick() {
  const bool Overlap = rbutOverlap->isChecked();
  if (Overlap == FEvent.Overlap()) return;
  Apply([&] { FEvent.SetOverlap(Overlap); });
}

void TfraEventCollision::cbxOtherActorChange(int Index) {
  lvk::TActor* Actor = cbxOtherActor->Actor(Index);
  if (!Actor) {
    if (Index >= 0 && !FEvent.AnySolid()) Apply([&] { FEvent.SetAnySolid(); });
    return;
  }
  if (Actor == FEvent.OtherActor() && !FEvent.AnySolid()) return;
  Apply([&] { FEvent.SetOtherActor(*Actor); });
}
