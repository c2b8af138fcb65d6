#include "ui/editors/UPaintPalette.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

TPaintPalette::TPaintPalette(QWidget* Parent) : QWidget(Parent) {
  setToolTip("The game's palette");
  setStatusTip("Left click: the left button's colour; right click: the right button's colour");
}

void TPaintPalette::SetColors(const QVector<QRgb>& Colors) {
  FColors = Colors;
  const int Rows = std::max(1, static_cast<int>((Colors.size() + Columns - 1) / Columns));
  setFixedSize(Columns * CellSize + 1, Rows * CellSize + 1);
  update();
}

void TPaintPalette::SetChosen(int Left, int Right) {
  FLeft = Left;
  FRight = Right;
  update();
}

QRect TPaintPalette::CellRect(int Index) const {
  return {(Index % Columns) * CellSize, (Index / Columns) * CellSize, CellSize, CellSize};
}

int TPaintPalette::IndexAt(const QPoint& Position) const {
  if (Position.x() < 0 || Position.y() < 0 || Position.x() >= Columns * CellSize) return -1;
  const int Index = (Position.y() / CellSize) * Columns + Position.x() / CellSize;
  return Index < FColors.size() ? Index : -1;
}

void TPaintPalette::paintEvent(QPaintEvent*) {
  QPainter P(this);
  P.fillRect(rect(), palette().window());
  for (int i = 0; i < FColors.size(); ++i) {
    const QRect Cell = CellRect(i).adjusted(1, 1, -1, -1);
    if (i == 0) {
      const int H = Cell.width() / 2;
      P.fillRect(Cell, QColor(236, 236, 236));
      P.fillRect(QRect(Cell.topLeft(), QSize(H, H)), QColor(190, 190, 190));
      P.fillRect(QRect(Cell.topLeft() + QPoint(H, H), QSize(Cell.width() - H, Cell.height() - H)),
                 QColor(190, 190, 190));
    } else {
      P.fillRect(Cell, QColor(FColors[i]));
    }
    const bool L = i == FLeft, R = i == FRight;
    if (!L && !R) continue;
    P.setPen(QPen(palette().highlight().color(), 2));
    P.drawRect(Cell.adjusted(0, 0, -1, -1));
    // The letter in a colour that stands out from the cell's.
    const QColor Cellc = i == 0 ? QColor(236, 236, 236) : QColor(FColors[i]);
    P.setPen(Cellc.lightness() > 128 ? Qt::black : Qt::white);
    QFont F = font();
    F.setPixelSize(9);
    F.setBold(true);
    P.setFont(F);
    P.drawText(Cell, Qt::AlignCenter, L && R ? "LR" : (L ? "L" : "R"));
  }
}

void TPaintPalette::mousePressEvent(QMouseEvent* Event) {
  const int Index = IndexAt(Event->position().toPoint());
  if (Index < 0) return;
  if (Event->button() == Qt::LeftButton) emit Chosen(Index, false);
  if (Event->button() == Qt::RightButton) emit Chosen(Index, true);
}

bool TPaintPalette::event(QEvent* Event) {
  if (Event->type() == QEvent::ToolTip) {
    auto* Help = static_cast<QHelpEvent*>(Event);
    const int Index = IndexAt(Help->pos());
    if (Index == 0)
      QToolTip::showText(Help->globalPos(), "Entry 0: transparent", this);
    else if (Index > 0)
      QToolTip::showText(Help->globalPos(),
                         QString("Entry %1: %2, %3, %4")
                             .arg(Index)
                             .arg(qRed(FColors[Index]))
                             .arg(qGreen(FColors[Index]))
                             .arg(qBlue(FColors[Index])),
                         this);
    else
      QToolTip::showText(Help->globalPos(), toolTip(), this);
    return true;
  }
  return QWidget::event(Event);
}
