#include "ui/panes/UActorLook.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "generator/UPlaySession.h"
#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UFrameTiles.h"
#include "model/UGame.h"
#include "model/UTile.h"
#include "ui/common/UDialogService.h"
#include "ui/common/UPictures.h"
#include "ui/common/UTileFiles.h"
#include "ui/panes/UPaneLayout.h"

namespace {

QString FromStd(const std::string& S) { return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size())); }

QLabel* Caption(const QString& Text, QWidget* Buddy, QWidget* Parent) {
  auto* Label = new QLabel(Text, Parent);
  Label->setBuddy(Buddy);
  return Label;
}

QPushButton* Button(const QString& Name, const QString& Text, const QString& Hint, QWidget* Parent) {
  auto* B = new QPushButton(Text, Parent);
  B->setObjectName(Name);
  SetHints(B, Hint);
  return B;
}

constexpr int PreviewScale = 2;
// A once animation is shown again after a second on its last frame.
constexpr int OncePause = 60;

}  // namespace

TActorLookPanel::TActorLookPanel(std::function<lvk::TActor*()> Actor, QWidget* Parent)
    : QWidget(Parent), FActor(std::move(Actor)), FPreview(std::make_unique<lvk::TPlaySession>()) {
  setObjectName("pnlActorLook");
  auto* Grid = new QGridLayout(this);
  Grid->setContentsMargins(0, 0, 0, 0);

  cbxActorSize = new QComboBox(this);
  cbxActorSize->setObjectName("cbxActorSize");
  for (const lvk::TSpriteSize& S : lvk::SpriteSizes) cbxActorSize->addItem(QString("%1x%2").arg(S.Width).arg(S.Height));
  SetHints(cbxActorSize, "The actor's size: one of the DS's sprite shapes",
           "The actor's size in pixels: its instances' box, the block of cells it covers in a level, and each frame's "
           "block of tiles");
  Grid->addWidget(Caption("Si&ze", cbxActorSize, this), 0, 0);
  Grid->addWidget(cbxActorSize, 0, 1, Qt::AlignLeft);

  lstAnimations = new QListWidget(this);
  lstAnimations->setObjectName("lstAnimations");
  lstAnimations->setFixedHeight(76);
  SetHints(lstAnimations, "The actor's animations; the first is the one its instances start with");
  butNewAnimation = Button("butNewAnimation", "Ne&w", "Add an animation with one empty frame", this);
  butDeleteAnimation = Button("butDeleteAnimation", "&Remove", "Remove the selected animation", this);
  butAnimationUp = Button("butAnimationUp", "Move &up", "Make the selected animation come earlier (the first starts)",
                          this);
  auto* AnimationButtons = new QVBoxLayout;
  for (QPushButton* B : {butNewAnimation, butDeleteAnimation, butAnimationUp}) AnimationButtons->addWidget(B);
  AnimationButtons->addStretch(1);
  Grid->addWidget(Caption("&Animations", lstAnimations, this), 1, 0, Qt::AlignTop);
  Grid->addWidget(lstAnimations, 1, 1);
  Grid->addLayout(AnimationButtons, 1, 2);

  edtAnimationName = new QLineEdit(this);
  edtAnimationName->setObjectName("edtAnimationName");
  SetHints(edtAnimationName, "The animation's name, which SetAnimation uses");
  spnFrameLength = new QSpinBox(this);
  spnFrameLength->setObjectName("spnFrameLength");
  spnFrameLength->setRange(lvk::MinFrameLength, lvk::MaxFrameLength);
  spnFrameLength->setKeyboardTracking(false);
  SetHints(spnFrameLength, "How many DS frames (1/60 s) each frame shows");
  lblFrameTime = new QLabel(this);
  lblFrameTime->setObjectName("lblFrameTime");
  cbxAnimationMode = new QComboBox(this);
  cbxAnimationMode->setObjectName("cbxAnimationMode");
  for (int m = 0; m < lvk::AnimationModeCount; ++m)
    cbxAnimationMode->addItem(lvk::AnimationModeName(static_cast<lvk::TAnimationMode>(m)));
  SetHints(cbxAnimationMode, "Loop, once (then OnAnimationEnd fires) or back and forth");
  auto* Settings = new QHBoxLayout;
  Settings->addWidget(edtAnimationName, 1);
  Settings->addWidget(Caption("Frame &length", spnFrameLength, this));
  Settings->addWidget(spnFrameLength);
  Settings->addWidget(lblFrameTime);
  Settings->addWidget(Caption("M&ode", cbxAnimationMode, this));
  Settings->addWidget(cbxAnimationMode);
  Grid->addWidget(Caption("An&imation name", edtAnimationName, this), 2, 0);
  Grid->addLayout(Settings, 2, 1, 1, 2);

  lstFrames = new QListWidget(this);
  lstFrames->setObjectName("lstFrames");
  lstFrames->setViewMode(QListView::IconMode);
  lstFrames->setFlow(QListView::LeftToRight);
  lstFrames->setWrapping(false);
  lstFrames->setMovement(QListView::Static);
  lstFrames->setFixedHeight(100);
  SetHints(lstFrames, "The animation's frames, each a block of tiles of the actor's size");
  butAddFrame = Button("butAddFrame", "A&dd frame",
                       "Add a frame after the selected one, a copy of it with tiles of its own", this);
  butDeleteFrame = Button("butDeleteFrame", "Remove fra&me", "Remove the selected frame", this);
  // Its letters are all taken here: Enter in the strip paints as well.
  butPaintFrame = Button("butPaintFrame", "Paint...",
                         "Paint the selected frame pixel by pixel (or double-click it, or press Enter in the strip)", this);
  actPaintFrame = new QAction("Paint...", lstFrames);
  actPaintFrame->setObjectName("actPaintFrame");
  actPaintFrame->setStatusTip("Paint the selected frame pixel by pixel");
  butImportFrame = Button("butImportFrame", "Import...",
                          "Import a BMP picture of the actor's size into the selected frame (Ctrl+I in the strip)",
                          this);
  actImportFrame = new QAction("Import...", lstFrames);
  actImportFrame->setObjectName("actImportFrame");
  actImportFrame->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  actImportFrame->setShortcutContext(Qt::WidgetShortcut);
  actImportFrame->setStatusTip("Import a BMP picture of the actor's size into the selected frame");
  lstFrames->addAction(actPaintFrame);
  lstFrames->addAction(actImportFrame);
  lstFrames->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* FrameButtons = new QVBoxLayout;
  FrameButtons->addWidget(butAddFrame);
  FrameButtons->addWidget(butDeleteFrame);
  FrameButtons->addWidget(butPaintFrame);
  FrameButtons->addWidget(butImportFrame);
  FrameButtons->addStretch(1);
  Grid->addWidget(Caption("Frame stri&p", lstFrames, this), 3, 0, Qt::AlignTop);
  Grid->addWidget(lstFrames, 3, 1);
  Grid->addLayout(FrameButtons, 3, 2);

  cbxFrameTiles = new QComboBox(this);
  cbxFrameTiles->setObjectName("cbxFrameTiles");
  cbxFrameTiles->setIconSize(QSize(16, 16));
  cbxFrameTiles->setMinimumWidth(145);
  SetHints(cbxFrameTiles, "The selected frame's tiles: this one and the ones after it, row by row",
           "Fills the selected frame with the tile chosen and the ones after it in the tile list, row by row");
  imgPreview = new QLabel(this);
  imgPreview->setObjectName("imgPreview");
  imgPreview->setFixedSize(64 * PreviewScale + 4, 64 * PreviewScale + 4);
  imgPreview->setAlignment(Qt::AlignCenter);
  imgPreview->setFrameShape(QFrame::StyledPanel);
  SetHints(imgPreview, "The selected animation as the game plays it");
  auto* PreviewRow = new QHBoxLayout;
  PreviewRow->addWidget(cbxFrameTiles, 0, Qt::AlignTop);
  PreviewRow->addStretch(1);
  PreviewRow->addWidget(new QLabel("Preview", this), 0, Qt::AlignTop);
  PreviewRow->addWidget(imgPreview);
  Grid->addWidget(Caption("Pic&k tiles from", cbxFrameTiles, this), 4, 0, Qt::AlignTop);
  Grid->addLayout(PreviewRow, 4, 1, 1, 2);
  Grid->setColumnStretch(1, 1);

  connect(cbxActorSize, &QComboBox::activated, this, &TActorLookPanel::cbxActorSizeChange);
  connect(lstAnimations, &QListWidget::currentRowChanged, this, [this] {
    if (!FShowing) ShowAnimation();
  });
  connect(lstFrames, &QListWidget::currentRowChanged, this, [this] {
    if (!FShowing) ShowAnimation();
  });
  connect(butNewAnimation, &QPushButton::clicked, this, &TActorLookPanel::butNewAnimationClick);
  connect(butDeleteAnimation, &QPushButton::clicked, this, &TActorLookPanel::butDeleteAnimationClick);
  connect(butAnimationUp, &QPushButton::clicked, this, &TActorLookPanel::butAnimationUpClick);
  connect(edtAnimationName, &QLineEdit::editingFinished, this, &TActorLookPanel::edtAnimationNameDone);
  connect(spnFrameLength, &QSpinBox::valueChanged, this, &TActorLookPanel::spnFrameLengthChange);
  connect(cbxAnimationMode, &QComboBox::activated, this, &TActorLookPanel::cbxAnimationModeChange);
  connect(butAddFrame, &QPushButton::clicked, this, &TActorLookPanel::butAddFrameClick);
  connect(butDeleteFrame, &QPushButton::clicked, this, &TActorLookPanel::butDeleteFrameClick);
  connect(cbxFrameTiles, &QComboBox::activated, this, &TActorLookPanel::cbxFrameTilesChange);
  connect(butPaintFrame, &QPushButton::clicked, this, &TActorLookPanel::butPaintFrameClick);
  connect(actPaintFrame, &QAction::triggered, this, &TActorLookPanel::butPaintFrameClick);
  connect(butImportFrame, &QPushButton::clicked, this, &TActorLookPanel::butImportFrameClick);
  connect(actImportFrame, &QAction::triggered, this, &TActorLookPanel::butImportFrameClick);
  connect(lstFrames, &QListWidget::itemActivated, this, &TActorLookPanel::butPaintFrameClick);
  FTimer.setInterval(1000 / 60);
  connect(&FTimer, &QTimer::timeout, this, &TActorLookPanel::PreviewTick);
}

TActorLookPanel::~TActorLookPanel() = default;

int TActorLookPanel::Animation() const {
  lvk::TActor* A = FActor();
  const int Row = lstAnimations->currentRow();
  return A && Row >= 0 && Row < A->AnimationCount() ? Row : -1;
}

int TActorLookPanel::Frame() const {
  lvk::TActor* A = FActor();
  const int Anim = Animation(), Row = lstFrames->currentRow();
  return Anim >= 0 && Row >= 0 && Row < A->FrameCount(Anim) ? Row : -1;
}

void TActorLookPanel::Change(const char* Step, const std::function<void(lvk::TActor&)>& Do) {
  lvk::TActor* A = FActor();
  if (!A || FShowing) return;
  FChanging = true;
  try {
    lvk::TEdit Edit(A->Owner(), Step);
    Do(*A);
  } catch (const std::exception& E) {
    FChanging = false;
    ShowErrorBox(this, QString::fromUtf8(E.what()));
  }
  FChanging = false;
  ShowLook();
}

void TActorLookPanel::ShowLook() {
  lvk::TActor* A = FActor();
  FShowing = true;
  const int KeepAnimation = std::max(0, lstAnimations->currentRow()), KeepFrame = std::max(0, lstFrames->currentRow());
  setEnabled(A != nullptr);
  lstAnimations->clear();
  if (A) {
    for (int i = 0; i < lvk::SpriteSizeCount; ++i)
      if (lvk::SpriteSizes[i].Width == A->Width() && lvk::SpriteSizes[i].Height == A->Height())
        cbxActorSize->setCurrentIndex(i);
    for (int i = 0; i < A->AnimationCount(); ++i) lstAnimations->addItem(FromStd(A->GetAnimation(i).Name));
    if (A->AnimationCount() > 0) lstAnimations->setCurrentRow(std::min(KeepAnimation, A->AnimationCount() - 1));
    cbxFrameTiles->clear();
    cbxFrameTiles->addItem("<no tile>");
    const lvk::TGame& Game = A->Owner();
    for (int i = 0; i < Game.TileCount(); ++i)
      cbxFrameTiles->addItem(PictureIcon(Game.GetTile(i)->Bitmap()), FromStd(Game.GetTile(i)->Name()));
  }
  lstFrames->setCurrentRow(-1);
  FShowing = false;
  ShowAnimation();
  if (lstFrames->count() > 0) {
    FShowing = true;
    lstFrames->setCurrentRow(std::min(KeepFrame, lstFrames->count() - 1));
    FShowing = false;
    ShowAnimation();
  }
}

void TActorLookPanel::ShowAnimation() {
  lvk::TActor* A = FActor();
  const int Anim = Animation();
  FShowing = true;
  for (QWidget* W : std::initializer_list<QWidget*>{edtAnimationName, spnFrameLength, cbxAnimationMode, lstFrames,
                                                    butAddFrame, butDeleteAnimation, butAnimationUp})
    W->setEnabled(Anim >= 0);
  const int KeepFrame = lstFrames->currentRow();
  FFrames.clear();
  if (Anim < 0) {
    edtAnimationName->clear();
    lstFrames->clear();
  } else {
    const lvk::TAnimation& Animation = A->GetAnimation(Anim);
    edtAnimationName->setText(FromStd(Animation.Name));
    spnFrameLength->setValue(Animation.FrameLength);
    lblFrameTime->setText(QString("%1 s").arg(Animation.FrameLength / 60.0, 0, 'f', 2));
    cbxAnimationMode->setCurrentIndex(static_cast<int>(Animation.Mode));
    butAnimationUp->setEnabled(Anim > 0);
    const int Side = std::max(A->Width(), A->Height()) > 32 ? 1 : 2;
    lstFrames->setIconSize(QSize(A->Width() * Side, A->Height() * Side));
    if (lstFrames->count() != static_cast<int>(Animation.Frames.size())) {
      lstFrames->clear();
      for (std::size_t f = 0; f < Animation.Frames.size(); ++f) lstFrames->addItem(QString::number(f + 1));
    }
    for (std::size_t f = 0; f < Animation.Frames.size(); ++f) {
      FFrames.push_back(FrameImage(*A, A->FrameTiles(Anim, static_cast<int>(f))));
      lstFrames->item(static_cast<int>(f))
          ->setIcon(QPixmap::fromImage(FFrames.back().scaled(lstFrames->iconSize(), Qt::IgnoreAspectRatio,
                                                             Qt::FastTransformation)));
    }
    if (KeepFrame < 0 && lstFrames->count() > 0) lstFrames->setCurrentRow(0);
  }
  const int F = Frame();
  butDeleteFrame->setEnabled(F >= 0 && lstFrames->count() > 1);
  butPaintFrame->setEnabled(F >= 0 && PaintFrame);
  actPaintFrame->setEnabled(butPaintFrame->isEnabled());
  butImportFrame->setEnabled(F >= 0);
  actImportFrame->setEnabled(F >= 0);
  cbxFrameTiles->setEnabled(F >= 0);
  if (F >= 0) {
    const lvk::TTile* First = A->FrameTiles(Anim, F).front();
    cbxFrameTiles->setCurrentIndex(First ? A->Owner().IndexOfTile(First) + 1 : 0);
  }
  FShowing = false;
  RestartPreview();
}

void TActorLookPanel::RestartPreview() {
  lvk::TActor* A = FActor();
  const int Anim = Animation();
  FTimer.stop();
  FPreviewFrame = -1;
  imgPreview->clear();
  if (Anim < 0 || FFrames.empty()) return;
  const lvk::TAnimation& Animation = A->GetAnimation(Anim);
  FPreview->LoadAnimation(*A, Anim);
  FPreview->StartLevel(0);
  FPreviewTicks = 0;
  FPreviewLength = Animation.Mode == lvk::TAnimationMode::Once
                       ? static_cast<int>(Animation.Frames.size()) * Animation.FrameLength + OncePause
                       : 0;
  FPreviewFrame = -2;  // drawn by the first tick
  PreviewTick();
  FTimer.start();
}

void TActorLookPanel::PreviewTick() {
  if (FPreviewFrame == -1 || !FPreview->Engine().game) return;
  if (FPreviewFrame != -2) {
    if (FPreviewLength && ++FPreviewTicks >= FPreviewLength) {
      FPreviewTicks = 0;
      FPreview->StartLevel(0);
    } else {
      FPreview->Step();
    }
  }
  lvk_sprite_t Sprite{};
  lvk_engine_sprite(&FPreview->Engine(), 0, &Sprite);
  const int Shown = Sprite.frame == LVK_NONE ? 0 : Sprite.frame;
  if (Shown == FPreviewFrame || Shown >= static_cast<int>(FFrames.size())) return;
  FPreviewFrame = Shown;
  const QImage& Image = FFrames[static_cast<std::size_t>(Shown)];
  imgPreview->setPixmap(QPixmap::fromImage(Image.scaled(Image.size() * PreviewScale, Qt::IgnoreAspectRatio,
                                                        Qt::FastTransformation)));
}

void TActorLookPanel::cbxActorSizeChange(int Index) {
  if (Index < 0 || Index >= lvk::SpriteSizeCount) return;
  Change("Change actor's size",
         [Index](lvk::TActor& A) { A.SetSize(lvk::SpriteSizes[Index].Width, lvk::SpriteSizes[Index].Height); });
}

void TActorLookPanel::butNewAnimationClick() {
  int Added = -1;
  Change("New animation", [&Added](lvk::TActor& A) { Added = A.AddAnimation(); });
  if (Added >= 0) {
    lstAnimations->setCurrentRow(Added);
    edtAnimationName->setFocus();
    edtAnimationName->selectAll();
  }
}

void TActorLookPanel::butDeleteAnimationClick() {
  const int Anim = Animation();
  if (Anim >= 0) Change("Delete animation", [Anim](lvk::TActor& A) { A.DeleteAnimation(Anim); });
}

void TActorLookPanel::butAnimationUpClick() {
  const int Anim = Animation();
  if (Anim <= 0) return;
  Change("Move animation", [Anim](lvk::TActor& A) { A.MoveAnimation(Anim, Anim - 1); });
  lstAnimations->setCurrentRow(Anim - 1);
}

void TActorLookPanel::edtAnimationNameDone() {
  const int Anim = Animation();
  lvk::TActor* A = FActor();
  if (Anim < 0 || FShowing || edtAnimationName->text().toStdString() == A->GetAnimation(Anim).Name) return;
  const std::string Name = edtAnimationName->text().toStdString();
  Change("Rename animation", [Anim, Name](lvk::TActor& Actor) { Actor.SetAnimationName(Anim, Name); });
}

void TActorLookPanel::spnFrameLengthChange() {
  const int Anim = Animation(), Frames = spnFrameLength->value();
  if (Anim >= 0) Change("Change frame length", [Anim, Frames](lvk::TActor& A) { A.SetFrameLength(Anim, Frames); });
}

void TActorLookPanel::cbxAnimationModeChange(int Index) {
  const int Anim = Animation();
  if (Anim < 0 || Index < 0) return;
  Change("Change animation mode",
         [Anim, Index](lvk::TActor& A) { A.SetAnimationMode(Anim, static_cast<lvk::TAnimationMode>(Index)); });
}

void TActorLookPanel::butAddFrameClick() {
  const int Anim = Animation(), F = Frame();
  if (Anim < 0) return;
  Change("Add frame", [Anim, F](lvk::TActor& A) {
    const int Added = A.AddFrame(Anim, F >= 0 ? A.FrameTiles(Anim, F) : lvk::TFrameTiles{});
    if (F >= 0) A.MoveFrame(Anim, Added, F + 1);
    // Copies, not the same tiles: painting the new frame must leave the old.
    lvk::CopyFrameTiles(A, Anim, F >= 0 ? F + 1 : Added);
  });
  lstFrames->setCurrentRow(F + 1);
}

void TActorLookPanel::butDeleteFrameClick() {
  const int Anim = Animation(), F = Frame();
  if (Anim >= 0 && F >= 0) Change("Delete frame", [Anim, F](lvk::TActor& A) { A.DeleteFrame(Anim, F); });
}

void TActorLookPanel::butPaintFrameClick() {
  const int Anim = Animation(), F = Frame();
  if (Anim >= 0 && F >= 0 && PaintFrame) PaintFrame(Anim, F);
}

void TActorLookPanel::butImportFrameClick() {
  const int Anim = Animation(), F = Frame();
  if (Anim < 0 || F < 0 || FShowing) return;
  const QString Path = Dialogs().OpenFile(this, FrameImportRequest());
  lvk::TActor* A = FActor();
  if (Path.isEmpty() || !A) return;
  // One step of its own; the panel shows the frame once it is done.
  FChanging = true;
  ImportFrameFile(this, *A, Anim, F, Path);
  FChanging = false;
  ShowLook();
}

void TActorLookPanel::cbxFrameTilesChange(int Index) {
  const int Anim = Animation(), F = Frame();
  if (Anim < 0 || F < 0) return;
  Change("Change frame", [Anim, F, Index](lvk::TActor& A) {
    // The tile chosen and the ones after it fill the frame row by row.
    lvk::TFrameTiles Tiles(static_cast<std::size_t>(A.Columns() * A.Rows()), nullptr);
    const lvk::TGame& Game = A.Owner();
    for (std::size_t c = 0; Index > 0 && c < Tiles.size(); ++c)
      if (Index - 1 + static_cast<int>(c) < Game.TileCount()) Tiles[c] = Game.GetTile(Index - 1 + static_cast<int>(c));
    A.SetFrameTiles(Anim, F, Tiles);
  });
}
