// Loading the system into the host: the three start-up routines, and the one reset that
// returns the whole process to its freshly loaded state.
#pragma once

#include <vector>

#include "prefs/globals.h"
#include "startup/hook_table.h"

namespace lumora {

// What happened to one hook-table row.
struct HookOutcome {
  const HookRow* row;
  bool installed;
  const char* reason;  // null, "gate closed" or "class absent"
};

// The start-up routines, in the order the loader runs them.
void widgetRoutine();
void notificationRoutine();
void mediaRoutine();

// What loading the library does: registers the system's own classes and categories,
// then runs the widget, notification and media-player routines. The host must be booted.
void loadSystem();

// Every row the routines went through, in installation order.
const std::vector<HookOutcome>& installationReport();

// Returns the process to its state before the host booted: system globals, saved
// implementations, the shared store and cache, then the host and runtime.
void resetProcess();

inline constexpr const char* kTestRegularName = "com.tarnwick.lumora/testRegular";
inline constexpr const char* kTestLockscreenName = "com.tarnwick.lumora/testLockscreen";

}  // namespace lumora
