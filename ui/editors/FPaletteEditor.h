#pragma once
// The palette editor: the game's palette as a grid of coloured cells, the
// current entry's components on sliders and edits, and the commands that
// import, export and reshape the palette. It works on the document's own
// palette, so every change is in the game at once; there is no OK or Cancel,
// and closing the window keeps everything. Opened modally from the Tiles pane
// and destroyed when it closes.
#include <QDialog>
#include <memory>

#include "ui/editors/UCellGrid.h"

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

// The palette's entries: cells sized by the owner so that every one is
// always visible, in a sunken frame, with 2-pixel lines between them and
// always a selection. The outline of the selection lies in the lines around
// it, so that it hides no colour.
class TPaletteGrid : public TCellGrid {
  Q_OBJECT
public:
  static constexpr int GridLineWidth = 2;

  explicit TPaletteGrid(QWidget* Parent = nullptr);

protected:
  void paintEvent(QPaintEvent* Event) override;
  void PaintSelection(QPainter& Painter, const QRect& Outline) override;
  void PaintFocus(QPainter& Painter, const QRect& Cell) override;
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
