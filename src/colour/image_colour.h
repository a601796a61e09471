// Image colour analysis, the category UIImage(Lumora): the dominant colour of an icon
// and the average colour of an image.
#pragma once

#include <cstdint>
#include <vector>

#include "colour/clustering.h"
#include "runtime/runtime.h"

namespace lumora {

using rt::id;
using rt::Ref;

// The size of the sampling bitmap for an image of `points`: the size truncated to
// whole points, or, above 2000 pixels, about 2000 pixels of the same aspect ratio
// (s = sqrt(W / H x 2000) in 32-bit reals, giving s x 2000 / s, both truncated). A square
// image above the limit is analysed at 44 x 44.
struct AnalysisSize {
  int width = 0, height = 0;
  bool operator==(const AnalysisSize&) const = default;
};
AnalysisSize analysisSize(rt::CGSize points);

// The image drawn, scaled to fit, into a zero-filled sampling bitmap of `size`: 4 bytes
// a pixel (red, green, blue, alpha, colours premultiplied), rows from the top down.
// Without pixels (nil, no CGImage, an empty size) the buffer stays zero-filled.
std::vector<uint8_t> drawForAnalysis(id image, AnalysisSize size);

// The colour of the sorted clusters (only the first two matter, see leadingClusters):
// the clear colour for fewer than two; else the
// most populous cluster A, unless the runner-up B holds more than an eighth of A's
// count and is more vivid (saturation + brightness / 2, strictly). Always opaque.
Ref<> dominantColourOfClusters(const std::vector<RGBPixel>& sorted);

// The dominant colour of the image (a UIColor): its opaque pixels clustered, the most
// prominent cluster's colour, or the clear colour for an image that yields fewer than
// two clusters. Nil for nil.
Ref<> lumoraDominantColor(id image);

// The image reduced to one pixel (R, G, B, A bytes, premultiplied): with A > 0 the
// colour bytes times A / 255 / 255, alpha A / 255 (the colour bytes already carry the
// alpha and are multiplied by it once more, as the system does); with A = 0, the bytes
// over 255 and alpha 0. Nil for nil.
Ref<> lumoraAverageColor(id image);

}  // namespace lumora
