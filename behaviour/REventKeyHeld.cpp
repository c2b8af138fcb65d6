#include "behaviour/REventKeyHeld.h"

#include "behaviour/REventKey.h"
#include "behaviour/UKindInfo.h"
#include "behaviour/UMaskNames.h"
#include "model/UFiler.h"
#include "model/UFormat.h"

namespace lvk {

const TEventKind& TEventKeyHeld::ClassKind() {
  static const TEventKindInfo Kind(
      "OnKeyHeld", "Fires on every frame in which all its keys are held", 650, "BmpOnKeyHeld16x16",
      LVK_ENGINE_CODE(LVK_EVENT_KEY_HELD), [](THandler& Handler) -> TEventBase* { return new TEventKeyHeld(Handler); });
  return Kind;
}

void TEventKeyHeld::WriteParams(TStream&, TWriter& Writer) const { Writer.WriteInteger(FKeys); }

void TEventKeyHeld::ReadParams(TStream&, TReader& Reader) { FKeys = static_cast<std::uint16_t>(Reader.ReadInteger()); }

std::string TEventKeyHeld::Summary() const {
  return Format("OnKeyHeld( %s )", MaskNames(TEventKey::KeyNames, FKeys, ""));
}

void TEventKeyHeld::Encode(lvk_handler_t& Entry, TTableContext&) const { Entry.mask = FKeys; }

}  // namespace lvk
