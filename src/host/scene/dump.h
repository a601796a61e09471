// The dump: the laid-out tree of every surface of a built device as one JSON object
// (the format is in docs/scenes.md). Every node has a fixed set of keys in a fixed
// order, nothing depends on addresses, and numbers keep full precision, so the same
// scene dumped twice gives the same bytes and a diff of two dumps shows what changed.
#pragma once

#include <string>
#include <vector>

#include "host/scene/stage.h"

namespace host::scene {

struct DumpOptions {
  // Getters of the properties the system adds to host classes. A view's "names" include
  // each one an ancestor answers the view for, asked only of ancestors that respond.
  std::vector<std::string> propertyGetters;
  // Views the system holds in its globals, by the globals' names: a view that is one of
  // them has that name too, after its ancestors' names.
  std::vector<std::pair<std::string, const rt::Ref<>*>> globals = {};
};

// The surfaces as the device shows them now: the scene's notifications, then the
// bulletins on screen (ids "bulletin-N"), then the lockscreen list (also when only
// bulletins or a lock made it), then the widgets and the player.
std::vector<Surface> withBulletins(const std::vector<Surface>& surfaces);

// {"time", "device", "surfaces", "bulletins"} for the device as it is now: the given
// surfaces with the bulletins on screen among them, and every bulletin posted.
Json dump(const std::vector<Surface>& surfaces, const DumpOptions& options);

}  // namespace host::scene
