#include "notifications/icons.h"

#include <string>

#include "colour/icon_colour.h"
#include "host/foundation/value_helpers.h"
#include "notifications/system_selectors.h"
#include "prefs/globals.h"

namespace lumora {
namespace {

constexpr const char* kAppGroupRoot = "/var/mobile/Containers/Shared/AppGroup/";
constexpr const char* kMetadataName = ".com.apple.mobile_container_manager.metadata.plist";
constexpr const char* kMessagesSection = "com.apple.MobileSMS";
constexpr const char* kWhatsAppSection = "net.whatsapp.WhatsApp";
constexpr const char* kWhatsAppGroup = "group.net.whatsapp.WhatsApp.shared";

bool isKindOf(id object, rt::Class cls) {
  return rt::send(object, sel::isKindOfClass, cls);
}

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

Ref<> findFolder(id, SEL, id identifier, id folder) {
  Ref<> files = rt::send(cls::NSFileManager, sel::defaultManager);
  Ref<> error;
  Ref<> entries = rt::send(files, sel::contentsOfDirectoryAtPath_error, folder, &error);
  if (error) return nullptr;
  Ref<> wanted = rt::send(identifier, sel::lowercaseString);
  for (uint64_t i = 0; i < rt::send(entries, sel::count); ++i) {
    Ref<> container =
        rt::send(folder, sel::stringByAppendingString, rt::send(entries, sel::objectAtIndex, i));
    Ref<> names = listing(text(container.get()));
    for (uint64_t j = 0; j < rt::send(names, sel::count); ++j) {
      Ref<> name = rt::send(names, sel::objectAtIndex, j);
      if (!rt::send(name, sel::containsString, str(kMetadataName))) continue;
      Ref<> metadata =
          rt::send(rt::send(cls::NSDictionary, sel::alloc), sel::initWithContentsOfFile,
                   str(text(container.get()) + "/" + text(name.get())));
      Ref<> value = rt::send(metadata, sel::objectForKey, str("MCMMetadataIdentifier"));
      if (value && rt::send(rt::send(value, sel::lowercaseString), sel::isEqualToString, wanted))
        return container;
    }
  }
  return nullptr;
}

Ref<> findSharedFolder(id self, SEL, id identifier) {
  return rt::send(self, sel::findFolder_folder, identifier, str(kAppGroupRoot));
}

}  // namespace

void lumoraHideHeader(id self, SEL, bool hide) {
  Ref<> header =
      rt::send(rt::send(self, sel::viewForPreview), sel::valueForKey, str("_headerContentView"));
  Ref<> subviews = rt::send(header, sel::subviews);
  for (uint64_t i = 0; i < rt::send(subviews, sel::count); ++i) {
    Ref<> view = rt::send(subviews, sel::objectAtIndex, i);
    if (isKindOf(view.get(), cls::UIButton.get())) rt::send(view, sel::setHidden, hide);
  }
  rt::send(rt::send(header, sel::valueForKey, str("_titleLabel")), sel::setHidden, hide);
}

void lumoraHideGroupedNotifications(id self, SEL, bool hide) {
  Ref<> cell = rt::send(self, sel::associatedView);
  if (!cell) return;
  Ref<> list = rt::send(cell, sel::superview);
  Ref<> first = rt::send(list, sel::_visibleViewAtIndex, uint64_t{0});
  const bool hideOthers = rt::send(list, sel::isGrouped) && hide;
  Ref<> subviews = rt::send(list, sel::subviews);
  for (uint64_t i = 0; i < rt::send(subviews, sel::count); ++i) {
    Ref<> view = rt::send(subviews, sel::objectAtIndex, i);
    if (!isKindOf(view.get(), cls::NCNotificationListCell.get())) continue;
    rt::send(view, sel::setHidden, view == first ? false : hideOthers);
  }
}

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

void registerFolderFinder() {
  rt::Class finder = rt::objc_registerClass("FolderFinder", cls::NSObject.get());
  rt::bindClassFunction(finder, sel::findSharedFolder, &findSharedFolder);
  rt::bindClassFunction(finder, sel::findFolder_folder, &findFolder);
}

}  // namespace lumora
