// The host half of the web engine's equality test: plays a game in the
// engine as the play window does, with a scripted input, and prints what
// happened every frame: the level, every instance's slot, life and
// position, every variable's values and the upper screen's rows. It also
// writes the game's packed tables and the script, for same_game.mjs to play
// in the WebAssembly engine and print the same way.
//
//   lurvik_web_trace GAME.lvk PACKED.bin SCRIPT.txt FRAMES
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "behaviour/UBehaviour.h"
#include "engine/lvk_engine.h"
#include "engine/lvk_host.h"
#include "generator/UBuildLog.h"
#include "generator/UGameTables.h"
#include "generator/UGenerator.h"
#include "generator/UWebExport.h"
#include "model/UGame.h"
#include "ui/play/UPlayConsole.h"

using namespace lvk;

namespace {

// Several seconds of each of these, the D-pad with and without B and A, the
// pen here and there, Start and Select together now and then (the next
// level), and short taps between them.
std::vector<lvk_input_t> MakeScript(int Frames) {
  struct TStep {
    std::uint16_t Keys;
    std::int16_t X, Y;
  };
  const TStep Steps[] = {
      {LVK_KEY_RIGHT, 0, 0},
      {LVK_KEY_DOWN | LVK_KEY_B, 0, 0},
      {LVK_KEY_A, 0, 0},
      {LVK_KEY_LEFT, 0, 0},
      {0, 0, 0},
      {LVK_KEY_UP | LVK_KEY_A, 0, 0},
      {LVK_KEY_TOUCH, 120, 90},
      {LVK_KEY_RIGHT | LVK_KEY_UP, 0, 0},
      {LVK_KEY_START | LVK_KEY_SELECT, 0, 0},
      {LVK_KEY_LEFT | LVK_KEY_DOWN | LVK_KEY_B, 0, 0},
      {LVK_KEY_TOUCH, 8, 180},
      {LVK_KEY_START, 0, 0},
      {LVK_KEY_X | LVK_KEY_Y | LVK_KEY_L | LVK_KEY_R, 0, 0},
  };
  std::vector<lvk_input_t> Script;
  std::uint32_t Random = 12345;
  for (std::size_t i = 0; static_cast<int>(Script.size()) < Frames; ++i) {
    Random = Random * 1103515245u + 12345u;
    const TStep& Step = Steps[i % (sizeof Steps / sizeof Steps[0])];
    const int Hold = 1 + static_cast<int>((Random >> 16) % 90);
    for (int f = 0; f < Hold; ++f) Script.push_back({Step.Keys, Step.X, Step.Y});
    // A tap of nothing: the keys go up and down again.
    if ((Random >> 8) & 1) Script.push_back({0, 0, 0});
  }
  Script.resize(static_cast<std::size_t>(Frames));
  return Script;
}

// A row's bytes with those outside printable ASCII as \xNN.
std::string Printable(const std::string& Row) {
  std::string Out;
  for (unsigned char C : Row) {
    char Hex[8];
    std::snprintf(Hex, sizeof Hex, "\\x%02x", C);
    Out += C >= 32 && C < 127 && C != '\\' ? std::string(1, static_cast<char>(C)) : std::string(Hex);
  }
  return Out;
}

// One line per frame; same_game.mjs writes the same from the module.
std::string TraceLine(const lvk_engine_t& E, const TPlayConsole& Console) {
  std::string Line = "F" + std::to_string(lvk_engine_frame(&E)) + " L" + std::to_string(lvk_engine_level(&E)) + " I";
  const int Count = lvk_engine_instance_count(&E);
  for (int s = 0; s < Count; ++s) {
    const lvk_instance_t& I = E.instances[s];
    Line += " " + std::to_string(s) + ":" + std::to_string(I.alive) + "," + std::to_string(I.x) + "," +
            std::to_string(I.y);
  }
  Line += " V";
  const int Variables = E.game ? E.game->variable_count : 0;
  for (int v = 0; v < Variables; ++v) {
    const bool Instance = E.game->variables[v].scope == LVK_SCOPE_INSTANCE;
    for (int s = 0; s < (Instance ? Count : 1); ++s) Line += " " + std::to_string(lvk_engine_variable(&E, v, s));
  }
  Line += " T";
  for (int r = 0; r < TPlayConsole::Rows; ++r) Line += "|" + Printable(Console.RowText(r));
  return Line;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: " << argv[0] << " GAME.lvk PACKED.bin SCRIPT.txt FRAMES\n";
    return 64;
  }
  try {
    RegisterKinds();
    TGame Game;
    Game.LoadFromFile(argv[1]);
    TTextBuildLog Log;
    const TGameTables Tables = BuildGameTables(Game, Log);
    const std::vector<std::uint8_t> Packed = PackGameTables(Tables, WelcomeText(Game.Title()));
    std::ofstream(argv[2], std::ios::binary).write(reinterpret_cast<const char*>(Packed.data()),
                                                   static_cast<std::streamsize>(Packed.size()));
    const std::vector<lvk_input_t> Script = MakeScript(std::stoi(argv[4]));
    std::ofstream ScriptFile(argv[3]);
    for (const lvk_input_t& In : Script) ScriptFile << In.keys << ' ' << In.touch_x << ' ' << In.touch_y << '\n';

    // As the play window starts a game: bound, its values given, level 1.
    const lvk_game_t Description = Tables.Game();
    static lvk_engine_t Engine;
    static lvk_instance_values_t Values;
    lvk_engine_init(&Engine, &Description);
    lvk_engine_set_instance_values(&Engine, &Values);
    if (Description.level_count > 0) lvk_engine_start_level(&Engine, 0);
    TPlayConsole Console;
    lvk_host_screen_t Upper;
    lvk_host_screen_init(&Upper);
    PrintUpperScreen(Console, Upper, Engine, Game.Title());
    std::cout << TraceLine(Engine, Console) << '\n';
    for (const lvk_input_t& In : Script) {
      lvk_engine_step(&Engine, &In);
      PrintUpperScreen(Console, Upper, Engine, Game.Title());
      std::cout << TraceLine(Engine, Console) << '\n';
    }
    UnregisterKinds();
  } catch (const std::exception& E) {
    std::cerr << argv[0] << ": " << E.what() << "\n";
    return 1;
  }
  return 0;
}
