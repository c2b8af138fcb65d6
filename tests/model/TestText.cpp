// Message formatting and name rules.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "model/UErrors.h"
#include "model/UFormat.h"
#include "model/UNames.h"

using namespace lvk;

TEST(Format, PatternsOfTheProgramsTexts) {
  EXPECT_EQ(Format("Tile index must be <%d (is %d)", 3, 7), "Tile index must be <3 (is 7)");
  EXPECT_EQ(Format("\"%s\" x", "ab"), "\"ab\" x");
  EXPECT_EQ(Format("%.d:%.2d", 0, 5), "0:05");
  EXPECT_EQ(Format("%2d|%.2x|%x", 5, 10, 0xBEEF), " 5|0A|BEEF");
  EXPECT_EQ(Format("%x", -1), "FFFFFFFF");
  EXPECT_EQ(Format("%-4s|%4s", "ab", "cd"), "ab  |  cd");
  EXPECT_EQ(Format("100%% %d", -42), "100% -42");
  EXPECT_EQ(Format("%d %s", 1), "1 ");  // a missing argument shows nothing rather than crash
}

TEST(Names, LegalNames) {
  for (const char* Good : {"_x1", "a", "Z9", "tTile1", "__"}) EXPECT_TRUE(IsLegalName(Good)) << Good;
  for (const char* Bad : {"", "1x", "a-b", "a b", "\xC3\xA9t\xC3\xA9", "x.y"}) EXPECT_FALSE(IsLegalName(Bad)) << Bad;
}

// The refusal, the rule and the help say one thing: a letter first, then
// letters and digits, the underscore counting as a letter.
TEST(Names, TheMessageTheRuleAndTheHelpAgree) {
  std::string Message;
  try {
    CheckItemName("1up", nullptr, nullptr, "%s");
  } catch (const EGame& E) {
    Message = E.what();
  }
  const std::string Words = "start with letter and only have letters and digits";
  EXPECT_NE(Message.find(Words), std::string::npos) << Message;
  EXPECT_TRUE(IsLegalName("_x1") && IsLegalName("big_coin") && !IsLegalName("1up") && !IsLegalName("big-coin"));
  auto Page = [](const std::string& Name) {
    std::ifstream In(std::string(LVK_HELP) + "/" + Name);
    return std::string(std::istreambuf_iterator<char>(In), {});
  };
  const std::string Tile = Page("main-tile.htm");
  for (const char* Said : {"start with a letter and only have letters and digits", "counts as a letter",
                           "<code>_x1</code> and <code>big_coin</code> are names",
                           "<code>1up</code> and <code>big-coin</code> are not"})
    EXPECT_NE(Tile.find(Said), std::string::npos) << Said;
  for (const char* Other : {"main-actor.htm", "main-level.htm", "main-variable.htm", "main-sound.htm"}) {
    const std::string Text = Page(Other);
    EXPECT_NE(Text.find("same rules as tile names"), std::string::npos) << Other;
    EXPECT_EQ(Text.find("underscores"), std::string::npos) << Other << " speaks of names its own way";
  }
}

TEST(Names, DefaultNamesSkipTakenNumbers) {
  auto Taken = [](std::initializer_list<const char*> L) {
    return [L](const std::string& N) {
      for (const char* T : L)
        if (N == T) return true;
      return false;
    };
  };
  EXPECT_EQ(DefaultItemName("tTile", 0, Taken({})), "tTile1");
  EXPECT_EQ(DefaultItemName("tTile", 2, Taken({"tTile3", "tTile4"})), "tTile5");
}
