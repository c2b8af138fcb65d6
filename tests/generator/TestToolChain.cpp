// Which DS tool chain a build uses: what makes a folder a usable kit, the
// order of the choice, and what the user is told when nothing is usable.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "generator/TFakeKit.h"
#include "generator/UToolChain.h"

using namespace lvk;
namespace fs = std::filesystem;

namespace {

test::TFakeKitPlan Without(std::vector<std::string> Files, test::TFakeKitPlan::TPackages Packages = {}) {
  test::TFakeKitPlan Plan("1.8.3", false, true, std::move(Packages));
  Plan.Without = std::move(Files);
  return Plan;
}

}  // namespace

TEST(ToolChain, AKitIsUsableWithLibnds18AndWhatItRunsWith) {
  test::TTempDir Dir;
  const std::string Present = Dir.File("present-file");
  test::WriteBytes(Present, {1});
  struct {
    const char* Name;
    test::TFakeKitPlan Plan;
    bool Usable, Libnds2;
    std::string Problem;  // a part of it
  } Cases[] = {
      {"a 1.8 kit", {}, true, false, ""},
      {"libnds 2 with calico", {"2.0.0", true}, false, true, "holds libnds 2.0.0, built on calico, which our DS"},
      {"calico alone tells libnds 2", {"", true}, false, true, "holds libnds 2, built on calico"},
      {"a version 2 header", {"2.1.0"}, false, true, "holds libnds 2.1.0"},
      {"an older libnds", {"1.7.2"}, false, false, "holds libnds 1.7.2; our DS project needs libnds 1.8"},
      {"no version header", {""}, false, false, "its libnds version cannot be told"},
      {"no compiler", {"1.8.0", false, false}, false, false, "no devkitARM compiler"},
      {"our kit with its packages", {"1.8.3", false, true, {{"gcc-arm-none-eabi", Present}, {"make", "sh"}}}, true,
       false, ""},
      {"our kit without them",
       {"1.8.3", false, true,
        {{"gcc-arm-none-eabi", Dir.File("gone")}, {"make", "lurvik-no-such-make"}, {"make", "lurvik-nor-this"}}},
       false, false, "Debian's gcc-arm-none-eabi, make are not installed"},
      {"no start files",
       Without({"devkitARM/arm-none-eabi/lib/ds_arm9_crt0.o", "devkitARM/arm-none-eabi/lib/ds_arm9.specs"}), false,
       false,
       "it is damaged: devkitARM/arm-none-eabi/lib/ds_arm9_crt0.o, devkitARM/arm-none-eabi/lib/ds_arm9.specs are "
       "missing"},
      {"no system library", Without({"devkitARM/arm-none-eabi/lib/libsysbase.a"}), false, false,
       "it is damaged: devkitARM/arm-none-eabi/lib/libsysbase.a is missing"},
      {"no default ARM7 program", Without({"libnds/default.elf"}), false, false,
       "it is damaged: libnds/default.elf is missing"},
      {"no make rules of the base", Without({"devkitARM/base_rules"}), false, false, "devkitARM/base_rules is missing"},
  };
  int N = 0;
  for (const auto& C : Cases) {
    const std::string Kit = Dir.File("kit" + std::to_string(N++));
    test::MakeFakeKit(Kit, C.Plan);
    const TKitCheck Check = CheckKit(Kit, Kit + "/devkitARM");
    EXPECT_EQ(Check.Usable, C.Usable) << C.Name << ": " << Check.Problem;
    EXPECT_EQ(Check.Libnds2, C.Libnds2) << C.Name;
    if (!C.Problem.empty()) {
      EXPECT_NE(Check.Problem.find(C.Problem), std::string::npos) << C.Name << ": " << Check.Problem;
    }
  }
  EXPECT_EQ(CheckKit(Dir.File("kit0"), Dir.File("kit0/devkitARM")).Libnds, "1.8.0");
  EXPECT_EQ(CheckKit(Dir.File("kit7"), Dir.File("kit7/devkitARM")).MissingPackages, std::vector<std::string>{});
  EXPECT_EQ(CheckKit(Dir.File("kit8"), Dir.File("kit8/devkitARM")).MissingPackages,
            (std::vector<std::string>{"gcc-arm-none-eabi", "make"}));
  EXPECT_EQ(CheckKit(Dir.File("none"), Dir.File("none/devkitARM")).Problem, "there is no such folder");
}

TEST(ToolChain, TheChosenKitThenTheEnvironmentThenTheProgramsOwn) {
  test::TTempDir Dir;
  const std::string Program = Dir.File("out");
  const std::string Bundled = Program + "/dskit";
  const std::string Good = Dir.File("good"), Old = Dir.File("old"), Two = Dir.File("two");
  test::MakeFakeKit(Good);
  test::MakeFakeKit(Old, {"1.7.2"});
  test::MakeFakeKit(Two, {"2.0.0", true});
  fs::create_directories(Program);

  struct {
    const char* Name;
    std::string Chosen, EnvPro, EnvArm;
    bool WithBundled;
    TToolChainKind Kind;
    std::string DevkitPro;
    std::vector<std::string> Notes;  // a part of each
  } Cases[] = {
      {"the chosen kit first", Good, Two, "", true, TToolChainKind::tkChosen, Good, {}},
      {"a chosen kit that is not one", Dir.File("nowhere"), Good, "", true, TToolChainKind::tkEnvironment, Good,
       {"The kit chosen in the build window, " + Dir.File("nowhere") + ", is not used: there is no such folder."}},
      {"DEVKITARM alone names its DEVKITPRO", "", "", Good + "/devkitARM", true, TToolChainKind::tkEnvironment, Good, {}},
      {"libnds 2 is passed over in one line", "", Two, "", true, TToolChainKind::tkBundled, Bundled,
       {"DEVKITPRO=" + Two + " from the environment is not used: it holds libnds 2.0.0, built on calico, which our DS "
                             "project was not made for."}},
      {"both passed over", Old, Two, "", true, TToolChainKind::tkBundled, Bundled,
       {"holds libnds 1.7.2", "holds libnds 2.0.0"}},
      {"nothing usable", "", Two, "", false, TToolChainKind::tkNone, "", {"holds libnds 2.0.0"}},
  };
  for (const auto& C : Cases) {
    fs::remove_all(Bundled);
    if (C.WithBundled) test::MakeFakeKit(Bundled);
    const TToolChain T = ChooseToolChain({C.Chosen, C.EnvPro, C.EnvArm, Program});
    EXPECT_EQ(T.Kind, C.Kind) << C.Name;
    EXPECT_EQ(T.DevkitPro, C.DevkitPro) << C.Name;
    if (T.Usable()) {
      EXPECT_EQ(T.DevkitArm, C.DevkitPro + "/devkitARM") << C.Name;
    }
    ASSERT_EQ(T.Notes.size(), C.Notes.size()) << C.Name;
    for (std::size_t i = 0; i < C.Notes.size(); ++i)
      EXPECT_NE(T.Notes[i].find(C.Notes[i]), std::string::npos) << C.Name << ": " << T.Notes[i];
    // The lines shown: the notes, then the choice or what is missing.
    EXPECT_EQ(T.Lines().size(), C.Notes.size() + (T.Usable() ? 1 : 2)) << C.Name;
  }
  test::MakeFakeKit(Bundled);
  EXPECT_EQ(ChooseToolChain({"", "", "", Program}).Description,
            "Tool chain: the kit that comes with Lurvik Studio, " + Bundled);
  EXPECT_EQ(ChooseToolChain({Good, "", "", Program}).Description,
            "Tool chain: the kit chosen in the build window, " + Good + " (libnds 1.8.0)");
}

// With nothing usable the user learns what is missing and the one command
// that installs it, and the launcher is told not to build.
TEST(ToolChain, NothingUsableSaysWhatIsMissingAndHowToInstallIt) {
  test::TTempDir Dir;
  // A build tree without its kit.
  const std::string Tree = Dir.File("out");
  fs::create_directories(Tree);
  TToolChain T = ChooseToolChain({"", "", "", Tree});
  EXPECT_EQ(T.Lines(), (std::vector<std::string>{
                           "No DS tool chain to build with: the DS kit beside the program is missing (" + Tree +
                               "/dskit: there is no such folder).",
                           "Install it with: sh scripts/dskit.sh " + Tree + "/dskit   (in the source tree)"}));
  EXPECT_EQ(LauncherEnvironment(T),
            (std::vector<std::pair<std::string, std::string>>{{"LURVIK_TOOLCHAIN_MISSING", T.Lines()[0] + "\n" + T.Lines()[1]}}));

  // An installed program whose kit is gone: reinstall it.
  const std::string Bin = Dir.File("usr/bin");
  fs::create_directories(Bin);
  fs::create_directories(Dir.File("usr/share/lurvik-studio"));
  EXPECT_EQ(BundledKitFolder(Bin), Dir.File("usr/lib/lurvik-studio/dskit"));
  EXPECT_EQ(ChooseToolChain({"", "", "", Bin}).InstallCommand, "sudo apt install --reinstall lurvik-studio");

  // Its kit is there, Debian's compiler packages are not.
  test::WriteBytes(Dir.File("libc.a"), {1});
  test::MakeFakeKit(Dir.File("usr/lib/lurvik-studio/dskit"),
                    {"1.8.3", false, true,
                     {{"gcc-arm-none-eabi", Dir.File("gone-gcc")},
                      {"binutils-arm-none-eabi", Dir.File("gone-as")},
                      {"libnewlib-arm-none-eabi", Dir.File("libc.a")}}});
  T = ChooseToolChain({"", "", "", Bin});
  EXPECT_FALSE(T.Usable());
  EXPECT_EQ(T.InstallCommand, "sudo apt install gcc-arm-none-eabi binutils-arm-none-eabi");
  EXPECT_NE(T.Lines()[0].find("gcc-arm-none-eabi, binutils-arm-none-eabi"), std::string::npos) << T.Lines()[0];

  // A usable one goes to the launcher with its lines.
  test::MakeFakeKit(Dir.File("kit"));
  T = ChooseToolChain({Dir.File("kit"), "", "", Bin});
  EXPECT_EQ(LauncherEnvironment(T), (std::vector<std::pair<std::string, std::string>>{
                                        {"DEVKITPRO", Dir.File("kit")},
                                        {"DEVKITARM", Dir.File("kit/devkitARM")},
                                        {"LURVIK_TOOLCHAIN", T.Description}}));
}

// A kit that lost files make links with is named as damaged before make
// runs, with what is missing and how to make it whole again.
TEST(ToolChain, ADamagedKitIsNamedWithWhatIsMissingAndHowToRebuildIt) {
  test::TTempDir Dir;
  const std::string Tree = Dir.File("out");
  const std::string Bundled = Tree + "/dskit";
  const std::string Crt0 = "devkitARM/arm-none-eabi/lib/ds_arm9_crt0.o";
  test::MakeFakeKit(Bundled, Without({Crt0, "libnds/default.elf"}, {{"make", "sh"}}));
  TToolChain T = ChooseToolChain({"", "", "", Tree});
  EXPECT_EQ(T.Lines(), (std::vector<std::string>{
                           "No DS tool chain to build with: the DS kit beside the program is damaged (" + Bundled +
                               ": it is damaged: " + Crt0 + ", libnds/default.elf are missing).",
                           "Install it with: sh scripts/dskit.sh " + Bundled + "   (in the source tree)"}));
  ASSERT_EQ(LauncherEnvironment(T).size(), 1u);
  EXPECT_EQ(LauncherEnvironment(T)[0].first, "LURVIK_TOOLCHAIN_MISSING");

  // Chosen in the build window: passed over, with the way to rebuild it; a
  // devkitPro tool chain is reinstalled instead.
  const std::string Ours = Dir.File("ours"), Theirs = Dir.File("theirs");
  test::MakeFakeKit(Ours, Without({Crt0}, {{"make", "sh"}}));
  test::MakeFakeKit(Theirs, Without({Crt0}));
  T = ChooseToolChain({Ours, Theirs, "", Tree});
  ASSERT_EQ(T.Notes.size(), 2u);
  EXPECT_EQ(T.Notes[0], "The kit chosen in the build window, " + Ours + ", is not used: it is damaged: " + Crt0 +
                            " is missing. Rebuild it with: sh scripts/dskit.sh " + Ours + "   (in the source tree)");
  EXPECT_NE(T.Notes[1].find(Crt0 + " is missing. Reinstall its devkitARM and libnds."), std::string::npos)
      << T.Notes[1];
  // DEVKITARM elsewhere than in DEVKITPRO: its files are looked for there.
  const std::string Arm = Dir.File("arm");
  fs::rename(Dir.File("theirs/devkitARM"), Arm);
  test::MakeFakeKit(Dir.File("spare"));
  fs::copy_file(Dir.File("spare/") + Crt0, Arm + "/arm-none-eabi/lib/ds_arm9_crt0.o");
  EXPECT_TRUE(CheckKit(Theirs, Arm).Usable) << CheckKit(Theirs, Arm).Problem;
}
