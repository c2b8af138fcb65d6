#pragma once
// The pane of one handler: its event's frame, a comment, and its actions.
#include "ui/panes/UItemPane.h"

class QGroupBox;
class QLineEdit;
class QWidget;
class TfraActions;

namespace lvk {
class THandler;
}

class TPaneHandler : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneHandler(TPaneHost& Host);
  void Show() override;
  void Release() override;
  lvk::THandler* Handler() const;
  QGroupBox* gbxEventEditor;
  QPushButton* butEventOther;
  QPushButton* butEventHelp;
  TfraActions* fraActions;  // the handler's actions, below its event
  QLineEdit* edtHandlerComment;  // a note that tells handlers apart in the tree
  void Follow(const lvk::TChange& Change) override;
  QWidget* Editor() const { return FEditor; }
  void butEventOtherClick();
  void butEventHelpClick();

private:
  QWidget* FEditor = nullptr;
};
