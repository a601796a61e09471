// Which context a view belongs to, and the settings tables that depend on it.
#include "notifications/context.h"

#include <cmath>

#include "notification_fixture.h"

using namespace lumora;
using rt::Ref;

namespace {
using ContextTest = testing_support::NotificationFixture;
}  // namespace

TEST_F(ContextTest, TheWalkFindsTheControllerFromTheViewItselfOrAnyAncestor) {
  boot();
  Ref<> banner = host::presentBanner(request().get());
  Ref<> locked = host::showOnLockscreen(request().get(), "", false);
  layout();
  Ref<> bannerCard = rt::send(banner, sel::viewForPreview);
  Ref<> lockedCard = rt::send(locked, sel::viewForPreview);
  Ref<> dateLabel = key(key(lockedCard.get(), "_headerContentView").get(), "_dateLabel");
  EXPECT_FALSE(isLockscreenNotification(bannerCard.get()));
  EXPECT_TRUE(isLockscreenNotification(lockedCard.get()));
  EXPECT_TRUE(isLockscreenNotification(dateLabel.get()));                    // an ancestor's
  EXPECT_TRUE(isLockscreenNotification(rt::send(locked, sel::view).get()));  // its own
  EXPECT_STREQ(contextSuffix(dateLabel.get()), "Lockscreen");
  EXPECT_TRUE(
      host::isString(contextKey("roundedCorners", bannerCard.get()).get(), "roundedCornersBanner"));
  // The list cell is above the controller's view: it belongs to no notification.
  EXPECT_FALSE(isLockscreenNotification(rt::send(locked, sel::associatedView).get()));
  // A view with no superview is examined alone; nil is a banner.
  Ref<> loose = rt::send(cls::UIView, sel::new_);
  EXPECT_FALSE(isLockscreenNotification(loose.get()));
  EXPECT_FALSE(isLockscreenNotification(nullptr));
  // A controller's own view with no superview: its association decides.
  Ref<> alone = rt::send(rt::send(cls::NCNotificationShortLookViewController, sel::alloc),
                         sel::initWithNotificationRequest, request());
  Ref<> aloneView = rt::send(alone, sel::view);
  EXPECT_FALSE(isLockscreenNotification(aloneView.get()));
  rt::send(alone, sel::setAssociatedView, loose);
  EXPECT_TRUE(isLockscreenNotification(aloneView.get()));
}

TEST_F(ContextTest, EachContextHasItsGateAndItsOwnSettings) {
  boot();
  Ref<> banner = rt::send(host::presentBanner(request().get()), sel::viewForPreview);
  Ref<> locked = rt::send(host::showOnLockscreen(request().get(), "", false), sel::viewForPreview);
  set("enableBanners", false);
  EXPECT_FALSE(isContextEnabled(banner.get()));
  EXPECT_TRUE(isContextEnabled(locked.get()));
  set("roundedCornersLockscreen", "custom");
  set("customCornerRadiusLockscreen", int64_t{20});
  EXPECT_EQ(cornerRadiusForView(locked.get()), 20);
  EXPECT_EQ(cornerRadiusForView(banner.get()), 13);  // "stock"
  set("roundedCornersBanner", "round");
  EXPECT_EQ(cornerRadiusForView(banner.get()), -1);
  set("roundedCornersBanner", "none");
  EXPECT_EQ(cornerRadiusForView(banner.get()), 0);
  set("roundedCornersBanner", int64_t{1});  // not a string: the fixed radius
  EXPECT_EQ(cornerRadiusForView(banner.get()), 13);
  // "none" reads as nil; anything else unchanged.
  EXPECT_EQ(contextSettingValue("colorBackground", banner.get()), nullptr);
  set("colorBackgroundBanner", "dominant");
  EXPECT_TRUE(
      host::isString(contextSettingValue("colorBackground", banner.get()).get(), "dominant"));
}

TEST_F(ContextTest, TheModernIndicatorWidthTableUsesIntegerHalving) {
  boot();
  Ref<> card = rt::send(host::presentBanner(request().get()), sel::viewForPreview);
  EXPECT_EQ(modernIndicatorWidth(card.get()), 53);  // the defaults: modern, icon, 32
  const struct {
    const char* shape;
    int64_t size;
    float width;
  } rows[] = {{"icon", 0, 21},
              {"dot", 33, 37},
              {"triangle", 33, 37},
              {"dot", -5, 19},
              {"line", 100, 25},
              {"bogus", 32, 5},
              {"icon", INT64_MAX, static_cast<float>(INT64_MAX)}};
  for (const auto& row : rows) {
    set("indicatorModernBanner", row.shape);
    set("indicatorModernSizeBanner", row.size);
    EXPECT_EQ(modernIndicatorWidth(card.get()), row.width) << row.shape << " " << row.size;
  }
  set("styleBanner", "classic");
  EXPECT_EQ(modernIndicatorWidth(card.get()), 0);
}

TEST_F(ContextTest, AHostWithoutTheControllerClassMakesEveryViewABanner) {
  boot({}, {"NCNotificationViewController"});
  Ref<> view = rt::send(cls::UIView, sel::new_);
  EXPECT_FALSE(isLockscreenNotification(view.get()));
  EXPECT_EQ(host::presentBanner(request().get()), nullptr);
}
