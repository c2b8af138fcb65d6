#pragma once
// While a project file is read: the items of the lists read so far by name,
// so that the names referring to them are found in constant time and a file
// of many names reads in time that grows with its size.
#include <optional>
#include <string>
#include <unordered_map>

#include "model/UGame.h"

namespace lvk {

class TTile;
class TActor;
class TSound;
class TSong;

// The key under which SameTextAscii finds a name.
inline std::string FoldedName(std::string Name) {
  for (char& C : Name)
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C + 32);
  return Name;
}

// A list's items by name, the first of equal names winning as the game's
// FindXByName does.
template <typename T>
class TNameIndex {
public:
  TNameIndex() = default;
  explicit TNameIndex(const TOwnedList<T>& List) {
    FItems.reserve(static_cast<std::size_t>(List.Count()));
    for (int i = 0; i < List.Count(); ++i) Add(List.At(i));
  }
  void Add(T* Item) { FItems.try_emplace(FoldedName(Item->Name()), Item); }
  T* Find(const std::string& Name) const {
    auto It = FItems.find(FoldedName(Name));
    return It == FItems.end() ? nullptr : It->second;
  }

private:
  std::unordered_map<std::string, T*> FItems;
};

struct TGame::TReadIndexes {
  std::optional<TNameIndex<TTile>> Tiles;
  std::optional<TNameIndex<TActor>> Actors;
  std::optional<TNameIndex<TSound>> Sounds;
  std::optional<TNameIndex<TSong>> Songs;
};

}  // namespace lvk
