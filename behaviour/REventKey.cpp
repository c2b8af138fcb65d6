#include "behaviour/REventKey.h"

#include "behaviour/UKindInfo.h"
#include "behaviour/UMaskNames.h"
#include "model/UFiler.h"
#include "model/UFormat.h"

namespace lvk {

std::string TEventKey::KeyName(int Index) { return MaskName(KeyNames, Index, "REventKey"); }

int TEventKey::IndexOfKey(const std::string& Caption) { return MaskIndex(KeyNames, Caption, "REventKey"); }

const TEventKind& TEventKey::ClassKind() {
  static const TEventKindInfo Kind(
      "OnKey", "Fires when one or more keys is pressed (or released)", 300, "BmpOnKey16x16",
      LVK_ENGINE_CODE(LVK_EVENT_KEY), [](THandler& Handler) -> TEventBase* { return new TEventKey(Handler); });
  return Kind;
}

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
