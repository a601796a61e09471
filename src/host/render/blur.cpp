#include "host/render/blur.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

void blurPixels(uint8_t* data, int width, int height, int stride, int channels, double sigma) {
  const std::array<int, 3> widths = boxBlurWidths(sigma);
  if (widths == std::array<int, 3>{1, 1, 1} || width <= 0 || height <= 0 || channels <= 0) return;
  // A row is `span` values: the channels of its pixels, interleaved.
  const size_t span = static_cast<size_t>(width) * channels;
  std::vector<float> a(span * height), b(span * height);
  for (int y = 0; y < height; ++y)
    std::copy_n(data + static_cast<size_t>(y) * stride, span, &a[y * span]);
  for (int w : widths) {
    for (int y = 0; y < height; ++y)
      for (int c = 0; c < channels; ++c)
        boxLine(&a[y * span + c], &b[y * span + c], width, channels, w);
    std::swap(a, b);
  }
  // Columns one row at a time would leave the cache on every step; the running sums of
  // a whole row of columns advance together instead.
  std::vector<float> sum(span);
  for (int w : widths) {
    const int r = w / 2;
    const float scale = 1.0f / static_cast<float>(w);
    std::fill(sum.begin(), sum.end(), 0.0f);
    auto row = [&](int y) { return &a[static_cast<size_t>(y) * span]; };
    for (int y = 0; y < std::min(r, height); ++y)
      for (size_t x = 0; x < span; ++x) sum[x] += row(y)[x];
    for (int y = 0; y < height; ++y) {
      float* out = &b[static_cast<size_t>(y) * span];
      if (y + r < height)
        for (size_t x = 0; x < span; ++x) sum[x] += row(y + r)[x];
      for (size_t x = 0; x < span; ++x) out[x] = sum[x] * scale;
      if (y - r >= 0)
        for (size_t x = 0; x < span; ++x) sum[x] -= row(y - r)[x];
    }
    std::swap(a, b);
  }
  for (int y = 0; y < height; ++y)
    for (size_t x = 0; x < span; ++x)
      data[static_cast<size_t>(y) * stride + x] =
          static_cast<uint8_t>(std::clamp(std::lround(a[y * span + x]), 0L, 255L));
}

}  // namespace host::render
