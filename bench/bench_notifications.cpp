// Notification costs the layout pays: the dominant colour (warm from the cache, cold
// through the analysis), one banner's layout with the system's adjustments against the
// host's own, and a lockscreen list growing to 50 notifications; and, for scale in the
// same run, one widget's restyle pass.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>

#include "host/foundation/main_queue.h"
#include "host/foundation/values.h"
#include "host/host.h"
#include "host/quartz/cgimage.h"
#include "host/springboard/app_registry.h"
#include "host/springboard/notification_request.h"
#include "host/springboard/presentation.h"
#include "host/springboard/widgets.h"
#include "host/uikit/image.h"
#include "host/uikit/view.h"
#include "notifications/system_selectors.h"
#include "prefs/globals.h"
#include "startup/loader.h"
#include "widgets/restyle.h"

#include "bench_device.h"

namespace {

namespace fs = std::filesystem;
using rt::Ref;

// An icon of many colours, so the dominant colour has clusters to find.
std::vector<uint32_t> noisyIcon() {
  std::vector<uint32_t> pixels(180 * 180);
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = 0xff000000u | static_cast<uint32_t>(i * 2654435761u >> 8 & 0xffffff);
  return pixels;
}

// The mail device with the system loaded, or with "enabled" off.
struct Device {
  bench::MailDevice device{"nc", noisyIcon(), &lumora::resetProcess};
  explicit Device(bool enabled) {
    if (!enabled) {
      Ref<> store = rt::send(rt::send(cls::NSUserDefaults, sel::alloc), sel::initWithSuiteName,
                             host::NSStr("com.tarnwick.lumora"));
      rt::send(store, sel::setObject_forKey, rt::send(cls::NSNumber, sel::numberWithBool, false),
               host::NSStr("enabled"));
    }
    lumora::loadSystem();
  }
  static Ref<> request() { return bench::MailDevice::request("Lunch at noon?"); }
};

// Marks every view of the tree, as a new size or a changed setting would.
void markTree(host::UIView& view) {
  view.setNeedsLayout();
  for (auto& child : view.subviewList()) markTree(*child);
}

void layOut(rt::id window) {
  markTree(*host::UIView::cls.cast(window));
  rt::send(window, sel::layoutIfNeeded);
}

void BM_DominantColourWarm(benchmark::State& state) {
  Device device(true);
  Ref<> controller = host::presentBanner(Device::request().get());
  rt::send(controller, sel::getDominantColor);
  for (auto _ : state) benchmark::DoNotOptimize(rt::send(controller, sel::getDominantColor));
}
BENCHMARK(BM_DominantColourWarm);

void BM_DominantColourCold(benchmark::State& state) {
  Device device(true);
  Ref<> controller = host::presentBanner(Device::request().get());
  for (auto _ : state) {
    rt::send(lumora::colorCache, sel::removeAllObjects);
    benchmark::DoNotOptimize(rt::send(controller, sel::getDominantColor));
  }
}
BENCHMARK(BM_DominantColourCold);

// The banner's whole layout with the system loaded; the counters give the same layout
// with "enabled" off, measured in the same run, and the ratio of the two.
void BM_BannerLayout(benchmark::State& state) {
  double hostNs = 0;
  {
    Device device(false);
    host::presentBanner(Device::request().get());
    Ref<> window = host::bannerWindow();
    constexpr int kRounds = 20000;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRounds; ++i) layOut(window.get());
    hostNs =
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() /
        kRounds;
  }
  Device device(true);
  host::presentBanner(Device::request().get());
  Ref<> window = host::bannerWindow();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) layOut(window.get());
  const double systemNs =
      std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() /
      static_cast<double>(state.iterations());
  state.counters["host_ns"] = hostNs;
  state.counters["added_ns"] = systemNs - hostNs;
  state.counters["ratio"] = systemNs / hostNs;
}
BENCHMARK(BM_BannerLayout);

// The restyle pass of one banner, everything created and the colour cache warm.
void BM_RestylePassWarm(benchmark::State& state) {
  Device device(true);
  Ref<> controller = host::presentBanner(Device::request().get());
  host::main_queue::drain();
  for (auto _ : state) {
    rt::send(controller, sel::viewDidLayoutSubviews);
    host::main_queue::advance(0);
  }
}
BENCHMARK(BM_RestylePassWarm);

// The widget pass of one widget with the mail app's icon, its views made and the colour
// cache warm; the colours, corners, frames and border are set on every pass.
void BM_WidgetPassWarm(benchmark::State& state) {
  Device device(true);
  rt::send(lumora::preferences, sel::setValue_forKey, host::NSStr("dominant"),
           host::NSStr("colorBackgroundWidget"));
  Ref<> controller = host::showWidget({"mail", "Mail", host::findApp("com.example.mail")->icon, 0});
  host::main_queue::advance(host::NSEC_PER_SEC);
  for (auto _ : state) {
    rt::send(controller, sel::lumoraColorize);
    host::main_queue::advance(0);
  }
}
BENCHMARK(BM_WidgetPassWarm);

void BM_LockscreenLayout(benchmark::State& state) {
  Device device(true);
  for (int64_t i = 0; i < state.range(0); ++i)
    host::showOnLockscreen(Device::request().get(), "", i % 2 == 0);
  Ref<> window = host::lockscreenWindow();
  for (auto _ : state) layOut(window.get());
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LockscreenLayout)->Arg(10)->Arg(25)->Arg(50)->Complexity(benchmark::oN);

}  // namespace
