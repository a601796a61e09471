// Associated objects: values hung on an object under a key (the address of a static).
#pragma once

#include "runtime/object.h"

namespace rt {

// Stores value under key on object, replacing what was there. RetainNonatomic keeps a
// strong reference; Assign keeps a weak one. A nil value removes the key. A nil object
// does nothing.
void objc_setAssociatedObject(id object, const void* key, id value, AssociationPolicy policy);
// The value stored under key, or nil (none stored, nil object, or an assigned value
// that has since died).
Ref<> objc_getAssociatedObject(id object, const void* key);
// Drops every association of the object.
void objc_removeAssociatedObjects(id object);

}  // namespace rt
