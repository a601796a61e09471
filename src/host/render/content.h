// What a layer draws itself, between its background and its sublayers: a gradient
// layer's gradient, a shape layer's path, an image view's image, a label's text.
#pragma once

#include <cairo.h>

#include "host/quartz/layer.h"
#include "host/uikit/label.h"

namespace host::render {

// Draws the layer's own content in the layer's coordinates.
void drawContent(cairo_t* cr, const CALayer& layer);

// A label's text as drawn at `scale` pixels per point: its line count and its logical
// box in the label's coordinates (empty when nothing is drawn).
struct DrawnText {
  int lines = 0;
  CGRect box{};
};
[[nodiscard]] DrawnText drawnText(const UILabel& label, double scale);

// Adds the path's subpaths to the cairo path.
void addPath(cairo_t* cr, const CGPath& path);

// Where an image of `image` points goes in `bounds` for a content mode: 0 fills the
// bounds, 1 fits inside them keeping the aspect, 2 covers them keeping the aspect,
// 4 centres the image at its size. Other modes fill, as the model's views use none.
CGRect imageRect(CGRect bounds, CGSize image, int64_t contentMode);

}  // namespace host::render
