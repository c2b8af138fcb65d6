// Where the program finds its data and where its tool chain builds: beside
// the executable in a build tree, share/lurvik-studio when installed, the
// user's data folder when it may not build in the installed one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>

#include "support/UDataFolders.h"

using namespace lvk;
namespace fs = std::filesystem;

namespace {

// Sets or clears a variable for the scope and puts the old value back.
class TEnv {
public:
  TEnv(const char* Name, const char* Value) : FName(Name) {
    if (const char* Old = std::getenv(Name)) FOld = Old;
    if (Value)
      ::setenv(Name, Value, 1);
    else
      ::unsetenv(Name);
  }
  ~TEnv() {
    if (FOld)
      ::setenv(FName, FOld->c_str(), 1);
    else
      ::unsetenv(FName);
  }

private:
  const char* FName;
  std::optional<std::string> FOld;
};

struct DataFolders : ::testing::Test {
  std::string Root;
  void SetUp() override {
    std::string Pattern = (fs::temp_directory_path() / "lurvik-folders-XXXXXX").string();
    if (!::mkdtemp(Pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    Root = Pattern;
  }
  void TearDown() override { fs::remove_all(Root); }
  void Touch(const std::string& Rel) {
    fs::create_directories(fs::path(Root + "/" + Rel).parent_path());
    std::ofstream(Root + "/" + Rel) << "x";
  }
};

}  // namespace

TEST_F(DataFolders, UserDataFolderFollowsXdgThenHome) {
  TEnv Home("HOME", (Root + "/home/").c_str());
  {
    TEnv Xdg("XDG_DATA_HOME", (Root + "/xdg").c_str());
    EXPECT_EQ(UserDataFolder(), Root + "/xdg/lurvik-studio");
  }
  {
    TEnv Xdg("XDG_DATA_HOME", "");
    EXPECT_EQ(UserDataFolder(), Root + "/home/.local/share/lurvik-studio");
  }
  TEnv Xdg("XDG_DATA_HOME", nullptr);
  EXPECT_EQ(UserDataFolder(), Root + "/home/.local/share/lurvik-studio");
  TEnv NoHome("HOME", nullptr);
  // Without HOME, the account's own home folder.
  EXPECT_TRUE(UserDataFolder().ends_with("/.local/share/lurvik-studio")) << UserDataFolder();
  EXPECT_EQ(UserDataFolder().find(Root), std::string::npos);
}

TEST_F(DataFolders, BuildTreeKeepsEverythingBesideTheProgram) {
  TEnv Xdg("XDG_DATA_HOME", (Root + "/xdg").c_str());
  const std::string Out = Root + "/out";
  Touch("out/devkitPro/msys/home/Lurvik/Makefile");
  EXPECT_EQ(DataFolder(Out), Out);
  EXPECT_EQ(DataFolder(Out + "/"), Out);
  EXPECT_EQ(ToolChainRoot(Out), Out);
  EXPECT_EQ(SampleGamePath(Out), "");
  Touch("out/examples/Sample.lvk");
  EXPECT_EQ(SampleGamePath(Out), Out + "/examples/Sample.lvk");
  // No devkitPro at all: the build names the folder that is missing, beside the program.
  fs::remove_all(Out + "/devkitPro");
  EXPECT_EQ(ToolChainRoot(Out), Out);
}

TEST_F(DataFolders, InstalledProgramBuildsInTheUsersFolder) {
  TEnv Xdg("XDG_DATA_HOME", (Root + "/xdg").c_str());
  const std::string Bin = Root + "/usr/bin";
  Touch("usr/bin/lurvik-studio");
  Touch("usr/share/lurvik-studio/devkitPro/launcher.sh");
  Touch("usr/share/lurvik-studio/examples/Sample.lvk");
  EXPECT_EQ(DataFolder(Bin), Root + "/usr/share/lurvik-studio");
  EXPECT_EQ(SampleGamePath(DataFolder(Bin)), Root + "/usr/share/lurvik-studio/examples/Sample.lvk");
  // Even where it could write there (root may write anywhere).
  EXPECT_EQ(ToolChainRoot(Bin), Root + "/xdg/lurvik-studio");
}
