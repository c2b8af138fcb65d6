#pragma once
// The action kinds. SetSpeedSize sets how fast an actor moves, SetSpeedDir
// which way; they share their parameters, two arguments copied unchanged into
// the C call and an absolute/relative mode, and differ in their names, texts
// and C call. Destroy and NextLevel have no parameters: they are stored as
// their key alone, and their summaries are the call with empty brackets,
// "Destroy()" and "NextLevel()".
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "behaviour/UBehaviour.h"

namespace lvk {

class TActionSpeed : public TActionBase {
public:
  using TActionBase::TActionBase;

  const std::string& Arg1() const { return FArg1; }
  void SetArg1(const std::string& Value) { Store(FArg1, Value); }
  const std::string& Arg2() const { return FArg2; }
  void SetArg2(const std::string& Value) { Store(FArg2, Value); }
  bool Relative() const { return FRelative; }
  void SetRelative(bool Value) { Store(FRelative, Value); }

  // Arg1, Arg2, Relative.
  void WriteParams(TStream& Stream, TWriter& Writer) const override;
  void ReadParams(TStream& Stream, TReader& Reader) override;
  // The mode and both arguments, which must be whole numbers.
  void Encode(lvk_action_t& Entry, TTableContext& Context) const override;
  // Arg1, Arg2 and Relative, labelled by the kind.
  int ValueCount() const override { return 3; }
  TActionValue ValueInfo(int Index) const override;
  std::string GetValue(int Index) const override;
  void SetValue(int Index, const std::string& Value) override;
  // "Name(arg1, arg2)", ", relative" before the bracket when relative;
  // empty arguments as 0, as the game reads them.
  std::string Summary() const override;

protected:
  // One C line from Pattern, whose four %s take the indentation, the two
  // arguments and the mode word; the arguments are never read as a pattern.
  void WriteCall(std::ostream& Out, const char* Pattern) const;
  // The labels and hints of the two arguments.
  virtual const TActionValue* ArgumentInfo() const = 0;

private:
  std::string FArg1;
  std::string FArg2;
  bool FRelative = false;
};

class TActionSetSpeedSize final : public TActionSpeed {
public:
  static const TActionKind& ClassKind();

  using TActionSpeed::TActionSpeed;
  const TActionKind& Kind() const override { return ClassKind(); }
  void WriteC(std::ostream& Out) const override;

protected:
  const TActionValue* ArgumentInfo() const override;
};

class TActionSetSpeedDir final : public TActionSpeed {
public:
  static const TActionKind& ClassKind();

  using TActionSpeed::TActionSpeed;
  const TActionKind& Kind() const override { return ClassKind(); }
  void WriteC(std::ostream& Out) const override;

protected:
  const TActionValue* ArgumentInfo() const override;
};

// An action argument as the game uses it: a whole number with an optional
// sign ("-12", "+3"), where the empty text means 0. Anything else (blanks,
// "3.5", "x", a value outside 32 bits) is not a whole number: no value.
std::optional<std::int32_t> ParseWholeNumber(const std::string& Text);

// The action kinds without parameters share their record and C line.
class TActionPlain : public TActionBase {
public:
  using TActionBase::TActionBase;
  void WriteParams(TStream& Stream, TWriter& Writer) const override;
  void ReadParams(TStream& Stream, TReader& Reader) override;
  // "%s,act" + DisplayName + "();" with the indentation.
  void WriteC(std::ostream& Out) const override;
  // DisplayName + "()".
  std::string Summary() const override;
};

class TActionDestroy final : public TActionPlain {
public:
  static const TActionKind& ClassKind();

  using TActionPlain::TActionPlain;
  const TActionKind& Kind() const override { return ClassKind(); }
};

class TActionNextLevel final : public TActionPlain {
public:
  static const TActionKind& ClassKind();

  using TActionPlain::TActionPlain;
  const TActionKind& Kind() const override { return ClassKind(); }
};

}  // namespace lvk
