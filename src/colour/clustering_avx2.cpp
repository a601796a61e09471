// The clustering's fast paths on processors with AVX2.
//
// Most pixels of a smooth icon repeat the pixel before, so the pixels are first sorted
// 64 at a time into bit masks (see-through, repeating, or fresh), and only fresh pixels
// are looked at one by one: the counted pixels after a fresh one join its cluster, all
// at once. While there is one cluster (an icon's first rows, a glyph on a clear ground),
// a fresh pixel is only measured against it. While there are at most 16, they all live
// in registers and each fresh pixel is compared with all of them together, the cluster
// it joins picked from the comparison without a branch: smooth icons change cluster at
// every edge, which no branch predicts.
//
// Images whose pixels mostly change (noise, photographs, mosaics), and images with more
// clusters, go on pixel by pixel: 32 clusters are compared with a pixel per step, in
// saturating byte arithmetic (a sum that saturates at 255 is still not below 40). The
// cluster that the last pixels joined is kept in registers, because consecutive pixels
// mostly join the same cluster and a byte stored into a block and read back as a vector
// at once stalls the processor.
#include "colour/clustering_avx2.h"

#if defined(__x86_64__)
#include <immintrin.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

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

// The pixels of a run of 64 as bit masks (bit k for pixel k): `counted`, alpha of at least
// 128, and `fresh`, counted but not the same four bytes as the pixel before. A counted
// pixel that is not fresh repeats the last one counted, so joins the cluster that one
// joined: only fresh pixels need a search.
struct Run {
  uint64_t counted, fresh;
};

// The sign bits of the 32 words of x[0..3], in order: packing keeps each word's sign, in
// an order the permutation puts back.
LUMORA_AVX2 uint32_t signs(const __m256i* x) {
  const __m256i packed =
      _mm256_packs_epi16(_mm256_packs_epi32(x[0], x[1]), _mm256_packs_epi32(x[2], x[3]));
  return static_cast<uint32_t>(_mm256_movemask_epi8(
      _mm256_permutevar8x32_epi32(packed, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7))));
}

// 32 pixels at `p` as masks. Their pixel before is at p - 4, unless they are the first
// of all (`atStart`).
LUMORA_AVX2 void classify32(const uint8_t* p, bool atStart, uint32_t& counted, uint32_t& fresh) {
  __m256i pixels[4], same[4];
  for (int k = 0; k < 4; ++k) {
    pixels[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * k));
    const __m256i before =
        k == 0 && atStart
            ? _mm256_permutevar8x32_epi32(pixels[0], _mm256_setr_epi32(0, 0, 1, 2, 3, 4, 5, 6))
            : _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * k - 4));
    same[k] = _mm256_cmpeq_epi32(pixels[k], before);
  }
  counted = signs(pixels);  // alpha's top bit
  // The first pixel of all, compared with itself above, is fresh when counted.
  fresh = counted & ~(signs(same) & ~uint32_t{atStart});
}

// Pixels [first, first + 64) of `count` as masks; pixels past the end are not counted.
LUMORA_AVX2 Run classify(const uint8_t* rgba, size_t count, size_t first) {
  const uint8_t* p = rgba + 4 * first;
  // A short last run is read from a copy, with see-through pixels after it (and before
  // it, when it is also the first).
  uint8_t copy[4 * 65];
  const bool atStart = first == 0 && count >= 64;
  if (count - first < 64) {
    std::memset(copy, 0, sizeof copy);
    if (first) std::memcpy(copy, p - 4, 4);
    std::memcpy(copy + 4, p, 4 * (count - first));
    p = copy + 4;
  }
  uint32_t counted[2], fresh[2];
  classify32(p, atStart, counted[0], fresh[0]);
  classify32(p + 128, false, counted[1], fresh[1]);
  return {counted[0] | uint64_t{counted[1]} << 32, fresh[0] | uint64_t{fresh[1]} << 32};
}

// Up to 16 clusters in registers: r, g and b hold their channels as 16-bit lanes, and
// `unused` 0 in a cluster's lane and 8192 in the lanes past them, which puts those lanes
// out of reach of every pixel (and keeps distances within 16 bits).
constexpr int kFew = 16;
// Counted pixels to see before telling whether the pixels mostly change.
constexpr size_t kDense = 32;
struct FewClusters {
  __m256i r, g, b, unused;
  int32_t joined[kFew];  // pixels joined, the first included (d + 1)
  size_t count = 0;
};

// Bytes 0, 1 or 2 of each word of a vector as 16-bit lanes: a pixel's red, green or blue.
LUMORA_AVX2 __m256i channel(__m256i pixel, int k) {
  const char z = static_cast<char>(0x80), c = static_cast<char>(k);
  return _mm256_shuffle_epi8(
      pixel, _mm256_setr_epi8(c, z, c, z, c, z, c, z, c, z, c, z, c, z, c, z, c, z, c, z, c, z, c,
                              z, c, z, c, z, c, z, c, z));
}

// The cluster lanes x after n merges of the pixel p: each merge moves a cluster half-way
// towards the pixel, remainders dropped, which after n merges leaves p + floor((x - p) / 2^n)
// in each channel, an arithmetic shift of the difference. (Shifts by 16 or more give -1 or
// 0, as the floor does from 8 merges on.)
LUMORA_AVX2 __m256i merged(__m256i x, __m256i p, __m128i n) {
  return _mm256_add_epi16(p, _mm256_sra_epi16(_mm256_sub_epi16(x, p), n));
}

// The same for one cluster: 16-bit lanes red, green, blue, 0 of a vector.
LUMORA_AVX2 __m128i merged(__m128i x, __m128i p, __m128i n) {
  return _mm_add_epi16(p, _mm_sra_epi16(_mm_sub_epi16(x, p), n));
}

// A pixel's colour as 16-bit lanes red, green, blue, 0.
LUMORA_AVX2 __m128i spread(const uint8_t* pixel) {
  uint32_t colour;
  std::memcpy(&colour, pixel, 4);
  return _mm_cvtepu8_epi16(_mm_cvtsi32_si128(static_cast<int>(colour & 0xffffffu)));
}

// Lane masks: onlyNot + 16 - k is every lane but k.
alignas(64) constexpr int16_t onlyNot[2 * kFew] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                                   -1, -1, -1, -1, -1, 0,  -1, -1, -1, -1, -1,
                                                   -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
LUMORA_AVX2 __m256i allBut(size_t lane) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(onlyNot + kFew - lane));
}

// Clusters the pixels while they are few and mostly repeat; answers the pixel from which
// the rest must go pixel by pixel (`count` when none), with `few` complete up to it.
__attribute__((target("avx2"), noinline)) size_t clusterRuns(FewClusters& few, const uint8_t* rgba,
                                                             size_t count) {
  __m256i r = _mm256_setzero_si256(), g = r, b = r, unused = _mm256_set1_epi16(8192);
  const __m256i limit = _mm256_set1_epi16(kMergeDistance - 1);
  // The merges of the last fresh pixel wait until the next: counted pixels from the
  // `from`th on are all that pixel (channels pr, pg, pb), and join its cluster, lane
  // `lane`, which `away` leaves out (as it does every other lane).
  size_t from = 0, lane = 0, counted = 0, fresh = 0, first = 0;
  __m256i pr = r, pg = r, pb = r, away = _mm256_set1_epi16(-1);
  few.joined[0] = 0;
  // The first cluster while it is the only one (16-bit lanes red, green, blue, 0), which
  // every counted pixel so far has joined, and the last fresh pixel (`pone`).
  __m128i one = _mm_setzero_si128(), pone = one;
  for (bool more = true; more && first < count;) {
    const Run run = classify(rgba, count, first);
    const size_t before = counted;  // counted pixels in the runs before
    counted += static_cast<size_t>(__builtin_popcountll(run.counted));
    fresh += static_cast<size_t>(__builtin_popcountll(run.fresh));
    // Pixels that mostly change go faster one by one, where consecutive pixels are
    // guessed to join the same cluster.
    if (4 * fresh > 3 * counted && counted >= kDense) {
      counted = before;
      break;
    }
    uint64_t bits = run.fresh;
    // One cluster (or none yet): a pixel joins it or starts the second, which takes one
    // measure and a branch that images with one cluster always predict.
    for (; few.count < 2 && bits; bits &= bits - 1) {
      const int k = __builtin_ctzll(bits);
      const size_t at = before + static_cast<size_t>(
                                     __builtin_popcountll(run.counted & ((uint64_t{1} << k) - 1)));
      one = merged(one, pone, _mm_cvtsi64_si128(static_cast<int64_t>(at - from)));
      from = at;
      pone = spread(rgba + 4 * (first + static_cast<size_t>(k)));
      if (few.count == 0) {
        one = pone, few.count = 1;
      } else if (_mm_cvtsi128_si32(_mm_sad_epu8(one, pone)) >= kMergeDistance) {
        // The second: the first goes into the registers, and this pixel on as any.
        r = _mm256_broadcastw_epi16(one);
        g = _mm256_broadcastw_epi16(_mm_srli_epi64(one, 16));
        b = _mm256_broadcastw_epi16(_mm_srli_epi64(one, 32));
        unused = _mm256_and_si256(unused, allBut(0));
        few.joined[0] = static_cast<int32_t>(at);
        break;
      }
    }
    for (; bits; bits &= bits - 1) {
      const int k = __builtin_ctzll(bits);
      const size_t at = before + static_cast<size_t>(
                                     __builtin_popcountll(run.counted & ((uint64_t{1} << k) - 1)));
      // The last fresh pixel's merges, now that they are counted.
      const __m128i n = _mm_cvtsi64_si128(static_cast<int64_t>(at - from));
      r = _mm256_blendv_epi8(merged(r, pr, n), r, away);
      g = _mm256_blendv_epi8(merged(g, pg, n), g, away);
      b = _mm256_blendv_epi8(merged(b, pb, n), b, away);
      few.joined[lane] += static_cast<int32_t>(at - from);
      from = at;
      // This one's distance to every cluster.
      int32_t colour;
      std::memcpy(&colour, rgba + 4 * (first + static_cast<size_t>(k)), 4);
      const __m256i pixel = _mm256_set1_epi32(colour);
      pr = channel(pixel, 0), pg = channel(pixel, 1), pb = channel(pixel, 2);
      const __m256i sum =
          _mm256_add_epi16(_mm256_add_epi16(_mm256_abs_epi16(_mm256_sub_epi16(r, pr)),
                                            _mm256_abs_epi16(_mm256_sub_epi16(g, pg))),
                           _mm256_add_epi16(_mm256_abs_epi16(_mm256_sub_epi16(b, pb)), unused));
      away = _mm256_cmpgt_epi16(sum, limit);
      const uint32_t near = ~static_cast<uint32_t>(_mm256_movemask_epi8(away));
      if (near == 0) {
        // No cluster near: a new one, the pixel itself (which its merges leave there).
        if (few.count == kFew) {
          counted = at, first += static_cast<size_t>(k), more = false;
          away = _mm256_set1_epi16(-1);  // nothing waits
          break;
        }
        lane = few.count++;
        away = allBut(lane);
        r = _mm256_blendv_epi8(pr, r, away);
        g = _mm256_blendv_epi8(pg, g, away);
        b = _mm256_blendv_epi8(pb, b, away);
        unused = _mm256_and_si256(unused, away);
        few.joined[lane] = 0;
        continue;
      }
      lane = static_cast<size_t>(__builtin_ctz(near)) / 2;
      // Two or more near: the first takes the pixel.
      if (near != 3u << (2 * lane)) away = allBut(lane);
    }
    if (more) first += 64;
  }
  // The last fresh pixel's merges, up to where this ends.
  const __m128i n = _mm_cvtsi64_si128(static_cast<int64_t>(counted - from));
  if (few.count < 2) {
    one = merged(one, pone, n);
    few.r = _mm256_broadcastw_epi16(one);
    few.g = _mm256_broadcastw_epi16(_mm_srli_epi64(one, 16));
    few.b = _mm256_broadcastw_epi16(_mm_srli_epi64(one, 32));
    few.joined[0] = static_cast<int32_t>(counted);
    return std::min(first, count);
  }
  few.r = _mm256_blendv_epi8(merged(r, pr, n), r, away);
  few.g = _mm256_blendv_epi8(merged(g, pg, n), g, away);
  few.b = _mm256_blendv_epi8(merged(b, pb, n), b, away);
  few.joined[lane] += static_cast<int32_t>(counted - from);
  return std::min(first, count);
}

}  // namespace

__attribute__((target("avx2"))) bool clusterPixelsAVX2(const uint8_t* rgba, size_t count,
                                                       std::vector<RGBPixel>& out) {
  static const bool available = __builtin_cpu_supports("avx2");
  if (!available) return false;
  FewClusters few;
  const size_t rest = clusterRuns(few, rgba, count);
  alignas(32) int16_t r[kFew], g[kFew], b[kFew];
  _mm256_store_si256(reinterpret_cast<__m256i*>(r), few.r);
  _mm256_store_si256(reinterpret_cast<__m256i*>(g), few.g);
  _mm256_store_si256(reinterpret_cast<__m256i*>(b), few.b);
  if (rest == count) {
    out.resize(few.count);
    for (size_t k = 0; k < few.count; ++k) out[k] = {r[k], g[k], b[k], few.joined[k] - 1};
    return true;
  }
  // The rest pixel by pixel, from the clusters so far (none of them hot).
  Clusters c;
  c.blocks.reserve(8), c.d.reserve(256);  // room for a mosaic's clusters without regrowing
  c.r0 = c.g0 = c.b0 = _mm256_setzero_si256();
  if (few.count) {
    Block& block = c.blocks.emplace_back();
    for (size_t k = 0; k < few.count; ++k) {
      block.r[k] = static_cast<uint8_t>(r[k]);
      block.g[k] = static_cast<uint8_t>(g[k]);
      block.b[k] = static_cast<uint8_t>(b[k]);
      c.d.push_back(few.joined[k] - 1);
    }
    c.count = few.count;
    c.r0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block.r));
    c.g0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block.g));
    c.b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block.b));
  }
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
  for (size_t i = rest; i < count; ++i) {
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
