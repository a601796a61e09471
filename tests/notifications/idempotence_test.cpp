// The restyle pass is idempotent: for each example scene, under 1,000 random settings
// (every value the keys accept, junk and values of the wrong kind), a second layout
// gives the same dump as the first.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <variant>

#include "host/foundation/main_queue.h"
#include "host/foundation/values.h"
#include "host/scene/dump.h"
#include "host/scene/scene_file.h"
#include "host/uikit/view.h"
#include "prefs/globals.h"
#include "prefs/lumora_prefs.h"
#include "startup/added_classes.h"
#include "startup/loader.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;
using rt::Ref;

// Every word a setting understands, and some it does not.
const std::vector<const char*> kWords = {
    "none",      "dominant",     "stock",  "round",       "custom", "modern", "classic", "icon",
    "dot",       "triangle",     "line",   "all",         "top",    "right",  "bottom",  "left",
    "ltr",       "center",       "rtl",    "no",          "dark",   "light",  "default", "#FF0000",
    "#00FF0080", "#000000:0.00", "#12345", "#FFFFFF:0.5", "junk",   "",       "0.00"};
const std::vector<int64_t> kNumbers = {0, 1, 2, 3, 13, 32, 33, -5, 40, 1000};

Ref<> randomValue(std::mt19937& random) {
  switch (random() % 4) {
    case 0:
      return rt::send(cls::NSNumber, sel::numberWithBool, random() % 2 == 0);
    case 1:
      return rt::send(cls::NSNumber, sel::numberWithInteger, kNumbers[random() % kNumbers.size()]);
    default:
      return host::NSStr(kWords[random() % kWords.size()]);
  }
}

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

class IdempotenceTest : public ::testing::TestWithParam<const char*> {
 protected:
  void TearDown() override {
    lumora::resetProcess();
    fs::remove_all(root);
  }
  fs::path root;
};

}  // namespace

TEST_P(IdempotenceTest, ASecondLayoutChangesNothing) {
  const host::scene::Scene scene =
      host::scene::readSceneFile(std::string(LUMORA_SCENES) + "/" + GetParam());
  root = testing_support::makeTempRoot("lumora-idempotence");
  host::boot({root, {}, scene.device});
  const auto surfaces = host::scene::buildDevice(scene, {prefs::kSuiteName, &lumora::loadSystem});
  host::scene::runClock(std::nullopt);
  std::vector<Ref<>> windows;
  for (const auto& surface : surfaces) {
    Ref<> window = rt::send(rt::send(surface.controller, sel::view), sel::window);
    if (window && std::find(windows.begin(), windows.end(), window) == windows.end())
      windows.push_back(window);
  }
  auto layOut = [&] {
    for (auto& window : windows) markAll(*host::UIView::cls.cast(window.get()));
    host::main_queue::advance(200'000'000);  // the blocks of a tenth of a second run too
    return host::scene::dump(surfaces, {propertyGetters()})["surfaces"].dump();
  };
  std::mt19937 random(20261207);
  // 250 settings for each of the five example scenes: 1,250 in all.
  for (int round = 0; round < 250; ++round) {
    // The registration layer holds the random settings, so no file is written.
    Ref<> settings = rt::send(cls::NSMutableDictionary, sel::new_);
    for (const auto& entry : prefs::registeredDefaults())
      rt::send(settings, sel::setObject_forKey, randomValue(random), host::NSStr(entry.key));
    rt::send(lumora::preferences, sel::registerDefaults, settings);
    const std::string first = layOut();
    const std::string second = layOut();
    ASSERT_TRUE(first == second) << GetParam() << ", round " << round << "\n"
                                 << firstDifference(first, second);
  }
}

INSTANTIATE_TEST_SUITE_P(Scenes, IdempotenceTest,
                         ::testing::Values("builtin.json", "rtl-dark.json",
                                           "lockscreen-options.json", "whatsapp.json",
                                           "widgets.json"));
