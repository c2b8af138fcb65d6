#include "model/UKinds.h"

#include <vector>

#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UText.h"
#include "model/UGame.h"
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

void TEventBase::MayChange() const { FHandler.Actor().Owner().MayChange(); }

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

void TActionBase::RenameReference(TValueType Type, const std::string& Old, const std::string& New) {
  for (int i = 0; i < ValueCount(); ++i)
    if (ValueInfo(i).Type == Type && SameTextAscii(GetValue(i), Old)) SetValue(i, New);
}

TActionBase::TActionBase(THandler& Handler)
    : TIdentified(&Handler.Actor().Owner(), TItemKind::Action), FHandler(Handler) {}

void TActionBase::SettingsChanged() { FHandler.Changed(); }

void TActionBase::MayChange() const { FHandler.Actor().Owner().MayChange(); }

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

void ClearKindRegistries() {
  Release(EventKinds);
  Release(ActionKinds);
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

}  // namespace lvk
