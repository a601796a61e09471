// The colour toolkit's costs on realistic icons: for each sample icon the dominant colour
// (the analysis) and its two parts, the scaled draw and the clustering; the average
// colour of artwork; and the icon's cache key, which the restyle passes form on every
// layout pass, cold (PNG, then Base64) and warm (kept with the image). The context line
// "paths" says which code path the scaler and the clustering took on this processor;
// the portable rows time the portable paths alone on the same icons.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <malloc.h>

#include <string>

#include "colour/icon_colour.h"
#include "colour/image_colour.h"
#include "host/foundation/base64.h"
#include "host/foundation/values.h"
#include "host/host.h"
#include "host/quartz/scaler.h"
#include "host/uikit/image.h"
#include "sample_icons.h"

namespace {

using host::SurfacePtr;
using rt::Ref;
using sample_icons::Icon;
using sample_icons::kIconCount;
using sample_icons::kIconPixels;

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
  Ref<> icons[kIconCount];
  Ref<> artwork;
  Fixture() {
    host::boot({});
    for (int kind = 0; kind < kIconCount; ++kind)
      icons[kind] = host::UIImage::make(sample_icons::drawIcon(static_cast<Icon>(kind)), 3);
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

std::string iconName(const benchmark::State& state) {
  return sample_icons::iconName(static_cast<Icon>(state.range(0)));
}

// The image's pixels at the analysis size.
std::vector<uint8_t> analysisPixels(rt::id image) {
  return lumora::drawForAnalysis(image, lumora::analysisSize(rt::send(image, sel::size)));
}

void BM_DominantColour(benchmark::State& state) {
  rt::id image = icon(state);
  for (auto _ : state) benchmark::DoNotOptimize(lumora::lumoraDominantColor(image));
  state.SetLabel(iconName(state) + ", the whole analysis");
}

void BM_ScaledDraw(benchmark::State& state) {
  rt::id image = icon(state);
  const lumora::AnalysisSize size = lumora::analysisSize(rt::send(image, sel::size));
  for (auto _ : state) benchmark::DoNotOptimize(lumora::drawForAnalysis(image, size));
  state.SetLabel(iconName(state) + ", 180 px to 44 px");
}

void BM_Clustering(benchmark::State& state) {
  const std::vector<uint8_t> pixels = analysisPixels(icon(state));
  size_t clusters = 0;
  for (auto _ : state) {
    std::vector<lumora::RGBPixel> c = lumora::clusterPixels(pixels.data(), pixels.size() / 4);
    clusters = c.size();
    benchmark::DoNotOptimize(lumora::leadingClusters(c));
  }
  state.counters["clusters"] = static_cast<double>(clusters);
  state.SetLabel(iconName(state));
}

// The portable paths alone, on the same pixels: the scaler from the icon's own pixels
// (byte order kept), and the clustering.
void BM_ScalePortable(benchmark::State& state) {
  const auto* pixels = host::asCGImage(rt::send(icon(state), sel::CGImage).get());
  std::vector<uint8_t> out(44 * 44 * 4);
  for (auto _ : state) {
    host::detail::scaleAreaAverageGeneral(pixels->data(), kIconPixels, kIconPixels,
                                          pixels->stride(), out.data(), 44, 44, 44 * 4);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetLabel(iconName(state) + ", portable path");
}

void BM_ClusteringPortable(benchmark::State& state) {
  const std::vector<uint8_t> pixels = analysisPixels(icon(state));
  for (auto _ : state)
    benchmark::DoNotOptimize(
        lumora::detail::clusterPixelsPortable(pixels.data(), pixels.size() / 4));
  state.SetLabel(iconName(state) + ", portable path");
}

// Each icon's analysis and its parts together, icon by icon.
const int kRegistered = [] {
  benchmark::AddCustomContext(
      "paths", std::string("scaler ") +
                   host::scaleAreaAveragePath(kIconPixels, kIconPixels, 44, 44) + ", clustering " +
                   lumora::clusteringPath());
  for (int kind = 0; kind < kIconCount; ++kind) {
    const std::string name = sample_icons::iconName(static_cast<Icon>(kind));
    for (auto [part, function] : {std::pair{"Analysis", &BM_DominantColour},
                                  {"ScaledDraw", &BM_ScaledDraw},
                                  {"Clustering", &BM_Clustering},
                                  {"ScalePortable", &BM_ScalePortable},
                                  {"ClusteringPortable", &BM_ClusteringPortable}})
      benchmark::RegisterBenchmark((std::string(part) + "/" + name).c_str(), function)
          ->Arg(kind)
          ->Unit(benchmark::kMicrosecond);
  }
  return 0;
}();

void BM_AverageColour(benchmark::State& state) {
  rt::id image = fixture().artwork.get();
  for (auto _ : state) benchmark::DoNotOptimize(lumora::lumoraAverageColor(image));
  state.SetLabel("600 x 600 artwork");
}
BENCHMARK(BM_AverageColour)->Unit(benchmark::kMicrosecond);

// The key as a pass forms it for an image it has not seen: PNG, then Base64 (an icon of
// 180 pixels has a key of 179 KB, its stored PNG in Base64). Run with the allocator as
// the loop leaves it (`steady`), and with its free memory handed back to the system
// before every key (`trimmed`), as after a quiet spell of the process, so that the key's
// buffers come from fresh pages.
void BM_IconKeyCold(benchmark::State& state) {
  rt::id image = icon(state);
  const bool trimmed = state.range(1);
  size_t length = 0;
  for (auto _ : state) {
    if (trimmed) {
      state.PauseTiming();
      malloc_trim(0);
      state.ResumeTiming();
    }
    Ref<> png = host::UIImagePNGRepresentation(image);
    Ref<> key = rt::send(png, sel::base64EncodedStringWithOptions,
                         uint64_t{host::NSDataBase64Encoding64CharacterLineLength});
    length = rt::send(key, sel::length);
    benchmark::DoNotOptimize(key.get());
  }
  state.counters["key_bytes"] = static_cast<double>(length);
  state.SetLabel(iconName(state) + (trimmed ? ", trimmed" : ", steady") + ", target < 200 us");
}
BENCHMARK(BM_IconKeyCold)
    ->ArgsProduct({benchmark::CreateDenseRange(0, kIconCount - 1, 1), {0, 1}})
    ->Unit(benchmark::kMicrosecond);

void BM_PNGEncode(benchmark::State& state) {
  rt::id image = icon(state);
  for (auto _ : state) benchmark::DoNotOptimize(host::UIImagePNGRepresentation(image));
  state.SetLabel(iconName(state));
}
BENCHMARK(BM_PNGEncode)->DenseRange(0, kIconCount - 1)->Unit(benchmark::kMicrosecond);

// A layout pass's lookup once the icon has been seen: the key kept with the image, one
// dictionary hit.
void BM_CachedLookupWarm(benchmark::State& state) {
  rt::id image = icon(state);
  Ref<> cache = host::NSDictionary::make(true);
  lumora::lumoraCachedDominantColor(image, cache.get());
  for (auto _ : state)
    benchmark::DoNotOptimize(lumora::lumoraCachedDominantColor(image, cache.get()));
  state.SetLabel(iconName(state) + ", target < 100 ns");
}
BENCHMARK(BM_CachedLookupWarm)->DenseRange(0, kIconCount - 1)->Unit(benchmark::kNanosecond);

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
