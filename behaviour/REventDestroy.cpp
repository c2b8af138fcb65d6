#include "behaviour/REventDestroy.h"

#include "behaviour/UKindCatalogue.h"

namespace lvk {

std::string TEventDestroy::Summary() const { return ClassKind().DisplayName(); }

}  // namespace lvk
