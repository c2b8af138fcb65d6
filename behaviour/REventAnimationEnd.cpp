#include "behaviour/REventAnimationEnd.h"

#include "behaviour/UKindCatalogue.h"

namespace lvk {

std::string TEventAnimationEnd::Summary() const { return ClassKind().DisplayName(); }

}  // namespace lvk
