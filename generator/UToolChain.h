#pragma once
// Which DS tool chain a build uses, and why. In this order: the kit the user
// chose in the build window; DEVKITPRO/DEVKITARM from the environment when
// they hold a libnds 1.8 tool chain; the kit that comes with the program
// (built by scripts/dskit.sh around Debian's arm-none-eabi compiler). No Qt:
// the build window and the command line follow the same rules.
#include <string>
#include <utility>
#include <vector>

namespace lvk {

// A folder as a tool chain for our DS project, which is made for libnds 1.8.
struct TKitCheck {
  bool Usable = false;
  std::string Libnds;  // "1.8.0"; empty when there is none or it cannot be told
  bool Libnds2 = false;  // libnds 2 (with calico): a different system library
  // Why it cannot be used, as the end of a sentence ("it has no libnds ...");
  // empty when usable.
  std::string Problem;
  // Debian packages the kit runs with that are not installed.
  std::vector<std::string> MissingPackages;
  // A damaged kit: the start files, link scripts, libraries or default ARM7
  // program that make would fail on, relative to the kit's folder.
  std::vector<std::string> MissingFiles;
  bool OurOwn = false;  // made by scripts/dskit.sh (it names its Debian packages)
};

// The files of a kit, besides its compiler, rules, libnds headers and
// ndstool, without which make fails late, at the link: relative to the
// kit's folder, devkitARM in it.
const std::vector<std::string>& KitLinkFiles();

// Checks DevkitPro with its DevkitArm (normally DevkitPro/devkitARM): the
// compiler and make rules, libnds 1.8 with ndstool, and, for a kit of our own
// (debian-packages.txt in it), the Debian packages it runs with. libnds 2 is
// told by its calico folder or its version header. A kit that lacks any of
// KitLinkFiles is damaged, and says which.
TKitCheck CheckKit(const std::string& DevkitPro, const std::string& DevkitArm);

// Where the kit that comes with the program lies: <prefix>/lib/lurvik-studio/dskit
// beside an installed program, else the dskit folder beside the executable.
std::string BundledKitFolder(const std::string& ProgramFolder);

enum class TToolChainKind { tkNone, tkChosen, tkEnvironment, tkBundled };

struct TToolChain {
  TToolChainKind Kind = TToolChainKind::tkNone;
  std::string DevkitPro;
  std::string DevkitArm;
  // The one used, and why: "Tool chain: the kit that comes with Lurvik Studio, /usr/lib/...".
  std::string Description;
  // One line for each tool chain passed over before it, saying why.
  std::vector<std::string> Notes;
  // With tkNone: what is missing (a clause: "Debian's make ... is not
  // installed"), and the one command that installs it.
  std::string Missing;
  std::string InstallCommand;

  bool Usable() const { return Kind != TToolChainKind::tkNone; }
  // Everything above as lines, in the order they were decided.
  std::vector<std::string> Lines() const;
};

struct TToolChainInputs {
  std::string ChosenKit;      // the build window's setting; empty for none
  std::string EnvDevkitPro;   // DEVKITPRO; empty when unset
  std::string EnvDevkitArm;   // DEVKITARM; empty when unset
  std::string ProgramFolder;  // the executable's folder: the bundled kit is found from it
};

TToolChain ChooseToolChain(const TToolChainInputs& Inputs);

// The inputs from this process's environment.
TToolChainInputs ToolChainInputs(const std::string& ProgramFolder, const std::string& ChosenKit);

// What the launcher gets in its environment: DEVKITPRO and DEVKITARM of the
// chosen tool chain and LURVIK_TOOLCHAIN, the lines it writes to its log; with
// no usable one, LURVIK_TOOLCHAIN_MISSING instead, and it does not build.
std::vector<std::pair<std::string, std::string>> LauncherEnvironment(const TToolChain& ToolChain);

}  // namespace lvk
