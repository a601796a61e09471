// Loading the system: the routines' gates and globals, the hook table's order and
// outcomes, the added properties and classes, the unique observer and the reset.
#include <gtest/gtest.h>

#include "support/files.h"

#include <filesystem>
#include <fstream>
#include <functional>

#include "host/foundation/darwin_notify.h"
#include "host/foundation/main_queue.h"
#include "host/foundation/user_defaults.h"
#include "host/host.h"
#include "host/springboard/app_registry.h"
#include "host/springboard/bulletins.h"
#include "host/springboard/media_player.h"
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
  std::filesystem::path root;
};

}  // namespace

// Each row is installed unless its routine's gate is closed or its class is absent; the
// globals and the test observers follow the system's own gate.
TEST_F(StartupTest, GatesAndAbsentClassesSkipExactlyTheirRows) {
  const struct {
    const char* name;
    std::vector<std::pair<const char*, bool>> stored;
    std::set<std::string> absent;
    std::function<const char*(const HookRow&)> reason;
  } cases[] = {
      {"defaults", {}, {}, [](const HookRow&) -> const char* { return nullptr; }},
      {"widgets off",
       {{"enableWidgets", false}},
       {},
       [](const HookRow& row) { return row.routine == Routine::Widget ? "gate closed" : nullptr; }},
      {"header absent",
       {},
       {"PLPlatterHeaderContentView"},
       [](const HookRow& row) {
         return std::string(row.className()) == "PLPlatterHeaderContentView" ? "class absent"
                                                                             : nullptr;
       }},
      {"enabled off", {{"enabled", false}}, {}, [](const HookRow&) { return "gate closed"; }}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    resetProcess();
    std::filesystem::remove_all(root / "var");  // the settings of the case before
    load(c.stored, c.absent);
    const bool on = c.stored.empty() || c.stored[0].first != std::string("enabled");
    ASSERT_EQ(installationReport().size(), hookTable().size());
    for (auto& o : installationReport()) {
      const char* reason = c.reason(*o.row);
      EXPECT_EQ(o.installed, reason == nullptr) << o.row->className() << " " << o.row->selector;
      EXPECT_STREQ(o.reason, reason) << o.row->className() << " " << o.row->selector;
    }
    EXPECT_NE(preferences, nullptr);
    EXPECT_EQ(colorCache != nullptr, on);  // set by the notification routine
    const std::vector<std::string> observed{kTestRegularName, kTestLockscreenName};
    EXPECT_EQ(host::darwin_notify::observedNames(), on ? observed : std::vector<std::string>{});
    EXPECT_FALSE(colorFlowInstalled);
    EXPECT_EQ(rt::class_respondsToSelector(rt::objc_getClass("WGWidgetPlatterView"),
                                           rt::sel_registerName("lumoraBorder")),
              c.reason(hookTable().front()) == nullptr);  // the first row is a widget's
  }
  // Switched off, the host's own behaviour is untouched, and a test request finds an app
  // it could post for and posts nothing.
  EXPECT_EQ(
      rt::class_getOwnMethod(rt::objc_getClass("CSMediaControlsView"), sel::didMoveToWindow.get()),
      nullptr);
  host::installApp({"com.example.mail", "Mail", "User", {}, false, false, false, nullptr});
  host::CFNotificationCenterPostNotification(host::CFNotificationCenterGetDarwinNotifyCenter(),
                                             host::NSStr(kTestRegularName).get(), nullptr, nullptr,
                                             true);
  host::main_queue::drain();
  EXPECT_TRUE(host::bulletins().empty());
  EXPECT_FALSE(isTesting);
}

TEST_F(StartupTest, ColorFlowIsDetectedUnderTheDeviceRoot) {
  std::filesystem::create_directories(root / "Library/MobileSubstrate/DynamicLibraries");
  std::ofstream(root / "Library/MobileSubstrate/DynamicLibraries/ColorFlow5.dylib") << "";
  load();
  EXPECT_TRUE(colorFlowInstalled);
}

// The associations behind them are the runtime's tests'; here, one slot per class.
TEST_F(StartupTest, AddedPropertiesRetainUntilSetToNilAndAreSeparatePerClass) {
  load();
  const rt::Sel<Ref<>()> border{"lumoraBorder"};
  const rt::Sel<void(id)> setBorder{"setLumoraBorder:"};
  Ref<> card = make("NCNotificationShortLookView"), view = make("LumoraBackgroundView");
  rt::send(card, setBorder, view);
  EXPECT_EQ(rt::send(card, border), view);
  EXPECT_EQ(rt::send(make("WGWidgetPlatterView"), border), nullptr);
  rt::WeakRef<> watch = view;
  view.reset();
  EXPECT_FALSE(watch.expired());  // retained
  rt::send(card, setBorder, nullptr);
  EXPECT_TRUE(watch.expired());
  EXPECT_TRUE(rt::send(make("LumoraIndicatorView"), sel::isKindOfClass, cls::UIView.get()));
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
