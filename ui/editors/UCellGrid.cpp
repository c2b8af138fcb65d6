#include "ui/editors/UCellGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>

namespace {

// Positions far off the view stay far off without overflowing what Qt adds to them.
int ClampToInt(qint64 Value) { return static_cast<int>(std::clamp<qint64>(Value, INT_MIN / 2, INT_MAX / 2)); }

}  // namespace

TCellGrid::TCellGrid(TSizing Sizing, TSelectionRule Rule, QWidget* Parent)
    : QAbstractScrollArea(Parent), FSizing(Sizing), FRule(Rule) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  if (FSizing == TSizing::ShowAll) {
    setFrameStyle(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  }
  // Qt repaints a viewport that fills its own background only when the
  // viewport itself is updated, not the grid. Owners of a grid that shows
  // all update the grid, so there the grid paints the background itself.
  viewport()->setAutoFillBackground(FSizing == TSizing::Scrolling);
  if (FRule == TSelectionRule::NeverEmpty) {
    FColCount = FRowCount = 1;
    FAnchor = FCurrent = QPoint(0, 0);
    FSelection = QRect(0, 0, 1, 1);
  }
  Relayout();
}

void TCellGrid::SetGridSize(int ColCount, int RowCount) {
  const int Least = FRule == TSelectionRule::NeverEmpty ? 1 : 0;
  FColCount = std::max(Least, ColCount);
  FRowCount = std::max(Least, RowCount);
  if (!HasCells()) {
    FSelection = QRect();
    FAnchor = FCurrent = QPoint(-1, -1);
    EndMouse();
  } else {
    FCurrent = Clamped(FCurrent.x() < 0 ? QPoint(0, 0) : FCurrent);
    FAnchor = Clamped(FAnchor.x() < 0 ? FCurrent : FAnchor);
    if (!FSelection.isNull()) {
      FSelection = FSelection.intersected(QRect(0, 0, FColCount, FRowCount));
      if (FSelection.isEmpty()) FSelection = FRule == TSelectionRule::NeverEmpty ? QRect(FCurrent, FCurrent) : QRect();
    }
  }
  Relayout();
}

void TCellGrid::SetCellSize(int Width, int Height) {
  FCellWidth = std::clamp(Width, 1, MaxCellSize);
  FCellHeight = std::clamp(Height, 1, MaxCellSize);
  Relayout();
}

void TCellGrid::SetLineWidth(int Width) {
  FLineWidth = std::clamp(Width, 0, MaxLineWidth);
  Relayout();
}

void TCellGrid::SetMargin(int Margin) {
  FMargin = std::clamp(Margin, 0, MaxLineWidth);
  Relayout();
}

QSize TCellGrid::ClientSize() const {
  return {ClampToInt(std::max<qint64>(0, qint64(FColCount) * PitchX() - FLineWidth)),
          ClampToInt(std::max<qint64>(0, qint64(FRowCount) * PitchY() - FLineWidth))};
}

QSize TCellGrid::AreaSize() const {
  const bool Closed = FSizing == TSizing::Scrolling;
  const QSize Cells = ClientSize();
  return {ClampToInt(qint64(Cells.width()) + (Closed && FColCount > 0 ? FLineWidth : 0) + 2 * FMargin),
          ClampToInt(qint64(Cells.height()) + (Closed && FRowCount > 0 ? FLineWidth : 0) + 2 * FMargin)};
}

void TCellGrid::ClearSelection() {
  FSelection = FRule == TSelectionRule::NeverEmpty && HasCells() ? QRect(FCurrent, FCurrent) : QRect();
  // Shift with nothing selected stretches from the current cell.
  FAnchor = FCurrent;
  EndMouse();
  viewport()->update();
}

void TCellGrid::SetSelectedCell(int Column, int Row) {
  if (!HasCells()) return;
  FCurrent = FAnchor = Clamped({Column, Row});
  FSelection = QRect(FCurrent, FCurrent);
  EnsureVisible(FCurrent);
  viewport()->update();
}

QPoint TCellGrid::Origin() const {
  return {ClampToInt(qint64(FMargin) - horizontalScrollBar()->value()),
          ClampToInt(qint64(FMargin) - verticalScrollBar()->value())};
}

QRect TCellGrid::CellRect(int Column, int Row) const {
  const QPoint O = Origin();
  return QRect(ClampToInt(O.x() + qint64(Column) * PitchX()), ClampToInt(O.y() + qint64(Row) * PitchY()),
               FCellWidth, FCellHeight);
}

QPoint TCellGrid::CellAt(QPoint Position) const {
  const qint64 X = qint64(Position.x()) - Origin().x(), Y = qint64(Position.y()) - Origin().y();
  if (X < 0 || Y < 0) return {-1, -1};
  const qint64 Column = X / PitchX(), Row = Y / PitchY();
  if (Column >= FColCount || Row >= FRowCount) return {-1, -1};
  return {int(Column), int(Row)};
}

void TCellGrid::UpdateCell(int Column, int Row) { viewport()->update(CellRect(Column, Row)); }

QPoint TCellGrid::Clamped(QPoint Cell) const {
  return {std::clamp(Cell.x(), 0, std::max(0, FColCount - 1)), std::clamp(Cell.y(), 0, std::max(0, FRowCount - 1))};
}

void TCellGrid::Select(QPoint Cell, bool Extend) {
  if (!Extend || FAnchor.x() < 0) FAnchor = Cell;
  const bool Moved = Cell != FCurrent;
  FCurrent = Cell;
  // Not QRect::normalized(): that treats the corners as edges and loses a
  // row and a column of a selection stretched up or left.
  FSelection = QRect(QPoint(std::min(FAnchor.x(), Cell.x()), std::min(FAnchor.y(), Cell.y())),
                     QPoint(std::max(FAnchor.x(), Cell.x()), std::max(FAnchor.y(), Cell.y())));
  EnsureVisible(Cell);
  viewport()->update();
  if (Moved) emit CurrentCellChanged(Cell.x(), Cell.y());
}

void TCellGrid::BeginDrag() {
  FMouse = TMouse::Dragging;
  viewport()->setCursor(Qt::DragMoveCursor);
}

void TCellGrid::EndMouse() {
  if (FMouse == TMouse::Dragging) viewport()->unsetCursor();
  FMouse = TMouse::None;
}

void TCellGrid::EnsureVisible(QPoint Cell) {
  if (FSizing == TSizing::ShowAll) return;
  auto Scroll = [](QScrollBar* Bar, qint64 Start, int Size, int Visible) {
    if (Start < Bar->value()) Bar->setValue(ClampToInt(Start));
    else if (Start + Size > qint64(Bar->value()) + Visible) Bar->setValue(ClampToInt(Start + Size - Visible));
  };
  Scroll(horizontalScrollBar(), FMargin + qint64(Cell.x()) * PitchX(), FCellWidth, viewport()->width());
  Scroll(verticalScrollBar(), FMargin + qint64(Cell.y()) * PitchY(), FCellHeight, viewport()->height());
}

void TCellGrid::Relayout() {
  if (FSizing == TSizing::ShowAll) setFixedSize(AreaSize());
  UpdateScrollBars();
  viewport()->update();
}

void TCellGrid::UpdateScrollBars() {
  const QSize Area = AreaSize(), View = viewport()->size();
  // A grid that shows all has nothing to scroll, also before its viewport
  // has taken its size.
  const bool Scrolls = FSizing == TSizing::Scrolling;
  horizontalScrollBar()->setRange(0, Scrolls ? std::max(0, Area.width() - View.width()) : 0);
  horizontalScrollBar()->setPageStep(std::max(1, View.width()));
  horizontalScrollBar()->setSingleStep(PitchX());
  verticalScrollBar()->setRange(0, Scrolls ? std::max(0, Area.height() - View.height()) : 0);
  verticalScrollBar()->setPageStep(std::max(1, View.height()));
  verticalScrollBar()->setSingleStep(PitchY());
}

QSize TCellGrid::viewportSizeHint() const { return AreaSize(); }

void TCellGrid::resizeEvent(QResizeEvent* Event) {
  QAbstractScrollArea::resizeEvent(Event);
  UpdateScrollBars();
}

void TCellGrid::paintEvent(QPaintEvent* Event) {
  QPainter Painter(viewport());
  if (!viewport()->autoFillBackground()) Painter.fillRect(Event->rect(), palette().color(QPalette::Base));
  if (!HasCells()) return;
  const QPoint O = Origin();
  const QRect Dirty = Event->rect();
  auto First = [](qint64 From, int Pitch) { return int(std::max<qint64>(0, From / Pitch)); };
  auto Last = [](qint64 To, int Pitch, int Count) { return int(std::min<qint64>(Count - 1, To / Pitch)); };
  const int FirstCol = First(qint64(Dirty.left()) - O.x(), PitchX());
  const int LastCol = Last(qint64(Dirty.right()) - O.x(), PitchX(), FColCount);
  const int FirstRow = First(qint64(Dirty.top()) - O.y(), PitchY());
  const int LastRow = Last(qint64(Dirty.bottom()) - O.y(), PitchY(), FRowCount);

  // The lines are what the cells leave uncovered of the grid's area.
  if (FLineWidth > 0) {
    const QRect TopLeft = CellRect(FirstCol, FirstRow), BottomRight = CellRect(LastCol, LastRow);
    Painter.fillRect(QRect(TopLeft.topLeft(), BottomRight.bottomRight() + QPoint(FLineWidth, FLineWidth)),
                     palette().color(QPalette::Mid));
  }
  if (DrawCells && FirstCol <= LastCol && FirstRow <= LastRow) {
    DrawCells(Painter, QRect(QPoint(FirstCol, FirstRow), QPoint(LastCol, LastRow)));
  } else if (DrawCell) {
    for (int Row = FirstRow; Row <= LastRow; ++Row)
      for (int Column = FirstCol; Column <= LastCol; ++Column) {
        Painter.save();
        DrawCell(Painter, CellRect(Column, Row), Column, Row, FSelection.contains(Column, Row));
        Painter.restore();
      }
  }
  if (!FSelection.isNull())
    PaintSelection(Painter, QRect(CellRect(FSelection.left(), FSelection.top()).topLeft(),
                                  CellRect(FSelection.right(), FSelection.bottom()).bottomRight()));
  if (hasFocus() && FCurrent.x() >= 0) PaintFocus(Painter, CellRect(FCurrent.x(), FCurrent.y()));
}

void TCellGrid::PaintSelection(QPainter& Painter, const QRect& Outline) {
  Painter.setBrush(Qt::NoBrush);
  Painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
  Painter.drawRect(Outline.adjusted(0, 0, -1, -1));
  Painter.setPen(QPen(Qt::white, 1));
  if (Outline.width() > 2 && Outline.height() > 2) Painter.drawRect(Outline.adjusted(1, 1, -2, -2));
}

void TCellGrid::PaintFocus(QPainter& Painter, const QRect& Cell) {
  if (Cell.width() < 4 || Cell.height() < 4) return;
  // Black dots on white show on any picture.
  const QRect Focus = Cell.adjusted(1, 1, -2, -2);
  Painter.setBrush(Qt::NoBrush);
  Painter.setPen(QPen(Qt::white, 1));
  Painter.drawRect(Focus);
  Painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
  Painter.drawRect(Focus);
}

void TCellGrid::mousePressEvent(QMouseEvent* Event) {
  if (Event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(Event);
  if (FMouse == TMouse::Dragging) return;
  const QPoint Cell = CellAt(Event->position().toPoint());
  if (Cell.x() < 0) return;
  setFocus(Qt::MouseFocusReason);
  Select(Cell, Event->modifiers() & Qt::ShiftModifier);
  FMouse = TMouse::Selecting;
  emit CellPressed(Event->modifiers());
}

void TCellGrid::mouseMoveEvent(QMouseEvent* Event) {
  const QPoint Position = Event->position().toPoint();
  if (FMouse == TMouse::Dragging) {
    const QPoint Cell = CellAt(Position);
    const bool Accepts = Cell.x() >= 0 && AcceptsDrop && AcceptsDrop(Cell.x(), Cell.y());
    viewport()->setCursor(Accepts ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
    return;
  }
  if (FMouse != TMouse::Selecting) return QAbstractScrollArea::mouseMoveEvent(Event);
  // A box shown from the press may have taken the release.
  if (!(Event->buttons() & Qt::LeftButton)) {
    FMouse = TMouse::None;
    return;
  }
  // Past the edge of the view the selection stops at the last cell, and the
  // view scrolls towards it.
  const qint64 X = std::max<qint64>(0, qint64(Position.x()) - Origin().x());
  const qint64 Y = std::max<qint64>(0, qint64(Position.y()) - Origin().y());
  const QPoint Cell = Clamped(QPoint(ClampToInt(X / PitchX()), ClampToInt(Y / PitchY())));
  if (Cell != FCurrent || FSelection.isNull()) Select(Cell, true);
}

void TCellGrid::mouseReleaseEvent(QMouseEvent* Event) {
  if (Event->button() != Qt::LeftButton) return QAbstractScrollArea::mouseReleaseEvent(Event);
  if (FMouse == TMouse::Dragging) {
    const QPoint Cell = CellAt(Event->position().toPoint());
    EndMouse();
    if (Cell.x() >= 0 && AcceptsDrop && AcceptsDrop(Cell.x(), Cell.y())) emit DragDropped(Cell.x(), Cell.y());
    return;
  }
  if (FMouse != TMouse::Selecting) return QAbstractScrollArea::mouseReleaseEvent(Event);
  FMouse = TMouse::None;
  emit Clicked();
}

// The second click of a double click comes as this event instead of a
// press; quick clicks on neighbouring cells must not lose it.
void TCellGrid::mouseDoubleClickEvent(QMouseEvent* Event) { mousePressEvent(Event); }

void TCellGrid::keyPressEvent(QKeyEvent* Event) {
  if (FMouse == TMouse::Dragging) {
    if (Event->key() == Qt::Key_Escape) EndMouse();
    return;
  }
  // While the mouse stretches the selection of a scrolling grid, the keys
  // scroll the view and leave the selection to the mouse.
  if (!HasCells() || (FMouse == TMouse::Selecting && FSizing == TSizing::Scrolling))
    return QAbstractScrollArea::keyPressEvent(Event);
  const bool Control = Event->modifiers() & Qt::ControlModifier;
  const int Page = std::max(1, viewport()->height() / PitchY());
  QPoint To = FCurrent;
  switch (Event->key()) {
    case Qt::Key_Left: To.rx() -= 1; break;
    case Qt::Key_Right: To.rx() += 1; break;
    case Qt::Key_Up: To.ry() -= 1; break;
    case Qt::Key_Down: To.ry() += 1; break;
    case Qt::Key_PageUp: To.ry() -= Page; break;
    case Qt::Key_PageDown: To.ry() += Page; break;
    case Qt::Key_Home: To = Control ? QPoint(0, 0) : QPoint(0, To.y()); break;
    case Qt::Key_End: To = Control ? QPoint(FColCount - 1, FRowCount - 1) : QPoint(FColCount - 1, To.y()); break;
    case Qt::Key_Space:
      if (!FSpaceClicks) return QAbstractScrollArea::keyPressEvent(Event);
      // The click goes to the selection, or to the current cell when there
      // is none, so the keyboard can act on a cell without moving off it.
      if (FSelection.isNull()) Select(FCurrent, false);
      emit Clicked();
      return;
    default: return QAbstractScrollArea::keyPressEvent(Event);
  }
  // A key only moves, it never clicks. Against an edge it changes nothing
  // where the selection may be absent, so no selection appears from walking;
  // where one is kept, a plain key still ends a stretched selection.
  To = Clamped(To);
  if (To != FCurrent || FRule == TSelectionRule::NeverEmpty) Select(To, Event->modifiers() & Qt::ShiftModifier);
}

void TCellGrid::focusInEvent(QFocusEvent* Event) {
  QAbstractScrollArea::focusInEvent(Event);
  viewport()->update();
}

void TCellGrid::focusOutEvent(QFocusEvent* Event) {
  QAbstractScrollArea::focusOutEvent(Event);
  // A drag cannot end anywhere else. Switching to another window, a box or
  // a menu does not leave the grid otherwise.
  if (FMouse == TMouse::Dragging) EndMouse();
  if (Event->reason() != Qt::ActiveWindowFocusReason && Event->reason() != Qt::PopupFocusReason) {
    EndMouse();
    emit Exited();
  }
  viewport()->update();
}
