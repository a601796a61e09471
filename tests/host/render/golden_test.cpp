// Whole pictures against reference images: the host's own banner as it appears on the
// home screen, and one small card that combines every compositing step.
#include <gtest/gtest.h>

#include "host/foundation/main_queue.h"
#include "host/quartz/cairo_handles.h"
#include "host/quartz/cgcolor.h"
#include "host/render/render_fixture.h"
#include "host/springboard/app_registry.h"
#include "host/springboard/notification_request.h"
#include "host/springboard/presentation.h"
#include "host/uikit/image.h"
#include "host/uikit/image_view.h"
#include "host/uikit/label.h"
#include "support/golden.h"

using namespace host;
using GoldenTest = testing_support::RenderFixture;

namespace {

// An app icon picture: a teal square with a white ring, 180 pixels (60 points at 3x).
Ref<> iconPicture() {
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 180, 180));
  {
    ContextPtr cr = makeContext(surface.get());
    cairo_set_source_rgb(cr.get(), 0.1, 0.6, 0.6);
    cairo_paint(cr.get());
    cairo_arc(cr.get(), 90, 90, 50, 0, 6.2832);
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
    cairo_set_line_width(cr.get(), 18);
    cairo_stroke(cr.get());
  }
  return UIImage::make(CGImage::fromSurface(std::move(surface)), 3);
}

}  // namespace

TEST_F(GoldenTest, HostBannerOnTheHomeScreen) {
  installApp({"com.example.mail", "Mail", "User", {}, false, false, false, iconPicture()});
  NotificationFields fields;
  fields.section = "com.example.mail";
  fields.title = "Maple";
  fields.message = "Lunch at noon? The new place by the river has a table for four at twelve.";
  presentBanner(NCNotificationRequest::make(fields).get());
  main_queue::drain();
  const UIView* window = UIView::cls.cast(bannerWindow().get());
  ASSERT_TRUE(window);
  ASSERT_EQ(window->subviewList().size(), 1u);
  // The banner's container, with the wallpaper around it as far as the window's edges.
  const UIView& banner = *window->subviewList().front();
  RenderedImage r = renderOnWallpaper(banner, 1, {}, SBBannerWindow::kInset);
  ASSERT_TRUE(r.image) << r.error;
  EXPECT_TRUE(testing_support::matchesGolden(*r.image, "host_banner", 2));
}

TEST_F(GoldenTest, CardWithGradientHeaderMaskedIndicatorEdgeStripAndShadow) {
  // A shadow-casting card holding a clipping background, as the host's cards are built:
  // a layer that clips its corners would clip its own shadow away.
  UIView& card = view({{0, 0}, {200, 76}});
  card.caLayer().setCornerRadius(16);
  card.caLayer().setContinuousCorners(true);
  card.caLayer().setShadowOffset({0, 3});
  card.caLayer().setShadowRadius(6);
  card.caLayer().setShadowOpacity(0.3f);
  UIView& background = view({{0, 0}, {200, 76}}, {0.98, 0.98, 0.97, 1}, &card);
  background.caLayer().setCornerRadius(16);
  background.caLayer().setContinuousCorners(true);
  background.setClipsToBounds(true);

  Ref<> header = rt::send(CAGradientLayer::cls.get(), sel::new_);
  auto* gradient = CAGradientLayer::cls.cast(header.get());
  gradient->setFrame({{0, 0}, {200, 24}});
  gradient->setColors(
      NSArray::make({CGColor::make(0.96, 0.45, 0.25, 1), CGColor::make(0.85, 0.25, 0.55, 1)})
          .get());
  gradient->setStartPoint({0, 0.5});
  gradient->setEndPoint({1, 0.5});
  background.caLayer().addSublayer(header.get());

  auto label = [&](rt::CGRect frame, const char* text, double size, bool bold,
                   std::array<double, 4> colour, int64_t lines) -> UILabel& {
    auto& l = static_cast<UILabel&>(view("UILabel", frame, {}, &background));
    l.setText(NSStr(text).get());
    l.setFont(UIFont::make(size, bold).get());
    l.setTextColor(UIColor::make(colour[0], colour[1], colour[2], colour[3]).get());
    l.setNumberOfLines(lines);
    return l;
  };
  label({{12, 3}, {150, 18}}, "MAIL", 12, true, {1, 1, 1, 1}, 1);
  label({{12, 28}, {150, 18}}, "Maple", 15, true, {0.1, 0.1, 0.12, 1}, 1);
  label({{12, 46}, {150, 26}}, "Lunch at noon? The new place by the river", 11, false,
        {0.25, 0.25, 0.3, 1}, 2)
      .setAlpha(0.85);

  // A triangle indicator in the trailing corner and a strip along the trailing edge.
  UIView& indicator = view({{170, 30}, {18, 18}}, {0.2, 0.45, 0.95, 1}, &background);
  Ref<> mask = rt::send(CAShapeLayer::cls.get(), sel::new_);
  auto* triangle = CAShapeLayer::cls.cast(mask.get());
  triangle->setFrame({{0, 0}, {18, 18}});
  triangle->setPath(CGPath::cls
                        .make(std::vector<CGPath::Element>{{CGPath::Element::Kind::Move, {18, 0}},
                                                           {CGPath::Element::Kind::Line, {18, 18}},
                                                           {CGPath::Element::Kind::Line, {0, 18}}})
                        .get());
  indicator.caLayer().setMask(mask.get());
  view({{197, 0}, {3, 76}}, {0.2, 0.45, 0.95, 1}, &background);

  // A hairline border on the whole card, drawn over everything in it.
  background.caLayer().setBorderWidth(1);
  background.caLayer().setBorderColor(CGColor::make(0, 0, 0, 0.12).get());

  RenderedImage r = renderOnWallpaper(card, 2, {}, 12);
  ASSERT_TRUE(r.image) << r.error;
  EXPECT_TRUE(testing_support::matchesGolden(*r.image, "card_layers", 2));
}
