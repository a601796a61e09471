#include "host/foundation/file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace host {

namespace fs = std::filesystem;

namespace {

// The folder a file is in: "." for a bare file name, whose parent path is empty (and an
// empty path is no folder to create, list or sync).
fs::path folderOf(const fs::path& file) {
  return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

std::string systemError(int error) {
  return std::strerror(error);
}

std::string kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "a special file";
}

// Closes the descriptor when it goes out of scope.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

// The name of a temporary file of a replacement: ".NAME." and six characters.
std::string temporaryPrefix(const fs::path& file) {
  return std::string(".").append(file.filename().string()).append(".");
}

// Takes the exclusive lock on the open file, waiting at most `patience`; answers 0 or
// the error number (EWOULDBLOCK when the patience ran out). flock cannot wait with a
// deadline, and trying again and again lets a process that writes in a loop take every
// turn, so the wait happens in the kernel's queue, on a helper thread with its own
// descriptor of the same open file. A lock it gets after the deadline is let go when
// it closes that descriptor, the caller having closed its own.
int lockExclusive(int fd, std::chrono::milliseconds patience) {
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
  if (errno != EWOULDBLOCK) return errno;
  struct Wait {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    int error = 0;
  };
  auto wait = std::make_shared<Wait>();
  const int helperFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (helperFd < 0) return errno;
  try {
    std::thread([wait, helperFd] {
      int error = 0;
      while (::flock(helperFd, LOCK_EX) != 0)
        if (errno != EINTR) {
          error = errno;
          break;
        }
      ::close(helperFd);  // the lock stays with the open file while the caller's fd is open
      std::lock_guard lock(wait->mutex);
      wait->finished = true;
      wait->error = error;
      wait->done.notify_one();
    }).detach();
  } catch (const std::system_error& failure) {
    ::close(helperFd);
    return failure.code().value();
  }
  std::unique_lock lock(wait->mutex);
  if (!wait->done.wait_for(lock, patience, [&] { return wait->finished; })) return EWOULDBLOCK;
  return wait->error;
}

}  // namespace

std::string describeSize(uint64_t bytes) {
  constexpr uint64_t kMiB = uint64_t{1} << 20;
  if (bytes >= kMiB && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
  return std::to_string(bytes) + " bytes";
}

FileContents readRegularFile(const fs::path& file, uint64_t limit) {
  FileContents out;
  auto fail = [&](const std::string& why) {
    out.status = FileContents::Status::Failed;
    out.error = why;
    return out;
  };
  // Look before opening: opening a device may have effects of its own.
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return errno == ENOENT ? out : fail(systemError(errno));
  if (!S_ISREG(st.st_mode)) return fail("it is " + kindOf(st.st_mode) + ", not a regular file");
  // Something else may be put in its place meanwhile: O_NONBLOCK keeps a FIFO from
  // blocking the open, and the descriptor's own type is checked again.
  Descriptor in{::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
  if (in.fd < 0) return fail(systemError(errno));
  if (::fstat(in.fd, &st) != 0) return fail(systemError(errno));
  if (!S_ISREG(st.st_mode)) return fail("it is " + kindOf(st.st_mode) + ", not a regular file");
  const std::string tooLarge = " larger than the " + describeSize(limit) + " allowed";
  if (static_cast<uint64_t>(st.st_size) > limit)
    return fail("it is " + describeSize(static_cast<uint64_t>(st.st_size)) + "," + tooLarge);
  out.bytes.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    // One byte past the limit tells a file that grew while being read.
    const uint64_t room = limit + 1 - out.bytes.size();
    const ssize_t n =
        ::read(in.fd, buffer, static_cast<size_t>(std::min<uint64_t>(sizeof buffer, room)));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(systemError(errno));
    if (n == 0) break;
    out.bytes.append(buffer, static_cast<size_t>(n));
    if (out.bytes.size() > limit) return fail("it grew" + tooLarge + " while being read");
  }
  out.status = FileContents::Status::Read;
  return out;
}

std::string replaceFile(const fs::path& file, std::string_view bytes,
                        const ReplaceOptions& options) {
  const fs::path folder = folderOf(file);
  const std::string unchanged = "; nothing was changed";
  std::error_code error;
  fs::create_directories(folder, error);
  if (error)
    return "cannot create the folder " + folder.string() + ": " + error.message() + unchanged;
  std::string temporary = (folder / (temporaryPrefix(file) + "XXXXXX")).string();
  Descriptor out{::mkstemp(temporary.data())};
  if (out.fd < 0)
    return "cannot write in " + folder.string() + ": " + systemError(errno) + unchanged;
  auto fail = [&](const std::string& what) {
    const int saved = errno;
    ::unlink(temporary.c_str());
    return what + " " + file.string() + ": " + systemError(saved) + unchanged;
  };
  // The mode asked for, else the replaced file's; new files are readable by all.
  struct stat st {};
  const mode_t mode = options.mode                     ? static_cast<mode_t>(*options.mode)
                      : ::stat(file.c_str(), &st) == 0 ? (st.st_mode & 07777)
                                                       : 0644;
  if (::fchmod(out.fd, mode) != 0) return fail("cannot write");
  for (size_t written = 0; written < bytes.size();) {
    const ssize_t n = ::write(out.fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail("cannot write");
    written += static_cast<size_t>(n);
  }
  if (options.sync && ::fsync(out.fd) != 0) return fail("cannot write");
  const int fd = out.fd;
  out.fd = -1;
  if (::close(fd) != 0) return fail("cannot write");
  if (::rename(temporary.c_str(), file.c_str()) != 0) return fail("cannot replace");
  if (!options.sync) return {};
  // The rename is durable once the folder is synced. File systems that cannot sync a
  // folder say EINVAL; they keep renames by other means.
  Descriptor dir{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (dir.fd < 0 || (::fsync(dir.fd) != 0 && errno != EINVAL))
    return "the new " + file.string() + " is in place, but its folder could not be synced (" +
           systemError(errno) + "), so a system crash now could lose it";
  return {};
}

void removeStaleTemporaries(const fs::path& file, std::chrono::seconds minimumAge) {
  const std::string prefix = temporaryPrefix(file);
  std::error_code error;
  for (auto it = fs::directory_iterator(folderOf(file), error);
       !error && it != fs::directory_iterator(); it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
    if (!std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
      continue;
    struct stat st {};
    if (minimumAge.count() > 0 && (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
                                   ::time(nullptr) - st.st_mtime < minimumAge.count()))
      continue;
    ::unlink(it->path().c_str());
  }
}

fs::path WriteLock::lockFileFor(const fs::path& file) {
  return folderOf(file) / std::string(".").append(file.filename().string()).append(".lock");
}

WriteLock::WriteLock(const fs::path& file, std::chrono::milliseconds patience) {
  const fs::path lock = lockFileFor(file);
  std::error_code failure;
  fs::create_directories(lock.parent_path(), failure);
  if (failure) {
    error_ = "cannot create the folder " + lock.parent_path().string() + ": " + failure.message();
    return;
  }
  // The lock file is never removed: a writer waiting on a removed file would lock
  // nothing. It is opened without following links or blocking, like the files read.
  Descriptor fd{::open(lock.c_str(),
                       O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0644)};
  struct stat st {};
  if (fd.fd < 0 || ::fstat(fd.fd, &st) != 0) {
    error_ = "cannot open the lock file " + lock.string() + ": " + systemError(errno);
    return;
  }
  if (!S_ISREG(st.st_mode)) {
    error_ = "the lock file " + lock.string() + " is " + kindOf(st.st_mode) +
             ", not a regular file; remove it";
    return;
  }
  if (const int error = lockExclusive(fd.fd, patience)) {
    error_ = error == EWOULDBLOCK
                 ? "another program has been changing " + file.string() +
                       " for too long (it holds " + lock.string() + "); try again later"
                 : "cannot lock " + lock.string() + ": " + systemError(error);
    return;
  }
  fd_ = fd.fd;
  fd.fd = -1;
}

WriteLock::~WriteLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace host
