#pragma once
// The palette editor: the game's palette as a grid of coloured cells, the
// current entry's components on sliders and edits, and the commands that
// import, export and reshape the palette. It works on the document's own
// palette, so every change is in the game at once; there is no OK or Cancel,
// and closing the window keeps everything. Opened modally from the Tiles pane
// and destroyed when it closes.
#include <QDialog>
#include <QPoint>
#include <QRect>
#include <functional>
#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QStatusBar;

namespace lvk {
class TGame;
class TPalette;
}  // namespace lvk

// A grid of equal cells with 2-pixel lines between them, sized by its owner so
// that every cell is always visible: it never scrolls. One rectangular range
// is selected, stretched from the anchor cell by a mouse drag or by Shift with
// the arrow keys. The owner draws the cells and may start a drag of the
// selection's top-left cell, which ends on another cell or is cancelled with
// Escape or a release outside the cells.
class TPaletteGrid : public QWidget {
  Q_OBJECT
public:
  static constexpr int GridLineWidth = 2;

  explicit TPaletteGrid(QWidget* Parent = nullptr);

  int ColCount() const { return FColCount; }
  int RowCount() const { return FRowCount; }
  // Keeps the selection and the current cell inside the new bounds.
  void SetGridSize(int ColCount, int RowCount);
  int CellWidth() const { return FCellWidth; }
  int CellHeight() const { return FCellHeight; }
  // Sizes below one pixel count as one; the widget takes the size the cells
  // and lines need.
  void SetCellSize(int Width, int Height);
  // Width and height of all cells with the lines between them.
  QSize ClientSize() const;

  // Columns and rows of the selected cells, corners included.
  QRect Selection() const { return FSelection; }
  // The cell that moves with the keyboard and the mouse.
  QPoint CurrentCell() const { return FCurrent; }
  // Selects the single cell and makes it current, without signals.
  void SetSelectedCell(int Column, int Row);

  QRect CellRect(int Column, int Row) const;
  // The cell at a point of the widget, a line belonging to the cell before
  // it; (-1, -1) for none.
  QPoint CellAt(QPoint Position) const;
  void UpdateCell(int Column, int Row);

  // Drag of the selection's top-left cell; the owner starts it from its
  // mouse-press handler while the button is still down.
  void BeginDrag();
  bool Dragging() const { return FDragState == TDragState::Dragging; }

  std::function<void(QPainter& Painter, const QRect& Rect, int Column, int Row, bool Selected)> DrawCell;
  // Whether a dragged cell may be dropped on the cell.
  std::function<bool(int Column, int Row)> AcceptsDrop;

signals:
  // The current cell moved, by a click, a mouse drag or a key.
  void CurrentCellChanged(int Column, int Row);
  // A mouse press, after the grid has moved the selection for it.
  void CellPressed(Qt::KeyboardModifiers Modifiers);
  void DragDropped(int Column, int Row);

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void focusInEvent(QFocusEvent* Event) override;
  void focusOutEvent(QFocusEvent* Event) override;

private:
  enum class TDragState { None, Selecting, Dragging };

  int Margin() const;  // the frame around the cells
  QPoint Clamped(QPoint Cell) const;
  void MoveTo(QPoint Cell, bool Extend);
  void EndDrag();

  int FColCount = 16;
  int FRowCount = 16;
  int FCellWidth = 16;
  int FCellHeight = 15;
  QRect FSelection{0, 0, 1, 1};
  QPoint FAnchor{0, 0};
  QPoint FCurrent{0, 0};
  TDragState FDragState = TDragState::None;
};

class TfrmPaletteEditor : public QDialog {
  Q_OBJECT
public:
  explicit TfrmPaletteEditor(QWidget* Parent = nullptr);
  ~TfrmPaletteEditor() override;

  // The palette to edit, not owned; set before the window is shown. Revert
  // goes back to the palette as it is at this call.
  void SetPalette(lvk::TPalette* Palette);
  // The palette of a game that took the place of the one edited (an undo
  // put it back as a new game); Revert still goes to the original.
  void FollowPalette(lvk::TPalette* Palette);
  lvk::TPalette* Palette() const { return FPalette; }

  int CurrentIndex() const { return FCurrentIndex; }
  void ResetSelection();
  // Sliders, edits, status text and the current cell from entry CurrentIndex.
  void SyncCurrentColor();

  // The filters of the palette file dialogs, by position: bitmap, JASC-PAL, CLRX.
  static const QString FileFilter;

  // Handlers, by the names of the events they are bound to.
  void barRedChange();
  void barGreenChange();
  void barBlueChange();
  void edtRedChange();
  void edtGreenChange();
  void edtBlueChange();
  void pnlGridResize();
  void grdPaletteSelectCell(int Column, int Row);
  void grdPaletteMouseDown(Qt::KeyboardModifiers Modifiers);
  bool grdPaletteDragOver(int Column, int Row) const;
  void grdPaletteDragDrop(int Column, int Row);
  void rbut1618Click();
  void butHelpClick();
  void butImportClick();
  void butExportClick();
  void butDefaultsClick();
  void butRevertClick();
  void butOptimizeClick();
  void butClearClick();
  void butAddClick();
  void butDeleteClick();

  QFrame* pnlSliders;
  QSlider* barRed;
  QSlider* barGreen;
  QSlider* barBlue;
  QLabel* lblRed;
  QLabel* lblGreen;
  QLabel* lblBlue;
  QLineEdit* edtRed;
  QLineEdit* edtGreen;
  QLineEdit* edtBlue;
  QFrame* pnlGrid;
  QLabel* lblPalette;
  QRadioButton* rbut16;
  QRadioButton* rbut18;
  TPaletteGrid* grdPalette;
  QFrame* pnlButtons;
  QPushButton* butHelp;
  QPushButton* butImport;
  QPushButton* butExport;
  QPushButton* butDefaults;
  QPushButton* butRevert;
  QPushButton* butOptimize;
  QPushButton* butClear;
  QPushButton* butAdd;
  QPushButton* butDelete;
  QStatusBar* statBar;
  QLabel* statHint;   // first panel: the hint of the control under the mouse
  QLabel* statEntry;  // second panel: the current entry

protected:
  void showEvent(QShowEvent* Event) override;
  bool event(QEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  void FormShow();
  void ArrangeSliders();
  void ArrangeGridPanel();
  void grdPaletteDrawCell(QPainter& Painter, const QRect& Rect, int Column, int Row, bool Selected);
  int IndexOf(int Column, int Row) const;
  int IndexOf(QPoint Cell) const { return IndexOf(Cell.x(), Cell.y()); }
  void ComponentChanged(int Shift, int Value);
  void EditChanged(QLineEdit* Edit, int Shift);
  // Whole rows, or a part of one row: then the cells from the selection's
  // start index to its end index are exactly the selected ones.
  bool RowShaped() const;
  void Redraw();

  lvk::TPalette* FPalette = nullptr;
  int FCurrentIndex = 0;
  // The palette as it was handed over, for Revert. A palette belongs to a
  // game, so the copy has a game of its own that nothing else sees.
  std::unique_ptr<lvk::TGame> FOriginal;
};
