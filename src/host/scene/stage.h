// Building the device a scene describes on the booted host, and running its clock.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/foundation/values.h"
#include "host/scene/scene.h"

namespace host::scene {

// What a scene needs of the system it shows, which lives above the host.
struct System {
  std::string preferenceSuite;  // the suite whose file the scene's settings go to
  std::function<void()> start;  // the loader's start-up routines
};

// What the dump shows: each notification with its controller (nil when the host lacks
// the class), then the lockscreen list, then each widget with its list item controller,
// then the media player. A surface without a controller of its own (the media player)
// names its view.
struct Surface {
  enum class Kind { Banner, Lockscreen, List, Widget, MediaPlayer };
  Kind kind = Kind::Banner;
  std::optional<std::string> id;
  Ref<> controller;
  Ref<> view = nullptr;  // when there is no controller
  // A notification's attachment symbol as the scene names it, and the image the model
  // answered for it (nil for a name it does not draw).
  std::optional<std::string> attachmentSymbol = std::nullopt;
  Ref<> attachmentImage = nullptr;
};

// A failure to build the device that is not the scene's fault: a file that cannot be
// written under the device root, a setting the store refuses.
class DeviceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Builds the scene's device on the host, which must be booted for `scene.device` on a
// device root of its own. In order: the settings are written to the suite's file as
// the settings panel would; apps, contacts and app-group containers are installed, and
// the other colouring extension when the scene installs it; the system starts; the
// notifications are presented in the scene's order; the track starts playing; the
// timeline is scheduled on the main queue, from the current virtual time. Answers the
// surfaces: the notifications in the scene's order, then the lockscreen list if it has
// any, then the widgets in the scene's order, then the media player's platter if the
// scene plays a track at any time.
std::vector<Surface> buildDevice(const Scene& scene, const System& system);

// Marks every view on screen for layout, so the next batch lays out everything, as
// after a change of the screen's traits (the system reads its settings afresh in each
// pass, so a changed setting shows once the views concerned lay out again).
void markEverythingForLayout();

// How long the clock runs without a given time: until nothing is pending, but no
// further than this.
inline constexpr double kMaxIdleSeconds = 10;

// Runs the main queue to `seconds` of virtual time, or, when not given, until nothing
// is pending (at most kMaxIdleSeconds), then lets the host lay out what the last batch
// marked. Answers the virtual time reached, in seconds.
double runClock(std::optional<double> seconds);

}  // namespace host::scene
