#include "tool/output.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "host/foundation/file_io.h"
#include "host/foundation/utf8.h"
#include "tool/commands.h"

namespace tool {

namespace {

bool dumps(const Json& value) {
  try {
    static_cast<void>(value.dump());
    return true;
  } catch (const Json::type_error&) {
    return false;
  }
}

}  // namespace

void printJson(const Json& value) {
  if (dumps(value)) {
    writeStandardOutput(value.dump(2) + "\n");
    return;
  }
  std::string names;
  if (value.is_object())
    for (const auto& [key, member] : value.items())
      if (!dumps(member) || host::utf8::invalidOffset(key) != std::string::npos)
        names += (names.empty() ? "\"" : ", \"") + host::utf8::printable(key) + "\"";
  writeStandardOutput(value.dump(2, ' ', false, Json::error_handler_t::replace) + "\n");
  std::cerr << "lumora: note: " << (names.empty() ? std::string("the output") : names)
            << " held bytes that are not valid UTF-8; they are shown as U+FFFD\n";
}

std::string compactJson(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

size_t terminalWidth() {
  winsize size{};
  if (::isatty(STDOUT_FILENO) && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col)
    return size.ws_col;
  if (const char* text = std::getenv("COLUMNS")) {
    size_t width = 0;
    const char* end = text + std::char_traits<char>::length(text);
    if (auto [at, error] = std::from_chars(text, end, width);
        error == std::errc() && at == end && width > 0)
      return width;
  }
  return 80;
}

size_t columns(std::string_view text) {
  size_t count = 0;
  for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

std::string cell(std::string_view text, size_t width) {
  std::string line = host::utf8::printable(text);
  if (columns(line) <= width) return line;
  if (width == 0) return {};
  // Keep width - 1 characters and the marker.
  size_t kept = 0, at = 0;
  for (; at < line.size(); ++at)
    if ((static_cast<unsigned char>(line[at]) & 0xC0) != 0x80 && kept++ == width - 1) break;
  line.resize(at);
  return line + "…";
}

std::string terminalText(std::string_view text) {
  std::string out;
  for (size_t at = 0;;) {
    const size_t end = text.find('\n', at);
    out += host::utf8::printable(text.substr(at, end == std::string_view::npos ? end : end - at));
    if (end == std::string_view::npos) return out;
    out += '\n';
    at = end + 1;
  }
}

void checkStandardOutput() {
  errno = 0;
  std::cout.flush();
  const bool lost = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout);
  if (!lost) return;
  const int error = errno;
  // Nothing more is tried: what follows would fail the same way.
  std::cout.setstate(std::ios::badbit);
  throw ToolError(std::string("cannot write to standard output") +
                  (error ? std::string(": ") + std::strerror(error) : std::string()) +
                  "; what was written is incomplete");
}

void writeStandardOutput(std::string_view bytes) {
  checkStandardOutput();  // what was printed before goes first
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      throw ToolError(std::string("cannot write to standard output: ") +
                      std::strerror(n < 0 ? errno : EIO) + "; what was written is incomplete");
    done += static_cast<size_t>(n);
  }
}

namespace {

namespace fs = std::filesystem;

// How long a temporary file beside an output file must have been left alone before a
// later write takes it for one a killed write left: far longer than any write takes.
constexpr std::chrono::minutes kStaleTemporaryAge{10};

// Writes the bytes into the device or FIFO at `file` as it is, without replacing it.
std::string writeThrough(const std::string& file, bool fifo, std::string_view bytes) {
  // Not blocking on the open: a FIFO nobody reads would wait for ever.
  const int fd = ::open(file.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0)
    return fifo && errno == ENXIO
               ? file +
                     " is a FIFO (named pipe) that no program is reading; start the reader "
                     "first, or name a regular file"
               : "cannot open " + file + ": " + std::strerror(errno);
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::string error;
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = "cannot write " + file + ": " + std::strerror(n < 0 ? errno : EIO);
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0 && error.empty())
    error = "cannot write " + file + ": " + std::strerror(errno);
  return error;
}

// The file a dangling symbolic link names, following a chain of them.
std::string linkTarget(fs::path file) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return file;
    std::error_code error;
    const fs::path target = fs::read_symlink(file, error);
    if (error) return file;
    file = target.is_absolute() ? target : file.parent_path() / target;
  }
  return file;
}

std::string replace(const fs::path& file, std::string_view bytes) {
  host::removeStaleTemporaries(file, kStaleTemporaryAge);
  return host::replaceFile(file, bytes);
}

}  // namespace

std::string writeOutputFile(const std::string& name, std::string_view bytes,
                            const std::string& example) {
  const fs::path file = name;
  const std::string filename = file.filename().string();
  if (name.empty()) return "the output file name is empty; name a file, such as " + example;
  struct stat st {};
  const bool exists = ::stat(name.c_str(), &st) == 0;
  if ((exists && S_ISDIR(st.st_mode)) || filename.empty() || filename == "." || filename == "..")
    return name + " names a folder, not a file; name a file in it, such as " +
           (fs::path(name) / example).lexically_normal().string();
  if (!exists) {
    if (errno != ENOENT) return "cannot write " + name + ": " + std::strerror(errno);
    return replace(linkTarget(file), bytes);  // a new file, or a dangling link's target
  }
  if (S_ISREG(st.st_mode)) {
    // Through a link, the file it names is replaced; the link stays.
    char resolved[PATH_MAX];
    struct stat at {};
    if (::lstat(name.c_str(), &at) == 0 && S_ISLNK(at.st_mode) &&
        ::realpath(name.c_str(), resolved))
      return replace(resolved, bytes);
    return replace(file, bytes);
  }
  if (S_ISSOCK(st.st_mode))
    return name + " is a socket, which cannot be written as a file; name a regular file";
  return writeThrough(name, S_ISFIFO(st.st_mode), bytes);
}

}  // namespace tool
