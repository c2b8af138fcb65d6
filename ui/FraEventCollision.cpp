#include "ui/FraEventCollision.h"

#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QStylePainter>
#include <algorithm>

#include "behaviour/REventCollision.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "ui/UPictures.h"

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
// filled.
QPixmap ActorPicture(const lvk::TGame& Game, const lvk::TActor* Actor) {
  return QPixmap::fromImage(ToImage(Game.GetActorBitmap(Actor)));
}

class TActorItemDelegate final : public QStyledItemDelegate {
public:
  TActorItemDelegate(const lvk::TGame& Game, TActorComboBox* List)
      : QStyledItemDelegate(List), FGame(Game), FList(List) {}

  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    Painter->save();
    Painter->setFont(Option.font);
    DrawActorItem(*Painter, Option.rect, ActorPicture(FGame, FList->Actor(Index.row())), Index.data().toString(),
                  Option.state & QStyle::State_Selected, Option.palette);
    Painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    return {QStyledItemDelegate::sizeHint(Option, Index).width() + 22, FList->ItemHeight()};
  }

private:
  const lvk::TGame& FGame;
  TActorComboBox* FList;
};

}  // namespace

TActorComboBox::TActorComboBox(const lvk::TGame& Game, QWidget* Parent) : QComboBox(Parent), FGame(Game) {
  setItemDelegate(new TActorItemDelegate(Game, this));
}

// The list's fixed item height is 16; a larger font gets the room its
// text needs.
int TActorComboBox::ItemHeight() const { return std::max(PictureSize, fontMetrics().height()); }

void TActorComboBox::Fill() {
  clear();
  for (int i = 0; i < FGame.ActorCount(); ++i) {
    lvk::TActor* A = FGame.GetActor(i);
    addItem(QString::fromStdString(A->Name()), QVariant::fromValue(reinterpret_cast<quintptr>(A)));
  }
}

lvk::TActor* TActorComboBox::Actor(int Index) const {
  if (Index < 0 || Index >= count()) return nullptr;
  return reinterpret_cast<lvk::TActor*>(itemData(Index).value<quintptr>());
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
  DrawActorItem(Painter, Field, ActorPicture(FGame, Actor(currentIndex())), currentText(), hasFocus(), palette());
}

TfraEventCollision::TfraEventCollision(lvk::TEventCollision& Event, TSummaryChanged SummaryChanged, QWidget* Parent)
    : TfraEvent(Event, "fraEventCollision", {260, 48}, 260, "The settings for OnCollision", std::move(SummaryChanged),
                Parent),
      FEvent(Event) {
  const Qt::Edges TopRight = Qt::TopEdge | Qt::RightEdge;
  // Created in tab order: the list, then the two styles.
  cbxOtherActor = new TActorComboBox(Game(), this);
  cbxOtherActor->setObjectName("cbxOtherActor");
  SetHint(cbxOtherActor,
          "This event will only fire when the object collides with an actor of the type specified here");
  Place(cbxOtherActor, QRect(8, 22, 105, 22), Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge);
  rbutOverlap = new QRadioButton("&Overlap", this);
  rbutOverlap->setObjectName("rbutOverlap");
  SetHint(rbutOverlap, "When the collision happens, the two actors will overlap");
  Place(rbutOverlap, QRect(128, 24, 57, 17), TopRight);
  rbutRepel = new QRadioButton("&Repel", this);
  rbutRepel->setObjectName("rbutRepel");
  SetHint(rbutRepel, "When the collision is about to happen, make sure the actors don't overlap");
  Place(rbutRepel, QRect(196, 24, 57, 17), TopRight);

  lblCollisionWith = new QLabel("&Collision with", this);
  lblCollisionWith->setObjectName("lblCollisionWith");
  lblCollisionWith->setBuddy(cbxOtherActor);
  Place(lblCollisionWith, QRect(8, 4, 0, 0));
  lblCollisionStyle = new QLabel("Collision style", this);
  lblCollisionStyle->setObjectName("lblCollisionStyle");
  Place(lblCollisionStyle, QRect(128, 4, 0, 0), TopRight);

  rbutOverlap->setChecked(FEvent.Overlap());
  rbutRepel->setChecked(!FEvent.Overlap());
  cbxOtherActor->Fill();
  cbxOtherActor->setCurrentIndex(cbxOtherActor->IndexOf(FEvent.OtherActor()));

  connect(rbutOverlap, &QRadioButton::clicked, this, &TfraEventCollision::rbutOverlapClick);
  connect(rbutRepel, &QRadioButton::clicked, this, &TfraEventCollision::rbutOverlapClick);
  connect(cbxOtherActor, &QComboBox::activated, this, &TfraEventCollision::cbxOtherActorChange);
}

void TfraEventCollision::rbutOverlapClick() {
  const bool Overlap = rbutOverlap->isChecked();
  if (Overlap == FEvent.Overlap()) return;
  Apply([&] { FEvent.SetOverlap(Overlap); });
}

void TfraEventCollision::cbxOtherActorChange(int Index) {
  lvk::TActor* Actor = cbxOtherActor->Actor(Index);
  if (!Actor || Actor == FEvent.OtherActor()) return;
  Apply([&] { FEvent.SetOtherActor(*Actor); });
}
