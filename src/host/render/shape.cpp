#include "host/render/shape.h"

#include <algorithm>
#include <numbers>

#include "host/quartz/cgcolor.h"
#include "host/quartz/continuous_corners.h"
#include "host/uikit/colour.h"

namespace host::render {

void addRoundedRect(cairo_t* cr, CGRect rect, double radius, bool continuous, unsigned corners) {
  if (continuous) {
    addContinuousRoundedRect(cr, rect, radius, corners);
    return;
  }
  const double x = rect.origin.x, y = rect.origin.y, w = rect.size.width, h = rect.size.height;
  const double r = std::clamp(radius, 0.0, std::min(w, h) / 2);
  if (r <= 0) {
    cairo_rectangle(cr, x, y, w, h);
    return;
  }
  constexpr double pi = std::numbers::pi;
  // Each corner an arc when it is rounded, else its square point.
  // (px, py) is the corner itself; the arc's centre lies r inside it along (dx, dy).
  auto corner = [&](unsigned bit, double px, double py, double dx, double dy, double from) {
    if (corners & bit)
      cairo_arc(cr, px + dx * r, py + dy * r, r, from, from + pi / 2);
    else
      cairo_line_to(cr, px, py);
  };
  cairo_new_sub_path(cr);
  corner(2, x + w, y, -1, 1, -pi / 2);
  corner(8, x + w, y + h, -1, -1, 0);
  corner(4, x, y + h, 1, -1, pi / 2);
  corner(1, x, y, 1, 1, pi);
  cairo_close_path(cr);
}

void addLayerShape(cairo_t* cr, const CALayer& layer) {
  addRoundedRect(cr, layer.bounds(), layer.cornerRadius(), layer.continuousCorners(),
                 static_cast<unsigned>(layer.maskedCorners()));
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
