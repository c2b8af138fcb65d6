#pragma once
// A folder that looks like a DS tool chain to CheckKit: the files it looks
// at, none that builds anything. For the tool chain's rules and the build
// window's choice.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "generator/UToolChain.h"

namespace lvk::test {

struct TFakeKitPlan {
  using TPackages = std::vector<std::pair<std::string, std::string>>;
  TFakeKitPlan(std::string ALibnds = "1.8.0", bool ACalico = false, bool ACompiler = true, TPackages APackages = {})
      : Libnds(std::move(ALibnds)), Calico(ACalico), Compiler(ACompiler), DebianPackages(std::move(APackages)) {}
  std::string Libnds;  // written to nds/libversion.h; empty: no header
  bool Calico;         // libnds 2's system library beside it
  bool Compiler;       // devkitARM/bin/arm-none-eabi-gcc
  // With any: a kit of our own, naming the Debian packages it runs with as
  // "package file" lines.
  TPackages DebianPackages;
  // Files of UToolChain's KitLinkFiles left out: a damaged kit.
  std::vector<std::string> Without = {};
};

inline void WriteFakeKitFile(const std::filesystem::path& File, const std::string& Text, bool Program = false) {
  std::filesystem::create_directories(File.parent_path());
  std::ofstream(File) << Text;
  if (Program)
    std::filesystem::permissions(File, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                           std::filesystem::perms::group_exec);
}

inline void MakeFakeKit(const std::string& Folder, const TFakeKitPlan& Plan = {}) {
  namespace fs = std::filesystem;
  const fs::path Kit(Folder);
  if (Plan.Compiler) WriteFakeKitFile(Kit / "devkitARM/bin/arm-none-eabi-gcc", "#!/bin/sh\nexit 0\n", true);
  WriteFakeKitFile(Kit / "devkitARM/ds_rules", "# make rules\n");
  WriteFakeKitFile(Kit / "libnds/include/nds.h", "/* libnds */\n");
  WriteFakeKitFile(Kit / "libnds/lib/libnds9.a", "!<arch>\n");
  WriteFakeKitFile(Kit / "tools/bin/ndstool", "#!/bin/sh\nexit 0\n", true);
  for (const std::string& File : KitLinkFiles())
    if (std::find(Plan.Without.begin(), Plan.Without.end(), File) == Plan.Without.end())
      WriteFakeKitFile(Kit / File, "fake\n");
  if (!Plan.Libnds.empty()) {
    const std::string V = Plan.Libnds;
    const auto Dot1 = V.find('.'), Dot2 = V.rfind('.');
    WriteFakeKitFile(Kit / "libnds/include/nds/libversion.h",
                     "#define _LIBNDS_MAJOR_\t" + V.substr(0, Dot1) + "\n#define _LIBNDS_MINOR_\t" +
                         V.substr(Dot1 + 1, Dot2 - Dot1 - 1) + "\n#define _LIBNDS_PATCH_\t" + V.substr(Dot2 + 1) + "\n");
  }
  if (Plan.Calico) WriteFakeKitFile(Kit / "calico/include/calico.h", "/* calico */\n");
  if (!Plan.DebianPackages.empty()) {
    std::string List = "# Debian packages the DS kit runs with\n";
    for (const auto& [Package, File] : Plan.DebianPackages) List += Package + " " + File + "\n";
    WriteFakeKitFile(Kit / "debian-packages.txt", List);
  }
}

}  // namespace lvk::test
