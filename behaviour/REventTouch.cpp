#include "behaviour/REventTouch.h"

#include "behaviour/UKindCatalogue.h"
#include "behaviour/UMaskNames.h"
#include "model/UFiler.h"
#include "model/UFormat.h"

namespace lvk {

std::string TEventTouch::AreaName(int Index) { return MaskName(AreaNames, Index, "REventTouch"); }

int TEventTouch::IndexOfArea(const std::string& Caption) { return MaskIndex(AreaNames, Caption, "REventTouch"); }

void TEventTouch::WriteParams(TStream&, TWriter& Writer) const { Writer.WriteInteger(FAreas); }

void TEventTouch::ReadParams(TStream&, TReader& Reader) {
  FAreas = static_cast<std::uint16_t>(Reader.ReadInteger());
}

std::string TEventTouch::Summary() const { return Format("OnTouch( %s )", MaskNames(AreaNames, FAreas, "-")); }

void TEventTouch::Encode(lvk_handler_t& Entry, TTableContext&) const { Entry.mask = FAreas; }

}  // namespace lvk
