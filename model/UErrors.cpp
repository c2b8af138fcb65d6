#include "model/UErrors.h"

namespace lvk {

EAssertionFailed::EAssertionFailed(const std::string& Unit)
    : std::logic_error("Assertion failure (" + Unit + ")") {}

}  // namespace lvk
