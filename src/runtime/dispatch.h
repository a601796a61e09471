// Message send. A nil receiver answers a value-initialised result (nil, NO, 0, 0.0, a
// zero point, size or rectangle) without looking anything up.
#pragma once

#include <string>
#include <type_traits>
#include <utility>

#include "runtime/class.h"

namespace rt {

namespace detail {
// The answer of a message to nil: a value-initialised result, or nothing.
template <class R>
R nilResult() {
  if constexpr (!std::is_void_v<R>) return R{};
}

const Method* lookupSlow(Class cls, SEL sel);
[[noreturn]] void unrecognizedSelector(id self, SEL sel);

inline const Method* lookup(Class cls, SEL sel) {
  const uint32_t index = sel->index;
  if (index < cls->cache.size())
    if (const Method* m = cls->cache[index]) return m;
  return lookupSlow(cls, sel);
}

template <class R, class... A>
ImpFor<R, A...> resolve(id self, SEL sel) {
  RT_ASSERT(self->isa(), "message sent to an object made without a class");
  const Method* m = lookup(self->isa(), sel);
  if (!m) unrecognizedSelector(self, sel);
  return method_getImplementation<R, A...>(m, self);
}

template <class T>
struct IsRef : std::false_type {};
template <class T>
struct IsRef<Ref<T>> : std::true_type {};

// Lets a strong reference be passed where the method takes a borrowed one.
template <class A, class P>
decltype(auto) pass(P&& p) {
  if constexpr (std::is_same_v<A, id> && IsRef<std::decay_t<P>>::value)
    return static_cast<id>(p.get());
  else
    return std::forward<P>(p);
}
}  // namespace detail

// Sends sel to self. Unknown selectors and signature mismatches are programming errors.
template <class R, class... A, class... P>
R send(id self, const Sel<R(A...)>& sel, P&&... args) {
  if (!self) return detail::nilResult<R>();
  return detail::resolve<R, A...>(self, sel.get())(self, sel.get(),
                                                   detail::pass<A>(std::forward<P>(args))...);
}
template <class T, class R, class... A, class... P>
R send(const Ref<T>& self, const Sel<R(A...)>& sel, P&&... args) {
  return send(static_cast<id>(self.get()), sel, std::forward<P>(args)...);
}

// Sends a selector known only at run time (an observer's selector, say) with the
// signature R(A...); a method of another signature is a programming error.
template <class R, class... A>
R sendDynamic(id self, SEL sel, A... args) {
  if (!self || !sel) return detail::nilResult<R>();
  return detail::resolve<R, A...>(self, sel)(self, sel, args...);
}

// A class message: sends sel to the class object of cls (nil for an absent class).
template <class R, class... A, class... P>
R send(Class cls, const Sel<R(A...)>& sel, P&&... args) {
  return send(objc_classObject(cls), sel, std::forward<P>(args)...);
}
template <class R, class... A, class... P>
R send(const ClassName& cls, const Sel<R(A...)>& sel, P&&... args) {
  return send(objc_classObject(cls.get()), sel, std::forward<P>(args)...);
}

// Sends sel to self, starting the method search at the superclass of `cls` (the class
// whose implementation is calling `super`).
template <class R, class... A, class... P>
R sendSuper(Class cls, id self, const Sel<R(A...)>& sel, P&&... args) {
  if (!self || !cls || !cls->superclass) return detail::nilResult<R>();
  const Method* m = class_getInstanceMethod(cls->superclass, sel.get());
  if (!m) detail::unrecognizedSelector(self, sel.get());
  return method_getImplementation<R, A...>(m, self)(self, sel.get(),
                                                    detail::pass<A>(std::forward<P>(args))...);
}

// YES when self is not nil and its class has a method for sel.
inline bool respondsToSelector(id self, SEL sel) {
  return self && class_respondsToSelector(self->isa(), sel);
}

}  // namespace rt
