#include "host/class_list.h"

#include <map>

namespace host {

void ClassList::registerAll(const std::set<std::string>& absent,
                            std::set<std::string>& skipped) const {
  std::map<std::string, const Definition*> byName;
  for (const Definition& d : definitions_)
    RT_ASSERT(byName.emplace(d.name->name(), &d).second, "host class defined twice");

  enum class State { Visiting, Done };
  std::map<const Definition*, State> state;
  std::function<rt::Class(const Definition&)> registerOne = [&](const Definition& d) -> rt::Class {
    if (auto it = state.find(&d); it != state.end()) {
      RT_ASSERT(it->second == State::Done, "host classes inherit from each other in a loop");
      return d.name->get();
    }
    state[&d] = State::Visiting;
    rt::Class superclass = nullptr;
    if (d.superclass) {
      auto parent = byName.find(d.superclass->name());
      superclass = parent != byName.end() ? registerOne(*parent->second) : d.superclass->get();
    }
    rt::Class cls = nullptr;
    if (absent.count(d.name->name()) || (d.superclass && !superclass))
      skipped.insert(d.name->name());
    else
      cls = rt::objc_registerClass(d.name->name(), superclass, d.factory);
    if (cls && d.bind) d.bind(cls);
    state[&d] = State::Done;
    return cls;
  };
  for (const Definition& d : definitions_) registerOne(d);
  for (const Definition& c : categories_)
    if (rt::Class cls = c.name->get()) c.bind(cls);
}

}  // namespace host
