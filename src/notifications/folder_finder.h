// FolderFinder, a class of the system's own: finds an app group's shared container on
// disk by the identifier in the container's metadata file.
#pragma once

#include "runtime/runtime.h"

namespace lumora {

// Registers FolderFinder with its two class methods, `findSharedFolder:` (under the
// app-group root) and `findFolder:folder:` (any folder); each answers the container's
// path, or nil.
void registerFolderFinder();

}  // namespace lumora
