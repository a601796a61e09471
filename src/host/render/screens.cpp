#include "host/render/screens.h"

#include <cmath>
#include <string>

#include "host/render/backdrop.h"
#include "host/render/chrome.h"
#include "host/springboard/presentation.h"
#include "host/springboard/widgets.h"

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

// The screen's wallpaper, dimmed by `dim` black, as painted and as the backdrop of the
// materials drawn while the scope lives.
render::BackdropScope paintScreen(cairo_t* cr, const Wallpaper& wallpaper, const Device& d,
                                  double dim = 0) {
  const CGSize size{d.screenWidth, d.screenHeight};
  auto paint = [&](cairo_t* c) {
    paintWallpaper(c, wallpaper, size);
    if (dim <= 0) return;
    // Only this screen: a paint would dim the screens beside it too.
    cairo_rectangle(c, 0, 0, size.width, size.height);
    cairo_set_source_rgba(c, 0, 0, 0, dim);
    cairo_fill(c);
  };
  paint(cr);
  return render::BackdropScope(cr, {{0, 0}, size}, paint);
}

// The lockscreen: wallpaper, padlock, clock and date, the player and the list, the
// quick-action buttons.
void drawLockscreen(cairo_t* cr, const Wallpaper& wallpaper, const Device& d, RenderNotes* notes) {
  const render::BackdropScope backdrop = paintScreen(cr, wallpaper, d);
  render::drawStatusBar(cr, d, false);
  render::drawLockscreenClock(cr, d);
  if (Ref<> lockscreen = lockscreenWindow())
    drawView(cr, *UIView::cls.cast(lockscreen.get()), notes);
  render::drawLockscreenControls(cr, d);
}

// The home screen: the apps' icons and the dock, the banners over them.
void drawHomeScreen(cairo_t* cr, const Wallpaper& wallpaper, const Device& d, id window,
                    RenderNotes* notes) {
  const render::BackdropScope backdrop = paintScreen(cr, wallpaper, d);
  render::drawHomeScreenIcons(cr, d);
  render::drawStatusBar(cr, d, true);
  render::drawHomeIndicator(cr, d);
  if (window) drawView(cr, *UIView::cls.cast(window), notes);
}

// The Today view: the wallpaper dimmed, the search field, the widgets.
void drawTodayView(cairo_t* cr, const Wallpaper& wallpaper, const Device& d, id window,
                   RenderNotes* notes) {
  const render::BackdropScope backdrop = paintScreen(cr, wallpaper, d, 0.2);
  render::drawStatusBar(cr, d, true);
  render::drawSearchField(cr, d);
  if (window) drawView(cr, *UIView::cls.cast(window), notes);
  render::drawHomeIndicator(cr, d);
}

}  // namespace

ScreensPicture renderScreens(const Device& d, const Wallpaper& wallpaper, double scale,
                             ScreenChoice choice) {
  const Ref<> banners = bannerWindow();
  const Ref<> widgets = todayWindow();
  const bool all = choice == ScreenChoice::All;
  const bool lock = all || choice == ScreenChoice::Lockscreen;
  const bool home = (all && banners) || choice == ScreenChoice::Home;
  const bool today = (all && widgets) || choice == ScreenChoice::Today;
  const int screens = (lock ? 1 : 0) + (home ? 1 : 0) + (today ? 1 : 0);
  const double width = d.screenWidth * screens + kScreenGap * (screens - 1);
  SurfacePtr surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(std::ceil(width * scale)),
                                 static_cast<int>(std::ceil(d.screenHeight * scale))));
  ContextPtr context = makeContext(surface.get());
  cairo_t* cr = context.get();
  paintScreenGap(cr);
  cairo_scale(cr, scale, scale);
  RenderNotes notes;
  int at = 0;  // screens drawn so far
  auto place = [&](auto draw) {
    CairoSave save(cr);
    cairo_translate(cr, (d.screenWidth + kScreenGap) * at++, 0);
    draw();
  };
  if (lock) place([&] { drawLockscreen(cr, wallpaper, d, &notes); });
  if (home) place([&] { drawHomeScreen(cr, wallpaper, d, banners.get(), &notes); });
  if (today) place([&] { drawTodayView(cr, wallpaper, d, widgets.get(), &notes); });
  if (!finish(cr)) return {nullptr, cairo_status_to_string(cairo_status(cr)), std::move(notes)};
  return {std::move(surface), {}, std::move(notes)};
}

}  // namespace host
