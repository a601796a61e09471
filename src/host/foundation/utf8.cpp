#include "host/foundation/utf8.h"

#include <cstdint>
#include <cstdio>

namespace host::utf8 {
namespace {

// The length of the well-formed sequence starting at `at`, or 0 (RFC 3629, table 3-7
// of the Unicode standard: the second byte's range depends on the first).
size_t sequenceLength(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length = 0;
  uint8_t low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k)
    if ((byte(at + k) & 0xC0) != 0x80) return 0;
  return length;
}

std::string hexByte(uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02X", byte);
  return text;
}

}  // namespace

size_t invalidOffset(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    const size_t length = sequenceLength(text, at);
    if (!length) return at;
    at += length;
  }
  return std::string_view::npos;
}

std::string storageProblem(std::string_view text) {
  const size_t nul = text.find('\0');
  const size_t invalid = invalidOffset(text);
  if (nul == std::string_view::npos && invalid == std::string_view::npos) return {};
  if (nul < invalid) return "byte " + std::to_string(nul + 1) + " is a NUL";
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", static_cast<uint8_t>(text[invalid]));
  return "byte " + std::to_string(invalid + 1) + " (" + hex + ") is not valid UTF-8";
}

std::string printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const auto byte = static_cast<uint8_t>(text[at]);
    const size_t length = sequenceLength(text, at);
    if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (byte == '\r') {
      out += "\\r";
    } else if (!length || byte < 0x20 || byte == 0x7F) {
      out += hexByte(byte);
    } else if (byte == 0xC2 && static_cast<uint8_t>(text[at + 1]) < 0xA0) {
      // U+0080 to U+009F: controls too, which some terminals obey.
      out += hexByte(byte) + hexByte(static_cast<uint8_t>(text[at + 1]));
      at += 2;
      continue;
    } else {
      out.append(text.substr(at, length));
      at += length;
      continue;
    }
    ++at;
  }
  return out;
}

}  // namespace host::utf8
