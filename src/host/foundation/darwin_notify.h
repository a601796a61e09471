// The Darwin notify centre: system-wide named notifications without payload. A post
// schedules delivery on the main queue; posts of a name that is already waiting to be
// delivered coalesce into that one delivery.
#pragma once

#include <string>
#include <vector>

#include "runtime/runtime.h"

namespace host {

struct DarwinNotifyCenter;
using CFNotificationCenterRef = DarwinNotifyCenter*;
using CFStringRef = rt::id;  // an NSString (toll-free bridged)
using CFDictionaryRef = rt::id;
using CFNotificationCallback = void (*)(CFNotificationCenterRef center, void* observer,
                                        CFStringRef name, const void* object,
                                        CFDictionaryRef userInfo);
enum CFNotificationSuspensionBehavior {
  CFNotificationSuspensionBehaviorDrop = 1,
  CFNotificationSuspensionBehaviorCoalesce = 2,
  CFNotificationSuspensionBehaviorHold = 3,
  CFNotificationSuspensionBehaviorDeliverImmediately = 4,
};

CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter();
// Registers callback for name. The Darwin centre ignores object; observer is passed back.
void CFNotificationCenterAddObserver(CFNotificationCenterRef center, const void* observer,
                                     CFNotificationCallback callback, CFStringRef name,
                                     const void* object,
                                     CFNotificationSuspensionBehavior suspensionBehavior);
void CFNotificationCenterPostNotification(CFNotificationCenterRef center, CFStringRef name,
                                          const void* object, CFDictionaryRef userInfo,
                                          bool deliverImmediately);

namespace darwin_notify {
// The names with at least one observer, in registration order.
std::vector<std::string> observedNames();
void reset();
}  // namespace darwin_notify

}  // namespace host
