// Method replacement: the hooking loader's MSHookMessageEx and the runtime call under it.
#pragma once

#include "runtime/class.h"

namespace rt {

// Replaces the implementation of sel for cls and answers the previous one. For an
// inherited method, cls gets an override and the answer is the inherited implementation.
// Null class, or no such method: nothing happens and the answer is null.
IMP class_replaceMethodRaw(Class cls, SEL sel, IMP imp, const void* signature);

// The hooking loader's operation: install `replacement` and store the previous
// implementation in `*slot`. The slot is written only when the current implementation
// is not the replacement itself, so hooking twice never makes a hook its own original;
// the later hook wins. A null class, or a class without the method, leaves all alone.
template <class R, class... A>
void MSHookMessageEx(Class cls, const Sel<R(A...)>& sel, ImpFor<R, A...> replacement,
                     ImpFor<R, A...>* slot) {
  if (!cls) return;
  const Method* current = class_getInstanceMethod(cls, sel.get());
  if (!current) return;
  const ImpFor<R, A...> previousTyped = method_getImplementation<R, A...>(current);
  class_replaceMethodRaw(cls, sel.get(), imp_erase<R, A...>(replacement), current->signature);
  // For an inherited method the override's previous implementation is the inherited one,
  // which is `current` here as well.
  if (previousTyped != replacement && slot) *slot = previousTyped;
}

}  // namespace rt
