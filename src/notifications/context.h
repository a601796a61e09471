// A notification's context (banner or lockscreen) and the settings that depend on it.
// Every notification hook first decides which context the view it is handed belongs to,
// then reads the setting of that context: a base key followed by "Banner" or
// "Lockscreen". Nothing is cached but the host class looked up by name, so a change of
// settings or of presentation shows at the next layout.
#pragma once

#include <string>

#include "runtime/runtime.h"

namespace lumora {

// YES when the device lays out right to left (the leading edge is on the right).
bool isRightToLeftLayout();
// YES when the view belongs to a notification controller that sits in the lockscreen
// list (it has an associated view); NO for a banner, for nil and for a view outside any
// notification controller's hierarchy.
bool isLockscreenNotification(rt::id view);
// "Lockscreen" or "Banner".
const char* contextSuffix(rt::id view);
// The base key (a string literal) followed by the view's context suffix
// ("roundedCorners" + "Banner").
rt::Ref<> contextKey(const char* key, rt::id view);
// The gate of the view's context: "enableLockscreen" or "enableBanners".
bool isContextEnabled(rt::id view);
// The setting stored under contextKey, or nil when it is "none" (or absent).
rt::Ref<> contextSettingValue(const char* key, rt::id view);
// YES when the contextual setting is the string `value` (exact, case-sensitive).
bool contextSettingIs(const char* key, rt::id view, const char* value);
// The corner radius: 0 for "none", -1 for "round" (the caller uses half the height),
// the custom radius for "custom", 13 for anything else.
float cornerRadiusForView(rt::id view);
// The room the modern indicator takes beside the text: 0 unless the style is "modern";
// size S + 21 for "icon", S / 2 + 21 for "dot" and "triangle" (integer halving), 25 for
// "line", 5 for anything else.
float modernIndicatorWidth(rt::id view);

}  // namespace lumora
