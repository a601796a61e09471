#include "shared/surface_style.h"

#include <string>

#include "host/foundation/foundation_selectors.h"
#include "host/foundation/value_helpers.h"
#include "prefs/globals.h"

namespace lumora {

rt::Ref<> preferenceValue(const char* key) {
  return rt::send(preferences, sel::valueForKey, host::NSStr(key));
}

rt::CGFloat surfaceCornerRadius(const char* roundedCornersKey, const char* customKey,
                                rt::CGFloat height) {
  rt::Ref<> value = preferenceValue(roundedCornersKey);
  if (host::isString(value.get(), "none")) return 0;
  if (host::isString(value.get(), "round")) return height / 2;
  if (host::isString(value.get(), "custom")) {
    const float custom = rt::send(preferences, sel::floatForKey, host::NSStr(customKey));
    return custom < 0 ? height / 2 : rt::CGFloat{custom};
  }
  return 13;
}

bool isSeeThrough(rt::id value) {
  const std::string* text = host::stringText(value);
  return text && text->find("0.00") != std::string::npos;
}

BorderPlacement borderPlacement(rt::id position, rt::CGFloat width, rt::CGSize size) {
  const rt::CGFloat w = size.width, h = size.height;
  if (host::isString(position, "all")) return {true, std::nullopt};
  if (host::isString(position, "top")) return {false, rt::CGRect{{0, 0}, {w, width}}};
  if (host::isString(position, "right")) return {false, rt::CGRect{{w - width, 0}, {width, h}}};
  if (host::isString(position, "bottom")) return {false, rt::CGRect{{0, h - width}, {w, width}}};
  if (host::isString(position, "left")) return {false, rt::CGRect{{0, 0}, {width, h}}};
  return {};
}

}  // namespace lumora
