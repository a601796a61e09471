// Rendering costs: the banner window (a 375 x 812 point screen holding one banner) drawn
// whole, at scale 2 and 3, with and without the card's shadow. Aim: under 60 ms at
// scale 2.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include "host/foundation/foundation_selectors.h"
#include "host/foundation/main_queue.h"
#include "host/foundation/value_helpers.h"
#include "host/host.h"
#include "host/quartz/cgimage.h"
#include "host/render/render.h"
#include "host/springboard/app_registry.h"
#include "host/springboard/notification_request.h"
#include "host/springboard/presentation.h"
#include "host/uikit/image.h"

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

}  // namespace
