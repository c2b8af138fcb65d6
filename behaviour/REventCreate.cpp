#include "behaviour/REventCreate.h"

#include "behaviour/UKindInfo.h"

namespace lvk {

const TEventKind& TEventCreate::ClassKind() {
  static const TEventKindInfo Kind(
      "OnCreate", "Fires when an actor is created (at the start of a level, or with an action)", 100,
      "BmpOnCreate16x16", LVK_ENGINE_CODE(LVK_EVENT_CREATE), [](THandler& Handler) -> TEventBase* { return new TEventCreate(Handler); });
  return Kind;
}

std::string TEventCreate::Summary() const { return ClassKind().DisplayName(); }

}  // namespace lvk
