// Property lists: parsing and writing XML and binary property lists (libplist), and
// converting their nodes to Foundation values and back.
//
// libplist has no limits of its own: its binary reader spends time in proportion to the
// depth for every value and copies a value that several containers share once for
// each, and it frees and copies trees recursively. `parse` therefore measures the
// nesting and the number of values before handing bytes to libplist, and refuses a
// property list nested deeper than kMaxDepth or holding more than kMaxValues values.
#pragma once

#include <plist/plist.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/runtime.h"

namespace host::plist {

// Settings are one or two levels deep; a hundred leaves room for any hand-written file
// while keeping every recursive walk of a tree shallow.
inline constexpr size_t kMaxDepth = 100;
// Values after expanding shared ones; more than a 4 MiB XML file can spell.
inline constexpr uint64_t kMaxValues = uint64_t{1} << 20;

// An owned libplist node (a whole tree when it is a root).
struct NodeDeleter {
  void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using Node = std::unique_ptr<void, NodeDeleter>;

enum class Format { Binary, Xml };

struct Parsed {
  Node root;  // null when the bytes are not a property list within the limits
  Format format = Format::Binary;
  std::string error;  // why there is no root, to follow a file's name ("is not a property list")
};

// Parses XML or binary property-list bytes, telling which format they were in.
Parsed parse(std::string_view bytes);
// The bytes of the tree in the given format.
std::string serialize(plist_t root, Format format);

// What the strings and keys of a tree hold that a file cannot carry.
struct TextReport {
  // The first string or key that libplist cannot write and read back unchanged (not
  // valid UTF-8, or holding a NUL), with where it is ("the value of \"k\": byte 2 is a
  // NUL"); empty when there is none.
  std::string unwritable;
  // NO when a string or key holds a character XML cannot carry: a control character
  // other than tab and line feed (a carriage return would be read back as a line feed),
  // or U+FFFE or U+FFFF.
  bool xmlSafe = true;
};
TextReport inspectText(plist_t root);

// Whether two trees hold the same values: the same kinds, equal numbers (0 and -0 are
// equal, NaN equals NaN), the same bytes in strings, keys and data, arrays in the same
// order, dictionaries with the same keys.
bool sameValue(plist_t a, plist_t b);

// Calls `visit(key, value)` for each item of a dictionary node until it answers NO. Keys
// end at a NUL, as libplist hands them out.
template <class Visit>
void forEachItem(plist_t dict, Visit visit) {
  plist_dict_iter iter = nullptr;
  plist_dict_new_iter(dict, &iter);
  for (;;) {
    char* key = nullptr;
    plist_t value = nullptr;
    plist_dict_next_item(dict, iter, &key, &value);
    const bool more = value && visit(static_cast<const char*>(key ? key : ""), value);
    std::free(key);
    if (!more) break;
  }
  std::free(iter);
}

// The Foundation value of a node: booleans as `__NSCFBoolean`, integers and reals as
// NSNumber, strings, data, arrays and dictionaries. Kinds the model has no value for
// (dates, UIDs) answer nil and are left out of the arrays and dictionaries holding them,
// as is anything nested deeper than kMaxDepth.
rt::Ref<> toObject(plist_t node);
// Why the Foundation value cannot be written to a property-list file and read back
// unchanged, naming where in it the problem is: a string or key that is not valid UTF-8
// or holds a NUL, or nesting deeper than kMaxDepth. Empty when it can, and for objects
// that are not property-list values at all (`fromObject` answers null for those).
std::string unstorable(rt::id object);
// The node of a Foundation value, or null for nil, for objects that are not
// property-list values, and for values holding a string with a NUL (libplist's strings
// end there) or nested deeper than kMaxDepth. The caller owns the node.
Node fromObject(rt::id object);

}  // namespace host::plist
