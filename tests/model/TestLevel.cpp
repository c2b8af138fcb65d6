// Levels: sizes, cells and the record.
#include <gtest/gtest.h>

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
  Game.ClearModified();
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
  Game.ClearModified();
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
