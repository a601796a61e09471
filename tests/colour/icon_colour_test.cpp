// The shared icon-colour lookup through the colour cache.
#include <gtest/gtest.h>

#include "colour/icon_colour.h"
#include "colour/image_colour.h"
#include "host/foundation/values.h"
#include "host/image_fixtures.h"
#include "host/uikit/colour.h"

using namespace lumora;
using fixtures::RGBA;

namespace {

class IconColour : public fixtures::BootedHost {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    cache = host::NSDictionary::make(true);
  }
  // A two-colour icon: red above, blue below.
  Ref<> icon(uint8_t blue = 255) {
    return fixtures::uiImage(
        fixtures::makeImage(180, 180,
                            [=](int, int y) {
                              return y < 100 ? RGBA{255, 0, 0, 255} : RGBA{0, 0, blue, 255};
                            }),
        3);
  }
  uint64_t entries() { return rt::send(cache, sel::count); }
  Ref<host::NSDictionary> cache;
};

TEST_F(IconColour, IdenticalPixelsShareOneEntryAndAHitAnalysesNothing) {
  Ref<> first = icon(), second = icon();
  Ref<> colour = lumoraCachedDominantColor(first.get(), cache.get());
  ASSERT_TRUE(colour);
  EXPECT_TRUE(rt::send(colour, sel::isEqual, lumoraDominantColor(first.get())));
  EXPECT_EQ(lumoraCachedDominantColor(second.get(), cache.get()), colour);
  EXPECT_EQ(entries(), 1u);
  EXPECT_EQ(lumoraIconKey(first.get()), lumoraIconKey(first.get()));  // formed once
  // A stored entry is served as it stands: a marker put in its place comes back for
  // both images, so neither is analysed again.
  Ref<> marker = host::UIColor::make(0.1, 0.2, 0.3, 1);
  rt::send(cache, sel::setObject_forKey, marker, lumoraIconKey(first.get()));
  EXPECT_EQ(lumoraCachedDominantColor(first.get(), cache.get()), marker);
  EXPECT_EQ(lumoraCachedDominantColor(second.get(), cache.get()), marker);
  // Other pixels get their own entry.
  lumoraCachedDominantColor(icon(200).get(), cache.get());
  EXPECT_EQ(entries(), 2u);
}

TEST_F(IconColour, NoPNGEncodingMeansNoLookupAtAll) {
  Ref<> notAnImage = host::NSStr("icon");
  EXPECT_FALSE(lumoraIconKey(notAnImage.get()));
  EXPECT_FALSE(lumoraCachedDominantColor(notAnImage.get(), cache.get()));
  EXPECT_FALSE(lumoraCachedDominantColor(nullptr, cache.get()));
  EXPECT_EQ(entries(), 0u);
}

}  // namespace
