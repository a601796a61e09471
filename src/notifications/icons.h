// The methods the system adds to a notification's controller for its icon, the icon's
// dominant colour and the sender's picture.
#pragma once

#include "runtime/runtime.h"

namespace lumora {

using rt::id;
using rt::Ref;
using rt::SEL;

// The app's icon, masked or square, 60 x 60 points at screen scale; else the card's
// first icon; else nil.
Ref<> getIconForBundleId(id self, SEL cmd, id bundleIdentifier, bool mask);
// The dominant colour of the app's square icon, through the colour cache; for a
// lockscreen stack, that of its first visible notification. Nil for the two system
// sections and without an icon.
Ref<> getDominantColor(id self, SEL cmd);
// The sender's picture for the two messaging sources, or nil.
Ref<> getContactPicture(id self, SEL cmd);

}  // namespace lumora
