// The apps and contacts of the device, and the home screen's services over them:
// SBIconController (icons), SBApplicationController (display names) and CNContactStore
// (contact pictures). The scene, the tool or a test installs apps and contacts before
// the system asks.
//
// Icons are 60 x 60 points at the screen's scale, made from the app's icon picture
// scaled to fill: `unmaskedIconImageWithInfo:` answers the square,
// `generateIconImageWithInfo:` the square masked to the host's continuous rounded square
// (radius 13 points at 60). Asked again with the same info, an icon answers the very
// same image object, as the host's icon cache does.
#pragma once

#include <algorithm>

#include <map>
#include <string>
#include <vector>

#include "host/foundation/values.h"
#include "host/springboard/springboard_selectors.h"

namespace host {

struct AppRecord {
  std::string bundleIdentifier, name;
  std::string type = "User";  // "User", "System" or any other text
  std::vector<std::string> tags;
  bool launchProhibited = false, placeholder = false, removedSystemApp = false;
  Ref<> icon;  // the icon picture (a UIImage, any size), or nil for an app without one

  // Whether the home screen shows its icon: not for apps tagged hidden, placeholders
  // and removed system apps, as on the device.
  bool onHomeScreen() const {
    return !placeholder && !removedSystemApp &&
           std::find(tags.begin(), tags.end(), "hidden") == tags.end();
  }
};

// Installs an app (replacing one of the same bundle identifier); apps keep their order.
void installApp(AppRecord app);
const std::vector<AppRecord>& installedApps();
const AppRecord* findApp(std::string_view bundleIdentifier);

// A contact and the data of its picture (empty for none).
void addContact(std::string identifier, std::vector<uint8_t> pictureData);

class SBIconController : public NSObject {
 public:
  static inline const rt::ClassOf<SBIconController> cls{"SBIconController"};
  static void bind(ClassBuilder<SBIconController>& b);
  Ref<> model();

 private:
  Ref<> model_;
};

class SBIconModel : public NSObject {
 public:
  static inline const rt::ClassOf<SBIconModel> cls{"SBIconModel"};
  static void bind(ClassBuilder<SBIconModel>& b);
  // The icon of the installed app, or nil; one icon object per app.
  Ref<> expectedIconForDisplayIdentifier(id bundleIdentifier);

 private:
  std::map<std::string, Ref<>> icons_;
};

class SBApplicationIcon : public NSObject {
 public:
  static inline const rt::ClassOf<SBApplicationIcon> cls{"SBApplicationIcon"};
  static void bind(ClassBuilder<SBApplicationIcon>& b);
  explicit SBApplicationIcon(std::string bundleIdentifier)
      : bundleIdentifier_(std::move(bundleIdentifier)) {}
  Ref<> generateIconImageWithInfo(SBIconImageInfo info) { return image(info, true); }
  Ref<> unmaskedIconImageWithInfo(SBIconImageInfo info) { return image(info, false); }

 private:
  Ref<> image(SBIconImageInfo info, bool masked);
  std::string bundleIdentifier_;
  std::vector<std::pair<std::pair<SBIconImageInfo, bool>, Ref<>>> cache_;
};

class SBApplicationController : public NSObject {
 public:
  static inline const rt::ClassOf<SBApplicationController> cls{"SBApplicationController"};
  static void bind(ClassBuilder<SBApplicationController>& b);
  Ref<> applicationWithBundleIdentifier(id bundleIdentifier) const;
};

class SBApplication : public NSObject {
 public:
  static inline const rt::ClassOf<SBApplication> cls{"SBApplication"};
  static void bind(ClassBuilder<SBApplication>& b);
  SBApplication(Ref<> identifier, Ref<> name)
      : identifier_(std::move(identifier)), name_(std::move(name)) {}
  Ref<> bundleIdentifier() const { return identifier_; }
  Ref<> displayName() const { return name_; }

 private:
  Ref<> identifier_, name_;
};

class CNContactStore : public NSObject {
 public:
  static inline const rt::ClassOf<CNContactStore> cls{"CNContactStore"};
  static void bind(ClassBuilder<CNContactStore>& b);
  // The contact, or nil (and the reason in *error when asked) when there is none.
  Ref<> unifiedContactWithIdentifier(id identifier, id keys, Ref<>* error) const;
};

class CNContact : public NSObject {
 public:
  static inline const rt::ClassOf<CNContact> cls{"CNContact"};
  static void bind(ClassBuilder<CNContact>& b);
  CNContact(Ref<> identifier, Ref<> imageData)
      : identifier_(std::move(identifier)), imageData_(std::move(imageData)) {}
  Ref<> identifier() const { return identifier_; }
  Ref<> imageData() const { return imageData_; }

 private:
  Ref<> identifier_, imageData_;
};

void defineAppRegistry(ClassList& list);
void resetAppRegistry();

}  // namespace host
