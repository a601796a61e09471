// Colour strings, brightness and darkness.
#include <gtest/gtest.h>

#include <optional>

#include "colour/colour_string.h"
#include "host/foundation/values.h"
#include "host/image_fixtures.h"
#include "host/quartz/cgcolor.h"
#include "host/uikit/colour.h"

using lumora::lumoraColorBrightness;
using lumora::lumoraColorFromHexString;
using lumora::lumoraIsDarkColor;
using Components = std::array<double, 4>;
using rt::Ref;

namespace {

class ColourStrings : public fixtures::BootedHost {
 protected:
  // The components of the colour a text names, or nothing.
  std::optional<Components> parse(const char* text) {
    Ref<> colour = lumoraColorFromHexString(text ? host::NSStr(text).get() : nullptr);
    if (!colour) return std::nullopt;
    Ref<> cg = rt::send(colour, sel::CGColor);
    const double* c = host::CGColorGetComponents(cg.get());
    return Components{c[0], c[1], c[2], c[3]};
  }
  Ref<> grey(double w) { return host::UIColor::make(w, w, w, 1); }
};

TEST_F(ColourStrings, SixDigitsAndAnOptionalAlpha) {
  EXPECT_EQ(parse("#FF8000"), (Components{1, 128 / 255.0, 0, 1}));
  EXPECT_EQ(parse("#ff8000:0.50"), (Components{1, 128 / 255.0, 0, 0.5}));
  EXPECT_EQ(parse("#000000:0.00"), (Components{0, 0, 0, 0}));
  // The alpha is read as a 32-bit real and widened, and not clamped.
  EXPECT_EQ(parse("#FF0000:0.3"), (Components{1, 0, 0, static_cast<double>(0.3f)}));
  EXPECT_EQ(parse("#FF0000:2"), (Components{1, 0, 0, 2}));
  // The digits as the host's scanner reads them (its own test holds the rest).
  EXPECT_EQ(parse("#GG0000"), (Components{0, 0, 0, 1}));  // no digit: opaque black
  EXPECT_EQ(parse("#FF0000: \t1.5e-1x"), (Components{1, 0, 0, static_cast<double>(0.15f)}));
}

TEST_F(ColourStrings, TextWithoutTheMarkFirstNamesNoColour) {
  for (const char* text : {"dominant", "none", "stock", "FF8000", " #FF8000", "", "a#FF8000"})
    EXPECT_EQ(parse(text), std::nullopt) << '"' << text << '"';
  EXPECT_EQ(parse(nullptr), std::nullopt);
  EXPECT_FALSE(lumoraColorFromHexString(host::NSNumber::numberWithInteger(1).get()));
}

TEST_F(ColourStrings, TheFirstColonStartsTheAlpha) {
  EXPECT_EQ(parse("#FF0000:"), (Components{1, 0, 0, 0}));
  EXPECT_EQ(parse("#FF0000:abc"), (Components{1, 0, 0, 0}));
  EXPECT_EQ(parse("#FF0000:0.25:0.75"), (Components{1, 0, 0, 0.25}));
  EXPECT_EQ(parse("#:0.5"), (Components{0, 0, 0, 0.5}));
  // A "#" after the colon does not matter; one before the first character does.
  EXPECT_EQ(parse("#00FF00:#1"), (Components{0, 1, 0, 0}));
}

TEST_F(ColourStrings, BrightnessWeighsTheChannelsAndDarknessIsBelowSixTenths) {
  EXPECT_EQ(lumoraColorBrightness(host::UIColor::make(1, 1, 1, 0).get()), 1);  // alpha aside
  EXPECT_DOUBLE_EQ(lumoraColorBrightness(host::UIColor::make(1, 1, 0, 1).get()), 0.886);
  EXPECT_FALSE(lumoraIsDarkColor(host::UIColor::make(1, 1, 0, 1).get()));
  EXPECT_TRUE(lumoraIsDarkColor(host::UIColor::make(0, 1, 0, 1).get()));
  EXPECT_FALSE(lumoraIsDarkColor(grey(0.6).get()));
  EXPECT_TRUE(lumoraIsDarkColor(grey(0.599).get()));
  EXPECT_EQ(lumoraColorBrightness(nullptr), 0);
  EXPECT_FALSE(lumoraIsDarkColor(nullptr));
  // From a colour string, as the passes use them.
  Ref<> orange = lumoraColorFromHexString(host::NSStr("#FF8000").get());
  EXPECT_DOUBLE_EQ(lumoraColorBrightness(orange.get()), (299 + 128 / 255.0 * 587) / 1000);
  EXPECT_TRUE(lumoraIsDarkColor(orange.get()));  // 0.594
}

}  // namespace
