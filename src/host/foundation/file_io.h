// Reading and replacing whole files that other programs share and a hostile one may
// plant. Reads open regular files only, never block and stop at a size limit. A
// replacement is written to a temporary file beside the target, synced, renamed over
// the target, and the folder synced, so a reader sees the old file or the new one and a
// crash after success keeps the new one. Writers of one file take turns through an
// advisory lock on a lock file beside it; readers need no lock.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace host {

struct FileContents {
  enum class Status { Read, Missing, Failed };
  Status status = Status::Missing;
  std::string bytes;
  std::string error;  // when Failed: why, such as "it is a folder, not a regular file"
};

// Reads the whole file if it is a regular file (after following links) of at most
// `limit` bytes. A FIFO, a device, a folder or a socket is refused without being
// opened for reading in a way that could block. Missing means no file at the path.
FileContents readRegularFile(const std::filesystem::path& file, uint64_t limit);

// "4 MiB" for a multiple of a mebibyte, else the number of bytes.
std::string describeSize(uint64_t bytes);

struct ReplaceOptions {
  // The file's mode from its first byte on, whatever it replaces; without one, the
  // replaced file's (new files are readable by all).
  std::optional<unsigned> mode;
  // Sync the file and its folder, so a system crash keeps it. Files a program makes
  // afresh on every start need not wait for the disk.
  bool sync = true;
};

// Replaces the file's contents with `bytes` as described above, creating missing
// folders. Answers why it failed, naming the file; empty on success. On failure the file
// is as it was. A symbolic link at the path is replaced by the new file, its target left
// alone.
std::string replaceFile(const std::filesystem::path& file, std::string_view bytes,
                        const ReplaceOptions& options = {});

// Removes the temporary files that replacements killed midway left beside the file.
// Call only while holding the file's WriteLock, so no live replacement is touched; or,
// for a file written without that lock, with a `minimumAge` no live replacement
// reaches: only temporaries last changed longer ago are removed.
void removeStaleTemporaries(const std::filesystem::path& file,
                            std::chrono::seconds minimumAge = std::chrono::seconds(0));

// An exclusive advisory lock (flock) on ".NAME.lock" beside the file, held from
// construction until destruction. Waits for the holder to let go up to `patience`, then
// gives up, so a stuck writer cannot hang every other one.
class WriteLock {
 public:
  WriteLock(const std::filesystem::path& file, std::chrono::milliseconds patience);
  ~WriteLock();
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;

  bool held() const { return fd_ >= 0; }
  // Why the lock is not held, naming the lock file; empty when held.
  const std::string& error() const { return error_; }
  static std::filesystem::path lockFileFor(const std::filesystem::path& file);

 private:
  int fd_ = -1;
  std::string error_;
};

}  // namespace host
