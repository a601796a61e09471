// UIBezierPath, as far as the system draws with it: straight segments. `CGPath` answers
// an immutable CGPath holding the points in order.
#pragma once

#include <vector>

#include "host/quartz/layer.h"
#include "host/uikit/uikit_selectors.h"

namespace host {

class UIBezierPath : public NSObject {
 public:
  static inline const rt::ClassOf<UIBezierPath> cls{"UIBezierPath"};
  static void bind(ClassBuilder<UIBezierPath>& b);

  void moveToPoint(CGPoint point) { elements_.push_back({CGPath::Element::Kind::Move, point}); }
  // A line from the current point; without one it is a programming error, as on the host.
  void addLineToPoint(CGPoint point);
  Ref<> CGPath() const { return host::CGPath::cls.make(elements_); }

 private:
  std::vector<host::CGPath::Element> elements_;
};

void defineBezierPath(ClassList& list);

}  // namespace host
