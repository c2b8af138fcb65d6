#include "behaviour/REventCreate.h"

#include "behaviour/UKindCatalogue.h"

namespace lvk {

std::string TEventCreate::Summary() const { return ClassKind().DisplayName(); }

}  // namespace lvk
