#include "colour/colour_string.h"

#include "host/foundation/value_helpers.h"
#include "host/uikit/uikit_selectors.h"

namespace lumora {

Ref<> lumoraColorFromHexString(id text) {
  // Nil, the empty text, anything but a string, and text not starting with the mark.
  const std::string* string = host::stringText(text);
  if (!string || string->empty() || string->find('#') != 0) return nullptr;

  double alpha = 1.0;
  if (const size_t colon = string->find(':'); colon != std::string::npos)
    alpha = rt::send(rt::send(text, sel::substringFromIndex, colon + 1), sel::floatValue);

  uint32_t value = 0;
  Ref<> scanner = rt::send(cls::NSScanner, sel::scannerWithString, text);
  rt::send(scanner, sel::setScanLocation, uint64_t{1});
  rt::send(scanner, sel::scanHexInt, &value);

  const double red = ((value >> 16) & 0xff) / 255.0;
  const double green = ((value >> 8) & 0xff) / 255.0;
  const double blue = (value & 0xff) / 255.0;
  return rt::send(cls::UIColor, sel::colorWithRed_green_blue_alpha, red, green, blue, alpha);
}

Ref<> colourForSetting(id value, id dominant, std::optional<double> alpha) {
  if (host::isString(value, "dominant")) {
    if (!alpha) return dominant ? dominant->ref() : nullptr;
    return rt::send(dominant, sel::colorWithAlphaComponent, rt::CGFloat{*alpha});
  }
  return lumoraColorFromHexString(value);
}

Ref<> visibleColour(id colour) {
  if (!colour) return nullptr;
  Ref<> cgColor = rt::send(colour, sel::CGColor);
  return host::CGColorGetAlpha(cgColor.get()) > 0 ? colour->ref() : nullptr;
}

double lumoraColorBrightness(id colour) {
  if (!colour) return 0;
  Ref<> cgColor = rt::send(colour, sel::CGColor);
  const rt::CGFloat* c = host::CGColorGetComponents(cgColor.get());
  return (c[0] * 299 + c[1] * 587 + c[2] * 114) / 1000;
}

bool lumoraIsDarkColor(id colour) {
  if (!colour) return false;
  return lumoraColorBrightness(colour) < 0.6;
}

}  // namespace lumora
