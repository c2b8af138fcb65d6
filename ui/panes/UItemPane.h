#pragma once
// What the item panes share: the pane of an item of the document with its
// name field and New buttons, and the button that remembers a Ctrl-click.
#include <QPushButton>
#include <QString>
#include <functional>
#include <string>

#include "ui/common/UDialogService.h"
#include "ui/panes/UPane.h"

class QLineEdit;
class TPaneHost;

namespace lvk {
class TGame;
}

// A button that remembers whether Ctrl was held at its last mouse press:
// a Ctrl-click on a New button keeps the current pane.
class TCtrlButton : public QPushButton {
  Q_OBJECT
public:
  using QPushButton::QPushButton;
  int CtrlRecord() const { return FCtrlRecord; }

protected:
  void mousePressEvent(QMouseEvent* Event) override;

private:
  int FCtrlRecord = 0;
};

// A pane of the main window that works on its document.
class TItemPane : public TPane {
  Q_OBJECT
public:
  TItemPane(TPaneHost& Host, const QString& Name, const QString& Caption, const QString& LongHint,
            const QString& HelpKeyword);
  // A notice of the document while the pane is shown: a pane redraws what
  // another command changed of its element (a picture dropped on its tile).
  virtual void Follow(const lvk::TChange&) {}

protected:
  TPaneHost& Host() const { return FHost; }
  lvk::TGame& Game() const;
  // A name field (or comment) taken on leaving it and on Enter: Rename is called with
  // the text inside the step Step; an error goes on to the application's
  // error box with the field keeping its text.
  void BindNameField(QLineEdit* Field, const char* Step, std::function<void(const std::string&)> Rename);
  QLineEdit* NameField(const QString& ObjectName, const QString& Hint);
  TCtrlButton* NewButton(const QString& ObjectName, const QString& Glyph, const QString& Caption,
                         const QString& ShortHint, const QString& LongHint);

private:
  TPaneHost& FHost;
};
