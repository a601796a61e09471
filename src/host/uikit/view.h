// UIView, UIWindow, UILabel and UIViewController: the view tree the host lays out and
// the system restyles. The host's own calls that a hook may intercept (setFrame:,
// layoutSubviews, viewDidLayoutSubviews, didMoveToWindow...) go through the runtime.
#pragma once

#include <vector>

#include "host/foundation/values.h"
#include "host/uikit/view_selectors.h"

namespace host {

using rt::CGFloat;
using rt::CGRect;
using rt::CGSize;

class UIViewController;

// A view owns its subviews; it refers to its superview and its controller weakly.
class UIView : public NSObject {
 public:
  CGRect frame() const { return frame_; }
  void setFrame(CGRect frame);
  CGRect bounds() const { return {{0, 0}, frame_.size}; }
  Ref<> superview() const { return superview_.lock(); }
  Ref<> subviews() const;
  const std::vector<Ref<UIView>>& subviewList() const { return subviews_; }
  // The window at the top of the tree, or nil when the tree is not on screen.
  Ref<> window() const;
  void addSubview(id view);
  // Any index is accepted, clamped to the end; a view with a parent moves.
  void insertSubview(id view, int64_t index);
  void removeFromSuperview();
  void layoutSubviews() {}
  void setNeedsLayout() { needsLayout_ = true; }
  // Lays the tree out where needed: layoutSubviews, then the controller's
  // viewDidLayoutSubviews when this is a controller's view, then the subviews.
  void layoutIfNeeded();
  void didMoveToWindow() {}
  Ref<> backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(id color) { backgroundColor_ = color ? color->ref() : nullptr; }
  bool isHidden() const { return hidden_; }
  void setHidden(bool hidden) { hidden_ = hidden; }
  CGFloat alpha() const { return alpha_; }
  void setAlpha(CGFloat alpha) { alpha_ = alpha; }
  // The controller whose view is this view or its nearest ancestor that has one.
  Ref<> viewControllerForAncestor() const;

  void setController(UIViewController* controller);
  Ref<> controller() const { return controller_.lock(); }

 private:
  void detach();
  void windowChanged();

  CGRect frame_{};
  rt::WeakRef<> superview_;
  std::vector<Ref<UIView>> subviews_;
  rt::WeakRef<> controller_;
  Ref<> backgroundColor_;
  bool hidden_ = false;
  bool needsLayout_ = true;
  CGFloat alpha_ = 1;
};

class UIWindow : public UIView {};

class UILabel : public UIView {
 public:
  Ref<> text() const { return text_; }
  void setText(id text) { text_ = text ? text->ref() : nullptr; }
  Ref<> textColor() const { return textColor_; }
  void setTextColor(id color) { textColor_ = color ? color->ref() : nullptr; }

 private:
  Ref<> text_, textColor_;
};

// A controller owns its view, made on first use by loadView.
class UIViewController : public NSObject {
 public:
  Ref<> view();
  void setView(id view);
  bool isViewLoaded() const { return view_ != nullptr; }
  // Makes a plain UIView, as the host does without a nib.
  void loadView();
  void viewDidLoad() {}
  void viewWillAppear(bool) {}
  void viewDidLayoutSubviews() {}

 private:
  Ref<> view_;
};

void registerViews();

}  // namespace host
