// What a person sees of each style: the preview of the example scenes that between them
// show every style, at scale 1, against reference images. A one-pixel shift of an
// indicator changes whole rows of pixels by far more than the tolerance.
#include "host/quartz/image_codec.h"
#include "support/golden.h"
#include "tool/tool_fixture.h"

namespace {

class GoldenSceneTest : public testing_support::ToolTest,
                        public ::testing::WithParamInterface<const char*> {};

}  // namespace

TEST_P(GoldenSceneTest, PreviewMatchesItsReference) {
  const std::string name = GetParam();
  const std::string scene = std::string(LUMORA_SCENES) + "/" + name + ".json";
  testing_support::Outcome shown = lumora("preview --scene '" + scene + "' --scale 1 -o -");
  ASSERT_EQ(shown.status, 0) << shown.err;
  const rt::Ref<host::CGImage> image = testing_support::decodedPNG(shown.out);
  ASSERT_TRUE(image);
  EXPECT_TRUE(testing_support::matchesGolden(*image, "scene_" + name, 2));
}

// Classic with a gradient header and a dot; modern with a contact picture and its badge,
// a dot, a triangle and a line; right to left; a see-through lockscreen with a hidden
// stack, and a round banner with its shadow and a border on one edge.
INSTANTIATE_TEST_SUITE_P(Styles, GoldenSceneTest,
                         ::testing::Values("classic", "modern", "modern-shapes", "rtl-modern",
                                           "see-through"),
                         [](const auto& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });
