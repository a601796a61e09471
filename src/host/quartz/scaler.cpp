#include "host/quartz/scaler.h"

#include "host/quartz/scaler_avx2.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace host {
namespace {

// The source pixels that one destination pixel covers along one axis, and their
// weights: in units where a source pixel is `dn` long and a destination pixel `sn`
// long, the overlap of [s*dn, (s+1)*dn) with [d*sn, (d+1)*sn). The weights of one
// destination pixel sum to `sn`.
struct Spans {
  std::vector<int> first, count;
  std::vector<uint32_t> weights;  // concatenated, `count[d]` for each d
  std::vector<size_t> offset;
};

Spans makeSpans(int sn, int dn) {
  Spans spans;
  spans.first.resize(static_cast<size_t>(dn));
  spans.count.resize(static_cast<size_t>(dn));
  spans.offset.resize(static_cast<size_t>(dn));
  for (int d = 0; d < dn; ++d) {
    const int64_t start = int64_t{d} * sn, end = start + sn;
    const int64_t first = start / dn, last = (end - 1) / dn;
    spans.first[d] = static_cast<int>(first);
    spans.count[d] = static_cast<int>(last - first + 1);
    spans.offset[d] = spans.weights.size();
    for (int64_t s = first; s <= last; ++s)
      spans.weights.push_back(
          static_cast<uint32_t>(std::min((s + 1) * dn, end) - std::max(s * dn, start)));
  }
  return spans;
}

// Adds up to four weighted rows of bytes into the accumulator in one pass, the hot loop
// of the portable path (vectorised by the compiler, with AVX2 where the processor has
// it; one function per accumulator type, as multiversioned templates are not portable).
#define LUMORA_ADD_ROWS(V)                                                                 \
  __attribute__((target_clones("avx2", "default"))) void addRows(                          \
      V* __restrict acc, size_t n, const uint8_t* __restrict r0, V w0,                     \
      const uint8_t* __restrict r1, V w1, const uint8_t* __restrict r2, V w2,              \
      const uint8_t* __restrict r3, V w3) {                                                \
    for (size_t k = 0; k < n; ++k)                                                         \
      acc[k] = static_cast<V>(acc[k] + w0 * r0[k] + w1 * r1[k] + w2 * r2[k] + w3 * r3[k]); \
  }
LUMORA_ADD_ROWS(uint16_t)
LUMORA_ADD_ROWS(uint32_t)
#undef LUMORA_ADD_ROWS

// Rounds sum / total half up for every value of a row. The quotient is at most 255.5,
// so (y + 0.5) x (1 / total) in double precision lies within 2^-44 of the exact value,
// which is at least 0.5 / total from an integer: truncation gives floor(y / total).
template <class F>
void divideRow(const F* sums, size_t n, double half, double inverse, uint8_t* out) {
  for (size_t k = 0; k < n; ++k)
    out[k] = static_cast<uint8_t>(
        static_cast<int32_t>((static_cast<double>(sums[k]) + half + 0.5) * inverse));
}

// The horizontal pass sums in floating point, with every partial sum a whole number
// below 2^24 (float) or 2^53 (double), so exactly; unlike 32-bit integer products this
// vectorises on any x86-64. Four channels of one pixel form one vector.
using F32x4 = float __attribute__((vector_size(16)));
using F64x4 = double __attribute__((vector_size(32)));
using U16x4 = uint16_t __attribute__((vector_size(8)));
using U32x4 = uint32_t __attribute__((vector_size(16)));
template <class T>
struct Lanes4;
template <>
struct Lanes4<float> {
  using Type = F32x4;
};
template <>
struct Lanes4<double> {
  using Type = F64x4;
};
template <>
struct Lanes4<uint16_t> {
  using Type = U16x4;
};
template <>
struct Lanes4<uint32_t> {
  using Type = U32x4;
};

// V holds a column sum (at most sh x 255); F a pixel's full sum (at most sw x sh x 255).
template <class V, class F>
void scale(const uint8_t* src, int sw, int sh, size_t srcStride, uint8_t* dst, int dw, int dh,
           size_t dstStride) {
  using FV = typename Lanes4<F>::Type;
  using VV = typename Lanes4<V>::Type;
  const Spans rows = makeSpans(sh, dh), columns = makeSpans(sw, dw);
  // Every column sums the same number of pixels, padded with zero weights (over zero
  // accumulator lanes past the end), so the loop's length never varies.
  const int span = *std::max_element(columns.count.begin(), columns.count.end());
  std::vector<F> weights(static_cast<size_t>(dw) * span, F{0});
  for (int i = 0; i < dw; ++i)
    for (int c = 0; c < columns.count[i]; ++c)
      weights[static_cast<size_t>(i) * span + c] =
          static_cast<F>(columns.weights[columns.offset[i] + static_cast<size_t>(c)]);

  const size_t lanes = static_cast<size_t>(sw) * 4;
  std::vector<V> acc(lanes + static_cast<size_t>(span) * 4, V{0});
  std::vector<uint8_t> zeros(lanes, 0);
  std::vector<F> sums(static_cast<size_t>(dw) * 4);
  const double total = static_cast<double>(sw) * sh, half = std::floor(total / 2);
  const double inverse = 1.0 / total;
  for (int j = 0; j < dh; ++j) {
    std::fill(acc.begin(), acc.begin() + static_cast<ptrdiff_t>(lanes), V{0});
    const uint32_t* wy = rows.weights.data() + rows.offset[j];
    for (int r = 0; r < rows.count[j]; r += 4) {
      const uint8_t* row[4];
      V w[4];
      for (int k = 0; k < 4; ++k) {
        const bool used = r + k < rows.count[j];
        row[k] = used ? src + srcStride * static_cast<size_t>(rows.first[j] + r + k) : zeros.data();
        w[k] = used ? static_cast<V>(wy[r + k]) : V{0};
      }
      addRows(acc.data(), lanes, row[0], w[0], row[1], w[1], row[2], w[2], row[3], w[3]);
    }
    for (int i = 0; i < dw; ++i) {
      const F* wx = weights.data() + static_cast<size_t>(i) * span;
      const V* column = acc.data() + static_cast<size_t>(columns.first[i]) * 4;
      FV sum = {0, 0, 0, 0};
      for (int c = 0; c < span; ++c, column += 4) {
        VV pixel;
        std::memcpy(&pixel, column, sizeof pixel);
        sum += wx[c] * __builtin_convertvector(pixel, FV);
      }
      std::memcpy(&sums[4 * static_cast<size_t>(i)], &sum, sizeof sum);
    }
    divideRow(sums.data(), sums.size(), half, inverse, dst + dstStride * static_cast<size_t>(j));
  }
}

// Very large images, whose pixel sums need 64 bits: the same rule, plainly.
void scaleWide(const uint8_t* src, int sw, int sh, size_t srcStride, uint8_t* dst, int dw, int dh,
               size_t dstStride) {
  const Spans rows = makeSpans(sh, dh), columns = makeSpans(sw, dw);
  const size_t lanes = static_cast<size_t>(sw) * 4;
  std::vector<uint64_t> acc(lanes);
  const uint64_t total = static_cast<uint64_t>(sw) * static_cast<uint64_t>(sh), half = total / 2;
  for (int j = 0; j < dh; ++j) {
    std::fill(acc.begin(), acc.end(), 0);
    for (int r = 0; r < rows.count[j]; ++r) {
      const uint64_t w = rows.weights[rows.offset[j] + static_cast<size_t>(r)];
      const uint8_t* row = src + srcStride * static_cast<size_t>(rows.first[j] + r);
      for (size_t k = 0; k < lanes; ++k) acc[k] += w * row[k];
    }
    uint8_t* out = dst + dstStride * static_cast<size_t>(j);
    for (int i = 0; i < dw; ++i) {
      uint64_t sum[4] = {0, 0, 0, 0};
      for (int c = 0; c < columns.count[i]; ++c) {
        const uint64_t w = columns.weights[columns.offset[i] + static_cast<size_t>(c)];
        const uint64_t* column = &acc[static_cast<size_t>(columns.first[i] + c) * 4];
        for (int k = 0; k < 4; ++k) sum[k] += w * column[k];
      }
      for (int k = 0; k < 4; ++k) out[4 * i + k] = static_cast<uint8_t>((sum[k] + half) / total);
    }
  }
}

}  // namespace

namespace detail {

void scaleAreaAverageGeneral(const uint8_t* src, int sw, int sh, size_t srcStride, uint8_t* dst,
                             int dw, int dh, size_t dstStride, const uint8_t* order) {
  constexpr int kMaxSide = 1 << 24;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0 || sw > kMaxSide || sh > kMaxSide) return;
  // The largest column sum, and the largest pixel sum with the rounding half added.
  const uint64_t columnMax = uint64_t{255} * static_cast<uint64_t>(sh);
  const uint64_t pixelMax = uint64_t{256} * static_cast<uint64_t>(sh) * static_cast<uint64_t>(sw);
  const bool floatExact = pixelMax <= (uint64_t{1} << 24);
  if (columnMax <= 0xffff && floatExact)
    scale<uint16_t, float>(src, sw, sh, srcStride, dst, dw, dh, dstStride);
  else if (columnMax <= 0xffff && pixelMax <= (uint64_t{1} << 53))
    scale<uint16_t, double>(src, sw, sh, srcStride, dst, dw, dh, dstStride);
  else if (pixelMax <= (uint64_t{1} << 53))
    scale<uint32_t, double>(src, sw, sh, srcStride, dst, dw, dh, dstStride);
  else
    scaleWide(src, sw, sh, srcStride, dst, dw, dh, dstStride);
  if (!order || (order[0] == 0 && order[1] == 1 && order[2] == 2 && order[3] == 3)) return;
  for (int j = 0; j < dh; ++j) {
    uint8_t* p = dst + dstStride * static_cast<size_t>(j);
    for (int i = 0; i < dw; ++i, p += 4) {
      const uint8_t pixel[4] = {p[0], p[1], p[2], p[3]};
      for (int k = 0; k < 4; ++k) p[k] = pixel[order[k]];
    }
  }
}

}  // namespace detail

const char* scaleAreaAveragePath(int sw, int sh, int dw, int dh) {
  return detail::scaleAreaAverageAVX2Takes(sw, sh, dw, dh) ? "AVX2 and FMA" : "portable";
}

void scaleAreaAverage(const uint8_t* src, int sw, int sh, size_t srcStride, uint8_t* dst, int dw,
                      int dh, size_t dstStride, const uint8_t* order) {
  static constexpr uint8_t kSame[4] = {0, 1, 2, 3};
  if (sw > 0 && sh > 0 && dw > 0 && dh > 0 &&
      detail::scaleAreaAverageAVX2(src, sw, sh, srcStride, dst, dw, dh, dstStride,
                                   order ? order : kSame))
    return;
  detail::scaleAreaAverageGeneral(src, sw, sh, srcStride, dst, dw, dh, dstStride, order);
}

}  // namespace host
