# Writes a C++ header holding files as byte arrays, so a program carries them.
#   cmake -DOUT=header.h -DFILES="a.html|b.js" -P embed_files.cmake
# Each file becomes tool::panel::files::NAME, a std::string_view, NAME being the file's
# name with every character that is no letter or digit as "_" (index.html: index_html).
set(text "// Made by cmake/embed_files.cmake from src/tool/panel/; do not edit.\n#pragma once\n\n#include <string_view>\n\nnamespace tool::panel::files {\n")
string(REPLACE "|" ";" FILES "${FILES}")
foreach(file IN LISTS FILES)
  get_filename_component(name "${file}" NAME)
  string(MAKE_C_IDENTIFIER "${name}" id)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" bytes "${hex}")
  string(APPEND text "inline constexpr char ${id}_bytes[] = \"${bytes}\";\n")
  string(APPEND text "inline constexpr std::string_view ${id}(${id}_bytes, sizeof ${id}_bytes - 1);\n")
endforeach()
string(APPEND text "}  // namespace tool::panel::files\n")
file(WRITE "${OUT}" "${text}")
