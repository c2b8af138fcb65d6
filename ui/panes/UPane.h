#pragma once
// A page of the main window's right-hand side: a header strip with an icon
// and a bold caption, a help keyword, a long hint for the status bar, and a
// show handler that reads the model afresh each time the page is shown.
#include <QWidget>

#include "model/UChange.h"

class QLabel;
class QVBoxLayout;

class TPane : public QWidget {
  Q_OBJECT
public:
  TPane(const QString& Name, const QString& Caption, const QString& LongHint, const QString& HelpKeyword,
        QWidget* Parent = nullptr);

  // Folder panes show 18x18 icons; tile, actor and handler panes 16x16 pictures.
  void SetHeaderIcon(const QPixmap& Icon, int Size = 18);
  void SetCaption(const QString& Caption);
  QString Caption() const;

  // The id of the item the pane shows (a tile, actor, handler, level,
  // variable or sound), set when its tree node was selected; the pane looks
  // the item up in the game when it needs it.
  void SetItemId(lvk::TItemId Id) { FItemId = Id; }
  lvk::TItemId ItemId() const { return FItemId; }
  // Whether a notice is about the item the pane shows.
  bool Shows(const lvk::TChange& Change) const { return FItemId != lvk::NoItem && Change.Id == FItemId; }

  // Refreshes the pane from the model.
  virtual void Show() {}
  // Forgets the element and anything made for it, before the document it
  // belongs to goes.
  virtual void Release() { FItemId = lvk::NoItem; }

protected:
  // Where a pane puts its own controls, below the header.
  QVBoxLayout* Body() const { return FBody; }

private:
  QLabel* FIcon;
  QLabel* FCaption;
  QVBoxLayout* FBody;
  lvk::TItemId FItemId = lvk::NoItem;
};
