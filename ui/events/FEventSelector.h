#pragma once
// The event selector: a small modal dialog with one icon button and one
// label per registered event kind, with which the user changes the kind of
// a handler's event. Choosing another kind replaces the event by a new one
// with that kind's defaults; choosing the current kind changes nothing.
#include <QDialog>
#include <vector>

#include "model/UItemRef.h"

class QLabel;
class QPushButton;
class QToolButton;

namespace lvk {
class THandler;
class TEventKind;
}  // namespace lvk

class TfrmEventSelector : public QDialog {
  Q_OBJECT
public:
  explicit TfrmEventSelector(QWidget* Parent = nullptr);

  // The handler whose event the dialog changes (not owned); its current
  // kind's button shows down.
  void SetHandler(lvk::THandler& Handler);

  QWidget* pnlEvents;
  QWidget* pnlRight;
  QPushButton* BitBtn1;  // Help
  QPushButton* butCancel;
  // One of each per registered kind, in the registry's order.
  std::vector<QToolButton*> KindButtons;
  std::vector<QLabel*> KindLabels;

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  void ChooseKind(const lvk::TEventKind& Kind);
  void BitBtn1Click();

  lvk::TItemRef<lvk::THandler> FHandler;
};
