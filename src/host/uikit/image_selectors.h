// Selector constants of the host's colours and images (UIColor, UIImage), typed with
// their signatures.
#pragma once

#include <cstdint>

#include "host/foundation/selectors.h"

namespace sel {

// UIColor, class messages
inline const Sel<Ref<>(CGFloat, CGFloat, CGFloat, CGFloat)> colorWithRed_green_blue_alpha{
    "colorWithRed:green:blue:alpha:"};
inline const Sel<Ref<>(CGFloat, CGFloat, CGFloat, CGFloat)>
    colorWithHue_saturation_brightness_alpha{"colorWithHue:saturation:brightness:alpha:"};
inline const Sel<Ref<>()> clearColor{"clearColor"};
inline const Sel<Ref<>()> whiteColor{"whiteColor"};
inline const Sel<Ref<>()> blackColor{"blackColor"};
inline const Sel<Ref<>()> labelColor{"labelColor"};
inline const Sel<Ref<>()> systemGray4Color{"systemGray4Color"};

// UIColor
inline const Sel<Ref<>(CGFloat)> colorWithAlphaComponent{"colorWithAlphaComponent:"};
inline const Sel<bool(CGFloat*, CGFloat*, CGFloat*, CGFloat*)> getHue_saturation_brightness_alpha{
    "getHue:saturation:brightness:alpha:"};
inline const Sel<bool(CGFloat*, CGFloat*, CGFloat*, CGFloat*)> getRed_green_blue_alpha{
    "getRed:green:blue:alpha:"};
inline const Sel<Ref<>()> CGColor{"CGColor"};

// UIImage, class messages
inline const Sel<Ref<>(id)> imageWithData{"imageWithData:"};
inline const Sel<Ref<>(id, CGFloat)> imageWithData_scale{"imageWithData:scale:"};
inline const Sel<Ref<>(id)> imageWithContentsOfFile{"imageWithContentsOfFile:"};
inline const Sel<Ref<>(id)> imageWithCGImage{"imageWithCGImage:"};

// UIImage (`scale` is also the screen's: one selector, one signature)
inline const Sel<rt::CGSize()> size{"size"};
inline const Sel<CGFloat()> scale{"scale"};
inline const Sel<Ref<>()> CGImage{"CGImage"};

}  // namespace sel
