// Message send through the per-class cache: the cost every host call of the system pays.
#include <benchmark/benchmark.h>

#include "runtime/runtime.h"

namespace {

struct Counter : rt::Object {
  int64_t value = 0;
  int64_t next() { return ++value; }
  rt::CGRect frame() const { return rt::CGRectMake(1, 2, 3, 4); }
};
const rt::ClassOf<Counter> kLeaf{"BenchLeaf"};
const rt::Sel<int64_t()> kNext{"next"};
const rt::Sel<rt::CGRect()> kFrame{"frame"};

struct Fixture {
  rt::Class base, leaf;
  rt::Ref<Counter> object;
  Fixture() {
    base = rt::objc_registerClass("BenchBase", nullptr);
    rt::bindMethod<&Counter::next>(base, kNext);
    rt::bindMethod<&Counter::frame>(base, kFrame);
    // A few levels down, like a host view class under UIView.
    rt::Class mid = rt::objc_registerClass("BenchMid", base);
    rt::Class mid2 = rt::objc_registerClass("BenchMid2", mid);
    leaf = rt::objc_registerClass("BenchLeaf", mid2);
    object = kLeaf.make();
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void BM_SendCachedInteger(benchmark::State& state) {
  rt::id self = fixture().object.get();
  for (auto _ : state) benchmark::DoNotOptimize(rt::send(self, kNext));
}
BENCHMARK(BM_SendCachedInteger);

void BM_SendCachedRect(benchmark::State& state) {
  rt::id self = fixture().object.get();
  for (auto _ : state) benchmark::DoNotOptimize(rt::send(self, kFrame));
}
BENCHMARK(BM_SendCachedRect);

void BM_SendToNil(benchmark::State& state) {
  rt::id nothing = nullptr;
  benchmark::DoNotOptimize(nothing);
  for (auto _ : state) benchmark::DoNotOptimize(rt::send(nothing, kFrame));
}
BENCHMARK(BM_SendToNil);

}  // namespace
