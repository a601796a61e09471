// Test notifications requested by the settings panel, and the demonstration sequence.
#pragma once

#include "host/foundation/darwin_notify.h"

namespace lumora {

// Darwin handler of "com.tarnwick.lumora/testRegular": one test banner.
void handleTestRegular(host::CFNotificationCenterRef center, void* observer, host::CFStringRef name,
                       const void* object, host::CFDictionaryRef userInfo);
// Darwin handler of "com.tarnwick.lumora/testLockscreen": lock, then test notifications.
void handleTestLockscreen(host::CFNotificationCenterRef center, void* observer,
                          host::CFStringRef name, const void* object,
                          host::CFDictionaryRef userInfo);
// The demonstration block scheduled by the notification routine.
void showDemoNotifications();

// How many test requests and demonstrations have been received (for reports and tests).
struct TestRequestCounts {
  int regular = 0, lockscreen = 0, demo = 0;
};
const TestRequestCounts& testRequestCounts();
void resetTestNotifications();

}  // namespace lumora
