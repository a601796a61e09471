// Selector constants of views, view controllers and labels.
#pragma once

#include "host/foundation/selectors.h"

namespace sel {
using rt::CGPoint;
using rt::CGRect;
using rt::CGSize;

// UIView
inline const Sel<Ref<>(CGRect)> initWithFrame{"initWithFrame:"};
inline const Sel<CGRect()> frame{"frame"};
inline const Sel<void(CGRect)> setFrame{"setFrame:"};
inline const Sel<CGRect()> bounds{"bounds"};
inline const Sel<Ref<>()> superview{"superview"};
inline const Sel<Ref<>()> subviews{"subviews"};
inline const Sel<Ref<>()> window{"window"};
inline const Sel<void(id)> addSubview{"addSubview:"};
inline const Sel<void(id, int64_t)> insertSubview_atIndex{"insertSubview:atIndex:"};
inline const Sel<void()> removeFromSuperview{"removeFromSuperview"};
inline const Sel<void()> layoutSubviews{"layoutSubviews"};
inline const Sel<void()> setNeedsLayout{"setNeedsLayout"};
inline const Sel<void()> layoutIfNeeded{"layoutIfNeeded"};
inline const Sel<void()> didMoveToWindow{"didMoveToWindow"};
inline const Sel<Ref<>()> backgroundColor{"backgroundColor"};
inline const Sel<void(id)> setBackgroundColor{"setBackgroundColor:"};
inline const Sel<bool()> isHidden{"isHidden"};
inline const Sel<void(bool)> setHidden{"setHidden:"};
inline const Sel<CGFloat()> alpha{"alpha"};
inline const Sel<void(CGFloat)> setAlpha{"setAlpha:"};
inline const Sel<Ref<>()> _viewControllerForAncestor{"_viewControllerForAncestor"};

// UIViewController
inline const Sel<Ref<>()> view{"view"};
inline const Sel<void(id)> setView{"setView:"};
inline const Sel<bool()> isViewLoaded{"isViewLoaded"};
inline const Sel<void()> loadView{"loadView"};
inline const Sel<void()> viewDidLoad{"viewDidLoad"};
inline const Sel<void(bool)> viewWillAppear{"viewWillAppear:"};
inline const Sel<void()> viewDidLayoutSubviews{"viewDidLayoutSubviews"};

// UILabel
inline const Sel<Ref<>()> text{"text"};
inline const Sel<void(id)> setText{"setText:"};
inline const Sel<Ref<>()> textColor{"textColor"};
inline const Sel<void(id)> setTextColor{"setTextColor:"};
}  // namespace sel
