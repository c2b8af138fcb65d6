#pragma once
// The project file (docs/ProjectFile.md): the head, the lists of tiles,
// actors and levels, and the sections after the end of the levels, each
// opened by a marker and written only when used, so that a game that uses
// nothing new is stored as before them. The game's Save and Load go
// through here; the items write their own records.
#include <cstddef>
#include <vector>

namespace lvk {

class TGame;
class TStream;
class TWriter;
class TReader;

class TProjectFile {
public:
  // Cuts, when given, receives the end of the head, of every tile, actor
  // and level record, of the lists and of every section.
  static void Save(const TGame& Game, TStream& Stream, TWriter& Writer, int Revision, double EditTime,
                   std::vector<std::size_t>* Cuts = nullptr);
  // Into a freshly constructed game. A damaged section raises EReadError.
  static void Load(TGame& Game, TStream& Stream, TReader& Reader);

private:
  static bool HasRules(const TGame& Game);
  static void SaveRules(const TGame& Game, TWriter& Writer);
  static void LoadRules(TGame& Game, TReader& Reader);
  static void SaveSounds(const TGame& Game, TStream& Stream, TWriter& Writer);
  static void LoadSounds(TGame& Game, TStream& Stream, TReader& Reader);
  // Sizes and animations of the actors that have them.
  static bool HasSprites(const TGame& Game);
  static void SaveSprites(const TGame& Game, TWriter& Writer);
  static void LoadSprites(TGame& Game, TReader& Reader);
  static bool HasTransparentColors(const TGame& Game);
  static void SaveTransparentColors(const TGame& Game, TWriter& Writer);
  static void LoadTransparentColors(TGame& Game, TReader& Reader);
  static bool HasComments(const TGame& Game);
  static void SaveComments(const TGame& Game, TWriter& Writer);
  static void LoadComments(TGame& Game, TReader& Reader);
  static bool HasCameras(const TGame& Game);
  static void SaveCameras(const TGame& Game, TWriter& Writer);
  static void LoadCameras(TGame& Game, TReader& Reader);
  // The levels' own backdrop colours.
  static bool HasBackdrops(const TGame& Game);
  static void SaveBackdrops(const TGame& Game, TWriter& Writer);
  static void LoadBackdrops(TGame& Game, TReader& Reader);
  // The saved variables and the high-score table's settings.
  static bool HasSavedData(const TGame& Game);
  static void SaveSavedData(const TGame& Game, TWriter& Writer);
  static void LoadSavedData(TGame& Game, TReader& Reader);
  // Songs, the sounds' values as instruments, and the levels whose music
  // is a song.
  static bool HasSongs(const TGame& Game);
  static void SaveSongs(const TGame& Game, TWriter& Writer);
  static void LoadSongs(TGame& Game, TReader& Reader);
  static void LinkActionValues(TGame& Game);
};

}  // namespace lvk
