#include "behaviour/UValueAction.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <ostream>

#include "behaviour/REventKey.h"
#include "behaviour/UAction.h"
#include "behaviour/UKindCatalogue.h"
#include "behaviour/UKindInfo.h"
#include "behaviour/UMaskNames.h"
#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"
#include "model/UNames.h"
#include "model/UGame.h"
#include "model/USound.h"
#include "model/UText.h"
#include "model/UTile.h"
#include "model/UVariable.h"

namespace lvk {

namespace {

constexpr const char* Unit = "UValueAction";

int CompareIndex(const std::string& Symbol) {
  for (int i = 0; i < CompareCount; ++i)
    if (Symbol == CompareNames[i]) return i;
  return 0;
}

unsigned KeysOf(const std::string& Text) {
  unsigned Keys = 0;
  for (char C : Text)
    if (C >= '0' && C <= '9') Keys = (Keys * 10 + static_cast<unsigned>(C - '0')) & 0xFFFF;
  return Keys;
}

}  // namespace

std::string KeySetNames(unsigned Keys) {
  const std::string Names = MaskNames(TEventKey::KeyNames, Keys, "+");
  return Names.empty() ? "no key" : Names;
}

namespace {

// The kind of item a value of Type names by id, or none. A number may be
// a variable's name.
std::optional<TItemKind> LinkedKind(TValueType Type) {
  switch (Type) {
    case TValueType::Actor: return TItemKind::Actor;
    case TValueType::Tile: return TItemKind::Tile;
    case TValueType::Sound: return TItemKind::Sound;
    case TValueType::Variable:
    case TValueType::Number: return TItemKind::Variable;
    default: return std::nullopt;
  }
}

}  // namespace

TValueAction::TValueAction(THandler& Handler, std::span<const TActionValue> Values)
    : TActionBase(Handler), FInfo(Values), FIds(Values.size(), NoItem), FTextIds(Values.size()) {
  for (const TActionValue& V : FInfo) FValues.emplace_back(V.Default);
}

bool TValueAction::Linked(std::size_t Index) const { return LinkedKind(FInfo[Index].Type).has_value(); }

TItemId TValueAction::IdOf(std::size_t Index, const std::string& Value) const {
  if (!Linked(Index) || Value.empty()) return NoItem;
  return Handler().Actor().Owner().LinkedId(*LinkedKind(FInfo[Index].Type), {Value, NoItem});
}

std::vector<TItemId> TValueAction::TextIds(const std::string& Text) const {
  std::vector<TItemId> Ids;
  const TGame& Game = Handler().Actor().Owner();
  for (const TPlaceholder& P : TextPlaceholders(Text))
    Ids.push_back(Game.LinkedId(TItemKind::Variable, {Text.substr(P.At, P.Length), NoItem}));
  return Ids;
}

bool TValueAction::Links(TItemKind Kind, TItemId Id) const {
  if (Id == NoItem) return false;
  for (std::size_t i = 0; i < FInfo.size(); ++i) {
    if (Linked(i) && FIds[i] == Id && LinkedKind(FInfo[i].Type) == Kind) return true;
    if (IsText(i) && Kind == TItemKind::Variable && std::find(FTextIds[i].begin(), FTextIds[i].end(), Id) != FTextIds[i].end())
      return true;
  }
  return false;
}

TActionValue TValueAction::ValueInfo(int Index) const {
  Assert(Index >= 0 && Index < ValueCount(), Unit);
  return FInfo[static_cast<std::size_t>(Index)];
}

std::string TValueAction::GetValue(int Index) const {
  Assert(Index >= 0 && Index < ValueCount(), Unit);
  const std::size_t i = static_cast<std::size_t>(Index);
  const TGame& Game = Handler().Actor().Owner();
  if (IsText(i) && !FTextIds[i].empty()) {
    // Each {name} as typed while it names its variable; renamed, the new name.
    std::string Text;
    std::size_t From = 0, k = 0;
    for (const TPlaceholder& P : TextPlaceholders(FValues[i])) {
      const TIdentified* Item = k < FTextIds[i].size() && FTextIds[i][k] != NoItem
                                    ? Game.FindItem(TItemKind::Variable, FTextIds[i][k])
                                    : nullptr;
      ++k;
      const std::string Typed = FValues[i].substr(P.At, P.Length);
      Text.append(FValues[i], From, P.At - From);
      Text += Item && !SameTextAscii(TGame::NameOf(*Item), Typed) ? TGame::NameOf(*Item) : Typed;
      From = P.At + P.Length;
    }
    return Text + FValues[i].substr(From);
  }
  if (FIds[i] != NoItem)
    if (const TIdentified* Item = Game.FindItem(*LinkedKind(FInfo[i].Type), FIds[i])) {
      // As typed while it names the item, case and all; renamed, the new name.
      const std::string& Name = TGame::NameOf(*Item);
      return SameTextAscii(Name, FValues[i]) ? FValues[i] : Name;
    }
  return FValues[i];
}

void TValueAction::SetValue(int Index, const std::string& Value) {
  Assert(Index >= 0 && Index < ValueCount(), Unit);
  const std::size_t i = static_cast<std::size_t>(Index);
  Store(FIds[i], IdOf(i, Value));
  if (IsText(i)) Store(FTextIds[i], TextIds(Value));
  Store(FValues[i], Value);
}

void TValueAction::WriteParams(TStream&, TWriter& Writer) const {
  for (std::size_t i = 0; i < FInfo.size(); ++i) {
    if (Linked(i) && Writer.LinksById()) {
      Writer.WriteInteger(static_cast<std::int32_t>(FIds[i]));
      Writer.WriteString(FValues[i]);
      continue;
    }
    if (IsText(i) && Writer.LinksById()) {
      Writer.WriteInteger(static_cast<std::int32_t>(FTextIds[i].size()));
      for (const TItemId Id : FTextIds[i]) Writer.WriteInteger(static_cast<std::int32_t>(Id));
      Writer.WriteString(FValues[i]);
      continue;
    }
    const std::string V = GetValue(static_cast<int>(i));
    switch (FInfo[i].Type) {
      case TValueType::Flag: Writer.WriteBoolean(V == "1"); break;
      case TValueType::Keys: Writer.WriteInteger(static_cast<std::int32_t>(KeysOf(V))); break;
      case TValueType::Compare: Writer.WriteInteger(CompareIndex(V)); break;
      default: Writer.WriteString(V); break;
    }
  }
}

void TValueAction::ReadParams(TStream&, TReader& Reader) {
  for (std::size_t i = 0; i < FInfo.size(); ++i) {
    std::string& V = FValues[i];
    FIds[i] = NoItem;
    FTextIds[i].clear();
    if (Reader.LinksById() && (Linked(i) || IsText(i))) {
      if (Linked(i)) {
        FIds[i] = static_cast<TItemId>(Reader.ReadInteger());
      } else {
        // Each id takes at least two bytes.
        const std::int32_t Count = Reader.ReadInteger();
        if (Count < 0 || static_cast<std::uint64_t>(Count) > Reader.Remaining() / 2) throw EReadError("record");
        for (std::int32_t k = 0; k < Count; ++k) FTextIds[i].push_back(static_cast<TItemId>(Reader.ReadInteger()));
      }
      V = Reader.ReadString();
      continue;
    }
    if (Linked(i) || IsText(i)) {
      // By name: an item stored later in the file is found once the whole
      // file is read (the project file sets such values again).
      V = Reader.ReadString();
      FIds[i] = IdOf(i, V);
      if (IsText(i)) FTextIds[i] = TextIds(V);
      continue;
    }
    switch (FInfo[i].Type) {
      case TValueType::Flag: V = Reader.ReadBoolean() ? "1" : "0"; break;
      case TValueType::Keys: V = std::to_string(static_cast<std::uint16_t>(Reader.ReadInteger())); break;
      case TValueType::Compare: {
        const std::int32_t Op = Reader.ReadInteger();
        V = CompareNames[Op >= 0 && Op < CompareCount ? Op : 0];
        break;
      }
      default: V = Reader.ReadString(); break;
    }
  }
}

void TValueAction::WriteC(std::ostream&) const {}

const std::string& TValueAction::Value(int Index) const {
  Assert(Index >= 0 && Index < ValueCount(), Unit);
  return FValues[static_cast<std::size_t>(Index)];
}

std::string TValueAction::Shown(int Index) const {
  const std::string V = GetValue(Index);
  switch (FInfo[static_cast<std::size_t>(Index)].Type) {
    case TValueType::Number: return V.empty() ? "0" : V;
    case TValueType::Text: return "\"" + V + "\"";
    case TValueType::Keys: return KeySetNames(KeysOf(V));
    // No actor named is the handler's own, as the list of actors shows it.
    case TValueType::Actor: return V.empty() ? "this actor" : V;
    case TValueType::Variable:
    case TValueType::Tile:
    case TValueType::Animation:
    case TValueType::Sound: return V.empty() ? "none" : V;
    default: return V;
  }
}

std::string TValueAction::Summary() const {
  // A pattern of the catalogue: %1 .. %9 are the values as shown.
  const std::string Pattern = ActionEntry(Kind().EngineCode().Code).Summary;
  if (!Pattern.empty()) {
    std::string Text;
    for (std::size_t i = 0; i < Pattern.size(); ++i) {
      const char C = Pattern[i];
      const int Index = i + 1 < Pattern.size() ? Pattern[i + 1] - '1' : -1;
      if (C == '%' && Index >= 0 && Index < ValueCount()) {
        Text += Shown(Index);
        ++i;
      } else {
        Text += C;
      }
    }
    return Text;
  }
  std::string Text = Kind().DisplayName() + "(";
  bool First = true;
  for (std::size_t i = 0; i < FInfo.size(); ++i) {
    std::string Part;
    if (FInfo[i].Type == TValueType::Flag) {
      // A flag shows as its word when set.
      if (FValues[i] != "1") continue;
      Part = FInfo[i].Label;
      Part.erase(std::remove(Part.begin(), Part.end(), '&'), Part.end());
      std::transform(Part.begin(), Part.end(), Part.begin(), [](unsigned char C) { return std::tolower(C); });
    } else {
      Part = Shown(static_cast<int>(i));
    }
    Text += (First ? "" : ", ") + Part;
    First = false;
  }
  return Text + ")";
}

void TValueAction::Encode(lvk_action_t& Entry, TTableContext& Context) const {
  for (std::size_t i = 0; i < FInfo.size(); ++i) {
    const std::string V = GetValue(static_cast<int>(i));
    const TValueSlot Slot = FInfo[i].Slot;
    const int Number = NumberIndex(Slot);
    // A literal in the entry's number Number (a flag, a comparison).
    auto Literal = [&](std::int32_t Value) {
      if (Number >= 0) Entry.n[Number] = Value;
    };
    switch (FInfo[i].Type) {
      case TValueType::Number:
        if (Number >= 0) {
          const TEngineNumber N = Context.Number(V);
          Entry.n[Number] = N.Literal;
          Entry.var[Number] = N.Variable;
        }
        break;
      case TValueType::Flag:
        if (Slot == TValueSlot::Relative) Entry.relative = V == "1" ? 1 : 0;
        Literal(V == "1" ? 1 : 0);
        break;
      case TValueType::Compare: Literal(CompareIndex(V)); break;
      case TValueType::Variable: Entry.ref = Context.VariableNumber(V); break;
      case TValueType::Actor: Entry.ref = Context.ActorNamed(V); break;
      case TValueType::Tile: Entry.ref = Context.TileNamed(V); break;
      case TValueType::Keys: Entry.ref = static_cast<std::uint16_t>(KeysOf(V)); break;
      case TValueType::Text: Entry.ref = Context.TextNumber(V); break;
      case TValueType::Sound: Entry.ref = Context.SoundNumber(V); break;
      case TValueType::Animation: Entry.ref = Context.AnimationNumber(V); break;
    }
  }
}

// ---- The kinds: their classes from the catalogue ----

namespace {

template <typename A>
TActionBase* Make(THandler& Handler) {
  return new A(Handler);
}

}  // namespace

#define LVK_BASE_Rule TValueAction
#define LVK_BASE_Guard TValueAction
#define LVK_BASE_Own TValueAction
#define LVK_BASE_Speed TActionSpeed
#define LVK_BASE_Plain TActionPlain
#define LVK_DEFINE_ACTION(Id, Number, Name, Class, Shape, Text, Summary)                                 \
  Class::Class(THandler& Handler) : LVK_BASE_##Shape(Handler, ActionEntry(Number).Values) {}            \
  const TActionKind& Class::ClassKind() {                                                               \
    static const TActionKindInfo Kind(ActionEntry(Number), LVK_ENGINE_CODE(LVK_ACTION_##Id), &Make<Class>); \
    return Kind;                                                                                        \
  }
LVK_ACTION_CATALOGUE(LVK_DEFINE_ACTION, LVK_KIND_SKIP)
#undef LVK_DEFINE_ACTION

std::string TActionClearText::Summary() const {
  return GetValue(1) == "1" ? "ClearText(all rows)" : "ClearText(" + Shown(0) + ")";
}

std::string TActionMirror::Summary() const {
  const std::string Text = TValueAction::Summary();
  return Text == "Mirror()" ? "Mirror(off)" : Text;
}

}  // namespace lvk
