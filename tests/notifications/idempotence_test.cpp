// The restyle pass is idempotent: for each example scene, under 1,000 random settings
// (every value the keys accept, junk and values of the wrong kind), a second layout
// gives the same dump as the first, also on a host whose cards lack some of their views.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>
#include <set>

#include "host/foundation/main_queue.h"
#include "host/foundation/values.h"
#include "host/host.h"
#include "host/scene/dump.h"
#include "host/scene/scene_file.h"
#include "host/uikit/view.h"
#include "prefs/globals.h"
#include "prefs/lumora_prefs.h"
#include "startup/added_classes.h"
#include "startup/loader.h"
#include "support/files.h"
#include "support/settings.h"

namespace {

namespace fs = std::filesystem;
using rt::Ref;

void markAll(host::UIView& view) {
  view.setNeedsLayout();
  for (auto& child : view.subviewList()) markAll(*child);
}

// Where two dumps part, with some text around it: what a failure needs to say.
std::string firstDifference(const std::string& a, const std::string& b) {
  size_t at = 0;
  while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
  const size_t from = at > 300 ? at - 300 : 0;
  return "first: ..." + a.substr(from, 400) + "\nsecond: ..." + b.substr(from, 400);
}

std::vector<std::string> propertyGetters() {
  std::vector<std::string> getters;
  for (const auto& property : lumora::addedProperties()) getters.push_back(property.getter);
  return getters;
}

// One scene's device, booted and laid out, with what a layout of everything needs.
struct SceneDevice {
  std::vector<host::scene::Surface> surfaces;
  std::vector<Ref<>> windows;

  // Marks every view and runs the clock a fifth of a second, so the blocks a pass
  // schedules a tenth of a second later run too; answers the dump of the surfaces.
  std::string layOut() {
    for (auto& window : windows) markAll(*host::UIView::cls.cast(window.get()));
    host::main_queue::advance(200'000'000);
    return host::scene::dump(surfaces, {propertyGetters()})["surfaces"].dump();
  }
};

// Random settings in the registration layer, so no file is written.
void registerRandomSettings(std::mt19937& random) {
  rt::send(lumora::preferences, sel::registerDefaults, testing_support::randomSettings(random));
}

class IdempotenceTest : public ::testing::TestWithParam<const char*> {
 protected:
  void TearDown() override {
    lumora::resetProcess();
    fs::remove_all(root);
  }

  // Boots the host for the scene, without the subviews named, and builds its device.
  SceneDevice open(std::set<std::string> absentViews = {}) {
    const host::scene::Scene scene =
        host::scene::readSceneFile(std::string(LUMORA_SCENES) + "/" + GetParam());
    if (root.empty()) root = testing_support::makeTempRoot("lumora-idempotence");
    host::HostOptions options{root, {}, scene.device};
    options.absentViews = std::move(absentViews);
    host::boot(options);
    SceneDevice device;
    device.surfaces = host::scene::buildDevice(scene, {prefs::kSuiteName, &lumora::loadSystem});
    host::scene::runClock(std::nullopt);
    for (const auto& surface : device.surfaces) {
      Ref<> window = rt::send(rt::send(surface.controller, sel::view), sel::window);
      if (window &&
          std::find(device.windows.begin(), device.windows.end(), window) == device.windows.end())
        device.windows.push_back(window);
    }
    return device;
  }

  fs::path root;
};

}  // namespace

TEST_P(IdempotenceTest, ASecondLayoutChangesNothing) {
  SceneDevice device = open();
  std::mt19937 random(20261207);
  // 250 settings for each of the five example scenes: 1,250 in all.
  for (int round = 0; round < 250; ++round) {
    registerRandomSettings(random);
    const std::string first = device.layOut();
    const std::string second = device.layOut();
    ASSERT_TRUE(first == second) << GetParam() << ", round " << round << "\n"
                                 << firstDifference(first, second);
  }
}

// A host whose cards lack some of their views (another host version): the pass neither
// crashes nor stops early, so the views that are there are still styled.
TEST_P(IdempotenceTest, MissingHostViewsLeaveTheRestStyled) {
  const char* const kViews[] = {"_headerContentView",
                                "_backgroundMaterialView",
                                "_notificationContentView",
                                "_shadowView",
                                "_stackDimmingView",
                                "_titleLabel",
                                "_dateLabel",
                                "_primaryLabel",
                                "_primarySubtitleLabel",
                                "_secondaryLabel",
                                "_summaryLabel"};
  std::mt19937 random(20261208);
  for (int round = 0; round < 8; ++round) {
    std::set<std::string> absent;
    for (const char* name : kViews)
      if (random() % 3 == 0) absent.insert(name);
    SceneDevice device = open(absent);
    for (int settings = 0; settings < 20; ++settings) {
      registerRandomSettings(random);
      const std::string first = device.layOut();
      ASSERT_EQ(first, device.layOut()) << GetParam() << ", round " << round;
    }
    // The defaults, with a red background and a green border on all edges.
    Ref<> fixed = rt::send(cls::NSMutableDictionary, sel::new_);
    for (const auto& entry : prefs::registeredDefaults())
      rt::send(fixed, sel::setObject_forKey, testing_support::defaultObject(entry),
               host::NSStr(entry.key));
    for (const std::string c : {"Banner", "Lockscreen"})
      for (const auto& [key, value] : {std::pair{"colorBackground", "#FF0000"},
                                       {"borderColor", "#00FF00"},
                                       {"borderPosition", "all"}})
        rt::send(fixed, sel::setObject_forKey, host::NSStr(value), host::NSStr(key + c));
    rt::send(lumora::preferences, sel::registerDefaults, fixed);
    const nlohmann::json dump = nlohmann::json::parse(device.layOut());
    int styled = 0;
    std::function<void(const nlohmann::json&)> visit = [&](const nlohmann::json& view) {
      const auto& names = view["names"];
      if (std::find(names.begin(), names.end(), "lumoraBackground") != names.end()) {
        EXPECT_EQ(view["backgroundColor"], nlohmann::json::parse("[1,0,0,1]"));
        EXPECT_EQ(view["layer"]["borderWidth"], 2);
        ++styled;
      }
      for (const auto& child : view["subviews"]) visit(child);
    };
    for (const auto& surface : dump)
      if (surface["kind"] != "widget")
        visit(surface["view"]);  // widgets have settings of their own
    EXPECT_GT(styled, 0) << GetParam() << ", round " << round;
    lumora::resetProcess();
  }
}

INSTANTIATE_TEST_SUITE_P(Scenes, IdempotenceTest,
                         ::testing::Values("builtin.json", "rtl-dark.json",
                                           "lockscreen-options.json", "whatsapp.json",
                                           "widgets.json"));
