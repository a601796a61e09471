// Classes by name, method tables, method replacement and added methods.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/check.h"
#include "runtime/object.h"
#include "runtime/selector.h"
#include "runtime/signature.h"

namespace rt {

struct Method {
  SEL sel;
  IMP imp;
  const void* signature;  // signatureTag<R, Args...>() of the implementation
  std::string types;      // its type encoding, "v@:B"
};

namespace detail {
[[noreturn]] void signatureMismatch(id self, const Method* method, const std::string& expected);
}  // namespace detail

// The implementation of m as a function of signature R(A...): the one place a stored
// implementation turns back into a callable. A method of another signature is a
// programming error (naming the receiver's class when there is one), never a silent
// miscall.
template <class R, class... A>
ImpFor<R, A...> method_getImplementation(const Method* m, id receiver = nullptr) {
  if (m->signature != signatureTag<R, A...>())
    detail::signatureMismatch(receiver, m, typeEncoding<R, A...>());
  return reinterpret_cast<ImpFor<R, A...>>(m->imp);
}

// Makes the C++ object behind a class; subclasses without their own C++ type inherit
// their superclass's factory.
using Factory = std::function<Ref<>()>;
// Reads a named instance variable for key-value access ("_headerContentView").
using KeyGetter = std::function<Ref<>(id self)>;

// Hashes strings and string views alike, so a key table is searched without copying the
// key.
struct StringHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

struct ClassRecord {
  std::string name;
  Class superclass = nullptr;
  Factory factory;
  std::unordered_map<SEL, std::unique_ptr<Method>> methods;
  std::unordered_map<std::string, KeyGetter, StringHash, std::equal_to<>> keys;
  // Per-selector cache of the method found along the chain; points at method records,
  // so replacing an implementation needs no invalidation.
  std::vector<const Method*> cache;
  bool registered = false;
  // The metaclass holds the class methods; `object` is the class object they are sent
  // to (its isa is the metaclass). A metaclass has neither of its own.
  ClassRecord* meta = nullptr;
  Ref<> object;
  ClassRecord* instanceClass = nullptr;  // for a metaclass: the class it describes
};

// Registers a class and answers it; null when the name is taken. The class owns nothing
// until methods are added; a null factory means "use the superclass's".
Class objc_registerClass(std::string_view name, Class superclass, Factory factory = {});
// The class registered under the name, or null (an absent class).
Class objc_getClass(std::string_view name);
// The record for the name whether registered or not, created if need be. Foundation
// values made before their class is registered (constant strings) point at it.
Class objc_classRecord(std::string_view name);
// The metaclass of cls (where class methods live), or null.
inline Class object_getMetaclass(Class cls) {
  return cls ? cls->meta : nullptr;
}
// The class object of cls, the receiver of class messages; nil for a null class, so a
// class message to an absent class answers nil.
inline id objc_classObject(Class cls) {
  return cls && cls->registered ? cls->object.get() : nullptr;
}
// For a class object (the receiver of a class method), the class it stands for.
inline Class object_getClassOfClassObject(id classObject) {
  return classObject && classObject->isa() ? classObject->isa()->instanceClass : nullptr;
}
// Every registered class, in registration order.
std::vector<Class> objc_copyClassList();
// Unregisters every class and empties its tables, returning the runtime to its state
// before any registration. Records stay allocated (objects may still point at them),
// and registering the same name again reuses the record.
void objc_disposeAllClasses();

inline const char* class_getName(Class cls) {
  return cls ? cls->name.c_str() : "nil";
}
inline Class class_getSuperclass(Class cls) {
  return cls ? cls->superclass : nullptr;
}
// YES when cls is other or inherits from it.
bool class_isSubclassOf(Class cls, Class other);
// The method that a send of sel to an instance of cls runs (own or inherited), or null.
const Method* class_getInstanceMethod(Class cls, SEL sel);
// The method defined by cls itself, or null.
const Method* class_getOwnMethod(Class cls, SEL sel);
inline bool class_respondsToSelector(Class cls, SEL sel) {
  return class_getInstanceMethod(cls, sel) != nullptr;
}

// Adds a method; answers NO, changing nothing, when cls itself already has one for sel
// (an inherited method is shadowed). A null class answers NO.
bool class_addMethodRaw(Class cls, SEL sel, IMP imp, const void* signature, std::string types);

// Typed form. `types` must be the signature's encoding: a mismatch is a programming error.
template <class R, class... A>
bool class_addMethod(Class cls, const Sel<R(A...)>& sel, ImpFor<R, A...> imp, const char* types) {
  if (typeEncoding<R, A...>() != types)
    throw ProgrammingError(std::string("class_addMethod: types ") + types + " do not match " +
                           typeEncoding<R, A...>() + " for " + sel.name());
  return class_addMethodRaw(cls, sel.get(), imp_erase<R, A...>(imp), signatureTag<R, A...>(),
                            types);
}

// A class named in code. Its record is looked up once and kept (records are never
// freed), so using the constant costs no lookup by name.
class ClassName {
 public:
  constexpr explicit ClassName(const char* name) : name_(name) {}
  const char* name() const { return name_; }
  // The record, registered or not (see objc_classRecord).
  Class record() const {
    Class cls = cached_.load(std::memory_order_relaxed);
    if (!cls) {
      cls = objc_classRecord(name_);
      cached_.store(cls, std::memory_order_relaxed);
    }
    return cls;
  }
  // The class when this host has it, else null: what objc_getClass answers.
  Class get() const {
    Class cls = record();
    return cls->registered ? cls : nullptr;
  }
  operator Class() const { return get(); }
  // YES when object is of this class or a subclass of it; NO for nil.
  bool isKind(const Object* object) const {
    return object && class_isSubclassOf(object->isa(), record());
  }

 private:
  const char* name_;
  mutable std::atomic<Class> cached_{nullptr};
};

// A class named in code together with the C++ class T that backs it. Host classes
// declare theirs as a static member `cls`, so `UIView::cls.cast(object)` both tests the
// kind and gives the C++ type, and `NSString::cls.make(...)` makes one.
template <class T>
class ClassOf : public ClassName {
 public:
  using Type = T;
  using ClassName::ClassName;
  // The object as a T when it is of this class or a subclass; null otherwise.
  T* cast(id object) const { return isKind(object) ? static_cast<T*>(object) : nullptr; }
  const T* cast(const Object* object) const {
    return isKind(object) ? static_cast<const T*>(object) : nullptr;
  }
  // Makes a T with the arguments and gives it this class, registered or not: the one
  // way host code makes an object in C++. Values made before the host boots (constant
  // strings) rely on it; objects a host may lack are made with `new` instead, which
  // answers nil for an absent class. Set-up that sends messages to the new object
  // belongs in its `init` methods, never in the C++ constructor (see docs).
  template <class... Args>
  Ref<T> make(Args&&... args) const {
    auto object = std::make_shared<T>(std::forward<Args>(args)...);
    setIsa(*object, record());
    return object;
  }
};

// Makes an instance of cls with its factory, as `alloc` does; null for a null class.
Ref<> class_createInstance(Class cls);

// Key-value access to named instance variables.
void class_addKey(Class cls, std::string name, KeyGetter getter);
// The value of the key along the class chain; nil for a nil object or an unknown key.
Ref<> object_valueForKey(id self, std::string_view key);
// The keys under which self holds `value`: every key along the class chain (a subclass's
// key hiding its superclass's of the same name) whose value is that very object, sorted.
// Empty for nil.
std::vector<std::string> object_keysHolding(id self, id value);

// True when the object's class is cls or a subclass of it; NO for nil.
inline bool object_isKindOfClass(id self, Class cls) {
  return self && cls && class_isSubclassOf(self->isa(), cls);
}

}  // namespace rt
