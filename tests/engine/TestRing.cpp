// The DS program's background ring: whatever way the camera goes, the cells
// on the screen are the level's, and a step copies only what came into view.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

extern "C" {
#include "lvk_ring.h"
}

namespace {

// The entry of no tile: what the screen shows beyond the level's edges.
constexpr std::uint16_t Empty = 4000;

// Every cell the screen shows at camera (X, Y) holds the level's value, and
// every place beyond the level's edges (which a shake shows) the empty entry.
::testing::AssertionResult ShowsLevel(std::vector<std::uint16_t>& Map, const std::vector<std::uint16_t>& Level, int Width,
                                      int Height, int X, int Y) {
  for (int y = Y; y < Y + 192; y += 4)
    for (int x = X; x < X + 256; x += 4) {
      const bool Beyond = x < 0 || y < 0 || x >= Width * 8 || y >= Height * 8;
      const int Column = x >> 3, Row = y >> 3;
      // The hardware wraps the scroll: pixel (x, y) shows map pixel (x mod 512, y mod 256).
      const std::uint16_t Shown = *lvk_ring_entry(Map.data(), (x & 511) / 8, (y & 255) / 8);
      if (Shown != (Beyond ? Empty : Level[static_cast<std::size_t>(Row) * Width + Column]))
        return ::testing::AssertionFailure() << "cell " << Column << "," << Row << " at camera " << X << "," << Y
                                             << " shows " << Shown;
    }
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(BackgroundRing, FollowsTheCameraAnyWayItGoes) {
  struct TCase {
    int Width, Height;
    std::vector<std::pair<int, int>> Path;  // camera positions in turn
  };
  const TCase Cases[] = {
      {32, 24, {{0, 0}}},                                          // one screen: filled once
      {256, 64, {{0, 0}, {1, 0}, {9, 0}, {300, 0}, {1792, 320}}},  // right, a jump, the far corner
      {64, 256, {{0, 1800}, {0, 1700}, {0, 1699}, {0, 0}}},         // up, then back to the top
      {200, 100, {{100, 100}, {92, 93}, {84, 85}, {93, 107}, {-16, -5}}},  // diagonals, a shake past the edge
      {32, 24, {{0, 0}, {-8, -8}, {16, 16}, {-16, 0}}},                     // shakes of a one-screen level
      {200, 100, {{0, 0}, {1344, 0}, {1360, 16}, {1344, 0}}},               // past the right end, cells held before
  };
  for (const TCase& C : Cases) {
    std::vector<std::uint16_t> Level(static_cast<std::size_t>(C.Width) * C.Height);
    for (std::size_t i = 0; i < Level.size(); ++i) Level[i] = static_cast<std::uint16_t>(i % 1000 + 1);
    std::vector<std::uint16_t> Map(LVK_RING_ENTRIES, 0);
    lvk_ring_t Ring;
    lvk_ring_start(&Ring, Map.data(), Level.data(), C.Width, C.Height, Empty, C.Path[0].first, C.Path[0].second);
    EXPECT_TRUE(ShowsLevel(Map, Level, C.Width, C.Height, C.Path[0].first, C.Path[0].second));
    for (const auto& [X, Y] : C.Path) {
      lvk_ring_scroll(&Ring, X, Y);
      EXPECT_TRUE(ShowsLevel(Map, Level, C.Width, C.Height, X, Y)) << C.Width << "x" << C.Height;
    }
  }
}

TEST(BackgroundRing, AStepCopiesOnlyWhatComesIntoView) {
  std::vector<std::uint16_t> Level(256 * 256, 1), Map(LVK_RING_ENTRIES);
  lvk_ring_t Ring;
  lvk_ring_start(&Ring, Map.data(), Level.data(), 256, 256, Empty, 800, 800);
  EXPECT_EQ(Ring.copied, static_cast<std::uint32_t>(LVK_VIEW_COLUMNS * LVK_VIEW_ROWS));
  struct TCase {
    int Dx, Dy;
    std::uint32_t Copied;
  };
  // Inside a cell nothing; across one edge a column (25) or a row (33);
  // across both, both.
  for (const TCase& C : {TCase{3, 0, 0}, TCase{5, 0, 25}, TCase{0, 8, 33}, TCase{-8, -8, 58}, TCase{16, 0, 50}}) {
    const std::uint32_t Before = Ring.copied;
    lvk_ring_scroll(&Ring, Ring.column * 8 + 3 + C.Dx, Ring.row * 8 + C.Dy);
    EXPECT_EQ(Ring.copied - Before, C.Copied) << C.Dx << "," << C.Dy;
  }
}
