#include "ui/common/UPictures.h"

#include <QBitmap>
#include <QPainter>
#include <algorithm>

#include "model/UActor.h"
#include "model/UBitmap.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/UTile.h"

QImage ToImage(const lvk::TPeekBitmap& Picture) {
  if (Picture.Empty()) return {};
  QImage Image(Picture.Width(), Picture.Height(), QImage::Format_RGB32);
  try {
    for (int y = 0; y < Picture.Height(); ++y) {
      auto* Line = reinterpret_cast<QRgb*>(Image.scanLine(y));
      for (int x = 0; x < Picture.Width(); ++x) {
        std::uint32_t C = Picture.GetColor(x, y);
        Line[x] = qRgb(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF);
      }
    }
  } catch (const lvk::EGame&) {
    return {};
  }
  return Image;
}

QPixmap IconPixmap(const lvk::TPeekBitmap& Icon) {
  QPixmap Pixmap = QPixmap::fromImage(ToImage(Icon));
  if (!Pixmap.isNull()) Pixmap.setMask(Pixmap.createMaskFromColor(QColor(255, 0, 255)));
  return Pixmap;
}

// The artwork lives in this static library, whose resources the linker
// would drop unless something refers to them.
static void InitUiArt() { Q_INIT_RESOURCE(ui_art); }

QPixmap UiPixmap(const QString& Name) {
  static const bool Ready = (InitUiArt(), true);
  (void)Ready;
  return QPixmap(":/ui/" + Name + ".png");
}

QIcon PictureIcon(const lvk::TPeekBitmap& Picture) {
  const QImage Image = ToImage(Picture);
  if (Image.isNull()) return {};
  return QIcon(QPixmap::fromImage(Image.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

QImage FrameImage(const lvk::TActor& Actor, const std::vector<lvk::TTile*>& Tiles) {
  QImage Image(Actor.Width(), Actor.Height(), QImage::Format_ARGB32);
  Image.fill(Qt::transparent);
  QPainter Painter(&Image);
  for (int r = 0; r < Actor.Rows(); ++r)
    for (int c = 0; c < Actor.Columns(); ++c) {
      const std::size_t Cell = static_cast<std::size_t>(r * Actor.Columns() + c);
      if (Cell < Tiles.size() && Tiles[Cell]) Painter.drawImage(QRect(c * 8, r * 8, 8, 8), ToImage(Tiles[Cell]->Bitmap()));
    }
  return Image;
}

QImage ActorImage(const lvk::TGame& Game, const lvk::TActor& Actor) {
  const std::vector<lvk::TTile*> Frame = Actor.RestingFrame();
  const bool Drawn = Actor.AnimationCount() > 0 && std::any_of(Frame.begin(), Frame.end(), [](auto* T) { return T; });
  if (!Drawn) return ToImage(Game.GetActorBitmap(&Actor));
  const int Side = std::max(Actor.Width(), Actor.Height());
  QImage Square(Side, Side, QImage::Format_ARGB32);
  Square.fill(Qt::transparent);
  QPainter Painter(&Square);
  Painter.drawImage((Side - Actor.Width()) / 2, (Side - Actor.Height()) / 2, FrameImage(Actor, Frame));
  return Square;
}
