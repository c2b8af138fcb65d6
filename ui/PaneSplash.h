#pragma once
// The welcome pane: the logo and the four steps to a first game.
#include "ui/UPane.h"

class TPaneSplash : public TPane {
  Q_OBJECT
public:
  explicit TPaneSplash(QWidget* Parent = nullptr);
};
