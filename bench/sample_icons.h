// The sample icons of the colour benchmark, 180 x 180 pixels (60 points at scale 3), one
// of each kind a home screen shows. The colour tests hold their dominant colours fixed.
#pragma once

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

#include "host/quartz/cgimage.h"

namespace sample_icons {

constexpr int kIconPixels = 180;

enum class Icon { GradientGlyph, FlatGlyph, Noisy, Mosaic, GlyphOnly, Photo };
constexpr int kIconCount = 6;

inline const char* iconName(Icon kind) {
  static const char* names[] = {"gradient+glyph", "flat+glyph", "noisy",
                                "mosaic",         "glyph-only", "photo"};
  return names[static_cast<int>(kind)];
}

// A rounded square of an icon's shape, as the clip of everything drawn in it.
inline void roundedSquare(cairo_t* cr) {
  const double r = 40, s = kIconPixels;
  cairo_new_path(cr);
  cairo_arc(cr, s - r, r, r, -M_PI / 2, 0);
  cairo_arc(cr, s - r, s - r, r, 0, M_PI / 2);
  cairo_arc(cr, r, s - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, r, r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
  cairo_clip(cr);
}

// The glyph: a ring with a bar through it, in the current source.
inline void glyph(cairo_t* cr) {
  cairo_set_line_width(cr, 14);
  cairo_new_path(cr);
  cairo_arc(cr, 90, 90, 45, 0, 2 * M_PI);
  cairo_stroke(cr);
  cairo_rectangle(cr, 83, 30, 14, 120);
  cairo_fill(cr);
}

// Noise of up to `amplitude` on each colour byte, kept within each pixel's alpha.
inline void addNoise(cairo_surface_t* surface, std::mt19937& random, int amplitude) {
  cairo_surface_flush(surface);
  uint8_t* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < kIconPixels; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < kIconPixels; ++x) {
      const uint32_t p = row[x], a = p >> 24;
      uint32_t out = a << 24;
      for (int shift = 0; shift < 24; shift += 8) {
        const int c = static_cast<int>(p >> shift & 0xff) +
                      static_cast<int>(random() % (2 * amplitude + 1)) - amplitude;
        out |= static_cast<uint32_t>(std::clamp(c, 0, static_cast<int>(a))) << shift;
      }
      row[x] = out;
    }
  }
  cairo_surface_mark_dirty(surface);
}

inline rt::Ref<host::CGImage> drawIcon(Icon kind) {
  host::SurfacePtr surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kIconPixels, kIconPixels));
  cairo_t* cr = cairo_create(surface.get());
  std::mt19937 random(42);
  if (kind != Icon::GlyphOnly) roundedSquare(cr);
  switch (kind) {
    case Icon::FlatGlyph:
      cairo_set_source_rgb(cr, 0.9, 0.16, 0.2);
      cairo_paint(cr);
      cairo_set_source_rgb(cr, 1, 1, 1);
      glyph(cr);
      break;
    case Icon::Mosaic:
      // Tiles of 10 pixels in random colours: the clustering's worst case.
      for (int y = 0; y < kIconPixels; y += 10)
        for (int x = 0; x < kIconPixels; x += 10) {
          // Drawn blue first, so that every compiler makes the same tiles.
          const double b = random() % 256 / 255.0, g = random() % 256 / 255.0,
                       r = random() % 256 / 255.0;
          cairo_set_source_rgb(cr, r, g, b);
          cairo_rectangle(cr, x, y, 10, 10);
          cairo_fill(cr);
        }
      break;
    case Icon::GlyphOnly:
      // A dark glyph on a clear ground: alpha is the glyph's coverage.
      cairo_set_source_rgb(cr, 0.11, 0.11, 0.13);
      glyph(cr);
      break;
    case Icon::Photo: {
      // A warm sky from top to bottom, soft coloured blobs, then a little grain.
      cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, kIconPixels);
      cairo_pattern_add_color_stop_rgb(sky, 0, 0.98, 0.78, 0.45);
      cairo_pattern_add_color_stop_rgb(sky, 0.6, 0.93, 0.45, 0.3);
      cairo_pattern_add_color_stop_rgb(sky, 1, 0.45, 0.18, 0.3);
      cairo_set_source(cr, sky);
      cairo_paint(cr);
      cairo_pattern_destroy(sky);
      const double blobs[][6] = {{50, 60, 35, 1.0, 0.95, 0.7},
                                 {130, 110, 45, 0.3, 0.45, 0.8},
                                 {70, 145, 30, 0.35, 0.6, 0.3}};
      for (const auto& b : blobs) {
        cairo_pattern_t* blob = cairo_pattern_create_radial(b[0], b[1], 0, b[0], b[1], b[2]);
        cairo_pattern_add_color_stop_rgba(blob, 0, b[3], b[4], b[5], 0.9);
        cairo_pattern_add_color_stop_rgba(blob, 1, b[3], b[4], b[5], 0);
        cairo_set_source(cr, blob);
        cairo_paint(cr);
        cairo_pattern_destroy(blob);
      }
      break;
    }
    default: {  // the gradient, under a white glyph
      cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, kIconPixels);
      cairo_pattern_add_color_stop_rgb(gradient, 0, 1, 0.58, 0);
      cairo_pattern_add_color_stop_rgb(gradient, 1, 1, 0.23, 0.19);
      cairo_set_source(cr, gradient);
      cairo_paint(cr);
      cairo_pattern_destroy(gradient);
      cairo_set_source_rgb(cr, 1, 1, 1);
      glyph(cr);
    }
  }
  cairo_destroy(cr);
  // Sensor-like noise on the gradient icon; a little grain on the photo.
  if (kind == Icon::Noisy) addNoise(surface.get(), random, 12);
  if (kind == Icon::Photo) addNoise(surface.get(), random, 3);
  return host::CGImage::fromSurface(std::move(surface));
}

}  // namespace sample_icons
