// A styled widget as a person sees it: a header in the icon's dominant colour over a
// see-through background, custom round corners and a border along the trailing edge.
#include <gtest/gtest.h>

#include "host/render/render.h"
#include "host/scene/scene_fixture.h"
#include "support/golden.h"

using WidgetGoldenTest = testing_support::SceneFixture;

TEST_F(WidgetGoldenTest, DominantHeaderTransparentBackgroundRoundCornersTrailingBorder) {
  const auto surfaces = build(R"({
    "preferences": {"colorHeaderWidget": "dominant", "colorBackgroundWidget": "#000000:0.00",
                    "borderColorWidget": "dominant", "borderPositionWidget": "right",
                    "borderWidthWidget": 4, "roundedCornersWidget": "custom",
                    "customCornerRadiusWidget": 22},
    "widgets": [{"id": "w", "name": "Weather", "contentHeight": 90,
                 "icon": {"gradient": ["#6FC8FF", "#1F7BE0"], "glyph": "W"}}]})");
  host::scene::runClock(std::nullopt);
  const auto* platter =
      host::UIView::cls.cast(rt::send(surfaces.front().controller, sel::view).get());
  ASSERT_TRUE(platter);
  host::RenderedImage r = host::renderOnWallpaper(*platter, 1, {}, 12);
  ASSERT_TRUE(r.image) << r.error;
  EXPECT_TRUE(testing_support::matchesGolden(*r.image, "styled_widget", 2));
}
