#include "host/uikit/bezier_path.h"

namespace host {

void UIBezierPath::addLineToPoint(CGPoint point) {
  RT_ASSERT(!elements_.empty(), "addLineToPoint: without a current point");
  elements_.push_back({CGPath::Element::Kind::Line, point});
}

void UIBezierPath::bind(ClassBuilder<UIBezierPath>& b) {
  b.method<&UIBezierPath::moveToPoint>(sel::moveToPoint)
      .method<&UIBezierPath::addLineToPoint>(sel::addLineToPoint)
      .method<&UIBezierPath::CGPath>(sel::CGPath);
}

void defineBezierPath(ClassList& list) {
  list.define<UIBezierPath>(NSObject::cls);
}

}  // namespace host
