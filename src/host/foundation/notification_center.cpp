#include "host/foundation/notification_center.h"

#include <algorithm>

namespace host {
namespace {
Ref<NSNotificationCenter>& defaultCenterRef() {
  static Ref<NSNotificationCenter> center;
  return center;
}

bool sameName(const Ref<>& a, id b) {
  const std::string* x = stringText(a.get());
  const std::string* y = stringText(b);
  return x && y && *x == *y;
}
}  // namespace

void NSNotificationCenter::addObserver(id observer, rt::SEL selector, id name, id object) {
  if (!observer || !selector) return;
  registrations_.push_back({observer->weak_from_this(), selector, name ? name->ref() : nullptr,
                            object ? object->weak_from_this() : rt::WeakRef<>(),
                            object == nullptr});
}

void NSNotificationCenter::removeObserver(id observer, id name, id object) {
  if (!observer) return;
  std::erase_if(registrations_, [&](const Registration& r) {
    return r.observer.lock().get() == observer && (!name || sameName(r.name, name)) &&
           (!object || r.object.lock().get() == object);
  });
}

void NSNotificationCenter::post(id name, id object, id userInfo) {
  if (!name) return;
  auto notification = NSNotification::cls.make(name->ref(), object ? object->ref() : nullptr,
                                               userInfo ? userInfo->ref() : nullptr);
  postNotification(notification.get());
}

void NSNotificationCenter::postNotification(id notification) {
  auto* n = NSNotification::cls.cast(notification);
  if (!n) return;
  std::erase_if(registrations_, [](const Registration& r) { return r.observer.expired(); });
  // Observers may register or remove while being called: deliver to a snapshot.
  std::vector<std::pair<Ref<>, rt::SEL>> targets;
  for (const Registration& r : registrations_) {
    if (r.name && !sameName(r.name, n->name().get())) continue;
    if (!r.anyObject && r.object.lock() != n->object()) continue;
    if (Ref<> observer = r.observer.lock()) targets.emplace_back(std::move(observer), r.selector);
  }
  for (auto& [observer, selector] : targets) {
    // An observer method may ignore the notification and take no argument, which the
    // platform's calling convention tolerates; call it as what it is.
    const rt::Method* m = rt::class_getInstanceMethod(observer->isa(), selector);
    if (m && m->signature == rt::signatureTag<void>())
      rt::sendDynamic<void>(observer.get(), selector);
    else
      rt::sendDynamic<void, id>(observer.get(), selector, notification);
  }
}

size_t NSNotificationCenter::registrationCount(id observer) const {
  return std::count_if(registrations_.begin(), registrations_.end(),
                       [&](const Registration& r) { return r.observer.lock().get() == observer; });
}

void NSNotification::bind(ClassBuilder<NSNotification>& b) {
  b.method<&NSNotification::name>(sel::name)
      .method<&NSNotification::object>(sel::object)
      .method<&NSNotification::userInfo>(sel::userInfo);
}

void NSNotificationCenter::bind(ClassBuilder<NSNotificationCenter>& b) {
  b.classFunction(
       sel::defaultCenter,
       +[](id, rt::SEL) -> Ref<> {
         auto& c = defaultCenterRef();
         if (!c) c = NSNotificationCenter::cls.make();
         return c;
       })
      .method<&NSNotificationCenter::addObserver>(sel::addObserver_selector_name_object)
      .method<&NSNotificationCenter::removeObserver>(sel::removeObserver_name_object)
      .method<&NSNotificationCenter::removeAllOfObserver>(sel::removeObserver)
      .method<&NSNotificationCenter::postNotificationName>(sel::postNotificationName_object)
      .method<&NSNotificationCenter::post>(sel::postNotificationName_object_userInfo)
      .method<&NSNotificationCenter::postNotification>(sel::postNotification);
}

void defineNotificationCenter(ClassList& list) {
  // Notifications are made in C++ only (as posted), never by `new`.
  list.define<NSNotification>(NSObject::cls, [] { return nullptr; });
  list.define<NSNotificationCenter>(NSObject::cls);
}

void resetNotificationCenter() {
  defaultCenterRef().reset();
}

}  // namespace host
