#include "behaviour/REventTimer.h"

#include <algorithm>

#include "behaviour/UKindCatalogue.h"
#include "model/UFiler.h"
#include "model/UFormat.h"

namespace lvk {

namespace {

std::int32_t MinFrames() { return EventEntry(LVK_EVENT_TIMER).Values[0].Min; }

}  // namespace

void TEventTimer::SetFrames(std::int32_t Value) { Store(FFrames, std::clamp<std::int32_t>(Value, MinFrames(), MaxFrames)); }

void TEventTimer::WriteParams(TStream&, TWriter& Writer) const {
  Writer.WriteInteger(FFrames);
  Writer.WriteBoolean(FRepeat);
}

void TEventTimer::ReadParams(TStream&, TReader& Reader) {
  FFrames = std::clamp<std::int32_t>(Reader.ReadInteger(), MinFrames(), MaxFrames);
  FRepeat = Reader.ReadBoolean();
}

std::string TEventTimer::Summary() const { return Format("OnTimer( %d, %s )", FFrames, FRepeat ? "repeat" : "once"); }

void TEventTimer::Encode(lvk_handler_t& Entry, TTableContext&) const {
  Entry.frames = static_cast<std::uint32_t>(FFrames);
  Entry.flags = FRepeat ? LVK_HANDLER_REPEAT : 0;
}

}  // namespace lvk
