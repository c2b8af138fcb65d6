#include "behaviour/REventAnimationEnd.h"

#include "behaviour/UKindInfo.h"

namespace lvk {

const TEventKind& TEventAnimationEnd::ClassKind() {
  static const TEventKindInfo Kind(
      "OnAnimationEnd", "Fires when an animation that runs once has played to its end", 700,
      "BmpOnAnimationEnd16x16", LVK_ENGINE_CODE(LVK_EVENT_ANIMATION_END),
      [](THandler& Handler) -> TEventBase* { return new TEventAnimationEnd(Handler); });
  return Kind;
}

std::string TEventAnimationEnd::Summary() const { return ClassKind().DisplayName(); }

}  // namespace lvk
