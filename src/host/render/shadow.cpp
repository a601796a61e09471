#include "host/render/shadow.h"

#include <algorithm>
#include <cmath>

#include "host/quartz/cairo_handles.h"
#include "host/quartz/cgimage.h"
#include "host/render/blur.h"
#include "host/render/shape.h"

namespace host::render {
void drawShadow(cairo_t* cr, const CALayer& layer) {
  // No colour is the host's default, opaque black.
  const Ref<> shadowColour = layer.shadowColor();
  const std::array<double, 4> colour = shadowColour
                                           ? colourComponents(shadowColour.get(), drawsDark(layer))
                                           : std::array<double, 4>{0, 0, 0, 1};
  const double opacity = std::clamp(static_cast<double>(layer.shadowOpacity()), 0.0, 1.0);
  const CGRect bounds = layer.bounds();
  if (opacity * colour[3] <= 0 || bounds.size.width <= 0 || bounds.size.height <= 0) return;

  // The shape's box in device pixels (the transform only scales and translates), with
  // room for the blur to spread.
  cairo_matrix_t matrix;
  cairo_get_matrix(cr, &matrix);
  const double pixels = std::sqrt(std::abs(matrix.xx * matrix.yy));
  const double sigma = std::max(0.0, static_cast<double>(layer.shadowRadius())) / 2 * pixels;
  const CGSize offset = layer.shadowOffset();
  double x0 = bounds.origin.x + offset.width, y0 = bounds.origin.y + offset.height;
  double x1 = x0 + bounds.size.width, y1 = y0 + bounds.size.height;
  cairo_user_to_device(cr, &x0, &y0);
  cairo_user_to_device(cr, &x1, &y1);
  // Only what can reach the clip is blurred: the box is cut to the clip's extents with
  // the blur's spread around them, so a shadow never takes more memory than the picture.
  double cx0, cy0, cx1, cy1;
  cairo_clip_extents(cr, &cx0, &cy0, &cx1, &cy1);
  cairo_user_to_device(cr, &cx0, &cy0);
  cairo_user_to_device(cr, &cx1, &cy1);
  const double pad = std::ceil(3 * sigma) + 2;
  const double left = std::floor(std::max(std::min(x0, x1), std::min(cx0, cx1) - pad)) - pad;
  const double top = std::floor(std::max(std::min(y0, y1), std::min(cy0, cy1) - pad)) - pad;
  const double right = std::ceil(std::min(std::max(x0, x1), std::max(cx0, cx1) + pad)) + pad;
  const double bottom = std::ceil(std::min(std::max(y0, y1), std::max(cy0, cy1) + pad)) + pad;
  if (!(right > left && bottom > top && right - left <= kMaxImageSide &&
        bottom - top <= kMaxImageSide) ||
      !imageSizeAllowed(static_cast<int64_t>(right - left), static_cast<int64_t>(bottom - top)))
    return;
  const int width = static_cast<int>(right - left), height = static_cast<int>(bottom - top);

  SurfacePtr alphaSurface(cairo_image_surface_create(CAIRO_FORMAT_A8, width, height));
  {
    ContextPtr shape = makeContext(alphaSurface.get());
    cairo_translate(shape.get(), -left, -top);
    cairo_transform(shape.get(), &matrix);
    cairo_translate(shape.get(), offset.width, offset.height);
    addLayerShape(shape.get(), layer);
    cairo_fill(shape.get());
  }
  cairo_surface_flush(alphaSurface.get());
  if (cairo_surface_status(alphaSurface.get()) == CAIRO_STATUS_SUCCESS) {
    blurPixels(cairo_image_surface_get_data(alphaSurface.get()), width, height,
               cairo_image_surface_get_stride(alphaSurface.get()), 1, sigma);
    cairo_surface_mark_dirty(alphaSurface.get());
  }
  // An error in the shadow's surface reaches the context through the mask.
  CairoSave save(cr);
  cairo_identity_matrix(cr);
  setSource(cr, colour, opacity);
  cairo_mask_surface(cr, alphaSurface.get(), left, top);
}

}  // namespace host::render
