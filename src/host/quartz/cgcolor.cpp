#include "host/quartz/cgcolor.h"

#include <cstdio>

namespace host {
namespace {

const CGColor* asColor(id object) {
  return CGColor::cls.cast(object);
}

}  // namespace

Ref<CGColor> CGColor::make(rt::CGFloat red, rt::CGFloat green, rt::CGFloat blue,
                           rt::CGFloat alpha) {
  return CGColor::cls.make(std::array<rt::CGFloat, 4>{red, green, blue, alpha});
}

bool CGColor::equals(const rt::Object& other) const {
  const CGColor* color = asColor(const_cast<rt::Object*>(&other));
  return color && color->components_ == components_;
}

std::string CGColor::describe() const {
  char text[128];
  std::snprintf(text, sizeof text, "<CGColor> [ (kCGColorSpaceDeviceRGB)] ( %g %g %g %g )",
                components_[0], components_[1], components_[2], components_[3]);
  return text;
}

const rt::CGFloat* CGColorGetComponents(id color) {
  static constexpr rt::CGFloat none[4] = {0, 0, 0, 0};
  const CGColor* c = asColor(color);
  return c ? c->components().data() : none;
}

size_t CGColorGetNumberOfComponents(id color) {
  return asColor(color) ? 4 : 0;
}

void defineCGColor(ClassList& list) {
  list.define<CGColor>(NSObject::cls, [] { return CGColor::make(0, 0, 0, 0); });
}

}  // namespace host
