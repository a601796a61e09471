#include "startup/loader.h"

#include "host/extension_standin/colorflow_selectors.h"
#include "host/foundation/darwin_notify.h"
#include "host/foundation/main_queue.h"
#include "host/host.h"
#include "media/media_globals.h"
#include "notifications/test_requests.h"
#include "prefs/lumora_prefs.h"
#include "startup/added_classes.h"

namespace lumora {

namespace {

std::vector<HookOutcome> report;

rt::Class prefsClass() {
  return cls::LumoraPrefs.get();
}

bool readBool(const char* key) {
  return rt::send(preferences, sel::boolForKey, host::NSStr(key));
}

void installRows(Routine routine, bool gateOpen) {
  for (const HookRow& row : hookTable()) {
    if (row.routine != routine) continue;
    if (!gateOpen) {
      report.push_back({&row, false, "gate closed"});
      continue;
    }
    rt::Class cls = row.hostClass->get();
    if (!cls) {
      report.push_back({&row, false, "class absent"});
      continue;
    }
    row.install(cls);  // results are ignored, as the loader ignores them
    report.push_back({&row, true, nullptr});
  }
}

}  // namespace

void widgetRoutine() {
  preferences = rt::send(prefsClass(), sel::sharedInstance);
  const bool open = readBool("enabled") && readBool("enableWidgets");
  if (open) colorCache = rt::send(prefsClass(), sel::colorCache);
  installRows(Routine::Widget, open);
}

void notificationRoutine() {
  preferences = rt::send(prefsClass(), sel::sharedInstance);
  const bool open = readBool("enabled");
  if (open) {
    host::CFNotificationCenterRef darwin = host::CFNotificationCenterGetDarwinNotifyCenter();
    host::CFNotificationCenterAddObserver(darwin, nullptr, &handleTestRegular,
                                          host::NSStr(kTestRegularName).get(), nullptr,
                                          host::CFNotificationSuspensionBehaviorCoalesce);
    host::CFNotificationCenterAddObserver(darwin, nullptr, &handleTestLockscreen,
                                          host::NSStr(kTestLockscreenName).get(), nullptr,
                                          host::CFNotificationSuspensionBehaviorCoalesce);
    colorCache = rt::send(prefsClass(), sel::colorCache);
  }
  installRows(Routine::Notification, open);
  if (open && showCustomMessages)
    host::dispatch_after(host::dispatch_time(host::DISPATCH_TIME_NOW, 4 * host::NSEC_PER_SEC),
                         host::dispatch_get_main_queue(), [] { showDemoNotifications(); });
}

void mediaRoutine() {
  preferences = rt::send(prefsClass(), sel::sharedInstance);
  const bool open = readBool("enabled");
  if (open) {
    rt::Ref<> files = rt::send(cls::NSFileManager, sel::defaultManager);
    colorFlowInstalled =
        rt::send(files, sel::fileExistsAtPath, host::NSStr(host::colorflow::kLibraryPath));
  }
  installRows(Routine::Media, open);
}

void loadSystem() {
  prefs::registerLumoraPrefs();
  registerSystemClasses();
  widgetRoutine();
  notificationRoutine();
  mediaRoutine();
}

const std::vector<HookOutcome>& installationReport() {
  return report;
}

void resetProcess() {
  preferences.reset();
  colorCache.reset();
  colorFlowInstalled = false;
  showCustomMessages = false;
  resetMediaGlobals();
  report.clear();
  for (const HookRow& row : hookTable()) row.clearSlot();
  resetTestNotifications();
  prefs::resetLumoraPrefs();
  host::reset();
}

}  // namespace lumora
