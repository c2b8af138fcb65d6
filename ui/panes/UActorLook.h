#pragma once
// The actor pane's look: the sprite size, the animations with their frame
// length and mode, the selected animation's frames as a strip, the tiles a
// frame is picked from, and a preview that plays the animation at its real
// speed through the game engine itself. Every change is one undo step; a
// frame is painted in the painter its owner opens.
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>


class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace lvk {
class TActor;
class TPlaySession;
class TTile;
}

class TActorLookPanel : public QWidget {
  Q_OBJECT
public:
  // Actor gives the actor shown, or null; the panel keeps no pointer to it.
  TActorLookPanel(std::function<lvk::TActor*()> Actor, QWidget* Parent);
  ~TActorLookPanel() override;
  // Reads the actor afresh, keeping the selected animation and frame.
  void ShowLook();
  // The actor changed (an undo, a rename elsewhere): shown afresh, unless
  // the change is the panel's own, which shows it when done.
  void Follow() {
    if (!FChanging) ShowLook();
  }
  // Opens the painter on frame Frame of animation Anim; set by the owner.
  std::function<void(int Anim, int Frame)> PaintFrame;
  // The frame shown in the preview now, from 0 (-1: none).
  int PreviewFrame() const { return FPreviewFrame; }

  QComboBox* cbxActorSize;
  QListWidget* lstAnimations;
  QPushButton* butNewAnimation;
  QPushButton* butDeleteAnimation;
  QPushButton* butAnimationUp;
  QLineEdit* edtAnimationName;
  QSpinBox* spnFrameLength;
  QLabel* lblFrameTime;
  QComboBox* cbxAnimationMode;
  QListWidget* lstFrames;
  QPushButton* butAddFrame;
  QPushButton* butDeleteFrame;
  QPushButton* butPaintFrame;
  QPushButton* butImportFrame;
  // The frame strip's context menu, and what double-click and Enter do.
  QAction* actPaintFrame;
  QAction* actImportFrame;
  QComboBox* cbxFrameTiles;
  QLabel* imgPreview;

  void cbxActorSizeChange(int Index);
  void butNewAnimationClick();
  void butDeleteAnimationClick();
  void butAnimationUpClick();
  void edtAnimationNameDone();
  void spnFrameLengthChange();
  void cbxAnimationModeChange(int Index);
  void butAddFrameClick();
  void butDeleteFrameClick();
  void butPaintFrameClick();
  // A BMP of the actor's size into the selected frame's own tiles.
  void butImportFrameClick();
  void cbxFrameTilesChange(int Index);
  // One step of the preview (1/60 s).
  void PreviewTick();

private:
  int Animation() const;
  int Frame() const;
  // Runs Do on the actor inside one edit named Step; an error is shown in
  // the application's error box and the panel shows the actor as it is.
  void Change(const char* Step, const std::function<void(lvk::TActor&)>& Do);
  void ShowAnimation();
  void RestartPreview();

  std::function<lvk::TActor*()> FActor;
  bool FShowing = false;
  bool FChanging = false;
  // The preview: a one-actor game of the selected animation, run by a play
  // session of its own, and its frames' pictures.
  QTimer FTimer;
  std::vector<QImage> FFrames;
  int FPreviewFrame = -1;
  int FPreviewTicks = 0;
  int FPreviewLength = 0;
  std::unique_ptr<lvk::TPlaySession> FPreview;
};
