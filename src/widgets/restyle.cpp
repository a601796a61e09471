#include "widgets/restyle.h"

#include <string>

#include "colour/colour_string.h"
#include "colour/icon_colour.h"
#include "host/foundation/value_helpers.h"
#include "prefs/globals.h"

namespace lumora {
namespace {

using rt::CGFloat;
using rt::CGRect;
using rt::id;
using rt::Ref;

constexpr CGFloat kStockRadius = 13;
constexpr CGFloat kHeaderContentOffset = 4;
constexpr double kDominantHeaderAlpha = 0.8, kDominantBackgroundAlpha = 0.6,
                 kDominantBorderAlpha = 0.8;

Ref<> setting(const char* key) {
  return rt::send(preferences, sel::valueForKey, host::NSStr(key));
}

bool settingIs(const char* key, const char* value) {
  return host::isString(setting(key).get(), value);
}

// A colour setting without any value counts as "none".
bool isNone(id value) {
  return !value || host::isString(value, "none");
}

// "dominant" gives the icon's colour at the alpha (none without one); anything else is
// read as a colour string, which gives none for "none" and for any other text.
Ref<> colourFor(id value, id dominant, double alpha) {
  if (host::isString(value, "dominant"))
    return rt::send(dominant, sel::colorWithAlphaComponent, CGFloat{alpha});
  return lumoraColorFromHexString(value);
}

// Only a string can contain "0.00"; a value of another kind is never transparent.
bool isTransparent(id value) {
  const std::string* text = host::stringText(value);
  return text && text->find("0.00") != std::string::npos;
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

CGFloat cornerRadius(id platter) {
  const CGFloat half = rt::send(platter, sel::frame).size.height / 2;
  if (settingIs("roundedCornersWidget", "none")) return 0;
  if (settingIs("roundedCornersWidget", "round")) return half;
  if (settingIs("roundedCornersWidget", "custom")) {
    const CGFloat custom =
        rt::send(preferences, sel::floatForKey, LUMORA_STR("customCornerRadiusWidget"));
    return custom < 0 ? half : custom;
  }
  return kStockRadius;
}

void colourHeaderAndBackground(id header, id stock, id background, id dominant) {
  Ref<> headerValue = setting("colorHeaderWidget");
  const bool plainHeader = isNone(headerValue.get());
  rt::send(header, sel::setBackgroundColor,
           plainHeader ? nullptr : colourFor(headerValue.get(), dominant, kDominantHeaderAlpha));

  Ref<> value = setting("colorBackgroundWidget");
  if (isNone(value.get())) {
    rt::send(background, sel::setBackgroundColor, nullptr);
    rt::send(stock, sel::setAlpha, CGFloat{1});
    rt::send(header, sel::setAlpha, CGFloat{1});
    return;
  }
  rt::send(background, sel::setBackgroundColor,
           colourFor(value.get(), dominant, kDominantBackgroundAlpha));
  // An uncoloured header takes the background colour.
  if (plainHeader)
    rt::send(header, sel::setBackgroundColor,
             colourFor(value.get(), dominant, kDominantBackgroundAlpha));
  const bool transparent = isTransparent(value.get());
  rt::send(stock, sel::setAlpha, CGFloat{transparent ? 0.0 : 1.0});
  rt::send(header, sel::setAlpha, CGFloat{transparent && plainHeader ? 0.0 : 1.0});
}

void placeBorder(id platter, id dominant) {
  Ref<> full = rt::send(platter, sel::lumoraFullBorder);
  Ref<> strip = rt::send(platter, sel::lumoraBorder);
  Ref<> fullLayer = rt::send(full, sel::layer);
  rt::send(strip, sel::setHidden, true);
  rt::send(fullLayer, sel::setBorderWidth, CGFloat{0});

  Ref<> value = setting("borderColorWidget");
  if (isNone(value.get())) return;
  rt::send(strip, sel::setBackgroundColor, colourFor(value.get(), dominant, kDominantBorderAlpha));
  rt::send(fullLayer, sel::setBorderColor,
           rt::send(colourFor(value.get(), dominant, kDominantBorderAlpha), sel::CGColor));

  const auto w = static_cast<CGFloat>(
      rt::send(preferences, sel::integerForKey, LUMORA_STR("borderWidthWidget")));
  const CGRect frame = rt::send(platter, sel::frame);
  const CGFloat width = frame.size.width, height = frame.size.height;
  auto showStrip = [&](CGRect rect) {
    rt::send(strip, sel::setHidden, false);
    rt::send(strip, sel::setFrame, rect);
  };
  if (settingIs("borderPositionWidget", "all"))
    rt::send(fullLayer, sel::setBorderWidth, w);
  else if (settingIs("borderPositionWidget", "top"))
    showStrip({{0, 0}, {width, w}});
  else if (settingIs("borderPositionWidget", "right"))
    showStrip({{width - w, 0}, {w, height}});
  else if (settingIs("borderPositionWidget", "bottom"))
    showStrip({{0, height - w}, {width, w}});
  else if (settingIs("borderPositionWidget", "left"))
    showStrip({{0, 0}, {w, height}});
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

  const CGFloat radius = cornerRadius(p);
  for (const Ref<>& view : {header, stock, background, full, platter})
    rt::send(rt::send(view, sel::layer), sel::setCornerRadius, radius);
  const CGRect bounds = rt::send(p, sel::bounds);
  rt::send(background, sel::setFrame, bounds);
  rt::send(full, sel::setFrame, bounds);
  rt::send(p, sel::insertSubview_atIndex, background, int64_t{1});
  rt::send(p, sel::insertSubview_atIndex, full, int64_t{5});
  if (!icon) return;

  // Without a PNG encoding the icon has no key and no colour.
  Ref<> dominant = lumoraCachedDominantColor(icon.get(), colorCache.get());
  colourHeaderAndBackground(header.get(), stock.get(), background.get(), dominant.get());
  placeBorder(p, dominant.get());
}

void offsetContentViewBelowHeader(id platter) {
  if (isNone(setting("colorHeaderWidget").get())) return;
  Ref<> content = rt::send(platter, sel::contentView);
  CGRect frame = rt::send(content, sel::frame);
  frame.origin.y += kHeaderContentOffset;
  rt::send(content, sel::setFrame, frame);
}

}  // namespace lumora
