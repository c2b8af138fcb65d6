#include "behaviour/UMaskNames.h"

#include "model/UErrors.h"

namespace lvk {

std::string MaskName(TNameTable Table, int Index, const char* Unit) {
  Assert(Index >= 0 && static_cast<std::size_t>(Index) < Table.size(), Unit);
  return Table[Index];
}

int MaskIndex(TNameTable Table, const std::string& Caption, const char* Unit) {
  for (std::size_t i = 0; i < Table.size(); ++i)
    if (Caption == Table[i]) return static_cast<int>(i);
  Assert(false, Unit);
  return -1;
}

std::string MaskNames(TNameTable Table, unsigned Mask, const std::string& Separator) {
  std::string Result;
  bool First = true;
  for (std::size_t i = 0; i < Table.size(); ++i) {
    if (!(Mask & (1u << i))) continue;
    if (!First) Result += Separator;
    Result += Table[i];
    First = false;
  }
  return Result;
}

}  // namespace lvk
