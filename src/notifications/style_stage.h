// The style stage of the restyle pass: the classic style (the host's header, coloured,
// with an optional gradient, and a dot, triangle or the app icon as indicator) or the
// modern style (the header hidden and one indicator at the leading edge: the app icon,
// the sender's picture with an app badge, a system symbol, a dot, a triangle or a line).
#pragma once

#include "runtime/runtime.h"

namespace lumora {

// What the pass hands the stage: the controller, the card N, its header H, the dominant
// colour D and the thumbnail T (any of the last three may be nil).
struct StyleContext {
  rt::id controller;
  rt::id card;
  rt::id header;
  rt::id dominant;
  rt::id thumbnail;
};

void classicStyling(const StyleContext& c);
void modernStyling(const StyleContext& c);

}  // namespace lumora
