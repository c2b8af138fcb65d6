#pragma once
// The level layout window: the user places actors on the cells of one level.
// Every placement goes straight into the level through SetCell; there is no
// apply or cancel, and closing the window keeps every change. Ctrl+Z undoes
// a placement (the main window adds the keys when it opens the window).
// Opened modally by the level pane and destroyed when it closes.
#include <QDialog>
#include <QHash>
#include <QImage>

#include "model/UItemRef.h"
#include "ui/editors/UCellGrid.h"
#include "ui/editors/ULevelCover.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace lvk {
class TActor;
class TLevel;
struct TChange;
}  // namespace lvk

// The level's cells: square, in a scrolling view, with Space as a click and
// a selection that may be absent (it previews what a click places). The
// wheel scrolls, Ctrl+wheel zooms around the mouse, the middle button drags
// the view; a frame marks what the DS screen shows when the level starts.
class TLayoutGrid : public TCellGrid {
  Q_OBJECT
public:
  explicit TLayoutGrid(QWidget* Parent = nullptr);

  int CellSize() const { return CellWidth(); }
  void SetCellSize(int Size) { TCellGrid::SetCellSize(Size, Size); }
  // The DS screen at the camera's start, in level pixels (8 a cell); a null
  // rectangle for none.
  void SetScreenFrame(const QRect& Pixels);
  // Where a level pixel lies in the viewport, at the zoom in use.
  QPoint ViewPoint(QPointF LevelPixel) const;
  // The level pixel under a viewport point.
  QPointF LevelPixelAt(QPoint Position) const;
  // Scrolls so that level pixel LevelPixel lies under viewport point At.
  void ScrollTo(QPointF LevelPixel, QPoint At);

signals:
  // Ctrl+wheel: Steps up (positive) or down, around viewport point At.
  void ZoomAsked(int Steps, QPoint At);
  void Scrolled();

protected:
  void paintEvent(QPaintEvent* Event) override;
  void wheelEvent(QWheelEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void scrollContentsBy(int Dx, int Dy) override;

private:
  QRect FScreenFrame;
  QPoint FPanFrom{-1, -1};  // where a middle-button drag last was
};

// The whole level small, with the part the layout view shows framed; a
// click or drag on it moves the view there.
class TLevelOverview : public QWidget {
  Q_OBJECT
public:
  explicit TLevelOverview(QWidget* Parent = nullptr);
  // The level's cells as one pixel each, made by the owner.
  void SetPicture(const QImage& Cells);
  // The view's part, in cells.
  void SetView(const QRectF& Cells);

signals:
  void Jump(QPointF Cell);

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;

private:
  QRectF PictureRect() const;
  QImage FCells;
  QRectF FView;
};

class TfrmLevelEditor : public QDialog {
  Q_OBJECT
public:
  explicit TfrmLevelEditor(QWidget* Parent = nullptr);
  ~TfrmLevelEditor() override;

  // The level to edit, held by id; set before the window is shown.
  void SetLevel(lvk::TLevel* Level);
  // Another level to show, or none (the level went): the list of actors is
  // made again.
  void FollowLevel(lvk::TLevel* Level);
  // After an undo or redo: the grid and the overview show the level as it
  // is now, and the cell under the mouse stops previewing the chosen actor
  // (an undone placement would seem to stay until the mouse moved on).
  void ShowUndone();
  // A notice of the document: redraws for changes to its level and to the
  // looks of the actors and tiles it shows, refills the list of actors when
  // it changed; any other notice is let be.
  void Follow(const lvk::TChange& Change);
  // Plays the game from the level edited, with the window left open; the
  // window's Play button (F5) is enabled once this is set.
  void SetPlay(std::function<void()> Play);
  // Null once the level is gone.
  lvk::TLevel* Level() const;

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
  QPushButton* butPlay;
  QPushButton* BitBtn1;
  QWidget* pnlLeft;
  QLabel* lblActors;
  QListWidget* lbxActors;
  QLabel* lblOverview;
  TLevelOverview* pnlOverview;
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
  // Zooms by Steps of the zoom list around viewport point At.
  void ZoomAround(int Steps, QPoint At);
  // The overview's picture and the screen frame, after the cells changed.
  void RefreshOverview();
  void ShowViewInOverview();
  void Arrange();
  // The actor of the chosen list entry (nullptr for "<erase>"); false when
  // no entry is chosen.
  bool ChosenActor(lvk::TActor*& Actor) const;
  // What GetActorBitmap gives for an actor, made once and kept until a
  // notice says that looks changed (an undo past the window's own steps).
  // An actor's picture: its tile's, or for an actor with a look its resting
  // frame at its size.
  const QImage& Picture(const lvk::TActor* Actor);
  // Draws a block of cells as one picture, from the looks of the cells.
  void grdLayoutDrawCells(QPainter& Painter, const QRect& Cells);
  // The cells changed (or what they show): the looks are worked out again
  // before the next drawing.
  void CellsChanged();
  // The actors' pictures are made again: the list's and the cells'.
  void LooksChanged();
  // Whether an actor of the game is drawn with Tile.
  bool TileShown(lvk::TItemId Tile) const;
  // A look at the cell size: the scenery, and the live actor over it.
  QImage LookPicture(const TCellLook& Look, QSize Size);
  void DrawPart(QPainter& Painter, const QRect& Rect, const lvk::TActor* Actor, const QPoint& Part);

  lvk::TItemRef<lvk::TLevel> FLevel;
  std::function<void()> Play;
  QHash<lvk::TItemId, QImage> FPictures;  // by actor id; NoItem: the empty cell
  TLevelCover FCover;
  bool FCoverStale = true;
  bool FActorsStale = false;  // an actor of the list is going
  // Each look's picture at the cell size in use; null until first drawn.
  std::vector<QImage> FLookPictures;
  QSize FLookSize;
};
