#pragma once
// The program's version record: name/value strings compiled into the
// executable from the build's project version. TVersionInfo reads them on
// creation; a name the record does not hold reads as empty text.
#include <map>
#include <span>
#include <string>
#include <string_view>

namespace lvk {

struct TVersionEntry {
  const char* Name;
  const char* Value;
};

// The record compiled into this executable.
std::span<const TVersionEntry> OwnVersionRecord();

class TVersionInfo {
public:
  // Reads the program's own record.
  TVersionInfo();
  // Reads the given record; an empty one stands for an executable without a
  // record, so every value stays empty. Entries with a null name are skipped,
  // a null value reads as empty text.
  explicit TVersionInfo(std::span<const TVersionEntry> Record);

  bool HasRecord() const { return !FValues.empty(); }
  // Looked up by exact name; empty when the record has no such value.
  std::string Value(std::string_view Name) const;

  std::string CompanyName() const { return Value("CompanyName"); }
  std::string FileDescription() const { return Value("FileDescription"); }
  std::string FileVersion() const { return Value("FileVersion"); }
  std::string Comments() const { return Value("Comments"); }
  std::string LegalCopyright() const { return Value("LegalCopyright"); }
  std::string ProductName() const { return Value("ProductName"); }
  std::string ProductVersion() const { return Value("ProductVersion"); }

private:
  std::map<std::string, std::string, std::less<>> FValues;
};

}  // namespace lvk
