// Actors and their handlers, and their records.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventKey.h"
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

// A project file holding the given actor records and no tiles or levels.
TBytes ProjectWithActors(const TBytes& Actors) {
  test::TTempDir Dir;
  TGame Empty;
  Empty.SetFileName(Dir.File("e.lvk"));
  Empty.Save();
  TBytes B = test::ReadBytes(Empty.FileName());
  B.resize(B.size() - 2);  // keep the tile list's end
  Append(B, Actors);
  Append(B, {0, 0});
  return B;
}

std::string LoadMessage(const TBytes& File, TGame& Into) {
  test::TTempDir Dir;
  test::WriteBytes(Dir.File("f.lvk"), File);
  return MessageOf([&] { Into.LoadFromFile(Dir.File("f.lvk")); });
}

}  // namespace

TEST(Actor, NamesTilesAndPictures) {
  TGame Game;
  TActor* A = Game.AddActor();
  EXPECT_EQ(A->Name(), "aActor1");
  EXPECT_EQ(Game.AddActor()->Name(), "aActor2");
  EXPECT_EQ(&Game.GetActorBitmap(nullptr), &Game.EmptyBitmap());
  EXPECT_EQ(&Game.GetActorBitmap(A), &Game.NoTileBitmap());
  TTile* T = Game.AddTile();
  test::ClearModified(Game);
  A->SetTile(T);
  EXPECT_TRUE(Game.Modified());
  EXPECT_EQ(&Game.GetActorBitmap(A), &T->Bitmap());
  test::ClearModified(Game);
  A->SetTile(T);
  EXPECT_FALSE(Game.Modified());
  A->SetTile(nullptr);
  EXPECT_TRUE(Game.Modified());
  EXPECT_EQ(MessageOf([&] { Game.GetActor(2); }), "Actors index must be <2 (is 2)");
  EXPECT_EQ(MessageOf([&] { Game.GetActor(-1); }), "Actors index must be >=0 (is -1)");
  EXPECT_EQ(MessageOf([&] { Game.GetActor(1)->SetName("AACTOR1"); }),
            "An actor with name \"AACTOR1\" already exists");
  EXPECT_EQ(Game.FindActorByName("AACTOR2"), Game.GetActor(1));
}

TEST(Actor, HandlersAndTheirMessages) {
  TGame Game;
  TActor* A = Game.AddActor();
  EXPECT_EQ(MessageOf([&] { A->GetHandler(-1); }), "Handler index must be >=0 (is -1)");
  EXPECT_EQ(MessageOf([&] { A->GetHandler(0); }), "Event index must be <0 (is 0)");
  test::ClearModified(Game);
  THandler* H = A->AddHandler();
  EXPECT_TRUE(Game.Modified());
  EXPECT_EQ(H->Event(), nullptr);
  test::ClearModified(Game);
  H->SetEvent(TEventKey::ClassKind());
  EXPECT_FALSE(Game.Modified());  // its callers mark the change
  ASSERT_NE(H->Event(), nullptr);
  EXPECT_EQ(&H->Event()->Kind(), &TEventKey::ClassKind());
  H->AddAction(TActionSetSpeedSize::ClassKind());
  EXPECT_TRUE(Game.Modified());
  EXPECT_EQ(H->ActionCount(), 1);
  EXPECT_EQ(A->GetHandler(0), H);
  EXPECT_EQ(MessageOf([&] { A->GetHandler(1); }), "Event index must be <1 (is 1)");
  // A new event of another kind starts from that kind's defaults.
  static_cast<TEventKey*>(H->Event())->SetKeys(7);
  H->SetEvent(TEventCollision::ClassKind());
  H->SetEvent(TEventKey::ClassKind());
  EXPECT_EQ(static_cast<TEventKey*>(H->Event())->Keys(), 1);
}

TEST(Actor, ActionsMoveInTheirRunningOrder) {
  TGame Game;
  THandler* H = Game.AddActor()->AddHandler();
  TActionBase* Size = H->AddAction(TActionSetSpeedSize::ClassKind());
  TActionBase* Dir = H->AddAction(TActionSetSpeedDir::ClassKind());
  TActionBase* Third = H->AddAction(TActionSetSpeedSize::ClassKind());
  test::ClearModified(Game);
  H->MoveAction(2, 0);
  EXPECT_TRUE(Game.Modified());
  EXPECT_EQ(H->GetAction(0), Third);
  EXPECT_EQ(H->GetAction(1), Size);
  EXPECT_EQ(H->GetAction(2), Dir);
  test::ClearModified(Game);
  H->MoveAction(1, 1);
  EXPECT_FALSE(Game.Modified());
  EXPECT_EQ(MessageOf([&] { H->MoveAction(0, 3); }), "Assertion failure (UGame)");
}

TEST(ActorRecord, BytesAsStored) {
  TGame Game;
  TActor* A = Game.AddActor();
  TBytes NoTile = test::ShortString("[TActor]");
  Append(NoTile, test::ShortString("aActor1"));
  Append(NoTile, {8, 2, 0});
  EXPECT_EQ(RecordOf(*A), NoTile);

  A->SetTile(Game.AddTile());
  TBytes WithTile = test::ShortString("[TActor]");
  Append(WithTile, test::ShortString("aActor1"));
  Append(WithTile, {9});
  Append(WithTile, test::ShortString("tTile1"));
  Append(WithTile, {2, 0});
  EXPECT_EQ(WithTile.size(), 30u);
  EXPECT_EQ(RecordOf(*A), WithTile);

  // A handler without actions: the key, the event's parameters, the count 0.
  THandler* H = A->AddHandler();
  H->SetEvent(TEventKey::ClassKind());
  TBytes Handler = test::ShortString("<OnKey>");
  Append(Handler, {8, 2, 1, 2, 0});
  EXPECT_EQ(RecordOf(*H), Handler);
}

TEST(ActorRecord, UnknownKeysAndMissingTiles) {
  auto Actor = [](const std::string& EventKey, const std::string& ActionKey, const std::string& TileName) {
    TBytes B = test::ShortString("[TActor]");
    Append(B, test::ShortString("aHero"));
    if (TileName.empty()) {
      Append(B, {8});
    } else {
      Append(B, {9});
      Append(B, test::ShortString(TileName));
    }
    Append(B, {2, 1});
    Append(B, test::ShortString(EventKey));
    Append(B, {2, 1});  // one action
    Append(B, test::ShortString(ActionKey));
    Append(B, test::ShortString("1"));
    Append(B, test::ShortString("2"));
    Append(B, {9});
    return B;
  };
  {
    TGame Game;
    EXPECT_EQ(LoadMessage(ProjectWithActors(Actor("<OnJump>", "<SetSpeedDir>", "")), Game),
              "File refers to unregistered event \"<OnJump>\"");
  }
  {
    TGame Game;
    EXPECT_EQ(LoadMessage(ProjectWithActors(Actor("<OnCreate>", "<setspeeddir>", "")), Game),
              "File refers to unregistered action \"<setspeeddir>\"");
  }
  {
    TGame Game;
    EXPECT_EQ(LoadMessage(ProjectWithActors(Actor("<OnCreate>", "<SetSpeedDir>", "tGone")), Game), "no error");
    ASSERT_EQ(Game.ActorCount(), 1);
    TActor* A = Game.GetActor(0);
    EXPECT_EQ(A->Tile(), nullptr);
    EXPECT_EQ(&Game.GetActorBitmap(A), &Game.NoTileBitmap());
    ASSERT_EQ(A->GetHandler(0)->ActionCount(), 1);
    auto* Dir = static_cast<TActionSetSpeedDir*>(A->GetHandler(0)->GetAction(0));
    EXPECT_EQ(Dir->Summary(), "SetSpeedDir(1, 2, relative)");
    EXPECT_EQ(RecordOf(*A)[10 + 7], 8);  // saved again without the tile
  }
}

TEST(ActorRecord, CollisionWithALaterActorRoundTrips) {
  test::TTempDir Dir;
  TGame Game;
  TActor* First = Game.AddActor();
  TActor* Second = Game.AddActor();
  Second->SetName("Enemy");
  THandler* H = First->AddHandler();
  H->SetEvent(TEventCollision::ClassKind());
  auto* C = static_cast<TEventCollision*>(H->Event());
  C->SetOtherActor(*Second);
  C->SetOverlap(false);
  Game.SetFileName(Dir.File("c.lvk"));
  Game.Save();

  TGame Loaded;
  Loaded.LoadFromFile(Game.FileName());
  auto* L = static_cast<TEventCollision*>(Loaded.GetActor(0)->GetHandler(0)->Event());
  EXPECT_EQ(L->OtherActor(), Loaded.GetActor(1));
  EXPECT_FALSE(L->Overlap());
  EXPECT_EQ(L->Summary(), "OnCollision( Enemy, repel )");

  // A stored name differing only in case resolves; one naming nobody stops the load.
  TBytes B = test::ReadBytes(Game.FileName());
  TBytes Name = test::ShortString("Enemy");
  auto At = std::search(B.begin(), B.end(), Name.begin(), Name.end());  // the event's reference comes first
  ASSERT_NE(At, B.end());
  TBytes Upper = B;
  Upper[(At - B.begin()) + 2] = 'E';
  Upper[(At - B.begin()) + 3] = 'N';
  TGame CaseGame;
  EXPECT_EQ(LoadMessage(Upper, CaseGame), "no error");
  EXPECT_EQ(static_cast<TEventCollision*>(CaseGame.GetActor(0)->GetHandler(0)->Event())->OtherActor(),
            CaseGame.GetActor(1));
  TBytes Nobody = B;
  Nobody[(At - B.begin()) + 2] = 'X';
  TGame Broken;
  EXPECT_EQ(LoadMessage(Nobody, Broken), "Assertion failure (REventCollision)");
}
