// The classic and modern style stages: header colour and gradient, the indicators with
// their geometry in both layout directions, icons, symbols and contact pictures. (The
// example scenes' reference images show the rest: the classic dot and icon, the modern
// contact picture ringed with its badge, right to left.)
#include "host/quartz/image_codec.h"
#include "notification_fixture.h"
#include "notifications/system_selectors.h"

using rt::CGFloat;
using rt::CGRect;
using rt::CGRectMake;
using rt::id;
using rt::Ref;

namespace {

class StyleTest : public testing_support::NotificationFixture {
 protected:
  Ref<> indicator() { return rt::send(card, sel::colorIndicator); }
  Ref<> image() { return rt::send(card, sel::imageIndicator); }
  Ref<> iconButton() { return rt::send(rt::send(header, sel::iconButtons), sel::firstObject); }
  static CGFloat radius(id view) { return rt::send(rt::send(view, sel::layer), sel::cornerRadius); }
  // The points of the colour indicator's mask, none without a mask.
  std::vector<rt::CGPoint> maskPoints() {
    std::vector<rt::CGPoint> points;
    Ref<> mask = rt::send(rt::send(indicator(), sel::layer), sel::mask);
    if (const auto* path = host::CGPath::cls.cast(rt::send(mask, sel::path).get()))
      for (const auto& element : path->elements()) points.push_back(element.point);
    return points;
  }
};

}  // namespace

// The dot and the icon are in the classic scene's reference image.
TEST_F(StyleTest, ClassicIndicatorShowsTheTriangleMaskedAndHidesForNone) {
  boot();
  set("styleBanner", "classic");
  set("indicatorClassicBanner", "triangle");
  set("indicatorClassicColorBanner", "#FF0000");
  banner();
  EXPECT_FALSE(rt::send(indicator(), sel::isHidden));
  EXPECT_EQ(rt::send(indicator(), sel::frame), CGRectMake(14.5, 14.5, 12, 12));
  EXPECT_EQ(maskPoints(), (std::vector<rt::CGPoint>{{0, 0}, {12, 6}, {0, 12}, {0, 0}}));
  EXPECT_EQ(rgba(rt::send(indicator(), sel::backgroundColor).get()),
            (std::array<CGFloat, 4>{1, 0, 0, 1}));
  EXPECT_EQ(rt::send(iconButton(), sel::alpha), 0);
  set("indicatorClassicBanner", "icon");
  relayout();
  EXPECT_EQ(maskPoints(), std::vector<rt::CGPoint>{});
  EXPECT_EQ(rt::send(iconButton(), sel::alpha), 1);
  set("indicatorClassicBanner", "none");
  relayout();
  EXPECT_TRUE(rt::send(indicator(), sel::isHidden));
  EXPECT_EQ(rt::send(iconButton(), sel::alpha), 0);
  // The header is shown in the classic style, and moved into the background view.
  EXPECT_FALSE(rt::send(key(header.get(), "_titleLabel"), sel::isHidden));
  EXPECT_EQ(rt::send(header, sel::superview), rt::send(card, sel::lumoraBackground));
}

TEST_F(StyleTest, AClassicGradientRunsColourLighterColourAndCoversTheHeaderLater) {
  boot();
  set("styleBanner", "classic");
  set("gradientHeaderBanner", "center");
  set("colorHeaderTitleBanner", "dominant");
  banner();
  Ref<> colour = rt::send(header, sel::backgroundColor);
  EXPECT_EQ(rgba(colour.get())[3], 0.8);  // D at 0.8
  Ref<> gradient =
      rt::send(rt::send(rt::send(header, sel::layer), sel::sublayers), sel::firstObject);
  Ref<> colours = rt::send(gradient, sel::colors);
  ASSERT_EQ(rt::send(colours, sel::count), 3u);
  Ref<> cg = rt::send(colour, sel::CGColor);
  EXPECT_TRUE(rt::send(rt::send(colours, sel::firstObject), sel::isEqual, cg));
  EXPECT_FALSE(rt::send(rt::send(colours, sel::objectAtIndex, uint64_t{1}), sel::isEqual, cg));
  EXPECT_TRUE(rt::send(rt::send(colours, sel::lastObject), sel::isEqual, cg));
  // A dark header gives a white title.
  EXPECT_EQ(rgba(rt::send(key(header.get(), "_titleLabel"), sel::textColor).get())[0], 1);
  EXPECT_EQ(rt::send(gradient, sel::frame), rt::CGRectZero);
  host::main_queue::advance(150'000'000);
  EXPECT_EQ(rt::send(gradient, sel::frame), rt::send(header, sel::bounds));
  // "stock" names no colour: no colour, no gradient, yet the header moves.
  set("colorHeaderBanner", "stock");
  relayout();
  EXPECT_EQ(rt::send(header, sel::backgroundColor), nullptr);
  EXPECT_EQ(rt::send(gradient, sel::colors), nullptr);
  EXPECT_EQ(rt::send(header, sel::superview), rt::send(card, sel::lumoraBackground));
  // A fixed colour: light on the left, light on the right, or flat.
  set("colorHeaderBanner", "#336699");
  const struct {
    const char* gradient;
    uint64_t count;
    int lighter;  // the index of the lighter colour
  } rows[] = {{"ltr", 2, 0}, {"rtl", 2, 1}, {"no", 0, -1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.gradient);
    set("gradientHeaderBanner", row.gradient);
    relayout();
    Ref<> flat = rt::send(rt::send(header, sel::backgroundColor), sel::CGColor);
    ASSERT_NE(flat, nullptr);
    Ref<> list = rt::send(gradient, sel::colors);
    ASSERT_EQ(rt::send(list, sel::count), row.count);
    for (uint64_t i = 0; i < row.count; ++i)
      EXPECT_EQ(rt::send(rt::send(list, sel::objectAtIndex, i), sel::isEqual, flat),
                static_cast<int>(i) != row.lighter)
          << i;
  }
}

TEST_F(StyleTest, ModernDotTriangleAndLineInBothDirections) {
  // The leading edge: the left, or the right in a right-to-left layout (359 wide).
  for (const bool rtl : {false, true}) {
    SCOPED_TRACE(rtl ? "right to left" : "left to right");
    rtl ? reboot(rightToLeft()) : boot();
    set("indicatorModernBanner", "dot");
    set("indicatorModernSizeBanner", int64_t{33});
    banner();
    EXPECT_TRUE(rt::send(key(header.get(), "_titleLabel"), sel::isHidden));  // header hidden
    // Centred on the card's height, whatever the host makes it.
    const CGFloat h = rt::send(card, sel::frame).size.height;
    const CGRect square = CGRectMake(rtl ? 323 : 20, (h - 16) / 2, 16, 16);
    EXPECT_EQ(rt::send(indicator(), sel::frame), square);
    EXPECT_EQ(radius(indicator().get()), 8);
    set("indicatorModernBanner", "triangle");
    relayout();
    EXPECT_EQ(rt::send(indicator(), sel::frame), square);
    EXPECT_EQ(radius(indicator().get()), 0);
    EXPECT_EQ(maskPoints(), (std::vector<rt::CGPoint>{{0, 0}, {16, 8}, {0, 16}, {0, 0}}));
    set("indicatorModernBanner", "line");
    set("indicatorModernColorBanner", "#FF0000");
    relayout();
    EXPECT_EQ(maskPoints(), std::vector<rt::CGPoint>{});
    EXPECT_EQ(rt::send(indicator(), sel::frame), CGRectMake(rtl ? 336 : 20, 20, 3, h - 40));
    EXPECT_EQ(radius(indicator().get()), 1.5);
    // "none" keeps the indicator's last colour.
    Ref<> red = rt::send(indicator(), sel::backgroundColor);
    set("indicatorModernColorBanner", "none");
    relayout();
    EXPECT_EQ(rt::send(indicator(), sel::backgroundColor), red);
  }
}

TEST_F(StyleTest, TheIconCornerTableClampsToHalfTheSize) {
  boot();
  set("indicatorRoundedCornerBanner", "custom");
  set("indicatorCustomRoundedCornerBanner", int64_t{40});
  banner();
  EXPECT_EQ(rt::send(image(), sel::frame),
            CGRectMake(20, (rt::send(card, sel::frame).size.height - 32) / 2, 32, 32));
  EXPECT_EQ(radius(image().get()), 16);
  EXPECT_TRUE(rt::send(image(), sel::clipsToBounds));
  const struct {
    const char* corner;
    int64_t custom;
    CGFloat radius;
  } rows[] = {{"custom", 5, 5}, {"round", 5, 16}, {"none", 5, 0}, {"other", 5, 13}};
  for (const auto& row : rows) {
    set("indicatorRoundedCornerBanner", row.corner);
    set("indicatorCustomRoundedCornerBanner", row.custom);
    relayout();
    EXPECT_EQ(radius(image().get()), row.radius) << row.corner;
  }
}

TEST_F(StyleTest, SymbolsForSystemSectionsAndContactPicturesForMessages) {
  boot();
  installDoNotDisturb();
  host::installApp(
      {lumora::kSmartChargingSection, "Battery", "System", {}, false, false, false, nullptr});
  // The attachment's symbol in the label colour, and no thumbnail.
  for (const char* section : {lumora::kDoNotDisturbSection, lumora::kSmartChargingSection}) {
    SCOPED_TRACE(section);
    host::NotificationFields fields;
    fields.section = section;
    fields.title = "Focus";
    fields.attachmentImage =
        rt::send(cls::UIImage, sel::systemImageNamed, host::NSStr("bell.fill"));
    fields.thumbnail = picture(0xff00aa00, 90);
    banner(host::NCNotificationRequest::make(fields));
    const auto* symbol = host::UIImage::cls.cast(rt::send(image(), sel::image).get());
    ASSERT_NE(symbol, nullptr);
    EXPECT_EQ(symbol->origin().name, "bell.fill");
    EXPECT_EQ(rgba(rt::send(image(), sel::tintColor).get()),
              rgba(rt::send(cls::UIColor, sel::labelColor).get()));
    EXPECT_EQ(rt::send(key(content.get(), "_thumbnailImageView"), sel::alpha), 0);
  }

  host::installApp(
      {"com.apple.MobileSMS", "Messages", "System", {}, false, false, false, picture(0xff22cc44)});
  std::vector<uint32_t> face(90 * 90, 0xffcc8844);
  host::addContact("ada", host::encodePNG(*host::CGImage::fromPixels(90, 90, face.data())));
  set("useContactPictureIconBanner", false);  // the picture without the app's badge
  banner(messageRequest("ada"));
  EXPECT_EQ(radius(image().get()), 16);  // a circle
  EXPECT_TRUE(rt::send(rt::send(card, sel::imageIndicatorCorner), sel::isHidden));
  set("useContactPictureIconBanner", true);
  set("useContactPictureBanner", false);
  relayout();
  EXPECT_EQ(rt::send(image(), sel::image), rt::send(controller, sel::getIconForBundleId_withMask,
                                                    host::NSStr("com.apple.MobileSMS"), true));
  EXPECT_TRUE(rt::send(rt::send(card, sel::imageIndicatorCorner), sel::isHidden));
}
