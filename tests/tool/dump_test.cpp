// `lumora dump` end to end: every example scene dumps to the same bytes each time, a bad
// scene is refused with status 2 and a message saying where and what, the gates change
// exactly what the layout adjustments say, and the device root is read, never changed.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "tool/tool_fixture.h"

namespace fs = std::filesystem;
using Json = nlohmann::json;
using testing_support::Outcome;

namespace {

const fs::path kScenes = LUMORA_SCENES;

// A leaf where two dumps differ: its path, the names of the view it belongs to, and the
// two values.
struct Difference {
  std::string path;
  Json names, before, after;
};

void differences(const Json& a, const Json& b, const std::string& path, const Json& names,
                 std::vector<Difference>& out) {
  const Json& owner = a.is_object() && a.contains("names") ? a["names"] : names;
  if (a.type() == b.type() && a.is_object()) {
    for (auto& [key, value] : a.items())
      differences(value, b.contains(key) ? b[key] : Json(), path + "." + key, owner, out);
  } else if (a.type() == b.type() && a.is_array() && a.size() == b.size() && !a.empty() &&
             a[0].is_structured()) {
    for (size_t i = 0; i < a.size(); ++i)
      differences(a[i], b[i], path + "[" + std::to_string(i) + "]", owner, out);
  } else if (a != b) {
    out.push_back({path, owner, a, b});
  }
}

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
  std::vector<Difference> compare(const Json& before, const Json& after) {
    std::vector<Difference> out;
    differences(json("dump --scene '" + builtInWith(before).string() + "'"),
                json("dump --scene '" + builtInWith(after).string() + "'"), "", Json(), out);
    return out;
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
    const Json dump = Json::parse(first.out);
    EXPECT_FALSE(dump["surfaces"].empty()) << entry.path();
    for (const auto& surface : dump["surfaces"]) EXPECT_TRUE(surface["view"].is_object());
  }
  EXPECT_GE(scenes, 4);
  // Without a scene, the built-in one, which is scenes/builtin.json.
  EXPECT_EQ(lumora("dump").out,
            lumora("dump --scene '" + (kScenes / "builtin.json").string() + "'").out);
  // --pretty only indents.
  EXPECT_EQ(Json::parse(lumora("dump --pretty").out), Json::parse(lumora("dump").out));
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
  Outcome file = refusal(R"({"apps": [{"bundleIdentifier": "a", "icon": {"file": "icon.png"}}]})");
  EXPECT_EQ(file.status, 2);
  EXPECT_NE(file.err.find("apps[0].icon.file: the file \"icon.png\" does not exist (looked for " +
                          (base / "icon.png").string()),
            std::string::npos)
      << file.err;
  EXPECT_EQ(refusal("{\"apps\": [").status, 2);
  Outcome missing = lumora("dump --scene '" + (base / "none.json").string() + "'");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("none.json: no such scene file"), std::string::npos);
  EXPECT_EQ(lumora("dump --scene '" + base.string() + "'").status, 2);
  // Command-line mistakes are CLI11's.
  EXPECT_NE(lumora("dump --at -1").status, 0);
  EXPECT_NE(lumora("dump --at soon").status, 0);
}

TEST_F(DumpToolTest, ClosedGatesDifferFromTheSystemOffOnlyInTheListsForcedAppearance) {
  const auto diff = compare({{"enabled", false}, {"forceModeLockscreen", "dark"}},
                            {{"enableBanners", false},
                             {"enableLockscreen", false},
                             {"enableWidgets", false},
                             {"enableMediaplayer", false},
                             {"forceModeLockscreen", "dark"}});
  ASSERT_EQ(diff.size(), 1u);
  EXPECT_EQ(diff[0].path, ".surfaces[4].controller.overrideUserInterfaceStyle");
  EXPECT_EQ(diff[0].before, 0);
  EXPECT_EQ(diff[0].after, 2);
}

TEST_F(DumpToolTest, OpenGatesMoveTheHostsViewsAsTheLayoutAdjustmentsSay) {
  // The frame of each view the host holds under an instance variable, by notification.
  auto hostFrames = [](const Json& dump) {
    std::map<std::pair<size_t, std::string>, Json> frames;
    std::function<void(size_t, const Json&)> walk = [&](size_t surface, const Json& view) {
      for (const Json& name : view["names"])
        if (name.get<std::string>()[0] == '_') frames[{surface, name}] = view["frame"];
      for (const Json& child : view["subviews"]) walk(surface, child);
    };
    for (size_t i = 0; i < dump["surfaces"].size(); ++i)
      if (dump["surfaces"][i]["kind"] != "list") walk(i, dump["surfaces"][i]["view"]);
    return frames;
  };
  const auto off =
      hostFrames(json("dump --scene '" + builtInWith({{"enabled", false}}).string() + "'"));
  const auto on = hostFrames(json("dump"));
  ASSERT_EQ(off.size(), on.size());
  // Under the default modern style, in each notification: the date label lifted by 3,
  // the content lifted and shifted by the indicator's room, its labels narrowed by it.
  std::map<std::string, std::pair<Json, Json>> moved;
  for (const auto& [key, frame] : off)
    if (on.at(key) != frame && key.first == 0) moved[key.second] = {frame, on.at(key)};
  EXPECT_EQ(moved["_dateLabel"].second[1], moved["_dateLabel"].first[1].get<double>() - 3);
  const auto& content = moved["_notificationContentView"];
  const double room = content.second[0].get<double>() - content.first[0].get<double>();
  EXPECT_GT(room, 0);
  EXPECT_EQ(content.second[1], content.first[1].get<double>() - 14);
  for (const char* label :
       {"_primaryLabel", "_primarySubtitleLabel", "_secondaryLabel", "_summaryLabel"})
    EXPECT_EQ(moved[label].first[2].get<double>() - moved[label].second[2].get<double>(), room)
        << label;
  EXPECT_EQ(moved.size(), 6u);
  size_t movedEverywhere = 0;
  for (const auto& [key, frame] : off) movedEverywhere += on.at(key) != frame;
  EXPECT_EQ(movedEverywhere, 4 * moved.size());
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

TEST_F(DumpToolTest, TheExampleScenesShowThePassesResults) {
  auto dump = [&](const std::string& scene, const std::string& at = "") {
    return json("dump --scene '" + (kScenes / scene).string() + "'" +
                (at.empty() ? "" : " --at " + at));
  };
  auto frame = [](const Json& view) { return view["frame"].get<std::vector<double>>(); };
  using Frame = std::vector<double>;

  // A round banner, 87.5 points high (header row 41, title and message 18 each, 10.5
  // below): radius 43.75 on material, dimming and background; the shadow view hidden and
  // the card casting the shadow; a 3-point border along the right edge.
  const Json seeThrough = dump("see-through.json");
  const Json& banner = surface(seeThrough, "release");
  ASSERT_EQ(frame(named(banner, "_contentView")), (Frame{0, 0, 359, 87.5}));
  for (const char* name : {"_backgroundMaterialView", "_stackDimmingView", "lumoraBackground"})
    EXPECT_EQ(named(banner, name)["layer"]["cornerRadius"], 43.75) << name;
  EXPECT_TRUE(named(banner, "_shadowView")["hidden"]);
  const Json& cardLayer = named(banner, "_contentView")["layer"];
  EXPECT_EQ(cardLayer["shadowOffset"], Json::parse("[0, 3]"));
  EXPECT_EQ(cardLayer["shadowRadius"], 5);
  EXPECT_FLOAT_EQ(cardLayer["shadowOpacity"].get<float>(), 0.075f);
  EXPECT_EQ(frame(named(banner, "lumoraBorder")), (Frame{356, 0, 3, 87.5}));
  EXPECT_FALSE(named(banner, "lumoraBorder")["hidden"]);
  // A see-through lockscreen: no material, and of the stack only its first card.
  EXPECT_EQ(named(surface(seeThrough, "chat-1"), "_backgroundMaterialView")["alpha"], 0);
  std::vector<bool> cellsHidden;
  std::function<void(const Json&)> cells = [&](const Json& view) {
    if (view["class"] == "NCNotificationListCell") cellsHidden.push_back(view["hidden"]);
    for (const Json& child : view["subviews"]) cells(child);
  };
  cells(seeThrough["surfaces"].back()["view"]);
  ASSERT_EQ(cellsHidden.size(), 2u);
  EXPECT_NE(cellsHidden[0], cellsHidden[1]);

  // Modern: a 33-point dot halves to 16, centred on the 87.5-point card; the date 3
  // points above the header line (12.5), well inside any border; the contact picture
  // with its badge; the maple app never shows an indicator; right to left the icon sits
  // at the other edge.
  const Json modern = dump("modern.json");
  const Json& dot = named(surface(modern, "rings"), "colorIndicator");
  EXPECT_EQ(frame(dot), (Frame{20, 35.75, 16, 16}));
  EXPECT_EQ(dot["layer"]["cornerRadius"], 8);
  EXPECT_EQ(frame(named(surface(modern, "rings"), "_dateLabel")), (Frame{321.5, 9.5, 27, 16}));
  const Json& message = surface(modern, "message");
  EXPECT_EQ(frame(named(message, "imageIndicator")), (Frame{20, 27.75, 32, 32}));
  EXPECT_EQ(frame(named(message, "imageIndicatorCorner")), (Frame{39, 46.75, 15, 15}));
  EXPECT_TRUE(named(surface(modern, "maple"), "colorIndicator")["hidden"]);
  EXPECT_TRUE(named(surface(modern, "maple"), "imageIndicator")["hidden"]);
  EXPECT_EQ(frame(named(surface(dump("rtl-modern.json"), "mail"), "imageIndicator")),
            (Frame{307, 27.75, 32, 32}));

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

  // The profile picture from another messaging app's container shows by default, once
  // contact pictures are turned on at one second; before, the app's icon.
  auto picture = [&](const std::string& at) {
    return named(surface(dump("whatsapp.json", at), "with-picture"),
                 "imageIndicator")["image"]["origin"]["kind"];
  };
  EXPECT_EQ(picture(""), "file");
  EXPECT_EQ(picture("0.5"), "icon");

  // The date colour comes a tenth of a second after the pass, not before.
  auto dateColour = [&](const std::string& at) {
    return named(surface(dump("rtl-dark.json", at), "meeting"), "_dateLabel")["textColor"];
  };
  EXPECT_EQ(dateColour("0.05"), Json::parse("[0, 0, 0, 1]"));  // the host's own
  EXPECT_EQ(dateColour("0.2"), Json::parse("[1, 1, 1, 1]"));
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

TEST_F(DumpToolTest, HelpNamesTheFormatsDocumentation) {
  const Outcome help = lumora("dump --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("docs/scenes.md"), std::string::npos);
}

}  // namespace
