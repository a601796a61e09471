// How other processes reach a running `lumora run`: its lock file and its socket, both
// under the device root. The lock file (".lumora-run.lock") is held with flock for the
// life of the run and says who holds it, so a second run on the root is refused with
// that text (the file is readable by all, so a run of another user is told too). The
// socket (".lumora-run.sock", mode 0600, so only the same user may connect) takes one
// Darwin notification name per connection, a line, and answers "ok" once the name is
// posted to the device's notify centre, or "error: WHY".
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

namespace tool {

std::filesystem::path runLockPath(const std::filesystem::path& root);
std::filesystem::path runSocketPath(const std::filesystem::path& root);

// The hold of a live device (`lumora run` or `lumora panel`) on the device root; refused
// (ToolError) while another holds it, naming that one's command from the start of its
// note ("lumora panel, pid 12, ...").
// Removes the lock file when destroyed.
class RunLock {
 public:
  // `who` is written into the lock file for a refused second run to show; it starts
  // with the command, "lumora run, " or "lumora panel, ".
  RunLock(const std::filesystem::path& root, const std::string& who);
  ~RunLock();
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;

 private:
  // The lock file cannot be opened for writing: refuses, naming the run that holds it.
  [[noreturn]] void refuseForeign(const std::filesystem::path& root);
  std::filesystem::path path_;
  int fd_ = -1;
};

// The listening socket of a run; removed when destroyed. Make it only while holding the
// RunLock: a socket file left by a run that was killed is replaced.
class DarwinSocket {
 public:
  explicit DarwinSocket(const std::filesystem::path& root);
  ~DarwinSocket();
  DarwinSocket(const DarwinSocket&) = delete;
  DarwinSocket& operator=(const DarwinSocket&) = delete;
  int fd() const { return fd_; }
  // Takes one waiting connection and reads its name (waiting at most a short while for
  // it). Nothing when no proper name came; the peer has then been told why. Call
  // `answer` after posting the name.
  std::optional<std::string> receive();
  void answer(const std::string& reply);

 private:
  std::filesystem::path path_;
  int fd_ = -1, peer_ = -1;
};

// Sends the name to the run on the root and waits for its answer, at most `patience` in
// all (connecting included). True when the run confirmed the post; false when the name
// was sent but the run has not answered yet (it is busy or stopped, and posts it when
// it goes on). A ToolError when no run is there, the name could not be sent in time,
// or the run refuses it.
bool postToRunningDevice(const std::filesystem::path& root, const std::string& name,
                         std::chrono::milliseconds patience);

// What is wrong with a notification name (empty, too long, control characters, not
// UTF-8), or empty when it can be posted.
std::string notificationNameProblem(const std::string& name);

}  // namespace tool
