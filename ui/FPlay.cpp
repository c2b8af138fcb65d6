#include "ui/FPlay.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>
#include <string>

#include "build/UBuildLog.h"
#include "build/UGameTables.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "ui/UHelp.h"
#include "ui/UPlayRender.h"

// Everything the running game reads, copied from the document when the game
// starts. Never moved once made: Game points into Tables.
struct TPlayGame {
  lvk::TGameTables Tables;
  lvk_game_t Game{};
  lvk::TPlayVideo Video;
  std::string Title;
  std::vector<std::string> Problems;  // what the builder logged as errors
};

namespace {

constexpr int ScreenGap = 4;  // between the two screens, in screen pixels

struct TKeyMapping {
  int QtKey;
  std::uint16_t Bits;
};

// Two Qt keys may hold the same DS key; the DS key is held while either is.
constexpr TKeyMapping KeyTable[] = {
    {Qt::Key_Up, LVK_KEY_UP},         {Qt::Key_Down, LVK_KEY_DOWN},     {Qt::Key_Left, LVK_KEY_LEFT},
    {Qt::Key_Right, LVK_KEY_RIGHT},   {Qt::Key_X, LVK_KEY_A},           {Qt::Key_Z, LVK_KEY_B},
    {Qt::Key_S, LVK_KEY_X},           {Qt::Key_A, LVK_KEY_Y},           {Qt::Key_Q, LVK_KEY_L},
    {Qt::Key_W, LVK_KEY_R},           {Qt::Key_Return, LVK_KEY_START},  {Qt::Key_Enter, LVK_KEY_START},
    {Qt::Key_Backspace, LVK_KEY_SELECT}, {Qt::Key_Shift, LVK_KEY_SELECT},
};
constexpr int KeyCount = static_cast<int>(std::size(KeyTable));

const char* KeysText =
    "<table cellspacing=2>"
    "<tr><td><b>D-pad</b></td><td>arrow keys</td></tr>"
    "<tr><td><b>A</b></td><td>X</td></tr>"
    "<tr><td><b>B</b></td><td>Z</td></tr>"
    "<tr><td><b>X</b></td><td>S</td></tr>"
    "<tr><td><b>Y</b></td><td>A</td></tr>"
    "<tr><td><b>L</b></td><td>Q</td></tr>"
    "<tr><td><b>R</b></td><td>W</td></tr>"
    "<tr><td><b>Start</b></td><td>Enter</td></tr>"
    "<tr><td><b>Select</b></td><td>Backspace, Shift</td></tr>"
    "<tr><td><b>Pen</b></td><td>left mouse button<br>on the lower screen</td></tr>"
    "</table>";

QString FromStd(const std::string& S) { return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size())); }

// What the DS program prints below the start text: its rows, the keys line
// once the game runs, and the status line whenever a level starts.
constexpr int RowStatus = 20;
constexpr int RowKeys = 22;

std::string At(int Row) { return "\x1b[" + std::to_string(Row) + ";0H"; }

std::string DsKeysText(const lvk_engine_t& Engine) {
  if (!Engine.game) return At(RowStatus) + "This game's data is damaged;\nbuild it again.";
  return At(RowKeys) + (Engine.viewer ? "A/Right: next  B/Left: back" : "Start+Select: next level");
}

std::string DsStatusText(int Level, int Count) {
  if (Count > 0) return At(RowStatus) + "Level " + std::to_string(Level + 1) + " of " + std::to_string(Count) + "          \n";
  return At(RowStatus) + "This game has no levels.\n";
}

std::unique_ptr<TPlayGame> BuildPlayGame(const lvk::TGame* Game) {
  auto Play = std::make_unique<TPlayGame>();
  if (Game) {
    lvk::TTextBuildLog Log;
    try {
      Play->Tables = lvk::BuildGameTables(*Game, Log);
    } catch (const std::exception& E) {
      // A game the DS could not be given either; nothing of it plays.
      Play->Tables = lvk::TGameTables();
      Play->Problems.push_back(E.what());
    }
    for (const std::string& Line : Log.Lines())
      if (Line.rfind("ERROR: ", 0) == 0) Play->Problems.push_back(Line.substr(7));
    Play->Title = Game->Title();
  }
  Play->Game = Play->Tables.Game();
  Play->Video = lvk::MakePlayVideo(Play->Tables);
  return Play;
}

}  // namespace

// The two screens, zoomed by a whole factor with crisp pixels; the keys and
// the pen go to the play window.
class TPlayScreens final : public QWidget {
public:
  explicit TPlayScreens(TfrmPlay& Play, QWidget* Parent) : QWidget(Parent), FPlay(&Play) {
    setObjectName("pnlScreens");
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
    setStatusTip("Click the lower screen to touch it");
  }

  // From now on input goes nowhere and nothing is drawn.
  void Detach() { FPlay = nullptr; }

  void SetScale(int Scale) {
    FScale = Scale;
    setFixedSize(lvk::ScreenWidth * Scale, (2 * lvk::ScreenHeight + ScreenGap) * Scale);
    update();
  }
  int Scale() const { return FScale; }
  // Where the lower screen's pixel (0, 0) is drawn.
  QPoint LowerOrigin() const { return QPoint(0, (lvk::ScreenHeight + ScreenGap) * FScale); }

protected:
  void paintEvent(QPaintEvent*) override {
    if (!FPlay) return;
    QPainter Painter(this);
    Painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QImage& Frame = FPlay->Frame();
    const int W = lvk::ScreenWidth, H = lvk::ScreenHeight;
    Painter.drawImage(QRect(0, 0, W * FScale, H * FScale), Frame, QRect(0, 0, W, H));
    Painter.fillRect(QRect(0, H * FScale, W * FScale, ScreenGap * FScale), QColor(40, 40, 40));
    Painter.drawImage(QRect(LowerOrigin(), QSize(W * FScale, H * FScale)), Frame, QRect(0, H, W, H));
  }

  void keyPressEvent(QKeyEvent* Event) override {
    if (Event->isAutoRepeat() || !FPlay || !FPlay->KeyChanged(Event->key(), true)) QWidget::keyPressEvent(Event);
  }
  void keyReleaseEvent(QKeyEvent* Event) override {
    if (Event->isAutoRepeat() || !FPlay || !FPlay->KeyChanged(Event->key(), false))
      QWidget::keyReleaseEvent(Event);
  }
  // Tab stays a key of nobody's: the focus never leaves the screens by it.
  bool focusNextPrevChild(bool) override { return false; }
  void focusOutEvent(QFocusEvent* Event) override {
    if (FPlay) FPlay->ReleaseAll();
    QWidget::focusOutEvent(Event);
  }

  void mousePressEvent(QMouseEvent* Event) override {
    if (Event->button() != Qt::LeftButton) return;
    const QPoint At = Event->position().toPoint() - LowerOrigin();
    if (At.y() < 0) return;  // the upper screen is not a touch screen
    FDragging = true;
    Pen(At);
  }
  void mouseMoveEvent(QMouseEvent* Event) override {
    if (FDragging) Pen(Event->position().toPoint() - LowerOrigin());
  }
  void mouseReleaseEvent(QMouseEvent* Event) override {
    if (Event->button() != Qt::LeftButton || !FDragging) return;
    FDragging = false;
    if (FPlay) FPlay->PenUp();
  }

private:
  // The pen cannot leave the screen: a drag past its edge stays on the edge.
  void Pen(QPoint At) {
    if (!FPlay) return;
    FPlay->PenAt(std::clamp(At.x() / FScale, 0, lvk::ScreenWidth - 1),
                std::clamp(At.y() / FScale, 0, lvk::ScreenHeight - 1));
  }

  TfrmPlay* FPlay;
  int FScale = 1;
  bool FDragging = false;
};

TfrmPlay::TfrmPlay(TGameSource Source, QWidget* Parent)
    : QMainWindow(Parent), FSource(std::move(Source)), FFrame(lvk::ScreenWidth, 2 * lvk::ScreenHeight,
                                                                QImage::Format_RGB32) {
  setObjectName("frmPlay");
  setWindowTitle("Lurvik play");
  SetHelpKeyword(this, "play");
  FFrame.fill(Qt::black);

  auto MakeAction = [this](const QString& Name, const QString& Caption, const QString& Hint,
                           const QKeySequence& Shortcut, auto Handler) {
    auto* Action = new QAction(Caption, this);
    Action->setObjectName(Name);
    Action->setShortcut(Shortcut);
    Action->setShortcutContext(Qt::WindowShortcut);
    Action->setToolTip(QString("%1 (%2)").arg(Hint, Shortcut.toString(QKeySequence::NativeText)));
    Action->setStatusTip(Hint);
    connect(Action, &QAction::triggered, this, Handler);
    addAction(Action);
    return Action;
  };
  QAction* actPause = MakeAction("actPause", "&Pause", "Pause or continue the game", QKeySequence(Qt::Key_Space),
                                 [this](bool On) { SetPaused(On); });
  actPause->setCheckable(true);
  QAction* actStep = MakeAction("actStep", "S&tep", "Run one frame while the game is paused",
                                QKeySequence(Qt::Key_F10), [this] { StepFrame(); });
  actStep->setEnabled(false);  // until paused
  QAction* actRestart = MakeAction("actRestart", "&Restart", "Start the level again, with the game as edited now",
                                   QKeySequence(Qt::Key_F5), [this] { RestartLevel(); });
  QAction* actNext = MakeAction("actNext", "&Next level", "Go to the next level; after the last, the first",
                                QKeySequence(Qt::CTRL | Qt::Key_N), [this] { NextLevel(); });
  MakeAction("actZoomIn", "Zoom in", "Show the screens larger", QKeySequence(Qt::CTRL | Qt::Key_Plus),
             [this] { SetScale(FScale + 1); });
  MakeAction("actZoomOut", "Zoom out", "Show the screens smaller", QKeySequence(Qt::CTRL | Qt::Key_Minus),
             [this] { SetScale(FScale - 1); });
  MakeAction("actClose", "Close", "Close the play window", QKeySequence(Qt::Key_Escape), [this] { close(); });

  auto* Bar = addToolBar("Play");
  Bar->setObjectName("tbrPlay");
  Bar->setMovable(false);
  Bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  auto AddButton = [Bar](QAction* Action, const char* Name) {
    auto* Button = new QToolButton(Bar);
    Button->setObjectName(Name);
    Button->setDefaultAction(Action);
    Button->setFocusPolicy(Qt::NoFocus);  // the keys belong to the game
    Bar->addWidget(Button);
    return Button;
  };
  butPause = AddButton(actPause, "butPause");
  butStep = AddButton(actStep, "butStep");
  butRestart = AddButton(actRestart, "butRestart");
  butNext = AddButton(actNext, "butNext");
  Bar->addSeparator();
  auto* lblScale = new QLabel("Zoom ", Bar);
  Bar->addWidget(lblScale);
  cbxScale = new QComboBox(Bar);
  cbxScale->setObjectName("cbxScale");
  for (int s = 1; s <= MaxScale; ++s) cbxScale->addItem(QString("%1x").arg(s), s);
  cbxScale->setFocusPolicy(Qt::NoFocus);
  cbxScale->setToolTip("Size of the screens (Ctrl++, Ctrl+-)");
  cbxScale->setStatusTip("Show the DS's pixels 1 to 4 times as large");
  Bar->addWidget(cbxScale);
  connect(cbxScale, &QComboBox::activated, this, [this](int Index) { SetScale(Index + 1); });

  FScreens = new TPlayScreens(*this, this);
  pnlScreens = FScreens;
  auto* Scroll = new QScrollArea(this);
  Scroll->setObjectName("scrScreens");
  Scroll->setWidget(pnlScreens);
  Scroll->setAlignment(Qt::AlignCenter);
  Scroll->setFocusPolicy(Qt::NoFocus);
  Scroll->setBackgroundRole(QPalette::Dark);

  auto* Side = new QWidget(this);
  Side->setObjectName("pnlSide");
  auto* SideLayout = new QVBoxLayout(Side);
  SideLayout->setContentsMargins(8, 8, 8, 8);
  auto* lblKeysHeader = new QLabel("<b>Keys</b>", Side);
  lblKeys = new QLabel(KeysText, Side);
  lblKeys->setObjectName("lblKeys");
  lblKeys->setTextFormat(Qt::RichText);
  lblKeys->setStatusTip("The DS's buttons on the keyboard");
  lblProblems = new QLabel(Side);
  lblProblems->setObjectName("lblProblems");
  lblProblems->setWordWrap(true);
  lblProblems->setStyleSheet("color: #b00000");
  lblProblems->setStatusTip("What the game's build would report as errors");
  lblProblems->hide();
  SideLayout->addWidget(lblKeysHeader);
  SideLayout->addWidget(lblKeys);
  SideLayout->addSpacing(12);
  SideLayout->addWidget(lblProblems);
  SideLayout->addStretch(1);

  auto* Central = new QWidget(this);
  auto* Layout = new QHBoxLayout(Central);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(0);
  Layout->addWidget(Scroll, 1);
  Layout->addWidget(Side);
  setCentralWidget(Central);
  setFocusProxy(pnlScreens);

  lblStatus = new QLabel(this);
  lblStatus->setObjectName("lblStatus");
  lblStatus->setStatusTip("The level, the frame number and the number of live instances");
  statusBar()->setObjectName("barStatus");
  statusBar()->addPermanentWidget(lblStatus);

  FTimer.setSingleShot(true);
  FTimer.setTimerType(Qt::PreciseTimer);
  connect(&FTimer, &QTimer::timeout, this, [this] { Tick(); });

  // Nothing to play until Play: an empty game, never none.
  FGame = BuildPlayGame(nullptr);
  lvk_engine_init(&FEngine, &FGame->Game);
  LevelShown();
  SetScale(DefaultScale);
  Redraw();
}

TfrmPlay::~TfrmPlay() {
  // The screens outlive this part of the window: their focus goes last.
  FScreens->Detach();
}

// ---- The game ----

void TfrmPlay::LoadDocument() {
  FTimer.stop();
  // The engine lets go of the old tables before they go.
  lvk_engine_init(&FEngine, nullptr);
  FGame = BuildPlayGame(FSource ? FSource() : nullptr);
  lvk_engine_init(&FEngine, &FGame->Game);
  FConsole.Clear();
  FConsole.Write(lvk::WelcomeText(FGame->Title));
  FConsole.Write(DsKeysText(FEngine));
  FConsoleChanged = true;
  if (FGame->Problems.empty()) {
    lblProblems->hide();
  } else {
    QStringList Lines;
    for (const std::string& P : FGame->Problems) Lines << FromStd(P).toHtmlEscaped();
    lblProblems->setText(QString("<b>Errors in the game: %1</b><br>%2").arg(Lines.size()).arg(Lines.join("<br>")));
    lblProblems->show();
  }
}

void TfrmPlay::StartLevel(int Level) {
  const int Count = FEngine.game ? FEngine.game->level_count : 0;
  if (Count > 0) lvk_engine_start_level(&FEngine, ((Level % Count) + Count) % Count);
  LevelShown();
  Redraw();
  RestartClock();
}

void TfrmPlay::Play(int Level) {
  LoadDocument();
  StartLevel(Level);
}

void TfrmPlay::RestartLevel() {
  const int Level = std::max(lvk_engine_level(&FEngine), 0);
  LoadDocument();
  StartLevel(Level);
}

void TfrmPlay::NextLevel() { StartLevel(lvk_engine_level(&FEngine) + 1); }

void TfrmPlay::Step() {
  const lvk_input_t In = Input();
  lvk_engine_step(&FEngine, &In);
  if (lvk_engine_level_changed(&FEngine)) LevelShown();
}

// A new level: its background with the live actors' cells emptied, and the
// DS program's status text.
void TfrmPlay::LevelShown() {
  const int Level = lvk_engine_level(&FEngine);
  const int Count = FEngine.game ? FEngine.game->level_count : 0;
  if (Level >= 0 && Level < Count) {
    FMap = FGame->Tables.Backgrounds.at(static_cast<std::size_t>(Level));
    lvk_level_clear_live_cells(FEngine.game, Level, FMap.data());
  } else {
    FMap.fill(FGame ? static_cast<std::uint16_t>(FGame->Video.TileCount) : 0);
  }
  FBackground.resize(lvk::ScreenPixels);
  lvk::DrawBackground(FGame->Video, FMap.data(), FBackground.data());
  if (FEngine.game) FConsole.Write(DsStatusText(Level, Count));
  FConsoleChanged = true;
}

void TfrmPlay::RunFrames(int Count) {
  for (int i = 0; i < Count; ++i) Step();
  Redraw();
}

void TfrmPlay::StepFrame() {
  if (!FPaused) return;
  RunFrames(1);
}

void TfrmPlay::SetPaused(bool Paused) {
  FPaused = Paused;
  if (auto* Action = findChild<QAction*>("actPause")) {
    const QSignalBlocker Block(Action);
    Action->setChecked(Paused);
    Action->setText(Paused ? "&Continue" : "&Pause");
  }
  if (auto* Action = findChild<QAction*>("actStep")) Action->setEnabled(Paused);
  RestartClock();
  UpdateStatus();
}

// ---- Frame clock ----

void TfrmPlay::RestartClock() {
  FTimer.stop();
  FClock.start();
  FClockFrames = 0;
  if (!FPaused && FGame) ScheduleTick();
}

void TfrmPlay::ScheduleTick() {
  const qint64 Next = (FClockFrames + 1) * 1000000000LL / 60;
  const qint64 Ms = (Next - FClock.nsecsElapsed() + 999999) / 1000000;
  FTimer.start(static_cast<int>(std::clamp<qint64>(Ms, 1, 1000)));
}

// Runs the frames that fell due since the last tick; after a stall only a
// few, so the game slows down instead of jumping.
void TfrmPlay::Tick() {
  if (FPaused) return;
  const qint64 Due = FClock.nsecsElapsed() * 60 / 1000000000LL;
  const qint64 Count = std::min<qint64>(Due - FClockFrames, MaxCatchUpFrames);
  FClockFrames = Due;
  if (Count > 0) RunFrames(static_cast<int>(Count));
  ScheduleTick();
}

// ---- Drawing ----

void TfrmPlay::Redraw() {
  auto* Pixels = reinterpret_cast<std::uint32_t*>(FFrame.bits());
  if (FConsoleChanged) lvk::DrawConsoleScreen(FConsole, Pixels);
  FConsoleChanged = false;
  std::uint32_t* Lower = Pixels + lvk::ScreenPixels;
  if (FGame && FBackground.size() == static_cast<std::size_t>(lvk::ScreenPixels)) {
    std::copy(FBackground.begin(), FBackground.end(), Lower);
    lvk::DrawSprites(FGame->Video, FEngine, Lower);
  } else {
    std::fill(Lower, Lower + lvk::ScreenPixels, 0xFF000000u);
  }
  pnlScreens->update();
  UpdateStatus();
}

void TfrmPlay::UpdateStatus() {
  const int Level = lvk_engine_level(&FEngine);
  QString Text;
  const std::vector<std::string>* Names = FGame ? &FGame->Tables.LevelNames : nullptr;
  if (!Names || Level < 0 || Level >= static_cast<int>(Names->size()))
    Text = "No level";
  else
    Text = QString("Level %1 of %2: %3").arg(Level + 1).arg(Names->size()).arg(FromStd((*Names)[Level]));
  Text += QString("   Frame %1   Live %2").arg(lvk_engine_frame(&FEngine)).arg(lvk_engine_live_count(&FEngine));
  if (FPaused) Text += "   (paused)";
  lblStatus->setText(Text);
}

void TfrmPlay::SetScale(int Scale) {
  FScale = std::clamp(Scale, 1, MaxScale);
  cbxScale->setCurrentIndex(FScale - 1);
  FScreens->SetScale(FScale);
  // As large as the screens need, within the screen the window is on; the
  // user may make it smaller, and scroll.
  const auto* Scroll = findChild<QScrollArea*>("scrScreens");
  const int Frame = 2 * Scroll->frameWidth();
  const QSize Screens = FScreens->size() + QSize(Frame, Frame);
  const QSize Side = findChild<QWidget*>("pnlSide")->sizeHint();
  const int Bars = findChild<QToolBar*>("tbrPlay")->sizeHint().height() + statusBar()->sizeHint().height();
  QSize Size(Screens.width() + Side.width(), std::max(Screens.height(), Side.height()) + Bars);
  if (const QScreen* Screen = screen()) {
    // Room for the window manager's frame.
    const QSize Room = Screen->availableGeometry().size() - QSize(16, 48);
    // Too tall: the screens scroll, and their scroll bar takes room beside them.
    if (Size.height() > Room.height()) Size.rwidth() += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    Size = Size.boundedTo(Room);
  }
  resize(Size);
}

// ---- Input ----

lvk_input_t TfrmPlay::Input() const {
  lvk_input_t In{};
  for (int i = 0; i < KeyCount; ++i)
    if (FHeld & (1u << i)) In.keys |= KeyTable[i].Bits;
  if (FPen) {
    In.keys |= LVK_KEY_TOUCH;
    In.touch_x = static_cast<std::int16_t>(FPenX);
    In.touch_y = static_cast<std::int16_t>(FPenY);
  }
  return In;
}

bool TfrmPlay::KeyChanged(int QtKey, bool Down) {
  bool Known = false;
  for (int i = 0; i < KeyCount; ++i)
    if (KeyTable[i].QtKey == QtKey) {
      FHeld = Down ? FHeld | (1u << i) : FHeld & ~(1u << i);
      Known = true;
    }
  return Known;
}

void TfrmPlay::PenAt(int X, int Y) {
  FPen = true;
  FPenX = X;
  FPenY = Y;
}

void TfrmPlay::PenUp() { FPen = false; }

void TfrmPlay::ReleaseAll() {
  FHeld = 0;
  FPen = false;
}

void TfrmPlay::changeEvent(QEvent* Event) {
  // Keys let go of in another window never reach this one.
  if (Event->type() == QEvent::ActivationChange && !isActiveWindow()) ReleaseAll();
  QMainWindow::changeEvent(Event);
}

void TfrmPlay::closeEvent(QCloseEvent* Event) {
  FTimer.stop();
  ReleaseAll();
  QMainWindow::closeEvent(Event);
}
