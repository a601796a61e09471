// What the system adds to the host that more than one surface uses: the properties of
// host views, the classes of the views it adds, and its category method on the
// notification centre.
#pragma once

#include "host/springboard/springboard_selectors.h"

namespace sel {
inline const Sel<Ref<>()> lumoraBackground{"lumoraBackground"};
inline const Sel<void(id)> setLumoraBackground{"setLumoraBackground:"};
inline const Sel<Ref<>()> lumoraBorder{"lumoraBorder"};
inline const Sel<void(id)> setLumoraBorder{"setLumoraBorder:"};
// NSNotificationCenter(Lumora): registers an observer at most once for a name and object.
inline const Sel<void(id, SEL, id, id)> addUniqueObserver_selector_name_object{
    "addUniqueObserver:selector:name:object:"};
}  // namespace sel

namespace cls {
inline const rt::ClassName LumoraBackgroundView{"LumoraBackgroundView"};
inline const rt::ClassName LumoraIndicatorView{"LumoraIndicatorView"};
}  // namespace cls
