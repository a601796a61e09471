// The shape of property-list bytes, measured without building a tree, so that
// `plist::parse` can refuse bytes libplist would take too long, too much memory or too
// deep a recursion to read (see property_list.h).
#pragma once

#include <string>
#include <string_view>

namespace host::plist {

// Why the XML is refused, or empty: elements nested deeper than kMaxDepth (counting
// every element, which bounds the nesting of the values they spell).
std::string checkXmlShape(std::string_view xml);

// Why the binary property list is refused, or empty: a trailer, offset table or
// container that points outside the file, a container holding itself, a dictionary key
// that is no string (libplist aborts on one), values nested
// deeper than kMaxDepth, or more than kMaxValues values once shared values are counted
// at each place they are used.
std::string checkBinaryShape(std::string_view bytes);

}  // namespace host::plist
