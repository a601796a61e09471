#include "host/springboard/app_groups.h"

#include "host/foundation/file_io.h"
#include "host/foundation/property_list.h"
#include "host/foundation/values.h"
#include "host/host.h"

namespace host {

std::string createAppGroup(const std::string& identifier, const std::string& container,
                           const std::map<std::string, std::vector<uint8_t>>& files) {
  const std::filesystem::path folder = devicePath(kAppGroupFolder) / container;
  Ref<NSDictionary> metadata = NSDictionary::make(true);
  metadata->setObject(NSStr(identifier).get(), NSStr("MCMMetadataIdentifier").get());
  plist::Node node = plist::fromObject(metadata.get());
  const std::string bytes = plist::serialize(node.get(), plist::Format::Binary);
  // A scene's containers are made afresh on every start: no need to wait for the disk
  // (a sync for each file made hundreds of them take seconds).
  if (std::string error = replaceFile(folder / ".com.apple.mobile_container_manager.metadata.plist",
                                      bytes, {std::nullopt, false});
      !error.empty())
    return error;
  // The files may be copies of someone's private files: readable by their owner only.
  for (const auto& [path, content] : files) {
    const std::string_view data(reinterpret_cast<const char*>(content.data()), content.size());
    if (std::string error = replaceFile(folder / path, data, {0600, false}); !error.empty())
      return error;
  }
  return {};
}

}  // namespace host
