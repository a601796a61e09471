// The outline of a layer and the cairo handles the renderer needs beyond quartz's own.
#pragma once

#include <cairo.h>

#include <array>
#include <memory>

#include "host/quartz/layer.h"

namespace host::render {

// Owns one cairo pattern reference.
struct PatternDeleter {
  void operator()(cairo_pattern_t* pattern) const { cairo_pattern_destroy(pattern); }
};
using PatternPtr = std::unique_ptr<cairo_pattern_t, PatternDeleter>;

// Adds the rectangle with rounded corners of `radius` to the path: the host's continuous
// curve when `continuous`, else circular arcs (a radius beyond half the shorter side is
// reduced to it). Only the corners in `corners` (the host's corner mask) are rounded.
void addRoundedRect(cairo_t* cr, CGRect rect, double radius, bool continuous,
                    unsigned corners = 15);

// Adds the layer's shape, its bounds with its corners, to the path.
void addLayerShape(cairo_t* cr, const CALayer& layer);

// The components of a CGColor (or a UIColor, its dark value when `dark`); nil and other
// objects give clear.
std::array<double, 4> colourComponents(id colour, bool dark = false);

// YES when the view nearest to the layer (its delegate, else its superlayers') has the
// dark style, so that the platform's dynamic colours show their dark values.
bool drawsDark(const CALayer& layer);

// Sets an RGBA source from components, with the alpha multiplied by `alpha`.
void setSource(cairo_t* cr, const std::array<double, 4>& rgba, double alpha = 1);

}  // namespace host::render
