#include "behaviour/REventTimer.h"

#include <algorithm>

#include "behaviour/UKindInfo.h"
#include "model/UFiler.h"
#include "model/UFormat.h"

namespace lvk {

const TEventKind& TEventTimer::ClassKind() {
  static const TEventKindInfo Kind(
      "OnTimer", "Fires when an actor has lived so many frames (60 a second), and again every as many with repeat",
      700, "BmpOnTimer16x16", LVK_ENGINE_CODE(LVK_EVENT_TIMER),
      [](THandler& Handler) -> TEventBase* { return new TEventTimer(Handler); });
  return Kind;
}

void TEventTimer::SetFrames(std::int32_t Value) { Store(FFrames, std::clamp<std::int32_t>(Value, 1, MaxFrames)); }

void TEventTimer::WriteParams(TStream&, TWriter& Writer) const {
  Writer.WriteInteger(FFrames);
  Writer.WriteBoolean(FRepeat);
}

void TEventTimer::ReadParams(TStream&, TReader& Reader) {
  FFrames = std::clamp<std::int32_t>(Reader.ReadInteger(), 1, MaxFrames);
  FRepeat = Reader.ReadBoolean();
}

std::string TEventTimer::Summary() const { return Format("OnTimer( %d, %s )", FFrames, FRepeat ? "repeat" : "once"); }

void TEventTimer::Encode(lvk_handler_t& Entry, TTableContext&) const {
  Entry.frames = static_cast<std::uint32_t>(FFrames);
  Entry.flags = FRepeat ? LVK_HANDLER_REPEAT : 0;
}

}  // namespace lvk
