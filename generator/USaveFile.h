#pragma once
// The play window's saved games: a file per game in a folder (the user's
// data folder's "saves"), holding the store's bytes as every host keeps them
// (engine/lvk_save.h). Writes go to a temporary file beside it that then
// takes the file's place, so a failed write leaves the old file as it was.
#include <cstdint>
#include <string>
#include <vector>

#include "lvk_engine.h"

namespace lvk {

// The folder of the play window's saves: UserDataFolder()/saves.
std::string SavesFolder();

// What a host shows for an engine's save status (lvk_engine_save_status), or
// empty for none worth telling.
std::string SaveStatusNote(int Status);

class TSaveFile {
public:
  // The file of the game with Title in Folder: the title's letters and
  // digits (at most 32) and its key in hex, "Ghost_Hunt-0d3e70b6.sav".
  static std::string PathFor(const std::string& Folder, const std::string& Title);

  TSaveFile(std::string Path, const std::string& Title);
  const std::string& Path() const { return FPath; }
  std::uint32_t GameKey() const { return FGameKey; }

  // The calls the engine reads and writes through; valid while this lives.
  lvk_store_t Store();

  // Reads the file as the engine would into Save: LVK_SAVE_... (a missing
  // file is LVK_SAVE_EMPTY, one that cannot be read LVK_SAVE_NO_STORE).
  int Read(lvk_save_t& Save) const;
  // Empties the high-score table and keeps the slots; a file that does not
  // read starts anew. Throws EGame with the reason when it cannot write.
  void ClearTable();

private:
  // The whole file: -1 when it cannot be read, else its length (0: none).
  long ReadBytes(std::vector<std::uint8_t>& Bytes) const;
  bool WriteBytes(const std::uint8_t* Bytes, std::size_t Size, std::string* Error) const;
  std::string FPath;
  std::uint32_t FGameKey;
};

}  // namespace lvk
