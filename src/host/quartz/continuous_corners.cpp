#include "host/quartz/continuous_corners.h"

#include <algorithm>
#include <numbers>

namespace host {

void addCircularRoundedRect(cairo_t* cr, rt::CGRect rect, double radius, unsigned corners) {
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

void addContinuousRoundedRect(cairo_t* cr, rt::CGRect rect, double radius, unsigned corners) {
  const double x = rect.origin.x, y = rect.origin.y, w = rect.size.width, h = rect.size.height;
  // The curve reaches 1.52866 r along each edge. Where that is more than half of the
  // shorter side the host's path gives up the continuous curve for circular arcs, so
  // half the height draws a capsule.
  if (radius * 1.52866 > std::min(w, h) / 2) {
    addCircularRoundedRect(cr, rect, radius, corners);
    return;
  }
  const double r = std::max(radius, 0.0);
  if (r <= 0) {
    cairo_rectangle(cr, x, y, w, h);
    return;
  }
  // One corner, as offsets from the corner along the two edges it joins: the first
  // number runs along the edge the path arrives on, the second along the one it leaves.
  struct Point {
    double along, across;
  };
  static constexpr Point kCurve[] = {
      {1.08849, 0},       {0.86840, 0},       {0.63149, 0.07491},  // ease off the edge
      {0.37282, 0.16905}, {0.16905, 0.37282}, {0.07491, 0.63149},  // the turn
      {0, 0.86840},       {0, 1.08849},       {0, 1.52866},        // onto the next edge
  };
  // Corners clockwise from the top right: the corner point, the direction the path
  // arrives in, and the direction it leaves in.
  const struct {
    double cx, cy, inX, inY, outX, outY;
    unsigned bit;
  } kCorners[] = {
      {x + w, y, 1, 0, 0, 1, 2},
      {x + w, y + h, 0, 1, -1, 0, 8},
      {x, y + h, -1, 0, 0, -1, 4},
      {x, y, 0, -1, 1, 0, 1},
  };
  cairo_new_sub_path(cr);
  cairo_move_to(cr, corners & 1 ? x + 1.52866 * r : x, y);
  for (const auto& c : kCorners) {
    if (!(corners & c.bit)) {
      cairo_line_to(cr, c.cx, c.cy);
      continue;
    }
    // A point `along` before the corner on the arriving edge, `across` after it on the
    // leaving edge.
    auto at = [&](Point p) {
      return std::pair{c.cx - c.inX * p.along * r + c.outX * p.across * r,
                       c.cy - c.inY * p.along * r + c.outY * p.across * r};
    };
    const auto start = at({1.52866, 0});
    cairo_line_to(cr, start.first, start.second);
    for (int i = 0; i < 9; i += 3) {
      const auto a = at(kCurve[i]), b = at(kCurve[i + 1]), e = at(kCurve[i + 2]);
      cairo_curve_to(cr, a.first, a.second, b.first, b.second, e.first, e.second);
    }
  }
  cairo_close_path(cr);
}

}  // namespace host
