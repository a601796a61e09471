// lumora run: the scene's device kept running in real time on the device root, until
// SIGINT or SIGTERM. The main queue's clock follows the wall clock; the suite's file is
// watched (inotify), so a setting another process writes shows on the next layout;
// Darwin notifications come in through the root's socket (`lumora notify`); after every
// change that shows, the preview and dump are written anew, atomically, at most ten
// times a second; every event is one line on standard output.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <iostream>
#include <map>
#include <random>

#include "host/foundation/darwin_notify.h"
#include "host/foundation/file_io.h"
#include "host/foundation/main_queue.h"
#include "host/foundation/random.h"
#include "host/foundation/user_defaults.h"
#include "host/foundation/utf8.h"
#include "host/springboard/bulletins.h"
#include "prefs/lumora_prefs.h"
#include "startup/loader.h"
#include "tool/commands.h"
#include "tool/device_link.h"
#include "tool/live_watch.h"
#include "tool/output.h"
#include "tool/scene_session.h"

namespace tool {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto kMinWriteInterval = std::chrono::milliseconds(100);
// After a failed write, how long until the file is written again.
constexpr auto kRetryInterval = std::chrono::seconds(1);

struct RunOptions {
  std::optional<std::string> scene, preview, dump;
  double scale = 2;
  std::optional<uint64_t> seed;
  bool demo = false;
  bool applySceneSettings = false;
};

// Set when standard output is gone (a pipe whose reader ended): the run then stops.
bool outputLost = false;

void event(const std::string& what) {
  std::cout << wallClock() << " " << host::utf8::printable(what) << std::endl;
  if (!std::cout) outputLost = true;
}

// A stored value for people: text as it is, numbers and booleans as JSON.
std::string valueText(rt::id value) {
  return std::visit(
      host::Overloaded{
          [](bool b) -> std::string { return b ? "true" : "false"; },
          [](int64_t i) { return std::to_string(i); },
          [](double d) { return compactJson(d); },
          [](const host::NSString* string) {
            return string->text().empty() ? "\"\"" : host::utf8::printable(string->text());
          },
          [value](const auto&) { return host::utf8::printable(host::formatObject(value)); },
      },
      host::plistValueOf(value));
}

// The text of a scene's setting, as the event lines show stored values.
std::string valueText(const host::scene::PreferenceValue& value) {
  if (const bool* b = std::get_if<bool>(&value)) return *b ? "true" : "false";
  if (const int64_t* i = std::get_if<int64_t>(&value)) return std::to_string(*i);
  const std::string& text = std::get<std::string>(value);
  return text.empty() ? "\"\"" : host::utf8::printable(text);
}

// Whether the stored value is the scene's value, of the same kind.
bool sameValue(rt::id stored, const host::scene::PreferenceValue& value) {
  return std::visit(host::Overloaded{
                        [&](bool b) { return value == host::scene::PreferenceValue(b); },
                        [&](int64_t i) { return value == host::scene::PreferenceValue(i); },
                        [&](const host::NSString* string) {
                          return value == host::scene::PreferenceValue(string->text());
                        },
                        [](const auto&) { return false; },
                    },
                    host::plistValueOf(stored));
}

// A copy of the preference file beside it, named for the time, never over another file;
// answers its path, or a ToolError.
fs::path keepCopy(const fs::path& file) {
  const host::FileContents contents = host::readRegularFile(file, host::kMaxPreferenceFileBytes);
  if (contents.status != host::FileContents::Status::Read)
    throw ToolError("cannot keep a copy of " + file.string() +
                    " before applying the scene's "
                    "settings: " +
                    contents.error + "; nothing was changed");
  struct stat st {};
  const mode_t mode = ::stat(file.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0600;
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  ::localtime_r(&now.tv_sec, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  for (int n = 1;; ++n) {
    const fs::path copy =
        file.string() + ".before-run-" + stamp + (n > 1 ? "-" + std::to_string(n) : "");
    const int fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd < 0 && errno == EEXIST && n < 100) continue;
    bool done = fd >= 0;
    for (size_t at = 0; done && at < contents.bytes.size();) {
      const ssize_t w = ::write(fd, contents.bytes.data() + at, contents.bytes.size() - at);
      if (w < 0 && errno == EINTR) continue;
      done = w > 0;
      if (done) at += static_cast<size_t>(w);
    }
    done = done && ::fsync(fd) == 0;
    const int error = errno;
    if (fd >= 0 && ::close(fd) != 0) done = false;
    if (done) return copy;
    if (fd >= 0) ::unlink(copy.c_str());
    throw ToolError("cannot keep a copy of " + file.string() + " in " + copy.string() + ": " +
                    std::strerror(error) + "; nothing was changed");
  }
}

// The scene's settings as they go to the person's preference file. By default the
// person's stored values are kept: a setting of the scene, or of its timeline, whose
// key the person stored is left out, and said so on the first lines. With
// --apply-scene-settings they go over the stored ones, each change said, after a copy
// of the file as it was is kept.
host::scene::Scene withSceneSettings(host::scene::Scene scene, bool apply) {
  auto store = host::NSUserDefaults::cls.make();
  store->initWithSuiteName(host::NSStr(prefs::kSuiteName).get());
  if (!store->readable()) {
    event("warning: " + store->problem() + "; the defaults apply until it is repaired" +
          (apply ? "" : ", and the scene's settings are not stored"));
    if (apply) return scene;  // storing fails, naming the file
    if (!scene.preferences.empty()) event("the scene's settings are not applied");
    scene.preferences.clear();
    for (auto& e : scene.timeline) e.set.clear(), e.keys.clear();
    return scene;
  }
  std::vector<std::string> lines;
  host::scene::Preferences kept;
  for (const auto& [key, value] : scene.preferences) {
    rt::Ref<> stored = store->storedValue(key);
    if (stored && sameValue(stored.get(), value)) continue;
    if (!stored || apply) kept.emplace_back(key, value);
    lines.push_back("  " + key + ": " +
                    (stored ? "stored " + valueText(stored.get()) : "not stored") +
                    ", the scene's " + valueText(value));
  }
  if (apply) {
    if (!lines.empty()) {
      const fs::path file = store->filePath();
      std::error_code error;
      if (fs::exists(file, error))
        event("kept a copy of the settings as they were in " + keepCopy(file).string());
      event("the scene's settings applied over the stored ones:");
      for (const std::string& line : lines) event(line);
    }
    return scene;
  }
  std::vector<std::string> skipped;
  for (const std::string& line : lines)
    if (line.find(": stored ") != std::string::npos) skipped.push_back(line);
  // The timeline's writes to keys the person stored are left out too.
  for (auto& e : scene.timeline) {
    std::erase_if(e.set, [&](const auto& entry) {
      if (!store->storedValue(entry.first)) return false;
      skipped.push_back("  " + entry.first + " (set by the timeline at " + compactJson(e.at) +
                        " s)");
      return true;
    });
    std::erase_if(e.keys, [&](const std::string& key) {
      if (!store->storedValue(key)) return false;
      skipped.push_back("  " + key + " (deleted by the timeline at " + compactJson(e.at) + " s)");
      return true;
    });
  }
  scene.preferences = std::move(kept);
  if (!skipped.empty()) {
    event(
        "the scene's settings not applied, your stored values kept (--apply-scene-settings "
        "applies them):");
    for (const std::string& line : skipped) event(line);
  }
  return scene;
}

// The device running: the clock, the event lines and the files written.
class LiveDevice {
 public:
  LiveDevice(const RunOptions& options, const host::scene::Scene& scene,
             std::vector<host::scene::Surface> surfaces)
      : options_(options), scene_(scene), surfaces_(std::move(surfaces)), start_(Clock::now()) {
    store_ = host::NSUserDefaults::cls.make();
    store_->initWithSuiteName(host::NSStr(prefs::kSuiteName).get());
    stored_ = storedValues();
    locked_ = host::device().locked;
    readable_ = store_->readable();
  }

  // Runs what is due by the wall clock and reports what happened.
  void catchUp() {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start_);
    const auto target = static_cast<uint64_t>(elapsed.count());
    const uint64_t now = host::main_queue::now();
    if (host::main_queue::advance(target > now ? target - now : 0) > 0) dirty_ = true;
    reportLayoutLoops();
    report();
  }

  // A change of the suite's file: everything lays out again in the next batch, which
  // first reads the file.
  void prefsFileChanged() {
    host::scene::markEverythingForLayout();
    host::main_queue::requestCommit();
    dirty_ = true;
  }

  void post(const std::string& name) {
    event("darwin " + name);
    host::CFNotificationCenterPostNotification(host::CFNotificationCenterGetDarwinNotifyCenter(),
                                               host::NSStr(name).get(), nullptr, nullptr, true);
  }

  // When the files are written: the first time (a failure stops the run before it
  // starts), when due (something changed and the last write is long enough ago, or a
  // failed write is to be tried again), and the last time, on stop, whatever the interval.
  enum class When { First, Due, Last };

  // Writes the files whose content is not the device as it shows now.
  void writeIfDue(When when = When::Due) {
    const auto now = Clock::now();
    const bool retry = retryAt_ && now >= *retryAt_;
    if (when == When::Due && !retry && (!dirty_ || now - lastWrite_ < kMinWriteInterval)) return;
    dirty_ = false;
    retryAt_.reset();
    host::scene::Json dump = dumpOf(surfaces_);
    host::scene::Json shown = dump;
    shown.erase("time");
    std::string text = shown.dump(-1, ' ', false, host::scene::Json::error_handler_t::replace);
    if (text != lastShown_) lastWrite_ = now;
    lastShown_ = text;
    if (options_.dump && dumpFile_.shown != text)
      write(dumpFile_, text,
            dump.dump(-1, ' ', false, host::scene::Json::error_handler_t::replace) + "\n", when);
    if (options_.preview && previewFile_.shown != text) {
      // A picture that cannot be drawn is reported and the device goes on; it is drawn
      // again after the next change.
      std::vector<uint8_t> png;
      try {
        png = screensPNG(scene_, options_.scale);
      } catch (const std::exception& e) {
        previewFile_.shown = text;
        event("cannot draw " + previewFile_.name + ": " + e.what() +
              "; the device goes on, and the picture is drawn again after the next change");
        return;
      }
      write(previewFile_, text,
            std::string_view(reinterpret_cast<const char*>(png.data()), png.size()), when);
    }
  }

  // Milliseconds until the loop has something to do without any input (-1: nothing).
  int idleTimeout() const {
    int64_t wait = -1;
    auto sooner = [&wait](int64_t ms) { wait = wait < 0 ? ms : std::min(wait, ms); };
    if (std::optional<uint64_t> due = host::main_queue::nextDueTime()) {
      const auto at = start_ + std::chrono::nanoseconds(*due);
      sooner(std::max<int64_t>(
          0, std::chrono::ceil<std::chrono::milliseconds>(at - Clock::now()).count()));
    }
    auto until = [](Clock::time_point at) {
      return std::max<int64_t>(
          0, std::chrono::ceil<std::chrono::milliseconds>(at - Clock::now()).count());
    };
    if (dirty_) sooner(until(lastWrite_ + kMinWriteInterval));
    if (retryAt_) sooner(until(*retryAt_));
    return static_cast<int>(std::min<int64_t>(wait, 60'000));
  }

 private:
  std::map<std::string, std::string> storedValues() const {
    std::map<std::string, std::string> values;
    for (const std::string& key : store_->storedKeys())
      values[key] = valueText(store_->storedValue(key).get());
    return values;
  }

  void report() {
    const auto& posted = host::bulletins();
    for (; reported_ < posted.size(); ++reported_) {
      const host::Bulletin& b = posted[reported_];
      event("bulletin " + host::utf8::printable(b.bundleIdentifier) + " " + compactJson(b.title) +
            " " + compactJson(b.message) +
            (b.presentation == host::Bulletin::Presentation::Banner ? " banner" : " lockscreen"));
      dirty_ = true;
    }
    if (host::device().locked != locked_) {
      locked_ = host::device().locked;
      event(locked_ ? "locked" : "unlocked");
      dirty_ = true;
    }
    if (store_->readable() != readable_) {
      readable_ = store_->readable();
      event(readable_ ? "prefs readable again"
                      : "prefs unreadable: " + store_->problem() + "; the defaults apply");
      dirty_ = true;
    }
    std::map<std::string, std::string> now = storedValues();
    if (now == stored_) return;
    for (const auto& [key, value] : now)
      if (auto it = stored_.find(key); it == stored_.end() || it->second != value)
        event("prefs " + host::utf8::printable(key) + " = " + value);
    for (const auto& [key, value] : stored_)
      if (!now.count(key)) event("prefs " + host::utf8::printable(key) + " removed");
    stored_ = std::move(now);
    dirty_ = true;
  }

  // A file the run writes, and the device state (the dump without its time) it last
  // took in.
  struct Output {
    std::string name, shown;
    bool failing = false;
  };

  // The first write failing stops the run before it starts; a later one is reported
  // once and tried again until it succeeds.
  void write(Output& file, const std::string& shown, std::string_view bytes, When when) {
    const std::string error = writeOutputFile(
        file.name, bytes, file.name == options_.dump ? "live.json" : "lumora-preview.png");
    if (error.empty()) {
      file.shown = shown;
      file.failing = false;
      event("wrote " + file.name);
      return;
    }
    if (when == When::First) throw ToolError(error);
    if (!file.failing)
      std::cerr << "lumora: warning: " << host::utf8::printable(error)
                << (when == When::Last ? "" : "; it is tried again every second") << std::endl;
    file.failing = true;
    retryAt_ = Clock::now() + kRetryInterval;
  }

  const RunOptions& options_;
  const host::scene::Scene& scene_;
  std::vector<host::scene::Surface> surfaces_;
  Clock::time_point start_, lastWrite_{};
  std::optional<Clock::time_point> retryAt_;
  Output dumpFile_{options_.dump.value_or(""), {}}, previewFile_{options_.preview.value_or(""), {}};
  rt::Ref<host::NSUserDefaults> store_;
  std::map<std::string, std::string> stored_;
  size_t reported_ = 0;
  bool locked_ = false, dirty_ = false, readable_ = true;
  std::string lastShown_;
};

void runRun(const GlobalOptions& global, RunOptions options) {
  // Blocked first, so a signal from now on ends the run cleanly; a closed output is
  // noticed as a failed write instead of killing the process.
  StopSignals signals;
  ::signal(SIGPIPE, SIG_IGN);
  outputLost = false;
  const fs::path root = deviceRoot(global);
  if (!options.preview && !options.dump) options.preview = "lumora-preview.png";
  host::scene::Scene scene = readScene(options.scene);
  RunLock lock(root, "lumora run, pid " + std::to_string(::getpid()) + ", started at " +
                         wallClock() + " with " + scene.source);
  DarwinSocket socket(root);
  PrefsWatch watch(root / "var/mobile/Library/Preferences" /
                   (std::string(prefs::kSuiteName) + ".plist"));

  HostSession host({root, {}, scene.device});
  scene = withSceneSettings(std::move(scene), options.applySceneSettings);
  host::random_source::seed(options.seed ? *options.seed : std::random_device{}());
  std::vector<host::scene::Surface> surfaces;
  try {
    surfaces = host::scene::buildDevice(scene, {prefs::kSuiteName, [&options] {
                                                  lumora::showCustomMessages = options.demo;
                                                  lumora::loadSystem();
                                                }});
  } catch (const host::scene::DeviceError& e) {
    throw ToolError(scene.source + ": " + e.what());
  }
  LiveDevice device(options, scene, std::move(surfaces));
  watch.changed();  // the scene's own settings, written just now
  event("running " + scene.source + " on " + root.string() +
        "; post with lumora notify NAME, stop with Ctrl-C");
  device.catchUp();
  device.writeIfDue(LiveDevice::When::First);

  for (;;) {
    pollfd fds[] = {{signals.fd(), POLLIN, 0}, {watch.fd(), POLLIN, 0}, {socket.fd(), POLLIN, 0}};
    if (::poll(fds, 3, device.idleTimeout()) < 0 && errno != EINTR)
      throw ToolError(std::string("waiting for events failed: ") + std::strerror(errno));
    if (fds[0].revents & POLLIN) {
      const int signal = signals.received();
      event(std::string("stopping on ") + (signal == SIGINT ? "SIGINT" : "SIGTERM"));
      // What changed just before still goes to the files.
      device.catchUp();
      if (watch.changed()) device.prefsFileChanged();
      device.catchUp();
      device.writeIfDue(LiveDevice::When::Last);
      break;
    }
    // The clock first catches up with the wall clock, so what comes in now is queued
    // at the time it came, not at the time of the last batch.
    device.catchUp();
    if ((fds[1].revents & POLLIN) && watch.changed()) device.prefsFileChanged();
    if (fds[2].revents & POLLIN)
      while (std::optional<std::string> name = socket.receive()) {
        device.post(*name);
        socket.answer("ok");
      }
    device.catchUp();
    device.writeIfDue();
    if (outputLost) {
      std::cerr << "lumora: standard output is closed; stopping" << std::endl;
      device.writeIfDue(LiveDevice::When::Last);
      break;
    }
  }
}

}  // namespace

void addRunCommand(CLI::App& app, const GlobalOptions& global) {
  auto options = std::make_shared<RunOptions>();
  CLI::App* cmd = app.add_subcommand(
      "run", "keep a scene's device running in real time on the device root, until Ctrl-C");
  cmd->add_option("--scene", options->scene,
                  "scene file (default: the built-in scene, scenes/builtin.json)");
  cmd->add_option("--preview", options->preview,
                  "PNG written anew after every change that shows (default, when neither "
                  "--preview nor --dump is given: lumora-preview.png)");
  cmd->add_option("--dump", options->dump, "JSON dump written anew after every change");
  addScaleOption(*cmd, options->scale, "pixels per point of the preview: 1, 2 or 3 (default: 2)");
  cmd->add_option("--seed", options->seed,
                  "seed of the random choice of apps for test notifications (default: random)");
  cmd->add_flag("--demo", options->demo,
                "show the four demonstration notifications four seconds after start");
  cmd->add_flag("--apply-scene-settings", options->applySceneSettings,
                "store the scene's settings over the ones stored in the device root, saying "
                "each change and keeping a copy of the file as it was (default: stored "
                "settings are kept)");
  cmd->footer(
      "Settings written meanwhile (lumora prefs set) show on the next layout; lumora notify "
      "NAME posts a Darwin notification to it. The scene's settings are stored in the device "
      "root's preference file, except those it already holds (see --apply-scene-settings).");
  cmd->callback([options, &global] { runRun(global, *options); });
}

}  // namespace tool
