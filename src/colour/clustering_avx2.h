// The clustering's AVX2 path (see clustering.h for the rule). Answers false, doing
// nothing, on processors without AVX2.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "colour/clustering.h"

namespace lumora::detail {

bool clusterPixelsAVX2(const uint8_t* rgba, size_t count, std::vector<RGBPixel>& out);

}  // namespace lumora::detail
