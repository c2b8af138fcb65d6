// Destroy and NextLevel, the whole-number reading of action arguments, and
// project files with and without the newer kinds.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <sstream>

#include "TestSupport.h"
#include "behaviour/REventCreate.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UBitmap.h"
#include "model/UFiler.h"
#include "model/UGame.h"
#include "model/ULevel.h"

using namespace lvk;

namespace {

// Loads Name and saves it as a second file: the bytes of both, the second's
// revision (one higher, as every save makes it) put back to the first's.
std::pair<test::TBytes, test::TBytes> LoadAndSaveAgain(const std::string& Name, const test::TTempDir& Dir) {
  TGame Game;
  Game.LoadFromFile(Name);
  Game.SetFileName(Dir.File("again.lvk"));
  Game.Save();
  test::TBytes A = test::ReadBytes(Name), B = test::ReadBytes(Game.FileName());
  const std::size_t Revision = 8 + 2 + 9 + 1;  // signature, version, [TGame], the revision's tag
  if (A.size() == B.size() && A.size() > Revision && A[Revision - 1] == 2 && A[Revision] < 127) --B[Revision];
  return {A, B};
}

}  // namespace

TEST(ActionKinds, DestroyAndNextLevelComeAfterTheSpeedKinds) {
  ASSERT_EQ(ActionKindCount(), 19);  // the motion kinds first, the rules after them
  EXPECT_EQ(&ActionKindAt(0), &TActionSetSpeedSize::ClassKind());
  EXPECT_EQ(&ActionKindAt(1), &TActionSetSpeedDir::ClassKind());
  EXPECT_EQ(&ActionKindAt(2), &TActionDestroy::ClassKind());
  EXPECT_EQ(&ActionKindAt(3), &TActionNextLevel::ClassKind());
  EXPECT_EQ(FindActionKind("<Destroy>"), &TActionDestroy::ClassKind());
  EXPECT_EQ(FindActionKind("<NextLevel>"), &TActionNextLevel::ClassKind());
  EXPECT_EQ(TActionDestroy::ClassKind().Description(), "Destroy this actor; its OnDestroy handlers run first");
  EXPECT_EQ(TActionNextLevel::ClassKind().Description(), "Go to the next level; after the last, the first");

  std::vector<const TPeekBitmap*> Others;
  for (int i = 0; i < EventKindCount(); ++i) Others.push_back(&EventKindAt(i).Icon());
  Others.push_back(&TActionSetSpeedSize::ClassKind().Icon());
  Others.push_back(&TActionSetSpeedDir::ClassKind().Icon());
  for (const TActionKind* Kind : {&TActionDestroy::ClassKind(), &TActionNextLevel::ClassKind()}) {
    const TPeekBitmap& Icon = Kind->Icon();
    EXPECT_EQ(Icon.Width(), 16);
    EXPECT_EQ(Icon.Height(), 16);
    EXPECT_EQ(Icon.BitCount(), 4);
    // Fuchsia in the corner: the transparent colour, like the others.
    EXPECT_EQ(Icon.GetColor(0, 15) == RGB(255, 0, 255) || Icon.GetColor(15, 15) == RGB(255, 0, 255), true);
    for (const TPeekBitmap* Other : Others) EXPECT_FALSE(Icon == *Other) << Kind->DisplayName();
    Others.push_back(&Icon);
  }
}

TEST(ActionKinds, PlainKindsStoreNothingAndSummariseAsACall) {
  TGame Game;
  THandler* H = Game.AddActor()->AddHandler();
  TActionBase* Destroy = H->AddAction(TActionDestroy::ClassKind());
  TActionBase* Next = H->AddAction(TActionNextLevel::ClassKind());
  EXPECT_EQ(Destroy->Summary(), "Destroy()");
  EXPECT_EQ(Next->Summary(), "NextLevel()");
  std::ostringstream C;
  Destroy->WriteC(C);
  Next->WriteC(C);
  EXPECT_EQ(C.str(), ",actDestroy();\r\n,actNextLevel();\r\n");

  TMemoryStream S;
  TWriter W(S);
  Destroy->WriteParams(S, W);
  Next->WriteParams(S, W);
  W.FlushBuffer();
  EXPECT_TRUE(S.Bytes().empty());
}

TEST(ActionKinds, WholeNumbersTakeASignAndNothingElse) {
  EXPECT_EQ(ParseWholeNumber(""), 0);
  EXPECT_EQ(ParseWholeNumber("0"), 0);
  EXPECT_EQ(ParseWholeNumber("-0"), 0);
  EXPECT_EQ(ParseWholeNumber("17"), 17);
  EXPECT_EQ(ParseWholeNumber("+17"), 17);
  EXPECT_EQ(ParseWholeNumber("-3"), -3);
  EXPECT_EQ(ParseWholeNumber("007"), 7);
  EXPECT_EQ(ParseWholeNumber("2147483647"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(ParseWholeNumber("-2147483648"), std::numeric_limits<std::int32_t>::min());
  for (const char* Bad : {"3.5", "x", " 2", "2 ", "+", "-", "+-1", "-+1", "--1", "1e3", "0x10", "2147483648",
                          "-2147483649", "99999999999999999999", "1,000"})
    EXPECT_FALSE(ParseWholeNumber(Bad).has_value()) << Bad;
}

TEST(ActionKinds, FilesWithTheNewKindsRoundTripAndOldFilesStayAsTheyWere) {
  test::TTestClock Clock;  // no editing time passes between the saves
  TGame Game;
  TActor* Actor = Game.AddActor();
  THandler* H = Actor->AddHandler();
  H->SetEvent(TEventCreate::ClassKind());
  H->AddAction(TActionSetSpeedSize::ClassKind());
  H->AddAction(TActionDestroy::ClassKind());
  H->AddAction(TActionNextLevel::ClassKind());
  H->AddAction(TActionSetSpeedDir::ClassKind());
  test::TTempDir Dir;
  Game.SetFileName(Dir.File("new.lvk"));
  Game.Save();
  auto [Saved, Again] = LoadAndSaveAgain(Game.FileName(), Dir);
  EXPECT_EQ(Again, Saved);
  // The handler ends in the keys of the plain kinds with nothing after them.
  test::TBytes Tail = test::ShortString("<Destroy>");
  test::Append(Tail, test::ShortString("<NextLevel>"));
  test::Append(Tail, test::ShortString("<SetSpeedDir>"));
  EXPECT_NE(std::search(Saved.begin(), Saved.end(), Tail.begin(), Tail.end()), Saved.end());

  TGame Loaded;
  Loaded.LoadFromFile(Game.FileName());
  const THandler* Back = Loaded.GetActor(0)->GetHandler(0);
  ASSERT_EQ(Back->ActionCount(), 4);
  EXPECT_EQ(&Back->GetAction(1)->Kind(), &TActionDestroy::ClassKind());
  EXPECT_EQ(&Back->GetAction(2)->Kind(), &TActionNextLevel::ClassKind());

  // The sample game, written before these kinds existed, loads and saves as it was.
  auto [Old, OldAgain] = LoadAndSaveAgain(std::string(LVK_EXAMPLES) + "/Sample.lvk", Dir);
  ASSERT_FALSE(Old.empty());
  EXPECT_EQ(OldAgain, Old);
}
