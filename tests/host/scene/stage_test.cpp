// Building a scene's device: settings in the suite's file before the system starts,
// apps, contacts and containers with their pictures, notifications in order, and the
// timeline on the virtual clock.
#include "host/scene/stage.h"

#include <gtest/gtest.h>

#include "host/foundation/darwin_notify.h"
#include "host/foundation/main_queue.h"
#include "host/foundation/property_list.h"
#include "host/quartz/image_codec.h"
#include "host/scene/pictures.h"
#include "host/springboard/app_registry.h"
#include "host/springboard/notification_list.h"
#include "host/springboard/notification_request.h"
#include "host/springboard/presentation.h"
#include "host/uikit/image.h"
#include "scene_fixture.h"

using namespace host;
using namespace host::scene;
namespace fs = std::filesystem;

namespace {

class StageTest : public testing_support::SceneFixture {
 protected:
  fs::path suiteFile() const {
    return root / "var/mobile/Library/Preferences/com.tarnwick.lumora.plist";
  }
  // The suite's file as another process would read it.
  Ref<> stored(const char* key) const {
    plist::Parsed parsed = plist::parse(testing_support::readBytes(suiteFile()));
    if (!parsed.root) return nullptr;
    return rt::send(plist::toObject(parsed.root.get()), sel::objectForKey, NSStr(key));
  }
  static const UIImage* image(id object) { return UIImage::cls.cast(object); }
  static uint32_t pixel(const UIImage* i, int x, int y) { return i->pixels()->row(y)[x]; }
};

TEST_F(StageTest, SettingsAreInTheSuitesFileBeforeTheSystemStarts) {
  bool started = false;
  build(R"({"preferences": {"enabled": false, "borderWidthBanner": 7, "styleBanner": "classic"}})",
        [&] {
          started = true;
          EXPECT_TRUE(isBooleanNumber(stored("enabled").get()));
          EXPECT_FALSE(rt::send(stored("enabled"), sel::boolValue));
          EXPECT_EQ(rt::send(stored("borderWidthBanner"), sel::integerValue), 7);
          EXPECT_TRUE(isString(stored("styleBanner").get(), "classic"));
          lumora::loadSystem();
        });
  EXPECT_TRUE(started);
  // The system reads them: its gate is closed.
  EXPECT_FALSE(rt::send(lumora::preferences, sel::boolForKey, NSStr("enabled")));
}

TEST_F(StageTest, AppsContactsAndContainersHoldTheirPictures) {
  testing_support::writeBytes(folder / "note.txt", "not a picture");
  fs::permissions(folder / "note.txt", fs::perms::owner_read | fs::perms::group_read);
  const uint32_t blue = 0xff0000ffu;
  const std::vector<uint8_t> png = encodePNG(*CGImage::fromPixels(1, 1, &blue));
  testing_support::writeBytes(folder / "blue.png", std::string(png.begin(), png.end()));
  build(R"({
    "apps": [{"bundleIdentifier": "com.a", "name": "A", "tags": ["t"], "icon": {"colour": "#FF0000"}},
             {"bundleIdentifier": "com.d", "icon": {"file": "blue.png"}},
             {"bundleIdentifier": "com.e", "icon": {"file": "blue.png"}}],
    "contacts": [{"identifier": "ada", "picture": {"gradient": ["#000000", "#0000FF"], "glyph": "A"}},
                 {"identifier": "bo", "picture": {"file": "note.txt"}}],
    "appGroups": [{"identifier": "group.g", "container": "C1",
                   "files": {"Media/Profile/x-1.thumb": {"colour": "#00FF00"},
                             "private": {"file": "note.txt"}}}]
  })");
  const AppRecord* a = findApp("com.a");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->name + a->tags.at(0), "At");
  const UIImage* icon = image(a->icon.get());
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->size(), (rt::CGSize{60, 60}));  // 180 pixels at the screen's scale
  EXPECT_EQ(pixel(icon, 90, 90), 0xffff0000u);
  // A file used twice is decoded once: both icons hold the same pixels.
  const UIImage* d = image(findApp("com.d")->icon.get());
  ASSERT_TRUE(d && d->pixels());
  EXPECT_EQ(pixel(d, 0, 0), blue);
  EXPECT_EQ(d->pixels(), image(findApp("com.e")->icon.get())->pixels());

  Ref<> store = rt::send(cls::CNContactStore, sel::new_);
  auto pictureOf = [&](const char* id) {
    Ref<> contact = rt::send(store, sel::unifiedContactWithIdentifier_keysToFetch_error, NSStr(id),
                             nullptr, static_cast<Ref<>*>(nullptr));
    return rt::send(contact, sel::imageData);
  };
  // The drawn picture as PNG (the reference images check the drawing).
  EXPECT_NE(rt::send(cls::UIImage, sel::imageWithData, pictureOf("ada")), nullptr);
  // The text file's bytes as they are, which decode to nothing; no picture at all.
  EXPECT_EQ(NSData::cls.cast(pictureOf("bo").get())->length(), 13u);
  EXPECT_EQ(rt::send(cls::UIImage, sel::imageWithData, pictureOf("bo")), nullptr);

  const fs::path groups = root / "var/mobile/Containers/Shared/AppGroup";
  EXPECT_TRUE(fs::exists(groups / "C1/.com.apple.mobile_container_manager.metadata.plist"));
  const std::string file = testing_support::readBytes(groups / "C1/Media/Profile/x-1.thumb");
  EXPECT_EQ(file.substr(1, 3), "PNG");
  // A copy of a file is no more readable than the file was: its owner's alone.
  EXPECT_EQ(testing_support::readBytes(groups / "C1/private"), "not a picture");
  EXPECT_EQ(fs::status(groups / "C1/private").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(StageTest, NotificationsArePresentedInTheScenesOrder) {
  Picture colour;
  colour.colours = {{1, 2, 3}};
  const std::vector<uint8_t> png = pictureBytes(colour);
  testing_support::writeBytes(folder / "p@2x.png", std::string(png.begin(), png.end()));
  const auto surfaces = build(R"({
    "apps": [{"bundleIdentifier": "com.a", "name": "A"}],
    "notifications": [
      {"id": "s1", "presentation": "lockscreen", "section": "com.a", "stack": "s", "title": "one",
       "options": true, "thumbnail": {"file": "p@2x.png"}},
      {"id": "b", "section": "com.a", "thread": "t", "title": "T", "subtitle": "S", "message": "M",
       "userInfo": {"n": 3, "r": 0.5, "list": ["x", false], "d": {"e": "f"}}},
      {"id": "s2", "presentation": "lockscreen", "section": "com.a", "stack": "s", "title": "two"},
      {"presentation": "lockscreen", "section": "com.a", "title": "alone"}]
  })");
  ASSERT_EQ(surfaces.size(), 5u);
  const Surface::Kind L = Surface::Kind::Lockscreen;
  std::vector<std::pair<Surface::Kind, std::optional<std::string>>> kinds;
  for (const Surface& s : surfaces) kinds.emplace_back(s.kind, s.id);
  EXPECT_EQ(kinds, (decltype(kinds){{L, "s1"},
                                    {Surface::Kind::Banner, "b"},
                                    {L, "s2"},
                                    {L, std::nullopt},
                                    {Surface::Kind::List, std::nullopt}}));
  EXPECT_EQ(surfaces[4].controller, lockscreenListController());

  Ref<> banner = rt::send(surfaces[1].controller, sel::notificationRequest);
  Ref<> content = rt::send(banner, sel::content);
  EXPECT_TRUE(isString(rt::send(banner, sel::threadIdentifier).get(), "t"));
  EXPECT_TRUE(isString(rt::send(content, sel::subtitle).get(), "S"));
  Ref<> info = rt::send(
      rt::send(rt::send(rt::send(banner, sel::userNotification), sel::request), sel::content),
      sel::userInfo);
  EXPECT_EQ(NSNumber::cls.cast(rt::send(info, sel::objectForKey, NSStr("n")).get())->kind(),
            NSNumber::Kind::Integer);

  // The two of stack "s" share a collapsed group; the options row is under the first.
  Ref<> cell = rt::send(surfaces[0].controller, sel::associatedView);
  Ref<> group = rt::send(cell, sel::superview);
  EXPECT_EQ(rt::send(rt::send(surfaces[2].controller, sel::associatedView), sel::superview), group);
  EXPECT_TRUE(rt::send(group, sel::isGrouped));
  Ref<> first = rt::send(surfaces[0].controller, sel::view);
  EXPECT_NE(rt::send(first, sel::valueForKey, NSStr("_auxiliaryOptionsView")), nullptr);
  EXPECT_EQ(rt::send(rt::send(surfaces[2].controller, sel::view), sel::valueForKey,
                     NSStr("_auxiliaryOptionsView")),
            nullptr);
  // The thumbnail at the scale its file's name says.
  Ref<> firstRequest = rt::send(surfaces[0].controller, sel::notificationRequest);
  EXPECT_EQ(image(NCNotificationRequest::cls.cast(firstRequest.get())->thumbnail().get())->scale(),
            2);
}

int darwinDeliveries = 0;
uint64_t darwinTime = 0;
void onDarwin(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef) {
  ++darwinDeliveries;
  darwinTime = main_queue::now();
}

TEST_F(StageTest, TheTimelinePlaysOnTheVirtualClock) {
  const char* scene = R"({
    "apps": [{"bundleIdentifier": "com.a", "name": "A"}],
    "notifications": [{"section": "com.a", "title": "T", "message": "M"}],
    "timeline": [{"at": 2, "layout": true}, {"at": 1, "set": {"styleBanner": "classic", "n": 3}},
                 {"at": 1.5, "delete": ["n"]}, {"at": 0.25, "darwin": "com.example/ping"}]
  })";
  const auto surfaces = build(scene);
  darwinDeliveries = 0;
  CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr, &onDarwin,
                                  NSStr("com.example/ping").get(), nullptr,
                                  CFNotificationSuspensionBehaviorDeliverImmediately);
  Ref<> card = rt::send(rt::send(surfaces[0].controller, sel::view), sel::valueForKey,
                        NSStr("_contentView"));
  Ref<> content = rt::send(card, sel::valueForKey, NSStr("_notificationContentView"));
  auto contentTop = [&] { return rt::send(content, sel::frame).origin.y; };

  EXPECT_EQ(runClock(0.9), 0.9);
  const double modern = contentTop();
  EXPECT_EQ(darwinDeliveries, 1);
  EXPECT_EQ(darwinTime, 250'000'000u);
  EXPECT_EQ(stored("styleBanner"), nullptr);
  // Written at one second as another process would; the views show it only when they
  // are laid out again, at two.
  runClock(1.2);
  EXPECT_TRUE(isString(stored("styleBanner").get(), "classic"));
  EXPECT_EQ(rt::send(stored("n"), sel::integerValue), 3);
  EXPECT_EQ(contentTop(), modern);
  runClock(1.9);
  EXPECT_EQ(stored("n"), nullptr);
  EXPECT_EQ(contentTop(), modern);
  runClock(2);
  EXPECT_NE(contentTop(), modern);
}

TEST_F(StageTest, WithoutATimeTheClockRunsUntilIdleButNoFurtherThanTenSeconds) {
  build(R"({"timeline": [{"at": 3, "layout": true}, {"at": 20, "layout": true}]})");
  EXPECT_EQ(runClock(std::nullopt), 10);
  EXPECT_EQ(main_queue::pendingCount(), 1u);  // the event at 20 s

  build(R"({"timeline": [{"at": 3, "layout": true}]})");
  EXPECT_EQ(runClock(std::nullopt), 3);
  EXPECT_EQ(main_queue::pendingCount(), 0u);

  build("{}");
  EXPECT_EQ(runClock(std::nullopt), 0);
}

}  // namespace

namespace {

// Whether any view in the tree is still marked for layout.
bool anyMarked(const UIView& view) {
  if (view.needsLayout()) return true;
  for (const auto& child : view.subviewList())
    if (anyMarked(*child)) return true;
  return false;
}

const UIView* topOf(id view) {
  const UIView* v = UIView::cls.cast(view);
  while (v && v->superviewPointer()) v = v->superviewPointer();
  return v;
}

}  // namespace

// A layout that keeps asking for itself (a replacement undoing what the host's layout
// did, and the other way round) burns the device's battery though nothing changes.
TEST_F(StageTest, EveryExampleSceneComesToRestAfterItsTimeline) {
  const fs::path scenes = LUMORA_SCENES;
  std::vector<std::pair<std::string, std::string>> texts;  // name, scene
  for (const auto& entry : fs::directory_iterator(scenes))
    if (entry.path().extension() == ".json")
      texts.emplace_back(entry.path().string(), testing_support::readBytes(entry.path()));
  // Options rows narrowed by the modern indicator, with a date colour on a timer.
  texts.emplace_back("options.json", R"({"device": {"locked": true},
      "preferences": {"colorHeaderDateLockscreen": "#FF0000"},
      "notifications": [{"presentation": "lockscreen", "title": "T", "options": true}]})");
  std::vector<Surface> last;
  for (const auto& [name, text] : texts) {
    SCOPED_TRACE(name);
    if (host::isBooted()) lumora::resetProcess();
    if (!root.empty()) std::filesystem::remove_all(root);
    scene = parseScene(text, name, scenes);
    root = testing_support::makeTempRoot("lumora-scene-device");
    host::boot({root, {}, scene.device});
    const std::vector<Surface> surfaces = last =
        buildDevice(scene, {prefs::kSuiteName, lumora::loadSystem});
    EXPECT_LT(runClock(std::nullopt), kMaxIdleSeconds);
    EXPECT_TRUE(layoutLoops().empty());
    for (const Surface& s : surfaces) {
      Ref<> view = s.controller ? rt::send(s.controller, sel::view) : s.view;
      if (const UIView* top = topOf(view.get())) {
        EXPECT_FALSE(anyMarked(*top));
      }
      // Shown, restyled once, the date coloured, the timeline's changes: a handful.
      const UIView* v = UIView::cls.cast(view.get());
      if (v && (s.kind == Surface::Kind::Banner || s.kind == Surface::Kind::Lockscreen)) {
        EXPECT_LE(v->layoutCount(), 6u);
      }
    }
  }
  EXPECT_GE(texts.size(), 10u);
  // The last scene's row keeps its narrowing: 359 less the modern indicator's 53 points.
  Ref<> row = rt::send(rt::send(last.front().controller, sel::view), sel::valueForKey,
                       NSStr("_auxiliaryOptionsView"));
  EXPECT_EQ(rt::send(row, sel::frame).size.width, 306);
}
