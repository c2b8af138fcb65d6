// Builds the sample game from the tile pictures and writes it as a project
// file: a top-down walk through two walled gardens in the clouds, seen from
// above, against the clock. The hero walks with the D-pad (B held: runs) and
// throws stars with A; bricks, water, hedges, trees and purple blobs stop
// him. Every coin taken adds to the score, and when none is left the door
// opens: in the first garden to the flag and the next garden, in the second
// to the crown, which wins the game. Ghosts rise from a tomb in the second
// garden and float through walls after him: one that catches him costs a
// life and starts the garden again. When the time or the lives run out the
// game is over; Start, or ten seconds, starts it again. The game keeps the
// best score in save slot 1 (Select at the end erases it) and a table of the
// five best, which asks for initials when a score earns a place.
//
//   lurvik_make_sample OUTPUT.lvk TILES_FOLDER
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "behaviour/REventCollision.h"
#include "behaviour/REventCreate.h"
#include "behaviour/REventKey.h"
#include "behaviour/REventKeyHeld.h"
#include "behaviour/REventOutside.h"
#include "behaviour/REventTimer.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "behaviour/UValueAction.h"
#include "model/UActor.h"
#include "model/UClock.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UPalette.h"
#include "model/USound.h"
#include "model/UTile.h"
#include "model/UVariable.h"

using namespace lvk;

namespace {

constexpr int LevelWidth = 32;
constexpr int LevelHeight = 24;

// Tile names; each is also the BMP file's name in the tiles folder.
const char* const TileNames[] = {"Sky",  "CloudLeft", "CloudRight", "Grass", "Earth",    "Brick", "Water", "Sea",
                                 "Coin", "Hero",      "Blob",       "Gem",   "Trunk",    "Leaves", "Flag", "BlobHurt",
                                 "Door", "DoorOpen",  "Star",       "Ghost", "Tomb",     "Grave", "Crown", "King",
                                 // The frames of the animations: coin, ghost and the 16x16 hero's.
                                 "CoinTurn", "CoinEdge", "GhostFlap",
                                 "HeroStand0", "HeroStand1", "HeroStand2", "HeroStand3",
                                 "HeroBlink0", "HeroBlink1", "HeroBlink2", "HeroBlink3",
                                 "HeroStep0", "HeroStep1", "HeroStep2", "HeroStep3",
                                 "HeroCross0", "HeroCross1", "HeroCross2", "HeroCross3"};

// The sky's colour, also the game's colour 0: the background shows it where
// a live actor (drawn as a sprite, which can move away) was placed, and
// every live actor's picture stands on the sky, so none shows a box round it.
constexpr TColor SkyColor = RGB(102, 204, 255);

// One letter of a level picture -> the actor in that cell, drawn with the
// tile named.
struct TCellKind {
  char Letter;
  const char* Actor;
  const char* Tile;
};
const TCellKind CellKinds[] = {
    {'.', "aSky", "Sky"},     {'(', "aCloudLeft", "CloudLeft"}, {')', "aCloudRight", "CloudRight"},
    {'#', "aBrick", "Brick"}, {'~', "aWater", "Water"},         {'=', "aSea", "Sea"},
    {'@', "aLeaves", "Leaves"}, {'|', "aTrunk", "Trunk"},       {'G', "aGrass", "Grass"},
    {'E', "aEarth", "Earth"}, {'o', "aCoin", "Coin"},           {'*', "aGem", "Gem"},
    {'H', "aHero", "Hero"},   {'b', "aBlob", "Blob"},           {'F', "aFlag", "Flag"},
    {'D', "aDoor", "Door"},   {'T', "aTomb", "Tomb"},           {'C', "aCrown", "Crown"},
};

// Actors no level places: their instances are spawned during play.
const TCellKind SpawnedKinds[] = {
    {0, "aDoorOpen", "DoorOpen"}, {0, "aStar", "Star"}, {0, "aGhost", "Ghost"},
    {0, "aGrave", "Grave"},       {0, "aKing", "King"},
};

// What stops the hero, the blobs and the stars: one OnCollision with any
// solid actor each, instead of one per obstacle. Sky and clouds are floor;
// ghosts float through everything.
const char* const SolidActors[] = {"aBrick", "aWater", "aSea",  "aLeaves", "aTrunk",
                                   "aGrass", "aEarth", "aBlob", "aDoor",   "aTomb"};

// The first garden. Walking right from the start takes four coins and ends
// at a wall; down to the bottom wall takes four more, and right again the
// last two, which opens the door before the flag. The gems are for those who
// look around; the blobs patrol rooms off the way.
const char* const Garden[LevelHeight] = {
    "################################",
    "#..............#...............#",
    "#..............#.....().....*..#",
    "#.H...oooo.....#...............#",
    "#..............#...@@@.........#",
    "#..............#...@@@.........#",
    "#......@@@.........@@@.........#",
    "#......@@@....o................#",
    "#.......|......######..#########",
    "#...~~~~~......#...............#",
    "#...=====......#...b...........#",
    "#...=====.....o#...............#",
    "#..............#...............#",
    "#..*...........#......@@@......#",
    "#..............#......@@@......#",
    "#.............o#.......|.......#",
    "#..............................#",
    "#..................b.........#.#",
    "#..............................#",
    "#...().....................#####",
    "#..........................#...#",
    "#..........................D...#",
    "#.............o...o...o....D.F.#",
    "################################",
};

// The second garden: rooms and corridors round a hill and two ponds, coins
// all over, two blobs on patrol, a tomb the ghosts rise from and, behind a
// door in the top right corner, the crown. Gaps and doors on the hero's ways
// are two cells wide: he is 16x16.
const char* const Park[LevelHeight] = {
    "################################",
    "#H.....#.........o.......#.....#",
    "#......#.................#..C..#",
    "#..o...#...@@@.....~~~~..#.....#",
    "#......#...@@@.....====..##DD###",
    "#..o.......@@@.....====........#",
    "#..............................#",
    "#..o...#.......................#",
    "####..###########.....b.......##",
    "#..............#...............#",
    "#..()..........#...o.......o...#",
    "#..............#.......()......#",
    "#...GGGGGG.....#...............#",
    "#...EEEEEE.....#####..######..##",
    "#...EEEEEE.....................#",
    "#...........o..................#",
    "#..@@@.........#...............#",
    "#..@@@.........#..~~~~~~~~.....#",
    "#...|....o.....#..========..o..#",
    "#..............#..========.....#",
    "#.#........b........#...T.....*#",
    "#..............#...............#",
    "#......o.......#...............#",
    "################################",
};

// The upper screen's rows the game prints (the start text is above them,
// the level line and the keys line below).
constexpr int RowScore = 5;
constexpr int RowBest = 6;
constexpr int RowGoal = 7;
constexpr int RowKeys = 8;
constexpr int RowNews = 10;
constexpr int RowEnd = 12;
constexpr int RowEntry = 13;
constexpr int RowAgain = 14;
constexpr int RowTable = 15;  // five rows, down to the status line's

constexpr int Second = 60;       // frames
constexpr int LevelTime = 90;    // seconds to clear a garden
constexpr int WalkSpeed = 16;    // 1/16 pixel a frame: one pixel
constexpr int BlobSpeed = 8;     // half the hero's
constexpr int GhostSpeed = 8;    // on each axis
constexpr int StarSpeed = 48;    // three pixels a frame
constexpr int StarFrames = 40;   // how far a star flies: 120 pixels
constexpr int RestartFrames = 10 * Second;

// ---- Handlers and actions, written as the handler pane shows them ----

THandler* On(TActor& Actor, const TEventKind& Kind) {
  THandler* Handler = Actor.AddHandler();
  Handler->SetEvent(Kind);
  return Handler;
}

THandler* OnCreate(TActor& Actor) { return On(Actor, TEventCreate::ClassKind()); }

std::uint16_t KeyBit(const std::string& Key) { return static_cast<std::uint16_t>(1u << TEventKey::IndexOfKey(Key)); }

THandler* OnKey(TActor& Actor, const std::string& Key, bool Press) {
  THandler* Handler = On(Actor, TEventKey::ClassKind());
  auto* Event = static_cast<TEventKey*>(Handler->Event());
  Event->SetKeys(KeyBit(Key));
  Event->SetPress(Press);
  return Handler;
}

THandler* OnKeyHeld(TActor& Actor, const std::string& Key) {
  THandler* Handler = On(Actor, TEventKeyHeld::ClassKind());
  static_cast<TEventKeyHeld*>(Handler->Event())->SetKeys(KeyBit(Key));
  return Handler;
}

THandler* OnTimer(TActor& Actor, int Frames, bool Repeat) {
  THandler* Handler = On(Actor, TEventTimer::ClassKind());
  auto* Event = static_cast<TEventTimer*>(Handler->Event());
  Event->SetFrames(Frames);
  Event->SetRepeat(Repeat);
  return Handler;
}

// Other null: any solid actor.
THandler* OnCollision(TActor& Actor, TActor* Other, bool Overlap) {
  THandler* Handler = On(Actor, TEventCollision::ClassKind());
  auto* Event = static_cast<TEventCollision*>(Handler->Event());
  if (Other)
    Event->SetOtherActor(*Other);
  else
    Event->SetAnySolid();
  Event->SetOverlap(Overlap);
  return Handler;
}

// Leaving the screen in any direction.
THandler* OnOutside(TActor& Actor) {
  THandler* Handler = On(Actor, TEventOutside::ClassKind());
  static_cast<TEventOutside*>(Handler->Event())->SetAreas(0xFF);
  return Handler;
}

// An action with its values as texts: numbers or variables' names, "1" or
// "0" for a flag, names of actors, tiles and variables.
void Act(THandler& Handler, const TActionKind& Kind, std::initializer_list<std::string> Values = {}) {
  TActionBase* Action = Handler.AddAction(Kind);
  int Index = 0;
  for (const std::string& Value : Values) Action->SetValue(Index++, Value);
}

std::string Number(int Value) { return std::to_string(Value); }
const char* Flag(bool Value) { return Value ? "1" : "0"; }

void SetSpeedSize(THandler& H, const std::string& X, const std::string& Y, bool Relative) {
  Act(H, TActionSetSpeedSize::ClassKind(), {X, Y, Flag(Relative)});
}
void SetSpeedDir(THandler& H, const std::string& X, const std::string& Y, bool Relative) {
  Act(H, TActionSetSpeedDir::ClassKind(), {X, Y, Flag(Relative)});
}
void SetVariable(THandler& H, const std::string& Variable, const std::string& Value, bool Relative) {
  Act(H, TActionSetVariable::ClassKind(), {Variable, Value, Flag(Relative)});
}
void ShowText(THandler& H, int Row, const std::string& Text) {
  Act(H, TActionShowText::ClassKind(), {Number(Row), Text});
}
void Spawn(THandler& H, const std::string& Actor) { Act(H, TActionSpawn::ClassKind(), {Actor, "0", "0"}); }
void PlaySound(THandler& H, const std::string& Sound) { Act(H, TActionPlaySound::ClassKind(), {Sound}); }
void Destroy(THandler& H) { Act(H, TActionDestroy::ClassKind()); }
void IfVariable(THandler& H, const std::string& Variable, const std::string& Op, const std::string& Value) {
  Act(H, TActionIfVariable::ClassKind(), {Variable, Op, Value});
}
void IfCount(THandler& H, const std::string& Actor, const std::string& Op, int Value) {
  Act(H, TActionIfCount::ClassKind(), {Actor, Op, Number(Value)});
}
void ClearText(THandler& H, int Row) { Act(H, TActionClearText::ClassKind(), {Number(Row), "0"}); }
void Slot(THandler& H, const TActionKind& Kind) { Act(H, Kind, {"1"}); }

// ---- The rules ----

void AddVariables(TGame& Game) {
  const struct {
    const char* Name;
    std::int32_t Initial;
    TVariableScope Scope;
  } Variables[] = {
      {"vScore", 0, TVariableScope::Game},
      {"vLives", 3, TVariableScope::Game},
      {"vTime", LevelTime, TVariableScope::Game},  // seconds left in this garden
      {"vLevelScore", 0, TVariableScope::Game},    // the score when this garden began
      {"vAimX", 1, TVariableScope::Game},          // where the hero throws: the way
      {"vAimY", 0, TVariableScope::Game},          // he last walked
      {"vHits", 0, TVariableScope::Instance},      // stars a blob has taken
      {"vBest", 0, TVariableScope::Game},          // the best score, saved
  };
  for (const auto& V : Variables) {
    TVariable* Variable = Game.AddVariable();
    Variable->SetSaved(std::string(V.Name) == "vBest");
    Variable->SetName(V.Name);
    Variable->SetInitial(V.Initial);
    Variable->SetScope(V.Scope);
  }
}

// One D-pad direction (Dx, Dy) of the hero: while held, it adds a step on
// its axis (two with B held) and aims the stars that way. Opposite keys
// held together cancel out.
void WalkKey(TActor& Hero, const std::string& Key, int Dx, int Dy) {
  THandler* Held = OnKeyHeld(Hero, Key);
  const std::string Sx = Number(WalkSpeed * Dx * Dx), Sy = Number(WalkSpeed * Dy * Dy);
  SetSpeedSize(*Held, Sx, Sy, true);
  SetSpeedDir(*Held, Number(Dx), Number(Dy), true);
  SetVariable(*Held, "vAimX", Number(Dx), false);
  SetVariable(*Held, "vAimY", Number(Dy), false);
  Act(*Held, TActionSetAnimation::ClassKind(), {"Walk", "0"});
  Act(*Held, TActionIfKeyHeld::ClassKind(), {Number(KeyBit("B"))});
  SetSpeedSize(*Held, Sx, Sy, true);
}

// The sounds, made with the synthesizer: a coin, a gem, a thrown star, a
// hit, winning and losing, and the first garden's tune, eight rising steps
// of a quiet square wave that the level loops.
void AddSounds(TGame& Game) {
  const auto Preset = [](int Index) { return lvk_synth_presets[Index].params; };
  lvk_synth_params_t Gem = Preset(5);  // Power-up, quicker
  Gem.length_ms = 360;
  Gem.repeat = 1;
  lvk_synth_params_t Win = Preset(5);
  Win.length_ms = 1400;
  Win.repeat = 5;
  const lvk_synth_params_t Lose = {LVK_WAVE_TRIANGLE, 440, 110, 900, 0, 400, 110, 8, 6, 0};
  const lvk_synth_params_t Tune = {LVK_WAVE_SQUARE_25, 196, 392, 2000, 10, 60, 20, 0, 0, 7};
  const std::pair<const char*, lvk_synth_params_t> Sounds[] = {
      {"sCoin", Preset(0)}, {"sGem", Gem}, {"sThrow", Preset(3)}, {"sHit", Preset(2)},
      {"sWin", Win},        {"sLose", Lose}, {"sTune", Tune}};
  for (const auto& [Name, Params] : Sounds) {
    TSound* Sound = Game.AddSound();
    Sound->SetName(Name);
    Sound->SetParams(Params);
  }
}

// The hero leaves the game (time up, lives gone): a grave takes his place.
void GameOver(THandler& H, const std::string& Why) {
  ShowText(H, RowNews, Why);
  Spawn(H, "aGrave");
  Destroy(H);
}

// The grave and the crowned hero end the game: Start, or ten seconds, starts
// it again. Gives the handler that shows the end.
THandler* EndScreen(TActor& Actor, const std::string& Text) {
  THandler* Create = OnCreate(Actor);
  ShowText(*Create, RowEnd, Text);
  ShowText(*Create, RowAgain, "   Press Start to play again");
  Act(*OnKey(Actor, "S", true), TActionRestartGame::ClassKind());
  Act(*OnTimer(Actor, RestartFrames, false), TActionRestartGame::ClassKind());
  // A better score is the new best; any score may earn a place in the table.
  THandler* Best = OnCreate(Actor);
  IfVariable(*Best, "vScore", ">", "vBest");
  SetVariable(*Best, "vBest", "vScore", false);
  Act(*Best, TActionSaveGame::ClassKind(), {"1", "0"});
  THandler* Table = OnCreate(Actor);
  Act(*Table, TActionShowHighScores::ClassKind(), {Number(RowTable)});
  IfVariable(*Table, "vScore", ">", "0");
  Act(*Table, TActionEnterHighScore::ClassKind(), {Number(RowEntry)});
  THandler* Erase = OnKey(Actor, "?", true);
  Slot(*Erase, TActionEraseSave::ClassKind());
  SetVariable(*Erase, "vBest", "0", false);
  return Create;
}

// An animation of Actor whose frames are the tiles named, a frame a list.
void Animation(TActor& Actor, const std::string& Name, int Length, TAnimationMode Mode,
               const std::vector<std::vector<std::string>>& Frames) {
  const int Index = Actor.AddAnimation();
  Actor.SetAnimationName(Index, Name);
  Actor.SetFrameLength(Index, Length);
  Actor.SetAnimationMode(Index, Mode);
  Actor.DeleteFrame(Index, 0);
  for (const auto& Frame : Frames) {
    TFrameTiles Tiles;
    for (const std::string& Tile : Frame) Tiles.push_back(Actor.Owner().FindTileByName(Tile));
    Actor.AddFrame(Index, Tiles);
  }
}

// The four tiles of a 16x16 picture, as make_tiles.py names them.
std::vector<std::string> Block(const std::string& Name) {
  return {Name + "0", Name + "1", Name + "2", Name + "3"};
}

// The hero is 16x16: he stands (blinking now and then) and walks, facing
// the way he goes; coins spin and ghosts flap.
void GiveLooks(TGame& Game) {
  TActor& Hero = *Game.FindActorByName("aHero");
  Hero.SetSize(16, 16);
  const auto Stand = Block("HeroStand");
  Animation(Hero, "Idle", 40, TAnimationMode::Loop, {Stand, Stand, Stand, Block("HeroBlink")});
  Animation(Hero, "Walk", 8, TAnimationMode::BackAndForth, {Block("HeroStep"), Stand, Block("HeroCross")});
  Animation(*Game.FindActorByName("aCoin"), "Spin", 8, TAnimationMode::Loop,
            {{"Coin"}, {"CoinTurn"}, {"CoinEdge"}, {"CoinTurn"}});
  Animation(*Game.FindActorByName("aGhost"), "Flap", 12, TAnimationMode::Loop, {{"Ghost"}, {"GhostFlap"}});
}

void GiveBehaviour(TGame& Game) {
  auto Actor = [&Game](const char* Name) -> TActor& { return *Game.FindActorByName(Name); };
  TActor& Hero = Actor("aHero");
  TActor& Ghost = Actor("aGhost");
  TActor& Star = Actor("aStar");

  // The hero. Each garden starts with the full time, and a catch goes back
  // to the score it started with.
  THandler* Create = OnCreate(Hero);
  SetVariable(*Create, "vTime", Number(LevelTime), false);
  SetVariable(*Create, "vLevelScore", "vScore", false);
  ShowText(*Create, RowScore, " Score {vScore}   Lives {vLives}   Time {vTime}");
  ShowText(*Create, RowKeys, " D-pad walk, B run, A throw");
  ShowText(*Create, RowBest, " Best {vBest}");
  // The best score of earlier games, in every garden: a restart sets it back.
  THandler* Remember = OnCreate(Hero);
  Slot(*Remember, TActionIfSaved::ClassKind());
  Slot(*Remember, TActionLoadGame::ClassKind());
  // He faces the way he walks; letting go of the D-pad stands him idle.
  Act(*Create, TActionMirror::ClassKind(), {"0", "1"});
  THandler* Halt = OnKey(Hero, "<", false);
  static_cast<TEventKey*>(Halt->Event())->SetKeys(KeyBit("<") | KeyBit(">") | KeyBit("^") | KeyBit("v"));
  Act(*Halt, TActionSetAnimation::ClassKind(), {"Idle", "0"});
  // He stands still unless a held key walks him: this runs before the keys'
  // handlers in every frame.
  THandler* Stand = OnTimer(Hero, 1, true);
  SetSpeedSize(*Stand, "0", "0", false);
  SetSpeedDir(*Stand, "0", "0", false);
  WalkKey(Hero, ">", 1, 0);
  WalkKey(Hero, "<", -1, 0);
  WalkKey(Hero, "^", 0, -1);
  WalkKey(Hero, "v", 0, 1);
  THandler* Throw = OnKey(Hero, "A", true);
  IfCount(*Throw, "aStar", "=", 0);  // one star at a time
  Spawn(*Throw, "aStar");
  PlaySound(*Throw, "sThrow");
  // Holding L glides the camera back to the level's start for a look round;
  // letting go follows the hero again (a level of one screen never scrolls).
  Act(*OnKey(Hero, "L", true), TActionMoveCamera::ClassKind(), {"0", "0", "8"});
  Act(*OnKey(Hero, "L", false), TActionCameraFollow::ClassKind(), {"aHero"});
  THandler* Clock = OnTimer(Hero, Second, true);
  SetVariable(*Clock, "vTime", "-1", true);
  IfVariable(*Clock, "vTime", "<=", "0");
  GameOver(*Clock, " Time is up!");
  // The news of how the last garden ended fades three seconds into this one.
  ClearText(*OnTimer(Hero, 3 * Second, false), RowNews);
  // Repel alone stops him at every wall; it needs no action.
  OnCollision(Hero, nullptr, false);
  // A shut door stops him as a wall and says why: the same contact.
  ShowText(*OnCollision(Hero, &Actor("aDoor"), false), RowNews, " Coins left: the door is shut");
  // A catch takes a life and starts the garden again; the last life ends
  // the game.
  THandler* Caught = OnCollision(Hero, &Ghost, true);
  SetVariable(*Caught, "vLives", "-1", true);
  PlaySound(*Caught, "sHit");
  IfVariable(*Caught, "vLives", ">", "0");
  SetVariable(*Caught, "vScore", "vLevelScore", false);
  ShowText(*Caught, RowNews, " A ghost caught you!");
  Act(*Caught, TActionGoToLevel::ClassKind(), {"0"});
  Act(*Caught, TActionOtherwise::ClassKind());
  GameOver(*Caught, " A ghost caught you!");
  THandler* AtFlag = OnCollision(Hero, &Actor("aFlag"), true);
  ClearText(*AtFlag, RowNews);
  Act(*AtFlag, TActionNextLevel::ClassKind());
  THandler* AtCrown = OnCollision(Hero, &Actor("aCrown"), true);
  Spawn(*AtCrown, "aKing");
  Destroy(*AtCrown);

  // Coins and gems add to the score and vanish when the hero reaches them.
  struct TTreasure {
    const char* Actor;
    int Points;
    const char* Sound;
  };
  for (const TTreasure& T : {TTreasure{"aCoin", 10, "sCoin"}, TTreasure{"aGem", 50, "sGem"}}) {
    THandler* Taken = OnCollision(Actor(T.Actor), &Hero, true);
    SetVariable(*Taken, "vScore", Number(T.Points), true);
    PlaySound(*Taken, T.Sound);
    Destroy(*Taken);
  }

  // When no coin is left the door opens: an open door takes its place.
  THandler* Door = OnTimer(Actor("aDoor"), 6, true);
  IfCount(*Door, "aCoin", "=", 0);
  ShowText(*Door, RowNews, " The door is open!");
  Spawn(*Door, "aDoorOpen");
  Destroy(*Door);
  // What each garden asks for, told by what is only there.
  ShowText(*OnCreate(Actor("aFlag")), RowGoal, " Take all coins: the door opens");
  ShowText(*OnCreate(Actor("aCrown")), RowGoal, " Take all coins, then the crown");
  Destroy(*OnCollision(Actor("aCrown"), &Hero, true));

  // Blobs set off right at half the hero's speed and turn round at whatever
  // stops them; the hero in the way makes them wait. Two stars end a blob.
  TActor& Blob = Actor("aBlob");
  THandler* Patrol = OnCreate(Blob);
  SetSpeedSize(*Patrol, Number(BlobSpeed), "0", false);
  SetSpeedDir(*Patrol, "1", "0", false);
  Act(*OnCollision(Blob, nullptr, false), TActionBounce::ClassKind(), {"1", "0"});
  OnCollision(Blob, &Hero, false);
  THandler* Hit = OnCollision(Blob, &Star, true);
  SetVariable(*Hit, "vHits", "1", true);
  PlaySound(*Hit, "sHit");
  Act(*Hit, TActionSetTile::ClassKind(), {"BlobHurt"});
  IfVariable(*Hit, "vHits", ">=", "2");
  SetVariable(*Hit, "vScore", "25", true);
  Destroy(*Hit);

  // Now and then a ghost rises from the tomb, two at most. It heads for the
  // hero, looking again every few frames, through walls; a star ends it.
  THandler* Rise = OnTimer(Actor("aTomb"), 3 * Second, true);
  IfCount(*Rise, "aGhost", "<", 2);
  Act(*Rise, TActionIfChance::ClassKind(), {"2"});
  Spawn(*Rise, "aGhost");
  // It rises out of the tomb, and sinks back into it when it catches him.
  THandler* Risen = OnCreate(Ghost);
  Act(*Risen, TActionJumpTo::ClassKind(), {"0", "-8", "1"});
  for (THandler* Chase : {Risen, OnTimer(Ghost, 10, true)})
    Act(*Chase, TActionMoveToward::ClassKind(), {"aHero", Number(GhostSpeed)});
  Act(*OnCollision(Ghost, &Hero, true), TActionJumpToStart::ClassKind());
  THandler* Shot = OnCollision(Ghost, &Star, true);
  PlaySound(*Shot, "sHit");
  SetVariable(*Shot, "vScore", "50", true);
  Destroy(*Shot);
  Destroy(*OnOutside(Ghost));  // with the hero gone it drifts away

  // A star flies the way the hero last walked, until it hits something or
  // has flown its distance.
  THandler* Fly = OnCreate(Star);
  SetSpeedSize(*Fly, Number(StarSpeed), Number(StarSpeed), false);
  SetSpeedDir(*Fly, "vAimX", "vAimY", false);
  Destroy(*OnTimer(Star, StarFrames, false));
  Destroy(*OnCollision(Star, nullptr, true));
  THandler* Burst = OnCollision(Star, &Ghost, true);
  Act(*Burst, TActionShakeCamera::ClassKind(), {"12", "2"});
  Destroy(*Burst);
  Destroy(*OnOutside(Star));

  PlaySound(*EndScreen(Actor("aGrave"), "           GAME OVER"), "sLose");
  // The seconds left are a bonus.
  THandler* Won = EndScreen(Actor("aKing"), "            YOU WIN!");
  SetVariable(*Won, "vScore", "vTime", true);
  ShowText(*Won, RowNews, " The crown is yours! Bonus {vTime}");
  PlaySound(*Won, "sWin");
}

TLevel* FillLevel(TGame& Game, const std::string& Name, const std::vector<std::string>& Rows) {
  std::map<char, TActor*> ByLetter;
  for (const TCellKind& Kind : CellKinds) ByLetter[Kind.Letter] = Game.FindActorByName(Kind.Actor);
  TLevel* Level = Game.AddLevel();
  Level->SetName(Name);
  const int Width = static_cast<int>(Rows.front().size()), Height = static_cast<int>(Rows.size());
  Level->SetSize(Width, Height);
  for (int Row = 0; Row < Height; ++Row) {
    const std::string& Line = Rows[Row];
    if (static_cast<int>(Line.size()) != Width)
      throw EGame(Name + ": row " + std::to_string(Row) + " is not " + std::to_string(Width) + " cells");
    for (int Column = 0; Column < Width; ++Column) {
      auto Found = ByLetter.find(Line[Column]);
      if (Found == ByLetter.end()) throw EGame(Name + ": unknown cell letter '" + Line[Column] + "'");
      Level->SetCell(Column, Row, Found->second);
    }
  }
  return Level;
}

TLevel* FillLevel(TGame& Game, const std::string& Name, const char* const (&Rows)[LevelHeight]) {
  return FillLevel(Game, Name, std::vector<std::string>(std::begin(Rows), std::end(Rows)));
}

// The river walk: five screens wide. The camera follows the hero along the
// bank past trees, ponds, coins and patrolling blobs to the flag at the far
// end; each stretch of 24 columns repeats the pattern a little shifted.
std::vector<std::string> RiverRows() {
  constexpr int Width = 160;
  std::vector<std::string> Rows(LevelHeight, std::string(Width, '.'));
  for (int Column = 0; Column < Width; ++Column) Rows[0][Column] = Rows[LevelHeight - 1][Column] = '#';
  for (std::string& Row : Rows) Row[0] = Row[Width - 1] = '#';
  for (int Stretch = 0; Stretch < 6; ++Stretch) {
    const int Left = 8 + Stretch * 24, Shift = Stretch % 3;
    for (int r = 3 + Shift; r < 6 + Shift; ++r)
      for (int c = Left; c < Left + 3; ++c) Rows[r][c] = '@';
    Rows[6 + Shift][Left + 1] = '|';
    for (int c = Left + 10; c < Left + 16; ++c) {
      Rows[16 - Shift][c] = '~';
      Rows[17 - Shift][c] = Rows[18 - Shift][c] = '=';
    }
    for (int c = Left + 4; c < Left + 20; c += 4) Rows[12][c] = 'o';
    Rows[8 + Shift][Left + 14] = 'b';
    Rows[3][Left + 20] = '(';
    Rows[3][Left + 21] = ')';
  }
  Rows[20][100] = '*';
  Rows[12][2] = 'H';
  Rows[12][Width - 3] = 'F';
  return Rows;
}

void Build(TGame& Game, const std::string& TilesFolder) {
  Game.SetTitle("Lurvik Sample");
  Game.Palette().SetEntryColor(0, SkyColor);
  for (const char* Name : TileNames) {
    TTile* Tile = Game.AddTile();
    Tile->SetName(Name);
    Tile->ImportBitmap(TilesFolder + "/" + Name + ".bmp");
  }
  for (const auto& Kinds : {std::vector<TCellKind>(std::begin(CellKinds), std::end(CellKinds)),
                            std::vector<TCellKind>(std::begin(SpawnedKinds), std::end(SpawnedKinds))})
    for (const TCellKind& Kind : Kinds) {
      TActor* Actor = Game.AddActor();
      Actor->SetName(Kind.Actor);
      Actor->SetTile(Game.FindTileByName(Kind.Tile));
    }
  for (const char* Name : SolidActors) Game.FindActorByName(Name)->SetSolid(true);
  AddVariables(Game);
  // A table of the five best scores, entered with three letters.
  Game.SetHighScores({5, Game.FindVariableByName("vScore")->Id(), true, 3});
  AddSounds(Game);
  GiveLooks(Game);
  GiveBehaviour(Game);
  FillLevel(Game, "lGarden", Garden);
  FillLevel(Game, "lPark", Park);
  Game.GetLevel(0)->SetMusic(Game.FindSoundByName("sTune"));
  TLevel* River = FillLevel(Game, "lRiver", RiverRows());
  TLevelCamera Camera;
  Camera.Follow = Game.FindActorByName("aHero");
  Camera.DeadWidth = 64;
  Camera.DeadHeight = 48;
  River->SetCamera(Camera);
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
