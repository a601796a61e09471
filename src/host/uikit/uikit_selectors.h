// Selector constants of the UIKit classes: views, controllers, labels, colours and
// images, typed with their signatures.
#pragma once

#include <cstdint>

#include "host/quartz/quartz_selectors.h"

namespace sel {
// UIView
inline const Sel<Ref<>(CGRect)> initWithFrame{"initWithFrame:"};
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
inline const Sel<CGFloat()> alpha{"alpha"};
inline const Sel<void(CGFloat)> setAlpha{"setAlpha:"};
inline const Sel<Ref<>()> _viewControllerForAncestor{"_viewControllerForAncestor"};
inline const Sel<bool()> clipsToBounds{"clipsToBounds"};
inline const Sel<void(bool)> setClipsToBounds{"setClipsToBounds:"};
inline const Sel<bool()> isUserInteractionEnabled{"isUserInteractionEnabled"};
inline const Sel<void(bool)> setUserInteractionEnabled{"setUserInteractionEnabled:"};
inline const Sel<CGSize(CGSize)> sizeThatFits{"sizeThatFits:"};

inline const Sel<Ref<>()> traitCollection{"traitCollection"};
inline const Sel<int64_t()> semanticContentAttribute{"semanticContentAttribute"};
inline const Sel<void(int64_t)> setSemanticContentAttribute{"setSemanticContentAttribute:"};
inline const Sel<int64_t()> effectiveUserInterfaceLayoutDirection{
    "effectiveUserInterfaceLayoutDirection"};

// UITraitCollection
inline const Sel<int64_t()> userInterfaceStyle{"userInterfaceStyle"};

// UIViewController
inline const Sel<void(int64_t)> setOverrideUserInterfaceStyle{"setOverrideUserInterfaceStyle:"};
inline const Sel<int64_t()> overrideUserInterfaceStyle{"overrideUserInterfaceStyle"};
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
inline const Sel<Ref<>()> font{"font"};
inline const Sel<void(id)> setFont{"setFont:"};
inline const Sel<int64_t()> numberOfLines{"numberOfLines"};
inline const Sel<void(int64_t)> setNumberOfLines{"setNumberOfLines:"};

// UIFont, class messages
inline const Sel<Ref<>(CGFloat)> systemFontOfSize{"systemFontOfSize:"};
inline const Sel<Ref<>(CGFloat)> boldSystemFontOfSize{"boldSystemFontOfSize:"};
// UIFont
inline const Sel<CGFloat()> pointSize{"pointSize"};

// UIImageView
inline const Sel<Ref<>(id)> initWithImage{"initWithImage:"};
inline const Sel<Ref<>()> image{"image"};
inline const Sel<void(id)> setImage{"setImage:"};
inline const Sel<Ref<>()> tintColor{"tintColor"};
inline const Sel<void(id)> setTintColor{"setTintColor:"};
inline const Sel<int64_t()> contentMode{"contentMode"};
inline const Sel<void(int64_t)> setContentMode{"setContentMode:"};

// UIButton
inline const Sel<Ref<>(uint64_t)> imageForState{"imageForState:"};
inline const Sel<void(id, uint64_t)> setImage_forState{"setImage:forState:"};
inline const Sel<Ref<>()> imageView{"imageView"};

// UIApplication, UIScreen
inline const Sel<Ref<>()> sharedApplication{"sharedApplication"};
inline const Sel<int64_t()> userInterfaceLayoutDirection{"userInterfaceLayoutDirection"};
inline const Sel<Ref<>()> mainScreen{"mainScreen"};

// UIImage, system symbols
inline const Sel<Ref<>(id)> systemImageNamed{"systemImageNamed:"};

// UIBezierPath
inline const Sel<void(CGPoint)> moveToPoint{"moveToPoint:"};
inline const Sel<void(CGPoint)> addLineToPoint{"addLineToPoint:"};
inline const Sel<Ref<>()> CGPath{"CGPath"};

// UIColor, class messages
inline const Sel<Ref<>(CGFloat, CGFloat, CGFloat, CGFloat)> colorWithRed_green_blue_alpha{
    "colorWithRed:green:blue:alpha:"};
inline const Sel<Ref<>(CGFloat, CGFloat, CGFloat, CGFloat)>
    colorWithHue_saturation_brightness_alpha{"colorWithHue:saturation:brightness:alpha:"};
inline const Sel<Ref<>()> clearColor{"clearColor"};
inline const Sel<Ref<>()> whiteColor{"whiteColor"};
inline const Sel<Ref<>()> blackColor{"blackColor"};
inline const Sel<Ref<>()> labelColor{"labelColor"};
inline const Sel<Ref<>()> systemGray4Color{"systemGray4Color"};

// UIColor
inline const Sel<Ref<>(CGFloat)> colorWithAlphaComponent{"colorWithAlphaComponent:"};
inline const Sel<bool(CGFloat*, CGFloat*, CGFloat*, CGFloat*)> getHue_saturation_brightness_alpha{
    "getHue:saturation:brightness:alpha:"};
inline const Sel<bool(CGFloat*, CGFloat*, CGFloat*, CGFloat*)> getRed_green_blue_alpha{
    "getRed:green:blue:alpha:"};
inline const Sel<Ref<>()> CGColor{"CGColor"};

// UIImage, class messages
inline const Sel<Ref<>(id)> imageWithData{"imageWithData:"};
inline const Sel<Ref<>(id, CGFloat)> imageWithData_scale{"imageWithData:scale:"};
inline const Sel<Ref<>(id)> imageWithContentsOfFile{"imageWithContentsOfFile:"};
inline const Sel<Ref<>(id)> imageWithCGImage{"imageWithCGImage:"};

// UIImage (`scale` is also the screen's: one selector, one signature)
inline const Sel<rt::CGSize()> size{"size"};
inline const Sel<CGFloat()> scale{"scale"};
inline const Sel<Ref<>()> CGImage{"CGImage"};
inline const Sel<Ref<>()> imageAsset{"imageAsset"};
// UIImageAsset
inline const Sel<Ref<>()> assetName{"assetName"};
}  // namespace sel

namespace cls {
inline const rt::ClassName UIView{"UIView"};
inline const rt::ClassName UIWindow{"UIWindow"};
inline const rt::ClassName UILabel{"UILabel"};
inline const rt::ClassName UIViewController{"UIViewController"};
inline const rt::ClassName UIColor{"UIColor"};
inline const rt::ClassName UIImage{"UIImage"};
inline const rt::ClassName UIBezierPath{"UIBezierPath"};
inline const rt::ClassName UIFont{"UIFont"};
inline const rt::ClassName UIImageView{"UIImageView"};
inline const rt::ClassName UIButton{"UIButton"};
inline const rt::ClassName UIApplication{"UIApplication"};
inline const rt::ClassName UIScreen{"UIScreen"};
inline const rt::ClassName UITraitCollection{"UITraitCollection"};
}  // namespace cls

namespace host {
// The platform's enumerations the system passes in messages, with the host's values.
enum UIViewContentMode : int64_t {
  UIViewContentModeScaleToFill = 0,
  UIViewContentModeScaleAspectFit = 1,
  UIViewContentModeScaleAspectFill = 2,
  UIViewContentModeCenter = 4,
};
// What a view's content means for a right-to-left layout: unspecified content mirrors with
// the layout; playback controls and spatial content keep their left-to-right order.
enum UISemanticContentAttribute : int64_t {
  UISemanticContentAttributeUnspecified = 0,
  UISemanticContentAttributePlayback = 1,
  UISemanticContentAttributeSpatial = 2,
  UISemanticContentAttributeForceLeftToRight = 3,
  UISemanticContentAttributeForceRightToLeft = 4,
};
enum UIUserInterfaceLayoutDirection : int64_t {
  UIUserInterfaceLayoutDirectionLeftToRight = 0,
  UIUserInterfaceLayoutDirectionRightToLeft = 1,
};
enum UIUserInterfaceStyle : int64_t {
  UIUserInterfaceStyleUnspecified = 0,
  UIUserInterfaceStyleLight = 1,
  UIUserInterfaceStyleDark = 2,
};

// The PNG encoding of the image (see `encodePNG`), or nil for nil, for an object that is
// not an image and for an image without pixels.
rt::Ref<> UIImagePNGRepresentation(rt::id image);
}  // namespace host
