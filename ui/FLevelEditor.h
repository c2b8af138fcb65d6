#pragma once
// The level layout window: the user places actors on the cells of one level.
// Every placement goes straight into the level through SetCell; there is no
// apply or cancel, and closing the window keeps every change. Ctrl+Z undoes
// a placement (the main window adds the keys when it opens the window).
// Opened modally by the level pane and destroyed when it closes.
#include <QAbstractScrollArea>
#include <QDialog>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace lvk {
class TActor;
class TLevel;
}  // namespace lvk

// A grid of equal square cells with lines of one width between them and one
// rectangular selection. Its owner draws the cells. A press on a cell selects
// it, dragging stretches the selection from there, and releasing the button
// is a click. The keyboard moves the focused cell and the selection with it
// (Shift stretches the selection from the anchor cell); Space is a click.
class TLayoutGrid : public QAbstractScrollArea {
  Q_OBJECT
public:
  // Cells and lines are kept within sizes that can be drawn and scrolled:
  // a cell is at least 1 pixel, a line at least 0.
  static constexpr int MaxCellSize = 1024;
  static constexpr int MaxLineWidth = 256;

  explicit TLayoutGrid(QWidget* Parent = nullptr);

  int ColCount() const { return FColCount; }
  int RowCount() const { return FRowCount; }
  // Negative counts give an empty grid. Keeps the selection and the focused
  // cell inside the new bounds.
  void SetGridSize(int ColCount, int RowCount);

  int CellSize() const { return FCellSize; }
  void SetCellSize(int Size);
  int LineWidth() const { return FLineWidth; }
  void SetLineWidth(int Width);

  // Columns and rows of the selected cells, corners included; a null
  // rectangle when no cell is selected.
  QRect Selection() const { return FSelection; }
  void ClearSelection();
  // The cell that has the keyboard's attention; (-1, -1) in an empty grid.
  QPoint CurrentCell() const { return FCurrent; }

  // Where a cell lies in the viewport, and which cell lies at a viewport
  // point ((-1, -1) for none; a line belongs to the cell before it).
  QRect CellRect(int Column, int Row) const;
  QPoint CellAt(QPoint Position) const;

  // Draws one cell into its rectangle; Selected for a cell of the selection.
  std::function<void(QPainter& Painter, const QRect& Rect, int Column, int Row, bool Selected)> DrawCell;

signals:
  void Clicked();
  // Focus went to another control of the window.
  void Exited();

protected:
  void paintEvent(QPaintEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void focusInEvent(QFocusEvent* Event) override;
  void focusOutEvent(QFocusEvent* Event) override;
  QSize viewportSizeHint() const override;

private:
  int Pitch() const { return FCellSize + FLineWidth; }
  bool HasCells() const { return FColCount > 0 && FRowCount > 0; }
  QPoint Clamped(QPoint Cell) const;
  void Select(QPoint Cell, bool Extend);
  void EnsureVisible(QPoint Cell);
  void UpdateScrollBars();

  int FColCount = 0;
  int FRowCount = 0;
  int FCellSize = 16;
  int FLineWidth = 2;
  QRect FSelection;
  QPoint FAnchor{-1, -1};
  QPoint FCurrent{-1, -1};
  bool FDragging = false;
};

class TfrmLevelEditor : public QDialog {
  Q_OBJECT
public:
  explicit TfrmLevelEditor(QWidget* Parent = nullptr);

  // The level to edit, not owned; set before the window is shown.
  void SetLevel(lvk::TLevel* Level) { FLevel = Level; }
  // The level in a game that took the place of the one edited (an undo put
  // it back as a new game): the list of actors is made again.
  void FollowLevel(lvk::TLevel* Level);
  lvk::TLevel* Level() const { return FLevel; }

  // The values the boxes' texts stand for: a whole number with or without
  // its unit, else 200 and 2.
  int ZoomValue() const;
  int HairsizeValue() const;

  // Handlers, by the names of the events they are bound to.
  void cbxZoomExit();
  void cbxHairsizeExit();
  void butRealClick();
  void butEditClick();
  void grdLayoutClick();
  void grdLayoutNoSelection();
  void BitBtn1Click();

  QWidget* pnlTop;
  QLabel* lblZoom;
  QComboBox* cbxZoom;
  QLabel* lblHairsize;
  QComboBox* cbxHairsize;
  QLabel* lblQuick;
  QPushButton* butReal;
  QPushButton* butEdit;
  QPushButton* BitBtn1;
  QWidget* pnlLeft;
  QLabel* lblActors;
  QListWidget* lbxActors;
  QWidget* pnlClient;
  QLabel* lblLayout;
  TLayoutGrid* grdLayout;

protected:
  void showEvent(QShowEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  void FormShow();
  void FillActors();
  void ApplyView();
  void Arrange();
  // The actor of the chosen list entry (nullptr for "<erase>"); false when
  // no entry is chosen.
  bool ChosenActor(lvk::TActor*& Actor) const;
  void grdLayoutDrawCell(QPainter& Painter, const QRect& Rect, int Column, int Row, bool Selected);
  // What GetActorBitmap gives for an actor, made once per showing: the
  // actors and their tiles cannot change while this modal window is open.
  const QImage& Picture(const lvk::TActor* Actor);

  lvk::TLevel* FLevel = nullptr;
  QHash<const lvk::TActor*, QImage> FPictures;
};
