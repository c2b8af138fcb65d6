#include "ui/editors/FLevelEditor.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cmath>

#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "ui/common/UDialogService.h"
#include "ui/common/UHelp.h"
#include "ui/common/UPictures.h"

// ---------------------------------------------------------------------------
// The grid

TLayoutGrid::TLayoutGrid(QWidget* Parent) : TCellGrid(TSizing::Scrolling, TSelectionRule::MayBeEmpty, Parent) {
  SetSpaceClicks(true);
}

void TLayoutGrid::SetScreenFrame(const QRect& Pixels) {
  FScreenFrame = Pixels;
  viewport()->update();
}

QPoint TLayoutGrid::ViewPoint(QPointF LevelPixel) const {
  const QPoint O = CellRect(0, 0).topLeft();
  const double PerPixelX = (CellWidth() + LineWidth()) / 8.0, PerPixelY = (CellHeight() + LineWidth()) / 8.0;
  return QPoint(O.x() + int(std::lround(LevelPixel.x() * PerPixelX)), O.y() + int(std::lround(LevelPixel.y() * PerPixelY)));
}

QPointF TLayoutGrid::LevelPixelAt(QPoint Position) const {
  const QPoint O = CellRect(0, 0).topLeft();
  return {(Position.x() - O.x()) * 8.0 / (CellWidth() + LineWidth()), (Position.y() - O.y()) * 8.0 / (CellHeight() + LineWidth())};
}

void TLayoutGrid::ScrollTo(QPointF LevelPixel, QPoint At) {
  const QPoint Now = ViewPoint(LevelPixel);
  horizontalScrollBar()->setValue(horizontalScrollBar()->value() + Now.x() - At.x());
  verticalScrollBar()->setValue(verticalScrollBar()->value() + Now.y() - At.y());
}

void TLayoutGrid::paintEvent(QPaintEvent* Event) {
  TCellGrid::paintEvent(Event);
  if (FScreenFrame.isNull() || !HasCells()) return;
  QPainter Painter(viewport());
  const QRect Frame(ViewPoint(FScreenFrame.topLeft()), ViewPoint(FScreenFrame.topLeft() + QPoint(FScreenFrame.width(), FScreenFrame.height())));
  Painter.setBrush(Qt::NoBrush);
  Painter.setPen(QPen(Qt::black, 3));
  Painter.drawRect(Frame.adjusted(0, 0, -1, -1));
  Painter.setPen(QPen(QColor(255, 200, 0), 1, Qt::DashLine));
  Painter.drawRect(Frame.adjusted(0, 0, -1, -1));
}

void TLayoutGrid::wheelEvent(QWheelEvent* Event) {
  if (!(Event->modifiers() & Qt::ControlModifier)) return TCellGrid::wheelEvent(Event);
  const int Steps = Event->angleDelta().y() / 120;
  if (Steps != 0) emit ZoomAsked(Steps, Event->position().toPoint());
  Event->accept();
}

void TLayoutGrid::mousePressEvent(QMouseEvent* Event) {
  if (Event->button() != Qt::MiddleButton) return TCellGrid::mousePressEvent(Event);
  FPanFrom = Event->position().toPoint();
  viewport()->setCursor(Qt::ClosedHandCursor);
}

void TLayoutGrid::mouseMoveEvent(QMouseEvent* Event) {
  if (FPanFrom.x() < 0) return TCellGrid::mouseMoveEvent(Event);
  const QPoint At = Event->position().toPoint(), By = At - FPanFrom;
  FPanFrom = At;
  horizontalScrollBar()->setValue(horizontalScrollBar()->value() - By.x());
  verticalScrollBar()->setValue(verticalScrollBar()->value() - By.y());
}

void TLayoutGrid::mouseReleaseEvent(QMouseEvent* Event) {
  if (Event->button() != Qt::MiddleButton) return TCellGrid::mouseReleaseEvent(Event);
  FPanFrom = QPoint(-1, -1);
  viewport()->unsetCursor();
}

void TLayoutGrid::scrollContentsBy(int Dx, int Dy) {
  TCellGrid::scrollContentsBy(Dx, Dy);
  emit Scrolled();
}

// ---------------------------------------------------------------------------
// The overview

TLevelOverview::TLevelOverview(QWidget* Parent) : QWidget(Parent) {
  setToolTip("The whole level; click or drag to show a part of it");
  setStatusTip("The whole level, the part the layout shows framed; click or drag to show another part");
  setCursor(Qt::PointingHandCursor);
}

void TLevelOverview::SetPicture(const QImage& Cells) {
  FCells = Cells;
  update();
}

void TLevelOverview::SetView(const QRectF& Cells) {
  FView = Cells;
  update();
}

QRectF TLevelOverview::PictureRect() const {
  if (FCells.isNull()) return {};
  // Whole cells scaled to fit, keeping their squares square.
  const double Scale = std::min(double(width()) / FCells.width(), double(height()) / FCells.height());
  return {0, 0, FCells.width() * Scale, FCells.height() * Scale};
}

void TLevelOverview::paintEvent(QPaintEvent*) {
  QPainter Painter(this);
  Painter.fillRect(rect(), palette().color(QPalette::Window));
  if (FCells.isNull()) return;
  const QRectF Picture = PictureRect();
  Painter.drawImage(Picture, FCells);
  const double Scale = Picture.width() / FCells.width();
  const QRectF View(FView.x() * Scale, FView.y() * Scale, FView.width() * Scale, FView.height() * Scale);
  Painter.setBrush(Qt::NoBrush);
  Painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
  Painter.drawRect(View.intersected(Picture).adjusted(1, 1, -1, -1));
}

void TLevelOverview::mousePressEvent(QMouseEvent* Event) {
  if (Event->button() != Qt::LeftButton) return QWidget::mousePressEvent(Event);
  mouseMoveEvent(Event);
}

void TLevelOverview::mouseMoveEvent(QMouseEvent* Event) {
  if (!(Event->buttons() & Qt::LeftButton) || FCells.isNull()) return;
  const QRectF Picture = PictureRect();
  const double Scale = Picture.width() / FCells.width();
  emit Jump(QPointF(Event->position().x() / Scale, Event->position().y() / Scale));
}

// ---------------------------------------------------------------------------
// The actor list's entries: the actor's picture in a 16x16 square, its name
// beside it.

namespace {

constexpr int ActorItemHeight = 18;

class TActorItemDelegate final : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    const QRect R = Option.rect;
    const bool Chosen = Option.state & QStyle::State_Selected;
    const QPalette::ColorGroup Group = (Option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    Painter->save();
    Painter->fillRect(R, Option.palette.brush(Group, Chosen ? QPalette::Highlight : QPalette::Base));
    const QImage Picture = Index.data(Qt::DecorationRole).value<QImage>();
    if (!Picture.isNull()) Painter->drawImage(QRect(R.left() + 2, R.top() + (R.height() - 16) / 2, 16, 16), Picture);
    const QFontMetrics Metrics(Option.font);
    const QRect Text(R.left() + 22, R.top() + (R.height() - Metrics.height()) / 2, std::max(0, R.width() - 24),
                     Metrics.height());
    Painter->setFont(Option.font);
    Painter->setPen(Option.palette.color(Group, Chosen ? QPalette::HighlightedText : QPalette::Text));
    Painter->drawText(Text, Qt::AlignLeft | Qt::AlignTop,
                      Metrics.elidedText(Index.data(Qt::DisplayRole).toString(), Qt::ElideRight, Text.width()));
    if (Option.state & QStyle::State_HasFocus) {
      QStyleOptionFocusRect Focus;
      Focus.QStyleOption::operator=(Option);
      Focus.backgroundColor = Option.palette.color(Group, Chosen ? QPalette::Highlight : QPalette::Base);
      const QWidget* Widget = Option.widget;
      (Widget ? Widget->style() : QApplication::style())->drawPrimitive(QStyle::PE_FrameFocusRect, &Focus, Painter, Widget);
    }
    Painter->restore();
  }

  // Taller only where a large font would not fit the usual 18 pixels.
  QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex&) const override {
    return {Option.rect.width(), std::max(ActorItemHeight, QFontMetrics(Option.font).height() + 2)};
  }
};

constexpr int ActorRole = Qt::UserRole;

// A whole number, with or without its unit at the end; Default when the rest
// is not one.
int ValueOf(QString Text, const QString& Unit, int Default) {
  if (Text.endsWith(Unit)) Text.chop(Unit.size());
  bool Ok = false;
  const int Value = Text.toInt(&Ok, 10);
  return Ok ? Value : Default;
}

void SetBoxText(QComboBox* Box, const QString& Text) {
  if (Box->currentText() != Text) Box->setEditText(Text);
}

QComboBox* MakeViewBox(QWidget* Parent, const char* Name, const QStringList& Items, const QString& Text, int Width) {
  auto* Box = new QComboBox(Parent);
  Box->setObjectName(QString::fromLatin1(Name));
  Box->setEditable(true);
  Box->setCompleter(nullptr);
  Box->setInsertPolicy(QComboBox::NoInsert);
  Box->addItems(Items);
  Box->setEditText(Text);
  Box->setFixedWidth(Width);
  return Box;
}

QPushButton* MakeButton(QWidget* Parent, const char* Name, const QString& Text, const QString& Hint) {
  auto* Button = new QPushButton(Text, Parent);
  Button->setObjectName(QString::fromLatin1(Name));
  Button->setToolTip(Hint);
  // Enter belongs to the view boxes, never to a default button.
  Button->setAutoDefault(false);
  return Button;
}

QLabel* MakeLabel(QWidget* Parent, const char* Name, const QString& Text, QWidget* Buddy) {
  auto* Label = new QLabel(Text, Parent);
  Label->setObjectName(QString::fromLatin1(Name));
  Label->setBuddy(Buddy);
  Label->adjustSize();
  return Label;
}

}  // namespace

// ---------------------------------------------------------------------------
// The window

TfrmLevelEditor::~TfrmLevelEditor() {
  // The boxes lose the focus as the window goes: nothing of theirs may reach
  // this window once it is half gone.
  for (QComboBox* Box : {cbxZoom, cbxHairsize}) {
    Box->removeEventFilter(this);
    Box->lineEdit()->removeEventFilter(this);
    disconnect(Box, nullptr, this, nullptr);
  }
}

TfrmLevelEditor::TfrmLevelEditor(QWidget* Parent) : QDialog(Parent) {
  setObjectName("frmLevelEditor");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  SetHelpKeyword(this, "level-editor");

  // The view controls follow each other from the left, spaced for the
  // font in use; help keeps to the right-hand corner.
  pnlTop = new QWidget(this);
  pnlTop->setObjectName("pnlTop");
  cbxZoom = MakeViewBox(pnlTop, "cbxZoom", {"25%", "50%", "100%", "150%", "200%", "300%", "400%"}, "200%", 97);
  cbxZoom->setToolTip("Size of the cells, in percent of a tile's real size (Ctrl+wheel over the layout zooms)");
  lblZoom = MakeLabel(pnlTop, "lblZoom", "&Zoom", cbxZoom);
  cbxHairsize = MakeViewBox(pnlTop, "cbxHairsize", {"0px", "1px", "2px", "3px", "4px"}, "2px", 81);
  cbxHairsize->setToolTip("Width of the lines between the cells, in pixels");
  lblHairsize = MakeLabel(pnlTop, "lblHairsize", "&Hairsize", cbxHairsize);
  butReal = MakeButton(pnlTop, "butReal", "&Real", "Show the level at its real size, without lines");
  butEdit = MakeButton(pnlTop, "butEdit", "&Edit", "Show the level enlarged, with lines, for editing");
  for (QPushButton* Button : {butReal, butEdit})
    Button->setFixedSize(std::max(40, Button->fontMetrics().horizontalAdvance(Button->text()) + 16), 23);
  // The label introduces the two buttons; its access key goes to the first.
  lblQuick = MakeLabel(pnlTop, "lblQuick", "&Quick", butReal);
  butPlay = MakeButton(pnlTop, "butPlay", "&Play", "Play the game from this level (F5); this window stays open");
  butPlay->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  butPlay->setShortcut(QKeySequence(Qt::Key_F5));
  butPlay->setEnabled(false);  // until the window is told how
  BitBtn1 = MakeButton(pnlTop, "BitBtn1", "&Help", "Help on the level layout designer");
  BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
  BitBtn1->setFixedSize(std::max(75, BitBtn1->sizeHint().width()), 25);
  auto* Row = new QHBoxLayout(pnlTop);
  Row->setContentsMargins(8, 0, 5, 0);
  Row->setSpacing(4);
  Row->addWidget(lblZoom);
  Row->addWidget(cbxZoom);
  Row->addSpacing(24);
  Row->addWidget(lblHairsize);
  Row->addWidget(cbxHairsize);
  Row->addSpacing(24);
  Row->addWidget(lblQuick);
  Row->addWidget(butReal);
  Row->addSpacing(4);
  Row->addWidget(butEdit);
  Row->addSpacing(24);
  Row->addWidget(butPlay);
  Row->addStretch(1);
  Row->addWidget(BitBtn1);

  pnlLeft = new QWidget(this);
  pnlLeft->setObjectName("pnlLeft");
  lbxActors = new QListWidget(pnlLeft);
  lbxActors->setObjectName("lbxActors");
  lbxActors->setSelectionMode(QAbstractItemView::SingleSelection);
  lbxActors->setUniformItemSizes(true);
  lbxActors->setItemDelegate(new TActorItemDelegate(lbxActors));
  lbxActors->setToolTip("The actor to place; <erase> empties cells");
  lblActors = MakeLabel(pnlLeft, "lblActors", "&Actors", lbxActors);
  lblActors->move(8, 8);
  pnlOverview = new TLevelOverview(pnlLeft);
  pnlOverview->setObjectName("pnlOverview");
  lblOverview = MakeLabel(pnlLeft, "lblOverview", "Overview", nullptr);

  pnlClient = new QWidget(this);
  pnlClient->setObjectName("pnlClient");
  grdLayout = new TLayoutGrid(pnlClient);
  grdLayout->setObjectName("grdLayout");
  grdLayout->setToolTip("Click or drag to place the chosen actor; arrow keys move, Space places; Ctrl+wheel zooms, "
                        "the middle button drags the view");
  grdLayout->setStatusTip("The frame shows the DS screen where the level starts");
  grdLayout->DrawCell = [this](QPainter& Painter, const QRect& Rect, int Column, int Row, bool Selected) {
    grdLayoutDrawCell(Painter, Rect, Column, Row, Selected);
  };
  lblLayout = MakeLabel(pnlClient, "lblLayout", "&Layout", grdLayout);
  lblLayout->move(8, 8);

  for (QComboBox* Box : {cbxZoom, cbxHairsize}) {
    Box->installEventFilter(this);
    Box->lineEdit()->installEventFilter(this);
  }

  connect(cbxZoom, &QComboBox::activated, this, [this] { cbxZoomExit(); });
  connect(cbxHairsize, &QComboBox::activated, this, [this] { cbxHairsizeExit(); });
  connect(butReal, &QPushButton::clicked, this, &TfrmLevelEditor::butRealClick);
  connect(butEdit, &QPushButton::clicked, this, &TfrmLevelEditor::butEditClick);
  connect(BitBtn1, &QPushButton::clicked, this, &TfrmLevelEditor::BitBtn1Click);
  connect(butPlay, &QPushButton::clicked, this, [this] {
    if (Play) Play();
  });
  connect(lbxActors, &QListWidget::itemSelectionChanged, grdLayout->viewport(), qOverload<>(&QWidget::update));
  connect(grdLayout, &TLayoutGrid::Clicked, this, &TfrmLevelEditor::grdLayoutClick);
  connect(grdLayout, &TLayoutGrid::Exited, this, &TfrmLevelEditor::grdLayoutNoSelection);
  connect(grdLayout, &TLayoutGrid::ZoomAsked, this, &TfrmLevelEditor::ZoomAround);
  connect(grdLayout, &TLayoutGrid::Scrolled, this, &TfrmLevelEditor::ShowViewInOverview);
  connect(pnlOverview, &TLevelOverview::Jump, this, [this](QPointF Cell) {
    const QRect View = grdLayout->viewport()->rect();
    grdLayout->ScrollTo(Cell * 8.0, View.center());
  });

  setSizeGripEnabled(true);
  setMinimumSize(std::max(540, Row->minimumSize().width()), 240);
  resize(744, 511);
  Arrange();
}

void TfrmLevelEditor::Arrange() {
  const int W = width(), H = height();
  pnlTop->setGeometry(0, 0, W, 33);
  pnlLeft->setGeometry(0, 33, 145, H - 33);
  pnlClient->setGeometry(145, 33, W - 145, H - 33);
  // The overview keeps its square below the list while the window is tall
  // enough for both.
  const int Overview = std::clamp(H - 33 - 32 - 12 - 120, 0, 121);
  lbxActors->setGeometry(8, 32, 121, std::max(0, H - 33 - 32 - 12 - (Overview ? Overview + 24 : 0)));
  lblOverview->move(8, lbxActors->geometry().bottom() + 6);
  lblOverview->setVisible(Overview > 0);
  pnlOverview->setGeometry(8, lbxActors->geometry().bottom() + 22, 121, Overview);
  pnlOverview->setVisible(Overview > 0);
  grdLayout->setGeometry(8, 32, std::max(0, W - 145 - 8 - 12), std::max(0, H - 33 - 32 - 12));
}

void TfrmLevelEditor::resizeEvent(QResizeEvent* Event) {
  QDialog::resizeEvent(Event);
  Arrange();
}

void TfrmLevelEditor::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  if (!Event->spontaneous()) FormShow();
}

void TfrmLevelEditor::FormShow() {
  FillActors();
  lbxActors->setCurrentRow(0);
  ApplyView();
  grdLayoutNoSelection();
}

void TfrmLevelEditor::FollowLevel(lvk::TLevel* Level) {
  const int Row = lbxActors->currentRow();
  FLevel = Level;
  FillActors();
  lbxActors->setCurrentRow(std::min(Row, lbxActors->count() - 1));
  // An undo may have sized the level anew.
  ApplyView();
}

void TfrmLevelEditor::ShowUndone() {
  grdLayout->ClearSelection();
  RefreshOverview();
}

void TfrmLevelEditor::SetPlay(std::function<void()> PlayIt) {
  Play = std::move(PlayIt);
  butPlay->setEnabled(static_cast<bool>(Play));
}

void TfrmLevelEditor::FillActors() {
  setWindowTitle("Level layout designer: " + (FLevel ? QString::fromStdString(FLevel->Name()) : QString()));
  lbxActors->clear();
  FPictures.clear();
  if (FLevel) {
    const lvk::TGame& Game = FLevel->Owner();
    auto Add = [&](const QString& Text, lvk::TActor* Actor) {
      auto* Item = new QListWidgetItem(Text, lbxActors);
      Item->setData(ActorRole, QVariant::fromValue(Actor ? Actor->Id() : lvk::NoItem));
      Item->setData(Qt::DecorationRole, Picture(Actor));
    };
    Add("<erase>", nullptr);
    for (int i = 0; i < Game.ActorCount(); ++i)
      Add(QString::fromStdString(Game.GetActor(i)->Name()), Game.GetActor(i));
  }
}

int TfrmLevelEditor::ZoomValue() const { return ValueOf(cbxZoom->currentText(), "%", 200); }

int TfrmLevelEditor::HairsizeValue() const { return ValueOf(cbxHairsize->currentText(), "px", 2); }

void TfrmLevelEditor::ApplyView() {
  grdLayout->SetGridSize(FLevel ? FLevel->Width() : 0, FLevel ? FLevel->Height() : 0);
  grdLayout->SetLineWidth(HairsizeValue());
  // 8 pixels, a tile's real size, at 100%. A whole-number zoom never lands
  // on a half, so how halves round does not matter.
  grdLayout->SetCellSize(static_cast<int>(std::lround(ZoomValue() * 8.0 / 100.0)));
  RefreshOverview();
}

namespace {
constexpr int ZoomSteps[] = {25, 50, 100, 150, 200, 300, 400};
}

void TfrmLevelEditor::ZoomAround(int Steps, QPoint At) {
  const int Now = ZoomValue();
  // The next list step from the zoom in use, in the wheel's direction.
  int Zoom = Now;
  for (int i = 0; i < std::abs(Steps); ++i) {
    if (Steps > 0) {
      auto Next = std::upper_bound(std::begin(ZoomSteps), std::end(ZoomSteps), Zoom);
      if (Next != std::end(ZoomSteps)) Zoom = *Next;
    } else {
      auto Before = std::lower_bound(std::begin(ZoomSteps), std::end(ZoomSteps), Zoom);
      if (Before != std::begin(ZoomSteps)) Zoom = *(Before - 1);
    }
  }
  if (Zoom == Now) return;
  const QPointF Under = grdLayout->LevelPixelAt(At);
  cbxZoom->setEditText(QString::number(Zoom) + "%");
  cbxZoomExit();
  grdLayout->ScrollTo(Under, At);
}

void TfrmLevelEditor::RefreshOverview() {
  if (!FLevel || FLevel->Width() <= 0 || FLevel->Height() <= 0) {
    pnlOverview->SetPicture(QImage());
    grdLayout->SetScreenFrame(QRect());
    return;
  }
  // One pixel a cell, in the colour of the middle of its actor's picture.
  QImage Cells(FLevel->Width(), FLevel->Height(), QImage::Format_RGB32);
  Cells.fill(palette().color(QPalette::Base));
  QHash<const lvk::TActor*, QRgb> Colors;
  for (int Row = 0; Row < FLevel->Height(); ++Row) {
    auto* Line = reinterpret_cast<QRgb*>(Cells.scanLine(Row));
    for (int Column = 0; Column < FLevel->Width(); ++Column) {
      const lvk::TActor* Actor = FLevel->GetCell(Column, Row);
      if (!Actor) continue;
      auto Found = Colors.find(Actor);
      if (Found == Colors.end()) {
        const QImage& P = Picture(Actor);
        Found = Colors.insert(Actor, P.isNull() ? qRgb(128, 128, 128) : P.pixel(P.width() / 2, P.height() / 2));
      }
      Line[Column] = *Found;
    }
  }
  pnlOverview->SetPicture(Cells);
  // On a level of one screen the frame would only outline the level.
  int X = 0, Y = 0;
  FLevel->CameraStart(X, Y);
  const bool Scrolls = FLevel->Width() > lvk::ScreenColumns || FLevel->Height() > lvk::ScreenRows;
  grdLayout->SetScreenFrame(Scrolls ? QRect(X, Y, lvk::ScreenColumns * 8, lvk::ScreenRows * 8) : QRect());
  ShowViewInOverview();
}

void TfrmLevelEditor::ShowViewInOverview() {
  const QRect View = grdLayout->viewport()->rect();
  const QPointF From = grdLayout->LevelPixelAt(View.topLeft()) / 8.0;
  const QPointF To = grdLayout->LevelPixelAt(View.bottomRight()) / 8.0;
  pnlOverview->SetView(QRectF(From, To));
}

void TfrmLevelEditor::cbxZoomExit() {
  SetBoxText(cbxZoom, QString::number(ZoomValue()) + "%");
  ApplyView();
}

void TfrmLevelEditor::cbxHairsizeExit() {
  SetBoxText(cbxHairsize, QString::number(HairsizeValue()) + "px");
  ApplyView();
}

void TfrmLevelEditor::butRealClick() {
  cbxZoom->setEditText("100%");
  cbxZoomExit();
  cbxHairsize->setEditText("0px");
  cbxHairsizeExit();
}

void TfrmLevelEditor::butEditClick() {
  cbxZoom->setEditText("200%");
  cbxZoomExit();
  cbxHairsize->setEditText("2px");
  cbxHairsizeExit();
}

void TfrmLevelEditor::BitBtn1Click() { HelpByKeyword(HelpKeyword(this), this); }

bool TfrmLevelEditor::eventFilter(QObject* Watched, QEvent* Event) {
  const bool Zoom = Watched == cbxZoom || Watched == cbxZoom->lineEdit();
  const bool Hairsize = Watched == cbxHairsize || Watched == cbxHairsize->lineEdit();
  if (Zoom || Hairsize) {
    if (Event->type() == QEvent::KeyPress) {
      const int Key = static_cast<QKeyEvent*>(Event)->key();
      if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
        Zoom ? cbxZoomExit() : cbxHairsizeExit();
        return true;
      }
    } else if (Event->type() == QEvent::FocusOut) {
      // Leaving for another control, not for the box's own drop-down or
      // another window.
      const Qt::FocusReason Reason = static_cast<QFocusEvent*>(Event)->reason();
      if (Reason != Qt::PopupFocusReason && Reason != Qt::ActiveWindowFocusReason)
        Zoom ? cbxZoomExit() : cbxHairsizeExit();
    }
  }
  return QDialog::eventFilter(Watched, Event);
}

const QImage& TfrmLevelEditor::Picture(const lvk::TActor* Actor) {
  const lvk::TItemId Id = Actor ? Actor->Id() : lvk::NoItem;
  auto Found = FPictures.find(Id);
  if (Found == FPictures.end())
    Found = FPictures.insert(Id, Actor && Actor->HasLook() ? FrameImage(*Actor, Actor->RestingFrame())
                                                              : ToImage(FLevel->Owner().GetActorBitmap(Actor)));
  return *Found;
}

const lvk::TActor* TfrmLevelEditor::CoveringActor(int Column, int Row, bool Live, QPoint& Part) const {
  // A block is at most 8 cells a side.
  for (int r = Row; r >= std::max(0, Row - 7); --r)
    for (int c = r == Row ? Column : FLevel->Width() - 1; c >= 0; --c) {
      const lvk::TActor* Actor = FLevel->GetCell(c, r);
      if (!Actor || (Actor->HandlerCount() > 0) != Live) continue;
      if (c <= Column && Column < c + Actor->Columns() && Row < r + Actor->Rows()) {
        Part = QPoint(Column - c, Row - r);
        return Actor;
      }
    }
  Part = QPoint();
  return nullptr;
}

bool TfrmLevelEditor::ChosenActor(lvk::TActor*& Actor) const {
  const QList<QListWidgetItem*> Chosen = lbxActors->selectedItems();
  if (Chosen.isEmpty()) return false;
  Actor = FLevel ? FLevel->Owner().ActorById(Chosen.first()->data(ActorRole).value<lvk::TItemId>()) : nullptr;
  return true;
}

void TfrmLevelEditor::grdLayoutDrawCell(QPainter& Painter, const QRect& Rect, int Column, int Row, bool Selected) {
  if (!FLevel || Column >= FLevel->Width() || Row >= FLevel->Height()) return;
  // The selection previews what a click will place.
  lvk::TActor* Chosen = nullptr;
  Painter.fillRect(Rect, palette().color(QPalette::Base));
  if (Selected && ChosenActor(Chosen)) {
    DrawPart(Painter, Rect, Chosen, QPoint());
    return;
  }
  // The scenery, then the live actors' sprites over it.
  QPoint Part, LivePart;
  const lvk::TActor* Scenery = CoveringActor(Column, Row, false, Part);
  const lvk::TActor* Live = CoveringActor(Column, Row, true, LivePart);
  if (Scenery || !Live) DrawPart(Painter, Rect, Scenery, Part);
  if (Live) DrawPart(Painter, Rect, Live, LivePart);
}

void TfrmLevelEditor::DrawPart(QPainter& Painter, const QRect& Rect, const lvk::TActor* Actor, const QPoint& Part) {
  const QImage& Image = Picture(Actor);
  if (Actor && Actor->HasLook())
    Painter.drawImage(Rect, Image, QRect(Part.x() * 8, Part.y() * 8, 8, 8));
  else
    Painter.drawImage(Rect, Image);
}

void TfrmLevelEditor::grdLayoutClick() {
  if (!FLevel) return;
  lvk::TActor* Actor = nullptr;
  if (!ChosenActor(Actor)) {
    ShowInformation(this, "First select an Actor");
    return;
  }
  const QRect Cells = grdLayout->Selection().intersected(QRect(0, 0, FLevel->Width(), FLevel->Height()));
  if (Cells.isEmpty()) return;
  {
    // A click or a dragged rectangle is one step.
    lvk::TEdit Edit(FLevel->Owner(), "Edit level layout");
    for (int Row = Cells.top(); Row <= Cells.bottom(); ++Row)
      for (int Column = Cells.left(); Column <= Cells.right(); ++Column) FLevel->SetCell(Column, Row, Actor);
  }
  grdLayout->viewport()->update();
  RefreshOverview();
}

void TfrmLevelEditor::grdLayoutNoSelection() { grdLayout->ClearSelection(); }
