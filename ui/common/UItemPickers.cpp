#include "ui/common/UItemPickers.h"

#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>
#include <algorithm>

#include "model/UActor.h"
#include "model/UGame.h"
#include "model/UTile.h"
#include "ui/common/UPictures.h"

namespace {

constexpr int PictureSize = 16;

// One item: the picture 2 pixels in, the text 22 pixels in, both centred
// in the item's height (halved toward zero, so an odd spare pixel goes
// below).
void DrawActorItem(QPainter& Painter, const QRect& R, const QPixmap& Picture, const QString& Text, bool Selected,
                   const QPalette& Palette) {
  Painter.fillRect(R, Palette.brush(Selected ? QPalette::Highlight : QPalette::Base));
  if (!Picture.isNull()) {
    const QRect Square(R.left() + 2, R.top() + (R.height() - PictureSize) / 2, PictureSize, PictureSize);
    Painter.drawPixmap(Square, Picture);
  }
  const int C = Painter.fontMetrics().height();
  Painter.setPen(Palette.color(Selected ? QPalette::HighlightedText : QPalette::Text));
  const QRect TextRect(R.left() + 22, R.top() + (R.height() - C) / 2, R.right() - R.left() - 22, C);
  Painter.drawText(TextRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Text);
}

// Read at every paint: the actor's tile may have changed since the list was
// filled. None for an entry without an actor.
QPixmap ActorPicture(const lvk::TGame& Game, const lvk::TActor* Actor) {
  return Actor ? QPixmap::fromImage(ActorImage(Game, *Actor)) : QPixmap();
}

class TActorItemDelegate final : public QStyledItemDelegate {
public:
  explicit TActorItemDelegate(TActorComboBox* List) : QStyledItemDelegate(List), FList(List) {}

  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    Painter->save();
    Painter->setFont(Option.font);
    DrawActorItem(*Painter, Option.rect, ActorPicture(FList->Game(), FList->Actor(Index.row())), Index.data().toString(),
                  Option.state & QStyle::State_Selected, Option.palette);
    Painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    return {QStyledItemDelegate::sizeHint(Option, Index).width() + 22, FList->ItemHeight()};
  }

private:
  TActorComboBox* FList;
};

}  // namespace

int IndexOfValue(const QComboBox& List, const QString& Value) {
  for (int i = 0; i < List.count(); ++i)
    if (List.itemData(i, ValueRole).toString().compare(Value, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

// ---- Actors ----

TActorComboBox::TActorComboBox(const lvk::TGame& Game, QWidget* Parent) : QComboBox(Parent), FGame(&Game) {
  setItemDelegate(new TActorItemDelegate(this));
}

// The list's fixed item height is 16; a larger font gets the room its
// text needs.
int TActorComboBox::ItemHeight() const { return std::max(PictureSize, fontMetrics().height()); }

void TActorComboBox::Fill() {
  clear();
  for (int i = 0; i < FGame->ActorCount(); ++i) {
    lvk::TActor* A = FGame->GetActor(i);
    const QString Name = QString::fromStdString(A->Name());
    addItem(Name, QVariant::fromValue(A->Id()));
    setItemData(count() - 1, Name, ValueRole);
  }
}

void TActorComboBox::InsertSpecial(int Row, const QString& Text, const QString& Value) {
  insertItem(Row, Text, QVariant::fromValue(lvk::NoItem));
  setItemData(std::clamp(Row, 0, count() - 1), Value, ValueRole);
}

lvk::TActor* TActorComboBox::Actor(int Index) const {
  if (Index < 0 || Index >= count()) return nullptr;
  return FGame->ActorById(itemData(Index).value<lvk::TItemId>());
}

int TActorComboBox::IndexOf(const lvk::TActor* Actor) const {
  for (int i = 0; i < count(); ++i)
    if (this->Actor(i) == Actor) return i;
  return -1;
}

void TActorComboBox::paintEvent(QPaintEvent*) {
  QStylePainter Painter(this);
  QStyleOptionComboBox Opt;
  initStyleOption(&Opt);
  Opt.currentText.clear();
  Opt.currentIcon = QIcon();
  Painter.drawComplexControl(QStyle::CC_ComboBox, Opt);
  if (currentIndex() < 0) return;
  const QRect Field = style()->subControlRect(QStyle::CC_ComboBox, &Opt, QStyle::SC_ComboBoxEditField, this);
  DrawActorItem(Painter, Field, ActorPicture(*FGame, Actor(currentIndex())), currentText(), hasFocus(), palette());
}

// ---- Tiles ----

TTileComboBox::TTileComboBox(const lvk::TGame& Game, QWidget* Parent) : QComboBox(Parent), FGame(&Game) {
  setIconSize(QSize(PictureSize, PictureSize));
}

void TTileComboBox::Fill() {
  clear();
  addItem(PictureIcon(FGame->NoTileBitmap()), "<no tile>");
  setItemData(0, QString(), ValueRole);
  for (int i = 0; i < FGame->TileCount(); ++i) {
    const lvk::TTile* Tile = FGame->GetTile(i);
    const QString Name = QString::fromStdString(Tile->Name());
    addItem(PictureIcon(Tile->Bitmap()), Name);
    setItemData(count() - 1, Name, ValueRole);
  }
}
