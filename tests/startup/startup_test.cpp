// Loading the system: the routines' gates and globals, the hook table's order and
// outcomes, the added properties and classes, the unique observer and the reset.
#include <gtest/gtest.h>

#include "support/files.h"

#include <filesystem>
#include <fstream>

#include "host/foundation/darwin_notify.h"
#include "host/foundation/main_queue.h"
#include "host/foundation/notification_center.h"
#include "host/foundation/user_defaults.h"
#include "host/host.h"
#include "host/springboard/app_registry.h"
#include "host/springboard/bulletins.h"
#include "host/springboard/media_player.h"
#include "host/springboard/widgets.h"
#include "notifications/test_requests.h"
#include "startup/added_classes.h"
#include "startup/loader.h"

using namespace lumora;
using rt::id;
using rt::Ref;
using rt::SEL;

namespace {

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override { root = testing_support::makeTempRoot("lumora-startup"); }
  void TearDown() override {
    resetProcess();
    std::filesystem::remove_all(root);
  }
  // Boots the host with the given stored settings and absent classes, then loads.
  void load(std::vector<std::pair<const char*, bool>> stored = {},
            std::set<std::string> absent = {}) {
    host::boot({root, std::move(absent)});
    if (!stored.empty()) {
      Ref<> store = rt::send(rt::send(rt::objc_getClass("NSUserDefaults"), sel::alloc),
                             sel::initWithSuiteName, host::NSStr("com.tarnwick.lumora"));
      for (auto& [key, value] : stored)
        rt::send(store, sel::setObject_forKey, rt::send(cls::NSNumber, sel::numberWithBool, value),
                 host::NSStr(key));
    }
    loadSystem();
  }
  Ref<> make(const char* cls) { return rt::send(rt::objc_getClass(cls), sel::new_); }
  size_t installedCount(Routine routine) {
    size_t n = 0;
    for (auto& o : installationReport()) n += o.row->routine == routine && o.installed;
    return n;
  }
  std::filesystem::path root;
};

}  // namespace

TEST_F(StartupTest, DefaultsInstallEveryRowAndBindTheGlobals) {
  load();
  const auto& report = installationReport();
  ASSERT_EQ(report.size(), hookTable().size());
  for (auto& o : report) EXPECT_TRUE(o.installed) << o.row->className() << " " << o.row->selector;
  EXPECT_EQ(installedCount(Routine::Widget), 12u);  // 5 rows, 7 accessors
  EXPECT_EQ(installedCount(Routine::Notification), 25u);
  EXPECT_EQ(installedCount(Routine::Media), 4u);
  EXPECT_NE(preferences, nullptr);
  EXPECT_NE(colorCache, nullptr);
  EXPECT_FALSE(colorFlowInstalled);
  EXPECT_EQ(host::darwin_notify::observedNames(),
            (std::vector<std::string>{kTestRegularName, kTestLockscreenName}));
  // Added methods carry their encodings.
  auto* m = rt::class_getOwnMethod(rt::objc_getClass("NCNotificationShortLookViewController"),
                                   rt::sel_registerName("getIconForBundleId:withMask:"));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->types, "@@:@B");
}

TEST_F(StartupTest, EnabledOffInstallsNothingButStillBindsPreferences) {
  load({{"enabled", false}});
  for (auto& o : installationReport()) {
    EXPECT_FALSE(o.installed);
    EXPECT_STREQ(o.reason, "gate closed");
  }
  EXPECT_NE(preferences, nullptr);
  EXPECT_EQ(colorCache, nullptr);
  EXPECT_TRUE(host::darwin_notify::observedNames().empty());
  // A test request finds an app it could post for, and posts nothing.
  host::installApp({"com.example.mail", "Mail", "User", {}, false, false, false, nullptr});
  auto c = host::CFNotificationCenterGetDarwinNotifyCenter();
  host::CFNotificationCenterPostNotification(c, host::NSStr(kTestRegularName).get(), nullptr,
                                             nullptr, true);
  host::main_queue::drain();
  EXPECT_TRUE(host::bulletins().empty());
  EXPECT_FALSE(isTesting);
  // The host's own behaviour is untouched.
  EXPECT_EQ(
      rt::class_getOwnMethod(rt::objc_getClass("CSMediaControlsView"), sel::didMoveToWindow.get()),
      nullptr);
}

TEST_F(StartupTest, WidgetsOffSkipsOnlyWidgetRowsAndKeepsTheCache) {
  load({{"enableWidgets", false}});
  EXPECT_EQ(installedCount(Routine::Widget), 0u);
  EXPECT_EQ(installedCount(Routine::Notification) + installedCount(Routine::Media), 29u);
  EXPECT_NE(colorCache, nullptr);  // set by the notification routine
  EXPECT_FALSE(rt::class_respondsToSelector(rt::objc_getClass("WGWidgetPlatterView"),
                                            rt::sel_registerName("lumoraBorder")));
}

TEST_F(StartupTest, AbsentClassSkipsItsRowsAndTheRestInstall) {
  load({}, {"PLPlatterHeaderContentView"});
  for (auto& o : installationReport()) {
    if (std::string(o.row->className()) == "PLPlatterHeaderContentView") {
      EXPECT_FALSE(o.installed);
      EXPECT_STREQ(o.reason, "class absent");
    } else {
      EXPECT_TRUE(o.installed) << o.row->className();
    }
  }
}

TEST_F(StartupTest, ColorFlowIsDetectedUnderTheDeviceRoot) {
  std::filesystem::create_directories(root / "Library/MobileSubstrate/DynamicLibraries");
  std::ofstream(root / "Library/MobileSubstrate/DynamicLibraries/ColorFlow5.dylib") << "";
  load();
  EXPECT_TRUE(colorFlowInstalled);
}

TEST_F(StartupTest, AddedPropertiesRetainUntilSetToNilAndAreSeparatePerClass) {
  load();
  const rt::Sel<Ref<>()> border{"lumoraBorder"};
  const rt::Sel<void(id)> setBorder{"setLumoraBorder:"};
  Ref<> card = make("NCNotificationShortLookView");
  Ref<> platter = make("WGWidgetPlatterView");
  EXPECT_EQ(rt::send(card, border), nullptr);
  rt::WeakRef<> watch;
  {
    Ref<> view = make("LumoraBackgroundView");
    ASSERT_NE(view, nullptr);
    watch = view;
    rt::send(card, setBorder, view);
  }
  EXPECT_EQ(rt::send(card, border), watch.lock());
  EXPECT_EQ(rt::send(platter, border), nullptr);
  rt::send(card, setBorder, nullptr);
  EXPECT_TRUE(watch.expired());
  EXPECT_TRUE(
      rt::send(make("LumoraIndicatorView"), sel::isKindOfClass, rt::objc_getClass("UIView")));
}

TEST_F(StartupTest, UniqueObserverRegistersOnceAndWidgetsRestyleOnTheirNotification) {
  load();
  static int colorizes = 0;
  colorizes = 0;
  // Count the widget pass by replacing it, as a later hook would.
  static rt::ImpFor<void> original = nullptr;
  rt::MSHookMessageEx(
      rt::objc_getClass("WGWidgetListItemViewController"), rt::Sel<void()>{"lumoraColorize"},
      +[](id, SEL) { ++colorizes; }, &original);
  Ref<> controller = rt::send(rt::objc_getClass("WGWidgetListItemViewController"), sel::alloc);
  rt::send(controller, sel::initWithWidgetIdentifier, host::NSStr("com.example.weather"));
  Ref<> center = rt::send(rt::objc_getClass("NSNotificationCenter"), sel::defaultCenter);
  rt::send(center, sel::addUniqueObserver_selector_name_object, controller,
           rt::sel_registerName("lumoraColorize"),
           host::NSStr("com.tarnwick.lumora/com.example.weather"), nullptr);
  EXPECT_EQ(
      static_cast<host::NSNotificationCenter*>(center.get())->registrationCount(controller.get()),
      1u);
  // The icon setter posts the widget's notification, which reaches the pass once.
  Ref<> info = make("WGWidgetInfo");
  static_cast<host::WGWidgetInfo*>(info.get())
      ->setWidgetIdentifier(host::NSStr("com.example.weather").get());
  rt::send(info, sel::_setIcon, nullptr);
  EXPECT_EQ(colorizes, 1);
  rt::send(controller, sel::viewWillAppear, true);
  EXPECT_EQ(colorizes, 2);
}

TEST_F(StartupTest, DemonstrationIsScheduledOnlyWhenAskedFor) {
  host::boot({root, {}});
  loadSystem();
  EXPECT_EQ(host::main_queue::pendingCount(), 0u);
  resetProcess();
  host::boot({root, {}});
  showCustomMessages = true;
  loadSystem();
  host::main_queue::advance(4 * host::NSEC_PER_SEC - 1);
  EXPECT_TRUE(host::bulletins().empty());
  host::main_queue::advance(1);
  EXPECT_EQ(host::bulletins().size(), 4u);
}

TEST_F(StartupTest, ResetReturnsToAFreshlyLoadedProcess) {
  load();
  resetProcess();
  EXPECT_EQ(preferences, nullptr);
  EXPECT_EQ(colorCache, nullptr);
  EXPECT_TRUE(installationReport().empty());
  EXPECT_EQ(rt::objc_getClass("LumoraBackgroundView"), nullptr);
  load({{"enabled", false}});  // a second load sees its own settings, not the first's hooks
  EXPECT_FALSE(
      rt::class_respondsToSelector(rt::objc_getClass("NCNotificationShortLookViewController"),
                                   rt::sel_registerName("getDominantColor")));
}
