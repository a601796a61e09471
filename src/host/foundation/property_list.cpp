#include "host/foundation/property_list.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "host/foundation/values.h"

namespace host::plist {

Parsed parse(std::string_view bytes) {
  Parsed parsed;
  if (bytes.empty() || bytes.size() > std::numeric_limits<uint32_t>::max()) return parsed;
  const auto length = static_cast<uint32_t>(bytes.size());
  parsed.format = plist_is_binary(bytes.data(), length) ? Format::Binary : Format::Xml;
  plist_t root = nullptr;
  if (parsed.format == Format::Binary)
    plist_from_bin(bytes.data(), length, &root);
  else
    plist_from_xml(bytes.data(), length, &root);
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

Ref<> toObject(plist_t node) {
  if (!node) return nullptr;
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
    case PLIST_STRING: {
      uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      return NSStr(std::string(text ? text : "", text ? length : 0));
    }
    case PLIST_DATA: {
      uint64_t length = 0;
      const char* bytes = plist_get_data_ptr(node, &length);
      const auto* begin = reinterpret_cast<const uint8_t*>(bytes);
      return NSData::make(bytes ? std::vector<uint8_t>(begin, begin + length)
                                : std::vector<uint8_t>{});
    }
    case PLIST_ARRAY: {
      std::vector<Ref<>> items;
      const uint32_t size = plist_array_get_size(node);
      for (uint32_t i = 0; i < size; ++i)
        if (Ref<> item = toObject(plist_array_get_item(node, i))) items.push_back(std::move(item));
      return NSArray::make(std::move(items));
    }
    case PLIST_DICT: {
      auto dictionary = NSDictionary::make();
      plist_dict_iter iter = nullptr;
      plist_dict_new_iter(node, &iter);
      for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iter, &key, &value);
        if (!value) {
          std::free(key);
          break;
        }
        Ref<> object = toObject(value);
        if (object && key) dictionary->setObject(object.get(), NSStr(key).get());
        std::free(key);
      }
      std::free(iter);
      return dictionary;
    }
    default:
      return nullptr;
  }
}

Node fromObject(rt::id object) {
  auto* value = dynamic_cast<const NSObject*>(object);
  if (!value) return nullptr;
  if (auto* number = dynamic_cast<const NSNumber*>(value)) {
    switch (number->kind()) {
      case NSNumber::Kind::Boolean:
        return Node(plist_new_bool(number->boolValue()));
      case NSNumber::Kind::Integer:
        return Node(plist_new_uint(static_cast<uint64_t>(number->integerValue())));
      case NSNumber::Kind::Real:
        return Node(plist_new_real(number->doubleValue()));
    }
  }
  if (auto* string = dynamic_cast<const NSString*>(value)) {
    // The library's string nodes end at the first NUL; property-list text never holds one.
    return Node(plist_new_string(string->text().c_str()));
  }
  if (auto* data = dynamic_cast<const NSData*>(value)) {
    return Node(
        plist_new_data(reinterpret_cast<const char*>(data->bytes().data()), data->bytes().size()));
  }
  if (auto* array = dynamic_cast<const NSArray*>(value)) {
    Node node(plist_new_array());
    for (const Ref<>& item : array->items()) {
      Node child = fromObject(item.get());
      if (!child) return nullptr;
      plist_array_append_item(node.get(), child.release());
    }
    return node;
  }
  if (auto* dictionary = dynamic_cast<const NSDictionary*>(value)) {
    Node node(plist_new_dict());
    for (const auto& [key, item] : dictionary->sorted()) {
      Node child = fromObject(item.get());
      if (!child) return nullptr;
      plist_dict_set_item(node.get(), key.c_str(), child.release());
    }
    return node;
  }
  return nullptr;
}

}  // namespace host::plist
