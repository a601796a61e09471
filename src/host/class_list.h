// How a host class is defined: one declaration per class, next to its C++ type.
//
// A host class T declares
//   static inline const rt::ClassOf<T> cls{"Name"};      // its name, typed with T
//   static void bind(host::ClassBuilder<T>& b);          // optional: methods, ivars
// and its module lists it once with `list.define<T>(Superclass::cls)`. Boot registers
// every listed class after its superclass whatever the order of the lists, so no file
// depends on another being registered first; a class left out of the host (and its
// subclasses) is skipped.
//
// C++ constructors cannot message `self`: an object gets its class only after it is
// constructed. Set-up that sends messages (a view making its subviews, say) belongs in
// the class's `init` or `initWithFrame:` method, which `new` runs.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "runtime/runtime.h"

namespace host {

// Binds a class's methods and publishes its instance variables by key.
template <class T>
class ClassBuilder {
 public:
  explicit ClassBuilder(rt::Class cls) : cls_(cls) {}
  rt::Class cls() const { return cls_; }

  // The member function as the method for sel.
  template <auto Member, class R, class... A>
  ClassBuilder& method(const rt::Sel<R(A...)>& sel) {
    rt::bindMethod<Member>(cls_, sel);
    return *this;
  }
  // A free implementation as the method for sel.
  template <class R, class... A>
  ClassBuilder& function(const rt::Sel<R(A...)>& sel, rt::ImpFor<R, A...> imp) {
    rt::bindFunction(cls_, sel, imp);
    return *this;
  }
  // A free implementation as a class method.
  template <class R, class... A>
  ClassBuilder& classFunction(const rt::Sel<R(A...)>& sel, rt::ImpFor<R, A...> imp) {
    rt::bindClassFunction(cls_, sel, imp);
    return *this;
  }
  // The field (a strong or weak reference) as the instance variable `name`, reachable
  // through valueForKey: and safeValueForKey:.
  template <auto Field>
  ClassBuilder& ivar(const char* name) {
    rt::class_addKey(cls_, name, [](rt::id self) -> rt::Ref<> {
      const auto& value = static_cast<T*>(self)->*Field;
      if constexpr (requires { value.lock(); })
        return value.lock();
      else
        return value;
    });
    return *this;
  }

 private:
  rt::Class cls_;
};

// The host's classes, collected from every module before any is registered.
class ClassList {
 public:
  struct Definition {
    const rt::ClassName* name;
    const rt::ClassName* superclass;  // null for the root class
    rt::Factory factory;
    std::function<void(rt::Class)> bind;
  };

  // Defines T (named by T::cls) under superclass; instances are a default-constructed T
  // unless a factory is given.
  template <class T>
  void define(const rt::ClassName* superclass, rt::Factory factory = {}) {
    static_assert(std::is_same_v<std::remove_cvref_t<decltype(T::cls)>, rt::ClassOf<T>>,
                  "a host class declares its own `cls` constant");
    if constexpr (std::is_default_constructible_v<T>)
      if (!factory) factory = [] { return std::make_shared<T>(); };
    RT_ASSERT(factory, "a host class without a default constructor needs a factory");
    std::function<void(rt::Class)> bind;
    if constexpr (requires(ClassBuilder<T> & b) { T::bind(b); })
      bind = [](rt::Class cls) {
        ClassBuilder<T> builder(cls);
        T::bind(builder);
      };
    definitions_.push_back({&T::cls, superclass, std::move(factory), std::move(bind)});
  }
  template <class T>
  void define(const rt::ClassName& superclass, rt::Factory factory = {}) {
    define<T>(&superclass, std::move(factory));
  }
  // A class without a C++ type of its own: its instances come from the factory, or from
  // the superclass's when there is none.
  void define(const rt::ClassName& name, const rt::ClassName& superclass, rt::Factory factory = {},
              std::function<void(rt::Class)> bind = {}) {
    definitions_.push_back({&name, &superclass, std::move(factory), std::move(bind)});
  }

  // Methods added to a class defined elsewhere (a category), bound after every class is
  // registered; nothing happens when the class is absent.
  void extend(const rt::ClassName& name, std::function<void(rt::Class)> bind) {
    categories_.push_back({&name, nullptr, {}, std::move(bind)});
  }

  // Registers every class after its superclass and binds its methods. A class named in
  // `absent`, or whose superclass is not registered, is skipped and named in `skipped`.
  void registerAll(const std::set<std::string>& absent, std::set<std::string>& skipped) const;

 private:
  std::vector<Definition> definitions_;
  std::vector<Definition> categories_;
};

}  // namespace host
