#include "behaviour/UAction.h"

#include <charconv>
#include <ostream>

#include "model/UFormat.h"

namespace lvk {

void TActionSpeed::WriteCall(std::ostream& Out, const char* Pattern) const {
  std::string Indentation;
  for (int i = 0; i < Indent(); ++i) Indentation += "  ";
  Out << Format(Pattern, Indentation, Arg1(), Arg2(), Relative() ? "RELATIVE" : "ABSOLUTE") << "\r\n";
}

void TActionSetSpeedSize::WriteC(std::ostream& Out) const {
  WriteCall(Out, "%s,actSetSpeedSize(%s,%s,%s);");
}

void TActionSetSpeedDir::WriteC(std::ostream& Out) const { WriteCall(Out, "%s,actSetSpeedDir(%s,%s,%s);"); }

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

void TActionPlain::WriteC(std::ostream& Out) const {
  std::string Indentation;
  for (int i = 0; i < Indent(); ++i) Indentation += "  ";
  Out << Indentation << ",act" << Kind().DisplayName() << "();\r\n";
}

}  // namespace lvk
