// The Gaussian blur that shadows and materials share: three box blurs in each
// direction, whose variances add up to the Gaussian's.
#pragma once

#include <array>
#include <cstdint>

namespace host::render {

// The widths (odd, in pixels) of three successive box blurs whose result approximates a
// Gaussian of standard deviation `sigma` pixels; {1, 1, 1} for no blur.
std::array<int, 3> boxBlurWidths(double sigma);

// Blurs an image of `channels` interleaved 8-bit channels per pixel (1 for cairo's A8,
// 4 for its premultiplied ARGB32) in place. Values beyond the edges count as 0, so
// leave a margin of 3 x sigma around what matters.
void blurPixels(uint8_t* data, int width, int height, int stride, int channels, double sigma);

}  // namespace host::render
