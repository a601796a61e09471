// `lumora dump` end to end: every example scene dumps to the same bytes each time, a bad
// scene is refused with status 2 and a message saying where and what, and the device
// root is read, never changed. (What the passes do to a dump is the passes' tests'.)
#include <gtest/gtest.h>

#include "tool/tool_fixture.h"

namespace fs = std::filesystem;
using Json = nlohmann::json;
using testing_support::Outcome;

namespace {

const fs::path kScenes = LUMORA_SCENES;

class DumpToolTest : public testing_support::ToolTest {
 protected:
  // The built-in scene with these settings, as a scene file.
  fs::path builtInWith(const Json& preferences) {
    Json scene = Json::parse(testing_support::readBytes(kScenes / "builtin.json"));
    scene["preferences"] = preferences;
    const fs::path file = base / ("scene" + std::to_string(++files_) + ".json");
    testing_support::writeBytes(file, scene.dump());
    return file;
  }

 private:
  int files_ = 0;
};

TEST_F(DumpToolTest, EveryExampleSceneDumpsToTheSameBytesTwice) {
  int scenes = 0;
  for (const auto& entry : fs::directory_iterator(kScenes)) {
    if (entry.path().extension() != ".json") continue;
    ++scenes;
    const std::string args = "dump --scene '" + entry.path().string() + "'";
    Outcome first = lumora(args), second = lumora(args);
    ASSERT_EQ(first.status, 0) << entry.path() << first.err;
    EXPECT_EQ(first.out, second.out) << entry.path();
    EXPECT_EQ(first.err.find("lumora:"), std::string::npos) << first.err;  // no warnings
    EXPECT_FALSE(Json::parse(first.out)["surfaces"].empty()) << entry.path();
  }
  EXPECT_GE(scenes, 4);
  // Without a scene, the built-in one, which is scenes/builtin.json.
  EXPECT_EQ(lumora("dump").out,
            lumora("dump --scene '" + (kScenes / "builtin.json").string() + "'").out);
  // --pretty only indents.
  EXPECT_EQ(Json::parse(lumora("dump --pretty").out), Json::parse(lumora("dump").out));
  EXPECT_NE(lumora("dump --help").out.find("docs/scenes.md"), std::string::npos);
}

TEST_F(DumpToolTest, ABadSceneIsRefusedWithStatusTwoSayingWhereAndWhat) {
  const fs::path scene = base / "bad.json";
  auto refusal = [&](const std::string& text) {
    testing_support::writeBytes(scene, text);
    return lumora("dump --scene '" + scene.string() + "'");
  };
  Outcome field = refusal(R"({"notifications": [{"title": "a"}, {"presentation": "toast"}]})");
  EXPECT_EQ(field.status, 2);
  EXPECT_EQ(field.out, "");
  EXPECT_EQ(field.err, "lumora: " + scene.string() +
                           ": notifications[1].presentation: expected \"banner\" or "
                           "\"lockscreen\", got \"toast\"\n");
  EXPECT_EQ(refusal("{\"apps\": [").status, 2);
  Outcome missing = lumora("dump --scene '" + (base / "none.json").string() + "'");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("none.json: no such scene file"), std::string::npos);
  EXPECT_EQ(lumora("dump --scene '" + base.string() + "'").status, 2);
  // Command-line mistakes are CLI11's.
  EXPECT_NE(lumora("dump --at -1").status, 0);
  EXPECT_NE(lumora("dump --at soon").status, 0);
}

// The view under `name` in a surface, depth first; a null value when there is none.
const Json& named(const Json& view, const std::string& name) {
  static const Json none;
  for (const Json& n : view["names"])
    if (n == name) return view;
  for (const Json& child : view["subviews"])
    if (const Json& found = named(child, name); !found.is_null()) return found;
  return none;
}

const Json& surface(const Json& dump, const std::string& id) {
  for (const Json& s : dump["surfaces"])
    if (s["id"] == id) return s["view"];
  ADD_FAILURE() << "no surface " << id;
  static const Json none;
  return none;
}

// The host's header geometry the system's fixed frames rely on, and a stack's summary.
TEST_F(DumpToolTest, TheClassicDotCoversTheIconsPlaceAndAStackSaysHowManyMore) {
  auto dump = [&](const std::string& scene) {
    return json("dump --scene '" + (kScenes / scene).string() + "'");
  };
  auto frame = [](const Json& view) { return view["frame"].get<std::vector<double>>(); };
  using Frame = std::vector<double>;
  // Classic: the dot covers the app icon's place, on the line of the app's name and the
  // date; a coloured header band holds it, the content 10 points below the band.
  const Json classic = dump("classic.json");
  const Json& meeting = surface(classic, "meeting");
  EXPECT_EQ(frame(named(meeting, "colorIndicator")), (Frame{14.5, 14.5, 12, 12}));
  const Json& header = named(meeting, "_headerContentView");
  EXPECT_EQ(frame(header["subviews"][0]), (Frame{10.5, 10.5, 20, 20}));  // the icon button
  for (const char* name : {"_titleLabel", "_dateLabel"})
    EXPECT_EQ(frame(named(header, name))[1] + frame(named(header, name))[3] / 2, 20.5) << name;
  const Json rtlDark = dump("rtl-dark.json");
  const Json& coloured = surface(rtlDark, "meeting");
  EXPECT_EQ(frame(named(coloured, "_headerContentView")), (Frame{0, 0, 359, 41}));
  EXPECT_EQ(frame(named(coloured, "_notificationContentView"))[1], 41 + 10);

  // A collapsed stack's front card says how many more it holds, under its message; the
  // cards behind and a card alone have no summary.
  const Json& summary = named(surface(rtlDark, "news-1"), "_summaryLabel");
  EXPECT_EQ(summary["text"], "2 more notifications");
  EXPECT_FALSE(summary["hidden"]);
  EXPECT_EQ(frame(summary)[1], 18 + 18 + 4);
  EXPECT_TRUE(named(surface(rtlDark, "news-2"), "_summaryLabel")["hidden"]);
  EXPECT_TRUE(named(surface(classic, "meeting"), "_summaryLabel")["hidden"]);
}

TEST_F(DumpToolTest, TheDumpStartsFromTheRootsSettingsAndLeavesThemAsTheyWere) {
  ASSERT_EQ(lumora("prefs set enabled false").status, 0);
  const std::string before = testing_support::readBytes(prefsFile());
  const Outcome fromRoot = lumora("dump");
  ASSERT_EQ(fromRoot.status, 0);
  // The same as the scene saying so, on an empty root.
  const fs::path scene = builtInWith({{"enabled", false}});
  EXPECT_EQ(
      fromRoot.out,
      run("--root '" + (base / "other").string() + "' dump --scene '" + scene.string() + "'").out);
  // The scene's own settings and timeline go to the dump's device, not to the root.
  ASSERT_EQ(lumora("dump --scene '" +
                   builtInWith({{"enabled", true}, {"styleBanner", "classic"}}).string() + "'")
                .status,
            0);
  EXPECT_EQ(testing_support::readBytes(prefsFile()), before);
  EXPECT_FALSE(fs::exists(root / "var/mobile/Containers"));
  // A root file that cannot be read is left out, with a warning.
  testing_support::writeBytes(prefsFile(), "garbage");
  const Outcome unreadable = lumora("dump");
  EXPECT_EQ(unreadable.status, 0);
  EXPECT_NE(unreadable.err.find("are left out"), std::string::npos) << unreadable.err;
  EXPECT_EQ(unreadable.out, run("--root '" + (base / "fresh").string() + "' dump").out);
}

}  // namespace
