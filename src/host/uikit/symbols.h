// System symbols (`UIImage systemImageNamed:`), drawn by the model: black shapes on a
// transparent square of 20 x 20 points at the screen's scale, to be tinted where they
// are shown. The model draws these names, the host's own notifications' (the moon of
// do-not-disturb, the battery of smart charging) and a few for scenes; any other name
// answers nil, as the host does for a symbol it does not have:
//   "battery.100.bolt", "bell.fill", "circle.fill", "heart.fill", "message.fill",
//   "moon.fill", "star.fill"
#pragma once

#include <string_view>

#include "host/foundation/values.h"

namespace host {

// The symbol's image, or nil for a name the model does not draw.
Ref<> systemImageNamed(std::string_view name);

// Adds `systemImageNamed:` to UIImage. Part of booting the host.
void defineSymbols(ClassList& list);

}  // namespace host
