#include "support/UVersionInfo.h"

#include "support/UVersionRecord.h"

namespace lvk {

std::span<const TVersionEntry> OwnVersionRecord() { return VersionRecord; }

TVersionInfo::TVersionInfo() : TVersionInfo(OwnVersionRecord()) {}

TVersionInfo::TVersionInfo(std::span<const TVersionEntry> Record) {
  for (const auto& Entry : Record) {
    if (!Entry.Name) continue;
    // The first value under a name wins, as a lookup in the record would find it.
    FValues.try_emplace(Entry.Name, Entry.Value ? Entry.Value : "");
  }
}

std::string TVersionInfo::Value(std::string_view Name) const {
  auto It = FValues.find(Name);
  return It == FValues.end() ? std::string() : It->second;
}

}  // namespace lvk
