// The restyle pass: the added views, the reset, corners and shadow, background and
// transparency, the text colours and their contrast rule, the date block, the border.
#include "notifications/restyle.h"

#include "colour/colour_string.h"
#include "notification_fixture.h"
#include "notifications/system_selectors.h"

using rt::CGFloat;
using rt::CGRectMake;
using rt::id;
using rt::Ref;

namespace {

class RestyleTest : public testing_support::NotificationFixture {
 protected:
  Ref<> background() { return rt::send(card, sel::lumoraBackground); }
};

}  // namespace

TEST_F(RestyleTest, TheFirstPassAddsFiveViewsAtTheirPlaces) {
  boot();
  banner();
  Ref<> bg = background();
  ASSERT_TRUE(rt::send(bg, sel::isKindOfClass, rt::objc_getClass("LumoraBackgroundView")));
  Ref<> subviews = rt::send(card, sel::subviews);
  // A banner: at 2, right above the material, over the shadow view.
  EXPECT_EQ(rt::send(subviews, sel::objectAtIndex, uint64_t{1}),
            rt::send(card, sel::backgroundMaterialView));
  EXPECT_EQ(rt::send(subviews, sel::objectAtIndex, uint64_t{2}), bg);
  EXPECT_EQ(rt::send(subviews, sel::objectAtIndex, uint64_t{3}),
            rt::send(card, sel::imageIndicator));
  EXPECT_EQ(rt::send(subviews, sel::objectAtIndex, uint64_t{4}),
            rt::send(card, sel::imageIndicatorCorner));
  // Both inserted at 1 of the empty background: the indicator first, the strip after it.
  Ref<> inner = rt::send(bg, sel::subviews);
  EXPECT_EQ(rt::send(inner, sel::firstObject), rt::send(card, sel::colorIndicator));
  EXPECT_EQ(rt::send(inner, sel::lastObject), rt::send(card, sel::lumoraBorder));
  EXPECT_EQ(rt::send(bg, sel::frame), rt::send(card, sel::frame));
}

TEST_F(RestyleTest, AClosedGateOrAZeroWidthAddsNothing) {
  boot();
  set("enableBanners", false);
  banner();
  EXPECT_EQ(background(), nullptr);
  set("enableBanners", true);
  rt::send(card, sel::setFrame, rt::CGRectZero);
  rt::send(controller, sel::viewDidLayoutSubviews);
  EXPECT_EQ(background(), nullptr);
}

TEST_F(RestyleTest, RoundCornersHideTheShadowViewAndShadowTheCard) {
  boot();
  set("customCornerRadiusBanner", int64_t{-5});  // a negative custom radius is round too
  banner();
  Ref<> layer = rt::send(card, sel::layer);
  set("roundedCornersBanner", "custom");  // "round" is the see-through scene's image
  relayout();
  for (Ref<> view : {rt::send(card, sel::backgroundMaterialView), background(),
                     key(rt::send(controller, sel::view).get(), "_stackDimmingView")})
    EXPECT_EQ(rt::send(rt::send(view, sel::layer), sel::cornerRadius),
              rt::send(card, sel::frame).size.height / 2);
  EXPECT_TRUE(rt::send(key(card.get(), "_shadowView"), sel::isHidden));
  EXPECT_EQ(rt::send(layer, sel::shadowOffset), (rt::CGSize{0, 3}));
  EXPECT_EQ(rt::send(layer, sel::shadowRadius), 5);
  EXPECT_EQ(rt::send(layer, sel::shadowOpacity), 0.075f);
  set("roundedCornersBanner", "stock");
  relayout();
  EXPECT_FALSE(rt::send(key(card.get(), "_shadowView"), sel::isHidden));
  EXPECT_EQ(rt::send(layer, sel::shadowRadius), 0);  // reset; offset and opacity persist
  EXPECT_EQ(rt::send(rt::send(background(), sel::layer), sel::cornerRadius), 13);
}

TEST_F(RestyleTest, ASeeThroughBackgroundHidesTheMaterialAndTheStack) {
  boot();
  set("colorBackgroundLockscreen", "#000000:0.00");
  Ref<> front = host::showOnLockscreen(request().get(), "s", false);
  Ref<> behind = host::showOnLockscreen(request().get(), "s", false);
  layout();
  Ref<> frontCard = rt::send(front, sel::viewForPreview);
  EXPECT_EQ(rt::send(rt::send(frontCard, sel::backgroundMaterialView), sel::alpha), 0);
  EXPECT_TRUE(rt::send(rt::send(behind, sel::associatedView), sel::isHidden));
  // A lockscreen card has no shadow view: the background at 1, right above its material.
  EXPECT_EQ(rt::send(rt::send(frontCard, sel::subviews), sel::objectAtIndex, uint64_t{1}),
            rt::send(frontCard, sel::lumoraBackground));
  // Each value after the one before: half see-through, see-through again, none.
  for (const char* value : {"#000000:0.50", "#000000:0.00", "none"}) {
    SCOPED_TRACE(value);
    set("colorBackgroundLockscreen", value);
    rt::send(rt::send(front, sel::view), sel::setNeedsLayout);
    rt::send(rt::send(behind, sel::view), sel::setNeedsLayout);
    layout();
    const bool seeThrough = std::string(value).find("0.00") != std::string::npos;
    EXPECT_EQ(rt::send(rt::send(frontCard, sel::backgroundMaterialView), sel::alpha),
              seeThrough ? 0 : 1);
    EXPECT_EQ(rt::send(rt::send(behind, sel::associatedView), sel::isHidden), seeThrough);
  }
}

TEST_F(RestyleTest, ANumberAsBackgroundIsNoColourAndNoTransparency) {
  boot();
  set("colorBackgroundBanner", int64_t{0});  // a settings file may hold any kind
  banner();
  EXPECT_EQ(rt::send(background(), sel::backgroundColor), nullptr);
  EXPECT_EQ(rt::send(rt::send(card, sel::backgroundMaterialView), sel::alpha), 1);
}

TEST_F(RestyleTest, TheContrastRuleAppliesOnlyWhenBothValuesAreDominant) {
  boot();                                    // the mail icon is a dark blue
  set("colorBackgroundBanner", "dominant");  // "colorPrimaryLabelBanner" is "dominant"
  banner();
  Ref<> dominant = rt::send(controller, sel::getDominantColor);
  ASSERT_TRUE(lumora::lumoraIsDarkColor(dominant.get()));
  EXPECT_EQ(rgba(rt::send(background(), sel::backgroundColor).get())[3], 0.6);
  Ref<> title = key(content.get(), "_primaryLabel");
  EXPECT_EQ(rgba(rt::send(title, sel::textColor).get()), (std::array<CGFloat, 4>{1, 1, 1, 1}));
  set("colorBackgroundBanner", "#FFFFFF");  // a fixed background: the title is D itself
  relayout();
  EXPECT_EQ(rt::send(title, sel::textColor), dominant);
  set("colorPrimaryLabelBanner", "none");
  relayout();
  EXPECT_EQ(rt::send(title, sel::textColor), nullptr);
  // The light and dark contrasts against a light colour, in the appearance the
  // controller is forced to; "default" leaves the last forced one in force.
  Ref<> light = rt::send(cls::UIColor, sel::whiteColor);
  const auto black = rgba(rt::send(cls::UIColor, sel::blackColor).get());
  const auto gray = rgba(rt::send(cls::UIColor, sel::systemGray4Color).get());
  const struct {
    const char* mode;
    int64_t style;
  } modes[] = {{"light", 1}, {"dark", 2}, {"default", 2}, {"light", 1}};
  for (const auto& m : modes) {
    set("forceModeBanner", m.mode);
    relayout();
    EXPECT_EQ(rt::send(controller, sel::overrideUserInterfaceStyle), m.style) << m.mode;
    EXPECT_EQ(rgba(lumora::contrastColorForBackground(light.get(), controller.get()).get()),
              m.style == 1 ? black : gray)
        << m.mode;
  }
  EXPECT_EQ(rgba(lumora::contrastColorForBackground(light.get(), nullptr).get()),
            rgba(rt::send(cls::UIColor, sel::systemGray4Color).get()));
}

// An icon of one colour has a clear dominant colour: text and background painted with
// it would vanish, so they keep the host's own colours, as for an app without an icon.
rt::Ref<> clearDominant(id, rt::SEL) {
  return rt::send(cls::UIColor, sel::clearColor);
}

TEST_F(RestyleTest, AClearDominantColourIsNoColour) {
  boot();
  rt::ImpFor<rt::Ref<>> saved;
  rt::MSHookMessageEx(rt::objc_getClass("NCNotificationShortLookViewController"),
                      sel::getDominantColor, &clearDominant, &saved);
  set("colorSecondaryLabelBanner", "dominant");  // the title is "dominant" by default
  set("borderColorBanner", "dominant");
  banner();
  EXPECT_EQ(rt::send(key(content.get(), "_primaryLabel"), sel::textColor), nullptr);
  EXPECT_EQ(rt::send(key(content.get(), "_secondaryLabel"), sel::textColor), nullptr);
  EXPECT_EQ(rt::send(rt::send(card, sel::lumoraBorder), sel::backgroundColor), nullptr);
  // Over a "dominant" background, which stays clear, the title takes the contrast
  // colour against no colour: opaque black in the light style.
  set("colorBackgroundBanner", "dominant");
  relayout();
  EXPECT_EQ(rt::send(background(), sel::backgroundColor), nullptr);
  EXPECT_EQ(rgba(rt::send(key(content.get(), "_primaryLabel"), sel::textColor).get()),
            (std::array<CGFloat, 4>{0, 0, 0, 1}));
}

TEST_F(RestyleTest, ASecondaryColourPaintsBodySummaryAndSubtitleAlike) {
  boot();
  set("colorSecondaryLabelBanner", "#FF0000");
  banner();
  for (const char* name : {"_secondaryLabel", "_summaryLabel", "_primarySubtitleLabel"})
    EXPECT_EQ(rgba(rt::send(key(content.get(), name), sel::textColor).get()),
              (std::array<CGFloat, 4>{1, 0, 0, 1}))
        << name;
  set("colorSecondaryLabelBanner", "none");
  relayout();
  for (const char* name : {"_secondaryLabel", "_summaryLabel", "_primarySubtitleLabel"})
    EXPECT_EQ(rt::send(key(content.get(), name), sel::textColor), nullptr) << name;
}

TEST_F(RestyleTest, TheDateColourComesAtATenthOfASecondAndNotBefore) {
  boot();
  set("colorHeaderDateBanner", "#00FF00");
  banner();
  Ref<> date = key(header.get(), "_dateLabel");
  EXPECT_EQ(rgba(rt::send(date, sel::textColor).get()), (std::array<CGFloat, 4>{0, 0, 0, 1}));
  host::main_queue::advance(50'000'000);
  EXPECT_EQ(rgba(rt::send(date, sel::textColor).get()), (std::array<CGFloat, 4>{0, 0, 0, 1}));
  host::main_queue::advance(60'000'000);
  EXPECT_EQ(rgba(rt::send(date, sel::textColor).get()), (std::array<CGFloat, 4>{0, 1, 0, 1}));
  // "dominant" with no header or background colour: D itself. A controller gone by then
  // is never touched.
  set("colorHeaderDateBanner", "dominant");
  relayout();
  Ref<> dominant = rt::send(controller, sel::getDominantColor);
  host::main_queue::advance(200'000'000);
  EXPECT_EQ(rt::send(date, sel::textColor), dominant);
  // It contrasts with the background colour, and rather with a header colour.
  set("colorBackgroundBanner", "#000000");
  relayout();
  host::main_queue::advance(200'000'000);
  EXPECT_EQ(rgba(rt::send(date, sel::textColor).get()), (std::array<CGFloat, 4>{1, 1, 1, 1}));
  set("styleBanner", "classic");
  set("colorHeaderBanner", "#FFFFFF");
  relayout();
  host::main_queue::advance(200'000'000);
  EXPECT_EQ(rgba(rt::send(date, sel::textColor).get()), (std::array<CGFloat, 4>{0, 0, 0, 1}));
}

TEST_F(RestyleTest, BordersGoOnTheBackgroundLayerOrAlongOneEdge) {
  boot();
  set("borderColorBanner", "#0000FF");
  set("borderWidthBanner", int64_t{3});
  banner();
  Ref<> strip = rt::send(card, sel::lumoraBorder);
  Ref<> layer = rt::send(background(), sel::layer);
  EXPECT_EQ(rt::send(layer, sel::borderWidth), 3);  // "all"
  EXPECT_TRUE(rt::send(strip, sel::isHidden));
  set("borderPositionBanner", "right");
  relayout();
  EXPECT_EQ(rt::send(layer, sel::borderWidth), 0);
  EXPECT_FALSE(rt::send(strip, sel::isHidden));
  const rt::CGFloat h = rt::send(card, sel::frame).size.height;
  EXPECT_EQ(rt::send(strip, sel::frame), CGRectMake(356, 0, 3, h));
  set("borderPositionBanner", "bottom");
  relayout();
  EXPECT_EQ(rt::send(strip, sel::frame), CGRectMake(0, h - 3, 359, 3));
  set("borderColorBanner", "none");
  relayout();
  EXPECT_TRUE(rt::send(strip, sel::isHidden));
  EXPECT_EQ(rt::send(layer, sel::borderWidth), 0);
}
