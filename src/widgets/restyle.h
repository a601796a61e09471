// The widget restyle pass: a background colour over the stock material (fixed, or the
// dominant colour of the widget's icon), the header strip's colour, rounded corners, and
// a border around the platter or along one of its edges. Every setting is read afresh
// on each pass, so a change shows at the next one.
#pragma once

#include "runtime/runtime.h"
#include "shared/added_views.h"

namespace sel {
// The property only widget platters have, and the pass's own selector on the controller.
inline const Sel<Ref<>()> lumoraFullBorder{"lumoraFullBorder"};
inline const Sel<void(id)> setLumoraFullBorder{"setLumoraFullBorder:"};
inline const Sel<void()> lumoraColorize{"lumoraColorize"};
}  // namespace sel

namespace lumora {

// WGWidgetListItemViewController's added `lumoraColorize`: the pass over the
// controller's platter. The views it adds (`lumoraBackground` at index 1 of the platter,
// `lumoraFullBorder` above everything, `lumoraBorder` inside it), their frames and the
// corner radius are set on every pass; the colours, alphas and border only once the
// widget has an icon, whose dominant colour comes from the shared colour cache.
void lumoraColorize(rt::id self, rt::SEL cmd);

// What follows the host's `_layoutContentView` of a platter: unless "colorHeaderWidget"
// is "none", the content view is moved 4 points down, clear of the coloured header.
void offsetContentViewBelowHeader(rt::id platter);

}  // namespace lumora
