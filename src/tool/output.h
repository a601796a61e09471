// Output the tool prints from text it did not make: JSON that is valid UTF-8 whatever
// the text held, and table cells cut to the terminal's width.
#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace tool {

using Json = nlohmann::ordered_json;

// Prints the JSON on standard output, indented. Bytes that are not valid UTF-8 are
// printed as U+FFFD, and a note on standard error names the members that held them.
void printJson(const Json& value);
// The JSON on one line, invalid bytes as U+FFFD: for values in text output.
std::string compactJson(const Json& value);

// Columns of the terminal on standard output; else $COLUMNS; else 80.
size_t terminalWidth();
// The text on one line (see utf8::printable), cut to `width` columns with a trailing
// "…" when longer. Columns are counted as characters.
std::string cell(std::string_view text, size_t width);
// The columns the text takes, counted as characters.
size_t columns(std::string_view text);

}  // namespace tool
