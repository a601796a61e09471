// The host's continuous rounded rectangle: each corner is a curve that eases into the
// straight edge over about 1.53 times the radius, instead of a circular arc meeting the
// edge abruptly. Used for masked icons and, when drawing, for layers with continuous
// corners.
#pragma once

#include <cairo.h>

#include "runtime/geometry.h"

namespace host {

// Adds the rectangle with continuous corners of `radius` to the path. A radius too large
// for the rectangle is reduced so the corner curves still meet; radius 0 gives the plain
// rectangle. Only the corners in `corners` are rounded (bits 1 top left, 2 top right,
// 4 bottom left, 8 bottom right, as the host's corner mask); the others stay square.
void addContinuousRoundedRect(cairo_t* cr, rt::CGRect rect, double radius, unsigned corners = 15);

}  // namespace host
