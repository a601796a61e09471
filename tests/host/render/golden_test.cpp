// The host's own banner as it appears on the home screen, against its reference image
// (the styled cards have theirs in the tool's scene tests).
#include <gtest/gtest.h>

#include "host/foundation/main_queue.h"
#include "host/quartz/cairo_handles.h"
#include "host/render/render_fixture.h"
#include "host/springboard/app_registry.h"
#include "host/springboard/notification_request.h"
#include "host/springboard/presentation.h"
#include "host/uikit/image.h"
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

TEST_F(GoldenTest, TheHostsOwnBannerDrawsAsItsReferenceImage) {
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
