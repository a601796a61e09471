#include "tool/scene_session.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "host/foundation/file_io.h"
#include "host/foundation/property_list.h"
#include "host/foundation/user_defaults.h"
#include "host/foundation/utf8.h"
#include "host/quartz/cgimage.h"
#include "host/quartz/image_codec.h"
#include "host/scene/dump.h"
#include "host/scene/pictures.h"
#include "host/scene/scene_file.h"
#include "host/uikit/image.h"
#include "host/uikit/view.h"
#include "media/media_globals.h"
#include "prefs/lumora_prefs.h"
#include "startup/added_classes.h"
#include "startup/loader.h"
#include "tool/output.h"

namespace tool {
namespace {

namespace fs = std::filesystem;

fs::path preferenceFile(const fs::path& root) {
  return root / "var/mobile/Library/Preferences" / (std::string(prefs::kSuiteName) + ".plist");
}

}  // namespace

namespace {

constexpr const char* kScratchPrefix = "lumora-dump-";
constexpr const char* kScratchLock = ".lumora-scratch.lock";
// A folder without its lock file is taken for a leftover only when older than this: its
// maker may be between making it and locking it.
constexpr auto kUnlockedScratchAge = std::chrono::minutes(10);

// Removes the scratch folders of this user in `temporary` whose process is gone: their
// lock file is not held, or, without one, they are old.
void removeStaleScratch(const fs::path& temporary) {
  std::error_code error;
  for (auto it = fs::directory_iterator(temporary, error); !error && it != fs::directory_iterator();
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(kScratchPrefix, 0) != 0 || name.size() != std::strlen(kScratchPrefix) + 6)
      continue;
    struct stat st {};
    if (::lstat(it->path().c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
      continue;
    const int fd =
        ::open((it->path() / kScratchLock).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    bool stale = false;
    if (fd >= 0) {
      stale = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
      ::close(fd);
    } else if (errno == ENOENT) {
      stale =
          std::chrono::system_clock::now() - std::chrono::system_clock::from_time_t(st.st_mtime) >
          kUnlockedScratchAge;
    }
    std::error_code ignored;
    if (stale) fs::remove_all(it->path(), ignored);
  }
}

}  // namespace

ScratchRoot::ScratchRoot(const fs::path& deviceRoot) {
  std::error_code error;
  const fs::path temporary = fs::temp_directory_path(error);
  if (!error) removeStaleScratch(temporary);
  std::string pattern = (temporary / (std::string(kScratchPrefix) + "XXXXXX")).string();
  if (error || !::mkdtemp(pattern.data()))
    throw ToolError("cannot make a temporary folder for the scene's device in " +
                    (error ? std::string("$TMPDIR") : temporary.string()) + ": " +
                    (error ? error.message() : std::string(std::strerror(errno))) +
                    "; set TMPDIR to a writable folder");
  path_ = pattern;
  lock_ = ::open((path_ / kScratchLock).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                 0600);
  if (lock_ >= 0) ::flock(lock_, LOCK_EX | LOCK_NB);
  watchSignals();
  copySettings(preferenceFile(deviceRoot));
}

// The stop signals are blocked and a thread waits for them: on one it removes the folder
// and ends the process by the signal, as it would have ended without the folder.
void ScratchRoot::watchSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, signal);
  stop_ = ::eventfd(0, EFD_CLOEXEC);
  const int signals = ::signalfd(-1, &set, SFD_CLOEXEC);
  if (stop_ < 0 || signals < 0 || ::pthread_sigmask(SIG_BLOCK, &set, &previousMask_) != 0) {
    if (signals >= 0) ::close(signals);
    return;  // no clean-up on a signal: the next command removes the folder
  }
  masked_ = true;
  watcher_ = std::thread([this, signals] {
    pollfd fds[] = {{signals, POLLIN, 0}, {stop_, POLLIN, 0}};
    while (::poll(fds, 2, -1) < 0 && errno == EINTR) {
    }
    signalfd_siginfo info{};
    const bool signalled =
        (fds[0].revents & POLLIN) && ::read(signals, &info, sizeof info) == sizeof info;
    ::close(signals);
    if (!signalled) return;
    const int signal = static_cast<int>(info.ssi_signo);
    // The command may still be writing into it: a few tries.
    for (int i = 0; i < 5; ++i) {
      std::error_code ignored;
      fs::remove_all(path_, ignored);
      if (!fs::exists(path_, ignored)) break;
    }
    ::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
    ::_exit(128 + signal);
  });
}

ScratchRoot::~ScratchRoot() {
  if (watcher_.joinable()) {
    const uint64_t one = 1;
    if (::write(stop_, &one, sizeof one) == sizeof one)
      watcher_.join();
    else
      watcher_.detach();
  }
  std::error_code ignored;
  fs::remove_all(path_, ignored);
  if (lock_ >= 0) ::close(lock_);
  if (stop_ >= 0) ::close(stop_);
  // A signal that came meanwhile ends the process now, the folder gone.
  if (masked_) ::pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

void ScratchRoot::copySettings(const fs::path& from) {
  const host::FileContents contents = host::readRegularFile(from, host::kMaxPreferenceFileBytes);
  if (contents.status == host::FileContents::Status::Missing) return;
  std::string why = contents.error;
  if (why.empty() && !contents.bytes.empty())
    if (host::plist::Parsed parsed = host::plist::parse(contents.bytes); !parsed.root)
      why = parsed.error;
  if (why.empty()) why = host::replaceFile(preferenceFile(path_), contents.bytes);
  if (!why.empty())
    std::cerr << "lumora: warning: the settings in " << from.string() << " are left out (" << why
              << "); the scene starts from the defaults\n";
}

void addSceneOptions(CLI::App& command, std::optional<std::string>& sceneFile,
                     std::optional<double>& at) {
  command.add_option("--scene", sceneFile,
                     "scene file (default: the built-in scene, scenes/builtin.json)");
  command
      .add_option("--at", at,
                  "run the virtual clock to this many seconds (default: until nothing is "
                  "pending, at most 10)")
      ->check(secondsBetween(0, host::scene::kMaxSceneSeconds, "a time on the scene's clock"));
}

host::scene::Scene readScene(const std::optional<std::string>& sceneFile) {
  try {
    return sceneFile ? host::scene::readSceneFile(*sceneFile) : host::scene::builtInScene();
  } catch (const host::scene::SceneError& e) {
    throw ToolError(e.what(), 2);
  }
}

namespace {
host::scene::Scene withStyle(host::scene::Scene scene,
                             std::optional<host::Device::InterfaceStyle> style) {
  if (style) scene.device.interfaceStyle = *style;
  return scene;
}
}  // namespace

void reportLayoutLoops() {
  static size_t reported = 0;
  const auto& loops = host::layoutLoops();
  if (loops.size() < reported) reported = 0;  // the host was booted again
  for (; reported < loops.size(); ++reported) {
    std::vector<std::string> views;
    for (const std::string& v : loops[reported].views)
      if (std::find(views.begin(), views.end(), v) == views.end()) views.push_back(v);
    std::string names;
    for (const std::string& v : views) names += (names.empty() ? "" : ", ") + v;
    std::cerr << "lumora: warning: the layout does not come to rest: " << names << " laid out "
              << loops[reported].passes << " passes in a row with nothing changed from outside\n";
  }
}

SceneSession::SceneSession(const GlobalOptions& global, const std::optional<std::string>& sceneFile,
                           std::optional<host::Device::InterfaceStyle> style)
    : scene_(withStyle(readScene(sceneFile), style)),
      scratch_(deviceRoot(global)),
      host_({scratch_.path(), {}, scene_.device}) {}

std::vector<host::scene::Surface> SceneSession::run(std::optional<double> at) {
  try {
    auto surfaces = host::scene::buildDevice(scene_, {prefs::kSuiteName, &lumora::loadSystem});
    host::scene::runClock(at);
    reportLayoutLoops();
    return surfaces;
  } catch (const host::scene::DeviceError& e) {
    throw ToolError(scene_.source + ": " + e.what());
  }
}

namespace {

std::vector<std::string> addedPropertyGetters() {
  std::vector<std::string> getters;
  for (const lumora::AddedProperty& property : lumora::addedProperties())
    if (std::find(getters.begin(), getters.end(), property.getter) == getters.end())
      getters.push_back(property.getter);
  return getters;
}

}  // namespace

host::scene::Json dumpOf(const std::vector<host::scene::Surface>& surfaces) {
  return host::scene::dump(surfaces, {addedPropertyGetters(), lumora::mediaGlobalViews()});
}

// The scene's wallpaper picture, else the built-in gradient of its interface style.
host::Wallpaper wallpaperOf(const host::scene::Scene& scene) {
  host::Wallpaper wallpaper = host::wallpaperFor(scene.device.interfaceStyle);
  if (!scene.wallpaper) return wallpaper;
  const rt::Ref<> image = host::scene::pictureImage(*scene.wallpaper);
  if (const auto* ui = host::UIImage::cls.cast(image.get()))
    if (rt::Ref<> pixels = ui->CGImage(); host::CGImage::cls.isKind(pixels.get())) {
      wallpaper.picture = std::static_pointer_cast<host::CGImage>(pixels);
      return wallpaper;
    }
  // Said once a process: the live device draws again and again.
  static bool told = false;
  if (!told) {
    told = true;
    const std::vector<uint8_t> bytes = host::scene::pictureBytes(*scene.wallpaper);
    const std::string why = host::decodeImage(bytes).error;
    std::cerr << "lumora: warning: " << host::utf8::printable(scene.source)
              << ": device.wallpaper: "
              << host::utf8::printable(scene.wallpaper->file.empty() ? std::string("the picture")
                                                                     : scene.wallpaper->file)
              << " cannot be drawn (" << (why.empty() ? "it cannot be decoded" : why)
              << "); the built-in wallpaper is drawn instead; give a PNG or JPEG file\n";
  }
  return wallpaper;
}

// The drawing's notes on standard error, then the stored settings whose numbers are
// beyond any picture (sizes, widths and radii are points), which put views out of reach.
void printNotes(const host::RenderNotes& notes) {
  if (notes.empty()) return;
  for (const std::string& note : notes) std::cerr << "lumora: note: " << note << "\n";
  rt::Ref<host::NSUserDefaults> store = host::NSUserDefaults::cls.make();
  store->initWithSuiteName(host::NSStr(prefs::kSuiteName).get());
  for (const std::string& stored : store->storedKeys()) {
    rt::Ref<> value = store->storedValue(stored);
    const std::string key = host::utf8::printable(stored);
    // A number's text when no picture can hold it (a NaN included), else nothing.
    auto outOfReach = [](double n, auto number) -> std::optional<std::string> {
      if (std::abs(n) <= host::kMaxImageSide) return std::nullopt;
      return std::to_string(number);
    };
    const std::optional<std::string> beyond =
        std::visit(host::Overloaded{
                       [&](int64_t i) { return outOfReach(static_cast<double>(i), i); },
                       [&](double d) { return outOfReach(d, d); },
                       [](const auto&) -> std::optional<std::string> { return std::nullopt; },
                   },
                   host::plistValueOf(value.get()));
    if (beyond)
      std::cerr << "lumora: note: the setting " << key << " = " << *beyond
                << " is beyond what a screen can show; views it sizes are drawn shrunk or left "
                   "out (lumora prefs set "
                << key << " VALUE, or prefs delete " << key << ")\n";
  }
}

// The device's screens side by side, or why they could not be drawn; the drawing's
// notes go to standard error when `notes` is set.
host::SurfacePtr screens(const host::scene::Scene& scene, double scale, bool notes) {
  host::ScreensPicture picture = host::renderScreens(scene.device, wallpaperOf(scene), scale);
  if (notes) printNotes(picture.notes);
  if (!picture.surface) throw ToolError("drawing the preview failed: " + picture.error);
  return std::move(picture.surface);
}

// The pictures side by side, with the gap between them.
host::SurfacePtr sideBySide(const std::vector<host::SurfacePtr>& pictures, double scale) {
  int width = 0, height = 0;
  const int gap = static_cast<int>(std::ceil(host::kScreenGap * scale));
  for (const auto& p : pictures) {
    width += cairo_image_surface_get_width(p.get()) + (width ? gap : 0);
    height = std::max(height, cairo_image_surface_get_height(p.get()));
  }
  host::SurfacePtr out(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  host::ContextPtr context = host::makeContext(out.get());
  host::paintScreenGap(context.get());
  int x = 0;
  for (const auto& p : pictures) {
    cairo_set_source_surface(context.get(), p.get(), x, 0);
    cairo_paint(context.get());
    x += cairo_image_surface_get_width(p.get()) + gap;
  }
  if (!host::finish(context.get())) throw ToolError("composing the pictures failed");
  return out;
}

std::vector<uint8_t> screensPNG(const host::scene::Scene& scene, double scale) {
  rt::Ref<host::CGImage> image = host::CGImage::fromSurface(screens(scene, scale));
  if (!image) throw ToolError("the preview is too large to encode; try a smaller --scale");
  return host::encodePNG(*image, host::PngSize::Small);
}

}  // namespace tool
