#include "widgets/restyle.h"

#include <string>

#include "colour/colour_string.h"
#include "colour/icon_colour.h"
#include "host/foundation/value_helpers.h"
#include "prefs/globals.h"
#include "shared/surface_style.h"

namespace lumora {
namespace {

using rt::CGFloat;
using rt::CGRect;
using rt::id;
using rt::Ref;

constexpr CGFloat kHeaderContentOffset = 4;
constexpr double kDominantHeaderAlpha = 0.8, kDominantBackgroundAlpha = 0.6,
                 kDominantBorderAlpha = 0.8;

// A colour setting without any value counts as "none".
bool isNone(id value) {
  return !value || host::isString(value, "none");
}

Ref<> makeView(const rt::ClassName& cls) {
  Ref<> view = rt::send(rt::send(cls.get(), sel::alloc), sel::initWithFrame, CGRect{});
  rt::send(rt::send(view, sel::layer), sel::setContinuousCorners, true);
  rt::send(view, sel::setClipsToBounds, true);
  return view;
}

// The three added views, each made only while its property is empty, in this order.
void createAddedViews(id platter) {
  if (!rt::send(platter, sel::lumoraBackground)) {
    Ref<> background = makeView(cls::LumoraBackgroundView);
    rt::send(platter, sel::insertSubview_atIndex, background, int64_t{1});
    rt::send(platter, sel::setLumoraBackground, background);
  }
  if (!rt::send(platter, sel::lumoraFullBorder)) {
    Ref<> border = makeView(cls::UIView);
    rt::send(border, sel::setUserInteractionEnabled, false);
    rt::send(platter, sel::insertSubview_atIndex, border, int64_t{3});
    rt::send(platter, sel::setLumoraFullBorder, border);
  }
  if (!rt::send(platter, sel::lumoraBorder)) {
    Ref<> strip = makeView(cls::UIView);
    rt::send(rt::send(platter, sel::lumoraFullBorder), sel::insertSubview_atIndex, strip,
             int64_t{1});
    rt::send(platter, sel::setLumoraBorder, strip);
  }
}

void colourHeaderAndBackground(id header, id stock, id background, id dominant) {
  Ref<> headerValue = preferenceValue("colorHeaderWidget");
  const bool plainHeader = isNone(headerValue.get());
  rt::send(
      header, sel::setBackgroundColor,
      plainHeader ? nullptr : colourForSetting(headerValue.get(), dominant, kDominantHeaderAlpha));

  Ref<> value = preferenceValue("colorBackgroundWidget");
  if (isNone(value.get())) {
    rt::send(background, sel::setBackgroundColor, nullptr);
    rt::send(stock, sel::setAlpha, CGFloat{1});
    rt::send(header, sel::setAlpha, CGFloat{1});
    return;
  }
  rt::send(background, sel::setBackgroundColor,
           colourForSetting(value.get(), dominant, kDominantBackgroundAlpha));
  // An uncoloured header takes the background colour.
  if (plainHeader)
    rt::send(header, sel::setBackgroundColor,
             colourForSetting(value.get(), dominant, kDominantBackgroundAlpha));
  const bool transparent = isSeeThrough(value.get());
  rt::send(stock, sel::setAlpha, CGFloat{transparent ? 0.0 : 1.0});
  rt::send(header, sel::setAlpha, CGFloat{transparent && plainHeader ? 0.0 : 1.0});
}

void placeBorder(id platter, id dominant) {
  Ref<> full = rt::send(platter, sel::lumoraFullBorder);
  Ref<> strip = rt::send(platter, sel::lumoraBorder);
  Ref<> fullLayer = rt::send(full, sel::layer);
  rt::send(strip, sel::setHidden, true);
  rt::send(fullLayer, sel::setBorderWidth, CGFloat{0});

  Ref<> value = preferenceValue("borderColorWidget");
  if (isNone(value.get())) return;
  rt::send(strip, sel::setBackgroundColor,
           colourForSetting(value.get(), dominant, kDominantBorderAlpha));
  rt::send(fullLayer, sel::setBorderColor,
           rt::send(colourForSetting(value.get(), dominant, kDominantBorderAlpha), sel::CGColor));

  const auto w = static_cast<CGFloat>(
      rt::send(preferences, sel::integerForKey, LUMORA_STR("borderWidthWidget")));
  const BorderPlacement place = borderPlacement(preferenceValue("borderPositionWidget").get(), w,
                                                rt::send(platter, sel::frame).size);
  if (place.allEdges) rt::send(fullLayer, sel::setBorderWidth, w);
  if (place.strip) {
    rt::send(strip, sel::setHidden, false);
    rt::send(strip, sel::setFrame, *place.strip);
  }
}

}  // namespace

void lumoraColorize(id self, rt::SEL) {
  Ref<> icon = rt::send(rt::send(rt::send(self, sel::widgetHost), sel::widgetInfo), sel::_icon);
  Ref<> platter = rt::send(self, sel::view);
  id p = platter.get();
  createAddedViews(p);
  Ref<> header = rt::send(p, sel::safeValueForKey, LUMORA_STR("_headerBackgroundView"));
  Ref<> stock = rt::send(p, sel::safeValueForKey, LUMORA_STR("_backgroundView"));
  Ref<> background = rt::send(p, sel::lumoraBackground);
  Ref<> full = rt::send(p, sel::lumoraFullBorder);

  const CGFloat radius = surfaceCornerRadius("roundedCornersWidget", "customCornerRadiusWidget",
                                             rt::send(p, sel::frame).size.height);
  for (const Ref<>& view : {header, stock, background, full, platter})
    rt::send(rt::send(view, sel::layer), sel::setCornerRadius, radius);
  const CGRect bounds = rt::send(p, sel::bounds);
  rt::send(background, sel::setFrame, bounds);
  rt::send(full, sel::setFrame, bounds);
  rt::send(p, sel::insertSubview_atIndex, background, int64_t{1});
  rt::send(p, sel::insertSubview_atIndex, full, int64_t{5});
  if (!icon) return;

  // Without a PNG encoding the icon has no key and no colour.
  Ref<> dominant = visibleColour(lumoraCachedDominantColor(icon.get(), colorCache.get()).get());
  colourHeaderAndBackground(header.get(), stock.get(), background.get(), dominant.get());
  placeBorder(p, dominant.get());
}

void offsetContentViewBelowHeader(id platter) {
  if (isNone(preferenceValue("colorHeaderWidget").get())) return;
  Ref<> content = rt::send(platter, sel::contentView);
  CGRect frame = rt::send(content, sel::frame);
  frame.origin.y += kHeaderContentOffset;
  rt::send(content, sel::setFrame, frame);
}

}  // namespace lumora
