#include "behaviour/UResources.h"

#include "model/UBitmap.h"
#include "model/UErrors.h"

namespace lvk {

TPeekBitmap LoadResourceBitmap(const std::string& Name) {
  std::span<const std::uint8_t> Bytes = FindBuiltinResource(Name);
  Assert(!Bytes.empty(), "UGame");
  TPeekBitmap Result;
  Result.LoadFromBytes(Bytes.data(), Bytes.size());
  return Result;
}

}  // namespace lvk
