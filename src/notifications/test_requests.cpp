#include "notifications/test_requests.h"

#include <map>
#include <string>
#include <vector>

#include "host/foundation/main_queue.h"
#include "host/foundation/random.h"
#include "host/foundation/value_helpers.h"
#include "notifications/system_selectors.h"

namespace lumora {

bool isTesting = false;

namespace {

using rt::Ref;

constexpr const char* kTitle = "Lumora Notification";
constexpr int64_t kSecond = host::NSEC_PER_SEC;

void after(int64_t nanoseconds, host::dispatch_block_t block) {
  host::dispatch_after(host::dispatch_time(host::DISPATCH_TIME_NOW, nanoseconds),
                       host::dispatch_get_main_queue(), std::move(block));
}

void postBulletin(const std::string& title, const std::string& message, rt::id bundleID) {
  Ref<> manager = rt::send(cls::JBBulletinManager.get(), sel::sharedInstance);
  rt::send(manager, sel::showBulletinWithTitle_message_bundleID, host::NSStr(title),
           host::NSStr(message), bundleID);
}

bool contains(rt::id array, const char* text) {
  return rt::send(array, sel::containsObject, host::NSStr(text));
}

// Bundle identifier -> display name of every app a test may post for: user apps, and
// system apps that are shown, launchable, installed and not removed.
std::map<std::string, Ref<>> eligibleApps() {
  std::map<std::string, Ref<>> apps;
  Ref<> workspace = rt::send(cls::LSApplicationWorkspace.get(), sel::defaultWorkspace);
  Ref<> records = rt::send(workspace, sel::allInstalledApplications);
  const uint64_t count = rt::send(records, sel::count);
  for (uint64_t i = 0; i < count; ++i) {
    Ref<> app = rt::send(records, sel::objectAtIndex, i);
    Ref<> type = rt::send(app, sel::applicationType);
    const bool eligible =
        host::isString(type.get(), "User") ||
        (host::isString(type.get(), "System") &&
         !contains(rt::send(app, sel::appTags).get(), "hidden") &&
         !rt::send(app, sel::isLaunchProhibited) && !rt::send(app, sel::isPlaceholder) &&
         !rt::send(app, sel::isRemovedSystemApp));
    if (!eligible) continue;
    Ref<> identifier = rt::send(app, sel::applicationIdentifier);
    const std::string* text = host::stringText(identifier.get());
    if (!text) continue;  // nothing to post in the name of
    apps[*text] = rt::send(app, sel::localizedNameForContext, nullptr);
  }
  return apps;
}

}  // namespace

void handleTestRegular(host::CFNotificationCenterRef, void*, host::CFStringRef, const void*,
                       host::CFDictionaryRef) {
  if (isTesting) return;
  isTesting = true;
  showTestNotifications(1);
}

void handleTestLockscreen(host::CFNotificationCenterRef, void*, host::CFStringRef, const void*,
                          host::CFDictionaryRef) {
  if (isTesting) return;
  isTesting = true;
  Ref<> manager = rt::send(cls::SBLockScreenManager.get(), sel::sharedInstance);
  rt::send(manager, sel::lockUIFromSource_withOptions, 1, nullptr);
  after(kSecond, [] { showTestNotifications(5); });
}

void showTestNotifications(int32_t count) {
  const std::map<std::string, Ref<>> apps = eligibleApps();
  std::vector<const std::pair<const std::string, Ref<>>*> keys;
  for (const auto& entry : apps) keys.push_back(&entry);
  // With no eligible app there is nothing to post in the name of; the test still ends.
  for (int32_t i = 0; i < count && !keys.empty(); ++i) {
    const auto& [identifier, name] = *keys[host::arc4random() % keys.size()];
    Ref<> bundleID = host::NSStr(identifier);
    if (i == 4)
      postBulletin(kTitle, "This is a second notification for " + host::formatObject(name.get()),
                   bundleID.get());
    postBulletin(kTitle, "This is a test notification for " + host::formatObject(name.get()),
                 bundleID.get());
  }
  after(kSecond, [] { finishTesting(); });
}

void finishTesting() {
  isTesting = false;
}

void showDemoNotifications() {
  struct Demo {
    const char *title, *message, *bundleIdentifier;
  };
  static constexpr Demo kDemo[] = {
      {"Home", "Someone is at your front door", "com.apple.Home"},
      {"", "frostquill, lanternfox and 2 others liked your photo", "com.burbn.instagram"},
      {"Twitter", "#Lumora is now trending on Twitter", "com.atebits.Tweetie2"},
      {"Pell Oraman", "Looks like there's no need for iOS 15", "com.apple.MobileSMS"},
  };
  for (const Demo& d : kDemo)
    postBulletin(d.title, d.message, host::NSStr(d.bundleIdentifier).get());
}

void resetTestNotifications() {
  isTesting = false;
}

}  // namespace lumora
