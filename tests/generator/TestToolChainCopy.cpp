// The user's copy of the tool chain folder: made once, updated where the user
// left files alone, never losing an edited main.c or the build's own files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "TestSupport.h"
#include "generator/UBuildLog.h"
#include "generator/UToolChainCopy.h"
#include "model/UErrors.h"

using namespace lvk;
namespace fs = std::filesystem;

namespace {

const std::string MainC = "msys/home/Lurvik/arm9/source/main.c";
const std::string LvkH = "msys/home/Lurvik/arm9/source/lvk.h";
const std::string Makefile = "msys/home/Lurvik/Makefile";

void Write(const std::string& Path, const std::string& Text) {
  fs::create_directories(fs::path(Path).parent_path());
  test::WriteBytes(Path, test::TBytes(Text.begin(), Text.end()));
}

int CountContaining(const std::vector<std::string>& Lines, const std::string& Part) {
  return static_cast<int>(
      std::count_if(Lines.begin(), Lines.end(), [&](const std::string& L) { return L.find(Part) != std::string::npos; }));
}

struct ToolChainCopy : ::testing::Test {
  test::TTempDir Dir;
  std::string From = Dir.File("installed/devkitPro");
  std::string To = Dir.File("user/devkitPro");

  void Install(const std::string& Version) {
    Write(From + "/launcher.sh", "launcher " + Version);
    Write(From + "/" + MainC, "main " + Version);
    Write(From + "/" + LvkH, "lvk.h " + Version);
    Write(From + "/" + Makefile, "Makefile 1");
  }
  std::vector<std::string> Update() {
    TTextBuildLog Log;
    UpdateToolChainCopy(From, To, Log);
    return Log.Lines();
  }
  std::string UserFile(const std::string& Rel) { return test::Slurp(To + "/" + Rel); }
};

}  // namespace

TEST_F(ToolChainCopy, FirstBuildCopiesEverythingButAStaleLog) {
  Install("1");
  Write(From + "/launcher.log", "an old build's output");
  std::vector<std::string> Lines = Update();
  EXPECT_EQ(UserFile("launcher.sh"), "launcher 1");
  EXPECT_EQ(UserFile(MainC), "main 1");
  EXPECT_EQ(UserFile(Makefile), "Makefile 1");
  EXPECT_FALSE(fs::exists(To + "/launcher.log"));
  EXPECT_TRUE(fs::exists(To + "/" + InstalledManifest));
  ASSERT_EQ(Lines.size(), 1u);
  EXPECT_EQ(Lines[0], "Copied the DS project and launcher from " + From + " to " + To);
  // Nothing new: nothing to say, nothing rewritten.
  EXPECT_TRUE(Update().empty());
}

TEST_F(ToolChainCopy, ANewVersionReplacesOnlyWhatTheUserLeftAlone) {
  Install("1");
  Update();
  Write(To + "/" + MainC, "my own main");
  Write(To + "/msys/home/Lurvik/arm9/source/generated.c", "the game");
  Write(To + "/msys/home/Lurvik/Lurvik.nds", "image");
  fs::remove(To + "/" + Makefile);

  Install("2");
  std::vector<std::string> Lines = Update();
  EXPECT_EQ(UserFile(MainC), "my own main");
  EXPECT_EQ(UserFile(LvkH), "lvk.h 2");
  EXPECT_EQ(UserFile("launcher.sh"), "launcher 2");
  EXPECT_EQ(UserFile(Makefile), "Makefile 1");  // deleted by the user: back again
  EXPECT_EQ(UserFile("msys/home/Lurvik/arm9/source/generated.c"), "the game");
  EXPECT_EQ(UserFile("msys/home/Lurvik/Lurvik.nds"), "image");
  EXPECT_EQ(CountContaining(Lines, "Kept your changed " + To + "/" + MainC + "; the new version is " + From + "/" +
                                       MainC),
            1);
  EXPECT_EQ(CountContaining(Lines, "Updated " + To + "/" + LvkH), 1);
  EXPECT_EQ(CountContaining(Lines, "Copied"), 0);

  // Said once for each version; the next one is said again, and the user's
  // file still stays.
  EXPECT_TRUE(Update().empty());
  Install("3");
  EXPECT_EQ(CountContaining(Update(), "Kept your changed"), 1);
  EXPECT_EQ(UserFile(MainC), "my own main");
  EXPECT_EQ(UserFile(LvkH), "lvk.h 3");
}

TEST_F(ToolChainCopy, AnOlderCopyWithoutRecordKeepsFilesThatDifferAndAMissingSourceFails) {
  // A folder the user made by hand, before any record of what was installed.
  Write(To + "/" + MainC, "hand-made");
  Install("1");
  std::vector<std::string> Lines = Update();
  EXPECT_EQ(UserFile(MainC), "hand-made");
  EXPECT_EQ(UserFile(LvkH), "lvk.h 1");
  EXPECT_EQ(CountContaining(Lines, "Kept your changed"), 1);

  TTextBuildLog Log;
  EXPECT_THROW(UpdateToolChainCopy(Dir.File("nowhere"), To, Log), EFileError);
}
