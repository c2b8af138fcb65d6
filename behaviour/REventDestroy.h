#pragma once
// OnDestroy: fires when an actor is destroyed. No parameters.
#include "behaviour/UBehaviour.h"

namespace lvk {

class TEventDestroy final : public TEventBase {
public:
  static const TEventKind& ClassKind();

  explicit TEventDestroy(THandler& Handler) : TEventBase(Handler) {}
  const TEventKind& Kind() const override { return ClassKind(); }
  void WriteParams(TStream&, TWriter&) const override {}
  void ReadParams(TStream&, TReader&) override {}
  std::string Summary() const override;
};

}  // namespace lvk
