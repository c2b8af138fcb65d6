// The play window: its console and frame drawing alone, then the real window
// driven with keys and the pen on the sample game.
#include <QAction>
#include <QComboBox>
#include <QScreen>
#include <QStandardItemModel>
#include <QLabel>
#include <QTreeWidgetItem>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <vector>

#include "TSamePlay.h"
#include "TScriptedDialogs.h"
#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventCreate.h"
#include "behaviour/REventKey.h"
#include "behaviour/UAction.h"
#include "generator/UBuildLog.h"
#include "generator/UGameTables.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UTile.h"
#include "ui/main/FMain.h"
#include "ui/play/FPlay.h"
#include "ui/play/UPlayConsole.h"
#include "ui/play/UPlayRender.h"

using namespace lvk;

namespace {

// The console as the DS program's printf fills it.
TEST(PlayConsole, PrintsAsTheDsConsole) {
  TPlayConsole Console;
  Console.Write(WelcomeText("Rain"));
  EXPECT_EQ(Console.RowText(0), "");
  EXPECT_EQ(Console.RowText(1), "     Welcome  to  the  game");
  // Right-aligned in a field of 4 / 2 + 16 = 18.
  EXPECT_EQ(Console.RowText(3), std::string(14, ' ') + "Rain");
  // The title reaches the DS in Windows-1252: one byte for the e acute.
  EXPECT_EQ(WelcomeText("Caf\xC3\xA9").substr(30), std::string(14, ' ') + "Caf\xE9\n");

  // A full row and its newline make one row, not two; the bottom row scrolls.
  Console.Clear();
  Console.Write(std::string(32, 'a') + "\nb");
  EXPECT_EQ(Console.RowText(1), "b");
  for (int i = 0; i < 30; ++i) Console.Write("\nline " + std::to_string(i));
  EXPECT_EQ(Console.RowText(23), "line 29");
  EXPECT_EQ(Console.RowText(22), "line 28");

  // Escapes place the cursor and clear, also when split across writes, and
  // are clamped to the screen, overlong ones too.
  Console.Write("\x1b[2J\x1b[20;");
  Console.Write("0HLevel 1\x1b[20;6Hx\x1b[K");
  EXPECT_EQ(Console.RowText(20), "Level x");
  EXPECT_EQ(Console.RowText(23), "");
  Console.Write("\x1b[99;99H!" + std::string("\x1b[") + std::string(100, '7') + "Hz");
  EXPECT_EQ(Console.At(31, 23), '!');
  EXPECT_EQ(Console.At(0, 23), 'z');

  // Every printable character has a glyph with ink in it, others none.
  for (int C = 33; C <= 126; ++C) {
    const std::uint8_t* Glyph = ConsoleGlyph(static_cast<unsigned char>(C));
    ASSERT_NE(Glyph, nullptr);
    int Ink = 0;
    for (int r = 0; r < 8; ++r) Ink |= Glyph[r];
    EXPECT_NE(Ink, 0) << char(C);
  }
  EXPECT_EQ(ConsoleGlyph(127), nullptr);
  EXPECT_EQ(ConsoleGlyph(0xE9), nullptr);
}

// A game of two tiles and one live actor drawn with the second, for drawing
// without the document.
struct TDrawGame {
  std::vector<lvk_actor_t> Actors{{1, 0, 1, 0, 0, 0, 0, 0}};
  std::vector<lvk_handler_t> Handlers{{LVK_EVENT_CREATE, 0, 0, 0, 0, 0, 0}};
  // The backdrop red, as palette entry 0 of the tests' tables.
  std::vector<lvk_level_t> Levels{{0, 2, 32, 24, 0, 0, 0, 0, 0, 0x001F}};
  std::vector<lvk_spawn_t> Spawns{{0, 0, 0}, {0, 31, 23}};
  std::vector<std::uint16_t> Scenery = std::vector<std::uint16_t>(LVK_LEVEL_CELLS, LVK_NONE);
  lvk_game_t Game{2,       1,       1,       0,       1,       2,       Actors.data(), Handlers.data(), nullptr,
                  Levels.data(), Spawns.data(), Scenery.data(), 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr,
                  0,       0,       0,       0,       nullptr, nullptr, nullptr};
};

TEST(PlayRender, DrawsTheLevelAsTheDs) {
  EXPECT_EQ(DsColorToRgb(0), 0xFF000000u);
  EXPECT_EQ(DsColorToRgb(0x7FFF), 0xFFFFFFFFu);
  // Red in the low bits; 16 widens to 132, as the DS shows it.
  EXPECT_EQ(DsColorToRgb(16 | 1 << 5 | 31 << 10), 0xFF8408FFu);

  // Tile 0: colour 2 with a transparent top-left pixel; tile 1: colour 3
  // with a transparent bottom-right one.
  TGameTables Tables;
  Tables.Palette = {0x001F, 0x03E0, 0x7C00, 0x7FFF};
  Tables.Tiles.resize(2);
  Tables.Tiles[0].fill(2);
  Tables.Tiles[0][0] = 0;
  Tables.Tiles[1].fill(3);
  Tables.Tiles[1][63] = 0;
  TDrawGame G;
  Tables.Actors = G.Actors;
  const TPlayVideo Video = MakePlayVideo(Tables);
  EXPECT_EQ(Video.Colors[4], 0xFF000000u);  // past the palette: black

  lvk_engine_t Engine;
  lvk_engine_init(&Engine, &G.Game);
  lvk_engine_start_level(&Engine, 0);
  std::vector<std::uint16_t> Map(LVK_LEVEL_CELLS, 2);  // 2 = no tile
  Map[1] = 0;
  Map[2] = 7;  // past the tiles: transparent, as the cleared video memory is
  Map[3] = 1 << 10;  // tile 0 mirrored: the DS reads 10 bits and two flips
  std::vector<std::uint32_t> Out(ScreenPixels);
  DrawLevelScreen(Video, Map.data(), Engine, Out.data());
  const auto At = [&](int X, int Y) { return Out[Y * ScreenWidth + X]; };
  const std::uint32_t Backdrop = 0xFFFF0000u, Blue = 0xFF0000FFu, White = 0xFFFFFFFFu;
  EXPECT_EQ(At(8, 0), Backdrop);  // transparent pixel of tile 0
  EXPECT_EQ(At(9, 0), Blue);
  EXPECT_EQ(At(16, 0), Backdrop);
  EXPECT_EQ(At(24, 0), Blue);
  EXPECT_EQ(At(31, 0), Backdrop);
  EXPECT_EQ(At(100, 100), Backdrop);
  // The sprites at both corners, their own colour 0 showing what lies below.
  EXPECT_EQ(At(0, 0), White);
  EXPECT_EQ(At(7, 7), Backdrop);
  EXPECT_EQ(At(255, 191), Backdrop);
  EXPECT_EQ(At(248, 184), White);

  // Partly off the screen: clipped, never written outside the buffer.
  Engine.instances[0].x = -4 * LVK_SUBPIXELS;
  Engine.instances[0].y = -4 * LVK_SUBPIXELS;
  Engine.instances[1].x = 252 * LVK_SUBPIXELS;
  Engine.instances[1].y = 190 * LVK_SUBPIXELS;
  std::vector<std::uint32_t> Guarded(ScreenPixels + 2 * ScreenWidth, 0x12345678u);
  DrawLevelScreen(Video, Map.data(), Engine, Guarded.data() + ScreenWidth);
  EXPECT_EQ(Guarded[ScreenWidth + 0], White);
  EXPECT_EQ(Guarded[ScreenWidth + 4 * ScreenWidth + 4], Backdrop);
  EXPECT_EQ(Guarded[ScreenWidth + 191 * ScreenWidth + 255], White);
  for (int i = 0; i < ScreenWidth; ++i) {
    ASSERT_EQ(Guarded[i], 0x12345678u);
    ASSERT_EQ(Guarded[ScreenWidth + ScreenPixels + i], 0x12345678u);
  }
  // A destroyed instance is not drawn.
  Engine.instances[0].alive = 0;
  DrawLevelScreen(Video, Map.data(), Engine, Out.data());
  EXPECT_EQ(At(0, 0), Backdrop);

  // The level's backdrop, not palette entry 0's colour, is behind
  // everything; a tile's pixel of entry 0 stays transparent over it.
  G.Levels[0].backdrop = 0x7FFF;
  DrawLevelScreen(Video, Map.data(), Engine, Out.data());
  EXPECT_EQ(At(8, 0), White);
  EXPECT_EQ(At(100, 100), White);
  EXPECT_EQ(At(9, 0), Blue);
}

// A 16x16 animated instance is drawn with its frame's four tiles at its
// size, and mirrored: the columns swap and each tile is flipped.
TEST(PlayRender, DrawsFramesAtTheirSizeAndMirrored) {
  TGameTables Tables;
  Tables.Palette = {0x001F, 0x03E0, 0x7C00, 0x7FFF};
  Tables.Tiles.resize(2);
  Tables.Tiles[0].fill(2);
  Tables.Tiles[0][0] = 3;  // tile 0: blue with a white top-left pixel
  Tables.Tiles[1].fill(1);
  TDrawGame G;
  G.Actors[0].width = G.Actors[0].height = 16;
  G.Actors[0].animation_count = 1;
  const lvk_animation_t Animation{0, 1, 1, LVK_ANIMATION_LOOP};
  const std::uint32_t Frames[] = {0};
  const std::uint16_t Cells[] = {0, 1, LVK_NONE, 0};
  G.Game.animation_count = 1;
  G.Game.frame_count = 1;
  G.Game.frame_tile_count = 4;
  G.Game.animations = &Animation;
  G.Game.frames = Frames;
  G.Game.frame_tiles = Cells;
  G.Levels[0].spawn_count = 1;
  Tables.Actors = G.Actors;
  const TPlayVideo Video = MakePlayVideo(Tables);
  lvk_engine_t Engine;
  lvk_engine_init(&Engine, &G.Game);
  ASSERT_NE(Engine.game, nullptr);
  lvk_engine_start_level(&Engine, 0);
  std::vector<std::uint16_t> Map(LVK_LEVEL_CELLS, 2);
  std::vector<std::uint32_t> Out(ScreenPixels);
  const auto At = [&](int X, int Y) { return Out[Y * ScreenWidth + X]; };
  const std::uint32_t Backdrop = 0xFFFF0000u, Green = 0xFF00FF00u, Blue = 0xFF0000FFu, White = 0xFFFFFFFFu;
  DrawLevelScreen(Video, Map.data(), Engine, Out.data());
  EXPECT_EQ(At(0, 0), White);
  EXPECT_EQ(At(1, 0), Blue);
  EXPECT_EQ(At(8, 0), Green);
  EXPECT_EQ(At(0, 8), Backdrop);  // no tile
  EXPECT_EQ(At(8, 8), White);
  EXPECT_EQ(At(16, 0), Backdrop);
  Engine.instances[0].mirror = LVK_MIRROR_ON;
  DrawLevelScreen(Video, Map.data(), Engine, Out.data());
  EXPECT_EQ(At(0, 0), Green);
  EXPECT_EQ(At(15, 0), White);
  EXPECT_EQ(At(14, 0), Blue);
  EXPECT_EQ(At(7, 8), White);
  EXPECT_EQ(At(8, 8), Backdrop);
}

// ---- The window, on the sample game ----

// An 8x8 block of the lower screen as last drawn.
using TBlock = std::vector<QRgb>;

struct PlayWindow : ::testing::Test {
  TScriptedDialogs Dialogs;
  std::unique_ptr<TGame> Game = std::make_unique<TGame>();
  std::unique_ptr<TfrmPlay> Play;

  void SetUp() override { Game->LoadFromFile(LVK_EXAMPLES "/Sample.lvk"); }

  void Open(int Level = 0) {
    // Asks for the document anew each time, as the main window's does.
    Play = std::make_unique<TfrmPlay>([this]() -> const TGame* { return Game.get(); });
    Play->Play(Level);
    Play->SetPaused(true);  // the test steps the frames itself
    Play->show();
    Play->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Play.get()));
  }
  TBlock Block(int X, int Y) const {
    TBlock Pixels;
    for (int y = Y; y < Y + 8; ++y)
      for (int x = X; x < X + 8; ++x) Pixels.push_back(Play->Frame().pixel(x, ScreenHeight + y));
    return Pixels;
  }
  TBlock Backdrop() const { return TBlock(64, DsColorToRgb(DsColor(Game->Palette(), 0))); }
  // Holds Key for Frames frames, then lets go for a frame (a release
  // between two frames reaches the engine in the next).
  void Hold(Qt::Key Key, int Frames) {
    QTest::keyPress(Play->pnlScreens, Key);
    Play->RunFrames(Frames);
    QTest::keyRelease(Play->pnlScreens, Key);
    Play->RunFrames(1);
  }
  std::string Status() const { return Play->lblStatus->text().toStdString(); }
};

// The first garden's quickest walk, seen in the drawn frames: the hero
// (cell 2, 3) walks right over four coins to a wall, down to the bottom
// wall and right over the last coins, through the door they open, to the
// flag, which starts the second garden.
TEST_F(PlayWindow, TheSampleGamePlaysWithTheKeys) {
  Open();
  EXPECT_EQ(Play->windowTitle(), "Lurvik play");
  EXPECT_TRUE(Play->lblKeys->text().contains("Backspace, Shift"));
  EXPECT_EQ(Status().rfind("Level 1 of 3: lGarden   Frame 0   Live", 0), 0u) << Status();
  const TBlock Hero = Block(16, 24), Coin = Block(48, 24);
  ASSERT_NE(Hero, Backdrop());
  ASSERT_NE(Coin, Backdrop());
  ASSERT_NE(Hero, Coin);
  // The start text and the level line in our own letters.
  auto InkInRow = [&](int Row) {
    int Ink = 0;
    for (int y = Row * 8; y < Row * 8 + 8; ++y)
      for (int x = 0; x < ScreenWidth; ++x) Ink += (Play->Frame().pixel(x, y) & 0xFFFFFF) != 0;
    return Ink;
  };
  EXPECT_EQ(InkInRow(0), 0);
  EXPECT_GT(InkInRow(1), 100);
  EXPECT_GT(InkInRow(20), 50);
  const int Live = Play->Engine().live_count;

  // He is 16x16; the top left quarter of his frames is the same standing
  // and walking, as long as he faces right.
  Hold(Qt::Key_Right, 12);  // one pixel a frame, up to the first coin
  EXPECT_EQ(Block(16, 24), Backdrop());
  EXPECT_EQ(Block(28, 24), Hero);
  EXPECT_NE(Block(48, 24), Backdrop());  // the coin, spinning

  Hold(Qt::Key_Right, 20);  // over the first two coins, up to the third
  EXPECT_EQ(Block(48, 24), Hero);
  EXPECT_NE(Block(64, 24), Backdrop());
  EXPECT_EQ(Play->Engine().live_count, Live - 2);

  Hold(Qt::Key_Right, 70);  // the other coins, then the wall stops him
  EXPECT_EQ(Block(104, 24), Hero);
  Hold(Qt::Key_Down, 170);
  EXPECT_EQ(Block(104, 168), Hero);
  const TBlock Upper20 = [&] {
    TBlock Row;
    for (int x = 0; x < ScreenWidth; ++x) Row.push_back(Play->Frame().pixel(x, 20 * 8 + 3));
    return Row;
  }();
  // Right until the open door and the flag take him to the second garden
  // (at most 130 frames): a key still held there would walk him on at once.
  QTest::keyPress(Play->pnlScreens, Qt::Key_Right);
  for (int i = 0; i < 130 && Play->Engine().level == 0; ++i) Play->RunFrames(1);
  QTest::keyRelease(Play->pnlScreens, Qt::Key_Right);
  Play->RunFrames(1);
  EXPECT_EQ(Status().rfind("Level 2 of 3: lPark", 0), 0u) << Status();
  EXPECT_EQ(Block(8, 8), Hero);  // the second garden's hero, top left
  EXPECT_NE(Block(104, 168), Hero);
  TBlock Now;
  for (int x = 0; x < ScreenWidth; ++x) Now.push_back(Play->Frame().pixel(x, 20 * 8 + 3));
  EXPECT_NE(Now, Upper20);  // "Level 2 of 3" replaced "Level 1 of 3"
}

// The same input gives the same game as the plain engine run the DS program
// makes with the generated tables, frame by frame; the pen and focus reach
// the input as they should.
TEST_F(PlayWindow, PlaysAsThePlainEngineRun) {
  Open();
  TTextBuildLog Log;
  const TGameTables Tables = BuildGameTables(*Game, Log);
  const lvk_game_t Desc = Tables.Game();
  lvk_engine_t Engine;
  lvk_instance_values_t Values{};  // the sample has instance variables
  lvk_engine_init(&Engine, &Desc);
  lvk_engine_set_instance_values(&Engine, &Values);
  lvk_engine_start_level(&Engine, 0);

  struct TStep {
    Qt::Key Key;
    bool Down;
    int Frames;
  };
  const TStep Script[] = {{Qt::Key_Right, true, 40},  {Qt::Key_Down, true, 30},  {Qt::Key_Right, false, 7},
                          {Qt::Key_Down, false, 3},   {Qt::Key_Left, true, 25},  {Qt::Key_Up, true, 60},
                          {Qt::Key_Left, false, 1},   {Qt::Key_Up, false, 20},   {Qt::Key_X, true, 5},
                          {Qt::Key_Return, true, 2},  {Qt::Key_Shift, true, 3},  {Qt::Key_Shift, false, 1},
                          {Qt::Key_Return, false, 1}, {Qt::Key_X, false, 200}};
  std::uint16_t Keys = 0;
  const std::pair<Qt::Key, std::uint16_t> Bits[] = {{Qt::Key_Right, LVK_KEY_RIGHT}, {Qt::Key_Down, LVK_KEY_DOWN},
                                                    {Qt::Key_Left, LVK_KEY_LEFT},   {Qt::Key_Up, LVK_KEY_UP},
                                                    {Qt::Key_X, LVK_KEY_A},         {Qt::Key_Return, LVK_KEY_START},
                                                    {Qt::Key_Shift, LVK_KEY_SELECT}};
  int Frame = 0;
  for (const TStep& S : Script) {
    if (S.Down)
      QTest::keyPress(Play->pnlScreens, S.Key);
    else
      QTest::keyRelease(Play->pnlScreens, S.Key);
    for (const auto& [Key, Bit] : Bits)
      if (Key == S.Key) Keys = S.Down ? Keys | Bit : Keys & ~Bit;
    ASSERT_EQ(Play->Input().keys, Keys) << "frame " << Frame;
    for (int i = 0; i < S.Frames; ++i, ++Frame) {
      Play->StepFrame();
      const lvk_input_t In{Keys, 0, 0};
      lvk_engine_step(&Engine, &In);
      ASSERT_TRUE(SamePlay(Play->Engine(), Engine)) << "frame " << Frame;
    }
  }
  // Start and Select together went to the second garden on the way.
  EXPECT_EQ(Engine.level, 1);

  // The pen: pixels of the lower screen at the window's zoom, held while
  // the button is; the upper screen is no touch screen.
  const int Scale = Play->Scale();
  const int Top = (ScreenHeight + 4) * Scale;
  QTest::mousePress(Play->pnlScreens, Qt::LeftButton, {}, QPoint(50 * Scale + Scale / 2, Top + 30 * Scale + Scale / 2));
  lvk_input_t In = Play->Input();
  EXPECT_EQ(In.keys & LVK_KEY_TOUCH, LVK_KEY_TOUCH);
  EXPECT_EQ(In.touch_x, 50);
  EXPECT_EQ(In.touch_y, 30);
  QTest::mouseRelease(Play->pnlScreens, Qt::LeftButton, {}, QPoint(50 * Scale + Scale / 2, Top + 30 * Scale + Scale / 2));
  EXPECT_EQ(Play->Input().keys, 0);
  QTest::mousePress(Play->pnlScreens, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(Play->Input().keys, 0);
  QTest::mouseRelease(Play->pnlScreens, Qt::LeftButton, {}, QPoint(10, 10));

  // Keys held when the window loses the focus are let go.
  QTest::keyPress(Play->pnlScreens, Qt::Key_Left);
  EXPECT_EQ(Play->Input().keys, LVK_KEY_LEFT);
  QWidget Other;
  Other.show();
  Other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Other));
  EXPECT_EQ(Play->Input().keys, 0);
}

// Editing while the window plays: it keeps its own copy, even of a document
// that is gone, until Restart takes the document as it is then; the frame
// step, pause and zoom do what their buttons say.
TEST_F(PlayWindow, RestartTakesTheEditedGame) {
  Open();
  const TBlock Hero = Block(16, 24);
  TLevel* Garden = Game->GetLevel(0);
  Garden->SetCell(4, 5, Garden->GetCell(2, 3));
  Garden->SetCell(2, 3, Game->FindActorByName("aSky"));
  auto Edited = std::move(Game);
  Game = std::make_unique<TGame>();  // the old document is gone
  Play->RunFrames(3);
  EXPECT_EQ(Block(16, 24), Hero);
  EXPECT_TRUE(Play->butStep->isEnabled());
  Play->butStep->click();
  EXPECT_EQ(Play->Engine().frame, 4u);

  // What the build would call an error is shown; the game plays on.
  EXPECT_TRUE(Play->lblProblems->isHidden());
  THandler& BlobStart = *Edited->FindActorByName("aBlob")->GetHandler(0);
  static_cast<TActionSpeed*>(BlobStart.GetAction(0))->SetArg1("3.5");
  Game = std::move(Edited);
  Play->butRestart->click();
  EXPECT_EQ(Play->Engine().frame, 0u);
  EXPECT_EQ(Block(32, 40), Hero);
  EXPECT_NE(Block(16, 24), Hero);
  EXPECT_TRUE(Play->lblProblems->isVisible());
  EXPECT_TRUE(Play->lblProblems->text().contains("3.5&quot; is not a whole number"))
      << Play->lblProblems->text().toStdString();

  Play->butPause->click();  // continue
  EXPECT_FALSE(Play->Paused());
  EXPECT_FALSE(Play->butStep->isEnabled());
  // The frame clock runs (however slowly the test machine goes).
  EXPECT_TRUE(QTest::qWaitFor([&] { return Play->Engine().frame > 0; }, 10000));

  Play->cbxScale->setCurrentIndex(2);
  emit Play->cbxScale->activated(2);
  EXPECT_EQ(Play->Scale(), 3);
  EXPECT_EQ(Play->pnlScreens->width(), 3 * ScreenWidth);
  // Whole pixels, never smoothed: each DS pixel is a 3x3 square of one colour.
  const QImage Shown = Play->pnlScreens->grab().toImage();
  const int Y0 = (ScreenHeight + 4) * 3;
  for (int x = 30; x < 40; ++x)
    for (int d = 0; d < 3; ++d)
      ASSERT_EQ(Shown.pixel(3 * x + d, Y0 + 3 * 26 + d), Play->Frame().pixel(x, ScreenHeight + 26));
}

// Game | Play starts at the level selected in the tree, with the game as it
// is, unsaved edits included; a second Play takes the edits since.
TEST(PlayFromMainWindow, StartsAtTheSelectedLevel) {
  TScriptedDialogs Dialogs;
  TfrmMain Main;
  ASSERT_TRUE(Main.OpenGameFile(LVK_EXAMPLES "/Sample.lvk"));
  Main.SelectNode(Main.NodeOf(Main.Game().GetLevel(1)));
  Main.mnuPlay->trigger();
  ASSERT_NE(Main.PlayWindow(), nullptr);
  EXPECT_TRUE(Main.PlayWindow()->isVisible());
  EXPECT_EQ(Main.PlayWindow()->Engine().level, 1);
  EXPECT_EQ(Main.mnuPlay->shortcut(), QKeySequence(Qt::Key_F5));

  test::Edit(Main.Game(), [&] { Main.Game().GetLevel(0)->SetName("lMeadow"); });
  Main.SelectNode(Main.GameNode());
  Main.mnuPlay->trigger();
  EXPECT_EQ(Main.PlayWindow()->Engine().level, 0);
  EXPECT_TRUE(Main.PlayWindow()->lblStatus->text().startsWith("Level 1 of 3: lMeadow"));
  Main.PlayWindow()->close();  // gone, and Play makes a new one
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Main.PlayWindow(), nullptr);

  // A new game has nothing to play, and says so as the DS would.
  test::ClearModified(Main.Game());
  Main.mnuNewClick();
  Main.mnuPlay->trigger();
  ASSERT_NE(Main.PlayWindow(), nullptr);
  EXPECT_EQ(Main.PlayWindow()->Engine().level, -1);
  EXPECT_TRUE(Main.PlayWindow()->lblStatus->text().startsWith("No level"));
}

// The main window's F5 (Play) and Ctrl+N (New) do not swallow the play
// window's own Restart and Next level while the play window is active.
TEST(PlayFromMainWindow, ThePlayWindowsOwnKeysWin) {
  TScriptedDialogs Dialogs;
  TfrmMain Main;
  ASSERT_TRUE(Main.OpenGameFile(LVK_EXAMPLES "/Sample.lvk"));
  Main.show();
  Main.mnuPlay->trigger();
  TfrmPlay* Play = Main.PlayWindow();
  ASSERT_NE(Play, nullptr);
  Play->SetPaused(true);
  Play->activateWindow();
  QApplication::setActiveWindow(Play);
  Play->pnlScreens->setFocus();
  Play->RunFrames(10);
  QTest::keyClick(Play->pnlScreens, Qt::Key_F5);
  EXPECT_EQ(Play->Engine().frame, 0u);
  QTest::keyClick(Play->pnlScreens, Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(Play->Engine().level, 1);
  EXPECT_GT(Main.Game().LevelCount(), 1);  // no New in the main window
}

}  // namespace

namespace {

// Input reaches the engine frame by frame: a key pressed and let go between
// two frames is pressed in one and let go in the next; the lid has a key.
TEST_F(PlayWindow, KeysBetweenFramesAndTheLid) {
  Open();
  const TBlock Hero = Block(16, 24);
  QTest::keyPress(Play->pnlScreens, Qt::Key_Right);
  QTest::keyRelease(Play->pnlScreens, Qt::Key_Right);
  EXPECT_EQ(Play->Input().keys, 0);
  Play->RunFrames(1);  // pressed: one pixel
  EXPECT_EQ(Play->Engine().keys, LVK_KEY_RIGHT);
  Play->RunFrames(5);  // let go: he stops
  EXPECT_EQ(Play->Engine().keys, 0);
  EXPECT_EQ(Block(17, 24), Hero);
  // Keys that do not undo one another share a frame.
  QTest::keyPress(Play->pnlScreens, Qt::Key_Up);
  QTest::keyPress(Play->pnlScreens, Qt::Key_C);
  Play->RunFrames(1);
  EXPECT_EQ(Play->Engine().keys, LVK_KEY_UP | LVK_KEY_LID);
  EXPECT_TRUE(Play->lblKeys->text().contains("<b>Lid</b></td><td>C<"));
  EXPECT_TRUE(Play->lblKeys->toolTip().contains("lid is closed while C is held"));
}

// A window the main window owns (not a tool window, which would keep the
// owner's keys live beside its own), and zoom choices that fit the screen.
TEST_F(PlayWindow, StaysAboveItsOwnerAndZoomsAsFarAsTheScreenShows) {
  QWidget Owner;
  TfrmPlay Owned([]() -> const TGame* { return nullptr; }, &Owner);
  EXPECT_TRUE(Owned.isWindow());
  EXPECT_EQ(Owned.parentWidget(), &Owner);
  EXPECT_FALSE(Owned.windowFlags().testFlag(Qt::Tool));
  Open();
  EXPECT_FALSE(Play->windowFlags().testFlag(Qt::Tool));
  const int Fitting = Play->FittingScale();
  const QSize Room = Play->screen()->availableGeometry().size();
  Play->SetScale(Fitting);
  EXPECT_LE(Play->height(), Room.height());
  EXPECT_FALSE(Play->findChild<QAction*>("actZoomIn")->isEnabled());
  Play->findChild<QAction*>("actZoomIn")->trigger();
  EXPECT_EQ(Play->Scale(), Fitting);
  auto* Items = qobject_cast<QStandardItemModel*>(Play->cbxScale->model());
  ASSERT_NE(Items, nullptr);
  for (int S = 1; S <= TfrmPlay::MaxScale; ++S) EXPECT_EQ(Items->item(S - 1)->isEnabled(), S <= Fitting) << S;
  if (Fitting > 1) {
    Play->findChild<QAction*>("actZoomOut")->trigger();
    EXPECT_TRUE(Play->findChild<QAction*>("actZoomIn")->isEnabled());
  }
}

}  // namespace
