// The memory-use watch: its counting rules, the report it makes and when it
// makes none. Every test starts from zeroed counters with counting off.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "support/UMemWatch.h"

using namespace lvk;

namespace {

struct TSmall : TCounted {
  int Value = 7;
};

struct TBig : TCounted {
  char Bytes[1000] = {};
};

// A class whose base is counted inherits the counting.
struct TDerived : TSmall {
  double More[4] = {};
};

// A class that cannot take the base uses the macro.
struct TByMacro {
  LVK_COUNTED
  std::int64_t A = 1, B = 2;
};

struct alignas(64) TAligned : TCounted {
  char Bytes[8];
};

class MemWatchTest : public ::testing::Test {
protected:
  void SetUp() override { MemWatch::Reset(); }
  void TearDown() override { MemWatch::Reset(); }
};

std::int32_t Bytes(const void* Block) { return static_cast<std::int32_t>(MemWatch::BlockSize(Block)); }

}  // namespace

TEST_F(MemWatchTest, CountsBlocksAndTheirUsableSizeWhileActive) {
  MemWatch::Start();
  auto* A = new TSmall;
  auto* B = new TBig;
  const std::int32_t SizeA = Bytes(A), SizeB = Bytes(B);
  // The usable size: at least what was asked for.
  EXPECT_GE(SizeA, static_cast<std::int32_t>(sizeof(TSmall)));
  EXPECT_GE(SizeB, static_cast<std::int32_t>(sizeof(TBig)));
  auto C = MemWatch::Counters();
  EXPECT_EQ(C.CurrentBlocks, 2);
  EXPECT_EQ(C.CurrentBytes, SizeA + SizeB);
  EXPECT_EQ(C.MaxBlocks, 2);
  EXPECT_EQ(C.MaxBytes, SizeA + SizeB);

  delete B;
  C = MemWatch::Counters();
  EXPECT_EQ(C.CurrentBlocks, 1);
  EXPECT_EQ(C.CurrentBytes, SizeA);
  // The maxima keep the highest values reached.
  EXPECT_EQ(C.MaxBlocks, 2);
  EXPECT_EQ(C.MaxBytes, SizeA + SizeB);

  delete A;
  C = MemWatch::Counters();
  EXPECT_EQ(C.CurrentBlocks, 0);
  EXPECT_EQ(C.CurrentBytes, 0);
  EXPECT_EQ(C.MaxBlocks, 2);
}

TEST_F(MemWatchTest, EveryFormOfNewAndDeleteIsCounted) {
  MemWatch::Start();
  std::int32_t Blocks = 0, Total = 0;
  // Each allocation adds one block and at least the bytes asked for.
  auto Check = [&](std::size_t Asked, const char* What) {
    auto C = MemWatch::Counters();
    EXPECT_EQ(C.CurrentBlocks, ++Blocks) << What;
    EXPECT_GE(C.CurrentBytes - Total, static_cast<std::int32_t>(Asked)) << What;
    Total = C.CurrentBytes;
  };
  auto* Derived = new TDerived;
  Check(sizeof(TDerived), "subclass");
  auto* Macro = new TByMacro;
  Check(sizeof(TByMacro), "macro");
  auto* Array = new TSmall[5];
  Check(5 * sizeof(TSmall), "array");
  auto* NoThrow = new (std::nothrow) TSmall;
  ASSERT_NE(NoThrow, nullptr);
  Check(sizeof(TSmall), "nothrow");
  auto* Aligned = new TAligned;
  Check(sizeof(TAligned), "over-aligned");
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Aligned) % 64, 0u);

  delete Derived;
  delete Macro;
  delete[] Array;
  delete NoThrow;
  delete Aligned;
  EXPECT_EQ(MemWatch::Counters().CurrentBlocks, 0);
  EXPECT_EQ(MemWatch::Counters().CurrentBytes, 0);
  EXPECT_EQ(MemWatch::Counters().MaxBlocks, 5);
  EXPECT_EQ(MemWatch::Counters().MaxBytes, Total);
}

TEST_F(MemWatchTest, PlacementNewAndForeignAllocationsAreNotCounted) {
  MemWatch::Start();
  alignas(TSmall) unsigned char Space[sizeof(TSmall)];
  auto* Placed = new (Space) TSmall;
  EXPECT_EQ(Placed->Value, 7);
  Placed->~TSmall();
  // The standard library's and everybody else's blocks stay outside.
  auto Text = std::make_unique<std::string>(200, 'x');
  std::vector<int> Numbers(1000, 1);
  auto* Plain = new int(3);
  delete Plain;
  EXPECT_EQ(MemWatch::Counters().CurrentBlocks, 0);
  EXPECT_EQ(MemWatch::Counters().CurrentBytes, 0);
  EXPECT_EQ(MemWatch::Counters().MaxBlocks, 0);
}

TEST_F(MemWatchTest, ResizeMovesBytesButNotBlocks) {
  MemWatch::Start();
  void* Block = MemWatch::Allocate(16);
  const std::int32_t Before = Bytes(Block);
  Block = MemWatch::Resize(Block, 4000);
  ASSERT_NE(Block, nullptr);
  const std::int32_t Grown = Bytes(Block);
  EXPECT_GE(Grown, 4000);
  auto C = MemWatch::Counters();
  EXPECT_EQ(C.CurrentBlocks, 1);
  EXPECT_EQ(C.MaxBlocks, 1);
  EXPECT_EQ(C.CurrentBytes, Grown);
  EXPECT_EQ(C.MaxBytes, Grown);

  Block = MemWatch::Resize(Block, 8);
  C = MemWatch::Counters();
  EXPECT_EQ(C.CurrentBytes, Bytes(Block));
  EXPECT_LT(C.CurrentBytes, Grown);
  EXPECT_EQ(C.MaxBytes, Grown);
  EXPECT_EQ(C.CurrentBlocks, 1);
  EXPECT_GT(Before, 0);

  // realloc's edge cases: null allocates, zero frees.
  void* Fresh = MemWatch::Resize(nullptr, 100);
  ASSERT_NE(Fresh, nullptr);
  EXPECT_EQ(MemWatch::Counters().CurrentBlocks, 2);
  EXPECT_EQ(MemWatch::Resize(Fresh, 0), nullptr);
  EXPECT_EQ(MemWatch::Counters().CurrentBlocks, 1);
  MemWatch::Free(Block);
  MemWatch::Free(nullptr);  // nothing to count
  EXPECT_EQ(MemWatch::Counters().CurrentBlocks, 0);
  EXPECT_EQ(MemWatch::Counters().CurrentBytes, 0);
}

TEST_F(MemWatchTest, BlocksFromBeforeStartDriveTheCountersBelowZero) {
  auto* Early = new TSmall;  // counting is off
  EXPECT_EQ(MemWatch::Counters().CurrentBlocks, 0);
  MemWatch::Start();
  const std::int32_t Size = Bytes(Early);
  delete Early;
  auto C = MemWatch::Counters();
  EXPECT_EQ(C.CurrentBlocks, -1);
  EXPECT_EQ(C.CurrentBytes, -Size);
  EXPECT_EQ(C.MaxBlocks, 0);

  int Calls = 0;
  TMemReport Seen;
  auto Due = MemWatch::Stop([&](const TMemReport& R) {
    ++Calls;
    Seen = R;
  });
  ASSERT_TRUE(Due.has_value());
  EXPECT_EQ(Calls, 1);
  EXPECT_EQ(Seen.Icon, TMemReportIcon::None);
  EXPECT_EQ(Seen.Text.rfind("Memory still allocated: " + std::to_string(-Size) + " bytes in -1 blocks \n", 0),
            0u)
      << Seen.Text;
}

TEST_F(MemWatchTest, StartZeroesTheCurrentCountersOnly) {
  MemWatch::Start();
  auto* A = new TBig;
  const std::int32_t Size = Bytes(A);
  MemWatch::Stop({});
  MemWatch::Start();
  auto C = MemWatch::Counters();
  EXPECT_EQ(C.CurrentBlocks, 0);
  EXPECT_EQ(C.CurrentBytes, 0);
  EXPECT_EQ(C.MaxBlocks, 1);
  EXPECT_EQ(C.MaxBytes, Size);
  MemWatch::Stop({});
  delete A;  // after Stop: not counted
  EXPECT_EQ(MemWatch::Counters().CurrentBlocks, 0);
}

TEST_F(MemWatchTest, ReportTextAndIcon) {
  EXPECT_FALSE(MemWatch::MakeReport({0, 0, 500, 3}, 2.0).has_value());

  auto Leak = MemWatch::MakeReport({16, 1, 48, 3}, 1.5);
  ASSERT_TRUE(Leak.has_value());
  EXPECT_EQ(Leak->Caption, "Run diagnostics");
  EXPECT_EQ(Leak->Text,
            "Memory still allocated: 16 bytes in 1 blocks \nMax allocated: 48 bytes and/or 3 blocks\nRuntime: 1.50 sec");
  EXPECT_EQ(Leak->Icon, TMemReportIcon::Warning);

  // Blocks counted but no bytes: the information icon.
  auto Blocks = MemWatch::MakeReport({0, 2, 64, 4}, 0.004);
  ASSERT_TRUE(Blocks.has_value());
  EXPECT_EQ(Blocks->Icon, TMemReportIcon::Information);
  EXPECT_EQ(Blocks->Text,
            "Memory still allocated: 0 bytes in 2 blocks \nMax allocated: 64 bytes and/or 4 blocks\nRuntime: 0.00 sec");

  // Negative bytes: no icon, the values as they are.
  auto Negative = MemWatch::MakeReport({-32, 0, 0, 0}, 12.345);
  ASSERT_TRUE(Negative.has_value());
  EXPECT_EQ(Negative->Icon, TMemReportIcon::None);
  EXPECT_EQ(Negative->Text,
            "Memory still allocated: -32 bytes in 0 blocks \nMax allocated: 0 bytes and/or 0 blocks\nRuntime: 12.35 sec");
}

TEST_F(MemWatchTest, StopReportsALeftoverBlockAndNothingForACleanRun) {
  int Calls = 0;
  TMemReport Seen;
  auto Show = [&](const TMemReport& R) {
    ++Calls;
    Seen = R;
  };

  MemWatch::Start();
  delete new TBig;
  delete[] new TSmall[3];
  EXPECT_TRUE(MemWatch::Active());
  EXPECT_FALSE(MemWatch::Stop(Show).has_value());
  EXPECT_FALSE(MemWatch::Active());
  EXPECT_EQ(Calls, 0);

  MemWatch::Start();
  auto* Kept = new TSmall;
  const std::int32_t Size = Bytes(Kept);
  auto Due = MemWatch::Stop(Show);
  EXPECT_EQ(Calls, 1);
  ASSERT_TRUE(Due.has_value());
  EXPECT_EQ(Seen.Text, Due->Text);
  EXPECT_EQ(Seen.Icon, TMemReportIcon::Warning);
  EXPECT_EQ(Seen.Text.rfind("Memory still allocated: " + std::to_string(Size) + " bytes in 1 blocks \n", 0), 0u)
      << Seen.Text;
  EXPECT_NE(Seen.Text.find("\nRuntime: "), std::string::npos);
  EXPECT_EQ(Seen.Text.substr(Seen.Text.size() - 4), " sec");
  delete Kept;
  // Counting has stopped: the late free changes nothing.
  EXPECT_EQ(MemWatch::Counters().CurrentBlocks, 1);
}

TEST_F(MemWatchTest, CountersWrapInsteadOfOverflowing) {
  // 32-bit counters, as the report prints them: many huge blocks wrap around
  // rather than trip undefined behaviour. Simulated with one big resize.
  MemWatch::Start();
  void* Block = MemWatch::Allocate(1);
  void* Grown = MemWatch::Resize(Block, std::size_t(1) << 31);
  if (Grown) {
    EXPECT_LT(MemWatch::Counters().CurrentBytes, 0);  // 2^31 and more wraps negative
    MemWatch::Free(Grown);
  } else {
    // No memory for it: the old block is kept, and so is its count.
    EXPECT_EQ(MemWatch::Counters().CurrentBytes, Bytes(Block));
    MemWatch::Free(Block);
  }
  EXPECT_EQ(MemWatch::Counters().CurrentBlocks, 0);
  EXPECT_EQ(MemWatch::Counters().CurrentBytes, 0);
}
