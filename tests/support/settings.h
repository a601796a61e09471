// Settings for every registered key: their defaults, or random values (each value the keys
// accept, junk, and values of the wrong kind, as a settings file may hold any of them).
#pragma once

#include <random>
#include <variant>

#include "host/foundation/values.h"
#include "prefs/lumora_prefs.h"

namespace testing_support {

inline rt::Ref<> randomSetting(std::mt19937& random) {
  static const char* const kWords[] = {
      "none",   "dominant", "stock",    "round",     "custom",       "modern", "classic",
      "icon",   "dot",      "triangle", "line",      "all",          "top",    "right",
      "bottom", "left",     "ltr",      "center",    "rtl",          "no",     "dark",
      "light",  "default",  "#FF0000",  "#00FF0080", "#000000:0.00", "#12345", "#FFFFFF:0.5",
      "junk",   "",         "0.00"};
  static const int64_t kNumbers[] = {0, 1, 2, 3, 13, 32, 33, -5, 40, 1000, -4};
  switch (random() % 4) {
    case 0:
      return rt::send(cls::NSNumber, sel::numberWithBool, random() % 2 == 0);
    case 1:
      return rt::send(cls::NSNumber, sel::numberWithInteger,
                      kNumbers[random() % std::size(kNumbers)]);
    default:
      return host::NSStr(kWords[random() % std::size(kWords)]);
  }
}

// A registered default as the store holds it.
inline rt::Ref<> defaultObject(const prefs::Default& entry) {
  return std::visit(
      [](const auto& v) -> rt::Ref<> {
        using V = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<V, bool>)
          return rt::send(cls::NSNumber, sel::numberWithBool, v);
        else if constexpr (std::is_same_v<V, int64_t>)
          return rt::send(cls::NSNumber, sel::numberWithInteger, v);
        else
          return host::NSStr(v);
      },
      entry.value);
}

// A dictionary of a random setting for each registered key.
inline rt::Ref<> randomSettings(std::mt19937& random) {
  rt::Ref<> settings = rt::send(cls::NSMutableDictionary, sel::new_);
  for (const auto& entry : prefs::registeredDefaults())
    rt::send(settings, sel::setObject_forKey, randomSetting(random), host::NSStr(entry.key));
  return settings;
}

}  // namespace testing_support
