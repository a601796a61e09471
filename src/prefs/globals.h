// The system's process-wide globals.
#pragma once

#include "runtime/runtime.h"

namespace lumora {

// The shared LumoraPrefs, stored by each start-up routine before its gate.
extern rt::Ref<> preferences;
// The shared colour cache (icon key -> dominant colour), stored by the widget routine
// (gate open) and the notification routine ("enabled" on).
extern rt::Ref<> colorCache;
// Whether the other lockscreen colouring extension is installed; set by the media routine.
extern bool colorFlowInstalled;
// When YES as the notification routine runs, the demonstration sequence is scheduled.
// Nothing in the system sets it.
extern bool showCustomMessages;

}  // namespace lumora
