// The main window's comforts: its title, File | Recent, its place kept
// between runs, and picture files dropped on the tree.
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QRegularExpression>
#include <QSet>
#include <QStackedWidget>
#include <QAbstractButton>
#include <QSettings>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>
#include <gtest/gtest.h>

#include "TScriptedDialogs.h"
#include "TestSupport.h"
#include "model/UGame.h"
#include "model/UTile.h"
#include "model/UActor.h"
#include "behaviour/UBehaviour.h"
#include "ui/events/FraActions.h"
#include "ui/events/UEventEditors.h"
#include <QToolButton>
#include "ui/main/FMain.h"
#include "ui/main/UDocumentSession.h"
#include "ui/panes/PaneHandler.h"
#include "ui/panes/PaneTile.h"

using namespace lvk;

namespace {

const QString Examples = LVK_EXAMPLES;

void ClearSettings() { QSettings(QCoreApplication::applicationName(), QCoreApplication::applicationName()).clear(); }

// A model colour (0x00BBGGRR) as Qt has it, without alpha.
QRgb Rgb(std::uint32_t C) { return qRgb(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF) & 0xFFFFFF; }

bool WaitFor(const std::function<bool()>& Condition) { return QTest::qWaitFor(Condition, 2000); }

struct Comforts : ::testing::Test {
  TScriptedDialogs Dialogs;
  test::TTempDir Dir;
  std::unique_ptr<TfrmMain> Main;

  void SetUp() override {
    ClearSettings();
    Main = std::make_unique<TfrmMain>();
    Main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
  }
  // Later tests start from the window's own size, not from ours.
  void TearDown() override {
    Main.reset();
    ClearSettings();
  }
  QString File(const std::string& Name) const { return QString::fromStdString(Dir.File(Name)); }
  QString SaveAs(const std::string& Name) {
    Dialogs.Files.push_back(File(Name));
    EXPECT_TRUE(Main->SaveGameAs());
    return File(Name);
  }
  QTreeWidgetItem* TilesNode() const { return Main->tvwTree->topLevelItem(0)->child(0); }
  QStringList RecentCaptions() const {
    QStringList Captions;
    for (QAction* Item : Main->mnuRecent->actions()) Captions << Item->text();
    return Captions;
  }
  // A drag of Paths onto Node: whether the tree took it.
  bool Drop(QTreeWidgetItem* Node, const QStringList& Paths) {
    QMimeData Data;
    QList<QUrl> Urls;
    for (const QString& P : Paths) Urls << QUrl::fromLocalFile(P);
    Data.setUrls(Urls);
    QWidget* View = Main->tvwTree->viewport();
    const QPoint At = Main->tvwTree->visualItemRect(Node).center();
    QDragEnterEvent Enter(At, Qt::CopyAction, &Data, Qt::LeftButton, {});
    QApplication::sendEvent(View, &Enter);
    QDropEvent Dropped(QPointF(At), Qt::CopyAction, &Data, Qt::LeftButton, {});
    QApplication::sendEvent(View, &Dropped);
    if (!Enter.isAccepted() || !Dropped.isAccepted()) return false;
    QCoreApplication::processEvents();
    return true;
  }
};

}  // namespace

TEST_F(Comforts, TitleShowsTheFileAndTheModifiedMark) {
  EXPECT_EQ(Main->windowTitle(), "Untitled[*] - Lurvik Studio");
  EXPECT_FALSE(Main->isWindowModified());

  // A rename typed in the tile pane marks the title once the keys are up.
  Main->tsTiles->butNewTile->click();
  Main->tsTile->edtTileName->setFocus();
  Main->tsTile->edtTileName->setText("Grass");
  QTest::keyClick(Main->tsTile->edtTileName, Qt::Key_Return);
  EXPECT_TRUE(WaitFor([&] { return Main->isWindowModified(); }));

  SaveAs("Meadow.lvk");
  EXPECT_EQ(Main->windowTitle(), "Meadow.lvk[*] - Lurvik Studio");
  EXPECT_FALSE(Main->isWindowModified());
  Main->tsTile->edtTileName->setText("Sand");
  QTest::keyClick(Main->tsTile->edtTileName, Qt::Key_Return);
  EXPECT_TRUE(WaitFor([&] { return Main->isWindowModified(); }));
  EXPECT_TRUE(Main->SaveGame());
  EXPECT_FALSE(Main->isWindowModified());

  Main->mnuNewClick();
  EXPECT_EQ(Main->windowTitle(), "Untitled[*] - Lurvik Studio");
}

TEST_F(Comforts, RecentGamesMostRecentFirstAndOpenedFromTheMenu) {
  EXPECT_EQ(RecentCaptions(), QStringList{"No games opened yet"});
  EXPECT_FALSE(Main->mnuRecent->actions().front()->isEnabled());

  for (int i = 1; i <= 9; ++i) SaveAs("Game" + std::to_string(i) + ".lvk");
  const QString First = File("Game1.lvk"), Second = File("Game2.lvk");
  // Only the last eight; saving one again brings it to the top.
  ASSERT_EQ(Main->RecentFiles().size(), TfrmMain::MaxRecentFiles);
  EXPECT_FALSE(Main->RecentFiles().contains(First));
  Dialogs.Files.push_back(Second);
  ASSERT_TRUE(Main->SaveGameAs());
  EXPECT_EQ(Main->RecentFiles().front(), Second);
  EXPECT_EQ(RecentCaptions().mid(0, 3), (QStringList{"&1 Game2.lvk", "&2 Game9.lvk", "&3 Game8.lvk"}));
  EXPECT_EQ(Main->mnuRecent->actions().front()->statusTip(), Second);

  // Choosing one asks to save the changes first, then opens it.
  Main->tsTiles->butNewTile->click();
  Dialogs.Answers = {TMsgAnswer::No};
  Main->mnuRecent->actions()[2]->trigger();
  EXPECT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(QString::fromStdString(Main->Game().FileName()), File("Game8.lvk"));
  EXPECT_EQ(Main->RecentFiles().front(), File("Game8.lvk"));
  EXPECT_EQ(Main->Game().TileCount(), 0);

  // A game that is gone leaves the list with a word, and the open game stays.
  QFile::remove(File("Game9.lvk"));
  Main->mnuRecent->actions()[2]->trigger();
  EXPECT_EQ(Dialogs.LastText(),
            "The game " + File("Game9.lvk") + " no longer exists and was removed from the recent list");
  EXPECT_FALSE(Main->RecentFiles().contains(File("Game9.lvk")));
  EXPECT_EQ(RecentCaptions().size(), 7);
  EXPECT_EQ(QString::fromStdString(Main->Game().FileName()), File("Game8.lvk"));

  // The list outlives the window.
  const QStringList Kept = Main->RecentFiles();
  Main = std::make_unique<TfrmMain>();
  EXPECT_EQ(Main->RecentFiles(), Kept);
  EXPECT_EQ(RecentCaptions().front(), "&1 Game8.lvk");
  EXPECT_EQ(Dialogs.Unexpected, 0);
}

TEST_F(Comforts, PlaceAndSplitterKeptOnlyWhereAScreenShowsThem) {
  const QRect Place(40, 30, 700, 480);
  Main->setGeometry(Place);
  auto* Splitter = Main->findChild<QSplitter*>("splMain");
  Splitter->setSizes({150, 550});
  const QList<int> Sizes = Splitter->sizes();
  ASSERT_TRUE(Main->close());

  Main = std::make_unique<TfrmMain>();
  EXPECT_EQ(Main->geometry(), Place);
  Main->show();
  EXPECT_EQ(Main->findChild<QSplitter*>("splMain")->sizes(), Sizes);

  // A place beyond every screen is not taken: the window starts as usual.
  Main->setGeometry(QRect(20000, 20000, 700, 480));
  ASSERT_TRUE(Main->close());
  Main = std::make_unique<TfrmMain>();
  EXPECT_LT(Main->geometry().left(), 20000);
  EXPECT_EQ(Main->size(), QSize(818, 442));
}

// A picture of another kind is told apart from a damaged BMP by its bytes:
// the warning says that tiles are BMP files, on a drop as on a tile.
TEST_F(Comforts, PicturesOfOtherKindsSayTilesAreBmpFiles) {
  const QString Hint = "\nTiles are imported from BMP files; this file is a %1 picture. Save it as an 8x8 BMP "
                       "file and import that.";
  struct TRow {
    const char* Name;
    const char* Format;  // as QImage writes it; null: a few bytes of text
    QString Expected;
  } Rows[] = {
      {"hero.png", "PNG", "Error importing bitmap hero.png\nBitmap image is not valid" + Hint.arg("PNG")},
      {"misnamed.bmp", "PNG", "Error importing bitmap misnamed.bmp\nBitmap image is not valid" + Hint.arg("PNG")},
      {"hero.jpg", "JPEG", "Error importing bitmap hero.jpg\nBitmap image is not valid" + Hint.arg("JPEG")},
      {"notes.bmp", nullptr, "Error importing bitmap notes.bmp\nBitmap image is not valid"},
  };
  ASSERT_TRUE(Drop(TilesNode(), {Examples + "/tiles/Coin.bmp"}));
  for (const TRow& Row : Rows) {
    SCOPED_TRACE(Row.Name);
    QImage Picture(8, 8, QImage::Format_RGB32);
    Picture.fill(Qt::red);
    QFile Out(File(Row.Name));
    ASSERT_TRUE(Out.open(QIODevice::WriteOnly));
    if (Row.Format) ASSERT_TRUE(Picture.save(&Out, Row.Format));
    else Out.write("not a picture");
    Out.close();
    Dialogs.Messages.clear();
    ASSERT_TRUE(Drop(TilesNode(), {Out.fileName()}));
    ASSERT_TRUE(Drop(TilesNode()->child(0), {Out.fileName()}));
    ASSERT_EQ(Dialogs.Messages.size(), 2u);
    EXPECT_EQ(Dialogs.Messages[0].Text, Row.Expected);
    EXPECT_EQ(Dialogs.Messages[1].Text, Row.Expected);
    EXPECT_EQ(Main->Game().TileCount(), 1);
  }
}

TEST_F(Comforts, DroppedPicturesBecomeTilesOrReplaceOne) {
  QFile Junk(File("notes.bmp"));
  ASSERT_TRUE(Junk.open(QIODevice::WriteOnly));
  Junk.write("not a picture");
  Junk.close();

  // Named after the files; a file that fails Import's checks makes no tile.
  ASSERT_TRUE(Drop(TilesNode(), {Examples + "/tiles/Coin.bmp", Junk.fileName(), Examples + "/tiles/Hero.bmp"}));
  ASSERT_EQ(Main->Game().TileCount(), 2);
  EXPECT_EQ(Main->Game().GetTile(0)->Name(), "Coin");
  EXPECT_EQ(Main->Game().GetTile(1)->Name(), "Hero");
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_TRUE(Dialogs.LastText().startsWith("Error importing bitmap notes.bmp\n")) << Dialogs.LastText().toStdString();
  EXPECT_EQ(Main->Document().History().StepCount(), 1);  // the box of the one that failed took no step
  EXPECT_EQ(TilesNode()->childCount(), 2);
  // The last new tile is shown, its picture large and crisp.
  EXPECT_EQ(Main->VisiblePane(), Main->tsTile);
  EXPECT_EQ(Main->tsTile->Tile(), Main->Game().GetTile(1));
  EXPECT_TRUE(WaitFor([&] { return Main->isWindowModified(); }));
  const auto Large = [&] { return Main->tsTile->imgTile->pixmap().toImage(); };
  const TPeekBitmap& Hero = Main->Game().GetTile(1)->Bitmap();
  ASSERT_GE(Large().width(), 128);
  for (int X = 0; X < 8; ++X)
    for (int Y : {0, 3, 7}) {
      const QRgb Pixel = Large().pixel(X * 16 + 15, Y * 16);
      EXPECT_EQ(Pixel & 0xFFFFFF, Large().pixel(X * 16, Y * 16 + 15) & 0xFFFFFF);
      EXPECT_EQ(Pixel & 0xFFFFFF, Rgb(Hero.GetColor(X, Y)));
    }

  // A name already taken gives the default name.
  ASSERT_TRUE(Drop(TilesNode(), {Examples + "/tiles/Coin.bmp"}));
  EXPECT_EQ(Main->Game().GetTile(2)->Name(), "tTile3");

  // One file on a tile imports into it, as the tile pane's Import does.
  QTreeWidgetItem* CoinNode = TilesNode()->child(0);
  EXPECT_FALSE(Drop(CoinNode, {Examples + "/tiles/Gem.bmp", Examples + "/tiles/Sea.bmp"}));
  ASSERT_TRUE(Drop(CoinNode, {Examples + "/tiles/Gem.bmp"}));
  EXPECT_EQ(Main->tsTile->Tile(), Main->Game().GetTile(0));
  TGame Expected;
  Expected.AddTile()->ImportBitmap((Examples + "/tiles/Gem.bmp").toStdString());
  EXPECT_EQ(Main->Game().GetTile(0)->Bitmap().GetColor(3, 3), Expected.GetTile(0)->Bitmap().GetColor(3, 3));
  EXPECT_EQ(Large().pixel(3 * 16 + 8, 3 * 16 + 8) & 0xFFFFFF, Rgb(Expected.GetTile(0)->Bitmap().GetColor(3, 3)));
  ASSERT_TRUE(Drop(CoinNode, {Junk.fileName()}));
  EXPECT_TRUE(Dialogs.LastText().startsWith("Error importing bitmap notes.bmp\n"));
  EXPECT_EQ(Dialogs.Messages.size(), 2u);
  EXPECT_EQ(Main->Game().TileCount(), 3);

  // Other nodes take no files.
  EXPECT_FALSE(Drop(Main->tvwTree->topLevelItem(0)->child(1), {Examples + "/tiles/Gem.bmp"}));

  // A drop is one step to undo, however many tiles it made.
  EXPECT_EQ(Main->Session().UndoText().toStdString(), "Undo Import tile");
  Main->mnuUndoClick();
  EXPECT_EQ(Main->Session().UndoText().toStdString(), "Undo Drop tile");
  Main->mnuUndoClick();
  EXPECT_EQ(Main->Session().UndoText().toStdString(), "Undo Drop tiles");
  Main->mnuUndoClick();
  EXPECT_EQ(Main->Game().TileCount(), 0);
  EXPECT_EQ(TilesNode()->childCount(), 0);
}

// Alt with a menu's letter opens the menu: no control of a pane may take the
// same letter, or the key would do neither.
TEST_F(Comforts, PanesLeaveTheMenusLettersFree) {
  auto Letter = [](const QString& Text) {
    const int At = Text.indexOf(QRegularExpression("&[^&]"));
    return At < 0 ? QChar() : Text[At + 1].toLower();
  };
  QSet<QChar> MenuLetters;
  for (QAction* Top : Main->menuBar()->actions()) MenuLetters.insert(Letter(Top->text()));
  ASSERT_TRUE(MenuLetters.contains('e'));
  for (int i = 0; i < Main->pagEditor->count(); ++i) {
    QWidget* Pane = Main->pagEditor->widget(i);
    QStringList Texts;
    for (QLabel* L : Pane->findChildren<QLabel*>()) Texts << L->text();
    for (QAbstractButton* B : Pane->findChildren<QAbstractButton*>()) Texts << B->text();
    for (const QString& Text : Texts)
      EXPECT_FALSE(MenuLetters.contains(Letter(Text)))
          << Pane->objectName().toStdString() << ": " << Text.toStdString();
  }
}

// An action's values are edited beside the handler's own controls and its
// event's frame: a letter two of them share would only move between them.
TEST_F(Comforts, ActionValuesLeaveTheOtherLettersOfTheHandlerPaneFree) {
  auto Letter = [](const QString& Text) {
    const int At = Text.indexOf(QRegularExpression("&[^&]"));
    return At < 0 ? QChar() : Text[At + 1].toLower();
  };
  QSet<QChar> Taken;
  for (QAction* Top : Main->menuBar()->actions()) Taken.insert(Letter(Top->text()));
  THandler* Handler = nullptr;
  test::Edit(Main->Game(), [&] { Handler = Main->Game().AddActor()->AddHandler(); });
  // The pane's own controls and every event frame's, as they are shown.
  for (QAbstractButton* B : Main->tsHandler->findChildren<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly))
    Taken.insert(Letter(B->text()));
  for (const QAbstractButton* B : {static_cast<QAbstractButton*>(Main->tsHandler->butEventOther),
                                   static_cast<QAbstractButton*>(Main->tsHandler->butEventHelp)})
    Taken.insert(Letter(B->text()));
  for (QLabel* L : Main->tsHandler->fraActions->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
    Taken.insert(Letter(L->text()));
  Taken.insert(Letter(Main->tsHandler->fraActions->butAddAction->text()));
  for (int k = 0; k < EventKindCount(); ++k) {
    test::Edit(Main->Game(), [&] { Handler->SetEvent(EventKindAt(k)); });
    QWidget Host;
    std::unique_ptr<QWidget> Frame(CreateEventEditor(*Handler->Event(), &Host, {}));
    for (QLabel* L : Host.findChildren<QLabel*>()) Taken.insert(Letter(L->text()));
    for (QAbstractButton* B : Host.findChildren<QAbstractButton*>()) Taken.insert(Letter(B->text()));
  }
  Taken.remove(QChar());
  for (int a = 0; a < ActionKindCount(); ++a) {
    std::unique_ptr<TActionBase> Action(ActionKindAt(a).Create(*Handler));
    QSet<QChar> Own;
    for (int v = 0; v < Action->ValueCount(); ++v) {
      const QChar L = Letter(Action->ValueInfo(v).Label);
      const std::string Where = ActionKindAt(a).DisplayName() + ": " + Action->ValueInfo(v).Label;
      EXPECT_FALSE(L.isNull()) << Where;
      EXPECT_FALSE(Taken.contains(L)) << Where;
      EXPECT_FALSE(Own.contains(L)) << Where;
      Own.insert(L);
    }
  }
}
