#include "notifications/test_requests.h"

namespace lumora {
namespace {
TestRequestCounts counts;
}  // namespace

// FIXME: posting the test bulletins (random installed apps, locking the device) is not
// built yet; the handlers only count the requests.
void handleTestRegular(host::CFNotificationCenterRef, void*, host::CFStringRef, const void*,
                       host::CFDictionaryRef) {
  ++counts.regular;
}

void handleTestLockscreen(host::CFNotificationCenterRef, void*, host::CFStringRef, const void*,
                          host::CFDictionaryRef) {
  ++counts.lockscreen;
}

void showDemoNotifications() {
  ++counts.demo;
}

const TestRequestCounts& testRequestCounts() {
  return counts;
}
void resetTestNotifications() {
  counts = {};
}

}  // namespace lumora
