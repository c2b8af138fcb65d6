#include "ui/editors/FPainter.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "model/UChange.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/UPalette.h"
#include "ui/common/UDialogService.h"
#include "ui/common/UHelp.h"
#include "ui/editors/UPaintCanvas.h"
#include "ui/editors/UPaintPalette.h"

namespace {

// The zooms offered besides fit; Ctrl+wheel steps through them.
const int Zooms[] = {8, 12, 16, 24, 32, 48, 64};

// What Ctrl+C took, for Ctrl+V in this or a later painter of the session.
lvk::TPixels PaintClipboard;

void SetHints(QWidget* W, const QString& Short, const QString& Long) {
  W->setToolTip(Short);
  W->setStatusTip(Long);
}

// A tool bar button; its key, if any, acts at once (a button's own shortcut
// would click it only after its animation) and stands in its tip.
QToolButton* Button(QWidget* Parent, const QString& Name, const QString& Text, const QString& Key,
                    const QString& Hint, const QString& LongHint) {
  auto* B = new QToolButton(Parent);
  B->setObjectName(Name);
  B->setText(Text);
  B->setToolButtonStyle(Qt::ToolButtonTextOnly);
  B->setMinimumSize(34, 28);
  if (!Key.isEmpty())
    QObject::connect(new QShortcut(QKeySequence(Key), Parent), &QShortcut::activated, B, &QToolButton::click);
  SetHints(B, Hint, LongHint);
  return B;
}

// The colours of the two buttons, on two lines; entry 0 makes the longest.
QString ColorsText(int Left, int Right) {
  auto Name = [](int I) { return I == 0 ? QString("0 (transparent)") : QString::number(I); };
  return QString("Left: %1\nRight: %2   (X swaps)").arg(Name(Left), Name(Right));
}

}  // namespace

TfrmPainter::TfrmPainter(QWidget* Parent, lvk::TDocument& Document, TPaintTarget Target)
    : QDialog(Parent), FDocument(Document), FTarget(std::move(Target)) {
  setObjectName("frmPainter");
  setWindowTitle(FTarget.Caption());
  SetHelpKeyword(this, "painter");
  setSizeGripEnabled(true);

  auto* Main = new QVBoxLayout(this);
  auto* Tools = new QHBoxLayout;
  Main->addLayout(Tools);
  auto* Group = new QButtonGroup(this);
  // Short captions that read as what they do; the key stands in the tip.
  const std::map<TPaintTool, QString> Captions = {
      {TPaintTool::Pencil, "Pencil"}, {TPaintTool::Line, "Line"},      {TPaintTool::Rectangle, "Rect"},
      {TPaintTool::FilledRectangle, "Filled"}, {TPaintTool::Fill, "Fill"}, {TPaintTool::Picker, "Pick"},
      {TPaintTool::Eraser, "Eraser"}, {TPaintTool::Move, "Move"}};
  for (const TPaintToolInfo& Info : PaintTools()) {
    QToolButton* B = Button(this, QString("butTool") + QString(Info.Name).remove(' '), Captions.at(Info.Tool),
                            Info.Key, Info.Hint, Info.LongHint);
    B->setCheckable(true);
    SetHelpKeyword(B, Info.HelpKeyword);
    Group->addButton(B);
    Tools->addWidget(B);
    ToolButtons[Info.Tool] = B;
    connect(B, &QToolButton::clicked, this, [this, Tool = Info.Tool] { SetTool(Tool); });
  }
  Tools->addSpacing(12);
  butMirrorH = Button(this, "butMirrorH", "Mirror H", "H", "Mirror horizontally (H)",
                      "Mirror horizontally: the left side becomes the right");
  butMirrorV = Button(this, "butMirrorV", "Mirror V", "V", "Mirror vertically (V)",
                      "Mirror vertically: the top becomes the bottom");
  butRotate = Button(this, "butRotate", "Rotate", "T", "Rotate by 90 degrees (T)",
                     "Rotate a square picture a quarter turn clockwise");
  for (QToolButton* B : {butMirrorH, butMirrorV, butRotate}) {
    SetHelpKeyword(B, "painter-commands");
    Tools->addWidget(B);
  }
  connect(butMirrorH, &QToolButton::clicked, this, &TfrmPainter::MirrorHorizontally);
  connect(butMirrorV, &QToolButton::clicked, this, &TfrmPainter::MirrorVertically);
  connect(butRotate, &QToolButton::clicked, this, &TfrmPainter::Rotate);
  Tools->addSpacing(12);
  butUndo = Button(this, "butUndo", "Undo", {}, "Undo (Ctrl+Z)", "Undo the last stroke or command");
  butRedo = Button(this, "butRedo", "Redo", {}, "Redo (Ctrl+Y)", "Redo what was undone");
  Tools->addWidget(butUndo);
  Tools->addWidget(butRedo);
  connect(butUndo, &QToolButton::clicked, this, [this] {
    if (!FDocument.Undo()) QApplication::beep();
  });
  connect(butRedo, &QToolButton::clicked, this, [this] {
    if (!FDocument.Redo()) QApplication::beep();
  });
  Tools->addSpacing(12);
  butPrevFrame = Button(this, "butPrevFrame", "< Frame", "PgUp", "Previous frame (Page Up)",
                        "Paint the previous frame of the animation");
  butNextFrame = Button(this, "butNextFrame", "Frame >", "PgDown", "Next frame (Page Down)",
                        "Paint the next frame of the animation");
  for (QToolButton* B : {butPrevFrame, butNextFrame}) {
    B->setVisible(static_cast<bool>(FTarget.StepFrame));
    Tools->addWidget(B);
  }
  connect(butPrevFrame, &QToolButton::clicked, this, [this] { StepFrame(-1); });
  connect(butNextFrame, &QToolButton::clicked, this, [this] { StepFrame(1); });
  Tools->addSpacing(12);
  butImport = Button(this, "butImport", "Import...", "Ctrl+I", "Import a picture (Ctrl+I)",
                     "Import a BMP file of the picture's size, cut into its tiles as a tile's import keeps it");
  butImport->setVisible(static_cast<bool>(FTarget.Import));
  Tools->addWidget(butImport);
  connect(butImport, &QToolButton::clicked, this, &TfrmPainter::ImportPicture);
  Tools->addStretch(1);
  butHelp = Button(this, "butHelp", "Help", {}, "Help (F1)", "The painter's help page");
  butHelp->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
  butHelp->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  Tools->addWidget(butHelp);
  connect(butHelp, &QToolButton::clicked, this, [this] { HelpByKeyword(HelpKeyword(this), this); });

  auto* Body = new QHBoxLayout;
  Main->addLayout(Body, 1);
  scrCanvas = new QScrollArea(this);
  scrCanvas->setObjectName("scrCanvas");
  scrCanvas->setAlignment(Qt::AlignCenter);
  scrCanvas->setFocusPolicy(Qt::NoFocus);
  scrCanvas->setMinimumSize(300, 300);
  imgCanvas = new TPaintCanvas;
  imgCanvas->setObjectName("imgCanvas");
  SetHints(imgCanvas, {}, "Left button: left colour; right button: right colour; Alt+click picks a colour");
  scrCanvas->setWidget(imgCanvas);
  scrCanvas->viewport()->installEventFilter(this);
  Body->addWidget(scrCanvas, 1);

  auto* Side = new QVBoxLayout;
  Body->addLayout(Side);
  lblColors = new QLabel(this);
  lblColors->setObjectName("lblColors");
  // As large as its longest text from the start: a text that grew with the
  // colour picked would move the palette under the mouse.
  {
    const QFontMetrics Metrics(lblColors->font());
    int Widest = 0;
    for (const QString& Line : ColorsText(0, 0).split('\n')) Widest = std::max(Widest, Metrics.horizontalAdvance(Line));
    lblColors->setFixedSize(Widest + 4, Metrics.lineSpacing() * 2 + 4);
  }
  Side->addWidget(lblColors);
  grdColors = new TPaintPalette(this);
  grdColors->setObjectName("grdColors");
  Side->addWidget(grdColors);
  auto* ZoomRow = new QHBoxLayout;
  auto* ZoomLabel = new QLabel("&Zoom", this);
  cbxZoom = new QComboBox(this);
  cbxZoom->setObjectName("cbxZoom");
  ZoomLabel->setBuddy(cbxZoom);
  cbxZoom->addItem("Fit", 0);
  for (int Z : Zooms) cbxZoom->addItem(QString("%1x").arg(Z), Z);
  SetHints(cbxZoom, "Zoom (Ctrl+wheel, Ctrl++ and Ctrl+-)", "How large a pixel is drawn; Fit fills the window");
  ZoomRow->addWidget(ZoomLabel);
  ZoomRow->addWidget(cbxZoom);
  ZoomRow->addStretch(1);
  Side->addLayout(ZoomRow);
  cbxPixelGrid = new QCheckBox("Pi&xel grid", this);
  cbxPixelGrid->setObjectName("cbxPixelGrid");
  cbxPixelGrid->setChecked(true);
  SetHints(cbxPixelGrid, "Show the pixel grid", "Thin lines between the pixels");
  cbxTileGrid = new QCheckBox("&Tile grid", this);
  cbxTileGrid->setObjectName("cbxTileGrid");
  cbxTileGrid->setChecked(true);
  SetHints(cbxTileGrid, "Show the tile grid", "Lines around every 8x8 tile of the picture");
  cbxOnion = new QCheckBox("&Onion skin", this);
  cbxOnion->setObjectName("cbxOnion");
  cbxOnion->setChecked(true);
  SetHints(cbxOnion, "Show the previous frame faintly", "The previous animation frame under this one");
  for (QCheckBox* C : {cbxPixelGrid, cbxTileGrid, cbxOnion}) Side->addWidget(C);
  auto* PreviewLabel = new QLabel("Real size:", this);
  imgPreview = new QLabel(this);
  imgPreview->setObjectName("imgPreview");
  SetHints(imgPreview, "The picture at its real size and twice that", "How the picture looks on the screen");
  Side->addWidget(PreviewLabel);
  Side->addWidget(imgPreview);
  Side->addStretch(1);

  barStatus = new QStatusBar(this);
  barStatus->setObjectName("barStatus");
  barStatus->setSizeGripEnabled(false);
  Main->addWidget(barStatus);

  connect(imgCanvas, &TPaintCanvas::Committed, this, &TfrmPainter::Commit);
  connect(imgCanvas, &TPaintCanvas::ColorPicked, this, &TfrmPainter::ChooseColor);
  connect(imgCanvas, &TPaintCanvas::Hovered, this, &TfrmPainter::ShowHover);
  connect(grdColors, &TPaintPalette::Chosen, this, &TfrmPainter::ChooseColor);
  connect(cbxZoom, &QComboBox::currentIndexChanged, this,
          [this](int Index) { SetZoomChoice(cbxZoom->itemData(Index).toInt()); });
  connect(cbxPixelGrid, &QCheckBox::toggled, imgCanvas, &TPaintCanvas::SetPixelGrid);
  connect(cbxTileGrid, &QCheckBox::toggled, imgCanvas, &TPaintCanvas::SetTileGrid);
  connect(cbxOnion, &QCheckBox::toggled, imgCanvas, &TPaintCanvas::SetShowOnion);

  auto Key = [this](const QKeySequence& Sequence, auto Do) {
    connect(new QShortcut(Sequence, this), &QShortcut::activated, this, Do);
  };
  Key(QKeySequence(Qt::Key_Left), [this] { Shift(-1, 0); });
  Key(QKeySequence(Qt::Key_Right), [this] { Shift(1, 0); });
  Key(QKeySequence(Qt::Key_Up), [this] { Shift(0, -1); });
  Key(QKeySequence(Qt::Key_Down), [this] { Shift(0, 1); });
  Key(QKeySequence::Copy, [this] { CopySelection(); });
  Key(QKeySequence::Paste, [this] { PasteSelection(); });
  Key(QKeySequence(Qt::Key_Delete), [this] { DeleteSelection(); });
  // Esc puts a selection down; with none it closes the window, as in any dialog.
  Key(QKeySequence(Qt::Key_Escape), [this] {
    if (!imgCanvas->Selection().Active()) {
      close();
      return;
    }
    imgCanvas->Selection().Clear();
    imgCanvas->update();
  });
  Key(QKeySequence::ZoomIn, [this] { StepZoom(1); });
  Key(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { StepZoom(1); });
  Key(QKeySequence::ZoomOut, [this] { StepZoom(-1); });
  Key(QKeySequence(Qt::Key_X), [this] {
    std::swap(FLeft, FRight);
    UpdateColors();
  });
  Key(QKeySequence::Undo, [this] {
    if (!FDocument.Undo()) QApplication::beep();
  });
  for (const QKeySequence& Redo : {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)})
    Key(Redo, [this] {
      if (!FDocument.Redo()) QApplication::beep();
    });

  SetTool(TPaintTool::Pencil);
  Reload();
  UpdateUndo();
  resize(900, 600);  // room for every tool bar button at its full width
}

lvk::TGame& TfrmPainter::Game() const { return FDocument.Game(); }

void TfrmPainter::Reload() {
  const std::optional<lvk::TTileBlock> Block = FTarget.Block();
  if (!Block) {
    reject();  // its tiles are gone (an undo took them)
    return;
  }
  const lvk::TPalette& Palette = Game().Palette();
  FColors.clear();
  for (int i = 0; i < Palette.Count(); ++i) {
    const lvk::TColor C = Palette.GetEntryColor(i);
    FColors.append(qRgb(lvk::GetRValue(C), lvk::GetGValue(C), lvk::GetBValue(C)));
  }
  if (FColors.isEmpty()) FColors.append(qRgb(0, 0, 0));  // entry 0 alone: the eraser still works
  FLeft = std::min(FLeft, static_cast<int>(FColors.size()) - 1);
  FRight = std::min(FRight, static_cast<int>(FColors.size()) - 1);
  imgCanvas->SetColors(FColors);
  grdColors->SetColors(FColors);
  imgCanvas->SetPicture(Block->Read(Palette));
  imgCanvas->SetOnion(FTarget.Onion ? FTarget.Onion() : lvk::TPixels());
  cbxOnion->setEnabled(static_cast<bool>(FTarget.Onion));
  cbxOnion->setVisible(static_cast<bool>(FTarget.Onion));
  butRotate->setEnabled(Block->Columns() == Block->Rows());
  setWindowTitle(FTarget.Caption());
  UpdateColors();
  UpdatePreview();
  ApplyZoom();
}

void TfrmPainter::Follow(const lvk::TChange& Change) {
  using lvk::TChangeKind;
  if (Change.Kind == TChangeKind::Edited) {
    UpdateUndo();
    return;
  }
  if (Change.Kind == TChangeKind::Refreshed || Change.Kind == TChangeKind::Replaced ||
      (Change.Kind == TChangeKind::Changed &&
       (Change.Item == lvk::TItemKind::Tile || Change.Item == lvk::TItemKind::Palette)))
    Reload();
}

bool TfrmPainter::Commit(const lvk::TPixels& Picture, const QString& Step) {
  const std::optional<lvk::TTileBlock> Block = FTarget.Block();
  if (!Block || Picture.Width() != Block->Width() || Picture.Height() != Block->Height()) return false;
  int Changed = 0;
  try {
    lvk::TEdit Edit(Game(), Step.toStdString());
    Changed = Block->Write(Picture, Game().Palette());
  } catch (const std::exception& E) {
    ShowErrorBox(this, QString::fromUtf8(E.what()));
  }
  Reload();  // the model's picture, also after a failure
  return Changed > 0;
}

void TfrmPainter::SetTool(TPaintTool Tool) {
  imgCanvas->SetTool(Tool);
  if (QToolButton* B = ToolButtons.at(Tool); !B->isChecked()) B->setChecked(true);
  barStatus->showMessage(PaintToolInfo(Tool).LongHint);
}

void TfrmPainter::ChooseColor(int Index, bool RightButton) {
  if (Index < 0 || Index >= FColors.size()) return;
  (RightButton ? FRight : FLeft) = Index;
  UpdateColors();
}

void TfrmPainter::UpdateColors() {
  imgCanvas->SetButtonColors(FLeft, FRight);
  grdColors->SetChosen(FLeft, FRight);
  lblColors->setText(ColorsText(FLeft, FRight));
}

void TfrmPainter::UpdateUndo() {
  butUndo->setEnabled(FDocument.CanUndo());
  butRedo->setEnabled(FDocument.CanRedo());
  butUndo->setToolTip(FDocument.CanUndo() ? "Undo " + QString::fromStdString(FDocument.UndoName()) + " (Ctrl+Z)"
                                          : "Undo (Ctrl+Z)");
  butRedo->setToolTip(FDocument.CanRedo() ? "Redo " + QString::fromStdString(FDocument.RedoName()) + " (Ctrl+Y)"
                                          : "Redo (Ctrl+Y)");
}

void TfrmPainter::UpdatePreview() {
  const lvk::TPixels& P = imgCanvas->Picture();
  QImage Image(P.Width(), P.Height(), QImage::Format_RGB32);
  for (int y = 0; y < P.Height(); ++y)
    for (int x = 0; x < P.Width(); ++x) {
      const int I = P.Get(x, y);
      Image.setPixel(x, y, I < FColors.size() ? FColors[I] : qRgb(0, 0, 0));
    }
  // Real size beside twice that: the DS shows a pixel as one of the screen's.
  QPixmap Both(P.Width() * 3 + 8, P.Height() * 2);
  Both.fill(Qt::transparent);
  QPainter Painter(&Both);
  Painter.drawImage(0, 0, Image);
  Painter.drawImage(QRect(P.Width() + 8, 0, P.Width() * 2, P.Height() * 2), Image);
  Painter.end();
  imgPreview->setPixmap(Both);
}

void TfrmPainter::SetZoomChoice(int Zoom) {
  FZoomChoice = Zoom;
  const int Index = cbxZoom->findData(Zoom);
  if (Index >= 0 && Index != cbxZoom->currentIndex()) cbxZoom->setCurrentIndex(Index);
  ApplyZoom();
}

void TfrmPainter::StepZoom(int Delta) {
  const int Now = imgCanvas->Zoom();
  int Next = Now;
  if (Delta > 0) {
    for (int Z : Zooms)
      if (Z > Now) {
        Next = Z;
        break;
      }
  } else {
    Next = Zooms[0];
    for (int Z : Zooms)
      if (Z < Now) Next = Z;
  }
  SetZoomChoice(Next);
}

void TfrmPainter::ApplyZoom() {
  if (FZoomChoice > 0) {
    imgCanvas->SetZoom(FZoomChoice);
    return;
  }
  const lvk::TPixels& P = imgCanvas->Picture();
  if (P.Width() == 0 || P.Height() == 0) return;
  const QSize Room = scrCanvas->viewport()->size() - QSize(4, 4);
  imgCanvas->SetZoom(std::min(Room.width() / P.Width(), Room.height() / P.Height()));
}

void TfrmPainter::resizeEvent(QResizeEvent* Event) {
  QDialog::resizeEvent(Event);
  ApplyZoom();
}

void TfrmPainter::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  ApplyZoom();
}

void TfrmPainter::ShowHover(int X, int Y) {
  if (X < 0) {
    barStatus->clearMessage();
    return;
  }
  const int I = imgCanvas->Shown().Get(X, Y);
  const QString What = I == 0 ? QString("entry 0, transparent")
                              : QString("entry %1 (%2, %3, %4)")
                                    .arg(I)
                                    .arg(qRed(FColors.value(I)))
                                    .arg(qGreen(FColors.value(I)))
                                    .arg(qBlue(FColors.value(I)));
  barStatus->showMessage(QString("%1, %2: %3").arg(X).arg(Y).arg(What));
}

void TfrmPainter::MirrorHorizontally() {
  lvk::TPixels P = imgCanvas->Picture();
  P.MirrorHorizontally();
  Commit(P, "Mirror horizontally");
}

void TfrmPainter::MirrorVertically() {
  lvk::TPixels P = imgCanvas->Picture();
  P.MirrorVertically();
  Commit(P, "Mirror vertically");
}

void TfrmPainter::Rotate() {
  lvk::TPixels P = imgCanvas->Picture();
  if (!P.Rotate90()) {
    barStatus->showMessage("Only a square picture can be rotated");
    QApplication::beep();
    return;
  }
  Commit(P, "Rotate");
}

void TfrmPainter::Shift(int DX, int DY) {
  TPaintSelection& Selection = imgCanvas->Selection();
  if (Selection.Active()) {
    // With a part selected the arrows move it, one pixel a step.
    const lvk::TPixels Moved = Selection.MoveBy(imgCanvas->Picture(), DX, DY);
    Commit(Moved, "Move");
    return;
  }
  lvk::TPixels P = imgCanvas->Picture();
  P.Shift(DX, DY);
  Commit(P, "Shift");
}

void TfrmPainter::CopySelection() {
  TPaintSelection& Selection = imgCanvas->Selection();
  if (!Selection.Active()) {
    barStatus->showMessage("Select a part with the move tool (M) first");
    return;
  }
  PaintClipboard = Selection.Part(imgCanvas->Picture());
  barStatus->showMessage(QString("Copied %1x%2 pixels").arg(PaintClipboard.Width()).arg(PaintClipboard.Height()));
}

void TfrmPainter::PasteSelection() {
  if (PaintClipboard.Width() == 0) {
    barStatus->showMessage("Nothing copied yet: select a part with the move tool (M) and press Ctrl+C");
    return;
  }
  TPaintSelection& Selection = imgCanvas->Selection();
  const int X = Selection.Active() ? Selection.Rect().Left : 0, Y = Selection.Active() ? Selection.Rect().Top : 0;
  SetTool(TPaintTool::Move);
  const lvk::TPixels Pasted = imgCanvas->Selection().PasteAt(imgCanvas->Picture(), PaintClipboard, X, Y);
  Commit(Pasted, "Paste");
  imgCanvas->update();
}

void TfrmPainter::DeleteSelection() {
  TPaintSelection& Selection = imgCanvas->Selection();
  if (!Selection.Active()) return;
  lvk::TPixels P = imgCanvas->Picture();
  P.DrawRect(Selection.Rect(), 0, true);
  Selection.Clear();
  Commit(P, "Eraser");
}

void TfrmPainter::StepFrame(int Delta) {
  if (!FTarget.StepFrame) return;
  if (!FTarget.StepFrame(Delta)) {
    barStatus->showMessage("The animation has no other frame");
    QApplication::beep();
    return;
  }
  imgCanvas->Selection().Clear();
  Reload();
}

void TfrmPainter::ImportPicture() {
  if (!FTarget.Import) return;
  imgCanvas->Selection().Clear();
  if (FTarget.Import(this)) barStatus->showMessage("Imported");
  Reload();
}

bool TfrmPainter::event(QEvent* Event) {
  if (Event->type() == QEvent::StatusTip) {
    barStatus->showMessage(static_cast<QStatusTipEvent*>(Event)->tip());
    return true;
  }
  return QDialog::event(Event);
}

bool TfrmPainter::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == scrCanvas->viewport()) {
    if (Event->type() == QEvent::Wheel) {
      auto* Wheel = static_cast<QWheelEvent*>(Event);
      if (Wheel->modifiers() & Qt::ControlModifier) {
        if (Wheel->angleDelta().y() != 0) StepZoom(Wheel->angleDelta().y() > 0 ? 1 : -1);
        return true;
      }
    } else if (Event->type() == QEvent::Resize) {
      ApplyZoom();
    }
  }
  return QDialog::eventFilter(Watched, Event);
}
