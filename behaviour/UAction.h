#pragma once
// The two action kinds: SetSpeedSize sets how fast an actor moves,
// SetSpeedDir which way. They share their parameters, two arguments copied
// unchanged into the C call and an absolute/relative mode, and differ in
// their names, texts and C call.
#include <iosfwd>
#include <string>

#include "behaviour/UBehaviour.h"

namespace lvk {

class TActionSpeed : public TActionBase {
public:
  using TActionBase::TActionBase;

  const std::string& Arg1() const { return FArg1; }
  void SetArg1(const std::string& Value) { FArg1 = Value; }
  const std::string& Arg2() const { return FArg2; }
  void SetArg2(const std::string& Value) { FArg2 = Value; }
  bool Relative() const { return FRelative; }
  void SetRelative(bool Value) { FRelative = Value; }

  // Arg1, Arg2, Relative.
  void WriteParams(TStream& Stream, TWriter& Writer) const override;
  void ReadParams(TStream& Stream, TReader& Reader) override;

protected:
  // One C line from Pattern, whose four %s take the indentation, the two
  // arguments and the mode word; the arguments are never read as a pattern.
  void WriteCall(std::ostream& Out, const char* Pattern) const;

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
  std::string Summary() const override;
};

class TActionSetSpeedDir final : public TActionSpeed {
public:
  static const TActionKind& ClassKind();

  using TActionSpeed::TActionSpeed;
  const TActionKind& Kind() const override { return ClassKind(); }
  void WriteC(std::ostream& Out) const override;
  std::string Summary() const override;
};

}  // namespace lvk
