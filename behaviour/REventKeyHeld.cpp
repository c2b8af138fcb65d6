#include "behaviour/REventKeyHeld.h"

#include "behaviour/REventKey.h"
#include "behaviour/UKindCatalogue.h"
#include "behaviour/UMaskNames.h"
#include "model/UFiler.h"
#include "model/UFormat.h"

namespace lvk {

void TEventKeyHeld::WriteParams(TStream&, TWriter& Writer) const { Writer.WriteInteger(FKeys); }

void TEventKeyHeld::ReadParams(TStream&, TReader& Reader) { FKeys = static_cast<std::uint16_t>(Reader.ReadInteger()); }

std::string TEventKeyHeld::Summary() const {
  return Format("OnKeyHeld( %s )", MaskNames(TEventKey::KeyNames, FKeys, ""));
}

void TEventKeyHeld::Encode(lvk_handler_t& Entry, TTableContext&) const { Entry.mask = FKeys; }

}  // namespace lvk
