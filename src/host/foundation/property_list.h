// Property lists: parsing and writing XML and binary property lists (libplist), and
// converting their nodes to Foundation values and back.
#pragma once

#include <plist/plist.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/runtime.h"

namespace host::plist {

// An owned libplist node (a whole tree when it is a root).
struct NodeDeleter {
  void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using Node = std::unique_ptr<void, NodeDeleter>;

enum class Format { Binary, Xml };

struct Parsed {
  Node root;  // null when the bytes are not a property list
  Format format = Format::Binary;
};

// Parses XML or binary property-list bytes, telling which format they were in.
Parsed parse(std::string_view bytes);
// The bytes of the tree in the given format.
std::string serialize(plist_t root, Format format);

// The Foundation value of a node: booleans as `__NSCFBoolean`, integers and reals as
// NSNumber, strings, data, arrays and dictionaries. Kinds the model has no value for
// (dates, UIDs) answer nil and are left out of the arrays and dictionaries holding them.
rt::Ref<> toObject(plist_t node);
// The node of a Foundation value, or null for nil and for objects that are not
// property-list values. The caller owns the node.
Node fromObject(rt::id object);

}  // namespace host::plist
