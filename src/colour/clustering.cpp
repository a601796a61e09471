#include "colour/clustering.h"

#include "colour/clustering_avx2.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace lumora {
namespace {

// Clusters are kept as columns of 16-bit channels in blocks of 16, so one block is
// compared with a pixel in a few vector instructions; most pixels of an icon join one
// of the first clusters, and a mosaic has hundreds.
constexpr int kLanes = 16;
using Lanes = int16_t __attribute__((vector_size(2 * kLanes)));
// Unused lanes hold a colour no pixel comes within 40 of (and whose distances still fit
// 16 bits: 3 x (10000 - 0) < 32768).
constexpr int16_t kUnused = 10000;

static_assert(std::endian::native == std::endian::little, "lane search assumes little-endian");

// |x| lane by lane, in place (vectors stay out of signatures, whose ABI depends on the
// instruction set).
void makeAbsolute(Lanes& x) {
  const Lanes sign = x >> 15;
  x = (x ^ sign) - sign;
}

// Plain arrays, loaded into vectors as needed, so that storage needs no over-alignment.
struct Block {
  int16_t r[kLanes], g[kLanes], b[kLanes];
};

// The distance of every cluster of the block to the pixel (pr, pg, pb).
void distances(Lanes& out, const Block& block, const Lanes& pr, const Lanes& pg, const Lanes& pb) {
  Lanes r, g, b;
  std::memcpy(&r, block.r, sizeof r);
  std::memcpy(&g, block.g, sizeof g);
  std::memcpy(&b, block.b, sizeof b);
  r -= pr, g -= pg, b -= pb;
  makeAbsolute(r), makeAbsolute(g), makeAbsolute(b);
  out = r + g + b;
}

struct Columns {
  std::vector<Block> blocks;
  std::vector<int32_t> d;
  size_t count = 0;

  void add(int16_t pr, int16_t pg, int16_t pb) {
    if (count % kLanes == 0) {
      Block unused;
      std::fill_n(unused.r, kLanes, kUnused);
      std::fill_n(unused.g, kLanes, kUnused);
      std::fill_n(unused.b, kLanes, kUnused);
      blocks.push_back(unused);
    }
    Block& block = blocks[count / kLanes];
    const size_t lane = count % kLanes;
    block.r[lane] = pr, block.g[lane] = pg, block.b[lane] = pb;
    d.push_back(0);
    ++count;
  }
};

// The first lane set in a comparison result, or -1.
int firstSet(const Lanes& mask) {
  uint64_t words[kLanes / 4];
  std::memcpy(words, &mask, sizeof words);
  for (int w = 0; w < kLanes / 4; ++w)
    if (words[w]) return w * 4 + std::countr_zero(words[w]) / 16;
  return -1;
}

}  // namespace

namespace detail {

std::vector<RGBPixel> clusterPixelsPortable(const uint8_t* rgba, size_t count) {
  Columns columns;
  const Lanes limit = Lanes{} + static_cast<int16_t>(kMergeDistance);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = rgba + 4 * i;
    if (p[3] < kMinimumAlpha) continue;
    const Lanes pr = Lanes{} + static_cast<int16_t>(p[0]);
    const Lanes pg = Lanes{} + static_cast<int16_t>(p[1]);
    const Lanes pb = Lanes{} + static_cast<int16_t>(p[2]);
    const size_t blocks = columns.blocks.size();
    bool merged = false;
    for (size_t index = 0; index < blocks; ++index) {
      Block& block = columns.blocks[index];
      Lanes distance;
      distances(distance, block, pr, pg, pb);
      const int lane = firstSet(distance < limit);
      if (lane < 0) continue;
      block.r[lane] = static_cast<int16_t>((block.r[lane] + p[0]) / 2);
      block.g[lane] = static_cast<int16_t>((block.g[lane] + p[1]) / 2);
      block.b[lane] = static_cast<int16_t>((block.b[lane] + p[2]) / 2);
      ++columns.d[index * kLanes + static_cast<size_t>(lane)];
      merged = true;
      break;
    }
    if (!merged) columns.add(p[0], p[1], p[2]);
  }
  std::vector<RGBPixel> clusters(columns.count);
  for (size_t c = 0; c < columns.count; ++c) {
    const Block& block = columns.blocks[c / kLanes];
    const size_t lane = c % kLanes;
    clusters[c] = {block.r[lane], block.g[lane], block.b[lane], columns.d[c]};
  }
  return clusters;
}

}  // namespace detail

const char* clusteringPath() {
  std::vector<RGBPixel> none;
  return detail::clusterPixelsAVX2(nullptr, 0, none) ? "AVX2" : "portable";
}

std::vector<RGBPixel> clusterPixels(const uint8_t* rgba, size_t count) {
  std::vector<RGBPixel> clusters;
  if (detail::clusterPixelsAVX2(rgba, count, clusters)) return clusters;
  return detail::clusterPixelsPortable(rgba, count);
}

std::vector<RGBPixel> leadingClusters(const std::vector<RGBPixel>& clusters) {
  // The first largest count, then the first largest among the others: what a stable
  // sort puts first and second.
  const auto largest = [&](size_t skip) {
    size_t best = clusters.size();
    for (size_t k = 0; k < clusters.size(); ++k)
      if (k != skip && (best == clusters.size() || clusters[k].d > clusters[best].d)) best = k;
    return best;
  };
  std::vector<RGBPixel> leading;
  const size_t first = largest(clusters.size());
  if (first == clusters.size()) return leading;
  leading.push_back(clusters[first]);
  const size_t second = largest(first);
  if (second != clusters.size()) leading.push_back(clusters[second]);
  return leading;
}

void sortClusters(std::vector<RGBPixel>& clusters) {
  std::stable_sort(clusters.begin(), clusters.end(),
                   [](const RGBPixel& a, const RGBPixel& b) { return a.d > b.d; });
}

}  // namespace lumora
