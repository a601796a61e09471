#include "host/uikit/view_controller.h"

#include "host/uikit/application.h"

namespace host {

Ref<> UIViewController::view() {
  if (!view_) {
    rt::send(this, sel::loadView);
    if (!view_) return nullptr;
    rt::send(this, sel::viewDidLoad);
  }
  return view_;
}

void UIViewController::setView(id view) {
  if (UIView* old = UIView::cls.cast(view_.get())) old->setController(nullptr);
  UIView* v = UIView::cls.cast(view);
  view_ = v ? v->ref() : nullptr;
  if (v) v->setController(this);
}

void UIViewController::loadView() {
  Ref<> v = rt::send(UIView::cls.get(), sel::new_);
  setView(v.get());
}

void UIViewController::setOverrideUserInterfaceStyle(int64_t style) {
  if (style == overrideStyle_) return;
  overrideStyle_ = style;
  if (auto* v = UIView::cls.cast(view_.get())) v->setNeedsLayout();
}

Ref<> UIViewController::traitCollection() {
  if (auto* v = UIView::cls.cast(view_.get())) return v->traitCollection();
  return UITraitCollection::make(overrideStyle_ != 0 ? overrideStyle_ : deviceInterfaceStyle());
}

void UIViewController::bind(ClassBuilder<UIViewController>& b) {
  b.method<&UIViewController::view>(sel::view)
      .method<&UIViewController::setView>(sel::setView)
      .method<&UIViewController::isViewLoaded>(sel::isViewLoaded)
      .method<&UIViewController::loadView>(sel::loadView)
      .method<&UIViewController::viewDidLoad>(sel::viewDidLoad)
      .method<&UIViewController::viewWillAppear>(sel::viewWillAppear)
      .method<&UIViewController::viewDidLayoutSubviews>(sel::viewDidLayoutSubviews)
      .method<&UIViewController::overrideUserInterfaceStyle>(sel::overrideUserInterfaceStyle)
      .method<&UIViewController::setOverrideUserInterfaceStyle>(sel::setOverrideUserInterfaceStyle)
      .method<&UIViewController::traitCollection>(sel::traitCollection);
}

void defineViewControllers(ClassList& list) {
  list.define<UIViewController>(NSObject::cls);
}

}  // namespace host
