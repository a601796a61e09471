// Reading scenes: every field of the format into its description, and each kind of fault
// refused with the scene, the JSON path and what was expected.
#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

#include "host/scene/scene_file.h"
#include "support/files.h"

using namespace host::scene;
namespace fs = std::filesystem;

namespace {

class SceneFileTest : public ::testing::Test {
 protected:
  void SetUp() override { folder = testing_support::makeTempRoot("lumora-scene"); }
  void TearDown() override { fs::remove_all(folder); }
  Scene parse(const std::string& text) { return parseScene(text, "s.json", folder); }
  // The message a faulty scene is refused with.
  std::string refusal(const std::string& text) {
    try {
      parse(text);
    } catch (const SceneError& e) {
      return e.what();
    }
    return "(accepted)";
  }
  fs::path folder;
};

// The fields a built device does not show (the stage's tests follow the others through).
TEST_F(SceneFileTest, FieldsAndTheirDefaultsAreRead) {
  const Scene s = parse(R"({
    "device": {"layoutDirection": "rtl", "interfaceStyle": "dark", "locked": true,
               "clock": "2024-02-29T00:05"},
    "apps": [{"bundleIdentifier": "com.a", "type": "System", "launchProhibited": true,
              "placeholder": true, "removedSystemApp": true}, {"bundleIdentifier": "com.b"}],
    "notifications": [{"id": "n1", "presentation": "lockscreen", "stack": "s"}, {"title": "t"}],
    "widgets": [{"id": "w1", "icon": {"colour": "#010203"}, "iconDelay": 0.25,
                 "contentHeight": 80.5}, {"id": "w2"}],
    "timeline": [{"at": 3, "widgetIcon": {"id": "w2", "icon": {"colour": "#FFFFFF"}}}]
  })");
  EXPECT_EQ(s.device.layoutDirection, host::Device::LayoutDirection::RightToLeft);
  EXPECT_EQ(s.device.interfaceStyle, host::Device::InterfaceStyle::Dark);
  EXPECT_TRUE(s.device.locked);
  EXPECT_EQ(s.device.clock.day, 29u);
  EXPECT_EQ(s.device.clock.minute, 5u);
  EXPECT_TRUE(s.apps[0].launchProhibited && s.apps[0].placeholder && s.apps[0].removedSystemApp);
  EXPECT_EQ(s.apps[1].type, "User");
  EXPECT_FALSE(s.apps[1].launchProhibited || s.apps[1].placeholder || s.apps[1].removedSystemApp);
  EXPECT_EQ(s.notifications[0].presentation, Notification::Presentation::Lockscreen);
  EXPECT_EQ(s.notifications[1].id, std::nullopt);
  EXPECT_EQ(s.notifications[1].presentation, Notification::Presentation::Banner);
  EXPECT_EQ(s.widgets[0].icon->colours, (std::vector<Picture::Rgb>{{1, 2, 3}}));
  EXPECT_EQ(s.widgets[0].iconDelay, 0.25);
  EXPECT_EQ(s.widgets[0].contentHeight, 80.5);
  EXPECT_FALSE(s.widgets[1].icon);  // defaults: no icon, 0.1 s, 114 points
  EXPECT_EQ(s.widgets[1].iconDelay, 0.1);
  EXPECT_EQ(s.widgets[1].contentHeight, 114);
  EXPECT_EQ(s.timeline[0].kind, TimelineEvent::Kind::WidgetIcon);
  EXPECT_EQ(s.timeline[0].name, "w2");
  const Scene empty = parse("{}");
  EXPECT_EQ(empty.device.layoutDirection, host::Device::LayoutDirection::LeftToRight);
  EXPECT_EQ(empty.device.interfaceStyle, host::Device::InterfaceStyle::Light);
  EXPECT_FALSE(empty.device.locked);
}

TEST_F(SceneFileTest, FaultsAreRefusedWithTheirPathAndWhatWasExpected) {
  const std::pair<const char*, const char*> cases[] = {
      {R"([])", "s.json: top level: expected an object, got an array"},
      {R"({"devices": {}})",
       "s.json: devices: unknown field; expected one of: description, device"},
      {R"({"device": {"layoutDirection": "up"}})",
       R"(device.layoutDirection: expected "ltr" or "rtl", got "up")"},
      {R"({"device": {"clock": "2026-02-29T09:41"}})",
       R"(device.clock: expected a date and time such as "2026-12-07T09:41")"},
      {R"({"preferences": {"a": 1.5}})",
       "preferences.a: expected true, false, an integer or a string without NUL characters, got "
       "1.5"},
      {R"({"preferences": {"": 1}})", R"(preferences[""]: expected a setting name)"},
      {R"({"apps": [{"name": "A"}]})",
       "apps[0].bundleIdentifier: expected a non-empty string (it is required), got nothing"},
      {R"({"apps": [{"bundleIdentifier": "a"}, {"bundleIdentifier": "a"}]})",
       R"(apps[1].bundleIdentifier: expected a value no other item has, got "a", as apps[0] has)"},
      {R"({"apps": [{"bundleIdentifier": "a", "icon": {"colour": "#12345"}}]})",
       R"(apps[0].icon.colour: expected a colour "#RRGGBB", got "#12345")"},
      {R"({"contacts": [{"identifier": "c", "picture": {"gradient": ["#000000"]}}]})",
       "contacts[0].picture.gradient: expected an array of two or more colours"},
      {R"({"contacts": [{"identifier": "c", "picture": "red"}]})",
       R"(contacts[0].picture: expected a picture: {"colour": "#RRGGBB"})"},
      {R"({"contacts": [{"identifier": "c", "picture": {"file": "gone.png"}}]})",
       R"(contacts[0].picture.file: the file "gone.png" does not exist)"},
      {R"({"contacts": [{"identifier": "c", "picture": {"file": "."}}]})",
       R"(contacts[0].picture.file: the file "." cannot be read: it is a folder)"},
      {R"({"appGroups": [{"identifier": "g", "container": "../up"}]})",
       R"(appGroups[0].container: expected a folder name (without "/", not "." or ".."))"},
      {R"({"appGroups": [{"identifier": "g", "container": "c", "files": {"a/../../b": {"colour": "#000000"}}}]})",
       R"(appGroups[0].files["a/../../b"]: expected a path inside the container)"},
      {R"({"notifications": [{"presentation": "toast"}]})",
       R"(notifications[0].presentation: expected "banner" or "lockscreen", got "toast")"},
      {R"({"notifications": [{"title": "t", "stack": "s"}]})",
       R"(notifications[0].stack: only lockscreen notifications have this)"},
      {R"({"notifications": [{"title": "a\u0000b"}]})",
       "notifications[0].title: expected text without NUL characters"},
      {R"({"notifications": [{"userInfo": {"a": [1, null]}}]})",
       "notifications[0].userInfo.a[1]: expected a string, number, boolean, array or object, got "
       "null"},
      {R"({"timeline": [{"at": -1, "layout": true}]})",
       "timeline[0].at: expected a number of seconds from 0 to 86400, got -1"},
      {R"({"timeline": [{"at": 1}]})",
       R"(timeline[0]: expected one of "set", "delete", "darwin", "layout", "widgetIcon", "track", )"
       R"("lock" or "unlock" besides "at", got none)"},
      {R"({"widgets": [{"id": "w", "contentHeight": 2000}]})",
       "widgets[0].contentHeight: expected a number from 0 to 1624, got 2000"},
      {R"({"widgets": [{"id": "w", "contentHeight": 1e999}]})",
       "s.json: widgets[0].contentHeight: number overflow parsing '1e999'; expected a number"},
      {R"({"notifications": [{"id": "w"}], "widgets": [{"id": "w"}]})",
       R"(widgets[0].id: expected a value no notification has, got "w", as notifications[0] has)"},
      {R"({"widgets": [{"id": "w"}], "timeline": [{"at": 1, "widgetIcon": {"id": "v", "icon": {"colour": "#000000"}}}]})",
       R"(timeline[0].widgetIcon.id: expected the id of one of the scene's widgets, got "v")"},
      {R"({"widgets": [{"id": "w"}], "timeline": [{"at": 1, "widgetIcon": {"id": "w"}}]})",
       "timeline[0].widgetIcon.icon: expected a picture (it is required), got nothing"},
      {R"({"timeline": [{"at": 1, "set": {}, "delete": []}]})",
       R"(besides "at", got "set" and "delete")"},
      {R"({"timeline": [{"at": 1, "track": "Song"}]})",
       R"(timeline[0].track: expected a track {"title", "artist", "artwork": PICTURE} or null)"},
      {R"({"colorFlow": {"secondaryColor": 3}})",
       R"(colorFlow.secondaryColor: expected a colour "#RRGGBB" or null, got 3)"},
      {R"({"apps": [], "apps": []})", "s.json: apps: the field is given twice"},
      {R"({"apps": [{"bundleIdentifier": "a"},)",
       "s.json: not valid JSON: parse error at line 1, column 37"},
  };
  for (const auto& [text, message] : cases)
    EXPECT_NE(refusal(text).find(message), std::string::npos)
        << text << "\n  gives: " << refusal(text) << "\n  wanted: " << message;
}

TEST_F(SceneFileTest, NestingAndSizeAreBounded) {
  auto nested = [](size_t depth) {
    return R"({"notifications": [{"userInfo": {"k": )" + std::string(depth, '[') +
           std::string(depth, ']') + "}}]}";
  };
  // The top level, the list, the notification and the user info take four levels.
  EXPECT_EQ(refusal(nested(kMaxSceneDepth - 4)), "(accepted)");
  EXPECT_NE(refusal(nested(kMaxSceneDepth - 3)).find("nested more than 32 levels deep"),
            std::string::npos);
  // A very deep file is refused while it is parsed, at the level that went too deep.
  std::string at = "s.json: notifications[0].userInfo.k";
  for (int i = 0; i < 28; ++i) at += "[0]";
  EXPECT_EQ(refusal(nested(100000)).rfind(at + ": nested more than", 0), 0u);

  const fs::path file = folder / "big.json";
  testing_support::writeBytes(
      file, "{\"description\": \"" + std::string(kMaxSceneFileBytes, 'x') + "\"}");
  try {
    readSceneFile(file);
    ADD_FAILURE() << "a scene over the limit was read";
  } catch (const SceneError& e) {
    EXPECT_NE(std::string(e.what()).find("larger than the 1 MiB allowed"), std::string::npos)
        << e.what();
  }
}

// The limits of docs/scenes.md, each refused one past it, before what is past is read.
TEST_F(SceneFileTest, CountsBytesAndPixelsAreBounded) {
  auto items = [](size_t n, const std::string& item) {
    std::string out = "[";
    for (size_t i = 0; i < n; ++i) out += (i ? "," : "") + item;
    return out + "]";
  };
  auto over = [](const std::string& path, size_t, const char* what, size_t most) {
    return "s.json: " + path + ": more than " + std::to_string(most) + " " + what +
           ", the most a scene may have";
  };
  const std::tuple<std::string, size_t, const char*> lists[] = {
      {"apps", kMaxApps, "apps"},
      {"contacts", kMaxContacts, "contacts"},
      {"appGroups", kMaxAppGroups, "app groups"},
      {"notifications", kMaxNotifications, "notifications"},
      {"widgets", kMaxWidgets, "widgets"},
      {"timeline", kMaxTimelineEvents, "events"}};
  for (const auto& [key, most, what] : lists)
    EXPECT_EQ(refusal("{\"" + key + "\": " + items(most + 1, "{}") + "}")
                  .rfind(over(key, most + 1, what, most), 0),
              0u)
        << key;
  // 100,000 empty notifications, a 300 KB file, are refused while they are parsed; so
  // is any other array or object of more than 1000 items.
  EXPECT_EQ(refusal(R"({"notifications": )" + items(100000, "{}") + "}")
                .rfind(over("notifications", 100000, "notifications", kMaxNotifications), 0),
            0u);
  EXPECT_EQ(refusal(R"({"notifications": [{"userInfo": {"a": )" + items(100000, "{}") + "}}]}")
                .rfind(over("notifications[0].userInfo.a", 0, "items", kMaxSceneItems), 0),
            0u);
  // A file is read once however often it is named, but its bytes count for each use.
  testing_support::writeBytes(folder / "mib", std::string(1 << 20, 'x'));
  const std::string contact = R"({"identifier": "c", "picture": {"file": "mib"}})";
  const Scene two = parse(R"({"contacts": [)" + contact + "," +
                          R"({"identifier": "d", "picture": {"file": "./mib"}}]})");
  EXPECT_EQ(two.contacts[0].picture->contents, two.contacts[1].picture->contents);
  std::string many;
  for (size_t i = 0; i <= kMaxPictureBytes >> 20; ++i)
    many += (i ? "," : "") + std::string(R"({"identifier": "c)") + std::to_string(i) +
            R"(", "picture": {"file": "mib"}})";
  EXPECT_EQ(refusal(R"({"contacts": [)" + many + "]}")
                .rfind("s.json: contacts[256].picture.file: the file \"mib\" takes 1048576 bytes "
                       "once more, and the picture files of a scene take at most 256 MiB in all",
                       0),
            0u);

  // Pixels, from the header: at most 4096 x 4096 a picture, four such in all; a picture
  // used again counts once.
  auto png = [&](const std::string& name, uint32_t width, uint32_t height) {
    std::string header("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    for (uint32_t v : {width, height})
      for (int shift = 24; shift >= 0; shift -= 8) header += static_cast<char>(v >> shift & 255);
    testing_support::writeBytes(folder / name, header + std::string(13, '\0'));
  };
  png("wide.png", 4097, 4096);
  EXPECT_EQ(refusal(R"({"device": {"wallpaper": {"file": "wide.png"}}})"),
            "s.json: device.wallpaper.file: the file \"wide.png\" is a picture of 4097 x 4096 "
            "pixels, more than the 16777216 (4096 x 4096) a scene's picture may have; expected a "
            "smaller picture");
  std::string icons;
  for (int i = 0; i < 5; ++i) {
    // Appended piece by piece: GCC 12 takes a C string plus a temporary for an overlap.
    auto file = [](int k) {
      std::string name = "p";
      name += std::to_string(k);
      name += ".png";
      return name;
    };
    png(file(i), 4096, 4096);
    if (i) icons += ',';
    icons += R"({"bundleIdentifier": "a)";
    icons += std::to_string(i);
    icons += R"(", "icon": {"file": ")" + file(i % 4) + R"("}})";
  }
  EXPECT_EQ(refusal(R"({"apps": [)" + icons + "]}"), "(accepted)");
  icons += R"(, {"bundleIdentifier": "last", "icon": {"file": "p4.png"}})";
  EXPECT_EQ(refusal(R"({"apps": [)" + icons + "]}")
                .rfind("s.json: apps[5].icon.file: the file \"p4.png\" is a picture of 4096 x "
                       "4096 pixels; with the scene's other pictures that is more than the "
                       "67108864 pixels",
                       0),
            0u);
}

}  // namespace
