// The clustering's fast path on processors with AVX2: 32 clusters compared with a
// pixel per step, in saturating byte arithmetic (a sum that saturates at 255 is still
// not below 40). The cluster that the last pixels joined is kept in registers, because
// consecutive pixels mostly join the same cluster and a byte stored into a block and
// read back as a vector at once stalls the processor.
#include "colour/clustering_avx2.h"

#if defined(__x86_64__)
#include <immintrin.h>

#include <algorithm>
#include <cstdlib>

namespace lumora::detail {
namespace {

constexpr int kLanes = 32;

struct Block {
  uint8_t r[kLanes], g[kLanes], b[kLanes];
};

// The first block is also kept in registers (r0, g0, b0), which the searches read: a
// block lane just stored and read back as a vector would stall them, and smooth icons
// switch between their few clusters at every edge.
struct Clusters {
  std::vector<Block> blocks;
  std::vector<int32_t> d;
  size_t count = 0;
  __m256i r0, g0, b0;
};

#define LUMORA_AVX2 __attribute__((target("avx2"), always_inline)) inline

// Stores a cluster's colour (packed as below).
__attribute__((target("avx2"))) void store(Clusters& c, size_t index, uint32_t colour) {
  Block& block = c.blocks[index / kLanes];
  const size_t lane = index % kLanes;
  const uint8_t r = colour & 0xff, g = colour >> 8 & 0xff, b = colour >> 16 & 0xff;
  block.r[lane] = r, block.g[lane] = g, block.b[lane] = b;
  if (index >= kLanes) return;
  const __m256i at = _mm256_cmpeq_epi8(
      _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                       22, 23, 24, 25, 26, 27, 28, 29, 30, 31),
      _mm256_set1_epi8(static_cast<char>(lane)));
  c.r0 = _mm256_blendv_epi8(c.r0, _mm256_set1_epi8(static_cast<char>(r)), at);
  c.g0 = _mm256_blendv_epi8(c.g0, _mm256_set1_epi8(static_cast<char>(g)), at);
  c.b0 = _mm256_blendv_epi8(c.b0, _mm256_set1_epi8(static_cast<char>(b)), at);
}

LUMORA_AVX2 __m256i distance(__m256i a, __m256i pixel) {
  return _mm256_or_si256(_mm256_subs_epu8(a, pixel), _mm256_subs_epu8(pixel, a));
}
LUMORA_AVX2 __m256i distance(const uint8_t* lanes, __m256i pixel) {
  return distance(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes)), pixel);
}

// The first of clusters [0, end) near the pixel, leaving out cluster `skip` (the hot
// one, whose block lane is stale), or -1. With none near, *nearest is a lower bound of
// the distance from the pixel to every one of them (saturated at 255); `nearest` may be
// null when that is not wanted.
LUMORA_AVX2 int64_t firstMatch(const Clusters& c, size_t end, size_t skip, __m256i pr, __m256i pg,
                               __m256i pb, int* nearest) {
  const size_t blocks = (end + kLanes - 1) / kLanes;
  const __m256i ones = _mm256_set1_epi8(static_cast<char>(0xff));
  const __m256i lanes =
      _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                       22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
  const __m256i limit = _mm256_set1_epi8(kMergeDistance - 1);
  const size_t skipBlock = skip / kLanes, lastFull = end / kLanes;
  __m256i smallest = ones;
  // Block 0 from its registers, the others from memory.
  __m256i sum = _mm256_adds_epu8(_mm256_adds_epu8(distance(c.r0, pr), distance(c.g0, pg)),
                                 distance(c.b0, pb));
  for (size_t k = 0;;) {
    const size_t base = k * kLanes;
    if (k >= lastFull || k == skipBlock) {
      // Lanes past the end, and the skipped one, are made as far as can be.
      __m256i valid = _mm256_cmpgt_epi8(
          _mm256_set1_epi8(static_cast<char>(std::min<size_t>(end - base, kLanes))), lanes);
      if (k == skipBlock)
        valid = _mm256_andnot_si256(
            _mm256_cmpeq_epi8(lanes, _mm256_set1_epi8(static_cast<char>(skip % kLanes))), valid);
      sum = _mm256_or_si256(sum, _mm256_xor_si256(valid, ones));
    }
    const __m256i near = _mm256_cmpeq_epi8(_mm256_subs_epu8(sum, limit), _mm256_setzero_si256());
    const uint32_t m = static_cast<uint32_t>(_mm256_movemask_epi8(near));
    if (m) return static_cast<int64_t>(base + static_cast<size_t>(__builtin_ctz(m)));
    if (nearest) smallest = _mm256_min_epu8(smallest, sum);
    if (++k >= blocks) break;
    const Block& block = c.blocks[k];
    sum = _mm256_adds_epu8(_mm256_adds_epu8(distance(block.r, pr), distance(block.g, pg)),
                           distance(block.b, pb));
  }
  if (!nearest) return -1;
  __m128i m = _mm_min_epu8(_mm256_castsi256_si128(smallest), _mm256_extracti128_si256(smallest, 1));
  m = _mm_min_epu8(m, _mm_srli_si128(m, 8));
  m = _mm_min_epu8(m, _mm_srli_si128(m, 4));
  m = _mm_min_epu8(m, _mm_srli_si128(m, 2));
  m = _mm_min_epu8(m, _mm_srli_si128(m, 1));
  *nearest = _mm_cvtsi128_si32(m) & 0xff;
  return -1;
}

// A colour packed as bytes red, green, blue, 0 of a word.
inline uint32_t pack(uint32_t r, uint32_t g, uint32_t b) {
  return r | g << 8 | b << 16;
}

// The sum of the absolute differences of the bytes of two packed colours.
LUMORA_AVX2 int distance(uint32_t a, uint32_t b) {
  return _mm_cvtsi128_si32(
      _mm_sad_epu8(_mm_cvtsi32_si128(static_cast<int>(a)), _mm_cvtsi32_si128(static_cast<int>(b))));
}

// (a + b) / 2 byte by byte, remainders dropped: the merge of a pixel into a cluster.
inline uint32_t halfWay(uint32_t a, uint32_t b) {
  return (a & b) + (((a ^ b) & 0xfefefefeu) >> 1);
}

}  // namespace

__attribute__((target("avx2"))) bool clusterPixelsAVX2(const uint8_t* rgba, size_t count,
                                                       std::vector<RGBPixel>& out) {
  static const bool available = __builtin_cpu_supports("avx2");
  if (!available) return false;
  Clusters c;
  c.r0 = c.g0 = c.b0 = _mm256_setzero_si256();
  c.blocks.reserve(8), c.d.reserve(256);  // room for a mosaic's clusters without regrowing
  // The hot cluster: its colour lives here (packed) and its block lane is stale, left
  // out of every search. No hot cluster is marked by an index past every cluster.
  constexpr size_t kNone = SIZE_MAX;
  size_t hot = kNone;
  uint32_t hotColour = 0;
  int32_t hd = 0;
  // While the hot cluster stays, the clusters before it do not change: a pixel q found
  // at distance `bound` or more from all of them proves the same for any pixel p with
  // bound - |p - q| >= 40, so their search is skipped. 0: nothing proven.
  int bound = 0;
  uint32_t q = 0;
  const auto colourOf = [&](size_t index) {
    const Block& block = c.blocks[index / kLanes];
    const size_t lane = index % kLanes;
    return pack(block.r[lane], block.g[lane], block.b[lane]);
  };
  const auto switchTo = [&](size_t index, uint32_t colour, int32_t d) {
    if (hot != kNone) store(c, hot, hotColour), c.d[hot] = hd;
    hot = index, hotColour = colour, hd = d, bound = 0;
  };
  // A pixel equal to the last one counted joins the hot cluster: whichever way the last
  // one went, it made its cluster hot, no earlier cluster was near it, and the cluster
  // moved towards it (so stays within 40).
  uint32_t last = ~0u;
  // `n` repeats of the last pixel join the hot cluster; after eight merges the cluster
  // no longer moves (each channel is then the pixel's, or one below it).
  const auto repeat = [&](int n) {
    for (int k = std::min(n, 8); k > 0; --k) hotColour = halfWay(hotColour, last);
    hd += n;
  };
  const __m256i colourBytes = _mm256_set1_epi32(0x00ffffff);
  // After two pixels that changed nothing but the hot cluster (see-through, or repeats
  // of the last pixel counted), the pixels that follow are looked at eight at a time
  // while they are such pixels too: most of a smooth icon is runs of them.
  int trivial = 0;  // such pixels in a row just before
  for (size_t i = 0; i < count; ++i) {
    while (trivial >= 2 && i + 8 <= count) {
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rgba + 4 * i));
      const uint32_t counted = static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(v)));
      const uint32_t same =
          static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(
              _mm256_and_si256(v, colourBytes), _mm256_set1_epi32(static_cast<int>(last))))));
      const uint32_t other = counted & ~same;
      if (!other) {
        repeat(__builtin_popcount(counted)), i += 8;
        continue;
      }
      const int k = __builtin_ctz(other);
      repeat(__builtin_popcount(counted & ((1u << k) - 1))), i += static_cast<size_t>(k);
      trivial = 0;
    }
    if (i >= count) break;
    const uint8_t* p = rgba + 4 * i;
    if (p[3] < kMinimumAlpha) {
      ++trivial;
      continue;
    }
    const uint32_t pixel = pack(p[0], p[1], p[2]);
    if (pixel == last) {
      hotColour = halfWay(hotColour, pixel), ++hd;
      ++trivial;
      continue;
    }
    trivial = 0;
    last = pixel;
    if (hot != kNone && distance(hotColour, pixel) < kMergeDistance) {
      // The hot cluster takes the pixel unless an earlier one is near too.
      int64_t earlier = -1;
      if (hot > 0 && bound - distance(q, pixel) < kMergeDistance) {
        int nearest = 0;
        earlier = firstMatch(c, hot, kNone, _mm256_set1_epi8(static_cast<char>(p[0])),
                             _mm256_set1_epi8(static_cast<char>(p[1])),
                             _mm256_set1_epi8(static_cast<char>(p[2])), &nearest);
        if (earlier < 0) bound = nearest, q = pixel;
      }
      if (earlier < 0) {
        hotColour = halfWay(hotColour, pixel), ++hd;
      } else {
        const size_t e = static_cast<size_t>(earlier);
        switchTo(e, halfWay(colourOf(e), pixel), c.d[e] + 1);
      }
      continue;
    }
    const int64_t first = firstMatch(c, c.count, hot, _mm256_set1_epi8(static_cast<char>(p[0])),
                                     _mm256_set1_epi8(static_cast<char>(p[1])),
                                     _mm256_set1_epi8(static_cast<char>(p[2])), nullptr);
    if (first >= 0) {
      const size_t e = static_cast<size_t>(first);
      switchTo(e, halfWay(colourOf(e), pixel), c.d[e] + 1);
    } else {
      if (c.count % kLanes == 0) c.blocks.push_back(Block{});
      c.d.push_back(0);
      switchTo(c.count++, pixel, 0);
    }
  }
  switchTo(kNone, 0, 0);  // writes the hot cluster back
  out.resize(c.count);
  for (size_t k = 0; k < c.count; ++k) {
    const Block& block = c.blocks[k / kLanes];
    const size_t lane = k % kLanes;
    out[k] = {block.r[lane], block.g[lane], block.b[lane], c.d[k]};
  }
  return true;
}

}  // namespace lumora::detail

#undef LUMORA_AVX2

#else

namespace lumora::detail {
bool clusterPixelsAVX2(const uint8_t*, size_t, std::vector<RGBPixel>&) {
  return false;
}
}  // namespace lumora::detail

#endif
