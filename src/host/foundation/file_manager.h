// NSFileManager over the device root: every path the system passes is a device path and
// resolves under the root, never the real "/".
#pragma once

#include "host/foundation/values.h"

namespace sel {
inline const Sel<Ref<>()> defaultManager{"defaultManager"};
inline const Sel<bool(id)> fileExistsAtPath{"fileExistsAtPath:"};
inline const Sel<Ref<>(id, Ref<>*)> contentsOfDirectoryAtPath_error{
    "contentsOfDirectoryAtPath:error:"};
}  // namespace sel

namespace host {

class NSFileManager : public NSObject {
 public:
  bool fileExistsAtPath(id path) const;
  // The names in the folder, sorted; nil (and an error string in *error) when the
  // folder cannot be read.
  Ref<> contentsOfDirectoryAtPath(id path, Ref<>* error) const;
};

void registerFileManager();
void resetFileManager();

}  // namespace host
