#include "prefs/lumora_prefs.h"

#include <mutex>

namespace prefs {

using rt::Class;
using rt::id;
using rt::Ref;
using rt::SEL;

namespace {

std::vector<Default> makeDefaults() {
  std::vector<Default> list;
  for (const Setting& s : schema()) list.push_back({s.key, s.defaultValue});
  return list;
}

Ref<> objectFor(const std::variant<bool, int64_t, std::string>& value) {
  if (auto* b = std::get_if<bool>(&value)) return rt::send(cls::NSNumber, sel::numberWithBool, *b);
  if (auto* i = std::get_if<int64_t>(&value))
    return rt::send(cls::NSNumber, sel::numberWithInteger, *i);
  return host::NSStr(std::get<std::string>(value));
}

// The process-wide objects, each made once on its first request.
struct Shared {
  std::mutex mutex;
  bool instanceMade = false;
  Ref<> instance;
  bool cacheMade = false;
  Ref<> cache;
};

Shared& shared() {
  static Shared s;
  return s;
}

// ---- Class methods

Ref<> sharedInstance(id self, SEL) {
  Shared& s = shared();
  std::lock_guard lock(s.mutex);
  if (!s.instanceMade) {
    Class cls = rt::object_getClassOfClassObject(self);
    s.instance =
        rt::send(rt::send(cls, sel::alloc), sel::initWithSuiteName, LUMORA_STR(kSuiteName));
    s.instanceMade = true;
  }
  return s.instance;
}

Ref<> colorCache(id, SEL) {
  Shared& s = shared();
  std::lock_guard lock(s.mutex);
  if (!s.cacheMade) {
    s.cache = rt::send(cls::NSMutableDictionary, sel::new_);
    s.cacheMade = true;
  }
  return s.cache;
}

// ---- Instance methods

// Base store first, then the migration, which must see persisted values only, then the
// defaults.
Ref<> initWithSuiteName(id self, SEL, id suiteName) {
  Ref<> store = rt::sendSuper(cls::LumoraPrefs.get(), self, sel::initWithSuiteName, suiteName);
  if (!store) return nullptr;
  rt::send(store, sel::mergeOldSettings);
  Ref<> defaults = rt::send(cls::NSMutableDictionary, sel::new_);
  for (const Default& d : registeredDefaults())
    rt::send(defaults, sel::setObject_forKey, objectFor(d.value), host::NSStr(d.key));
  rt::send(store, sel::registerDefaults, defaults);
  return store;
}

// A boolean stored under the key becomes "dominant" (YES) or "none" (NO).
void convertBoolToString(id self, SEL, id key) {
  Ref<> stored = rt::send(self, sel::objectForKey, key);
  if (!host::isBooleanNumber(stored.get())) return;
  const bool on = rt::send(self, sel::boolForKey, key);
  rt::send(self, sel::setValue_forKey, on ? LUMORA_STR("dominant") : LUMORA_STR("none"), key);
}

void mergeOldSettings(id self, SEL) {
  // Colour keys that the older layout could hold as booleans.
  for (id key : {LUMORA_STR("colorBackgroundBanner"), LUMORA_STR("colorHeaderBanner"),
                 LUMORA_STR("colorPrimaryLabelBanner"), LUMORA_STR("colorSecondaryLabelBanner"),
                 LUMORA_STR("colorHeaderLockscreen"), LUMORA_STR("colorBackgroundLockscreen"),
                 LUMORA_STR("colorPrimaryLabelLockscreen"),
                 LUMORA_STR("colorSecondaryLabelLockscreen"), LUMORA_STR("colorHeaderWidget"),
                 LUMORA_STR("colorBackgroundWidget"), LUMORA_STR("colorBackgroundMediaplayer")})
    rt::send(self, sel::convertBoolToString, key);

  // A hidden background became a fully transparent background colour.
  const std::pair<id, id> hidden[] = {
      {LUMORA_STR("hideBackgroundLockscreen"), LUMORA_STR("colorBackgroundLockscreen")},
      {LUMORA_STR("hideBackgroundWidget"), LUMORA_STR("colorBackgroundWidget")},
  };
  for (auto [legacy, colour] : hidden) {
    Ref<> stored = rt::send(self, sel::objectForKey, legacy);
    if (!host::isBooleanNumber(stored.get()) || !rt::send(self, sel::boolForKey, legacy)) continue;
    rt::send(self, sel::setValue_forKey, LUMORA_STR("#000000:0.00"), colour);
    rt::send(self, sel::removeObjectForKey, legacy);
  }

  // A bordered side became a position with a dominant border colour.
  struct Border {
    id legacy, position, colour;
  };
  const Border borders[] = {
      {LUMORA_STR("borderBanner"), LUMORA_STR("borderPositionBanner"),
       LUMORA_STR("borderColorBanner")},
      {LUMORA_STR("borderLockscreen"), LUMORA_STR("borderPositionLockscreen"),
       LUMORA_STR("borderColorLockscreen")},
      {LUMORA_STR("borderWidget"), LUMORA_STR("borderPositionWidget"),
       LUMORA_STR("borderColorWidget")},
      {LUMORA_STR("borderMediaplayer"), LUMORA_STR("borderPositionMediaplayer"),
       LUMORA_STR("borderColorMediaplayer")},
  };
  for (const Border& b : borders) {
    Ref<> stored = rt::send(self, sel::objectForKey, b.legacy);
    if (!stored || host::isString(stored.get(), "none")) continue;
    rt::send(self, sel::setValue_forKey, stored, b.position);
    rt::send(self, sel::setValue_forKey, LUMORA_STR("dominant"), b.colour);
    rt::send(self, sel::removeObjectForKey, b.legacy);
  }
}

}  // namespace

const std::vector<Default>& registeredDefaults() {
  static const std::vector<Default> list = makeDefaults();
  return list;
}

Class registerLumoraPrefs() {
  if (Class existing = cls::LumoraPrefs.get()) return existing;
  Class base = cls::NSUserDefaults.get();
  if (!base) return nullptr;
  Class cls = rt::objc_registerClass(cls::LumoraPrefs.name(), base);
  rt::bindFunction(cls, sel::initWithSuiteName, &initWithSuiteName);
  rt::bindFunction(cls, sel::mergeOldSettings, &mergeOldSettings);
  rt::bindFunction(cls, sel::convertBoolToString, &convertBoolToString);
  rt::bindClassFunction(cls, sel::sharedInstance, &sharedInstance);
  rt::bindClassFunction(cls, sel::colorCache, &colorCache);
  return cls;
}

void resetLumoraPrefs() {
  Shared& s = shared();
  std::lock_guard lock(s.mutex);
  s.instanceMade = s.cacheMade = false;
  s.instance.reset();
  s.cache.reset();
}

}  // namespace prefs
