// The clustering behind the dominant colour of an image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumora {

// A sampled pixel, and a colour cluster: r, g and b from 0 to 255, and d the number of
// further pixels merged into it (0 for a new record). A plain record, as the system's
// own pixel class is; clusters sort by d.
struct RGBPixel {
  int32_t r = 0, g = 0, b = 0, d = 0;
  bool operator==(const RGBPixel&) const = default;
};

// |a.r - b.r| + |a.g - b.g| + |a.b - b.b|; d plays no part.
inline int32_t colourDistance(const RGBPixel& a, const RGBPixel& b) {
  const auto distance = [](int32_t x, int32_t y) { return x > y ? x - y : y - x; };
  return distance(a.r, b.r) + distance(a.g, b.g) + distance(a.b, b.b);
}

// Pixels whose distance to a cluster is below this join it.
inline constexpr int32_t kMergeDistance = 40;
// Pixels with alpha below this are skipped.
inline constexpr int kMinimumAlpha = 128;

// Clusters `count` pixels of four bytes (red, green, blue, alpha, colours premultiplied)
// in memory order: each pixel with alpha of at least 128 joins the first cluster, in
// order of creation, at a distance below 40 (moving it half-way towards the pixel,
// remainders dropped, d + 1), or else starts a new cluster at the end. Answers the
// clusters in order of creation.
std::vector<RGBPixel> clusterPixels(const uint8_t* rgba, size_t count);

// "AVX2" when clusterPixels takes its vector path on this processor, else "portable".
const char* clusteringPath();

namespace detail {
// The portable path alone, which the vector path must equal (for tests).
std::vector<RGBPixel> clusterPixelsPortable(const uint8_t* rgba, size_t count);
}  // namespace detail

// The clusters sorted by d, largest first; equal counts keep their order of creation.
void sortClusters(std::vector<RGBPixel>& clusters);
// The first two (or fewer) clusters of that order, found without sorting the rest.
std::vector<RGBPixel> leadingClusters(const std::vector<RGBPixel>& clusters);

}  // namespace lumora
