// Test notifications on the virtual clock: requests dropped while a test runs, the
// lockscreen sequence, which apps may be chosen, the demonstration switch, and the
// bulletins' way to the screen (one banner at a time, the lockscreen once locked).
#include "notifications/test_requests.h"

#include <set>

#include "host/foundation/darwin_notify.h"
#include "host/springboard/bulletins.h"
#include "host/springboard/presentation.h"
#include "notification_fixture.h"
#include "notifications/system_selectors.h"

using namespace host;
using lumora::kTestLockscreenName;
using lumora::kTestRegularName;

namespace {

AppRecord app(std::string identifier, std::string type = "User",
              std::vector<std::string> tags = {}) {
  AppRecord a;
  a.bundleIdentifier = identifier;
  a.name = identifier.substr(identifier.rfind('.') + 1);
  a.type = std::move(type);
  a.tags = std::move(tags);
  return a;
}

class TestRequestsTest : public testing_support::NotificationFixture {
 protected:
  void SetUp() override { boot(); }
  static void post(const char* name) {
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(),
                                         NSStr(name).get(), nullptr, nullptr, true);
  }
  static void advance(double seconds) {
    main_queue::advance(static_cast<uint64_t>(seconds * NSEC_PER_SEC));
  }
  static std::vector<std::string> messages() {
    std::vector<std::string> out;
    for (const Bulletin& b : bulletins()) out.push_back(b.message);
    return out;
  }
  static size_t bannersOnScreen() {
    UIView* window = UIView::cls.cast(bannerWindow().get());
    return window ? window->subviewList().size() : 0;
  }
};

TEST_F(TestRequestsTest, RequestsDuringATestAreDropped) {
  post(kTestRegularName);
  advance(0.5);
  post(kTestRegularName);
  advance(2);
  EXPECT_EQ(bulletins().size(), 1u);
  post(kTestRegularName);
  advance(0.1);
  ASSERT_EQ(bulletins().size(), 2u);  // (the dump's test holds a bulletin's fields)
  EXPECT_EQ(bulletins()[0].time, 0);
  EXPECT_EQ(bulletins()[1].time, 2.5);
}

TEST_F(TestRequestsTest, LockscreenTestLocksThenPostsSixOneSecondLater) {
  post(kTestLockscreenName);
  advance(0.01);
  EXPECT_TRUE(device().locked);
  EXPECT_TRUE(bulletins().empty());
  advance(1.49);
  post(kTestRegularName);  // 1.5 s in: still testing, dropped
  advance(0.49);
  EXPECT_TRUE(lumora::isTesting);
  advance(0.01);
  EXPECT_FALSE(lumora::isTesting);
  const std::string test = "This is a test notification for Mail";
  EXPECT_EQ(messages(), (std::vector<std::string>{test, test, test, test,
                                                  "This is a second notification for Mail", test}));
  for (const Bulletin& b : bulletins()) {
    EXPECT_EQ(b.time, 1);
    EXPECT_EQ(b.presentation, Bulletin::Presentation::Lockscreen);
    EXPECT_TRUE(isOnScreen(b));
  }
}

TEST_F(TestRequestsTest, HiddenAndPlaceholderSystemAppsAreNeverChosen) {
  // Hidden, placeholder, launch-prohibited, removed and internal system apps never; a
  // user app whatever it says of itself.
  installApp(app("com.apple.hidden", "System", {"hidden"}));
  for (int flag = 0; flag < 3; ++flag) {
    AppRecord system = app("com.apple.flag" + std::to_string(flag), "System");
    (flag == 0   ? system.placeholder
     : flag == 1 ? system.launchProhibited
                 : system.removedSystemApp) = true;
    installApp(system);
  }
  installApp(app("com.apple.internal", "Internal"));
  installApp(app("com.apple.shown", "System"));
  AppRecord tagged = app("com.example.tagged", "User", {"hidden"});
  tagged.placeholder = tagged.launchProhibited = tagged.removedSystemApp = true;
  installApp(tagged);
  std::set<std::string> chosen;
  for (int i = 0; i < 40; ++i) {
    post(kTestRegularName);
    advance(1.1);
  }
  for (const Bulletin& b : bulletins()) chosen.insert(b.bundleIdentifier);
  EXPECT_EQ(bulletins().size(), 40u);
  EXPECT_EQ(chosen,
            (std::set<std::string>{"com.apple.shown", "com.example.mail", "com.example.tagged"}));
}

TEST_F(TestRequestsTest, WithoutAnEligibleAppNothingIsPostedAndTheTestStillEnds) {
  lumora::resetProcess();
  std::filesystem::remove_all(root);
  root = testing_support::makeTempRoot("lumora-notifications");
  host::boot({root, {}});
  installApp(app("com.apple.hidden", "System", {"hidden"}));
  lumora::loadSystem();
  post(kTestRegularName);
  advance(0.5);
  EXPECT_TRUE(lumora::isTesting);
  advance(0.5);
  EXPECT_FALSE(lumora::isTesting);
  EXPECT_TRUE(bulletins().empty());
}

TEST_F(TestRequestsTest, BannersComeOneAtATimeAndAreRestyled) {
  lumora::showDemoNotifications();
  ASSERT_EQ(bulletins().size(), 4u);
  EXPECT_EQ(bulletins()[1].title, "");
  EXPECT_EQ(bulletins()[3].bundleIdentifier, "com.apple.MobileSMS");
  layout();
  EXPECT_EQ(bannersOnScreen(), 1u);
  EXPECT_TRUE(isOnScreen(bulletins()[0]));
  Ref<> view = rt::send(bulletins()[0].controller, sel::viewForPreview);
  EXPECT_NE(rt::send(view, sel::lumoraBackground), nullptr);
  // Each banner stays five seconds.
  advance(4.9);
  EXPECT_TRUE(isOnScreen(bulletins()[0]));
  advance(0.2);
  EXPECT_EQ(bannersOnScreen(), 1u);
  EXPECT_FALSE(isOnScreen(bulletins()[0]));
  EXPECT_TRUE(isOnScreen(bulletins()[1]));
  // Locking, whichever way it comes (here the host's own, as a scene's timeline locks),
  // takes the banner away; the two still waiting go to the lockscreen.
  lockDevice();
  EXPECT_EQ(bannersOnScreen(), 0u);
  EXPECT_EQ(bulletins()[2].presentation, Bulletin::Presentation::Lockscreen);
  EXPECT_TRUE(isOnScreen(bulletins()[3]));
  advance(10);
  EXPECT_EQ(bannersOnScreen(), 0u);
}

}  // namespace
