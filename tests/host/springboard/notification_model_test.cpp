// The notification host model: a banner built from a request, the host's icons and
// traits, the lockscreen's list below the player. (The containment the system's lookups walk, and
// the host's sizes, are what the system's tests start from, and the reference images show.)
#include <gtest/gtest.h>

#include "host/foundation/main_queue.h"
#include "host/host.h"
#include "host/quartz/cgimage.h"
#include "host/springboard/app_registry.h"
#include "host/springboard/media_player.h"
#include "host/springboard/notification_list.h"
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

// Its sizes and parts are what the system's layout tests start from; here, the growth.
TEST_F(NotificationModelTest, ALongerMessageGrowsTheBannerAtTheNextLayout) {
  boot();
  Ref<> controller = presentBanner(request("com.example.mail", "Maple", "Lunch at noon?").get());
  layout();
  Ref<> container = rt::send(controller, sel::view);
  Ref<> card = rt::send(controller, sel::viewForPreview);
  // The header row (41) and the content: title 18, message 18, 10.5 below.
  EXPECT_EQ(rt::send(container, sel::frame), CGRectMake(8, 44, 359, 87.5));
  EXPECT_EQ(rt::send(card, sel::frame), CGRectMake(0, 0, 359, 87.5));
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
  // The icon where the system's classic indicator expects it, centred 20.5 points from
  // the corner; the app's name and the date on its line; the content below the row.
  EXPECT_EQ(rt::send(button, sel::frame), CGRectMake(10.5, 10.5, 20, 20));
  for (const char* name : {"_titleLabel", "_dateLabel"}) {
    const CGRect frame = rt::send(key(header.get(), name), sel::frame);
    EXPECT_EQ(frame.origin.y + frame.size.height / 2, 20.5) << name;
  }
  EXPECT_EQ(rt::send(content, sel::frame).origin.y, 41);
  // A longer message grows the banner at the next layout.
  rt::send(key(content.get(), "_secondaryLabel"), sel::setText,
           NSStr("Are we still on for lunch tomorrow at the usual place? I can book a table."));
  layout();
  EXPECT_GT(rt::send(container, sel::frame).size.height, 87.5);
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
  // The collapsed stack: the first card in front, the second peeking 8 points below. The
  // front card holds the summary, 4 points under the message, and grows by it.
  EXPECT_EQ(rt::send(front, sel::frame), CGRectMake(0, 0, 359, 87.5 + 4 + 16));
  EXPECT_EQ(rt::send(cell, sel::frame), CGRectMake(8, 8, 343, 107.5));
  EXPECT_EQ(rt::send(group, sel::frame), CGRectMake(8, 0, 359, 115.5));
  auto summaryOf = [&](id controller) {
    return key(rt::send(controller, sel::viewForPreview).get(), "_notificationContentView");
  };
  Ref<> frontContent = summaryOf(first.get());
  Ref<> summary = key(frontContent.get(), "_summaryLabel");
  EXPECT_TRUE(isString(rt::send(summary, sel::text).get(), "1 more notification"));
  EXPECT_FALSE(rt::send(summary, sel::isHidden));
  EXPECT_EQ(
      rt::send(summary, sel::frame).origin.y,
      rt::CGRectGetMaxY(rt::send(key(frontContent.get(), "_secondaryLabel"), sel::frame)) + 4);
  EXPECT_TRUE(rt::send(key(summaryOf(second.get()).get(), "_summaryLabel"), sel::isHidden));
  // The single notification with options: card, 8 points, the 44-point row.
  Ref<> singleCell = rt::send(single, sel::associatedView);
  Ref<> singleGroup = rt::send(singleCell, sel::superview);
  EXPECT_FALSE(rt::send(singleGroup, sel::isGrouped));
  EXPECT_EQ(rt::send(singleGroup, sel::frame), CGRectMake(8, 123.5, 359, 139.5));
  EXPECT_TRUE(rt::send(key(summaryOf(single.get()).get(), "_summaryLabel"), sel::isHidden));
  Ref<> options = key(rt::send(single, sel::view).get(), "_auxiliaryOptionsView");
  ASSERT_TRUE(NCAuxiliaryOptionsView::cls.isKind(options.get()));
  EXPECT_EQ(rt::send(options, sel::frame), CGRectMake(0, 95.5, 359, 44));
  EXPECT_EQ(rt::send(key(options.get(), "_overlayView"), sel::frame), CGRectMake(0, 0, 359, 44));
  // A third card: two more; expanded, no card has a summary and the front one shrinks.
  showOnLockscreen(request("com.example.mail", "Four", "Fourth").get(), "mail", false);
  layout();
  EXPECT_TRUE(isString(rt::send(summary, sel::text).get(), "2 more notifications"));
  NCNotificationListView::cls.cast(group.get())->setGrouped(false);
  layout();
  EXPECT_TRUE(rt::send(summary, sel::isHidden));
  EXPECT_EQ(rt::send(front, sel::frame), CGRectMake(0, 0, 359, 87.5));
}

TEST_F(NotificationModelTest, RightToLeftMirrorsTheHeaderAndTheThumbnail) {
  Device device;
  device.layoutDirection = Device::LayoutDirection::RightToLeft;
  boot(device);
  EXPECT_EQ(rt::send(rt::send(cls::UIApplication, sel::sharedApplication),
                     sel::userInterfaceLayoutDirection),
            1);
  NotificationFields fields;
  fields.section = "com.example.mail";
  fields.title = "Maple";
  fields.thumbnail = picture(0xff00aa00, 90);
  Ref<> controller = presentBanner(NCNotificationRequest::make(fields).get());
  layout();
  Ref<> card = rt::send(controller, sel::viewForPreview);
  Ref<> header = key(card.get(), "_headerContentView");
  Ref<> button = rt::send(rt::send(header, sel::iconButtons), sel::firstObject);
  EXPECT_EQ(rt::send(button, sel::frame), CGRectMake(328.5, 10.5, 20, 20));
  Ref<> thumbnail = key(key(card.get(), "_notificationContentView").get(), "_thumbnailImageView");
  ASSERT_NE(thumbnail, nullptr);
  EXPECT_EQ(rt::send(thumbnail, sel::frame), CGRectMake(10, 0, 36, 36));
}

TEST_F(NotificationModelTest, TheMaskedIconIsClearAtItsCornerAndTheSquareFull) {
  boot();
  Ref<> model = rt::send(rt::send(cls::SBIconController, sel::sharedInstance), sel::model);
  Ref<> icon = rt::send(model, sel::expectedIconForDisplayIdentifier, NSStr("com.example.mail"));
  EXPECT_EQ(rt::send(model, sel::expectedIconForDisplayIdentifier, NSStr("com.example.none")),
            nullptr);
  const SBIconImageInfo info{{60, 60}, 3, 13};
  Ref<> masked = rt::send(icon, sel::generateIconImageWithInfo, info);
  Ref<> square = rt::send(icon, sel::unmaskedIconImageWithInfo, info);
  // The mask leaves the corner transparent and the middle opaque; the square is full.
  const CGImage* m = UIImage::cls.cast(masked.get())->pixels();
  const CGImage* s = UIImage::cls.cast(square.get())->pixels();
  EXPECT_EQ(m->row(0)[0] >> 24, 0u);
  EXPECT_EQ(m->row(90)[90] >> 24, 255u);
  EXPECT_EQ(s->row(0)[0] >> 24, 255u);
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

// The player's own showing is the restyle's test (one artwork request per showing).
TEST_F(NotificationModelTest, TheListSitsBelowThePlayerAndLockingRemovesBanners) {
  boot();
  Ref<> list = rt::send(lockscreenListController(), sel::view);
  presentBanner(NCNotificationRequest::make(NotificationFields{}).get());
  setNowPlaying(now_playing::Track{"One", "Artist", {1, 2, 3}});
  main_queue::drain();
  EXPECT_EQ(rt::send(list, sel::frame).origin.y, 200 + 200 + 8);
  setNowPlaying(std::nullopt);
  main_queue::drain();
  EXPECT_EQ(rt::send(list, sel::frame).origin.y, 200);
  lockDevice();
  EXPECT_EQ(rt::send(rt::send(bannerWindow(), sel::subviews), sel::count), 0u);
}

TEST_F(NotificationModelTest, RightToLeftMirrorsThePlayerButNotItsPlaybackControls) {
  Device device;
  device.layoutDirection = Device::LayoutDirection::RightToLeft;
  boot(device);
  setNowPlaying(now_playing::Track{"One", "Artist", {1, 2, 3}});
  main_queue::drain();
  // artwork, title, artist, progress track and fill, elapsed, remaining, previous, play,
  // next, volume.
  Ref<> subviews = rt::send(mediaControlsView(), sel::subviews);
  auto at = [&](uint64_t i) -> CGRect {
    return rt::send(rt::send(subviews, sel::objectAtIndex, i), sel::frame);
  };
  EXPECT_EQ(at(0), rt::CGRectMake(359 - 16 - 60, 16, 60, 60));
  // The scrubber fills from the left with the elapsed time on the left; the transport
  // buttons run previous, play, next from left to right.
  EXPECT_EQ(at(4).origin.x, 16);
  EXPECT_EQ(at(5).origin.x, 16);
  EXPECT_GT(at(6).origin.x, 359 / 2);
  EXPECT_LT(at(7).origin.x, at(8).origin.x);
  EXPECT_LT(at(8).origin.x, at(9).origin.x);
}
