// What a live device on the device root waits on, shared by `lumora run` and
// `lumora panel`: the stop signals and the suite's file, each as a descriptor to poll.
#pragma once

#include <filesystem>
#include <string>

namespace tool {

// The wall clock as HH:MM:SS.mmm, local time.
std::string wallClock();

// SIGINT and SIGTERM as a readable descriptor; blocked so they end the loop instead of
// the process. They stay blocked afterwards: the process is ending, and a second signal
// must not cut its clean-up (the socket and the lock) short.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;
  int fd() const { return fd_; }
  // The signal that came, or 0.
  int received() const;

 private:
  int fd_ = -1;
};

// The folder of the suite's file, watched (inotify) for the file being written or
// replaced.
class PrefsWatch {
 public:
  explicit PrefsWatch(const std::filesystem::path& file);
  ~PrefsWatch();
  PrefsWatch(const PrefsWatch&) = delete;
  PrefsWatch& operator=(const PrefsWatch&) = delete;
  int fd() const { return fd_; }
  // Reads what is waiting; whether any of it was about the suite's file.
  bool changed();

 private:
  std::string name_;
  int fd_ = -1;
};

}  // namespace tool
