#include "ui/FLevelEditor.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>
#include <climits>
#include <cmath>

#include "model/UActor.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "ui/UDialogService.h"
#include "ui/UHelp.h"
#include "ui/UPictures.h"

// ---------------------------------------------------------------------------
// The grid

namespace {

int ClampToInt(qint64 Value) { return static_cast<int>(std::clamp<qint64>(Value, INT_MIN / 2, INT_MAX / 2)); }

}  // namespace

TLayoutGrid::TLayoutGrid(QWidget* Parent) : QAbstractScrollArea(Parent) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  UpdateScrollBars();
}

void TLayoutGrid::SetGridSize(int ColCount, int RowCount) {
  FColCount = std::max(0, ColCount);
  FRowCount = std::max(0, RowCount);
  if (!HasCells()) {
    FSelection = QRect();
    FAnchor = FCurrent = QPoint(-1, -1);
    FDragging = false;
  } else {
    FCurrent = Clamped(FCurrent.x() < 0 ? QPoint(0, 0) : FCurrent);
    FAnchor = Clamped(FAnchor.x() < 0 ? FCurrent : FAnchor);
    if (!FSelection.isNull()) {
      FSelection = FSelection.intersected(QRect(0, 0, FColCount, FRowCount));
      if (FSelection.isEmpty()) FSelection = QRect();
    }
  }
  UpdateScrollBars();
  viewport()->update();
}

void TLayoutGrid::SetCellSize(int Size) {
  FCellSize = std::clamp(Size, 1, MaxCellSize);
  UpdateScrollBars();
  viewport()->update();
}

void TLayoutGrid::SetLineWidth(int Width) {
  FLineWidth = std::clamp(Width, 0, MaxLineWidth);
  UpdateScrollBars();
  viewport()->update();
}

void TLayoutGrid::ClearSelection() {
  FSelection = QRect();
  // Shift with nothing selected stretches from the focused cell.
  FAnchor = FCurrent;
  FDragging = false;
  viewport()->update();
}

QRect TLayoutGrid::CellRect(int Column, int Row) const {
  const qint64 X = qint64(Column) * Pitch() - horizontalScrollBar()->value();
  const qint64 Y = qint64(Row) * Pitch() - verticalScrollBar()->value();
  return QRect(ClampToInt(X), ClampToInt(Y), FCellSize, FCellSize);
}

QPoint TLayoutGrid::CellAt(QPoint Position) const {
  const qint64 X = qint64(Position.x()) + horizontalScrollBar()->value();
  const qint64 Y = qint64(Position.y()) + verticalScrollBar()->value();
  if (X < 0 || Y < 0) return {-1, -1};
  const qint64 Column = X / Pitch(), Row = Y / Pitch();
  if (Column >= FColCount || Row >= FRowCount) return {-1, -1};
  return {int(Column), int(Row)};
}

QPoint TLayoutGrid::Clamped(QPoint Cell) const {
  return {std::clamp(Cell.x(), 0, std::max(0, FColCount - 1)), std::clamp(Cell.y(), 0, std::max(0, FRowCount - 1))};
}

void TLayoutGrid::Select(QPoint Cell, bool Extend) {
  if (!Extend || FAnchor.x() < 0) FAnchor = Cell;
  FCurrent = Cell;
  FSelection = QRect(QPoint(std::min(FAnchor.x(), Cell.x()), std::min(FAnchor.y(), Cell.y())),
                     QPoint(std::max(FAnchor.x(), Cell.x()), std::max(FAnchor.y(), Cell.y())));
  EnsureVisible(Cell);
  viewport()->update();
}

void TLayoutGrid::EnsureVisible(QPoint Cell) {
  const qint64 Left = qint64(Cell.x()) * Pitch(), Top = qint64(Cell.y()) * Pitch();
  auto Scroll = [](QScrollBar* Bar, qint64 Start, int Size, int Visible) {
    if (Start < Bar->value()) Bar->setValue(ClampToInt(Start));
    else if (Start + Size > qint64(Bar->value()) + Visible) Bar->setValue(ClampToInt(Start + Size - Visible));
  };
  Scroll(horizontalScrollBar(), Left, FCellSize, viewport()->width());
  Scroll(verticalScrollBar(), Top, FCellSize, viewport()->height());
}

void TLayoutGrid::UpdateScrollBars() {
  const qint64 Width = qint64(FColCount) * Pitch(), Height = qint64(FRowCount) * Pitch();
  const QSize View = viewport()->size();
  horizontalScrollBar()->setRange(0, ClampToInt(std::max<qint64>(0, Width - View.width())));
  horizontalScrollBar()->setPageStep(std::max(1, View.width()));
  horizontalScrollBar()->setSingleStep(Pitch());
  verticalScrollBar()->setRange(0, ClampToInt(std::max<qint64>(0, Height - View.height())));
  verticalScrollBar()->setPageStep(std::max(1, View.height()));
  verticalScrollBar()->setSingleStep(Pitch());
}

QSize TLayoutGrid::viewportSizeHint() const {
  return {ClampToInt(qint64(FColCount) * Pitch()), ClampToInt(qint64(FRowCount) * Pitch())};
}

void TLayoutGrid::resizeEvent(QResizeEvent* Event) {
  QAbstractScrollArea::resizeEvent(Event);
  UpdateScrollBars();
}

void TLayoutGrid::paintEvent(QPaintEvent* Event) {
  QPainter Painter(viewport());
  if (!HasCells()) return;
  const int ScrollX = horizontalScrollBar()->value(), ScrollY = verticalScrollBar()->value();
  const QRect Dirty = Event->rect();
  const int FirstCol = std::max(0, (ScrollX + Dirty.left()) / Pitch());
  const int LastCol = std::min(FColCount - 1, (ScrollX + Dirty.right()) / Pitch());
  const int FirstRow = std::max(0, (ScrollY + Dirty.top()) / Pitch());
  const int LastRow = std::min(FRowCount - 1, (ScrollY + Dirty.bottom()) / Pitch());

  // The lines are what the cells leave uncovered of the grid's area.
  if (FLineWidth > 0) {
    const QRect TopLeft = CellRect(FirstCol, FirstRow), BottomRight = CellRect(LastCol, LastRow);
    Painter.fillRect(QRect(TopLeft.topLeft(), BottomRight.bottomRight() + QPoint(FLineWidth, FLineWidth)),
                     palette().color(QPalette::Mid));
  }
  for (int Row = FirstRow; Row <= LastRow; ++Row)
    for (int Column = FirstCol; Column <= LastCol; ++Column) {
      const QRect Rect = CellRect(Column, Row);
      if (DrawCell) DrawCell(Painter, Rect, Column, Row, FSelection.contains(Column, Row));
    }

  // The preview may look like what is there already, so the selection gets
  // an outline and the focused cell a dotted frame.
  if (!FSelection.isNull()) {
    const QRect Outline(CellRect(FSelection.left(), FSelection.top()).topLeft(),
                        CellRect(FSelection.right(), FSelection.bottom()).bottomRight());
    Painter.setBrush(Qt::NoBrush);
    Painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
    Painter.drawRect(Outline.adjusted(0, 0, -1, -1));
    Painter.setPen(QPen(Qt::white, 1));
    if (Outline.width() > 2 && Outline.height() > 2) Painter.drawRect(Outline.adjusted(1, 1, -2, -2));
  }
  if (hasFocus() && FCurrent.x() >= 0 && FCellSize >= 4) {
    // Black dots on white show on any picture.
    const QRect Focus = CellRect(FCurrent.x(), FCurrent.y()).adjusted(1, 1, -2, -2);
    Painter.setBrush(Qt::NoBrush);
    Painter.setPen(QPen(Qt::white, 1));
    Painter.drawRect(Focus);
    Painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    Painter.drawRect(Focus);
  }
}

void TLayoutGrid::mousePressEvent(QMouseEvent* Event) {
  if (Event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(Event);
  const QPoint Cell = CellAt(Event->position().toPoint());
  if (Cell.x() < 0) return;
  Select(Cell, Event->modifiers() & Qt::ShiftModifier);
  FDragging = true;
}

void TLayoutGrid::mouseMoveEvent(QMouseEvent* Event) {
  if (!FDragging) return QAbstractScrollArea::mouseMoveEvent(Event);
  // Past the edge of the view the selection stops at the last cell, and the
  // view scrolls towards it.
  const QPoint P = Event->position().toPoint();
  const qint64 X = std::max<qint64>(0, qint64(P.x()) + horizontalScrollBar()->value());
  const qint64 Y = std::max<qint64>(0, qint64(P.y()) + verticalScrollBar()->value());
  const QPoint Cell = Clamped(QPoint(ClampToInt(X / Pitch()), ClampToInt(Y / Pitch())));
  if (Cell != FCurrent || FSelection.isNull()) Select(Cell, true);
}

void TLayoutGrid::mouseReleaseEvent(QMouseEvent* Event) {
  if (Event->button() != Qt::LeftButton || !FDragging) return QAbstractScrollArea::mouseReleaseEvent(Event);
  FDragging = false;
  emit Clicked();
}

void TLayoutGrid::keyPressEvent(QKeyEvent* Event) {
  if (!HasCells() || FDragging) return QAbstractScrollArea::keyPressEvent(Event);
  const bool Control = Event->modifiers() & Qt::ControlModifier;
  const int Page = std::max(1, viewport()->height() / Pitch());
  QPoint To = FCurrent;
  switch (Event->key()) {
    case Qt::Key_Left: To.rx() -= 1; break;
    case Qt::Key_Right: To.rx() += 1; break;
    case Qt::Key_Up: To.ry() -= 1; break;
    case Qt::Key_Down: To.ry() += 1; break;
    case Qt::Key_PageUp: To.ry() -= Page; break;
    case Qt::Key_PageDown: To.ry() += Page; break;
    case Qt::Key_Home: To = Control ? QPoint(0, 0) : QPoint(0, To.y()); break;
    case Qt::Key_End: To = Control ? QPoint(FColCount - 1, FRowCount - 1) : QPoint(FColCount - 1, To.y()); break;
    case Qt::Key_Space:
      // Places in the selection, or in the focused cell when there is none,
      // so the keyboard can fill a cell without moving off it first.
      if (FSelection.isNull()) Select(FCurrent, false);
      emit Clicked();
      return;
    default: return QAbstractScrollArea::keyPressEvent(Event);
  }
  // A move only moves: walking over a level must not paint a trail over it.
  To = Clamped(To);
  if (To != FCurrent) Select(To, Event->modifiers() & Qt::ShiftModifier);
}

void TLayoutGrid::focusInEvent(QFocusEvent* Event) {
  QAbstractScrollArea::focusInEvent(Event);
  viewport()->update();
}

void TLayoutGrid::focusOutEvent(QFocusEvent* Event) {
  QAbstractScrollArea::focusOutEvent(Event);
  // Switching to another window or opening a menu does not leave the grid.
  if (Event->reason() != Qt::ActiveWindowFocusReason && Event->reason() != Qt::PopupFocusReason) {
    FDragging = false;
    emit Exited();
  }
  viewport()->update();
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

TfrmLevelEditor::TfrmLevelEditor(QWidget* Parent) : QDialog(Parent) {
  setObjectName("frmLevelEditor");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  SetHelpKeyword(this, "level-editor");

  // The view controls follow each other from the left, spaced for the
  // font in use; help keeps to the right-hand corner.
  pnlTop = new QWidget(this);
  pnlTop->setObjectName("pnlTop");
  cbxZoom = MakeViewBox(pnlTop, "cbxZoom", {"100%", "150%", "200%", "300%", "400%"}, "200%", 97);
  cbxZoom->setToolTip("Size of the cells, in percent of a tile's real size");
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

  pnlClient = new QWidget(this);
  pnlClient->setObjectName("pnlClient");
  grdLayout = new TLayoutGrid(pnlClient);
  grdLayout->setObjectName("grdLayout");
  grdLayout->setToolTip("Click or drag to place the chosen actor; arrow keys move, Space places");
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
  connect(lbxActors, &QListWidget::itemSelectionChanged, grdLayout->viewport(), qOverload<>(&QWidget::update));
  connect(grdLayout, &TLayoutGrid::Clicked, this, &TfrmLevelEditor::grdLayoutClick);
  connect(grdLayout, &TLayoutGrid::Exited, this, &TfrmLevelEditor::grdLayoutNoSelection);

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
  lbxActors->setGeometry(8, 32, 121, std::max(0, H - 33 - 32 - 12));
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
  grdLayout->viewport()->update();
}

void TfrmLevelEditor::FillActors() {
  setWindowTitle("Level layout designer: " + (FLevel ? QString::fromStdString(FLevel->Name()) : QString()));
  lbxActors->clear();
  FPictures.clear();
  if (FLevel) {
    const lvk::TGame& Game = FLevel->Owner();
    auto Add = [&](const QString& Text, lvk::TActor* Actor) {
      auto* Item = new QListWidgetItem(Text, lbxActors);
      Item->setData(ActorRole, QVariant::fromValue(reinterpret_cast<quintptr>(Actor)));
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
  auto Found = FPictures.find(Actor);
  if (Found == FPictures.end()) Found = FPictures.insert(Actor, ToImage(FLevel->Owner().GetActorBitmap(Actor)));
  return *Found;
}

bool TfrmLevelEditor::ChosenActor(lvk::TActor*& Actor) const {
  const QList<QListWidgetItem*> Chosen = lbxActors->selectedItems();
  if (Chosen.isEmpty()) return false;
  Actor = reinterpret_cast<lvk::TActor*>(Chosen.first()->data(ActorRole).value<quintptr>());
  return true;
}

void TfrmLevelEditor::grdLayoutDrawCell(QPainter& Painter, const QRect& Rect, int Column, int Row, bool Selected) {
  if (!FLevel || Column >= FLevel->Width() || Row >= FLevel->Height()) return;
  // The selection previews what a click will place.
  lvk::TActor* Actor = nullptr;
  if (!Selected || !ChosenActor(Actor)) Actor = FLevel->GetCell(Column, Row);
  Painter.fillRect(Rect, palette().color(QPalette::Base));
  Painter.drawImage(Rect, Picture(Actor));
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
}

void TfrmLevelEditor::grdLayoutNoSelection() { grdLayout->ClearSelection(); }
