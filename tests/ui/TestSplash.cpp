// The welcome pane's ways to start, and the per-user folder the editor and
// the headless commands agree on.
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <filesystem>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "TScriptedDialogs.h"
#include "TestSupport.h"
#include "model/UDocument.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "support/UDataFolders.h"
#include "ui/main/FMain.h"
#include "ui/panes/PaneGame.h"
#include "ui/panes/PaneSplash.h"

using namespace lvk;

namespace {

struct Splash : ::testing::Test {
  TScriptedDialogs Dialogs;
  test::TTempDir Dir;
  TfrmMain Main;
  void SetUp() override {
    Main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
  }
  std::string SavedGame(const std::string& Name) {
    TGame Game;
    Game.AddTile()->SetName("Grass");
    Game.AddLevel()->SetSize(32, 24);
    Game.SetFileName(Dir.File(Name));
    Game.Save();
    return Game.FileName();
  }
  int TileCount() { return Main.tvwTree->topLevelItem(0)->child(0)->childCount(); }
};

}  // namespace

TEST_F(Splash, SampleButtonOpensTheSampleAsAnUnsavedCopy) {
  const std::string Sample = SavedGame("Sample.lvk");
  const test::TBytes Before = test::ReadBytes(Sample);
  Main.tsSplash->SetSampleGame(QString::fromStdString(Sample));
  ASSERT_TRUE(Main.tsSplash->butSample->isEnabled());
  test::Edit(Main.Game(), [&] { Main.Game().AddTile(); });
  Main.RebuildTree();

  // Cancel at the save question keeps the changed game.
  EXPECT_EQ(Main.tsSplash->butSample->shortcut(), QKeySequence("Alt+S"));
  Dialogs.Answers = {TMsgAnswer::Cancel};
  QTest::mouseClick(Main.tsSplash->butSample, Qt::LeftButton);
  EXPECT_TRUE(Dialogs.Answers.empty());
  EXPECT_EQ(Main.Game().TileCount(), 1);
  EXPECT_TRUE(Main.Game().Modified());

  Dialogs.Answers = {TMsgAnswer::No};
  QTest::mouseClick(Main.tsSplash->butSample, Qt::LeftButton);
  EXPECT_EQ(Dialogs.Unexpected, 0);
  EXPECT_EQ(Main.tvwTree->topLevelItem(0)->child(0)->child(0)->text(0), "Grass");
  EXPECT_EQ(Main.Game().LevelCount(), 1);
  // Saved, it asks for a name: the sample itself stays as installed.
  EXPECT_EQ(Main.Game().FileName(), NoFileName);
  EXPECT_FALSE(Main.Game().Modified());
  Dialogs.Files = {QString::fromStdString(Dir.File("mine.lvk"))};
  EXPECT_TRUE(Main.SaveGame());
  EXPECT_EQ(Dialogs.FileRequests.size(), 1u);
  EXPECT_EQ(test::ReadBytes(Sample), Before);
}

TEST_F(Splash, WithoutASampleTheButtonSaysWhyAndNewAndOpenAreTheMenus) {
  Main.tsSplash->SetSampleGame("");
  EXPECT_FALSE(Main.tsSplash->butSample->isEnabled());
  EXPECT_TRUE(Main.tsSplash->butSample->toolTip().startsWith("No sample game was found at "));
  EXPECT_TRUE(Main.tsSplash->butSample->toolTip().endsWith("examples/Sample.lvk"));

  const std::string Game = SavedGame("game.lvk");
  Dialogs.Files = {QString::fromStdString(Game)};
  EXPECT_EQ(Main.tsSplash->butOpen->shortcut(), QKeySequence("Alt+O"));
  EXPECT_EQ(Main.tsSplash->butNew->shortcut(), QKeySequence("Alt+N"));
  QTest::mouseClick(Main.tsSplash->butOpen, Qt::LeftButton);
  EXPECT_EQ(Main.Game().FileName(), Game);
  EXPECT_EQ(TileCount(), 1);
  EXPECT_EQ(Dialogs.FileRequests.at(0).Title, ProjectOpenRequest().Title);

  test::Edit(Main.Game(), [&] { Main.Game().AddTile(); });
  Dialogs.Answers = {TMsgAnswer::No};
  QTest::mouseClick(Main.tsSplash->butNew, Qt::LeftButton);
  EXPECT_EQ(Main.Game().FileName(), NoFileName);
  EXPECT_EQ(TileCount(), 0);
  EXPECT_EQ(Dialogs.Messages.size(), 1u);
}

// File offers the sample too; Open and Save As start in the folder of the
// game last worked on (never the installed sample's); an opened game shows
// its Game pane.
TEST_F(Splash, FileOpensTheSampleAndOpenStartsInTheLastGamesFolder) {
  test::TTempDir Games, Installed;
  const std::string Mine = Games.File("mine.lvk");
  test::WriteBytes(Mine, test::ReadBytes(SavedGame("mine.lvk")));
  const std::string Sample = Installed.File("Sample.lvk");
  test::WriteBytes(Sample, test::ReadBytes(Mine));
  const QString GamesFolder = QString::fromStdString(Games.Path());

  Main.SetSampleGame("");
  EXPECT_FALSE(Main.mnuOpenSample->isEnabled());
  Main.SetSampleGame(QString::fromStdString(Sample));
  ASSERT_TRUE(Main.mnuOpenSample->isEnabled());
  ASSERT_TRUE(Main.OpenGameFile(QString::fromStdString(Mine)));
  EXPECT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsGame));
  EXPECT_EQ(Main.tvwTree->currentItem(), Main.GameNode());
  EXPECT_EQ(Main.Session().LastGameFolder(), GamesFolder);

  // The sample, from the menu: asked about changes first, opened as a copy.
  test::Edit(Main.Game(), [&] { Main.Game().AddTile(); });
  Dialogs.Answers = {TMsgAnswer::Cancel};
  Main.mnuOpenSample->trigger();
  EXPECT_EQ(Main.Game().FileName(), Mine);
  Dialogs.Answers = {TMsgAnswer::No};
  Main.mnuOpenSample->trigger();
  EXPECT_EQ(Main.Game().FileName(), NoFileName);
  EXPECT_EQ(TileCount(), 1);
  EXPECT_EQ(Main.VisiblePane(), static_cast<TPane*>(Main.tsGame));
  EXPECT_EQ(Main.tsGame->edtGameFilename->text(), "<no name>");

  // Open starts where mine is; neither starts where the sample lies.
  Dialogs.Files = {QString(), QString()};
  Main.mnuOpen->trigger();
  Main.mnuSaveAs->trigger();
  ASSERT_EQ(Dialogs.FileRequests.size(), 2u);
  EXPECT_EQ(Dialogs.FileRequests[0].Directory, GamesFolder);
  EXPECT_NE(Dialogs.FileRequests[1].Directory, QString::fromStdString(Installed.Path()));

  // A sample that is gone is said, and the game stays.
  std::filesystem::remove(Sample);
  Main.mnuOpenSample->trigger();
  EXPECT_EQ(Dialogs.Messages.size(), 3u);
  EXPECT_TRUE(Dialogs.LastText().startsWith("No sample game was found at ")) << Dialogs.LastText().toStdString();
  EXPECT_EQ(TileCount(), 1);
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

// A new game's first Save As starts in the user's documents, or where a game
// was last saved; never where a game was only opened from (the sample, opened
// by its path as the start script does, is one of those).
TEST_F(Splash, FirstSaveStartsInDocumentsOrWhereTheLastGameWasSaved) {
  test::TTempDir Home, Examples, Saved;
  const QByteArray OldHome = qgetenv("HOME"), OldXdg = qgetenv("XDG_CONFIG_HOME");
  qputenv("HOME", QByteArray::fromStdString(Home.Path()));
  qunsetenv("XDG_CONFIG_HOME");
  std::filesystem::create_directories(Home.File("Documents"));
  QSettings(QCoreApplication::applicationName(), QCoreApplication::applicationName()).remove("LastSaveFolder");
  const QString Documents = QString::fromStdString(Home.File("Documents"));
  const QString Sample = QString::fromStdString(Examples.File("Sample.lvk"));
  test::WriteBytes(Sample.toStdString(), test::ReadBytes(SavedGame("s.lvk")));
  const QString Other = QString::fromStdString(Dir.File("other.lvk"));
  test::WriteBytes(Other.toStdString(), test::ReadBytes(SavedGame("o.lvk")));

  auto SaveAsStartsIn = [&](const QString& SaveTo) {
    Dialogs.Files = {SaveTo};
    Main.mnuSaveAs->trigger();
    return Dialogs.FileRequests.back().Directory;
  };
  auto New = [&] {
    Dialogs.Answers = {TMsgAnswer::No};
    Main.mnuNew->trigger();
    Dialogs.Answers.clear();
  };
  ASSERT_TRUE(Main.OpenGameFile(Sample));
  New();
  EXPECT_EQ(SaveAsStartsIn(QString::fromStdString(Saved.File("first.lvk"))), Documents);
  New();
  EXPECT_EQ(SaveAsStartsIn(QString()), QString::fromStdString(Saved.Path()));
  ASSERT_TRUE(Main.OpenGameFile(Other));
  EXPECT_EQ(SaveAsStartsIn(QString()), QString::fromStdString(Dir.Path()));
  New();
  EXPECT_EQ(SaveAsStartsIn(QString()), QString::fromStdString(Saved.Path()));
  EXPECT_EQ(Dialogs.Unexpected, 0);

  qputenv("HOME", OldHome);
  if (!OldXdg.isNull()) qputenv("XDG_CONFIG_HOME", OldXdg);
}

TEST(UserDataFolder, EditorAndCommandLineAgree) {
  test::TTempDir Dir;
  const QByteArray OldXdg = qgetenv("XDG_DATA_HOME"), OldHome = qgetenv("HOME");
  auto Qt = [] { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString(); };
  qputenv("HOME", QByteArray::fromStdString(Dir.Path()));
  qputenv("XDG_DATA_HOME", QByteArray::fromStdString(Dir.File("xdg")));
  EXPECT_EQ(UserDataFolder(), Qt());
  EXPECT_EQ(UserDataFolder(), Dir.File("xdg/lurvik-studio"));
  qunsetenv("XDG_DATA_HOME");
  EXPECT_EQ(UserDataFolder(), Qt());
  EXPECT_EQ(UserDataFolder(), Dir.File(".local/share/lurvik-studio"));
  qputenv("HOME", OldHome);
  if (OldXdg.isNull()) qunsetenv("XDG_DATA_HOME"); else qputenv("XDG_DATA_HOME", OldXdg);
}
