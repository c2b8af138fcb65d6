#pragma once
// The frame of OnCollision: which actor this one collides with, chosen from
// a list that shows each actor's picture, and whether the two overlap or
// repel.
#include <QComboBox>

#include "ui/FraEvent.h"

class QLabel;
class QRadioButton;

namespace lvk {
class TActor;
class TEventCollision;
}  // namespace lvk

// A drop-down list of a game's actors, drawn by the program: the actor's
// picture stretched to 16x16, then its name. The closed box draws its
// current item the same way.
class TActorComboBox : public QComboBox {
  Q_OBJECT
public:
  TActorComboBox(const lvk::TGame& Game, QWidget* Parent);

  // Clears the list and adds every actor of the game in the game's order.
  void Fill();
  lvk::TActor* Actor(int Index) const;
  int IndexOf(const lvk::TActor* Actor) const;
  int ItemHeight() const;

protected:
  void paintEvent(QPaintEvent* Event) override;

private:
  const lvk::TGame& FGame;
};

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
