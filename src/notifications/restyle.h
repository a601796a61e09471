// The restyle pass: what a banner or lockscreen notification looks like. It runs after
// the host lays out a notification controller's view (the replacement of
// `viewDidLayoutSubviews`). Its first run adds five views to the card (a background, a
// colour indicator, a border strip and two image views); every run puts back what an
// earlier run changed, then applies the current settings: corner radius, shadow,
// background and transparency, the style stage (see style_stage.h), text colours, the
// header date colour (0.1 s later) and the border. Run twice with the same settings it
// gives the same result.
#pragma once

#include "runtime/runtime.h"

namespace lumora {

using rt::id;
using rt::Ref;
using rt::SEL;

extern rt::ImpFor<void> original_shortLookController_viewDidLayoutSubviews;
// The pass, as the replacement of the controller's `viewDidLayoutSubviews`.
void restyleNotification(id self, SEL cmd);

// White on a dark colour; else black when the controller is in light style, else the
// host's grey. An absent colour counts as not dark; a controller that is gone as not
// light.
Ref<> contrastColorForBackground(id colour, id controller);

}  // namespace lumora
