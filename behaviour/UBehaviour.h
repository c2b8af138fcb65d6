#pragma once
// The event and action kinds of the program: registering them at start-up.
// Their bases and the registries are the model's (model/UKinds.h).
#include "behaviour/UTableContext.h"
#include "model/UKinds.h"

namespace lvk {

// The start-up step that main and the tests call: loads the kinds' icons and
// registers the six event kinds and the four action kinds. Calling it again
// does nothing. UnregisterKinds empties both registries (at exit).
void RegisterKinds();
void UnregisterKinds();

}  // namespace lvk
