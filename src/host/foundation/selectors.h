// Selector constants of the Foundation classes, typed with their signatures. A name
// used by several classes has one constant, as a selector has one signature.
#pragma once

#include <cstdint>
#include <functional>

#include "runtime/runtime.h"

namespace sel {
using rt::CGFloat;
using rt::Class;
using rt::id;
using rt::Ref;
using rt::Sel;
using rt::SEL;

// NSObject
inline const Sel<Ref<>()> alloc{"alloc"};
inline const Sel<Ref<>()> new_{"new"};
inline const Sel<Ref<>()> init{"init"};
inline const Sel<bool(Class)> isKindOfClass{"isKindOfClass:"};
inline const Sel<bool(SEL)> respondsToSelector{"respondsToSelector:"};
inline const Sel<bool(id)> isEqual{"isEqual:"};
inline const Sel<Ref<>(id)> valueForKey{"valueForKey:"};
inline const Sel<Ref<>(id)> safeValueForKey{"safeValueForKey:"};
inline const Sel<Ref<>()> description{"description"};

// NSString
inline const Sel<uint64_t()> length{"length"};
inline const Sel<bool(id)> isEqualToString{"isEqualToString:"};
inline const Sel<bool(id)> containsString{"containsString:"};
inline const Sel<Ref<>(uint64_t)> substringFromIndex{"substringFromIndex:"};
inline const Sel<Ref<>(uint64_t)> substringToIndex{"substringToIndex:"};
inline const Sel<Ref<>(id)> stringByAppendingString{"stringByAppendingString:"};
inline const Sel<float()> floatValue{"floatValue"};
inline const Sel<double()> doubleValue{"doubleValue"};
inline const Sel<int64_t()> integerValue{"integerValue"};
inline const Sel<bool()> boolValue{"boolValue"};

// NSArray, NSMutableArray, NSDictionary, NSMutableDictionary
inline const Sel<uint64_t()> count{"count"};
inline const Sel<Ref<>(uint64_t)> objectAtIndex{"objectAtIndex:"};
inline const Sel<Ref<>()> firstObject{"firstObject"};
inline const Sel<Ref<>()> lastObject{"lastObject"};
inline const Sel<bool(id)> containsObject{"containsObject:"};
inline const Sel<void(id)> addObject{"addObject:"};
inline const Sel<void(id, uint64_t)> insertObject_atIndex{"insertObject:atIndex:"};
inline const Sel<void(id)> removeObject{"removeObject:"};
inline const Sel<void()> removeAllObjects{"removeAllObjects"};
inline const Sel<Ref<>(id)> objectForKey{"objectForKey:"};
inline const Sel<void(id, id)> setObject_forKey{"setObject:forKey:"};
inline const Sel<void(id, id)> setValue_forKey{"setValue:forKey:"};
inline const Sel<void(id)> removeObjectForKey{"removeObjectForKey:"};
inline const Sel<Ref<>()> allKeys{"allKeys"};

// NSNumber
inline const Sel<int32_t()> intValue{"intValue"};
inline const Sel<int64_t()> longLongValue{"longLongValue"};

}  // namespace sel
