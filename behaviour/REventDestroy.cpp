#include "behaviour/REventDestroy.h"

#include "behaviour/UKindInfo.h"

namespace lvk {

const TEventKind& TEventDestroy::ClassKind() {
  static const TEventKindInfo Kind(
      "OnDestroy", "Fires when an actor is destroyed (due to a destroy action)", 200, "BmpOnDestroy16x16",
      LVK_ENGINE_CODE(LVK_EVENT_DESTROY), [](THandler& Handler) -> TEventBase* { return new TEventDestroy(Handler); });
  return Kind;
}

std::string TEventDestroy::Summary() const { return ClassKind().DisplayName(); }

}  // namespace lvk
