#include "tests/ds/UStressGame.h"

#include "behaviour/REventCollision.h"
#include "behaviour/REventCreate.h"
#include "behaviour/REventTimer.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "behaviour/UValueAction.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USound.h"
#include "model/UTile.h"
#include "model/UVariable.h"

namespace lvk {

namespace {

TActor& AddActor(TGame& Game, const std::string& Name, const std::string& Tile) {
  TActor* Actor = Game.AddActor();
  Actor->SetName(Name);
  Actor->SetTile(Game.FindTileByName(Tile));
  return *Actor;
}

void AddSpeed(THandler& Handler, const TActionKind& Kind, int Arg1, int Arg2, bool Relative) {
  auto* Action = static_cast<TActionSpeed*>(Handler.AddAction(Kind));
  Action->SetArg1(std::to_string(Arg1));
  Action->SetArg2(std::to_string(Arg2));
  Action->SetRelative(Relative);
}

THandler& OnCollision(TActor& Actor, TActor& Other, bool Overlap) {
  THandler* Handler = Actor.AddHandler();
  Handler->SetEvent(TEventCollision::ClassKind());
  auto* Event = static_cast<TEventCollision*>(Handler->Event());
  Event->SetOtherActor(Other);
  Event->SetOverlap(Overlap);
  return *Handler;
}

// A wall turns the ball's direction on one axis towards (Dx, Dy): two
// relative steps, whichever way it pointed.
void Bounce(TActor& Ball, TActor& Wall, int Dx, int Dy) {
  THandler& Handler = OnCollision(Ball, Wall, false);
  AddSpeed(Handler, TActionSetSpeedDir::ClassKind(), Dx, Dy, true);
  AddSpeed(Handler, TActionSetSpeedDir::ClassKind(), Dx, Dy, true);
}

TSound& AddSound(TGame& Game, const std::string& Name, const char* Preset) {
  TSound* Sound = Game.AddSound();
  Sound->SetName(Name);
  for (int p = 0; p < LVK_SYNTH_PRESET_COUNT; ++p)
    if (std::string(lvk_synth_presets[p].name) == Preset) Sound->SetPreset(p);
  return *Sound;
}

// Four frames of 2x2 tiles, turning A and B round, on a loop.
void Animate(TActor& Ball, TTile* A, TTile* B) {
  Ball.SetSize(16, 16);
  const int Spin = Ball.AddAnimation();
  Ball.SetAnimationName(Spin, "Spin");
  Ball.SetFrameLength(Spin, 4);
  Ball.SetFrameTiles(Spin, 0, {A, B, B, A});
  Ball.AddFrame(Spin, {B, A, A, B});
  Ball.AddFrame(Spin, {A, A, B, B});
  Ball.AddFrame(Spin, {B, B, A, A});
  THandler* Face = Ball.AddHandler();
  Face->SetEvent(TEventCreate::ClassKind());
  TActionBase* Mirror = Face->AddAction(TActionMirror::ClassKind());
  Mirror->SetValue(1, "1");
}

}  // namespace

void BuildStressGame(TGame& Game, const std::string& TilesFolder, TStress Kind) {
  const bool Sounds = Kind == TStress::Sounds, Rules = Kind == TStress::Rules, Scroll = Kind == TStress::Scroll,
             Sprites = Kind == TStress::Sprites;
  const int Columns = Scroll ? 256 : 32;
  const int Rows = Scroll ? 64 : 24;
  Game.SetTitle("Engine stress");
  for (const char* Name : {"Sky", "Brick", "Coin", "Gem"}) {
    TTile* Tile = Game.AddTile();
    Tile->SetName(Name);
    Tile->ImportBitmap(TilesFolder + "/" + Name + ".bmp");
  }
  if (Rules) {
    TVariable* Ticks = Game.AddVariable();
    Ticks->SetName("vTicks");
    Ticks->SetScope(TVariableScope::Instance);
  }
  TActor& Floor = AddActor(Game, "aFloor", "Sky");
  TActor& WallL = AddActor(Game, "aWallL", "Brick");
  TActor& WallR = AddActor(Game, "aWallR", "Brick");
  TActor& WallT = AddActor(Game, "aWallT", "Brick");
  TActor& WallB = AddActor(Game, "aWallB", "Brick");
  TActor& Post = AddActor(Game, "aPost", "Brick");
  TActor& Red = AddActor(Game, "aRed", "Coin");
  TActor& Blue = AddActor(Game, "aBlue", "Gem");
  TActor* Beeper = Sounds ? &AddActor(Game, "aBeeper", "Coin") : nullptr;
  TActor* Hero = Scroll ? &AddActor(Game, "aHero", "Coin") : nullptr;

  // The two kinds set off in opposite diagonals at different speeds, so
  // they keep crossing each other's paths; the beeper moves as a red ball.
  struct TKind {
    TActor* Ball;
    TActor& Other;
    int Sx, Sy, Dx, Dy;
  } const Kinds[] = {{&Red, Blue, 24, 16, 1, 1},
                     {&Blue, Red, 16, 24, -1, -1},
                     {Beeper, Blue, 24, 16, 1, 1},
                     {Hero, Blue, 40, 4, 1, 1}};
  for (TKind Kind : Kinds) {
    if (!Kind.Ball) continue;
    TActor& Ball = *Kind.Ball;
    THandler* Create = Ball.AddHandler();
    Create->SetEvent(TEventCreate::ClassKind());
    AddSpeed(*Create, TActionSetSpeedSize::ClassKind(), Kind.Sx, Kind.Sy, false);
    AddSpeed(*Create, TActionSetSpeedDir::ClassKind(), Kind.Dx, Kind.Dy, false);
    Bounce(Ball, WallL, 1, 0);
    Bounce(Ball, WallR, -1, 0);
    Bounce(Ball, WallT, 0, 1);
    Bounce(Ball, WallB, 0, -1);
    OnCollision(Ball, Post, false);       // slides round it
    OnCollision(Ball, Kind.Other, true);  // runs through it
    if (Rules) {
      THandler* Tick = Ball.AddHandler();
      Tick->SetEvent(TEventTimer::ClassKind());
      auto* Every = static_cast<TEventTimer*>(Tick->Event());
      Every->SetFrames(1);
      Every->SetRepeat(true);
      TActionBase* Guard = Tick->AddAction(TActionIfVariable::ClassKind());
      Guard->SetValue(0, "vTicks");
      Guard->SetValue(1, ">=");
      Guard->SetValue(2, "0");
      TActionBase* Add = Tick->AddAction(TActionSetVariable::ClassKind());
      Add->SetValue(0, "vTicks");
      Add->SetValue(1, "1");
      Add->SetValue(2, "1");
    }
  }

  if (Sprites) {
    Animate(Red, Game.FindTileByName("Coin"), Game.FindTileByName("Gem"));
    Animate(Blue, Game.FindTileByName("Gem"), Game.FindTileByName("Brick"));
  }

  if (Beeper) {
    AddSound(Game, "sCoin", "Coin");
    AddSound(Game, "sBlip", "Blip");
    THandler* Timer = Beeper->AddHandler();
    Timer->SetEvent(TEventTimer::ClassKind());
    auto* Every = static_cast<TEventTimer*>(Timer->Event());
    Every->SetFrames(15);
    Every->SetRepeat(true);
    Timer->AddAction(TActionPlaySound::ClassKind())->SetValue(0, "sCoin");
    Timer->AddAction(TActionPlaySound::ClassKind())->SetValue(0, "sBlip");
  }

  TLevel* Level = Game.AddLevel();
  Level->SetName("lStress");
  if (Beeper) Level->SetMusic(&AddSound(Game, "sTune", "Power-up"));
  Level->SetSize(Columns, Rows);
  int Placed = 0;
  for (int Row = 0; Row < Rows; ++Row)
    for (int Column = 0; Column < Columns; ++Column) {
      TActor* Cell = &Floor;
      if (Column == 0) Cell = &WallL;
      else if (Column == Columns - 1) Cell = &WallR;
      else if (Row == 0) Cell = &WallT;
      else if (Row == Rows - 1) Cell = &WallB;
      // 16x16 balls two cells apart, 128 of them from the top left.
      else if (Sprites)
        Cell = Row % 2 == 0 && Column % 2 == 0 && Placed++ < 128 ? ((Row + Column) / 2 % 2 ? &Blue : &Red) : &Floor;
      else if ((Row == 4 || Row == 19) && Column % 8 == 4) Cell = &Post;
      // 8 rows of 16 balls, red and blue in a checkerboard: 128 in all.
      else if (Row == 8 && Column == 8 && Beeper) Cell = Beeper;
      else if (Row == 8 && Column == 8 && Hero) Cell = Hero;
      else if (!Scroll && Row >= 8 && Row < 16 && Column >= 8 && Column < 24) Cell = (Row + Column) % 2 ? &Blue : &Red;
      // Along the wide level: 8 rows of 16 balls, 15 columns apart.
      else if (Scroll && Row >= 8 && Row < 16 && Column >= 8 && (Column - 8) % 15 == 0 && Column < 8 + 16 * 15)
        Cell = (Row + (Column - 8) / 15) % 2 ? &Blue : &Red;
      Level->SetCell(Column, Row, Cell);
    }
  if (Hero) {
    TLevelCamera Camera;
    Camera.Follow = Hero;
    Camera.DeadWidth = 64;
    Camera.DeadHeight = 48;
    Level->SetCamera(Camera);
  }
}

}  // namespace lvk
