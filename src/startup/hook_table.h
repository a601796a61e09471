// The hook table: every replacement, added method and added property the start-up
// routines install, in installation order.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/runtime.h"

namespace lumora {

enum class Routine { Widget, Notification, Media };
enum class HookKind { Replace, Add, Property };

struct HookRow {
  Routine routine;
  const rt::ClassName* hostClass;
  std::string selector;
  HookKind kind;
  // Installs the row on the host class (never null when called).
  std::function<void(rt::Class)> install;
  // Empties the row's saved-implementation slot (Replace rows; no-op otherwise).
  std::function<void()> clearSlot;
  const char* className() const { return hostClass->name(); }
};

// All rows: widget, then notification, then media rows, each in installation order.
const std::vector<HookRow>& hookTable();

// The rows of each surface, defined next to their replacements.
std::vector<HookRow> widgetRows();
std::vector<HookRow> notificationRows();
std::vector<HookRow> mediaRows();

const char* routineName(Routine routine);
const char* hookKindName(HookKind kind);

// A Replace row: MSHookMessageEx(class, selector, replacement, slot).
template <class R, class... A>
HookRow replaceRow(Routine routine, const rt::ClassName& hostClass,
                   const rt::Sel<R(A...)>& selector, rt::ImpFor<R, A...> replacement,
                   rt::ImpFor<R, A...>* slot) {
  return {routine,
          &hostClass,
          selector.name(),
          HookKind::Replace,
          [&selector, replacement, slot](rt::Class cls) {
            rt::MSHookMessageEx(cls, selector, replacement, slot);
          },
          [slot] { *slot = nullptr; }};
}

// An Add row: class_addMethod(class, selector, implementation, types).
template <class R, class... A>
HookRow addRow(Routine routine, const rt::ClassName& hostClass, const rt::Sel<R(A...)>& selector,
               rt::ImpFor<R, A...> implementation, const char* types) {
  return {routine,
          &hostClass,
          selector.name(),
          HookKind::Add,
          [&selector, implementation, types](rt::Class cls) {
            rt::class_addMethod(cls, selector, implementation, types);
          },
          [] {}};
}

// The getter row then the setter row of each property added to the host class, in the
// order of addedProperties() (see added_classes.h).
std::vector<HookRow> propertyRows(Routine routine, const rt::ClassName& hostClass);

}  // namespace lumora
