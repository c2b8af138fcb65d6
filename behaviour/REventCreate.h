#pragma once
// OnCreate: fires when an actor is created. No parameters.
#include "behaviour/UBehaviour.h"

namespace lvk {

class TEventCreate final : public TEventBase {
public:
  static const TEventKind& ClassKind();

  explicit TEventCreate(THandler& Handler) : TEventBase(Handler) {}
  const TEventKind& Kind() const override { return ClassKind(); }
  void WriteParams(TStream&, TWriter&) const override {}
  void ReadParams(TStream&, TReader&) override {}
  std::string Summary() const override;
};

}  // namespace lvk
