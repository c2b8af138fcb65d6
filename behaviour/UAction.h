#pragma once
// The action kinds with a class of their own. SetSpeedSize sets how fast an
// actor moves, SetSpeedDir which way; they share their values, two
// arguments and an absolute/relative mode, and a C line. Destroy and
// NextLevel have no values: they are stored as their key alone, and their
// summaries are the call with empty brackets, "Destroy()" and
// "NextLevel()". Their values and texts are the catalogue's
// (engine/lvk_kinds.h), as every kind's.
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

#include "behaviour/UValueAction.h"

namespace lvk {

class TActionSpeed : public TValueAction {
public:
  using TValueAction::TValueAction;

  const std::string& Arg1() const { return Value(0); }
  void SetArg1(const std::string& V) { SetValue(0, V); }
  const std::string& Arg2() const { return Value(1); }
  void SetArg2(const std::string& V) { SetValue(1, V); }
  bool Relative() const { return Value(2) == "1"; }
  void SetRelative(bool V) { SetValue(2, V ? "1" : "0"); }

protected:
  // One C line from Pattern, whose four %s take the indentation, the two
  // arguments and the mode word; the arguments are never read as a pattern.
  void WriteCall(std::ostream& Out, const char* Pattern) const;
};

class TActionSetSpeedSize final : public TActionSpeed {
public:
  static const TActionKind& ClassKind();

  explicit TActionSetSpeedSize(THandler& Handler);
  const TActionKind& Kind() const override { return ClassKind(); }
  void WriteC(std::ostream& Out) const override;
};

class TActionSetSpeedDir final : public TActionSpeed {
public:
  static const TActionKind& ClassKind();

  explicit TActionSetSpeedDir(THandler& Handler);
  const TActionKind& Kind() const override { return ClassKind(); }
  void WriteC(std::ostream& Out) const override;
};

// An action argument as the game uses it: a whole number with an optional
// sign ("-12", "+3"), where the empty text means 0. Anything else (blanks,
// "3.5", "x", a value outside 32 bits) is not a whole number: no value.
std::optional<std::int32_t> ParseWholeNumber(const std::string& Text);

// The action kinds without values share their C line.
class TActionPlain : public TValueAction {
public:
  using TValueAction::TValueAction;
  // "%s,act" + DisplayName + "();" with the indentation.
  void WriteC(std::ostream& Out) const override;
};

class TActionDestroy final : public TActionPlain {
public:
  static const TActionKind& ClassKind();

  explicit TActionDestroy(THandler& Handler);
  const TActionKind& Kind() const override { return ClassKind(); }
};

class TActionNextLevel final : public TActionPlain {
public:
  static const TActionKind& ClassKind();

  explicit TActionNextLevel(THandler& Handler);
  const TActionKind& Kind() const override { return ClassKind(); }
};

}  // namespace lvk
