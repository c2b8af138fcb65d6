#pragma once
// OnAnimationEnd: fires when an animation that runs once has shown its last
// frame for its length. No parameters.
#include "behaviour/UBehaviour.h"

namespace lvk {

class TEventAnimationEnd final : public TEventBase {
public:
  static const TEventKind& ClassKind();

  explicit TEventAnimationEnd(THandler& Handler) : TEventBase(Handler) {}
  const TEventKind& Kind() const override { return ClassKind(); }
  void WriteParams(TStream&, TWriter&) const override {}
  void ReadParams(TStream&, TReader&) override {}
  std::string Summary() const override;
};

}  // namespace lvk
