// Selectors of the properties the system adds to host views that more than one surface
// uses, and the classes of the views it adds, shared by every styling room.
#pragma once

#include "host/springboard/springboard_selectors.h"

namespace sel {
inline const Sel<Ref<>()> lumoraBackground{"lumoraBackground"};
inline const Sel<void(id)> setLumoraBackground{"setLumoraBackground:"};
inline const Sel<Ref<>()> lumoraBorder{"lumoraBorder"};
inline const Sel<void(id)> setLumoraBorder{"setLumoraBorder:"};
}  // namespace sel

namespace cls {
inline const rt::ClassName LumoraBackgroundView{"LumoraBackgroundView"};
inline const rt::ClassName LumoraIndicatorView{"LumoraIndicatorView"};
}  // namespace cls
