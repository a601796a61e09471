#include "host/uikit/view_controller.h"

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

void UIViewController::bind(ClassBuilder<UIViewController>& b) {
  b.method<&UIViewController::view>(sel::view)
      .method<&UIViewController::setView>(sel::setView)
      .method<&UIViewController::isViewLoaded>(sel::isViewLoaded)
      .method<&UIViewController::loadView>(sel::loadView)
      .method<&UIViewController::viewDidLoad>(sel::viewDidLoad)
      .method<&UIViewController::viewWillAppear>(sel::viewWillAppear)
      .method<&UIViewController::viewDidLayoutSubviews>(sel::viewDidLayoutSubviews);
}

void defineViewControllers(ClassList& list) {
  list.define<UIViewController>(NSObject::cls);
}

}  // namespace host
