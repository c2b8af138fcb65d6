#pragma once
// What an event or action needs to write itself into the engine's tables:
// the engine's numbers of the items it names and the values of its settings.
// The table builder gives it; the kinds know nothing of how the tables are
// laid out beyond their own entry.
#include <cstdint>
#include <string>

namespace lvk {

class TActor;

// A kind's code in the engine (LVK_EVENT_..., LVK_ACTION_...) with its name
// there, which the generated tables show; -1 for a kind the engine does not
// play.
struct TEngineCode {
  int Code;
  const char* Name;
};
#define LVK_ENGINE_CODE(Name) ::lvk::TEngineCode{Name, #Name}

class TTableContext {
public:
  virtual ~TTableContext() = default;
  // The actor's number in the tables; the handler's own actor for none.
  virtual std::uint16_t ActorNumber(const TActor* Actor) const = 0;
  // A setting that must be a whole number: its value, or 0 after a counted
  // error that names the setting's place.
  virtual std::int32_t WholeNumber(const std::string& Text) = 0;
};

}  // namespace lvk
