// Deleting and duplicating tiles, actors, levels, handlers and actions: no
// reference is left dangling and every game a delete leaves saves and loads.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventKey.h"
#include "behaviour/REventTouch.h"
#include "behaviour/UAction.h"
#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UGame.h"
#include "model/ULevel.h"

using namespace lvk;
using test::MessageOf;

namespace {

constexpr const char* Assertion = "Assertion failure (UGame)";

TEventCollision* Collide(TActor* Actor, TActor* Other, bool Overlap) {
  THandler* H = Actor->AddHandler();
  H->SetEvent(TEventCollision::ClassKind());
  auto* C = static_cast<TEventCollision*>(H->Event());
  C->SetOtherActor(*Other);
  C->SetOverlap(Overlap);
  return C;
}

// Tiles used by actors, actors placed in levels, collisions across actors
// and with the actor itself, and handlers with actions of both kinds.
void BuildGame(TGame& Game, const test::TTempDir& Dir) {
  TTile* Grass = Game.AddTile();
  Grass->SetName("Grass");
  test::SolidBitmap(8, 8, 24, RGB(0, 200, 0)).SaveToFile(Dir.File("g.bmp"));
  Grass->ImportBitmap(Dir.File("g.bmp"));
  Game.AddTile()->SetName("Gold");
  Game.AddTile();

  TActor* Hero = Game.AddActor();
  Hero->SetName("Hero");
  Hero->SetTile(Grass);
  TActor* Coin = Game.AddActor();
  Coin->SetName("Coin");
  Coin->SetTile(Game.GetTile(1));
  TActor* Wall = Game.AddActor();
  Wall->SetName("Wall");
  Wall->SetTile(Grass);

  Collide(Hero, Coin, false);
  Collide(Hero, Hero, true);
  THandler* Key = Hero->AddHandler();
  Key->SetEvent(TEventKey::ClassKind());
  static_cast<TEventKey*>(Key->Event())->SetKeys(7);
  auto* Size = static_cast<TActionSpeed*>(Key->AddAction(TActionSetSpeedSize::ClassKind()));
  Size->SetArg1("3");
  Size->SetArg2("-2");
  auto* Dir2 = static_cast<TActionSpeed*>(Key->AddAction(TActionSetSpeedDir::ClassKind()));
  Dir2->SetArg1("1");
  Dir2->SetRelative(true);
  Collide(Coin, Hero, true);
  Collide(Wall, Coin, false);
  THandler* Touch = Wall->AddHandler();
  Touch->SetEvent(TEventTouch::ClassKind());
  static_cast<TEventTouch*>(Touch->Event())->SetAreas(5);

  TLevel* One = Game.AddLevel();
  One->SetSize(4, 3);
  One->SetCell(0, 0, Hero);
  One->SetCell(1, 0, Coin);
  One->SetCell(3, 2, Coin);
  One->SetCell(2, 1, Wall);
  TLevel* Two = Game.AddLevel();
  Two->SetSize(2, 2);
  Two->SetCell(1, 1, Coin);
}

// Everything a game holds, as text, references by name.
std::string Describe(const TGame& Game) {
  std::ostringstream S;
  for (int i = 0; i < Game.TileCount(); ++i) S << "T " << Game.GetTile(i)->Name() << "\n";
  for (int i = 0; i < Game.ActorCount(); ++i) {
    TActor* A = Game.GetActor(i);
    S << "A " << A->Name() << " " << (A->Tile() ? A->Tile()->Name() : "-") << "\n";
    for (int h = 0; h < A->HandlerCount(); ++h) {
      THandler* H = A->GetHandler(h);
      S << "  " << H->Event()->Summary();
      for (int a = 0; a < H->ActionCount(); ++a) S << " " << H->GetAction(a)->Summary();
      S << "\n";
    }
  }
  for (int i = 0; i < Game.LevelCount(); ++i) {
    TLevel* L = Game.GetLevel(i);
    S << "L " << L->Name() << " " << L->Width() << "x" << L->Height();
    for (int R = 0; R < L->Height(); ++R)
      for (int C = 0; C < L->Width(); ++C) S << " " << (L->GetCell(C, R) ? L->GetCell(C, R)->Name() : ".");
    S << "\n";
  }
  return S.str();
}

// Saves and loads the game; the loaded one must hold the same.
void ExpectSavesAndLoads(TGame& Game, const test::TTempDir& Dir, const std::string& Step) {
  Game.SetFileName(Dir.File("d.lvk"));
  Game.Save();
  TGame Loaded;
  EXPECT_EQ(MessageOf([&] { Loaded.LoadFromFile(Dir.File("d.lvk")); }), "no error") << Step;
  EXPECT_EQ(Describe(Loaded), Describe(Game)) << Step;
}

template <typename F>
bool MarksModified(TGame& Game, F Change) {
  test::ClearModified(Game);
  Change();
  return Game.Modified();
}

}  // namespace

TEST(Delete, ReferencesGoWithTheItemAndTheRestStays) {
  test::TTempDir Dir;
  TGame Game;
  BuildGame(Game, Dir);
  TTile* Grass = Game.GetTile(0);
  TTile* Gold = Game.GetTile(1);
  TTile* Third = Game.GetTile(2);
  TActor* Hero = Game.GetActor(0);
  TActor* Coin = Game.GetActor(1);
  TActor* Wall = Game.GetActor(2);
  THandler* HeroSelf = Hero->GetHandler(1);
  THandler* HeroKey = Hero->GetHandler(2);
  TLevel* One = Game.GetLevel(0);
  TLevel* Two = Game.GetLevel(1);

  EXPECT_TRUE(MarksModified(Game, [&] { Game.DeleteTile(Grass); }));
  EXPECT_EQ(Game.TileCount(), 2);
  EXPECT_EQ(Game.GetTile(0), Gold);
  EXPECT_EQ(Game.GetTile(1), Third);
  EXPECT_EQ(Hero->Tile(), nullptr);
  EXPECT_EQ(Wall->Tile(), nullptr);
  EXPECT_EQ(Coin->Tile(), Gold);

  // The confirmation lists the other actors' handlers naming Coin, not its own.
  std::vector<THandler*> Naming = Game.HandlersNaming(*Coin);
  EXPECT_EQ(Naming, (std::vector<THandler*>{Hero->GetHandler(0), Wall->GetHandler(0)}));
  EXPECT_EQ(Game.HandlersNaming(*Hero), (std::vector<THandler*>{Coin->GetHandler(0)}));
  EXPECT_TRUE(MarksModified(Game, [&] { Game.DeleteActor(Coin); }));
  ASSERT_EQ(Game.ActorCount(), 2);
  EXPECT_EQ(Game.GetActor(0), Hero);
  EXPECT_EQ(Game.GetActor(1), Wall);
  ASSERT_EQ(Hero->HandlerCount(), 2);
  EXPECT_EQ(Hero->GetHandler(0), HeroSelf);
  EXPECT_EQ(Hero->GetHandler(1), HeroKey);
  ASSERT_EQ(Wall->HandlerCount(), 1);
  EXPECT_EQ(&Wall->GetHandler(0)->Event()->Kind(), &TEventTouch::ClassKind());
  EXPECT_EQ(One->GetCell(1, 0), nullptr);
  EXPECT_EQ(One->GetCell(3, 2), nullptr);
  EXPECT_EQ(One->GetCell(0, 0), Hero);
  EXPECT_EQ(One->GetCell(2, 1), Wall);
  EXPECT_EQ(Two->GetCell(1, 1), nullptr);

  // An actor whose only collisions name itself takes nobody else's handlers.
  EXPECT_TRUE(Game.HandlersNaming(*Hero).empty());

  TActionBase* Second = HeroKey->GetAction(1);
  EXPECT_TRUE(MarksModified(Game, [&] { HeroKey->DeleteAction(0); }));
  ASSERT_EQ(HeroKey->ActionCount(), 1);
  EXPECT_EQ(HeroKey->GetAction(0), Second);
  EXPECT_TRUE(MarksModified(Game, [&] { Hero->DeleteHandler(HeroSelf); }));
  ASSERT_EQ(Hero->HandlerCount(), 1);
  EXPECT_EQ(Hero->GetHandler(0), HeroKey);
  EXPECT_TRUE(MarksModified(Game, [&] { Game.DeleteLevel(One); }));
  ASSERT_EQ(Game.LevelCount(), 1);
  EXPECT_EQ(Game.GetLevel(0), Two);

  // Items that are not in the list are programming errors; nothing changes.
  TGame Other;
  TTile* Foreign = Other.AddTile();
  test::ClearModified(Game);
  EXPECT_EQ(MessageOf([&] { Game.DeleteTile(Foreign); }), Assertion);
  EXPECT_EQ(MessageOf([&] { Game.DeleteTile(nullptr); }), Assertion);
  EXPECT_EQ(MessageOf([&] { Game.DeleteActor(Other.AddActor()); }), Assertion);
  EXPECT_EQ(MessageOf([&] { Game.DeleteLevel(Other.AddLevel()); }), Assertion);
  EXPECT_EQ(MessageOf([&] { Wall->DeleteHandler(HeroKey); }), Assertion);
  EXPECT_EQ(MessageOf([&] { HeroKey->DeleteAction(1); }), Assertion);
  EXPECT_EQ(MessageOf([&] { HeroKey->DeleteAction(-1); }), Assertion);
  EXPECT_EQ(MessageOf([&] { Game.DuplicateTile(Foreign); }), Assertion);
  EXPECT_FALSE(Game.Modified());
  EXPECT_EQ(Game.TileCount(), 2);
  EXPECT_EQ(Game.ActorCount(), 2);
}

TEST(Delete, InAnyOrderTheGameSavesAndLoads) {
  test::TTempDir Dir;
  // Each step finds its item by name, as the earlier steps may have taken it.
  const std::vector<std::pair<std::string, std::function<void(TGame&)>>> Steps = {
      {"tile Grass", [](TGame& G) { G.DeleteTile(G.FindTileByName("Grass")); }},
      {"actor Coin", [](TGame& G) { if (TActor* A = G.FindActorByName("Coin")) G.DeleteActor(A); }},
      {"actor Hero", [](TGame& G) { if (TActor* A = G.FindActorByName("Hero")) G.DeleteActor(A); }},
      {"level 1", [](TGame& G) { G.DeleteLevel(G.FindLevelByName("lLevel1")); }},
      {"Wall's OnTouch", [](TGame& G) {
         TActor* Wall = G.FindActorByName("Wall");
         for (int h = 0; h < Wall->HandlerCount(); ++h)
           if (&Wall->GetHandler(h)->Event()->Kind() == &TEventTouch::ClassKind()) {
             Wall->DeleteHandler(Wall->GetHandler(h));
             break;
           }
       }},
  };
  // Every order ends in the same game; every set of steps done is saved and
  // loaded once (saving syncs the disk, so not after each of the 600 steps).
  std::vector<int> Order = {0, 1, 2, 3, 4};
  std::vector<bool> Saved(32, false);
  std::string End;
  int Orders = 0;
  do {
    TGame Game;
    BuildGame(Game, Dir);
    std::string Done;
    unsigned DoneSet = 0;
    for (int i : Order) {
      Steps[i].second(Game);
      Done += Steps[i].first + "; ";
      DoneSet |= 1u << i;
      if (!Saved[DoneSet]) ExpectSavesAndLoads(Game, Dir, Done);
      Saved[DoneSet] = true;
    }
    if (End.empty()) End = Describe(Game);
    EXPECT_EQ(Describe(Game), End) << Done;
    ++Orders;
  } while (std::next_permutation(Order.begin(), Order.end()) && !testing::Test::HasFailure());
  EXPECT_EQ(End, "T Gold\nT tTile3\nA Wall -\nL lLevel2 2x2 . . . .\n");
  EXPECT_EQ(Orders, 120);
}

TEST(Duplicate, CopiesAreAppendedUnderDefaultNames) {
  test::TTempDir Dir;
  TGame Game;
  BuildGame(Game, Dir);
  TActor* Hero = Game.GetActor(0);
  TActor* Coin = Game.GetActor(1);
  TLevel* One = Game.GetLevel(0);

  Game.AddTile()->SetName("tTile5");  // the next free number from count + 1 is 6
  TTile* Tile = nullptr;
  EXPECT_TRUE(MarksModified(Game, [&] { Tile = Game.DuplicateTile(Game.GetTile(0)); }));
  EXPECT_EQ(Game.GetTile(4), Tile);
  EXPECT_EQ(Tile->Name(), "tTile6");
  EXPECT_TRUE(Tile->Bitmap() == Game.GetTile(0)->Bitmap());
  EXPECT_NE(&Tile->Bitmap(), &Game.GetTile(0)->Bitmap());

  TActor* Copy = nullptr;
  EXPECT_TRUE(MarksModified(Game, [&] { Copy = Game.DuplicateActor(Hero); }));
  EXPECT_EQ(Game.GetActor(3), Copy);
  EXPECT_EQ(Copy->Name(), "aActor4");
  EXPECT_EQ(Copy->Tile(), Hero->Tile());
  ASSERT_EQ(Copy->HandlerCount(), 3);
  // The collision with another actor stays; the one with itself follows.
  auto* ToCoin = static_cast<TEventCollision*>(Copy->GetHandler(0)->Event());
  EXPECT_EQ(ToCoin->OtherActor(), Coin);
  EXPECT_FALSE(ToCoin->Overlap());
  EXPECT_EQ(static_cast<TEventCollision*>(Copy->GetHandler(1)->Event())->OtherActor(), Copy);
  EXPECT_EQ(static_cast<TEventCollision*>(Hero->GetHandler(1)->Event())->OtherActor(), Hero);
  THandler* Key = Copy->GetHandler(2);
  EXPECT_EQ(&Key->Actor(), Copy);
  EXPECT_EQ(static_cast<TEventKey*>(Key->Event())->Keys(), 7);
  ASSERT_EQ(Key->ActionCount(), 2);
  EXPECT_EQ(Key->GetAction(0)->Summary(), Hero->GetHandler(2)->GetAction(0)->Summary());
  EXPECT_EQ(Key->GetAction(1)->Summary(), Hero->GetHandler(2)->GetAction(1)->Summary());
  EXPECT_NE(Key->GetAction(0), Hero->GetHandler(2)->GetAction(0));
  // A collision naming the original is no concern of the copy's.
  EXPECT_EQ(Game.HandlersNaming(*Copy), std::vector<THandler*>{});

  TLevel* Level = nullptr;
  EXPECT_TRUE(MarksModified(Game, [&] { Level = Game.DuplicateLevel(One); }));
  EXPECT_EQ(Game.GetLevel(2), Level);
  EXPECT_EQ(Level->Name(), "lLevel3");
  ASSERT_EQ(Level->Width(), 4);
  ASSERT_EQ(Level->Height(), 3);
  for (int R = 0; R < 3; ++R)
    for (int C = 0; C < 4; ++C) EXPECT_EQ(Level->GetCell(C, R), One->GetCell(C, R));
  Level->SetCell(0, 0, nullptr);
  EXPECT_EQ(One->GetCell(0, 0), Hero);

  // The copies survive a save and a delete of what they were copied from.
  ExpectSavesAndLoads(Game, Dir, "after duplicating");
  Game.DeleteActor(Hero);
  EXPECT_EQ(Copy->HandlerCount(), 3);  // none of its collisions names Hero
  EXPECT_EQ(Coin->HandlerCount(), 0);
  EXPECT_EQ(Level->GetCell(1, 0), Coin);
  ExpectSavesAndLoads(Game, Dir, "after deleting the original");
}
