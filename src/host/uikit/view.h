// UIView and UIWindow: the view tree the host lays out and the system restyles. The
// host's own calls that a hook may intercept (setFrame:, layoutSubviews,
// viewDidLayoutSubviews, didMoveToWindow...) go through the runtime.
//
// Layout, as the host runs it:
// - A view's frame and bounds are its layer's. `setFrame:` always runs through the
//   runtime; an equal value skips only the invalidation. A size change marks the view and
//   its superview as needing layout; adding or removing a subview marks the parent; a
//   new view starts marked; a label's new text marks the label and its ancestors.
// - At the end of every main-queue batch (the run loop committing its transaction) each
//   window lays out what is marked, parent before children: `layoutSubviews`, then the
//   owning controller's `viewDidLayoutSubviews`. The mark is cleared when
//   `layoutSubviews` returns, so a view that sets its own frame while laying out is not
//   laid out again for it. Marks made after a view's turn wait for the next batch.
// - `layoutIfNeeded` lays out the marked part of the subtree now; nothing when nothing
//   is marked.
// - A layout that never comes to rest is reported, not hidden: when the windows are laid
//   out kLayoutLoopPasses times in a row, each pass asked for only by the layout before
//   it (no view marked from outside meanwhile), the views of the last pass are recorded
//   in `layoutLoops()`. The host goes on, as the device's would.
// - A parent sets its children's frames afresh in each layout, from its own bounds and
//   content, so an adjustment a replacement makes never accumulates over passes.
#pragma once

#include <string>
#include <vector>

#include "host/foundation/values.h"
#include "host/quartz/layer.h"
#include "host/uikit/uikit_selectors.h"

namespace host {

class UIViewController;

// A view owns its subviews and its layer; it refers to its superview and its controller
// weakly.
class UIView : public NSObject {
 public:
  static inline const rt::ClassOf<UIView> cls{"UIView"};
  static void bind(ClassBuilder<UIView>& b);

  UIView();
  // Sets the frame through the runtime. Subclasses make their subviews in their own
  // `initWithFrame:` after calling this one.
  Ref<> initWithFrame(CGRect frame);

  Ref<> layer() const { return layer_; }
  CALayer& caLayer() const { return *layer_; }
  CGRect frame() const { return layer_->frame(); }
  void setFrame(CGRect frame) { layer_->setFrame(frame); }
  CGRect bounds() const { return layer_->bounds(); }
  void setBounds(CGRect bounds) { layer_->setBounds(bounds); }
  // The colour set last, as long as the layer still shows it; else the layer's colour.
  Ref<> backgroundColor() const;
  void setBackgroundColor(id color);
  bool isHidden() const { return layer_->isHidden(); }
  void setHidden(bool hidden) { layer_->setHidden(hidden); }
  CGFloat alpha() const { return layer_->opacity(); }
  void setAlpha(CGFloat alpha) { layer_->setOpacity(static_cast<float>(alpha)); }
  // Its own tint, else the nearest superview's, else the host's default blue.
  Ref<> tintColor() const;
  void setTintColor(id color) { tintColor_ = color ? color->ref() : nullptr; }
  bool clipsToBounds() const { return layer_->masksToBounds(); }
  void setClipsToBounds(bool clips) { layer_->setMasksToBounds(clips); }
  // Whether touches reach the view (the model has no touches; the flag is kept).
  bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
  void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
  // What the content means for a right-to-left layout (UISemanticContentAttribute).
  int64_t semanticContentAttribute() const { return semanticContentAttribute_; }
  void setSemanticContentAttribute(int64_t attribute) { semanticContentAttribute_ = attribute; }
  // The direction the view's content is laid out in: the application's for unspecified
  // content, left to right for playback controls, spatial content and a forced
  // left-to-right, right to left when forced so (UIUserInterfaceLayoutDirection).
  int64_t effectiveUserInterfaceLayoutDirection() const;
  // The size that fits: the view's own size (the host's default).
  CGSize sizeThatFits(CGSize) const { return bounds().size; }

  Ref<> superview() const { return superview_.lock(); }
  UIView* superviewPointer() const;
  Ref<> subviews() const;
  const std::vector<Ref<UIView>>& subviewList() const { return subviews_; }
  // The window at the top of the tree, or nil when the tree is not on screen.
  Ref<> window() const;
  void addSubview(id view);
  // Any index is accepted, clamped to the end; a view with a parent moves (one asked to
  // stay at its own place is left alone, unmarked). A view cannot
  // take itself or an ancestor.
  void insertSubview(id view, int64_t index);
  void removeFromSuperview();

  void layoutSubviews() {}
  void setNeedsLayout();
  bool needsLayout() const { return needsLayout_; }
  void clearNeedsLayout() { needsLayout_ = false; }
  // How many times the host has laid the view out (run its `layoutSubviews`).
  size_t layoutCount() const { return layoutCount_; }
  void countLayout() { ++layoutCount_; }
  void layoutIfNeeded();
  void didMoveToWindow() {}
  // The controller whose view is this view or its nearest ancestor that has one.
  Ref<> viewControllerForAncestor() const;
  // The interface style in force here: the override of the nearest controller that owns
  // this view or an ancestor and has one, else the device's.
  Ref<> traitCollection() const;

  void setController(UIViewController* controller);
  Ref<> controller() const { return controller_.lock(); }

 private:
  void detach();
  void windowChanged();
  void resized();

  Ref<CALayer> layer_;
  Ref<> backgroundColor_, tintColor_;
  rt::WeakRef<> superview_;
  std::vector<Ref<UIView>> subviews_;
  rt::WeakRef<> controller_;
  bool needsLayout_ = true;
  bool userInteractionEnabled_ = true;
  int64_t semanticContentAttribute_ = UISemanticContentAttributeUnspecified;
  size_t layoutCount_ = 0;
};

// A window: the top of a tree on screen. Every window lays out at the end of each batch.
class UIWindow : public UIView {
 public:
  static inline const rt::ClassOf<UIWindow> cls{"UIWindow"};
  static void bind(ClassBuilder<UIWindow>& b);
  Ref<> initWithFrame(CGRect frame);
};

// Lays out the marked views of every window, in the order the windows were made.
void layoutWindows();

// A layout that does not come to rest: the classes of the views laid out in the pass
// that gave it away, in the order laid out, and the passes in a row asked for by layout
// alone.
struct LayoutLoop {
  std::vector<std::string> views;
  size_t passes = 0;
};
inline constexpr size_t kLayoutLoopPasses = 16;
// The loops seen since the host was booted; one entry per loop.
const std::vector<LayoutLoop>& layoutLoops();

// Makes a view of the class through the runtime and adds it to parent; nil when this
// host lacks the class, or lacks the subview held under `ivarName` (HostOptions).
Ref<> addNewSubview(UIView& parent, const rt::ClassName& cls, const char* ivarName = nullptr);

void defineViews(ClassList& list);
// Forgets the windows.
void resetViews();

}  // namespace host
