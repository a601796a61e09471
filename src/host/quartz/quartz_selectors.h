// Selector constants of the layers, paths and colours of the drawing side. Geometry
// selectors shared with views (frame, bounds, background colour, hidden) live here, as a
// selector has one signature whichever class answers it.
#pragma once

#include <cstdint>

#include "host/foundation/foundation_selectors.h"

namespace sel {
using rt::CGPoint;
using rt::CGRect;
using rt::CGSize;

// Geometry and look, shared by CALayer and UIView
inline const Sel<CGRect()> frame{"frame"};
inline const Sel<void(CGRect)> setFrame{"setFrame:"};
inline const Sel<CGRect()> bounds{"bounds"};
inline const Sel<void(CGRect)> setBounds{"setBounds:"};
inline const Sel<Ref<>()> backgroundColor{"backgroundColor"};
inline const Sel<void(id)> setBackgroundColor{"setBackgroundColor:"};
inline const Sel<bool()> isHidden{"isHidden"};
inline const Sel<void(bool)> setHidden{"setHidden:"};

// CALayer (`layer` is also the class message that makes one, and a view's layer)
inline const Sel<Ref<>()> layer{"layer"};
inline const Sel<CGFloat()> cornerRadius{"cornerRadius"};
inline const Sel<void(CGFloat)> setCornerRadius{"setCornerRadius:"};
inline const Sel<bool()> continuousCorners{"continuousCorners"};
inline const Sel<void(bool)> setContinuousCorners{"setContinuousCorners:"};
inline const Sel<uint64_t()> maskedCorners{"maskedCorners"};
inline const Sel<void(uint64_t)> setMaskedCorners{"setMaskedCorners:"};
inline const Sel<bool()> masksToBounds{"masksToBounds"};
inline const Sel<void(bool)> setMasksToBounds{"setMasksToBounds:"};
inline const Sel<CGFloat()> borderWidth{"borderWidth"};
inline const Sel<void(CGFloat)> setBorderWidth{"setBorderWidth:"};
inline const Sel<Ref<>()> borderColor{"borderColor"};
inline const Sel<void(id)> setBorderColor{"setBorderColor:"};
inline const Sel<CGSize()> shadowOffset{"shadowOffset"};
inline const Sel<void(CGSize)> setShadowOffset{"setShadowOffset:"};
inline const Sel<CGFloat()> shadowRadius{"shadowRadius"};
inline const Sel<void(CGFloat)> setShadowRadius{"setShadowRadius:"};
inline const Sel<float()> shadowOpacity{"shadowOpacity"};
inline const Sel<void(float)> setShadowOpacity{"setShadowOpacity:"};
inline const Sel<Ref<>()> shadowColor{"shadowColor"};
inline const Sel<void(id)> setShadowColor{"setShadowColor:"};
inline const Sel<Ref<>()> mask{"mask"};
inline const Sel<void(id)> setMask{"setMask:"};
inline const Sel<Ref<>()> filters{"filters"};
inline const Sel<void(id)> setFilters{"setFilters:"};
inline const Sel<float()> opacity{"opacity"};
inline const Sel<void(float)> setOpacity{"setOpacity:"};
inline const Sel<Ref<>()> sublayers{"sublayers"};
inline const Sel<Ref<>()> superlayer{"superlayer"};
inline const Sel<void(id)> addSublayer{"addSublayer:"};
inline const Sel<void(id, uint32_t)> insertSublayer_atIndex{"insertSublayer:atIndex:"};
inline const Sel<void()> removeFromSuperlayer{"removeFromSuperlayer"};
inline const Sel<Ref<>()> delegate{"delegate"};

// CAGradientLayer
inline const Sel<Ref<>()> colors{"colors"};
inline const Sel<void(id)> setColors{"setColors:"};
inline const Sel<CGPoint()> startPoint{"startPoint"};
inline const Sel<void(CGPoint)> setStartPoint{"setStartPoint:"};
inline const Sel<CGPoint()> endPoint{"endPoint"};
inline const Sel<void(CGPoint)> setEndPoint{"setEndPoint:"};

// CAShapeLayer
inline const Sel<Ref<>()> path{"path"};
inline const Sel<void(id)> setPath{"setPath:"};
inline const Sel<Ref<>()> fillColor{"fillColor"};
inline const Sel<void(id)> setFillColor{"setFillColor:"};
}  // namespace sel

namespace cls {
inline const rt::ClassName CALayer{"CALayer"};
inline const rt::ClassName CAGradientLayer{"CAGradientLayer"};
inline const rt::ClassName CAShapeLayer{"CAShapeLayer"};
}  // namespace cls

namespace host {
// The colour functions the system calls.
// The four components (red, green, blue, alpha) of a CGColor, valid while the colour
// lives. Nil-safe: nil, or an object that is not a CGColor, answers four zeros.
const rt::CGFloat* CGColorGetComponents(rt::id color);
// The number of components: 4 for a CGColor, 0 for nil.
size_t CGColorGetNumberOfComponents(rt::id color);
// The alpha component, 0 for nil.
inline rt::CGFloat CGColorGetAlpha(rt::id color) {
  return CGColorGetComponents(color)[3];
}
}  // namespace host
