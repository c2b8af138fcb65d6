// Levels: sizes, cells and the record.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"
#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UGame.h"
#include "model/ULevel.h"
#include "model/UStream.h"

using namespace lvk;
using test::TBytes;
using test::Append;
using test::MessageOf;
using test::RecordOf;

namespace {

}  // namespace

TEST(Level, NewLevelsAndCellChecks) {
  TGame Game;
  TLevel* L = Game.AddLevel();
  EXPECT_EQ(L->Name(), "lLevel1");
  EXPECT_EQ(Game.AddLevel()->Name(), "lLevel2");
  EXPECT_EQ(L->Width(), 0);
  EXPECT_EQ(MessageOf([&] { L->GetCell(0, 0); }), "Level column must be [0..0), but is 0");
  L->SetSize(32, 24);
  EXPECT_EQ(MessageOf([&] { L->GetCell(32, 0); }), "Level column must be [0..32), but is 32");
  EXPECT_EQ(MessageOf([&] { L->GetCell(0, 24); }), "Level row must be [0..24), but is 24");
  EXPECT_EQ(MessageOf([&] { L->GetCell(-1, 99); }), "Level column must be [0..32), but is -1");
  EXPECT_EQ(L->CellIndex(3, 2), 67);
  EXPECT_EQ(MessageOf([&] { Game.GetLevel(2); }), "Levels index must be <2 (is 2)");
  EXPECT_EQ(MessageOf([&] { Game.GetLevel(1)->SetName("LLEVEL1"); }), "A level with name \"LLEVEL1\" already exists");
}

TEST(Level, SizesAndCells) {
  TGame Game;
  TActor* A = Game.AddActor();
  TActor* B = Game.AddActor();
  TLevel* L = Game.AddLevel();
  L->SetSize(32, 24);
  for (int R = 0; R < 24; ++R)
    for (int C = 0; C < 32; ++C) L->SetCell(C, R, (C + R) % 2 ? A : B);
  test::ClearModified(Game);
  L->SetCell(1, 0, A);
  EXPECT_FALSE(Game.Modified());
  L->SetCell(1, 0, nullptr);
  EXPECT_TRUE(Game.Modified());
  L->SetCell(1, 0, A);

  EXPECT_EQ(MessageOf([&] { L->SetSize(-1, 5); }), "Level size must be positive (-1,5)");
  EXPECT_EQ(L->Width(), 32);
  L->SetSize(16, 8);
  for (int R = 0; R < 8; ++R)
    for (int C = 0; C < 16; ++C) ASSERT_EQ(L->GetCell(C, R), (C + R) % 2 ? A : B);
  L->SetSize(32, 24);
  EXPECT_EQ(L->GetCell(15, 7), B);
  EXPECT_EQ(L->GetCell(16, 7), nullptr);
  EXPECT_EQ(L->GetCell(0, 8), nullptr);
  test::ClearModified(Game);
  L->SetSize(32, 24);
  EXPECT_TRUE(Game.Modified());  // also for the same size
  L->SetSize(0, 0);
  EXPECT_EQ(L->Height(), 0);
}

TEST(LevelRecord, BytesAndRoundTrip) {
  TGame Game;
  TLevel* L = Game.AddLevel();
  L->SetSize(32, 24);
  TBytes Expected = test::ShortString("[TLevel]");
  TBytes Name = test::ShortString("lLevel1");
  Expected.insert(Expected.end(), Name.begin(), Name.end());
  Expected.insert(Expected.end(), {2, 32, 2, 24});
  Expected.insert(Expected.end(), 768, 8);
  EXPECT_EQ(Expected.size(), 791u);
  EXPECT_EQ(RecordOf(*L), Expected);

  TActor* A = Game.AddActor();
  L->SetCell(5, 1, A);
  TBytes Filled = RecordOf(*L);
  TGame Copy;
  Copy.AddActor()->SetName("AACTOR1");
  TMemoryStream S(Filled);
  TReader R(S);
  TLevel* Read = Copy.AddLevel();
  Read->LoadFromStream(S, R);
  EXPECT_EQ(Read->GetCell(5, 1), Copy.GetActor(0));
  EXPECT_EQ(Read->GetCell(4, 1), nullptr);

  // An actor name nobody has leaves the cell empty.
  TGame NoActors;
  TMemoryStream S2(Filled);
  TReader R2(S2);
  TLevel* Empty = NoActors.AddLevel();
  Empty->LoadFromStream(S2, R2);
  EXPECT_EQ(Empty->GetCell(5, 1), nullptr);
}

TEST(LevelRecord, SizesTheFileCannotHoldAreReadErrors) {
  auto Load = [](std::initializer_list<std::uint8_t> Size) {
    TBytes B = test::ShortString("[TLevel]");
    TBytes Name = test::ShortString("l");
    B.insert(B.end(), Name.begin(), Name.end());
    B.insert(B.end(), Size);
    B.insert(B.end(), 16, 8);
    TGame Game;
    TMemoryStream S(B);
    TReader R(S);
    test::ResetLargestAllocation();
    Game.AddLevel()->LoadFromStream(S, R);
  };
  EXPECT_NO_THROW(Load({2, 4, 2, 4}));
  EXPECT_THROW(Load({2, 0xFF, 2, 4}), EReadError);
  EXPECT_THROW(Load({2, 4, 2, 0xFB}), EReadError);
  EXPECT_THROW(Load({2, 5, 2, 4}), EReadError);
  EXPECT_THROW(Load({4, 0xFF, 0xFF, 0, 0, 4, 0xFF, 0xFF, 0, 0}), EReadError);
  EXPECT_LT(test::LargestAllocation(), 1u << 20);
  // Two negatives would multiply to a positive size.
  EXPECT_THROW(Load({2, 0xFE, 2, 0xFE}), EReadError);
}

TEST(Level, ResizeKeepsCellsAtTheAnchor) {
  // From 4x3 with an actor in each corner to each size and anchor: where the
  // top-left corner's actor lands (none: dropped) and how many are dropped.
  struct TCase {
    int Width, Height;
    TLevelAnchor Anchor;
    int CornerColumn, CornerRow;
    int Dropped;
  };
  const TCase Cases[] = {
      {6, 5, {0, 0}, 0, 0, 0},   // grow, top-left: cells stay
      {6, 5, {2, 2}, 2, 2, 0},   // grow, bottom-right: new cells on the top and left
      {6, 5, {1, 1}, 1, 1, 0},   // grow, middle
      {2, 2, {0, 0}, 0, 0, 3},   // shrink, top-left: three corners go
      {2, 2, {2, 2}, -1, -1, 3}, // shrink, bottom-right: the top-left corner goes
      {4, 1, {0, 1}, -1, -1, 4}, // one middle row of three: every corner goes
      {4, 3, {2, 2}, 0, 0, 0},   // same size: nothing moves
  };
  for (const TCase& C : Cases) {
    TGame Game;
    TActor* A = Game.AddActor();
    TLevel* L = Game.AddLevel();
    L->SetSize(4, 3);
    L->SetCell(0, 0, A);
    L->SetCell(3, 0, A);
    L->SetCell(0, 2, A);
    L->SetCell(3, 2, A);
    L->SetCell(1, 1, nullptr);
    EXPECT_EQ(L->CellsDropped(C.Width, C.Height, C.Anchor), C.Dropped) << C.Width << "x" << C.Height;
    L->SetSize(C.Width, C.Height, C.Anchor);
    int Placed = 0;
    for (int R = 0; R < C.Height; ++R)
      for (int Col = 0; Col < C.Width; ++Col) Placed += L->GetCell(Col, R) != nullptr;
    EXPECT_EQ(Placed, 4 - C.Dropped) << C.Width << "x" << C.Height;
    if (C.CornerColumn >= 0) {
      EXPECT_EQ(L->GetCell(C.CornerColumn, C.CornerRow), A) << C.Width << "x" << C.Height;
    }
  }
  EXPECT_TRUE(TLevel::SizeAllowed(32, 24));
  EXPECT_TRUE(TLevel::SizeAllowed(256, 256));
  EXPECT_FALSE(TLevel::SizeAllowed(31, 24));
  EXPECT_FALSE(TLevel::SizeAllowed(32, 257));
}

TEST(Level, CameraStartsOnTheFollowedActorInsideTheLevel) {
  TGame Game;
  TActor* Hero = Game.AddActor();
  TLevel* L = Game.AddLevel();
  L->SetSize(128, 48);
  struct TCase {
    int Column, Row;
    int X, Y;
  };
  // The hero's box centred on the 256x192 screen, the camera kept inside
  // the 1024x384 level.
  const TCase Cases[] = {{0, 0, 0, 0}, {64, 24, 388, 100}, {127, 46, 768, 192}, {20, 30, 36, 148}};
  for (const TCase& C : Cases) {
    L->SetSize(0, 0);
    L->SetSize(128, 48);
    L->SetCell(C.Column, C.Row, Hero);
    L->SetCell(100, 47, Hero);  // a later instance does not count
    TLevelCamera Camera;
    Camera.Follow = Hero;
    L->SetCamera(Camera);
    int X = -1, Y = -1;
    L->CameraStart(X, Y);
    EXPECT_EQ(X, C.X) << C.Column << "," << C.Row;
    EXPECT_EQ(Y, C.Y) << C.Column << "," << C.Row;
  }
  TLevelCamera Wide;
  Wide.DeadWidth = 999;
  Wide.DeadHeight = -3;
  L->SetCamera(Wide);
  EXPECT_EQ(L->Camera().DeadWidth, TLevelCamera::MaxDeadWidth);
  EXPECT_EQ(L->Camera().DeadHeight, 0);
  int X = -1, Y = -1;
  L->CameraStart(X, Y);
  EXPECT_EQ(X + Y, 0);  // nothing followed: the top-left corner

  // Deleting the followed actor leaves the camera following nothing.
  TLevelCamera Follow;
  Follow.Follow = Hero;
  L->SetCamera(Follow);
  Game.DeleteActor(Hero);
  EXPECT_EQ(L->Camera().Follow, nullptr);
}

TEST(LevelRecord, CameraSectionBytesAndDamage) {
  TGame Game;
  TActor* Hero = Game.AddActor();
  Hero->SetName("aHero");
  Game.AddLevel()->SetSize(32, 24);
  TLevel* Wide = Game.AddLevel();
  Wide->SetSize(128, 24);
  Wide->SetCell(3, 20, Hero);
  const TBytes Plain = Game.ContentBytes();
  TLevelCamera Camera;
  Camera.Follow = Hero;
  Camera.DeadWidth = 64;
  Camera.DeadHeight = 48;
  Camera.LockY = true;
  Wide->SetCamera(Camera);
  const TBytes Whole = Game.ContentBytes();

  // The example of docs/ProjectFile.md, section 7.3.
  const TBytes Section = {0x06, 0x0a, '[', 'T', 'C', 'a', 'm', 'e', 'r', 'a', 's', ']', 0x02, 0x01, 0x02, 0x01,
                          0x06, 0x05, 'a', 'H', 'e', 'r', 'o', 0x02, 0x40, 0x02, 0x30, 0x02, 0x02};
  ASSERT_EQ(Whole.size(), Plain.size() + Section.size());
  EXPECT_TRUE(std::equal(Plain.begin(), Plain.end(), Whole.begin()));
  EXPECT_TRUE(std::equal(Section.begin(), Section.end(), Whole.begin() + static_cast<std::ptrdiff_t>(Plain.size())));

  TGame Loaded;
  Loaded.LoadContent(Whole);
  EXPECT_EQ(Loaded.ContentBytes(), Whole);
  EXPECT_EQ(Loaded.GetLevel(1)->Camera().Follow, Loaded.GetActor(0));
  EXPECT_TRUE(Loaded.GetLevel(1)->Camera().LockY);
  EXPECT_TRUE(Loaded.GetLevel(0)->Camera().IsDefault());

  // Damage: a count of none or more than the levels, a level out of range
  // or twice, an actor nobody has, an entry that sets nothing, a cut.
  auto WithSection = [&](const TBytes& Body) {
    TBytes B = Plain;
    Append(B, test::ShortString("[TCameras]"));
    Append(B, Body);
    return B;
  };
  const TBytes Hero5 = {0x06, 0x05, 'a', 'H', 'e', 'r', 'o'};
  auto Entry = [&](std::uint8_t Level, const TBytes& Name, std::uint8_t Flags) {
    TBytes B = {0x02, Level};
    Append(B, Name);
    Append(B, {0x02, 0x00, 0x02, 0x00, 0x02, Flags});
    return B;
  };
  TBytes Twice = {0x02, 0x02};
  Append(Twice, Entry(1, Hero5, 1));
  Append(Twice, Entry(1, Hero5, 1));
  TBytes Count0 = {0x02, 0x00};
  TBytes Count3 = {0x02, 0x03};
  Append(Count3, Entry(1, Hero5, 1));
  TBytes Level2 = {0x02, 0x01};
  Append(Level2, Entry(2, Hero5, 1));
  TBytes Nobody = {0x02, 0x01};
  Append(Nobody, Entry(1, {0x06, 0x01, 'x'}, 1));
  TBytes Nothing = {0x02, 0x01};
  Append(Nothing, Entry(0, {0x06, 0x00}, 0));
  for (const TBytes& Body : {Twice, Count0, Count3, Level2, Nobody, Nothing}) {
    TGame Bad;
    EXPECT_EQ(MessageOf([&] { Bad.LoadContent(WithSection(Body)); }), FileUnexpected);
  }
  TBytes Good = {0x02, 0x01};
  Append(Good, Entry(0, {0x06, 0x00}, 3));
  TGame Locked;
  Locked.LoadContent(WithSection(Good));
  EXPECT_TRUE(Locked.GetLevel(0)->Camera().LockX && Locked.GetLevel(0)->Camera().LockY);
  for (std::size_t N = Plain.size() + 12; N < Whole.size(); ++N) {
    TGame Cut;
    EXPECT_EQ(MessageOf([&] { Cut.LoadContent(TBytes(Whole.begin(), Whole.begin() + static_cast<std::ptrdiff_t>(N))); }),
              FileUnexpected)
        << N;
  }
  // Sections after it came too late.
  TBytes Late = Whole;
  Append(Late, test::ShortString("[TSounds]"));
  Append(Late, {0x02, 0x00, 0x02, 0x00});
  TGame LateGame;
  EXPECT_EQ(MessageOf([&] { LateGame.LoadContent(Late); }), FileUnexpected);

  Wide->SetCamera(TLevelCamera{});
  EXPECT_EQ(Game.ContentBytes(), Plain);
}

TEST(LevelRecord, BackdropSectionBytesAndDamage) {
  TGame Game;
  Game.AddLevel()->SetSize(32, 24);
  TLevel* Sky = Game.AddLevel();
  Sky->SetSize(64, 24);
  const TBytes Plain = Game.ContentBytes();
  Sky->SetBackdrop(RGB(160, 200, 255));
  const TBytes Whole = Game.ContentBytes();

  // The example of docs/ProjectFile.md, section 7.7.
  const TBytes Section = {0x06, 0x0c, '[', 'T', 'B', 'a', 'c', 'k', 'd', 'r', 'o', 'p', 's', ']',
                          0x02, 0x01, 0x02, 0x01, 0x04, 0xa0, 0xc8, 0xff, 0x00};
  ASSERT_EQ(Whole.size(), Plain.size() + Section.size());
  EXPECT_TRUE(std::equal(Plain.begin(), Plain.end(), Whole.begin()));
  EXPECT_TRUE(std::equal(Section.begin(), Section.end(), Whole.begin() + static_cast<std::ptrdiff_t>(Plain.size())));
  TGame Loaded;
  Loaded.LoadContent(Whole);
  EXPECT_EQ(Loaded.ContentBytes(), Whole);
  EXPECT_EQ(Loaded.GetLevel(1)->Backdrop(), RGB(160, 200, 255));
  EXPECT_FALSE(Loaded.GetLevel(0)->Backdrop());

  // Damage: no entry, more than the levels, a level out of range or twice,
  // a colour that is none, a cut anywhere, a section before it after it.
  auto WithSection = [&](const TBytes& Body) {
    TBytes B = Plain;
    Append(B, test::ShortString("[TBackdrops]"));
    Append(B, Body);
    return B;
  };
  const TBytes Bad[] = {
      {0x02, 0x00},
      {0x02, 0x03, 0x02, 0x00, 0x02, 0x01, 0x02, 0x01, 0x02, 0x01, 0x02, 0x00, 0x02, 0x01},
      {0x02, 0x01, 0x02, 0x02, 0x02, 0x01},
      {0x02, 0x02, 0x02, 0x01, 0x02, 0x01, 0x02, 0x01, 0x02, 0x01},
      {0x02, 0x01, 0x02, 0x01, 0x02, 0xff},
      {0x02, 0x01, 0x02, 0x01, 0x04, 0x00, 0x00, 0x00, 0x01},
  };
  for (const TBytes& Body : Bad) {
    TGame Damaged;
    EXPECT_EQ(MessageOf([&] { Damaged.LoadContent(WithSection(Body)); }), FileUnexpected);
  }
  for (std::size_t N = Plain.size() + 14; N < Whole.size(); ++N) {
    TGame Cut;
    EXPECT_EQ(MessageOf([&] { Cut.LoadContent(TBytes(Whole.begin(), Whole.begin() + static_cast<std::ptrdiff_t>(N))); }),
              FileUnexpected)
        << N;
  }
  TBytes Late = Whole;
  Append(Late, test::ShortString("[TCameras]"));
  Append(Late, {0x02, 0x01, 0x02, 0x00, 0x06, 0x00, 0x02, 0x00, 0x02, 0x00, 0x02, 0x01});
  TGame LateGame;
  EXPECT_EQ(MessageOf([&] { LateGame.LoadContent(Late); }), FileUnexpected);

  // A level back to no backdrop of its own stores as before.
  Sky->SetBackdrop(std::nullopt);
  EXPECT_EQ(Game.ContentBytes(), Plain);
}
