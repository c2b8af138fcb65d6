#include "behaviour/REventOutside.h"

#include "behaviour/UKindCatalogue.h"
#include "behaviour/UMaskNames.h"
#include "model/UFiler.h"
#include "model/UFormat.h"

namespace lvk {

std::string TEventOutside::DirectionName(int Index) { return MaskName(DirectionNames, Index, "REventOutside"); }

int TEventOutside::IndexOfDirection(const std::string& Caption) {
  return MaskIndex(DirectionNames, Caption, "REventOutside");
}

void TEventOutside::WriteParams(TStream&, TWriter& Writer) const {
  Writer.WriteInteger(FAreas < 128 ? FAreas : FAreas - 256);
}

void TEventOutside::ReadParams(TStream&, TReader& Reader) {
  FAreas = static_cast<std::uint8_t>(Reader.ReadInteger());
}

std::string TEventOutside::Summary() const {
  return Format("OnOutside( %s )", MaskNames(DirectionNames, FAreas, "-"));
}

void TEventOutside::Encode(lvk_handler_t& Entry, TTableContext&) const { Entry.mask = FAreas; }

}  // namespace lvk
