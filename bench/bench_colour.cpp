// The colour toolkit's costs on realistic icons: the dominant colour (split into the
// scaled draw and the clustering), the average colour of artwork, and the icon's cache
// key, which the restyle passes form on every layout pass. Each benchmark's label
// states the target it is held to.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
#include <random>

#include "colour/icon_colour.h"
#include "colour/image_colour.h"
#include "host/foundation/base64.h"
#include "host/foundation/values.h"
#include "host/host.h"
#include "host/uikit/image.h"

namespace {

using host::SurfacePtr;
using rt::Ref;

constexpr int kIconPixels = 180;  // 60 x 60 points at scale 3

// A rounded square of an icon's shape, as the clip of everything drawn in it.
void roundedSquare(cairo_t* cr) {
  const double r = 40, s = kIconPixels;
  cairo_new_path(cr);
  cairo_arc(cr, s - r, r, r, -M_PI / 2, 0);
  cairo_arc(cr, s - r, s - r, r, 0, M_PI / 2);
  cairo_arc(cr, r, s - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, r, r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
  cairo_clip(cr);
}

enum class Icon { Gradient, Flat, Noisy, Mosaic };

Ref<host::CGImage> drawIcon(Icon kind) {
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kIconPixels, kIconPixels));
  cairo_t* cr = cairo_create(surface.get());
  roundedSquare(cr);
  std::mt19937 random(42);
  if (kind == Icon::Flat) {
    cairo_set_source_rgb(cr, 0.2, 0.78, 0.35);
    cairo_paint(cr);
  } else if (kind == Icon::Mosaic) {
    // Tiles of 10 pixels in random colours: the clustering's worst case.
    for (int y = 0; y < kIconPixels; y += 10)
      for (int x = 0; x < kIconPixels; x += 10) {
        cairo_set_source_rgb(cr, random() % 256 / 255.0, random() % 256 / 255.0,
                             random() % 256 / 255.0);
        cairo_rectangle(cr, x, y, 10, 10);
        cairo_fill(cr);
      }
  } else {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, kIconPixels);
    cairo_pattern_add_color_stop_rgb(gradient, 0, 1, 0.58, 0);
    cairo_pattern_add_color_stop_rgb(gradient, 1, 1, 0.23, 0.19);
    cairo_set_source(cr, gradient);
    cairo_paint(cr);
    cairo_pattern_destroy(gradient);
    // The glyph: a white ring with a bar through it.
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, 14);
    cairo_arc(cr, 90, 90, 45, 0, 2 * M_PI);
    cairo_stroke(cr);
    cairo_rectangle(cr, 83, 30, 14, 120);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  if (kind == Icon::Noisy) {
    // Sensor-like noise on the gradient icon, within each pixel's alpha.
    cairo_surface_flush(surface.get());
    uint8_t* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < kIconPixels; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
      for (int x = 0; x < kIconPixels; ++x) {
        const uint32_t p = row[x], a = p >> 24;
        uint32_t out = a << 24;
        for (int shift = 0; shift < 24; shift += 8) {
          const int c = static_cast<int>(p >> shift & 0xff) + static_cast<int>(random() % 25) - 12;
          out |= static_cast<uint32_t>(std::clamp(c, 0, static_cast<int>(a))) << shift;
        }
        row[x] = out;
      }
    }
    cairo_surface_mark_dirty(surface.get());
  }
  return host::CGImage::fromSurface(std::move(surface));
}

// Artwork of 600 x 600 pixels: a diagonal gradient with soft shapes.
Ref<host::CGImage> drawArtwork() {
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 600, 600));
  cairo_t* cr = cairo_create(surface.get());
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 600, 600);
  cairo_pattern_add_color_stop_rgb(gradient, 0, 0.1, 0.1, 0.4);
  cairo_pattern_add_color_stop_rgb(gradient, 1, 0.9, 0.4, 0.2);
  cairo_set_source(cr, gradient);
  cairo_paint(cr);
  cairo_pattern_destroy(gradient);
  cairo_set_source_rgba(cr, 1, 1, 0.8, 0.6);
  cairo_arc(cr, 380, 240, 140, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_destroy(cr);
  return host::CGImage::fromSurface(std::move(surface));
}

struct Fixture {
  Ref<> icons[4];
  Ref<> artwork;
  Fixture() {
    host::boot({});
    for (Icon kind : {Icon::Gradient, Icon::Flat, Icon::Noisy, Icon::Mosaic})
      icons[static_cast<int>(kind)] = host::UIImage::make(drawIcon(kind), 3);
    artwork = host::UIImage::make(drawArtwork(), 1);
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

rt::id icon(const benchmark::State& state) {
  return fixture().icons[state.range(0)].get();
}

const char* iconName(int64_t kind) {
  static const char* names[] = {"gradient+glyph", "flat", "noisy", "mosaic"};
  return names[kind];
}

void BM_DominantColour(benchmark::State& state) {
  rt::id image = icon(state);
  for (auto _ : state) benchmark::DoNotOptimize(lumora::lumoraDominantColor(image));
  state.SetLabel(std::string(iconName(state.range(0))) +
                 (state.range(0) == 3 ? ", target <= 35 us" : ", target <= 20 us (smooth)"));
}
BENCHMARK(BM_DominantColour)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_ScaledDraw(benchmark::State& state) {
  rt::id image = icon(state);
  const lumora::AnalysisSize size = lumora::analysisSize(rt::send(image, sel::size));
  for (auto _ : state) benchmark::DoNotOptimize(lumora::drawForAnalysis(image, size));
  state.SetLabel(std::string(iconName(state.range(0))) + ", 180 px to 44 px, target <= 10 us");
}
BENCHMARK(BM_ScaledDraw)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_Clustering(benchmark::State& state) {
  rt::id image = icon(state);
  const std::vector<uint8_t> pixels =
      lumora::drawForAnalysis(image, lumora::analysisSize(rt::send(image, sel::size)));
  size_t clusters = 0;
  for (auto _ : state) {
    std::vector<lumora::RGBPixel> c = lumora::clusterPixels(pixels.data(), pixels.size() / 4);
    clusters = c.size();
    benchmark::DoNotOptimize(lumora::leadingClusters(c));
  }
  state.counters["clusters"] = static_cast<double>(clusters);
  state.SetLabel(std::string(iconName(state.range(0))) +
                 (state.range(0) == 3 ? ", the worst case" : ", target <= 10 us (smooth)"));
}
BENCHMARK(BM_Clustering)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_AverageColour(benchmark::State& state) {
  rt::id image = fixture().artwork.get();
  for (auto _ : state) benchmark::DoNotOptimize(lumora::lumoraAverageColor(image));
  state.SetLabel("600 x 600 artwork");
}
BENCHMARK(BM_AverageColour)->Unit(benchmark::kMicrosecond);

// The key as the passes would form it without the per-image copy: PNG, then Base64.
void BM_IconKeyCold(benchmark::State& state) {
  rt::id image = icon(state);
  size_t length = 0;
  for (auto _ : state) {
    Ref<> png = host::UIImagePNGRepresentation(image);
    Ref<> key = rt::send(png, sel::base64EncodedStringWithOptions,
                         uint64_t{host::NSDataBase64Encoding64CharacterLineLength});
    length = rt::send(key, sel::length);
    benchmark::DoNotOptimize(key.get());
  }
  state.counters["key_bytes"] = static_cast<double>(length);
  state.SetLabel(std::string(iconName(state.range(0))) + ", target <= 300 us");
}
BENCHMARK(BM_IconKeyCold)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_PNGEncode(benchmark::State& state) {
  rt::id image = icon(state);
  for (auto _ : state) benchmark::DoNotOptimize(host::UIImagePNGRepresentation(image));
  state.SetLabel(iconName(state.range(0)));
}
BENCHMARK(BM_PNGEncode)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// A layout pass's lookup once the icon has been seen: no encoding, one dictionary hit.
void BM_CachedLookupWarm(benchmark::State& state) {
  rt::id image = icon(state);
  Ref<> cache = host::NSDictionary::make(true);
  lumora::lumoraCachedDominantColor(image, cache.get());
  for (auto _ : state)
    benchmark::DoNotOptimize(lumora::lumoraCachedDominantColor(image, cache.get()));
  state.SetLabel(std::string(iconName(state.range(0))) + ", target < 1 us");
}
BENCHMARK(BM_CachedLookupWarm)->DenseRange(0, 3)->Unit(benchmark::kNanosecond);

// For comparison: cairo's own good-quality downscale of the same icon.
void BM_CairoDownscale(benchmark::State& state) {
  const auto* pixels = host::asCGImage(rt::send(icon(state), sel::CGImage).get());
  SurfacePtr target(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 44, 44));
  for (auto _ : state) {
    cairo_t* cr = cairo_create(target.get());
    cairo_scale(cr, 44.0 / kIconPixels, 44.0 / kIconPixels);
    cairo_set_source_surface(cr, pixels->surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(target.get());
  }
  state.SetLabel("reference only: cairo CAIRO_FILTER_GOOD, 180 px to 44 px");
}
BENCHMARK(BM_CairoDownscale)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
