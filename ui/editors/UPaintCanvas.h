#pragma once
// The painter's picture, enlarged: it draws the pixels (the transparent
// colour 0 as a checkerboard, or over a faint previous frame), the pixel and
// tile grids and the selection, and turns mouse drags into strokes. A stroke
// is shown while the mouse is down and handed on whole when it comes up, so
// the owner makes one undo step of it.
#include <QVector>
#include <QWidget>
#include <QRgb>
#include <optional>

#include "model/UPixels.h"
#include "ui/editors/UPaintTools.h"

class TPaintCanvas : public QWidget {
  Q_OBJECT
public:
  static constexpr int MinZoom = 1;
  static constexpr int MaxZoom = 64;

  explicit TPaintCanvas(QWidget* Parent = nullptr);

  // The picture as the model holds it; a floating selection stays only when
  // the picture is the one it was last put down on.
  void SetPicture(const lvk::TPixels& Picture);
  const lvk::TPixels& Picture() const { return FPicture; }
  // What is shown: the picture with the stroke under way.
  const lvk::TPixels& Shown() const;
  // The palette's colours; an index past them draws black.
  void SetColors(const QVector<QRgb>& Colors);
  // The previous frame, drawn faintly under the picture; empty for none.
  void SetOnion(const lvk::TPixels& Onion);
  const lvk::TPixels& Onion() const { return FOnion; }
  void SetShowOnion(bool Show);
  void SetZoom(int Zoom);
  int Zoom() const { return FZoom; }
  void SetPixelGrid(bool Show);
  void SetTileGrid(bool Show);
  void SetTool(TPaintTool Tool);
  TPaintTool Tool() const { return FTool; }
  // The colours of the left and the right mouse button.
  void SetButtonColors(int Left, int Right);

  TPaintSelection& Selection() { return FSelection; }
  // The pixel under a point of the widget.
  QPoint PixelAt(const QPoint& Position) const;

signals:
  // A stroke or move ended with a different picture: one step named Step.
  void Committed(const lvk::TPixels& Picture, const QString& Step);
  void ColorPicked(int Index, bool RightButton);
  // The pixel under the mouse, (-1, -1) when it left the picture.
  void Hovered(int X, int Y);

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void leaveEvent(QEvent* Event) override;

private:
  void Resize();
  QRgb ColorOf(int Index) const;

  lvk::TPixels FPicture;
  lvk::TPixels FOnion;
  bool FShowOnion = true;
  QVector<QRgb> FColors;
  int FZoom = 16;
  bool FPixelGrid = true;
  bool FTileGrid = true;
  TPaintTool FTool = TPaintTool::Pencil;
  int FLeft = 1;
  int FRight = 0;
  std::optional<TStroke> FStroke;
  TPaintSelection FSelection;
  // The move tool's drag: choosing a rectangle from a corner, or moving the
  // selection from the last pixel reached.
  enum class TDrag { None, Selecting, Moving } FDrag = TDrag::None;
  QPoint FDragFrom;
  std::optional<lvk::TPixels> FMoved;
};
