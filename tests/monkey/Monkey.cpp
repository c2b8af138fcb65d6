// The monkey: a seeded random user of the real editor. It clicks, types,
// presses keys and shortcuts, uses the menus, opens every dialog (modal ones
// are driven from within their own event loops: the step timer fires there
// too) and answers every box and file dialog by chance, all with the event
// loop running and the windows painting. It stops itself by closing every
// window, so the leak check at exit sees a clean end.
//
//   lurvik_monkey [--seed N] [--seconds S | --steps K] [--delay MS] [--hang S] [--trace]
//
// --hang: a run whose event loop makes no step for S seconds (default 60,
// 0 never) is stuck; it ends with status 3 and its last steps.
#include <QAbstractButton>
#include <QAction>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "MonkeyDice.h"
#include "TMonkeyDialogs.h"
#include "behaviour/UBehaviour.h"
#include "model/UVariable.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USound.h"
#include "ui/building/FBuild.h"
#include "ui/main/FMain.h"
#include "ui/common/UApplication.h"
#include "model/UDocument.h"
#include "model/UHistory.h"
#include "ui/main/UDocumentSession.h"

#if defined(__SANITIZE_ADDRESS__) || (defined(__has_feature) && __has_feature(address_sanitizer))
#include <sanitizer/common_interface_defs.h>
#define LVK_MONKEY_ASAN 1
#endif

#ifndef LVK_EXAMPLES
#define LVK_EXAMPLES "examples"
#endif

// ---- The trace ----

namespace {

std::deque<std::string> Kept;
bool Live = false;
constexpr std::size_t KeptSteps = 60;

}  // namespace

void SetTraceLive(bool On) { Live = On; }

void Trace(const std::string& Text) {
  if (Live) std::fprintf(stderr, "%s\n", Text.c_str());
  Kept.push_back(Text);
  if (Kept.size() > KeptSteps) Kept.pop_front();
}

void DumpTrace() {
  std::fprintf(stderr, "monkey: the last steps before the end:\n");
  for (const std::string& S : Kept) std::fprintf(stderr, "  %s\n", S.c_str());
  std::fflush(stderr);
}

namespace {

std::uint64_t SeedInUse = 0;
// When the last step began, for the hang watch.
std::atomic<std::int64_t> LastStepAt{0};

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void DeathNote() {
  DumpTrace();
  std::fprintf(stderr, "monkey: replay with --seed %llu\n", static_cast<unsigned long long>(SeedInUse));
}

void OnFatalSignal(int Signal) {
  DeathNote();
  std::signal(Signal, SIG_DFL);
  std::raise(Signal);
}

// The offscreen platform says what it cannot do at every window; that is noise.
void QuietMessages(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
  if (Text.startsWith("This plugin does not support")) return;
  std::fprintf(stderr, "%s\n", qFormatLogMessage(Type, Context, Text).toLocal8Bit().constData());
  // Two live shortcuts of one key: Qt runs neither, and the user's key does
  // nothing. Said with who holds the key (the shortcut test walks the
  // windows for it; this catches states the walk does not reach).
  if (Text.contains("Ambiguous shortcut overload")) {
    // Who holds it, and where the keys were going: for the replay.
    const QKeySequence Key(Text.section("overload: ", 1).trimmed());
    auto Name = [](const QObject* O) {
      return O ? (QString(O->metaObject()->className()) + " " + O->objectName()).toStdString() : std::string("none");
    };
    std::fprintf(stderr, "monkey: a key is held by two live shortcuts; active %s, popup %s, focus %s\n",
                 Name(QApplication::activeWindow()).c_str(), Name(QApplication::activePopupWidget()).c_str(),
                 Name(QApplication::focusWidget()).c_str());
    for (QWidget* Top : QApplication::topLevelWidgets())
      for (const QAction* A : Top->findChildren<QAction*>())
        if (A->shortcuts().contains(Key)) {
          std::string Where;
          for (const QObject* O : A->associatedObjects())
            if (const auto* W = qobject_cast<const QWidget*>(O))
              Where += " [" + Name(W) + " in " + Name(W->window()) + (W->isVisible() ? "" : ", hidden") + "]";
          std::fprintf(stderr, "  %s (top %s, %s, context %d):%s\n", Name(A).c_str(), Name(Top).c_str(),
                       A->isEnabled() ? "enabled" : "disabled", static_cast<int>(A->shortcutContext()), Where.c_str());
        }
  }
}

// A typed character: QTest knows keys only for ASCII ones.
void TypeChar(QWidget* W, QChar C) {
  if (C.unicode() >= 0x20 && C.unicode() < 0x7f)
    QTest::keyClick(W, C.toLatin1());
  else
    QTest::sendKeyEvent(QTest::Click, W, static_cast<Qt::Key>(C.toUpper().unicode()), QString(C), Qt::NoModifier);
}

std::string Describe(const QObject* O) {
  if (!O) return "(none)";
  std::string S = O->metaObject()->className();
  if (!O->objectName().isEmpty()) S += " " + O->objectName().toStdString();
  if (auto* B = qobject_cast<const QAbstractButton*>(O); B && !B->text().isEmpty())
    S += " \"" + B->text().toStdString() + "\"";
  return S;
}

// Texts typed into fields: names good and bad, numbers, odd characters.
const std::vector<QString> Texts = {
    "Hero", "hero2", "Tile_1", "", " ", "1st", "a b", "\u00dcml\u00e4ut", "x", "-", "Level 1", QString(300, 'A'),
    "!@#$%^&*()", "'q\"", "back\\slash", "make", "make clean", "12345", "-1", "999999", "0", "ffff", "Player",
    "player", "_", "A_very_long_name_that_goes_on_and_on_and_on_and_on"};

struct TKey {
  int Key;
  Qt::KeyboardModifiers Mods;
};

const std::vector<TKey> Keys = {
    {Qt::Key_Return, {}}, {Qt::Key_Enter, {}}, {Qt::Key_Tab, {}}, {Qt::Key_Backtab, Qt::ShiftModifier},
    {Qt::Key_Up, {}}, {Qt::Key_Down, {}}, {Qt::Key_Left, {}}, {Qt::Key_Right, {}}, {Qt::Key_Home, {}},
    {Qt::Key_End, {}}, {Qt::Key_PageUp, {}}, {Qt::Key_PageDown, {}}, {Qt::Key_Space, {}}, {Qt::Key_Delete, {}},
    {Qt::Key_Backspace, {}}, {Qt::Key_Escape, {}}, {Qt::Key_F1, {}}, {Qt::Key_F2, {}}, {Qt::Key_A, {}},
    {Qt::Key_A, Qt::ControlModifier}, {Qt::Key_C, Qt::ControlModifier}, {Qt::Key_V, Qt::ControlModifier},
    {Qt::Key_Z, Qt::ControlModifier}, {Qt::Key_N, Qt::ControlModifier}, {Qt::Key_O, Qt::ControlModifier},
    {Qt::Key_S, Qt::ControlModifier}, {Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier},
    {Qt::Key_B, Qt::ControlModifier}, {Qt::Key_R, Qt::ControlModifier}, {Qt::Key_F, Qt::AltModifier},
    {Qt::Key_G, Qt::AltModifier}, {Qt::Key_H, Qt::AltModifier}, {Qt::Key_N, Qt::AltModifier},
    {Qt::Key_E, Qt::AltModifier}, {Qt::Key_I, Qt::AltModifier}, {Qt::Key_T, Qt::AltModifier},
    {Qt::Key_L, Qt::AltModifier}, {Qt::Key_O, Qt::AltModifier}, {Qt::Key_B, Qt::AltModifier},
    {Qt::Key_Plus, {}}, {Qt::Key_Minus, {}}, {Qt::Key_Insert, {}}, {Qt::Key_Y, Qt::ControlModifier},
    {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier}, {Qt::Key_D, Qt::ControlModifier}, {Qt::Key_Menu, {}},
    {Qt::Key_Delete, {}}, {Qt::Key_Z, Qt::ControlModifier}};

struct TOptions {
  std::uint64_t Seed = 0;
  bool SeedGiven = false;
  double Seconds = 60;
  long Steps = -1;
  int Delay = 0;
  int Hang = 60;
  bool Trace = false;
};

bool ReadOptions(const QStringList& Args, TOptions& O) {
  for (int i = 1; i < Args.size(); ++i) {
    const QString& A = Args[i];
    const bool HasValue = i + 1 < Args.size();
    bool Ok = true;
    if (A == "--seed" && HasValue) {
      O.Seed = Args[++i].toULongLong(&Ok);
      O.SeedGiven = true;
    } else if (A == "--seconds" && HasValue) {
      O.Seconds = Args[++i].toDouble(&Ok);
    } else if (A == "--steps" && HasValue) {
      O.Steps = Args[++i].toLong(&Ok);
    } else if (A == "--delay" && HasValue) {
      O.Delay = Args[++i].toInt(&Ok);
    } else if (A == "--hang" && HasValue) {
      O.Hang = Args[++i].toInt(&Ok);
    } else if (A == "--trace") {
      O.Trace = true;
    } else {
      Ok = false;
    }
    if (!Ok) return false;
  }
  return true;
}

void WriteText(const QString& Path, const QByteArray& Text, bool Executable = false) {
  QFile F(Path);
  if (!F.open(QIODevice::WriteOnly)) return;
  F.write(Text);
  if (Executable) F.setPermissions(F.permissions() | QFile::ExeOwner | QFile::ExeUser);
}

// A stand-in tool chain beside the program: the launcher logs its command,
// fails with the code in devkitPro/exitcode, and leaves an image when it
// succeeds. A stand-in terminal runs the command it is given without one.
void PrepareToolChain(const QString& Root, const QString& Work) {
  QDir R(Root);
  R.mkpath("devkitPro/msys/home/Lurvik/arm9/source");
  WriteText(R.filePath("devkitPro/launcher.sh"),
            "#!/bin/sh\n"
            "code=$(cat exitcode 2>/dev/null)\n"
            "case $code in ''|*[!0-9]*) code=0 ;; esac\n"
            "{\n"
            "  echo \"stand-in launcher: $*\"\n"
            "  [ \"$code\" = 0 ] || echo \"arm9/source/generated.c:1:1: error: stand-in failure $code\"\n"
            "  echo \"arm9/source/generated.c:2:1: warning: stand-in warning\"\n"
            "} > launcher.log\n"
            "rm -f msys/home/Lurvik/Lurvik.nds\n"
            "[ \"$code\" = 0 ] && : > msys/home/Lurvik/Lurvik.nds\n"
            "exit \"$code\"\n");
  WriteText(R.filePath("devkitPro/exitcode"), "0\n");
  QDir(Work).mkpath("bin");
  WriteText(QDir(Work).filePath("bin/x-terminal-emulator"), "#!/bin/sh\nshift\nexec \"$@\" </dev/null\n", true);
  qputenv("PATH", QDir(Work).filePath("bin").toLocal8Bit() + ":" + qgetenv("PATH"));
}

class TMonkey final : public QObject {
public:
  TMonkey(TDice& Dice, TMonkeyDialogs& Dialogs, const TOptions& Options, const QString& Work)
      : FDice(Dice), FDialogs(Dialogs), FOptions(Options), FWork(Work) {}
  ~TMonkey() override { delete FMain.data(); }

  void Start() {
    FClock.start();
    NewMain();
    ScheduleStep();
  }
  long Steps() const { return FSteps; }
  // Steps taken in each kind of window, to see what a run reached.
  std::string Visits() const {
    std::string S;
    for (const auto& [Name, Count] : FVisits) S += (S.empty() ? "" : ", ") + Name + " " + std::to_string(Count);
    return S;
  }

private:
  struct TDepth {
    int& D;
    explicit TDepth(int& Depth) : D(Depth) { ++D; }
    ~TDepth() { --D; }
  };

  // Each step books the next one before it acts: a timer that is still in
  // its slot does not fire again, so the step that opened a modal window
  // could not act inside it.
  void ScheduleStep() { QTimer::singleShot(FOptions.Delay, this, [this] { Step(); }); }
  void Step();
  void StopStep();
  void Act(QWidget* Window);
  void ClickButton(QWidget* Window);
  void TypeText(QWidget* Window);
  void PressKey(QWidget* Window);
  void UseMouse(QWidget* Window);
  void SelectNode();
  void UseMenu();
  void ResizeMain();
  void UndoAndRedo();
  void CloseWindow(QWidget* Window);
  void PopupStep(QWidget* Popup);
  void NewMain();
  void CheckTree();
  // After every step: the game shows as changed exactly when its content
  // differs from the saved content, and a step the last command made is
  // undone to the content before it and redone to the content after it.
  void CheckDocument();
  // The game's content as the history records it.
  lvk::TContent StateNow() const;
  // Each item's record and object: an undo or redo leaves an item whose
  // record it did not change as the same object.
  struct TItemState {
    const lvk::TIdentified* Object;
    lvk::TRecordKey Key;
    lvk::TContent Record;
  };
  using TItemStates = std::map<lvk::TItemId, TItemState>;
  TItemStates ItemStates() const;
  void CheckUntouchedItems(const TItemStates& Before, const std::string& What);
  // Undo or redo through the window's menu, checking the items after it.
  void UndoOrRedo(bool Undo);
  [[noreturn]] void Fail(const std::string& Text);

  // Visible, enabled widgets of a window of one type.
  template <class T> std::vector<T*> Live(QWidget* Window) {
    std::vector<T*> Found;
    for (T* W : Window->findChildren<T*>())
      if (W->isVisible() && W->isEnabled()) Found.push_back(W);
    return Found;
  }
  // Where keys go: the focused control when it is in the window.
  QWidget* KeyTarget(QWidget* Window) {
    QWidget* Focus = QApplication::focusWidget();
    return Focus && (Focus == Window || Window->isAncestorOf(Focus)) ? Focus : Window;
  }
  static std::vector<QWidget*> OtherWindows(QWidget* Main) {
    std::vector<QWidget*> Found;
    for (QWidget* W : QApplication::topLevelWidgets())
      if (W != Main && W->isVisible() && (W->windowType() == Qt::Window || W->windowType() == Qt::Dialog))
        Found.push_back(W);
    return Found;
  }

  TDice& FDice;
  TMonkeyDialogs& FDialogs;
  TOptions FOptions;
  QString FWork;
  QPointer<TfrmMain> FMain;
  bool FDone = false;
  QElapsedTimer FClock;
  int FDepth = 0;
  long FSteps = 0;
  bool FStopping = false;
  QPointer<QWidget> FModal;  // the modal window acted in last, and how long it stays
  int FModalSteps = 0;
  int FModalLimit = 0;
  int FPopupSteps = 0;
  std::map<std::string, int> FVisits;
  // What the game counts as saved against: the content it was opened or
  // created with, or saved with where the file read back holds it, and its
  // file's name then.
  lvk::TContent FSaved;
  std::string FSavedName;
  lvk::TContent FBefore;    // the content at the last check
  int FReached = 0;         // the history's place then
  long FRecords = 0;
  bool FRestarted = true;   // New or Open started a new history since
};

void TMonkey::NewMain() {
  FMain = new TfrmMain;
  FSaved = FMain->Game().ContentBytes();
  FSavedName = lvk::NoFileName;
  FRestarted = true;
  connect(&FMain->Session(), &TDocumentSession::Changed, this, [this](const lvk::TChange& Change) {
    if (Change.Kind != lvk::TChangeKind::Saved) return;
    const lvk::TContent Now = FMain->Game().ContentBytes();
    const std::string& Name = FMain->Game().FileName();
    if (!FMain->Session().Opening()) {
      // A save: taken only when the file holds the game now.
      try {
        lvk::TGame Written;
        Written.LoadFromFile(Name);
        if (Written.ContentBytes() != Now) return;
      } catch (const std::exception&) {
        return;
      }
    }
    FRestarted |= FMain->Session().Opening();
    FSaved = Now;
    FSavedName = Name;
  });
  FMain->resize(FDice.Between(500, 1200), FDice.Between(350, 950));
  FMain->show();
  FMain->activateWindow();
  // A game with every kind of node in it, as the command line would open it.
  if (FDice.Chance(0.6)) FMain->OpenGameFile(QDir(FWork).filePath("Sample.lvk"));
  Trace("new main window");
}

void TMonkey::Step() {
  if (FDone) return;
  ScheduleStep();
  // While a box is "up" the user can touch nothing; the loop just runs.
  if (FDialogs.BoxUp()) return;
  LastStepAt = NowMs();
  TDepth Depth(FDepth);
  ++FSteps;
  if (!FStopping && ((FOptions.Steps >= 0 && FSteps >= FOptions.Steps) ||
                     (FOptions.Steps < 0 && FClock.elapsed() >= FOptions.Seconds * 1000))) {
    FStopping = true;
    FDialogs.SetStopping(true);
    Trace("stopping");
  }
  if (FStopping) {
    StopStep();
    return;
  }
  if (QWidget* Popup = QApplication::activePopupWidget()) {
    PopupStep(Popup);
    return;
  }
  FPopupSteps = 0;
  if (QWidget* Modal = QApplication::activeModalWidget()) {
    if (Modal != FModal) {
      FModal = Modal;
      FModalSteps = 0;
      FModalLimit = FDice.Between(3, 60);
    }
    if (++FModalSteps > FModalLimit || FDice.Chance(0.01)) {
      // A window that refuses to close (a build running) is used on, not
      // asked again at every step.
      FModalSteps = 0;
      FModalLimit = FDice.Between(3, 60);
      CloseWindow(Modal);
      return;
    }
    if (auto* Build = qobject_cast<TfrmBuild*>(Modal); Build && FDice.Chance(0.2))
      WriteText(QDir(QCoreApplication::applicationDirPath()).filePath("devkitPro/exitcode"),
                QByteArray::number(FDice.Pick(std::vector<int>{0, 0, 1, 2})));
    Act(Modal);
    return;
  }
  if (!FMain || !FMain->isVisible()) {
    // Closed by Exit: a new one, as the user starting the program again.
    if (FDepth == 1) {
      delete FMain.data();
      NewMain();
    }
    return;
  }
  if (FDepth == 1) {
    CheckTree();
    CheckDocument();
  }
  std::vector<QWidget*> Others = OtherWindows(FMain);
  if (!Others.empty() && FDice.Chance(0.2)) {
    QWidget* W = FDice.Pick(Others);
    if (FDice.Chance(0.3))
      CloseWindow(W);
    else
      Act(W);
    return;
  }
  Act(FMain);
}

void TMonkey::StopStep() {
  if (QWidget* Popup = QApplication::activePopupWidget()) {
    Trace("stop: close popup " + Describe(Popup));
    Popup->close();
    return;
  }
  if (QWidget* Modal = QApplication::activeModalWidget()) {
    // A running build refuses; the next step tries again.
    CloseWindow(Modal);
    return;
  }
  if (FDepth > 1) return;  // the nested loops unwind first
  for (QWidget* W : OtherWindows(FMain)) {
    Trace("stop: close " + Describe(W));
    W->close();
  }
  if (FMain && FMain->isVisible()) {
    Trace("stop: close the main window");
    FMain->close();  // answers the save question
    if (FMain->isVisible()) return;
  }
  FDone = true;
  delete FMain.data();
  for (QWidget* W : OtherWindows(nullptr)) W->close();
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void TMonkey::Act(QWidget* Window) {
  ++FVisits[Window->metaObject()->className()];
  if (!Window->isActiveWindow()) Window->activateWindow();
  const bool IsMain = Window == FMain;
  switch (FDice.Weighted({28, 14, 22, 16, IsMain ? 16 : 0, IsMain ? 6 : 0, IsMain ? 1 : 0, IsMain ? 4 : 0})) {
    case 0: ClickButton(Window); break;
    case 1: TypeText(Window); break;
    case 2: PressKey(Window); break;
    case 3: UseMouse(Window); break;
    case 4: SelectNode(); break;
    case 5: UseMenu(); break;
    case 6: ResizeMain(); break;
    case 7: UndoAndRedo(); break;
  }
}

// A few steps back and as many forward: the game must be what it was.
void TMonkey::UndoAndRedo() {
  // A field's pending edit would land in the middle otherwise.
  if (QWidget* Focus = QApplication::focusWidget()) Focus->clearFocus();
  if (!FMain) return;
  TDocumentSession& Undo = FMain->Session();
  const lvk::TContent Before = FMain->Game().ContentBytes();
  int Back = 0;
  for (int i = FDice.Between(1, 6); i > 0 && FMain->Document().CanUndo(); --i, ++Back) {
    Trace("step " + std::to_string(FSteps) + ": " + Undo.UndoText().toStdString());
    UndoOrRedo(true);
  }
  CheckTree();
  for (int i = Back; i > 0; --i) {
    Trace("step " + std::to_string(FSteps) + ": " + Undo.RedoText().toStdString());
    UndoOrRedo(false);
  }
  if (FMain->Game().ContentBytes() != Before) {
    std::fprintf(stderr, "monkey: undo then redo of %d steps did not give the game back\n", Back);
    DeathNote();
    std::abort();
  }
}

void TMonkey::ClickButton(QWidget* Window) {
  std::vector<QAbstractButton*> Buttons = Live<QAbstractButton>(Window);
  if (Buttons.empty()) return PressKey(Window);
  QPointer<QAbstractButton> B = FDice.Pick(Buttons);
  const Qt::KeyboardModifiers Mods = FDice.Chance(0.15) ? Qt::ControlModifier : Qt::NoModifier;
  Trace("step " + std::to_string(FSteps) + " d" + std::to_string(FDepth) + ": click " + Describe(B) +
        (Mods ? " with Ctrl" : ""));
  const QPoint At = B->rect().center();
  QTest::mousePress(B, Qt::LeftButton, Mods, At);
  // The press may already have replaced the button.
  if (B) QTest::mouseRelease(B, Qt::LeftButton, Mods, At);
}

void TMonkey::TypeText(QWidget* Window) {
  std::vector<QLineEdit*> Edits = Live<QLineEdit>(Window);
  if (Edits.empty()) return PressKey(Window);
  QPointer<QLineEdit> E = FDice.Pick(Edits);
  QString Text = FDice.Pick(Texts);
  // Sometimes the name of something that exists already.
  if (FMain && FDice.Chance(0.2)) {
    lvk::TGame& Game = FMain->Game();
    if (Game.ActorCount() > 0) Text = QString::fromStdString(Game.GetActor(FDice.Below(Game.ActorCount()))->Name());
  }
  Trace("step " + std::to_string(FSteps) + " d" + std::to_string(FDepth) + ": type \"" + Text.left(40).toStdString() +
        "\" into " + Describe(E));
  E->setFocus(Qt::MouseFocusReason);
  QTest::keyClick(E, Qt::Key_A, Qt::ControlModifier);
  for (QChar C : Text) {
    if (!E) return;
    TypeChar(E.data(), C);
  }
  if (!E) return;
  switch (FDice.Below(4)) {
    case 0: QTest::keyClick(E.data(), Qt::Key_Return); break;
    case 1: QTest::keyClick(E.data(), Qt::Key_Tab); break;
    case 2: E->clearFocus(); break;  // leaving the field
    default: break;                   // left as typed, for a later action
  }
}

void TMonkey::PressKey(QWidget* Window) {
  const TKey& K = FDice.Pick(Keys);
  QPointer<QWidget> Target = KeyTarget(Window);
  Trace("step " + std::to_string(FSteps) + " d" + std::to_string(FDepth) + ": key " +
        QKeySequence(K.Key | K.Mods).toString().toStdString() + " on " + Describe(Target));
  QTest::keyPress(Target.data(), static_cast<Qt::Key>(K.Key), K.Mods);
  if (Target) QTest::keyRelease(Target.data(), static_cast<Qt::Key>(K.Key), K.Mods);
}

void TMonkey::UseMouse(QWidget* Window) {
  std::vector<QWidget*> Widgets = Live<QWidget>(Window);
  Widgets.push_back(Window);
  QPointer<QWidget> W = FDice.Pick(Widgets);
  const QSize Size = W->size();
  auto Point = [&] { return QPoint(FDice.Below(std::max(1, Size.width())), FDice.Below(std::max(1, Size.height()))); };
  const Qt::KeyboardModifiers Mods = FDice.Pick(std::vector<Qt::KeyboardModifiers>{
      Qt::NoModifier, Qt::NoModifier, Qt::NoModifier, Qt::ControlModifier, Qt::ShiftModifier});
  const Qt::MouseButton Button = FDice.Chance(0.85) ? Qt::LeftButton : Qt::RightButton;
  const QPoint At = Point();
  const int Kind = FDice.Below(3);
  Trace("step " + std::to_string(FSteps) + " d" + std::to_string(FDepth) + ": mouse " +
        (Kind == 0 ? "click" : Kind == 1 ? "double-click" : "drag") + " on " + Describe(W) + " at " +
        std::to_string(At.x()) + "," + std::to_string(At.y()));
  if (Kind == 1) {
    QTest::mouseDClick(W.data(), Button, Mods, At);
    return;
  }
  QTest::mousePress(W.data(), Button, Mods, At);
  QPoint Last = At;
  if (Kind == 2) {
    for (int i = FDice.Between(1, 4); i > 0 && W; --i) {
      Last = Point();
      QTest::mouseMove(W.data(), Last);
    }
  }
  if (W) QTest::mouseRelease(W.data(), Button, Mods, Last);
}

void TMonkey::SelectNode() {
  std::vector<QTreeWidgetItem*> Nodes;
  for (QTreeWidgetItemIterator It(FMain->tvwTree); *It; ++It) Nodes.push_back(*It);
  if (Nodes.empty()) return;
  QTreeWidgetItem* Node = FDice.Pick(Nodes);
  Trace("step " + std::to_string(FSteps) + " d" + std::to_string(FDepth) + ": select node \"" +
        Node->text(0).toStdString() + "\"");
  FMain->tvwTree->scrollToItem(Node);
  const QRect R = FMain->tvwTree->visualItemRect(Node);
  QWidget* View = FMain->tvwTree->viewport();
  if (R.isEmpty()) {
    FMain->SelectNode(Node);
  } else if (FDice.Chance(0.2)) {
    QTest::mouseDClick(View, Qt::LeftButton, {}, R.center());
  } else {
    QPointer<QWidget> V = View;
    QTest::mousePress(View, Qt::LeftButton, {}, R.center());
    if (V) QTest::mouseRelease(View, Qt::LeftButton, {}, R.center());
  }
}

void TMonkey::UseMenu() {
  std::vector<QAction*> Items;
  for (QAction* Top : FMain->menuBar()->actions())
    if (QMenu* Menu = Top->menu())
      for (QAction* A : Menu->actions())
        if (!A->isSeparator() && A->isEnabled()) Items.push_back(A);
  if (Items.empty()) return;
  QAction* A = FDice.Pick(Items);
  // Exit ends the session; the monkey starts a new one, but not too often.
  if (A == FMain->mnuExit && FDice.Chance(0.7)) return;
  Trace("step " + std::to_string(FSteps) + " d" + std::to_string(FDepth) + ": menu " + A->objectName().toStdString());
  A->trigger();
}

void TMonkey::ResizeMain() {
  Trace("step " + std::to_string(FSteps) + ": resize the main window");
  if (FDice.Chance(0.3)) {
    FMain->isMaximized() ? FMain->showNormal() : FMain->showMaximized();
  } else {
    FMain->resize(FDice.Between(200, 1400), FDice.Between(150, 1000));
  }
}

void TMonkey::CloseWindow(QWidget* Window) {
  QPointer<QWidget> W = Window;
  const int How = FDice.Below(3);
  Trace("step " + std::to_string(FSteps) + " d" + std::to_string(FDepth) + ": close " + Describe(W) +
        (How == 0 ? " by Escape" : How == 1 ? " by close()" : " by reject()"));
  auto* Dialog = qobject_cast<QDialog*>(Window);
  if (How == 0) {
    QTest::keyClick(KeyTarget(Window), Qt::Key_Escape);
  } else if (How == 1 || !Dialog) {
    Window->close();
  } else {
    Dialog->reject();
  }
}

void TMonkey::PopupStep(QWidget* Popup) {
  QWidget* Target = Popup->focusWidget() ? Popup->focusWidget() : Popup;
  if (++FPopupSteps > 6) {
    Trace("step " + std::to_string(FSteps) + ": escape from popup " + Describe(Popup));
    QTest::keyClick(Target, Qt::Key_Escape);
    if (QApplication::activePopupWidget() == Popup) Popup->close();
    return;
  }
  const int Key = FDice.Pick(std::vector<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Right, Qt::Key_Left,
                                              Qt::Key_Return, Qt::Key_Escape});
  Trace("step " + std::to_string(FSteps) + ": key " + QKeySequence(Key).toString().toStdString() + " in popup " +
        Describe(Popup));
  QTest::keyClick(Target, static_cast<Qt::Key>(Key));
}

// Every node of the tree stands for something in the open game: a node
// left pointing at a freed or foreign element is a fault even when nothing
// happens to paint it.
void TMonkey::Fail(const std::string& Text) {
  std::fprintf(stderr, "monkey: %s\n", Text.c_str());
  DeathNote();
  std::abort();
}

void TMonkey::CheckDocument() {
  lvk::TDocument& Document = FMain->Document();
  if (Document.Editing()) return;
  const lvk::TContent Now = FMain->Game().ContentBytes();
  const bool Differs = Now != FSaved || FMain->Game().FileName() != FSavedName;
  if (Document.Modified() != Differs)
    Fail(std::string("the game shows as ") + (Document.Modified() ? "changed" : "saved") + " but its content " +
         (Differs ? "differs from" : "is") + " the saved content");
  const lvk::TUndoHistory& History = Document.History();
  // Outside an edit the game is what the history's step holds: a change
  // that made no step would make the next undo put back less than it
  // took. Said here, at the action that made it, not at that undo.
  if (!History.IsCurrent(StateNow()))
    Fail("the last action changed the game without an undo step");
  const int Reached = History.Position() + History.Dropped();
  // One step added by one change: a change that also merged into the step
  // before (a field left by the click that made the step) cannot be
  // checked against the content before.
  if (!FRestarted && Reached == FReached + 1 && History.Records() == FRecords + 1 && Document.CanUndo()) {
    const std::string Step = Document.UndoName();
    Trace("step " + std::to_string(FSteps) + ": check the step " + Step);
    const TItemStates Done = ItemStates();
    Document.Undo();
    if (!History.IsCurrent(StateNow())) Fail("one undo of \"" + Step + "\" did not put back the state it recorded");
    if (FMain->Game().ContentBytes() != FBefore) Fail("one undo of \"" + Step + "\" did not give the content before it");
    CheckUntouchedItems(Done, "the undo of \"" + Step + "\"");
    const TItemStates Undone = ItemStates();
    Document.Redo();
    if (!History.IsCurrent(StateNow())) Fail("a redo of \"" + Step + "\" did not put back the state it recorded");
    CheckUntouchedItems(Undone, "the redo of \"" + Step + "\"");
    if (FMain->Game().ContentBytes() != Now) Fail("a redo of \"" + Step + "\" did not give the content after it");
  }
  FRestarted = false;
  FBefore = Now;
  FReached = Reached;
  FRecords = History.Records();
}

lvk::TContent TMonkey::StateNow() const {
  std::vector<std::size_t> Cuts;
  std::vector<lvk::TRecordKey> Keys;
  return FMain->Game().StateBytes(Cuts, Keys);
}

TMonkey::TItemStates TMonkey::ItemStates() const {
  const lvk::TGame& Game = FMain->Game();
  std::vector<std::size_t> Cuts;
  std::vector<lvk::TRecordKey> Keys;
  const lvk::TContent Content = Game.StateBytes(Cuts, Keys);
  TItemStates States;
  std::size_t Start = 0;
  for (std::size_t i = 0; i < Keys.size() && i < Cuts.size(); Start = Cuts[i++]) {
    if (Keys[i].Id == lvk::NoItem) continue;
    States[Keys[i].Id] = {Game.FindItem(Keys[i].Kind, Keys[i].Id), Keys[i],
                          lvk::TContent(Content.begin() + static_cast<std::ptrdiff_t>(Start),
                                        Content.begin() + static_cast<std::ptrdiff_t>(Cuts[i]))};
  }
  return States;
}

void TMonkey::CheckUntouchedItems(const TItemStates& Before, const std::string& What) {
  for (const auto& [Id, Now] : ItemStates()) {
    const auto Was = Before.find(Id);
    if (Was == Before.end() || !(Was->second.Key == Now.Key) || Was->second.Record != Now.Record) continue;
    if (Was->second.Object != Now.Object)
      Fail(What + " made item " + std::to_string(Id) + " a new object although its record did not change");
  }
}

void TMonkey::UndoOrRedo(bool Undo) {
  const TItemStates Before = ItemStates();
  (Undo ? FMain->mnuUndo : FMain->mnuRedo)->trigger();
  CheckUntouchedItems(Before, Undo ? "an undo" : "a redo");
}

void TMonkey::CheckTree() {
  lvk::TGame& Game = FMain->Game();
  std::set<const lvk::TIdentified*> Known;
  for (int i = 0; i < Game.TileCount(); ++i) Known.insert(Game.GetTile(i));
  for (int i = 0; i < Game.LevelCount(); ++i) Known.insert(Game.GetLevel(i));
  for (int i = 0; i < Game.VariableCount(); ++i) Known.insert(Game.GetVariable(i));
  for (int i = 0; i < Game.SoundCount(); ++i) Known.insert(Game.GetSound(i));
  for (int i = 0; i < Game.ActorCount(); ++i) {
    lvk::TActor* Actor = Game.GetActor(i);
    Known.insert(Actor);
    for (int h = 0; h < Actor->HandlerCount(); ++h) Known.insert(Actor->GetHandler(h));
  }
  for (QTreeWidgetItemIterator It(FMain->tvwTree); *It; ++It) {
    if (NodeKind(*It) == TNodeKind::Pane || Known.count(NodeItem(Game, *It))) continue;
    std::fprintf(stderr, "monkey: the tree node \"%s\" points at nothing in the open game\n",
                 (*It)->text(0).toUtf8().constData());
    DeathNote();
    std::abort();
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietMessages);
  TLurvikApplication App(argc, argv);
  App.setQuitOnLastWindowClosed(false);
  TOptions Options;
  if (!ReadOptions(App.arguments(), Options)) {
    std::fprintf(stderr,
                 "usage: lurvik_monkey [--seed N] [--seconds S | --steps K] [--delay MS] [--hang S] [--trace]\n");
    return 2;
  }
  if (!Options.SeedGiven) Options.Seed = std::random_device()() ^ (std::uint64_t(std::random_device()()) << 32);
  SeedInUse = Options.Seed;
  std::printf("monkey seed %llu\n", static_cast<unsigned long long>(Options.Seed));
  std::fflush(stdout);
  SetTraceLive(Options.Trace);
  // The sanitizers report faults of memory themselves; an abort (a failed
  // assertion, a fatal Qt message) is the monkey's to note.
  std::signal(SIGABRT, OnFatalSignal);
#ifdef LVK_MONKEY_ASAN
  __sanitizer_set_death_callback(DeathNote);
#else
  for (int Signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) std::signal(Signal, OnFatalSignal);
#endif

  QTemporaryDir Work;
  if (!Work.isValid()) {
    std::fprintf(stderr, "monkey: no temporary folder\n");
    return 2;
  }
  // The user's own settings (recent games, the window's place) stay untouched.
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Work.path() + "/settings");
  PrepareToolChain(QCoreApplication::applicationDirPath(), Work.path());
  lvk::TDocument::StepChecks = true;  // every undo step checked against all records written
  lvk::RegisterKinds();
  // A stuck event loop would only end at the test's time limit, without a
  // word of where it stuck.
  LastStepAt = NowMs();
  std::jthread HangWatch([Limit = Options.Hang](std::stop_token Stop) {
    while (Limit > 0 && !Stop.stop_requested()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      if (NowMs() - LastStepAt > Limit * 1000LL) {
        std::fprintf(stderr, "monkey: no step for %d s: the event loop is stuck\n", Limit);
        DeathNote();
        std::_Exit(3);
      }
    }
  });
  long Steps = 0;
  int Boxes = 0;
  std::string Visits;
  {
    TDice Dice(Options.Seed);
    TMonkeyDialogs Dialogs(Dice, Work.path(), LVK_EXAMPLES);
    TMonkey Monkey(Dice, Dialogs, Options, Work.path());
    Monkey.Start();
    App.exec();
    Steps = Monkey.Steps();
    Boxes = Dialogs.BoxCount();
    Visits = Monkey.Visits();
  }
  HangWatch.request_stop();
  HangWatch.join();
  lvk::UnregisterKinds();
  std::printf("monkey done: %ld steps, %d boxes and dialogs answered, seed %llu\nsteps in: %s\n", Steps, Boxes,
              static_cast<unsigned long long>(Options.Seed), Visits.c_str());
  return 0;
}
