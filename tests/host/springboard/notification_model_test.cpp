// The notification host model: a banner built from a request, the host's icons and
// traits, the lockscreen's list below the player. (The containment the system's lookups walk, and
// the host's sizes, are what the system's tests start from, and the reference images show.)
#include <gtest/gtest.h>

#include "host/foundation/main_queue.h"
#include "host/host.h"
#include "host/quartz/cgimage.h"
#include "host/springboard/app_registry.h"
#include "host/springboard/media_player.h"
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
  EXPECT_EQ(rt::send(container, sel::frame), CGRectMake(8, 44, 359, 70));
  Ref<> content = key(rt::send(controller, sel::viewForPreview).get(), "_notificationContentView");
  rt::send(key(content.get(), "_secondaryLabel"), sel::setText,
           NSStr("Are we still on for lunch tomorrow at the usual place? I can book a table."));
  layout();
  EXPECT_GT(rt::send(container, sel::frame).size.height, 70);
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
