#include "notifications/context.h"

#include <cstdint>
#include <map>
#include <utility>

#include "host/foundation/value_helpers.h"
#include "host/springboard/springboard_selectors.h"
#include "prefs/globals.h"

namespace lumora {
namespace {

using rt::id;
using rt::Ref;

bool isNotificationController(id object) {
  return rt::send(object, sel::isKindOfClass, cls::NCNotificationViewController.get());
}

}  // namespace

bool isLockscreenNotification(id view) {
  // Walk up from the view itself until a view's controller is a notification controller,
  // stopping at the topmost view.
  Ref<> v = view ? view->ref() : nullptr;
  while (Ref<> parent = rt::send(v, sel::superview)) {
    if (isNotificationController(rt::send(v, sel::_viewControllerForAncestor).get())) break;
    v = parent;
  }
  Ref<> controller = rt::send(v, sel::_viewControllerForAncestor);
  if (!isNotificationController(controller.get())) return false;
  return rt::send(controller, sel::associatedView) != nullptr;
}

bool isRightToLeftLayout() {
  return rt::send(rt::send(cls::UIApplication, sel::sharedApplication),
                  sel::userInterfaceLayoutDirection) == 1;
}

const char* contextSuffix(id view) {
  return isLockscreenNotification(view) ? "Lockscreen" : "Banner";
}

Ref<> contextKey(const char* key, id view) {
  // The keys are made once per base key and context and kept: layout passes ask for
  // the same few dozen keys over and over, and a kept string keeps its hash. The base
  // keys are literals, so their addresses tell them apart.
  static std::map<std::pair<const char*, bool>, Ref<>> made;
  const bool lockscreen = isLockscreenNotification(view);
  Ref<>& contextual = made[{key, lockscreen}];
  if (!contextual)
    contextual = host::NSStr(std::string(key) + (lockscreen ? "Lockscreen" : "Banner"));
  return contextual;
}

bool isContextEnabled(id view) {
  return rt::send(preferences, sel::boolForKey,
                  isLockscreenNotification(view) ? LUMORA_STR("enableLockscreen")
                                                 : LUMORA_STR("enableBanners"));
}

Ref<> contextSettingValue(const char* key, id view) {
  Ref<> value = rt::send(preferences, sel::valueForKey, contextKey(key, view));
  return host::isString(value.get(), "none") ? nullptr : value;
}

bool contextSettingIs(const char* key, id view, const char* value) {
  return host::isString(rt::send(preferences, sel::valueForKey, contextKey(key, view)).get(),
                        value);
}

float cornerRadiusForView(id view) {
  // Each comparison reads the setting afresh, with a fresh context test.
  if (contextSettingIs("roundedCorners", view, "none")) return 0;
  if (contextSettingIs("roundedCorners", view, "round")) return -1;
  if (contextSettingIs("roundedCorners", view, "custom"))
    return rt::send(preferences, sel::floatForKey, contextKey("customCornerRadius", view));
  return 13;
}

float modernIndicatorWidth(id view) {
  if (!contextSettingIs("style", view, "modern")) return 0;
  const int64_t size =
      rt::send(preferences, sel::integerForKey, contextKey("indicatorModernSize", view));
  // Formed in integers; a size so large that adding would overflow saturates instead.
  auto plus21 = [](int64_t s) {
    return static_cast<float>(s > INT64_MAX - 21 ? INT64_MAX : s + 21);
  };
  if (contextSettingIs("indicatorModern", view, "icon")) return plus21(size);
  if (contextSettingIs("indicatorModern", view, "dot") ||
      contextSettingIs("indicatorModern", view, "triangle"))
    return plus21(size / 2);
  if (contextSettingIs("indicatorModern", view, "line")) return 25;
  return 5;
}

}  // namespace lumora
