// Base64 text of NSData (`base64EncodedStringWithOptions:`), bound onto NSData.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "host/foundation/values.h"

namespace host {

// NSDataBase64EncodingOptions. A line length without an explicit line ending ends lines
// with a carriage return and a line feed; the last line has no line ending.
enum : uint64_t {
  NSDataBase64Encoding64CharacterLineLength = 1,
  NSDataBase64Encoding76CharacterLineLength = 2,
  NSDataBase64EncodingEndLineWithCarriageReturn = 16,
  NSDataBase64EncodingEndLineWithLineFeed = 32,
};

// The Base64 text (standard alphabet, padded with "=") of the bytes.
std::string base64Encode(std::span<const uint8_t> bytes, uint64_t options);

// Adds `base64EncodedStringWithOptions:` to NSData. Part of booting the host.
void defineNSDataBase64(ClassList& list);

}  // namespace host
