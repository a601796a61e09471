#include "host/springboard/services.h"

#include "host/springboard/bulletins.h"
#include "host/springboard/presentation.h"

namespace host {
namespace {

struct Shared {
  Ref<> workspace, lockScreenManager;
};
Shared& shared() {
  static Shared s;
  return s;
}

template <class T>
Ref<> sharedOf(Ref<> Shared::*slot) {
  Ref<>& instance = shared().*slot;
  if (!instance) instance = rt::send(T::cls.get(), sel::new_);
  return instance;
}

}  // namespace

Ref<> LSApplicationWorkspace::allInstalledApplications() const {
  std::vector<Ref<>> records;
  for (const AppRecord& app : installedApps())
    if (Ref<> record = LSApplicationProxy::cls.make(app)) records.push_back(std::move(record));
  return NSArray::make(std::move(records));
}

Ref<> LSApplicationProxy::appTags() const {
  std::vector<Ref<>> tags;
  for (const std::string& tag : app_.tags) tags.push_back(NSStr(tag));
  return NSArray::make(std::move(tags));
}

Ref<> LSApplicationProxy::localizedNameForContext(id) const {
  return app_.name.empty() ? nullptr : NSStr(app_.name);
}

void SBLockScreenManager::lockUIFromSource(int32_t, id) {
  lockDevice();
}

void LSApplicationWorkspace::bind(ClassBuilder<LSApplicationWorkspace>& b) {
  b.classFunction(
       sel::defaultWorkspace,
       +[](id, rt::SEL) { return sharedOf<LSApplicationWorkspace>(&Shared::workspace); })
      .method<&LSApplicationWorkspace::allInstalledApplications>(sel::allInstalledApplications);
}

void LSApplicationProxy::bind(ClassBuilder<LSApplicationProxy>& b) {
  b.method<&LSApplicationProxy::applicationType>(sel::applicationType)
      .method<&LSApplicationProxy::appTags>(sel::appTags)
      .method<&LSApplicationProxy::isLaunchProhibited>(sel::isLaunchProhibited)
      .method<&LSApplicationProxy::isPlaceholder>(sel::isPlaceholder)
      .method<&LSApplicationProxy::isRemovedSystemApp>(sel::isRemovedSystemApp)
      .method<&LSApplicationProxy::applicationIdentifier>(sel::applicationIdentifier)
      .method<&LSApplicationProxy::localizedNameForContext>(sel::localizedNameForContext);
}

void SBLockScreenManager::bind(ClassBuilder<SBLockScreenManager>& b) {
  b.classFunction(
       sel::sharedInstance,
       +[](id, rt::SEL) { return sharedOf<SBLockScreenManager>(&Shared::lockScreenManager); })
      .method<&SBLockScreenManager::lockUIFromSource>(sel::lockUIFromSource_withOptions);
}

void defineServices(ClassList& list) {
  list.define<LSApplicationWorkspace>(NSObject::cls);
  // Records come from the workspace only.
  list.define<LSApplicationProxy>(NSObject::cls, []() -> Ref<> { return nullptr; });
  list.define<SBLockScreenManager>(NSObject::cls);
}

void resetServices() {
  shared() = {};
}

}  // namespace host
