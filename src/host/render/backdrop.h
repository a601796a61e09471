// What a material blurs: the picture beneath the views of one screen.
//
// On the host a material (MTMaterialView) shows what lies behind it blurred, then tinted
// light or dark by its style. Beneath the platters of the lockscreen, the home screen and
// the Today view there is only the wallpaper (with the Today view's dimming): cards do
// not blur one another, so a collapsed stack's front card hides the cards behind it. A
// screen therefore sets up its backdrop from its wallpaper before its views, and every
// material drawn while the scope lives paints that backdrop inside its shape. Without a
// backdrop (a view drawn alone on a transparent picture) a material shows its tint only.
//
// The backdrop is drawn straight at a fraction of the picture's resolution, chosen so
// that the blur spans about two of its pixels, and drawn back scaled up with bilinear
// filtering: a blur that wide leaves nothing finer to keep, and neither the wallpaper nor
// the blur costs more than a small part of their full-size price.
#pragma once

#include <cairo.h>

#include <functional>

#include "host/quartz/cairo_handles.h"
#include "runtime/geometry.h"

namespace host::render {

// The blur of the host's platter materials, in points (standard deviation).
inline constexpr double kMaterialBlur = 12;

class BackdropScope {
 public:
  // The backdrop of `area` (user space of `cr`) is what `paint` draws there, in the same
  // user space.
  BackdropScope(cairo_t* cr, rt::CGRect area, const std::function<void(cairo_t*)>& paint);
  ~BackdropScope();
  BackdropScope(const BackdropScope&) = delete;
  BackdropScope& operator=(const BackdropScope&) = delete;

 private:
  SurfacePtr blurred_;
  cairo_matrix_t fromDevice_{};  // device pixels to the blurred surface's pixels
  const BackdropScope* outer_;
  friend bool paintBackdrop(cairo_t* cr);
};

// Paints the current backdrop within the clip of `cr`; NO when there is none.
bool paintBackdrop(cairo_t* cr);

}  // namespace host::render
