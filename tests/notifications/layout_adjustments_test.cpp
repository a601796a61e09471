// Each layout replacement against the host's own result, under the settings that move it.
#include "notification_fixture.h"
#include "notifications/system_selectors.h"

using rt::CGFloat;
using rt::CGRect;
using rt::CGRectMake;
using rt::CGSize;
using rt::Ref;

namespace {

class AdjustmentTest : public testing_support::NotificationFixture {
 protected:
  // A banner of the mail app's kind with a thumbnail, of the section and title.
  void bannerWith(Ref<> thumbnail, const char* section = "com.example.mail",
                  const char* title = "Maple") {
    banner(request(section, title, "Lunch at noon?", thumbnail));
  }
  CGRect frameOf(const char* name) { return rt::send(key(content.get(), name), sel::frame); }
};

}  // namespace

TEST_F(AdjustmentTest, WithTheGateClosedEveryMeasureIsTheHosts) {
  boot();
  set("enableBanners", false);
  set("styleBanner", "classic");  // would move things with the gate open
  banner();
  EXPECT_EQ(rt::send(card, sel::sizeThatFitsContentWithSize, CGSize{359, 0}), (CGSize{359, 87.5}));
  EXPECT_EQ(rt::send(content, sel::frame), CGRectMake(0, 41, 359, 46.5));
  EXPECT_EQ(frameOf("_primaryLabel"), CGRectMake(10, 0, 339, 18));
  EXPECT_EQ(rt::send(header, sel::_iconTrailingPadding), 8);
}

TEST_F(AdjustmentTest, AColouredClassicHeaderAddsTenPointsAndLowersTheContent) {
  boot();
  set("styleBanner", "classic");  // "colorHeaderBanner" is "dominant" by default
  banner();
  EXPECT_EQ(rt::send(card, sel::sizeThatFitsContentWithSize, CGSize{359, 0}), (CGSize{359, 97.5}));
  EXPECT_EQ(rt::send(rt::send(controller, sel::view), sel::frame), CGRectMake(8, 44, 359, 97.5));
  EXPECT_EQ(rt::send(content, sel::frame), CGRectMake(0, 51, 359, 56.5));
  set("colorHeaderBanner", "none");
  layout();
  EXPECT_EQ(rt::send(card, sel::sizeThatFitsContentWithSize, CGSize{359, 0}), (CGSize{359, 87.5}));
  EXPECT_EQ(rt::send(card, sel::_mainContentFrame).origin.y, 41);
}

TEST_F(AdjustmentTest, ASystemSectionsThumbnailGivesBackItsWidthOnlyLeftToRight) {
  for (const bool rtl : {false, true}) {
    SCOPED_TRACE(rtl ? "right to left" : "left to right");
    rtl ? reboot(rightToLeft()) : boot();
    for (const char* section : {lumora::kDoNotDisturbSection, lumora::kSmartChargingSection}) {
      host::installApp({section, "System", "System", {}, false, false, false, nullptr});
      bannerWith(picture(0xff00aa00, 90), section);
      EXPECT_EQ(frameOf("_primaryLabel").size.width, rtl ? 295 - 53 : 295 - (53 - 36)) << section;
    }
  }
}

TEST_F(AdjustmentTest, HeaderPaddingTitleFallbackAndTheDateOnlyInModern) {
  boot();
  set("indicatorClassicBanner", "none");
  set("styleBanner", "classic");
  set("nameAsTitleBanner", true);
  bannerWith(nullptr, "com.example.mail", nullptr);
  EXPECT_EQ(rt::send(header, sel::_iconTrailingPadding), -18);
  EXPECT_TRUE(host::isString(rt::send(content, sel::primaryText).get(), "Mail"));
  EXPECT_EQ(rt::send(key(header.get(), "_dateLabel"), sel::frame).origin.y, 12.5);
  // A title of its own is kept; a do-not-disturb notification gets no name.
  rt::send(content, sel::setPrimaryText, host::NSStr("Maple"));
  EXPECT_TRUE(host::isString(rt::send(content, sel::primaryText).get(), "Maple"));
  host::installApp(
      {lumora::kDoNotDisturbSection, "Do Not Disturb", "System", {}, false, false, false, nullptr});
  bannerWith(nullptr, lumora::kDoNotDisturbSection, nullptr);
  EXPECT_EQ(rt::send(content, sel::primaryText), nullptr);
}

TEST_F(AdjustmentTest, TheOptionsRowNarrowsAndRoundsItsOverlay) {
  const struct {
    const char* corners;
    CGFloat radius;
  } rows[] = {{"round", 22}, {"custom", 22}, {"none", 0}, {"stock", 13}};
  for (const bool rtl : {false, true}) {  // narrowed in either direction
    SCOPED_TRACE(rtl ? "right to left" : "left to right");
    rtl ? reboot(rightToLeft()) : boot();
    set("customCornerRadiusLockscreen", int64_t{-5});  // a negative custom radius is round
    for (const auto& row : rows) {
      SCOPED_TRACE(row.corners);
      set("roundedCornersLockscreen", row.corners);
      Ref<> locked = host::showOnLockscreen(request().get(), "", true);
      layout();
      Ref<> options = key(rt::send(locked, sel::view).get(), "_auxiliaryOptionsView");
      EXPECT_EQ(rt::send(options, sel::frame).size, (CGSize{359 - 53, 44}));
      Ref<> overlay = key(options.get(), "_overlayView");
      EXPECT_EQ(rt::send(rt::send(overlay, sel::layer), sel::cornerRadius), row.radius);
      EXPECT_EQ(rt::send(overlay, sel::backgroundColor), nullptr);
    }
  }
  // A row without width is left alone, the host's layout included.
  Ref<> empty = rt::send(cls::NCAuxiliaryOptionsView, sel::new_);
  Ref<> emptyOverlay = key(empty.get(), "_overlayView");
  rt::send(emptyOverlay, sel::setFrame, CGRectMake(1, 2, 3, 4));
  rt::send(empty, sel::layoutSubviews);
  EXPECT_NE(rt::send(emptyOverlay, sel::backgroundColor), nullptr);
  EXPECT_EQ(rt::send(emptyOverlay, sel::frame), CGRectMake(1, 2, 3, 4));
}

TEST_F(AdjustmentTest, TheListsForcedAppearanceIgnoresTheLockscreenSwitch) {
  boot();
  set("enableLockscreen", false);
  set("forceModeLockscreen", "dark");
  host::showOnLockscreen(request().get(), "", false);
  Ref<> list = host::lockscreenListController();
  layout();
  EXPECT_EQ(rt::send(list, sel::overrideUserInterfaceStyle), 2);
  set("forceModeLockscreen", "light");
  rt::send(rt::send(list, sel::view), sel::setNeedsLayout);
  layout();
  EXPECT_EQ(rt::send(list, sel::overrideUserInterfaceStyle), 1);
  set("forceModeLockscreen", "default");  // leaves the last override in force
  rt::send(rt::send(list, sel::view), sel::setNeedsLayout);
  layout();
  EXPECT_EQ(rt::send(list, sel::overrideUserInterfaceStyle), 1);
}

TEST_F(AdjustmentTest, TheAddedBackgroundFollowsTheCardsFrame) {
  boot();
  banner();
  Ref<> background = rt::send(cls::UIView, sel::new_);
  rt::send(card, sel::setLumoraBackground, background);
  rt::send(card, sel::layoutSubviews);
  EXPECT_EQ(rt::send(background, sel::frame), rt::send(card, sel::frame));
}
