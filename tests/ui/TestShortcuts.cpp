// No key is ambiguous in any window: two live shortcuts of one key make Qt
// run neither ("Ambiguous shortcut overload"), and the key does nothing.
// Each window is walked with the focus on each of its widgets in turn; the
// shortcuts live then are found as Qt's shortcut map finds them.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QShortcut>
#include <QTest>
#include <QToolButton>
#include <cstdio>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "TScriptedDialogs.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "ui/building/FBuild.h"
#include "ui/common/FAbout.h"
#include "ui/common/FCredits.h"
#include "ui/common/FHelp.h"
#include "ui/editors/FLevelEditor.h"
#include "ui/editors/FPaletteEditor.h"
#include "ui/events/FEventSelector.h"
#include "ui/main/FMain.h"
#include "ui/main/UGameTree.h"
#include "model/UActor.h"
#include "ui/play/FPlay.h"

namespace {

QString Name(const QObject* O) {
  return O->objectName().isEmpty() ? QString(O->metaObject()->className()) : O->objectName();
}

// Whether a shortcut of Context held by W is live in Window while Focus
// has the focus: W shown and enabled, and the context met.
bool LiveOn(Qt::ShortcutContext Context, const QWidget* W, const QWidget* Window, const QWidget* Focus) {
  if (!W->isVisible() || !W->isEnabled()) return false;
  switch (Context) {
    case Qt::ApplicationShortcut: return true;
    case Qt::WidgetShortcut: return W == Focus;
    case Qt::WidgetWithChildrenShortcut:
      for (const QWidget* F = Focus; F; F = F->isWindow() ? nullptr : F->parentWidget())
        if (F == W) return true;
      return false;
    default:
      // A tool window keeps its owner's shortcuts live.
      return W->window() == Window || (Window->windowType() == Qt::Tool && Window->parentWidget() &&
                                       W->window() == Window->parentWidget()->window());
  }
}

// An action is live through any widget it was added to; through a menu,
// as the menu's own entry is (in the menu bar, or a menu before it).
bool LiveAction(const QAction* A, Qt::ShortcutContext Context, const QWidget* Window, const QWidget* Focus,
                int Depth = 0) {
  if (Depth > 8) return false;
  for (const QObject* O : A->associatedObjects()) {
    if (const auto* Menu = qobject_cast<const QMenu*>(O)) {
      if (LiveAction(Menu->menuAction(), Context, Window, Focus, Depth + 1)) return true;
    } else if (const auto* W = qobject_cast<const QWidget*>(O)) {
      if (LiveOn(Context, W, Window, Focus)) return true;
    }
  }
  return false;
}

// Every key live in Window with the focus on Focus, and what holds it.
std::multimap<QString, QString> LiveKeys(const QWidget* Window, const QWidget* Focus) {
  std::set<const QAction*> Actions;
  std::set<const QShortcut*> Shortcuts;
  for (QWidget* Top : QApplication::topLevelWidgets()) {
    for (const QAction* A : Top->findChildren<QAction*>()) Actions.insert(A);
    for (const QWidget* W : Top->findChildren<QWidget*>())
      for (const QAction* A : W->actions()) Actions.insert(A);
    for (const QAction* A : Top->actions()) Actions.insert(A);
    for (const QShortcut* S : Top->findChildren<QShortcut*>()) Shortcuts.insert(S);
  }
  std::multimap<QString, QString> Keys;
  for (const QAction* A : Actions)
    if (A->isEnabled() && A->isVisible() && LiveAction(A, A->shortcutContext(), Window, Focus))
      for (const QKeySequence& K : A->shortcuts()) Keys.emplace(K.toString(), Name(A));
  for (const QShortcut* S : Shortcuts)
    if (S->isEnabled() && S->parentWidget() && LiveOn(S->context(), S->parentWidget(), Window, Focus))
      for (const QKeySequence& K : S->keys()) Keys.emplace(K.toString(), Name(S));
  // A button's own key (F5 on Play), not the Alt+letter of its caption:
  // captions that share a letter take turns, as Qt means them to.
  for (const QAbstractButton* B : Window->findChildren<QAbstractButton*>())
    if (!B->shortcut().isEmpty() && B->shortcut() != QKeySequence::mnemonic(B->text()) &&
        LiveOn(Qt::WindowShortcut, B, Window, Focus))
      Keys.emplace(B->shortcut().toString(), Name(B));
  return Keys;
}

// "Ctrl+N: mnuNew, actNext (focus on edtName)" for each key held twice.
QStringList SharedKeys(const QWidget* Window) {
  QStringList Shared;
  std::vector<const QWidget*> Focuses{nullptr, Window};
  for (const QWidget* W : Window->findChildren<QWidget*>())
    if (W->isVisible() && W->focusPolicy() != Qt::NoFocus) Focuses.push_back(W);
  for (const QWidget* Focus : Focuses) {
    const auto Keys = LiveKeys(Window, Focus);
    for (auto It = Keys.begin(); It != Keys.end(); It = Keys.upper_bound(It->first)) {
      if (Keys.count(It->first) < 2) continue;
      QStringList Holders;
      for (auto [From, To] = Keys.equal_range(It->first); From != To; ++From) Holders << From->second;
      const QString Line = It->first + ": " + Holders.join(", ") + " (focus on " +
                           (Focus ? Name(Focus) : QString("nothing")) + ")";
      if (!Shared.contains(Line)) Shared << Line;
    }
  }
  return Shared;
}

struct Shortcuts : ::testing::Test {
  TScriptedDialogs Dialogs;
  TfrmMain Main;
  void SetUp() override {
    Main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
    ASSERT_TRUE(Main.OpenGameFile(LVK_EXAMPLES "/Sample.lvk"));
  }
  // Shows Window, walks it and closes it again.
  void Walk(QWidget& Window, const QString& What) {
    Window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window)) << What.toStdString();
    EXPECT_EQ(SharedKeys(&Window), QStringList()) << What.toStdString();
    Window.close();
  }
};

}  // namespace

// The check itself: two actions of one key in one window are found, and
// one of them disabled, hidden or in another window is not.
TEST(ShortcutWalk, FindsTwoLiveActionsOfOneKeyAndOnlyThose) {
  QWidget Window, Other;
  auto* A = new QAction("a", &Window);
  auto* B = new QAction("b", &Window);
  auto* C = new QAction("c", &Other);
  for (QAction* Each : {A, B, C}) Each->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  Window.addAction(A);
  Window.addAction(B);
  Other.addAction(C);
  Window.show();
  Other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
  EXPECT_EQ(SharedKeys(&Window).size(), 2) << "with the focus nowhere and on the window";
  B->setEnabled(false);
  EXPECT_EQ(SharedKeys(&Window), QStringList());
  B->setEnabled(true);
  B->setShortcutContext(Qt::WidgetShortcut);  // live only while the window itself has the focus
  Window.setFocusPolicy(Qt::StrongFocus);
  EXPECT_EQ(SharedKeys(&Window).size(), 1);
  Window.removeAction(B);
  EXPECT_EQ(SharedKeys(&Window), QStringList());
}

TEST_F(Shortcuts, NoWindowSharesALiveKey) {
  // The main window with each kind of pane shown.
  std::set<std::pair<int, int>> Seen;
  for (QTreeWidgetItemIterator It(Main.tvwTree); *It; ++It) {
    const std::pair<int, int> Kind(static_cast<int>(NodeKind(*It)),
                                   NodeKind(*It) == TNodeKind::Pane ? static_cast<int>(PaneKind(*It)) : 0);
    if (!Seen.insert(Kind).second) continue;
    Main.SelectNode(*It);
    EXPECT_EQ(SharedKeys(&Main), QStringList()) << (*It)->text(0).toStdString();
  }
  // The play window beside it.
  Main.mnuPlay->trigger();
  ASSERT_NE(Main.PlayWindow(), nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Main.PlayWindow()));
  EXPECT_EQ(SharedKeys(Main.PlayWindow()), QStringList());
  EXPECT_EQ(SharedKeys(&Main), QStringList()) << "with the play window open";
  Main.PlayWindow()->close();

  // The other windows, each as the main window opens it.
  lvk::TGame& Game = Main.Game();
  TfrmLevelEditor Level(&Main);
  Level.SetLevel(Game.GetLevel(0));
  Main.Session().InstallUndoKeys(&Level, [] {});
  Walk(Level, "level editor");
  TfrmPaletteEditor Palette(&Main);
  Palette.SetPalette(&Game.Palette());
  Main.Session().InstallUndoKeys(&Palette, [] {});
  Walk(Palette, "palette editor");
  TfrmEventSelector Selector(&Main);
  lvk::THandler* Handler = nullptr;
  for (int a = 0; a < Game.ActorCount() && !Handler; ++a)
    if (Game.GetActor(a)->HandlerCount() > 0) Handler = Game.GetActor(a)->GetHandler(0);
  ASSERT_NE(Handler, nullptr);
  Selector.SetHandler(*Handler);
  Walk(Selector, "event selector");
  TfrmBuild Build(&Main);
  Build.SetGame(Game);
  Walk(Build, "build window");
  TfrmHelp Help(&Main);
  Walk(Help, "help window");
  TfrmAbout About(&Main);
  Walk(About, "about box");
  TfrmCredits Credits(&Main);
  Walk(Credits, "credits");
}


namespace {
QStringList Heard;
void Hear(QtMsgType, const QMessageLogContext&, const QString& Text) { Heard << Text; }
}  // namespace

// With the play window active, Ctrl+N is never shared: sent to the play
// window it is Next level, sent to a widget of the main window it is New.
// (As a tool window the play window kept the main window's keys live beside
// its own, and Qt ran neither.)
TEST_F(Shortcuts, CtrlNIsNextLevelInThePlayWindowAndNewInTheMainWindow) {
  QToolButton* PlayButton = nullptr;
  for (QToolButton* B : Main.findChildren<QToolButton*>())
    if (B->defaultAction() == Main.mnuPlay) PlayButton = B;
  ASSERT_NE(PlayButton, nullptr);
  QTest::mouseClick(PlayButton, Qt::LeftButton);
  TfrmPlay* Play = Main.PlayWindow();
  ASSERT_NE(Play, nullptr);
  if (!QTest::qWaitForWindowActive(Play)) GTEST_SKIP() << "the play window does not become active here";
  EXPECT_EQ(SharedKeys(Play), QStringList());
  const int Level = Play->Engine().level;
  Heard.clear();
  auto* Old = qInstallMessageHandler(Hear);
  QTest::keyClick(Play->pnlScreens, Qt::Key_N, Qt::ControlModifier);
  const int Next = Play->Engine().level;
  QTest::keyClick(Main.tvwTree, Qt::Key_N, Qt::ControlModifier);
  qInstallMessageHandler(Old);
  for (const QString& Line : Heard) EXPECT_FALSE(Line.contains("Ambiguous")) << Line.toStdString();
  EXPECT_NE(Next, Level) << "Next level ran";
  EXPECT_EQ(Main.Game().FileName(), lvk::NoFileName) << "New ran";
  Play->close();
}
