#include "generator/USaveFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "lvk_host.h"
#include "model/UErrors.h"
#include "model/UFormat.h"
#include "support/UDataFolders.h"

namespace lvk {

std::string SavesFolder() { return UserDataFolder() + "/saves"; }

std::string SaveStatusNote(int Status) {
  const char* Note = lvk_host_save_note(Status);
  return Note ? Note : "";
}

std::string TSaveFile::PathFor(const std::string& Folder, const std::string& Title) {
  std::string Name;
  for (char C : Title) {
    if (Name.size() >= 32) break;
    const bool Letter = (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9');
    if (Letter) Name += C;
    else if (!Name.empty() && Name.back() != '_') Name += '_';
  }
  while (!Name.empty() && Name.back() == '_') Name.pop_back();
  if (Name.empty()) Name = "game";
  char Key[16];
  std::snprintf(Key, sizeof Key, "-%08lx.sav", static_cast<unsigned long>(lvk_save_key(Title.data(), Title.size())));
  return Folder + "/" + Name + Key;
}

TSaveFile::TSaveFile(std::string Path, const std::string& Title)
    : FPath(std::move(Path)), FGameKey(lvk_save_key(Title.data(), Title.size())) {}

long TSaveFile::ReadBytes(std::vector<std::uint8_t>& Bytes) const {
  Bytes.clear();
  std::error_code Error;
  if (!std::filesystem::exists(FPath, Error)) return Error ? -1 : 0;
  std::ifstream In(FPath, std::ios::binary);
  if (!In) return -1;
  // Never more than one byte past a store: enough to know it is too long.
  Bytes.resize(LVK_SAVE_STORE_SIZE + 1);
  In.read(reinterpret_cast<char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
  if (In.bad()) return -1;
  Bytes.resize(static_cast<std::size_t>(In.gcount()));
  return static_cast<long>(Bytes.size());
}

bool TSaveFile::WriteBytes(const std::uint8_t* Bytes, std::size_t Size, std::string* Error) const {
  const std::filesystem::path Target(FPath);
  const std::string Temporary = FPath + ".new";
  std::error_code Code;
  std::filesystem::create_directories(Target.parent_path(), Code);
  std::FILE* File = std::fopen(Temporary.c_str(), "wb");
  bool Ok = File && std::fwrite(Bytes, 1, Size, File) == Size && std::fflush(File) == 0;
  const int Saved = errno;
  if (File && std::fclose(File) != 0) Ok = false;
  if (Ok) {
    std::filesystem::rename(Temporary, Target, Code);
    Ok = !Code;
  }
  if (!Ok) {
    if (Error) *Error = Code ? Code.message() : std::strerror(Saved ? Saved : EIO);
    std::filesystem::remove(Temporary, Code);
  }
  return Ok;
}

lvk_store_t TSaveFile::Store() {
  lvk_store_t S;
  S.read = [](void* Self, std::uint8_t* Bytes, std::uint32_t Size) -> long {
    std::vector<std::uint8_t> All;
    const long Length = static_cast<const TSaveFile*>(Self)->ReadBytes(All);
    if (Length > 0) std::memcpy(Bytes, All.data(), std::min<std::size_t>(All.size(), Size));
    return Length;
  };
  S.write = [](void* Self, const std::uint8_t* Bytes, std::uint32_t Size) -> int {
    return static_cast<const TSaveFile*>(Self)->WriteBytes(Bytes, Size, nullptr) ? 1 : 0;
  };
  S.context = this;
  return S;
}

int TSaveFile::Read(lvk_save_t& Save) const {
  std::vector<std::uint8_t> Bytes;
  const long Length = ReadBytes(Bytes);
  lvk_save_clear(&Save);
  if (Length < 0) return LVK_SAVE_NO_STORE;
  if (Length == 0) return LVK_SAVE_EMPTY;
  return lvk_save_read(Bytes.data(), Bytes.size(), FGameKey, &Save);
}

void TSaveFile::ClearTable() {
  std::vector<std::uint8_t> Bytes;
  ReadBytes(Bytes);
  lvk_save_t Save;
  if (Bytes.size() != LVK_SAVE_STORE_SIZE || lvk_save_read(Bytes.data(), Bytes.size(), FGameKey, &Save) != LVK_SAVE_OK) {
    if (Bytes.empty()) return;  // nothing kept: nothing to clear
    lvk_save_clear(&Save);
    Bytes.assign(LVK_SAVE_STORE_SIZE, 0);
  }
  Save.score_count = 0;
  lvk_save_write(&Save, FGameKey, Bytes.data());
  std::string Error;
  if (!WriteBytes(Bytes.data(), Bytes.size(), &Error))
    throw EGame(Format("Cannot write the saved games file %s: %s", FPath, Error));
}

}  // namespace lvk
