// Destroy and NextLevel, the whole-number reading of action arguments, and
// project files with and without the newer kinds.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <limits>
#include <sstream>

#include "TestSupport.h"
#include "behaviour/REventCreate.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "behaviour/UKindCatalogue.h"
#include "behaviour/UValueAction.h"
#include "generator/UBuildLog.h"
#include "generator/UGameTables.h"
#include "model/UActor.h"
#include "model/UBitmap.h"
#include "model/UFiler.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UStream.h"
#include "model/UVariable.h"

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
  ASSERT_EQ(ActionKindCount(), static_cast<int>(ActionCatalogue().size()));  // the motion kinds first
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

// ClearText, JumpTo, JumpToStart, Otherwise and MoveCamera: their stored values (the
// key, then each value as the one rule stores them), their summaries and
// their entries in the engine's tables.
TEST(ActionKinds, ClearTextJumpsAndOtherwiseAreStoredSummarisedAndEncoded) {
  RegisterKinds();
  auto Flag = [](bool Set) { return test::TBytes{static_cast<std::uint8_t>(Set ? 9 : 8)}; };
  auto Strings = [](std::initializer_list<const char*> Texts) {
    test::TBytes B;
    for (const char* T : Texts) test::Append(B, test::ShortString(T));
    return B;
  };
  auto Join = [](test::TBytes A, const test::TBytes& B) {
    test::Append(A, B);
    return A;
  };
  const struct {
    const TActionKind* Kind;
    std::vector<std::string> Values;
    std::string Summary;
    test::TBytes Params;
    lvk_action_t Entry;  // kind, relative, ref, {variables}, {numbers}
  } Cases[] = {
      {&TActionClearText::ClassKind(), {"3", "0"}, "ClearText(3)", Join(Strings({"3"}), Flag(false)),
       {LVK_ACTION_CLEAR_TEXT, 0, 0, {}, {3, 0}}},
      {&TActionClearText::ClassKind(), {"", "1"}, "ClearText(all rows)", Join(Strings({""}), Flag(true)),
       {LVK_ACTION_CLEAR_TEXT, 0, 0, {}, {0, 1}}},
      {&TActionClearText::ClassKind(), {"vRow", "0"}, "ClearText(vRow)", Join(Strings({"vRow"}), Flag(false)),
       {LVK_ACTION_CLEAR_TEXT, 0, 0, {LVK_VARIABLE(0)}, {}}},
      {&TActionJumpTo::ClassKind(), {"120", "-8", "0"}, "JumpTo(120, -8)", Join(Strings({"120", "-8"}), Flag(false)),
       {LVK_ACTION_JUMP_TO, 0, 0, {}, {120, -8}}},
      {&TActionJumpTo::ClassKind(), {"vRow", "", "1"}, "JumpTo(vRow, 0, relative)",
       Join(Strings({"vRow", ""}), Flag(true)), {LVK_ACTION_JUMP_TO, 1, 0, {LVK_VARIABLE(0)}, {}}},
      {&TActionJumpToStart::ClassKind(), {}, "JumpToStart()", {}, {LVK_ACTION_JUMP_TO_START, 0, 0, {}, {}}},
      {&TActionOtherwise::ClassKind(), {}, "Otherwise", {}, {LVK_ACTION_OTHERWISE, 0, 0, {}, {}}},
      // A third number, here a variable's value.
      {&TActionMoveCamera::ClassKind(), {"8", "-16", "vRow"}, "MoveCamera(8, -16, vRow)", Strings({"8", "-16", "vRow"}),
       {LVK_ACTION_MOVE_CAMERA, 0, 0, {0, 0, LVK_VARIABLE(0)}, {8, -16}}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Summary);
    TGame Game;
    Game.AddVariable()->SetName("vRow");
    TActor* Hero = Game.AddActor();
    THandler* H = Hero->AddHandler();
    H->SetEvent(TEventCreate::ClassKind());
    TActionBase* A = H->AddAction(*C.Kind);
    ASSERT_EQ(A->ValueCount(), static_cast<int>(C.Values.size()));
    for (std::size_t i = 0; i < C.Values.size(); ++i) A->SetValue(static_cast<int>(i), C.Values[i]);
    EXPECT_EQ(A->Summary(), C.Summary);
    TMemoryStream S;
    TWriter W(S);
    A->WriteParams(S, W);
    W.FlushBuffer();
    EXPECT_EQ(S.Bytes(), C.Params);
    // Through the whole file and back, and into the tables.
    TLevel* Level = Game.AddLevel();
    Level->SetSize(1, 1);
    Level->SetCell(0, 0, Hero);
    TGame Loaded;
    Loaded.LoadContent(Game.ContentBytes());
    EXPECT_EQ(Loaded.ContentBytes(), Game.ContentBytes());
    EXPECT_EQ(Loaded.GetActor(0)->GetHandler(0)->GetAction(0)->Summary(), C.Summary);
    TTextBuildLog Log;
    const TGameTables T = BuildBehaviourTables(Loaded, Log);
    EXPECT_EQ(Log.ErrorCount(), 0);
    ASSERT_EQ(T.Actions.size(), 1u);
    const lvk_action_t& E = T.Actions[0];
    auto Fields = [](const lvk_action_t& A) {
      std::vector<int> F{A.kind, A.relative, A.ref};
      F.insert(F.end(), std::begin(A.var), std::end(A.var));
      F.insert(F.end(), std::begin(A.n), std::end(A.n));
      return F;
    };
    EXPECT_EQ(Fields(E), Fields(C.Entry));
  }
}

// The example of docs/ProjectFile.md, byte for byte, inside a saved handler.
TEST(ActionKinds, TheDocumentedJumpAndOtherwiseBytes) {
  RegisterKinds();
  TGame Game;
  THandler* H = Game.AddActor()->AddHandler();
  H->SetEvent(TEventCreate::ClassKind());
  TActionBase* Jump = H->AddAction(TActionJumpTo::ClassKind());
  for (int i = 0; i < 3; ++i) Jump->SetValue(i, std::vector<std::string>{"0", "-8", "1"}[static_cast<std::size_t>(i)]);
  H->AddAction(TActionOtherwise::ClassKind());
  const test::TBytes Documented = {0x06, 0x08, 0x3c, 0x4a, 0x75, 0x6d, 0x70, 0x54, 0x6f, 0x3e,  // "<JumpTo>"
                                   0x06, 0x01, 0x30, 0x06, 0x02, 0x2d, 0x38, 0x09,              // "0", "-8", true
                                   0x06, 0x0b, 0x3c, 0x4f, 0x74, 0x68, 0x65, 0x72, 0x77, 0x69, 0x73, 0x65, 0x3e};
  const test::TBytes Saved = Game.ContentBytes();
  EXPECT_NE(std::search(Saved.begin(), Saved.end(), Documented.begin(), Documented.end()), Saved.end());
}

// The table of the actions' stored values in docs/ProjectFile.md is the
// catalogue's: every kind in its order, each value by its label and the type
// it is stored as, in stored order.
TEST(ActionKinds, TheProjectFileDocumentHasEveryKindsStoredValues) {
  std::ifstream In(std::string(LVK_SOURCE) + "/docs/ProjectFile.md");
  const std::string Doc((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  const std::size_t From = Doc.find("### Actions"), To = Doc.find("\n## 6.", From);
  ASSERT_NE(From, std::string::npos);
  ASSERT_NE(To, std::string::npos);
  const std::string Section = Doc.substr(From, To - From);
  const std::regex Row(R"(\n\| `<(\w+)>` \| (.*) \|)");
  std::vector<std::pair<std::string, std::string>> Rows;
  for (auto M = std::sregex_iterator(Section.begin(), Section.end(), Row); M != std::sregex_iterator(); ++M)
    Rows.emplace_back((*M)[1], (*M)[2]);
  const auto Kinds = ActionCatalogue();
  ASSERT_EQ(Rows.size(), Kinds.size());
  const std::regex Stored(R"((^|; )[a-z ]+: (String|Boolean|Integer))");
  for (std::size_t k = 0; k < Kinds.size(); ++k) {
    const TCatalogueKind& Kind = Kinds[k];
    const auto& [Name, Values] = Rows[k];
    EXPECT_EQ(Name, Kind.Name);
    if (Kind.Values.empty()) {
      EXPECT_EQ(Values, "none") << Name;
      continue;
    }
    // Each value as "label: Type", in order; no more of them than it has.
    std::size_t At = 0;
    for (const TActionValue& V : Kind.Values) {
      std::string Label = V.Label;
      Label.erase(std::remove(Label.begin(), Label.end(), '&'), Label.end());
      std::transform(Label.begin(), Label.end(), Label.begin(), [](unsigned char C) { return std::tolower(C); });
      const char* Type = V.Type == TValueType::Flag                                      ? "Boolean"
                         : V.Type == TValueType::Keys || V.Type == TValueType::Compare ? "Integer"
                                                                                        : "String";
      const std::size_t Found = Values.find(Label + ": " + Type, At);
      EXPECT_NE(Found, std::string::npos) << Name << ": " << Label << " stored as " << Type;
      if (Found != std::string::npos) At = Found + 1;
    }
    EXPECT_EQ(std::distance(std::sregex_iterator(Values.begin(), Values.end(), Stored), std::sregex_iterator()),
              static_cast<std::ptrdiff_t>(Kind.Values.size()))
        << Name;
  }
}
