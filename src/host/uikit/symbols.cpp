#include "host/uikit/symbols.h"

#include <cmath>
#include <functional>
#include <map>

#include "host/host.h"
#include "host/quartz/cairo_handles.h"
#include "host/quartz/cgimage.h"
#include "host/uikit/image.h"

namespace host {
namespace {

constexpr double kSide = 20;  // points

// Each symbol draws its path in a 20 x 20 square, to be filled.
using Shape = std::function<void(cairo_t*)>;

void star(cairo_t* cr) {
  for (int i = 0; i < 10; ++i) {
    const double angle = -M_PI / 2 + i * M_PI / 5;
    const double radius = i % 2 == 0 ? 9.5 : 4;
    const double x = 10 + radius * std::cos(angle), y = 10.5 + radius * std::sin(angle);
    i == 0 ? cairo_move_to(cr, x, y) : cairo_line_to(cr, x, y);
  }
  cairo_close_path(cr);
}

void heart(cairo_t* cr) {
  cairo_move_to(cr, 10, 18);
  cairo_curve_to(cr, 1, 11.5, 1, 3, 6, 3);
  cairo_curve_to(cr, 8, 3, 9.5, 4.5, 10, 6);
  cairo_curve_to(cr, 10.5, 4.5, 12, 3, 14, 3);
  cairo_curve_to(cr, 19, 3, 19, 11.5, 10, 18);
  cairo_close_path(cr);
}

void bell(cairo_t* cr) {
  cairo_move_to(cr, 3, 15);
  cairo_curve_to(cr, 5, 13, 5, 11, 5, 8);
  cairo_curve_to(cr, 5, 4.5, 7, 2.5, 10, 2.5);
  cairo_curve_to(cr, 13, 2.5, 15, 4.5, 15, 8);
  cairo_curve_to(cr, 15, 11, 15, 13, 17, 15);
  cairo_close_path(cr);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 10, 16.5, 2, 0, 2 * M_PI);
}

void message(cairo_t* cr) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, 10, 9, 8, 0, 2 * M_PI);
  cairo_move_to(cr, 4, 13);
  cairo_line_to(cr, 2.5, 18);
  cairo_line_to(cr, 8.5, 15.5);
  cairo_close_path(cr);
}

// Fills from here on leave out the path's inside (the path is consumed).
void cutOut(cairo_t* cr) {
  cairo_rectangle(cr, 0, 0, kSide, kSide);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_clip(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

// A crescent: a disc with a disc cut from its upper right.
void moon(cairo_t* cr) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, 14.5, 5.5, 7, 0, 2 * M_PI);
  cutOut(cr);
  cairo_arc(cr, 10, 10, 8.5, 0, 2 * M_PI);
}

// A full battery on its side with its terminal, a lightning bolt cut out of it.
void batteryBolt(cairo_t* cr) {
  cairo_move_to(cr, 11, 4.5);
  cairo_line_to(cr, 6, 11);
  cairo_line_to(cr, 9.5, 11);
  cairo_line_to(cr, 8.5, 15.5);
  cairo_line_to(cr, 13.5, 9);
  cairo_line_to(cr, 10, 9);
  cairo_close_path(cr);
  cutOut(cr);
  cairo_rectangle(cr, 1, 6, 16, 8);
  cairo_rectangle(cr, 17.5, 8.5, 1.5, 3);
}

const std::map<std::string_view, Shape>& shapes() {
  static const std::map<std::string_view, Shape> all{
      {"battery.100.bolt", batteryBolt},
      {"bell.fill", bell},
      {"circle.fill", [](cairo_t* cr) { cairo_arc(cr, 10, 10, 9, 0, 2 * M_PI); }},
      {"heart.fill", heart},
      {"message.fill", message},
      {"moon.fill", moon},
      {"star.fill", star},
  };
  return all;
}

}  // namespace

Ref<> systemImageNamed(std::string_view name) {
  auto shape = shapes().find(name);
  if (shape == shapes().end()) return nullptr;
  const double scale = device().screenScale > 0 ? device().screenScale : 1;
  const int side = static_cast<int>(std::lround(kSide * scale));
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, side, side));
  ContextPtr context = makeContext(surface.get());
  cairo_scale(context.get(), scale, scale);
  cairo_set_fill_rule(context.get(), CAIRO_FILL_RULE_WINDING);
  shape->second(context.get());
  cairo_set_source_rgba(context.get(), 0, 0, 0, 1);
  cairo_fill(context.get());
  if (!finish(context.get())) return nullptr;
  context.reset();
  Ref<UIImage> image = UIImage::make(CGImage::fromSurface(std::move(surface)), scale);
  if (image) image->setOrigin({ImageOrigin::Kind::Symbol, std::string(name)});
  return image;
}

void defineSymbols(ClassList& list) {
  list.extend(UIImage::cls, [](Class image) {
    rt::bindClassFunction(
        image, sel::systemImageNamed, +[](id, rt::SEL, id name) -> Ref<> {
          const std::string* text = stringText(name);
          return text ? systemImageNamed(*text) : nullptr;
        });
  });
}

}  // namespace host
