// CGColor: a colour as the layer and drawing side of the host sees it, four double
// components in the device RGB model. A UIColor hands one out through `CGColor`.
#pragma once

#include <array>

#include "host/foundation/values.h"

namespace host {

class CGColor : public NSObject {
 public:
  static inline const rt::ClassOf<CGColor> cls{"CGColor"};
  explicit CGColor(std::array<rt::CGFloat, 4> components) : components_(components) {}
  // A colour of the class CGColor; never nil, even before the host is booted.
  static Ref<CGColor> make(rt::CGFloat red, rt::CGFloat green, rt::CGFloat blue, rt::CGFloat alpha);
  const std::array<rt::CGFloat, 4>& components() const { return components_; }
  bool equals(const rt::Object& other) const override;
  std::string describe() const override;

 private:
  std::array<rt::CGFloat, 4> components_;
};

// The four components (red, green, blue, alpha) of a CGColor, valid while the colour
// lives. Nil-safe: nil, or an object that is not a CGColor, answers four zeros.
const rt::CGFloat* CGColorGetComponents(id color);
// The number of components: 4 for a CGColor, 0 for nil.
size_t CGColorGetNumberOfComponents(id color);
// The alpha component, 0 for nil.
inline rt::CGFloat CGColorGetAlpha(id color) {
  return CGColorGetComponents(color)[3];
}

// Defines the CGColor class. Part of booting the host.
void defineCGColor(ClassList& list);

}  // namespace host
