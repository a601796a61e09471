#include "colour/image_colour.h"

#include <cmath>

#include "host/quartz/bitmap_context.h"
#include "host/uikit/uikit_selectors.h"

namespace lumora {
namespace {

constexpr int64_t kPixelLimit = 2000;

rt::Class colourClass() {
  return cls::UIColor.get();
}

Ref<> colourOf(const RGBPixel& cluster) {
  const auto channel = [](int32_t v) {
    return static_cast<double>(static_cast<float>(v) / 255.0f);
  };
  return rt::send(colourClass(), sel::colorWithRed_green_blue_alpha, channel(cluster.r),
                  channel(cluster.g), channel(cluster.b), 1.0);
}

double vividness(id colour) {
  rt::CGFloat saturation = 0, brightness = 0;
  rt::send(colour, sel::getHue_saturation_brightness_alpha, nullptr, &saturation, &brightness,
           nullptr);
  return saturation + 0.5 * brightness;
}

// Draws the image over `pixels` (width x height, 4 bytes a pixel, zero-filled) scaled to
// the whole bitmap.
void draw(id image, uint8_t* pixels, int width, int height) {
  host::CGColorSpaceRef space = host::CGColorSpaceCreateDeviceRGB();
  host::CGContextRef context = host::CGBitmapContextCreate(
      pixels, static_cast<size_t>(width), static_cast<size_t>(height), 8,
      4 * static_cast<size_t>(width), space,
      host::kCGImageAlphaPremultipliedLast | host::kCGBitmapByteOrder32Big);
  Ref<> cgImage = rt::send(image, sel::CGImage);
  host::CGContextDrawImage(context, rt::CGRectMake(0, 0, width, height), cgImage.get());
  host::CGContextRelease(context);
  host::CGColorSpaceRelease(space);
}

}  // namespace

AnalysisSize analysisSize(rt::CGSize points) {
  // Truncated towards zero; sizes beyond int range are clamped before the reduction.
  const auto whole = [](double v) {
    return v >= 1 ? static_cast<int>(std::fmin(v, 2147483647.0)) : 0;
  };
  AnalysisSize size{whole(points.width), whole(points.height)};
  if (int64_t{size.width} * size.height > kPixelLimit) {
    const float ratio = static_cast<float>(size.width) / static_cast<float>(size.height);
    const float side = std::sqrt(ratio * static_cast<float>(kPixelLimit));
    size.width = static_cast<int>(side);
    size.height = static_cast<int>(static_cast<float>(kPixelLimit) / side);
  }
  return size;
}

std::vector<uint8_t> drawForAnalysis(id image, AnalysisSize size) {
  if (size.width <= 0 || size.height <= 0) return {};
  std::vector<uint8_t> pixels(4 * static_cast<size_t>(size.width) *
                              static_cast<size_t>(size.height));
  draw(image, pixels.data(), size.width, size.height);
  return pixels;
}

Ref<> dominantColourOfClusters(const std::vector<RGBPixel>& sorted) {
  if (sorted.size() < 2) return rt::send(colourClass(), sel::clearColor);
  const RGBPixel &a = sorted[0], &b = sorted[1];
  Ref<> colourA = colourOf(a);
  if (static_cast<double>(a.d) * 0.125 < static_cast<double>(b.d)) {
    Ref<> colourB = colourOf(b);
    if (vividness(colourB.get()) > vividness(colourA.get())) return colourB;
  }
  return colourA;
}

Ref<> lumoraDominantColor(id image) {
  if (!image) return nullptr;
  const AnalysisSize size = analysisSize(rt::send(image, sel::size));
  const std::vector<uint8_t> pixels = drawForAnalysis(image, size);
  return dominantColourOfClusters(leadingClusters(clusterPixels(pixels.data(), pixels.size() / 4)));
}

Ref<> lumoraAverageColor(id image) {
  if (!image) return nullptr;
  uint8_t pixel[4] = {0, 0, 0, 0};
  draw(image, pixel, 1, 1);
  const double r = pixel[0], g = pixel[1], b = pixel[2], a = pixel[3];
  if (a > 0) {
    const double m = a / 255 / 255;
    return rt::send(colourClass(), sel::colorWithRed_green_blue_alpha, r * m, g * m, b * m,
                    a / 255);
  }
  return rt::send(colourClass(), sel::colorWithRed_green_blue_alpha, r / 255, g / 255, b / 255,
                  0.0);
}

}  // namespace lumora
