#pragma once
// The panes of the actors: the folder pane with its New button, and the pane
// of one actor with its tile, look and a button per event kind for a new handler.
#include <vector>

#include "ui/panes/UItemPane.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;
class TActorLookPanel;

namespace lvk {
class TEventKind;
class TActor;
}  // namespace lvk

// A new-handler button: it makes a handler of its event kind.
class TEvtBitBtn : public TCtrlButton {
  Q_OBJECT
public:
  TEvtBitBtn(const lvk::TEventKind& Kind, QWidget* Parent);
  const lvk::TEventKind& EventKind() const { return FKind; }

private:
  const lvk::TEventKind& FKind;
};

class TPaneActors : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneActors(TPaneHost& Host);
  TCtrlButton* butNewActor;
  void butNewActorClick();
};

class TPaneActor : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneActor(TPaneHost& Host);
  void Show() override;
  lvk::TActor* Actor() const;
  void Follow(const lvk::TChange& Change) override;
  // One button per event kind, in the registry's order.
  void CreateHandlerButtons();
  QLineEdit* edtActorName;
  QComboBox* cbxActorTiles;
  // What an OnCollision with any solid actor collides with.
  QCheckBox* cbxActorSolid;
  // Size, animations, frames and their preview.
  TActorLookPanel* pnlLook;
  QWidget* pnlNewHandler;
  QLabel* lblNewHandler;
  std::vector<TEvtBitBtn*> HandlerButtons;
  void cbxActorTilesChange(int Index);
  void cbxActorSolidClick(bool Solid);
  void butNewHandlerClick(TEvtBitBtn* Button);
};
