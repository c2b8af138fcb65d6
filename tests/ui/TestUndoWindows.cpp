// The play, build and web-export windows after Edit | Undo and Redo: each
// plays, builds or writes the game as the model has it then, which equals
// a game loaded from a file saved with the same content.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

#include "TSamePlay.h"
#include "TScriptedDialogs.h"
#include "TShownWindow.h"
#include "TestSupport.h"
#include "generator/UBackEnd.h"
#include "generator/UBuildLog.h"
#include "generator/UGenerator.h"
#include "generator/UWebExport.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "ui/building/FBuild.h"
#include "ui/building/FExportWeb.h"
#include "ui/editors/FLevelEditor.h"
#include "ui/main/FMain.h"
#include "ui/panes/PaneActor.h"
#include "ui/panes/PaneLevel.h"
#include "ui/panes/PaneTile.h"
#include "ui/play/FPlay.h"

using namespace lvk;

namespace {

const std::string Sample = LVK_EXAMPLES "/Sample.lvk";

struct UndoWindows : ::testing::Test {
  TScriptedDialogs Dialogs;
  test::TTestClock Clock;  // the generated source's date line stays put
  test::TTempDir Dir;
  TfrmMain Main;
  std::vector<std::string> Saved;  // the game after 0, 1, 2 ... edits

  void SetUp() override {
    Main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
    Saved.push_back(Dir.File("edits0.lvk"));
    test::WriteBytes(Saved[0], test::ReadBytes(Sample));
    ASSERT_TRUE(Main.OpenGameFile(QString::fromStdString(Saved[0])));
  }
  TGame& Game() { return Main.Game(); }
  void Select(const TIdentified* Item) { Main.SelectNode(Main.NodeOf(Item)); }

  // Edits of what the first level shows, each made through the main window
  // as a user makes it, with the name the Edit menu gives its step.
  struct TUserEdit {
    const char* Step;
    std::function<void()> Make;
  };
  const std::vector<TUserEdit> Edits = {
      {"Edit level layout",  // a brick where the sky was
       [this] {
         Select(Game().GetLevel(0));
         QTimer::singleShot(0, [] {
           auto* Editor = qobject_cast<TfrmLevelEditor*>(QApplication::activeModalWidget());
           ASSERT_NE(Editor, nullptr);
           Editor->lbxActors->setCurrentItem(Editor->lbxActors->findItems("aBrick", Qt::MatchExactly).value(0));
           QTest::mouseClick(Editor->grdLayout->viewport(), Qt::LeftButton, {},
                             Editor->grdLayout->CellRect(5, 5).center());
           Editor->close();
         });
         Main.tsLevel->butEditLayout->click();
       }},
      {"Change actor's tile",  // the bricks drawn with the gem's tile
       [this] {
         Select(Game().FindActorByName("aBrick"));
         QComboBox* Tiles = Main.tsActor->cbxActorTiles;
         Tiles->setCurrentIndex(Tiles->findText("Gem"));
         emit Tiles->activated(Tiles->currentIndex());
       }},
      {"Import tile",  // another picture for the sky's tile
       [this] {
         Select(Game().FindTileByName("Sky"));
         Dialogs.Files.push_back(LVK_EXAMPLES "/tiles/Star.bmp");
         Main.tsTile->butTileImport->click();
       }},
  };

  // Makes the edits, saving the game after each, then undoes them all and
  // redoes them all with the Edit menu. After every step Check gets the
  // step's name and the game loaded from the file the model equals now.
  void WalkTheHistory(const std::function<void(const std::string&, const TGame&)>& Check) {
    auto Step = [&](const std::string& Name, int State) {
      TGame Reference;
      Reference.LoadFromFile(Saved[State]);
      ASSERT_EQ(Game().ContentBytes(), Reference.ContentBytes()) << Name;
      Check(Name, Reference);
    };
    const int Count = static_cast<int>(Edits.size());
    for (int i = 0; i < Count; ++i) {
      Edits[i].Make();
      QApplication::processEvents();
      ASSERT_EQ(Main.Document().History().StepCount(), i + 1) << Edits[i].Step;
      ASSERT_EQ(Main.Document().UndoName(), Edits[i].Step);
      Saved.push_back(Dir.File("edits" + std::to_string(i + 1) + ".lvk"));
      Dialogs.Files.push_back(QString::fromStdString(Saved.back()));
      ASSERT_TRUE(Main.SaveGameAs());
      Step(std::string(Edits[i].Step), i + 1);
    }
    for (int i = Count - 1; i >= 0; --i) {
      Main.mnuEdit->aboutToShow();
      Main.mnuUndo->trigger();
      Step("undo " + std::string(Edits[i].Step), i);
    }
    for (int i = 0; i < Count; ++i) {
      Main.mnuEdit->aboutToShow();
      Main.mnuRedo->trigger();
      Step("redo " + std::string(Edits[i].Step), i + 1);
    }
    EXPECT_EQ(Dialogs.Unexpected, 0);
  }
};

// Two play windows play alike: the same screens and instances, frame by frame.
void ExpectPlaysAlike(TfrmPlay& Shown, TfrmPlay& Fresh, const std::string& Step) {
  for (int Frames : {0, 1, 40}) {
    Shown.RunFrames(Frames);
    Fresh.RunFrames(Frames);
    EXPECT_TRUE(Shown.Frame() == Fresh.Frame()) << Step << ", frame " << Shown.Engine().frame;
    ASSERT_TRUE(SamePlay(Shown.Engine(), Fresh.Engine())) << Step;
  }
}

}  // namespace

// The play window keeps playing the game it started with and says that the
// game changed; Restart then plays the game as the model has it, as a
// window started on the saved file plays it, and shows it on its screens.
TEST_F(UndoWindows, ThePlayWindowRestartsWithTheGameAsUndoneOrRedone) {
  Main.SelectNode(Main.GameNode());
  Main.mnuPlay->trigger();
  TfrmPlay* Play = Main.PlayWindow();
  ASSERT_NE(Play, nullptr);
  Play->SetPaused(true);  // the test steps the frames
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Play));
  WalkTheHistory([&](const std::string& Step, const TGame& Reference) {
    EXPECT_TRUE(Play->lblChanged->isVisible()) << Step;
    EXPECT_TRUE(Play->ChangedSinceStarted()) << Step;
    // The note takes no room from the screens: they stay whole in the window.
    QApplication::processEvents();
    const QRect Seen = Play->pnlScreens->visibleRegion().boundingRect();
    EXPECT_EQ(Seen, Play->pnlScreens->rect()) << Step << ": " << Seen.width() << "x" << Seen.height() << " seen";
    Play->butRestart->click();
    EXPECT_FALSE(Play->lblChanged->isVisible()) << Step;
    TfrmPlay Fresh([&Reference] { return &Reference; });
    Fresh.Play(0);
    Fresh.SetPaused(true);
    ExpectPlaysAlike(*Play, Fresh, Step);
    EXPECT_TRUE(ShowsWhatItPaints(*Play, Play->pnlScreens)) << Step;
  });
}

// The build window generates the source of the game as the model has it.
TEST_F(UndoWindows, TheBuildWindowBuildsTheGameAsUndoneOrRedone) {
  const std::string Root = Dir.File("root");
  std::filesystem::create_directories(std::filesystem::path(GeneratedSourcePath(WorkingFolder(Root))).parent_path());
  std::ofstream(DevkitProFolder(Root) + "/launcher.sh") << "echo made >launcher.log\n";
  const std::string Expected = Dir.File("expected");
  std::filesystem::create_directories(std::filesystem::path(GeneratedSourcePath(Expected)).parent_path());
  std::string Before;
  WalkTheHistory([&](const std::string& Step, const TGame& Reference) {
    bool Built = false;
    QTimer::singleShot(0, [&] {
      auto* Build = qobject_cast<TfrmBuild*>(QApplication::activeModalWidget());
      ASSERT_NE(Build, nullptr);
      Build->SetRootFolder(QString::fromStdString(Root));
      Build->butGenerate->click();
      Built = Build->edtStatus->text().startsWith("Done (0 errors");
      Build->close();
    });
    Main.mnuBuild->trigger();
    ASSERT_TRUE(Built) << Step;
    TTextBuildLog Log;
    GenerateSource(Reference, Expected, Log);
    for (auto Path : {GeneratedSourcePath, GameDataSourcePath})
      EXPECT_EQ(test::Slurp(Path(WorkingFolder(Root))), test::Slurp(Path(Expected))) << Step;
    // Every step changes the source: a build of an old copy would show.
    EXPECT_NE(test::Slurp(GeneratedSourcePath(Expected)), Before) << Step;
    Before = test::Slurp(GeneratedSourcePath(Expected));
  });
}

// Game | Export web page... writes the page of the game as the model has it.
TEST_F(UndoWindows, TheWebExportWritesTheGameAsUndoneOrRedone) {
  if (!HaveWebEngine()) GTEST_SKIP() << "built without the web engine";
  const std::string Page = Dir.File("game.html");
  std::string Before;
  WalkTheHistory([&](const std::string& Step, const TGame& Reference) {
    Dialogs.Files.push_back(QString::fromStdString(Page));
    Main.findChild<QAction*>("mnuExportWeb")->trigger();
    auto* Window = Main.findChild<TfrmExportWeb*>("frmExportWeb");
    ASSERT_NE(Window, nullptr) << Step;
    delete Window;
    TTextBuildLog Log;
    const std::string Expected = MakeWebPage(Reference, Log);
    EXPECT_TRUE(test::Slurp(Page) == Expected) << Step;
    EXPECT_TRUE(Expected != Before) << Step;
    Before = Expected;
  });
}
