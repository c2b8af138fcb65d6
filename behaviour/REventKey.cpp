#include "behaviour/REventKey.h"

#include "behaviour/UKindCatalogue.h"
#include "behaviour/UMaskNames.h"
#include "model/UFiler.h"
#include "model/UFormat.h"

namespace lvk {

std::string TEventKey::KeyName(int Index) { return MaskName(KeyNames, Index, "REventKey"); }

int TEventKey::IndexOfKey(const std::string& Caption) { return MaskIndex(KeyNames, Caption, "REventKey"); }

void TEventKey::WriteParams(TStream&, TWriter& Writer) const {
  Writer.WriteBoolean(FPress);
  Writer.WriteInteger(FKeys);
}

void TEventKey::ReadParams(TStream&, TReader& Reader) {
  FPress = Reader.ReadBoolean();
  FKeys = static_cast<std::uint16_t>(Reader.ReadInteger());
}

std::string TEventKey::Summary() const {
  return Format("OnKey( %s, %s )", MaskNames(KeyNames, FKeys, ""), FPress ? "press" : "release");
}

void TEventKey::Encode(lvk_handler_t& Entry, TTableContext&) const {
  Entry.flags = FPress ? LVK_HANDLER_PRESS : 0;
  Entry.mask = FKeys;
}

}  // namespace lvk
