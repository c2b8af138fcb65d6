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
#include <cstring>

#include "model/UActor.h"
#include "model/UChange.h"
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
  grdLayout->DrawCells = [this](QPainter& Painter, const QRect& Cells) { grdLayoutDrawCells(Painter, Cells); };
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

void TfrmLevelEditor::SetLevel(lvk::TLevel* Level) { FLevel = lvk::TItemRef<lvk::TLevel>(Level); }

lvk::TLevel* TfrmLevelEditor::Level() const { return FLevel.Get(); }

void TfrmLevelEditor::FollowLevel(lvk::TLevel* Level) {
  const int Row = lbxActors->currentRow();
  SetLevel(Level);
  FillActors();
  lbxActors->setCurrentRow(std::min(Row, lbxActors->count() - 1));
  // An undo may have sized the level anew.
  ApplyView();
}

void TfrmLevelEditor::ShowUndone() {
  CellsChanged();
  grdLayout->ClearSelection();
  RefreshOverview();
}

void TfrmLevelEditor::Follow(const lvk::TChange& Change) {
  const lvk::TLevel* Level = FLevel.Get();
  if (!Level) return;
  using lvk::TChangeKind;
  using lvk::TItemKind;
  const bool Listed = Change.Kind == TChangeKind::Added || Change.Kind == TChangeKind::Renamed ||
                      Change.Kind == TChangeKind::Moved;
  if (Change.Kind == TChangeKind::Edited && FActorsStale) {
    // An actor went: the list is made again once it is gone.
    FActorsStale = false;
    const int Row = lbxActors->currentRow();
    FillActors();
    lbxActors->setCurrentRow(std::min(Row, lbxActors->count() - 1));
    return;
  }
  switch (Change.Item) {
    case TItemKind::Level:
      if (Change.Id != Level->Id()) break;
      if (Change.Kind == TChangeKind::Renamed)
        setWindowTitle("Level layout designer: " + QString::fromStdString(Level->Name()));
      if (Change.Kind != TChangeKind::Changed) break;
      // A cell placed tells of itself: the drawing notices what changed.
      if (Change.Touches(lvk::cfSize))
        ApplyView();
      else if (Change.Touches(lvk::cfPlay))
        RefreshOverview();
      grdLayout->viewport()->update();
      break;
    case TItemKind::Actor:
      if (Change.Kind == TChangeKind::Removing) {
        FActorsStale = true;
      } else if (Listed) {
        // The list names every actor: it is made again.
        const int Row = lbxActors->currentRow();
        FillActors();
        lbxActors->setCurrentRow(std::min(Row, lbxActors->count() - 1));
      } else if (Change.Kind == TChangeKind::Changed && Change.Touches(lvk::cfLook)) {
        LooksChanged();
      }
      break;
    case TItemKind::Handler:
      // Handlers make an actor live, drawn over the scenery.
      if (Change.Kind == TChangeKind::Added || Change.Kind == TChangeKind::Removing) CellsChanged();
      break;
    case TItemKind::Tile:
      if (Change.Kind == TChangeKind::Changed && Change.Touches(lvk::cfLook) && TileShown(Change.Id)) LooksChanged();
      break;
    case TItemKind::Palette:
      if (Change.Touches(lvk::cfLook)) LooksChanged();
      break;
    default: break;
  }
}

bool TfrmLevelEditor::TileShown(lvk::TItemId Tile) const {
  const lvk::TLevel* Level = FLevel.Get();
  if (!Level) return false;
  const lvk::TGame& Game = Level->Owner();
  for (int a = 0; a < Game.ActorCount(); ++a) {
    const lvk::TActor& Actor = *Game.GetActor(a);
    if (Actor.TileId() == Tile) return true;
    for (const lvk::TTile* Shown : Actor.RestingFrame())
      if (Shown && Shown->Id() == Tile) return true;
  }
  return false;
}

void TfrmLevelEditor::LooksChanged() {
  FPictures.clear();
  const lvk::TLevel* Level = FLevel.Get();
  for (int i = 0; Level && i < lbxActors->count(); ++i) {
    QListWidgetItem* Item = lbxActors->item(i);
    const lvk::TItemId Id = Item->data(ActorRole).value<lvk::TItemId>();
    Item->setData(Qt::DecorationRole, Picture(Id == lvk::NoItem ? nullptr : Level->Owner().ActorById(Id)));
  }
  CellsChanged();
  RefreshOverview();
}

void TfrmLevelEditor::SetPlay(std::function<void()> PlayIt) {
  Play = std::move(PlayIt);
  butPlay->setEnabled(static_cast<bool>(Play));
}

void TfrmLevelEditor::FillActors() {
  const lvk::TLevel* Level = FLevel.Get();
  setWindowTitle("Level layout designer: " + (Level ? QString::fromStdString(Level->Name()) : QString()));
  lbxActors->clear();
  FPictures.clear();
  CellsChanged();
  if (Level) {
    const lvk::TGame& Game = Level->Owner();
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
  const lvk::TLevel* Level = FLevel.Get();
  grdLayout->SetGridSize(Level ? Level->Width() : 0, Level ? Level->Height() : 0);
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
  const lvk::TLevel* Level = FLevel.Get();
  if (!Level || Level->Width() <= 0 || Level->Height() <= 0) {
    pnlOverview->SetPicture(QImage());
    grdLayout->SetScreenFrame(QRect());
    return;
  }
  // One pixel a cell, in the colour of the middle of its actor's picture.
  QImage Cells(Level->Width(), Level->Height(), QImage::Format_RGB32);
  Cells.fill(palette().color(QPalette::Base));
  QHash<lvk::TItemId, QRgb> Colors;  // by actor id, looked up once each
  for (int Row = 0; Row < Level->Height(); ++Row) {
    auto* Line = reinterpret_cast<QRgb*>(Cells.scanLine(Row));
    for (int Column = 0; Column < Level->Width(); ++Column) {
      const lvk::TItemId Id = Level->CellId(Column, Row);
      if (Id == lvk::NoItem) continue;
      auto Found = Colors.find(Id);
      if (Found == Colors.end()) {
        const lvk::TActor* Actor = Level->GetCell(Column, Row);
        const QImage& P = Picture(Actor);
        Found = Colors.insert(Id, !Actor ? palette().color(QPalette::Base).rgb()
                                  : P.isNull() ? qRgb(128, 128, 128)
                                               : P.pixel(P.width() / 2, P.height() / 2));
      }
      Line[Column] = *Found;
    }
  }
  pnlOverview->SetPicture(Cells);
  // On a level of one screen the frame would only outline the level.
  int X = 0, Y = 0;
  Level->CameraStart(X, Y);
  const bool Scrolls = Level->Width() > lvk::ScreenColumns || Level->Height() > lvk::ScreenRows;
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
                                                              : ToImage(FLevel.Get()->Owner().GetActorBitmap(Actor)));
  return *Found;
}

bool TfrmLevelEditor::ChosenActor(lvk::TActor*& Actor) const {
  const QList<QListWidgetItem*> Chosen = lbxActors->selectedItems();
  if (Chosen.isEmpty()) return false;
  const lvk::TLevel* Level = FLevel.Get();
  const lvk::TItemId Id = Chosen.first()->data(ActorRole).value<lvk::TItemId>();
  Actor = Level && Id != lvk::NoItem ? Level->Owner().ActorById(Id) : nullptr;
  // An entry of an actor that went erases nothing: it places nothing.
  return Id == lvk::NoItem || Actor != nullptr;
}

void TfrmLevelEditor::CellsChanged() {
  FCoverStale = true;
  grdLayout->viewport()->update();
}

QImage TfrmLevelEditor::LookPicture(const TCellLook& Look, QSize Size) {
  QImage Image(Size, QImage::Format_RGB32);
  Image.fill(palette().color(QPalette::Base));
  QPainter Painter(&Image);
  const QRect Rect(QPoint(0, 0), Size);
  // The scenery, then the live actor's sprite over it; a cell of neither
  // shows what an empty cell does.
  if (Look.Scenery.Actor || !Look.Live.Actor)
    DrawPart(Painter, Rect, Look.Scenery.Actor, QPoint(Look.Scenery.PartX, Look.Scenery.PartY));
  if (Look.Live.Actor) DrawPart(Painter, Rect, Look.Live.Actor, QPoint(Look.Live.PartX, Look.Live.PartY));
  return Image;
}

void TfrmLevelEditor::grdLayoutDrawCells(QPainter& Painter, const QRect& Cells) {
  const lvk::TLevel* Level = FLevel.Get();
  if (!Level) return;
  const QRect Drawn = Cells.intersected(QRect(0, 0, Level->Width(), Level->Height()));
  if (Drawn.isEmpty()) return;
  // Built again only when a cell changed (here, by an undo, or elsewhere)
  // or what the actors show did.
  if (FCoverStale || !FCover.Matches(*Level)) {
    FCover.Build(*Level);
    FCoverStale = false;
    FLookPictures.clear();
  }
  const QSize Size(grdLayout->CellWidth(), grdLayout->CellHeight());
  if (Size != FLookSize) {
    FLookPictures.clear();
    FLookSize = Size;
  }
  FLookPictures.resize(static_cast<std::size_t>(FCover.LookCount()));
  // The selection previews what a click will place.
  const QRect Selection = grdLayout->Selection();
  lvk::TActor* Chosen = nullptr;
  const QImage Preview = !Selection.isNull() && ChosenActor(Chosen) ? LookPicture({{Chosen, 0, 0}, {}}, Size) : QImage();

  // The block as one picture, the lines between the cells included: one
  // drawing for the grid instead of one per cell.
  const int PitchX = Size.width() + grdLayout->LineWidth(), PitchY = Size.height() + grdLayout->LineWidth();
  QImage Block(Drawn.width() * PitchX, Drawn.height() * PitchY, QImage::Format_RGB32);
  Block.fill(grdLayout->palette().color(QPalette::Mid));
  uchar* Bits = Block.bits();
  const qsizetype Line = Block.bytesPerLine();
  const std::size_t RowBytes = static_cast<std::size_t>(Size.width()) * 4;
  for (int Row = Drawn.top(); Row <= Drawn.bottom(); ++Row)
    for (int Column = Drawn.left(); Column <= Drawn.right(); ++Column) {
      const QImage* Picture = &Preview;
      if (Preview.isNull() || !Selection.contains(Column, Row)) {
        QImage& Look = FLookPictures[static_cast<std::size_t>(FCover.LookAt(Column, Row))];
        if (Look.isNull()) Look = LookPicture(FCover.Look(FCover.LookAt(Column, Row)), Size);
        Picture = &Look;
      }
      uchar* To = Bits + qsizetype(Row - Drawn.top()) * PitchY * Line + qsizetype(Column - Drawn.left()) * PitchX * 4;
      const uchar* From = Picture->constBits();
      for (int y = 0; y < Size.height(); ++y, To += Line, From += Picture->bytesPerLine()) std::memcpy(To, From, RowBytes);
    }
  Painter.drawImage(grdLayout->CellRect(Drawn.left(), Drawn.top()).topLeft(), Block);
}

void TfrmLevelEditor::DrawPart(QPainter& Painter, const QRect& Rect, const lvk::TActor* Actor, const QPoint& Part) {
  const QImage& Image = Picture(Actor);
  if (Actor && Actor->HasLook())
    Painter.drawImage(Rect, Image, QRect(Part.x() * 8, Part.y() * 8, 8, 8));
  else
    Painter.drawImage(Rect, Image);
}

void TfrmLevelEditor::grdLayoutClick() {
  lvk::TLevel* Level = FLevel.Get();
  if (!Level) return;
  lvk::TActor* Actor = nullptr;
  if (!ChosenActor(Actor)) {
    ShowInformation(this, "First select an Actor");
    return;
  }
  const QRect Cells = grdLayout->Selection().intersected(QRect(0, 0, Level->Width(), Level->Height()));
  if (Cells.isEmpty()) return;
  {
    // A click or a dragged rectangle is one step.
    lvk::TEdit Edit(Level->Owner(), "Edit level layout");
    for (int Row = Cells.top(); Row <= Cells.bottom(); ++Row)
      for (int Column = Cells.left(); Column <= Cells.right(); ++Column) Level->SetCell(Column, Row, Actor);
  }
  CellsChanged();
  RefreshOverview();
}

void TfrmLevelEditor::grdLayoutNoSelection() { grdLayout->ClearSelection(); }
