#include "media/media_restyle.h"

#include "colour/colour_string.h"
#include "colour/image_colour.h"
#include "host/extension_standin/colorflow_selectors.h"
#include "host/foundation/media_remote.h"
#include "host/foundation/value_helpers.h"
#include "host/springboard/springboard_selectors.h"
#include "media/media_globals.h"
#include "prefs/globals.h"
#include "shared/added_views.h"
#include "shared/surface_style.h"

namespace lumora {
namespace {

using rt::CGFloat;
using rt::CGRect;
using rt::Ref;

constexpr CGFloat kDominantBackgroundAlpha = 0.6;

// The other extension's settings, while it is installed.
Ref<> colorFlowPrefs() {
  return rt::send(cls::CFWPrefsManager.get(), sel::sharedInstance);
}

bool enabled() {
  return rt::send(preferences, sel::boolForKey, LUMORA_STR("enableMediaplayer"));
}

void roundLayer(id view, CGFloat radius) {
  Ref<> layer = rt::send(view, sel::layer);
  rt::send(layer, sel::setCornerRadius, radius);
  rt::send(layer, sel::setContinuousCorners, true);
}

// The two added views, made once for the process, in the first controls view seen.
void createArtworkViews(id controls) {
  if (!lumoraArtworkBackground) {
    lumoraArtworkBackground = rt::send(rt::send(cls::LumoraBackgroundView.get(), sel::alloc),
                                       sel::initWithFrame, CGRect{});
    rt::send(rt::send(lumoraArtworkBackground, sel::layer), sel::setContinuousCorners, true);
    rt::send(lumoraArtworkBackground, sel::setClipsToBounds, true);
    rt::send(controls, sel::insertSubview_atIndex, lumoraArtworkBackground, int64_t{0});
  }
  if (!lumoraArtworkBorder) {
    lumoraArtworkBorder = rt::send(rt::send(cls::UIView, sel::alloc), sel::initWithFrame, CGRect{});
    rt::send(lumoraArtworkBackground, sel::insertSubview_atIndex, lumoraArtworkBorder, int64_t{1});
  }
}

// The border along the edge "borderPositionMediaplayer" names, inside the background.
void placeBorder(id container) {
  const auto w = static_cast<CGFloat>(
      rt::send(preferences, sel::integerForKey, LUMORA_STR("borderWidthMediaplayer")));
  const BorderPlacement place = borderPlacement(preferenceValue("borderPositionMediaplayer").get(),
                                                w, rt::send(container, sel::frame).size);
  if (place.allEdges)
    rt::send(rt::send(lumoraArtworkBackground, sel::layer), sel::setBorderWidth, w);
  if (place.strip) {
    rt::send(lumoraArtworkBorder, sel::setHidden, false);
    rt::send(lumoraArtworkBorder, sel::setFrame, *place.strip);
  }
}

void requestArtworkColours() {
  host::MRMediaRemoteGetNowPlayingInfo(host::dispatch_get_main_queue(), &artworkColorHandler);
}

// A colour setting's colour, "dominant" being the artwork's average (none for a fully
// transparent artwork), which is computed only when asked for.
Ref<> colourFor(id value, id artwork) {
  Ref<> average;
  if (host::isString(value, "dominant")) average = visibleColour(lumoraAverageColor(artwork).get());
  return colourForSetting(value, average.get());
}

}  // namespace

bool colorFlowLockScreenEnabled() {
  return rt::send(colorFlowPrefs(), sel::isLockScreenEnabled);
}

rt::ImpFor<void> original_mediaControls_didMoveToWindow;
void mediaControls_didMoveToWindow(id self, SEL cmd) {
  original_mediaControls_didMoveToWindow(self, cmd);
  if (!enabled()) return;
  if (rt::send(colorFlowPrefs(), sel::lockScreenFullScreenEnabled)) return;
  Ref<> background = preferenceValue("colorBackgroundMediaplayer");

  Ref<> container = rt::send(self, sel::superview);
  Ref<> platter = rt::send(container, sel::superview);
  // A superview's superview that is no platter has no material; asking it would stop
  // the host.
  Ref<> material;
  if (rt::send(platter, sel::respondsToSelector, sel::backgroundMaterialView.get()))
    material = rt::send(platter, sel::backgroundMaterialView);
  rt::send(container, sel::setClipsToBounds, false);
  const CGFloat radius =
      surfaceCornerRadius("roundedCornersMediaplayer", "customCornerRadiusMediaplayer",
                          rt::send(self, sel::frame).size.height);

  createArtworkViews(self);
  rt::send(lumoraArtworkBackground, sel::setFrame, rt::send(container, sel::frame));

  roundLayer(platter.get(), radius);
  rt::send(platter, sel::setClipsToBounds, true);
  roundLayer(material.get(), radius);
  rt::send(rt::send(lumoraArtworkBackground, sel::layer), sel::setCornerRadius, radius);

  rt::send(lumoraArtworkBorder, sel::setHidden, true);
  rt::send(rt::send(lumoraArtworkBackground, sel::layer), sel::setBorderWidth, CGFloat{0});

  rt::send(material, sel::setAlpha, CGFloat{isSeeThrough(background.get()) ? 0.0 : 1.0});

  if (!host::isString(preferenceValue("borderColorMediaplayer").get(), "none"))
    placeBorder(container.get());

  if (!colorFlowLockScreenEnabled()) requestArtworkColours();
}

void artworkColorHandler(id information) {
  if (!information) return;
  Ref<> data = rt::send(information, sel::objectForKey,
                        host::NSStr(host::kMRMediaRemoteNowPlayingInfoArtworkData));
  Ref<> artwork = data ? rt::send(cls::UIImage, sel::imageWithData, data) : nullptr;
  Ref<> background = preferenceValue("colorBackgroundMediaplayer");
  Ref<> border = preferenceValue("borderColorMediaplayer");
  lumoraArtworkColor = colourFor(background.get(), artwork.get());
  lumoraArtworkBorderColor = colourFor(border.get(), artwork.get());
  if (!background) return;
  rt::send(lumoraArtworkBorder, sel::setBackgroundColor, lumoraArtworkBorderColor);
  rt::send(rt::send(lumoraArtworkBackground, sel::layer), sel::setBorderColor,
           rt::send(lumoraArtworkBorderColor, sel::CGColor));
  rt::send(lumoraArtworkBackground, sel::setBackgroundColor,
           colourForSetting(background.get(), lumoraArtworkColor.get(), kDominantBackgroundAlpha));
}

rt::ImpFor<void, id> original_nowPlayingInfoDidChange;
void nowPlayingInfoDidChange(id self, SEL cmd, id notification) {
  original_nowPlayingInfoDidChange(self, cmd, notification);
  if (enabled() && !colorFlowLockScreenEnabled()) requestArtworkColours();
}

rt::ImpFor<void> original_coverSheet_loadView;
void coverSheet_loadView(id self, SEL cmd) {
  original_coverSheet_loadView(self, cmd);
  if (!enabled() || !colorFlowInstalled) return;
  rt::send(rt::send(cls::NSNotificationCenter, sel::defaultCenter),
           sel::addObserver_selector_name_object, self, sel::lumoraColorBorderWithThirdParty.get(),
           LUMORA_STR("ColorFlowLockScreenColorizationNotification"), nullptr);
}

void lumoraColorBorderWithThirdParty(id, SEL, id notification) {
  Ref<> colour = rt::send(rt::send(notification, sel::userInfo), sel::objectForKey,
                          LUMORA_STR("SecondaryColor"));
  // Anything but a colour counts as none: asking it for its CGColor would stop the host.
  if (!rt::send(colour, sel::isKindOfClass, cls::UIColor.get())) colour = nullptr;
  rt::send(rt::send(lumoraArtworkBackground, sel::layer), sel::setBorderColor,
           rt::send(colour, sel::CGColor));
  // The single-edge strip shows the same colour, so a border on one edge is seen too.
  rt::send(lumoraArtworkBorder, sel::setBackgroundColor, colour);
}

}  // namespace lumora
