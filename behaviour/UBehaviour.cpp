#include "behaviour/UBehaviour.h"
#include <vector>
#include "behaviour/REventAnimationEnd.h"
#include "behaviour/REventCollision.h"
#include "behaviour/REventCreate.h"
#include "behaviour/REventDestroy.h"
#include "behaviour/REventKey.h"
#include "behaviour/REventKeyHeld.h"
#include "behaviour/REventOutside.h"
#include "behaviour/REventTimer.h"
#include "behaviour/REventTouch.h"
#include "behaviour/UAction.h"
#include "behaviour/UKindInfo.h"
#include "behaviour/UValueAction.h"
#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UText.h"

namespace lvk {

namespace {

template <typename E>
TEventBase* MakeEvent(THandler& Handler) {
  return new E(Handler);
}

}  // namespace

// The event kinds' descriptors, from the catalogue.
#define LVK_DEFINE_EVENT(Id, Number, Name, Class, Sort, Text)                                              \
  const TEventKind& Class::ClassKind() {                                                                    \
    static const TEventKindInfo Kind(EventEntry(Number), LVK_ENGINE_CODE(LVK_EVENT_##Id), &MakeEvent<Class>); \
    return Kind;                                                                                            \
  }
LVK_EVENT_CATALOGUE(LVK_DEFINE_EVENT, LVK_KIND_SKIP)
#undef LVK_DEFINE_EVENT

void RegisterKinds() {
  // Kind by kind, so a second call, or one after a test registered some of
  // them itself, adds only what is missing. The catalogue's order is the
  // order of the Add menu: motion first, then the rules, guards among them.
#define LVK_EVENT_KIND(Id, Number, Name, Class, ...) &Class::ClassKind(),
#define LVK_ACTION_KIND(Id, Number, Name, Class, ...) &Class::ClassKind(),
  for (const TEventKind* Kind : {LVK_EVENT_CATALOGUE(LVK_EVENT_KIND, LVK_KIND_SKIP)})
    if (!FindEventKind(Kind->StreamKey())) RegisterEventKind(*Kind);
  for (const TActionKind* Kind : {LVK_ACTION_CATALOGUE(LVK_ACTION_KIND, LVK_KIND_SKIP)})
    if (!FindActionKind(Kind->StreamKey())) RegisterActionKind(*Kind);
#undef LVK_EVENT_KIND
#undef LVK_ACTION_KIND
}

void UnregisterKinds() { ClearKindRegistries(); }

}  // namespace lvk
