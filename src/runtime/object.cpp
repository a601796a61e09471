#include "runtime/object.h"

namespace rt {

Object::~Object() = default;

void setIsa(Object& object, Class cls) {
  object.isa_ = cls;
}

}  // namespace rt
