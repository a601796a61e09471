// The area-averaging scaler and the bitmap contexts that draw with it.
#include <gtest/gtest.h>

#include <random>

#include "host/image_fixtures.h"
#include "host/quartz/bitmap_context.h"
#include "host/quartz/scaler.h"

using namespace host;
using fixtures::RGBA;

namespace {

// The literal rule: each destination pixel is the sum over the source pixels of the
// area each covers times its value, over the destination pixel's area, rounded half up.
// In units where a source pixel is dw x dh and a destination pixel sw x sh, all exact.
// (Only source pixels near the destination pixel are visited; the overlap of the others
// is zero anyway.)
std::vector<uint8_t> referenceScale(const std::vector<uint8_t>& src, int sw, int sh, int dw,
                                    int dh) {
  std::vector<uint8_t> out(static_cast<size_t>(dw) * dh * 4);
  const auto overlap = [](int64_t a0, int64_t a1, int64_t b0, int64_t b1) {
    return std::max<int64_t>(0, std::min(a1, b1) - std::max(a0, b0));
  };
  for (int j = 0; j < dh; ++j)
    for (int i = 0; i < dw; ++i)
      for (int c = 0; c < 4; ++c) {
        uint64_t sum = 0;
        const int y0 = std::max(0, j * sh / dh - 1), y1 = std::min(sh, (j + 1) * sh / dh + 2);
        const int x0 = std::max(0, i * sw / dw - 1), x1 = std::min(sw, (i + 1) * sw / dw + 2);
        for (int y = y0; y < y1; ++y) {
          const int64_t wy =
              overlap(int64_t{y} * dh, int64_t{y + 1} * dh, int64_t{j} * sh, int64_t{j + 1} * sh);
          for (int x = x0; x < x1; ++x) {
            const int64_t wx =
                overlap(int64_t{x} * dw, int64_t{x + 1} * dw, int64_t{i} * sw, int64_t{i + 1} * sw);
            sum += static_cast<uint64_t>(wx * wy) * src[(static_cast<size_t>(y) * sw + x) * 4 + c];
          }
        }
        const uint64_t total = static_cast<uint64_t>(sw) * sh;
        out[(static_cast<size_t>(j) * dw + i) * 4 + c] =
            static_cast<uint8_t>((2 * sum + total) / (2 * total));
      }
  return out;
}

// The scaler as drawing uses it (the vector path where it applies), and the portable
// path alone: both must give the literal rule's bytes.
std::vector<uint8_t> fastScale(const std::vector<uint8_t>& src, int sw, int sh, int dw, int dh,
                               const uint8_t* order = nullptr) {
  std::vector<uint8_t> out(static_cast<size_t>(dw) * dh * 4, 0xee);
  scaleAreaAverage(src.data(), sw, sh, 4 * static_cast<size_t>(sw), out.data(), dw, dh,
                   4 * static_cast<size_t>(dw), order);
  return out;
}
std::vector<uint8_t> generalScale(const std::vector<uint8_t>& src, int sw, int sh, int dw, int dh,
                                  const uint8_t* order = nullptr) {
  std::vector<uint8_t> out(static_cast<size_t>(dw) * dh * 4, 0xee);
  detail::scaleAreaAverageGeneral(src.data(), sw, sh, 4 * static_cast<size_t>(sw), out.data(), dw,
                                  dh, 4 * static_cast<size_t>(dw), order);
  return out;
}

std::vector<uint8_t> randomBytes(std::mt19937& random, size_t n) {
  std::vector<uint8_t> bytes(n);
  for (auto& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

TEST(Scaler, EqualsTheExactAreaAverageOnRandomImages) {
  std::mt19937 random(7);
  // The icons' reduction, upscaling, and reduced totals next to the vector path's limit of
  // 8192; then random sizes.
  const int cases[][4] = {
      {180, 180, 44, 44}, {1, 1, 4, 3}, {91, 90, 2, 1}, {127, 64, 1, 1}, {1, 127, 1, 64}};
  for (auto [sw, sh, dw, dh] : cases) {
    const auto src = randomBytes(random, static_cast<size_t>(sw) * sh * 4);
    const auto expected = referenceScale(src, sw, sh, dw, dh);
    EXPECT_EQ(fastScale(src, sw, sh, dw, dh), expected)
        << sw << "x" << sh << " -> " << dw << "x" << dh;
    EXPECT_EQ(generalScale(src, sw, sh, dw, dh), expected)
        << sw << "x" << sh << " -> " << dw << "x" << dh;
  }
  // Random sizes, most within the vector path's range, some (prime heights, large
  // reduced sums) outside it.
  for (int n = 0; n < 300; ++n) {
    const int sw = 1 + random() % 200, sh = 1 + random() % (n % 3 ? 40 : 300);
    const int dw = 1 + random() % 50, dh = 1 + random() % 50;
    auto src = randomBytes(random, static_cast<size_t>(sw) * sh * 4);
    if (n % 4 == 0) {  // clear rows above and below, or throughout, as around a glyph
      const size_t row = static_cast<size_t>(sw) * 4, top = random() % (sh + 1);
      const size_t bottom = std::max<size_t>(top, sh - random() % (sh + 1));
      std::fill(src.begin(), src.begin() + static_cast<ptrdiff_t>(row * top), 0);
      std::fill(src.begin() + static_cast<ptrdiff_t>(row * bottom), src.end(), 0);
    }
    const auto expected = referenceScale(src, sw, sh, dw, dh);
    ASSERT_EQ(fastScale(src, sw, sh, dw, dh), expected)
        << sw << "x" << sh << " -> " << dw << "x" << dh;
    ASSERT_EQ(generalScale(src, sw, sh, dw, dh), expected)
        << sw << "x" << sh << " -> " << dw << "x" << dh;
  }
}

TEST(Scaler, ByteOrderArrangesEachDestinationPixel) {
  std::mt19937 random(13);
  const uint8_t swap[4] = {2, 1, 0, 3};
  for (auto [sw, sh, dw, dh] : {std::array{180, 180, 44, 44}, std::array{7, 300, 3, 2}}) {
    const auto src = randomBytes(random, static_cast<size_t>(sw) * sh * 4);
    auto expected = referenceScale(src, sw, sh, dw, dh);
    for (size_t p = 0; p < expected.size(); p += 4) std::swap(expected[p], expected[p + 2]);
    EXPECT_EQ(fastScale(src, sw, sh, dw, dh, swap), expected);
    EXPECT_EQ(generalScale(src, sw, sh, dw, dh, swap), expected);
  }
}

TEST(Scaler, WideSumsStayExactForTallAndLargeImages) {
  // Column sums beyond 16 bits (more than 257 rows) against the literal rule.
  std::mt19937 random(11);
  const auto tall = randomBytes(random, 3 * 600 * 4);
  EXPECT_EQ(fastScale(tall, 3, 600, 2, 1), referenceScale(tall, 3, 600, 2, 1));
  EXPECT_EQ(generalScale(tall, 3, 600, 2, 1), referenceScale(tall, 3, 600, 2, 1));
  // Pixel sums beyond 32 bits: a uniform image at the largest value stays uniform.
  const std::vector<uint8_t> large(size_t{4100} * 4100 * 4, 255);
  EXPECT_EQ(fastScale(large, 4100, 4100, 3, 2), std::vector<uint8_t>(3 * 2 * 4, 255));
}

class BitmapContext : public fixtures::BootedHost {
 protected:
  // Draws the image into a fresh zeroed width x height context of the given layout.
  std::vector<uint8_t> draw(id image, int width, int height, rt::CGRect rect,
                            uint32_t info = kCGImageAlphaPremultipliedLast |
                                            kCGBitmapByteOrder32Big,
                            std::vector<uint8_t> pixels = {}) {
    if (pixels.empty()) pixels.assign(static_cast<size_t>(width) * height * 4, 0);
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    CGContextRef context =
        CGBitmapContextCreate(pixels.data(), width, height, 8, 4 * width, space, info);
    EXPECT_NE(context, nullptr);
    CGContextDrawImage(context, rect, image);
    CGContextRelease(context);
    CGColorSpaceRelease(space);
    return pixels;
  }
};

TEST_F(BitmapContext, SamplingLayoutIsRGBAPremultipliedRowsFromTheTop) {
  // Top left red, top right half-transparent white, bottom row green and clear.
  const RGBA pixels[4] = {{255, 0, 0, 255}, {128, 128, 128, 128}, {0, 255, 0, 255}, {0, 0, 0, 0}};
  auto image = fixtures::makeImage(2, 2, [&](int x, int y) { return pixels[y * 2 + x]; });
  EXPECT_EQ(draw(image.get(), 2, 2, rt::CGRectMake(0, 0, 2, 2)),
            (std::vector<uint8_t>{255, 0, 0, 255, 128, 128, 128, 128, 0, 255, 0, 255, 0, 0, 0, 0}));
  // The little-endian alpha-first layout is blue, green, red, alpha in memory.
  EXPECT_EQ(draw(image.get(), 1, 1, rt::CGRectMake(0, 0, 1, 1),
                 kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little),
            (std::vector<uint8_t>{32, 96, 96, 160}));
}

TEST_F(BitmapContext, RectanglesCountFromTheBottomLeftAndCompositeOver) {
  auto white = fixtures::flatImage(3, 3, {255, 255, 255, 255});
  // (0, 0, 1, 1) is the bottom-left pixel: memory row 1 of a 2 x 2 bitmap.
  EXPECT_EQ(draw(white.get(), 2, 2, rt::CGRectMake(0, 0, 1, 1)),
            (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0}));
  // Half-transparent black over opaque red leaves half the red.
  auto shade = fixtures::flatImage(1, 1, {0, 0, 0, 128});
  EXPECT_EQ(draw(shade.get(), 1, 1, rt::CGRectMake(0, 0, 1, 1),
                 kCGImageAlphaPremultipliedLast | kCGBitmapByteOrder32Big, {255, 0, 0, 255}),
            (std::vector<uint8_t>{127, 0, 0, 255}));
}

TEST_F(BitmapContext, OtherRectanglesAreDrawnThroughCairo) {
  // A flat opaque image over more than the whole bitmap, off the pixel grid, fills it.
  auto blue = fixtures::flatImage(5, 5, {0, 0, 255, 255});
  const auto pixels = draw(blue.get(), 3, 2, rt::CGRectMake(-0.5, -0.25, 4.5, 3));
  for (size_t p = 0; p < pixels.size(); p += 4)
    EXPECT_EQ((RGBA{pixels[p], pixels[p + 1], pixels[p + 2], pixels[p + 3]}),
              (RGBA{0, 0, 255, 255}));
  // A rectangle wholly outside draws nothing.
  EXPECT_EQ(draw(blue.get(), 1, 1, rt::CGRectMake(5, 5, 1, 1)), (std::vector<uint8_t>(4, 0)));
}

}  // namespace
