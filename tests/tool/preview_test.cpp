// lumora preview end to end: the picture's size for each layout of screens, standard
// output, a setting changing pixels, and the refusals.
#include <cstring>

#include "host/quartz/cgimage.h"
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
  // The lockscreen, the home screen with the built-in scene's banner and the Today view
  // with its widgets, 24 points apart.
  const std::string png = testing_support::readBytes(file);
  EXPECT_EQ(pngSize(png), (std::pair<uint32_t, uint32_t>{1173, 812}));
  EXPECT_LT(png.size(), 1173u * 812u);  // compressed: far below 4 bytes a pixel
  // Light and dark side by side; standard output holds only the picture.
  Outcome both = lumora("preview --scale 1 --appearance both -o -");
  ASSERT_EQ(both.status, 0) << both.err;
  EXPECT_EQ(pngSize(both.out), (std::pair<uint32_t, uint32_t>{1173 * 2 + 24, 812}));
  // One surface alone, with 16 points of wallpaper around it, at scale 2.
  Outcome alone = lumora("preview --surface message --scale 2 -o -");
  ASSERT_EQ(alone.status, 0) << alone.err;
  EXPECT_EQ(pngSize(alone.out), (std::pair<uint32_t, uint32_t>{(359 + 32) * 2, (70 + 32) * 2}));
  // A widget alone: 359 x 150.
  Outcome widget = lumora("preview --surface weather --scale 1 -o -");
  ASSERT_EQ(widget.status, 0) << widget.err;
  EXPECT_EQ(pngSize(widget.out), (std::pair<uint32_t, uint32_t>{359 + 32, 150 + 32}));
  // A test notification on screen is a surface too.
  Outcome bulletin = lumora("preview --scene '" + std::string(LUMORA_SCENES) +
                            "/test-notifications.json' --at 1 --surface bulletin-1 --scale 1 -o -");
  ASSERT_EQ(bulletin.status, 0) << bulletin.err;
  EXPECT_EQ(pngSize(bulletin.out), (std::pair<uint32_t, uint32_t>{359 + 32, 70 + 32}));
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
    ASSERT_EQ(lumora(std::string("prefs set indicatorModernSizeBanner -- ") + size).status, 0);
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
  EXPECT_EQ(unknown.status, 1);
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
