#include "ui/panes/UItemPane.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "model/UDocument.h"
#include "model/UGame.h"
#include "ui/main/UPaneHost.h"
#include "ui/common/UPictures.h"
#include "ui/panes/UPaneLayout.h"

namespace {

// Runs Leave when the focus moves from the field to another control. Not
// when the window loses it: a box shown for the name takes the focus too.
class TLeaveWatch final : public QObject {
public:
  TLeaveWatch(QLineEdit* Field, std::function<void()> Leave) : QObject(Field), FLeave(std::move(Leave)) {
    Field->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() == QEvent::FocusOut) {
      const Qt::FocusReason Reason = static_cast<QFocusEvent*>(Event)->reason();
      if (Reason != Qt::ActiveWindowFocusReason && Reason != Qt::PopupFocusReason) FLeave();
    }
    return false;
  }

private:
  std::function<void()> FLeave;
};

}  // namespace

// ---- Buttons ----

void TCtrlButton::mousePressEvent(QMouseEvent* Event) {
  FCtrlRecord = (Event->modifiers() & Qt::ControlModifier) ? 1 : 0;
  QPushButton::mousePressEvent(Event);
}

// ---- The common parts ----

TItemPane::TItemPane(TPaneHost& Host, const QString& Name, const QString& Caption, const QString& LongHint,
                     const QString& Keyword)
    : TPane(Name, Caption, LongHint, Keyword), FHost(Host) {}

lvk::TGame& TItemPane::Game() const { return FHost.Game(); }

QLineEdit* TItemPane::NameField(const QString& ObjectName, const QString& Hint) {
  auto* Field = new QLineEdit(this);
  Field->setObjectName(ObjectName);
  Field->setFixedWidth(121);
  SetHints(Field, Hint);
  auto* Label = new QLabel("&Name", this);
  Label->setBuddy(Field);
  QHBoxLayout* R = Row(Body());
  R->addWidget(Label);
  R->addWidget(Field);
  R->addStretch(1);
  return Field;
}

void TItemPane::BindNameField(QLineEdit* Field, const char* Step, std::function<void(const std::string&)> Rename) {
  // Enter and leaving the field both check the text, also when it did not
  // change since a rejected Enter (editingFinished would stay silent then).
  auto Commit = [this, Field, Step, Rename] {
    if (ItemId() == lvk::NoItem) return;
    try {
      lvk::TEdit Edit(Game(), Step);
      Rename(Field->text().toStdString());
    } catch (const std::exception& E) {
      // The application's error box, shown here rather than by unwinding
      // through Qt; the field keeps the rejected text.
      ShowErrorBox(this, QString::fromUtf8(E.what()));
    }
  };
  connect(Field, &QLineEdit::returnPressed, this, Commit);
  new TLeaveWatch(Field, Commit);
}

TCtrlButton* TItemPane::NewButton(const QString& ObjectName, const QString& Glyph, const QString& Caption,
                                  const QString& ShortHint, const QString& LongHint) {
  auto* Button = new TCtrlButton(Caption, this);
  Button->setObjectName(ObjectName);
  Button->setIcon(UiPixmap(Glyph));
  Button->setIconSize(QSize(16, 16));
  Button->setFixedSize(90, 25);
  SetHints(Button, ShortHint, LongHint);
  return Button;
}
