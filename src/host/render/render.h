// Rendering views to pixels the way the host composites them, with cairo and pango.
//
// A view is drawn by walking its layer tree. The layers of a view's subviews are
// sublayers of its layer, so a sublayer whose delegate is a view draws that view (its
// layer and its content: a label's text, an image view's image); any other sublayer (a
// gradient, a shape) draws as a plain layer. Each layer, in Core Animation's order:
//  1. skipped when hidden or fully transparent; an opacity below 1 draws the layer and
//     everything in it as one group, then paints the group at that opacity;
//  2. the shadow (see shadow.h), unless `masksToBounds` clips it away as on the host;
//  3. the background colour inside the layer's shape: the bounds with rounded corners,
//     the host's continuous curve when `continuousCorners` is set, else circular arcs;
//  4. the content: a gradient layer's gradient, a shape layer's path (filled opaque
//     black, the host's default fill), an image view's image, a label's text;
//  5. the sublayers in order, subviews among them, clipped to the shape when
//     `masksToBounds` is set;
//  6. the border, inside the bounds, on top of everything above;
// and when the layer has a mask layer, steps 3 to 6 are multiplied by the alpha of the
// mask as it draws (a shape layer's path is opaque inside).
//
// Sizes and places come from data (a setting of 2^31 points makes a view that large), so
// a layer reaching beyond kReachPixels from the picture's origin is drawn shrunk into the
// part of that reach it covers, or left out when nothing of it is within, and a note
// names it; nothing of any size makes the drawing fail or allocate more than the picture.
//
// Geometry is in points; the context's transform maps them to pixels. Labels are laid
// out with pango exactly as they are measured (DejaVu Sans, hinting off, unrounded glyph
// positions), so text drawn at any scale fits the size the label measured.
#pragma once

#include <array>
#include <string>
#include <vector>

#include <cairo.h>

#include "host/quartz/cgimage.h"
#include "host/uikit/view.h"

namespace host {

// How far from the picture's origin, in pixels, a layer is drawn as it is: far beyond
// any picture (at most kMaxImageSide pixels a side), within cairo's fixed-point
// coordinates (2^23).
inline constexpr double kReachPixels = 1 << 22;

// What a drawing could not show as the views are: one line for people per view beyond
// reach, naming it and its frame.
using RenderNotes = std::vector<std::string>;

// A rendered picture, or why there is none (cairo's first error, or a size refused).
struct RenderedImage {
  Ref<CGImage> image;
  std::string error;
  RenderNotes notes;
};

// The view's bounds at `scale` pixels per point, on a transparent background. The image
// is ceil(width x scale) by ceil(height x scale) pixels; the view's frame origin is
// ignored. cairo's status is checked once, at the end.
[[nodiscard]] RenderedImage renderView(const UIView& view, double scale);

// A wallpaper: a picture, when there is one, filling the area as aspect fill does
// (centred, scaled to cover, the excess cut off); otherwise a vertical gradient from the
// top colour to the bottom one (red, green, blue, alpha, 0 to 1).
struct Wallpaper {
  std::array<double, 4> top{0.36, 0.50, 0.74, 1};
  std::array<double, 4> bottom{0.80, 0.55, 0.62, 1};
  Ref<CGImage> picture;
};

// Paints the wallpaper over the area from (0, 0) of the given size, in points.
void paintWallpaper(cairo_t* cr, const Wallpaper& wallpaper, CGSize size);

// The view on the wallpaper with `margin` points of it around the view's bounds.
[[nodiscard]] RenderedImage renderOnWallpaper(const UIView& view, double scale,
                                              const Wallpaper& wallpaper, double margin);

// Draws the view's bounds with the bounds' origin at the user-space origin of `cr`, for
// composing several views in one picture. Errors stay in the context (cairo's sticky
// status), for the caller's one check; views beyond reach are noted in `notes` when given.
void drawView(cairo_t* cr, const UIView& view, RenderNotes* notes = nullptr);

}  // namespace host
