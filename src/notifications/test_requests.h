// Test notifications requested by the settings panel, and the demonstration sequence.
// The panel posts "com.tarnwick.lumora/testRegular" (one test banner) or
// "com.tarnwick.lumora/testLockscreen" (lock, then six test notifications); the
// bulletins are posted in the names of installed apps chosen at random and are restyled
// like any other notification.
#pragma once

#include <cstdint>

#include "host/foundation/darwin_notify.h"

namespace lumora {

// YES from the moment a test is accepted until one second after its bulletins are
// posted; requests arriving meanwhile are dropped.
extern bool isTesting;

// Darwin handler of "com.tarnwick.lumora/testRegular": one test banner.
void handleTestRegular(host::CFNotificationCenterRef center, void* observer, host::CFStringRef name,
                       const void* object, host::CFDictionaryRef userInfo);
// Darwin handler of "com.tarnwick.lumora/testLockscreen": locks the device, and one
// second later posts five test notifications (the fifth preceded by a second one).
void handleTestLockscreen(host::CFNotificationCenterRef center, void* observer,
                          host::CFStringRef name, const void* object,
                          host::CFDictionaryRef userInfo);
// Posts `count` test bulletins for randomly chosen eligible apps (none when no app is
// eligible) and clears isTesting one second later.
void showTestNotifications(int32_t count);
void finishTesting();
// The demonstration block the notification routine schedules: four fixed bulletins.
void showDemoNotifications();

// Forgets the looked-up classes and clears isTesting; part of resetting the process.
void resetTestNotifications();

}  // namespace lumora
