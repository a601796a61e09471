// The platform's geometry structures, which travel through messages by value.
#pragma once

namespace rt {

using CGFloat = double;

struct CGPoint {
  CGFloat x = 0, y = 0;
  bool operator==(const CGPoint&) const = default;
};

struct CGSize {
  CGFloat width = 0, height = 0;
  bool operator==(const CGSize&) const = default;
};

struct CGRect {
  CGPoint origin;
  CGSize size;
  bool operator==(const CGRect&) const = default;
};

inline constexpr CGRect CGRectZero{};
inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat w, CGFloat h) {
  return {{x, y}, {w, h}};
}
inline CGFloat CGRectGetMinX(CGRect r) {
  return r.origin.x;
}
inline CGFloat CGRectGetMinY(CGRect r) {
  return r.origin.y;
}
inline CGFloat CGRectGetMaxX(CGRect r) {
  return r.origin.x + r.size.width;
}
inline CGFloat CGRectGetMaxY(CGRect r) {
  return r.origin.y + r.size.height;
}
inline CGFloat CGRectGetWidth(CGRect r) {
  return r.size.width;
}
inline CGFloat CGRectGetHeight(CGRect r) {
  return r.size.height;
}

}  // namespace rt
