// `lumora prefs` as a person uses it: checked writes with messages that say what to type,
// export and import of presets (all or nothing, under the store's lock), and the pages
// made from the schema and presets/ kept up to date.
#include <gtest/gtest.h>
#include <plist/plist.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "support/files.h"
#include "tool/tool_fixture.h"

namespace fs = std::filesystem;

using testing_support::Outcome;
using testing_support::ToolTest;

namespace {

const fs::path kSource = fs::path(LUMORA_SCENES).parent_path();

// The stored settings, key -> value.
nlohmann::json storedOf(const nlohmann::json& list) {
  nlohmann::json stored = nlohmann::json::object();
  for (const auto& [key, r] : list.items())
    if (r["source"] == "stored") stored[key] = r["value"];
  return stored;
}

}  // namespace

TEST_F(ToolTest, MistakesAreRefusedWithWhatToTypeAndNothingStored) {
  ASSERT_EQ(lumora("prefs set borderWidthBanner 3").status, 0);
  const std::string before = testing_support::readBytes(prefsFile());
  const struct {
    const char* args;
    const char* says;
  } mistakes[] = {
      {"colorBackgroundBaner '#FF0000'", "did you mean colorBackgroundBanner?"},
      {"borderWidth 3", "did you mean borderWidthBanner, "},
      {"borderWidthBanner abc", "takes a whole number from 0 to 50 (points), not the text \"abc\""},
      {"borderWidthBanner 80", "not 80: that is above 50"},
      {"customCornerRadiusBanner 12.5", "give a whole number, such as 12"},
      {"enableBanners maybe", "enableBanners takes true or false"},
      {"borderPositionBanner middle",
       "takes all, top, right, bottom or left, not \"middle\" (any other value draws no border)"},
      {"roundedCornersBanner Round", "did you mean round? Values are case-sensitive"},
      {"styleBanner true", "styleBanner takes modern or classic, not \"true\""},
      {"colorBackgroundBanner red",
       "takes none, dominant or a colour such as #FF8800 or #FF8800:0.5, not \"red\""},
      {"colorBackgroundBanner FF8800", "did you mean #FF8800?"},
      {"colorBackgroundBanner '#F80'", "not as #FF8800: write six digits"},
      {"colorBackgroundBanner '#FF8800:1.5'", "goes from 0 (clear) to 1 (opaque)"},
      {"colorBackgroundBanner true", "write dominant"},
      {"colorBackgroundWidget stock", "takes none, dominant or a colour"},
      {"colorHeaderBanner Stock", "did you mean stock?"},
  };
  for (const auto& m : mistakes) {
    Outcome set = lumora(std::string("prefs set ") + m.args);
    EXPECT_EQ(set.status, 2) << m.args;
    EXPECT_NE(set.err.find(m.says), std::string::npos) << m.args << ": " << set.err;
    EXPECT_NE(set.err.find("Nothing was stored"), std::string::npos) << set.err;
  }
  EXPECT_EQ(testing_support::readBytes(prefsFile()), before);

  // --force stores it all the same, with a note; list and describe then show the problem.
  Outcome forced = lumora("prefs set --force borderPositionBanner middle");
  ASSERT_EQ(forced.status, 0) << forced.err;
  EXPECT_NE(forced.err.find("note: stored with --force"), std::string::npos) << forced.err;
  ASSERT_EQ(lumora("prefs set --force colorBackgroundBaner '#FF0000'").status, 0);
  ASSERT_EQ(lumora("prefs set colorHeaderLockscreen stock").status, 0);
  auto list = json("prefs list --json");
  EXPECT_NE(list["borderPositionBanner"]["problem"].get<std::string>().find("not \"middle\""),
            std::string::npos);
  EXPECT_NE(list["colorBackgroundBaner"]["problem"].get<std::string>().find(
                "did you mean colorBackgroundBanner?"),
            std::string::npos);
  EXPECT_FALSE(list["colorHeaderLockscreen"].contains("problem"));
  EXPECT_FALSE(list["borderWidthBanner"].contains("problem"));
  EXPECT_NE(lumora("prefs list").out.find("* stored values the settings do not take:"),
            std::string::npos);

  Outcome describe = lumora("prefs describe borderPositionBanner");
  ASSERT_EQ(describe.status, 0) << describe.err;
  for (const char* line : {"takes:   all, top, right, bottom or left; any other value draws no",
                           "default: all", "current: middle (stored)", "problem: "})
    EXPECT_NE(describe.out.find(line), std::string::npos) << describe.out;
  Outcome unknown = lumora("prefs describe colorBackgroundBaner");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("did you mean colorBackgroundBanner?"), std::string::npos);
}

TEST_F(ToolTest, ExportThenImportGivesBackTheSameStoredSettings) {
  ASSERT_EQ(
      lumora("prefs import '" + (kSource / "presets/classic-gradient.json").string() + "'").status,
      0);
  ASSERT_EQ(lumora("prefs set enableWidgets false").status, 0);
  ASSERT_EQ(lumora("prefs set borderWidthWidget 2").status, 0);  // stored, equal to the default
  const nlohmann::json stored = storedOf(json("prefs list --json"));
  ASSERT_GT(stored.size(), 30u);

  for (const char* format : {"json", "plist"}) {
    const fs::path file = base / (std::string("look.") + format);
    Outcome out = lumora("prefs export -o '" + file.string() + "'");
    ASSERT_EQ(out.status, 0) << out.err;
    fs::remove(prefsFile());  // every setting back to its default
    Outcome in = lumora("prefs import '" + file.string() + "'");
    ASSERT_EQ(in.status, 0) << in.err;
    EXPECT_NE(in.out.find("2 (default) → 2\n"), std::string::npos) << in.out;
    EXPECT_EQ(storedOf(json("prefs list --json")), stored) << format;
  }

  // A device's preference file imports as it is.
  fs::copy_file(prefsFile(), base / "device.plist");
  fs::remove(prefsFile());
  ASSERT_EQ(lumora("prefs import '" + (base / "device.plist").string() + "'").status, 0);
  EXPECT_EQ(storedOf(json("prefs list --json")), stored);

  // Only the widget's settings: exported, then imported over defaults.
  const fs::path widget = base / "widget.json";
  ASSERT_EQ(lumora("prefs export --surface widget -o '" + widget.string() + "'").status, 0);
  fs::remove(prefsFile());
  ASSERT_EQ(lumora("prefs import '" + widget.string() + "'").status, 0);
  nlohmann::json widgetOnly = nlohmann::json::object();
  for (const auto& [key, value] : stored.items())
    if (key.size() > 6 && key.compare(key.size() - 6, 6, "Widget") == 0) widgetOnly[key] = value;
  EXPECT_EQ(storedOf(json("prefs list --json")), widgetOnly);
}

TEST_F(ToolTest, APresetWithOneFaultChangesNothingAndSaysWhy) {
  ASSERT_EQ(lumora("prefs set styleBanner classic").status, 0);
  const std::string before = testing_support::readBytes(prefsFile());
  auto preset = [&](const std::string& body) {
    const fs::path file = base / "preset.json";
    testing_support::writeBytes(file, body);
    return lumora("prefs import '" + file.string() + "'");
  };
  const struct {
    std::string body, says;
  } faults[] = {
      {R"({"settings": {"styleBanner": "modern", "borderWidthBanner": "3"}})",
       "borderWidthBanner takes a whole number from 0 to 50 (points), not the text \"3\""},
      {R"({"settings": {"styleBanner": "modern", "colorBackgroundBaner": "#FF0000"}})",
       "did you mean colorBackgroundBanner?"},
      {R"({"settings": {"styleBanner": ["modern"]}})", "holds a nested structure"},
      {R"({"settings": {"borderWidthBanner": 2.5}})", "settings hold true/false, a whole number"},
      {R"({"name": "x", "setting": {}})", "that presets do not have"},
      {"<plist><dict><key>settings</key><dict><key>styleBanner</key><dict/></dict></dict></plist>",
       "holds a nested structure"},
      {"{" + std::string(1 << 20, ' ') + "}", "larger than the 1 MiB allowed"},
  };
  for (const auto& f : faults) {
    Outcome in = preset(f.body);
    EXPECT_EQ(in.status, 2) << f.body.substr(0, 80);
    EXPECT_NE(in.err.find(f.says), std::string::npos) << in.err;
    EXPECT_NE(in.err.find("nothing was changed"), std::string::npos) << in.err;
  }
  EXPECT_EQ(testing_support::readBytes(prefsFile()), before);

  // --dry-run prints the changes and writes nothing; --force lets an unknown key through.
  Outcome dry =
      lumora("prefs import --dry-run '" + (kSource / "presets/glass.json").string() + "'");
  ASSERT_EQ(dry.status, 0) << dry.err;
  EXPECT_NE(dry.out.find("styleBanner "), std::string::npos);
  EXPECT_NE(dry.out.find("classic → modern"), std::string::npos) << dry.out;
  EXPECT_NE(dry.out.find("nothing was written (--dry-run)"), std::string::npos);
  EXPECT_EQ(testing_support::readBytes(prefsFile()), before);
  testing_support::writeBytes(base / "preset.json",
                              R"({"settings": {"legacyKey": 1, "borderWidthWidget": 4}})");
  ASSERT_EQ(lumora("prefs import --force '" + (base / "preset.json").string() + "'").status, 0);
  EXPECT_EQ(json("prefs get legacyKey --json")["value"], 1);

  // --replace returns the surfaces the preset covers to their defaults first.
  ASSERT_EQ(
      lumora("prefs import --replace --force '" + (base / "preset.json").string() + "'").status, 0);
  const auto list = json("prefs list --json");
  EXPECT_EQ(list["styleBanner"]["source"], "stored");  // a banner setting: not covered
  EXPECT_EQ(list["borderWidthWidget"]["value"], 4);
}

// The settings in the preference file as another program reads it, key -> value.
nlohmann::json fileSettings(const fs::path& file) {
  nlohmann::json out = nlohmann::json::object();
  const std::string bytes = testing_support::readBytes(file);
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  if (!root) return nullptr;
  plist_dict_iter iter = nullptr;
  plist_dict_new_iter(root, &iter);
  for (;;) {
    char* key = nullptr;
    plist_t node = nullptr;
    plist_dict_next_item(root, iter, &key, &node);
    if (!key) break;
    uint8_t flag = 0;
    uint64_t number = 0;
    char* text = nullptr;
    switch (plist_get_node_type(node)) {
      case PLIST_BOOLEAN:
        plist_get_bool_val(node, &flag);
        out[key] = flag != 0;
        break;
      case PLIST_UINT:
        plist_get_uint_val(node, &number);
        out[key] = int64_t(number);
        break;
      case PLIST_STRING:
        plist_get_string_val(node, &text);
        out[key] = text;
        std::free(text);
        break;
      default:
        out[key] = "?";
    }
    std::free(key);
  }
  std::free(iter);
  plist_free(root);
  return out;
}

// Two imports at once and a `prefs set` loop beside them: each import is applied whole
// (its surfaces replaced), so every version of the file a reader sees holds one of them
// (or none yet), and the last holds one plus the loop's last value.
TEST_F(ToolTest, ConcurrentImportsAndSetsLoseNothing) {
  ASSERT_EQ(lumora("prefs list").status, 0);
  const std::string tool = std::string(LUMORA_BINARY) + " --root '" + root.string() + "' ";
  const std::string glass = (kSource / "presets/glass.json").string();
  const std::string vivid = (kSource / "presets/vivid.json").string();
  const fs::path done = base / "done";
  const std::string script =
      "fail=0\n"
      "(for i in $(seq 1 12); do " +
      tool + "prefs import --replace '" + glass +
      "' >/dev/null || exit 1; done) & a=$!\n"
      "(for i in $(seq 1 12); do " +
      tool + "prefs import --replace '" + vivid +
      "' >/dev/null || exit 1; done) & b=$!\n"
      "(for i in $(seq 1 30); do v=false; [ $((i % 2)) = 0 ] && v=true; " +
      tool +
      "prefs set enableMediaplayer $v >/dev/null || exit 1; done) & c=$!\n"
      "wait $a || fail=1; wait $b || fail=1; wait $c || fail=1; echo $fail >'" +
      done.string() + ".new' && mv '" + done.string() + ".new' '" + done.string() + "'\n";
  testing_support::writeBytes(base / "race.sh", script);
  ASSERT_EQ(std::system(("bash '" + (base / "race.sh").string() + "' &").c_str()), 0);

  auto settingsOf = [](const std::string& file) {
    std::ifstream in(file);
    return nlohmann::json::parse(in)["settings"];
  };
  const nlohmann::json looks[] = {nlohmann::json::object(), settingsOf(glass), settingsOf(vivid)};
  auto whole = [&](nlohmann::json settings) {
    settings.erase("enableMediaplayer");
    return std::find(std::begin(looks), std::end(looks), settings) != std::end(looks);
  };
  int versions = 0, broken = 0;
  while (!fs::exists(done)) {
    const nlohmann::json now = fileSettings(prefsFile());
    if (now.is_null()) continue;  // no file yet
    ++versions;
    broken += !whole(now);
  }
  EXPECT_EQ(testing_support::readBytes(done), "0\n");
  EXPECT_EQ(broken, 0) << "of " << versions << " versions read";
  const nlohmann::json last = fileSettings(prefsFile());
  EXPECT_EQ(last["enableMediaplayer"], true);
  EXPECT_TRUE(whole(last) && last.size() > 1) << last.dump();
}

// The pages made from the schema and presets/ match them, and every preset imports
// cleanly (the check reads and checks each one).
TEST_F(ToolTest, SettingsAndPresetPagesAreUpToDate) {
  Outcome check = run("docs --check --tree '" + kSource.string() + "'");
  EXPECT_EQ(check.status, 0) << check.err;
}
