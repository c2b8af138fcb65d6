#pragma once
// The rules that tile, actor and level names share.
#include <functional>
#include <string>
#include <vector>

namespace lvk {

// Not empty; an ASCII letter or underscore first, then ASCII letters, digits
// or underscores. The refusal's words speak of letters and digits, the
// underscore counting as a letter, and so does the help.
bool IsLegalName(const std::string& Name);

// Checks a new name for an item: raises EGame with the illegal-name message,
// or with DuplicatePattern (one %s) when Found is another item than Self.
void CheckItemName(const std::string& Name, const void* Self, const void* Found, const char* DuplicatePattern);

// Where a text names variables: each {Name} whose Name is a legal name,
// as the start and length of Name; any other brace is a character.
struct TPlaceholder {
  std::size_t At;
  std::size_t Length;
};
std::vector<TPlaceholder> TextPlaceholders(const std::string& Text);

// Prefix followed by the first number from Count + 1 on that Exists denies.
std::string DefaultItemName(const std::string& Prefix, int Count,
                            const std::function<bool(const std::string&)>& Exists);

}  // namespace lvk
