#include "support/UDataFolders.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace lvk {

namespace fs = std::filesystem;

namespace {

bool IsFolder(const std::string& Path) {
  std::error_code Ec;
  return fs::is_directory(Path, Ec);
}

bool Writable(const std::string& Path) { return ::access(Path.c_str(), W_OK) == 0; }

std::string HomeFolder() {
  const char* Home = std::getenv("HOME");
  if (Home && *Home) return Home;
  // No HOME (a service, a stripped environment): the account's own.
  if (const passwd* Pw = ::getpwuid(::getuid()); Pw && Pw->pw_dir && *Pw->pw_dir) return Pw->pw_dir;
  return "/";
}

std::string WithoutTrailingSlash(std::string Path) {
  while (Path.size() > 1 && Path.back() == '/') Path.pop_back();
  return Path;
}

}  // namespace

std::string DataFolder(const std::string& ProgramFolder) {
  const fs::path Installed = (fs::path(ProgramFolder) / ".." / "share" / AppFolderName).lexically_normal();
  if (IsFolder(Installed.string())) return WithoutTrailingSlash(Installed.string());
  return WithoutTrailingSlash(ProgramFolder);
}

std::string SampleGamePath(const std::string& DataFolder) {
  const std::string Path = DataFolder + "/examples/Sample.lvk";
  std::error_code Ec;
  return fs::is_regular_file(Path, Ec) ? Path : std::string();
}

std::string UserDataFolder() {
  // As Qt forms it: a set XDG_DATA_HOME is taken as it is.
  const char* Xdg = std::getenv("XDG_DATA_HOME");
  const std::string Base = Xdg && *Xdg ? std::string(Xdg) : WithoutTrailingSlash(HomeFolder()) + "/.local/share";
  return Base + "/" + AppFolderName;
}

std::string ToolChainRoot(const std::string& ProgramFolder) {
  const std::string Data = DataFolder(ProgramFolder);
  const std::string Kit = Data + "/devkitPro";
  if (!IsFolder(Kit)) return Data;
  const bool Installed = Data != WithoutTrailingSlash(ProgramFolder);
  const std::string Work = Kit + "/msys/home/Lurvik";
  if (Installed || !Writable(Kit) || (IsFolder(Work) && !Writable(Work))) return UserDataFolder();
  return Data;
}

}  // namespace lvk
