#include "generator/UToolChainCopy.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "generator/UBackEnd.h"
#include "generator/UBuildLog.h"
#include "model/UErrors.h"
#include "support/UDataFolders.h"

namespace lvk {

namespace fs = std::filesystem;

namespace {

// Relative path -> content hash.
using TManifest = std::map<std::string, std::string>;

// FNV-1a: tells an edited file from the one installed; no defence against
// anyone, the user owns both.
std::string ContentHash(const fs::path& File) {
  std::ifstream In(File, std::ios::binary);
  if (!In) return {};
  std::uint64_t H = 14695981039346656037ull;
  char Buf[8192];
  while (In.read(Buf, sizeof Buf) || In.gcount() > 0) {
    for (std::streamsize i = 0; i < In.gcount(); ++i) {
      H ^= static_cast<unsigned char>(Buf[i]);
      H *= 1099511628211ull;
    }
  }
  char Text[17];
  std::snprintf(Text, sizeof Text, "%016" PRIx64, H);
  return Text;
}

// One "hash path" per line; anything else in it is ignored.
TManifest ReadManifest(const fs::path& File) {
  TManifest M;
  std::ifstream In(File);
  for (std::string Line; std::getline(In, Line);) {
    auto Blank = Line.find(' ');
    if (Blank != 16 || Line.size() <= 17) continue;
    M[Line.substr(17)] = Line.substr(0, 16);
  }
  return M;
}

void WriteManifest(const fs::path& File, const TManifest& M) {
  const fs::path Temp = File.string() + ".new";
  {
    std::ofstream Out(Temp, std::ios::trunc);
    for (const auto& [Path, Hash] : M) Out << Hash << ' ' << Path << '\n';
    Out.flush();
    if (!Out) throw EFileError("Cannot write file \"" + Temp.string() + "\"");
  }
  std::error_code Ec;
  fs::rename(Temp, File, Ec);
  if (Ec) throw EFileError("Cannot write file \"" + File.string() + "\": " + Ec.message());
}

// Copied beside the target and renamed over it: an interrupted copy never
// leaves half a file where the user's was.
void CopyOver(const fs::path& Source, const fs::path& Target) {
  std::error_code Ec;
  fs::create_directories(Target.parent_path(), Ec);
  const fs::path Temp = Target.string() + ".new";
  if (!Ec) fs::copy_file(Source, Temp, fs::copy_options::overwrite_existing, Ec);
  if (!Ec) fs::rename(Temp, Target, Ec);
  if (Ec) {
    fs::remove(Temp, Ec);
    throw EFileError("Cannot copy \"" + Source.string() + "\" to \"" + Target.string() + "\"");
  }
}

}  // namespace

void UpdateToolChainCopy(const std::string& From, const std::string& To, TBuildLog& Log) {
  const fs::path ManifestFile = fs::path(To) / InstalledManifest;
  const bool First = !fs::exists(ManifestFile);
  const TManifest Old = ReadManifest(ManifestFile);
  TManifest New;
  std::error_code Ec;
  fs::recursive_directory_iterator It(From, Ec), End;
  if (Ec) throw EFileError("Cannot read folder \"" + From + "\": " + Ec.message());
  for (; It != End; It.increment(Ec)) {
    if (Ec) throw EFileError("Cannot read folder \"" + From + "\": " + Ec.message());
    if (!It->is_regular_file(Ec)) continue;
    const std::string Rel = It->path().lexically_relative(From).generic_string();
    // The launcher's output, should one have been left in the installed folder.
    if (Rel == "launcher.log" || Rel == InstalledManifest) continue;
    const fs::path Target = fs::path(To) / Rel;
    const std::string Installed = ContentHash(It->path());
    if (Installed.empty()) throw EFileError("Cannot read file \"" + It->path().string() + "\"");
    const std::string Current = fs::exists(Target) ? ContentHash(Target) : std::string();
    auto Was = Old.find(Rel);
    if (Current.empty()) {
      CopyOver(It->path(), Target);
    } else if (Current != Installed) {
      if (Was != Old.end() && Was->second == Current) {
        CopyOver(It->path(), Target);
        Log.LogLine("Updated " + Target.string());
      } else {
        // The user's version stays; said once for each version installed.
        if (Was == Old.end() || Was->second != Installed)
          Log.LogLine("Kept your changed " + Target.string() + "; the new version is " + It->path().string());
      }
    }
    New[Rel] = Installed;
  }
  WriteManifest(ManifestFile, New);
  if (First) Log.LogLine("Copied the DS project and launcher from " + From + " to " + To);
}

void PrepareToolChainFolder(const std::string& ProgramFolder, TBuildLog& Log) {
  const std::string Data = DataFolder(ProgramFolder);
  if (ToolChainRoot(ProgramFolder) == Data) return;
  UpdateToolChainCopy(Data + "/devkitPro", DevkitProFolder(ProgramFolder), Log);
}

}  // namespace lvk
