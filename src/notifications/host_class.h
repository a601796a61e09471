// Host classes the styling needs, looked up by name while not found and then kept for
// the life of the process (an absent class is looked up again on the next call).
#pragma once

#include "runtime/runtime.h"

namespace lumora {

rt::Class cachedHostClass(const char* name);

}  // namespace lumora
