#include "ui/editors/FPaletteEditor.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <optional>
#include <qdrawutil.h>

#include "model/UErrors.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/UPalette.h"
#include "model/UPaletteFiles.h"
#include "ui/common/UDialogService.h"
#include "ui/common/UHelp.h"

using lvk::TColor;

namespace {

constexpr const char* Unit = "FPaletteEditor";

// Where both palette dialogs start: the folder of the file last imported or exported.
QString PaletteFolder;

// Grid placement inside its panel.
constexpr int GridLeft = 8;
constexpr int GridTop = 29;

void SetHints(QWidget* W, const QString& Hint) {
  W->setToolTip(Hint);
  W->setStatusTip(Hint);
}

// An integer as users type it: leading spaces, an optional sign, then
// decimal digits, or hexadecimal ones after "$" or "0x"; nothing after it.
std::optional<int> ParseInteger(const QString& Text) {
  QString S = Text;
  int i = 0;
  while (i < S.size() && S[i] == ' ') ++i;
  S = S.mid(i);
  bool Negative = false;
  if (S.startsWith('-') || S.startsWith('+')) {
    Negative = S.startsWith('-');
    S = S.mid(1);
  }
  int Base = 10;
  if (S.startsWith('$')) {
    Base = 16;
    S = S.mid(1);
  } else if (S.startsWith("0x", Qt::CaseInsensitive)) {
    Base = 16;
    S = S.mid(2);
  }
  if (S.isEmpty()) return std::nullopt;
  for (QChar C : S)
    if (!(C.isDigit() && C.unicode() < 128) && !(Base == 16 && QString("abcdefABCDEF").contains(C)))
      return std::nullopt;
  bool Ok = false;
  const qlonglong V = S.toLongLong(&Ok, Base);
  if (!Ok) return std::nullopt;
  const qlonglong Signed = Negative ? -V : V;
  if (Signed < INT_MIN || Signed > INT_MAX) return std::nullopt;
  return static_cast<int>(Signed);
}

// Changes a line edit's text only when it differs, so typing is not disturbed.
void SetEditText(QLineEdit* Edit, const QString& Text) {
  if (Edit->text() != Text) Edit->setText(Text);
}

QColor ToQColor(TColor C) { return QColor(lvk::GetRValue(C), lvk::GetGValue(C), lvk::GetBValue(C)); }

}  // namespace

// ---- The grid ----

TPaletteGrid::TPaletteGrid(QWidget* Parent) : TCellGrid(TSizing::ShowAll, TSelectionRule::NeverEmpty, Parent) {
  SetMargin(2);
  SetLineWidth(GridLineWidth);
  SetGridSize(16, 16);
  SetCellSize(16, 15);
}

void TPaletteGrid::paintEvent(QPaintEvent* Event) {
  TCellGrid::paintEvent(Event);
  QPainter Painter(viewport());
  qDrawWinPanel(&Painter, viewport()->rect(), palette(), true);
}

void TPaletteGrid::PaintSelection(QPainter& Painter, const QRect& Outline) {
  // A black frame alone is lost on black cells.
  const int G = LineWidth();
  const QRect S = Outline.adjusted(-G, -G, G, G);
  const QColor Colour = palette().color(QPalette::Highlight);
  Painter.fillRect(S.left(), S.top(), S.width(), G, Colour);
  Painter.fillRect(S.left(), S.bottom() - G + 1, S.width(), G, Colour);
  Painter.fillRect(S.left(), S.top(), G, S.height(), Colour);
  Painter.fillRect(S.right() - G + 1, S.top(), G, S.height(), Colour);
}

void TPaletteGrid::PaintFocus(QPainter& Painter, const QRect& Cell) {
  // Dots inverted against whatever the cell shows, inside the selection's outline.
  Painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  Painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
  Painter.setBrush(Qt::NoBrush);
  Painter.drawRect(Cell.adjusted(1, 1, -2, -2));
  Painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// ---- The window ----

const QString TfrmPaletteEditor::FileFilter =
    "Palette - colors in bitmap (*.bmp);;Palette - JASC, irfanview (*.pal);;Palette - Usenti (*.pal)";

namespace {

QFrame* MakePanel(QWidget* Parent, const char* Name) {
  auto* Panel = new QFrame(Parent);
  Panel->setObjectName(QString::fromLatin1(Name));
  Panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  return Panel;
}

QSlider* MakeSlider(QWidget* Parent, const char* Name, const QString& Hint) {
  auto* Bar = new QSlider(Qt::Vertical, Parent);
  Bar->setObjectName(QString::fromLatin1(Name));
  // Top is 255: the natural direction of a vertical slider.
  Bar->setRange(0, 255);
  Bar->setPageStep(16);
  Bar->setTickPosition(QSlider::TicksBothSides);
  Bar->setTickInterval(16);
  SetHints(Bar, Hint);
  return Bar;
}

QLineEdit* MakeEdit(QWidget* Parent, const char* Name, const QString& Placeholder, const QString& Hint) {
  auto* Edit = new QLineEdit(Parent);
  Edit->setObjectName(QString::fromLatin1(Name));
  Edit->setPlaceholderText(Placeholder);
  SetHints(Edit, Hint);
  return Edit;
}

QLabel* MakeBuddyLabel(QWidget* Parent, const QString& Caption, QWidget* Buddy) {
  auto* Label = new QLabel(Caption, Parent);
  Label->setBuddy(Buddy);
  return Label;
}

}  // namespace

TfrmPaletteEditor::TfrmPaletteEditor(QWidget* Parent) : QDialog(Parent) {
  setObjectName("frmPaletteEditor");
  setWindowTitle("Palette editor");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  SetHelpKeyword(this, "palette-editor");

  // Left: the current entry's components.
  pnlSliders = MakePanel(this, "pnlSliders");
  pnlSliders->setFixedWidth(145);
  barRed = MakeSlider(pnlSliders, "barRed", "Value of component red of selected entry");
  barGreen = MakeSlider(pnlSliders, "barGreen", "Value of component green of selected entry");
  barBlue = MakeSlider(pnlSliders, "barBlue", "Value of component blue of selected entry");
  edtRed = MakeEdit(pnlSliders, "edtRed", "red", barRed->toolTip());
  edtGreen = MakeEdit(pnlSliders, "edtGreen", "green", barGreen->toolTip());
  edtBlue = MakeEdit(pnlSliders, "edtBlue", "blue", barBlue->toolTip());
  lblRed = MakeBuddyLabel(pnlSliders, "&red", edtRed);
  lblGreen = MakeBuddyLabel(pnlSliders, "&green", edtGreen);
  lblBlue = MakeBuddyLabel(pnlSliders, "&blue", edtBlue);

  // Middle: the grid.
  pnlGrid = MakePanel(this, "pnlGrid");
  grdPalette = new TPaletteGrid(pnlGrid);
  grdPalette->setObjectName("grdPalette");
  SetHints(grdPalette, "The palette (use ctrl-drag to move entries)");
  lblPalette = MakeBuddyLabel(pnlGrid, "Current &palette (use ctrl-drag to move entries)", grdPalette);
  rbut16 = new QRadioButton("1&6", pnlGrid);
  rbut16->setObjectName("rbut16");
  SetHints(rbut16, "Use 16x16 grid");
  rbut18 = new QRadioButton("1&8", pnlGrid);
  rbut18->setObjectName("rbut18");
  SetHints(rbut18, "Use 18x16 grid (clearer for default palette)");
  rbut16->setChecked(true);

  // Right: the commands.
  pnlButtons = MakePanel(this, "pnlButtons");
  pnlButtons->setFixedWidth(86);
  auto Button = [this](const char* Name, const QString& Caption, const QString& Hint, int Top) {
    auto* B = new QPushButton(Caption, pnlButtons);
    B->setObjectName(QString::fromLatin1(Name));
    B->setGeometry(8, Top, 70, 24);
    // Enter in an edit must not set off a command.
    B->setAutoDefault(false);
    if (!Hint.isEmpty()) SetHints(B, Hint);
    return B;
  };
  butHelp = Button("butHelp", "&Help", {}, 30);
  butHelp->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
  butImport = Button("butImport", "&Import", "Import palette (from external file)", 70);
  butExport = Button("butExport", "E&xport", "Export palette (to external file)", 97);
  butDefaults = Button("butDefaults", "Defaults", "Fill palette with build-in default colors", 137);
  butRevert = Button("butRevert", "Re&vert", "Revert to original palette", 164);
  butOptimize = Button("butOptimize", "&Optimize", "Delete duplicate entries", 191);
  butClear = Button("butClear", "&Clear", "Clear all selected entries (to white)", 231);
  butAdd = Button("butAdd", "&Add", "Add new entries at selected entries", 258);
  butDelete = Button("butDelete", "&Delete", "Delete all selected entries", 285);

  statBar = new QStatusBar(this);
  statBar->setObjectName("statBar");
  statHint = new QLabel(statBar);
  statHint->setFixedWidth(250);
  statEntry = new QLabel(statBar);
  statBar->addWidget(statHint);
  statBar->addWidget(statEntry, 1);

  auto* Panels = new QHBoxLayout;
  Panels->setContentsMargins(0, 0, 0, 0);
  Panels->setSpacing(0);
  Panels->addWidget(pnlSliders);
  Panels->addWidget(pnlGrid, 1);
  Panels->addWidget(pnlButtons);
  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(0);
  Layout->addLayout(Panels, 1);
  Layout->addWidget(statBar);

  // Focus order: left to right as the panels stand, the grid first in its panel.
  QWidget* Order[] = {barRed, barGreen, barBlue, edtRed, edtGreen, edtBlue, grdPalette, rbut16, rbut18,
                      butHelp, butImport, butExport, butDefaults, butRevert, butOptimize, butClear, butAdd,
                      butDelete};
  for (std::size_t i = 1; i < std::size(Order); ++i) setTabOrder(Order[i - 1], Order[i]);

  // The caption above the grid and the two radio buttons must not overlap,
  // and the buttons' column needs its height.
  const int GridPanelMin = GridLeft + lblPalette->sizeHint().width() + 8 + rbut16->sizeHint().width() +
                           rbut18->sizeHint().width() + 16;
  const int MinWidth = 145 + std::max(309, GridPanelMin) + 86;
  const int MinHeight = 316 + statBar->sizeHint().height();
  setMinimumSize(MinWidth, MinHeight);
  resize(MinWidth, MinHeight);

  pnlSliders->installEventFilter(this);
  pnlGrid->installEventFilter(this);

  grdPalette->DrawCell = [this](QPainter& P, const QRect& R, int Column, int Row, bool Selected) {
    grdPaletteDrawCell(P, R, Column, Row, Selected);
  };
  grdPalette->AcceptsDrop = [this](int Column, int Row) { return grdPaletteDragOver(Column, Row); };
  connect(grdPalette, &TPaletteGrid::CurrentCellChanged, this, &TfrmPaletteEditor::grdPaletteSelectCell);
  connect(grdPalette, &TPaletteGrid::CellPressed, this, &TfrmPaletteEditor::grdPaletteMouseDown);
  connect(grdPalette, &TPaletteGrid::DragDropped, this, &TfrmPaletteEditor::grdPaletteDragDrop);
  connect(barRed, &QSlider::valueChanged, this, &TfrmPaletteEditor::barRedChange);
  connect(barGreen, &QSlider::valueChanged, this, &TfrmPaletteEditor::barGreenChange);
  connect(barBlue, &QSlider::valueChanged, this, &TfrmPaletteEditor::barBlueChange);
  connect(edtRed, &QLineEdit::textEdited, this, &TfrmPaletteEditor::edtRedChange);
  connect(edtGreen, &QLineEdit::textEdited, this, &TfrmPaletteEditor::edtGreenChange);
  connect(edtBlue, &QLineEdit::textEdited, this, &TfrmPaletteEditor::edtBlueChange);
  // Either radio button switching toggles this one.
  connect(rbut18, &QRadioButton::toggled, this, &TfrmPaletteEditor::rbut1618Click);
  connect(butHelp, &QPushButton::clicked, this, &TfrmPaletteEditor::butHelpClick);
  connect(butImport, &QPushButton::clicked, this, &TfrmPaletteEditor::butImportClick);
  connect(butExport, &QPushButton::clicked, this, &TfrmPaletteEditor::butExportClick);
  connect(butDefaults, &QPushButton::clicked, this, &TfrmPaletteEditor::butDefaultsClick);
  connect(butRevert, &QPushButton::clicked, this, &TfrmPaletteEditor::butRevertClick);
  connect(butOptimize, &QPushButton::clicked, this, &TfrmPaletteEditor::butOptimizeClick);
  connect(butClear, &QPushButton::clicked, this, &TfrmPaletteEditor::butClearClick);
  connect(butAdd, &QPushButton::clicked, this, &TfrmPaletteEditor::butAddClick);
  connect(butDelete, &QPushButton::clicked, this, &TfrmPaletteEditor::butDeleteClick);
}

TfrmPaletteEditor::~TfrmPaletteEditor() = default;

void TfrmPaletteEditor::FollowPalette(lvk::TPalette* Palette) {
  FPalette = Palette;
  Redraw();
}

void TfrmPaletteEditor::SetPalette(lvk::TPalette* Palette) {
  FPalette = Palette;
  FOriginal.reset();
  if (!Palette) return;
  FOriginal = std::make_unique<lvk::TGame>();
  FOriginal->Palette().Assign(*Palette);
}

void TfrmPaletteEditor::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  if (!Event->spontaneous()) FormShow();
}

void TfrmPaletteEditor::FormShow() {
  lvk::Assert(FPalette != nullptr, Unit);
  {
    const QSignalBlocker Block(rbut18);
    rbut18->setChecked(true);
  }
  rbut1618Click();
  ResetSelection();
  grdPalette->setFocus(Qt::OtherFocusReason);
}

bool TfrmPaletteEditor::event(QEvent* Event) {
  // Hints of the controls under the mouse go to the first status panel.
  // A hint longer than its panel is cut short with an ellipsis rather than
  // running into the entry's panel beside it.
  if (Event->type() == QEvent::StatusTip) {
    const QString Tip = static_cast<QStatusTipEvent*>(Event)->tip();
    statHint->setText(statHint->fontMetrics().elidedText(Tip, Qt::ElideRight, statHint->width() - 8));
    return true;
  }
  return QDialog::event(Event);
}

bool TfrmPaletteEditor::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::Resize) {
    if (Watched == pnlSliders) ArrangeSliders();
    if (Watched == pnlGrid) ArrangeGridPanel();
  }
  return QDialog::eventFilter(Watched, Event);
}

void TfrmPaletteEditor::ArrangeSliders() {
  // The sliders stretch with the panel; labels and edits keep to its bottom.
  const int H = pnlSliders->height();
  const int Lefts[] = {8, 48, 88};
  QSlider* Bars[] = {barRed, barGreen, barBlue};
  QLabel* Labels[] = {lblRed, lblGreen, lblBlue};
  QLineEdit* Edits[] = {edtRed, edtGreen, edtBlue};
  for (int i = 0; i < 3; ++i) {
    Bars[i]->setGeometry(Lefts[i] + 2, 8, 32, std::max(20, H - 57));
    // Centred under its slider; a caption may be wider than the slider.
    Labels[i]->setGeometry(Lefts[i] - 4, H - 51, 40, Labels[i]->sizeHint().height());
    Labels[i]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Edits[i]->setGeometry(Lefts[i], H - 34, 32, 21);
  }
}

void TfrmPaletteEditor::ArrangeGridPanel() {
  const int W = pnlGrid->width();
  lblPalette->move(GridLeft, 8);
  lblPalette->adjustSize();
  rbut16->adjustSize();
  rbut18->adjustSize();
  rbut18->move(W - 8 - rbut18->width(), 6);
  rbut16->move(rbut18->x() - 4 - rbut16->width(), 6);
  grdPalette->move(GridLeft, GridTop);
  pnlGridResize();
}

void TfrmPaletteEditor::pnlGridResize() {
  const int G = TPaletteGrid::GridLineWidth;
  const int W = pnlGrid->width(), H = pnlGrid->height();
  const int CellWidth = (W - 2 * GridLeft + G) / grdPalette->ColCount() - G;
  const int CellHeight = (H - GridTop - GridLeft + G) / grdPalette->RowCount() - G;
  grdPalette->SetCellSize(CellWidth, CellHeight);
}

int TfrmPaletteEditor::IndexOf(int Column, int Row) const { return Row * grdPalette->ColCount() + Column; }

void TfrmPaletteEditor::Redraw() { grdPalette->viewport()->update(); }

void TfrmPaletteEditor::rbut1618Click() {
  if (rbut16->isChecked())
    grdPalette->SetGridSize(16, 16);
  else
    grdPalette->SetGridSize(18, 15);
  pnlGridResize();
  // The selected cell follows the current entry into the new layout; an
  // entry past the layout's cells becomes its last cell.
  const int Cells = grdPalette->ColCount() * grdPalette->RowCount();
  FCurrentIndex = std::min(FCurrentIndex, Cells - 1);
  grdPalette->SetSelectedCell(FCurrentIndex % grdPalette->ColCount(), FCurrentIndex / grdPalette->ColCount());
  Redraw();
  SyncCurrentColor();
}

void TfrmPaletteEditor::ResetSelection() {
  grdPalette->SetSelectedCell(0, 0);
  FCurrentIndex = 0;
  SyncCurrentColor();
}

void TfrmPaletteEditor::SyncCurrentColor() {
  const bool Active = FPalette && FCurrentIndex < FPalette->Count();
  QSlider* Bars[] = {barRed, barGreen, barBlue};
  QLineEdit* Edits[] = {edtRed, edtGreen, edtBlue};
  // Synchronising shows the entry; it must not write it back.
  const QSignalBlocker B0(barRed), B1(barGreen), B2(barBlue);
  for (int i = 0; i < 3; ++i) {
    Bars[i]->setEnabled(Active);
    Bars[i]->setTickInterval(Active ? 16 : 255);
    Edits[i]->setEnabled(Active);
  }
  if (Active) {
    const int R = FPalette->GetRed(FCurrentIndex), G = FPalette->GetGreen(FCurrentIndex),
              B = FPalette->GetBlue(FCurrentIndex);
    const int C = grdPalette->ColCount();
    grdPalette->UpdateCell(FCurrentIndex % C, FCurrentIndex / C);
    barRed->setValue(R);
    barGreen->setValue(G);
    barBlue->setValue(B);
    SetEditText(edtRed, QString::number(R));
    SetEditText(edtGreen, QString::number(G));
    SetEditText(edtBlue, QString::number(B));
    if (FCurrentIndex == 0)
      statEntry->setText("Entry 0: transparent (default backdrop)");
    else
      statEntry->setText(QString::asprintf("Entry %d  dec(%d,%d,%d)  hex(%.2X,%.2X,%.2X)", FCurrentIndex, R, G,
                                           B, R, G, B));
  } else {
    for (int i = 0; i < 3; ++i) {
      Bars[i]->setValue(0);
      Edits[i]->clear();
    }
    if (FCurrentIndex >= lvk::MaxPaletteSize)
      statEntry->setText("No palatte entry");
    else
      statEntry->setText(QString::asprintf("Entry %d is outsite active palette", FCurrentIndex));
  }
}

void TfrmPaletteEditor::ComponentChanged(int Shift, int Value) {
  if (!FPalette || FCurrentIndex >= FPalette->Count()) return;
  TColor Color = FPalette->GetEntryColor(FCurrentIndex);
  Color = (Color & ~(TColor(0xFF) << Shift)) | (TColor(Value & 0xFF) << Shift);
  {
    // A slider dragged or a number typed: one step for the component.
    lvk::TEdit Edit(FPalette->Game(), "Edit palette",
                    "palette " + std::to_string(FCurrentIndex) + " " + std::to_string(Shift));
    FPalette->SetEntryColor(FCurrentIndex, Color);
  }
  SyncCurrentColor();
}

void TfrmPaletteEditor::barRedChange() { ComponentChanged(0, barRed->value()); }
void TfrmPaletteEditor::barGreenChange() { ComponentChanged(8, barGreen->value()); }
void TfrmPaletteEditor::barBlueChange() { ComponentChanged(16, barBlue->value()); }

void TfrmPaletteEditor::EditChanged(QLineEdit* Edit, int Shift) {
  if (!FPalette || FCurrentIndex >= FPalette->Count()) return;
  // Not a number: the entry's own value, which the synchronisation writes back.
  const int Present = (FPalette->GetEntryColor(FCurrentIndex) >> Shift) & 0xFF;
  ComponentChanged(Shift, ParseInteger(Edit->text()).value_or(Present));
}

void TfrmPaletteEditor::edtRedChange() { EditChanged(edtRed, 0); }
void TfrmPaletteEditor::edtGreenChange() { EditChanged(edtGreen, 8); }
void TfrmPaletteEditor::edtBlueChange() { EditChanged(edtBlue, 16); }

void TfrmPaletteEditor::grdPaletteDrawCell(QPainter& P, const QRect& Rect, int Column, int Row, bool Selected) {
  const int Index = IndexOf(Column, Row);
  const int Count = FPalette ? FPalette->Count() : 0;
  if (Index == 0 && Count > 0) {
    const TColor Color = FPalette->GetEntryColor(0);
    P.fillRect(Rect, ToQColor(Color));
    // The transparent entry: "Tr" as tall as the cell allows, in the inverse colour.
    QFont Font = P.font();
    Font.setBold(true);
    int Size = std::min(Rect.width(), Rect.height());
    Font.setPixelSize(std::max(1, Size));
    while (Size > 1 && QFontMetrics(Font).height() > std::min(Rect.width(), Rect.height()))
      Font.setPixelSize(--Size);
    P.setFont(Font);
    P.setPen(ToQColor(lvk::RGB(255 - lvk::GetRValue(Color), 255 - lvk::GetGValue(Color),
                               255 - lvk::GetBValue(Color))));
    P.setClipRect(Rect);
    P.drawText(QRect(Rect.left() + 1, Rect.top() + 2, Rect.width(), Rect.height()),
               Qt::AlignLeft | Qt::AlignTop, "Tr");
    P.setClipping(false);
  } else if (Index < Count) {
    P.fillRect(Rect, ToQColor(FPalette->GetEntryColor(Index)));
  } else {
    P.fillRect(Rect, palette().color(QPalette::Button));
    if (Index < lvk::MaxPaletteSize) {
      // Right and bottom as exclusive edges.
      const int L = Rect.left(), T = Rect.top(), R = Rect.left() + Rect.width(), B = Rect.top() + Rect.height();
      P.setPen(QPen(palette().color(QPalette::Dark), 2, Qt::SolidLine));
      P.drawLine(L + 1, T + 1, R - 2, B - 2);
      P.drawLine(L + 1, B - 2, R - 2, T + 1);
    }
  }
  if (Selected) {
    P.setPen(QPen(Qt::black, 1));
    P.setBrush(Qt::NoBrush);
    P.drawRect(Rect.adjusted(0, 0, -1, -1));
  }
}

void TfrmPaletteEditor::grdPaletteSelectCell(int Column, int Row) {
  FCurrentIndex = IndexOf(Column, Row);
  SyncCurrentColor();
}

void TfrmPaletteEditor::grdPaletteMouseDown(Qt::KeyboardModifiers Modifiers) {
  FCurrentIndex = IndexOf(grdPalette->Selection().topLeft());
  SyncCurrentColor();
  if (!(Modifiers & Qt::ControlModifier)) return;
  if (FPalette && FCurrentIndex < FPalette->Count())
    grdPalette->BeginDrag();
  else
    ShowWarning(this, "Only active palette entries can be drag && dropped");
}

bool TfrmPaletteEditor::grdPaletteDragOver(int Column, int Row) const {
  return FPalette && IndexOf(Column, Row) < FPalette->Count();
}

void TfrmPaletteEditor::grdPaletteDragDrop(int Column, int Row) {
  const int From = IndexOf(grdPalette->Selection().topLeft());
  const int To = IndexOf(Column, Row);
  if (!FPalette || From >= FPalette->Count() || To >= FPalette->Count()) return;
  {
    lvk::TEdit Edit(FPalette->Game(), "Move color");
    FPalette->MoveEntry(From, To);
  }
  Redraw();
  SyncCurrentColor();
}

// ---- Commands ----

void TfrmPaletteEditor::butHelpClick() { HelpByKeyword(HelpKeyword(this), this); }

void TfrmPaletteEditor::butImportClick() {
  int Filter = 1;
  const QString Path = Dialogs().OpenFile(this, {"Import palette", FileFilter, "pal", PaletteFolder, &Filter});
  if (Path.isEmpty()) return;
  PaletteFolder = QFileInfo(Path).absolutePath();
  const std::string FileName = Path.toStdString();
  bool Lost = false;
  QString Error;
  {
    lvk::TEdit Edit(FPalette->Game(), "Import palette");
    FPalette->FillBlack();
    try {
      switch (Filter) {
        case 2: FPalette->LoadFromJascFile(FileName); break;
        case 3: FPalette->LoadFromClrxFile(FileName); break;
        default: Lost = FPalette->LoadFromBitmapFile(FileName); break;
      }
    } catch (const std::exception& E) {
      // Whatever went wrong, the game keeps a usable palette, not a half-read
      // or empty one. The error box is shown here: an error unwinding through
      // Qt's event delivery would leave Qt's own objects behind.
      FPalette->LoadDefaults();
      Error = QString::fromUtf8(E.what());
    }
  }
  if (Lost) ShowWarning(this, QString::fromStdString(lvk::LostColorsMessage()));
  if (!Error.isEmpty()) {
    Redraw();
    ResetSelection();
    ShowErrorBox(this, Error);
    return;
  }
  Redraw();
  ResetSelection();
  const QString Need =
      "A Lurvik palette needs a transparant color, and it needs to be the first in the palette.\n";
  const int Count = FPalette->Count();
  if (Count == lvk::MaxPaletteSize)
    ShowInformation(this, Need + "Your palette already has the maximum size (" + QString::number(Count) +
                              "), so you probably have to ctrl-drag a color to the first place.");
  else
    ShowInformation(this, Need +
                              "You probably should add an extra color (transparant) to the palette using the "
                              "'Add' button with the first entry selected\n(the palette still has room for "
                              "that, it has " +
                              QString::number(Count) + " colors out of a maximum of " +
                              QString::number(lvk::MaxPaletteSize) + ").\n\n" +
                              "If you don't want to add a color, you may ctrl-drag an existing one to the "
                              "first place.");
}

void TfrmPaletteEditor::butExportClick() {
  int Filter = 1;
  const QString Path = Dialogs().SaveFile(this, {"Export palette", FileFilter, "pal", PaletteFolder, &Filter});
  if (Path.isEmpty()) return;
  PaletteFolder = QFileInfo(Path).absolutePath();
  const std::string FileName = Path.toStdString();
  switch (Filter) {
    case 2: FPalette->SaveToJascFile(FileName); break;
    case 3: FPalette->SaveToClrxFile(FileName); break;
    default:
      if (rbut16->isChecked())
        FPalette->SaveToBitmapFile(FileName, 16, 16);
      else
        FPalette->SaveToBitmapFile(FileName, 18, 15);
      break;
  }
}

void TfrmPaletteEditor::butDefaultsClick() {
  if (!AskYesNo(this, "\"Defaults\" will delete all colors from the palette\nand then load new colors from a "
                      "default palette.\n\nReplace all?"))
    return;
  {
    lvk::TEdit Edit(FPalette->Game(), "Default palette");
    FPalette->LoadDefaults();
  }
  Redraw();
  SyncCurrentColor();
}

void TfrmPaletteEditor::butRevertClick() {
  if (!AskYesNo(this, "\"Revert\" will delete all colors from the palette, and restart with the original "
                      "palette.\n\nRevert?"))
    return;
  {
    lvk::TEdit Edit(FPalette->Game(), "Revert palette");
    FPalette->Assign(FOriginal->Palette());
  }
  Redraw();
  SyncCurrentColor();
}

void TfrmPaletteEditor::butOptimizeClick() {
  if (!AskYesNo(this, "\"Optimize\" will delete all duplicate colors from the palette.\n"
                      "A color is regarded a duplicate if it already occurs in the palette\n"
                      "after rounding the red, green and blue components from 8 bits\n"
                      "(Windows RGB888) to 5 bits (NDS hardware RGB555).\n\n"
                      "Note: the first color (transparant) is ignored in this process.\n\n"
                      "Delete duplicates?"))
    return;
  int Deleted = FPalette->Count();
  {
    lvk::TEdit Edit(FPalette->Game(), "Optimize palette");
    FPalette->RemoveDuplicates(1, lvk::DuplicateMask);
  }
  Deleted -= FPalette->Count();
  if (Deleted == 0)
    ShowInformation(this, "No duplicates found.");
  else if (Deleted == 1)
    ShowInformation(this, "Deleted one duplicate.");
  else
    ShowInformation(this, "Deleted " + QString::number(Deleted) + " duplicate.");
  Redraw();
  SyncCurrentColor();
}

void TfrmPaletteEditor::butClearClick() {
  const QRect S = grdPalette->Selection();
  const int Cells = S.width() * S.height();
  if (!AskYesNo(this, "\"Clear\" will set the " + QString::number(Cells) + " selected colors to white.\n\nClear?"))
    return;
  {
    lvk::TEdit Edit(FPalette->Game(), "Clear colors");
    for (int Row = S.top(); Row <= S.bottom(); ++Row)
      for (int Column = S.left(); Column <= S.right(); ++Column) {
        const int Index = IndexOf(Column, Row);
        if (Index < FPalette->Count()) FPalette->SetEntryColor(Index, lvk::clWhite);
      }
  }
  Redraw();
  SyncCurrentColor();
}

bool TfrmPaletteEditor::RowShaped() const {
  const QRect S = grdPalette->Selection();
  return S.top() == S.bottom() || (S.left() == 0 && S.right() == grdPalette->ColCount() - 1);
}

void TfrmPaletteEditor::butAddClick() {
  if (!RowShaped()) {
    ShowWarning(this, "For add, only a set of whole rows or a part of a single row can be selected.");
    return;
  }
  const QRect S = grdPalette->Selection();
  const int Start = IndexOf(S.topLeft()), End = IndexOf(S.bottomRight());
  if (Start > FPalette->Count()) {
    ShowWarning(this, "For add, the start of the selection must be in the active part of the palette.");
    return;
  }
  const int N = End - Start + 1;
  if (FPalette->Count() + N > lvk::MaxPaletteSize) {
    ShowWarning(this, "Sorry, palette does not have room for " + QString::number(N) + " extra color(s).");
    return;
  }
  {
    lvk::TEdit Edit(FPalette->Game(), "Add colors");
    FPalette->InsertRange(Start, End);
  }
  Redraw();
  SyncCurrentColor();
}

void TfrmPaletteEditor::butDeleteClick() {
  if (!RowShaped()) {
    ShowWarning(this, "For delete, only a set of whole rows or a part of a single row can be selected.");
    return;
  }
  if (!AskYesNo(this, "\"Delete\" will delete the selected colors from the palette.\n\nDelete?")) return;
  const QRect S = grdPalette->Selection();
  const int Start = IndexOf(S.topLeft()), End = IndexOf(S.bottomRight());
  {
    lvk::TEdit Edit(FPalette->Game(), "Delete colors");
    if (Start < FPalette->Count()) FPalette->DeleteRange(Start, std::min(End, FPalette->Count() - 1));
  }
  Redraw();
  SyncCurrentColor();
}
