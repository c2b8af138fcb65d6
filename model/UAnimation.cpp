#include "model/UAnimation.h"

namespace lvk {

const char* AnimationModeName(TAnimationMode Mode) {
  switch (Mode) {
    case TAnimationMode::Once: return "once";
    case TAnimationMode::BackAndForth: return "back and forth";
    default: return "loop";
  }
}

bool IsSpriteSize(int Width, int Height) {
  for (const TSpriteSize& S : SpriteSizes)
    if (S.Width == Width && S.Height == Height) return true;
  return false;
}

}  // namespace lvk
