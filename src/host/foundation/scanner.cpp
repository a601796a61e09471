#include "host/foundation/scanner.h"

#include "host/host.h"

namespace host {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The length of the white-space or line-break character at `at`, or 0. Covers the
// Unicode White_Space set: ASCII space, tab and line breaks, U+0085, U+00A0, U+1680,
// U+2000 to U+200A, U+2028, U+2029, U+202F, U+205F and U+3000.
size_t whiteSpaceLength(const std::string& s, size_t at) {
  const auto byte = [&](size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
  const unsigned c = byte(at);
  if (c == ' ' || (c >= '\t' && c <= '\r')) return 1;
  if (c == 0xc2 && (byte(at + 1) == 0x85 || byte(at + 1) == 0xa0)) return 2;
  if (c == 0xe1 && byte(at + 1) == 0x9a && byte(at + 2) == 0x80) return 3;
  if (c == 0xe2 && byte(at + 1) == 0x80) {
    const unsigned t = byte(at + 2);
    if ((t >= 0x80 && t <= 0x8a) || t == 0xa8 || t == 0xa9 || t == 0xaf) return 3;
  }
  if (c == 0xe2 && byte(at + 1) == 0x81 && byte(at + 2) == 0x9f) return 3;
  if (c == 0xe3 && byte(at + 1) == 0x80 && byte(at + 2) == 0x80) return 3;
  return 0;
}

}  // namespace

Ref<NSScanner> NSScanner::make(std::string text) {
  return NSScanner::cls.make(std::move(text));
}

void NSScanner::setScanLocation(uint64_t location) {
  if (location > text_.size())
    throw rt::ProgrammingError("setScanLocation: location " + std::to_string(location) +
                               " beyond the end of a string of length " +
                               std::to_string(text_.size()));
  location_ = location;
}

size_t NSScanner::skipWhiteSpace(size_t at) const {
  while (size_t n = whiteSpaceLength(text_, at)) at += n;
  return at;
}

bool NSScanner::scanHexInt(uint32_t* result) {
  size_t at = skipWhiteSpace(location_);
  // "0x" is a prefix only when a digit follows; otherwise the "0" is the number.
  if (at + 2 < text_.size() && text_[at] == '0' && (text_[at + 1] == 'x' || text_[at + 1] == 'X') &&
      hexDigit(text_[at + 2]) >= 0)
    at += 2;
  if (at >= text_.size() || hexDigit(text_[at]) < 0) return false;
  uint64_t value = 0;
  bool overflow = false;
  for (; at < text_.size() && hexDigit(text_[at]) >= 0; ++at) {
    value = value << 4 | static_cast<uint64_t>(hexDigit(text_[at]));
    if (value > 0xffffffffu) overflow = true, value &= 0xffffffffu;
  }
  if (result) *result = overflow ? 0xffffffffu : static_cast<uint32_t>(value);
  location_ = at;
  return true;
}

bool NSScanner::isAtEnd() const {
  return skipWhiteSpace(location_) >= text_.size();
}

void NSScanner::bind(ClassBuilder<NSScanner>& b) {
  b.method<&NSScanner::scanLocation>(sel::scanLocation)
      .method<&NSScanner::setScanLocation>(sel::setScanLocation)
      .method<&NSScanner::scanHexInt>(sel::scanHexInt)
      .method<&NSScanner::isAtEnd>(sel::isAtEnd)
      .classFunction(
          sel::scannerWithString, +[](id, rt::SEL, id string) -> Ref<> {
            const std::string* text = stringText(string);
            return NSScanner::make(text ? *text : std::string());
          });
}

void defineNSScanner(ClassList& list) {
  list.define<NSScanner>(NSObject::cls, [] { return NSScanner::make(""); });
}

}  // namespace host
