#include "host/foundation/property_list.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <unordered_map>
#include <vector>

#include "host/foundation/property_list_shape.h"
#include "host/foundation/utf8.h"
#include "host/foundation/values.h"

namespace host::plist {

Parsed parse(std::string_view bytes) {
  Parsed parsed;
  parsed.error = "is not a property list";
  if (bytes.empty() || bytes.size() > std::numeric_limits<uint32_t>::max()) return parsed;
  const auto length = static_cast<uint32_t>(bytes.size());
  parsed.format = plist_is_binary(bytes.data(), length) ? Format::Binary : Format::Xml;
  const std::string refused =
      parsed.format == Format::Binary ? checkBinaryShape(bytes) : checkXmlShape(bytes);
  if (!refused.empty()) {
    parsed.error = refused;
    return parsed;
  }
  plist_t root = nullptr;
  if (parsed.format == Format::Binary)
    plist_from_bin(bytes.data(), length, &root);
  else
    plist_from_xml(bytes.data(), length, &root);
  if (root) parsed.error.clear();
  parsed.root.reset(root);
  return parsed;
}

std::string serialize(plist_t root, Format format) {
  char* data = nullptr;
  uint32_t length = 0;
  if (format == Format::Binary) {
    plist_to_bin(root, &data, &length);
    std::string bytes(data ? data : "", data ? length : 0);
    plist_to_bin_free(data);
    return bytes;
  }
  plist_to_xml(root, &data, &length);
  std::string bytes(data ? data : "", data ? length : 0);
  plist_to_xml_free(data);
  return bytes;
}

namespace {

std::string_view stringOf(plist_t node) {
  uint64_t length = 0;
  const char* text = plist_get_string_ptr(node, &length);
  return text ? std::string_view(text, length) : std::string_view();
}

std::string_view dataOf(plist_t node) {
  uint64_t length = 0;
  const char* bytes = plist_get_data_ptr(node, &length);
  return bytes ? std::string_view(bytes, length) : std::string_view();
}

bool xmlCarries(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<uint8_t>(text[i]);
    if (byte < 0x20 && byte != '\t' && byte != '\n') return false;
    // U+FFFE and U+FFFF are not XML characters.
    if (byte == 0xEF &&
        (text.substr(i, 3) == "\xEF\xBF\xBE" || text.substr(i, 3) == "\xEF\xBF\xBF"))
      return false;
  }
  return true;
}

// One step into a value: a dictionary key, or an array index when `key` is null.
struct Step {
  const char* key;
  size_t index;
};
using Path = std::vector<Step>;

// Where in a value a problem is, for messages: "\"outer\" > 2 > \"name\"".
std::string pathText(const Path& path) {
  std::string text;
  for (const Step& step : path) {
    if (!text.empty()) text += " > ";
    if (step.key)
      text.append("\"").append(utf8::printable(step.key)).append("\"");
    else
      text += std::to_string(step.index);
  }
  return text;
}

void inspect(plist_t node, Path& path, TextReport& report) {
  auto check = [&](std::string_view text, bool isKey) {
    if (!xmlCarries(text)) report.xmlSafe = false;
    if (!report.unwritable.empty()) return;
    if (std::string problem = utf8::storageProblem(text); !problem.empty())
      report.unwritable = (isKey ? "the key " : "the value of ") + pathText(path) + ": " + problem;
  };
  if (path.size() > kMaxDepth) return;
  switch (plist_get_node_type(node)) {
    case PLIST_STRING:
      check(stringOf(node), false);
      break;
    case PLIST_ARRAY:
      for (uint32_t i = 0, n = plist_array_get_size(node); i < n; ++i) {
        path.push_back({nullptr, i});
        inspect(plist_array_get_item(node, i), path, report);
        path.pop_back();
      }
      break;
    case PLIST_DICT:
      forEachItem(node, [&](const char* key, plist_t value) {
        path.push_back({key, 0});
        check(key, true);
        inspect(value, path, report);
        path.pop_back();
        return true;
      });
      break;
    default:
      break;
  }
}

bool same(plist_t a, plist_t b, size_t depth) {
  const plist_type type = plist_get_node_type(a);
  if (type != plist_get_node_type(b) || depth > kMaxDepth) return false;
  switch (type) {
    case PLIST_BOOLEAN: {
      uint8_t x = 0, y = 0;
      plist_get_bool_val(a, &x);
      plist_get_bool_val(b, &y);
      return (x != 0) == (y != 0);
    }
    case PLIST_UINT: {
      uint64_t x = 0, y = 0;
      plist_get_uint_val(a, &x);
      plist_get_uint_val(b, &y);
      return x == y;
    }
    case PLIST_UID: {
      uint64_t x = 0, y = 0;
      plist_get_uid_val(a, &x);
      plist_get_uid_val(b, &y);
      return x == y;
    }
    case PLIST_REAL: {
      double x = 0, y = 0;
      plist_get_real_val(a, &x);
      plist_get_real_val(b, &y);
      return x == y || (std::isnan(x) && std::isnan(y));
    }
    case PLIST_DATE: {
      int32_t xs = 0, xu = 0, ys = 0, yu = 0;
      plist_get_date_val(a, &xs, &xu);
      plist_get_date_val(b, &ys, &yu);
      return xs == ys && xu == yu;
    }
    case PLIST_STRING:
      return stringOf(a) == stringOf(b);
    case PLIST_DATA:
      return dataOf(a) == dataOf(b);
    case PLIST_ARRAY: {
      const uint32_t n = plist_array_get_size(a);
      if (n != plist_array_get_size(b)) return false;
      for (uint32_t i = 0; i < n; ++i)
        if (!same(plist_array_get_item(a, i), plist_array_get_item(b, i), depth + 1)) return false;
      return true;
    }
    case PLIST_DICT: {
      if (plist_dict_get_size(a) != plist_dict_get_size(b)) return false;
      // libplist looks keys up one by one; a map keeps large dictionaries linear.
      std::unordered_map<std::string, plist_t> items;
      forEachItem(b, [&](const char* key, plist_t value) {
        items.emplace(key, value);
        return true;
      });
      bool equal = items.size() == plist_dict_get_size(a);
      forEachItem(a, [&](const char* key, plist_t value) {
        const auto other = items.find(key);
        equal = equal && other != items.end() && same(value, other->second, depth + 1);
        return equal;
      });
      return equal;
    }
    default:
      return true;
  }
}

Ref<> objectOf(plist_t node, size_t depth) {
  if (!node || depth > kMaxDepth) return nullptr;
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t value = 0;
      plist_get_bool_val(node, &value);
      return NSNumber::numberWithBool(value != 0);
    }
    case PLIST_UINT: {
      // Binary and XML integers are signed 64-bit; the library hands them out unsigned.
      uint64_t value = 0;
      plist_get_uint_val(node, &value);
      return NSNumber::numberWithInteger(static_cast<int64_t>(value));
    }
    case PLIST_REAL: {
      double value = 0;
      plist_get_real_val(node, &value);
      return NSNumber::numberWithDouble(value);
    }
    case PLIST_STRING:
      return NSStr(std::string(stringOf(node)));
    case PLIST_DATA: {
      const std::string_view bytes = dataOf(node);
      return NSData::make(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
    case PLIST_ARRAY: {
      std::vector<Ref<>> items;
      const uint32_t size = plist_array_get_size(node);
      for (uint32_t i = 0; i < size; ++i)
        if (Ref<> item = objectOf(plist_array_get_item(node, i), depth + 1))
          items.push_back(std::move(item));
      return NSArray::make(std::move(items));
    }
    case PLIST_DICT: {
      auto dictionary = NSDictionary::make();
      forEachItem(node, [&](const char* key, plist_t value) {
        if (Ref<> object = objectOf(value, depth + 1))
          dictionary->setObject(object.get(), NSStr(key).get());
        return true;
      });
      return dictionary;
    }
    default:
      return nullptr;
  }
}

std::string unstorableAt(rt::id object, Path& path) {
  auto problem = [&](std::string_view text, bool isKey) {
    std::string why = utf8::storageProblem(text);
    if (why.empty() || path.empty()) return why;
    return (isKey ? "the key " : "at ") + pathText(path) + ": " + why;
  };
  if (path.size() >= kMaxDepth)
    return "it nests deeper than " + std::to_string(kMaxDepth) + " levels";
  return std::visit(Overloaded{
                        [&](const NSString* string) { return problem(string->text(), false); },
                        [&](const NSArray* array) {
                          for (size_t i = 0; i < array->items().size(); ++i) {
                            path.push_back({nullptr, i});
                            std::string why = unstorableAt(array->items()[i].get(), path);
                            path.pop_back();
                            if (!why.empty()) return why;
                          }
                          return std::string();
                        },
                        [&](const NSDictionary* dictionary) {
                          for (const auto& [key, item] : dictionary->sorted()) {
                            path.push_back({key.c_str(), 0});
                            std::string why = problem(key, true);
                            if (why.empty()) why = unstorableAt(item.get(), path);
                            path.pop_back();
                            if (!why.empty()) return why;
                          }
                          return std::string();
                        },
                        [](const auto&) { return std::string(); },
                    },
                    plistValueOf(object));
}

Node nodeOf(rt::id object, size_t depth) {
  if (depth > kMaxDepth) return nullptr;
  return std::visit(
      Overloaded{
          [](std::monostate) { return Node(); },
          [](bool value) { return Node(plist_new_bool(value)); },
          [](int64_t value) { return Node(plist_new_uint(static_cast<uint64_t>(value))); },
          [](double value) { return Node(plist_new_real(value)); },
          [](const NSString* string) {
            if (string->text().find('\0') != std::string::npos) return Node();
            return Node(plist_new_string(string->text().c_str()));
          },
          [](const NSData* data) {
            return Node(plist_new_data(reinterpret_cast<const char*>(data->bytes().data()),
                                       data->bytes().size()));
          },
          [&](const NSArray* array) {
            Node node(plist_new_array());
            for (const Ref<>& item : array->items()) {
              Node child = nodeOf(item.get(), depth + 1);
              if (!child) return Node();
              plist_array_append_item(node.get(), child.release());
            }
            return node;
          },
          [&](const NSDictionary* dictionary) {
            Node node(plist_new_dict());
            for (const auto& [key, item] : dictionary->sorted()) {
              Node child = nodeOf(item.get(), depth + 1);
              if (!child || key.find('\0') != std::string::npos) return Node();
              plist_dict_set_item(node.get(), key.c_str(), child.release());
            }
            return node;
          },
      },
      plistValueOf(object));
}

}  // namespace

TextReport inspectText(plist_t root) {
  TextReport report;
  Path path;
  if (root) inspect(root, path, report);
  return report;
}

bool sameValue(plist_t a, plist_t b) {
  return a && b && same(a, b, 1);
}

Ref<> toObject(plist_t node) {
  return objectOf(node, 1);
}

std::string unstorable(rt::id object) {
  Path path;
  return unstorableAt(object, path);
}

Node fromObject(rt::id object) {
  return nodeOf(object, 1);
}

}  // namespace host::plist
