// NSDictionary's `initWithContentsOfFile:`: a dictionary read from a property-list file
// (XML or binary) at a device path. A file that is missing, not a regular file, larger
// than 4 MiB, not a property list or not a dictionary gives nil, as on the host.
#pragma once

#include "host/class_list.h"

namespace host {

// Adds `initWithContentsOfFile:` to NSDictionary. Part of booting the host.
void defineDictionaryFile(ClassList& list);

}  // namespace host
