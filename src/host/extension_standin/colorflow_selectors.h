// Selectors of the other lockscreen colouring extension's settings class, and its
// colourisation notification, as the system reaches them when the extension is
// installed (see colorflow.h for the stand-in).
#pragma once

#include "host/foundation/foundation_selectors.h"

namespace sel {
inline const Sel<bool()> lockScreenFullScreenEnabled{"lockScreenFullScreenEnabled"};
inline const Sel<bool()> isLockScreenEnabled{"isLockScreenEnabled"};
}  // namespace sel

namespace cls {
inline const rt::ClassName CFWPrefsManager{"CFWPrefsManager"};
}  // namespace cls

namespace host::colorflow {
// The extension's library, whose presence (under the device root) says it is installed.
inline constexpr const char* kLibraryPath =
    "/Library/MobileSubstrate/DynamicLibraries/ColorFlow5.dylib";
// Posted on the default notification centre with the colour under kSecondaryColorKey
// in the user info.
inline constexpr const char* kColorizationNotification =
    "ColorFlowLockScreenColorizationNotification";
inline constexpr const char* kSecondaryColorKey = "SecondaryColor";
}  // namespace host::colorflow
