#include "ui/play/FPlay.h"

#include <QCoreApplication>

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMediaDevices>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>
#include <string>

#include "generator/USaveFile.h"
#include "model/UGame.h"
#include "ui/common/UHelp.h"

namespace {

constexpr int ScreenGap = 4;  // between the two screens, in screen pixels

// The Qt key of each entry of the shared key table (by its Qt name).
const std::vector<int>& QtKeys() {
  static const std::vector<int> Keys = [] {
    std::vector<int> K;
    for (const lvk_host_key_t& Key : lvk_host_keys) {
      const QKeySequence Sequence = QKeySequence::fromString(Key.keyboard, QKeySequence::PortableText);
      K.push_back(Sequence.isEmpty() ? 0 : Sequence[0].key());
    }
    return K;
  }();
  return Keys;
}

// The keys table beside the screens: each DS key with its keyboard keys.
QString KeysText() {
  QString Rows;
  for (int i = 0; i < LVK_HOST_KEY_COUNT; ++i) {
    const lvk_host_key_t& Key = lvk_host_keys[i];
    if (i > 0 && std::string(lvk_host_keys[i - 1].name) == Key.name) continue;
    QStringList Keyboard;
    for (int k = i; k < LVK_HOST_KEY_COUNT && std::string(lvk_host_keys[k].name) == Key.name; ++k)
      Keyboard << QKeySequence::fromString(lvk_host_keys[k].keyboard, QKeySequence::PortableText)
                      .toString(QKeySequence::NativeText);
    Rows += QString("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(Key.name, Keyboard.join(", "));
  }
  return "<table cellspacing=2>" + Rows +
         "<tr><td><b>Pen</b></td><td>left mouse button<br>on the lower screen</td></tr></table>";
}

QString LidKeyName() {
  for (const lvk_host_key_t& Key : lvk_host_keys)
    if (Key.bit == LVK_KEY_LID) return Key.keyboard;
  return QString();
}

QString FromStd(const std::string& S) { return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size())); }

// The screen's room for the window, less the window manager's frame.
QSize RoomOn(const QScreen* Screen) { return Screen->availableGeometry().size() - QSize(16, 48); }

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
  // Games keep their saved games and high scores in the user's data folder.
  FSession.SetSaveFolder(lvk::SavesFolder());
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
  MakeAction("actZoomIn", "Zoom in", "Show the screens larger, as far as the screen shows them whole",
             QKeySequence(Qt::CTRL | Qt::Key_Plus),
             [this] { SetScale(std::min(FScale + 1, std::max(FScale, FittingScale()))); });
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
  lblKeys = new QLabel(KeysText(), Side);
  lblKeys->setObjectName("lblKeys");
  lblKeys->setTextFormat(Qt::RichText);
  lblKeys->setToolTip(QString("The DS's buttons on the keyboard; the lid is closed while %1 is held").arg(LidKeyName()));
  lblKeys->setStatusTip("The DS's buttons on the keyboard");
  lblProblems = new QLabel(Side);
  lblProblems->setObjectName("lblProblems");
  lblProblems->setWordWrap(true);
  lblProblems->setStyleSheet("color: #b00000");
  lblProblems->setStatusTip("What the game's build would report as errors");
  lblProblems->hide();
  // Not in red: an actor with no tile (a clock, a score keeper) is often meant.
  lblNotes = new QLabel(Side);
  lblNotes->setObjectName("lblNotes");
  lblNotes->setWordWrap(true);
  lblNotes->setStatusTip("Worth a look, but not wrong: actors that play unseen");
  lblNotes->hide();
  SideLayout->addWidget(lblKeysHeader);
  SideLayout->addWidget(lblKeys);
  SideLayout->addSpacing(12);
  SideLayout->addWidget(lblProblems);
  SideLayout->addWidget(lblNotes);
  lblChanged = new QLabel("The game was changed since it started: Restart (F5) plays the changes.", Side);
  lblChanged->setObjectName("lblChanged");
  lblChanged->setWordWrap(true);
  lblChanged->setStatusTip("What plays here is the game as it was when it started");
  lblChanged->hide();
  SideLayout->addSpacing(12);
  SideLayout->addWidget(lblChanged);
  SideLayout->addStretch(1);
  // As wide as the keys need: a note shown later (a change, a problem) wraps
  // in that width instead of widening the side and pushing the screens out
  // of the window.
  Side->setFixedWidth(Side->sizeHint().width());

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
  lblSound = new QLabel(this);
  lblSound->setObjectName("lblSound");
  lblSound->setToolTip("The game's sounds are not heard; the desktop's sound settings tell which devices there are");
  lblSound->hide();
  statusBar()->addWidget(lblSound);

  FAudio = std::make_unique<lvk::TPlayAudio>(QMediaDevices::defaultAudioOutput());
  connect(FAudio.get(), &lvk::TPlayAudio::Silenced, this, [this](const QString& Why) {
    lblSound->setText(Why);
    lblSound->show();
  });

  FTimer.setSingleShot(true);
  FTimer.setTimerType(Qt::PreciseTimer);
  connect(&FTimer, &QTimer::timeout, this, [this] { Tick(); });

  // Above the main window (a window of its own that the main window owns)
  // and gone with it. Not a tool window: that would keep the main window's
  // shortcuts live while this one is active, and Ctrl+N (New, Next level)
  // and F5 (Play, Restart) would be ambiguous, so neither would run.
  if (Parent) setWindowFlag(Qt::Window);

  // Nothing to play until Play: the session's empty game.
  FVideo = lvk::MakePlayVideo(FSession.Tables());
  lvk_host_screen_init(&FUpper);
  LevelShown();
  SetScale(std::min(DefaultScale, FittingScale()));
  Redraw();
}

TfrmPlay::~TfrmPlay() {
  // The sound goes while the window is whole: a closing audio sink handles
  // pending events, and a close still waiting to delete this window would
  // delete it a second time.
  QCoreApplication::removePostedEvents(this, QEvent::DeferredDelete);
  FTimer.stop();
  FAudio.reset();
  // The screens outlive this part of the window: their focus goes last.
  FScreens->Detach();
}

// ---- The game ----

void TfrmPlay::LoadDocument() {
  FTimer.stop();
  // The mixer lets go of the old tables before they go.
  FAudio->SetSounds(nullptr);
  FSession.Load(FSource ? FSource() : nullptr);
  FVideo = lvk::MakePlayVideo(FSession.Tables());
  FAudio->SetSounds(&FSession.Tables().Sounds);
  FChanged = false;
  lblChanged->hide();
  lvk_host_screen_init(&FUpper);
  ShowText();
  auto List = [](QLabel* Label, const QString& Caption, const std::vector<std::string>& Items) {
    QStringList Lines;
    for (const std::string& P : Items) Lines << FromStd(P).toHtmlEscaped();
    Label->setText(QString("<b>%1: %2</b><br>%3").arg(Caption).arg(Lines.size()).arg(Lines.join("<br>")));
    Label->setVisible(!Items.empty());
  };
  List(lblProblems, "Problems in the game", FSession.Game().Problems);
  List(lblNotes, "Notes", FSession.Game().Notes);
}

void TfrmPlay::StartLevel(int Level) {
  FSession.StartLevel(Level);
  FAudio->Start();
  StartSounds();
  LevelShown();
  ShowText();
  Redraw();
  RestartClock();
}

void TfrmPlay::GameChanged() {
  FChanged = true;
  lblChanged->show();
}

void TfrmPlay::Play(int Level) {
  LoadDocument();
  StartLevel(Level);
}

void TfrmPlay::RestartLevel() {
  const int Level = std::max(FSession.Level(), 0);
  LoadDocument();
  StartLevel(Level);
}

void TfrmPlay::NextLevel() { StartLevel(FSession.Level() + 1); }

void TfrmPlay::Step() {
  FSession.Step();
  StartSounds();
  if (FSession.LevelChanged()) LevelShown();
  ShowText();
  // A save that failed, or a file refused, is told once, as the DS tells it.
  const int Status = lvk_engine_save_status(&FSession.Engine());
  if (Status != FSaveStatus) {
    FSaveStatus = Status;
    const std::string Note = lvk::SaveStatusNote(Status);
    if (!Note.empty()) statusBar()->showMessage(QString::fromStdString(Note), 5000);
  }
}

// The sounds the last step or level start asked for, and with a new level
// its music from the beginning (once it runs, when paused), as the DS
// program plays them.
void TfrmPlay::StartSounds() {
  const lvk::TSoundCues Cues = FSession.Cues();
  if (Cues.LevelStarted) FAudio->SetMusic(FPaused ? -1 : Cues.Music);
  for (int Sound : Cues.Sounds) FAudio->Play(Sound);
}

// The upper screen as the DS program prints it.
void TfrmPlay::ShowText() {
  if (lvk::PrintUpperScreen(FConsole, FUpper, FSession.Engine(), FSession.Game().Title)) FConsoleChanged = true;
}

// A new level: its background with the live actors' cells emptied; the
// status line follows with the text.
void TfrmPlay::LevelShown() {
  const int Level = FSession.Level();
  if (Level >= 0 && Level < FSession.LevelCount()) {
    FMap = FSession.Tables().Backgrounds.at(static_cast<std::size_t>(Level));
    lvk_level_clear_live_cells(FSession.Engine().game, Level, FMap.data());
  } else {
    FMap = lvk::TLevelMap();
    FMap.assign(LVK_LEVEL_CELLS, static_cast<std::uint16_t>(FVideo.TileCount));
  }
  FBackground.resize(lvk::ScreenPixels);
  FCamera = {-1, -1};
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
  // A paused game is silent; it takes up its level's music again. Frames
  // stepped meanwhile sound their own sounds.
  if (Paused && !FPaused) FAudio->StopAll();
  if (!Paused && FPaused) FAudio->SetMusic(FSession.Cues().Music);
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
  FSession.Clock().Restart();
  if (!FPaused) ScheduleTick();
}

void TfrmPlay::ScheduleTick() {
  const qint64 Ms = (FSession.Clock().UntilNext(FClock.nsecsElapsed()) + 999999) / 1000000;
  FTimer.start(static_cast<int>(std::clamp<qint64>(Ms, 1, 1000)));
}

// Runs the frames that fell due since the last tick; after a stall only a
// few, so the game slows down instead of jumping.
void TfrmPlay::Tick() {
  if (FPaused) return;
  const int Count = FSession.Clock().Due(FClock.nsecsElapsed());
  if (Count > 0) RunFrames(Count);
  ScheduleTick();
}

// ---- Drawing ----

void TfrmPlay::Redraw() {
  auto* Pixels = reinterpret_cast<std::uint32_t*>(FFrame.bits());
  if (FConsoleChanged) lvk::DrawConsoleScreen(FConsole, Pixels);
  FConsoleChanged = false;
  std::uint32_t* Lower = Pixels + lvk::ScreenPixels;
  if (FBackground.size() == static_cast<std::size_t>(lvk::ScreenPixels)) {
    // The background scrolls with the camera the sprites are placed for, as
    // the DS program's does.
    std::int32_t X = 0, Y = 0;
    lvk_engine_camera(&FSession.Engine(), &X, &Y);
    if (FCamera != std::make_pair(int(X), int(Y))) {
      FCamera = {X, Y};
      lvk::DrawBackground(FVideo, FMap.data(), FMap.Width, FMap.Height, X, Y, lvk::LevelBackdrop(FSession.Engine()),
                          FBackground.data());
    }
    std::copy(FBackground.begin(), FBackground.end(), Lower);
    lvk::DrawSprites(FVideo, FSession.Engine(), Lower);
  } else {
    std::fill(Lower, Lower + lvk::ScreenPixels, 0xFF000000u);
  }
  pnlScreens->update();
  UpdateStatus();
}

void TfrmPlay::UpdateStatus() {
  const int Level = FSession.Level();
  QString Text;
  const std::vector<std::string>& Names = FSession.Tables().LevelNames;
  if (Level < 0 || Level >= static_cast<int>(Names.size()))
    Text = "No level";
  else
    Text = QString("Level %1 of %2: %3").arg(Level + 1).arg(Names.size()).arg(FromStd(Names[Level]));
  Text += QString("   Frame %1   Live %2")
              .arg(lvk_engine_frame(&FSession.Engine()))
              .arg(lvk_engine_live_count(&FSession.Engine()));
  if (FPaused) Text += "   (paused)";
  lblStatus->setText(Text);
}

// The window's size with the screens at Scale, unscrolled.
QSize TfrmPlay::WindowSizeAt(int Scale) const {
  const auto* Scroll = findChild<QScrollArea*>("scrScreens");
  const int Frame = 2 * Scroll->frameWidth();
  const QSize Screens(lvk::ScreenWidth * Scale + Frame, (2 * lvk::ScreenHeight + ScreenGap) * Scale + Frame);
  const QSize Side = findChild<QWidget*>("pnlSide")->sizeHint();
  const int Bars = findChild<QToolBar*>("tbrPlay")->sizeHint().height() + statusBar()->sizeHint().height();
  return QSize(Screens.width() + Side.width(), std::max(Screens.height(), Side.height()) + Bars);
}

int TfrmPlay::FittingScale() const {
  const QScreen* Screen = screen();
  if (!Screen) return MaxScale;
  const QSize Room = RoomOn(Screen);
  for (int S = MaxScale; S > 1; --S) {
    const QSize Size = WindowSizeAt(S);
    if (Size.width() <= Room.width() && Size.height() <= Room.height()) return S;
  }
  return 1;
}

void TfrmPlay::SetScale(int Scale) {
  FScale = std::clamp(Scale, 1, MaxScale);
  cbxScale->setCurrentIndex(FScale - 1);
  FScreens->SetScale(FScale);
  // As large as the screens need, within the screen the window is on; the
  // user may make it smaller, and scroll.
  QSize Size = WindowSizeAt(FScale);
  const QScreen* Screen = screen();
  if (Screen) {
    const QSize Room = RoomOn(Screen);
    // Too tall: the screens scroll, and their scroll bar takes room beside them.
    if (Size.height() > Room.height()) Size.rwidth() += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    Size = Size.boundedTo(Room);
  }
  resize(Size);
  // Grown past the screen's edge: back onto it.
  if (Screen && isVisible()) {
    const QRect Available = Screen->availableGeometry();
    QRect Frame = frameGeometry();
    Frame.moveRight(std::min(Frame.right(), Available.right()));
    Frame.moveBottom(std::min(Frame.bottom(), Available.bottom()));
    Frame.moveTopLeft(QPoint(std::max(Frame.left(), Available.left()), std::max(Frame.top(), Available.top())));
    if (Frame.topLeft() != frameGeometry().topLeft()) move(Frame.topLeft());
  }
  // The zoom commands offer only what shows whole on this screen.
  const int Fitting = FittingScale();
  if (auto* Model = qobject_cast<QStandardItemModel*>(cbxScale->model()))
    for (int S = 1; S <= MaxScale; ++S) {
      QStandardItem* Item = Model->item(S - 1);
      Item->setEnabled(S <= Fitting);
      Item->setToolTip(S <= Fitting ? QString() : QString("Too large for this screen"));
    }
  if (auto* Action = findChild<QAction*>("actZoomIn")) Action->setEnabled(FScale < Fitting);
  if (auto* Action = findChild<QAction*>("actZoomOut")) Action->setEnabled(FScale > 1);
}

// ---- Input ----

// The keys and the pen changed: the input held now, queued for the frames
// to come so the engine sees every press and every release.
void TfrmPlay::InputChanged() {
  lvk_input_t In{};
  for (int i = 0; i < LVK_HOST_KEY_COUNT; ++i)
    if (FHeld & (1u << i)) In.keys |= lvk_host_keys[i].bit;
  if (FPen) {
    In.keys |= LVK_KEY_TOUCH;
    In.touch_x = static_cast<std::int16_t>(FPenX);
    In.touch_y = static_cast<std::int16_t>(FPenY);
  }
  FSession.Input().Hold(In);
}

// This window's own keys win over any other window's that may be live (a
// modal editor's, while it owns this window): the shortcut system is told
// to leave them, and the key, unless the game takes it, comes back here as
// a key press.
bool TfrmPlay::event(QEvent* Event) {
  if (Event->type() == QEvent::ShortcutOverride || Event->type() == QEvent::KeyPress) {
    const QKeySequence Pressed(static_cast<QKeyEvent*>(Event)->keyCombination());
    for (QAction* Action : actions())
      if (Action->shortcut() == Pressed) {
        if (Event->type() == QEvent::KeyPress && Action->isEnabled()) Action->trigger();
        Event->accept();
        return true;
      }
  }
  return QMainWindow::event(Event);
}

bool TfrmPlay::KeyChanged(int QtKey, bool Down) {
  bool Known = false;
  const std::vector<int>& Keys = QtKeys();
  for (int i = 0; i < LVK_HOST_KEY_COUNT; ++i)
    if (Keys[i] == QtKey) {
      FHeld = Down ? FHeld | (1u << i) : FHeld & ~(1u << i);
      Known = true;
    }
  if (Known) InputChanged();
  return Known;
}

void TfrmPlay::PenAt(int X, int Y) {
  FPen = true;
  FPenX = X;
  FPenY = Y;
  InputChanged();
}

void TfrmPlay::PenUp() {
  FPen = false;
  InputChanged();
}

void TfrmPlay::ReleaseAll() {
  FHeld = 0;
  FPen = false;
  InputChanged();
}

void TfrmPlay::changeEvent(QEvent* Event) {
  // Keys let go of in another window never reach this one.
  if (Event->type() == QEvent::ActivationChange && !isActiveWindow()) ReleaseAll();
  QMainWindow::changeEvent(Event);
}

void TfrmPlay::closeEvent(QCloseEvent* Event) {
  FTimer.stop();
  if (FAudio) FAudio->Stop();
  ReleaseAll();
  QMainWindow::closeEvent(Event);
}
