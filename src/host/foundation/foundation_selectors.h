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
// The shared instance of a class with one (class message).
inline const Sel<Ref<>()> sharedInstance{"sharedInstance"};

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
inline const Sel<Ref<>(id)> componentsSeparatedByString{"componentsSeparatedByString:"};
inline const Sel<Ref<>()> lowercaseString{"lowercaseString"};

// NSArray, NSMutableArray, NSDictionary, NSMutableDictionary
inline const Sel<uint64_t()> count{"count"};
inline const Sel<Ref<>(uint64_t)> objectAtIndex{"objectAtIndex:"};
inline const Sel<Ref<>(uint64_t)> objectAtIndexedSubscript{"objectAtIndexedSubscript:"};
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
inline const Sel<Ref<>(id)> initWithContentsOfFile{"initWithContentsOfFile:"};

// NSNumber
inline const Sel<Ref<>(bool)> numberWithBool{"numberWithBool:"};
inline const Sel<Ref<>(int64_t)> numberWithInteger{"numberWithInteger:"};
inline const Sel<int32_t()> intValue{"intValue"};
inline const Sel<int64_t()> longLongValue{"longLongValue"};

// NSNotificationCenter, NSNotification
inline const Sel<Ref<>()> defaultCenter{"defaultCenter"};
inline const Sel<void(id, SEL, id, id)> addObserver_selector_name_object{
    "addObserver:selector:name:object:"};
inline const Sel<void(id, id, id)> removeObserver_name_object{"removeObserver:name:object:"};
inline const Sel<void(id)> removeObserver{"removeObserver:"};
inline const Sel<void(id, id)> postNotificationName_object{"postNotificationName:object:"};
inline const Sel<void(id, id, id)> postNotificationName_object_userInfo{
    "postNotificationName:object:userInfo:"};
inline const Sel<void(id)> postNotification{"postNotification:"};
inline const Sel<Ref<>()> name{"name"};
inline const Sel<Ref<>()> object{"object"};
inline const Sel<Ref<>()> userInfo{"userInfo"};

// NSFileManager
inline const Sel<Ref<>()> defaultManager{"defaultManager"};
inline const Sel<bool(id)> fileExistsAtPath{"fileExistsAtPath:"};
inline const Sel<Ref<>(id, Ref<>*)> contentsOfDirectoryAtPath_error{
    "contentsOfDirectoryAtPath:error:"};

// NSScanner
inline const Sel<Ref<>(id)> scannerWithString{"scannerWithString:"};
inline const Sel<uint64_t()> scanLocation{"scanLocation"};
inline const Sel<void(uint64_t)> setScanLocation{"setScanLocation:"};
inline const Sel<bool(uint32_t*)> scanHexInt{"scanHexInt:"};
inline const Sel<bool()> isAtEnd{"isAtEnd"};

// NSData, Base64
inline const Sel<Ref<>(uint64_t)> base64EncodedStringWithOptions{"base64EncodedStringWithOptions:"};

// NSUserDefaults
inline const Sel<Ref<>(id)> initWithSuiteName{"initWithSuiteName:"};
inline const Sel<bool(id)> boolForKey{"boolForKey:"};
inline const Sel<int64_t(id)> integerForKey{"integerForKey:"};
inline const Sel<float(id)> floatForKey{"floatForKey:"};
inline const Sel<void(id)> registerDefaults{"registerDefaults:"};
inline const Sel<bool()> synchronize{"synchronize"};
}  // namespace sel

namespace cls {
inline const rt::ClassName NSObject{"NSObject"};
inline const rt::ClassName NSString{"NSString"};
inline const rt::ClassName NSNumber{"NSNumber"};
inline const rt::ClassName NSArray{"NSArray"};
inline const rt::ClassName NSMutableArray{"NSMutableArray"};
inline const rt::ClassName NSDictionary{"NSDictionary"};
inline const rt::ClassName NSMutableDictionary{"NSMutableDictionary"};
inline const rt::ClassName NSData{"NSData"};
inline const rt::ClassName NSNotificationCenter{"NSNotificationCenter"};
inline const rt::ClassName NSFileManager{"NSFileManager"};
inline const rt::ClassName NSScanner{"NSScanner"};
inline const rt::ClassName NSUserDefaults{"NSUserDefaults"};
}  // namespace cls
