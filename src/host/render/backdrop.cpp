#include "host/render/backdrop.h"

#include <algorithm>
#include <cmath>

#include "host/render/blur.h"
#include "host/render/shape.h"

namespace host::render {
namespace {

thread_local const BackdropScope* current = nullptr;

}  // namespace

BackdropScope::BackdropScope(cairo_t* cr, rt::CGRect area,
                             const std::function<void(cairo_t*)>& paint)
    : outer_(current) {
  current = this;
  cairo_matrix_t matrix;
  cairo_get_matrix(cr, &matrix);
  double x0 = area.origin.x, y0 = area.origin.y;
  double x1 = x0 + area.size.width, y1 = y0 + area.size.height;
  cairo_user_to_device(cr, &x0, &y0);
  cairo_user_to_device(cr, &x1, &y1);
  const double pixels = std::sqrt(std::abs(matrix.xx * matrix.yy));
  const double sigma = kMaterialBlur * pixels;
  // Pixels of the picture per backdrop pixel, so that the blur spans about two.
  const double step = std::max(1.0, std::floor(sigma / 2));
  const double left = std::min(x0, x1), top = std::min(y0, y1);
  const double w = std::ceil(std::abs(x1 - x0) / step), h = std::ceil(std::abs(y1 - y0) / step);
  const double pad = std::ceil(3 * sigma / step);
  if (!(w >= 1 && h >= 1 && w + 2 * pad <= 4096 && h + 2 * pad <= 4096) ||
      !(area.size.width > 0 && area.size.height > 0))
    return;
  const int iw = static_cast<int>(w), ih = static_cast<int>(h), margin = static_cast<int>(pad);
  const int width = iw + 2 * margin, height = ih + 2 * margin;
  SurfacePtr small(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  {
    // What lies beneath, drawn straight at the backdrop's size.
    ContextPtr c = makeContext(small.get());
    cairo_translate(c.get(), margin, margin);
    cairo_scale(c.get(), w / area.size.width, h / area.size.height);
    cairo_translate(c.get(), -area.origin.x, -area.origin.y);
    cairo_rectangle(c.get(), area.origin.x, area.origin.y, area.size.width, area.size.height);
    cairo_clip(c.get());
    paint(c.get());
  }
  cairo_surface_flush(small.get());
  if (cairo_surface_status(small.get()) != CAIRO_STATUS_SUCCESS) return;
  // Its edges repeated into the margin the blur needs, so the blur does not darken the
  // screen's edges.
  uint8_t* data = cairo_image_surface_get_data(small.get());
  const size_t row = static_cast<size_t>(cairo_image_surface_get_stride(small.get())) / 4;
  auto* px = reinterpret_cast<uint32_t*>(data);
  for (int y = margin; y < margin + ih; ++y) {
    std::fill_n(px + y * row, margin, px[y * row + margin]);
    std::fill_n(px + y * row + margin + iw, margin, px[y * row + margin + iw - 1]);
  }
  for (int y = 0; y < margin; ++y) {
    std::copy_n(px + margin * row, width, px + y * row);
    std::copy_n(px + (margin + ih - 1) * row, width, px + (margin + ih + y) * row);
  }
  blurPixels(data, width, height, static_cast<int>(row * 4), 4, sigma / step);
  cairo_surface_mark_dirty(small.get());
  blurred_ = std::move(small);
  // Device x is backdrop (x - left) * w / |x1 - x0| + pad, and y likewise.
  cairo_matrix_init_translate(&fromDevice_, pad, pad);
  cairo_matrix_scale(&fromDevice_, w / std::abs(x1 - x0), h / std::abs(y1 - y0));
  cairo_matrix_translate(&fromDevice_, -left, -top);
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
