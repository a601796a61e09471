// Binding C++ member functions of host classes as method implementations.
#pragma once

#include <type_traits>

#include "runtime/class.h"

namespace rt {
namespace detail {

template <auto Member>
struct Trampoline;

template <class T, class R, class... A, R (T::*M)(A...)>
struct Trampoline<M> {
  using Signature = R(A...);
  static R imp(id self, SEL, A... args) { return (static_cast<T*>(self)->*M)(args...); }
};

template <class T, class R, class... A, R (T::*M)(A...) const>
struct Trampoline<M> {
  using Signature = R(A...);
  static R imp(id self, SEL, A... args) { return (static_cast<const T*>(self)->*M)(args...); }
};

template <class F>
struct ImpTraits;
template <class R, class... A>
struct ImpTraits<R (*)(id, SEL, A...)> {
  using Signature = R(A...);
};

}  // namespace detail

// Binds `Member` as the implementation of sel on cls. The member's signature must be
// the selector's; the receiver is cast to the member's class, so cls must be backed by
// that C++ class or a subclass of it.
template <auto Member, class R, class... A>
void bindMethod(Class cls, const Sel<R(A...)>& sel) {
  using T = detail::Trampoline<Member>;
  static_assert(std::is_same_v<typename T::Signature, R(A...)>,
                "member signature differs from the selector's");
  class_addMethodRaw(cls, sel.get(), imp_erase<R, A...>(&T::imp), signatureTag<R, A...>(),
                     typeEncoding<R, A...>());
}

// Binds a free implementation `R f(id, SEL, A...)` as the method for sel on cls.
template <class R, class... A>
void bindFunction(Class cls, const Sel<R(A...)>& sel, ImpFor<R, A...> imp) {
  class_addMethodRaw(cls, sel.get(), imp_erase<R, A...>(imp), signatureTag<R, A...>(),
                     typeEncoding<R, A...>());
}

// Binds a free implementation as a class method of cls (a method of its metaclass).
template <class R, class... A>
void bindClassFunction(Class cls, const Sel<R(A...)>& sel, ImpFor<R, A...> imp) {
  bindFunction(object_getMetaclass(cls), sel, imp);
}

}  // namespace rt
