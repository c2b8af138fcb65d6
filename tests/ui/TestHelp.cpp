// The help window: pages by keyword, F1 and the Help buttons, links,
// back and forward, and pages that are missing.
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "TScriptedDialogs.h"
#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventTimer.h"
#include "behaviour/UValueAction.h"
#include "model/UDocument.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "ui/common/FHelp.h"
#include "ui/main/FMain.h"
#include "ui/events/FraActions.h"
#include "ui/panes/PaneHandler.h"
#include "ui/panes/PaneTile.h"
#include "ui/common/UHelp.h"

using namespace lvk;

namespace {

QStringList Texts(const QListWidget* List) {
  QStringList T;
  for (int i = 0; i < List->count(); ++i) T << List->item(i)->text();
  return T;
}

// A click on the link whose text is Text, where it is drawn.
void ClickLink(QTextBrowser* Browser, const QString& Text) {
  QTextCursor Found = Browser->document()->find(Text);
  ASSERT_FALSE(Found.isNull()) << Text.toStdString();
  Found.setPosition(Found.selectionStart() + 2);
  QTest::mouseClick(Browser->viewport(), Qt::LeftButton, {}, Browser->cursorRect(Found).center());
}

void WriteText(const std::string& Path, const std::string& Text) { std::ofstream(Path, std::ios::binary) << Text; }

}  // namespace

TEST(HelpWindow, F1AndHelpButtonsShowTheirPagesInOneWindow) {
  TScriptedDialogs Dialogs;
  TfrmMain Main;
  // The pages the build puts beside the test program.
  SetHelpRootFolder(QCoreApplication::applicationDirPath());
  test::Edit(Main.Game(), [&] {
    Main.Game().AddTile();
    Main.Game().AddActor()->AddHandler()->SetEvent(TEventCollision::ClassKind());
  });
  Main.RebuildTree();
  Main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
  QTreeWidgetItem* Game = Main.tvwTree->topLevelItem(0);

  Main.SelectNode(Game->child(0)->child(0));
  Main.tsTile->edtTileName->setFocus();
  QTest::keyClick(Main.tsTile->edtTileName, Qt::Key_F1);
  TfrmHelp* Help = HelpWindow();
  ASSERT_NE(Help, nullptr);
  EXPECT_TRUE(Help->isVisible());
  EXPECT_TRUE(Help->CurrentPage().endsWith("/help/main-tile.htm")) << Help->CurrentPage().toStdString();
  EXPECT_EQ(Help->windowTitle(), "Tile pane - Lurvik Studio help");

  Main.SelectNode(Game->child(1)->child(0)->child(0));
  QTest::mouseClick(Main.tsHandler->butEventHelp, Qt::LeftButton);
  EXPECT_EQ(HelpWindow(), Help);  // reused
  EXPECT_TRUE(Help->CurrentPage().endsWith("/help/event-oncollision.htm"));
  ASSERT_NE(Help->lstContents->currentItem(), nullptr);
  EXPECT_EQ(Help->lstContents->currentItem()->text().toStdString(), "OnCollision");

  Main.mnuContents->trigger();
  EXPECT_TRUE(Help->CurrentPage().endsWith("/help/table-of-contents.htm"));
  EXPECT_EQ(Help->lstContents->currentItem()->text(), "Contents");
  // Every page the contents name is there.
  EXPECT_GE(Help->lstContents->count(), 20);
  EXPECT_TRUE(Texts(Help->lstContents).contains("Actions"));
  EXPECT_TRUE(Dialogs.Messages.empty());
  EXPECT_TRUE(Dialogs.OpenedDocuments.isEmpty());  // no outside program
}

TEST(HelpWindow, LinksBackForwardAndMissingPages) {
  TScriptedDialogs Dialogs;
  test::TTempDir Dir;
  std::filesystem::create_directory(Dir.File("help"));
  WriteText(Dir.File("help/table-of-contents.htm"),
            "<html><body><a href=\"first.htm\">First <b>page</b></a> <a href=\"second.htm#end\">Second page</a>"
            " <a href=\"first.htm\">again</a> <a href=\"https://example.org/x.htm\">outside</a></body></html>");
  WriteText(Dir.File("help/first.htm"), "<html><head><title>First</title></head><body><p>"
                                        "<a href=\"second.htm\">to the second</a></p><p>"
                                        "<a href=\"gone.htm\">to a lost page</a></p></body></html>");
  WriteText(Dir.File("help/second.htm"), "<html><head><title>Second</title></head><body><p>Second</p></body></html>");
  QWidget Owner;
  Owner.show();
  const QString Root = QString::fromStdString(Dir.Path());

  ASSERT_TRUE(AppHelp(HELP_KEY, "first", Root, &Owner));
  TfrmHelp* Help = HelpWindow();
  ASSERT_NE(Help, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Help));
  EXPECT_EQ(Texts(Help->lstContents), (QStringList{"Contents", "First page", "Second page"}));
  const QString First = QString::fromStdString(Dir.File("help/first.htm"));
  const QString Second = QString::fromStdString(Dir.File("help/second.htm"));
  EXPECT_EQ(Help->CurrentPage(), First);
  EXPECT_FALSE(Help->actBack->isEnabled());

  ClickLink(Help->brwPage, "to the second");
  EXPECT_EQ(Help->CurrentPage(), Second);
  EXPECT_EQ(Help->windowTitle(), "Second");
  EXPECT_EQ(Help->lstContents->currentItem()->text(), "Second page");
  EXPECT_TRUE(Help->actBack->isEnabled());
  Help->brwPage->setFocus();
  QTest::keyClick(Help->brwPage, Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(Help->CurrentPage(), First);
  EXPECT_TRUE(Help->actForward->isEnabled());
  QTest::keyClick(Help->brwPage, Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ(Help->CurrentPage(), Second);
  Help->actBack->trigger();
  EXPECT_EQ(Help->CurrentPage(), First);

  // A link to a page that is not there says so and stays.
  ClickLink(Help->brwPage, "to a lost page");
  EXPECT_EQ(Dialogs.LastText(), "Sorry, could not find help file.\n\n    help/gone.htm");
  EXPECT_EQ(Help->CurrentPage(), First);
  // So does a keyword without a page, in the current folder or the root.
  AppHelp(HELP_KEY, "nothing-here", Root, &Owner);
  EXPECT_EQ(Dialogs.LastText(), "Sorry, could not find help file.\n\n    help/nothing-here.htm");
  EXPECT_EQ(Dialogs.Messages.back().Kind, TMsgKind::Warning);
  EXPECT_EQ(Dialogs.Messages.size(), 2u);
  EXPECT_EQ(Help->CurrentPage(), First);
}

// Each page's title names the page, so the window's title says where one is.
TEST(HelpPages, EveryTitleNamesItsPage) {
  const QDir Pages(QCoreApplication::applicationDirPath() + "/help");
  const QFileInfoList Files = Pages.entryInfoList({"*.htm"});
  ASSERT_GT(Files.size(), 10);
  const QRegularExpression Title("<title>(.*) - Lurvik Studio help</title>");
  for (const QFileInfo& File : Files) {
    QFile Page(File.filePath());
    ASSERT_TRUE(Page.open(QIODevice::ReadOnly));
    const QRegularExpressionMatch Match = Title.match(QString::fromUtf8(Page.readAll()));
    ASSERT_TRUE(Match.hasMatch()) << File.fileName().toStdString();
    EXPECT_NE(Match.captured(1), "Lurvik Studio help") << File.fileName().toStdString();
  }
}

// Every kind of event and action and every pane finds its page by its
// keyword; F1 on an action's value shows the page of its kind, in an event
// frame the page of its event.
TEST(HelpPages, EveryKindAndPaneHasItsPage) {
  TScriptedDialogs Dialogs;
  SetHelpRootFolder(QCoreApplication::applicationDirPath());
  const QDir Pages(QCoreApplication::applicationDirPath() + "/help");
  auto Has = [&](const QString& Keyword) { return QFileInfo::exists(Pages.filePath(Keyword + ".htm")); };
  auto Lower = [](const std::string& Name) { return QString::fromStdString(Name).toLower(); };
  for (int i = 0; i < EventKindCount(); ++i)
    EXPECT_TRUE(Has("event-" + Lower(EventKindAt(i).DisplayName()))) << EventKindAt(i).DisplayName();
  for (int i = 0; i < ActionKindCount(); ++i)
    EXPECT_TRUE(Has("action-" + Lower(ActionKindAt(i).DisplayName()))) << ActionKindAt(i).DisplayName();

  TfrmMain Main;
  for (int i = 0; i < Main.pagEditor->count(); ++i)
    EXPECT_TRUE(Has(HelpKeyword(Main.pagEditor->widget(i)))) << Main.pagEditor->widget(i)->objectName().toStdString();
  THandler* Handler = nullptr;
  test::Edit(Main.Game(), [&] {
    Handler = Main.Game().AddActor()->AddHandler();
    Handler->SetEvent(TEventTimer::ClassKind());
    Handler->AddAction(TActionSetVariable::ClassKind());
  });
  Main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
  Main.SelectItem(*Handler);
  auto* Frames = Main.tsHandler->Editor()->findChild<QSpinBox*>();
  ASSERT_NE(Frames, nullptr);
  EXPECT_EQ(NearestHelpKeyword(Frames), "event-ontimer");
  TfraActions* Actions = Main.tsHandler->fraActions;
  Actions->SelectAction(0);
  QWidget* Value = Actions->ValueEditor(0);
  ASSERT_NE(Value, nullptr);
  Value->setFocus();
  QTest::keyClick(Value, Qt::Key_F1);
  ASSERT_NE(HelpWindow(), nullptr);
  EXPECT_TRUE(HelpWindow()->CurrentPage().endsWith("/help/action-setvariable.htm"));
  Actions->SetHandler(nullptr);
  EXPECT_EQ(NearestHelpKeyword(Actions->lbxActions), "actions");
  EXPECT_TRUE(Dialogs.Messages.empty());
}
