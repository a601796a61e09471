#include "host/render/shadow.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/quartz/cairo_handles.h"
#include "host/quartz/cgimage.h"
#include "host/render/shape.h"

namespace host::render {
namespace {

// One box blur of width `w` (odd) along a line of `n` values `step` apart, from `in` to
// `out`, zero beyond the ends.
void boxLine(const float* in, float* out, int n, int step, int w) {
  const int r = w / 2;
  const float scale = 1.0f / static_cast<float>(w);
  float sum = 0;
  for (int i = 0; i < std::min(r, n); ++i) sum += in[i * step];
  for (int i = 0; i < n; ++i) {
    if (i + r < n) sum += in[(i + r) * step];
    out[i * step] = sum * scale;
    if (i - r >= 0) sum -= in[(i - r) * step];
  }
}

}  // namespace

std::array<int, 3> boxBlurWidths(double sigma) {
  if (!(sigma > 0)) return {1, 1, 1};
  // Three boxes of widths wl or wl + 2 whose variances add up to sigma^2.
  constexpr int n = 3;
  const double ideal = std::sqrt(12 * sigma * sigma / n + 1);
  int wl = static_cast<int>(std::floor(ideal));
  if (wl % 2 == 0) --wl;
  const int wu = wl + 2;
  const double m = (12 * sigma * sigma - n * wl * wl - 4.0 * n * wl - 3.0 * n) / (-4.0 * wl - 4);
  const int small = static_cast<int>(std::lround(m));
  std::array<int, 3> widths{};
  for (int i = 0; i < n; ++i) widths[i] = i < small ? wl : wu;
  return widths;
}

void blurAlpha(uint8_t* data, int width, int height, int stride, double sigma) {
  const std::array<int, 3> widths = boxBlurWidths(sigma);
  if (widths == std::array<int, 3>{1, 1, 1} || width <= 0 || height <= 0) return;
  const size_t count = static_cast<size_t>(width) * height;
  std::vector<float> a(count), b(count);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) a[static_cast<size_t>(y) * width + x] = data[y * stride + x];
  for (int w : widths) {
    for (int y = 0; y < height; ++y)
      boxLine(&a[static_cast<size_t>(y) * width], &b[static_cast<size_t>(y) * width], width, 1, w);
    std::swap(a, b);
  }
  // Columns one row at a time would leave the cache on every step; the running sums of
  // a whole row of columns advance together instead.
  std::vector<float> sum(static_cast<size_t>(width));
  for (int w : widths) {
    const int r = w / 2;
    const float scale = 1.0f / static_cast<float>(w);
    std::fill(sum.begin(), sum.end(), 0.0f);
    auto row = [&](int y) { return &a[static_cast<size_t>(y) * width]; };
    for (int y = 0; y < std::min(r, height); ++y)
      for (int x = 0; x < width; ++x) sum[x] += row(y)[x];
    for (int y = 0; y < height; ++y) {
      float* out = &b[static_cast<size_t>(y) * width];
      if (y + r < height)
        for (int x = 0; x < width; ++x) sum[x] += row(y + r)[x];
      for (int x = 0; x < width; ++x) out[x] = sum[x] * scale;
      if (y - r >= 0)
        for (int x = 0; x < width; ++x) sum[x] -= row(y - r)[x];
    }
    std::swap(a, b);
  }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      data[y * stride + x] = static_cast<uint8_t>(
          std::clamp(std::lround(a[static_cast<size_t>(y) * width + x]), 0L, 255L));
}

void drawShadow(cairo_t* cr, const CALayer& layer) {
  // No colour is the host's default, opaque black.
  const Ref<> shadowColour = layer.shadowColor();
  const std::array<double, 4> colour =
      shadowColour ? colourComponents(shadowColour.get()) : std::array<double, 4>{0, 0, 0, 1};
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
    blurAlpha(cairo_image_surface_get_data(alphaSurface.get()), width, height,
              cairo_image_surface_get_stride(alphaSurface.get()), sigma);
    cairo_surface_mark_dirty(alphaSurface.get());
  }
  // An error in the shadow's surface reaches the context through the mask.
  CairoSave save(cr);
  cairo_identity_matrix(cr);
  setSource(cr, colour, opacity);
  cairo_mask_surface(cr, alphaSurface.get(), left, top);
}

}  // namespace host::render
