// Files for tests: a fresh device root per test, whole-file reads and writes, and
// property lists written with libplist itself, as another program would write them.
#pragma once

#include <plist/plist.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace testing_support {

namespace fs = std::filesystem;

// A new, empty folder under the temporary folder; the caller removes it.
inline fs::path makeTempRoot(const std::string& prefix) {
  std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  return pattern;
}

inline std::string readBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void writeBytes(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

enum class Format { Xml, Binary };

// Writes the dictionary with libplist in the given format, then frees it.
inline void writePlist(const fs::path& file, plist_t dict, Format format) {
  char* data = nullptr;
  uint32_t length = 0;
  if (format == Format::Xml)
    plist_to_xml(dict, &data, &length);
  else
    plist_to_bin(dict, &data, &length);
  writeBytes(file, std::string(data, length));
  free(data);
  plist_free(dict);
}

}  // namespace testing_support
