// The classes the system adds (LumoraBackgroundView, LumoraIndicatorView), the
// properties it adds to host classes, and its category on NSNotificationCenter.
#pragma once

#include "shared/added_views.h"

namespace lumora {

// Registers the added view classes and the category methods, as loading the library
// does before any start-up routine runs.
void registerSystemClasses();

// An added property: its getter and setter names and a unique association key.
struct AddedProperty {
  const rt::ClassName* hostClass;
  const char* getter;
  const char* setter;
};

// The eight added properties, in installation order within each class.
const std::vector<AddedProperty>& addedProperties();
// Adds the getter (type "@@:") or the setter ("v@:@") of property `index` of
// addedProperties() to cls; a null class does nothing.
void addPropertyGetter(rt::Class cls, size_t index);
void addPropertySetter(rt::Class cls, size_t index);

}  // namespace lumora
