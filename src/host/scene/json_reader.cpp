#include "host/scene/json_reader.h"

#include <cctype>
#include <set>
#include <vector>

#include "host/scene/scene_file.h"

namespace host::scene {
namespace {

bool isIdentifier(std::string_view key) {
  if (key.empty() || std::isdigit(static_cast<unsigned char>(key[0]))) return false;
  for (char c : key)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

// The JSON library's message without its "[json.exception...] " prefix.
std::string withoutPrefix(std::string why) {
  if (size_t end = why.find("] "); end != std::string::npos) why.erase(0, end + 2);
  return why;
}

}  // namespace

std::string quote(std::string_view text) {
  return Json(std::string(text)).dump(-1, ' ', false, Json::error_handler_t::replace);
}

// The path of a member: `apps[0].icon`, `appGroups[0].files["Media/a.jpg"]`.
std::string member(const std::string& path, std::string_view key) {
  if (isIdentifier(key)) return path.empty() ? std::string(key) : path + "." + std::string(key);
  return path + "[" + quote(key) + "]";
}
std::string element(const std::string& path, size_t index) {
  return path + "[" + std::to_string(index) + "]";
}

// A value as a message shows it: short texts and numbers as written, the rest by kind.
std::string describe(const Json* value) {
  if (!value) return "nothing";
  switch (value->type()) {
    case Json::value_t::object:
      return "an object";
    case Json::value_t::array:
      return "an array";
    case Json::value_t::string: {
      const std::string& text = value->get_ref<const std::string&>();
      return text.size() > 60 ? quote(text.substr(0, 57)) + " (cut)" : quote(text);
    }
    default:
      return value->dump();
  }
}

void JsonReader::fail(const std::string& path, const std::string& what) const {
  throw SceneError(source_ + ": " + (path.empty() ? "top level" : path) + ": " + what);
}
void JsonReader::expected(const std::string& path, const std::string& what, const Json* got) const {
  fail(path, "expected " + what + ", got " + describe(got));
}

// The object at path, with every member it has checked against `allowed`.
const Json& JsonReader::object(const Json& value, const std::string& path,
                               std::initializer_list<std::string_view> allowed) const {
  if (!value.is_object()) expected(path, "an object", &value);
  for (const auto& [key, item] : value.items()) {
    bool known = false;
    for (std::string_view name : allowed) known = known || name == key;
    if (known) continue;
    std::string list;
    for (std::string_view name : allowed) list += (list.empty() ? "" : ", ") + std::string(name);
    fail(member(path, key), "unknown field; expected one of: " + list);
  }
  return value;
}

std::string JsonReader::text(const Json& object, const std::string& path, const char* key,
                             bool required) const {
  auto it = object.find(key);
  if (it == object.end()) {
    if (required) expected(member(path, key), "a non-empty string (it is required)", nullptr);
    return {};
  }
  const std::string at = member(path, key);
  if (!it->is_string()) expected(at, required ? "a non-empty string" : "a string", &*it);
  const std::string& value = it->get_ref<const std::string&>();
  if (required && value.empty()) expected(at, "a non-empty string", &*it);
  if (value.find('\0') != std::string::npos) expected(at, "text without NUL characters", &*it);
  return value;
}

bool JsonReader::flag(const Json& object, const std::string& path, const char* key) const {
  auto it = object.find(key);
  if (it == object.end()) return false;
  if (!it->is_boolean()) expected(member(path, key), "true or false", &*it);
  return it->get<bool>();
}

// One of the words; the first when the member is absent.
size_t JsonReader::choice(const Json& object, const std::string& path, const char* key,
                          std::initializer_list<const char*> words) const {
  auto it = object.find(key);
  if (it == object.end()) return 0;
  size_t index = 0;
  std::string list;
  for (const char* word : words) {
    if (it->is_string() && it->get_ref<const std::string&>() == word) return index;
    list += (index == 0 ? "" : index + 1 == words.size() ? " or " : ", ") + quote(word);
    ++index;
  }
  expected(member(path, key), list, &*it);
}

const Json* JsonReader::array(const Json& object, const std::string& path, const char* key) const {
  auto it = object.find(key);
  if (it == object.end()) return nullptr;
  if (!it->is_array()) expected(member(path, key), "an array", &*it);
  return &*it;
}

// A list of at most `most` items.
void JsonReader::atMost(size_t count, size_t most, const std::string& path,
                        const char* items) const {
  if (count > most)
    fail(path, "more than " + std::to_string(most) + " " + items +
                   ", the most a scene may have (see docs/scenes.md); expected at most " +
                   std::to_string(most));
}

// Parses the text, refusing nesting beyond the limit and a key given twice in one
// object (JSON leaves it open which one counts), with the path where it happened.
Json JsonReader::parse(std::string_view text, size_t maxDepth, const ListLimit& listLimit) const {
  struct Frame {
    Frame(bool isArray, std::pair<size_t, const char*> limit)
        : array(isArray), most(limit.first), items(limit.second) {}
    bool array;
    size_t most;        // items at most
    const char* items;  // what they are, for the message
    size_t index = 0;
    std::string key;
    std::set<std::string> keys;
  };
  std::vector<Frame> stack;
  // The path of the first `depth` levels: all of them, where the parser is.
  auto path = [&stack](size_t depth = SIZE_MAX) {
    std::string p;
    for (size_t i = 0; i < std::min(depth, stack.size()); ++i)
      p = stack[i].array ? element(p, stack[i].index) : member(p, stack[i].key);
    return p;
  };
  auto count = [&](size_t items) {
    const Frame& frame = stack.back();
    if (items > frame.most) atMost(items, frame.most, path(stack.size() - 1), frame.items);
  };
  auto finished = [&] {
    if (!stack.empty() && stack.back().array) count(++stack.back().index);
  };
  using Event = Json::parse_event_t;
  Json::parser_callback_t callback = [&](int, Event event, Json& parsed) {
    switch (event) {
      case Event::object_start:
      case Event::array_start:
        if (stack.size() >= maxDepth)
          fail(path(), "nested more than " + std::to_string(maxDepth) +
                           " levels deep; expected a flatter value");
        stack.emplace_back(event == Event::array_start,
                           stack.size() == 1 && event == Event::array_start
                               ? listLimit(stack.back().key)
                               : listLimit(""));
        break;
      case Event::key: {
        Frame& frame = stack.back();
        frame.key = parsed.get<std::string>();
        if (!frame.keys.insert(frame.key).second)
          fail(path(), "the field is given twice; expected each field once");
        count(frame.keys.size());
        break;
      }
      case Event::object_end:
      case Event::array_end:
        stack.pop_back();
        finished();
        break;
      case Event::value:
        finished();
        break;
    }
    return true;
  };
  try {
    return Json::parse(text.begin(), text.end(), callback);
  } catch (const Json::parse_error& e) {
    throw SceneError(source_ + ": not valid JSON: " + withoutPrefix(e.what()));
  } catch (const Json::out_of_range& e) {
    // A number beyond a double ("1e999"), where the parser stopped.
    fail(path(), withoutPrefix(e.what()) + "; expected a number from -1.7e308 to 1.7e308");
  }
}

}  // namespace host::scene
