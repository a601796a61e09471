// lumora preview end to end: the picture's size for each layout of screens, standard
// output, a setting changing pixels, and the refusals.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/quartz/image_codec.h"
#include "tool/tool_fixture.h"

namespace {

using PreviewToolTest = testing_support::ToolTest;
using testing_support::Outcome;

// The width and height a PNG's header states.
std::pair<uint32_t, uint32_t> pngSize(const std::string& bytes) {
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
  auto word = [&](size_t at) {
    return uint32_t{static_cast<uint8_t>(bytes[at])} << 24 |
           uint32_t{static_cast<uint8_t>(bytes[at + 1])} << 16 |
           uint32_t{static_cast<uint8_t>(bytes[at + 2])} << 8 | static_cast<uint8_t>(bytes[at + 3]);
  };
  return {word(16), word(20)};
}

}  // namespace

TEST_F(PreviewToolTest, ScreensSideBySideAtTheScaleAskedFor) {
  const auto file = root / "p.png";
  Outcome shown = lumora("preview --scale 1 -o '" + file.string() + "'");
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.out.find("wrote " + file.string()), std::string::npos);
  const std::string png = testing_support::readBytes(file);
  EXPECT_LT(png.size(), 1173u * 812u);  // compressed: far below 4 bytes a pixel
  const std::string bulletin =
      "--scene '" + std::string(LUMORA_SCENES) + "/test-notifications.json' --at 1 ";
  // The lockscreen, the home screen and the Today view, 24 points apart; light and dark
  // side by side; one surface (a banner, a widget, a test notification) with 16 points
  // of wallpaper around it. Standard output holds only the picture.
  struct Case {
    std::string args;
    uint32_t width, height;
  };
  const Case cases[] = {
      {"--scale 1 --appearance both", 1173 * 2 + 24, 812},
      {"--surface message --scale 2", (359 + 32) * 2, 239},
      {"--surface weather --scale 1", 359 + 32, 150 + 32},
      {bulletin + "--surface bulletin-1 --scale 1", 359 + 32, 120}};  // 119.5 points
  EXPECT_EQ(pngSize(png), (std::pair<uint32_t, uint32_t>{1173, 812}));
  for (const auto& c : cases) {
    Outcome out = lumora("preview " + c.args + " -o -");
    ASSERT_EQ(out.status, 0) << c.args << out.err;
    EXPECT_EQ(pngSize(out.out), (std::pair<uint32_t, uint32_t>{c.width, c.height})) << c.args;
  }
}

TEST_F(PreviewToolTest, ASettingChangesThePicture) {
  Outcome before = lumora("preview --surface message --scale 1 -o -");
  ASSERT_EQ(lumora("prefs set colorBackgroundBanner '#FF0000'").status, 0);
  Outcome after = lumora("preview --surface message --scale 1 -o -");
  ASSERT_EQ(after.status, 0) << after.err;
  EXPECT_NE(before.out, after.out);
  EXPECT_EQ(pngSize(before.out), pngSize(after.out));
  // A size no screen can show still gives the picture, and says which setting it is.
  for (const char* size : {"2147483647", "-2147483648", "4294967296"}) {
    ASSERT_EQ(lumora(std::string("prefs set --force indicatorModernSizeBanner -- ") + size).status,
              0);
    Outcome huge = lumora("preview --scale 1 -o -");
    ASSERT_EQ(huge.status, 0) << size << ": " << huge.err;
    EXPECT_EQ(pngSize(huge.out), (std::pair<uint32_t, uint32_t>{1173, 812}));
    EXPECT_NE(huge.err.find("the setting indicatorModernSizeBanner = " + std::string(size) +
                            " is beyond what a screen can show"),
              std::string::npos)
        << huge.err;
  }
}

TEST_F(PreviewToolTest, MistakesAreRefusedWithAMessage) {
  Outcome unknown = lumora("preview --surface nope -o -");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("no surface with the id \"nope\""), std::string::npos);
  EXPECT_NE(lumora("preview --scale 4 -o -").status, 0);
  Outcome scene = lumora("preview --scene '" + (root / "missing.json").string() + "' -o -");
  EXPECT_EQ(scene.status, 2);
  // A bare file name goes to the working folder.
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(root);
  Outcome bare = lumora("preview --scale 1");
  std::filesystem::current_path(before);
  EXPECT_EQ(bare.status, 0) << bare.err;
  EXPECT_TRUE(std::filesystem::is_regular_file(root / "lumora-preview.png"));
  Outcome unwritable = lumora("preview -o /proc/lumora.png");
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.err.find("cannot write the preview"), std::string::npos);
}

TEST_F(PreviewToolTest, TheScenesWallpaperCoversEveryScreen) {
  const auto scene = root.parent_path() / "wallpaper.json";
  testing_support::writeBytes(scene, R"({"device": {"wallpaper": {"colour": "#00CC00"}},
    "notifications": [{"id": "b", "title": "Hello"}]})");
  Outcome shown = lumora("preview --scene '" + scene.string() + "' --scale 1 -o -");
  ASSERT_EQ(shown.status, 0) << shown.err;
  const rt::Ref<host::CGImage> image =
      host::decodePNG({reinterpret_cast<const uint8_t*>(shown.out.data()), shown.out.size()}).image;
  ASSERT_TRUE(image);
  // Below the clock on the lockscreen, and at the foot of the home screen.
  for (const int x : {10, 375 + 24 + 10}) EXPECT_EQ(image->row(800)[x], 0xff00cc00u) << x;
}

TEST_F(PreviewToolTest, AnOutputThatIsNoRegularFileIsWrittenThroughOrRefusedNeverReplaced) {
  namespace fs = std::filesystem;
  const fs::path dir = base / "out";
  fs::create_directories(dir);
  auto preview = [&](const std::string& output) {
    return lumora("preview --surface message --scale 1 -o '" + output + "'");
  };
  // Names of folders say so, and what to give instead.
  for (const std::string& output : {dir.string(), dir.string() + "/", std::string(".")}) {
    Outcome folder = preview(output);
    EXPECT_EQ(folder.status, 1) << output;
    EXPECT_NE(folder.err.find(output + " names a folder, not a file; name a file in it, such as "),
              std::string::npos)
        << folder.err;
  }
  Outcome empty = preview("");
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(empty.err.find("the output file name is empty"), std::string::npos) << empty.err;

  // A FIFO nobody reads is refused without waiting.
  const fs::path fifo = dir / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  Outcome unread = preview(fifo.string());
  EXPECT_EQ(unread.status, 1);
  EXPECT_NE(unread.err.find("a FIFO (named pipe) that no program is reading"), std::string::npos);
}

TEST_F(PreviewToolTest, AWallpaperThatCannotBeDecodedIsSaid) {
  const auto scene = base / "wallpaper.json";
  testing_support::writeBytes(base / "broken.png", "not a picture");
  testing_support::writeBytes(scene, R"({"device": {"wallpaper": {"file": "broken.png"}}})");
  Outcome shown = lumora("preview --scene '" + scene.string() + "' --scale 1 -o -");
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.err.find("device.wallpaper: broken.png cannot be drawn"), std::string::npos)
      << shown.err;
  EXPECT_NE(shown.err.find("the built-in wallpaper is drawn instead"), std::string::npos);
}
