// UIColor and CGColor: components, named colours, HSB both ways.
#include <gtest/gtest.h>

#include <random>

#include "host/image_fixtures.h"
#include "host/quartz/cgcolor.h"
#include "host/uikit/colour.h"

using namespace host;
using rt::CGFloat;

namespace {

class Colours : public fixtures::BootedHost {
 protected:
  Class uiColor() const { return rt::objc_getClass("UIColor"); }
  std::array<CGFloat, 4> components(id colour) {
    Ref<> cg = rt::send(colour, sel::CGColor);
    const CGFloat* c = CGColorGetComponents(cg.get());
    return {c[0], c[1], c[2], c[3]};
  }
  std::array<CGFloat, 4> hsb(id colour) {
    std::array<CGFloat, 4> out{-1, -1, -1, -1};
    EXPECT_TRUE(rt::send(colour, sel::getHue_saturation_brightness_alpha, &out[0], &out[1], &out[2],
                         &out[3]));
    return out;
  }
};

TEST_F(Colours, HueSaturationBrightnessFollowTheHSVModel) {
  using A = std::array<CGFloat, 4>;
  EXPECT_EQ(hsb(UIColor::make(0.5, 0.5, 0.5, 0.3).get()), (A{0, 0, 0.5, 0.3}));
  EXPECT_EQ(hsb(UIColor::make(0, 0, 0, 1).get()), (A{0, 0, 0, 1}));  // black: saturation 0
  // Magenta-red hues wrap below 0 to just under 1.
  EXPECT_NEAR(hsb(UIColor::make(1, 0, 0.5, 1).get())[0], 1 - 30 / 360.0, 1e-15);
  // Null pointers are skipped; and back again, the same colour.
  EXPECT_TRUE(rt::send(UIColor::make(1, 0.5, 0, 1), sel::getHue_saturation_brightness_alpha,
                       nullptr, nullptr, nullptr, nullptr));
  std::mt19937 random(5);
  std::uniform_real_distribution<CGFloat> unit(0, 1);
  for (int n = 0; n < 500; ++n) {
    const CGFloat r = unit(random), g = unit(random), b = unit(random);
    const A h = hsb(UIColor::make(r, g, b, 0.5).get());
    const A back = components(
        rt::send(uiColor(), sel::colorWithHue_saturation_brightness_alpha, h[0], h[1], h[2], h[3])
            .get());
    EXPECT_NEAR(back[0], r, 1e-12);
    EXPECT_NEAR(back[1], g, 1e-12);
    EXPECT_NEAR(back[2], b, 1e-12);
    EXPECT_EQ(back[3], 0.5);
  }
}

class AbsentColours : public Colours {
  std::set<std::string> absent() const override { return {"UIColor"}; }
};

TEST_F(AbsentColours, AHostWithoutUIColorAnswersNil) {
  EXPECT_FALSE(rt::send(uiColor(), sel::colorWithRed_green_blue_alpha, 1.0, 0.0, 0.0, 1.0));
  EXPECT_FALSE(rt::send(uiColor(), sel::clearColor));
}

}  // namespace
