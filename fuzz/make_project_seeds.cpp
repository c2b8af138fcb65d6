// Writes the project seeds that hold the sections after the levels, with the
// program's own writer, so that they are byte for byte what it saves: a
// game with variables of both scopes and a solid actor ("[TVariables]"), one
// with made and imported sounds and a level's music ("[TSounds]"), and one
// with both, whose handlers hold every event and action kind, and a level
// bigger than a screen whose camera follows the hero ("[TCameras]"), and one
// with a song that a level plays ("[TSongs]"). The save
// counter and editing time are written as 0, so the seeds are the same on
// every run. make_seeds.py runs it.
//
//   make_project_seeds FOLDER
#include <cstdint>
#include <exception>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "behaviour/REventCollision.h"
#include "behaviour/REventCreate.h"
#include "behaviour/REventDestroy.h"
#include "behaviour/REventKey.h"
#include "behaviour/REventKeyHeld.h"
#include "behaviour/REventOutside.h"
#include "behaviour/REventTimer.h"
#include "behaviour/REventTouch.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "behaviour/UValueAction.h"
#include "model/UActor.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USong.h"
#include "model/USound.h"
#include "model/UTile.h"
#include "model/UVariable.h"

using namespace lvk;

namespace {

using TValues = std::vector<std::string>;

THandler* AddHandler(TActor& Actor, const TEventKind& Kind) {
  THandler* Handler = Actor.AddHandler();
  Handler->SetEvent(Kind);
  return Handler;
}

template <typename TEvent>
TEvent& EventOf(THandler& Handler) {
  return *static_cast<TEvent*>(Handler.Event());
}

void AddAction(THandler& Handler, const TActionKind& Kind, const TValues& Values) {
  TActionBase* Action = Handler.AddAction(Kind);
  for (std::size_t i = 0; i < Values.size(); ++i) Action->SetValue(static_cast<int>(i), Values[i]);
}

// A tile, a hero and a solid wall on a level of 4 by 3 cells.
struct TSeedGame {
  TGame Game;
  TTile* Tile;
  TActor* Hero;
  TActor* Wall;
  TLevel* Level;

  TSeedGame() {
    Game.SetTitle("Seed");
    Game.Palette().DeleteRange(4, Game.Palette().Count() - 1);
    Tile = Game.AddTile();
    Tile->SetName("tBlock");
    Hero = Game.AddActor();
    Hero->SetName("aHero");
    Hero->SetTile(Tile);
    Wall = Game.AddActor();
    Wall->SetName("aWall");
    Wall->SetTile(Tile);
    Level = Game.AddLevel();
    Level->SetName("lOne");
    Level->SetSize(4, 3);
    Level->SetCell(1, 1, Hero);
    for (int Column = 0; Column < 4; ++Column) Level->SetCell(Column, 2, Wall);
  }

  // Variables of both scopes, the wall solid, and handlers with the event
  // and action kinds of games with rules.
  void AddRules() {
    Wall->SetSolid(true);
    TVariable* Score = Game.AddVariable();
    Score->SetName("vScore");
    Score->SetInitial(-100000);  // a 32-bit integer
    TVariable* Lives = Game.AddVariable();
    Lives->SetName("vLives");
    Lives->SetInitial(3);
    Lives->SetScope(TVariableScope::Instance);

    THandler* Timer = AddHandler(*Hero, TEventTimer::ClassKind());
    EventOf<TEventTimer>(*Timer).SetFrames(90);
    EventOf<TEventTimer>(*Timer).SetRepeat(true);
    AddAction(*Timer, TActionIfVariable::ClassKind(), {"vScore", ">=", "10"});
    AddAction(*Timer, TActionSetVariable::ClassKind(), {"vScore", "vLives", "1"});
    AddAction(*Timer, TActionShowText::ClassKind(), {"2", "Score {vScore}, lives {vLives} \xE2\x99\xA5"});
    AddAction(*Timer, TActionSpawn::ClassKind(), {"aWall", "8", "-8"});
    AddAction(*Timer, TActionIfCount::ClassKind(), {"aWall", "<>", "0"});
    AddAction(*Timer, TActionIfChance::ClassKind(), {"4"});
    AddAction(*Timer, TActionGoToLevel::ClassKind(), {"1"});

    THandler* Held = AddHandler(*Hero, TEventKeyHeld::ClassKind());
    EventOf<TEventKeyHeld>(*Held).SetKeys(0x0030);
    AddAction(*Held, TActionIfKeyHeld::ClassKind(), {"3"});
    AddAction(*Held, TActionMoveToward::ClassKind(), {"aWall", "vScore"});
    AddAction(*Held, TActionSetTile::ClassKind(), {"tBlock"});

    THandler* Solid = AddHandler(*Hero, TEventCollision::ClassKind());
    EventOf<TEventCollision>(*Solid).SetAnySolid();
    EventOf<TEventCollision>(*Solid).SetOverlap(false);
    AddAction(*Solid, TActionBounce::ClassKind(), {"1", "0"});

    THandler* Long = AddHandler(*Wall, TEventTimer::ClassKind());
    EventOf<TEventTimer>(*Long).SetFrames(TEventTimer::MaxFrames);
    AddAction(*Long, TActionRestartGame::ClassKind(), {});
  }

  // A made and an imported sound, the level's music and a PlaySound.
  void AddSounds() {
    TSound* Coin = Game.AddSound();
    Coin->SetName("sCoin");
    Coin->SetPreset(0);
    TSound* Drum = Game.AddSound();
    Drum->SetName("sDrum");
    Drum->SetImported({0, 40, 80, 120, -120, -80, -40, 0, 10, -10});  // padded to 12
    TSound* Tune = Game.AddSound();
    Tune->SetName("sTune");
    Tune->SetPreset(LVK_SYNTH_PRESET_COUNT - 1);
    Level->SetMusic(Tune);
    THandler* Key = AddHandler(*Hero, TEventKey::ClassKind());
    EventOf<TEventKey>(*Key).SetPress(true);
    AddAction(*Key, TActionPlaySound::ClassKind(), {"sCoin"});
    AddAction(*Key, TActionPlaySound::ClassKind(), {"sDrum"});
  }

  // A song on two channels over two patterns, every effect once, naming
  // two sounds (one with a base note and a loop); the level plays it.
  void AddSong() {
    TSound* Bass = Game.AddSound();
    Bass->SetName("sBass");
    Bass->SetBaseNote(25);
    Bass->SetLoop(1000, 2000);
    TSound* Lead = Game.AddSound();
    Lead->SetName("sLead");
    TSong* Song = Game.AddSong();
    Song->SetName("mSeed");
    TSongData D = Song->Data();
    D.Channels = 2;
    D.Patterns = {EmptyPattern(16), EmptyPattern(32)};
    for (int Effect = 0; Effect < LVK_SEQ_FX_COUNT; ++Effect)
      D.Patterns[0].At(Effect, Effect % 2) = {static_cast<std::uint8_t>(20 + Effect), Effect % 2 ? Lead->Id() : Bass->Id(),
                                              static_cast<std::int8_t>(Effect), static_cast<std::uint8_t>(Effect), 0x21};
    D.Patterns[1].At(31, 1).Note = NoteOff;
    D.Orders = {0, 1, 0};
    D.Loop = 1;
    Song->SetData(D);
    Level->SetSong(Song);
  }

  // The first kinds too, each event and action at least once.
  // A second level of 40x30 cells whose camera follows the hero with a dead
  // zone, across only.
  void AddCamera() {
    TLevel* Wide = Game.AddLevel();
    Wide->SetName("lWide");
    Wide->SetSize(40, 30);
    Wide->SetCell(39, 29, Hero);
    TLevelCamera Camera;
    Camera.Follow = Hero;
    Camera.DeadWidth = 32;
    Camera.DeadHeight = 16;
    Camera.LockY = true;
    Wide->SetCamera(Camera);
  }

  void AddTheFirstKinds() {
    THandler* Create = AddHandler(*Hero, TEventCreate::ClassKind());
    AddAction(*Create, TActionSetSpeedSize::ClassKind(), {"16", "vLives", "0"});
    AddAction(*Create, TActionSetSpeedDir::ClassKind(), {"-1", "+1", "1"});
    THandler* Touch = AddHandler(*Hero, TEventTouch::ClassKind());
    EventOf<TEventTouch>(*Touch).SetAreas(0x01FF);
    AddAction(*Touch, TActionDestroy::ClassKind(), {});
    THandler* Outside = AddHandler(*Hero, TEventOutside::ClassKind());
    EventOf<TEventOutside>(*Outside).SetAreas(0x81);
    AddAction(*Outside, TActionNextLevel::ClassKind(), {});
    THandler* Bump = AddHandler(*Hero, TEventCollision::ClassKind());
    EventOf<TEventCollision>(*Bump).SetOtherActor(*Wall);
    AddHandler(*Wall, TEventDestroy::ClassKind());
    THandler* Key = AddHandler(*Wall, TEventKey::ClassKind());
    EventOf<TEventKey>(*Key).SetKeys(0xFFFF);  // beyond the named keys: an Int32
    TLevel* Two = Game.AddLevel();
    Two->SetName("lTwo");
    Two->SetSize(2, 2);
    Two->SetCell(0, 0, Wall);
  }
};

void Write(const std::string& Folder, const std::string& Name, const TSeedGame& Seed) {
  const std::vector<std::uint8_t> Bytes = Seed.Game.ContentBytes();
  const std::string Path = Folder + "/" + Name;
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
  if (!Out.flush()) throw std::runtime_error("cannot write " + Path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_project_seeds FOLDER\n";
    return 64;
  }
  try {
    RegisterKinds();
    const std::string Folder = argv[1];
    {
      TSeedGame Seed;
      Seed.AddRules();
      Write(Folder, "rules.lvk", Seed);
    }
    {
      TSeedGame Seed;
      Seed.AddSounds();
      Write(Folder, "sounds.lvk", Seed);
    }
    {
      TSeedGame Seed;
      Seed.AddRules();
      Seed.AddSounds();
      Seed.AddTheFirstKinds();
      Write(Folder, "rules_and_sounds.lvk", Seed);
    }
    {
      TSeedGame Seed;
      Seed.AddCamera();
      Write(Folder, "cameras.lvk", Seed);
    }
    {
      TSeedGame Seed;
      Seed.AddSong();
      Write(Folder, "songs.lvk", Seed);
    }
  } catch (const std::exception& E) {
    std::cerr << "make_project_seeds: " << E.what() << "\n";
    return 1;
  }
  UnregisterKinds();
  return 0;
}
