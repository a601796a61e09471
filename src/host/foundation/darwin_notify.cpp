#include "host/foundation/darwin_notify.h"

#include <algorithm>
#include <set>

#include "host/foundation/main_queue.h"
#include "host/foundation/values.h"

namespace host {

struct DarwinNotifyCenter {
  struct Observer {
    const void* observer;
    CFNotificationCallback callback;
    std::string name;
  };
  std::vector<Observer> observers;
  std::set<std::string> pending;  // names posted and not yet delivered
};

namespace {
DarwinNotifyCenter& center() {
  static DarwinNotifyCenter c;
  return c;
}
}  // namespace

CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter() {
  return &center();
}

void CFNotificationCenterAddObserver(CFNotificationCenterRef c, const void* observer,
                                     CFNotificationCallback callback, CFStringRef name, const void*,
                                     CFNotificationSuspensionBehavior) {
  const std::string* text = stringText(name);
  if (!c || !callback || !text) return;
  c->observers.push_back({observer, callback, *text});
}

void CFNotificationCenterPostNotification(CFNotificationCenterRef c, CFStringRef name, const void*,
                                          CFDictionaryRef, bool) {
  const std::string* text = stringText(name);
  if (!c || !text || !c->pending.insert(*text).second) return;  // coalesced
  dispatch_async(dispatch_get_main_queue(), [c, key = *text] {
    c->pending.erase(key);
    auto observers = c->observers;  // a callback may register more
    Ref<> nameObject = NSStr(key);
    for (auto& o : observers)
      if (o.name == key)
        o.callback(c, const_cast<void*>(o.observer), nameObject.get(), nullptr, nullptr);
  });
}

namespace darwin_notify {

std::vector<std::string> observedNames() {
  std::vector<std::string> names;
  for (auto& o : center().observers)
    if (std::find(names.begin(), names.end(), o.name) == names.end()) names.push_back(o.name);
  return names;
}

void reset() {
  center().observers.clear();
  center().pending.clear();
}

}  // namespace darwin_notify
}  // namespace host
