// NSScanner, as far as the system uses it: reading hexadecimal numbers from a string.
#pragma once

#include <cstdint>

#include "host/foundation/values.h"

namespace host {

// Scans a string from a location (a byte index, as string indices are here). Before each
// scan, white space and line breaks (the Unicode set, in UTF-8) are skipped.
class NSScanner : public NSObject {
 public:
  static inline const rt::ClassOf<NSScanner> cls{"NSScanner"};
  static void bind(ClassBuilder<NSScanner>& b);
  explicit NSScanner(std::string text) : text_(std::move(text)) {}
  static Ref<NSScanner> make(std::string text);

  uint64_t scanLocation() const { return location_; }
  // A location beyond the end is a programming error (the host raises a range error).
  void setScanLocation(uint64_t location);
  // Reads an optional "0x" or "0X" and then every hexadecimal digit that follows. YES
  // when a digit was read: the value, or all 32 bits set when it does not fit, is
  // stored through `result` (when not null) and the location moves past the digits.
  // NO otherwise, with nothing stored and the location unchanged.
  bool scanHexInt(uint32_t* result);
  // YES when only skippable characters remain.
  bool isAtEnd() const;

 private:
  size_t skipWhiteSpace(size_t at) const;
  std::string text_;
  uint64_t location_ = 0;
};

// Defines NSScanner. Part of booting the host.
void defineNSScanner(ClassList& list);

}  // namespace host
