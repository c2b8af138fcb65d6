#include "ui/editors/FSongEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMediaDevices>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "generator/USongRender.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/UModuleImport.h"
#include "model/USound.h"
#include "ui/common/UDialogService.h"
#include "ui/common/UHelp.h"
#include "ui/common/UPictures.h"
#include "ui/play/UPlayAudio.h"

using lvk::TSongCell;
using lvk::TSongData;

namespace {

// The computer keyboard as a piano: the lower row from Z an octave from C,
// the keys above it the sharps; the row from Q the octave above, the digits
// its sharps.
struct TPianoKey {
  int Key;
  int Semitone;
};
const TPianoKey PianoKeys[] = {
    {Qt::Key_Z, 0},  {Qt::Key_S, 1},  {Qt::Key_X, 2},  {Qt::Key_D, 3},  {Qt::Key_C, 4},  {Qt::Key_V, 5},
    {Qt::Key_G, 6},  {Qt::Key_B, 7},  {Qt::Key_H, 8},  {Qt::Key_N, 9},  {Qt::Key_J, 10}, {Qt::Key_M, 11},
    {Qt::Key_Comma, 12}, {Qt::Key_Q, 12}, {Qt::Key_2, 13}, {Qt::Key_W, 14}, {Qt::Key_3, 15}, {Qt::Key_E, 16},
    {Qt::Key_R, 17}, {Qt::Key_5, 18}, {Qt::Key_T, 19}, {Qt::Key_6, 20}, {Qt::Key_Y, 21}, {Qt::Key_7, 22},
    {Qt::Key_U, 23}, {Qt::Key_I, 24},
};

const char* const EffectNames[LVK_SEQ_FX_COUNT] = {"none",          "arpeggio",    "slide up",     "slide down",
                                                   "slide to note", "vibrato",     "volume slide", "note cut",
                                                   "set tempo",     "jump to order", "end pattern"};

QString Digits(int Value, bool Hex, int HexWidth, int DecWidth) {
  return Hex ? QString("%1").arg(Value, HexWidth, 16, QChar('0')).toUpper() : QString("%1").arg(Value, DecWidth, 10, QChar('0'));
}

void SetHints(QWidget* W, const QString& Short, const QString& Long = {}) {
  W->setToolTip(Short);
  W->setStatusTip(Long.isEmpty() ? Short : Long);
}

}  // namespace

// ---- The grid ----

TSongGrid::TSongGrid(TfrmSongEditor& Editor) : QAbstractScrollArea(&Editor), FEditor(Editor) {
  setObjectName("grdSong");
  QFont Mono("DejaVu Sans Mono");
  Mono.setStyleHint(QFont::Monospace);
  Mono.setPointSize(10);
  setFont(Mono);
  viewport()->setFont(Mono);
  const QFontMetrics M(Mono);
  FCharWidth = M.horizontalAdvance('0');
  FRowHeight = M.height() + 2;
  // "C-4 01 F 0A37" and room
  FChannelWidth = FCharWidth * 15;
  FRowLabelWidth = FCharWidth * 4;
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(FRowLabelWidth + 4 * FChannelWidth + 20, 20 * FRowHeight);
  viewport()->setMouseTracking(false);
  SetHints(this, "The pattern: rows down, channels across",
           "Notes with the keyboard as a piano (Z..M, Q..U), 1 a note-off, Delete clears; digits in the other columns");
}

void TSongGrid::UpdateScroll() {
  const int Rows = FEditor.Song() ? FEditor.Data().Patterns[static_cast<std::size_t>(FEditor.CurrentPattern())].Rows : 0;
  const int Visible = std::max(1, viewport()->height() / FRowHeight - 1);
  verticalScrollBar()->setRange(0, std::max(0, Rows - Visible));
  verticalScrollBar()->setPageStep(Visible);
  const int Channels = FEditor.Song() ? FEditor.Data().Channels : 1;
  horizontalScrollBar()->setRange(0, std::max(0, FRowLabelWidth + Channels * FChannelWidth - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
}

void TSongGrid::resizeEvent(QResizeEvent* Event) {
  QAbstractScrollArea::resizeEvent(Event);
  UpdateScroll();
}

void TSongGrid::ShowRow(int Row) {
  const int Top = verticalScrollBar()->value();
  const int Visible = std::max(1, viewport()->height() / FRowHeight - 1);
  if (Row < Top) verticalScrollBar()->setValue(Row);
  if (Row >= Top + Visible) verticalScrollBar()->setValue(Row - Visible + 1);
  viewport()->update();
}

bool TSongGrid::CellAt(const QPoint& P, int& Row, int& Channel, int& Field) const {
  if (!FEditor.Song()) return false;
  const int X = P.x() + horizontalScrollBar()->value() - FRowLabelWidth;
  const int Y = P.y() - FRowHeight;
  if (X < 0 || Y < 0) return false;
  Row = Y / FRowHeight + verticalScrollBar()->value();
  Channel = X / FChannelWidth;
  const int Column = (X % FChannelWidth) / FCharWidth;  // "NNN II V E VV"
  Field = Column < 4 ? sfNote : Column < 7 ? sfInstrument : Column < 10 ? sfVolume
          : Column < 11 ? sfEffect : sfValue;
  const TSongData& D = FEditor.Data();
  return Row < D.Patterns[static_cast<std::size_t>(FEditor.CurrentPattern())].Rows && Channel < D.Channels;
}

void TSongGrid::paintEvent(QPaintEvent*) {
  QPainter P(viewport());
  const QPalette& Pal = palette();
  P.fillRect(viewport()->rect(), QColor(24, 28, 36));
  if (!FEditor.Song()) return;
  const TSongData& D = FEditor.Data();
  const lvk::TSongPattern& Pattern = D.Patterns[static_cast<std::size_t>(FEditor.CurrentPattern())];
  const bool Hex = FEditor.Hex();
  const int Left = -horizontalScrollBar()->value();
  const int Top = verticalScrollBar()->value();
  int R1, R2, C1, C2;
  FEditor.Selection(R1, R2, C1, C2);
  // Channel heads.
  P.setPen(QColor(200, 200, 210));
  for (int c = 0; c < D.Channels; ++c)
    P.drawText(QRect(Left + FRowLabelWidth + c * FChannelWidth, 0, FChannelWidth, FRowHeight), Qt::AlignCenter,
               QString("Channel %1").arg(c + 1));
  for (int r = Top; r < Pattern.Rows; ++r) {
    const int Y = FRowHeight + (r - Top) * FRowHeight;
    if (Y > viewport()->height()) break;
    QColor Back = r % D.BeatRows == 0 ? QColor(40, 46, 60) : QColor(24, 28, 36);
    if (r == FEditor.PlayingRow()) Back = QColor(70, 60, 20);
    if (r == FEditor.CursorRow()) Back = Back.lighter(150);
    P.fillRect(0, Y, viewport()->width(), FRowHeight, Back);
    P.setPen(QColor(140, 150, 170));
    P.drawText(QRect(Left, Y, FRowLabelWidth - 4, FRowHeight), Qt::AlignRight | Qt::AlignVCenter,
               Digits(r, Hex, 2, 2));
    for (int c = 0; c < D.Channels; ++c) {
      const int X = Left + FRowLabelWidth + c * FChannelWidth;
      if (FEditor.HasSelection() && r >= R1 && r <= R2 && c >= C1 && c <= C2)
        P.fillRect(X, Y, FChannelWidth, FRowHeight, QColor(50, 80, 130));
      const TSongCell& Cell = Pattern.At(r, c);
      const QString Note = QString::fromStdString(lvk::NoteName(Cell.Note));
      const QString Ins = Cell.Instrument == lvk::NoItem ? (Hex ? "--" : "---")
                                                         : Digits(FEditor.InstrumentNumber(Cell.Instrument), Hex, 2, 3);
      const QString Vol = Cell.Volume < 0 ? (Hex ? "-" : "--") : Digits(Cell.Volume, Hex, 1, 2);
      const QString Fx = Cell.Effect == 0 && Cell.Value == 0 ? "-" : QString::number(Cell.Effect, 16).toUpper();
      const QString Val = Cell.Effect == 0 && Cell.Value == 0 ? (Hex ? "--" : "---") : Digits(Cell.Value, Hex, 2, 3);
      const QString Fields[sfCount] = {Note, Ins, Vol, Fx, Val};
      const int Starts[sfCount] = {0, 4, 8, 11, 12};
      for (int f = 0; f < sfCount; ++f) {
        const QRect Box(X + Starts[f] * FCharWidth + 2, Y, FCharWidth * Fields[f].size(), FRowHeight);
        if (r == FEditor.CursorRow() && c == FEditor.CursorChannel() && f == FEditor.CursorField()) {
          P.fillRect(Box.adjusted(-1, 0, 1, 0), hasFocus() ? QColor(230, 200, 90) : QColor(120, 110, 70));
          P.setPen(QColor(0, 0, 0));
        } else {
          static const QColor Colours[sfCount] = {QColor(235, 235, 240), QColor(120, 200, 255),
                                                        QColor(130, 230, 140), QColor(255, 160, 120),
                                                        QColor(255, 200, 150)};
          P.setPen(Colours[f]);
        }
        P.drawText(Box, Qt::AlignLeft | Qt::AlignVCenter, Fields[f]);
      }
      P.setPen(QColor(60, 66, 80));
      P.drawLine(X, Y, X, Y + FRowHeight);
    }
  }
  Q_UNUSED(Pal);
}

void TSongGrid::keyPressEvent(QKeyEvent* Event) {
  if (!FEditor.TypeKey(Event->key(), Event->text(), Event->modifiers())) QAbstractScrollArea::keyPressEvent(Event);
}

void TSongGrid::mousePressEvent(QMouseEvent* Event) {
  setFocus();
  int Row, Channel, Field;
  if (!CellAt(Event->pos(), Row, Channel, Field)) return;
  FEditor.MoveCursor(Row, Channel, Field, (Event->modifiers() & Qt::ShiftModifier) != 0);
  // A note clicked is heard.
  const TSongCell& Cell = FEditor.Data().Patterns[static_cast<std::size_t>(FEditor.CurrentPattern())].At(Row, Channel);
  if (Field == sfNote && Cell.Note >= LVK_SEQ_MIN_NOTE && Cell.Note <= LVK_SEQ_MAX_NOTE)
    FEditor.HearNote(Cell.Note, Cell.Instrument);
}

void TSongGrid::mouseMoveEvent(QMouseEvent* Event) {
  int Row, Channel, Field;
  if ((Event->buttons() & Qt::LeftButton) && CellAt(Event->pos(), Row, Channel, Field))
    FEditor.MoveCursor(Row, Channel, Field, true);
}

// ---- The editor ----

TfrmSongEditor::TfrmSongEditor(QWidget* Parent) : QDialog(Parent) {
  setObjectName("frmSongEditor");
  setWindowTitle("Song editor");
  SetHelpKeyword(this, "song-editor");
  auto* Main = new QVBoxLayout(this);

  // Playing and the song's values.
  auto* Bar = new QHBoxLayout;
  auto Tool = [this, Bar](const QString& Name, const QString& Text, const QString& Short, const QString& Long,
                          QKeySequence Key) {
    auto* B = new QToolButton(this);
    B->setObjectName(Name);
    B->setText(Text);
    B->setShortcut(Key);
    SetHints(B, Short + " (" + Key.toString() + ")", Long);
    Bar->addWidget(B);
    return B;
  };
  butPlay = Tool("butPlay", "&Play", "Play the song from its start", "Play the song from its start, as the game plays it",
                 QKeySequence(Qt::Key_F5));
  butPlayCursor = Tool("butPlayCursor", "From &cursor", "Play from the cursor's row",
                       "Play the song from the row under the cursor in the pattern shown", QKeySequence(Qt::Key_F6));
  butLoop = Tool("butLoop", "&Loop", "Loop the selected rows",
                 "Play the selected rows (or the pattern) again and again", QKeySequence(Qt::Key_F7));
  butStop = Tool("butStop", "&Stop", "Stop playing", "Stop playing", QKeySequence(Qt::Key_F8));
  Bar->addSpacing(12);
  auto Spin = [this, Bar](const QString& Name, const QString& Caption, int Min, int Max, const QString& Hint) {
    auto* L = new QLabel(Caption, this);
    auto* S = new QSpinBox(this);
    S->setObjectName(Name);
    S->setRange(Min, Max);
    L->setBuddy(S);
    SetHints(S, Hint);
    Bar->addWidget(L);
    Bar->addWidget(S);
    return S;
  };
  spnTempo = Spin("spnTempo", "&Tempo", lvk::SongMinTempo, lvk::SongMaxTempo,
                  "Frames of 1/60 s a row: smaller is faster");
  spnBeats = Spin("spnBeats", "&Beat every", 1, lvk::SongMaxRows, "A line every so many rows, for the eye");
  spnChannels = Spin("spnChannels", "C&hannels", 1, lvk::SongMaxChannels, "The song's channels, 1 to 8");
  spnRows = Spin("spnRows", "&Rows", lvk::SongMinRows, lvk::SongMaxRows, "Rows of the pattern shown, 16 to 64");
  spnOctave = Spin("spnOctave", "&Octave", 1, 6, "The octave of the lower piano row ([ and ] change it)");
  spnOctave->setValue(4);
  auto* InsLabel = new QLabel("&Instrument", this);
  cbxInstrument = new QComboBox(this);
  cbxInstrument->setObjectName("cbxInstrument");
  InsLabel->setBuddy(cbxInstrument);
  SetHints(cbxInstrument, "The sound a typed note plays", "The game's sound a note typed from now on plays");
  Bar->addWidget(InsLabel);
  Bar->addWidget(cbxInstrument);
  chkHex = new QCheckBox("He&x", this);
  chkHex->setObjectName("chkHex");
  chkHex->setChecked(true);
  SetHints(chkHex, "Numbers in hex, else decimal", "Row numbers, instruments, volumes and values in hex or decimal");
  Bar->addWidget(chkHex);
  Bar->addStretch(1);
  Main->addLayout(Bar);

  auto* Middle = new QHBoxLayout;
  auto* Side = new QVBoxLayout;
  auto* OrdersLabel = new QLabel("Or&ders", this);
  lbxOrders = new QListWidget(this);
  lbxOrders->setObjectName("lbxOrders");
  OrdersLabel->setBuddy(lbxOrders);
  lbxOrders->setFixedWidth(150);
  SetHints(lbxOrders, "The order list: the patterns played in turn",
           "The order list: the patterns played in turn; the grid shows the selected entry's pattern");
  Side->addWidget(OrdersLabel);
  Side->addWidget(lbxOrders, 1);
  auto Button = [this, Side](const QString& Name, const QString& Text, const QString& Hint) {
    auto* B = new QPushButton(Text, this);
    B->setObjectName(Name);
    SetHints(B, Hint);
    Side->addWidget(B);
    return B;
  };
  butAddOrder = Button("butAddOrder", "&Add order", "Add an entry after the selected one, playing the same pattern");
  butRemoveOrder = Button("butRemoveOrder", "Remo&ve order", "Remove the selected entry from the order list");
  butNewPattern = Button("butNewPattern", "&New pattern", "Add an empty pattern and play it after the selected entry");
  butClonePattern = Button("butClonePattern", "C&lone pattern", "Copy the pattern shown and play the copy after it");
  butLoopHere = Button("butLoopHere", "Loop &here", "The song goes on from the selected entry after its last one");
  butTransposeUp = Button("butTransposeUp", "Transpose &up", "Raise the selected notes a semitone (Ctrl+Up; Ctrl+Shift+Up an octave)");
  butTransposeDown = Button("butTransposeDown", "Transpose do&wn",
                            "Lower the selected notes a semitone (Ctrl+Down; Ctrl+Shift+Down an octave)");
  butImport = Button("butImport", "I&mport module...", "Make the song from a MOD or XM file");
  butExport = Button("butExport", "&Export WAV...", "Write the song, once through, as a WAV file");
  butHelp = Button("butHelp", "Help", "The song editor's help page (F1)");
  Middle->addLayout(Side);
  grdSong = new TSongGrid(*this);
  Middle->addWidget(grdSong, 1);
  Main->addLayout(Middle, 1);
  stbSong = new QStatusBar(this);
  stbSong->setObjectName("stbSong");
  stbSong->setSizeGripEnabled(false);
  Main->addWidget(stbSong);
  resize(1000, 640);

  connect(butPlay, &QToolButton::clicked, this, &TfrmSongEditor::PlaySong);
  connect(butPlayCursor, &QToolButton::clicked, this, &TfrmSongEditor::PlayFromCursor);
  connect(butLoop, &QToolButton::clicked, this, &TfrmSongEditor::LoopSelection);
  connect(butStop, &QToolButton::clicked, this, &TfrmSongEditor::Stop);
  connect(butAddOrder, &QPushButton::clicked, this, &TfrmSongEditor::AddOrder);
  connect(butRemoveOrder, &QPushButton::clicked, this, &TfrmSongEditor::RemoveOrder);
  connect(butNewPattern, &QPushButton::clicked, this, &TfrmSongEditor::NewPattern);
  connect(butClonePattern, &QPushButton::clicked, this, &TfrmSongEditor::ClonePattern);
  connect(butLoopHere, &QPushButton::clicked, this, &TfrmSongEditor::SetLoopHere);
  connect(butTransposeUp, &QPushButton::clicked, this, [this] { Transpose(1); });
  connect(butTransposeDown, &QPushButton::clicked, this, [this] { Transpose(-1); });
  connect(butImport, &QPushButton::clicked, this, &TfrmSongEditor::ImportModule);
  connect(butExport, &QPushButton::clicked, this, &TfrmSongEditor::ExportWav);
  connect(butHelp, &QPushButton::clicked, this, [this] { HelpByKeyword("song-editor", this); });
  connect(chkHex, &QCheckBox::toggled, grdSong->viewport(), qOverload<>(&QWidget::update));
  connect(lbxOrders, &QListWidget::currentRowChanged, this, [this](int Row) {
    if (FFilling || Row < 0) return;
    FOrder = Row;
    FRow = std::min(FRow, Data().Patterns[static_cast<std::size_t>(CurrentPattern())].Rows - 1);
    FSelecting = false;
    Refresh();
  });
  auto ValueChange = [this](QSpinBox* Box, const char* Step, auto Set) {
    connect(Box, &QSpinBox::valueChanged, this, [this, Step, Set](int V) {
      if (FFilling || !Song()) return;
      Change(Step, [&](TSongData& D) { Set(D, V); });
    });
  };
  ValueChange(spnTempo, "Song tempo", [](TSongData& D, int V) { D.Tempo = V; });
  ValueChange(spnBeats, "Song beats", [](TSongData& D, int V) { D.BeatRows = V; });
  ValueChange(spnChannels, "Song channels", [](TSongData& D, int V) { D.Channels = V; });
  ValueChange(spnRows, "Pattern rows", [this](TSongData& D, int V) {
    D.Patterns[static_cast<std::size_t>(D.Orders[static_cast<std::size_t>(FOrder)])].Rows = V;
  });
  FPoll = new QTimer(this);
  FPoll->setInterval(30);
  connect(FPoll, &QTimer::timeout, this, &TfrmSongEditor::PollPlaying);
}

TfrmSongEditor::~TfrmSongEditor() {
  if (FAudio) FAudio->StopSong();
}

lvk::TPlayAudio& TfrmSongEditor::Audio() {
  if (!FAudio) {
    FAudio = std::make_unique<lvk::TPlayAudio>(QMediaDevices::defaultAudioOutput());
    connect(FAudio.get(), &lvk::TPlayAudio::Silenced, this, [this](const QString& Why) { stbSong->showMessage(Why); });
    FAudio->Start();
  }
  return *FAudio;
}

void TfrmSongEditor::SetSong(lvk::TGame& Game, lvk::TSong& Song) {
  FGame = &Game;
  FSongId = Song.Id();
  FOrder = 0;
  FRow = FChannel = FField = 0;
  FSelecting = false;
  setWindowTitle("Song editor: " + QString::fromStdString(Song.Name()));
  FillInstruments();
  Refresh();
}

lvk::TSong* TfrmSongEditor::Song() const { return FGame ? FGame->SongById(FSongId) : nullptr; }

const TSongData& TfrmSongEditor::Data() const { return Song()->Data(); }

int TfrmSongEditor::CurrentPattern() const {
  const TSongData& D = Data();
  return D.Orders[static_cast<std::size_t>(std::clamp(FOrder, 0, static_cast<int>(D.Orders.size()) - 1))];
}

int TfrmSongEditor::Octave() const { return spnOctave->value(); }
bool TfrmSongEditor::Hex() const { return chkHex->isChecked(); }

int TfrmSongEditor::InstrumentNumber(lvk::TItemId Sound) const {
  const lvk::TSound* S = FGame ? FGame->SoundById(Sound) : nullptr;
  return S ? FGame->IndexOfSound(S) + 1 : 0;
}

void TfrmSongEditor::Selection(int& Row1, int& Row2, int& Channel1, int& Channel2) const {
  if (!FSelecting) {
    Row1 = Row2 = FRow;
    Channel1 = Channel2 = FChannel;
    return;
  }
  Row1 = std::min(FRow, FAnchorRow), Row2 = std::max(FRow, FAnchorRow);
  Channel1 = std::min(FChannel, FAnchorChannel), Channel2 = std::max(FChannel, FAnchorChannel);
}

void TfrmSongEditor::Follow(const lvk::TChange& Change) {
  if (!Song()) return;
  if (Change.Item == lvk::TItemKind::Sound) FillInstruments();
  if (Change.Item == lvk::TItemKind::Song || Change.Kind == lvk::TChangeKind::Edited) Refresh();
}

void TfrmSongEditor::ShowUndone() {
  if (!Song()) return;
  FillInstruments();
  Refresh();
}

void TfrmSongEditor::FillInstruments() {
  const int Was = cbxInstrument->currentIndex();
  FFilling = true;
  cbxInstrument->clear();
  for (int i = 0; FGame && i < FGame->SoundCount(); ++i)
    cbxInstrument->addItem(Digits(i + 1, true, 2, 3) + " " + QString::fromStdString(FGame->GetSound(i)->Name()));
  cbxInstrument->setCurrentIndex(std::clamp(Was, 0, cbxInstrument->count() - 1));
  FFilling = false;
}

void TfrmSongEditor::FillOrders() {
  const TSongData& D = Data();
  FFilling = true;
  lbxOrders->clear();
  for (std::size_t o = 0; o < D.Orders.size(); ++o)
    lbxOrders->addItem(QString("%1: pattern %2%3")
                           .arg(o, 2, 10, QChar('0'))
                           .arg(D.Orders[o])
                           .arg(static_cast<int>(o) == D.Loop ? "  \u21ba loop" : ""));
  FOrder = std::clamp(FOrder, 0, static_cast<int>(D.Orders.size()) - 1);
  lbxOrders->setCurrentRow(FOrder);
  FFilling = false;
}

void TfrmSongEditor::Refresh() {
  if (!Song()) return;
  const TSongData& D = Data();
  FillOrders();
  const lvk::TSongPattern& P = D.Patterns[static_cast<std::size_t>(CurrentPattern())];
  FRow = std::clamp(FRow, 0, P.Rows - 1);
  FChannel = std::clamp(FChannel, 0, D.Channels - 1);
  FAnchorRow = std::clamp(FAnchorRow, 0, P.Rows - 1);
  FAnchorChannel = std::clamp(FAnchorChannel, 0, D.Channels - 1);
  FFilling = true;
  spnTempo->setValue(D.Tempo);
  spnBeats->setValue(D.BeatRows);
  spnChannels->setValue(D.Channels);
  spnRows->setValue(P.Rows);
  FFilling = false;
  grdSong->UpdateScroll();
  grdSong->ShowRow(FRow);
  ShowCellHint();
}

void TfrmSongEditor::ShowCellHint() {
  if (!Song()) return;
  const TSongCell& C = Data().Patterns[static_cast<std::size_t>(CurrentPattern())].At(FRow, FChannel);
  QString Text = QString("Pattern %1, row %2, channel %3: ").arg(CurrentPattern()).arg(FRow).arg(FChannel + 1);
  Text += C.Note == 0 ? "no note" : C.Note == lvk::NoteOff ? "note-off" : QString::fromStdString(lvk::NoteName(C.Note));
  if (const lvk::TSound* S = FGame->SoundById(C.Instrument)) Text += ", " + QString::fromStdString(S->Name());
  if (C.Volume >= 0) Text += QString(", volume %1").arg(C.Volume);
  if (C.Effect || C.Value) Text += QString(", %1 %2").arg(EffectNames[C.Effect]).arg(Digits(C.Value, Hex(), 2, 3));
  stbSong->showMessage(Text);
}

void TfrmSongEditor::Change(const char* Step, const std::function<void(TSongData&)>& Changer) {
  lvk::TSong* S = Song();
  if (!S) return;
  TSongData D = S->Data();
  Changer(D);
  {
    lvk::TEdit Edit(*FGame, Step);
    S->SetData(std::move(D));
  }
  Refresh();
}

void TfrmSongEditor::MoveCursor(int Row, int Channel, int Field, bool Select) {
  if (!Song()) return;
  const TSongData& D = Data();
  const int Rows = D.Patterns[static_cast<std::size_t>(CurrentPattern())].Rows;
  if (Select && !FSelecting) {
    FSelecting = true;
    FAnchorRow = FRow;
    FAnchorChannel = FChannel;
  } else if (!Select) {
    FSelecting = false;
  }
  FRow = std::clamp(Row, 0, Rows - 1);
  FChannel = std::clamp(Channel, 0, D.Channels - 1);
  FField = std::clamp(Field, 0, static_cast<int>(sfCount) - 1);
  grdSong->ShowRow(FRow);
  ShowCellHint();
}

bool TfrmSongEditor::TypeKey(int Key, const QString& Text, Qt::KeyboardModifiers Modifiers) {
  if (!Song()) return false;
  const bool Shift = Modifiers & Qt::ShiftModifier, Ctrl = Modifiers & Qt::ControlModifier;
  const int Rows = Data().Patterns[static_cast<std::size_t>(CurrentPattern())].Rows;
  switch (Key) {
    case Qt::Key_Up:
      if (Ctrl) Transpose(Shift ? 12 : 1);
      else MoveCursor(FRow - 1, FChannel, FField, Shift);
      return true;
    case Qt::Key_Down:
      if (Ctrl) Transpose(Shift ? -12 : -1);
      else MoveCursor(FRow + 1, FChannel, FField, Shift);
      return true;
    case Qt::Key_PageUp: MoveCursor(FRow - 16, FChannel, FField, Shift); return true;
    case Qt::Key_PageDown: MoveCursor(FRow + 16, FChannel, FField, Shift); return true;
    case Qt::Key_Home: MoveCursor(0, FChannel, FField, Shift); return true;
    case Qt::Key_End: MoveCursor(Rows - 1, FChannel, FField, Shift); return true;
    case Qt::Key_Left:
      if (Shift) MoveCursor(FRow, FChannel - 1, FField, true);
      else if (FField > 0) MoveCursor(FRow, FChannel, FField - 1, false);
      else MoveCursor(FRow, FChannel - 1, sfValue, false);
      return true;
    case Qt::Key_Right:
      if (Shift) MoveCursor(FRow, FChannel + 1, FField, true);
      else if (FField < sfValue) MoveCursor(FRow, FChannel, FField + 1, false);
      else MoveCursor(FRow, FChannel + 1, sfNote, false);
      return true;
    case Qt::Key_Tab: MoveCursor(FRow, FChannel + 1, FField, false); return true;
    case Qt::Key_Backtab: MoveCursor(FRow, FChannel - 1, FField, false); return true;
    case Qt::Key_Delete: ClearAtCursor(); return true;
    case Qt::Key_Insert: InsertRow(); return true;
    case Qt::Key_Backspace: DeleteRow(); return true;
    case Qt::Key_BracketLeft: spnOctave->setValue(spnOctave->value() - 1); return true;
    case Qt::Key_BracketRight: spnOctave->setValue(spnOctave->value() + 1); return true;
    case Qt::Key_Escape:
      if (FSelecting) {
        FSelecting = false;
        grdSong->viewport()->update();
        return true;
      }
      Stop();
      return false;
    default: break;
  }
  if (Ctrl) {
    if (Key == Qt::Key_C) return CopySelection(), true;
    if (Key == Qt::Key_X) return CutSelection(), true;
    if (Key == Qt::Key_V) return Paste(), true;
    if (Key == Qt::Key_A) {
      FSelecting = true;
      FAnchorRow = 0, FAnchorChannel = 0;
      MoveCursor(Rows - 1, Data().Channels - 1, FField, true);
      return true;
    }
    return false;
  }
  const int Row = FRow, Channel = FChannel, Pattern = CurrentPattern();
  auto Advance = [this, Rows] { MoveCursor(std::min(FRow + 1, Rows - 1), FChannel, FField, false); };
  if (FField == sfNote) {
    if (Key == Qt::Key_1) {
      Change("Note-off", [&](TSongData& D) {
        TSongCell& C = D.Patterns[static_cast<std::size_t>(Pattern)].At(Row, Channel);
        C.Note = lvk::NoteOff;
        C.Instrument = lvk::NoItem;
      });
      Advance();
      return true;
    }
    for (const TPianoKey& P : PianoKeys)
      if (P.Key == Key) {
        const int Note = (Octave() - 1) * 12 + 1 + P.Semitone;
        if (Note < LVK_SEQ_MIN_NOTE || Note > LVK_SEQ_MAX_NOTE) return true;
        const lvk::TSound* Sound =
            cbxInstrument->currentIndex() >= 0 && cbxInstrument->currentIndex() < FGame->SoundCount()
                ? FGame->GetSound(cbxInstrument->currentIndex())
                : nullptr;
        Change("Enter note", [&](TSongData& D) {
          TSongCell& C = D.Patterns[static_cast<std::size_t>(Pattern)].At(Row, Channel);
          C.Note = static_cast<std::uint8_t>(Note);
          if (Sound) C.Instrument = Sound->Id();
        });
        HearNote(Note, Sound ? Sound->Id() : lvk::NoItem);
        Advance();
        return true;
      }
    return false;
  }
  // Digits: hex or decimal by the check box; the effect column takes one
  // hex digit, the effect's number.
  bool Ok = false;
  const int Base = FField == sfEffect || Hex() ? 16 : 10;
  const int Digit = Text.size() == 1 ? Text.toInt(&Ok, Base) : -1;
  if (!Ok || Digit < 0) return false;
  Change("Enter value", [&](TSongData& D) {
    TSongCell& C = D.Patterns[static_cast<std::size_t>(Pattern)].At(Row, Channel);
    auto Shifted = [&](int Old, int Max) {
      const int V = (Old < 0 ? 0 : Old) * Base + Digit;
      return V > Max ? Digit : V;
    };
    switch (FField) {
      case sfInstrument: {
        const int N = Shifted(InstrumentNumber(C.Instrument), FGame->SoundCount());
        C.Instrument = N >= 1 && N <= FGame->SoundCount() ? FGame->GetSound(N - 1)->Id() : lvk::NoItem;
        break;
      }
      case sfVolume: C.Volume = static_cast<std::int8_t>(std::min(Shifted(C.Volume, 15), 15)); break;
      case sfEffect: C.Effect = static_cast<std::uint8_t>(Digit < LVK_SEQ_FX_COUNT ? Digit : 0); break;
      case sfValue: C.Value = static_cast<std::uint8_t>(Shifted(C.Value, 255)); break;
      default: break;
    }
  });
  ShowCellHint();
  return true;
}

void TfrmSongEditor::ClearAtCursor() {
  int R1, R2, C1, C2;
  Selection(R1, R2, C1, C2);
  const int Pattern = CurrentPattern(), Field = FField;
  const bool Whole = FSelecting;
  Change("Clear", [&](TSongData& D) {
    for (int r = R1; r <= R2; ++r)
      for (int c = C1; c <= C2; ++c) {
        TSongCell& C = D.Patterns[static_cast<std::size_t>(Pattern)].At(r, c);
        if (Whole) C = TSongCell();
        else if (Field == sfNote) C.Note = 0, C.Instrument = lvk::NoItem, C.Volume = lvk::NoVolume;
        else if (Field == sfInstrument) C.Instrument = lvk::NoItem;
        else if (Field == sfVolume) C.Volume = lvk::NoVolume;
        else C.Effect = 0, C.Value = 0;
      }
  });
}

void TfrmSongEditor::Transpose(int Semitones) {
  int R1, R2, C1, C2;
  Selection(R1, R2, C1, C2);
  const int Pattern = CurrentPattern();
  Change(Semitones % 12 ? "Transpose" : "Transpose an octave", [&](TSongData& D) {
    for (int r = R1; r <= R2; ++r)
      for (int c = C1; c <= C2; ++c) {
        TSongCell& C = D.Patterns[static_cast<std::size_t>(Pattern)].At(r, c);
        if (C.Note < LVK_SEQ_MIN_NOTE || C.Note > LVK_SEQ_MAX_NOTE) continue;
        // A note that would leave C1..B7 stays where it is.
        const int N = C.Note + Semitones;
        if (N >= LVK_SEQ_MIN_NOTE && N <= LVK_SEQ_MAX_NOTE) C.Note = static_cast<std::uint8_t>(N);
      }
  });
}

void TfrmSongEditor::CopySelection() {
  int R1, R2, C1, C2;
  Selection(R1, R2, C1, C2);
  const lvk::TSongPattern& P = Data().Patterns[static_cast<std::size_t>(CurrentPattern())];
  FClip.clear();
  FClipRows = R2 - R1 + 1;
  FClipChannels = C2 - C1 + 1;
  for (int r = R1; r <= R2; ++r)
    for (int c = C1; c <= C2; ++c) FClip.push_back(P.At(r, c));
  stbSong->showMessage(QString("Copied %1 rows of %2 channels").arg(FClipRows).arg(FClipChannels));
}

void TfrmSongEditor::CutSelection() {
  CopySelection();
  const bool Was = FSelecting;
  FSelecting = true;
  if (!Was) FAnchorRow = FRow, FAnchorChannel = FChannel;
  ClearAtCursor();
  FSelecting = Was;
}

void TfrmSongEditor::Paste() {
  if (FClip.empty()) return;
  const int Pattern = CurrentPattern(), Row = FRow, Channel = FChannel;
  Change("Paste", [&](TSongData& D) {
    lvk::TSongPattern& P = D.Patterns[static_cast<std::size_t>(Pattern)];
    for (int r = 0; r < FClipRows && Row + r < P.Rows; ++r)
      for (int c = 0; c < FClipChannels && Channel + c < lvk::SongMaxChannels; ++c)
        P.At(Row + r, Channel + c) = FClip[static_cast<std::size_t>(r * FClipChannels + c)];
  });
}

void TfrmSongEditor::InsertRow() {
  int R1, R2, C1, C2;
  Selection(R1, R2, C1, C2);
  const int Pattern = CurrentPattern(), Row = FRow;
  Change("Insert row", [&](TSongData& D) {
    lvk::TSongPattern& P = D.Patterns[static_cast<std::size_t>(Pattern)];
    for (int c = C1; c <= C2; ++c) {
      for (int r = P.Rows - 1; r > Row; --r) P.At(r, c) = P.At(r - 1, c);
      P.At(Row, c) = TSongCell();
    }
  });
}

void TfrmSongEditor::DeleteRow() {
  int R1, R2, C1, C2;
  Selection(R1, R2, C1, C2);
  const int Pattern = CurrentPattern(), Row = FRow;
  Change("Delete row", [&](TSongData& D) {
    lvk::TSongPattern& P = D.Patterns[static_cast<std::size_t>(Pattern)];
    for (int c = C1; c <= C2; ++c) {
      for (int r = Row; r + 1 < P.Rows; ++r) P.At(r, c) = P.At(r + 1, c);
      P.At(P.Rows - 1, c) = TSongCell();
    }
  });
}

void TfrmSongEditor::ClonePattern() {
  if (Data().Patterns.size() >= static_cast<std::size_t>(lvk::SongMaxPatterns)) {
    stbSong->showMessage(QString("A song has at most %1 patterns.").arg(lvk::SongMaxPatterns));
    return;
  }
  const int Pattern = CurrentPattern(), Order = FOrder;
  Change("Clone pattern", [&](TSongData& D) {
    D.Patterns.push_back(D.Patterns[static_cast<std::size_t>(Pattern)]);
    D.Orders.insert(D.Orders.begin() + Order + 1, static_cast<int>(D.Patterns.size()) - 1);
  });
  FOrder = Order + 1;
  Refresh();
}

void TfrmSongEditor::NewPattern() {
  if (Data().Patterns.size() >= static_cast<std::size_t>(lvk::SongMaxPatterns)) {
    stbSong->showMessage(QString("A song has at most %1 patterns.").arg(lvk::SongMaxPatterns));
    return;
  }
  const int Order = FOrder;
  const int Rows = Data().Patterns[static_cast<std::size_t>(CurrentPattern())].Rows;
  Change("New pattern", [&](TSongData& D) {
    D.Patterns.push_back(lvk::EmptyPattern(Rows));
    D.Orders.insert(D.Orders.begin() + Order + 1, static_cast<int>(D.Patterns.size()) - 1);
  });
  FOrder = Order + 1;
  Refresh();
}

void TfrmSongEditor::AddOrder() {
  if (Data().Orders.size() >= static_cast<std::size_t>(lvk::SongMaxOrders)) return;
  const int Order = FOrder;
  Change("Add order", [&](TSongData& D) {
    D.Orders.insert(D.Orders.begin() + Order + 1, D.Orders[static_cast<std::size_t>(Order)]);
  });
  FOrder = Order + 1;
  Refresh();
}

void TfrmSongEditor::RemoveOrder() {
  if (Data().Orders.size() <= 1) {
    stbSong->showMessage("A song plays at least one pattern.");
    return;
  }
  const int Order = FOrder;
  Change("Remove order", [&](TSongData& D) {
    D.Orders.erase(D.Orders.begin() + Order);
    if (D.Loop > Order) --D.Loop;
    if (D.Loop >= static_cast<int>(D.Orders.size())) D.Loop = lvk::SongNoLoop;
  });
}

void TfrmSongEditor::SetLoopHere() {
  const int Order = FOrder;
  Change("Set loop", [&](TSongData& D) { D.Loop = D.Loop == Order ? lvk::SongNoLoop : Order; });
}

void TfrmSongEditor::HearNote(int Note, lvk::TItemId Instrument) {
  const lvk::TSound* Sound = FGame ? FGame->SoundById(Instrument) : nullptr;
  if (!Sound) return;
  FSounds = std::make_unique<lvk::TSongSounds>(*FGame);
  const int Index = FGame->IndexOfSound(Sound);
  Audio().PlayNote(FSounds->Sounds[static_cast<std::size_t>(Index)], Sound->BaseNote(), Note);
}

void TfrmSongEditor::StartPlaying(int Order, int Row, const TSongData* Looped) {
  if (!Song()) return;
  Audio().StopSong();
  FSounds = std::make_unique<lvk::TSongSounds>(*FGame);
  FTables = Looped ? std::make_unique<lvk::TSongTables>(*FGame, *Looped) : std::make_unique<lvk::TSongTables>(*FGame, *Song());
  Audio().PlaySongFrom(&FTables->Table(), FSounds->Sounds.data(), FSounds->BaseNotes.data(),
                       static_cast<std::uint16_t>(FSounds->Sounds.size()), Order, Row);
  if (!Audio().SongPlaying()) {
    stbSong->showMessage("The song cannot play: a pattern or an instrument is missing.");
    return;
  }
  FPoll->start();
}

void TfrmSongEditor::PlaySong() { StartPlaying(0, 0, nullptr); }

void TfrmSongEditor::PlayFromCursor() { StartPlaying(FOrder, FRow, nullptr); }

void TfrmSongEditor::LoopSelection() {
  if (!Song()) return;
  int R1, R2, C1, C2;
  Selection(R1, R2, C1, C2);
  if (!FSelecting) R1 = 0, R2 = Data().Patterns[static_cast<std::size_t>(CurrentPattern())].Rows - 1;
  // The rows as a song of their own, looping.
  TSongData Loop = Data();
  lvk::TSongPattern Rows;
  Rows.Rows = R2 - R1 + 1;
  const lvk::TSongPattern& From = Loop.Patterns[static_cast<std::size_t>(CurrentPattern())];
  Rows.Cells.assign(From.Cells.begin() + R1 * lvk::SongMaxChannels, From.Cells.begin() + (R2 + 1) * lvk::SongMaxChannels);
  Loop.Patterns = {Rows};
  Loop.Orders = {0};
  Loop.Loop = 0;
  StartPlaying(0, 0, &Loop);
  FPlayingRow = -1;
}

void TfrmSongEditor::Stop() {
  if (FAudio) FAudio->StopSong();
  FPoll->stop();
  FPlayingRow = -1;
  grdSong->viewport()->update();
}

void TfrmSongEditor::PollPlaying() {
  int Order = -1, Row = -1;
  if (FAudio) FAudio->SongPosition(Order, Row);
  if (Order < 0) {
    Stop();
    return;
  }
  // The played row is shown, and followed, in the pattern the song plays.
  if (FTables && FTables->Table().order_count == Data().Orders.size() && Order != FOrder) {
    FOrder = Order;
    Refresh();
  }
  FPlayingRow = FTables && FTables->Table().order_count == Data().Orders.size() ? Row : -1;
  if (FPlayingRow >= 0) grdSong->ShowRow(FPlayingRow);
  grdSong->viewport()->update();
}

void TfrmSongEditor::ExportWav() {
  if (!Song()) return;
  const QString Path = Dialogs().SaveFile(this, {"Export WAV", "WAV sound (*.wav);;All (*)", "wav", QString()});
  if (Path.isEmpty()) return;
  try {
    const std::vector<std::int16_t> Samples = lvk::RenderSong(*FGame, *Song(), 44100);
    lvk::WriteWave16(Path.toStdString(), Samples, 44100);
    stbSong->showMessage(QString("Wrote %1 (%2 s)").arg(FileNamePart(Path)).arg(Samples.size() / 44100.0, 0, 'f', 2));
  } catch (const std::exception& E) {
    ShowWarning(this, "Error exporting song " + FileNamePart(Path) + "\n" + QString::fromUtf8(E.what()));
  }
}

void TfrmSongEditor::ImportModule() {
  if (!Song()) return;
  const QString Path = Dialogs().OpenFile(
      this, {"Import module", "Module files (*.mod *.xm *.s3m *.it);;All (*)", "mod", QString()});
  if (Path.isEmpty()) return;
  Stop();
  lvk::TModuleImport Result;
  try {
    lvk::TEdit Edit(*FGame, "Import module");
    Result = lvk::ImportModule(*Song(), Path.toStdString());
  } catch (const std::exception& E) {
    ShowWarning(this, "Error importing module " + FileNamePart(Path) + "\n" + QString::fromUtf8(E.what()));
    return;
  }
  FOrder = 0;
  FRow = 0;
  FillInstruments();
  Refresh();
  if (!Result.Note.empty()) ShowInformation(this, QString::fromStdString(Result.Note));
}
