#include "host/uikit/colour.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/quartz/cgcolor.h"

namespace host {
namespace {

using rt::CGFloat;

const UIColor* asColor(id object) {
  return UIColor::cls.cast(object);
}

Ref<> named(CGFloat r, CGFloat g, CGFloat b, CGFloat a) {
  return UIColor::make(r, g, b, a);
}

}  // namespace

Ref<UIColor> UIColor::make(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
  return UIColor::cls.make(std::array<CGFloat, 4>{red, green, blue, alpha});
}

Ref<UIColor> UIColor::makeDynamic(std::array<CGFloat, 4> light, std::array<CGFloat, 4> dark) {
  return UIColor::cls.make(light, dark);
}

Ref<> UIColor::colorWithAlphaComponent(CGFloat alpha) const {
  if (dark_)
    return makeDynamic({rgba_[0], rgba_[1], rgba_[2], alpha},
                       {(*dark_)[0], (*dark_)[1], (*dark_)[2], alpha});
  return make(rgba_[0], rgba_[1], rgba_[2], alpha);
}

bool UIColor::getHue(CGFloat* hue, CGFloat* saturation, CGFloat* brightness, CGFloat* alpha) const {
  const auto [r, g, b, a] = rgba_;
  const CGFloat largest = std::max({r, g, b}), smallest = std::min({r, g, b});
  const CGFloat delta = largest - smallest;
  CGFloat h = 0;
  if (delta > 0) {
    if (largest == r)
      h = (g - b) / delta;
    else if (largest == g)
      h = 2 + (b - r) / delta;
    else
      h = 4 + (r - g) / delta;
    h /= 6;
    if (h < 0) h += 1;
  }
  if (hue) *hue = h;
  if (saturation) *saturation = largest != 0 ? delta / largest : 0;
  if (brightness) *brightness = largest;
  if (alpha) *alpha = a;
  return true;
}

bool UIColor::getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const {
  if (red) *red = rgba_[0];
  if (green) *green = rgba_[1];
  if (blue) *blue = rgba_[2];
  if (alpha) *alpha = rgba_[3];
  return true;
}

Ref<> UIColor::CGColor() const {
  return host::CGColor::make(rgba_[0], rgba_[1], rgba_[2], rgba_[3]);
}

bool UIColor::equals(const rt::Object& other) const {
  const UIColor* color = asColor(const_cast<rt::Object*>(&other));
  return color && color->rgba_ == rgba_;
}

std::string UIColor::describe() const {
  char text[96];
  std::snprintf(text, sizeof text, "UIExtendedSRGBColorSpace %g %g %g %g", rgba_[0], rgba_[1],
                rgba_[2], rgba_[3]);
  return text;
}

std::array<CGFloat, 3> rgbFromHSB(CGFloat hue, CGFloat saturation, CGFloat brightness) {
  CGFloat h = std::fmod(hue, 1.0);
  if (h < 0) h += 1;
  h *= 6;
  const int sector = static_cast<int>(h) % 6;
  const CGFloat f = h - std::floor(h), v = brightness, s = saturation;
  const CGFloat p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
  switch (sector) {
    case 0:
      return {v, t, p};
    case 1:
      return {q, v, p};
    case 2:
      return {p, v, t};
    case 3:
      return {p, q, v};
    case 4:
      return {t, p, v};
    default:
      return {v, p, q};
  }
}

void UIColor::bind(ClassBuilder<UIColor>& b) {
  using rt::SEL;
  Class color = b.cls();
  rt::bindMethod<&UIColor::colorWithAlphaComponent>(color, sel::colorWithAlphaComponent);
  rt::bindMethod<&UIColor::getHue>(color, sel::getHue_saturation_brightness_alpha);
  rt::bindMethod<&UIColor::getRed>(color, sel::getRed_green_blue_alpha);
  rt::bindMethod<&UIColor::CGColor>(color, sel::CGColor);
  rt::bindClassFunction(
      color, sel::colorWithRed_green_blue_alpha,
      +[](id, SEL, CGFloat r, CGFloat g, CGFloat b, CGFloat a) -> Ref<> {
        return UIColor::make(r, g, b, a);
      });
  rt::bindClassFunction(
      color, sel::colorWithHue_saturation_brightness_alpha,
      +[](id, SEL, CGFloat h, CGFloat s, CGFloat v, CGFloat a) -> Ref<> {
        const auto [r, g, b] = rgbFromHSB(h, s, v);
        return UIColor::make(r, g, b, a);
      });
  rt::bindClassFunction(
      color, sel::clearColor, +[](id, SEL) { return named(0, 0, 0, 0); });
  rt::bindClassFunction(
      color, sel::blackColor, +[](id, SEL) { return named(0, 0, 0, 1); });
  rt::bindClassFunction(
      color, sel::whiteColor, +[](id, SEL) { return named(1, 1, 1, 1); });
  rt::bindClassFunction(
      color, sel::labelColor, +[](id, SEL) -> Ref<> {
        return UIColor::makeDynamic({0, 0, 0, 1}, {1, 1, 1, 1});
      });
  rt::bindClassFunction(
      color, sel::systemGray4Color, +[](id, SEL) -> Ref<> {
        return UIColor::makeDynamic({209 / 255.0, 209 / 255.0, 214 / 255.0, 1},
                                    {58 / 255.0, 58 / 255.0, 60 / 255.0, 1});
      });
}

void defineUIColor(ClassList& list) {
  list.define<UIColor>(NSObject::cls, [] { return UIColor::make(0, 0, 0, 0); });
}

}  // namespace host
