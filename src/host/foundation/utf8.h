// Checks of UTF-8 text, and a printable form of any bytes. Strings are UTF-8 (see
// values.h), but text from files and command lines may not be, and a value that is not
// cannot be written to a property-list file and read back unchanged.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace host::utf8 {

// The offset of the first byte that does not start a well-formed UTF-8 sequence
// (overlong forms, surrogates and code points above U+10FFFF are not well formed), or
// std::string_view::npos when the whole text is well formed.
size_t invalidOffset(std::string_view text);

// Why the text cannot be a property-list string, for messages ("byte 4 (0xE9) is not
// valid UTF-8", "byte 2 is a NUL"); empty when it can. Bytes are counted from 1.
std::string storageProblem(std::string_view text);

// The text on one line for messages and listings: control characters written as \n,
// \t, \r or \xHH, and each byte that is not valid UTF-8 as \xHH.
std::string printable(std::string_view text);

}  // namespace host::utf8
