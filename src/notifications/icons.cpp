#include "notifications/icons.h"

#include <string>

#include "colour/icon_colour.h"
#include "host/foundation/value_helpers.h"
#include "notifications/system_selectors.h"
#include "prefs/globals.h"

namespace lumora {
namespace {

constexpr const char* kMessagesSection = "com.apple.MobileSMS";
constexpr const char* kWhatsAppSection = "net.whatsapp.WhatsApp";
constexpr const char* kWhatsAppGroup = "group.net.whatsapp.WhatsApp.shared";

Ref<> str(std::string text) {
  return host::NSStr(std::move(text));
}

std::string text(id object) {
  return host::formatObject(object);
}

// The names in a folder, in listing order (empty when it cannot be listed).
Ref<> listing(const std::string& path) {
  Ref<> files = rt::send(cls::NSFileManager, sel::defaultManager);
  return rt::send(files, sel::contentsOfDirectoryAtPath_error, str(path), nullptr);
}

double screenScale() {
  return rt::send(rt::send(cls::UIScreen, sel::mainScreen), sel::scale);
}

Ref<> messagesPicture(id request) {
  Ref<> userInfo = rt::send(
      rt::send(rt::send(rt::send(request, sel::userNotification), sel::request), sel::content),
      sel::userInfo);
  if (!userInfo) return nullptr;
  Ref<> person = rt::send(userInfo, sel::objectForKey, str("CKBBContextKeySenderPersonCentricID"));
  if (!person) return nullptr;
  Ref<> store = rt::send(cls::CNContactStore, sel::new_);
  Ref<> keys = rt::send(cls::NSMutableArray, sel::new_);
  rt::send(keys, sel::addObject, str(CNContactIdentifierKey));
  rt::send(keys, sel::addObject, str(CNContactImageDataKey));
  Ref<> contact = rt::send(store, sel::unifiedContactWithIdentifier_keysToFetch_error, person, keys,
                           static_cast<Ref<>*>(nullptr));
  Ref<> data = rt::send(contact, sel::imageData);
  if (!data) return nullptr;
  return rt::send(cls::UIImage, sel::imageWithData_scale, data, screenScale());
}

// Does the profile file name match the thread's person J?
bool profileMatches(id name, id person) {
  Ref<> parts = rt::send(name, sel::componentsSeparatedByString, str("-"));
  const uint64_t count = rt::send(parts, sel::count);
  if (count == 2) return rt::send(person, sel::isEqualToString, rt::send(parts, sel::firstObject));
  if (count == 3)
    return rt::send(person, sel::isEqualToString,
                    str(text(rt::send(parts, sel::objectAtIndex, uint64_t{0}).get()) + "-" +
                        text(rt::send(parts, sel::objectAtIndex, uint64_t{1}).get())));
  return false;
}

Ref<> whatsAppPicture(id request) {
  Ref<> thread = rt::send(request, sel::threadIdentifier);
  if (!thread) return nullptr;
  Ref<> person =
      rt::send(rt::send(thread, sel::componentsSeparatedByString, str("@")), sel::firstObject);
  Ref<> group = rt::send(cls::FolderFinder, sel::findSharedFolder, str(kWhatsAppGroup));
  const std::string profiles = text(group.get()) + "/Media/Profile";
  Ref<> names = listing(profiles);
  for (uint64_t i = rt::send(names, sel::count); i-- > 0;) {
    Ref<> name = rt::send(names, sel::objectAtIndex, i);
    if (profileMatches(name.get(), person.get()))
      return rt::send(cls::UIImage, sel::imageWithContentsOfFile,
                      str(profiles + "/" + text(name.get())));
  }
  return nullptr;
}

}  // namespace

Ref<> getIconForBundleId(id self, SEL, id bundleIdentifier, bool mask) {
  if (bundleIdentifier) {
    Ref<> model = rt::send(rt::send(cls::SBIconController.get(), sel::sharedInstance), sel::model);
    Ref<> icon = rt::send(model, sel::expectedIconForDisplayIdentifier, bundleIdentifier);
    const SBIconImageInfo info{{60, 60}, screenScale(), 13};
    Ref<> image = mask ? rt::send(icon, sel::generateIconImageWithInfo, info)
                       : rt::send(icon, sel::unmaskedIconImageWithInfo, info);
    if (image) return image;
  }
  return rt::send(rt::send(rt::send(self, sel::viewForPreview), sel::icons), sel::firstObject);
}

Ref<> getDominantColor(id self, SEL) {
  Ref<> section;
  if (Ref<> cell = rt::send(self, sel::associatedView)) {
    // A stack takes the colour of its first visible notification.
    Ref<> first = rt::send(rt::send(cell, sel::superview), sel::_visibleViewAtIndex, uint64_t{0});
    Ref<> view = rt::send(rt::send(first, sel::_notificationCellView), sel::contentView);
    section = rt::send(
        rt::send(rt::send(view, sel::_viewControllerForAncestor), sel::notificationRequest),
        sel::sectionIdentifier);
  } else {
    section = rt::send(rt::send(self, sel::notificationRequest), sel::sectionIdentifier);
  }
  if (host::isString(section.get(), kDoNotDisturbSection) ||
      host::isString(section.get(), kSmartChargingSection))
    return nullptr;
  Ref<> icon = rt::send(self, sel::getIconForBundleId_withMask, section, false);
  return lumoraCachedDominantColor(icon.get(), colorCache.get());
}

Ref<> getContactPicture(id self, SEL) {
  Ref<> request = rt::send(self, sel::notificationRequest);
  Ref<> section = rt::send(request, sel::sectionIdentifier);
  if (host::isString(section.get(), kMessagesSection)) return messagesPicture(request.get());
  if (host::isString(section.get(), kWhatsAppSection)) return whatsAppPicture(request.get());
  return nullptr;
}

}  // namespace lumora
