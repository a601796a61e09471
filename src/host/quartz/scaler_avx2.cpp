// The area-averaging scaler's fast path on processors with AVX2, for the common case
// where the reduced weights are small: an icon of 180 or 120 pixels sampled at 44 has
// weights in units of 1/11 of a source pixel summing to 45 or 30. Results are exactly
// those of the general path (both are checked against the literal rule).
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
  std::vector<int> first;
  std::vector<int16_t> weights;  // taps per destination pixel
  int taps = 0, sum = 0;
};

Axis reducedAxis(int sn, int dn) {
  const int g = std::gcd(sn, dn);
  const int64_t unitS = dn / g;  // a source pixel's length in reduced units
  Axis axis;
  axis.sum = sn / g;
  axis.first.resize(static_cast<size_t>(dn));
  std::vector<int> last(static_cast<size_t>(dn));
  for (int d = 0; d < dn; ++d) {
    const int64_t start = int64_t{d} * sn, end = start + sn;
    axis.first[d] = static_cast<int>(start / dn);
    last[d] = static_cast<int>((end - 1) / dn);
    axis.taps = std::max(axis.taps, last[d] - axis.first[d] + 1);
  }
  axis.taps += axis.taps % 2;
  axis.weights.assign(static_cast<size_t>(dn) * axis.taps, 0);
  for (int d = 0; d < dn; ++d) {
    const int64_t start = int64_t{d} * axis.sum, end = start + axis.sum;  // reduced units
    for (int s = axis.first[d]; s <= last[d]; ++s)
      axis.weights[static_cast<size_t>(d) * axis.taps + (s - axis.first[d])] =
          static_cast<int16_t>(std::min((s + 1) * unitS, end) - std::max(s * unitS, start));
  }
  return axis;
}

// One destination row of column sums: sum over rows of weight x byte, two rows per
// multiply (bytes interleaved, pmaddubsw), sixteen bit results stored in byte order.
// `count` is even and at most 2 x kMaxPairs.
constexpr int kMaxPairs = 8;
__attribute__((target("avx2"))) void verticalRow(const uint8_t* const* rows, const int8_t* weights,
                                                 int count, size_t n, int16_t* out) {
  const int pairs = count / 2;
  __m256i w[kMaxPairs];
  for (int p = 0; p < pairs; ++p)
    w[p] = _mm256_set1_epi16(static_cast<int16_t>(static_cast<uint8_t>(weights[2 * p]) |
                                                  static_cast<uint8_t>(weights[2 * p + 1]) << 8));
  size_t k = 0;
  for (; k + 32 <= n; k += 32) {
    __m256i lo = _mm256_setzero_si256(), hi = _mm256_setzero_si256();
    for (int p = 0; p < pairs; ++p) {
      const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[2 * p] + k));
      const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[2 * p + 1] + k));
      lo = _mm256_add_epi16(lo, _mm256_maddubs_epi16(_mm256_unpacklo_epi8(a, b), w[p]));
      hi = _mm256_add_epi16(hi, _mm256_maddubs_epi16(_mm256_unpackhi_epi8(a, b), w[p]));
    }
    // unpack works within 128-bit halves: put bytes 0-15 and 16-31 back in order.
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k),
                        _mm256_permute2x128_si256(lo, hi, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k + 16),
                        _mm256_permute2x128_si256(lo, hi, 0x31));
  }
  for (; k + 16 <= n; k += 16) {
    __m128i lo = _mm_setzero_si128(), hi = _mm_setzero_si128();
    for (int p = 0; p < pairs; ++p) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2 * p] + k));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2 * p + 1] + k));
      const __m128i wp = _mm256_castsi256_si128(w[p]);
      lo = _mm_add_epi16(lo, _mm_maddubs_epi16(_mm_unpacklo_epi8(a, b), wp));
      hi = _mm_add_epi16(hi, _mm_maddubs_epi16(_mm_unpackhi_epi8(a, b), wp));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), lo);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k + 8), hi);
  }
  for (; k < n; ++k) {
    int sum = 0;
    for (int r = 0; r < count; ++r) sum += weights[r] * rows[r][k];
    out[k] = static_cast<int16_t>(sum);
  }
}

// The weighted sum of one destination pixel's taps in each 128-bit half: pixel i's in
// the low half and pixel i + 1's in the high one. Adjacent taps of one channel are
// interleaved (one byte shuffle) and multiplied pairwise (pmaddwd).
__attribute__((target("avx2"), always_inline)) inline __m256i twoPixels(const int16_t* p0,
                                                                        const int16_t* p1,
                                                                        const int32_t* w, int pairs,
                                                                        __m256i interleave) {
  __m256i acc = _mm256_setzero_si256();
  for (int t = 0; t < pairs; ++t) {
    const __m256i v = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p0 + 8 * t))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(p1 + 8 * t)), 1);
    const __m256i weights = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w + 8 * t));
    acc = _mm256_add_epi32(acc, _mm256_madd_epi16(_mm256_shuffle_epi8(v, interleave), weights));
  }
  return acc;
}

// floor((sum + offset) x scale), lane by lane.
__attribute__((target("avx2"), always_inline)) inline __m256i divide(__m256i sum, __m256 offset,
                                                                     __m256 scale) {
  return _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_add_ps(_mm256_cvtepi32_ps(sum), offset), scale));
}

// One destination row from its column sums, four destination pixels per step, rounded
// half up by (y + 0.5) / total in single precision, which is exact for totals up to
// 8192 (the quotient is at most 255.5, the error below 2^-15, the margin to an integer
// at least 0.5 / total).
template <int Pairs>
__attribute__((target("avx2"))) void horizontalRows(const int16_t* sums, const Axis& x,
                                                    const int32_t* columns,
                                                    const int32_t* pairWeights, int dw, float half,
                                                    float inverse, const uint8_t* channelOrder,
                                                    uint8_t* out) {
  // The common tap counts are constants here, so that the tap loops unroll.
  const int pairs = Pairs ? Pairs : x.taps / 2;
  const __m256 offset = _mm256_set1_ps(half + 0.5f), scale = _mm256_set1_ps(inverse);
  // Two pixels' channels [a0 a1 a2 a3 b0 b1 b2 b3] to [a0 b0 a1 b1 a2 b2 a3 b3].
  const __m256i interleave = _mm256_setr_epi8(0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15,
                                              0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15);
  // After packing, the pixels i, i + 2 lie in the low half and i + 1, i + 3 in the high
  // one; put them in order, then each pixel's bytes in the destination's order.
  const __m256i inOrder = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
  const __m256i channels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(channelOrder));
  const auto column = [&](int i) { return sums + columns[i]; };
  for (int i = 0; i < dw; i += 4) {
    const int32_t* w = pairWeights + static_cast<size_t>(i / 2) * pairs * 8;
    const __m256i a = twoPixels(column(i), column(i + 1), w, pairs, interleave);
    // Past the last pixel the weights are zero (padded), and nothing is stored.
    const __m256i b = twoPixels(column(i + 2), column(i + 3), w + pairs * 8, pairs, interleave);
    const __m256i words = _mm256_packus_epi32(divide(a, offset, scale), divide(b, offset, scale));
    const __m256i bytes = _mm256_shuffle_epi8(
        _mm256_permutevar8x32_epi32(_mm256_packus_epi16(words, words), inOrder), channels);
    const int n = std::min(4, dw - i);
    if (n == 4)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * static_cast<size_t>(i)),
                       _mm256_castsi256_si128(bytes));
    else {
      alignas(16) uint8_t last[16];
      _mm_store_si128(reinterpret_cast<__m128i*>(last), _mm256_castsi256_si128(bytes));
      std::memcpy(out + 4 * static_cast<size_t>(i), last, 4 * static_cast<size_t>(n));
    }
  }
}

__attribute__((target("avx2"))) void horizontalRow(const int16_t* sums, const Axis& x,
                                                   const int32_t* columns,
                                                   const int32_t* pairWeights, int dw, float half,
                                                   float inverse, const uint8_t* channelOrder,
                                                   uint8_t* out) {
  switch (x.taps / 2) {
#define LUMORA_ROW(P) \
  case P:             \
    return horizontalRows<P>(sums, x, columns, pairWeights, dw, half, inverse, channelOrder, out);
    LUMORA_ROW(1)
    LUMORA_ROW(2)
    LUMORA_ROW(3)
#undef LUMORA_ROW
    default:
      return horizontalRows<0>(sums, x, columns, pairWeights, dw, half, inverse, channelOrder, out);
  }
}

// Everything that depends only on the sizes, kept for the next call: the analysis
// samples every icon at the same sizes.
struct Plan {
  int sizes[4] = {0, 0, 0, 0};
  Axis y, x;
  std::vector<int32_t> pairWeights;  // pmaddwd operands, two destination pixels a vector
  std::vector<uint8_t> zeros;        // a row of zeros for padding taps
  std::vector<int16_t> sums;         // column sums of two destination rows
  std::vector<int32_t> columns;      // each destination pixel's first sum (past dw: the last's)

  void make(int sw, int sh, int dw, int dh) {
    sizes[0] = sw, sizes[1] = sh, sizes[2] = dw, sizes[3] = dh;
    y = reducedAxis(sh, dh), x = reducedAxis(sw, dw);
    const int pairs = x.taps / 2;
    pairWeights.assign(static_cast<size_t>((dw + 3) / 4) * 2 * pairs * 8, 0);
    for (int i = 0; i < dw; ++i)
      for (int t = 0; t < pairs; ++t) {
        const int16_t* w = &x.weights[static_cast<size_t>(i) * x.taps + 2 * t];
        const int32_t pair = static_cast<int32_t>(
            static_cast<uint16_t>(w[0]) | static_cast<uint32_t>(static_cast<uint16_t>(w[1])) << 16);
        int32_t* slot = &pairWeights[(static_cast<size_t>(i / 2) * pairs + t) * 8 + (i % 2) * 4];
        std::fill(slot, slot + 4, pair);
      }
    zeros.assign(static_cast<size_t>(sw) * 4, 0);
    columns.resize(static_cast<size_t>((dw + 3) / 4) * 4);
    for (size_t i = 0; i < columns.size(); ++i)
      columns[i] = x.first[std::min(static_cast<int>(i), dw - 1)] * 4;
  }
};

}  // namespace

bool scaleAreaAverageAVX2Takes(int sw, int sh, int dw, int dh) {
  static const bool available = __builtin_cpu_supports("avx2");
  if (!available || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return false;
  // Column sums must fit signed 16 bits and pairs of weights signed bytes (sum <= 127),
  // and the total must keep the single-precision rounding exact.
  const int64_t sumY = sh / std::gcd(sh, dh), sumX = sw / std::gcd(sw, dw);
  if (sumY > 127 || sumX * sumY > 8192) return false;
  return reducedAxis(sh, dh).taps <= 2 * kMaxPairs;
}

bool scaleAreaAverageAVX2(const uint8_t* src, int sw, int sh, size_t srcStride, uint8_t* dst,
                          int dw, int dh, size_t dstStride, const uint8_t order[4]) {
  static const bool available = __builtin_cpu_supports("avx2");
  if (!available) return false;
  // Column sums must fit signed 16 bits and pairs of weights signed bytes (sum <= 127),
  // and the total must keep the single-precision rounding exact.
  const int64_t sumY = sh / std::gcd(sh, dh), sumX = sw / std::gcd(sw, dw);
  if (sumY > 127 || sumX * sumY > 8192) return false;

  thread_local Plan plan;
  if (plan.sizes[0] != sw || plan.sizes[1] != sh || plan.sizes[2] != dw || plan.sizes[3] != dh)
    plan.make(sw, sh, dw, dh);
  const Axis &y = plan.y, &x = plan.x;
  if (y.taps > 2 * kMaxPairs) return false;

  const size_t lanes = static_cast<size_t>(sw) * 4;
  // Taps past the last column read zeros: the row of sums is padded.
  // Two rows of sums, so that each row's horizontal pass reads sums stored one row
  // earlier: reading them back at once stalls on stores still in flight.
  const size_t rowSums = lanes + static_cast<size_t>(x.taps + 2) * 4;
  plan.sums.assign(2 * rowSums, 0);
  const float total = static_cast<float>(x.sum) * static_cast<float>(y.sum);
  const auto vertical = [&](int j) {
    const uint8_t* rows[2 * kMaxPairs];
    int8_t rowWeights[2 * kMaxPairs];
    for (int r = 0; r < y.taps; ++r) {
      const int16_t w = y.weights[static_cast<size_t>(j) * y.taps + r];
      const int row = y.first[j] + r;
      rows[r] = w && row < sh ? src + srcStride * static_cast<size_t>(row) : plan.zeros.data();
      rowWeights[r] = static_cast<int8_t>(w);
    }
    verticalRow(rows, rowWeights, y.taps, lanes, plan.sums.data() + rowSums * (j % 2));
  };
  // Four pixels' bytes in the destination's order, as a byte shuffle.
  uint8_t channelOrder[32] = {};
  for (int k = 0; k < 16; ++k) channelOrder[k] = static_cast<uint8_t>(k / 4 * 4 + order[k % 4]);
  vertical(0);
  for (int j = 0; j < dh; ++j) {
    if (j + 1 < dh) vertical(j + 1);
    horizontalRow(plan.sums.data() + rowSums * (j % 2), x, plan.columns.data(),
                  plan.pairWeights.data(), dw, std::floor(total / 2), 1.0f / total, channelOrder,
                  dst + dstStride * static_cast<size_t>(j));
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
