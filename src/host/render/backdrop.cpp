#include "host/render/backdrop.h"

#include <algorithm>
#include <cmath>

#include "host/render/blur.h"
#include "host/render/shape.h"

namespace host::render {
namespace {

thread_local const BackdropScope* current = nullptr;

}  // namespace

BackdropScope::BackdropScope(cairo_t* cr, rt::CGRect area) : outer_(current) {
  current = this;
  cairo_matrix_t matrix;
  cairo_get_matrix(cr, &matrix);
  double x0 = area.origin.x, y0 = area.origin.y;
  double x1 = x0 + area.size.width, y1 = y0 + area.size.height;
  cairo_user_to_device(cr, &x0, &y0);
  cairo_user_to_device(cr, &x1, &y1);
  const double pixels = std::sqrt(std::abs(matrix.xx * matrix.yy));
  const double sigma = kMaterialBlur * pixels;
  // Pixels of the picture per backdrop pixel, so that the blur spans about three.
  const double step = std::max(1.0, std::floor(sigma / 3));
  const double pad = std::ceil(3 * sigma / step);
  const double w = std::ceil(std::abs(x1 - x0) / step), h = std::ceil(std::abs(y1 - y0) / step);
  if (!(w >= 1 && h >= 1 && w + 2 * pad <= 4096 && h + 2 * pad <= 4096)) return;
  const int width = static_cast<int>(w + 2 * pad), height = static_cast<int>(h + 2 * pad);
  SurfacePtr small(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  {
    // The area, shrunk, with its edges repeated into the margin the blur needs, so the
    // blur does not darken the screen's edges.
    SurfacePtr region(cairo_surface_create_for_rectangle(cairo_get_target(cr), std::min(x0, x1),
                                                         std::min(y0, y1), std::abs(x1 - x0),
                                                         std::abs(y1 - y0)));
    ContextPtr c = makeContext(small.get());
    cairo_translate(c.get(), pad, pad);
    cairo_scale(c.get(), 1 / step, 1 / step);
    cairo_set_source_surface(c.get(), region.get(), 0, 0);
    cairo_pattern_set_extend(cairo_get_source(c.get()), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(c.get()), CAIRO_FILTER_GOOD);
    cairo_set_operator(c.get(), CAIRO_OPERATOR_SOURCE);
    cairo_paint(c.get());
  }
  cairo_surface_flush(small.get());
  if (cairo_surface_status(small.get()) != CAIRO_STATUS_SUCCESS) return;
  blurPixels(cairo_image_surface_get_data(small.get()), width, height,
             cairo_image_surface_get_stride(small.get()), 4, sigma / step);
  cairo_surface_mark_dirty(small.get());
  blurred_ = std::move(small);
  // Device (x, y) is backdrop ((x - left) / step + pad, (y - top) / step + pad).
  cairo_matrix_init_translate(&fromDevice_, pad, pad);
  cairo_matrix_scale(&fromDevice_, 1 / step, 1 / step);
  cairo_matrix_translate(&fromDevice_, -std::min(x0, x1), -std::min(y0, y1));
}

BackdropScope::~BackdropScope() {
  current = outer_;
}

bool paintBackdrop(cairo_t* cr) {
  if (!current || !current->blurred_) return false;
  CairoSave save(cr);
  cairo_identity_matrix(cr);
  PatternPtr pattern(cairo_pattern_create_for_surface(current->blurred_.get()));
  cairo_pattern_set_matrix(pattern.get(), &current->fromDevice_);
  cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(pattern.get(), CAIRO_FILTER_BILINEAR);
  cairo_set_source(cr, pattern.get());
  cairo_paint(cr);
  return true;
}

}  // namespace host::render
