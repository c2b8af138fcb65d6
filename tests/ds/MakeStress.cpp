// Writes the engine's stress game (tests/ds/UStressGame.h) as a game file.
//
//   lurvik_make_stress [--sounds | --rules | --scroll | --sprites] OUTPUT.lvk TILES_FOLDER    (the sample's tiles)
#include <exception>
#include <iostream>
#include <string>

#include "behaviour/UBehaviour.h"
#include "model/UClock.h"
#include "model/UGame.h"
#include "tests/ds/UStressGame.h"

using namespace lvk;

int main(int argc, char** argv) {
  TStress Kind = TStress::Plain;
  if (argc == 4) {
    const std::string Option = argv[1];
    Kind = Option == "--sounds"    ? TStress::Sounds
           : Option == "--rules"   ? TStress::Rules
           : Option == "--scroll"  ? TStress::Scroll
           : Option == "--sprites" ? TStress::Sprites
                                   : TStress::Plain;
    if (Kind == TStress::Plain) argc = 0;
  }
  if (argc != 3 && argc != 4) {
    std::cerr << "usage: " << argv[0] << " [--sounds | --rules | --scroll | --sprites] OUTPUT.lvk TILES_FOLDER\n";
    return 2;
  }
  const char* Output = argv[argc - 2];
  const char* Tiles = argv[argc - 1];
  RegisterKinds();
  SetClock([] { return 45658.5; });
  int Result = 0;
  try {
    TGame Game;
    BuildStressGame(Game, Tiles, Kind);
    Game.SetFileName(Output);
    Game.Save();
  } catch (const std::exception& E) {
    std::cerr << argv[0] << ": " << E.what() << "\n";
    Result = 1;
  }
  UnregisterKinds();
  return Result;
}
