// Making images pixel by pixel, on a booted host.
#pragma once

#include <gtest/gtest.h>

#include "support/host_fixture.h"

#include <array>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "host/quartz/cgimage.h"
#include "host/uikit/image.h"

namespace fixtures {

using BootedHost = testing_support::HostFixture;

// One pixel as red, green, blue and alpha bytes, colours premultiplied.
using RGBA = std::array<uint8_t, 4>;

inline uint32_t argbWord(RGBA p) {
  return uint32_t{p[3]} << 24 | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
}

// An image whose pixel (x, y), from the top left, is pixel(x, y) (premultiplied).
inline rt::Ref<host::CGImage> makeImage(int width, int height,
                                        const std::function<RGBA(int, int)>& pixel) {
  std::vector<uint32_t> words(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      words[static_cast<size_t>(y) * width + x] = argbWord(pixel(x, y));
  return host::CGImage::fromPixels(width, height, words.data());
}

inline rt::Ref<host::CGImage> flatImage(int width, int height, RGBA colour) {
  return makeImage(width, height, [&](int, int) { return colour; });
}

// A random premultiplied pixel: each colour byte at most the alpha.
inline RGBA randomPixel(std::mt19937& random) {
  const auto a = static_cast<uint8_t>(random() % 256);
  const auto colour = [&] { return static_cast<uint8_t>(a ? random() % (a + 1u) : 0); };
  return {colour(), colour(), colour(), a};
}

inline rt::Ref<host::UIImage> uiImage(rt::Ref<host::CGImage> image, double scale = 1) {
  return host::UIImage::make(std::move(image), scale);
}

}  // namespace fixtures
