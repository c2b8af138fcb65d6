// Builds the sample game from the tile pictures and writes it as a project
// file: a hero who runs and jumps, coins and a gem to collect, blobs that
// patrol, and two levels, a meadow and an island sea.
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
#include "behaviour/REventOutside.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UClock.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UTile.h"

using namespace lvk;

namespace {

constexpr int LevelWidth = 32;
constexpr int LevelHeight = 24;

// Tile names; each is also the BMP file's name in the tiles folder.
const char* const TileNames[] = {"Sky",  "CloudLeft", "CloudRight", "Grass", "Earth",  "Brick", "Water", "Sea",
                                 "Coin", "Hero",      "Blob",       "Gem",   "Trunk", "Leaves", "Flag"};

// One letter of a level picture -> the actor in that cell, drawn with the
// tile of the same name.
struct TCellKind {
  char Letter;
  const char* Actor;
  const char* Tile;
};
const TCellKind CellKinds[] = {
    {'.', "aSky", "Sky"},       {'(', "aCloudLeft", "CloudLeft"}, {')', "aCloudRight", "CloudRight"},
    {'G', "aGrass", "Grass"},   {'E', "aEarth", "Earth"},         {'#', "aBrick", "Brick"},
    {'~', "aWater", "Water"},   {'=', "aSea", "Sea"},             {'o', "aCoin", "Coin"},
    {'H', "aHero", "Hero"},     {'b', "aBlob", "Blob"},           {'*', "aGem", "Gem"},
    {'|', "aTrunk", "Trunk"},   {'@', "aLeaves", "Leaves"},       {'F', "aFlag", "Flag"},
};

// The first level: a meadow with trees, a pond and floating brick ledges.
const char* const Meadow[LevelHeight] = {
    "................................",
    "..().............()........()...",
    "..........()....................",
    "................................",
    "................................",
    "........................*.......",
    "......................#####.....",
    "................................",
    "..............oooo..............",
    ".............######.............",
    "................................",
    "....ooo.........................",
    "...#####...............ooo......",
    "......................#####.....",
    "................................",
    "..@@@.....................@@@...",
    "..@@@.......o..o..........@@@...",
    "...|.......#######.........|....",
    "H..|....b...........b......|..F.",
    "GGGGGGGGGGGGG~~~~~GGGGGGGGGGGGGG",
    "EEEEEEEEEEEEE=====EEEEEEEEEEEEEE",
    "EEEEEEEEEEEEEE===EEEEEEEEEEEEEEE",
    "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",
    "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",
};

// The second level: islands in the sea, a brick tower and stepping stones.
const char* const Islands[LevelHeight] = {
    "................................",
    ".....()..................().....",
    "..................()............",
    "...........................*....",
    "..........................###...",
    "................................",
    "....................ooo.........",
    "...................#####........",
    "................................",
    "..........ooo............o.o....",
    ".........#####..........#####...",
    "...................b.....###....",
    "..o.o.............#####..###....",
    "..###....................###....",
    "...............o.........###....",
    "..............###........###....",
    "..@@@....................###....",
    "..@@@....................###....",
    "...|.....................###....",
    "H..|....b.......o.o.b....###.F..",
    "GGGGGGGGGG~~~~~GGGGGG~~~~GGGGGGG",
    "EEEEEEEEEE=====EEEEEE====EEEEEEE",
    "=EEEEEEEE=======EEEE======EEEEE=",
    "================================",
};

// Every new handler gets one action of each kind, as the editor gives it.
// Arg1 names the actor that moves, Arg2 the amount: a speed in pixels a
// frame, a direction in degrees anticlockwise from east.
THandler* AddHandler(TActor& Actor, const TEventKind& Kind) {
  THandler* Handler = Actor.AddHandler();
  Handler->SetEvent(Kind);
  Handler->AddAction(TActionSetSpeedSize::ClassKind());
  Handler->AddAction(TActionSetSpeedDir::ClassKind());
  return Handler;
}

void SetMove(THandler& Handler, const std::string& Who, const std::string& Speed, bool SpeedRelative,
             const std::string& Direction, bool DirectionRelative) {
  auto* Size = static_cast<TActionSpeed*>(Handler.GetAction(0));
  Size->SetArg1(Who);
  Size->SetArg2(Speed);
  Size->SetRelative(SpeedRelative);
  auto* Dir = static_cast<TActionSpeed*>(Handler.GetAction(1));
  Dir->SetArg1(Who);
  Dir->SetArg2(Direction);
  Dir->SetRelative(DirectionRelative);
}

std::uint16_t KeyMask(const std::vector<std::string>& Keys) {
  std::uint16_t Mask = 0;
  for (const std::string& Key : Keys) Mask |= static_cast<std::uint16_t>(1u << TEventKey::IndexOfKey(Key));
  return Mask;
}

std::uint8_t DirectionMask(const std::vector<std::string>& Directions) {
  std::uint8_t Mask = 0;
  for (const std::string& Direction : Directions)
    Mask |= static_cast<std::uint8_t>(1u << TEventOutside::IndexOfDirection(Direction));
  return Mask;
}

void OnKey(TActor& Actor, const std::vector<std::string>& Keys, bool Press, const std::string& Speed,
           bool SpeedRelative, const std::string& Direction, bool DirectionRelative) {
  THandler* Handler = AddHandler(Actor, TEventKey::ClassKind());
  auto* Event = static_cast<TEventKey*>(Handler->Event());
  Event->SetKeys(KeyMask(Keys));
  Event->SetPress(Press);
  SetMove(*Handler, "me", Speed, SpeedRelative, Direction, DirectionRelative);
}

THandler* OnCollision(TActor& Actor, TActor& Other, bool Overlap) {
  THandler* Handler = AddHandler(Actor, TEventCollision::ClassKind());
  auto* Event = static_cast<TEventCollision*>(Handler->Event());
  Event->SetOtherActor(Other);
  Event->SetOverlap(Overlap);
  return Handler;
}

THandler* OnOutside(TActor& Actor, const std::vector<std::string>& Directions) {
  THandler* Handler = AddHandler(Actor, TEventOutside::ClassKind());
  static_cast<TEventOutside*>(Handler->Event())->SetAreas(DirectionMask(Directions));
  return Handler;
}

void GiveBehaviour(TGame& Game) {
  TActor& Hero = *Game.FindActorByName("aHero");
  TActor& Coin = *Game.FindActorByName("aCoin");
  TActor& Gem = *Game.FindActorByName("aGem");
  TActor& Blob = *Game.FindActorByName("aBlob");
  TActor& Brick = *Game.FindActorByName("aBrick");

  // Runs while a cursor key is held, jumps on up; letting go of left or
  // right stops the run but keeps the way the hero faces.
  OnKey(Hero, {">"}, true, "2", false, "0", false);
  OnKey(Hero, {"<"}, true, "2", false, "180", false);
  OnKey(Hero, {"^"}, true, "3", false, "90", false);
  OnKey(Hero, {"v"}, true, "1", false, "270", false);
  OnKey(Hero, {">", "<"}, false, "0", false, "0", true);
  // A coin touched flies up out of sight; a blob bounces the hero back.
  SetMove(*OnCollision(Hero, Coin, true), "other", "4", false, "90", false);
  SetMove(*OnCollision(Hero, Blob, false), "me", "3", false, "180", true);
  // Leaving the screen sideways stops the hero at its edge.
  SetMove(*OnOutside(Hero, {"E", "W"}), "me", "0", false, "0", true);

  // Coins hang still until collected, and stop once gone off the top.
  SetMove(*AddHandler(Coin, TEventCreate::ClassKind()), "me", "0", false, "90", false);
  SetMove(*OnOutside(Coin, {"N"}), "me", "0", false, "0", false);

  // The gem bobs gently and, like a coin, flies off when touched.
  SetMove(*AddHandler(Gem, TEventCreate::ClassKind()), "me", "1", false, "90", false);
  SetMove(*OnCollision(Gem, Hero, true), "me", "5", false, "90", false);

  // Blobs patrol: they set off left and turn round at a wall or the edge.
  SetMove(*AddHandler(Blob, TEventCreate::ClassKind()), "me", "1", false, "180", false);
  SetMove(*OnCollision(Blob, Brick, false), "me", "0", true, "180", true);
  SetMove(*OnOutside(Blob, {"E", "W"}), "me", "0", true, "180", true);
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
  FillLevel(Game, "lMeadow", Meadow);
  FillLevel(Game, "lIslands", Islands);
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
