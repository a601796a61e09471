// The `lumora` tool end to end: the JSON shapes scripts rely on, migration of a file
// written by another program, and errors for bad input.
#include <gtest/gtest.h>

#include "support/files.h"

#include <sys/wait.h>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

namespace fs = std::filesystem;

namespace {

struct Outcome {
  int status;
  std::string out;
};

class ToolTest : public ::testing::Test {
 protected:
  // The device root is left for the tool to create.
  void SetUp() override { root = (base = testing_support::makeTempRoot("lumora-tool")) / "device"; }
  void TearDown() override { fs::remove_all(base); }

  // Runs the tool with the test's device root; standard error is dropped.
  Outcome lumora(const std::string& args) {
    const std::string command =
        std::string(LUMORA_BINARY) + " --root '" + root.string() + "' " + args + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    Outcome run{-1, {}};
    if (!pipe) return run;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
      run.out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }
  nlohmann::json json(const std::string& args) {
    Outcome run = lumora(args);
    EXPECT_EQ(run.status, 0) << args;
    return nlohmann::json::parse(run.out);
  }
  fs::path prefsFile() const {
    return root / "var/mobile/Library/Preferences/com.tarnwick.lumora.plist";
  }
  void writePrefs(const std::string& body) {
    fs::create_directories(prefsFile().parent_path());
    std::ofstream(prefsFile()) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                  "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                  "<plist version=\"1.0\"><dict>"
                               << body << "</dict></plist>\n";
  }
  fs::path base, root;
};

}  // namespace

TEST_F(ToolTest, PrefsListOnAnEmptyRootGivesTheRegisteredDefaults) {
  auto list = json("prefs list --json");
  ASSERT_EQ(list.size(), 68u);
  EXPECT_EQ(list["colorHeaderBanner"],
            (nlohmann::json{{"value", "dominant"}, {"kind", "string"}, {"source", "default"}}));
  EXPECT_EQ(list["colorHeaderLockscreen"]["value"], "stock");
  EXPECT_EQ(list["borderWidthLockscreen"]["value"], 2);
  EXPECT_EQ(list["borderWidthLockscreen"]["kind"], "integer");
  EXPECT_EQ(list["nameAsTitleBanner"]["value"], false);
  EXPECT_EQ(list["nameAsTitleBanner"]["kind"], "bool");
  EXPECT_TRUE(fs::is_directory(root));  // created on first use
}

TEST_F(ToolTest, LegacyFileFromAnotherProgramIsMigratedOnceAndKeptStable) {
  writePrefs(
      "<key>colorBackgroundBanner</key><true/>"
      "<key>colorPrimaryLabelBanner</key><integer>1</integer>"
      "<key>hideBackgroundLockscreen</key><true/>"
      "<key>colorBackgroundLockscreen</key><true/>"
      "<key>hideBackgroundWidget</key><false/>"
      "<key>borderLockscreen</key><string>top</string>"
      "<key>borderBanner</key><string>none</string>");
  auto list = json("prefs list --json");
  EXPECT_EQ(list["colorBackgroundBanner"]["value"], "dominant");
  EXPECT_EQ(list["colorPrimaryLabelBanner"]["value"], 1);  // an integer is not a boolean
  EXPECT_EQ(list["colorBackgroundLockscreen"]["value"], "#000000:0.00");
  EXPECT_FALSE(list.contains("hideBackgroundLockscreen"));
  EXPECT_EQ(list["hideBackgroundWidget"]["source"], "stored");  // NO: left in place
  EXPECT_EQ(list["colorBackgroundWidget"]["value"], "none");
  EXPECT_EQ(list["borderPositionLockscreen"]["value"], "top");
  EXPECT_EQ(list["borderColorLockscreen"]["value"], "dominant");
  EXPECT_FALSE(list.contains("borderLockscreen"));
  EXPECT_EQ(list["borderBanner"]["value"], "none");
  EXPECT_EQ(list["borderColorBanner"]["source"], "default");

  const auto migrated = fs::last_write_time(prefsFile());
  const std::string bytes = testing_support::readBytes(prefsFile());
  EXPECT_EQ(json("prefs list --json"), list);
  EXPECT_EQ(testing_support::readBytes(prefsFile()), bytes);
  EXPECT_EQ(fs::last_write_time(prefsFile()), migrated);
}

TEST_F(ToolTest, SetGetAndDeleteRoundTripWithInferredKinds) {
  EXPECT_EQ(lumora("prefs set borderWidthBanner 5").status, 0);
  EXPECT_EQ(lumora("prefs set nameAsTitleBanner true").status, 0);
  EXPECT_EQ(lumora("prefs set styleBanner classic").status, 0);
  EXPECT_EQ(json("prefs get borderWidthBanner --json"),
            (nlohmann::json{{"value", 5}, {"kind", "integer"}, {"source", "stored"}}));
  EXPECT_EQ(json("prefs get nameAsTitleBanner --json")["value"], true);
  EXPECT_EQ(lumora("prefs set styleLockscreen 12 --string").status, 0);
  EXPECT_EQ(json("prefs get styleLockscreen --json")["kind"], "string");
  EXPECT_EQ(lumora("prefs delete styleBanner").status, 0);
  EXPECT_EQ(json("prefs get styleBanner --json")["source"], "default");
  EXPECT_NE(lumora("prefs get noSuchKey --json").status, 0);
  EXPECT_NE(lumora("prefs set borderWidthBanner abc --int").status, 0);
  EXPECT_NE(lumora("prefs frobnicate").status, 0);
}

TEST_F(ToolTest, UnparseableFileIsReportedAndNeverOverwritten) {
  fs::create_directories(prefsFile().parent_path());
  std::ofstream(prefsFile()) << "this is not a property list";
  auto status = json("status --json");
  EXPECT_EQ(status["preferences"]["readable"], false);
  EXPECT_EQ(status["preferences"]["file"], prefsFile().string());
  EXPECT_NE(lumora("prefs set styleBanner classic").status, 0);
  EXPECT_NE(lumora("prefs delete styleBanner").status, 0);
  EXPECT_EQ(testing_support::readBytes(prefsFile()), "this is not a property list");
  EXPECT_EQ(json("prefs list --json")["styleBanner"]["source"], "default");
}

TEST_F(ToolTest, StatusReportsGatesGlobalsAndEveryRow) {
  auto status = json("status --json");
  EXPECT_EQ(status["gates"], (nlohmann::json{{"enabled", true}, {"enableWidgets", true}}));
  EXPECT_EQ(status["globals"]["colorCache"], true);
  EXPECT_EQ(status["darwinObservers"], (nlohmann::json{"com.tarnwick.lumora/testRegular",
                                                       "com.tarnwick.lumora/testLockscreen"}));
  ASSERT_EQ(status["hooks"].size(), 41u);
  EXPECT_EQ(status["hooks"][0], (nlohmann::json{{"routine", "widget"},
                                                {"class", "WGWidgetListItemViewController"},
                                                {"selector", "initWithWidgetIdentifier:"},
                                                {"kind", "replace"},
                                                {"installed", true},
                                                {"reason", nullptr}}));

  ASSERT_EQ(lumora("prefs set enableWidgets false").status, 0);
  status = json("status --json --absent CSCoverSheetViewController");
  for (auto& row : status["hooks"]) {
    if (row["routine"] == "widget")
      EXPECT_EQ(row["reason"], "gate closed");
    else if (row["class"] == "CSCoverSheetViewController")
      EXPECT_EQ(row["reason"], "class absent");
    else
      EXPECT_EQ(row["installed"], true);
  }
  EXPECT_EQ(status["globals"]["colorCache"], true);

  ASSERT_EQ(lumora("prefs set enabled false").status, 0);
  status = json("status --json");
  for (auto& row : status["hooks"]) EXPECT_EQ(row["installed"], false);
  EXPECT_EQ(status["globals"]["colorCache"], false);
  EXPECT_EQ(status["globals"]["preferences"], true);
  EXPECT_TRUE(status["darwinObservers"].empty());
  EXPECT_NE(lumora("status --absent NoSuchClass").status, 0);
}
