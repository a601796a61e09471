#include "tool/device_link.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <sstream>

#include "host/foundation/utf8.h"
#include "tool/commands.h"

namespace tool {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr size_t kMaxName = 512;
constexpr auto kPeerPatience = std::chrono::milliseconds(500);  // for a poster to send its name

std::string lastError() {
  return std::strerror(errno);
}

// The socket's address; a ToolError when the path does not fit one.
sockaddr_un addressOf(const fs::path& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string text = path.string();
  if (text.size() >= sizeof(address.sun_path))
    throw ToolError("the device root's path is too long for its socket (" + text + ", " +
                    std::to_string(text.size()) + " bytes; at most " +
                    std::to_string(sizeof(address.sun_path) - 1) + "); pass a shorter --root");
  std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
  return address;
}

// A line read from a peer, or why none came.
struct LineRead {
  enum class Status { Line, TooLong, TimedOut, Closed };
  Status status = Status::TimedOut;
  std::string line;
};

// Reads up to a newline, at most `limit` bytes, waiting until `deadline` in all. A peer
// that closes after some text gives that text as the line.
LineRead readLine(int fd, size_t limit, Clock::time_point deadline) {
  LineRead out;
  char c;
  while (out.line.size() <= limit) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd p{fd, POLLIN, 0};
    if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) == 0) return out;
    const ssize_t n = ::read(fd, &c, 1);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) {
      out.status = out.line.empty() ? LineRead::Status::Closed : LineRead::Status::Line;
      return out;
    }
    if (c == '\n') {
      out.status = LineRead::Status::Line;
      return out;
    }
    out.line += c;
  }
  out.status = LineRead::Status::TooLong;
  return out;
}

void writeAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      pollfd p{fd, POLLOUT, 0};
      if (::poll(&p, 1, 100) >= 0) continue;
    }
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

}  // namespace

fs::path runLockPath(const fs::path& root) {
  return root / ".lumora-run.lock";
}
fs::path runSocketPath(const fs::path& root) {
  return root / ".lumora-run.sock";
}

std::string notificationNameProblem(const std::string& name) {
  if (name.empty()) return "the notification name is empty";
  if (name.size() > kMaxName)
    return "the notification name is longer than " + std::to_string(kMaxName) + " bytes";
  if (std::string why = host::utf8::storageProblem(name); !why.empty())
    return "the notification name cannot be posted: " + why;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7f)
      return "the notification name holds a control character (" + host::utf8::printable(name) +
             ")";
  return {};
}

namespace {

// The command of a lock's holder and the rest of its note: "lumora panel, pid 12, ..."
// gives "lumora panel" and "pid 12, ...". A note without one is a run's.
std::pair<std::string, std::string> holderOf(const std::string& note) {
  for (const char* command : {"lumora run", "lumora panel"})
    if (note.starts_with(std::string(command) + ", "))
      return {command, note.substr(std::strlen(command) + 2)};
  return {"lumora run", note};
}

}  // namespace

RunLock::RunLock(const fs::path& root, const std::string& who) : path_(runLockPath(root)) {
  // A run ending removes the file while another may be opening it; the lock counts only
  // on the file that is at the path.
  for (;;) {
    // Readable by all, so a run of another user that is refused can say who holds it.
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd_ < 0 && errno == EACCES) refuseForeign(root);
    if (fd_ < 0) throw ToolError("cannot open " + path_.string() + ": " + lastError());
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      char buffer[512];
      const ssize_t n = ::pread(fd_, buffer, sizeof buffer - 1, 0);
      ::close(fd_);
      fd_ = -1;
      if (error != EWOULDBLOCK)
        throw ToolError("cannot lock " + path_.string() + ": " + std::strerror(error));
      std::string holder = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : "";
      while (!holder.empty() && holder.back() == '\n') holder.pop_back();
      const auto [command, note] = holderOf(holder);
      throw ToolError(command + " is already running on " + root.string() +
                      (note.empty() ? "" : " (" + host::utf8::printable(note) + ")") +
                      "; stop it first (Ctrl-C where it runs) or pass another --root");
    }
    struct stat held {
    }, atPath{};
    if (::fstat(fd_, &held) == 0 && ::stat(path_.c_str(), &atPath) == 0 &&
        held.st_ino == atPath.st_ino && held.st_dev == atPath.st_dev)
      break;
    ::close(fd_);
  }
  const std::string text = who + "\n";
  if (::ftruncate(fd_, 0) != 0 || ::pwrite(fd_, text.data(), text.size(), 0) < 0) {
    // The lock holds without the note; a refused run then names no holder.
  }
}

void RunLock::refuseForeign(const fs::path& root) {
  const int error = errno;
  struct stat st {};
  std::string owner = "another user";
  if (::stat(path_.c_str(), &st) == 0) {
    const passwd* user = ::getpwuid(st.st_uid);
    owner = "user " + (user ? std::string(user->pw_name) + " (uid " : "(uid ") +
            std::to_string(st.st_uid) + ")";
  }
  const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  std::string holder;
  bool held = false;
  if (fd >= 0) {
    char buffer[512];
    const ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
    holder = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : "";
    while (!holder.empty() && holder.back() == '\n') holder.pop_back();
    held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
  }
  if (fd < 0)
    throw ToolError("cannot take the run lock " + path_.string() + ": " + std::strerror(error) +
                    "; it belongs to " + owner + ", who may have a lumora run on " + root.string() +
                    "; pass another --root, one of your own");
  const auto [command, note] = holderOf(holder);
  if (held)
    throw ToolError(command + " is already running on " + root.string() + " as " + owner +
                    (note.empty() ? "" : " (" + host::utf8::printable(note) + ")") +
                    "; only they can stop it; pass another --root, one of your own");
  throw ToolError("cannot take the run lock " + path_.string() + ": " + std::strerror(error) +
                  "; it belongs to " + owner + ", whose run has ended (" +
                  host::utf8::printable(holder) + "); they may remove it, or pass another --root");
}

RunLock::~RunLock() {
  if (fd_ < 0) return;
  ::unlink(path_.c_str());
  ::close(fd_);
}

DarwinSocket::DarwinSocket(const fs::path& root) : path_(runSocketPath(root)) {
  const sockaddr_un address = addressOf(path_);
  fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd_ < 0) throw ToolError("cannot make a socket: " + lastError());
  ::unlink(path_.c_str());  // left by a run that was killed; the lock says none runs
  // Made with mode 0600 from the start, so no other user can connect in between.
  const mode_t mask = ::umask(0177);
  const int bound = ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  const int error = errno;
  ::umask(mask);
  if (bound != 0 || ::listen(fd_, 16) != 0) {
    const std::string why = std::strerror(bound != 0 ? error : errno);
    ::close(fd_);
    fd_ = -1;
    throw ToolError("cannot listen on " + path_.string() + ": " + why);
  }
}

DarwinSocket::~DarwinSocket() {
  if (peer_ >= 0) ::close(peer_);
  if (fd_ < 0) return;
  ::unlink(path_.c_str());
  ::close(fd_);
}

std::optional<std::string> DarwinSocket::receive() {
  if (peer_ >= 0) ::close(peer_);
  peer_ = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (peer_ < 0) return std::nullopt;
  ucred peer{};
  socklen_t size = sizeof peer;
  if (::getsockopt(peer_, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != ::geteuid()) {
    answer("error: only the user running lumora run may post to it");
    return std::nullopt;
  }
  const LineRead read = readLine(peer_, kMaxName, Clock::now() + kPeerPatience);
  switch (read.status) {
    case LineRead::Status::TooLong:
      answer("error: the notification name is longer than " + std::to_string(kMaxName) +
             " bytes; post a shorter one");
      return std::nullopt;
    case LineRead::Status::TimedOut:
    case LineRead::Status::Closed:
      answer(
          "error: no notification name came within half a second; send the name and a "
          "newline");
      return std::nullopt;
    case LineRead::Status::Line:
      break;
  }
  if (std::string why = notificationNameProblem(read.line); !why.empty()) {
    answer("error: " + why);
    return std::nullopt;
  }
  return read.line;
}

void DarwinSocket::answer(const std::string& reply) {
  if (peer_ < 0) return;
  writeAll(peer_, reply + "\n");
  ::close(peer_);
  peer_ = -1;
}

bool postToRunningDevice(const fs::path& root, const std::string& name,
                         std::chrono::milliseconds patience) {
  if (std::string why = notificationNameProblem(name); !why.empty())
    throw ToolError(why + "; give a name such as com.tarnwick.lumora/testRegular", 2);
  const Clock::time_point deadline = Clock::now() + patience;
  const fs::path path = runSocketPath(root);
  const sockaddr_un address = addressOf(path);
  // Not blocking, so no wait below is without a limit: a run that is stopped or busy
  // leaves connections waiting, and once its queue is full a blocking connect would
  // wait for ever.
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) throw ToolError("cannot make a socket: " + lastError());
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  std::ostringstream seconds;
  seconds << static_cast<double>(patience.count()) / 1000;
  const std::string waited = seconds.str() + " s";
  while (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    if (errno == EINTR) continue;
    if (errno == ENOENT || errno == ECONNREFUSED)
      throw ToolError("no lumora run is running on " + root.string() +
                      "; start one there first (lumora --root " + root.string() +
                      " run), then post again");
    if (errno != EAGAIN)
      throw ToolError("cannot reach the lumora run on " + root.string() + " through " +
                      path.string() + ": " + lastError());
    // Its queue of posts is full: wait for room.
    if (Clock::now() >= deadline)
      throw ToolError("the lumora run on " + root.string() + " took no post for " + waited +
                      " (it is busy or stopped, with its queue of posts full); " + name +
                      " was not sent; post it again once the run goes on");
    ::poll(nullptr, 0, 20);
  }
  writeAll(fd, name + "\n");
  const LineRead reply = readLine(fd, 1024, deadline);
  if (reply.status == LineRead::Status::TimedOut) return false;
  if (reply.status != LineRead::Status::Line)
    throw ToolError("the lumora run on " + root.string() +
                    " closed the connection without posting " + name +
                    " (it stopped meanwhile?); post it again once a run is there");
  if (reply.line != "ok")
    throw ToolError("the lumora run on " + root.string() + " refused the post: " +
                    host::utf8::printable(reply.line.rfind("error: ", 0) == 0 ? reply.line.substr(7)
                                                                              : reply.line));
  return true;
}

}  // namespace tool
