// NSNotificationCenter and NSNotification: in-process notifications, posted and
// delivered synchronously on the posting thread (the main thread).
#pragma once

#include <vector>

#include "host/foundation/values.h"

namespace host {

class NSNotification : public NSObject {
 public:
  static inline const rt::ClassOf<NSNotification> cls{"NSNotification"};
  static void bind(ClassBuilder<NSNotification>& b);
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
  static inline const rt::ClassOf<NSNotificationCenter> cls{"NSNotificationCenter"};
  static void bind(ClassBuilder<NSNotificationCenter>& b);
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

void defineNotificationCenter(ClassList& list);
// Drops the default centre and its registrations.
void resetNotificationCenter();

}  // namespace host
