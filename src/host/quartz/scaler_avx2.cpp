// The area-averaging scaler's fast path on processors with AVX2, for the common case
// where the reduced weights are small: an icon of 180 or 120 pixels sampled at 44 has
// weights in units of 1/11 of a source pixel summing to 45 or 30. Results are exactly
// those of the general path (both are checked against the literal rule).
//
// The vertical pass sums each destination row's source rows into 16-bit column sums,
// two rows per multiply. It stores them by pairs of source columns, the two columns'
// channels interleaved, with a band of destination rows side by side, so that the
// horizontal pass reads one destination column's taps for two destination rows with one
// load and multiplies them pairwise with no shuffling, four destination columns at a
// time. The bands alternate, so that the horizontal pass never reads sums still in
// flight to memory.
#include "host/quartz/scaler_avx2.h"

#if defined(__x86_64__)
#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <vector>

namespace host::detail {
namespace {

// Weights of one axis, reduced by the common divisor of the two lengths, so that they
// are small integers summing to `sum`; `taps` per destination pixel (padded with zero
// weights to an even count).
struct Axis {
  std::vector<int> first, last;
  std::vector<int16_t> weights;  // taps per destination pixel
  int taps = 0, sum = 0;
};

Axis reducedAxis(int sn, int dn) {
  const int g = std::gcd(sn, dn);
  const int64_t unitS = dn / g;  // a source pixel's length in reduced units
  Axis axis;
  axis.sum = sn / g;
  axis.first.resize(static_cast<size_t>(dn));
  axis.last.resize(static_cast<size_t>(dn));
  for (int d = 0; d < dn; ++d) {
    const int64_t start = int64_t{d} * sn, end = start + sn;
    axis.first[d] = static_cast<int>(start / dn);
    axis.last[d] = static_cast<int>((end - 1) / dn);
    axis.taps = std::max(axis.taps, axis.last[d] - axis.first[d] + 1);
  }
  axis.taps += axis.taps % 2;
  axis.weights.assign(static_cast<size_t>(dn) * axis.taps, 0);
  for (int d = 0; d < dn; ++d) {
    const int64_t start = int64_t{d} * axis.sum, end = start + axis.sum;  // reduced units
    for (int s = axis.first[d]; s <= axis.last[d]; ++s)
      axis.weights[static_cast<size_t>(d) * axis.taps + (s - axis.first[d])] =
          static_cast<int16_t>(std::min((s + 1) * unitS, end) - std::max(s * unitS, start));
  }
  return axis;
}

// A destination row is at most 2 x kMaxPairs source rows.
constexpr int kMaxPairs = 8;
// Destination rows per band, and bands kept.
constexpr int kBand = 2, kBands = 2;
// 16-bit values of one pair of source columns for one destination row.
constexpr size_t kPairValues = 8;
constexpr size_t kPairStride = kPairValues * kBand * kBands;

// The taps of one destination row: its source rows and their weights.
struct Taps {
  const uint8_t* rows[2 * kMaxPairs];
  int8_t weights[2 * kMaxPairs];
};

#define LUMORA_AVX2 __attribute__((target("avx2"), always_inline)) inline
LUMORA_AVX2 __m256i load(const void* p) {
  return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}
LUMORA_AVX2 void store(void* p, __m256i v) {
  _mm256_storeu_si256(static_cast<__m256i*>(p), v);
}
// Two weights as pmaddubsw takes them, in every 16-bit lane.
LUMORA_AVX2 __m256i weightPair(const int8_t* w) {
  return _mm256_set1_epi16(
      static_cast<int16_t>(static_cast<uint8_t>(w[0]) | static_cast<uint8_t>(w[1]) << 8));
}

// Both rows of a band of column sums: the sum over each row's taps of weight x byte, two
// source rows per multiply (bytes interleaved, pmaddubsw), for `chunks` runs of 32 bytes
// (four pairs of source columns). Each pair's sums for the two rows are stored together,
// 32 bytes at `out` + the pair's index x kPairStride.
template <int Pairs>
__attribute__((target("avx2"))) void verticalBand(const Taps& first, const Taps& second, int count,
                                                  size_t begin, size_t chunks, int16_t* out) {
  const int pairs = Pairs ? Pairs : count / 2;
  const uint8_t *a[2 * kMaxPairs], *b[2 * kMaxPairs];
  __m256i wa[kMaxPairs], wb[kMaxPairs];
  for (int p = 0; p < pairs; ++p) {
    a[2 * p] = first.rows[2 * p], a[2 * p + 1] = first.rows[2 * p + 1];
    b[2 * p] = second.rows[2 * p], b[2 * p + 1] = second.rows[2 * p + 1];
    wa[p] = weightPair(first.weights + 2 * p), wb[p] = weightPair(second.weights + 2 * p);
  }
  // After the multiply each 128-bit half holds two pixels' channels, [p0 p1 p2 p3 q0 q1
  // q2 q3]; interleave them to [p0 q0 p1 q1 p2 q2 p3 q3].
  const __m256i interleave = _mm256_setr_epi8(0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15,
                                              0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15);
  for (size_t at = begin; at < begin + 32 * chunks; at += 32, out += 4 * kPairStride) {
    __m256i loA = _mm256_setzero_si256(), hiA = loA, loB = loA, hiB = loA;
    for (int p = 0; p < pairs; ++p) {
      const __m256i a0 = load(a[2 * p] + at), a1 = load(a[2 * p + 1] + at);
      const __m256i b0 = load(b[2 * p] + at), b1 = load(b[2 * p + 1] + at);
      loA = _mm256_add_epi16(loA, _mm256_maddubs_epi16(_mm256_unpacklo_epi8(a0, a1), wa[p]));
      hiA = _mm256_add_epi16(hiA, _mm256_maddubs_epi16(_mm256_unpackhi_epi8(a0, a1), wa[p]));
      loB = _mm256_add_epi16(loB, _mm256_maddubs_epi16(_mm256_unpacklo_epi8(b0, b1), wb[p]));
      hiB = _mm256_add_epi16(hiB, _mm256_maddubs_epi16(_mm256_unpackhi_epi8(b0, b1), wb[p]));
    }
    // Bytes 0-7 went to the low half of `lo`, 8-15 to `hi`, 16-23 to the high half of
    // `lo`, 24-31 to that of `hi`: column pairs 0, 1, 2, 3 of the chunk.
    loA = _mm256_shuffle_epi8(loA, interleave), hiA = _mm256_shuffle_epi8(hiA, interleave);
    loB = _mm256_shuffle_epi8(loB, interleave), hiB = _mm256_shuffle_epi8(hiB, interleave);
    store(out, _mm256_permute2x128_si256(loA, loB, 0x20));
    store(out + kPairStride, _mm256_permute2x128_si256(hiA, hiB, 0x20));
    store(out + 2 * kPairStride, _mm256_permute2x128_si256(loA, loB, 0x31));
    store(out + 3 * kPairStride, _mm256_permute2x128_si256(hiA, hiB, 0x31));
  }
}

// Whether a row's `n` bytes are all zero (see-through pixels). Four lines of ORs, so
// that the loads, not the chain of ORs, set the pace.
__attribute__((target("avx2"))) bool clearRow(const uint8_t* row, size_t n) {
  // The middle first: in most rows that are not clear, something is drawn there.
  if (n >= 32) {
    const __m256i middle = load(row + (n - 32) / 2);
    if (!_mm256_testz_si256(middle, middle)) return false;
  }
  __m256i any[4] = {_mm256_setzero_si256(), _mm256_setzero_si256(), _mm256_setzero_si256(),
                    _mm256_setzero_si256()};
  size_t k = 0;
  for (; k + 128 <= n; k += 128)
    for (int a = 0; a < 4; ++a) any[a] = _mm256_or_si256(any[a], load(row + k + 32 * a));
  for (; k + 32 <= n; k += 32) any[0] = _mm256_or_si256(any[0], load(row + k));
  uint8_t rest = 0;
  for (; k < n; ++k) rest |= row[k];
  const __m256i all =
      _mm256_or_si256(_mm256_or_si256(any[0], any[1]), _mm256_or_si256(any[2], any[3]));
  return !rest && _mm256_testz_si256(all, all);
}

// Everything that depends only on the sizes, kept for the next call: the analysis
// samples every icon at the same sizes.
struct Plan {
  int sizes[4] = {0, 0, 0, 0};
  Axis y;
  int pairsX = 0, sumX = 0;
  size_t chunks = 0, fullChunks = 0;  // 32-byte runs of a source row, whole ones
  // Four destination columns a group: each column's first pair of source columns, and
  // the weights of its pairs (both 16-bit weights of a pair in one word) by pair, then
  // column. Columns past the last have zero weights.
  std::vector<int32_t> firstPair, pairWeights;
  std::vector<uint8_t> zeros;  // a row of zeros for padding taps
  // The source rows of each destination row's taps (-1: a padding tap, reading zeros).
  std::vector<int> tapRows;
  // Column sums by pair of source columns, then band, then row of the band; pairs past
  // the last column stay zero. Aligned to cache lines, so that no 32-byte access
  // straddles two.
  std::vector<int16_t> storage;
  int16_t* sums = nullptr;

  void make(int sw, int sh, int dw, int dh) {
    sizes[0] = sw, sizes[1] = sh, sizes[2] = dw, sizes[3] = dh;
    y = reducedAxis(sh, dh);
    tapRows.assign(static_cast<size_t>(dh) * y.taps, -1);
    for (int j = 0; j < dh; ++j)
      for (int r = 0; r < y.taps; ++r)
        if (y.weights[static_cast<size_t>(j) * y.taps + r] && y.first[j] + r < sh)
          tapRows[static_cast<size_t>(j) * y.taps + r] = y.first[j] + r;
    const Axis x = reducedAxis(sw, dw);
    sumX = x.sum;
    // Each column's taps start at an even column, so that they are whole pairs.
    pairsX = 0;
    for (int i = 0; i < dw; ++i)
      pairsX = std::max(pairsX, (x.last[i] - x.first[i] / 2 * 2 + 2) / 2);
    const size_t groups = (static_cast<size_t>(dw) + 3) / 4;
    firstPair.assign(groups * 4, 0);
    pairWeights.assign(groups * 4 * static_cast<size_t>(pairsX), 0);
    for (int i = 0; i < dw; ++i) {
      const int start = x.first[i] / 2 * 2;
      firstPair[i] = start / 2;
      const auto weight = [&](int s) -> uint16_t {
        return s < x.first[i] || s > x.last[i]
                   ? 0
                   : static_cast<uint16_t>(
                         x.weights[static_cast<size_t>(i) * x.taps + (s - x.first[i])]);
      };
      for (int t = 0; t < pairsX; ++t)
        pairWeights[(static_cast<size_t>(i / 4) * pairsX + t) * 4 + i % 4] = static_cast<int32_t>(
            weight(start + 2 * t) | static_cast<uint32_t>(weight(start + 2 * t + 1)) << 16);
    }
    const size_t rowBytes = static_cast<size_t>(sw) * 4;
    fullChunks = rowBytes / 32, chunks = (rowBytes + 31) / 32;
    zeros.assign(32 * chunks, 0);
    storage.assign((4 * chunks + static_cast<size_t>(pairsX)) * kPairStride + 32, 0);
    sums = storage.data() + (64 - reinterpret_cast<uintptr_t>(storage.data()) % 64) % 64 / 2;
  }
};

// floor(sum x scale + offset), lane by lane, rounded once.
__attribute__((target("avx2,fma"), always_inline)) inline __m256i divide(__m256 scale,
                                                                         __m256 offset,
                                                                         __m256i sum) {
  return _mm256_cvttps_epi32(_mm256_fmadd_ps(_mm256_cvtepi32_ps(sum), scale, offset));
}

// Two destination rows of four columns from their column sums: for each column, its
// pairs for both rows in one vector, multiplied pairwise (pmaddwd), then rounded half
// up as floor(y x (1 / total) + (half + 0.5) / total) in single precision with one
// rounding: exact for totals up to 8192, as the quotient is at most 255.5, the error
// below 2^-15, and the margin to an integer at least 0.5 / total.
template <int Pairs>
__attribute__((target("avx2,fma"))) void horizontalRows(const Plan& plan, const int16_t* band,
                                                        int dw, float inverse, float offset,
                                                        const uint8_t* channelOrder, uint8_t* row0,
                                                        uint8_t* row1) {
  const int pairs = Pairs ? Pairs : plan.pairsX;
  const __m256 scale = _mm256_set1_ps(inverse), shift = _mm256_set1_ps(offset);
  const __m256i channels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(channelOrder));
  const int32_t* first = plan.firstPair.data();
  const int32_t* weights = plan.pairWeights.data();
  for (int i = 0; i < dw; i += 4, first += 4, weights += 4 * pairs) {
    __m256i sum[4];
    for (int c = 0; c < 4; ++c) {
      const int16_t* column = band + static_cast<size_t>(first[c]) * kPairStride;
      sum[c] = _mm256_setzero_si256();
      for (int t = 0; t < pairs; ++t)
        sum[c] = _mm256_add_epi32(
            sum[c], _mm256_madd_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(
                                          column + static_cast<size_t>(t) * kPairStride)),
                                      _mm256_set1_epi32(weights[4 * t + c])));
    }
    // Both halves: the low one row 0, the high one row 1, columns in order.
    const __m256i words =
        _mm256_packus_epi32(divide(scale, shift, sum[0]), divide(scale, shift, sum[1]));
    const __m256i words2 =
        _mm256_packus_epi32(divide(scale, shift, sum[2]), divide(scale, shift, sum[3]));
    const __m256i bytes = _mm256_shuffle_epi8(_mm256_packus_epi16(words, words2), channels);
    const int n = std::min(4, dw - i);
    if (n == 4) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(row0 + 4 * static_cast<size_t>(i)),
                       _mm256_castsi256_si128(bytes));
      if (row1)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row1 + 4 * static_cast<size_t>(i)),
                         _mm256_extracti128_si256(bytes, 1));
    } else {
      alignas(32) uint8_t last[32];
      _mm256_store_si256(reinterpret_cast<__m256i*>(last), bytes);
      std::memcpy(row0 + 4 * static_cast<size_t>(i), last, 4 * static_cast<size_t>(n));
      if (row1)
        std::memcpy(row1 + 4 * static_cast<size_t>(i), last + 16, 4 * static_cast<size_t>(n));
    }
  }
}

#undef LUMORA_AVX2

}  // namespace

bool scaleAreaAverageAVX2Takes(int sw, int sh, int dw, int dh) {
  static const bool available = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  if (!available || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return false;
  // Column sums must fit signed 16 bits and pairs of weights signed bytes (sum <= 127),
  // and the total must keep the single-precision rounding exact.
  const int64_t sumY = sh / std::gcd(sh, dh), sumX = sw / std::gcd(sw, dw);
  if (sumY > 127 || sumX * sumY > 8192) return false;
  return reducedAxis(sh, dh).taps <= 2 * kMaxPairs;
}

bool scaleAreaAverageAVX2(const uint8_t* src, int sw, int sh, size_t srcStride, uint8_t* dst,
                          int dw, int dh, size_t dstStride, const uint8_t order[4]) {
  thread_local Plan plan;
  if (plan.sizes[0] != sw || plan.sizes[1] != sh || plan.sizes[2] != dw || plan.sizes[3] != dh) {
    if (!scaleAreaAverageAVX2Takes(sw, sh, dw, dh)) return false;
    plan.make(sw, sh, dw, dh);
  }
  const Axis& y = plan.y;
  const size_t rowBytes = static_cast<size_t>(sw) * 4;

  // Bands whose source rows are all clear, from the top and from the bottom (as above and
  // below a glyph on a clear ground), have clear rows: neither pass is made for them.
  const auto clearBand = [&](int j) {
    for (int row = y.first[j]; row <= y.last[std::min(j + kBand, dh) - 1]; ++row)
      if (!clearRow(src + srcStride * static_cast<size_t>(row), rowBytes)) return false;
    return true;
  };
  int top = 0, bottom = (dh + kBand - 1) / kBand * kBand;  // the bands drawn: [top, bottom)
  while (top < bottom && clearBand(top)) top += kBand;
  while (bottom > top && clearBand(bottom - kBand)) bottom -= kBand;
  const auto clear = [&](int j) { return j < top || j >= bottom; };
  // The column sums of the band of destination rows j and j + 1 (past the last row:
  // zeros), into its place.
  const auto vertical = [&](int j) {
    if (clear(j)) return;
    Taps taps[kBand];
    for (int k = 0; k < kBand; ++k)
      for (int r = 0; r < y.taps; ++r) {
        const int row = j + k < dh ? plan.tapRows[static_cast<size_t>(j + k) * y.taps + r] : -1;
        taps[k].rows[r] = row >= 0 ? src + srcStride * static_cast<size_t>(row) : plan.zeros.data();
        taps[k].weights[r] =
            row >= 0 ? static_cast<int8_t>(y.weights[static_cast<size_t>(j + k) * y.taps + r]) : 0;
      }
    int16_t* out = plan.sums + kPairValues * kBand * static_cast<size_t>(j / kBand % kBands);
    // The common tap counts as constants, so that the loops over taps unroll.
    const auto band = [&](size_t begin, size_t chunks, int16_t* to) {
      switch (y.taps / 2) {
        case 2:
          return verticalBand<2>(taps[0], taps[1], y.taps, begin, chunks, to);
        case 3:
          return verticalBand<3>(taps[0], taps[1], y.taps, begin, chunks, to);
        default:
          return verticalBand<0>(taps[0], taps[1], y.taps, begin, chunks, to);
      }
    };
    band(0, plan.fullChunks, out);
    if (plan.chunks == plan.fullChunks) return;
    // The last part of the rows: with an even width of at least eight pixels, the last
    // 32 bytes (again the same sums for the pairs before); else zero-padded copies.
    if (sw % 2 == 0 && sw >= 8) {
      band(rowBytes - 32, 1, out + static_cast<size_t>(sw - 8) / 2 * kPairStride);
      return;
    }
    alignas(32) uint8_t tails[kBand][2 * kMaxPairs][32];
    const size_t start = 32 * plan.fullChunks;
    for (int k = 0; k < kBand; ++k)
      for (int r = 0; r < y.taps; ++r) {
        std::memset(tails[k][r], 0, 32);
        std::memcpy(tails[k][r], taps[k].rows[r] + start, rowBytes - start);
        taps[k].rows[r] = tails[k][r];
      }
    band(0, 1, out + 4 * plan.fullChunks * kPairStride);
  };

  // Four pixels' bytes in the destination's order, as a byte shuffle of each half.
  uint8_t channelOrder[32];
  for (int k = 0; k < 32; ++k)
    channelOrder[k] = static_cast<uint8_t>(k % 16 / 4 * 4 + order[k % 4]);
  const float total = static_cast<float>(plan.sumX) * static_cast<float>(y.sum);
  const float inverse = 1.0f / total;
  const float offset = static_cast<float>((std::floor(total / 2) + 0.5) / total);
  const auto horizontal = [&](int j) {
    if (clear(j)) {
      for (int k = j; k < std::min(j + kBand, dh); ++k)
        std::memset(dst + dstStride * static_cast<size_t>(k), 0, 4 * static_cast<size_t>(dw));
      return;
    }
    const int16_t* band = plan.sums + kPairValues * kBand * static_cast<size_t>(j / kBand % kBands);
    uint8_t* row0 = dst + dstStride * static_cast<size_t>(j);
    uint8_t* row1 = j + 1 < dh ? row0 + dstStride : nullptr;
    switch (plan.pairsX) {
      case 3:
        return horizontalRows<3>(plan, band, dw, inverse, offset, channelOrder, row0, row1);
      default:
        return horizontalRows<0>(plan, band, dw, inverse, offset, channelOrder, row0, row1);
    }
  };
  // Each band's sums are made a band ahead of their horizontal pass.
  vertical(0);
  for (int j = 0; j < dh; j += kBand) {
    if (j + kBand < dh) vertical(j + kBand);
    horizontal(j);
  }
  return true;
}

}  // namespace host::detail

#else

namespace host::detail {
bool scaleAreaAverageAVX2(const uint8_t*, int, int, size_t, uint8_t*, int, int, size_t,
                          const uint8_t*) {
  return false;
}
bool scaleAreaAverageAVX2Takes(int, int, int, int) {
  return false;
}
}  // namespace host::detail

#endif
