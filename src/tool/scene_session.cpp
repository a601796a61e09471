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
#include "host/scene/scene_file.h"
#include "host/uikit/view.h"
#include "prefs/lumora_prefs.h"
#include "startup/loader.h"

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

}  // namespace tool
