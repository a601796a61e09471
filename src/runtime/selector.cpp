#include "runtime/selector.h"

#include <deque>
#include <mutex>
#include <unordered_map>

namespace rt {
namespace {

struct SelectorTable {
  std::mutex mutex;
  std::deque<Selector> selectors;  // stable addresses
  std::unordered_map<std::string_view, SEL> byName;
};

SelectorTable& table() {
  static SelectorTable* instance = new SelectorTable;  // never destroyed: outlives every user
  return *instance;
}

}  // namespace

SEL sel_registerName(std::string_view name) {
  SelectorTable& t = table();
  std::lock_guard lock(t.mutex);
  if (auto it = t.byName.find(name); it != t.byName.end()) return it->second;
  Selector& sel = t.selectors.emplace_back(
      Selector{std::string(name), static_cast<uint32_t>(t.selectors.size())});
  t.byName.emplace(sel.name, &sel);
  return &sel;
}

uint32_t selectorCount() {
  SelectorTable& t = table();
  std::lock_guard lock(t.mutex);
  return static_cast<uint32_t>(t.selectors.size());
}

}  // namespace rt
