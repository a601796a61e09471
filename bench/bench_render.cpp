// Rendering costs: the banner window (a 375 x 812 point screen holding one banner) drawn
// whole, at scale 2 and 3, with and without the card's shadow; and the preview of the
// built-in scene (its three screens drawn, then encoded as the compressed PNG the tool
// writes), at scale 2 and 3. Aim: a scale-2 preview under 60 ms.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include "host/foundation/foundation_selectors.h"
#include "host/foundation/main_queue.h"
#include "host/foundation/value_helpers.h"
#include "host/host.h"
#include "host/quartz/cgimage.h"
#include "host/quartz/image_codec.h"
#include "host/render/render.h"
#include "host/render/screens.h"
#include "host/scene/scene_file.h"
#include "host/scene/stage.h"
#include "host/springboard/app_registry.h"
#include "host/springboard/notification_request.h"
#include "host/springboard/presentation.h"
#include "host/uikit/image.h"
#include "prefs/lumora_prefs.h"
#include "startup/loader.h"

#include "bench_device.h"

namespace {

void BM_RenderBannerWindow(benchmark::State& state) {
  bench::MailDevice device("render", std::vector<uint32_t>(180 * 180, 0xff3366ccu));
  host::presentBanner(
      bench::MailDevice::request("Lunch at noon? The new place by the river has a table for four.")
          .get());
  host::main_queue::drain();
  const auto* window = host::UIView::cls.cast(host::bannerWindow().get());
  if (state.range(1)) {
    // The card's shadow as the restyle pass sets it for round corners.
    rt::Ref<> banner = window->subviewList().front();
    rt::Ref<> card = rt::send(banner, sel::valueForKey, host::NSStr("_contentView"));
    auto& layer = host::UIView::cls.cast(card.get())->caLayer();
    layer.setShadowOffset({0, 3});
    layer.setShadowRadius(5);
    layer.setShadowOpacity(0.075f);
  }
  const double scale = static_cast<double>(state.range(0));
  for (auto _ : state) {
    host::RenderedImage r = host::renderOnWallpaper(*window, scale, host::Wallpaper{}, 0);
    if (!r.image) state.SkipWithError(r.error.c_str());
    benchmark::DoNotOptimize(r.image);
  }
}
// Arguments: the scale, and whether the card casts a shadow.
BENCHMARK(BM_RenderBannerWindow)
    ->ArgsProduct({{2, 3}, {0, 1}})
    ->ArgNames({"scale", "shadow"})
    ->Unit(benchmark::kMillisecond);

// The built-in scene's device with the system loaded, laid out and settled.
class BuiltInDevice {
 public:
  BuiltInDevice() : scene_(host::scene::builtInScene()) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lumora-bench-preview-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    root_ = pattern;
    host::boot({root_, {}, scene_.device});
    host::scene::buildDevice(scene_, {prefs::kSuiteName, &lumora::loadSystem});
    host::scene::runClock(std::nullopt);
  }
  ~BuiltInDevice() {
    lumora::resetProcess();
    std::filesystem::remove_all(root_);
  }
  BuiltInDevice(const BuiltInDevice&) = delete;
  BuiltInDevice& operator=(const BuiltInDevice&) = delete;
  const host::Device& device() const { return scene_.device; }

 private:
  host::scene::Scene scene_;
  std::filesystem::path root_;
};

void BM_PreviewBuiltInScene(benchmark::State& state) {
  BuiltInDevice device;
  const double scale = static_cast<double>(state.range(0));
  size_t bytes = 0;
  for (auto _ : state) {
    host::ScreensPicture picture = host::renderScreens(
        device.device(), host::wallpaperFor(device.device().interfaceStyle), scale);
    if (!picture.surface) state.SkipWithError(picture.error.c_str());
    rt::Ref<host::CGImage> image = host::CGImage::fromSurface(std::move(picture.surface));
    bytes = host::encodePNG(*image, host::PngSize::Small).size();
  }
  state.counters["png_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_PreviewBuiltInScene)->Arg(2)->Arg(3)->ArgName("scale")->Unit(benchmark::kMillisecond);

}  // namespace
