// Interned selectors, and selector constants typed with the signature of their method.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/object.h"

namespace rt {

struct Selector {
  std::string name;
  // Dense index, used to address the per-class method caches.
  uint32_t index;
};

// Answers the one selector with this name, interning it on first use. Selectors live
// for the whole process (a reset keeps them: they are only names).
SEL sel_registerName(std::string_view name);
// The selector's name.
inline const std::string& sel_getName(SEL sel) {
  return sel->name;
}
// How many selectors are interned; the size a full method cache needs.
uint32_t selectorCount();

template <class Signature>
class Sel;

// A selector constant: its name and the C++ signature of its method, `R(Args...)`
// without the receiver and selector. Sending or replacing through a constant with the
// wrong argument or result types does not compile. Constants are constant-initialised,
// so they may be defined `inline const` in headers and used from static initialisers.
template <class R, class... Args>
class Sel<R(Args...)> {
 public:
  using Result = R;
  constexpr explicit Sel(const char* name) : name_(name) {}

  const char* name() const { return name_; }
  // The interned selector, looked up once and kept.
  SEL get() const {
    SEL sel = cached_.load(std::memory_order_relaxed);
    if (!sel) {
      sel = sel_registerName(name_);
      cached_.store(sel, std::memory_order_relaxed);
    }
    return sel;
  }
  operator SEL() const { return get(); }

 private:
  const char* name_;
  mutable std::atomic<SEL> cached_{nullptr};
};

}  // namespace rt
