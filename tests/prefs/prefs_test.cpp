#include <gtest/gtest.h>
#include <plist/plist.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <thread>

#include "host/foundation/user_defaults.h"
#include "host/host.h"
#include "prefs/lumora_prefs.h"
#include "prefs/schema.h"
#include "support/files.h"

using namespace host;
using rt::Class;
using namespace testing_support;
namespace fs = std::filesystem;

namespace {

class PrefsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = makeTempRoot("lumora-prefs");
    file = root / "var/mobile/Library/Preferences/com.tarnwick.lumora.plist";
  }
  void TearDown() override {
    prefs::resetLumoraPrefs();
    host::reset();
    fs::remove_all(root);
  }

  // Boots the host and creates the store, as the first start-up routine does.
  Ref<> start(std::set<std::string> absent = {}) {
    boot({root, std::move(absent)});
    return rt::send(prefs::registerLumoraPrefs(), sel::sharedInstance);
  }
  // A later start of the host process.
  Ref<> restart() {
    prefs::resetLumoraPrefs();
    host::reset();
    return start();
  }

  static Ref<> value(const Ref<>& store, const char* key) {
    return rt::send(store, sel::objectForKey, NSStr(key));
  }
  static bool reads(const Ref<>& store, const char* key, const char* text) {
    return isString(value(store, key).get(), text);
  }

  fs::path root, file;
};

}  // namespace

TEST_F(PrefsTest, EmptySuiteReadsTheRegisteredDefaults) {
  Ref<> store = start();
  ASSERT_NE(store, nullptr);
  EXPECT_STREQ(rt::class_getName(store->isa()), "LumoraPrefs");

  const auto& defaults = prefs::registeredDefaults();
  std::set<std::string> keys;
  for (const auto& d : defaults) keys.insert(d.key);
  EXPECT_EQ(defaults.size(), 68u);
  EXPECT_EQ(keys.size(), 68u);

  EXPECT_TRUE(reads(store, "colorHeaderBanner", "dominant"));
  EXPECT_TRUE(isBooleanNumber(value(store, "nameAsTitleBanner").get()));
  EXPECT_TRUE(reads(store, "borderPositionMediaplayer", "all"));
  // Legacy keys have no default; nothing was written.
  EXPECT_EQ(value(store, "borderBanner"), nullptr);
  EXPECT_FALSE(fs::exists(file));
}

// The registered defaults come from the schema: a key registered without a row, a row
// never registered, a default differing from its row or refused by its own row fails.
TEST_F(PrefsTest, RegistrationAndSchemaAgreeRowForRow) {
  Ref<> store = start();
  auto& defaults = dynamic_cast<NSUserDefaults&>(*store);
  std::vector<std::string> rows;
  for (const prefs::Setting& s : prefs::schema()) {
    rows.push_back(s.key);
    EXPECT_EQ(prefs::check(s, s.defaultValue), "") << s.key;
    EXPECT_FALSE(s.label.empty() || s.description.empty()) << s.key;
    Ref<> registered = defaults.registeredValue(s.key);
    const bool same = std::visit(
        Overloaded{[&](bool b) {
                     return isBooleanNumber(registered.get()) &&
                            rt::send(registered, sel::boolValue) == b;
                   },
                   [&](int64_t i) { return rt::send(registered, sel::integerValue) == i; },
                   [&](const std::string& t) { return isString(registered.get(), t.c_str()); }},
        s.defaultValue);
    EXPECT_TRUE(same) << s.key;
  }
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(defaults.registeredKeys(), rows);
  EXPECT_EQ(rows.size(), 68u);
  EXPECT_EQ(std::set<std::string>(rows.begin(), rows.end()).size(), 68u);
  // Surfaces follow the keys' suffixes; the switches are general.
  EXPECT_EQ(prefs::findSetting("enableLockscreen")->surface, prefs::Surface::General);
  EXPECT_EQ(prefs::findSetting("forceModeLockscreen")->surface, prefs::Surface::Lockscreen);
  EXPECT_EQ(prefs::findSetting("customCornerRadiusMediaplayer")->surface,
            prefs::Surface::Mediaplayer);
}

TEST_F(PrefsTest, SharedObjectsAreMadeOnce) {
  Ref<> store = start();
  Class cls = rt::objc_getClass("LumoraPrefs");
  EXPECT_EQ(rt::send(cls, sel::sharedInstance), store);
  Ref<> cache = rt::send(cls, sel::colorCache);
  ASSERT_NE(cache, nullptr);
  EXPECT_EQ(rt::send(cls, sel::colorCache), cache);
  EXPECT_EQ(rt::send(cache, sel::count), 0u);
  EXPECT_STREQ(rt::class_getName(cache->isa()), "NSMutableDictionary");
}

TEST_F(PrefsTest, SimultaneousFirstCallsMakeOneInstance) {
  boot({root, {}});
  Class cls = prefs::registerLumoraPrefs();
  // Call the class methods' implementations directly, as a send does after its lookup.
  auto imp = [&](const rt::Sel<Ref<>()>& s) {
    return rt::method_getImplementation<Ref<>>(
        rt::class_getInstanceMethod(rt::object_getMetaclass(cls), s));
  };
  auto sharedInstance = imp(sel::sharedInstance);
  auto colorCache = imp(sel::colorCache);
  id classObject = rt::objc_classObject(cls);
  Ref<> stores[4], caches[4];
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i)
    threads.emplace_back([&, i] {
      caches[i] = colorCache(classObject, sel::colorCache);
      stores[i] = sharedInstance(classObject, sel::sharedInstance);
    });
  for (auto& t : threads) t.join();
  for (int i = 1; i < 4; ++i) {
    EXPECT_EQ(stores[i], stores[0]);
    EXPECT_EQ(caches[i], caches[0]);
  }
  EXPECT_NE(stores[0], nullptr);
}

TEST_F(PrefsTest, HostWithoutUserDefaultsHasNoStore) {
  boot({root, {"NSUserDefaults"}});
  EXPECT_EQ(prefs::registerLumoraPrefs(), nullptr);
  Ref<> store = rt::send(rt::objc_getClass("LumoraPrefs"), sel::sharedInstance);
  EXPECT_EQ(store, nullptr);
  EXPECT_FALSE(rt::send(store, sel::boolForKey, LUMORA_STR("enabled")));
}

class MigrationTest : public PrefsTest, public ::testing::WithParamInterface<Format> {};

TEST_P(MigrationTest, BooleanColoursBecomeKeywords) {
  const char* colourKeys[] = {"colorBackgroundBanner",       "colorHeaderBanner",
                              "colorPrimaryLabelBanner",     "colorSecondaryLabelBanner",
                              "colorHeaderLockscreen",       "colorBackgroundLockscreen",
                              "colorPrimaryLabelLockscreen", "colorSecondaryLabelLockscreen",
                              "colorHeaderWidget",           "colorBackgroundWidget",
                              "colorBackgroundMediaplayer"};
  plist_t dict = plist_new_dict();
  for (const char* key : colourKeys) plist_dict_set_item(dict, key, plist_new_bool(1));
  plist_dict_set_item(dict, "colorHeaderBanner", plist_new_bool(0));
  plist_dict_set_item(dict, "colorPrimaryLabelBanner", plist_new_uint(1));
  plist_dict_set_item(dict, "colorSecondaryLabelBanner", plist_new_string("#ff0000"));
  plist_dict_set_item(dict, "borderPositionBanner", plist_new_bool(1));  // not a colour key
  writePlist(file, dict, GetParam());

  Ref<> store = start();
  EXPECT_TRUE(reads(store, "colorBackgroundBanner", "dominant"));
  EXPECT_TRUE(reads(store, "colorBackgroundMediaplayer", "dominant"));
  EXPECT_TRUE(reads(store, "colorHeaderWidget", "dominant"));
  EXPECT_TRUE(reads(store, "colorHeaderBanner", "none"));
  Ref<> integer = value(store, "colorPrimaryLabelBanner");
  EXPECT_FALSE(isBooleanNumber(integer.get()));
  EXPECT_EQ(rt::send(integer, sel::integerValue), 1);
  EXPECT_TRUE(reads(store, "colorSecondaryLabelBanner", "#ff0000"));
  EXPECT_TRUE(isBooleanNumber(value(store, "borderPositionBanner").get()));
  // The migrated file keeps the format it was found in.
  EXPECT_EQ(readBytes(file).rfind("bplist", 0) == 0, GetParam() == Format::Binary);
}

TEST_P(MigrationTest, OnlyATrueHideBackgroundBecomesATransparentColour) {
  writePlist(file,
             plistDict({{"hideBackgroundWidget", plist_new_bool(1)},
                        {"colorBackgroundWidget", plist_new_string("#112233")},
                        {"hideBackgroundLockscreen", plist_new_uint(1)},
                        {"hideBackgroundBanner", plist_new_bool(0)}}),
             GetParam());

  Ref<> store = start();
  NSUserDefaults& cxx = dynamic_cast<NSUserDefaults&>(*store);
  EXPECT_TRUE(reads(store, "colorBackgroundWidget", "#000000:0.00"));
  EXPECT_FALSE(cxx.isStored("hideBackgroundWidget"));
  EXPECT_TRUE(cxx.isStored("hideBackgroundLockscreen"));
  EXPECT_TRUE(reads(store, "colorBackgroundLockscreen", "none"));  // still the default
  EXPECT_TRUE(isBooleanNumber(value(store, "hideBackgroundBanner").get()));
  EXPECT_TRUE(reads(store, "colorBackgroundBanner", "none"));
}

TEST_P(MigrationTest, BorderSidesBecomePositionsWithDominantColour) {
  writePlist(file,
             plistDict({{"borderLockscreen", plist_new_string("top")},
                        {"borderWidthLockscreen", plist_new_uint(5)},
                        {"borderWidget", plist_new_string("left")},
                        {"borderMediaplayer", plist_new_string("bottom")},
                        {"borderBanner", plist_new_string("none")},
                        {"borderColorBanner", plist_new_string("#abcdef")}}),
             GetParam());

  Ref<> store = start();
  NSUserDefaults& cxx = dynamic_cast<NSUserDefaults&>(*store);
  EXPECT_TRUE(reads(store, "borderPositionLockscreen", "top"));
  EXPECT_TRUE(reads(store, "borderColorLockscreen", "dominant"));
  EXPECT_FALSE(cxx.isStored("borderLockscreen"));
  EXPECT_EQ(rt::send(store, sel::integerForKey, LUMORA_STR("borderWidthLockscreen")), 5);
  EXPECT_TRUE(reads(store, "borderPositionWidget", "left"));
  EXPECT_TRUE(reads(store, "borderColorWidget", "dominant"));
  EXPECT_TRUE(reads(store, "borderPositionMediaplayer", "bottom"));
  EXPECT_TRUE(reads(store, "borderColorMediaplayer", "dominant"));
  EXPECT_EQ(rt::send(store, sel::integerForKey, LUMORA_STR("borderWidthMediaplayer")), 2);
  // "none" stays, and the keys it would have set keep their values.
  EXPECT_TRUE(reads(store, "borderBanner", "none"));
  EXPECT_TRUE(reads(store, "borderPositionBanner", "all"));
  EXPECT_TRUE(reads(store, "borderColorBanner", "#abcdef"));
  EXPECT_FALSE(cxx.isStored("borderPositionBanner"));
}

TEST_P(MigrationTest, SecondStartChangesNothing) {
  writePlist(file,
             plistDict({{"colorBackgroundBanner", plist_new_bool(1)},
                        {"hideBackgroundWidget", plist_new_bool(0)},
                        {"borderBanner", plist_new_string("none")},
                        {"borderWidget", plist_new_string("right")}}),
             GetParam());

  start();
  const std::string migrated = readBytes(file);
  const auto stamp = fs::last_write_time(file);
  Ref<> store = restart();
  rt::send(store, sel::mergeOldSettings);
  EXPECT_EQ(readBytes(file), migrated);
  EXPECT_EQ(fs::last_write_time(file), stamp);
  EXPECT_TRUE(reads(store, "colorBackgroundBanner", "dominant"));
  EXPECT_TRUE(reads(store, "borderPositionWidget", "right"));
}

INSTANTIATE_TEST_SUITE_P(Formats, MigrationTest, ::testing::Values(Format::Xml, Format::Binary),
                         [](const auto& info) {
                           return info.param == Format::Xml ? "Xml" : "Binary";
                         });
