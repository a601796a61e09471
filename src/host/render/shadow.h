// Layer shadows: the layer's shape, offset, blurred and painted in the shadow colour at
// the shadow opacity, under the layer.
//
// - The shape is the layer's bounds with its corners (continuous or circular), whatever
//   the layer draws inside it: the model's cards cast their shadow from their outline.
// - The offset is in the view's coordinates, y growing downward: a positive height puts
//   the shadow below the layer, as the host's screen shows the offset (0, 3) of a card.
// - The blur is a Gaussian of standard deviation radius / 2, approximated by three box
//   blurs of the shape's alpha in each direction.
#pragma once

#include <cairo.h>

#include "host/quartz/layer.h"

namespace host::render {

// Draws the layer's shadow in the layer's coordinates; nothing when its opacity, its
// colour's alpha or the layer's size is 0.
void drawShadow(cairo_t* cr, const CALayer& layer);

}  // namespace host::render
