#pragma once
// The pixel painter: a picture made of a block of tiles (one tile, or an
// actor's frame) painted in the game's palette. Every stroke or command is
// one undo step of the document, named after its tool, written into the
// tiles when it ends, so the tree, the panes and the other windows show it at
// once. There is no OK or Cancel: closing keeps everything. Opened modally by
// the main window, which hands it the document's notices.
#include <QDialog>
#include <functional>
#include <map>
#include <optional>

#include "model/UPixels.h"
#include "model/UTileBlock.h"
#include "ui/editors/UPaintTools.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QScrollArea;
class QStatusBar;
class QToolButton;
class TPaintCanvas;
class TPaintPalette;

namespace lvk {
class TDocument;
class TGame;
struct TChange;
}  // namespace lvk

// What the painter paints, looked up anew for every use, since undo may
// put a new game in place of the old.
struct TPaintTarget {
  std::function<QString()> Caption;
  // The block, or none once it is gone.
  std::function<std::optional<lvk::TTileBlock>()> Block;
  // The previous frame of an animation, shown faintly; none for a tile.
  std::function<lvk::TPixels()> Onion;
  // Goes Delta frames on through an animation; false when there is no other.
  // None for a tile.
  std::function<bool(int Delta)> StepFrame;
  // Asks for a BMP of the block's size and imports it, one step; false when
  // cancelled or refused (the refusal told in a box).
  std::function<bool(QWidget* Parent)> Import;
};

class TfrmPainter : public QDialog {
  Q_OBJECT
public:
  TfrmPainter(QWidget* Parent, lvk::TDocument& Document, TPaintTarget Target);

  // A notice of the document: the picture and palette follow the model.
  void Follow(const lvk::TChange& Change);
  // Picture and palette from the model; closes when the block is gone.
  void Reload();

  void SetTool(TPaintTool Tool);
  int LeftColor() const { return FLeft; }
  int RightColor() const { return FRight; }
  void ChooseColor(int Index, bool RightButton);
  // The zoom as chosen: 0 for fit.
  void SetZoomChoice(int Zoom);
  void StepZoom(int Delta);

  // Commands on the picture, each one step.
  void MirrorHorizontally();
  void MirrorVertically();
  void Rotate();
  void Shift(int DX, int DY);
  void CopySelection();
  void PasteSelection();
  void DeleteSelection();
  // The previous or next frame of an animation.
  void StepFrame(int Delta);
  // A picture from a BMP file of the block's size.
  void ImportPicture();

  TPaintCanvas* imgCanvas;
  QScrollArea* scrCanvas;
  TPaintPalette* grdColors;
  std::map<TPaintTool, QToolButton*> ToolButtons;
  QToolButton *butMirrorH, *butMirrorV, *butRotate, *butUndo, *butRedo, *butHelp;
  QToolButton *butPrevFrame, *butNextFrame, *butImport;
  QComboBox* cbxZoom;
  QCheckBox *cbxPixelGrid, *cbxTileGrid, *cbxOnion;
  QLabel *lblColors, *imgPreview;
  QStatusBar* barStatus;

protected:
  bool event(QEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void showEvent(QShowEvent* Event) override;

private:
  // Writes Picture into the block as the step Step; false when nothing
  // changed or the block is gone.
  bool Commit(const lvk::TPixels& Picture, const QString& Step);
  void ApplyZoom();
  void UpdatePreview();
  void UpdateColors();
  void UpdateUndo();
  void ShowHover(int X, int Y);
  lvk::TGame& Game() const;

  lvk::TDocument& FDocument;
  TPaintTarget FTarget;
  QVector<QRgb> FColors;
  int FLeft = 1;
  int FRight = 0;
  int FZoomChoice = 0;
};
