#include "model/UNames.h"

#include "model/UErrors.h"
#include "model/UFormat.h"

namespace lvk {

namespace {
bool IsLetter(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_'; }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }
}  // namespace

bool IsLegalName(const std::string& Name) {
  if (Name.empty() || !IsLetter(Name[0])) return false;
  for (char C : Name)
    if (!IsLetter(C) && !IsDigit(C)) return false;
  return true;
}

std::vector<TPlaceholder> TextPlaceholders(const std::string& Text) {
  std::vector<TPlaceholder> Found;
  std::size_t At = 0;
  while ((At = Text.find('{', At)) != std::string::npos) {
    const std::size_t Close = Text.find('}', At);
    if (Close == std::string::npos) break;
    if (!IsLegalName(Text.substr(At + 1, Close - At - 1))) {
      ++At;
      continue;
    }
    Found.push_back({At + 1, Close - At - 1});
    At = Close + 1;
  }
  return Found;
}

void CheckItemName(const std::string& Name, const void* Self, const void* Found, const char* DuplicatePattern) {
  if (!IsLegalName(Name))
    throw EGame(Format("\"%s\" is not a legal name (must start with letter and only have letters and digits)", Name));
  if (Found && Found != Self) throw EGame(Format(DuplicatePattern, Name));
}

std::string DefaultItemName(const std::string& Prefix, int Count,
                            const std::function<bool(const std::string&)>& Exists) {
  for (long long N = static_cast<long long>(Count) + 1;; ++N) {
    std::string Candidate = Prefix + std::to_string(N);
    if (!Exists(Candidate)) return Candidate;
  }
}

}  // namespace lvk
