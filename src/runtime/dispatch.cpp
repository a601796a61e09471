// The slow path of message send: the first lookup of a selector for a class, and the
// programming errors a send can meet.
#include "runtime/dispatch.h"

namespace rt::detail {

const Method* lookupSlow(Class cls, SEL sel) {
  const Method* m = class_getInstanceMethod(cls, sel);
  if (m) {
    if (cls->cache.size() <= sel->index) cls->cache.resize(selectorCount(), nullptr);
    cls->cache[sel->index] = m;
  }
  return m;
}

void unrecognizedSelector(id self, SEL sel) {
  throw ProgrammingError(std::string("-[") + class_getName(self->isa()) + " " + sel->name +
                         "]: unrecognized selector sent to instance");
}

void signatureMismatch(id self, const Method* method, const std::string& expected) {
  throw ProgrammingError(std::string("-[") + (self ? class_getName(self->isa()) : "?") + " " +
                         method->sel->name + "] has types " + method->types + ", called as " +
                         expected);
}

}  // namespace rt::detail
