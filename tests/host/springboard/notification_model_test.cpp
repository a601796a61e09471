// The notification host model: a banner and a lockscreen list built from requests, the
// containment the system's lookups walk, the host's sizes and icons.
#include <gtest/gtest.h>

#include "host/foundation/main_queue.h"
#include "host/host.h"
#include "host/quartz/cgimage.h"
#include "host/springboard/app_registry.h"
#include "host/springboard/notification_request.h"
#include "host/springboard/presentation.h"
#include "host/uikit/application.h"
#include "host/uikit/image.h"
#include "support/files.h"

using namespace host;
using rt::CGRectMake;

namespace {

// A square picture of one colour.
Ref<> picture(uint32_t argb, int side = 180) {
  std::vector<uint32_t> pixels(static_cast<size_t>(side) * side, argb);
  return UIImage::make(CGImage::fromPixels(side, side, pixels.data()), 3);
}

class NotificationModelTest : public ::testing::Test {
 protected:
  void boot(Device device = {}) {
    root = testing_support::makeTempRoot("lumora-notifications");
    host::boot({root, {}, device});
    installApp({"com.example.mail", "Mail", "User", {}, false, false, false, picture(0xff3366cc)});
  }
  void TearDown() override {
    reset();
    std::filesystem::remove_all(root);
  }
  Ref<> request(const char* section, const char* title, const char* message) {
    NotificationFields fields;
    fields.section = section;
    fields.title = title;
    fields.message = message;
    return NCNotificationRequest::make(fields);
  }
  static Ref<> key(id object, const char* name) {
    return rt::send(object, sel::valueForKey, NSStr(name));
  }
  static void layout() { main_queue::drain(); }
  std::filesystem::path root;
};

}  // namespace

TEST_F(NotificationModelTest, ABannerIsSizedByItsCardAndFilledFromItsRequest) {
  boot();
  Ref<> controller = presentBanner(request("com.example.mail", "Maple", "Lunch at noon?").get());
  layout();
  Ref<> container = rt::send(controller, sel::view);
  Ref<> card = rt::send(controller, sel::viewForPreview);
  EXPECT_EQ(rt::send(container, sel::frame), CGRectMake(8, 44, 359, 70));
  EXPECT_EQ(rt::send(card, sel::frame), CGRectMake(0, 0, 359, 70));
  EXPECT_EQ(rt::send(controller, sel::associatedView), nullptr);
  Ref<> header = key(card.get(), "_headerContentView");
  EXPECT_TRUE(isString(rt::send(key(header.get(), "_titleLabel"), sel::text).get(), "Mail"));
  Ref<> content = key(card.get(), "_notificationContentView");
  EXPECT_EQ(rt::send(card, sel::customContentView), content);
  EXPECT_TRUE(isString(rt::send(content, sel::primaryText).get(), "Maple"));
  EXPECT_EQ(key(content.get(), "_thumbnailImageView"), nullptr);
  // The header's icon button and the card's icons show the same masked app icon.
  Ref<> icons = rt::send(card, sel::icons);
  ASSERT_EQ(rt::send(icons, sel::count), 1u);
  Ref<> button =
      rt::send(rt::send(header, sel::iconButtons), sel::objectAtIndexedSubscript, uint64_t{0});
  EXPECT_EQ(rt::send(button, sel::imageForState, uint64_t{0}), rt::send(icons, sel::firstObject));
  EXPECT_EQ(rt::send(button, sel::frame), CGRectMake(10, 2, 20, 20));
  // A longer message grows the banner at the next layout.
  rt::send(key(content.get(), "_secondaryLabel"), sel::setText,
           NSStr("Are we still on for lunch tomorrow at the usual place? I can book a table."));
  layout();
  EXPECT_GT(rt::send(container, sel::frame).size.height, 70);
}

TEST_F(NotificationModelTest, TheLockscreenNestsStacksCellsAndControllersAsTheHostDoes) {
  boot();
  Ref<> first = showOnLockscreen(request("com.example.mail", "One", "First").get(), "mail", false);
  Ref<> second =
      showOnLockscreen(request("com.example.other", "Two", "Second").get(), "mail", false);
  Ref<> single = showOnLockscreen(request("com.example.mail", "Three", "Third").get(), "", true);
  layout();
  // The chain the system walks from a card's controller to its group's first request.
  Ref<> cell = rt::send(second, sel::associatedView);
  ASSERT_TRUE(NCNotificationListCell::cls.isKind(cell.get()));
  Ref<> group = rt::send(cell, sel::superview);
  EXPECT_TRUE(rt::send(group, sel::isGrouped));
  Ref<> front = rt::send(group, sel::_visibleViewAtIndex, uint64_t{0});
  Ref<> frontView = rt::send(rt::send(front, sel::_notificationCellView), sel::contentView);
  Ref<> owner = rt::send(frontView, sel::_viewControllerForAncestor);
  EXPECT_EQ(owner, first);
  EXPECT_TRUE(
      isString(rt::send(rt::send(owner, sel::notificationRequest), sel::sectionIdentifier).get(),
               "com.example.mail"));
  // The collapsed stack: the first card in front, the second peeking 8 points below.
  EXPECT_EQ(rt::send(front, sel::frame), CGRectMake(0, 0, 359, 70));
  EXPECT_EQ(rt::send(cell, sel::frame), CGRectMake(8, 8, 343, 70));
  EXPECT_EQ(rt::send(group, sel::frame), CGRectMake(8, 0, 359, 78));
  // The single notification with options: card, 8 points, the 44-point row.
  Ref<> singleCell = rt::send(single, sel::associatedView);
  Ref<> singleGroup = rt::send(singleCell, sel::superview);
  EXPECT_FALSE(rt::send(singleGroup, sel::isGrouped));
  EXPECT_EQ(rt::send(singleGroup, sel::frame), CGRectMake(8, 86, 359, 122));
  Ref<> options = key(rt::send(single, sel::view).get(), "_auxiliaryOptionsView");
  ASSERT_TRUE(NCAuxiliaryOptionsView::cls.isKind(options.get()));
  EXPECT_EQ(rt::send(options, sel::frame), CGRectMake(0, 78, 359, 44));
  EXPECT_EQ(rt::send(key(options.get(), "_overlayView"), sel::frame), CGRectMake(0, 0, 359, 44));
}

TEST_F(NotificationModelTest, IconsAreCachedMaskedOrSquareAndNamesResolve) {
  boot();
  Ref<> model = rt::send(rt::send(cls::SBIconController, sel::sharedInstance), sel::model);
  Ref<> icon = rt::send(model, sel::expectedIconForDisplayIdentifier, NSStr("com.example.mail"));
  EXPECT_EQ(rt::send(model, sel::expectedIconForDisplayIdentifier, NSStr("com.example.none")),
            nullptr);
  const SBIconImageInfo info{{60, 60}, 3, 13};
  Ref<> masked = rt::send(icon, sel::generateIconImageWithInfo, info);
  Ref<> square = rt::send(icon, sel::unmaskedIconImageWithInfo, info);
  EXPECT_EQ(rt::send(icon, sel::generateIconImageWithInfo, info), masked);  // the host's cache
  EXPECT_NE(masked, square);
  EXPECT_EQ(rt::send(masked, sel::size), (CGSize{60, 60}));
  EXPECT_EQ(rt::send(masked, sel::scale), 3);
  // The mask leaves the corner transparent and the middle opaque; the square is full.
  const CGImage* m = UIImage::cls.cast(masked.get())->pixels();
  const CGImage* s = UIImage::cls.cast(square.get())->pixels();
  EXPECT_EQ(m->row(0)[0] >> 24, 0u);
  EXPECT_EQ(m->row(90)[90] >> 24, 255u);
  EXPECT_EQ(s->row(0)[0] >> 24, 255u);

  Ref<> apps = rt::send(cls::SBApplicationController, sel::sharedInstance);
  EXPECT_TRUE(isString(
      rt::send(rt::send(apps, sel::applicationWithBundleIdentifier, NSStr("com.example.mail")),
               sel::displayName)
          .get(),
      "Mail"));
}

TEST_F(NotificationModelTest, TraitsComeFromTheNearestOverrideElseTheDevice) {
  Device device;
  device.interfaceStyle = Device::InterfaceStyle::Dark;
  boot(device);
  Ref<> controller = presentBanner(request("com.example.mail", "Maple", "Hi").get());
  Ref<> label =
      key(key(rt::send(controller, sel::viewForPreview).get(), "_headerContentView").get(),
          "_titleLabel");
  EXPECT_EQ(rt::send(rt::send(label, sel::traitCollection), sel::userInterfaceStyle), 2);
  rt::send(controller, sel::setOverrideUserInterfaceStyle, int64_t{1});
  EXPECT_EQ(rt::send(rt::send(label, sel::traitCollection), sel::userInterfaceStyle), 1);
  EXPECT_EQ(rt::send(rt::send(controller, sel::traitCollection), sel::userInterfaceStyle), 1);
}
