// The build window driven for real against a stand-in launcher in a
// temporary root folder, and Game | Run after it.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "TScriptedDialogs.h"
#include "TestSupport.h"
#include "generator/TFakeKit.h"
#include "model/UActor.h"
#include "model/UClock.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "ui/building/FBuild.h"
#include "ui/main/FMain.h"
#include "ui/building/URunImage.h"

using namespace lvk;

namespace {

// Records where and how it was called, then does what its first argument
// asks: exitN ends with N, nolog leaves no log, wait runs until the file
// "go" appears (or gives up after 20 seconds), long writes 100 lines and
// fails, gcc does so with a compiler error at line 70, image makes Lurvik.nds.
constexpr const char* StandInLauncher = R"sh(
{ printf 'pwd=%s\n' "$(pwd)"; printf 'argc=%s\n' "$#"
  for a in "$@"; do printf 'arg=[%s]\n' "$a"; done
  printf 'dos line\r\n'; } >launcher.log
case $1 in
  exit*) exit "${1#exit}" ;;
  nolog) rm -f launcher.log ;;
  wait) i=0; while [ ! -f go ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done ;;
  image) echo image >msys/home/Lurvik/Lurvik.nds ;;
  long|gcc) i=4; while [ $i -lt 100 ]; do
         if [ $i = 70 ] && [ $1 = gcc ]; then echo "main.c:7:3: error: expected ';'"; else echo "line $i"; fi
         i=$((i+1)); done >>launcher.log; exit 2 ;;
esac
exit 0
)sh";

void WriteText(const std::string& File, const std::string& Text) { std::ofstream(File, std::ios::binary) << Text; }

// An environment variable set for a test's time.
class TEnvironment {
public:
  TEnvironment(const char* Name, const QByteArray& Value) : FName(Name), FWas(qgetenv(Name)), FHad(qEnvironmentVariableIsSet(Name)) {
    if (Value.isNull())
      qunsetenv(Name);
    else
      qputenv(Name, Value);
  }
  ~TEnvironment() {
    if (FHad)
      qputenv(FName, FWas);
    else
      qunsetenv(FName);
  }

private:
  const char* FName;
  QByteArray FWas;
  bool FHad;
};

// A folder with a stand-in emulator, first on the search path.
struct TStandInEmulator {
  test::TTempDir Dir;
  TEnvironment Path{"PATH", QByteArray::fromStdString(Dir.Path()) + ":" + qgetenv("PATH")};
  TStandInEmulator() { test::WriteFakeKitFile(Dir.File("desmume"), "#!/bin/sh\nexit 0\n", true); }
};

// Steps show the date and time in brackets; the tests see "[when]".
QStringList Masked(const QPlainTextEdit* Log) {
  QStringList Lines = Log->toPlainText().split('\n');
  for (QString& L : Lines) L.replace(QRegularExpression(R"( \[[^\]]+\]$)"), " [when]");
  return Lines;
}

// The clock reads Start at the first call (the start of the build) and
// Start + Seconds at every later one.
class TSteppingClock {
public:
  explicit TSteppingClock(double Seconds) {
    SetClock([this, Seconds] { return FCalls++ == 0 ? FStart : FStart + SecondsToDays(Seconds); });
  }
  ~TSteppingClock() { SetClock({}); }

private:
  double FStart = 46000.25;
  int FCalls = 0;
};

struct BuildWindow : ::testing::Test {
  TScriptedDialogs Dialogs;
  test::TTestClock Clock;  // builds take no time unless a test says so
  test::TTempDir Root;
  TGame Game;

  void SetUp() override {
    std::filesystem::create_directories(Root.File("devkitPro/msys/home/Lurvik/arm9/source"));
    WriteText(Root.File("devkitPro/launcher.sh"), StandInLauncher);
    Game.AddTile();
    Game.AddLevel()->SetSize(32, 24);
  }
  std::string DevkitPro() const { return Root.File("devkitPro"); }
  std::unique_ptr<TfrmBuild> Open() {
    auto W = std::make_unique<TfrmBuild>();
    W->SetGame(Game);
    W->SetRootFolder(QString::fromStdString(Root.Path()));
    W->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(W.get()));
    return W;
  }
  // A press of Build with the given command, from the keyboard.
  void Build(TfrmBuild& W, const QString& Command) {
    W.edtCommand->setText(Command);
    W.butGenerate->setFocus();
    QTest::keyClick(W.butGenerate, Qt::Key_Space);
  }
};

}  // namespace

TEST_F(BuildWindow, EachOpeningStartsWithDefaults) {
  for (int Opening = 0; Opening < 2; ++Opening) {
    auto W = Open();
    EXPECT_EQ(W->windowTitle(), "Lurvik build");
    // Open at a size that shows the logs, both of them a useful height.
    EXPECT_EQ(W->size(), QSize(720, 65 + 500));
    EXPECT_EQ(W->edtCommand->text(), "make");
    EXPECT_FALSE(W->cbxShowCmd->isChecked());
    EXPECT_TRUE(W->butDetails->isChecked());
    EXPECT_TRUE(W->pnlCommand->isVisible());
    EXPECT_TRUE(W->splLogs->isVisible());
    EXPECT_TRUE(W->memFeLog->isEnabled());
    for (const QPlainTextEdit* Log : {W->memFeLog, W->memBeLog})
      EXPECT_GE(Log->viewport()->height(), 8 * Log->fontMetrics().lineSpacing()) << Log->objectName().toStdString();
    EXPECT_EQ(W->edtStatus->text(), "Waiting for a press on the \"Build\" button...");
    EXPECT_TRUE(W->memFeLog->toPlainText().isEmpty());
    EXPECT_TRUE(W->memBeLog->toPlainText().isEmpty());
    EXPECT_TRUE(W->butGenerate->isDefault());
    EXPECT_EQ(W->ImagePath(), QString::fromStdString(Root.File("devkitPro/msys/home/Lurvik/Lurvik.nds")));
    // The folder line gives way to the window (cut in the middle as it
    // paints); the whole path is in its tip.
    EXPECT_EQ(W->lblFolder->minimumSizeHint().width(), 0);
    EXPECT_TRUE(W->lblFolder->toolTip().startsWith(QString::fromStdString(Root.Path())))
        << W->lblFolder->toolTip().toStdString();
    EXPECT_TRUE(W->lblFolder->text().endsWith(W->lblFolder->toolTip()));

    // Everything the first opening changes must be gone in the second.
    W->cbxShowCmd->setChecked(true);
    W->cbxShowCmd->setChecked(false);
    Build(*W, "exit0");
    QTest::mouseClick(W->butDetails, Qt::LeftButton);
    EXPECT_EQ(W->height(), 65);
    EXPECT_FALSE(W->edtCommand->isEnabled());
    QTest::mouseClick(W->butDetails, Qt::LeftButton);
    EXPECT_EQ(W->height(), 65 + 500);
    EXPECT_TRUE(W->memBeLog->isEnabled());
    QTest::mouseClick(W->butDetails, Qt::LeftButton);
  }
  EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(BuildWindow, SuccessfulBuildLogsEveryStep) {
  auto W = Open();
  Build(*W, "make");
  const QString DP = QString::fromStdString(DevkitPro());
  const QString Work = DP + "/msys/home/Lurvik";
  EXPECT_EQ(Masked(W->memFeLog), (QStringList{
                                     "Starting build [when]",
                                     "Dir devkitPro=" + DP,
                                     "Dir working  =" + Work,
                                     "",
                                     "Generating source [when]",
                                     "Src " + Work + "/arm9/source/generated.c",
                                     "Generating palette",
                                     "Generating tiles",
                                     "Generating levels",
                                     "Done",
                                     "",
                                     "Starting back-end [when]",
                                     "Run sh launcher.sh make",
                                     "Dir " + DP,
                                     "Done (0)",
                                     "",
                                     "Loading back-end log [when]",
                                     "Log  " + DP + "/launcher.log",
                                     "Prog " + Work + "/Lurvik.nds",
                                     "",
                                     "Done (0 errors, 0 warnings, in 0:00)",
                                 }));
  EXPECT_EQ(W->edtStatus->text(), "Done (0 errors, 0 warnings, in 0:00)");
  // The launcher ran in the devkitPro folder with the command as one argument.
  EXPECT_EQ(W->memBeLog->toPlainText(), "pwd=" + DP + "\nargc=1\narg=[make]\ndos line");
  EXPECT_TRUE(std::filesystem::exists(Root.File("devkitPro/msys/home/Lurvik/arm9/source/generated.c")));
  EXPECT_TRUE(W->butGenerate->isEnabled());
  EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(BuildWindow, GeneratorErrorsAreCountedAndTheBackEndStillRuns) {
  TGame Empty;
  Empty.Palette().DeleteRange(1, Empty.Palette().Count() - 1);
  TfrmBuild W;
  W.SetGame(Empty);
  W.SetRootFolder(QString::fromStdString(Root.Path()));
  W.show();
  Build(W, "make");
  QStringList Lines = Masked(W.memFeLog);
  EXPECT_EQ(Lines.filter(QRegularExpression("^ERROR: ")),
            (QStringList{"ERROR: Number of colors in palette is too small", "ERROR: Number of tiles is too small",
                         "ERROR: Number of levels is too small"}));
  EXPECT_TRUE(Lines.contains("Done (0)"));
  EXPECT_EQ(Lines.last(), "Done (3 errors, 0 warnings, in 0:00)");
  EXPECT_TRUE(W.memBeLog->toPlainText().startsWith("pwd="));
}

TEST_F(BuildWindow, EveryPressStartsAfreshAndPassesItsCommand) {
  auto W = Open();
  const QString DP = QString::fromStdString(DevkitPro());
  struct {
    QString Command, RunLine, BackEnd, ExitLine, Summary;
  } Cases[] = {
      // Nothing after the final blank, and the launcher gets no argument.
      {"", "Run sh launcher.sh ", "argc=0\n", "Done (0)", "Done (0 errors, 0 warnings, in 0:00)"},
      // A failed back-end is an error of the build.
      {"exit3", "Run sh launcher.sh exit3", "argc=1\narg=[exit3]\n", "Done (3)",
       "Done (1 errors, 0 warnings, in 0:00)"},
      {"make clean", "Run sh launcher.sh make clean", "argc=1\narg=[make clean]\n", "Done (0)",
       "Done (0 errors, 0 warnings, in 0:00)"},
  };
  for (const auto& C : Cases) {
    Build(*W, C.Command);
    QStringList Lines = Masked(W->memFeLog);
    EXPECT_EQ(Lines.count("Starting build [when]"), 1) << C.Command.toStdString();
    EXPECT_EQ(Lines.filter(QRegularExpression("^Run ")), QStringList{C.RunLine});
    EXPECT_EQ(Lines.filter(QRegularExpression(R"(^Done \(\d+\)$)")), QStringList{C.ExitLine});
    EXPECT_EQ(Lines.last(), C.Summary);
    EXPECT_EQ(W->memBeLog->toPlainText(), "pwd=" + DP + "\n" + C.BackEnd + "dos line");
  }
  EXPECT_EQ(Masked(W->memFeLog).filter(QRegularExpression("^ERROR: ")).size(), 0);
}

// The reason of a failure is on screen without a click: the details open on
// the back-end log's first error line, or on its end when it names none.
TEST_F(BuildWindow, FailedBuildShowsTheBackEndLogAtTheReason) {
  auto W = Open();
  auto LineOnScreen = [&](int Line) {
    QTextCursor Cursor(W->memBeLog->document()->findBlockByNumber(Line));
    return W->memBeLog->viewport()->rect().contains(W->memBeLog->cursorRect(Cursor));
  };
  Build(*W, "gcc");
  EXPECT_EQ(W->edtStatus->text(), "Done (2 errors, 0 warnings, in 0:00)");
  EXPECT_TRUE(W->butDetails->isChecked());
  EXPECT_TRUE(W->memBeLog->isVisible());
  EXPECT_TRUE(W->memBeLog->isEnabled());
  EXPECT_EQ(W->memBeLog->textCursor().block().text(), "main.c:7:3: error: expected ';'");
  EXPECT_TRUE(LineOnScreen(70));
  EXPECT_FALSE(LineOnScreen(0));
  EXPECT_FALSE(LineOnScreen(99));
  EXPECT_TRUE(Masked(W->memFeLog).contains(
      "ERROR: The tool chain failed with exit code 2; see the back-end log (" +
      QString::fromStdString(Root.File("devkitPro/launcher.log")) + ")"));
  // That line, the longest, is read whole: the window widened to it.
  EXPECT_GT(W->width(), 720);
  EXPECT_EQ(W->memFeLog->horizontalScrollBar()->maximum(), 0);

  // Closed again by the user, it opens again for the next failure.
  QTest::mouseClick(W->butDetails, Qt::LeftButton);
  Build(*W, "long");
  EXPECT_EQ(W->edtStatus->text(), "Done (1 errors, 0 warnings, in 0:00)");
  EXPECT_TRUE(W->memBeLog->isVisible());
  EXPECT_TRUE(LineOnScreen(99));
  EXPECT_FALSE(LineOnScreen(0));

  // A good build leaves the details as they are.
  QTest::mouseClick(W->butDetails, Qt::LeftButton);
  Build(*W, "make");
  EXPECT_FALSE(W->butDetails->isChecked());
  EXPECT_EQ(W->height(), 65);
  EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(BuildWindow, DetailsStayOnTheScreen) {
  auto W = Open();
  const QRect Area = W->screen()->availableGeometry();
  // Low on the screen, where the details would run past its bottom.
  QTest::mouseClick(W->butDetails, Qt::LeftButton);
  W->move(Area.left() + 40, Area.bottom() - 100);
  QTest::mouseClick(W->butDetails, Qt::LeftButton);
  EXPECT_EQ(W->height(), std::min(565, Area.height()));
  EXPECT_TRUE(Area.contains(W->frameGeometry())) << W->frameGeometry().y() << "+" << W->frameGeometry().height();
}

TEST_F(BuildWindow, ElapsedTimeIsRoundedToTheSecond) {
  auto W = Open();
  for (auto [Seconds, Text] : {std::pair{5.2, "in 0:05)"}, {6.6, "in 0:07)"}, {75.4, "in 1:15)"}}) {
    TSteppingClock Clock(Seconds);
    Build(*W, "make");
    EXPECT_TRUE(W->edtStatus->text().endsWith(Text)) << W->edtStatus->text().toStdString();
    EXPECT_EQ(Masked(W->memFeLog).last(), W->edtStatus->text());
  }
}

TEST_F(BuildWindow, MissingBackEndLogStopsTheBuild) {
  auto W = Open();
  Build(*W, "nolog");
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0].Kind, TMsgKind::Error);
  EXPECT_EQ(Dialogs.Messages[0].Text,
            QString::fromStdString("Cannot open file \"" + Root.File("devkitPro/launcher.log") +
                                   "\". No such file or directory."));
  QStringList Lines = Masked(W->memFeLog);
  EXPECT_EQ(Lines.last(), "Loading back-end log [when]");
  EXPECT_TRUE(W->memBeLog->toPlainText().isEmpty());
  EXPECT_TRUE(W->butGenerate->isEnabled());
  EXPECT_FALSE(W->Running());
}

TEST_F(BuildWindow, BackEndThatCannotStart) {
  auto W = Open();
  // A log an earlier build left must not pass for this one's.
  WriteText(Root.File("devkitPro/launcher.log"), "stale output\n");
  // No sh on the search path.
  const QByteArray Path = qgetenv("PATH");
  qputenv("PATH", QByteArray::fromStdString(Root.Path()));
  Build(*W, "make");
  qputenv("PATH", Path);
  ASSERT_EQ(Dialogs.Messages.size(), 2u);
  EXPECT_EQ(Dialogs.Messages[0].Text, "Error starting sh");
  EXPECT_NE(Dialogs.Messages[0].Kind, TMsgKind::Error);
  // The build went on to the log, which the launcher never wrote.
  EXPECT_EQ(Dialogs.Messages[1].Kind, TMsgKind::Error);
  EXPECT_TRUE(Dialogs.Messages[1].Text.contains("launcher.log"));
  QStringList Lines = Masked(W->memFeLog);
  EXPECT_TRUE(Lines.contains("Done (259)"));
  EXPECT_EQ(Lines.last(), "Loading back-end log [when]");
  EXPECT_TRUE(W->memBeLog->toPlainText().isEmpty());
}

TEST_F(BuildWindow, GeneratorThatStopsEndsTheBuildBeforeTheBackEnd) {
  std::filesystem::remove_all(Root.File("devkitPro/msys/home/Lurvik/arm9"));
  auto W = Open();
  Build(*W, "make");
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0].Kind, TMsgKind::Error);
  EXPECT_TRUE(Dialogs.Messages[0].Text.startsWith("Cannot create file")) << Dialogs.Messages[0].Text.toStdString();
  EXPECT_FALSE(W->memFeLog->toPlainText().contains("Starting back-end"));
  EXPECT_FALSE(std::filesystem::exists(Root.File("devkitPro/launcher.log")));
  EXPECT_TRUE(W->butGenerate->isEnabled());
}

TEST_F(BuildWindow, WindowStaysResponsiveButRefusesABuildOrCloseWhileRunning) {
  auto W = Open();
  bool SeenRunning = false;
  QTimer Poll;
  // Runs inside the build's wait: the window still handles events.
  QObject::connect(&Poll, &QTimer::timeout, [&] {
    if (!W->Running() || SeenRunning) return;
    SeenRunning = true;
    EXPECT_FALSE(W->butGenerate->isEnabled());
    W->butGenerateClick();
    QTest::keyClick(W.get(), Qt::Key_Escape);
    EXPECT_TRUE(W->isVisible());
    WriteText(Root.File("devkitPro/go"), "");
  });
  Poll.start(20);
  Build(*W, "wait");
  EXPECT_TRUE(SeenRunning);
  EXPECT_TRUE(W->isVisible());
  EXPECT_EQ(Masked(W->memFeLog).count("Starting build [when]"), 1);
  EXPECT_TRUE(W->edtStatus->text().startsWith("Done (0 errors"));
  // Once the build is over, Escape closes the window again.
  QTest::keyClick(W.get(), Qt::Key_Escape);
  EXPECT_FALSE(W->isVisible());
}

// Game | Run starts the emulator on the image of the build window's root folder.
TEST(BuildAndRun, RunNeedsABuildWindowFirst) {
  TStandInEmulator Emulator;
  TScriptedDialogs Dialogs;
  TfrmMain Main;
  Main.show();
  Main.mnuRun->trigger();
  EXPECT_EQ(Dialogs.LastText(), "First Game | Build, then Game | Run");
  EXPECT_TRUE(Dialogs.Started.empty());

  // Opened and closed without a build.
  bool Closed = false;
  QTimer::singleShot(0, [&] {
    if (auto* Build = qobject_cast<TfrmBuild*>(QApplication::activeModalWidget())) {
      Closed = true;
      Build->reject();
    }
  });
  Main.mnuBuild->trigger();
  ASSERT_TRUE(Closed);
  const QString Image = Main.RootFolder() + "/devkitPro/msys/home/Lurvik/Lurvik.nds";
  EXPECT_EQ(Main.LastImagePath(), Image);
  // No build made the image: nothing for the emulator.
  ASSERT_FALSE(QFileInfo::exists(Image));
  Main.mnuRun->trigger();
  EXPECT_EQ(Dialogs.LastText(), "The last build made no Lurvik.nds; see the build log.");
  EXPECT_TRUE(Dialogs.Started.empty());

  ASSERT_TRUE(QDir().mkpath(QFileInfo(Image).path()));
  QFile Made(Image);
  ASSERT_TRUE(Made.open(QIODevice::WriteOnly));
  Made.close();
  Main.mnuRun->trigger();
  Made.remove();
  ASSERT_EQ(Dialogs.Started.size(), 1u);
  EXPECT_EQ(Dialogs.Started[0].Program, "desmume");
  EXPECT_EQ(Dialogs.Started[0].Arguments, QStringList{Image});
  EXPECT_EQ(Dialogs.Messages.size(), 2u);
}

// An edit that fails half done puts the game back in place; the open build
// window builds the document's game, as it is after that.
TEST(BuildAndRun, TheBuildWindowFollowsAGamePutBackWhole) {
  TScriptedDialogs Dialogs;
  TfrmMain Main;
  Main.show();
  bool Followed = false;
  QTimer::singleShot(0, [&] {
    auto* Build = qobject_cast<TfrmBuild*>(QApplication::activeModalWidget());
    if (!Build) return;
    const lvk::TGame* Before = &Main.Game();
    try {
      lvk::TEdit Edit(Main.Game(), "Half done");
      Main.Game().AddTile();
      throw std::runtime_error("stopped half way");
    } catch (const std::runtime_error&) {
    }
    Followed = &Main.Game() == Before && Build->Game() == &Main.Game() && Main.Game().TileCount() == 0;
    Build->reject();
  });
  Main.mnuBuild->trigger();
  EXPECT_TRUE(Followed);
}

// Debian puts the emulator in /usr/games, which root's search path lacks:
// it is found there too, and when it cannot be found or started a box says
// so with the command.
TEST(BuildAndRun, TheEmulatorIsFoundInItsFolderOrABoxNamesTheCommand) {
  test::TTempDir Games;
  test::WriteFakeKitFile(Games.File("desmume"), "#!/bin/sh\nexit 0\n", true);
  {
    TEnvironment Path("PATH", "/nowhere");
    EXPECT_EQ(FindEmulator("desmume", {QString::fromStdString(Games.Path())}),
              QString::fromStdString(Games.File("desmume")));
    EXPECT_EQ(FindEmulator("desmume", {"/nowhere-either"}), "");

    TScriptedDialogs Dialogs;
    EXPECT_FALSE(RunImage(nullptr, "/my games/Lurvik.nds", "/root folder", {"/nowhere-either"}));
    EXPECT_TRUE(Dialogs.Started.empty());
    EXPECT_EQ(Dialogs.LastText(),
              "The DS emulator desmume was not found on the search path nor in /nowhere-either, so desmume "
              "\"/my games/Lurvik.nds\" cannot run.\nInstall it with: sudo apt install desmume");

    Dialogs.StartResult = false;
    EXPECT_FALSE(RunImage(nullptr, "/x/Lurvik.nds", "/r", {QString::fromStdString(Games.Path())}));
    ASSERT_EQ(Dialogs.Started.size(), 1u);
    EXPECT_EQ(Dialogs.LastText(), QString::fromStdString("The DS emulator could not be started:\n" +
                                                         Games.File("desmume") + " /x/Lurvik.nds"));
  }
  TStandInEmulator OnPath;
  EXPECT_EQ(FindEmulator("desmume", {QString::fromStdString(Games.Path())}), "desmume");
}

// Run in the build window: enabled while a build's image is there.
TEST_F(BuildWindow, RunStartsTheImageTheBuildMade) {
  TStandInEmulator Emulator;
  auto W = Open();
  EXPECT_FALSE(W->butRun->isEnabled());
  Build(*W, "image");
  ASSERT_TRUE(W->butRun->isEnabled());
  QTest::mouseClick(W->butRun, Qt::LeftButton);
  ASSERT_EQ(Dialogs.Started.size(), 1u);
  EXPECT_EQ(Dialogs.Started[0].Program, "desmume");
  EXPECT_EQ(Dialogs.Started[0].Arguments, QStringList{W->ImagePath()});
  // A failed build takes the image away, and Run with it.
  Build(*W, "exit3");
  EXPECT_FALSE(W->butRun->isEnabled());
  W->butRunClick();
  EXPECT_EQ(Dialogs.Started.size(), 1u);
  EXPECT_TRUE(Dialogs.Messages.empty());
}

// Which tool chain a build uses is shown with why, a kit of the user's own is
// chosen with a folder chooser and kept between runs, and the launcher gets
// the choice in its environment.
TEST_F(BuildWindow, ShowsTheToolChainAndKeepsTheChosenKit) {
  TfrmBuild::SetChosenKit({});
  TEnvironment Pro("DEVKITPRO", QByteArray()), Arm("DEVKITARM", QByteArray());
  // A launcher that records the environment it got.
  WriteText(Root.File("devkitPro/launcher.sh"),
            "printf '%s|%s|%s\\n' \"$DEVKITPRO\" \"$LURVIK_TOOLCHAIN\" \"$LURVIK_TOOLCHAIN_MISSING\" >launcher.log\n");
  auto Launched = [&] { return QString::fromStdString(test::Slurp(Root.File("devkitPro/launcher.log"))).trimmed(); };
  const QString Bundled = QString::fromStdString(Root.File("dskit"));
  const QString Two = QString::fromStdString(Root.File("two")), Mine = QString::fromStdString(Root.File("mine"));
  test::MakeFakeKit(Root.File("dskit"));
  test::MakeFakeKit(Root.File("two"), {"2.0.0", true});
  test::MakeFakeKit(Root.File("mine"));

  auto W = Open();
  const QString Own = "Tool chain: the kit that comes with Lurvik Studio, " + Bundled;
  EXPECT_EQ(W->lblToolChain->text(), Own);
  EXPECT_FALSE(W->butKitDefault->isEnabled());
  Build(*W, "make");
  EXPECT_EQ(Launched(), Bundled + "|" + Own + "|");

  // libnds 2 in the environment: one line, and not used.
  TEnvironment Libnds2("DEVKITPRO", Two.toUtf8());
  W = Open();
  const QString NotUsed = "DEVKITPRO=" + Two + " from the environment is not used: it holds libnds 2.0.0, built on "
                          "calico, which our DS project was not made for.";
  EXPECT_EQ(W->lblToolChain->text(), NotUsed + "\n" + Own);

  // A folder that is no kit is refused with the reason; a kit is taken.
  Dialogs.Files = {QString::fromStdString(Root.Path()), Mine};
  QTest::mouseClick(W->butKit, Qt::LeftButton);
  EXPECT_EQ(Dialogs.LastText(), "The folder " + QString::fromStdString(Root.Path()) +
                                    " is not a DS kit to build with: it has no devkitARM compiler (" +
                                    QString::fromStdString(Root.File("devkitARM/bin/arm-none-eabi-gcc")) + ").");
  EXPECT_TRUE(TfrmBuild::ChosenKit().isEmpty());
  W->butKitClick();
  EXPECT_TRUE(Dialogs.FileRequests.back().Folder);
  const QString Chosen = "Tool chain: the kit chosen in the build window, " + Mine + " (libnds 1.8.0)";
  EXPECT_EQ(W->lblToolChain->text(), Chosen);

  // Kept for the next window, and the launcher builds with it.
  W = Open();
  EXPECT_EQ(W->lblToolChain->text(), Chosen);
  EXPECT_TRUE(W->butKitDefault->isEnabled());
  Build(*W, "make");
  EXPECT_EQ(Launched(), Mine + "|" + Chosen + "|");

  // Default forgets it; without the program's kit nothing is usable, and the
  // launcher is told what is missing rather than given a tool chain.
  QTest::mouseClick(W->butKitDefault, Qt::LeftButton);
  EXPECT_TRUE(TfrmBuild::ChosenKit().isEmpty());
  std::filesystem::remove_all(Root.File("dskit"));
  Build(*W, "make");
  const QStringList Lines = W->lblToolChain->text().split('\n');
  ASSERT_EQ(Lines.size(), 3);
  EXPECT_EQ(Lines[0], NotUsed);
  EXPECT_TRUE(Lines[1].startsWith("No DS tool chain to build with: the DS kit beside the program is missing"));
  EXPECT_EQ(Lines[2], "Install it with: sh scripts/dskit.sh " + Bundled + "   (in the source tree)");
  EXPECT_EQ(Launched(), Two + "||" + Lines.join('\n'));
  EXPECT_EQ(Dialogs.Messages.size(), 1u);
}
