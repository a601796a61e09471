// Method signatures: a unique tag per C++ signature, checked on every send, and the
// Objective-C type encoding of a signature ("v@:B"), checked when a method is added.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>

#include "runtime/geometry.h"
#include "runtime/object.h"

namespace rt {

// The implementation type of a method of signature R(Args...).
template <class R, class... Args>
using ImpFor = R (*)(id self, SEL cmd, Args...);

// An implementation behind a type-erased pointer; always called through its real type.
using IMP = void (*)();

// The type-erased form of a typed implementation, as method records store it.
template <class R, class... Args>
IMP imp_erase(ImpFor<R, Args...> imp) {
  return reinterpret_cast<IMP>(imp);
}

template <class R, class... Args>
struct SignatureTag {
  static constexpr char tag = 0;
};
// One distinct address per signature, shared by every translation unit.
template <class R, class... Args>
constexpr const void* signatureTag() {
  return &SignatureTag<R, Args...>::tag;
}

template <class T, class = void>
struct Encoding {
  static std::string get() { return "?"; }
};
template <>
struct Encoding<void> {
  static std::string get() { return "v"; }
};
template <>
struct Encoding<bool> {
  static std::string get() { return "B"; }
};
template <>
struct Encoding<int32_t> {
  static std::string get() { return "i"; }
};
template <>
struct Encoding<uint32_t> {
  static std::string get() { return "I"; }
};
template <>
struct Encoding<int64_t> {
  static std::string get() { return "q"; }
};
template <>
struct Encoding<uint64_t> {
  static std::string get() { return "Q"; }
};
template <>
struct Encoding<float> {
  static std::string get() { return "f"; }
};
template <>
struct Encoding<double> {
  static std::string get() { return "d"; }
};
template <>
struct Encoding<SEL> {
  static std::string get() { return ":"; }
};
template <>
struct Encoding<Class> {
  static std::string get() { return "#"; }
};
template <>
struct Encoding<id> {
  static std::string get() { return "@"; }
};
template <class T>
struct Encoding<Ref<T>> {
  static std::string get() { return "@"; }
};
template <>
struct Encoding<std::function<void()>> {
  static std::string get() { return "@?"; }
};
template <>
struct Encoding<CGPoint> {
  static std::string get() { return "{CGPoint=dd}"; }
};
template <>
struct Encoding<CGSize> {
  static std::string get() { return "{CGSize=dd}"; }
};
template <>
struct Encoding<CGRect> {
  static std::string get() { return "{CGRect={CGPoint=dd}{CGSize=dd}}"; }
};
template <class T>
struct Encoding<T*, std::enable_if_t<!std::is_base_of_v<Object, T>>> {
  static std::string get() { return std::string("^").append(Encoding<std::remove_cv_t<T>>::get()); }
};

// The type encoding of a method: result, receiver, selector, then the arguments.
template <class R, class... Args>
std::string typeEncoding() {
  std::string s = Encoding<R>::get() + "@:";
  ((s += Encoding<std::decay_t<Args>>::get()), ...);
  return s;
}

}  // namespace rt
