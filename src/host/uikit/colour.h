// UIColor: every colour, named ones included, is held as four double components in
// the RGB model, as the system reads them back (red, green, blue, alpha, normally 0 to
// 1; nothing is clamped).
//
// Named colours take the host's light-style values:
//   clearColor        (0, 0, 0, 0)
//   blackColor        (0, 0, 0, 1)
//   whiteColor        (1, 1, 1, 1)
//   labelColor        (0, 0, 0, 1), black, the light-style label colour
//   systemGray4Color  (209/255, 209/255, 214/255, 1)
// labelColor and systemGray4Color are dynamic, as on the host: they also hold their
// dark-style values, white and (58/255, 58/255, 60/255, 1), which a view drawn in the
// dark style shows. Everything that reads components (getRed:..., CGColor, equality)
// sees the light values.
#pragma once

#include <array>
#include <optional>

#include "host/foundation/values.h"
#include "host/uikit/uikit_selectors.h"

namespace host {

class UIColor : public NSObject {
 public:
  static inline const rt::ClassOf<UIColor> cls{"UIColor"};
  static void bind(ClassBuilder<UIColor>& b);
  explicit UIColor(std::array<rt::CGFloat, 4> rgba,
                   std::optional<std::array<rt::CGFloat, 4>> dark = std::nullopt)
      : rgba_(rgba), dark_(dark) {}
  // A colour of the class UIColor; never nil, even before the host is booted.
  static Ref<UIColor> make(rt::CGFloat red, rt::CGFloat green, rt::CGFloat blue, rt::CGFloat alpha);
  // A dynamic colour: `light` in the light style, `dark` in the dark style.
  static Ref<UIColor> makeDynamic(std::array<rt::CGFloat, 4> light,
                                  std::array<rt::CGFloat, 4> dark);
  const std::array<rt::CGFloat, 4>& rgba() const { return rgba_; }
  // The components a view of the given style shows (the light ones unless dynamic).
  const std::array<rt::CGFloat, 4>& rgba(bool darkStyle) const {
    return darkStyle && dark_ ? *dark_ : rgba_;
  }

  Ref<> colorWithAlphaComponent(rt::CGFloat alpha) const;
  // HSB (HSV): brightness is the largest component, saturation (largest - smallest) /
  // largest (0 for black), hue in [0, 1) (0 for greys). Null pointers are skipped.
  bool getHue(rt::CGFloat* hue, rt::CGFloat* saturation, rt::CGFloat* brightness,
              rt::CGFloat* alpha) const;
  bool getRed(rt::CGFloat* red, rt::CGFloat* green, rt::CGFloat* blue, rt::CGFloat* alpha) const;
  Ref<> CGColor() const;
  bool equals(const rt::Object& other) const override;
  std::string describe() const override;

 private:
  std::array<rt::CGFloat, 4> rgba_;
  std::optional<std::array<rt::CGFloat, 4>> dark_;
};

// The RGB components of a colour of hue, saturation and brightness (the inverse of
// getHue:saturation:brightness:alpha:). Hue wraps around 1.
std::array<rt::CGFloat, 3> rgbFromHSB(rt::CGFloat hue, rt::CGFloat saturation,
                                      rt::CGFloat brightness);

// Defines UIColor. Part of booting the host.
void defineUIColor(ClassList& list);

}  // namespace host
