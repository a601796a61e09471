#include "host/render/shape.h"

#include <algorithm>
#include <numbers>

#include "host/quartz/cgcolor.h"
#include "host/quartz/continuous_corners.h"
#include "host/uikit/colour.h"

namespace host::render {

void addRoundedRect(cairo_t* cr, CGRect rect, double radius, bool continuous) {
  if (continuous) {
    addContinuousRoundedRect(cr, rect, radius);
    return;
  }
  const double x = rect.origin.x, y = rect.origin.y, w = rect.size.width, h = rect.size.height;
  const double r = std::clamp(radius, 0.0, std::min(w, h) / 2);
  if (r <= 0) {
    cairo_rectangle(cr, x, y, w, h);
    return;
  }
  constexpr double pi = std::numbers::pi;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
  cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
  cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
  cairo_close_path(cr);
}

void addLayerShape(cairo_t* cr, const CALayer& layer) {
  addRoundedRect(cr, layer.bounds(), layer.cornerRadius(), layer.continuousCorners());
}

std::array<double, 4> colourComponents(id colour) {
  if (const UIColor* ui = UIColor::cls.cast(colour)) return ui->rgba();
  const rt::CGFloat* c = CGColorGetComponents(colour);
  return {c[0], c[1], c[2], c[3]};
}

void setSource(cairo_t* cr, const std::array<double, 4>& rgba, double alpha) {
  cairo_set_source_rgba(cr, rgba[0], rgba[1], rgba[2], rgba[3] * alpha);
}

}  // namespace host::render
