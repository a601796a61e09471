// The `lumora` tool end to end: the JSON shapes scripts rely on, migration of a file
// written by another program, errors for bad input, and files and text a hostile but
// fair user could hand it.
#include <cairo.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <sstream>

#include "tool/tool_fixture.h"

namespace fs = std::filesystem;

using testing_support::Outcome;
using testing_support::ToolTest;

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

// The migration's rules are the settings' tests'; here, that the tool runs it once.
TEST_F(ToolTest, LegacyFileFromAnotherProgramIsMigratedOnceAndKeptStable) {
  writePrefs(
      "<key>colorBackgroundBanner</key><true/>"
      "<key>colorPrimaryLabelBanner</key><integer>1</integer>"
      "<key>borderLockscreen</key><string>top</string>");
  auto list = json("prefs list --json");
  EXPECT_EQ(list["colorBackgroundBanner"]["value"], "dominant");
  EXPECT_EQ(list["colorPrimaryLabelBanner"]["value"], 1);  // an integer is not a boolean
  EXPECT_EQ(list["borderPositionLockscreen"]["value"], "top");
  EXPECT_FALSE(list.contains("borderLockscreen"));
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
  EXPECT_EQ(lumora("prefs set styleLockscreen 12 --string --force").status, 0);
  EXPECT_EQ(json("prefs get styleLockscreen --json")["kind"], "string");
  EXPECT_EQ(lumora("prefs delete styleBanner").status, 0);
  EXPECT_EQ(json("prefs get styleBanner --json")["source"], "default");
  EXPECT_NE(lumora("prefs get noSuchKey --json").status, 0);
  EXPECT_NE(lumora("prefs set borderWidthBanner abc --int").status, 0);
  EXPECT_NE(lumora("prefs frobnicate").status, 0);
}

// The loader's tests say which rows a gate or an absent class skips; here, the report.
TEST_F(ToolTest, StatusReportsEachRowWithItsReasonAndTheGlobals) {
  auto status = json("status --json");
  EXPECT_EQ(status["gates"], (nlohmann::json{{"enabled", true}, {"enableWidgets", true}}));
  EXPECT_EQ(status["darwinObservers"], (nlohmann::json{"com.tarnwick.lumora/testRegular",
                                                       "com.tarnwick.lumora/testLockscreen"}));
  EXPECT_EQ(status["hooks"][0], (nlohmann::json{{"routine", "widget"},
                                                {"class", "WGWidgetListItemViewController"},
                                                {"selector", "initWithWidgetIdentifier:"},
                                                {"kind", "replace"},
                                                {"installed", true},
                                                {"reason", nullptr}}));
  ASSERT_EQ(lumora("prefs set enableWidgets false").status, 0);
  status = json("status --json --absent CSCoverSheetViewController");
  std::set<std::string> reasons;
  for (auto& row : status["hooks"])
    if (!row["installed"])
      reasons.insert(row["routine"].get<std::string>() + ": " + row["reason"].get<std::string>());
  EXPECT_EQ(reasons, (std::set<std::string>{"widget: gate closed", "media: class absent"}));
  EXPECT_EQ(status["globals"]["colorCache"], true);
  const Outcome text = lumora("status --absent CSCoverSheetViewController");
  EXPECT_NE(text.out.find("skipped: class absent"), std::string::npos) << text.out;
  EXPECT_NE(lumora("status --absent NoSuchClass").status, 0);
}

// ---- Hostile files and text

TEST_F(ToolTest, TextThatCannotBeReadBackIsRefusedAndNoSettingIsLost) {
  ASSERT_EQ(lumora("prefs set enabled false").status, 0);
  Outcome value = lumora("prefs set styleBanner \"$(printf '\\351')\"");
  EXPECT_EQ(value.status, 1);
  EXPECT_NE(value.err.find("byte 1 (0xE9) is not valid UTF-8"), std::string::npos) << value.err;
  Outcome key = lumora("prefs set \"$(printf 'caf\\351')\" x");
  EXPECT_EQ(key.status, 1);
  EXPECT_NE(key.err.find("the key \"caf\\xE9\""), std::string::npos) << key.err;
  EXPECT_EQ(json("prefs get enabled --json")["value"], false);
  EXPECT_EQ(json("prefs list --json")["styleBanner"]["source"], "default");
}

TEST_F(ToolTest, FileWithTextTheStoreCannotWriteIsReadAndNeverRewritten) {
  // A binary file whose string is not UTF-8, and a legacy key the migration would move.
  plist_t dict = plist_new_dict();
  plist_dict_set_item(dict, "styleBanner", plist_new_string("cafX"));
  plist_dict_set_item(dict, "borderBanner", plist_new_string("top"));
  testing_support::writePlist(prefsFile(), dict, testing_support::Format::Binary);
  std::string bytes = testing_support::readBytes(prefsFile());
  bytes[bytes.find("cafX") + 3] = '\xe9';
  testing_support::writeBytes(prefsFile(), bytes);

  Outcome list = lumora("prefs list --json");
  ASSERT_EQ(list.status, 0) << list.err;
  auto all = nlohmann::json::parse(list.out);  // valid UTF-8, or this throws
  EXPECT_EQ(all["styleBanner"]["value"], "caf\xef\xbf\xbd");
  EXPECT_EQ(all["borderBanner"]["value"], "top");  // not migrated
  EXPECT_NE(list.err.find("\"styleBanner\" held bytes that are not valid UTF-8"), std::string::npos)
      << list.err;
  EXPECT_NE(list.err.find("cannot be written back"), std::string::npos) << list.err;
  EXPECT_EQ(testing_support::readBytes(prefsFile()), bytes);

  // An XML string with a NUL, which libplist would read past the end of when rewriting.
  const std::string xml =
      "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>style"
      "Lockscreen</key><string>a" +
      std::string(1, '\0') + "b</string><key>borderBanner</key><string>top</string></dict></plist>";
  testing_support::writeBytes(prefsFile(), xml);
  auto status = json("status --json");
  EXPECT_EQ(status["preferences"]["readable"], true);
  EXPECT_EQ(status["preferences"]["unwritable"],
            "the value of \"styleLockscreen\": byte 2 is a NUL");
  EXPECT_NE(lumora("status").out.find("the migration leaves the file as it is"), std::string::npos);
  EXPECT_EQ(testing_support::readBytes(prefsFile()), xml);

  // Deleting the value that holds it lets the migration run again.
  ASSERT_EQ(lumora("prefs delete styleLockscreen").status, 0);
  EXPECT_EQ(json("prefs get borderPositionBanner --json")["value"], "top");
}

// The file reader's tests hold what it refuses; here, that the tool says so and stops.
TEST_F(ToolTest, AFileThatCannotBeReadIsNamedWithWhatToGiveInstead) {
  fs::create_directories(prefsFile().parent_path());
  ASSERT_EQ(::mkfifo(prefsFile().c_str(), 0600), 0);
  Outcome list = lumora("prefs list --json");
  EXPECT_EQ(list.status, 0);
  EXPECT_NE(list.err.find("it is a FIFO (named pipe), not a regular file"), std::string::npos)
      << list.err;
  Outcome memory = run("colour --image /proc/self/mem");
  EXPECT_EQ(memory.status, 1);
  EXPECT_EQ(memory.err,
            "lumora: cannot read /proc/self/mem: Input/output error; give a PNG or JPEG image "
            "file\n");
}

TEST_F(ToolTest, AnImageWithoutADominantColourSaysWhy) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 30, 30);
  const fs::path clear = base / "clear.png", flat = base / "flat.png";
  cairo_surface_write_to_png(surface, clear.c_str());
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 0.5, 0.3, 0.1);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_write_to_png(surface, flat.c_str());
  cairo_surface_destroy(surface);
  EXPECT_NE(run("colour --image '" + flat.string() + "'").out.find("make one colour cluster"),
            std::string::npos);
  EXPECT_NE(run("colour --image '" + clear.string() + "'").out.find("no pixel is at least half"),
            std::string::npos);
}

TEST_F(ToolTest, JsonOutputIsValidUtf8WhateverTheInput) {
  Outcome colour = run("colour \"$(printf '#\\377')\" --json");
  ASSERT_EQ(colour.status, 0) << colour.err;
  EXPECT_EQ(nlohmann::json::parse(colour.out)["input"], "#\xef\xbf\xbd");
  EXPECT_NE(colour.err.find("\"input\" held bytes"), std::string::npos) << colour.err;
}

TEST_F(ToolTest, TextListingFitsTheTerminalAndShowsDataAsItsSize) {
  plist_t dict = plist_new_dict();
  plist_dict_set_item(dict, "blob", plist_new_data(std::string(1000000, '\1').data(), 1000000));
  plist_dict_set_item(dict, "styleBanner", plist_new_string(std::string(3000, 'x').c_str()));
  plist_dict_set_item(dict, "escape", plist_new_string("red\x1b[31m\nnext"));
  testing_support::writePlist(prefsFile(), dict, testing_support::Format::Binary);

  Outcome list = run("--root '" + root.string() + "' prefs list | cat");  // not a terminal: 80
  ASSERT_EQ(list.status, 0);
  EXPECT_LT(list.out.size(), 10000u);
  std::istringstream lines(list.out);
  for (std::string line; std::getline(lines, line);) {
    size_t characters = 0;
    for (char c : line) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    EXPECT_LE(characters, 80u) << line;
    EXPECT_EQ(line.find('\x1b'), std::string::npos) << line;
    if (line.rfind("blob ", 0) == 0) {
      EXPECT_NE(line.find(" 1000000 bytes "), std::string::npos);
    }
    if (line.rfind("styleBanner ", 0) == 0) {
      EXPECT_NE(line.find("xxx… "), std::string::npos);
    }
    if (line.rfind("escape ", 0) == 0) {
      EXPECT_NE(line.find("red\\x1B[31m\\nnext"), std::string::npos);
    }
  }
  EXPECT_EQ(lumora("prefs get blob").out, "1000000 bytes\n");
}

TEST_F(ToolTest, MistakesExitTwoNamingTheMistakeWithTheUsageLine) {
  for (const char* args :
       {"dump --at nan", "dump --at inf", "dump --at -1", "preview --scale 7 -o -",
        "preview --scale abc -o -", "prefs get noSuchKey", "prefs set", "frobnicate",
        "prefs set borderWidthBanner abc --int", "colour", "notify x --wait nan"}) {
    Outcome outcome = lumora(args);
    EXPECT_EQ(outcome.status, 2) << args << "\n" << outcome.err;
    EXPECT_EQ(outcome.out, "") << args;
  }
  Outcome unknown = lumora("frobnicate");
  EXPECT_NE(unknown.err.find("\"frobnicate\" is not a command of lumora;"), std::string::npos)
      << unknown.err;
  for (const char* command : {"prefs", "status", "colour"})
    EXPECT_NE(unknown.err.find(std::string("\n  ") + command + " "), std::string::npos);
  Outcome sub = lumora("prefs frobnicate");
  EXPECT_NE(sub.err.find("\"frobnicate\" is not a command of lumora prefs;"), std::string::npos);
  EXPECT_NE(sub.err.find("\n  delete "), std::string::npos) << sub.err;
  Outcome empty = run("--root '' status");
  EXPECT_EQ(empty.status, 2);
  EXPECT_NE(empty.err.find("--root needs a folder"), std::string::npos) << empty.err;
  Outcome file = run("--root /dev/null status");
  EXPECT_EQ(file.status, 1);
  EXPECT_NE(file.err.find("cannot use device root /dev/null"), std::string::npos) << file.err;
  Outcome scale = lumora("preview --scale abc -o -");
  EXPECT_NE(scale.err.find("\"abc\" is not a scale the preview is drawn at; give 1, 2 or 3\n"
                           "usage: lumora preview [OPTIONS]"),
            std::string::npos)
      << scale.err;
  EXPECT_NE(lumora("prefs set K").err.find("usage: lumora prefs set [OPTIONS] KEY VALUE"),
            std::string::npos);
  // Bytes that are not UTF-8, from an argument or a file name, are shown escaped.
  for (const char* args :
       {"preview --scale \"$(printf '\\377')\" -o -", "dump --scene \"$(printf 'x\\377.json')\""}) {
    Outcome raw = lumora(args);
    EXPECT_EQ(raw.status, 2) << args;
    EXPECT_NE(raw.err.find("\\xFF"), std::string::npos) << raw.err;
    EXPECT_EQ(raw.err.find('\xff'), std::string::npos) << args;
  }

  // --root before or after the command, at any depth.
  const std::string at = std::string(1, '\'').append(root.string()).append(1, '\'');
  EXPECT_EQ(run("prefs set styleBanner classic --root " + at).status, 0);
  EXPECT_EQ(run("prefs --root " + at + " get styleBanner").out, "classic\n");
  EXPECT_EQ(run("prefs get --root " + at + " styleBanner --json").status, 0);
  EXPECT_EQ(json("prefs get styleBanner --json")["value"], "classic");
  EXPECT_EQ(run("status --json --root " + at).status, 0);
}

TEST_F(ToolTest, AWriteToStandardOutputThatFailsIsAFailure) {
  for (const char* args : {"dump", "prefs list --json", "preview --scale 1 -o -", "status"}) {
    Outcome full = lumora(std::string(args) + " >/dev/full");
    EXPECT_EQ(full.status, 1) << args;
    EXPECT_NE(full.err.find("cannot write to standard output"), std::string::npos)
        << args << ": " << full.err;
  }
  // A closed pipe with SIGPIPE ignored: the writer gets EPIPE. The picture is larger
  // than a pipe holds, so it is written after the reader has gone.
  const std::string script = "trap '' PIPE; { " + std::string(LUMORA_BINARY) + " --root '" +
                             root.string() + "' preview --scale 3 -o - 2>'" +
                             (base / "pipe.err").string() + "'; echo \\$? >'" +
                             (base / "pipe.status").string() + "'; } | true";
  ASSERT_EQ(std::system(("sh -c \"" + script + "\"").c_str()), 0);
  EXPECT_EQ(testing_support::readBytes(base / "pipe.status"), "1\n");
  EXPECT_NE(testing_support::readBytes(base / "pipe.err").find("Broken pipe"), std::string::npos);
}

TEST_F(ToolTest, ScratchFoldersGoWhenTheirProcessIsGoneAndNoOthers) {
  ASSERT_EQ(lumora("prefs set styleBanner classic").status, 0);  // copied into the scratch
  // A folder whose lock nobody holds, and one without a lock made just now (its maker
  // may not have locked it yet); a folder of another name is never touched.
  const fs::path stale = tmpdir / "lumora-dump-k1Ll3d", fresh = tmpdir / "lumora-dump-n3wOne",
                 other = tmpdir / "lumora-other";
  testing_support::writeBytes(stale / ".lumora-scratch.lock", "");
  testing_support::writeBytes(stale / "var/settings", "copy");
  testing_support::writeBytes(fresh / "x", "");
  testing_support::writeBytes(other / "x", "");
  ASSERT_EQ(lumora("dump >/dev/null").status, 0);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(fresh));
  EXPECT_TRUE(fs::exists(other));
}
