// The scaler's AVX2 path (see scaler.h for the rule). Answers false, doing nothing,
// when the processor lacks AVX2 or FMA, or the sizes are outside its exact range.
#pragma once

#include <cstddef>
#include <cstdint>

namespace host::detail {

bool scaleAreaAverageAVX2(const uint8_t* src, int sw, int sh, size_t srcStride, uint8_t* dst,
                          int dw, int dh, size_t dstStride, const uint8_t order[4]);
// Whether that path takes these sizes on this processor.
bool scaleAreaAverageAVX2Takes(int sw, int sh, int dw, int dh);

}  // namespace host::detail
