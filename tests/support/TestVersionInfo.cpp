// The version record compiled into the program and lookups in it.
#include <gtest/gtest.h>

#include <vector>

#include "support/UVersionInfo.h"

using namespace lvk;

TEST(VersionInfo, OwnRecordHoldsTheProgramsValues) {
  const TVersionInfo Info;
  EXPECT_TRUE(Info.HasRecord());
  EXPECT_EQ(Info.FileDescription(), "Lurvik Studio");
  EXPECT_EQ(Info.CompanyName(), "Lurvik Studio");
  EXPECT_EQ(Info.ProductName(), "Lurvik Studio");
  // Both versions follow the build's project version.
  EXPECT_EQ(Info.FileVersion(), LVK_PROJECT_VERSION);
  EXPECT_EQ(Info.ProductVersion(), LVK_PROJECT_VERSION);
  EXPECT_FALSE(Info.Comments().empty());
  EXPECT_NE(Info.LegalCopyright().find("Lurvik Studio"), std::string::npos);
  // The named getters and the lookup by name read the same record.
  EXPECT_EQ(Info.Value("FileVersion"), Info.FileVersion());
  EXPECT_EQ(Info.Value("Comments"), Info.Comments());
}

TEST(VersionInfo, MissingRecordOrValuesReadAsEmpty) {
  const TVersionInfo None{std::span<const TVersionEntry>()};
  EXPECT_FALSE(None.HasRecord());
  EXPECT_EQ(None.FileDescription(), "");
  EXPECT_EQ(None.CompanyName(), "");
  EXPECT_EQ(None.FileVersion(), "");
  EXPECT_EQ(None.Comments(), "");

  const std::vector<TVersionEntry> Partial = {
      {"FileDescription", "Tool"},
      {"CompanyName", nullptr},
      {nullptr, "orphan"},
      {"FileDescription", "Second"},
  };
  const TVersionInfo Info{Partial};
  EXPECT_TRUE(Info.HasRecord());
  EXPECT_EQ(Info.FileDescription(), "Tool");  // the first value under a name
  EXPECT_EQ(Info.CompanyName(), "");
  EXPECT_EQ(Info.Comments(), "");
  EXPECT_EQ(Info.Value("NoSuchName"), "");
  EXPECT_EQ(Info.Value(""), "");
  // Names are matched exactly.
  EXPECT_EQ(Info.Value("filedescription"), "");
  EXPECT_EQ(Info.Value("FileDescription "), "");
}

TEST(VersionInfo, ValuesAreCopiedOnCreation) {
  std::vector<std::string> Storage = {"FileVersion", "1.2.3"};
  std::vector<TVersionEntry> Record = {{Storage[0].c_str(), Storage[1].c_str()}};
  const TVersionInfo Info{Record};
  Storage[1] = "changed later";
  Record.clear();
  EXPECT_EQ(Info.FileVersion(), "1.2.3");
}
