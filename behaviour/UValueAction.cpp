#include "behaviour/UValueAction.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <ostream>

#include "behaviour/REventKey.h"
#include "behaviour/UKindInfo.h"
#include "behaviour/UMaskNames.h"
#include "model/UActor.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"
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

const std::string& ItemName(const TIdentified& Item) {
  static const std::string None;
  switch (Item.ItemKind()) {
    case TItemKind::Actor: return static_cast<const TActor&>(Item).Name();
    case TItemKind::Tile: return static_cast<const TTile&>(Item).Name();
    case TItemKind::Sound: return static_cast<const TSound&>(Item).Name();
    case TItemKind::Variable: return static_cast<const TVariable&>(Item).Name();
    default: return None;
  }
}

// The kind of item a value of Type names by id, or none.
std::optional<TItemKind> LinkedKind(TValueType Type) {
  switch (Type) {
    case TValueType::Actor: return TItemKind::Actor;
    case TValueType::Tile: return TItemKind::Tile;
    case TValueType::Sound: return TItemKind::Sound;
    case TValueType::Variable: return TItemKind::Variable;
    default: return std::nullopt;
  }
}

TValueAction::TValueAction(THandler& Handler, std::span<const TActionValue> Values)
    : TActionBase(Handler), FInfo(Values), FIds(Values.size(), NoItem) {
  for (const TActionValue& V : FInfo) FValues.emplace_back(V.Default);
}

bool TValueAction::Linked(std::size_t Index) const { return LinkedKind(FInfo[Index].Type).has_value(); }

TActionValue TValueAction::ValueInfo(int Index) const {
  Assert(Index >= 0 && Index < ValueCount(), Unit);
  return FInfo[static_cast<std::size_t>(Index)];
}

std::string TValueAction::GetValue(int Index) const {
  Assert(Index >= 0 && Index < ValueCount(), Unit);
  const std::size_t i = static_cast<std::size_t>(Index);
  if (FIds[i] != NoItem)
    if (const TIdentified* Item = Handler().Actor().Owner().FindItem(*LinkedKind(FInfo[i].Type), FIds[i])) {
      // As typed while it names the item, case and all; renamed, the new name.
      const std::string& Name = ItemName(*Item);
      return SameTextAscii(Name, FValues[i]) ? FValues[i] : Name;
    }
  return FValues[i];
}

void TValueAction::SetValue(int Index, const std::string& Value) {
  Assert(Index >= 0 && Index < ValueCount(), Unit);
  const std::size_t i = static_cast<std::size_t>(Index);
  TItemId Id = NoItem;
  if (Linked(i))
    if (const TIdentified* Item = Handler().Actor().Owner().FindLinked(*LinkedKind(FInfo[i].Type), {Value, NoItem}))
      Id = Item->Id();
  Store(FIds[i], Id);
  Store(FValues[i], Value);
}

void TValueAction::WriteParams(TStream&, TWriter& Writer) const {
  for (std::size_t i = 0; i < FInfo.size(); ++i) {
    if (Linked(i) && Writer.LinksById()) {
      Writer.WriteInteger(static_cast<std::int32_t>(FIds[i]));
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
    if (Linked(i)) {
      if (Reader.LinksById()) {
        FIds[i] = static_cast<TItemId>(Reader.ReadInteger());
        V = Reader.ReadString();
        continue;
      }
      // By name: an item stored later in the file is found once the whole
      // file is read (the project file sets such values again).
      V = Reader.ReadString();
      if (const TIdentified* Item = Handler().Actor().Owner().FindLinked(*LinkedKind(FInfo[i].Type), {V, NoItem}))
        FIds[i] = Item->Id();
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
    switch (FInfo[i].Type) {
      case TValueType::Number: {
        const TEngineNumber N = Context.Number(V);
        if (Slot == TValueSlot::Op) {
          // A byte of the entry: a whole number only, clamped to it.
          Entry.op = static_cast<std::uint8_t>(std::clamp<std::int32_t>(N.Variable == LVK_LITERAL ? N.Literal : 0, 0, 255));
          break;
        }
        (Slot == TValueSlot::Arg2 ? Entry.arg2 : Entry.arg1) = N.Literal;
        (Slot == TValueSlot::Arg2 ? Entry.var2 : Entry.var1) = N.Variable;
        break;
      }
      case TValueType::Flag:
        if (Slot == TValueSlot::Relative) Entry.relative = V == "1" ? 1 : 0;
        if (Slot == TValueSlot::Arg1) Entry.arg1 = V == "1" ? 1 : 0;
        if (Slot == TValueSlot::Arg2) Entry.arg2 = V == "1" ? 1 : 0;
        break;
      case TValueType::Variable: Entry.ref = Context.VariableNumber(V); break;
      case TValueType::Actor: Entry.ref = Context.ActorNamed(V); break;
      case TValueType::Tile: Entry.ref = Context.TileNamed(V); break;
      case TValueType::Keys: Entry.ref = static_cast<std::uint16_t>(KeysOf(V)); break;
      case TValueType::Text: Entry.ref = Context.TextNumber(V); break;
      case TValueType::Sound: Entry.ref = Context.SoundNumber(V); break;
      case TValueType::Animation: Entry.ref = Context.AnimationNumber(V); break;
      case TValueType::Compare: Entry.op = static_cast<std::uint8_t>(CompareIndex(V)); break;
    }
  }
}

// ---- The kinds: their values, texts and codes ----

namespace {

using V = TActionValue;
using T = TValueType;
using S = TValueSlot;

const TActionValue SetVariableValues[] = {
    {"&Variable", "The variable to set", T::Variable, S::Ref},
    {"Val&ue", "A whole number or a variable's name; added to the variable when relative", T::Number, S::Arg1},
    {"Rela&tive", "Add the value to the variable instead of setting it", T::Flag, S::Relative, "0"}};
const TActionValue ShowTextValues[] = {
    {"Ro&w", "The row of the upper screen, 0 (top) to 23", T::Number, S::Arg1},
    {"&Text", "What the row shows; {name} shows a variable's value and follows it", T::Text, S::Ref}};
const TActionValue SpawnValues[] = {
    {"Ac&tor", "The actor of the new instance (none: this one's)", T::Actor, S::Ref},
    {"D&x", "Pixels to the right of this instance (negative: to the left)", T::Number, S::Arg1},
    {"D&y", "Pixels below this instance (negative: above)", T::Number, S::Arg2}};
const TActionValue GoToLevelValues[] = {
    {"Le&vel", "The level's number, from 1; 0 starts this level again", T::Number, S::Arg1, "1"}};
const TActionValue BounceValues[] = {{"&X", "Turn round left and right", T::Flag, S::Arg1, "1"},
                                     {"&Y", "Turn round up and down", T::Flag, S::Arg2, "1"}};
const TActionValue SetTileValues[] = {{"&Tile", "The tile this instance is drawn with from now on", T::Tile, S::Ref}};
const TActionValue MoveTowardValues[] = {
    {"Ac&tor", "Head for the nearest instance of this actor", T::Actor, S::Ref},
    {"&Speed", "The speed size, in 1/16 pixel a frame (0..255)", T::Number, S::Arg1, "16"}};
const TActionValue IfVariableValues[] = {
    {"&Variable", "The variable looked at", T::Variable, S::Ref},
    {"Compari&son", "How the variable compares with the value", T::Compare, S::Op, "="},
    {"Val&ue", "A whole number or a variable's name", T::Number, S::Arg1}};
const TActionValue IfCountValues[] = {
    {"Ac&tor", "The actor whose live instances are counted", T::Actor, S::Ref},
    {"Compari&son", "How the count compares with the value", T::Compare, S::Op, "="},
    {"Val&ue", "A whole number or a variable's name", T::Number, S::Arg1}};
const TActionValue IfChanceValues[] = {
    {"One time &in", "The rest runs one time in this many, by chance", T::Number, S::Arg1, "2"}};
const TActionValue IfKeyHeldValues[] = {
    {"&Keys", "The rest runs while all these keys are held", T::Keys, S::Ref, "1"}};
const TActionValue CameraFollowValues[] = {
    {"Ac&tor", "The actor the camera follows from now on (none: this one's)", T::Actor, S::Ref}};
const TActionValue MoveCameraValues[] = {
    {"&X", "The level pixel the screen's left edge moves to", T::Number, S::Arg1},
    {"&Y", "The level pixel the screen's top edge moves to", T::Number, S::Arg2},
    {"&Speed", "Pixels a frame, a whole number 0..255 (0: at once)", T::Number, S::Op, "4"}};
const TActionValue ShakeCameraValues[] = {
    {"&Duration", "How long the picture shakes, in frames (60 a second)", T::Number, S::Arg1, "30"},
    {"&Strength", "How far it shakes, 1 to 16 pixels", T::Number, S::Arg2, "4"}};
const TActionValue PlaySoundValues[] = {{"&Sound", "The sound to play; several play at once", T::Sound, S::Ref}};
const TActionValue ClearTextValues[] = {
    {"Ro&w", "The row of the upper screen to clear, 0 (top) to 23", T::Number, S::Arg1},
    {"All row&s", "Clear every row the game has printed, whatever the row", T::Flag, S::Arg2, "0"}};
const TActionValue JumpToValues[] = {
    {"&X", "Pixels from the level's left edge (relative: to the right of here)", T::Number, S::Arg1},
    {"&Y", "Pixels from the level's top edge (relative: below here)", T::Number, S::Arg2},
    {"Rela&tive", "Move by x and y pixels from where this instance is", T::Flag, S::Relative, "0"}};
const TActionValue SetAnimationValues[] = {
    {"Anima&tion", "One of this actor's animations", T::Animation, S::Ref},
    {"Re&start", "Start it from its first frame even when it is already playing", T::Flag, S::Arg1, "0"}};
const TActionValue MirrorValues[] = {
    {"M&irrored", "Draw the instance mirrored left to right", T::Flag, S::Arg1, "1"},
    {"Face mo&vement", "Mirrored while moving left, not while moving right", T::Flag, S::Arg2, "0"}};

template <typename A>
TActionBase* Make(THandler& Handler) {
  return new A(Handler);
}

}  // namespace

#define LVK_KIND(Class, Values, Name, Description, Icon, Code)                                          \
  Class::Class(THandler& Handler) : TValueAction(Handler, Values) {}                                    \
  const TActionKind& Class::ClassKind() {                                                               \
    static const TActionKindInfo Kind(Name, Description, Icon, LVK_ENGINE_CODE(Code), &Make<Class>); \
    return Kind;                                                                                        \
  }


LVK_KIND(TActionSetVariable, SetVariableValues, "SetVariable", "Set a variable, or add to it", "BmpSetVariable16x16",
         LVK_ACTION_SET_VARIABLE)
LVK_KIND(TActionShowText, ShowTextValues, "ShowText", "Show a line of text on the upper screen",
         "BmpShowText16x16", LVK_ACTION_SHOW_TEXT)
LVK_KIND(TActionSpawn, SpawnValues, "Spawn", "Make a new instance of an actor beside this one", "BmpSpawn16x16",
         LVK_ACTION_SPAWN)
LVK_KIND(TActionGoToLevel, GoToLevelValues, "GoToLevel", "Go to a level, or start this one again",
         "BmpGoToLevel16x16", LVK_ACTION_GO_TO_LEVEL)
LVK_KIND(TActionBounce, BounceValues, "Bounce", "Turn round, left and right or up and down", "BmpBounce16x16",
         LVK_ACTION_BOUNCE)
LVK_KIND(TActionSetTile, SetTileValues, "SetTile", "Draw this instance with another tile", "BmpSetTile16x16",
         LVK_ACTION_SET_TILE)
LVK_KIND(TActionMoveToward, MoveTowardValues, "MoveToward", "Head for the nearest instance of an actor",
         "BmpMoveToward16x16", LVK_ACTION_MOVE_TOWARD)
LVK_KIND(TActionIfVariable, IfVariableValues, "IfVariable",
         "Run the rest of the handler only when a variable compares so", "BmpIfVariable16x16",
         LVK_ACTION_IF_VARIABLE)
LVK_KIND(TActionIfCount, IfCountValues, "IfCount",
         "Run the rest of the handler only when so many instances of an actor live", "BmpIfCount16x16",
         LVK_ACTION_IF_COUNT)
LVK_KIND(TActionIfChance, IfChanceValues, "IfChance", "Run the rest of the handler only one time in n, by chance",
         "BmpIfChance16x16", LVK_ACTION_IF_CHANCE)
LVK_KIND(TActionIfKeyHeld, IfKeyHeldValues, "IfKeyHeld", "Run the rest of the handler only while keys are held",
         "BmpIfKeyHeld16x16", LVK_ACTION_IF_KEY_HELD)
LVK_KIND(TActionCameraFollow, CameraFollowValues, "CameraFollow", "Make the camera follow an actor",
         "BmpCameraFollow16x16", LVK_ACTION_CAMERA_FOLLOW)
LVK_KIND(TActionMoveCamera, MoveCameraValues, "MoveCamera", "Glide the camera to a place of the level",
         "BmpMoveCamera16x16", LVK_ACTION_MOVE_CAMERA)
LVK_KIND(TActionShakeCamera, ShakeCameraValues, "ShakeCamera", "Shake the lower screen's picture for a while",
         "BmpShakeCamera16x16", LVK_ACTION_SHAKE_CAMERA)
LVK_KIND(TActionPlaySound, PlaySoundValues, "PlaySound", "Play a sound of the game", "BmpPlaySound16x16",
         LVK_ACTION_PLAY_SOUND)
LVK_KIND(TActionClearText, ClearTextValues, "ClearText", "Clear a row of the upper screen, or all of the game's rows",
         "BmpClearText16x16", LVK_ACTION_CLEAR_TEXT)
LVK_KIND(TActionJumpTo, JumpToValues, "JumpTo", "Put this instance at a place, or move it by some pixels at once",
         "BmpJumpTo16x16", LVK_ACTION_JUMP_TO)
LVK_KIND(TActionSetAnimation, SetAnimationValues, "SetAnimation", "Play another of this actor's animations",
         "BmpSetAnimation16x16", LVK_ACTION_SET_ANIMATION)
LVK_KIND(TActionMirror, MirrorValues, "Mirror", "Draw this instance mirrored, or facing the way it moves",
         "BmpMirror16x16", LVK_ACTION_MIRROR)

TActionRestartGame::TActionRestartGame(THandler& Handler) : TValueAction(Handler, std::span<const TActionValue>()) {}
const TActionKind& TActionRestartGame::ClassKind() {
  static const TActionKindInfo Kind("RestartGame", "Start the game again: game variables back, the first level",
                                    "BmpRestartGame16x16", LVK_ENGINE_CODE(LVK_ACTION_RESTART_GAME),
                                    &Make<TActionRestartGame>);
  return Kind;
}

// The kinds without values.
#define LVK_PLAIN_KIND(Class, Name, Description, Icon, Code)                                          \
  Class::Class(THandler& Handler) : TValueAction(Handler, std::span<const TActionValue>()) {}          \
  const TActionKind& Class::ClassKind() {                                                               \
    static const TActionKindInfo Kind(Name, Description, Icon, LVK_ENGINE_CODE(Code), &Make<Class>); \
    return Kind;                                                                                        \
  }

LVK_PLAIN_KIND(TActionJumpToStart, "JumpToStart", "Put this instance back where it was placed or spawned",
               "BmpJumpToStart16x16", LVK_ACTION_JUMP_TO_START)
LVK_PLAIN_KIND(TActionOtherwise, "Otherwise", "Run the rest of the handler only when the guard before failed",
               "BmpOtherwise16x16", LVK_ACTION_OTHERWISE)

#undef LVK_PLAIN_KIND
#undef LVK_KIND

std::string TActionSetVariable::Summary() const { return TValueAction::Summary(); }
std::string TActionShowText::Summary() const { return TValueAction::Summary(); }
std::string TActionSpawn::Summary() const { return TValueAction::Summary(); }
std::string TActionGoToLevel::Summary() const { return TValueAction::Summary(); }
std::string TActionRestartGame::Summary() const { return TValueAction::Summary(); }
std::string TActionBounce::Summary() const { return TValueAction::Summary(); }
std::string TActionSetTile::Summary() const { return TValueAction::Summary(); }
std::string TActionMoveToward::Summary() const { return TValueAction::Summary(); }
std::string TActionPlaySound::Summary() const { return TValueAction::Summary(); }
std::string TActionJumpTo::Summary() const { return TValueAction::Summary(); }
std::string TActionJumpToStart::Summary() const { return TValueAction::Summary(); }
std::string TActionClearText::Summary() const {
  return GetValue(1) == "1" ? "ClearText(all rows)" : "ClearText(" + Shown(0) + ")";
}
std::string TActionCameraFollow::Summary() const { return TValueAction::Summary(); }
std::string TActionMoveCamera::Summary() const { return TValueAction::Summary(); }
std::string TActionShakeCamera::Summary() const { return TValueAction::Summary(); }
std::string TActionSetAnimation::Summary() const { return TValueAction::Summary(); }
// "Mirror(off)" rather than an empty list when neither flag is set.
std::string TActionMirror::Summary() const {
  const std::string Text = TValueAction::Summary();
  return Text == "Mirror()" ? "Mirror(off)" : Text;
}

// The guards read as conditions.
std::string TActionIfVariable::Summary() const { return "If " + Shown(0) + " " + Shown(1) + " " + Shown(2); }
std::string TActionIfCount::Summary() const {
  return "If count of " + Shown(0) + " " + Shown(1) + " " + Shown(2);
}
std::string TActionIfChance::Summary() const { return "If chance 1 in " + Shown(0); }
std::string TActionIfKeyHeld::Summary() const { return "If held " + Shown(0); }
std::string TActionOtherwise::Summary() const { return "Otherwise"; }

}  // namespace lvk
