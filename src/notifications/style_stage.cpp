#include "notifications/style_stage.h"

#include "colour/colour_string.h"
#include "host/foundation/main_queue.h"
#include "host/foundation/value_helpers.h"
#include "notifications/context.h"
#include "notifications/restyle.h"
#include "notifications/system_selectors.h"
#include "prefs/globals.h"

namespace lumora {
namespace {

using rt::CGFloat;
using rt::CGPoint;
using rt::CGRect;
using rt::id;
using rt::Ref;

constexpr int64_t kGradientDelay = 100'000'000;  // nanoseconds
constexpr CGFloat kEdge = 20;                    // the modern indicator's distance from the edge

Ref<> ivar(id object, id name) {
  return rt::send(object, sel::valueForKey, name);
}

Ref<> firstIconButton(id header) {
  return rt::send(rt::send(header, sel::iconButtons), sel::firstObject);
}

// Masks the colour indicator to the triangle through the three points.
void triangleMask(id card, CGPoint a, CGPoint b, CGPoint c) {
  Ref<> path = rt::send(cls::UIBezierPath, sel::new_);
  rt::send(path, sel::moveToPoint, a);
  rt::send(path, sel::addLineToPoint, b);
  rt::send(path, sel::addLineToPoint, c);
  rt::send(path, sel::addLineToPoint, a);
  Ref<> shape = rt::send(cls::CAShapeLayer, sel::new_);
  rt::send(shape, sel::setFrame, rt::send(card, sel::bounds));
  rt::send(shape, sel::setPath, rt::send(path, sel::CGPath));
  rt::send(rt::send(rt::send(card, sel::colorIndicator), sel::layer), sel::setMask, shape);
}

// C with its brightness raised by 0.25; C itself when its HSB cannot be read.
Ref<> lighter(id colour) {
  CGFloat hue = 0, saturation = 0, brightness = 0, alpha = 0;
  if (!rt::send(colour, sel::getHue_saturation_brightness_alpha, &hue, &saturation, &brightness,
                &alpha))
    return colour ? colour->ref() : nullptr;
  return rt::send(cls::UIColor, sel::colorWithHue_saturation_brightness_alpha, hue, saturation,
                  brightness + 0.25, alpha);
}

Ref<> cgColours(std::initializer_list<id> colours) {
  Ref<> list = rt::send(cls::NSMutableArray, sel::new_);
  for (id colour : colours) rt::send(list, sel::addObject, rt::send(colour, sel::CGColor));
  return list;
}

void colourHeader(const StyleContext& c, id titleValue) {
  Ref<> value = contextSettingValue("colorHeader", c.card);
  if (!value) return;
  Ref<> colour = host::isString(value.get(), "dominant")
                     ? rt::send(c.dominant, sel::colorWithAlphaComponent, CGFloat{0.8})
                     : lumoraColorFromHexString(value.get());
  if (colour) {
    if (host::isString(titleValue, "dominant"))
      rt::send(ivar(c.header, LUMORA_STR("_titleLabel")), sel::setTextColor,
               contrastColorForBackground(colour.get(), c.controller));
    const bool flat = contextSettingIs("gradientHeader", c.card, "no");
    rt::send(c.header, sel::setBackgroundColor, colour);
    if (!flat) {
      Ref<> light = lighter(colour.get());
      Ref<> colours;
      if (contextSettingIs("gradientHeader", c.card, "ltr"))
        colours = cgColours({light.get(), colour.get()});
      else if (contextSettingIs("gradientHeader", c.card, "center"))
        colours = cgColours({colour.get(), light.get(), colour.get()});
      else if (contextSettingIs("gradientHeader", c.card, "rtl"))
        colours = cgColours({colour.get(), light.get()});
      Ref<> sublayers = rt::send(rt::send(c.header, sel::layer), sel::sublayers);
      for (uint64_t i = 0; i < rt::send(sublayers, sel::count); ++i) {
        Ref<> gradient = rt::send(sublayers, sel::objectAtIndex, i);
        if (!rt::send(gradient, sel::isKindOfClass, cls::CAGradientLayer.get())) continue;
        rt::send(gradient, sel::setColors, colours);
        Ref<> header = c.header->ref();
        host::dispatch_after(host::dispatch_time(host::DISPATCH_TIME_NOW, kGradientDelay),
                             host::dispatch_get_main_queue(), [gradient, header] {
                               rt::send(gradient, sel::setFrame, rt::send(header, sel::bounds));
                             });
        break;
      }
    }
  }
  // The header moves into the background view whenever a header colour is set.
  rt::send(rt::send(c.card, sel::lumoraBackground), sel::insertSubview_atIndex, c.header,
           int64_t{1});
}

void iconIndicator(const StyleContext& c, CGRect bounds) {
  Ref<> image = rt::send(c.card, sel::imageIndicator);
  Ref<> badge = rt::send(c.card, sel::imageIndicatorCorner);
  rt::send(image, sel::setHidden, false);
  const auto size = static_cast<CGFloat>(static_cast<float>(
      rt::send(preferences, sel::integerForKey, contextKey("indicatorModernSize", c.card))));
  const CGFloat w = bounds.size.width, h = bounds.size.height;
  const CGFloat x = isRightToLeftLayout() ? w - size - kEdge : kEdge;
  rt::send(image, sel::setFrame, CGRect{{x, (h - size) / 2}, {size, size}});
  const CGRect f = rt::send(image, sel::frame);
  rt::send(badge, sel::setFrame,
           CGRect{{f.origin.x + f.size.width - 13, f.origin.y + f.size.height - 13}, {15, 15}});

  Ref<> request = rt::send(c.controller, sel::notificationRequest);
  Ref<> section = rt::send(request, sel::sectionIdentifier);
  if (host::isString(section.get(), kDoNotDisturbSection) ||
      host::isString(section.get(), kSmartChargingSection)) {
    Ref<> asset = rt::send(
        rt::send(rt::send(rt::send(request, sel::content), sel::attachmentImage), sel::imageAsset),
        sel::assetName);
    rt::send(image, sel::setImage, rt::send(cls::UIImage, sel::systemImageNamed, asset));
    rt::send(image, sel::setTintColor, rt::send(cls::UIColor, sel::labelColor));
    rt::send(c.thumbnail, sel::setAlpha, CGFloat{0});
    return;
  }
  Ref<> picture = rt::send(c.controller, sel::getContactPicture);
  Ref<> layer = rt::send(image, sel::layer);
  if (picture && rt::send(preferences, sel::boolForKey, contextKey("useContactPicture", c.card))) {
    rt::send(image, sel::setImage, picture);
    rt::send(layer, sel::setCornerRadius, rt::send(image, sel::frame).size.height / 2);
    rt::send(image, sel::setClipsToBounds, true);
    rt::send(image, sel::setContentMode, host::UIViewContentModeScaleAspectFill);
    if (rt::send(preferences, sel::boolForKey, contextKey("useContactPictureIcon", c.card))) {
      rt::send(badge, sel::setImage,
               rt::send(c.controller, sel::getIconForBundleId_withMask, section, true));
      rt::send(badge, sel::setHidden, false);
    }
    if (Ref<> ring = contextSettingValue("contactPictureBorder", c.card)) {
      rt::send(layer, sel::setBorderWidth, CGFloat{1});
      rt::send(layer, sel::setBorderColor,
               rt::send(colourForSetting(ring.get(), c.dominant), sel::CGColor));
    }
    return;
  }
  if (contextSettingIs("indicatorRoundedCorner", c.card, "stock")) {
    rt::send(image, sel::setImage,
             rt::send(c.controller, sel::getIconForBundleId_withMask, section, true));
    rt::send(image, sel::setClipsToBounds, false);
    return;
  }
  rt::send(image, sel::setImage,
           rt::send(c.controller, sel::getIconForBundleId_withMask, section, false));
  float radius = 13;
  if (contextSettingIs("indicatorRoundedCorner", c.card, "none"))
    radius = 0;
  else if (contextSettingIs("indicatorRoundedCorner", c.card, "round"))
    radius = -1;
  else if (contextSettingIs("indicatorRoundedCorner", c.card, "custom"))
    radius =
        rt::send(preferences, sel::floatForKey, contextKey("indicatorCustomRoundedCorner", c.card));
  const float half = static_cast<float>(size) / 2;
  rt::send(layer, sel::setCornerRadius, CGFloat{radius > half || radius < 0 ? half : radius});
  rt::send(image, sel::setClipsToBounds, true);
}

}  // namespace

void classicStyling(const StyleContext& c) {
  rt::send(c.controller, sel::lumoraHideHeader, false);
  Ref<> title = contextSettingValue("colorHeaderTitle", c.card);
  if (title) {
    Ref<> label = ivar(c.header, LUMORA_STR("_titleLabel"));
    rt::send(rt::send(label, sel::layer), sel::setFilters, nullptr);
    rt::send(label, sel::setTextColor, colourForSetting(title.get(), c.dominant));
  }
  colourHeader(c, title.get());
  rt::send(firstIconButton(c.header).get(), sel::setAlpha, CGFloat{0});

  Ref<> indicator = rt::send(c.card, sel::colorIndicator);
  const CGRect fixed{{14.5, 14.5}, {12, 12}};  // classic frames ignore the layout direction
  if (contextSettingIs("indicatorClassic", c.card, "dot")) {
    rt::send(indicator, sel::setHidden, false);
    rt::send(indicator, sel::setFrame, fixed);
    rt::send(rt::send(indicator, sel::layer), sel::setCornerRadius, CGFloat{6});
  } else if (contextSettingIs("indicatorClassic", c.card, "triangle")) {
    rt::send(indicator, sel::setHidden, false);
    rt::send(indicator, sel::setFrame, fixed);
    triangleMask(c.card, {0, 0}, {12, 6}, {0, 12});
  } else if (contextSettingIs("indicatorClassic", c.card, "icon")) {
    rt::send(firstIconButton(c.header).get(), sel::setAlpha, CGFloat{1});
  }
  if (Ref<> colour = contextSettingValue("indicatorClassicColor", c.card))
    rt::send(indicator, sel::setBackgroundColor, colourForSetting(colour.get(), c.dominant));
}

void modernStyling(const StyleContext& c) {
  rt::send(c.controller, sel::lumoraHideHeader, true);
  const CGRect bounds = rt::send(c.card, sel::frame);
  const CGFloat w = bounds.size.width, h = bounds.size.height;
  Ref<> indicator = rt::send(c.card, sel::colorIndicator);
  const auto half = static_cast<CGFloat>(static_cast<float>(
      rt::send(preferences, sel::integerForKey, contextKey("indicatorModernSize", c.card)) / 2));
  if (contextSettingIs("indicatorModern", c.card, "icon")) {
    iconIndicator(c, bounds);
  } else if (contextSettingIs("indicatorModern", c.card, "dot")) {
    rt::send(indicator, sel::setHidden, false);
    const CGFloat x = isRightToLeftLayout() ? w - half - kEdge : kEdge;
    rt::send(indicator, sel::setFrame, CGRect{{x, (h - half) / 2}, {half, half}});
    rt::send(rt::send(indicator, sel::layer), sel::setCornerRadius, half / 2);
  } else if (contextSettingIs("indicatorModern", c.card, "triangle")) {
    rt::send(indicator, sel::setHidden, false);
    const CGFloat x = isRightToLeftLayout() ? w - half - kEdge : kEdge;
    rt::send(indicator, sel::setFrame, CGRect{{x, (h - half) / 2}, {half, half}});
    triangleMask(c.card, {0, 0}, {half, half / 2}, {0, half});
  } else if (contextSettingIs("indicatorModern", c.card, "line")) {
    rt::send(indicator, sel::setHidden, false);
    const CGFloat x = isRightToLeftLayout() ? w - 3 - kEdge : kEdge;
    rt::send(indicator, sel::setFrame, CGRect{{x, 20}, {3, h - 40}});
    Ref<> layer = rt::send(indicator, sel::layer);
    rt::send(layer, sel::setCornerRadius, CGFloat{1.5});
    rt::send(layer, sel::setContinuousCorners, true);
  }
  if (Ref<> colour = contextSettingValue("indicatorModernColor", c.card))
    rt::send(indicator, sel::setBackgroundColor, colourForSetting(colour.get(), c.dominant));
}

}  // namespace lumora
