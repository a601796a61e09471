#include "runtime/object.h"

#include "runtime/check.h"

namespace rt {

Object::~Object() = default;

void detail::assertionFailed(const char* message, const char* condition) {
  throw ProgrammingError(std::string(message) + " (" + condition + ")");
}

void setIsa(Object& object, Class cls) {
  object.isa_ = cls;
}

}  // namespace rt
