// CGColor: a colour as the layer and drawing side of the host sees it, four double
// components in the device RGB model. A UIColor hands one out through `CGColor`.
#pragma once

#include <array>

#include "host/foundation/values.h"
#include "host/quartz/quartz_selectors.h"

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

// Defines the CGColor class. Part of booting the host.
void defineCGColor(ClassList& list);

}  // namespace host
