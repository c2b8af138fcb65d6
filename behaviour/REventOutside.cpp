#include "behaviour/REventOutside.h"

#include "behaviour/UKindInfo.h"
#include "behaviour/UMaskNames.h"
#include "model/UFiler.h"
#include "model/UFormat.h"

namespace lvk {

std::string TEventOutside::DirectionName(int Index) { return MaskName(DirectionNames, Index, "REventOutside"); }

int TEventOutside::IndexOfDirection(const std::string& Caption) {
  return MaskIndex(DirectionNames, Caption, "REventOutside");
}

const TEventKind& TEventOutside::ClassKind() {
  static const TEventKindInfo Kind(
      "OnOutside", "Fires when the actor moves outside the screen in one of the selected directions", 600,
      "BmpOnOutside16x16", LVK_ENGINE_CODE(LVK_EVENT_OUTSIDE), [](THandler& Handler) -> TEventBase* { return new TEventOutside(Handler); });
  return Kind;
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
