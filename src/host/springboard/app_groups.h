// App-group containers, as real folders under the device root:
// /var/mobile/Containers/Shared/AppGroup/<container>/ holding the container manager's
// metadata file (".com.apple.mobile_container_manager.metadata.plist", binary, as on the
// device, whose "MCMMetadataIdentifier" names the group) and the group's files.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace host {

inline constexpr const char* kAppGroupFolder = "/var/mobile/Containers/Shared/AppGroup/";

// Creates the container with its metadata and files (relative paths to bytes; the files
// readable by their owner only, whatever they replace). Answers
// why it failed, naming the file; empty on success.
std::string createAppGroup(const std::string& identifier, const std::string& container,
                           const std::map<std::string, std::vector<uint8_t>>& files);

}  // namespace host
