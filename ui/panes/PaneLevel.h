#pragma once
// The panes of the levels: the folder pane with its New button, and the pane
// of one level with its music, backdrop, size and camera.
#include "ui/panes/UItemPane.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace lvk {
class TLevel;
}

class TPaneLevels : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneLevels(TPaneHost& Host);
  TCtrlButton* butNewLevel;
  void butNewLevelClick();
};

class TPaneLevel : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneLevel(TPaneHost& Host);
  void Show() override;
  lvk::TLevel* Level() const;
  void Follow(const lvk::TChange& Change) override;
  QLineEdit* edtLevelName;
  QPushButton* butEditLayout;
  QComboBox* cbxLevelMusic;  // "(none)", then the game's sounds
  // The colour behind the level: entry 0's first, then the palette's other
  // colours, then the level's own colour when it is none of them. Each
  // item's data is the colour value, none for the first.
  QComboBox* cbxLevelBackdrop;
  // The level's size in cells and where its cells stay when it changes.
  QSpinBox* spnLevelWidth;
  QSpinBox* spnLevelHeight;
  QComboBox* cbxLevelAnchor;  // nine places, top left first, row by row
  QPushButton* butLevelResize;
  // The camera: the actor it follows ("(none)" first), its dead zone, locks.
  QComboBox* cbxCameraFollow;
  QSpinBox* spnDeadWidth;
  QSpinBox* spnDeadHeight;
  QCheckBox* chkLockX;
  QCheckBox* chkLockY;
  void butEditLayoutClick();
  void cbxLevelMusicChange(int Index);
  void cbxLevelBackdropChange(int Index);
  // One undo step; asks first when placed actors would be dropped.
  void butLevelResizeClick();
  void CameraChange();
};
