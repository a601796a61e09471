// Files for tests: a fresh device root per test, whole-file reads and writes, property
// lists written with libplist itself, as another program would write them, and hostile
// ones written byte by byte.
#pragma once

#include <plist/plist.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

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

// A dictionary of the pairs given; writePlist frees it.
inline plist_t plistDict(std::initializer_list<std::pair<const char*, plist_t>> pairs) {
  plist_t dict = plist_new_dict();
  for (const auto& [key, value] : pairs) plist_dict_set_item(dict, key, value);
  return dict;
}

// A binary property list { "k": nested arrays } as a hostile program could write it:
// `depth` arrays, each holding the next one `width` times (one shared object), the
// last one empty. With a width of 2 a few bytes per level spell 2^depth values.
inline std::string nestedBinaryArrays(size_t depth, size_t width = 1) {
  auto bigEndian = [](std::string& out, uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>(value >> (8 * i) & 0xff);
  };
  std::string out = "bplist00";
  std::vector<uint64_t> offsets;
  offsets.push_back(out.size());  // 0: the dictionary, key 1 and value 2
  out += '\xd1';
  bigEndian(out, 1, 4);
  bigEndian(out, 2, 4);
  offsets.push_back(out.size());  // 1: "k"
  out += "\x51k";
  for (size_t level = 0; level < depth; ++level) {
    offsets.push_back(out.size());
    const bool last = level + 1 == depth;
    out += static_cast<char>(0xa0 | (last ? 0 : width));
    const uint64_t next = offsets.size();
    if (!last)
      for (size_t i = 0; i < width; ++i) bigEndian(out, next, 4);
  }
  const uint64_t table = out.size();
  for (uint64_t offset : offsets) bigEndian(out, offset, 4);
  out.append(6, '\0');
  out += '\x04';  // offset width
  out += '\x04';  // reference width
  bigEndian(out, offsets.size(), 8);
  bigEndian(out, 0, 8);
  bigEndian(out, table, 8);
  return out;
}

}  // namespace testing_support
