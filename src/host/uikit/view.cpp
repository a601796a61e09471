#include "host/uikit/view.h"

#include <algorithm>
#include <utility>

#include "host/foundation/main_queue.h"
#include "host/host.h"
#include "host/quartz/cgcolor.h"
#include "host/uikit/application.h"
#include "host/uikit/colour.h"
#include "host/uikit/view_controller.h"

namespace host {
namespace {

// The windows on screen, in the order they were made.
std::vector<rt::WeakRef<UIWindow>>& windows() {
  static std::vector<rt::WeakRef<UIWindow>> list;
  return list;
}

// What the host knows of its layout passes, to tell a layout that settles from one
// that keeps asking for itself.
struct LayoutWatch {
  int depth = 0;                     // above 0 while views are being laid out
  bool markedFromOutside = false;    // a view was marked outside layout since the last pass
  size_t quietPasses = 0;            // passes in a row asked for by layout alone
  std::vector<const char*> laidOut;  // the classes laid out in the current pass (names live
                                     // as long as their class records, the whole process)
  std::vector<LayoutLoop> loops;
};

LayoutWatch& watch() {
  static LayoutWatch w;
  return w;
}

// Lays out the marked views of the subtree, parent before children.
void layoutTree(UIView& view) {
  auto keep = view.ref();
  ++watch().depth;
  if (view.needsLayout()) {
    rt::send(&view, sel::layoutSubviews);
    view.clearNeedsLayout();
    view.countLayout();
    watch().laidOut.push_back(rt::class_getName(view.isa()));
    if (Ref<> controller = view.controller()) rt::send(controller, sel::viewDidLayoutSubviews);
  }
  // The children as they are after the parent's layout, which may add or move some.
  for (auto& child : std::vector<Ref<UIView>>(view.subviewList())) layoutTree(*child);
  --watch().depth;
}

}  // namespace

UIView::UIView() : layer_(CALayer::cls.make()) {}

Ref<> UIView::initWithFrame(CGRect frame) {
  layer_->setDelegate(this);
  layer_->onResize([weak = weak_from_this()] {
    if (auto self = weak.lock()) static_cast<UIView*>(self.get())->resized();
  });
  rt::send(this, sel::setFrame, frame);
  return ref();
}

void UIView::resized() {
  setNeedsLayout();
  if (UIView* parent = superviewPointer()) parent->setNeedsLayout();
}

void UIView::setNeedsLayout() {
  needsLayout_ = true;
  if (watch().depth == 0) watch().markedFromOutside = true;
  main_queue::requestCommit();
}

void UIView::layoutIfNeeded() {
  layoutTree(*this);
}

Ref<> UIView::backgroundColor() const {
  Ref<> shown = layer_->backgroundColor();
  const UIColor* set = UIColor::cls.cast(backgroundColor_.get());
  const NSObject* showing = NSObject::cls.cast(shown.get());
  if (set && showing && showing->equals(*set->CGColor())) return backgroundColor_;
  if (!shown) return nullptr;
  const rt::CGFloat* c = CGColorGetComponents(shown.get());
  return UIColor::make(c[0], c[1], c[2], c[3]);
}

void UIView::setBackgroundColor(id color) {
  const UIColor* colour = UIColor::cls.cast(color);
  backgroundColor_ = colour ? color->ref() : nullptr;
  layer_->setBackgroundColor(colour ? colour->CGColor().get() : nullptr);
}

Ref<> UIView::tintColor() const {
  for (const UIView* v = this; v; v = v->superviewPointer())
    if (v->tintColor_) return v->tintColor_;
  return UIColor::make(0, 122 / 255.0, 1, 1);
}

int64_t UIView::effectiveUserInterfaceLayoutDirection() const {
  switch (semanticContentAttribute_) {
    case UISemanticContentAttributePlayback:
    case UISemanticContentAttributeSpatial:
    case UISemanticContentAttributeForceLeftToRight:
      return UIUserInterfaceLayoutDirectionLeftToRight;
    case UISemanticContentAttributeForceRightToLeft:
      return UIUserInterfaceLayoutDirectionRightToLeft;
    default:
      return rt::send(rt::send(cls::UIApplication, sel::sharedApplication),
                      sel::userInterfaceLayoutDirection);
  }
}

UIView* UIView::superviewPointer() const {
  Ref<> parent = superview_.lock();
  return static_cast<UIView*>(parent.get());  // the parent outlives this call
}

Ref<> UIView::subviews() const {
  return NSArray::make(std::vector<Ref<>>(subviews_.begin(), subviews_.end()));
}

Ref<> UIView::window() const {
  const UIView* top = this;
  while (UIView* parent = top->superviewPointer()) top = parent;
  return UIWindow::cls.isKind(top) ? const_cast<UIView*>(top)->ref() : nullptr;
}

void UIView::addSubview(id view) {
  insertSubview(view, static_cast<int64_t>(subviews_.size()));
}

void UIView::insertSubview(id view, int64_t index) {
  UIView* child = UIView::cls.cast(view);
  if (!child) return;
  // A view cannot contain itself or one of its ancestors: that would make a loop the
  // tree could never leave. The request is refused.
  for (const UIView* v = this; v; v = v->superviewPointer())
    if (v == child) return;
  // A subview asked to stay where it is changes nothing, and marks nothing for layout.
  if (child->superviewPointer() == this) {
    const auto it = std::find_if(subviews_.begin(), subviews_.end(),
                                 [&](const Ref<UIView>& v) { return v.get() == child; });
    const auto last = static_cast<int64_t>(subviews_.size()) - 1;
    if (it - subviews_.begin() == std::clamp<int64_t>(index, 0, last)) return;
  }
  auto keep = std::static_pointer_cast<UIView>(child->ref());
  const bool hadWindow = child->window() != nullptr;
  child->detach();
  const auto at = static_cast<size_t>(std::clamp<int64_t>(index, 0, subviews_.size()));
  // The child's layer goes below the layer of the subview it now precedes, or on top.
  layer_->insertSublayerBelow(child->layer_.get(),
                              at < subviews_.size() ? subviews_[at]->layer_.get() : nullptr);
  subviews_.insert(subviews_.begin() + static_cast<ptrdiff_t>(at), keep);
  child->superview_ = weak_from_this();
  setNeedsLayout();
  if (hadWindow != (child->window() != nullptr)) child->windowChanged();
}

void UIView::removeFromSuperview() {
  auto keep = ref();
  const bool hadWindow = window() != nullptr;
  if (UIView* parent = superviewPointer()) parent->setNeedsLayout();
  detach();
  if (hadWindow) windowChanged();
}

void UIView::detach() {
  if (UIView* parent = superviewPointer())
    std::erase_if(parent->subviews_, [&](const Ref<UIView>& v) { return v.get() == this; });
  layer_->removeFromSuperlayer();
  superview_.reset();
}

void UIView::windowChanged() {
  auto keep = ref();
  rt::send(this, sel::didMoveToWindow);
  for (auto& child : std::vector<Ref<UIView>>(subviews_)) child->windowChanged();
}

Ref<> UIView::viewControllerForAncestor() const {
  for (const UIView* v = this; v; v = v->superviewPointer())
    if (Ref<> c = v->controller_.lock()) return c;
  return nullptr;
}

Ref<> UIView::traitCollection() const {
  for (const UIView* v = this; v; v = v->superviewPointer())
    if (auto* c = UIViewController::cls.cast(v->controller_.lock().get()))
      if (c->overrideUserInterfaceStyle() != 0)
        return UITraitCollection::make(c->overrideUserInterfaceStyle());
  return UITraitCollection::make(deviceInterfaceStyle());
}

void UIView::setController(UIViewController* controller) {
  controller_ = controller ? controller->weak_from_this() : rt::WeakRef<>();
}

Ref<> UIWindow::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  windows().push_back(std::static_pointer_cast<UIWindow>(ref()));
  return ref();
}

void layoutWindows() {
  auto& list = windows();
  std::erase_if(list, [](const rt::WeakRef<UIWindow>& w) { return w.expired(); });
  LayoutWatch& w = watch();
  const bool askedFromOutside = std::exchange(w.markedFromOutside, false);
  w.laidOut.clear();
  for (auto& weak : std::vector<rt::WeakRef<UIWindow>>(list))
    if (auto window = weak.lock()) layoutTree(*window);
  if (w.laidOut.empty()) return;
  w.quietPasses = askedFromOutside ? 0 : w.quietPasses + 1;
  if (w.quietPasses == kLayoutLoopPasses)
    w.loops.push_back({{w.laidOut.begin(), w.laidOut.end()}, w.quietPasses});
}

const std::vector<LayoutLoop>& layoutLoops() {
  return watch().loops;
}

void UIView::bind(ClassBuilder<UIView>& b) {
  b.function(
       sel::init, +[](id self, rt::SEL) { return rt::send(self, sel::initWithFrame, CGRect{}); })
      .method<&UIView::initWithFrame>(sel::initWithFrame)
      .method<&UIView::layer>(sel::layer)
      .method<&UIView::frame>(sel::frame)
      .method<&UIView::setFrame>(sel::setFrame)
      .method<&UIView::bounds>(sel::bounds)
      .method<&UIView::setBounds>(sel::setBounds)
      .method<&UIView::backgroundColor>(sel::backgroundColor)
      .method<&UIView::setBackgroundColor>(sel::setBackgroundColor)
      .method<&UIView::isHidden>(sel::isHidden)
      .method<&UIView::setHidden>(sel::setHidden)
      .method<&UIView::alpha>(sel::alpha)
      .method<&UIView::setAlpha>(sel::setAlpha)
      .method<&UIView::tintColor>(sel::tintColor)
      .method<&UIView::setTintColor>(sel::setTintColor)
      .method<&UIView::clipsToBounds>(sel::clipsToBounds)
      .method<&UIView::setClipsToBounds>(sel::setClipsToBounds)
      .method<&UIView::isUserInteractionEnabled>(sel::isUserInteractionEnabled)
      .method<&UIView::setUserInteractionEnabled>(sel::setUserInteractionEnabled)
      .method<&UIView::sizeThatFits>(sel::sizeThatFits)
      .method<&UIView::semanticContentAttribute>(sel::semanticContentAttribute)
      .method<&UIView::setSemanticContentAttribute>(sel::setSemanticContentAttribute)
      .method<&UIView::effectiveUserInterfaceLayoutDirection>(
          sel::effectiveUserInterfaceLayoutDirection)
      .method<&UIView::superview>(sel::superview)
      .method<&UIView::subviews>(sel::subviews)
      .method<&UIView::window>(sel::window)
      .method<&UIView::addSubview>(sel::addSubview)
      .method<&UIView::insertSubview>(sel::insertSubview_atIndex)
      .method<&UIView::removeFromSuperview>(sel::removeFromSuperview)
      .method<&UIView::layoutSubviews>(sel::layoutSubviews)
      .method<&UIView::setNeedsLayout>(sel::setNeedsLayout)
      .method<&UIView::layoutIfNeeded>(sel::layoutIfNeeded)
      .method<&UIView::didMoveToWindow>(sel::didMoveToWindow)
      .method<&UIView::viewControllerForAncestor>(sel::_viewControllerForAncestor)
      .method<&UIView::traitCollection>(sel::traitCollection);
}

void UIWindow::bind(ClassBuilder<UIWindow>& b) {
  b.method<&UIWindow::initWithFrame>(sel::initWithFrame);
}

Ref<> addNewSubview(UIView& parent, const rt::ClassName& cls, const char* ivarName) {
  if (ivarName && isAbsentView(ivarName)) return nullptr;
  Ref<> view = rt::send(cls.get(), sel::new_);
  parent.addSubview(view.get());
  return view;
}

void defineViews(ClassList& list) {
  list.define<UIView>(NSObject::cls);
  list.define<UIWindow>(UIView::cls);
}

void resetViews() {
  windows().clear();
  watch() = LayoutWatch{};
}

}  // namespace host
