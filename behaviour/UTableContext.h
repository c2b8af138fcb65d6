#pragma once
// What an event or action needs to write itself into the engine's tables:
// the engine's numbers of the items it names and the values of its settings.
// The table builder gives it; the kinds know nothing of how the tables are
// laid out beyond their own entry.
#include <cstdint>
#include <string>

#include "model/UKinds.h"

namespace lvk {

class TActor;


// A number of an action as the engine takes it: a literal, or a variable's
// value (Variable is LVK_VARIABLE(v), or LVK_LITERAL for the literal).
struct TEngineNumber {
  std::int32_t Literal;
  std::uint16_t Variable;
};

// Every lookup that fails logs a counted error naming the setting's place
// and what it names, and gives a harmless value.
class TTableContext {
public:
  virtual ~TTableContext() = default;
  // The actor's number in the tables; the handler's own actor for none.
  virtual std::uint16_t ActorNumber(const TActor* Actor) const = 0;
  // A setting that must be a whole number: its value, or 0.
  virtual std::int32_t WholeNumber(const std::string& Text) = 0;
  // A whole number or a variable's name; 0 for neither.
  virtual TEngineNumber Number(const std::string& Text) = 0;
  // By name: a variable's, actor's or tile's number; 0, the handler's own
  // actor and LVK_NONE for none.
  virtual std::uint16_t VariableNumber(const std::string& Name) = 0;
  virtual std::uint16_t ActorNamed(const std::string& Name) = 0;
  virtual std::uint16_t TileNamed(const std::string& Name) = 0;
  // The number of a text in the text table, its {names} resolved.
  virtual std::uint16_t TextNumber(const std::string& Text) = 0;
  // A sound's number by name.
  virtual std::uint16_t SoundNumber(const std::string& Name) = 0;
  // The number of the handler's actor's animation of that name.
  virtual std::uint16_t AnimationNumber(const std::string& Name) = 0;
};

}  // namespace lvk
