// The methods the system adds to a notification's controller to show or hide parts of
// the host's look: the header's buttons and title, and the cards behind a stack's first.
#pragma once

#include "runtime/runtime.h"

namespace lumora {

// Shows or hides the header's buttons and title (the system draws its own header).
void lumoraHideHeader(rt::id self, rt::SEL cmd, bool hide);
// Shows or hides the cards behind the first card of a collapsed stack.
void lumoraHideGroupedNotifications(rt::id self, rt::SEL cmd, bool hide);

}  // namespace lumora
