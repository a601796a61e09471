#include "runtime/associations.h"

#include <algorithm>

namespace rt {

struct Associations {
  static std::vector<Object::Association>& of(Object& object) { return object.associations_; }
};

void objc_setAssociatedObject(id object, const void* key, id value, AssociationPolicy policy) {
  if (!object) return;
  auto& list = Associations::of(*object);
  // Take the new reference before dropping the old one, in case they are the same.
  Object::Association entry{key, policy, nullptr, {}};
  if (value) {
    if (policy == AssociationPolicy::RetainNonatomic)
      entry.strong = value->ref();
    else
      entry.weak = value->weak_from_this();
  }
  auto it = std::find_if(list.begin(), list.end(), [&](auto& a) { return a.key == key; });
  if (!value) {
    if (it != list.end()) {
      Object::Association dropped = std::move(*it);  // released after the list is consistent
      list.erase(it);
    }
    return;
  }
  if (it != list.end())
    std::swap(*it, entry);
  else
    list.push_back(std::move(entry));
}

Ref<> objc_getAssociatedObject(id object, const void* key) {
  if (!object) return nullptr;
  for (auto& a : Associations::of(*object))
    if (a.key == key)
      return a.policy == AssociationPolicy::RetainNonatomic ? a.strong : a.weak.lock();
  return nullptr;
}

void objc_removeAssociatedObjects(id object) {
  if (!object) return;
  auto dropped = std::move(Associations::of(*object));
  Associations::of(*object).clear();
}

}  // namespace rt
