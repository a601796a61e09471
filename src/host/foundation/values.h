// The Foundation values the system handles: strings, numbers (a boolean stays distinct
// from an integer), arrays, dictionaries and data. They are plain runtime objects with
// their selectors bound in `registerFoundationValues`; their factories never fail, even
// before registration, so constant strings can be made at any time.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "host/class_list.h"
#include "host/foundation/foundation_selectors.h"
#include "host/foundation/value_helpers.h"
#include "runtime/runtime.h"

namespace host {

using rt::Class;
using rt::id;
using rt::Ref;

class NSObject : public rt::Object {
 public:
  static inline const rt::ClassOf<NSObject> cls{"NSObject"};
  static void bind(ClassBuilder<NSObject>& b);
  bool isKindOfClass(Class cls) const { return rt::class_isSubclassOf(isa(), cls); }
  bool respondsToSelector(rt::SEL sel) const { return rt::class_respondsToSelector(isa(), sel); }
  bool isEqual(id other) const;
  // Key-value access to named instance variables; nil for an unknown key. (The host
  // raises for an unknown key on `valueForKey:`; the model answers nil for both.)
  Ref<> valueForKey(id key);
  Ref<> description();
  // Value equality for Foundation values; identity for everything else.
  virtual bool equals(const rt::Object& other) const { return this == &other; }
  virtual std::string describe() const;
};

// An immutable string. Text is UTF-8; lengths, indices and ranges count bytes, which is
// what the system needs (its texts are keys, colour strings and paths).
class NSString : public NSObject {
 public:
  static inline const rt::ClassOf<NSString> cls{"NSString"};
  static void bind(ClassBuilder<NSString>& b);
  explicit NSString(std::string text) : text_(std::move(text)) {}
  static Ref<NSString> make(std::string text);
  const std::string& text() const { return text_; }
  size_t hash() const;  // cached: the colour cache keys are long

  uint64_t length() const { return text_.size(); }
  bool isEqualToString(id other) const;
  bool containsString(id other) const;
  Ref<> substringFromIndex(uint64_t index) const;
  Ref<> substringToIndex(uint64_t index) const;
  Ref<> stringByAppendingString(id other) const;
  // The pieces between occurrences of the separator, empty pieces included; the whole
  // string when the separator does not occur (or is empty or not a string).
  Ref<> componentsSeparatedByString(id separator) const;
  // ASCII letters lowered; other bytes (the rest of UTF-8) unchanged.
  Ref<> lowercaseString() const;
  // The host's reading rules: leading white space skipped, the longest decimal prefix
  // (sign, digits, ".", digits, exponent) read as a 32-bit real; 0 without one.
  float floatValue() const;
  double doubleValue() const;
  int64_t integerValue() const;
  // YES for a leading "Y", "y", "T", "t" or a non-zero digit (after white space, a sign
  // and zeros), as on the host.
  bool boolValue() const;
  bool equals(const rt::Object& other) const override;
  std::string describe() const override { return text_; }

 private:
  std::string text_;
  mutable size_t hash_ = 0;
  mutable bool hashed_ = false;
};

// A number: boolean, integer or real. Booleans are instances of `__NSCFBoolean`, a
// subclass of NSNumber, as on the host, so a boolean 1 and an integer 1 are told apart.
class NSNumber : public NSObject {
 public:
  static inline const rt::ClassOf<NSNumber> cls{"NSNumber"};
  static void bind(ClassBuilder<NSNumber>& b);
  enum class Kind { Boolean, Integer, Real };
  NSNumber(Kind kind, int64_t integer, double real) : kind_(kind), integer_(integer), real_(real) {}
  static Ref<NSNumber> numberWithBool(bool value);
  static Ref<NSNumber> numberWithInteger(int64_t value);
  static Ref<NSNumber> numberWithDouble(double value);

  Kind kind() const { return kind_; }
  // A real as an integer, truncated towards zero and clamped to the integer range.
  static int64_t saturate(double value);
  bool boolValue() const { return kind_ == Kind::Real ? real_ != 0 : integer_ != 0; }
  int64_t integerValue() const { return kind_ == Kind::Real ? saturate(real_) : integer_; }
  int32_t intValue() const { return static_cast<int32_t>(integerValue()); }
  double doubleValue() const { return kind_ == Kind::Real ? real_ : static_cast<double>(integer_); }
  float floatValue() const { return static_cast<float>(doubleValue()); }
  bool equals(const rt::Object& other) const override;
  std::string describe() const override;

 private:
  Kind kind_;
  int64_t integer_;
  double real_;
};

class NSArray : public NSObject {
 public:
  static inline const rt::ClassOf<NSArray> cls{"NSArray"};
  static void bind(ClassBuilder<NSArray>& b);
  NSArray() = default;
  explicit NSArray(std::vector<Ref<>> items) : items_(std::move(items)) {}
  // An array of the class NSArray, or NSMutableArray when `mutableArray` is true.
  static Ref<NSArray> make(std::vector<Ref<>> items = {}, bool mutableArray = false);
  const std::vector<Ref<>>& items() const { return items_; }

  uint64_t count() const { return items_.size(); }
  Ref<> objectAtIndex(uint64_t index) const;  // programming error when out of range
  Ref<> firstObject() const { return items_.empty() ? nullptr : items_.front(); }
  Ref<> lastObject() const { return items_.empty() ? nullptr : items_.back(); }
  bool containsObject(id object) const;
  void addObject(id object);
  void insertObject(id object, uint64_t index);
  void removeObject(id object);
  void removeAllObjects() { items_.clear(); }
  bool equals(const rt::Object& other) const override;

 private:
  std::vector<Ref<>> items_;
};

// Hash and equality for maps keyed by strings. A lookup may use a borrowed string and
// its cached hash; the very key object stored compares equal at once, which matters
// for the colour cache's long keys.
struct StringKeyHash {
  using is_transparent = void;
  size_t operator()(const Ref<NSString>& key) const { return key->hash(); }
  size_t operator()(const NSString* key) const { return key->hash(); }
};
struct StringKeyEqual {
  using is_transparent = void;
  static bool same(const NSString* a, const NSString* b) {
    return a == b || a->text() == b->text();
  }
  bool operator()(const Ref<NSString>& a, const Ref<NSString>& b) const {
    return same(a.get(), b.get());
  }
  bool operator()(const NSString* a, const Ref<NSString>& b) const { return same(a, b.get()); }
  bool operator()(const Ref<NSString>& a, const NSString* b) const { return same(a.get(), b); }
};
template <class V>
using StringKeyMap = std::unordered_map<Ref<NSString>, V, StringKeyHash, StringKeyEqual>;

// A dictionary with string keys (the only keys the system uses; another key is a
// programming error). Enumeration is in key order, so output is stable.
class NSDictionary : public NSObject {
 public:
  static inline const rt::ClassOf<NSDictionary> cls{"NSDictionary"};
  static void bind(ClassBuilder<NSDictionary>& b);
  using Storage = StringKeyMap<Ref<>>;

  static Ref<NSDictionary> make(bool mutableDictionary = false);
  const Storage& storage() const { return entries_; }
  // The entries sorted by key.
  std::map<std::string, Ref<>> sorted() const;

  uint64_t count() const { return entries_.size(); }
  Ref<> objectForKey(id key) const;
  Ref<> allKeys() const;
  void setObject(id object, id key);  // a nil object removes the key
  void removeObjectForKey(id key);
  void removeAllObjects() { entries_.clear(); }
  bool equals(const rt::Object& other) const override;

 private:
  Storage entries_;
};

class NSData : public NSObject {
 public:
  static inline const rt::ClassOf<NSData> cls{"NSData"};
  static void bind(ClassBuilder<NSData>& b);
  explicit NSData(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  ~NSData() override;
  static Ref<NSData> make(std::vector<uint8_t> bytes);
  // An empty buffer with room for `capacity` bytes: the storage of a large NSData that
  // has gone, when this thread has one that large, else a new one. Encodings made
  // afresh on every call (an icon's PNG, for its cache key) then write into memory the
  // process already holds, however much the allocator has handed back to the system.
  static std::vector<uint8_t> reusableBuffer(size_t capacity);
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  uint64_t length() const { return bytes_.size(); }
  bool equals(const rt::Object& other) const override;

 private:
  std::vector<uint8_t> bytes_;
};

// Defines the value classes. Part of booting the host.
void defineFoundationValues(ClassList& list);

// The object as a string, or null for nil and for anything that is not a string.
const NSString* asNSString(id object);

// A property-list value by its kind, numbers told apart as booleans, integers and reals:
// the one place where the kinds are told apart, so that every walk over such values
// (files, JSON, text for people) handles each kind alike. Nil, and an object of no
// property-list kind, is std::monostate. Visit it with `std::visit(Overloaded{...}, v)`.
using PlistValue = std::variant<std::monostate, bool, int64_t, double, const NSString*,
                                const NSData*, const NSArray*, const NSDictionary*>;
PlistValue plistValueOf(id object);

// The lambdas of a visit as one overloaded callable.
template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

}  // namespace host
