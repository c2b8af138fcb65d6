#include "ui/editors/UPaintCanvas.h"

#include <QMouseEvent>
#include <QPainter>

TPaintCanvas::TPaintCanvas(QWidget* Parent) : QWidget(Parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::CrossCursor);
  Resize();
}

void TPaintCanvas::SetPicture(const lvk::TPixels& Picture) {
  if (FSelection.Lifted() && !(FSelection.Shown() == Picture)) FSelection.Clear();
  const bool NewSize = Picture.Width() != FPicture.Width() || Picture.Height() != FPicture.Height();
  FPicture = Picture;
  FStroke.reset();
  FMoved.reset();
  FDrag = TDrag::None;
  if (NewSize) {
    FSelection.Clear();
    Resize();
  }
  update();
}

const lvk::TPixels& TPaintCanvas::Shown() const {
  if (FStroke) return FStroke->Result();
  if (FMoved) return *FMoved;
  return FPicture;
}

void TPaintCanvas::SetColors(const QVector<QRgb>& Colors) {
  FColors = Colors;
  update();
}

void TPaintCanvas::SetOnion(const lvk::TPixels& Onion) {
  FOnion = Onion;
  update();
}

void TPaintCanvas::SetShowOnion(bool Show) {
  FShowOnion = Show;
  update();
}

void TPaintCanvas::SetZoom(int Zoom) {
  FZoom = std::clamp(Zoom, MinZoom, MaxZoom);
  Resize();
  update();
}

void TPaintCanvas::SetPixelGrid(bool Show) {
  FPixelGrid = Show;
  update();
}

void TPaintCanvas::SetTileGrid(bool Show) {
  FTileGrid = Show;
  update();
}

void TPaintCanvas::SetTool(TPaintTool Tool) {
  FTool = Tool;
  if (Tool != TPaintTool::Move) FSelection.Clear();
  update();
}

void TPaintCanvas::SetButtonColors(int Left, int Right) {
  FLeft = Left;
  FRight = Right;
}

QPoint TPaintCanvas::PixelAt(const QPoint& Position) const {
  // Floor division: a point just left of or above the picture is -1, not 0.
  auto Floor = [this](int V) { return V >= 0 ? V / FZoom : (V - FZoom + 1) / FZoom; };
  return {Floor(Position.x()), Floor(Position.y())};
}

void TPaintCanvas::Resize() { setFixedSize(FPicture.Width() * FZoom + 1, FPicture.Height() * FZoom + 1); }

QRgb TPaintCanvas::ColorOf(int Index) const { return Index < FColors.size() ? FColors[Index] : qRgb(0, 0, 0); }

void TPaintCanvas::paintEvent(QPaintEvent*) {
  QPainter P(this);
  P.fillRect(rect(), palette().window());
  const lvk::TPixels& Pixels = Shown();
  const int Z = FZoom;
  const bool Onion = FShowOnion && FOnion.Width() == Pixels.Width() && FOnion.Height() == Pixels.Height();
  const int Half = std::max(Z / 2, 1);
  for (int y = 0; y < Pixels.Height(); ++y)
    for (int x = 0; x < Pixels.Width(); ++x) {
      const QRect Cell(x * Z, y * Z, Z, Z);
      const int Index = Pixels.Get(x, y);
      if (Index != 0) {
        P.fillRect(Cell, QColor(ColorOf(Index)));
        continue;
      }
      // Transparent: a checkerboard, and the previous frame faintly over it.
      P.fillRect(Cell, QColor(236, 236, 236));
      P.fillRect(QRect(Cell.topLeft(), QSize(Half, Half)), QColor(204, 204, 204));
      P.fillRect(QRect(Cell.topLeft() + QPoint(Half, Half), QSize(Z - Half, Z - Half)), QColor(204, 204, 204));
      if (Onion && FOnion.Get(x, y) != 0) {
        QColor Faint(ColorOf(FOnion.Get(x, y)));
        Faint.setAlpha(90);
        P.fillRect(Cell, Faint);
      }
    }
  const int W = Pixels.Width() * Z, H = Pixels.Height() * Z;
  if (FPixelGrid && Z >= 4) {
    P.setPen(QColor(0, 0, 0, 40));
    for (int x = 0; x <= Pixels.Width(); ++x) P.drawLine(x * Z, 0, x * Z, H);
    for (int y = 0; y <= Pixels.Height(); ++y) P.drawLine(0, y * Z, W, y * Z);
  }
  if (FTileGrid) {
    P.setPen(QColor(40, 90, 200, 170));
    for (int x = 0; x <= Pixels.Width(); x += 8) P.drawLine(x * Z, 0, x * Z, H);
    for (int y = 0; y <= Pixels.Height(); y += 8) P.drawLine(0, y * Z, W, y * Z);
  }
  if (FSelection.Active()) {
    const lvk::TPixelRect& R = FSelection.Rect();
    const QRect Outline(R.Left * Z, R.Top * Z, R.Width * Z, R.Height * Z);
    P.setPen(QPen(Qt::white, 1));
    P.drawRect(Outline);
    P.setPen(QPen(Qt::black, 1, Qt::DashLine));
    P.drawRect(Outline);
  }
}

void TPaintCanvas::mousePressEvent(QMouseEvent* Event) {
  const bool Right = Event->button() == Qt::RightButton;
  if (Event->button() != Qt::LeftButton && !Right) return;
  if (FStroke || FDrag != TDrag::None) return;  // a second button during a drag
  const QPoint At = PixelAt(Event->position().toPoint());
  if (!FPicture.Contains(At.x(), At.y())) return;
  if (FTool == TPaintTool::Picker || (Event->modifiers() & Qt::AltModifier)) {
    emit ColorPicked(FPicture.Get(At.x(), At.y()), Right);
    return;
  }
  if (FTool == TPaintTool::Move) {
    FDragFrom = At;
    FDrag = FSelection.Active() && FSelection.Rect().Contains(At.x(), At.y()) ? TDrag::Moving : TDrag::Selecting;
    if (FDrag == TDrag::Selecting) FSelection.Select(lvk::RectFromCorners(At.x(), At.y(), At.x(), At.y()), FPicture);
    update();
    return;
  }
  FStroke.emplace(FTool, FPicture, At.x(), At.y(), static_cast<std::uint8_t>(Right ? FRight : FLeft));
  update();
}

void TPaintCanvas::mouseMoveEvent(QMouseEvent* Event) {
  const QPoint At = PixelAt(Event->position().toPoint());
  if (FPicture.Contains(At.x(), At.y()))
    emit Hovered(At.x(), At.y());
  else
    emit Hovered(-1, -1);
  if (FStroke) {
    FStroke->MoveTo(At.x(), At.y());
    update();
  } else if (FDrag == TDrag::Selecting) {
    FSelection.Select(lvk::RectFromCorners(FDragFrom.x(), FDragFrom.y(), At.x(), At.y()), FPicture);
    update();
  } else if (FDrag == TDrag::Moving && At != FDragFrom) {
    FMoved = FSelection.MoveBy(FPicture, At.x() - FDragFrom.x(), At.y() - FDragFrom.y());
    FDragFrom = At;
    update();
  }
}

void TPaintCanvas::mouseReleaseEvent(QMouseEvent*) {
  std::optional<lvk::TPixels> Result;
  QString Step;
  if (FStroke) {
    Result = FStroke->Result();
    Step = PaintToolInfo(FStroke->Tool()).Name;
    FStroke.reset();
  } else if (FDrag == TDrag::Moving && FMoved) {
    Result = *FMoved;
    Step = "Move";
  }
  FDrag = TDrag::None;
  FMoved.reset();
  update();
  if (Result && !(*Result == FPicture)) {
    FPicture = *Result;  // shown until the owner's model hands it back
    emit Committed(*Result, Step);
  }
}

void TPaintCanvas::leaveEvent(QEvent*) { emit Hovered(-1, -1); }
