#pragma once
// The grid of equal cells that the editors show a game's things in: level
// cells, palette entries. The grid owns the geometry, the selection, the
// keyboard and the mouse; its owner draws the cells and decides what a click
// or a drop does.
#include <QAbstractScrollArea>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>

class QPainter;

// Cells of one width and height with lines of one width between them, and
// one rectangular selection. A press on a cell selects it, dragging stretches
// the selection from there, and releasing the button is a click. The
// keyboard moves the current cell and the selection with it (Shift stretches
// the selection from the anchor cell). The owner may start a drag of the
// selection's top-left cell from its press handler while the button is still
// down; the drag ends on a cell that accepts it, or is given up with Escape
// or a release elsewhere.
class TCellGrid : public QAbstractScrollArea {
  Q_OBJECT
public:
  // Scrolling: scroll bars where the cells do not fit, and a line after the
  // last column and row closes them against the background. ShowAll: the
  // widget takes the size of all its cells and never scrolls.
  enum class TSizing { Scrolling, ShowAll };
  // MayBeEmpty: the grid may have no cells and no selection. NeverEmpty: at
  // least one cell, and always at least one cell selected.
  enum class TSelectionRule { MayBeEmpty, NeverEmpty };

  // Cells and lines are kept within sizes that can be drawn and scrolled: a
  // cell is at least 1 pixel, a line at least 0.
  static constexpr int MaxCellSize = 1024;
  static constexpr int MaxLineWidth = 256;

  TCellGrid(TSizing Sizing, TSelectionRule Rule, QWidget* Parent = nullptr);

  int ColCount() const { return FColCount; }
  int RowCount() const { return FRowCount; }
  // Negative counts count as none. Keeps the selection and the current cell
  // inside the new bounds.
  void SetGridSize(int ColCount, int RowCount);
  int CellWidth() const { return FCellWidth; }
  int CellHeight() const { return FCellHeight; }
  void SetCellSize(int Width, int Height);
  int LineWidth() const { return FLineWidth; }
  void SetLineWidth(int Width);
  // Room around the cells for a frame the owner paints; 0 at first.
  int Margin() const { return FMargin; }
  void SetMargin(int Margin);
  // Width and height of all cells with the lines between them.
  QSize ClientSize() const;
  // Whether Space is a click on the selection (on the current cell when
  // nothing is selected); off at first.
  void SetSpaceClicks(bool On) { FSpaceClicks = On; }

  // Columns and rows of the selected cells, corners included; a null
  // rectangle when no cell is selected.
  QRect Selection() const { return FSelection; }
  // Selects nothing (the current cell where the rule keeps a selection).
  void ClearSelection();
  // The cell that has the keyboard's attention; (-1, -1) without cells.
  QPoint CurrentCell() const { return FCurrent; }
  // Selects the single cell and makes it current, without signals.
  void SetSelectedCell(int Column, int Row);

  // Where a cell lies in the viewport, and which cell lies at a viewport
  // point ((-1, -1) for none; a line belongs to the cell before it).
  QRect CellRect(int Column, int Row) const;
  QPoint CellAt(QPoint Position) const;
  void UpdateCell(int Column, int Row);

  void BeginDrag();
  bool Dragging() const { return FMouse == TMouse::Dragging; }

  // Draws one cell into its rectangle; Selected for a cell of the selection.
  std::function<void(QPainter& Painter, const QRect& Rect, int Column, int Row, bool Selected)> DrawCell;
  // Draws the cells of a block at once (Cells in columns and rows), in place
  // of DrawCell for each: a grid of tens of thousands of small cells cannot
  // afford a call per cell. The selection and focus marks still follow.
  std::function<void(QPainter& Painter, const QRect& Cells)> DrawCells;
  // Whether a dragged cell may be dropped on the cell.
  std::function<bool(int Column, int Row)> AcceptsDrop;

signals:
  // The current cell moved, by a press, a mouse drag or a key.
  void CurrentCellChanged(int Column, int Row);
  // A mouse press, after the grid has moved the selection for it.
  void CellPressed(Qt::KeyboardModifiers Modifiers);
  // The mouse button came up after selecting, or Space where it clicks.
  void Clicked();
  void DragDropped(int Column, int Row);
  // Focus went to another control of the window.
  void Exited();

protected:
  bool HasCells() const { return FColCount > 0 && FRowCount > 0; }
  // The marks over the drawn cells: around the selected cells (Outline spans
  // them, lines between them included) and on the current cell while the
  // grid has focus. The preview in a cell may look like what is there
  // already, so the defaults show on any picture.
  virtual void PaintSelection(QPainter& Painter, const QRect& Outline);
  virtual void PaintFocus(QPainter& Painter, const QRect& Cell);

  void paintEvent(QPaintEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void mouseDoubleClickEvent(QMouseEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void focusInEvent(QFocusEvent* Event) override;
  void focusOutEvent(QFocusEvent* Event) override;
  QSize viewportSizeHint() const override;

private:
  enum class TMouse { None, Selecting, Dragging };

  int PitchX() const { return FCellWidth + FLineWidth; }
  int PitchY() const { return FCellHeight + FLineWidth; }
  // Where the top-left corner of the first cell lies in the viewport.
  QPoint Origin() const;
  QSize AreaSize() const;
  QPoint Clamped(QPoint Cell) const;
  void Select(QPoint Cell, bool Extend);
  void EndMouse();
  void EnsureVisible(QPoint Cell);
  void Relayout();
  void UpdateScrollBars();

  const TSizing FSizing;
  const TSelectionRule FRule;
  bool FSpaceClicks = false;
  int FColCount = 0;
  int FRowCount = 0;
  int FCellWidth = 16;
  int FCellHeight = 16;
  int FLineWidth = 2;
  int FMargin = 0;
  QRect FSelection;
  QPoint FAnchor{-1, -1};
  QPoint FCurrent{-1, -1};
  TMouse FMouse = TMouse::None;
};
