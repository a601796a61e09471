#include "tool/live_watch.h"

#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tool/commands.h"

namespace tool {

namespace fs = std::filesystem;

std::string wallClock() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  ::localtime_r(&now.tv_sec, &local);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03ld", local.tm_hour, local.tm_min,
                local.tm_sec, now.tv_nsec / 1'000'000);
  return text;
}

StopSignals::StopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  ::sigprocmask(SIG_BLOCK, &set, nullptr);
  fd_ = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
  if (fd_ < 0) throw ToolError(std::string("cannot watch for signals: ") + std::strerror(errno));
}

StopSignals::~StopSignals() {
  ::close(fd_);
}

int StopSignals::received() const {
  signalfd_siginfo info{};
  return ::read(fd_, &info, sizeof info) == sizeof info ? static_cast<int>(info.ssi_signo) : 0;
}

PrefsWatch::PrefsWatch(const fs::path& file) : name_(file.filename().string()) {
  std::error_code ignored;
  fs::create_directories(file.parent_path(), ignored);
  fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0 ||
      ::inotify_add_watch(fd_, file.parent_path().c_str(),
                          IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_CREATE) < 0)
    throw ToolError("cannot watch " + file.parent_path().string() +
                    " for changes: " + std::strerror(errno));
}

PrefsWatch::~PrefsWatch() {
  ::close(fd_);
}

bool PrefsWatch::changed() {
  bool ours = false;
  alignas(inotify_event) char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n <= 0) return ours;
    for (ssize_t at = 0; at < n;) {
      const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
      if (e->len && name_ == e->name) ours = true;
      if (e->mask & IN_Q_OVERFLOW) ours = true;
      at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
    }
  }
}

}  // namespace tool
