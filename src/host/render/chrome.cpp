#include "host/render/chrome.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <memory>
#include <numbers>

#include "host/quartz/cairo_handles.h"
#include "host/quartz/continuous_corners.h"
#include "host/render/backdrop.h"
#include "host/springboard/app_registry.h"
#include "host/uikit/image.h"
#include "host/uikit/text_layout.h"

namespace host::render {
namespace {

using rt::CGRect;

constexpr double pi = std::numbers::pi;

enum class Align { Left, Centre, Right };

// Draws one line of text in `face` (families then weight, as pango reads them) at
// `size` points, white at `alpha`, its top at y and its left edge, centre or right edge
// at x;
// at most `width` points wide, ending in "…" beyond.
void drawText(cairo_t* cr, const std::string& text, const char* face, double size, double x,
              double y, Align align, double alpha = 1, double width = 0) {
  const LayoutPtr layout = unhintedLayout(cr);
  const FontDescriptionPtr font(pango_font_description_from_string(face));
  pango_font_description_set_absolute_size(font.get(), size * PANGO_SCALE);
  pango_layout_set_font_description(layout.get(), font.get());
  pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
  if (width > 0) {
    pango_layout_set_width(layout.get(), static_cast<int>(width * PANGO_SCALE));
    pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
  }
  PangoRectangle logical;
  pango_layout_get_extents(layout.get(), nullptr, &logical);
  const double w = static_cast<double>(logical.width) / PANGO_SCALE;
  const double left = align == Align::Left ? x : align == Align::Centre ? x - w / 2 : x - w;
  cairo_set_source_rgba(cr, 1, 1, 1, alpha);
  cairo_move_to(cr, left - static_cast<double>(logical.x) / PANGO_SCALE,
                y - static_cast<double>(logical.y) / PANGO_SCALE);
  pango_cairo_show_layout(cr, layout.get());
}

constexpr const char* kText = "Inter,DejaVu Sans";
constexpr const char* kSemibold = "Inter,DejaVu Sans Semi-Bold";
constexpr const char* kClockFace = "Inter Display,DejaVu Sans Light";

// A rounded rectangle filled with the blurred backdrop under a white or dark tint.
void drawMaterialPanel(cairo_t* cr, CGRect rect, double radius, bool dark, double tint) {
  CairoSave save(cr);
  addContinuousRoundedRect(cr, rect, radius);
  cairo_clip(cr);
  paintBackdrop(cr);
  if (dark)
    cairo_set_source_rgba(cr, 0.1, 0.1, 0.12, tint);
  else
    cairo_set_source_rgba(cr, 1, 1, 1, tint);
  cairo_paint(cr);
}

// The app's icon, masked to the host's rounded square, or a grey square with its
// initial when it has none.
void drawIcon(cairo_t* cr, const AppRecord& app, CGRect at) {
  CairoSave save(cr);
  addContinuousRoundedRect(cr, at, at.size.width * 13.5 / 60);
  cairo_clip(cr);
  const UIImage* image = UIImage::cls.cast(app.icon.get());
  const CGImage* pixels = image ? image->pixels() : nullptr;
  if (pixels && pixels->width() > 0 && pixels->height() > 0) {
    cairo_translate(cr, at.origin.x, at.origin.y);
    cairo_scale(cr, at.size.width / pixels->width(), at.size.height / pixels->height());
    cairo_set_source_surface(cr, pixels->surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    return;
  }
  cairo_set_source_rgb(cr, 0.56, 0.56, 0.6);
  cairo_paint(cr);
  const std::string initial = app.name.empty() ? "?" : app.name.substr(0, 1);
  drawText(cr, initial, kSemibold, at.size.width / 2, at.origin.x + at.size.width / 2,
           at.origin.y + at.size.height / 4, Align::Centre);
}

bool rightToLeft(const Device& device) {
  return device.layoutDirection == Device::LayoutDirection::RightToLeft;
}

// x from the leading edge: from the right on a right-to-left device.
double leading(const Device& device, double x) {
  return rightToLeft(device) ? device.screenWidth - x : x;
}

void roundedBar(cairo_t* cr, double x, double y, double w, double h) {
  addCircularRoundedRect(cr, {{x, y}, {w, h}}, std::min(w, h) / 2);
}

}  // namespace

std::string clockText(const Device::ClockFace& clock) {
  const unsigned hour = clock.hour % 12 == 0 ? 12 : clock.hour % 12;
  char text[8];
  std::snprintf(text, sizeof text, "%u:%02u", hour, clock.minute % 60);
  return text;
}

std::string dateText(const Device::ClockFace& clock) {
  static constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};
  static constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};
  const std::chrono::year_month_day date{
      std::chrono::year{clock.year}, std::chrono::month{clock.month}, std::chrono::day{clock.day}};
  if (!date.ok()) return {};
  const std::chrono::weekday day{std::chrono::sys_days{date}};
  return std::string(kDays[day.c_encoding()]) + ", " + kMonths[clock.month - 1] + " " +
         std::to_string(clock.day);
}

void drawStatusBar(cairo_t* cr, const Device& device, bool time) {
  const double right = device.screenWidth - 14;
  if (time)
    drawText(cr, clockText(device.clock), kSemibold, 15, leading(device, 54), 14, Align::Centre);
  // The glyphs sit at the trailing edge: mirrored on a right-to-left device.
  CairoSave save(cr);
  if (rightToLeft(device)) {
    cairo_translate(cr, device.screenWidth, 0);
    cairo_scale(cr, -1, 1);
  }
  cairo_set_source_rgb(cr, 1, 1, 1);
  // Signal: four bars rising to the right.
  const double signal = right - 66;
  for (int i = 0; i < 4; ++i) {
    const double h = 4 + 2.4 * i;
    roundedBar(cr, signal + i * 4.5, 28 - h - 3, 3, h);
  }
  cairo_fill(cr);
  // Wi-Fi: three arcs and a dot fanning up from one point.
  const double wx = right - 37, wy = 26;
  cairo_set_line_width(cr, 2);
  for (double r : {5.0, 9.0}) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, wx, wy, r, -pi * 3 / 4, -pi / 4);
  }
  cairo_stroke(cr);
  cairo_move_to(cr, wx, wy);
  cairo_arc(cr, wx, wy, 2.2, -pi * 3 / 4, -pi / 4);
  cairo_close_path(cr);
  cairo_fill(cr);
  // Battery: an outline, the charge, the terminal.
  const double bx = right - 25;
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.4);
  addCircularRoundedRect(cr, {{bx + 0.5, 14.5}, {22, 11.5}}, 3);
  cairo_stroke(cr);
  roundedBar(cr, bx + 23.5, 18.2, 1.5, 4);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  addCircularRoundedRect(cr, {{bx + 2.5, 16.5}, {18, 7.5}}, 1.5);
  cairo_fill(cr);
}

void drawLockscreenClock(cairo_t* cr, const Device& device) {
  const double cx = device.screenWidth / 2;
  // The padlock: a body and its shackle, swung open when the device is unlocked.
  cairo_set_source_rgb(cr, 1, 1, 1);
  addCircularRoundedRect(cr, {{cx - 7.5, 50}, {15, 12}}, 2.5);
  cairo_fill(cr);
  cairo_set_line_width(cr, 2.2);
  const double shackle = device.locked ? cx : cx + 8;
  cairo_new_sub_path(cr);
  cairo_arc(cr, shackle, 45.5, 4.6, pi, 2 * pi);
  cairo_line_to(cr, shackle + 4.6, device.locked ? 50.5 : 46.5);
  cairo_move_to(cr, shackle - 4.6, 45.5);
  cairo_line_to(cr, shackle - 4.6, 50.5);
  cairo_stroke(cr);
  drawText(cr, clockText(device.clock), kClockFace, 84, cx, 72, Align::Centre);
  drawText(cr, dateText(device.clock), kText, 21, cx, 166, Align::Centre);
}

void drawLockscreenControls(cairo_t* cr, const Device& device) {
  const double y = device.screenHeight - 72;
  for (double x : {66.0, device.screenWidth - 66}) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, 25, 0, 2 * pi);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.32);
    cairo_fill(cr);
  }
  cairo_set_source_rgb(cr, 1, 1, 1);
  // The flashlight: a head over a handle with its switch.
  const double fx = 66;
  cairo_move_to(cr, fx - 6, y - 11);
  cairo_line_to(cr, fx + 6, y - 11);
  cairo_line_to(cr, fx + 6, y - 6);
  cairo_line_to(cr, fx + 3.5, y - 2);
  cairo_line_to(cr, fx + 3.5, y + 12);
  cairo_line_to(cr, fx - 3.5, y + 12);
  cairo_line_to(cr, fx - 3.5, y - 2);
  cairo_line_to(cr, fx - 6, y - 6);
  cairo_close_path(cr);
  cairo_fill(cr);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
  roundedBar(cr, fx - 1.2, y + 1, 2.4, 5);
  cairo_fill(cr);
  // The camera: a body with a bump and a lens.
  const double kx = device.screenWidth - 66;
  cairo_set_source_rgb(cr, 1, 1, 1);
  addCircularRoundedRect(cr, {{kx - 12, y - 7}, {24, 17}}, 3.5);
  addCircularRoundedRect(cr, {{kx - 5, y - 10}, {10, 5}}, 1.5);
  cairo_fill(cr);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
  cairo_new_sub_path(cr);
  cairo_arc(cr, kx, y + 1.5, 5, 0, 2 * pi);
  cairo_fill(cr);
  drawHomeIndicator(cr, device);
}

void drawHomeIndicator(cairo_t* cr, const Device& device) {
  cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
  roundedBar(cr, (device.screenWidth - 134) / 2, device.screenHeight - 13, 134, 5);
  cairo_fill(cr);
}

void drawHomeScreenIcons(cairo_t* cr, const Device& device) {
  std::vector<AppRecord> apps;
  for (const AppRecord& app : installedApps())
    if (app.onHomeScreen()) apps.push_back(app);
  const bool dark = device.interfaceStyle == Device::InterfaceStyle::Dark;
  const double dockTop = device.screenHeight - 22 - 92;
  const size_t inDock = std::min<size_t>(apps.size(), 4);
  if (inDock > 0)
    drawMaterialPanel(cr, {{12, dockTop}, {device.screenWidth - 24, 92}}, 30, dark, 0.3);
  // The dock's icons, centred as a group, 27 points apart.
  const double dockWidth = static_cast<double>(inDock) * 87 - 27;
  for (size_t i = 0; i < inDock; ++i) {
    const double x = (device.screenWidth - dockWidth) / 2 + static_cast<double>(i) * 87;
    drawIcon(cr, apps[i],
             {{rightToLeft(device) ? device.screenWidth - x - 60 : x, dockTop + 16}, {60, 60}});
  }
  // The grid: four columns from the leading edge, as many rows as fit above the dock.
  const size_t perRow = 4;
  const size_t rows = static_cast<size_t>((dockTop - 66) / 100);
  for (size_t i = inDock; i < apps.size() && (i - inDock) / perRow < rows; ++i) {
    const size_t at = i - inDock;
    const double from = 27 + static_cast<double>(at % perRow) * 87;
    const double x = rightToLeft(device) ? device.screenWidth - from - 60 : from;
    const double y = 66 + static_cast<double>(at / perRow) * 100;
    drawIcon(cr, apps[i], {{x, y}, {60, 60}});
    drawText(cr, apps[i].name, kText, 12, x + 30, y + 66, Align::Centre, 1, 76);
  }
}

void drawSearchField(cairo_t* cr, const Device& device) {
  const bool dark = device.interfaceStyle == Device::InterfaceStyle::Dark;
  drawMaterialPanel(cr, {{16, 52}, {device.screenWidth - 32, 36}}, 10, dark, 0.22);
  // The magnifier: a ring and its handle.
  cairo_set_source_rgba(cr, 1, 1, 1, 0.75);
  cairo_set_line_width(cr, 1.8);
  cairo_new_sub_path(cr);
  cairo_arc(cr, leading(device, 34), 68.5, 5.5, 0, 2 * pi);
  cairo_move_to(cr, leading(device, 38), 72.5);
  cairo_line_to(cr, leading(device, 42), 76.5);
  cairo_stroke(cr);
  drawText(cr, "Search", kText, 17, leading(device, 50), 60,
           rightToLeft(device) ? Align::Right : Align::Left, 0.75);
}

}  // namespace host::render
