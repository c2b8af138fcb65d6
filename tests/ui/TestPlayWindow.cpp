// The play window: its console and frame drawing alone, then the real window
// driven with keys and the pen on the sample game.
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <vector>

#include "TScriptedDialogs.h"
#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventCreate.h"
#include "behaviour/REventKey.h"
#include "behaviour/UAction.h"
#include "build/UBuildLog.h"
#include "build/UGameTables.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UTile.h"
#include "ui/FPlay.h"
#include "ui/UPlayConsole.h"
#include "ui/UPlayRender.h"

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
  std::vector<lvk_actor_t> Actors{{1, 0, 1}};
  std::vector<lvk_handler_t> Handlers{{LVK_EVENT_CREATE, 0, 0, 0, 0, 0}};
  std::vector<lvk_level_t> Levels{{0, 2}};
  std::vector<lvk_spawn_t> Spawns{{0, 0, 0}, {0, 31, 23}};
  std::vector<std::uint16_t> Scenery = std::vector<std::uint16_t>(LVK_LEVEL_CELLS, LVK_NONE);
  lvk_game_t Game{2, 1, 1, 0, 1, 2, Actors.data(), Handlers.data(), nullptr, Levels.data(), Spawns.data(),
                  Scenery.data()};
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
}

// ---- The window ----

constexpr QRgb Red = qRgb(255, 0, 0), Yellow = qRgb(255, 255, 0), Blue = qRgb(0, 0, 255);

void AddAction(THandler& Handler, const TActionKind& Kind, const char* Arg1 = "", const char* Arg2 = "",
               bool Relative = false) {
  auto* Action = Handler.AddAction(Kind);
  if (auto* Speed = dynamic_cast<TActionSpeed*>(Action)) {
    Speed->SetArg1(Arg1);
    Speed->SetArg2(Arg2);
    Speed->SetRelative(Relative);
  }
}

THandler& AddHandler(TActor& Actor, const TEventKind& Kind) {
  THandler& Handler = *Actor.AddHandler();
  Handler.SetEvent(Kind);
  return Handler;
}

// A hero that walks right while Right is held, a coin that vanishes when
// the hero touches it and a flag that goes to the next level, on two levels.
struct PlayWindow : ::testing::Test {
  TScriptedDialogs Dialogs;
  test::TTempDir Dir;
  TGame Game;
  std::unique_ptr<TfrmPlay> Play;

  TActor* Actor(const char* Name, std::uint32_t Color) {
    const std::string File = Dir.File(std::string(Name) + ".bmp");
    test::SolidBitmap(8, 8, 24, Color).SaveToFile(File);
    TTile* Tile = Game.AddTile();
    Tile->ImportBitmap(File);
    TActor* A = Game.AddActor();
    A->SetName(Name);
    A->SetTile(Tile);
    return A;
  }

  void SetUp() override {
    TActor* Hero = Actor("Hero", 0x0000FF);
    TActor* Coin = Actor("Coin", 0x00FFFF);
    TActor* Flag = Actor("Flag", 0xFF0000);
    AddAction(AddHandler(*Hero, TEventCreate::ClassKind()), TActionSetSpeedSize::ClassKind(), "16", "16");
    for (bool Press : {true, false}) {
      THandler& OnKey = AddHandler(*Hero, TEventKey::ClassKind());
      auto* Key = static_cast<TEventKey*>(OnKey.Event());
      Key->SetKeys(LVK_KEY_RIGHT);
      Key->SetPress(Press);
      AddAction(OnKey, TActionSetSpeedDir::ClassKind(), Press ? "1" : "-1", "0", true);
    }
    THandler& Touched = AddHandler(*Coin, TEventCollision::ClassKind());
    static_cast<TEventCollision*>(Touched.Event())->SetOtherActor(*Hero);
    AddAction(Touched, TActionDestroy::ClassKind());
    THandler& Reached = AddHandler(*Flag, TEventCollision::ClassKind());
    static_cast<TEventCollision*>(Reached.Event())->SetOtherActor(*Hero);
    AddAction(Reached, TActionNextLevel::ClassKind());
    for (const char* Name : {"Meadow", "Cave"}) {
      TLevel* Level = Game.AddLevel();
      Level->SetName(Name);
      Level->SetSize(32, 24);
      Level->SetCell(2, 2, Hero);
    }
    Game.GetLevel(0)->SetCell(5, 2, Coin);
    Game.GetLevel(0)->SetCell(10, 2, Flag);
    Game.GetLevel(1)->SetCell(2, 20, Hero);
    Game.SetTitle("Walk");
  }

  void Open(int Level = 0) {
    Play = std::make_unique<TfrmPlay>([this]() -> const TGame* { return &Game; });
    Play->Play(Level);
    Play->SetPaused(true);  // the test steps the frames itself
    Play->show();
    Play->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Play.get()));
  }
  // A pixel of the lower screen as last drawn.
  QRgb Lower(int X, int Y) const { return Play->Frame().pixel(X, ScreenHeight + Y) & 0xFFFFFF; }
  QRgb Upper(int X, int Y) const { return Play->Frame().pixel(X, Y) & 0xFFFFFF; }
  void Press(Qt::Key Key) { QTest::keyPress(Play->pnlScreens, Key); }
  void Release(Qt::Key Key) { QTest::keyRelease(Play->pnlScreens, Key); }
};

TEST_F(PlayWindow, KeysMoveThePlayerCoinsVanishFlagsChangeTheLevel) {
  Open();
  EXPECT_EQ(Play->windowTitle(), "Lurvik play");
  EXPECT_TRUE(Play->lblKeys->text().contains("Backspace, Shift"));
  EXPECT_EQ(Lower(16, 16), Red & 0xFFFFFF);
  EXPECT_EQ(Lower(40, 16), Yellow & 0xFFFFFF);
  EXPECT_EQ(Lower(80, 16), Blue & 0xFFFFFF);
  // Palette entry 0 behind everything, as the DS shows it.
  const QRgb Backdrop = DsColorToRgb(DsColor(Game.Palette(), 0)) & 0xFFFFFF;
  EXPECT_EQ(Lower(100, 100), Backdrop);
  // The start text in our own letters: ink on the welcome line, none above.
  auto Ink = [&](int Row) {
    int Count = 0;
    for (int y = Row * 8; y < Row * 8 + 8; ++y)
      for (int x = 0; x < ScreenWidth; ++x) Count += Upper(x, y) != 0;
    return Count;
  };
  EXPECT_EQ(Ink(0), 0);
  EXPECT_GT(Ink(1), 100);
  EXPECT_TRUE(Play->lblStatus->text().startsWith("Level 1 of 2: Meadow")) << Play->lblStatus->text().toStdString();

  // Held Right: one pixel a frame; let go, the hero stops.
  Press(Qt::Key_Right);
  Play->RunFrames(10);
  Release(Qt::Key_Right);
  Play->RunFrames(5);
  EXPECT_EQ(Lower(16, 16), Backdrop);
  EXPECT_EQ(Lower(26, 16), Red & 0xFFFFFF);
  EXPECT_EQ(Lower(33, 16), Red & 0xFFFFFF);
  EXPECT_EQ(Lower(34, 16), Backdrop);
  EXPECT_TRUE(Play->lblStatus->text().contains("Frame 15   Live 3")) << Play->lblStatus->text().toStdString();

  // On into the coin, which is gone once the hero has walked over it.
  Press(Qt::Key_Right);
  Play->RunFrames(24);
  EXPECT_EQ(Lower(40, 16), Backdrop);
  EXPECT_EQ(Lower(47, 16), Backdrop);
  EXPECT_TRUE(Play->lblStatus->text().contains("Live 2")) << Play->lblStatus->text().toStdString();

  // The flag: the next level, its hero lower down.
  Play->RunFrames(30);
  EXPECT_TRUE(Play->lblStatus->text().startsWith("Level 2 of 2: Cave")) << Play->lblStatus->text().toStdString();
  EXPECT_EQ(Lower(80, 16), Backdrop);
  EXPECT_EQ(Lower(16, 160), Red & 0xFFFFFF);
}

}  // namespace
