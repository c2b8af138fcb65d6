#include "behaviour/UBehaviour.h"

#include <vector>

#include "behaviour/REventCollision.h"
#include "behaviour/REventCreate.h"
#include "behaviour/REventDestroy.h"
#include "behaviour/REventKey.h"
#include "behaviour/REventOutside.h"
#include "behaviour/REventTouch.h"
#include "behaviour/UAction.h"
#include "model/UActor.h"
#include "model/UErrors.h"

namespace lvk {

namespace {

// Filled at start-up, read-only afterwards; the kinds are singletons owned by
// their modules.
std::vector<const TEventKind*> EventKinds;   // ascending SortOrder
std::vector<const TActionKind*> ActionKinds;  // registration order

template <typename T>
void MakeRoom(std::vector<T>& List) {
  if (List.size() == List.capacity()) List.reserve(List.capacity() + 16);
}

template <typename TKind>
const TKind* FindKind(const std::vector<const TKind*>& List, const std::string& Key) {
  const TKind* Found = nullptr;
  for (const TKind* Kind : List)
    if (!Found && Kind->StreamKey() == Key) Found = Kind;
  return Found;
}

template <typename TKind>
void Release(std::vector<const TKind*>& List) {
  std::vector<const TKind*>().swap(List);
}

}  // namespace

void TEventBase::SettingsChanged() { FHandler.Changed(); }

void TEventBase::Encode(lvk_handler_t&, TTableContext&) const {}

void TActionBase::Encode(lvk_action_t&, TTableContext&) const {}

TActionValue TActionBase::ValueInfo(int) const {
  Assert(false, "UAction");
  return {};
}

std::string TActionBase::GetValue(int) const {
  Assert(false, "UAction");
  return {};
}

void TActionBase::SetValue(int, const std::string&) { Assert(false, "UAction"); }

void TActionBase::SettingsChanged() { FHandler.Changed(); }

void RegisterEventKind(const TEventKind& Kind) {
  Assert(FindEventKind(Kind.StreamKey()) == nullptr, "UGame");
  MakeRoom(EventKinds);
  // Insert after every kind of the same or a lower order, so equal orders
  // keep their registration order.
  std::size_t i = EventKinds.size();
  EventKinds.push_back(&Kind);
  for (; i > 0 && EventKinds[i - 1]->SortOrder() > Kind.SortOrder(); --i) EventKinds[i] = EventKinds[i - 1];
  EventKinds[i] = &Kind;
}

void RegisterActionKind(const TActionKind& Kind) {
  Assert(FindActionKind(Kind.StreamKey()) == nullptr, "UGame");
  MakeRoom(ActionKinds);
  ActionKinds.push_back(&Kind);
}

const TEventKind* FindEventKind(const std::string& Key) { return FindKind(EventKinds, Key); }

const TActionKind* FindActionKind(const std::string& Key) { return FindKind(ActionKinds, Key); }

int EventKindCount() { return static_cast<int>(EventKinds.size()); }

const TEventKind& EventKindAt(int Index) {
  Assert(Index >= 0 && Index < EventKindCount(), "UGame");
  return *EventKinds[Index];
}

int ActionKindCount() { return static_cast<int>(ActionKinds.size()); }

const TActionKind& ActionKindAt(int Index) {
  Assert(Index >= 0 && Index < ActionKindCount(), "UGame");
  return *ActionKinds[Index];
}

const TEventKind* FindEventKindByCode(int Code) {
  for (const TEventKind* Kind : EventKinds)
    if (Kind->EngineCode().Code == Code) return Kind;
  return nullptr;
}

const TActionKind* FindActionKindByCode(int Code) {
  for (const TActionKind* Kind : ActionKinds)
    if (Kind->EngineCode().Code == Code) return Kind;
  return nullptr;
}

void RegisterKinds() {
  // Kind by kind, so a second call, or one after a test registered some of
  // them itself, adds only what is missing.
  for (const TEventKind* Kind : {&TEventCreate::ClassKind(), &TEventDestroy::ClassKind(), &TEventKey::ClassKind(),
                                 &TEventTouch::ClassKind(), &TEventCollision::ClassKind(),
                                 &TEventOutside::ClassKind()})
    if (!FindEventKind(Kind->StreamKey())) RegisterEventKind(*Kind);
  for (const TActionKind* Kind : {&TActionSetSpeedSize::ClassKind(), &TActionSetSpeedDir::ClassKind(),
                                  &TActionDestroy::ClassKind(), &TActionNextLevel::ClassKind()})
    if (!FindActionKind(Kind->StreamKey())) RegisterActionKind(*Kind);
}

void UnregisterKinds() {
  Release(EventKinds);
  Release(ActionKinds);
}

}  // namespace lvk
