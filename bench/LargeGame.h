#pragma once
// The large game of the benchmarks, made in code: 1024 tiles of varied
// colours, 256 actors with four handlers each, 64 full 32x24 levels, saved
// once into a temporary folder that goes away at exit.
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "behaviour/UValueAction.h"
#include "model/UActor.h"
#include "model/UFiler.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/USound.h"
#include "model/UVariable.h"
#include "model/UStream.h"

namespace lvk::bench {

constexpr int TileCount = 1024;
constexpr int ActorCount = 256;
constexpr int HandlersPerActor = 4;
constexpr int LevelCount = 64;

class TBenchFolder {
public:
  TBenchFolder() {
    std::string Pattern = (std::filesystem::temp_directory_path() / "lurvik-bench-XXXXXX").string();
    std::vector<char> Name(Pattern.begin(), Pattern.end());
    Name.push_back('\0');
    if (!mkdtemp(Name.data())) throw std::runtime_error("cannot make a temporary folder");
    FPath = Name.data();
    std::filesystem::create_directories(FPath + "/arm9/source");
  }
  ~TBenchFolder() {
    std::error_code Ec;
    std::filesystem::remove_all(FPath, Ec);
  }
  const std::string& Path() const { return FPath; }

private:
  std::string FPath;
};

inline void AppendShortString(std::vector<std::uint8_t>& Out, const std::string& S) {
  Out.push_back(6);
  Out.push_back(static_cast<std::uint8_t>(S.size()));
  Out.insert(Out.end(), S.begin(), S.end());
}

// An 8x8 24-bit picture whose colours differ from pixel to pixel and tile to tile.
inline TBitmap VariedPicture(int Seed) {
  std::vector<std::uint8_t> Rows;
  for (int y = 7; y >= 0; --y)
    for (int x = 0; x < 8; ++x)
      Rows.insert(Rows.end(), {static_cast<std::uint8_t>(Seed * 5 + x * y * 7), static_cast<std::uint8_t>(Seed * 11 + y * 31),
                               static_cast<std::uint8_t>(Seed * 37 + x * 29)});
  TBitmap Picture;
  Picture.Assign(8, 8, 24, BI_RGB, {}, {}, std::move(Rows));
  return Picture;
}

// Through the tile's own record, as a project file would give it.
inline void SetPicture(TTile& Tile, const TBitmap& Picture) {
  std::vector<std::uint8_t> Record;
  AppendShortString(Record, "[TTile]");
  AppendShortString(Record, Tile.Name());
  std::vector<std::uint8_t> Pixels = Picture.SaveToBytes();
  Record.insert(Record.end(), Pixels.begin(), Pixels.end());
  TMemoryStream Stream(std::move(Record));
  TReader Reader(Stream);
  Tile.LoadFromStream(Stream, Reader);
}

inline void MakeLargeGame(TGame& Game) {
  for (int k = 0; k < TileCount; ++k) SetPicture(*Game.AddTile(), VariedPicture(k));
  for (int a = 0; a < ActorCount; ++a) {
    TActor* Actor = Game.AddActor();
    Actor->SetTile(Game.GetTile(a * 4 % TileCount));
    for (int h = 0; h < HandlersPerActor; ++h) {
      THandler* Handler = Actor->AddHandler();
      Handler->SetEvent(EventKindAt((a + h) % EventKindCount()));
      Handler->AddAction(TActionSetSpeedSize::ClassKind());
    }
  }
  for (int l = 0; l < LevelCount; ++l) {
    TLevel* Level = Game.AddLevel();
    Level->SetSize(32, 24);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 32; ++x) Level->SetCell(x, y, Game.GetActor((l * 7 + y * 32 + x) % ActorCount));
  }
}

constexpr int VariableCount = 64;  // the engine's room: 48 of the game, 16 of each instance
constexpr int SoundCount = 64;

// The large game with rules and sounds on top: 64 variables, every actor's
// first handler guarded by a variable and changing one, showing a text and
// starting a sound; 64 made sounds of half a second (512 KB of samples) and
// music on every level.
inline void AddRulesAndSounds(TGame& Game) {
  for (int v = 0; v < VariableCount; ++v) {
    TVariable* Variable = Game.AddVariable();
    Variable->SetInitial(v);
    if (v >= 48) Variable->SetScope(TVariableScope::Instance);
  }
  for (int s = 0; s < SoundCount; ++s) {
    lvk_synth_params_t Params = lvk_synth_presets[s % LVK_SYNTH_PRESET_COUNT].params;
    Params.length_ms = 500;
    Params.vibrato_depth = s % 3 == 0 ? 10 : 0;
    Params.vibrato_rate = 6;
    Game.AddSound()->SetParams(Params);
  }
  for (int a = 0; a < ActorCount; ++a) {
    THandler* Handler = Game.GetActor(a)->GetHandler(0);
    const std::string Variable = Game.GetVariable(a % VariableCount)->Name();
    const std::vector<std::pair<const TActionKind*, std::vector<std::string>>> Actions = {
        {&TActionIfVariable::ClassKind(), {Variable, ">=", "3"}},
        {&TActionSetVariable::ClassKind(), {Variable, "1", "1"}},
        {&TActionShowText::ClassKind(), {std::to_string(a % 24), "Score {" + Variable + "}"}},
        {&TActionPlaySound::ClassKind(), {Game.GetSound(a % SoundCount)->Name()}}};
    for (const auto& [Kind, Values] : Actions) {
      TActionBase* Action = Handler->AddAction(*Kind);
      for (std::size_t i = 0; i < Values.size(); ++i) Action->SetValue(static_cast<int>(i), Values[i]);
    }
  }
  for (int l = 0; l < LevelCount; ++l) Game.GetLevel(l)->SetMusic(Game.GetSound(l % SoundCount));
}

struct TLargeGame {
  explicit TLargeGame(bool RulesAndSounds = false) {
    MakeLargeGame(Game);
    if (RulesAndSounds) AddRulesAndSounds(Game);
    Game.SetFileName(Folder.Path() + "/large.lvk");
    Game.Save();
  }
  TBenchFolder Folder;
  TGame Game;
};

inline TLargeGame& LargeGame() {
  static TLargeGame G;
  return G;
}

// The large game's tiles and actors with four levels of the largest size,
// 256x256 cells each, every cell filled, and a camera on each.
struct TWideGame {
  TWideGame() {
    for (int k = 0; k < 16; ++k) SetPicture(*Game.AddTile(), VariedPicture(k));
    for (int a = 0; a < 16; ++a) Game.AddActor()->SetTile(Game.GetTile(a));
    for (int l = 0; l < 4; ++l) {
      TLevel* Level = Game.AddLevel();
      Level->SetSize(MaxLevelColumns, MaxLevelRows);
      for (int y = 0; y < MaxLevelRows; ++y)
        for (int x = 0; x < MaxLevelColumns; ++x) Level->SetCell(x, y, Game.GetActor((l + x * 3 + y * 5) % 16));
      TLevelCamera Camera;
      Camera.Follow = Game.GetActor(l);
      Camera.DeadWidth = 64;
      Level->SetCamera(Camera);
    }
    Game.SetFileName(Folder.Path() + "/wide.lvk");
    Game.Save();
  }
  TBenchFolder Folder;
  TGame Game;
};

inline TWideGame& WideGame() {
  static TWideGame G;
  return G;
}

inline TLargeGame& LargeRulesGame() {
  static TLargeGame G(true);
  return G;
}

}  // namespace lvk::bench
