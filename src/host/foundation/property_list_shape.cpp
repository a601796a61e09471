#include "host/foundation/property_list_shape.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "host/foundation/property_list.h"

namespace host::plist {

namespace {

const std::string kTooDeep =
    "is not a property list this store reads: its values nest deeper than " +
    std::to_string(kMaxDepth) + " levels";
const std::string kMalformed = "is not a property list";

// Skips past `end` from `at`; answers the text's size when it is missing.
size_t skipPast(std::string_view text, size_t at, std::string_view end) {
  const size_t found = text.find(end, at);
  return found == std::string_view::npos ? text.size() : found + end.size();
}

uint64_t bigEndian(const uint8_t* bytes, size_t width) {
  uint64_t value = 0;
  for (size_t i = 0; i < width; ++i) value = value << 8 | bytes[i];
  return value;
}

}  // namespace

std::string checkXmlShape(std::string_view xml) {
  // Comments, processing instructions, CDATA sections and declarations nest nothing;
  // every other "<name" opens an element unless it ends in "/>".
  size_t depth = 0;
  for (size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at)) {
    const std::string_view rest = xml.substr(at);
    if (rest.starts_with("<!--")) {
      at = skipPast(xml, at + 4, "-->");
    } else if (rest.starts_with("<![CDATA[")) {
      at = skipPast(xml, at + 9, "]]>");
    } else if (rest.starts_with("<?")) {
      at = skipPast(xml, at + 2, "?>");
    } else if (rest.starts_with("</")) {
      if (depth > 0) --depth;
      at = skipPast(xml, at + 2, ">");
    } else if (rest.starts_with("<!")) {
      at = skipPast(xml, at + 2, ">");
    } else {
      const size_t end = skipPast(xml, at + 1, ">");
      const bool empty = end >= at + 3 && xml[end - 1] == '>' && xml[end - 2] == '/';
      // The root <plist> element adds one level to the values it holds.
      if (!empty && ++depth > kMaxDepth + 1) return kTooDeep;
      at = end;
    }
  }
  return {};
}

std::string checkBinaryShape(std::string_view bytes) {
  // "bplist00", the objects, the offset table, and a 32-byte trailer: 6 unused bytes,
  // the width of an offset, the width of an object reference, then the number of
  // objects, the top object and where the offset table starts (8 bytes each).
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  if (bytes.size() < 8 + 32) return kMalformed;
  const uint8_t* trailer = data + bytes.size() - 32;
  const size_t offsetWidth = trailer[6], refWidth = trailer[7];
  const uint64_t count = bigEndian(trailer + 8, 8), top = bigEndian(trailer + 16, 8);
  const uint64_t tableStart = bigEndian(trailer + 24, 8), tableEnd = bytes.size() - 32;
  if (offsetWidth < 1 || offsetWidth > 8 || refWidth < 1 || refWidth > 8 || count == 0 ||
      top >= count || tableStart < 8 || tableStart > tableEnd ||
      (tableEnd - tableStart) / offsetWidth < count)
    return kMalformed;

  // An object: its kind (0x5 ASCII string, 0x6 UTF-16 string, 0xA array, 0xC set,
  // 0xD dictionary...), the length its marker gives (from a following integer object
  // when the marker says 0xF) and where its contents start. Nothing when malformed.
  struct Object {
    unsigned kind;
    uint64_t length, contents;
  };
  auto objectAt = [&](uint64_t object) -> std::optional<Object> {
    const uint64_t at = bigEndian(data + tableStart + object * offsetWidth, offsetWidth);
    if (at < 8 || at >= tableStart) return std::nullopt;
    Object o{static_cast<unsigned>(data[at] >> 4), data[at] & 0x0Fu, at + 1};
    const bool sized =
        o.kind == 0x5 || o.kind == 0x6 || o.kind == 0xA || o.kind == 0xC || o.kind == 0xD;
    if (sized && o.length == 0x0F) {
      const uint64_t p = o.contents;
      if (p >= tableStart || data[p] >> 4 != 1 || (data[p] & 0x0F) > 3) return std::nullopt;
      const size_t width = size_t{1} << (data[p] & 0x0F);
      if (tableStart - p - 1 < width) return std::nullopt;
      o.length = bigEndian(data + p + 1, width);
      o.contents = p + 1 + width;
    }
    return o;
  };
  // A key must be a string without NUL: libplist takes any object as a key, then aborts
  // when asked for the text of one that is no string or holds a NUL.
  auto isKey = [&](uint64_t object) {
    const std::optional<Object> key = objectAt(object);
    if (!key || (key->kind != 0x5 && key->kind != 0x6)) return false;
    const uint64_t unit = key->kind == 0x5 ? 1 : 2;
    if (key->length > (tableStart - key->contents) / unit) return false;
    for (uint64_t i = 0; i < key->length; ++i)
      if (data[key->contents + i * unit] == 0 && data[key->contents + i * unit + unit - 1] == 0)
        return false;
    return true;
  };
  // The object references of a container as [first, first + count * refWidth); a
  // value that is no container has none. False when the object is malformed.
  struct Refs {
    uint64_t first = 0, count = 0;
    uint64_t keys = 0;  // leading references that must be keys (a dictionary's)
  };
  auto refsOf = [&](uint64_t object, Refs& refs) {
    const std::optional<Object> o = objectAt(object);
    if (!o) return false;
    refs = {};
    if (o->kind != 0xA && o->kind != 0xC && o->kind != 0xD) return true;
    const uint64_t room = (tableStart - o->contents) / refWidth;
    if (o->length > room || (o->kind == 0xD && o->length > room / 2)) return false;
    const uint64_t keys = o->kind == 0xD ? o->length : 0;
    refs = {o->contents, o->length + keys, keys};
    return true;
  };

  // Depth-first from the top object, each object measured once. `depth` is 0 before an
  // object is reached and kOpen while its children are being measured.
  constexpr uint8_t kOpen = 0xFF;
  static_assert(kMaxDepth < kOpen);
  std::vector<uint8_t> depth(count, 0);
  std::vector<uint32_t> values(count, 0);  // capped just above kMaxValues
  struct Frame {
    uint64_t object;
    Refs refs;
    uint64_t next = 0;
    size_t deepest = 0;  // of the children measured so far
    uint64_t values = 1;
  };
  std::vector<Frame> stack;
  // Measures a leaf (or an empty container) at once; opens a frame for a container.
  auto reach = [&](uint64_t object) {
    Refs refs;
    if (!refsOf(object, refs)) return false;
    if (refs.count == 0) {
      depth[object] = 1;
      values[object] = 1;
    } else {
      depth[object] = kOpen;
      stack.push_back({object, refs});
    }
    return true;
  };
  if (!reach(top)) return kMalformed;
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next < frame.refs.count) {
      const uint64_t child = bigEndian(data + frame.refs.first + frame.next * refWidth, refWidth);
      ++frame.next;
      if (child >= count || depth[child] == kOpen) return kMalformed;
      if (frame.next <= frame.refs.keys && !isKey(child)) return kMalformed;
      if (depth[child] == 0) {
        if (stack.size() >= kMaxDepth) return kTooDeep;
        const size_t open = stack.size();
        if (!reach(child)) return kMalformed;
        if (stack.size() > open) continue;  // `frame` may have moved; measure the child first
      }
      frame.deepest = std::max<size_t>(frame.deepest, depth[child]);
      frame.values += values[child];
    } else {
      if (frame.values > kMaxValues)
        return "is not a property list this store reads: it holds more than " +
               std::to_string(kMaxValues) + " values";
      if (frame.deepest + 1 > kMaxDepth) return kTooDeep;
      const Frame done = frame;
      stack.pop_back();
      depth[done.object] = static_cast<uint8_t>(done.deepest + 1);
      values[done.object] = static_cast<uint32_t>(done.values);
      if (!stack.empty()) {
        stack.back().deepest = std::max<size_t>(stack.back().deepest, depth[done.object]);
        stack.back().values += done.values;
      }
    }
  }
  return {};
}

}  // namespace host::plist
