// The host's continuous rounded rectangle: each corner is a curve that eases into the
// straight edge over about 1.53 times the radius, instead of a circular arc meeting the
// edge abruptly. Used for masked icons and, when drawing, for layers with continuous
// corners.
#pragma once

#include <cairo.h>

#include "runtime/geometry.h"

namespace host {

// Adds the rectangle with continuous corners of `radius` to the path. A radius too large
// for the continuous curve (more than half the shorter side over 1.52866) gives circular
// arcs instead, as the host's rounded-rectangle path does; radius 0 gives the plain
// rectangle. Only the corners in `corners` are rounded (bits 1 top left, 2 top right,
// 4 bottom left, 8 bottom right, as the host's corner mask); the others stay square.
void addContinuousRoundedRect(cairo_t* cr, rt::CGRect rect, double radius, unsigned corners = 15);

// The same rectangle with circular arcs of `radius` (at most half the shorter side).
void addCircularRoundedRect(cairo_t* cr, rt::CGRect rect, double radius, unsigned corners = 15);

}  // namespace host
