// Output the tool prints from text it did not make: JSON that is valid UTF-8 whatever
// the text held, table cells cut to the terminal's width, messages without raw bytes;
// and output that is checked: standard output and the files a person names.
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

// The text for a terminal: each line as utf8::printable shows it (control characters
// and bytes that are not valid UTF-8 escaped), the line breaks kept.
std::string terminalText(std::string_view text);

// Flushes standard output; a ToolError (exit status 1) naming the error when anything
// written to it was lost (a full disk, a closed pipe with SIGPIPE ignored).
void checkStandardOutput();
// Writes the bytes to standard output and checks them as above.
void writeStandardOutput(std::string_view bytes);

// Writes an output file the person named, never replacing what is not a regular file:
// a regular file or a new path is replaced atomically (host::replaceFile), a symbolic
// link's target is, and a device or a FIFO is written through. A folder, a socket, an
// empty name or a name ending in "/" is refused. Temporaries a killed write left beside
// the file are removed once they are old. Answers why it failed, suggesting a name like
// `example`; empty on success.
std::string writeOutputFile(const std::string& name, std::string_view bytes,
                            const std::string& example);

}  // namespace tool
