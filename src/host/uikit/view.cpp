#include "host/uikit/view.h"

#include <algorithm>

#include "host/host.h"

namespace host {
namespace {
const rt::ClassName kUIView{"UIView"};

UIView* asView(id object) {
  return rt::object_cast<UIView>(object, kUIView);
}
}  // namespace

void UIView::setFrame(CGRect frame) {
  if (frame.size != frame_.size) needsLayout_ = true;
  frame_ = frame;
}

Ref<> UIView::subviews() const {
  return NSArray::make(std::vector<Ref<>>(subviews_.begin(), subviews_.end()));
}

Ref<> UIView::window() const {
  const UIView* top = this;
  while (Ref<> parent = top->superview()) top = static_cast<const UIView*>(parent.get());
  Class windowClass = rt::objc_getClass("UIWindow");
  return windowClass && rt::class_isSubclassOf(top->isa(), windowClass)
             ? const_cast<UIView*>(top)->ref()
             : nullptr;
}

void UIView::addSubview(id view) {
  insertSubview(view, static_cast<int64_t>(subviews_.size()));
}

void UIView::insertSubview(id view, int64_t index) {
  UIView* child = asView(view);
  if (!child) return;
  // A view cannot contain itself or one of its ancestors: that would make a loop the
  // tree could never leave. The request is refused.
  for (const UIView* v = this; v;) {
    if (v == child) return;
    Ref<> parent = v->superview();
    v = static_cast<const UIView*>(parent.get());
  }
  auto keep = std::static_pointer_cast<UIView>(child->ref());
  const bool hadWindow = child->window() != nullptr;
  child->detach();
  const auto clamped = static_cast<size_t>(std::clamp<int64_t>(index, 0, subviews_.size()));
  subviews_.insert(subviews_.begin() + static_cast<ptrdiff_t>(clamped), keep);
  child->superview_ = weak_from_this();
  needsLayout_ = true;
  if (hadWindow != (child->window() != nullptr)) child->windowChanged();
}

void UIView::removeFromSuperview() {
  auto keep = ref();
  const bool hadWindow = window() != nullptr;
  detach();
  if (hadWindow) windowChanged();
}

void UIView::detach() {
  if (Ref<> parent = superview_.lock()) {
    auto& siblings = static_cast<UIView*>(parent.get())->subviews_;
    std::erase_if(siblings, [&](const Ref<UIView>& v) { return v.get() == this; });
  }
  superview_.reset();
}

void UIView::windowChanged() {
  auto keep = ref();
  rt::send(this, sel::didMoveToWindow);
  for (auto& child : std::vector<Ref<UIView>>(subviews_)) child->windowChanged();
}

void UIView::layoutIfNeeded() {
  auto keep = ref();
  if (needsLayout_) {
    needsLayout_ = false;
    rt::send(this, sel::layoutSubviews);
    if (Ref<> c = controller_.lock()) rt::send(c, sel::viewDidLayoutSubviews);
  }
  for (auto& child : std::vector<Ref<UIView>>(subviews_)) rt::send(child, sel::layoutIfNeeded);
}

Ref<> UIView::viewControllerForAncestor() const {
  for (const UIView* v = this; v;) {
    if (Ref<> c = v->controller_.lock()) return c;
    Ref<> parent = v->superview();
    v = static_cast<const UIView*>(parent.get());
  }
  return nullptr;
}

void UIView::setController(UIViewController* controller) {
  controller_ = controller ? controller->weak_from_this() : rt::WeakRef<>();
}

Ref<> UIViewController::view() {
  if (!view_) {
    rt::send(this, sel::loadView);
    if (!view_) return nullptr;
    rt::send(this, sel::viewDidLoad);
  }
  return view_;
}

void UIViewController::setView(id view) {
  if (auto* old = asView(view_.get())) old->setController(nullptr);
  UIView* v = asView(view);
  view_ = v ? v->ref() : nullptr;
  if (v) v->setController(this);
}

void UIViewController::loadView() {
  Ref<> v = rt::send(rt::objc_getClass("UIView"), sel::new_);
  setView(v.get());
}

void registerViews() {
  using namespace rt;
  Class object = objc_getClass("NSObject");
  Class view = defineClass("UIView", object, [] { return std::make_shared<UIView>(); });
  bindFunction(
      view, sel::initWithFrame, +[](id self, SEL, CGRect frame) -> Ref<> {
        send(self, sel::setFrame, frame);
        return self->ref();
      });
  bindMethod<&UIView::frame>(view, sel::frame);
  bindMethod<&UIView::setFrame>(view, sel::setFrame);
  bindMethod<&UIView::bounds>(view, sel::bounds);
  bindMethod<&UIView::superview>(view, sel::superview);
  bindMethod<&UIView::subviews>(view, sel::subviews);
  bindMethod<&UIView::window>(view, sel::window);
  bindMethod<&UIView::addSubview>(view, sel::addSubview);
  bindMethod<&UIView::insertSubview>(view, sel::insertSubview_atIndex);
  bindMethod<&UIView::removeFromSuperview>(view, sel::removeFromSuperview);
  bindMethod<&UIView::layoutSubviews>(view, sel::layoutSubviews);
  bindMethod<&UIView::setNeedsLayout>(view, sel::setNeedsLayout);
  bindMethod<&UIView::layoutIfNeeded>(view, sel::layoutIfNeeded);
  bindMethod<&UIView::didMoveToWindow>(view, sel::didMoveToWindow);
  bindMethod<&UIView::backgroundColor>(view, sel::backgroundColor);
  bindMethod<&UIView::setBackgroundColor>(view, sel::setBackgroundColor);
  bindMethod<&UIView::isHidden>(view, sel::isHidden);
  bindMethod<&UIView::setHidden>(view, sel::setHidden);
  bindMethod<&UIView::alpha>(view, sel::alpha);
  bindMethod<&UIView::setAlpha>(view, sel::setAlpha);
  bindMethod<&UIView::viewControllerForAncestor>(view, sel::_viewControllerForAncestor);

  defineClass("UIWindow", view, [] { return std::make_shared<UIWindow>(); });

  Class label = defineClass("UILabel", view, [] { return std::make_shared<UILabel>(); });
  bindMethod<&UILabel::text>(label, sel::text);
  bindMethod<&UILabel::setText>(label, sel::setText);
  bindMethod<&UILabel::textColor>(label, sel::textColor);
  bindMethod<&UILabel::setTextColor>(label, sel::setTextColor);

  Class controller =
      defineClass("UIViewController", object, [] { return std::make_shared<UIViewController>(); });
  bindMethod<&UIViewController::view>(controller, sel::view);
  bindMethod<&UIViewController::setView>(controller, sel::setView);
  bindMethod<&UIViewController::isViewLoaded>(controller, sel::isViewLoaded);
  bindMethod<&UIViewController::loadView>(controller, sel::loadView);
  bindMethod<&UIViewController::viewDidLoad>(controller, sel::viewDidLoad);
  bindMethod<&UIViewController::viewWillAppear>(controller, sel::viewWillAppear);
  bindMethod<&UIViewController::viewDidLayoutSubviews>(controller, sel::viewDidLayoutSubviews);
}

}  // namespace host
