#include "notifications/restyle.h"

#include "colour/colour_string.h"
#include "host/foundation/main_queue.h"
#include "host/foundation/value_helpers.h"
#include "notifications/context.h"
#include "notifications/style_stage.h"
#include "notifications/system_selectors.h"
#include "prefs/globals.h"
#include "shared/surface_style.h"

namespace lumora {
namespace {

using rt::CGFloat;
using rt::CGRect;

constexpr int64_t kDateDelay = 100'000'000;  // nanoseconds

Ref<> ivar(id object, id name) {
  return rt::send(object, sel::valueForKey, name);
}

// Makes the view with a zero frame, inserts it at the index and hands it to the setter.
Ref<> addView(id parent, const rt::ClassName& cls, int64_t index, id owner,
              const rt::Sel<void(id)>& setter) {
  Ref<> view = rt::send(rt::send(cls.get(), sel::alloc), sel::initWithFrame, CGRect{});
  rt::send(parent, sel::insertSubview_atIndex, view, index);
  rt::send(owner, setter, view);
  return view;
}

// The five added views, made on the first pass that needs them, in this order.
void createAddedViews(id card) {
  if (!rt::send(card, sel::lumoraBackground)) {
    const int64_t index = isLockscreenNotification(card) ? 1 : 2;
    Ref<> background =
        addView(card, cls::LumoraBackgroundView, index, card, sel::setLumoraBackground);
    rt::send(rt::send(background, sel::layer), sel::setContinuousCorners, true);
    rt::send(background, sel::setClipsToBounds, true);
  }
  Ref<> background = rt::send(card, sel::lumoraBackground);
  if (!rt::send(card, sel::colorIndicator))
    addView(background.get(), cls::LumoraIndicatorView, 1, card, sel::setColorIndicator);
  if (!rt::send(card, sel::lumoraBorder))
    addView(background.get(), cls::UIView, 1, card, sel::setLumoraBorder);
  if (!rt::send(card, sel::imageIndicator))
    addView(card, cls::UIImageView, 3, card, sel::setImageIndicator);
  if (!rt::send(card, sel::imageIndicatorCorner))
    addView(card, cls::UIImageView, 4, card, sel::setImageIndicatorCorner);
}

void reset(id card, id controller, float radius, id thumbnail) {
  const CGFloat r = radius;
  rt::send(rt::send(rt::send(card, sel::backgroundMaterialView), sel::layer), sel::setCornerRadius,
           r);
  Ref<> dimming = ivar(rt::send(controller, sel::view).get(), LUMORA_STR("_stackDimmingView"));
  rt::send(rt::send(dimming, sel::layer), sel::setCornerRadius, r);
  Ref<> background = rt::send(card, sel::lumoraBackground);
  rt::send(rt::send(background, sel::layer), sel::setCornerRadius, r);
  Ref<> image = rt::send(card, sel::imageIndicator);
  rt::send(image, sel::setHidden, true);
  rt::send(rt::send(image, sel::layer), sel::setBorderWidth, CGFloat{0});
  rt::send(rt::send(image, sel::layer), sel::setBorderColor, nullptr);
  rt::send(rt::send(card, sel::imageIndicatorCorner), sel::setHidden, true);
  rt::send(rt::send(card, sel::lumoraBorder), sel::setHidden, true);
  Ref<> indicator = rt::send(card, sel::colorIndicator);
  rt::send(indicator, sel::setHidden, true);
  rt::send(rt::send(indicator, sel::layer), sel::setCornerRadius, CGFloat{0});
  rt::send(rt::send(indicator, sel::layer), sel::setMask, nullptr);
  rt::send(rt::send(background, sel::layer), sel::setBorderWidth, CGFloat{0});
  rt::send(rt::send(card, sel::layer), sel::setShadowRadius, CGFloat{0});
  rt::send(thumbnail, sel::setAlpha, CGFloat{1});
}

void resetHeader(id header) {
  if (!header) return;
  rt::send(header, sel::setBackgroundColor, nullptr);
  Ref<> label = rt::send(cls::UIColor, sel::labelColor);
  rt::send(ivar(header, LUMORA_STR("_titleLabel")), sel::setTextColor, label);
  rt::send(ivar(header, LUMORA_STR("_dateLabel")), sel::setTextColor, label);
  Ref<> layer = rt::send(header, sel::layer);
  Ref<> sublayers = rt::send(layer, sel::sublayers);
  for (uint64_t i = 0; i < rt::send(sublayers, sel::count); ++i) {
    Ref<> sublayer = rt::send(sublayers, sel::objectAtIndex, i);
    if (rt::send(sublayer, sel::isKindOfClass, cls::CAGradientLayer.get())) {
      rt::send(sublayer, sel::setColors, nullptr);
      return;
    }
  }
  Ref<> gradient = rt::send(cls::CAGradientLayer.get(), sel::layer);
  rt::send(gradient, sel::setStartPoint, rt::CGPoint{0, 0});
  rt::send(gradient, sel::setEndPoint, rt::CGPoint{1, 0});
  rt::send(layer, sel::insertSublayer_atIndex, gradient, uint32_t{0});
}

// The date colour, 0.1 s after the pass, from the colours the views carry then. The
// controller is held weakly: one released before the block runs is never touched.
void scheduleDateColour(Ref<> header, Ref<> value, Ref<> card, Ref<> dominant, id controller) {
  rt::WeakRef<> weakController = controller ? controller->weak_from_this() : rt::WeakRef<>();
  host::dispatch_after(
      host::dispatch_time(host::DISPATCH_TIME_NOW, kDateDelay), host::dispatch_get_main_queue(),
      [header, value, card, dominant, weakController] {
        Ref<> dateLabel = ivar(header.get(), LUMORA_STR("_dateLabel"));
        rt::send(rt::send(dateLabel, sel::layer), sel::setFilters, nullptr);
        Ref<> colour;
        Ref<> controller = weakController.lock();
        if (host::isString(value.get(), "dominant")) {
          if (Ref<> headerColour = rt::send(header, sel::backgroundColor))
            colour = contrastColorForBackground(headerColour.get(), controller.get());
          else if (Ref<> backgroundColour =
                       rt::send(rt::send(card, sel::lumoraBackground), sel::backgroundColor))
            colour = contrastColorForBackground(backgroundColour.get(), controller.get());
          else
            colour = dominant;
        } else {
          colour = lumoraColorFromHexString(value.get());
        }
        rt::send(dateLabel, sel::setTextColor, colour);
      });
}

void placeBorder(id card, Ref<> dominant) {
  Ref<> value = contextSettingValue("borderColor", card);
  Ref<> colour = colourForSetting(value.get(), dominant.get());
  Ref<> strip = rt::send(card, sel::lumoraBorder);
  rt::send(strip, sel::setBackgroundColor, colour);
  if (!value) return;
  const auto width = static_cast<CGFloat>(static_cast<int32_t>(
      rt::send(preferences, sel::integerForKey, contextKey("borderWidth", card))));
  Ref<> position = rt::send(preferences, sel::valueForKey, contextKey("borderPosition", card));
  const BorderPlacement place =
      borderPlacement(position.get(), width, rt::send(card, sel::frame).size);
  if (place.allEdges) {
    Ref<> layer = rt::send(rt::send(card, sel::lumoraBackground), sel::layer);
    rt::send(layer, sel::setBorderColor, rt::send(colour, sel::CGColor));
    rt::send(layer, sel::setBorderWidth, width);
  }
  if (place.strip) {
    rt::send(strip, sel::setHidden, false);
    rt::send(strip, sel::setFrame, *place.strip);
  }
}

}  // namespace

Ref<> contrastColorForBackground(id colour, id controller) {
  if (lumoraIsDarkColor(colour)) return rt::send(cls::UIColor, sel::whiteColor);
  if (rt::send(rt::send(controller, sel::traitCollection), sel::userInterfaceStyle) ==
      host::UIUserInterfaceStyleLight)
    return rt::send(cls::UIColor, sel::blackColor);
  return rt::send(cls::UIColor, sel::systemGray4Color);
}

rt::ImpFor<void> original_shortLookController_viewDidLayoutSubviews;
void restyleNotification(id self, SEL cmd) {
  original_shortLookController_viewDidLayoutSubviews(self, cmd);
  Ref<> card = rt::send(self, sel::viewForPreview);
  if (!isContextEnabled(card.get())) return;
  if (!card || rt::send(card, sel::frame).size.width == 0) return;
  id n = card.get();

  if (contextSettingIs("forceMode", n, "dark"))
    rt::send(self, sel::setOverrideUserInterfaceStyle, host::UIUserInterfaceStyleDark);
  else if (contextSettingIs("forceMode", n, "light"))
    rt::send(self, sel::setOverrideUserInterfaceStyle, host::UIUserInterfaceStyleLight);

  float radius = cornerRadiusForView(n);
  if (radius < 0) radius = static_cast<float>(rt::send(n, sel::frame).size.height / 2);
  Ref<> dominant = visibleColour(rt::send(self, sel::getDominantColor).get());
  createAddedViews(n);

  Ref<> header = ivar(n, LUMORA_STR("_headerContentView"));
  Ref<> content = ivar(n, LUMORA_STR("_notificationContentView"));
  Ref<> thumbnail = rt::send(content, sel::safeValueForKey, LUMORA_STR("_thumbnailImageView"));
  reset(n, self, radius, thumbnail.get());
  resetHeader(header.get());

  if (Ref<> shadow = ivar(n, LUMORA_STR("_shadowView"))) {
    if (radius > 13) {
      rt::send(shadow, sel::setHidden, true);
      Ref<> layer = rt::send(n, sel::layer);
      rt::send(layer, sel::setShadowOffset, rt::CGSize{0, 3});
      rt::send(layer, sel::setShadowRadius, CGFloat{5});
      rt::send(layer, sel::setShadowOpacity, 0.075f);
    } else {
      rt::send(shadow, sel::setHidden, false);
    }
  }

  const StyleContext stage{self, n, header.get(), dominant.get(), thumbnail.get()};
  if (contextSettingIs("style", n, "modern"))
    modernStyling(stage);
  else if (contextSettingIs("style", n, "classic"))
    classicStyling(stage);

  Ref<> background = rt::send(n, sel::lumoraBackground);
  Ref<> material = rt::send(n, sel::backgroundMaterialView);
  Ref<> backgroundValue = contextSettingValue("colorBackground", n);
  bool transparent = false;
  if (backgroundValue) {
    rt::send(background, sel::setBackgroundColor,
             colourForSetting(backgroundValue.get(), dominant.get(), 0.6));
    transparent = isSeeThrough(backgroundValue.get());
    rt::send(material, sel::setAlpha, CGFloat{transparent ? 0.0 : 1.0});
  } else {
    rt::send(background, sel::setBackgroundColor, nullptr);
    rt::send(material, sel::setAlpha, CGFloat{1});
  }
  rt::send(self, sel::lumoraHideGroupedNotifications, transparent);

  const bool dominantBackground = host::isString(backgroundValue.get(), "dominant");
  Ref<> primary = contextSettingValue("colorPrimaryLabel", n);
  Ref<> primaryLabel = ivar(content.get(), LUMORA_STR("_primaryLabel"));
  if (!primary)
    rt::send(primaryLabel, sel::setTextColor, nullptr);
  else if (dominantBackground && host::isString(primary.get(), "dominant"))
    rt::send(primaryLabel, sel::setTextColor,
             contrastColorForBackground(rt::send(background, sel::backgroundColor).get(), self));
  else
    rt::send(primaryLabel, sel::setTextColor, colourForSetting(primary.get(), dominant.get()));

  Ref<> secondary = contextSettingValue("colorSecondaryLabel", n);
  Ref<> secondaryLabel = ivar(content.get(), LUMORA_STR("_secondaryLabel"));
  Ref<> summaryLabel = ivar(content.get(), LUMORA_STR("_summaryLabel"));
  Ref<> subtitleLabel = ivar(content.get(), LUMORA_STR("_primarySubtitleLabel"));
  if (!secondary) {
    for (const Ref<>& label : {secondaryLabel, summaryLabel, subtitleLabel})
      rt::send(label, sel::setTextColor, nullptr);
  } else {
    if (dominantBackground && host::isString(secondary.get(), "dominant"))
      rt::send(secondaryLabel, sel::setTextColor,
               contrastColorForBackground(rt::send(background, sel::backgroundColor).get(), self));
    else
      rt::send(secondaryLabel, sel::setTextColor,
               colourForSetting(secondary.get(), dominant.get()));
    Ref<> reported = rt::send(secondaryLabel, sel::textColor);
    rt::send(summaryLabel, sel::setTextColor, reported);
    rt::send(subtitleLabel, sel::setTextColor, reported);
  }

  if (Ref<> date = contextSettingValue("colorHeaderDate", n))
    scheduleDateColour(header, date, card, dominant, self);

  placeBorder(n, dominant);

  Ref<> section = rt::send(rt::send(self, sel::notificationRequest), sel::sectionIdentifier);
  if (rt::send(section, sel::containsString, LUMORA_STR("com.hollowreed.maple"))) {
    rt::send(rt::send(n, sel::colorIndicator), sel::setHidden, true);
    rt::send(rt::send(n, sel::imageIndicator), sel::setHidden, true);
  }
}

}  // namespace lumora
