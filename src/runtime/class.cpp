#include "runtime/class.h"

#include <algorithm>
#include <mutex>

namespace rt {
namespace {

struct ClassTable {
  // Records are interned by name and never freed, so that an object made before a
  // reset (a constant string, say) still points at a valid record afterwards.
  std::unordered_map<std::string, std::unique_ptr<ClassRecord>> records;
  std::vector<Class> registered;  // registration order, metaclasses included
};

ClassRecord& recordFor(ClassTable& t, std::string_view name) {
  auto& record = t.records[std::string(name)];
  if (!record) {
    record = std::make_unique<ClassRecord>();
    record->name = std::string(name);
    record->meta = new ClassRecord;  // owned by its class record, which is never freed
    record->meta->name = record->name;
    record->meta->instanceClass = record.get();
    record->object = std::make_shared<Object>();
    setIsa(*record->object, record->meta);
  }
  return *record;
}

ClassTable& table() {
  static ClassTable* instance = new ClassTable;  // never destroyed: outlives every user
  return *instance;
}

// A new method can shadow one that subclasses have cached; clear every cache.
void flushCaches() {
  for (Class cls : table().registered) cls->cache.clear();
}

}  // namespace

Class objc_registerClass(std::string_view name, Class superclass, Factory factory) {
  ClassTable& t = table();
  ClassRecord& record = recordFor(t, name);
  if (record.registered) return nullptr;
  record.registered = record.meta->registered = true;
  record.superclass = superclass;
  record.meta->superclass = superclass ? superclass->meta : nullptr;
  record.factory = std::move(factory);
  t.registered.push_back(&record);
  t.registered.push_back(record.meta);
  return &record;
}

Class objc_classRecord(std::string_view name) {
  return &recordFor(table(), name);
}

Class objc_getClass(std::string_view name) {
  ClassTable& t = table();
  auto it = t.records.find(std::string(name));
  return it != t.records.end() && it->second->registered ? it->second.get() : nullptr;
}

std::vector<Class> objc_copyClassList() {
  std::vector<Class> list;
  for (Class cls : table().registered)
    if (cls->object) list.push_back(cls);
  return list;
}

void objc_disposeAllClasses() {
  ClassTable& t = table();
  for (Class cls : t.registered) {
    cls->registered = false;
    cls->superclass = nullptr;
    cls->factory = nullptr;
    cls->methods.clear();
    cls->keys.clear();
    cls->cache.clear();
  }
  t.registered.clear();
}

bool class_isSubclassOf(Class cls, Class other) {
  for (; cls; cls = cls->superclass)
    if (cls == other) return true;
  return false;
}

const Method* class_getOwnMethod(Class cls, SEL sel) {
  if (!cls) return nullptr;
  auto it = cls->methods.find(sel);
  return it == cls->methods.end() ? nullptr : it->second.get();
}

const Method* class_getInstanceMethod(Class cls, SEL sel) {
  for (; cls; cls = cls->superclass)
    if (const Method* m = class_getOwnMethod(cls, sel)) return m;
  return nullptr;
}

bool class_addMethodRaw(Class cls, SEL sel, IMP imp, const void* signature, std::string types) {
  if (!cls || cls->methods.count(sel)) return false;
  const bool shadows = class_getInstanceMethod(cls->superclass, sel) != nullptr;
  cls->methods.emplace(sel,
                       std::make_unique<Method>(Method{sel, imp, signature, std::move(types)}));
  if (shadows) flushCaches();
  return true;
}

Ref<> class_createInstance(Class cls) {
  for (Class c = cls; c; c = c->superclass) {
    if (c->factory) {
      Ref<> object = c->factory();
      if (object) setIsa(*object, cls);
      return object;
    }
  }
  return nullptr;
}

void class_addKey(Class cls, std::string name, KeyGetter getter) {
  if (cls) cls->keys[std::move(name)] = std::move(getter);
}

Ref<> object_valueForKey(id self, std::string_view key) {
  if (!self) return nullptr;
  for (Class cls = self->isa(); cls; cls = cls->superclass) {
    auto it = cls->keys.find(key);
    if (it != cls->keys.end()) return it->second(self);
  }
  return nullptr;
}

std::vector<std::string> object_keysHolding(id self, id value) {
  std::vector<std::string> names, seen;
  if (!self || !value) return names;
  for (Class cls = self->isa(); cls; cls = cls->superclass)
    for (const auto& [name, getter] : cls->keys) {
      if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
      seen.push_back(name);
      if (getter(self).get() == value) names.push_back(name);
    }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace rt
