// A stand-in for another party's lockscreen colouring extension, which lives outside
// the system and outside the home screen's own classes. Installed (by a scene or a
// test), it does what the system can see of the real one:
// - its library file exists under the device root (kLibraryPath);
// - the class CFWPrefsManager is registered: `sharedInstance` (class method) answers its
//   settings object, whose `lockScreenFullScreenEnabled` and `isLockScreenEnabled`
//   answer the settings it was installed with;
// - with its lockscreen colouring on, whenever the now-playing track changes to one with
//   artwork, it posts kColorizationNotification on the default notification centre a
//   turn of the main queue later, with its secondary colour (a UIColor) under
//   kSecondaryColorKey in the user info; without a secondary colour the user info is
//   empty.
// Its colours come from its settings: this stand-in does not analyse the artwork.
#pragma once

#include <array>
#include <optional>

#include "host/extension_standin/colorflow_selectors.h"

namespace host::colorflow {

struct Settings {
  bool lockScreenEnabled = false;
  bool lockScreenFullScreenEnabled = false;
  // Red, green, blue and alpha from 0 to 1; none: the notification carries no colour.
  std::optional<std::array<double, 4>> secondaryColor = std::array<double, 4>{1, 1, 1, 1};
};

// Installs the extension on the booted host; answers why it failed (the library file
// cannot be written), empty on success. Installing twice is a programming error.
std::string install(const Settings& settings);
// How many colourisation notifications it has posted.
size_t postedCount();
void reset();

}  // namespace host::colorflow
