#include "host/foundation/values.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>

namespace host {
namespace {

// The classes without a C++ type of their own.
const rt::ClassOf<NSNumber> kBoolean{"__NSCFBoolean"};
const rt::ClassOf<NSArray> kMutableArray{"NSMutableArray"};
const rt::ClassOf<NSDictionary> kMutableDictionary{"NSMutableDictionary"};

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// An array's element test (isEqual:): the same object, or an equal value.
bool matches(const Ref<>& item, id object) {
  const NSObject* value = NSObject::cls.cast(item.get());
  return item.get() == object || (value && object && value->equals(*object));
}

Ref<NSString> keyRef(id key) {
  if (!asNSString(key)) throw rt::ProgrammingError("dictionary keys must be strings");
  return std::static_pointer_cast<NSString>(key->ref());
}

// The longest prefix of `s` (after white space) shaped like a decimal number.
std::string_view decimalPrefix(std::string_view s, bool allowFraction) {
  size_t i = 0;
  while (i < s.size() && isSpace(s[i])) ++i;
  const size_t start = i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
  if (allowFraction && i < s.size() && s[i] == '.') {
    size_t j = i + 1, fraction = 0;
    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j, ++fraction;
    if (digits + fraction > 0) i = j, digits += fraction;
  }
  if (digits == 0) return {};
  if (allowFraction && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    size_t exponent = 0;
    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j, ++exponent;
    if (exponent > 0) i = j;
  }
  return s.substr(start, i - start);
}

template <class T>
T readNumber(std::string_view text, bool allowFraction) {
  std::string_view prefix = decimalPrefix(text, allowFraction);
  if (prefix.empty()) return T{};
  if (prefix.front() == '+') prefix.remove_prefix(1);  // from_chars takes no plus sign
  T value{};
  auto [end, error] = std::from_chars(prefix.data(), prefix.data() + prefix.size(), value);
  (void)end;
  if (error != std::errc::result_out_of_range) return value;
  if constexpr (std::is_integral_v<T>) {
    return prefix.front() == '-' ? std::numeric_limits<T>::min() : std::numeric_limits<T>::max();
  } else {
    // Overflow or underflow: the C library gives what the host gives (infinity, zero or
    // a subnormal), read in the C locale whatever the process's locale is.
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    const std::string copy(prefix);
    if constexpr (std::is_same_v<T, float>)
      return strtof_l(copy.c_str(), nullptr, c);
    else
      return strtod_l(copy.c_str(), nullptr, c);
  }
}

}  // namespace

// ---- NSObject

bool NSObject::isEqual(id other) const {
  return other && equals(*other);
}

Ref<> NSObject::valueForKey(id key) {
  const std::string* name = stringText(key);
  return name ? rt::object_valueForKey(this, *name) : nullptr;
}

Ref<> NSObject::description() {
  return NSStr(describe());
}

std::string NSObject::describe() const {
  char address[32];
  std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
  return std::string("<") + rt::class_getName(isa()) + ": " + address + ">";
}

// ---- NSString

Ref<NSString> NSString::make(std::string text) {
  return NSString::cls.make(std::move(text));
}

size_t NSString::hash() const {
  if (!hashed_) {
    hash_ = std::hash<std::string>{}(text_);
    hashed_ = true;
  }
  return hash_;
}

bool NSString::isEqualToString(id other) const {
  const NSString* s = asNSString(other);
  return s && s->text_ == text_;
}

bool NSString::containsString(id other) const {
  const NSString* s = asNSString(other);
  return s && text_.find(s->text_) != std::string::npos;
}

Ref<> NSString::substringFromIndex(uint64_t index) const {
  if (index > text_.size()) throw rt::ProgrammingError("substringFromIndex: index out of range");
  return NSStr(text_.substr(index));
}

Ref<> NSString::substringToIndex(uint64_t index) const {
  if (index > text_.size()) throw rt::ProgrammingError("substringToIndex: index out of range");
  return NSStr(text_.substr(0, index));
}

Ref<> NSString::stringByAppendingString(id other) const {
  const NSString* s = asNSString(other);
  return NSStr(s ? text_ + s->text_ : text_);
}

float NSString::floatValue() const {
  return readNumber<float>(text_, true);
}
double NSString::doubleValue() const {
  return readNumber<double>(text_, true);
}
int64_t NSString::integerValue() const {
  return readNumber<int64_t>(text_, false);
}

bool NSString::boolValue() const {
  size_t i = 0;
  while (i < text_.size() && isSpace(text_[i])) ++i;
  if (i < text_.size() && (text_[i] == '+' || text_[i] == '-')) ++i;
  while (i < text_.size() && text_[i] == '0') ++i;
  if (i == text_.size()) return false;
  const char c = text_[i];
  return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

bool NSString::equals(const rt::Object& other) const {
  return isEqualToString(const_cast<rt::Object*>(&other));
}

Ref<> NSString::componentsSeparatedByString(id separator) const {
  const std::string* sep = stringText(separator);
  std::vector<Ref<>> pieces;
  if (!sep || sep->empty()) {
    pieces.push_back(make(text_));
  } else {
    size_t start = 0;
    for (size_t at; (at = text_.find(*sep, start)) != std::string::npos; start = at + sep->size())
      pieces.push_back(make(text_.substr(start, at - start)));
    pieces.push_back(make(text_.substr(start)));
  }
  return NSArray::make(std::move(pieces));
}

Ref<> NSString::lowercaseString() const {
  std::string lower = text_;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return make(std::move(lower));
}

// ---- NSNumber

// By C++ type rather than by class, so that values read before the host boots (a
// preference file the tool inspects) are told apart as well.
PlistValue plistValueOf(id object) {
  if (auto* number = dynamic_cast<const NSNumber*>(object)) {
    switch (number->kind()) {
      case NSNumber::Kind::Boolean:
        return number->boolValue();
      case NSNumber::Kind::Integer:
        return number->integerValue();
      case NSNumber::Kind::Real:
        return number->doubleValue();
    }
  }
  if (auto* string = dynamic_cast<const NSString*>(object)) return string;
  if (auto* data = dynamic_cast<const NSData*>(object)) return data;
  if (auto* array = dynamic_cast<const NSArray*>(object)) return array;
  if (auto* dictionary = dynamic_cast<const NSDictionary*>(object)) return dictionary;
  return std::monostate{};
}

Ref<NSNumber> NSNumber::numberWithBool(bool value) {
  return kBoolean.make(Kind::Boolean, value ? 1 : 0, value ? 1.0 : 0.0);
}
Ref<NSNumber> NSNumber::numberWithInteger(int64_t value) {
  return NSNumber::cls.make(Kind::Integer, value, static_cast<double>(value));
}
Ref<NSNumber> NSNumber::numberWithDouble(double value) {
  return NSNumber::cls.make(Kind::Real, NSNumber::saturate(value), value);
}

int64_t NSNumber::saturate(double value) {
  // Out-of-range conversion is undefined; the host clamps, and NaN reads as 0.
  if (std::isnan(value)) return 0;
  if (value >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
  if (value <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(value);
}

bool NSNumber::equals(const rt::Object& other) const {
  auto* n = NSNumber::cls.cast(&other);
  if (!n) return false;
  if (kind_ == Kind::Real || n->kind_ == Kind::Real) return doubleValue() == n->doubleValue();
  return integer_ == n->integer_;
}

std::string NSNumber::describe() const {
  switch (kind_) {
    case Kind::Boolean:
      return integer_ ? "1" : "0";
    case Kind::Integer:
      return std::to_string(integer_);
    case Kind::Real: {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%.17g", real_);
      return buffer;
    }
  }
  return {};
}

// ---- NSArray

Ref<NSArray> NSArray::make(std::vector<Ref<>> items, bool mutableArray) {
  return mutableArray ? kMutableArray.make(std::move(items)) : NSArray::cls.make(std::move(items));
}

Ref<> NSArray::objectAtIndex(uint64_t index) const {
  if (index >= items_.size()) throw rt::ProgrammingError("objectAtIndex: index beyond bounds");
  return items_[index];
}

bool NSArray::containsObject(id object) const {
  return std::any_of(items_.begin(), items_.end(),
                     [&](const Ref<>& item) { return matches(item, object); });
}

void NSArray::addObject(id object) {
  if (!object) throw rt::ProgrammingError("addObject: nil object");
  items_.push_back(object->ref());
}

void NSArray::insertObject(id object, uint64_t index) {
  if (!object) throw rt::ProgrammingError("insertObject:atIndex: nil object");
  if (index > items_.size())
    throw rt::ProgrammingError("insertObject:atIndex: index beyond bounds");
  items_.insert(items_.begin() + static_cast<ptrdiff_t>(index), object->ref());
}

void NSArray::removeObject(id object) {
  std::erase_if(items_, [&](const Ref<>& item) { return matches(item, object); });
}

bool NSArray::equals(const rt::Object& other) const {
  auto* a = NSArray::cls.cast(&other);
  if (!a || a->items_.size() != items_.size()) return false;
  for (size_t i = 0; i < items_.size(); ++i) {
    auto* mine = NSObject::cls.cast(items_[i].get());
    if (!mine || !mine->equals(*a->items_[i])) return false;
  }
  return true;
}

// ---- NSDictionary

Ref<NSDictionary> NSDictionary::make(bool mutableDictionary) {
  return mutableDictionary ? kMutableDictionary.make() : NSDictionary::cls.make();
}

std::map<std::string, Ref<>> NSDictionary::sorted() const {
  std::map<std::string, Ref<>> out;
  for (auto& [key, value] : entries_) out.emplace(key->text(), value);
  return out;
}

Ref<> NSDictionary::objectForKey(id key) const {
  const NSString* k = asNSString(key);
  if (!k) return nullptr;
  auto it = entries_.find(k);
  return it == entries_.end() ? nullptr : it->second;
}

Ref<> NSDictionary::allKeys() const {
  std::vector<Ref<>> keys;
  for (auto& [key, value] : sorted()) keys.push_back(NSStr(key));
  return NSArray::make(std::move(keys));
}

void NSDictionary::setObject(id object, id key) {
  Ref<NSString> k = keyRef(key);
  if (!object) {
    entries_.erase(k);
    return;
  }
  entries_.insert_or_assign(std::move(k), object->ref());
}

void NSDictionary::removeObjectForKey(id key) {
  if (const NSString* k = asNSString(key))
    if (auto it = entries_.find(k); it != entries_.end()) entries_.erase(it);
}

bool NSDictionary::equals(const rt::Object& other) const {
  auto* d = NSDictionary::cls.cast(&other);
  if (!d || d->entries_.size() != entries_.size()) return false;
  for (auto& [key, value] : entries_) {
    auto it = d->entries_.find(key);
    auto* mine = NSObject::cls.cast(value.get());
    if (it == d->entries_.end() || !mine || !mine->equals(*it->second)) return false;
  }
  return true;
}

// ---- NSData

Ref<NSData> NSData::make(std::vector<uint8_t> bytes) {
  return NSData::cls.make(std::move(bytes));
}

namespace {
// The storage kept for the next large buffer: only large ones, and the largest. Data
// that outlives the thread's spare (a global released at exit) is freed as usual.
constexpr size_t kReusedBytes = 64 * 1024;
thread_local bool spareGone = false;
struct Spare {
  std::vector<uint8_t> bytes;
  ~Spare() { spareGone = true; }
};
thread_local Spare spare;
}  // namespace

NSData::~NSData() {
  if (!spareGone && bytes_.capacity() >= kReusedBytes && bytes_.capacity() > spare.bytes.capacity())
    spare.bytes = std::move(bytes_);
}

std::vector<uint8_t> NSData::reusableBuffer(size_t capacity) {
  std::vector<uint8_t> buffer;
  // Not one far larger than asked for: the new data may be kept.
  if (!spareGone && spare.bytes.capacity() >= capacity && spare.bytes.capacity() / 2 <= capacity)
    buffer.swap(spare.bytes);
  buffer.clear();
  buffer.reserve(capacity);
  return buffer;
}

bool NSData::equals(const rt::Object& other) const {
  auto* d = NSData::cls.cast(&other);
  return d && d->bytes_ == bytes_;
}

// ---- readers

const NSString* asNSString(id object) {
  return NSString::cls.cast(object);
}

Ref<> NSStr(std::string text) {
  return NSString::make(std::move(text));
}

const std::string* stringText(id object) {
  const NSString* s = asNSString(object);
  return s ? &s->text() : nullptr;
}

bool isString(id object, std::string_view text) {
  const std::string* s = stringText(object);
  return s && *s == text;
}

std::string formatObject(id object) {
  if (!object) return "(null)";
  Ref<> text = rt::send(object, sel::description);
  const std::string* s = stringText(text.get());
  return s ? *s : std::string();
}

bool isBooleanNumber(id object) {
  return kBoolean.isKind(object);
}

// ---- registration

void NSObject::bind(ClassBuilder<NSObject>& b) {
  using rt::SEL;
  b.method<&NSObject::isKindOfClass>(sel::isKindOfClass)
      .method<&NSObject::respondsToSelector>(sel::respondsToSelector)
      .method<&NSObject::isEqual>(sel::isEqual)
      .method<&NSObject::valueForKey>(sel::valueForKey)
      .method<&NSObject::valueForKey>(sel::safeValueForKey)
      .method<&NSObject::description>(sel::description)
      .function(
          sel::init, +[](id self, SEL) -> Ref<> { return self->ref(); })
      .classFunction(
          sel::alloc,
          +[](id self, SEL) {
            return rt::class_createInstance(rt::object_getClassOfClassObject(self));
          })
      .classFunction(
          sel::new_, +[](id self, SEL) {
            return rt::send(rt::class_createInstance(rt::object_getClassOfClassObject(self)),
                            sel::init);
          });
}

void NSString::bind(ClassBuilder<NSString>& b) {
  b.method<&NSString::length>(sel::length)
      .method<&NSString::isEqualToString>(sel::isEqualToString)
      .method<&NSString::containsString>(sel::containsString)
      .method<&NSString::substringFromIndex>(sel::substringFromIndex)
      .method<&NSString::substringToIndex>(sel::substringToIndex)
      .method<&NSString::stringByAppendingString>(sel::stringByAppendingString)
      .method<&NSString::componentsSeparatedByString>(sel::componentsSeparatedByString)
      .method<&NSString::lowercaseString>(sel::lowercaseString)
      .method<&NSString::floatValue>(sel::floatValue)
      .method<&NSString::doubleValue>(sel::doubleValue)
      .method<&NSString::integerValue>(sel::integerValue)
      .method<&NSString::boolValue>(sel::boolValue);
}

void NSNumber::bind(ClassBuilder<NSNumber>& b) {
  b.classFunction(
       sel::numberWithBool,
       +[](id, rt::SEL, bool value) -> Ref<> { return NSNumber::numberWithBool(value); })
      .classFunction(
          sel::numberWithInteger,
          +[](id, rt::SEL, int64_t value) -> Ref<> { return NSNumber::numberWithInteger(value); })
      .method<&NSNumber::boolValue>(sel::boolValue)
      .method<&NSNumber::integerValue>(sel::integerValue)
      .method<&NSNumber::integerValue>(sel::longLongValue)
      .method<&NSNumber::intValue>(sel::intValue)
      .method<&NSNumber::floatValue>(sel::floatValue)
      .method<&NSNumber::doubleValue>(sel::doubleValue);
}

void NSArray::bind(ClassBuilder<NSArray>& b) {
  b.method<&NSArray::count>(sel::count)
      .method<&NSArray::objectAtIndex>(sel::objectAtIndex)
      .method<&NSArray::objectAtIndex>(sel::objectAtIndexedSubscript)
      .method<&NSArray::firstObject>(sel::firstObject)
      .method<&NSArray::lastObject>(sel::lastObject)
      .method<&NSArray::containsObject>(sel::containsObject);
}

void NSDictionary::bind(ClassBuilder<NSDictionary>& b) {
  b.method<&NSDictionary::count>(sel::count)
      .method<&NSDictionary::objectForKey>(sel::objectForKey)
      .method<&NSDictionary::objectForKey>(sel::valueForKey)
      .method<&NSDictionary::allKeys>(sel::allKeys);
}

void NSData::bind(ClassBuilder<NSData>& b) {
  b.method<&NSData::length>(sel::length);
}

void defineFoundationValues(ClassList& list) {
  list.define<NSObject>(nullptr);
  list.define<NSString>(NSObject::cls, [] { return NSString::make(""); });
  list.define<NSNumber>(NSObject::cls, [] { return NSNumber::numberWithInteger(0); });
  list.define(kBoolean, NSNumber::cls, [] { return NSNumber::numberWithBool(false); });
  list.define<NSArray>(NSObject::cls, [] { return NSArray::make(); });
  list.define(
      kMutableArray, NSArray::cls, [] { return NSArray::make({}, true); },
      [](Class c) {
        ClassBuilder<NSArray>(c)
            .method<&NSArray::addObject>(sel::addObject)
            .method<&NSArray::insertObject>(sel::insertObject_atIndex)
            .method<&NSArray::removeObject>(sel::removeObject)
            .method<&NSArray::removeAllObjects>(sel::removeAllObjects);
      });
  list.define<NSDictionary>(NSObject::cls, [] { return NSDictionary::make(); });
  list.define(
      kMutableDictionary, NSDictionary::cls, [] { return NSDictionary::make(true); },
      [](Class c) {
        ClassBuilder<NSDictionary>(c)
            .method<&NSDictionary::setObject>(sel::setObject_forKey)
            .method<&NSDictionary::setObject>(sel::setValue_forKey)
            .method<&NSDictionary::removeObjectForKey>(sel::removeObjectForKey)
            .method<&NSDictionary::removeAllObjects>(sel::removeAllObjects);
      });
  list.define<NSData>(NSObject::cls, [] { return NSData::make({}); });
}

}  // namespace host
