// The event and action kinds: the registries, each kind's stored
// parameters, summaries and C lines, and the icons.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>

#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventCreate.h"
#include "behaviour/REventDestroy.h"
#include "behaviour/REventKey.h"
#include "behaviour/REventOutside.h"
#include "behaviour/REventTouch.h"
#include "behaviour/UAction.h"
#include "behaviour/UBehaviour.h"
#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UGame.h"
#include "model/UStream.h"

using namespace lvk;
using test::TBytes;
using test::Append;
using test::MessageOf;
using test::RecordOf;

namespace {

template <typename T>
TBytes ParamsOf(const T& Item) {
  TMemoryStream S;
  TWriter W(S);
  Item.WriteParams(S, W);
  W.FlushBuffer();
  return S.Bytes();
}

// Reads Bytes into Item and checks that it consumed every one of them.
template <typename T>
void ReadParams(T& Item, const TBytes& Bytes) {
  TMemoryStream S(Bytes);
  TReader R(S);
  Item.ReadParams(S, R);
  EXPECT_EQ(R.Remaining(), 0u);
}

TBytes IntegerBytes(std::int32_t V) {
  TMemoryStream S;
  TWriter W(S);
  W.WriteInteger(V);
  W.FlushBuffer();
  return S.Bytes();
}

// A kind for the registry tests only; no instance is ever made.
class TTestKind : public TEventKind {
public:
  TTestKind(std::string Name, int Order) : FName(std::move(Name)), FOrder(Order) {}
  std::string DisplayName() const override { return FName; }
  std::string Description() const override { return "test"; }
  int SortOrder() const override { return FOrder; }
  const TPeekBitmap& Icon() const override { return FIcon; }
  TEventBase* Create(THandler&) const override { return nullptr; }

private:
  std::string FName;
  int FOrder;
  TPeekBitmap FIcon;
};

// Puts the registries back as the program has them when a test is done.
struct TRestoreKinds {
  ~TRestoreKinds() {
    UnregisterKinds();
    RegisterKinds();
  }
};

// A game with one actor and one handler, whose event the tests set.
class Kinds : public ::testing::Test {
protected:
  template <typename T>
  T& Event() {
    Handler->SetEvent(T::ClassKind());
    return *static_cast<T*>(Handler->Event());
  }
  template <typename T>
  T& Action() {
    return *static_cast<T*>(Handler->AddAction(T::ClassKind()));
  }

  TGame Game;
  TActor* Actor = Game.AddActor();
  THandler* Handler = Actor->AddHandler();
};

}  // namespace

TEST(Registry, EventKindsAreOrderedWhateverTheRegistrationOrder) {
  TRestoreKinds Restore;
  UnregisterKinds();
  EXPECT_EQ(EventKindCount(), 0);
  EXPECT_EQ(FindActionKind("<SetSpeedSize>"), nullptr);

  RegisterEventKind(TEventOutside::ClassKind());
  RegisterEventKind(TEventCollision::ClassKind());
  RegisterEventKind(TEventTouch::ClassKind());
  RegisterEventKind(TEventKey::ClassKind());
  RegisterEventKind(TEventDestroy::ClassKind());
  RegisterEventKind(TEventCreate::ClassKind());
  const char* Expected[] = {"OnCreate", "OnDestroy", "OnKey", "OnTouch", "OnCollision", "OnOutside"};
  ASSERT_EQ(EventKindCount(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(EventKindAt(i).DisplayName(), Expected[i]) << i;

  // Equal orders keep their registration order; more than 16 kinds grow the list.
  TTestKind KeyToo("OnKeyToo", 300), KeyThree("OnKeyThree", 300), First("OnFirst", 0);
  RegisterEventKind(KeyToo);
  RegisterEventKind(KeyThree);
  RegisterEventKind(First);
  std::vector<std::unique_ptr<TTestKind>> Late;
  for (int i = 0; i < 12; ++i) {
    Late.push_back(std::make_unique<TTestKind>("Late" + std::to_string(i), 1000));
    RegisterEventKind(*Late.back());
  }
  ASSERT_EQ(EventKindCount(), 21);
  EXPECT_EQ(&EventKindAt(0), &First);
  EXPECT_EQ(&EventKindAt(3), &TEventKey::ClassKind());
  EXPECT_EQ(&EventKindAt(4), &KeyToo);
  EXPECT_EQ(&EventKindAt(5), &KeyThree);
  EXPECT_EQ(&EventKindAt(6), &TEventTouch::ClassKind());
  EXPECT_EQ(&EventKindAt(20), Late.back().get());
  EXPECT_EQ(&EventKindAt(9), Late.front().get());
}

TEST(Registry, MisuseFailsAnAssertion) {
  TRestoreKinds Restore;
  EXPECT_EQ(MessageOf([] { EventKindAt(-1); }), "Assertion failure (UGame)");
  EXPECT_EQ(MessageOf([] { EventKindAt(EventKindCount()); }), "Assertion failure (UGame)");
  EXPECT_EQ(MessageOf([] { RegisterEventKind(TEventKey::ClassKind()); }), "Assertion failure (UGame)");
  TTestKind SameKey("OnKey", 1);
  EXPECT_EQ(MessageOf([&] { RegisterEventKind(SameKey); }), "Assertion failure (UGame)");
  EXPECT_EQ(MessageOf([] { RegisterActionKind(TActionSetSpeedDir::ClassKind()); }), "Assertion failure (UGame)");
  EXPECT_EQ(EventKindCount(), 9);
  EXPECT_EQ(&EventKindAt(2), &TEventKey::ClassKind());
  // Registering all kinds again changes nothing.
  RegisterKinds();
  EXPECT_EQ(EventKindCount(), 9);
}

TEST(Registry, LookupIsExactAndEachRegistryHoldsItsOwnKinds) {
  EXPECT_EQ(FindEventKind("<OnKey>"), &TEventKey::ClassKind());
  EXPECT_EQ(FindEventKind("<OnOutside>"), &TEventOutside::ClassKind());
  for (const char* Key : {"OnKey", "<onkey>", "TEventKey", "<OnKey> ", "", "<SetSpeedDir>"})
    EXPECT_EQ(FindEventKind(Key), nullptr) << Key;
  EXPECT_EQ(FindActionKind("<SetSpeedSize>"), &TActionSetSpeedSize::ClassKind());
  EXPECT_EQ(FindActionKind("<SetSpeedDir>"), &TActionSetSpeedDir::ClassKind());
  EXPECT_EQ(FindActionKind("<OnKey>"), nullptr);
  EXPECT_EQ(FindActionKind("<setspeeddir>"), nullptr);
}

TEST(Registry, IconsAreSixteenColourSquaresAndAllDiffer) {
  std::vector<const TPeekBitmap*> Icons;
  for (int i = 0; i < EventKindCount(); ++i) Icons.push_back(&EventKindAt(i).Icon());
  Icons.push_back(&TActionSetSpeedSize::ClassKind().Icon());
  Icons.push_back(&TActionSetSpeedDir::ClassKind().Icon());
  for (std::size_t i = 0; i < Icons.size(); ++i) {
    EXPECT_EQ(Icons[i]->Width(), 16) << i;
    EXPECT_EQ(Icons[i]->Height(), 16) << i;
    EXPECT_EQ(Icons[i]->BitCount(), 4) << i;
    EXPECT_EQ(Icons[i]->ColorTable().size(), 16u) << i;
    for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(*Icons[i] == *Icons[j]) << i << " and " << j;
  }
}

TEST_F(Kinds, ParameterlessEventsStoreNothing) {
  EXPECT_EQ(Event<TEventCreate>().Summary(), "OnCreate");
  EXPECT_TRUE(ParamsOf(*Handler->Event()).empty());
  EXPECT_EQ(&Handler->Event()->Kind(), FindEventKind("<OnCreate>"));
  EXPECT_EQ(Event<TEventDestroy>().Summary(), "OnDestroy");
  EXPECT_TRUE(ParamsOf(*Handler->Event()).empty());
  EXPECT_EQ(&Handler->Event()->Kind(), FindEventKind("<OnDestroy>"));
}

TEST_F(Kinds, KeyEvent) {
  TEventKey& Key = Event<TEventKey>();
  EXPECT_EQ(Key.Summary(), "OnKey( A, release )");
  EXPECT_EQ(ParamsOf(Key), (TBytes{8, 2, 1}));

  Key.SetKeys(7);
  Key.SetPress(true);
  EXPECT_EQ(Key.Summary(), "OnKey( AB?, press )");
  EXPECT_EQ(ParamsOf(Key), (TBytes{9, 2, 7}));

  Key.SetKeys(0);
  EXPECT_EQ(Key.Summary(), "OnKey( , press )");
  // Bits 14 and 15 have no key: kept, never named.
  Key.SetKeys(0xFFFF);
  EXPECT_EQ(Key.Summary(), "OnKey( AB?S><^vRLXYTC, press )");

  TBytes Stored{8};
  Append(Stored, IntegerBytes(0x7A0009));
  ReadParams(Key, Stored);
  EXPECT_FALSE(Key.Press());
  EXPECT_EQ(Key.Keys(), 0x0009);
  EXPECT_EQ(Key.Summary(), "OnKey( AS, release )");
}

TEST_F(Kinds, TouchEvent) {
  TEventTouch& Touch = Event<TEventTouch>();
  EXPECT_EQ(Touch.Summary(), "OnTouch( H )");
  EXPECT_EQ(ParamsOf(Touch), (TBytes{3, 0x00, 0x01}));
  Touch.SetAreas(Touch.Areas() | 1);
  EXPECT_EQ(Touch.Summary(), "OnTouch( N-H )");
  Touch.SetAreas(0);
  EXPECT_EQ(Touch.Summary(), "OnTouch(  )");

  ReadParams(Touch, IntegerBytes(-65536 + 0x1FF));
  EXPECT_EQ(Touch.Areas(), 0x1FF);
  EXPECT_EQ(Touch.Summary(), "OnTouch( N-NE-E-SE-S-SW-W-NW-H )");
}

TEST_F(Kinds, OutsideEventStoresItsMaskAsASignedByte) {
  TEventOutside& Out = Event<TEventOutside>();
  EXPECT_EQ(Out.Summary(), "OnOutside( N-NE-E-SE-S-SW-W-NW )");
  EXPECT_EQ(ParamsOf(Out), (TBytes{2, 0xFF}));
  Out.SetAreas(3);
  EXPECT_EQ(ParamsOf(Out), (TBytes{2, 3}));
  EXPECT_EQ(Out.Summary(), "OnOutside( N-NE )");
  Out.SetAreas(0x80);
  EXPECT_EQ(ParamsOf(Out), (TBytes{2, 0x80}));
  EXPECT_EQ(Out.Summary(), "OnOutside( NW )");

  for (int Mask = 0; Mask < 256; ++Mask) {
    Out.SetAreas(static_cast<std::uint8_t>(Mask));
    TBytes Stored = ParamsOf(Out);
    Out.SetAreas(static_cast<std::uint8_t>(~Mask));
    ReadParams(Out, Stored);
    EXPECT_EQ(Out.Areas(), Mask);
  }
  ReadParams(Out, IntegerBytes(0x1234581));
  EXPECT_EQ(Out.Areas(), 0x81);
}

TEST_F(Kinds, CollisionEvent) {
  TEventCollision& Hit = Event<TEventCollision>();
  EXPECT_TRUE(Hit.Overlap());
  EXPECT_EQ(Hit.OtherActor(), Actor);
  EXPECT_EQ(Hit.Summary(), "OnCollision( " + Actor->Name() + ", overlap )");

  // The name written is the other actor's current one.
  TActor* Other = Game.AddActor();
  Hit.SetOtherActor(*Other);
  Hit.SetOverlap(false);
  Other->SetName("Wall");
  TBytes Stored{8};
  Append(Stored, test::ShortString("Wall"));
  EXPECT_EQ(ParamsOf(Hit), Stored);
  EXPECT_EQ(Hit.Summary(), "OnCollision( Wall, repel )");

  // Read outside a whole-game load: a known name resolves at once, in any case.
  Hit.SetOtherActor(*Actor);
  TBytes Upper{9};
  Append(Upper, test::ShortString("WALL"));
  ReadParams(Hit, Upper);
  EXPECT_TRUE(Hit.Overlap());
  EXPECT_EQ(Hit.OtherActor(), Other);
  Hit.ResolveNames();
  EXPECT_EQ(Hit.OtherActor(), Other);

  // An unknown name waits for ResolveNames; until then it cannot be written.
  TBytes Later{9};
  Append(Later, test::ShortString("Later"));
  ReadParams(Hit, Later);
  EXPECT_EQ(Hit.OtherActor(), nullptr);
  EXPECT_EQ(Hit.Summary(), "OnCollision( Later, overlap )");
  EXPECT_EQ(MessageOf([&] { ParamsOf(Hit); }), "Assertion failure (REventCollision)");
  EXPECT_EQ(MessageOf([&] { Hit.ResolveNames(); }), "Assertion failure (REventCollision)");
  TActor* Third = Game.AddActor();
  Third->SetName("later");
  Hit.ResolveNames();
  EXPECT_EQ(Hit.OtherActor(), Third);
}

TEST(NameTables, NamesAndCaptionsWithinTheirTables) {
  EXPECT_EQ(TEventKey::KeyName(0), "A");
  EXPECT_EQ(TEventKey::KeyName(13), "C");
  EXPECT_EQ(TEventKey::IndexOfKey("?"), 2);
  EXPECT_EQ(TEventKey::IndexOfKey("v"), 7);
  EXPECT_EQ(TEventTouch::AreaName(8), "H");
  EXPECT_EQ(TEventTouch::IndexOfArea("H"), 8);
  EXPECT_EQ(TEventOutside::DirectionName(7), "NW");
  EXPECT_EQ(TEventOutside::IndexOfDirection("SW"), 5);

  EXPECT_EQ(MessageOf([] { TEventKey::KeyName(14); }), "Assertion failure (REventKey)");
  EXPECT_EQ(MessageOf([] { TEventKey::KeyName(-1); }), "Assertion failure (REventKey)");
  EXPECT_EQ(MessageOf([] { TEventKey::IndexOfKey("a"); }), "Assertion failure (REventKey)");
  EXPECT_EQ(MessageOf([] { TEventTouch::AreaName(9); }), "Assertion failure (REventTouch)");
  EXPECT_EQ(MessageOf([] { TEventTouch::IndexOfArea("n"); }), "Assertion failure (REventTouch)");
  // The centre belongs to OnTouch only.
  EXPECT_EQ(MessageOf([] { TEventOutside::DirectionName(8); }), "Assertion failure (REventOutside)");
  EXPECT_EQ(MessageOf([] { TEventOutside::IndexOfDirection("H"); }), "Assertion failure (REventOutside)");
}

TEST_F(Kinds, ActionsStartEmptyAndWriteTheirCall) {
  auto& Size = Action<TActionSetSpeedSize>();
  auto& Dir = Action<TActionSetSpeedDir>();
  TBytes Empty{6, 0, 6, 0, 8};
  EXPECT_EQ(ParamsOf(Size), Empty);
  EXPECT_EQ(ParamsOf(Dir), Empty);
  EXPECT_EQ(Size.Summary(), "SetSpeedSize(0, 0)");
  EXPECT_EQ(Dir.Summary(), "SetSpeedDir(0, 0)");

  std::ostringstream C;
  Size.WriteC(C);
  Dir.WriteC(C);
  EXPECT_EQ(C.str(), ",actSetSpeedSize(,,ABSOLUTE);\r\n,actSetSpeedDir(,,ABSOLUTE);\r\n");

  // The arguments go in as they are, even when they look like a pattern.
  for (TActionSpeed* A : {static_cast<TActionSpeed*>(&Size), static_cast<TActionSpeed*>(&Dir)}) {
    A->SetArg1("a%s%d");
    A->SetArg2("b c");
    A->SetRelative(true);
  }
  EXPECT_EQ(Size.Summary(), "SetSpeedSize(a%s%d, b c, relative)");
  EXPECT_EQ(Dir.Summary(), "SetSpeedDir(a%s%d, b c, relative)");
  C.str("");
  Size.WriteC(C);
  Dir.WriteC(C);
  EXPECT_EQ(C.str(), ",actSetSpeedSize(a%s%d,b c,RELATIVE);\r\n,actSetSpeedDir(a%s%d,b c,RELATIVE);\r\n");
}

TEST_F(Kinds, ActionParametersRoundTripWithLongTexts) {
  auto& Size = Action<TActionSetSpeedSize>();
  auto& Dir = Action<TActionSetSpeedDir>();
  Size.SetArg1(std::string(256, 'x'));
  Size.SetArg2("y");
  Size.SetRelative(true);
  TBytes Stored = ParamsOf(Size);
  EXPECT_EQ(Stored[0], 12);  // the long text form
  ReadParams(Dir, Stored);
  EXPECT_EQ(Dir.Arg1(), std::string(256, 'x'));
  EXPECT_EQ(Dir.Arg2(), "y");
  EXPECT_TRUE(Dir.Relative());

  Dir.SetArg1("");
  Dir.SetArg2(std::string(1000, 'z'));
  Dir.SetRelative(false);
  ReadParams(Size, ParamsOf(Dir));
  EXPECT_EQ(Size.Arg1(), "");
  EXPECT_EQ(Size.Arg2(), std::string(1000, 'z'));
  EXPECT_FALSE(Size.Relative());
}
