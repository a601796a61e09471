// The area-averaging scaler that image drawing uses. Cairo's own good-quality
// downscale of a 180-pixel icon to 44 pixels costs about twenty times as much, and the
// colour analysis draws an icon on every miss of its cache.
#pragma once

#include <cstddef>
#include <cstdint>

namespace host {

// Scales an image of sw x sh four-byte pixels (rows `srcStride` bytes apart) to dw x dh
// pixels written to `dst` (rows `dstStride` bytes apart). Each channel of each
// destination pixel is the exact average of the source channel weighted by the area of
// each source pixel that the destination pixel covers, rounded to the nearest integer,
// halves up. Channels are treated alike, so the byte order is kept; on premultiplied
// pixels this is the correct average of colours. Sums are exact integers for every
// size up to 2^24 pixels a side; a size that is not positive, or larger, draws nothing.
// `order`, when given, arranges each destination pixel: its byte k is the source
// pixel's byte order[k] (so a drawing can write straight into a bitmap of another
// channel order).
void scaleAreaAverage(const uint8_t* src, int sw, int sh, size_t srcStride, uint8_t* dst, int dw,
                      int dh, size_t dstStride, const uint8_t* order = nullptr);

// "AVX2 and FMA" when scaleAreaAverage takes its vector path for these sizes on this
// processor, else "portable".
const char* scaleAreaAveragePath(int sw, int sh, int dw, int dh);

namespace detail {
// The portable path alone, which the fast one must equal (for tests).
void scaleAreaAverageGeneral(const uint8_t* src, int sw, int sh, size_t srcStride, uint8_t* dst,
                             int dw, int dh, size_t dstStride, const uint8_t* order = nullptr);
}  // namespace detail

}  // namespace host
