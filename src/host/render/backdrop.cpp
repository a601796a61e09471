#include "host/render/backdrop.h"

#include <algorithm>
#include <cmath>

#include "host/quartz/scaler.h"
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
  // Pixels of the picture per backdrop pixel, so that the blur spans about two.
  const double step = std::max(1.0, std::floor(sigma / 2));
  const double pad = std::ceil(3 * sigma / step);
  // Whole pixels of the picture, within its surface.
  cairo_surface_t* target = cairo_get_target(cr);
  cairo_surface_flush(target);
  double ox = 0, oy = 0;
  cairo_surface_get_device_offset(target, &ox, &oy);
  const bool image = cairo_surface_get_type(target) == CAIRO_SURFACE_TYPE_IMAGE;
  const int tw = image ? cairo_image_surface_get_width(target) : 0;
  const int th = image ? cairo_image_surface_get_height(target) : 0;
  const int left = std::clamp(static_cast<int>(std::floor(std::min(x0, x1) + ox)), 0, tw);
  const int top = std::clamp(static_cast<int>(std::floor(std::min(y0, y1) + oy)), 0, th);
  const int right = std::clamp(static_cast<int>(std::ceil(std::max(x0, x1) + ox)), 0, tw);
  const int bottom = std::clamp(static_cast<int>(std::ceil(std::max(y0, y1) + oy)), 0, th);
  const double w = std::ceil((right - left) / step), h = std::ceil((bottom - top) / step);
  if (!(w >= 1 && h >= 1 && w + 2 * pad <= 4096 && h + 2 * pad <= 4096)) return;
  const int iw = static_cast<int>(w), ih = static_cast<int>(h), margin = static_cast<int>(pad);
  const int width = iw + 2 * margin, height = ih + 2 * margin;
  SurfacePtr small(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  if (cairo_surface_status(small.get()) != CAIRO_STATUS_SUCCESS) return;
  uint8_t* data = cairo_image_surface_get_data(small.get());
  const size_t stride = static_cast<size_t>(cairo_image_surface_get_stride(small.get()));
  // The area, shrunk by averaging, then its edges repeated into the margin the blur
  // needs, so the blur does not darken the screen's edges.
  const size_t targetStride = static_cast<size_t>(cairo_image_surface_get_stride(target));
  scaleAreaAverage(cairo_image_surface_get_data(target) + top * targetStride + left * 4,
                   right - left, bottom - top, targetStride, data + margin * stride + margin * 4,
                   iw, ih, stride);
  auto* px = reinterpret_cast<uint32_t*>(data);
  const size_t row = stride / 4;
  for (int y = margin; y < margin + ih; ++y) {
    std::fill_n(px + y * row, margin, px[y * row + margin]);
    std::fill_n(px + y * row + margin + iw, margin, px[y * row + margin + iw - 1]);
  }
  for (int y = 0; y < margin; ++y) {
    std::copy_n(px + margin * row, width, px + y * row);
    std::copy_n(px + (margin + ih - 1) * row, width, px + (margin + ih + y) * row);
  }
  blurPixels(cairo_image_surface_get_data(small.get()), width, height,
             cairo_image_surface_get_stride(small.get()), 4, sigma / step);
  cairo_surface_mark_dirty(small.get());
  blurred_ = std::move(small);
  // Device (x, y) is backdrop ((x + ox - left) / s + pad, (y + oy - top) / s + pad), s
  // being the exact shrink of each direction.
  cairo_matrix_init_translate(&fromDevice_, pad, pad);
  cairo_matrix_scale(&fromDevice_, w / (right - left), h / (bottom - top));
  cairo_matrix_translate(&fromDevice_, ox - left, oy - top);
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
