#pragma once
// An actor's look beyond its one tile: the sprite size (the DS's shapes) and
// its animations, each a list of frames; a frame is a block of tiles of the
// actor's size, row by row.
#include <string>
#include <vector>

#include "model/UItemId.h"

namespace lvk {

class TTile;

// How an animation runs through its frames; the numbers are stored.
enum class TAnimationMode { Loop = 0, Once = 1, BackAndForth = 2 };
constexpr int AnimationModeCount = 3;
// "loop", "once", "back and forth".
const char* AnimationModeName(TAnimationMode Mode);

// Frames last 1..255 DS frames (1/60 s each).
constexpr int MinFrameLength = 1;
constexpr int MaxFrameLength = 255;
constexpr int DefaultFrameLength = 8;

// One frame: Columns x Rows tiles of the actor's size, row by row; null
// where the frame has no tile (drawn transparent). The tiles as they are
// looked up at the time asked.
using TFrameTiles = std::vector<TTile*>;
// A frame as the actor keeps it: its tiles by id (NoItem for none), so
// that a tile's rename or an undo that brings it back changes no frame.
using TFrameIds = std::vector<TItemId>;

struct TAnimation {
  std::string Name;
  int FrameLength = DefaultFrameLength;
  TAnimationMode Mode = TAnimationMode::Loop;
  std::vector<TFrameIds> Frames;
};

// The sprite sizes of the DS in pixels: 8x8 (the default), 16x16, 32x32,
// 64x64 and the oblong ones.
struct TSpriteSize {
  int Width;
  int Height;
};
constexpr TSpriteSize SpriteSizes[] = {{8, 8},   {16, 16}, {32, 32}, {64, 64}, {16, 8},  {8, 16},
                                       {32, 8},  {8, 32},  {32, 16}, {16, 32}, {64, 32}, {32, 64}};
constexpr int SpriteSizeCount = 12;
bool IsSpriteSize(int Width, int Height);

}  // namespace lvk
