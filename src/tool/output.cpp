#include "tool/output.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <iostream>

#include "host/foundation/utf8.h"

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
    std::cout << value.dump(2) << "\n";
    return;
  }
  std::string names;
  if (value.is_object())
    for (const auto& [key, member] : value.items())
      if (!dumps(member) || host::utf8::invalidOffset(key) != std::string::npos)
        names += (names.empty() ? "\"" : ", \"") + host::utf8::printable(key) + "\"";
  std::cout << value.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
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

}  // namespace tool
