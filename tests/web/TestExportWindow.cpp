// Game | Export web page... in the real main window, its file dialogs and
// boxes answered by the scripted dialog service.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "generator/UWebExport.h"
#include "model/UGame.h"
#include "ui/building/FExportWeb.h"
#include "ui/main/FMain.h"
#include "ui/TScriptedDialogs.h"

namespace {

TfrmExportWeb* ExportWindow(const TfrmMain& Main) { return Main.findChild<TfrmExportWeb*>("frmExportWeb"); }

}  // namespace

// Saved where the user said, then the file and size shown, and the page
// opened in the browser on request; cancelled, nothing; failed, a box.
TEST(ExportWebWindow, WritesWhereAskedAndOpensThePage) {
  if (!lvk::HaveWebEngine()) GTEST_SKIP() << "built without the web engine";
  QTemporaryDir Dir;
  TScriptedDialogs Dialogs;
  TfrmMain Main;
  ASSERT_TRUE(Main.OpenGameFile(LVK_EXAMPLES "/Sample.lvk"));
  QAction* Export = Main.findChild<QAction*>("mnuExportWeb");
  ASSERT_TRUE(Export);

  const QString Page = Dir.filePath("sample.html");
  Dialogs.Files = {Page};
  Export->trigger();
  ASSERT_EQ(Dialogs.FileRequests.size(), 1u);
  EXPECT_EQ(QFileInfo(Dialogs.FileRequests[0].Directory).fileName(), "Sample.html");
  EXPECT_EQ(Dialogs.FileRequests[0].DefaultSuffix, "html");
  TfrmExportWeb* Window = ExportWindow(Main);
  ASSERT_TRUE(Window);
  EXPECT_TRUE(Window->isVisible());
  EXPECT_EQ(Window->lblFile->text(), QDir::toNativeSeparators(Page));
  EXPECT_EQ(Window->lblSize->text(), PageSizeText(static_cast<quint64>(QFileInfo(Page).size())));
  EXPECT_FALSE(Window->memProblems->isVisible());
  QTest::mouseClick(Window->butOpen, Qt::LeftButton);
  EXPECT_EQ(Dialogs.OpenedDocuments, QStringList{Page});
  Dialogs.OpenDocumentResult = false;
  QTest::mouseClick(Window->butOpen, Qt::LeftButton);
  EXPECT_TRUE(Dialogs.LastText().contains("could not be opened"));
  Window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(ExportWindow(Main));

  Dialogs.Files = {};
  Dialogs.Messages.clear();
  Export->trigger();
  EXPECT_FALSE(ExportWindow(Main));
  EXPECT_TRUE(Dialogs.Messages.empty());

  Dialogs.Files = {Dir.filePath("no such folder/page.html")};
  Export->trigger();
  EXPECT_FALSE(ExportWindow(Main));
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0].Kind, TMsgKind::Error);
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

TEST(ExportWebWindow, SizesAndSuggestedNames) {
  const std::pair<quint64, const char*> Sizes[] = {
      {0, "0 bytes"}, {1, "1 byte"}, {1023, "1,023 bytes"}, {186443, "186,443 bytes (182.1 KB)"},
      {3 * 1024 * 1024 + 5, "3,145,733 bytes (3.00 MB)"},
  };
  for (auto [Bytes, Text] : Sizes) EXPECT_EQ(PageSizeText(Bytes), Text) << Bytes;

  lvk::TGame Game;
  EXPECT_EQ(TfrmExportWeb::SuggestedFile(Game), QDir::home().filePath("game.html"));
  Game.SetFileName("/games/My race.v2.lvk");
  EXPECT_EQ(TfrmExportWeb::SuggestedFile(Game), "/games/My race.v2.html");
}
