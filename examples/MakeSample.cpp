// Builds the sample game from the tile pictures and writes it as a project
// file: a top-down walk through two walled gardens in the clouds, seen from
// above. The hero walks with the D-pad, bricks, water, hedges and trees stop
// him, coins and gems vanish when he reaches them, purple blobs patrol
// between two bricks, and the flag leads to the next garden.
//
//   lurvik_make_sample OUTPUT.lvk TILES_FOLDER
#include <cstdint>
#include <exception>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "behaviour/REventCollision.h"
#include "behaviour/REventCreate.h"
#include "behaviour/REventKey.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UClock.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UPalette.h"
#include "model/UTile.h"

using namespace lvk;

namespace {

constexpr int LevelWidth = 32;
constexpr int LevelHeight = 24;

// Tile names; each is also the BMP file's name in the tiles folder.
const char* const TileNames[] = {"Sky",  "CloudLeft", "CloudRight", "Grass", "Earth",  "Brick", "Water", "Sea",
                                 "Coin", "Hero",      "Blob",       "Gem",   "Trunk", "Leaves", "Flag"};

// The sky's colour, also the game's colour 0: the background shows it where
// a live actor (drawn as a sprite, which can move away) was placed, and
// every live actor's picture stands on the sky, so none shows a box round it.
constexpr TColor SkyColor = RGB(102, 204, 255);

// One letter of a level picture -> the actor in that cell, drawn with the
// tile named. Two actors may share a tile: the blobs' walls are bricks.
struct TCellKind {
  char Letter;
  const char* Actor;
  const char* Tile;
};
const TCellKind CellKinds[] = {
    {'.', "aSky", "Sky"},       {'(', "aCloudLeft", "CloudLeft"}, {')', "aCloudRight", "CloudRight"},
    {'#', "aBrick", "Brick"},   {'[', "aWallL", "Brick"},         {']', "aWallR", "Brick"},
    {'~', "aWater", "Water"},   {'=', "aSea", "Sea"},             {'@', "aLeaves", "Leaves"},
    {'|', "aTrunk", "Trunk"},   {'G', "aGrass", "Grass"},         {'E', "aEarth", "Earth"},
    {'o', "aCoin", "Coin"},     {'*', "aGem", "Gem"},             {'H', "aHero", "Hero"},
    {'b', "aBlob", "Blob"},     {'F', "aFlag", "Flag"},
};

// The hero cannot pass these; the others (sky, clouds) are floor.
const char* const Obstacles[] = {"aBrick", "aWallL", "aWallR", "aWater", "aSea",
                                 "aLeaves", "aTrunk", "aGrass", "aEarth", "aBlob"};

// The first level: a brick garden with a pond and trees. Walking right from
// the start collects four coins and ends at a wall; down to the bottom wall,
// past a patrolling blob, and right again leads over coins to the flag.
const char* const Garden[LevelHeight] = {
    "################################",
    "#..............#...............#",
    "#..............#.....().....o..#",
    "#.H...oooo.....#...............#",
    "#..............#...@@@.........#",
    "#..............#...@@@...o.....#",
    "#......@@@.........@@@.........#",
    "#......@@@.....................#",
    "#.......|......######.##########",
    "#...~~~~~......#...............#",
    "#...=====......#...o...o...o...#",
    "#...=====......#...............#",
    "#..............#...............#",
    "#..o.o.........#......@@@......#",
    "#..............#......@@@......#",
    "#..............#.......|.......#",
    "#..............................#",
    "#..............[...b.........].#",
    "#..............................#",
    "#...().........................#",
    "#..............................#",
    "#..............................#",
    "#.........o...o...o..........F.#",
    "################################",
};

// The second level: rooms and corridors round a hill and two ponds, a gem in
// the top corner and two blobs on patrol.
const char* const Park[LevelHeight] = {
    "################################",
    "#H.....#.........o.......#.....#",
    "#......#.................#..*..#",
    "#..o...#...@@@.....~~~~..#.....#",
    "#......#...@@@.....====..##.####",
    "#..o...#...@@@.....====........#",
    "#...........|..................#",
    "#..o...#.......................#",
    "####.###########[.....b......].#",
    "#..............#...............#",
    "#..()..........#...o.......o...#",
    "#..............#.......()......#",
    "#...GGGGGG.....#...............#",
    "#...EEEEEE.....#####.#######.###",
    "#...EEEEEE.....................#",
    "#...........o..................#",
    "#..@@@.........#...............#",
    "#..@@@.........#..~~~~~~~~.....#",
    "#...|....o.....#..========..o..#",
    "#..............#..========.....#",
    "#.[........b........].........F#",
    "#..............#...............#",
    "#......o.......#...............#",
    "################################",
};

// Arguments are whole numbers: a speed in 1/16 pixel a frame, a direction as
// the signs of x and y (y grows downwards).
THandler* AddHandler(TActor& Actor, const TEventKind& Kind) {
  THandler* Handler = Actor.AddHandler();
  Handler->SetEvent(Kind);
  return Handler;
}

void AddSpeed(THandler& Handler, const TActionKind& Kind, int Arg1, int Arg2, bool Relative) {
  auto* Action = static_cast<TActionSpeed*>(Handler.AddAction(Kind));
  Action->SetArg1(std::to_string(Arg1));
  Action->SetArg2(std::to_string(Arg2));
  Action->SetRelative(Relative);
}

void SetSpeedSize(THandler& Handler, int Arg1, int Arg2, bool Relative) {
  AddSpeed(Handler, TActionSetSpeedSize::ClassKind(), Arg1, Arg2, Relative);
}

void SetSpeedDir(THandler& Handler, int Arg1, int Arg2, bool Relative) {
  AddSpeed(Handler, TActionSetSpeedDir::ClassKind(), Arg1, Arg2, Relative);
}

THandler* OnKey(TActor& Actor, const std::string& Key, bool Press) {
  THandler* Handler = AddHandler(Actor, TEventKey::ClassKind());
  auto* Event = static_cast<TEventKey*>(Handler->Event());
  Event->SetKeys(static_cast<std::uint16_t>(1u << TEventKey::IndexOfKey(Key)));
  Event->SetPress(Press);
  return Handler;
}

THandler* OnCollision(TActor& Actor, TActor& Other, bool Overlap) {
  THandler* Handler = AddHandler(Actor, TEventCollision::ClassKind());
  auto* Event = static_cast<TEventCollision*>(Handler->Event());
  Event->SetOtherActor(Other);
  Event->SetOverlap(Overlap);
  return Handler;
}

void Destroy(THandler& Handler) { Handler.AddAction(TActionDestroy::ClassKind()); }

void NextLevelOn(THandler& Handler) { Handler.AddAction(TActionNextLevel::ClassKind()); }

// One D-pad direction (Dx, Dy) of the hero. Each axis's speed counts the
// keys held on it (16, one pixel a frame, per key) and its direction follows
// the key pressed or still held: two relative steps turn it all the way,
// whichever way it pointed. So a key held while a level starts, and let go
// in it, cannot leave the hero drifting or a key dead.
void WalkKey(TActor& Hero, const std::string& Key, int Dx, int Dy) {
  THandler* Press = OnKey(Hero, Key, true);
  SetSpeedSize(*Press, 16 * Dx * Dx, 16 * Dy * Dy, true);
  SetSpeedDir(*Press, Dx, Dy, true);
  SetSpeedDir(*Press, Dx, Dy, true);
  THandler* Release = OnKey(Hero, Key, false);
  SetSpeedSize(*Release, -16 * Dx * Dx, -16 * Dy * Dy, true);
  SetSpeedDir(*Release, -Dx, -Dy, true);
  SetSpeedDir(*Release, -Dx, -Dy, true);
}

void GiveBehaviour(TGame& Game) {
  auto Actor = [&Game](const char* Name) -> TActor& { return *Game.FindActorByName(Name); };
  TActor& Hero = Actor("aHero");
  TActor& Blob = Actor("aBlob");

  WalkKey(Hero, ">", 1, 0);
  WalkKey(Hero, "<", -1, 0);
  WalkKey(Hero, "^", 0, -1);
  WalkKey(Hero, "v", 0, 1);
  // Repel alone stops him; these handlers need no action.
  for (const char* Obstacle : Obstacles) OnCollision(Hero, Actor(Obstacle), false);
  NextLevelOn(*OnCollision(Hero, Actor("aFlag"), true));

  // Coins and gems vanish when the hero reaches them.
  Destroy(*OnCollision(Actor("aCoin"), Hero, true));
  Destroy(*OnCollision(Actor("aGem"), Hero, true));

  // Blobs set off right at half the hero's speed and turn round at the
  // bricks that end their beat; the hero in the way makes them wait.
  THandler* Create = AddHandler(Blob, TEventCreate::ClassKind());
  SetSpeedSize(*Create, 8, 0, false);
  SetSpeedDir(*Create, 1, 0, false);
  SetSpeedDir(*OnCollision(Blob, Actor("aWallR"), false), -1, 0, false);
  SetSpeedDir(*OnCollision(Blob, Actor("aWallL"), false), 1, 0, false);
  OnCollision(Blob, Hero, false);
}

void FillLevel(TGame& Game, const std::string& Name, const char* const (&Rows)[LevelHeight]) {
  std::map<char, TActor*> ByLetter;
  for (const TCellKind& Kind : CellKinds) ByLetter[Kind.Letter] = Game.FindActorByName(Kind.Actor);
  TLevel* Level = Game.AddLevel();
  Level->SetName(Name);
  Level->SetSize(LevelWidth, LevelHeight);
  for (int Row = 0; Row < LevelHeight; ++Row) {
    std::string Line = Rows[Row];
    if (Line.size() != LevelWidth) throw EGame(Name + ": row " + std::to_string(Row) + " is not 32 cells");
    for (int Column = 0; Column < LevelWidth; ++Column) {
      auto Found = ByLetter.find(Line[Column]);
      if (Found == ByLetter.end()) throw EGame(Name + ": unknown cell letter '" + Line[Column] + "'");
      Level->SetCell(Column, Row, Found->second);
    }
  }
}

void Build(TGame& Game, const std::string& TilesFolder) {
  Game.SetTitle("Lurvik Sample");
  Game.Palette().SetEntryColor(0, SkyColor);
  for (const char* Name : TileNames) {
    TTile* Tile = Game.AddTile();
    Tile->SetName(Name);
    Tile->ImportBitmap(TilesFolder + "/" + Name + ".bmp");
  }
  for (const TCellKind& Kind : CellKinds) {
    TActor* Actor = Game.AddActor();
    Actor->SetName(Kind.Actor);
    Actor->SetTile(Game.FindTileByName(Kind.Tile));
  }
  GiveBehaviour(Game);
  FillLevel(Game, "lGarden", Garden);
  FillLevel(Game, "lPark", Park);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: " << argv[0] << " OUTPUT.lvk TILES_FOLDER\n";
    return 2;
  }
  RegisterKinds();
  // A clock that stands still: the file records no editing time, so the same
  // pictures always give the same bytes.
  SetClock([] { return 45658.5; });
  int Result = 0;
  try {
    TGame Game;
    Build(Game, argv[2]);
    Game.SetFileName(argv[1]);
    Game.Save();
  } catch (const std::exception& E) {
    std::cerr << argv[0] << ": " << E.what() << "\n";
    Result = 1;
  }
  UnregisterKinds();
  return Result;
}
