#pragma once
// OnTimer: fires when an instance has lived a number of frames (60 a
// second), and with repeat every as many frames after that.
#include <cstdint>
#include <string>

#include "behaviour/UBehaviour.h"
#include "behaviour/UKindCatalogue.h"

namespace lvk {

class TEventTimer final : public TEventBase {
public:
  static const TEventKind& ClassKind();
  static constexpr std::int32_t MaxFrames = LVK_MAX_TIMER;

  explicit TEventTimer(THandler& Handler) : TEventBase(Handler) {}
  const TEventKind& Kind() const override { return ClassKind(); }

  // 1 to MaxFrames; other values are brought into that range.
  std::int32_t Frames() const { return FFrames; }
  void SetFrames(std::int32_t Value);
  bool Repeat() const { return FRepeat; }
  void SetRepeat(bool Value) { Store(FRepeat, Value); }

  void WriteParams(TStream& Stream, TWriter& Writer) const override;
  void ReadParams(TStream& Stream, TReader& Reader) override;
  std::string Summary() const override;
  void Encode(lvk_handler_t& Entry, TTableContext& Context) const override;

private:
  std::int32_t FFrames = EventDefault(LVK_EVENT_TIMER, 0);
  bool FRepeat = EventDefault(LVK_EVENT_TIMER, 1) != 0;
};

}  // namespace lvk
