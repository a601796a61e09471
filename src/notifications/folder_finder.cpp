#include "notifications/folder_finder.h"

#include <string>

#include "host/foundation/value_helpers.h"
#include "notifications/system_selectors.h"

namespace lumora {

using rt::id;
using rt::Ref;
using rt::SEL;

namespace {

constexpr const char* kAppGroupRoot = "/var/mobile/Containers/Shared/AppGroup/";
constexpr const char* kMetadataName = ".com.apple.mobile_container_manager.metadata.plist";

// The names in a folder, in listing order (empty when it cannot be listed).
Ref<> listing(id path) {
  Ref<> files = rt::send(cls::NSFileManager, sel::defaultManager);
  return rt::send(files, sel::contentsOfDirectoryAtPath_error, path, nullptr);
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
    Ref<> names = listing(container.get());
    for (uint64_t j = 0; j < rt::send(names, sel::count); ++j) {
      Ref<> name = rt::send(names, sel::objectAtIndex, j);
      if (!rt::send(name, sel::containsString, host::NSStr(kMetadataName))) continue;
      Ref<> metadata = rt::send(
          rt::send(cls::NSDictionary, sel::alloc), sel::initWithContentsOfFile,
          host::NSStr(host::formatObject(container.get()) + "/" + host::formatObject(name.get())));
      Ref<> value = rt::send(metadata, sel::objectForKey, LUMORA_STR("MCMMetadataIdentifier"));
      if (value && rt::send(rt::send(value, sel::lowercaseString), sel::isEqualToString, wanted))
        return container;
    }
  }
  return nullptr;
}

Ref<> findSharedFolder(id self, SEL, id identifier) {
  return rt::send(self, sel::findFolder_folder, identifier, host::NSStr(kAppGroupRoot));
}

}  // namespace

void registerFolderFinder() {
  rt::Class finder = rt::objc_registerClass(cls::FolderFinder.name(), cls::NSObject.get());
  rt::bindClassFunction(finder, sel::findSharedFolder, &findSharedFolder);
  rt::bindClassFunction(finder, sel::findFolder_folder, &findFolder);
}

}  // namespace lumora
