#include "runtime/hook.h"

namespace rt {

IMP class_replaceMethodRaw(Class cls, SEL sel, IMP imp, const void* signature) {
  if (!cls) return nullptr;
  if (auto it = cls->methods.find(sel); it != cls->methods.end()) {
    IMP previous = it->second->imp;
    it->second->imp = imp;  // caches point at the record: one store suffices
    return previous;
  }
  const Method* inherited = class_getInstanceMethod(cls->superclass, sel);
  if (!inherited) return nullptr;
  class_addMethodRaw(cls, sel, imp, signature, inherited->types);
  return inherited->imp;
}

}  // namespace rt
