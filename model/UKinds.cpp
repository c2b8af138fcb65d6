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

namespace {

// Where {Name} stands in Text, compared as names are; npos for nowhere.
std::size_t FindPlaceholder(const std::string& Text, const std::string& Name, std::size_t From = 0) {
  for (std::size_t Open = Text.find('{', From); Open != std::string::npos; Open = Text.find('{', Open + 1)) {
    const std::size_t Close = Text.find('}', Open);
    if (Close == std::string::npos) break;
    if (SameTextAscii(Text.substr(Open + 1, Close - Open - 1), Name)) return Open;
  }
  return std::string::npos;
}

bool Refers(const TActionValue& Info, TValueType Type) {
  return Info.Type == Type ||
         (Type == TValueType::Variable && (Info.Type == TValueType::Number || Info.Type == TValueType::Text));
}

}  // namespace

bool TActionBase::Names(TValueType Type, const std::string& Name) const {
  if (Name.empty()) return false;
  for (int i = 0; i < ValueCount(); ++i) {
    const TActionValue Info = ValueInfo(i);
    if (!Refers(Info, Type)) continue;
    const std::string Value = GetValue(i);
    if (Info.Type == TValueType::Text ? FindPlaceholder(Value, Name) != std::string::npos : SameTextAscii(Value, Name))
      return true;
  }
  return false;
}

void TActionBase::RenameReference(TValueType Type, const std::string& Old, const std::string& New) {
  for (int i = 0; i < ValueCount(); ++i) {
    const TActionValue Info = ValueInfo(i);
    if (!Refers(Info, Type)) continue;
    std::string Value = GetValue(i);
    if (Info.Type != TValueType::Text) {
      if (SameTextAscii(Value, Old)) SetValue(i, New);
      continue;
    }
    for (std::size_t At = FindPlaceholder(Value, Old); At != std::string::npos;
         At = FindPlaceholder(Value, Old, At + New.size() + 2))
      Value.replace(At, Old.size() + 2, "{" + New + "}");
    SetValue(i, Value);
  }
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
