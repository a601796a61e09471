// NSNotificationCenter and NSNotification: in-process notifications, posted and
// delivered synchronously on the posting thread (the main thread).
#pragma once

#include <vector>

#include "host/foundation/values.h"

namespace sel {
inline const Sel<Ref<>()> defaultCenter{"defaultCenter"};
inline const Sel<void(id, SEL, id, id)> addObserver_selector_name_object{
    "addObserver:selector:name:object:"};
inline const Sel<void(id, id, id)> removeObserver_name_object{"removeObserver:name:object:"};
inline const Sel<void(id)> removeObserver{"removeObserver:"};
inline const Sel<void(id, id)> postNotificationName_object{"postNotificationName:object:"};
inline const Sel<void(id, id, id)> postNotificationName_object_userInfo{
    "postNotificationName:object:userInfo:"};
inline const Sel<void(id)> postNotification{"postNotification:"};
inline const Sel<Ref<>()> name{"name"};
inline const Sel<Ref<>()> object{"object"};
inline const Sel<Ref<>()> userInfo{"userInfo"};
}  // namespace sel

namespace host {

class NSNotification : public NSObject {
 public:
  NSNotification(Ref<> name, Ref<> object, Ref<> userInfo)
      : name_(std::move(name)), object_(std::move(object)), userInfo_(std::move(userInfo)) {}
  Ref<> name() const { return name_; }
  Ref<> object() const { return object_; }
  Ref<> userInfo() const { return userInfo_; }

 private:
  Ref<> name_, object_, userInfo_;
};

// Observers and the objects they filter on are held weakly, as on the host: a dead
// observer is never called and is dropped at the next post.
class NSNotificationCenter : public NSObject {
 public:
  void addObserver(id observer, rt::SEL selector, id name, id object);
  // Removes the observer's registrations matching name and object (nil matches all).
  void removeObserver(id observer, id name, id object);
  void removeAllOfObserver(id observer) { removeObserver(observer, nullptr, nullptr); }
  void postNotificationName(id name, id object) { post(name, object, nullptr); }
  void post(id name, id object, id userInfo);
  void postNotification(id notification);
  // How many live registrations the observer has (for tests and reports).
  size_t registrationCount(id observer) const;

 private:
  struct Registration {
    rt::WeakRef<> observer;
    rt::SEL selector;
    Ref<> name;  // nil: every name
    rt::WeakRef<> object;
    bool anyObject;  // registered with a nil object: every sender
  };
  std::vector<Registration> registrations_;
};

void registerNotificationCenter();
// Drops the default centre and its registrations.
void resetNotificationCenter();

}  // namespace host
