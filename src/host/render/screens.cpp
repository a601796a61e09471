#include "host/render/screens.h"

#include <cmath>
#include <optional>
#include <string>

#include "host/foundation/value_helpers.h"
#include "host/render/backdrop.h"
#include "host/springboard/presentation.h"
#include "host/springboard/widgets.h"
#include "host/uikit/colour.h"
#include "host/uikit/label.h"

namespace host {

Wallpaper wallpaperFor(Device::InterfaceStyle style) {
  Wallpaper w;
  if (style == Device::InterfaceStyle::Dark) {
    w.top = {0.10, 0.13, 0.24, 1};
    w.bottom = {0.30, 0.16, 0.26, 1};
  }
  return w;
}

void paintScreenGap(cairo_t* cr) {
  cairo_set_source_rgb(cr, 0.16, 0.16, 0.18);
  cairo_paint(cr);
}

namespace {

// A white label centred at y on a screen of the given width.
void drawCentredText(cairo_t* cr, const std::string& text, double size, bool bold, double y,
                     double width) {
  Ref<> label = rt::send(cls::UILabel, sel::new_);
  rt::send(label, sel::setText, NSStr(text));
  rt::send(label, sel::setFont, UIFont::make(size, bold));
  rt::send(label, sel::setTextColor, rt::send(cls::UIColor, sel::whiteColor));
  const rt::CGSize fits = rt::send(label, sel::sizeThatFits, rt::CGSize{});
  rt::send(label, sel::setFrame, rt::CGRect{{(width - fits.width) / 2, y}, fits});
  CairoSave save(cr);
  cairo_translate(cr, (width - fits.width) / 2, y);
  drawView(cr, *UIView::cls.cast(label.get()));
}

// The Today view: the wallpaper dimmed, the date, the widgets.
void drawTodayView(cairo_t* cr, const Wallpaper& wallpaper, const Device& d, rt::id window,
                   RenderNotes* notes) {
  paintWallpaper(cr, wallpaper, {d.screenWidth, d.screenHeight});
  // Only this screen: a paint would dim the screens beside it too.
  cairo_rectangle(cr, 0, 0, d.screenWidth, d.screenHeight);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.2);
  cairo_fill(cr);
  render::BackdropScope backdrop(cr, {{0, 0}, {d.screenWidth, d.screenHeight}});
  drawCentredText(cr, "Monday, 7 December", 22, true, 48, d.screenWidth);
  drawView(cr, *UIView::cls.cast(window), notes);
}

}  // namespace

ScreensPicture renderScreens(const Device& d, const Wallpaper& wallpaper, double scale) {
  const Ref<> banners = bannerWindow();
  const Ref<> widgets = todayWindow();
  const int screens = 1 + (banners ? 1 : 0) + (widgets ? 1 : 0);
  const double width = d.screenWidth * screens + kScreenGap * (screens - 1);
  SurfacePtr surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(std::ceil(width * scale)),
                                 static_cast<int>(std::ceil(d.screenHeight * scale))));
  ContextPtr context = makeContext(surface.get());
  cairo_t* cr = context.get();
  paintScreenGap(cr);
  cairo_scale(cr, scale, scale);
  // The lockscreen: wallpaper, the clock and the date, the list.
  paintWallpaper(cr, wallpaper, {d.screenWidth, d.screenHeight});
  std::optional<render::BackdropScope> backdrop(std::in_place, cr,
                                                CGRect{{0, 0}, {d.screenWidth, d.screenHeight}});
  drawCentredText(cr, "9:41", 80, false, 70, d.screenWidth);
  drawCentredText(cr, "Monday, 7 December", 20, false, 165, d.screenWidth);
  RenderNotes notes;
  if (Ref<> lockscreen = lockscreenWindow())
    drawView(cr, *UIView::cls.cast(lockscreen.get()), &notes);
  // The home screen with the banners on top.
  if (banners) {
    CairoSave save(cr);
    cairo_translate(cr, d.screenWidth + kScreenGap, 0);
    paintWallpaper(cr, wallpaper, {d.screenWidth, d.screenHeight});
    backdrop.reset();
    backdrop.emplace(cr, CGRect{{0, 0}, {d.screenWidth, d.screenHeight}});
    drawView(cr, *UIView::cls.cast(banners.get()), &notes);
  }
  backdrop.reset();
  if (widgets) {
    CairoSave save(cr);
    cairo_translate(cr, (d.screenWidth + kScreenGap) * (screens - 1), 0);
    drawTodayView(cr, wallpaper, d, widgets.get(), &notes);
  }
  if (!finish(cr)) return {nullptr, cairo_status_to_string(cairo_status(cr)), std::move(notes)};
  return {std::move(surface), {}, std::move(notes)};
}

}  // namespace host
