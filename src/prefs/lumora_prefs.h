// LumoraPrefs: the system's preference store, a user-defaults store bound to the suite
// "com.tarnwick.lumora" that registers the 68 defaults and carries settings of the
// older key layout over on creation. It also hands out the process-wide colour cache.
// The system reaches it only by messages (`rt::send(preferences, sel::boolForKey, key)`).
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "host/foundation/foundation_selectors.h"
#include "host/foundation/value_helpers.h"
#include "prefs/schema.h"

namespace sel {
// Class messages of LumoraPrefs.
inline const Sel<Ref<>()> colorCache{"colorCache"};
// Instance messages of LumoraPrefs.
inline const Sel<void()> mergeOldSettings{"mergeOldSettings"};
inline const Sel<void(id)> convertBoolToString{"convertBoolToString:"};
}  // namespace sel

namespace cls {
inline const rt::ClassName LumoraPrefs{"LumoraPrefs"};
}  // namespace cls

namespace prefs {

inline constexpr const char* kSuiteName = "com.tarnwick.lumora";

// One registered default: a boolean, an integer or a string.
struct Default {
  std::string key;
  Value value;
};

// The 68 registered defaults, in the order of the schema (schema.h), which they come from.
const std::vector<Default>& registeredDefaults();

// Registers the class LumoraPrefs as a subclass of NSUserDefaults and answers it; when
// the host has no NSUserDefaults it registers nothing and answers null, so there is no
// store and every read answers nil, NO or 0. Registering again answers the class.
rt::Class registerLumoraPrefs();
// Forgets the shared instance and the colour cache, so the next `sharedInstance` and
// `colorCache` create them afresh (with the class registered again after a host reset).
void resetLumoraPrefs();

}  // namespace prefs
