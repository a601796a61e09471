// Reading JSON field by field, for scene files: the paths of members and elements as
// messages name them, a value as a message shows it, and a reader whose checks fail
// with the source, the path of the fault and what was expected there. What the fields
// mean is the scene reader's (scene_file.cpp).
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "host/scene/scene.h"

namespace host::scene {

// A text as JSON writes it, in quotes (bytes that are not UTF-8 shown as U+FFFD).
std::string quote(std::string_view text);
// The path of a member: `apps[0].icon`, `appGroups[0].files["Media/a.jpg"]`.
std::string member(const std::string& path, std::string_view key);
std::string element(const std::string& path, size_t index);
// A value as a message shows it: short texts and numbers as written, the rest by kind.
std::string describe(const Json* value);

class JsonReader {
 public:
  explicit JsonReader(std::string source) : source_(std::move(source)) {}

  // Fails with "SOURCE: PATH: WHAT" (a SceneError).
  [[noreturn]] void fail(const std::string& path, const std::string& what) const;
  [[noreturn]] void expected(const std::string& path, const std::string& what,
                             const Json* got) const;
  // The object at path, with every member it has checked against `allowed`.
  const Json& object(const Json& value, const std::string& path,
                     std::initializer_list<std::string_view> allowed) const;
  // A string member (empty when absent unless required; never holding a NUL).
  std::string text(const Json& object, const std::string& path, const char* key,
                   bool required = false) const;
  // A boolean member, NO when absent.
  bool flag(const Json& object, const std::string& path, const char* key) const;
  // One of the words; the first when the member is absent.
  size_t choice(const Json& object, const std::string& path, const char* key,
                std::initializer_list<const char*> words) const;
  // An array member, or null when absent.
  const Json* array(const Json& object, const std::string& path, const char* key) const;
  // A list of at most `most` items.
  void atMost(size_t count, size_t most, const std::string& path, const char* items) const;

  // The most items of an array or object, and what they are, by the key that holds it at
  // the top level ("" for every other).
  using ListLimit = std::function<std::pair<size_t, const char*>(std::string_view topLevelKey)>;
  // Parses the text, refusing nesting deeper than `maxDepth`, more items than
  // `listLimit` allows (while parsing, before a huge list is built) and a key given twice
  // in one object (JSON leaves it open which one counts), with the path where it happened.
  Json parse(std::string_view text, size_t maxDepth, const ListLimit& listLimit) const;

  const std::string& source() const { return source_; }

 private:
  std::string source_;
};

}  // namespace host::scene
