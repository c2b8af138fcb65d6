#pragma once
// Whether two engines are at the same point of play: the same frame, level
// and instances (place and life, slot by slot).
#include <gtest/gtest.h>

#include "engine/lvk_engine.h"

inline ::testing::AssertionResult SamePlay(const lvk_engine_t& A, const lvk_engine_t& B) {
  if (A.frame != B.frame || A.level != B.level || A.instance_count != B.instance_count)
    return ::testing::AssertionFailure() << "frame " << A.frame << "/" << B.frame << ", level " << A.level << "/"
                                         << B.level << ", instances " << A.instance_count << "/" << B.instance_count;
  for (int k = 0; k < A.instance_count; ++k) {
    const auto &I = A.instances[k], &J = B.instances[k];
    if (I.x != J.x || I.y != J.y || I.alive != J.alive)
      return ::testing::AssertionFailure() << "frame " << A.frame << ", slot " << k << ": (" << I.x << ", " << I.y
                                           << ") " << int(I.alive) << " against (" << J.x << ", " << J.y << ") "
                                           << int(J.alive);
  }
  return ::testing::AssertionSuccess();
}
