// Preference reads as the restyle passes make them: a message to the shared LumoraPrefs
// with a constant key, answered from memory; a write as `lumora prefs set` makes it; and
// the schema's checks of values.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include "host/foundation/user_defaults.h"
#include "host/foundation/values.h"
#include "host/host.h"
#include "prefs/lumora_prefs.h"

namespace {

namespace fs = std::filesystem;

// A booted host with the shared store, on a scratch device root removed at exit.
struct Store {
  fs::path root;
  rt::Ref<> preferences;
  Store() {
    std::string pattern = (fs::temp_directory_path() / "lumora-bench-prefs-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    root = pattern;
    host::boot({root, {}});
    preferences = rt::send(prefs::registerLumoraPrefs(), sel::sharedInstance);
    // One stored key, so the persistent layer answers it.
    rt::send(preferences, sel::setValue_forKey, host::NSNumber::numberWithBool(true),
             LUMORA_STR("enableBanners"));
  }
  ~Store() {
    preferences.reset();
    prefs::resetLumoraPrefs();
    host::reset();
    fs::remove_all(root);
  }
};

Store& store() {
  static Store s;
  return s;
}

void BM_BoolForRegisteredKey(benchmark::State& state) {
  rt::id preferences = store().preferences.get();
  rt::id key = LUMORA_STR("enabled");
  for (auto _ : state) benchmark::DoNotOptimize(rt::send(preferences, sel::boolForKey, key));
}
BENCHMARK(BM_BoolForRegisteredKey);

void BM_ValueForRegisteredKey(benchmark::State& state) {
  rt::id preferences = store().preferences.get();
  rt::id key = LUMORA_STR("colorHeaderBanner");
  for (auto _ : state) benchmark::DoNotOptimize(rt::send(preferences, sel::valueForKey, key));
}
BENCHMARK(BM_ValueForRegisteredKey);

void BM_BoolForStoredKey(benchmark::State& state) {
  rt::id preferences = store().preferences.get();
  rt::id key = LUMORA_STR("enableBanners");
  for (auto _ : state) benchmark::DoNotOptimize(rt::send(preferences, sel::boolForKey, key));
}
BENCHMARK(BM_BoolForStoredKey);

// One write as `prefs set` makes it, to a file holding every registered setting: the
// lock, the re-read, the check that the new file reads back, the rename and two syncs.
void BM_WriteOneSetting(benchmark::State& state) {
  auto* defaults = dynamic_cast<host::NSUserDefaults*>(store().preferences.get());
  for (const prefs::Default& d : prefs::registeredDefaults())
    if (!defaults->write(d.key, host::NSStr("stored").get())) std::abort();
  bool on = false;
  for (auto _ : state)
    if (!defaults->write("enableBanners", host::NSNumber::numberWithBool(on = !on).get()))
      state.SkipWithError("write failed");
}
BENCHMARK(BM_WriteOneSetting)->Unit(benchmark::kMicrosecond);

// Checking every setting's default against the schema, as a settings page does when it
// shows them all; and one refused colour, whose message names what to type.
void BM_CheckEverySetting(benchmark::State& state) {
  for (auto _ : state)
    for (const prefs::Setting& s : prefs::schema())
      benchmark::DoNotOptimize(prefs::check(s.key, s.defaultValue));
}
BENCHMARK(BM_CheckEverySetting)->Unit(benchmark::kMicrosecond);

void BM_CheckRefusedColour(benchmark::State& state) {
  const prefs::Value value = std::string("#F80");
  for (auto _ : state) benchmark::DoNotOptimize(prefs::check("colorBackgroundBanner", value));
}
BENCHMARK(BM_CheckRefusedColour);

}  // namespace
