#include "behaviour/UAction.h"

#include <charconv>
#include <ostream>

#include "behaviour/UKindInfo.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UFormat.h"

namespace lvk {

void TActionSpeed::WriteParams(TStream&, TWriter& Writer) const {
  Writer.WriteString(FArg1);
  Writer.WriteString(FArg2);
  Writer.WriteBoolean(FRelative);
}

void TActionSpeed::ReadParams(TStream&, TReader& Reader) {
  FArg1 = Reader.ReadString();
  FArg2 = Reader.ReadString();
  FRelative = Reader.ReadBoolean();
}

TActionValue TActionSpeed::ValueInfo(int Index) const {
  Assert(Index >= 0 && Index < ValueCount(), "UAction");
  if (Index < 2) return ArgumentInfo()[Index];
  return {"Relati&ve", "Add to the current values instead of setting them", TValueType::Flag};
}

std::string TActionSpeed::GetValue(int Index) const {
  Assert(Index >= 0 && Index < ValueCount(), "UAction");
  return Index == 0 ? FArg1 : Index == 1 ? FArg2 : FRelative ? "1" : "0";
}

void TActionSpeed::SetValue(int Index, const std::string& Value) {
  Assert(Index >= 0 && Index < ValueCount(), "UAction");
  if (Index == 0)
    SetArg1(Value);
  else if (Index == 1)
    SetArg2(Value);
  else
    SetRelative(Value == "1");
}

std::string TActionSpeed::Summary() const {
  auto Shown = [](const std::string& Arg) { return Arg.empty() ? std::string("0") : Arg; };
  return Kind().DisplayName() + "(" + Shown(FArg1) + ", " + Shown(FArg2) + (FRelative ? ", relative" : "") + ")";
}

void TActionSpeed::WriteCall(std::ostream& Out, const char* Pattern) const {
  std::string Indentation;
  for (int i = 0; i < Indent(); ++i) Indentation += "  ";
  Out << Format(Pattern, Indentation, FArg1, FArg2, FRelative ? "RELATIVE" : "ABSOLUTE") << "\r\n";
}

const TActionKind& TActionSetSpeedSize::ClassKind() {
  static const TActionKindInfo Kind(
      "SetSpeedSize", "Set the speed size (not the direction) for an actor", "BmpSetSpeedSize16x16",
      LVK_ENGINE_CODE(LVK_ACTION_SET_SPEED_SIZE), [](THandler& Handler) -> TActionBase* { return new TActionSetSpeedSize(Handler); });
  return Kind;
}

void TActionSetSpeedSize::WriteC(std::ostream& Out) const {
  WriteCall(Out, "%s,actSetSpeedSize(%s,%s,%s);");
}

const TActionValue* TActionSetSpeedSize::ArgumentInfo() const {
  static const TActionValue Info[] = {
      {"Speed &x", "Horizontal speed in 1/16 pixel a frame (a whole number 0..255; empty is 0)", TValueType::Number},
      {"Speed &y", "Vertical speed in 1/16 pixel a frame (a whole number 0..255; empty is 0)", TValueType::Number}};
  return Info;
}

const TActionKind& TActionSetSpeedDir::ClassKind() {
  static const TActionKindInfo Kind(
      "SetSpeedDir", "Set the direction in which to move for actor (SetSpeedSize first to non-zero)",
      "BmpSetSpeedDir16x16", LVK_ENGINE_CODE(LVK_ACTION_SET_SPEED_DIR), [](THandler& Handler) -> TActionBase* { return new TActionSetSpeedDir(Handler); });
  return Kind;
}

void TActionSetSpeedDir::WriteC(std::ostream& Out) const { WriteCall(Out, "%s,actSetSpeedDir(%s,%s,%s);"); }

const TActionValue* TActionSetSpeedDir::ArgumentInfo() const {
  static const TActionValue Info[] = {
      {"Direction &x", "Horizontal direction by its sign: -1 left, 0 none, 1 right (empty is 0)", TValueType::Number},
      {"Direction &y", "Vertical direction by its sign: -1 up, 0 none, 1 down (empty is 0)", TValueType::Number}};
  return Info;
}

std::optional<std::int32_t> ParseWholeNumber(const std::string& Text) {
  if (Text.empty()) return 0;
  const char* First = Text.data();
  const char* Last = First + Text.size();
  // from_chars takes a minus sign but no plus sign, and no blanks.
  if (*First == '+') ++First;
  if (First == Last || !(*First == '-' || (*First >= '0' && *First <= '9'))) return std::nullopt;
  if (*First == '-' && Text[0] == '+') return std::nullopt;
  std::int32_t Value = 0;
  auto [End, Error] = std::from_chars(First, Last, Value);
  if (Error != std::errc() || End != Last) return std::nullopt;
  return Value;
}

void TActionPlain::WriteParams(TStream&, TWriter&) const {}

void TActionPlain::ReadParams(TStream&, TReader&) {}

void TActionPlain::WriteC(std::ostream& Out) const {
  std::string Indentation;
  for (int i = 0; i < Indent(); ++i) Indentation += "  ";
  Out << Indentation << ",act" << Kind().DisplayName() << "();\r\n";
}

std::string TActionPlain::Summary() const { return Kind().DisplayName() + "()"; }

const TActionKind& TActionDestroy::ClassKind() {
  static const TActionKindInfo Kind(
      "Destroy", "Destroy this actor; its OnDestroy handlers run first", "BmpDestroy16x16",
      LVK_ENGINE_CODE(LVK_ACTION_DESTROY), [](THandler& Handler) -> TActionBase* { return new TActionDestroy(Handler); });
  return Kind;
}

const TActionKind& TActionNextLevel::ClassKind() {
  static const TActionKindInfo Kind(
      "NextLevel", "Go to the next level; after the last, the first", "BmpNextLevel16x16",
      LVK_ENGINE_CODE(LVK_ACTION_NEXT_LEVEL), [](THandler& Handler) -> TActionBase* { return new TActionNextLevel(Handler); });
  return Kind;
}

void TActionSpeed::Encode(lvk_action_t& Entry, TTableContext& Context) const {
  Entry.relative = FRelative ? 1 : 0;
  const TEngineNumber N1 = Context.Number(FArg1), N2 = Context.Number(FArg2);
  Entry.arg1 = N1.Literal;
  Entry.var1 = N1.Variable;
  Entry.arg2 = N2.Literal;
  Entry.var2 = N2.Variable;
}

}  // namespace lvk
