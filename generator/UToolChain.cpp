#include "generator/UToolChain.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "support/UDataFolders.h"

namespace lvk {

namespace fs = std::filesystem;

namespace {

bool IsFile(const std::string& Path) {
  std::error_code Ec;
  return fs::is_regular_file(Path, Ec);
}

bool IsFolder(const std::string& Path) {
  std::error_code Ec;
  return fs::is_directory(Path, Ec);
}

bool IsProgram(const std::string& Path) { return IsFile(Path) && ::access(Path.c_str(), X_OK) == 0; }

bool OnSearchPath(const std::string& Name) {
  const char* Path = std::getenv("PATH");
  std::istringstream Folders(Path ? Path : "");
  for (std::string Folder; std::getline(Folders, Folder, ':');)
    if (IsProgram((Folder.empty() ? std::string(".") : Folder) + "/" + Name)) return true;
  return false;
}

// The first bytes of a small text file; empty when it cannot be read. Kit
// files are tiny; anything past the limit is not looked at, and anything but
// a regular file (a pipe would block) is not opened.
std::string Head(const std::string& Path, std::size_t Limit = 65536) {
  if (!IsFile(Path)) return {};
  std::ifstream In(Path, std::ios::binary);
  std::string Text(Limit, '\0');
  In.read(Text.data(), static_cast<std::streamsize>(Limit));
  Text.resize(static_cast<std::size_t>(std::max<std::streamsize>(In.gcount(), 0)));
  return Text;
}

// "1.8.0" from libnds' nds/libversion.h ("#define _LIBNDS_MAJOR_ 1" and so
// on); empty when it names no version.
std::string LibndsVersion(const std::string& Header) {
  std::istringstream In(Head(Header));
  std::string Parts[3];
  const std::string Names[3] = {"_LIBNDS_MAJOR_", "_LIBNDS_MINOR_", "_LIBNDS_PATCH_"};
  for (std::string Line; std::getline(In, Line);) {
    std::istringstream Words(Line);
    std::string Define, Name, Value;
    if (!(Words >> Define >> Name >> Value) || Define != "#define") continue;
    for (int i = 0; i < 3; ++i)
      if (Name == Names[i] && Value.size() <= 4 && Value.find_first_not_of("0123456789") == std::string::npos)
        Parts[i] = Value;
  }
  if (Parts[0].empty() || Parts[1].empty() || Parts[2].empty()) return {};
  return Parts[0] + "." + Parts[1] + "." + Parts[2];
}

// "package file" lines of a kit's debian-packages.txt: the packages whose
// file is missing. A bare name is a program looked for on the search path.
std::vector<std::string> MissingDebianPackages(const std::string& List) {
  std::vector<std::string> Missing;
  std::istringstream In(Head(List));
  for (std::string Line; std::getline(In, Line);) {
    std::istringstream Fields(Line);
    std::string Package, File;
    if (!(Fields >> Package >> File) || Package[0] == '#') continue;
    const bool Present = File.find('/') == std::string::npos ? OnSearchPath(File) : IsFile(File);
    if (!Present && std::find(Missing.begin(), Missing.end(), Package) == Missing.end()) Missing.push_back(Package);
  }
  return Missing;
}

std::string Joined(const std::vector<std::string>& Words, const std::string& Between) {
  std::string Text;
  for (const std::string& W : Words) Text += (Text.empty() ? "" : Between) + W;
  return Text;
}

std::string Normal(const std::string& Path) {
  std::string P = fs::path(Path).lexically_normal().string();
  while (P.size() > 1 && P.back() == '/') P.pop_back();
  return P;
}

}  // namespace

const std::vector<std::string>& KitLinkFiles() {
  static const std::vector<std::string> Files = {
      "devkitARM/base_rules",
      "devkitARM/base_tools",
      "devkitARM/arm-none-eabi/lib/ds_arm9_crt0.o",
      "devkitARM/arm-none-eabi/lib/ds_arm9.specs",
      "devkitARM/arm-none-eabi/lib/ds_arm9.ld",
      "devkitARM/arm-none-eabi/lib/ds_arm9.mem",
      "devkitARM/arm-none-eabi/lib/libsysbase.a",
      "libnds/default.elf",
  };
  return Files;
}

TKitCheck CheckKit(const std::string& DevkitPro, const std::string& DevkitArm) {
  TKitCheck C;
  C.OurOwn = IsFile(DevkitPro + "/debian-packages.txt");
  const std::string Libnds = DevkitPro + "/libnds";
  if (!IsFolder(DevkitPro)) {
    C.Problem = "there is no such folder";
    return C;
  }
  // libnds 2 comes with calico, its new system library, and other specs
  // files, link libraries and default ARM7 program: our project's Makefile
  // and main.c were never built against it.
  C.Libnds = LibndsVersion(Libnds + "/include/nds/libversion.h");
  C.Libnds2 = IsFolder(DevkitPro + "/calico") || (!C.Libnds.empty() && std::atoi(C.Libnds.c_str()) >= 2);
  if (C.Libnds2) {
    C.Problem = "it holds libnds " + (C.Libnds.empty() ? std::string("2") : C.Libnds) +
                ", built on calico, which our DS project was not made for";
  } else if (!IsProgram(DevkitArm + "/bin/arm-none-eabi-gcc")) {
    C.Problem = "it has no devkitARM compiler (" + DevkitArm + "/bin/arm-none-eabi-gcc)";
  } else if (!IsFile(DevkitArm + "/ds_rules")) {
    C.Problem = "it has no devkitARM make rules (" + DevkitArm + "/ds_rules)";
  } else if (!IsFile(Libnds + "/include/nds.h") || !IsFile(Libnds + "/lib/libnds9.a")) {
    C.Problem = "it has no libnds (" + Libnds + ")";
  } else if (C.Libnds.empty()) {
    C.Problem = "its libnds version cannot be told (no " + Libnds + "/include/nds/libversion.h)";
  } else if (C.Libnds.rfind("1.8.", 0) != 0) {
    C.Problem = "it holds libnds " + C.Libnds + "; our DS project needs libnds 1.8";
  } else if (!IsProgram(DevkitPro + "/tools/bin/ndstool")) {
    C.Problem = "it has no ndstool (" + DevkitPro + "/tools/bin/ndstool)";
  }
  if (!C.Problem.empty()) return C;
  // The files make reaches for only at the link: named now, not as a
  // linker error after the whole game compiled. DevkitArm may lie elsewhere.
  for (const std::string& File : KitLinkFiles()) {
    const bool InArm = File.rfind("devkitARM/", 0) == 0;
    if (!IsFile((InArm ? DevkitArm + File.substr(9) : DevkitPro + "/" + File))) C.MissingFiles.push_back(File);
  }
  if (!C.MissingFiles.empty()) {
    C.Problem = "it is damaged: " + Joined(C.MissingFiles, ", ") + (C.MissingFiles.size() == 1 ? " is" : " are") +
                " missing";
    return C;
  }
  // A kit of ours names the Debian packages it wraps; any tool chain needs make.
  const std::string Packages = DevkitPro + "/debian-packages.txt";
  if (IsFile(Packages))
    C.MissingPackages = MissingDebianPackages(Packages);
  else if (!OnSearchPath("make"))
    C.MissingPackages = {"make"};
  if (!C.MissingPackages.empty()) {
    C.Problem = "Debian's " + Joined(C.MissingPackages, ", ") +
                (C.MissingPackages.size() == 1 ? " is" : " are") + " not installed";
    return C;
  }
  C.Usable = true;
  return C;
}

std::string BundledKitFolder(const std::string& ProgramFolder) {
  const std::string Program = Normal(ProgramFolder);
  if (DataFolder(Program) != Program) return Normal(Program + "/../lib/" + AppFolderName + "/dskit");
  return Program + "/dskit";
}

std::vector<std::string> TToolChain::Lines() const {
  std::vector<std::string> L = Notes;
  if (Usable()) {
    L.push_back(Description);
  } else {
    L.push_back("No DS tool chain to build with: " + Missing + ".");
    L.push_back("Install it with: " + InstallCommand);
  }
  return L;
}

namespace {

// How to mend a damaged kit, as a sentence after the one that names it.
std::string RebuildHint(const TKitCheck& C, const std::string& Kit) {
  if (C.MissingFiles.empty()) return {};
  if (C.OurOwn) return " Rebuild it with: sh scripts/dskit.sh " + Kit + "   (in the source tree)";
  return " Reinstall its devkitARM and libnds.";
}

}  // namespace

TToolChain ChooseToolChain(const TToolChainInputs& In) {
  TToolChain T;
  auto Take = [&T](TToolChainKind Kind, const std::string& Pro, const std::string& Arm, const std::string& Why) {
    T.Kind = Kind;
    T.DevkitPro = Pro;
    T.DevkitArm = Arm;
    T.Description = Why;
    return T;
  };

  if (!In.ChosenKit.empty()) {
    const std::string Kit = Normal(In.ChosenKit);
    const TKitCheck C = CheckKit(Kit, Kit + "/devkitARM");
    if (C.Usable)
      return Take(TToolChainKind::tkChosen, Kit, Kit + "/devkitARM",
                  "Tool chain: the kit chosen in the build window, " + Kit + " (libnds " + C.Libnds + ")");
    T.Notes.push_back("The kit chosen in the build window, " + Kit + ", is not used: " + C.Problem + "." +
                      RebuildHint(C, Kit));
  }

  // devkitPro's own convention: DEVKITARM lies in DEVKITPRO unless both are set.
  if (!In.EnvDevkitPro.empty() || !In.EnvDevkitArm.empty()) {
    const std::string Pro = Normal(!In.EnvDevkitPro.empty() ? In.EnvDevkitPro : In.EnvDevkitArm + "/..");
    const std::string Arm = Normal(!In.EnvDevkitArm.empty() ? In.EnvDevkitArm : Pro + "/devkitARM");
    const TKitCheck C = CheckKit(Pro, Arm);
    if (C.Usable)
      return Take(TToolChainKind::tkEnvironment, Pro, Arm,
                  "Tool chain: DEVKITPRO from the environment, " + Pro + " (libnds " + C.Libnds + ")");
    T.Notes.push_back("DEVKITPRO=" + Pro + " from the environment is not used: " + C.Problem + "." +
                      RebuildHint(C, Pro));
  }

  const std::string Bundled = BundledKitFolder(In.ProgramFolder);
  const bool Installed = DataFolder(Normal(In.ProgramFolder)) != Normal(In.ProgramFolder);
  const TKitCheck C = CheckKit(Bundled, Bundled + "/devkitARM");
  if (C.Usable)
    return Take(TToolChainKind::tkBundled, Bundled, Bundled + "/devkitARM",
                "Tool chain: the kit that comes with Lurvik Studio, " + Bundled);
  if (!C.MissingPackages.empty()) {
    T.Missing = "Debian's " + Joined(C.MissingPackages, ", ") +
                ", which the kit that comes with Lurvik Studio runs with, " +
                (C.MissingPackages.size() == 1 ? "is" : "are") + " not installed";
    T.InstallCommand = "sudo apt install " + Joined(C.MissingPackages, " ");
  } else if (Installed) {
    T.Missing = "the kit that comes with Lurvik Studio is missing or damaged (" + Bundled + ": " + C.Problem + ")";
    T.InstallCommand = "sudo apt install --reinstall lurvik-studio";
  } else {
    // Run from a build tree: the kit is built from the pinned sources.
    T.Missing = "the DS kit beside the program is " + std::string(C.MissingFiles.empty() ? "missing" : "damaged") +
                " (" + Bundled + ": " + C.Problem + ")";
    T.InstallCommand = "sh scripts/dskit.sh " + Bundled + "   (in the source tree)";
  }
  return T;
}

TToolChainInputs ToolChainInputs(const std::string& ProgramFolder, const std::string& ChosenKit) {
  TToolChainInputs In;
  In.ChosenKit = ChosenKit;
  In.ProgramFolder = ProgramFolder;
  if (const char* Pro = std::getenv("DEVKITPRO")) In.EnvDevkitPro = Pro;
  if (const char* Arm = std::getenv("DEVKITARM")) In.EnvDevkitArm = Arm;
  return In;
}

std::vector<std::pair<std::string, std::string>> LauncherEnvironment(const TToolChain& ToolChain) {
  const std::string Text = Joined(ToolChain.Lines(), "\n");
  if (!ToolChain.Usable()) return {{"LURVIK_TOOLCHAIN_MISSING", Text}};
  return {{"DEVKITPRO", ToolChain.DevkitPro}, {"DEVKITARM", ToolChain.DevkitArm}, {"LURVIK_TOOLCHAIN", Text}};
}

}  // namespace lvk
