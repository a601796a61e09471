// NSFileManager over the device root: every path the system passes is a device path and
// resolves under the root, never the real "/".
#pragma once

#include "host/foundation/values.h"

namespace host {

class NSFileManager : public NSObject {
 public:
  static inline const rt::ClassOf<NSFileManager> cls{"NSFileManager"};
  static void bind(ClassBuilder<NSFileManager>& b);
  bool fileExistsAtPath(id path) const;
  // The names in the folder, sorted; nil (and an error string in *error) when the
  // folder cannot be read.
  Ref<> contentsOfDirectoryAtPath(id path, Ref<>* error) const;
};

void defineFileManager(ClassList& list);
void resetFileManager();

}  // namespace host
