// Readings of the style settings every surface has in common: the corner radius of a
// widget or the media player, whether a background colour is see-through, and where a
// border goes.
#pragma once

#include <optional>

#include "runtime/runtime.h"

namespace lumora {

// The stored or registered value of a setting that has no context (widget and media
// player settings), or nil.
rt::Ref<> preferenceValue(const char* key);

// The corner radius `roundedCornersKey` asks for on a view `height` points high: "none"
// 0, "round" half the height, "custom" the float under `customKey` (half the height when
// negative), any other value the stock 13.
rt::CGFloat surfaceCornerRadius(const char* roundedCornersKey, const char* customKey,
                                rt::CGFloat height);

// Whether a background colour setting is see-through: a string holding "0.00"
// ("#000000:0.00"). A value of another kind (a number a settings file may hold) is not;
// asking it for its text would stop the host.
bool isSeeThrough(rt::id value);

// Where a border of width `width` goes in a view of `size`, by a position setting
// compared with "all", "top", "right", "bottom" and "left" in this order: all four edges
// (`allEdges`), a strip along one edge (`strip`, its frame in the view), or nowhere (any
// other value, or none).
struct BorderPlacement {
  bool allEdges = false;
  std::optional<rt::CGRect> strip;
};
BorderPlacement borderPlacement(rt::id position, rt::CGFloat width, rt::CGSize size);

}  // namespace lumora
