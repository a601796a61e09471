// The home screen's services over installed apps and the lock: LSApplicationWorkspace,
// whose `allInstalledApplications` answers one LSApplicationProxy per installed app of
// the registry (app_registry.h), in installation order, and SBLockScreenManager, whose
// `lockUIFromSource:withOptions:` locks the device (presentation.h, `lockDevice`).
#pragma once

#include "host/foundation/values.h"
#include "host/springboard/app_registry.h"

namespace host {

class LSApplicationWorkspace : public NSObject {
 public:
  static inline const rt::ClassOf<LSApplicationWorkspace> cls{"LSApplicationWorkspace"};
  static void bind(ClassBuilder<LSApplicationWorkspace>& b);
  // An array of records, made afresh from the registry on each call.
  Ref<> allInstalledApplications() const;
};

// One installed application, as the workspace describes it.
class LSApplicationProxy : public NSObject {
 public:
  static inline const rt::ClassOf<LSApplicationProxy> cls{"LSApplicationProxy"};
  static void bind(ClassBuilder<LSApplicationProxy>& b);
  explicit LSApplicationProxy(AppRecord app) : app_(std::move(app)) {}
  // "User" or "System".
  Ref<> applicationType() const { return NSStr(app_.type); }
  // An array of tag strings (empty for none).
  Ref<> appTags() const;
  bool isLaunchProhibited() const { return app_.launchProhibited; }
  bool isPlaceholder() const { return app_.placeholder; }
  bool isRemovedSystemApp() const { return app_.removedSystemApp; }
  Ref<> applicationIdentifier() const { return NSStr(app_.bundleIdentifier); }
  // The display name whatever the context; nil for an app without one.
  Ref<> localizedNameForContext(id context) const;

 private:
  AppRecord app_;
};

class SBLockScreenManager : public NSObject {
 public:
  static inline const rt::ClassOf<SBLockScreenManager> cls{"SBLockScreenManager"};
  static void bind(ClassBuilder<SBLockScreenManager>& b);
  // Locks the device whatever the source and options: banners go, the lockscreen shows,
  // and bulletins waiting for their banner go to the lockscreen list.
  void lockUIFromSource(int32_t source, id options);
};

void defineServices(ClassList& list);
void resetServices();

}  // namespace host
