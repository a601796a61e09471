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

const rt::ClassName kString{"NSString"}, kBoolean{"__NSCFBoolean"}, kNumber{"NSNumber"},
    kArray{"NSArray"}, kMutableArray{"NSMutableArray"}, kDictionary{"NSDictionary"},
    kMutableDictionary{"NSMutableDictionary"}, kData{"NSData"};

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// An array's element test (isEqual:): the same object, or an equal value.
bool matches(const Ref<>& item, id object) {
  auto* value = dynamic_cast<const NSObject*>(item.get());
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
  return rt::constructNamed<NSString>(kString, std::move(text));
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

// ---- NSNumber

Ref<NSNumber> NSNumber::numberWithBool(bool value) {
  return rt::constructNamed<NSNumber>(kBoolean, Kind::Boolean, value ? 1 : 0, value ? 1.0 : 0.0);
}
Ref<NSNumber> NSNumber::numberWithInteger(int64_t value) {
  return rt::constructNamed<NSNumber>(kNumber, Kind::Integer, value, static_cast<double>(value));
}
Ref<NSNumber> NSNumber::numberWithDouble(double value) {
  return rt::constructNamed<NSNumber>(kNumber, Kind::Real, NSNumber::saturate(value), value);
}

int64_t NSNumber::saturate(double value) {
  // Out-of-range conversion is undefined; the host clamps, and NaN reads as 0.
  if (std::isnan(value)) return 0;
  if (value >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
  if (value <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(value);
}

bool NSNumber::equals(const rt::Object& other) const {
  auto* n = dynamic_cast<const NSNumber*>(&other);
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
  return rt::constructNamed<NSArray>(mutableArray ? kMutableArray : kArray, std::move(items));
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
  auto* a = dynamic_cast<const NSArray*>(&other);
  if (!a || a->items_.size() != items_.size()) return false;
  for (size_t i = 0; i < items_.size(); ++i) {
    auto* mine = dynamic_cast<const NSObject*>(items_[i].get());
    if (!mine || !mine->equals(*a->items_[i])) return false;
  }
  return true;
}

// ---- NSDictionary

Ref<NSDictionary> NSDictionary::make(bool mutableDictionary) {
  return rt::constructNamed<NSDictionary>(mutableDictionary ? kMutableDictionary : kDictionary);
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
  auto* d = dynamic_cast<const NSDictionary*>(&other);
  if (!d || d->entries_.size() != entries_.size()) return false;
  for (auto& [key, value] : entries_) {
    auto it = d->entries_.find(key);
    auto* mine = dynamic_cast<const NSObject*>(value.get());
    if (it == d->entries_.end() || !mine || !mine->equals(*it->second)) return false;
  }
  return true;
}

// ---- NSData

Ref<NSData> NSData::make(std::vector<uint8_t> bytes) {
  return rt::constructNamed<NSData>(kData, std::move(bytes));
}

bool NSData::equals(const rt::Object& other) const {
  auto* d = dynamic_cast<const NSData*>(&other);
  return d && d->bytes_ == bytes_;
}

// ---- readers

const NSString* asNSString(id object) {
  return rt::object_cast<const NSString>(object, kString);
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
  return object && rt::class_isSubclassOf(object->isa(), kBoolean.record());
}

// ---- registration

void registerFoundationValues() {
  using namespace rt;
  Class object =
      objc_registerClass("NSObject", nullptr, [] { return std::make_shared<NSObject>(); });
  bindMethod<&NSObject::isKindOfClass>(object, sel::isKindOfClass);
  bindMethod<&NSObject::respondsToSelector>(object, sel::respondsToSelector);
  bindMethod<&NSObject::isEqual>(object, sel::isEqual);
  bindMethod<&NSObject::valueForKey>(object, sel::valueForKey);
  bindMethod<&NSObject::valueForKey>(object, sel::safeValueForKey);
  bindMethod<&NSObject::description>(object, sel::description);
  bindFunction(
      object, sel::init, +[](id self, SEL) -> Ref<> { return self->ref(); });
  bindClassFunction(
      object, sel::alloc,
      +[](id self, SEL) { return class_createInstance(object_getClassOfClassObject(self)); });
  bindClassFunction(
      object, sel::new_, +[](id self, SEL) {
        return send(class_createInstance(object_getClassOfClassObject(self)), sel::init);
      });

  Class string = objc_registerClass("NSString", object, [] { return NSString::make(""); });
  bindMethod<&NSString::length>(string, sel::length);
  bindMethod<&NSString::isEqualToString>(string, sel::isEqualToString);
  bindMethod<&NSString::containsString>(string, sel::containsString);
  bindMethod<&NSString::substringFromIndex>(string, sel::substringFromIndex);
  bindMethod<&NSString::substringToIndex>(string, sel::substringToIndex);
  bindMethod<&NSString::stringByAppendingString>(string, sel::stringByAppendingString);
  bindMethod<&NSString::floatValue>(string, sel::floatValue);
  bindMethod<&NSString::doubleValue>(string, sel::doubleValue);
  bindMethod<&NSString::integerValue>(string, sel::integerValue);
  bindMethod<&NSString::boolValue>(string, sel::boolValue);

  Class number =
      objc_registerClass("NSNumber", object, [] { return NSNumber::numberWithInteger(0); });
  bindMethod<&NSNumber::boolValue>(number, sel::boolValue);
  bindMethod<&NSNumber::integerValue>(number, sel::integerValue);
  bindMethod<&NSNumber::integerValue>(number, sel::longLongValue);
  bindMethod<&NSNumber::intValue>(number, sel::intValue);
  bindMethod<&NSNumber::floatValue>(number, sel::floatValue);
  bindMethod<&NSNumber::doubleValue>(number, sel::doubleValue);
  objc_registerClass("__NSCFBoolean", number, [] { return NSNumber::numberWithBool(false); });

  Class array = objc_registerClass("NSArray", object, [] { return NSArray::make(); });
  bindMethod<&NSArray::count>(array, sel::count);
  bindMethod<&NSArray::objectAtIndex>(array, sel::objectAtIndex);
  bindMethod<&NSArray::firstObject>(array, sel::firstObject);
  bindMethod<&NSArray::lastObject>(array, sel::lastObject);
  bindMethod<&NSArray::containsObject>(array, sel::containsObject);
  Class mutableArray =
      objc_registerClass("NSMutableArray", array, [] { return NSArray::make({}, true); });
  bindMethod<&NSArray::addObject>(mutableArray, sel::addObject);
  bindMethod<&NSArray::insertObject>(mutableArray, sel::insertObject_atIndex);
  bindMethod<&NSArray::removeObject>(mutableArray, sel::removeObject);
  bindMethod<&NSArray::removeAllObjects>(mutableArray, sel::removeAllObjects);

  Class dictionary =
      objc_registerClass("NSDictionary", object, [] { return NSDictionary::make(); });
  bindMethod<&NSDictionary::count>(dictionary, sel::count);
  bindMethod<&NSDictionary::objectForKey>(dictionary, sel::objectForKey);
  bindMethod<&NSDictionary::objectForKey>(dictionary, sel::valueForKey);
  bindMethod<&NSDictionary::allKeys>(dictionary, sel::allKeys);
  Class mutableDictionary = objc_registerClass("NSMutableDictionary", dictionary,
                                               [] { return NSDictionary::make(true); });
  bindMethod<&NSDictionary::setObject>(mutableDictionary, sel::setObject_forKey);
  bindMethod<&NSDictionary::setObject>(mutableDictionary, sel::setValue_forKey);
  bindMethod<&NSDictionary::removeObjectForKey>(mutableDictionary, sel::removeObjectForKey);
  bindMethod<&NSDictionary::removeAllObjects>(mutableDictionary, sel::removeAllObjects);

  Class data = objc_registerClass("NSData", object, [] { return NSData::make({}); });
  bindMethod<&NSData::length>(data, sel::length);
}

}  // namespace host
