#include "host/quartz/layer.h"

#include <algorithm>

namespace host {

void CALayer::setFrame(CGRect frame) {
  const bool resized = frame.size != frame_.size;
  frame_ = frame;
  if (resized && resized_) resized_();
}

void CALayer::setBounds(CGRect bounds) {
  boundsOrigin_ = bounds.origin;
  if (bounds.size == frame_.size) return;
  const CGPoint centre{frame_.origin.x + frame_.size.width / 2,
                       frame_.origin.y + frame_.size.height / 2};
  setFrame({{centre.x - bounds.size.width / 2, centre.y - bounds.size.height / 2}, bounds.size});
}

void CALayer::setMask(id layer) {
  mask_ = CALayer::cls.isKind(layer) ? layer->ref() : nullptr;
}

Ref<> CALayer::sublayers() const {
  if (sublayers_.empty()) return nullptr;
  return NSArray::make(std::vector<Ref<>>(sublayers_.begin(), sublayers_.end()));
}

void CALayer::insertSublayer(id layer, uint32_t index) {
  CALayer* child = CALayer::cls.cast(layer);
  if (!child || child == this) return;
  auto keep = std::static_pointer_cast<CALayer>(child->ref());
  child->removeFromSuperlayer();
  const size_t at = std::min<size_t>(index, sublayers_.size());
  sublayers_.insert(sublayers_.begin() + static_cast<ptrdiff_t>(at), keep);
  child->superlayer_ = weak_from_this();
}

void CALayer::insertSublayerBelow(id layer, const CALayer* sibling) {
  auto it = std::find_if(sublayers_.begin(), sublayers_.end(),
                         [&](const Ref<CALayer>& l) { return l.get() == sibling; });
  insertSublayer(layer, static_cast<uint32_t>(it - sublayers_.begin()));
}

void CALayer::removeFromSuperlayer() {
  if (Ref<> parent = superlayer_.lock())
    std::erase_if(static_cast<CALayer*>(parent.get())->sublayers_,
                  [&](const Ref<CALayer>& l) { return l.get() == this; });
  superlayer_.reset();
}

void CAGradientLayer::setColors(id colors) {
  colors_ = NSArray::cls.isKind(colors) ? colors->ref() : nullptr;
}

void CALayer::bind(ClassBuilder<CALayer>& b) {
  b.classFunction(
       sel::layer,
       +[](id self, rt::SEL) {
         return rt::send(rt::class_createInstance(rt::object_getClassOfClassObject(self)),
                         sel::init);
       })
      .method<&CALayer::frame>(sel::frame)
      .method<&CALayer::setFrame>(sel::setFrame)
      .method<&CALayer::bounds>(sel::bounds)
      .method<&CALayer::setBounds>(sel::setBounds)
      .method<&CALayer::backgroundColor>(sel::backgroundColor)
      .method<&CALayer::setBackgroundColor>(sel::setBackgroundColor)
      .method<&CALayer::cornerRadius>(sel::cornerRadius)
      .method<&CALayer::setCornerRadius>(sel::setCornerRadius)
      .method<&CALayer::continuousCorners>(sel::continuousCorners)
      .method<&CALayer::setContinuousCorners>(sel::setContinuousCorners)
      .method<&CALayer::maskedCorners>(sel::maskedCorners)
      .method<&CALayer::setMaskedCorners>(sel::setMaskedCorners)
      .method<&CALayer::masksToBounds>(sel::masksToBounds)
      .method<&CALayer::setMasksToBounds>(sel::setMasksToBounds)
      .method<&CALayer::borderWidth>(sel::borderWidth)
      .method<&CALayer::setBorderWidth>(sel::setBorderWidth)
      .method<&CALayer::borderColor>(sel::borderColor)
      .method<&CALayer::setBorderColor>(sel::setBorderColor)
      .method<&CALayer::shadowOffset>(sel::shadowOffset)
      .method<&CALayer::setShadowOffset>(sel::setShadowOffset)
      .method<&CALayer::shadowRadius>(sel::shadowRadius)
      .method<&CALayer::setShadowRadius>(sel::setShadowRadius)
      .method<&CALayer::shadowOpacity>(sel::shadowOpacity)
      .method<&CALayer::setShadowOpacity>(sel::setShadowOpacity)
      .method<&CALayer::shadowColor>(sel::shadowColor)
      .method<&CALayer::setShadowColor>(sel::setShadowColor)
      .method<&CALayer::mask>(sel::mask)
      .method<&CALayer::setMask>(sel::setMask)
      .method<&CALayer::filters>(sel::filters)
      .method<&CALayer::setFilters>(sel::setFilters)
      .method<&CALayer::opacity>(sel::opacity)
      .method<&CALayer::setOpacity>(sel::setOpacity)
      .method<&CALayer::isHidden>(sel::isHidden)
      .method<&CALayer::setHidden>(sel::setHidden)
      .method<&CALayer::sublayers>(sel::sublayers)
      .method<&CALayer::superlayer>(sel::superlayer)
      .method<&CALayer::addSublayer>(sel::addSublayer)
      .method<&CALayer::insertSublayer>(sel::insertSublayer_atIndex)
      .method<&CALayer::removeFromSuperlayer>(sel::removeFromSuperlayer)
      .method<&CALayer::delegate>(sel::delegate);
}

void CAGradientLayer::bind(ClassBuilder<CAGradientLayer>& b) {
  b.method<&CAGradientLayer::colors>(sel::colors)
      .method<&CAGradientLayer::setColors>(sel::setColors)
      .method<&CAGradientLayer::startPoint>(sel::startPoint)
      .method<&CAGradientLayer::setStartPoint>(sel::setStartPoint)
      .method<&CAGradientLayer::endPoint>(sel::endPoint)
      .method<&CAGradientLayer::setEndPoint>(sel::setEndPoint);
}

void CAShapeLayer::bind(ClassBuilder<CAShapeLayer>& b) {
  b.method<&CAShapeLayer::path>(sel::path)
      .method<&CAShapeLayer::setPath>(sel::setPath)
      .method<&CAShapeLayer::fillColor>(sel::fillColor)
      .method<&CAShapeLayer::setFillColor>(sel::setFillColor);
}

void defineLayers(ClassList& list) {
  list.define<CALayer>(NSObject::cls);
  list.define<CAGradientLayer>(CALayer::cls);
  list.define<CAShapeLayer>(CALayer::cls);
  // Paths are made by UIBezierPath only.
  list.define<CGPath>(NSObject::cls, []() -> Ref<> { return nullptr; });
}

}  // namespace host
